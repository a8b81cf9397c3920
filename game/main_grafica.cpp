// main: the scroll strip and the picture of play.
#include "game/main.h"

#include "game/musica.h"
#include "game/repeticion_juego.h"
#include "game/utilfun.h"
#include "shared/idioma.h"

enum {
    TIRA_W = 2 * PANTALLA_W,            // the scroll strip holds two screens
    FILA_A_LINEA = 28,                  // an entry's lane line = its drawing y + 28
    CAMION_BAJA = 9,                    // the truck is drawn 9 pixels below its lane line
    FUEGO_SUBE = 77,                    // the flames are drawn 77 pixels above the lane line
    FUEGO_SEPARA = 30,                  // the second flame, pixels to the right
    FUEGO_FRAME = 12,                   // units of 1/75 s per explosion frame
    SPR_CAMION = 8,                     // first truck picture
    SPR_SANGRE = 13,                    // first splash picture
    SPR_SANGRE_FIN = 16,                // last splash picture
    SANGRE_FRAME = 20,                  // units of 1/75 s per splash frame
    SPR_FUEGO = 17,                     // first explosion picture
    PARPADEO = 3,                       // the truck shows in one tick out of this many
    CANCION_X = 10, CANCION_Y = 10, CANCION_COLOR = 255,
    PUNTOS_X = 160, PUNTOS_Y = 206,
    MODO_Y = 229, MODO_MARGEN = 2,      // "REPETICION" / "DEMO" on the strip's lower edge, in a box
    MODO_FONDO = 0
};

// Explosion clock marks, units of 1/75 s: first and second run of the flames, then blinking.
static const float FUEGO_VUELTA = 120.0f;
static const float FUEGO_PARPADEO = 240.0f;

void juego_columna(bool bloque_nuevo)
{
    if (!scroll || !proximo_bloque)
        return;   // play without a picture
    if (bloque_nuevo)
        for (int r = 0; r < MAPA_FILAS; r++)
            blit(tile[mapa[scr1 / BLOQUE_W][r]], proximo_bloque, 0, 0, 0, BLOQUE_H * r, BLOQUE_W, BLOQUE_H);
    // Each column goes twice: at the window's right edge and where the window began before.
    blit(proximo_bloque, scroll, scr2, 0, scr4 + PANTALLA_W - 1, 0, 1, CAMPO_H);
    blit(proximo_bloque, scroll, scr2, 0, scr3, 0, 1, CAMPO_H);
}

void act_grafica()
{
    acquire_bitmap(active_page);
    blit(scroll, active_page, scr4, 0, 0, 0, PANTALLA_W, CAMPO_H);

    // Back to front: the truck goes before the first enemy on a lane below its own.
    bool camion = false;
    for (int i = 0; i < spr_cant; i++) {
        if (!camion && y < (float)(sprite_div[i][1] + FILA_A_LINEA)) {
            dibucamfuesan();
            camion = true;
        }
        draw_sprite(active_page, sprite[sprite_div[i][0]], sprite_div[i][2], sprite_div[i][1]);
    }
    if (!camion)
        dibucamfuesan();

    blit(hud, active_page, 0, 0, 0, HUD_Y, PANTALLA_W, PANTALLA_H - HUD_Y);
    if (mensaje != 0) {
        char linea[512];
        copia_mensa(linea, sizeof linea);
        textprintf_ex(active_page, font2, CANCION_X, CANCION_Y, CANCION_COLOR, bg, "%s", linea);
    }
    textprintf_centre_ex(active_page, font, PUNTOS_X, PUNTOS_Y, -1, bg, _("PUNTOS:%5d VIDAS:%2d"), puntos, vidas);
    // What is shown is not the player's run: a small tag on the strip's lower edge.
    if (rep_modo != MODO_JUGADOR) {
        const char *rotulo = rep_modo == MODO_DEMO ? _("DEMO") : _("REPETICION");
        FONT *f = font_chica ? font_chica : font;
        int medio = text_length(f, rotulo) / 2 + MODO_MARGEN;
        rectfill(active_page, PUNTOS_X - medio, MODO_Y - MODO_MARGEN, PUNTOS_X + medio,
                 MODO_Y + text_height(f) + MODO_MARGEN - 1, MODO_FONDO);
        textprintf_centre_ex(active_page, f, PUNTOS_X, MODO_Y, -1, -1, "%s", rotulo);
    }
    release_bitmap(active_page);
}

// The truck's picture, mirrored to face right.
static void dibuja_camion()
{
    draw_sprite_h_flip(active_page, sprite[SPR_CAMION + s], (int)x, (int)(y + CAMION_BAJA));
}

void dibucamfuesan()
{
    int f = (int)fuego;
    if (fuego > 0.0f) {
        if (fuego < FUEGO_PARPADEO) {
            int cuadro = fuego < FUEGO_VUELTA ? f / FUEGO_FRAME : (f - (int)FUEGO_VUELTA) / FUEGO_FRAME;
            BITMAP *llama = sprite[SPR_FUEGO + cuadro];
            draw_sprite(active_page, llama, (int)x, (int)(y - FUEGO_SUBE));
            draw_sprite(active_page, llama, (int)(x + FUEGO_SEPARA), (int)(y - FUEGO_SUBE));
        } else if (tick % PARPADEO == 0) {
            dibuja_camion();
        }
    } else {
        dibuja_camion();
    }
    for (int i = 0; i < SLOTS_SANGRE; i++) {
        if (!(sanani[i].timer > 0.0f))
            continue;
        int cuadro = SPR_SANGRE_FIN - (int)sanani[i].timer / SANGRE_FRAME;
        if (cuadro < SPR_SANGRE)
            cuadro = SPR_SANGRE;   // a timer of a full 80 units shows the first frame
        draw_sprite(active_page, sprite[cuadro], (int)sanani[i].x, sanani[i].y);
    }
}
