// presoverganec: the title sequence, the difficulty menu, the game-over and win screens.
#include "game/presoverganec.h"

#include <cstdio>
#include <cstring>

#include "shared/busca.h"
#include "shared/conjuntos.h"
#include "shared/mando.h"
#include "game/ayudas.h"
#include "game/conjunto_juego.h"
#include "shared/pantalla.h"
#include "game/volumen.h"
#include "game/main.h"
#include "game/repeticion_juego.h"
#include "game/utilfun.h"
#include "shared/idioma.h"

int (*lee_tecla)() = espera_tecla_lista;

// Timeline of the title, seconds, and its blink limit.
static const float T_PRIMERA = 18.0f;   // the studio card stays up to this long
static const float T_PARPADEO = 0.2f;   // each half of the prompt's blink
static const int MAX_CICLOS = 500;      // blink cycles before the tables come on their own
// Fixed pauses of the end screens, seconds.
static const float T_NEGRO = 2.0f;      // black after the fade
static const float T_GAMEOVER = 5.0f;   // "GAME OVER" on view
static const float T_GANE = 8.0f;       // the win picture on view

// Palette indexes of the texts.
enum { COL_PROPIO = -1, COL_APRETA = 4, COL_MARCA = 239, COL_BLANCO = 255 };
// Where the title pictures mention F1 (centred; under "PRESENTA", under the prompt), and the grey
// (0..63) it is written in.
enum { F1_X = 160, F1_Y_ESTUDIO = 226, F1_Y_TITULO = 182, F1_GRIS = 44 };
enum { FADE_LENTO = 1 };   // fade speed: the slowest
enum { GAMEOVER_RITMO_Y = 186 };   // the notice of a slower run, under "GAME OVER"
// The slowest fade: 64 steps of the palette, each held for two retraces of the library's 70 Hz count.
enum { FADE_PASOS = 64 };
static const float FADE_SEG = 2.0f * FADE_PASOS / 70.0f;   // its length, seconds

// Menu entries by difficulty: text and line.
static const struct {
    const char *texto;
    int y;
} entrada[3] = {{N_("VOY DE PASEO"), 80}, {N_("QUIERO JUGAR"), 120}, {N_("SOY JODIDO"), 160}};

// Copies a full-screen picture onto the drawing page.
static void pon_imagen(BITMAP *img)
{
    if (img)
        blit(img, active_page, 0, 0, 0, 0, PANTALLA_W, PANTALLA_H);
}

// "F1: AYUDA" on a title picture at height y, in its palette's colour nearest a light grey.
static void marca_f1(const RGB *pal, int y)
{
    textout_centre_ex(active_page, font2, _("F1: AYUDA"), F1_X, y, indice_cercano(pal, F1_GRIS, F1_GRIS, F1_GRIS), -1);
}

// Fades the whole palette from one palette to another in the library's 64 steps, as long as its
// slowest fade, one step at each tick of the logic clock that falls on a new one (the refresh, where
// it is followed), sleeping between them; tick is restored.
static void fundido(const RGB *desde, const RGB *hasta)
{
    if (system_driver->id == SYSTEM_NONE) {
        fade_from(desde, hasta, FADE_LENTO);   // no timer: no clock to follow
        return;
    }
    PALETTE paso;
    int inicio = tick;
    int total = (int)(max_fps * FADE_SEG);
    if (total < 1)
        total = 1;
    int hecho = -1;
    for (;;) {
        int c = (tick - inicio) * FADE_PASOS / total;
        if (c >= FADE_PASOS)
            break;
        if (c != hecho) {
            fade_interpolate(desde, hasta, paso, c, 0, PAL_SIZE - 1);
            set_palette_range(paso, 0, PAL_SIZE - 1, FALSE);
            hecho = c;
        }
        reposa();
    }
    set_palette(hasta);
    pantalla_envia();
    tick = inicio;
}

// Fades from black to a palette.
static void aparece(const RGB *pal)
{
    fundido(black_palette, pal);
}

// Fades the current palette to black.
static void oscurece()
{
    PALETTE ahora;
    get_palette(ahora);
    fundido(ahora, black_palette);
}

int menu_tecla(int cursor, int scan, int entradas)
{
    if (scan == KEY_UP)
        cursor--;
    else if (scan == KEY_DOWN)
        cursor++;
    if (cursor > entradas - 1)
        cursor = 0;
    if (cursor < 0)
        cursor = entradas - 1;
    return cursor;
}

bool titulo_fin_parpadeo(int ciclos)
{
    return cambnib == EST_SALIR || key[KEY_ESC] || ciclos >= MAX_CICLOS || key[KEY_ENTER] || key[KEY_SPACE] ||
           key[KEY_O];
}

// Blinks "APRETA ENTER" over the title picture until a key, the quit state or the cycle limit.
static void parpadea(bool *visible)
{
    int ciclos = 0;
    pon_ayuda(&AYUDA_TITULO);
    mando_busca();   // a pad plugged in since the last title
    pon_imagen(imagen2);
    marca_f1(the_palette2, F1_Y_TITULO);
    set_palette(the_palette2);
    clear_keybuf();
    if (cambnib == EST_SALIR)
        return;
    do {
        ciclos++;
        delay2(T_PARPADEO);
        pon_imagen(imagen2);
        marca_f1(the_palette2, F1_Y_TITULO);
        *visible = !*visible;
        if (*visible)
            textprintf_centre_ex(active_page, font, 160, 160, COL_APRETA, -1, _("APRETA ENTER"));
    } while (!titulo_fin_parpadeo(ciclos));
}

// The studio's card with the title tune, faded in and out (a key shortens it).
static void estudio()
{
    pon_ayuda(&AYUDA_ESTUDIO);
    play_midi(music2, 0);
    set_palette(black_palette);
    pon_imagen(imagen1);
    marca_f1(the_palette1, F1_Y_ESTUDIO);
    aparece(the_palette1);
    set_palette(the_palette1);
    delay2(T_PRIMERA);
    oscurece();
    stop_midi();
}

void presentacion()
{
    bool visible = false, con_estudio = true;
    for (;;) {
        if (con_estudio)
            estudio();
        con_estudio = true;
        parpadea(&visible);
        while (key[KEY_O] && cambnib != EST_SALIR) {
            opciones();
            parpadea(&visible);
        }
        if (key[KEY_ENTER])
            cambnib = EST_JUEGO;
        else if (key[KEY_ESC])
            cambnib = EST_SALIR;
        if (cambnib != EST_TITULO)
            return;
        // The tables, then a demo of play. ENTER or ESC on a table, or a key in the demo, brings the
        // title back at once, once the key is up (so that it does not act on the title too).
        bool al_titulo = muestraranking(0, 0);
        if (!al_titulo && cambnib == EST_TITULO)
            al_titulo = demo();
        if (cambnib != EST_TITULO)
            return;
        if (al_titulo) {
            espera_sueltas();
            con_estudio = false;
        }
    }
}

// The difficulty menu with its lines beyond the three (the practice, the set in play with its
// author and line): the entries move up to make room; their heights, the widest texts shown.
enum { MENU_PRIMERA_Y = 62, MENU_PASO = 32, MENU_CONJUNTO_Y = 194, MENU_AUTOR_Y = 216, AUTOR_CHARS = 39,
       CONJUNTO_CHARS = 27, ENTRADA_PRACTICA = 3 };

// Draws the difficulty menu with the cursor on entry a (3: the practice, when there is one).
static void dibuja_dificultad(bool practicar)
{
    bool mas = practicar || muestra_conjunto();
    clear(active_page);
    textprintf_centre_ex(active_page, font, 160, 20, COL_PROPIO, bg, _("SELECIONA LA DIFICULTAD"));
    for (int i = 0; i < 3; i++)
        textprintf_centre_ex(active_page, font, 160, mas ? MENU_PRIMERA_Y + MENU_PASO * i : entrada[i].y,
                             i == a ? COL_PROPIO : COL_BLANCO, bg, "%s", _(entrada[i].texto));
    if (practicar)
        textprintf_centre_ex(active_page, font, 160, MENU_PRIMERA_Y + MENU_PASO * ENTRADA_PRACTICA,
                             a == ENTRADA_PRACTICA ? COL_PROPIO : COL_BLANCO, bg, _("PRACTICAR"));
    if (!muestra_conjunto())
        return;
    const Conjunto &c = conjunto();
    char linea[CONJ_NOMBRE_MAX + 32];
    const char *flechas = conjuntos_jugables > 1 ? "< %s >" : "%s";
    snprintf(linea, sizeof linea, conjuntos_jugables > 1 ? _("CONJUNTO: < %s >") : _("CONJUNTO: %s"), c.nombre);
    if ((int)strlen(linea) > CONJUNTO_CHARS)   // a long name alone
        snprintf(linea, sizeof linea, flechas, c.nombre);
    textprintf_centre_ex(active_page, font, 160, MENU_CONJUNTO_Y, COL_MARCA, bg, "%s", linea);
    char autor[CONJ_AUTOR_MAX + CONJ_DESCRIPCION_MAX + 8];
    snprintf(autor, sizeof autor, "%s%s%s", c.autor, c.autor[0] && c.descripcion[0] ? ": " : "",
             c.campana ? _(c.descripcion) : c.descripcion);   // the campaign's is ours to translate
    autor[AUTOR_CHARS] = 0;
    textprintf_centre_ex(active_page, font2, 160, MENU_AUTOR_Y, COL_BLANCO, bg, "%s", autor);
}

int seleciona_dificultad()
{
    practica = 0;
    a = 1;
    for (;;) {
        bool practicar = niveles_practicables() > 0;
        if (a == ENTRADA_PRACTICA && !practicar)
            a = 1;
        pon_ayuda(practicar || conjuntos_jugables > 1 ? &AYUDA_DIFICULTAD_CONJUNTO : &AYUDA_DIFICULTAD);
        dibuja_dificultad(practicar);
        clear_keybuf();
        // A close that came before the buffer was emptied lost its ESC: the quit state stands for it.
        k = cambnib == EST_SALIR ? KEY_ESC : lee_tecla() >> 8;
        atiende_mudo();
        if ((k == KEY_LEFT || k == KEY_RIGHT) && conjuntos_jugables > 1)
            cambia_conjunto(k == KEY_RIGHT ? 1 : -1);
        a = menu_tecla(a, k, practicar ? ENTRADA_PRACTICA + 1 : 3);
        if (k == KEY_ESC)
            cambnib = EST_SALIR;
        if (cambnib == EST_SALIR)
            return a == ENTRADA_PRACTICA ? 1 : a;
        if (k != KEY_ENTER)
            continue;
        if (a != ENTRADA_PRACTICA)
            return a;
        int dif;
        if (elige_practica(&dif))
            return dif;
    }
}

void game_over()
{
    pon_ayuda(NULL);
    oscurece();
    delay(T_NEGRO);
    clear_to_color(active_page, COL_BLANCO);
    textprintf_centre_ex(active_page, font, 160, 160, COL_MARCA, bg, _("GAME OVER"));
    aviso_ritmo(GAMEOVER_RITMO_Y, COL_MARCA);
    set_palette(the_palette);
    suena_efecto(sample[SND_GAMEOVER], 255, 128, 1000, 0);
    delay(T_GAMEOVER);
}

void gane_imagen()
{
    pon_ayuda(NULL);
    oscurece();
    delay(T_NEGRO);
    pon_imagen(imagen3);
    aparece(the_palette3);
    delay(T_GANE);
}

void gane()
{
    gane_imagen();
    tupuntaje();
}
