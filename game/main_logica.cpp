// main: one logic tick of play: the road's advance, input, contacts, scoring, the truck's frame,
// splashes, explosion.
#include "game/logica.h"

#include "shared/ajustes.h"
#include "shared/mando.h"
#include "game/verifica.h"

#include "game/repeticion_juego.h"


// Road geometry, pixels.
enum {
    PASADA_PX = MAPA_COLS * BLOQUE_W,   // 6400: one pass of the map
    VENTANA_DER = 318,                  // an enemy is listed while its x < left edge + 318
    VENTANA_IZQ = 36,                   // ... and its x > left edge - 36
    CONTACTO_MAX = 79,                  // contact while the enemy's screen x is 0..79
    LINEA_FILA = 48,                    // lane line of an enemy = row offset + 48
    DIBUJO_FILA = 20                    // an enemy is drawn at row offset + 20
};

// Lane lines of the truck, screen y.
static const float CARRIL_Y[4] = {72.0f, 96.0f, 120.0f, 144.0f};

// Enemy types.
enum { TIPO_PEATON_MAX = 5, TIPO_BOLSA = 7, TIPO_RESTOS = 8 };   // TIPO_EXPLOSIVO: verifica.h

// Scores, points.
enum { PUNTOS_PEATON = 200, PUNTOS_BOLSA = 50, PUNTOS_VIDA = 10000 };

// Effect timelines, units of 1/75 s.
static const float DELA_PASO = 10.0f;       // the truck's frame changes when its clock has passed this
static const float SANGRE_DURA = 80.0f;     // a blood splash
static const float FUEGO_PARADO = 237.0f;   // the road stands still up to here; then a life is taken
static const float FUEGO_FIN = 480.0f;      // the explosion ends after this

enum { FRAMES_CAMION = 5, SANGRE_SOBRE_Y = 35, VOL_LLENO = 255, PAN_CENTRO = 128, PAN_DER = 255,
       PRIORIDAD_MAX = 255 };

// Input is read every 4th tick while the road does not run at full speed.
enum { TECLAS_CADA = 4 };

void act_logica()
{
    spr_cant = 0;
    juego_atiende();
    // The keys of this tick: the player's, or a recording's. The run's own tick count, not the
    // clock, says which ticks read them while the road crawls, so that a recording plays back alike.
    teclas_del_tick();
    scro(nscr2);
    if (nscr2 == nscro)
        teclasy();
    else if (tick_juego % TECLAS_CADA == 0 && nscr2 > 0)
        teclasy();
    animacion();
    int t = enemivieja(0);
    if (fuego == 0.0f) {
        if (t >= 1 && t <= TIPO_PEATON_MAX) {
            anisangre(1);
        } else if (t == TIPO_BOLSA) {
            bolsa();
        } else if (t == TIPO_EXPLOSIVO) {
            juego_motor(0);
            juego_suena(SND_EXPLOSION, PAN_CENTRO);
            ene_pon_tipo(sprcol, 0);
            fuego = 1.0f;
            nscr2 = 0.0f;
        }
    }
    anisangre(0);
    anifuego();
    if (puntos >= bvid * PUNTOS_VIDA) {
        bvid = bvid + 1;
        int voz = juego_suena(SND_VIDA, PAN_CENTRO);
        if (voz >= 0)
            voice_set_priority(voz, PRIORIDAD_MAX);
        vidas = vidas + 1;
    }
}

int enemivieja(int sin_contacto)
{
    spr_cant = 0;
    int resultado = 0;
    // The window bounds are compared unsigned: below road position 356 the lower one wraps
    // and nothing is listed (the level start shows no enemy).
    unsigned int izq = (unsigned int)(PASADA_PX * scr5 + scr1 - PANTALLA_W);
    for (int i = 0; i < ENE_MAX; i++) {
        int tipo = ene_tipo(i);
        if (tipo == 0 || tipo > TIPO_MAX)
            continue;
        unsigned int ex = (unsigned int)(BLOQUE_W * ene_col(i));
        if (!(ex < izq + VENTANA_DER && ex > izq - VENTANA_IZQ))
            continue;
        int sx = (int)(ex - izq);
        int fila = ene_fila(i);
        if (sin_contacto == 0 && sx >= 0 && sx <= CONTACTO_MAX && y == (float)(fila + LINEA_FILA)) {
            resultado = tipo;
            sprcol = i;
        }
        // The list holds 30 entries; later enemies are not drawn this tick (contact still counts).
        if (spr_cant < MAX_SPRITE_DIV) {
            sprite_div[spr_cant][0] = tipo - 1;
            sprite_div[spr_cant][1] = fila + DIBUJO_FILA;
            sprite_div[spr_cant][2] = sx;
            spr_cant = spr_cant + 1;
        }
    }
    return resultado;
}

void bolsa()
{
    pan = pan == 0 ? PAN_DER : 0;
    juego_suena(SND_BOLSA, pan);
    ene_pon_tipo(sprcol, 0);
    puntos = puntos + PUNTOS_BOLSA;
}

bool accion(int a)
{
    if (teclas_piloto >= 0)
        return (teclas_piloto >> a) & 1;
    // The pad keeps the arrows and P whatever keys the player chose.
    static const int control[ACCIONES] = {MANDO_ARRIBA, MANDO_ABAJO, MANDO_P};
    return key[tecla_accion[a]] || ((mando_pulsado >> control[a]) & 1);
}

void teclasy()
{
    if (scr5 < PASADAS) {
        if (teclas_tick & REP_ARRIBA)
            mov = 1;
        else if (teclas_tick & REP_ABAJO)
            mov = 2;
        if ((teclas_tick & REP_PAUSA) || juego_pide_pausa())
            juego_pausa();
        if (teclas_tick & REP_SALIR)
            cambnib = EST_SALIR;
    } else if (x < PANTALLA_W) {
        x = x + animcon;
    } else {
        cambnib = EST_NIVEL_OK;
        if (nivel == niveles || nivel_suelto[0])
            cambnib = EST_GANO;
    }

    // Lane arrival is judged from the lane the change started from (pos).
    if (mov == 1 && y > CARRIL_Y[0]) {
        y = y - cammov * animcon;
        for (int n = 1; n <= 3; n++)
            if (pos == n && y <= CARRIL_Y[n - 1]) {
                pos = n - 1;
                mov = 0;
                y = CARRIL_Y[n - 1];
            }
    }
    if (mov == 2 && y < CARRIL_Y[3]) {
        y = y + cammov * animcon;
        for (int n = 2; n >= 0; n--)
            if (pos == n && y >= CARRIL_Y[n + 1]) {
                pos = n + 1;
                mov = 0;
                y = CARRIL_Y[n + 1];
            }
    }
}

void animacion()
{
    if (dela < DELA_PASO) {
        dela = dela + animcon;
    } else {
        dela = 0.0f;
        s = s >= FRAMES_CAMION - 1 ? 0 : s + 1;
    }
}

// Starts a splash for the pedestrian of record sprcol, run over this tick.
static void atropella()
{
    ene_pon_tipo(sprcol, TIPO_RESTOS);
    puntos = puntos + PUNTOS_PEATON;
    juego_suena(SND_ATROPELLO, PAN_CENTRO);
    for (int i = 0; i < SLOTS_SANGRE; i++) {
        if (sanani[i].timer > 0.0f)
            continue;
        sanani[i].timer = SANGRE_DURA;
        sanani[i].y = (int)(y - SANGRE_SOBRE_Y);
        sanani[i].x = (float)(BLOQUE_W * ene_col(sprcol) - (PASADA_PX * scr5 + scr1) + PANTALLA_W) - x;
        nscr2 = animcon;
        cammov = 1;
        return;
    }
}

void anisangre(int mode)
{
    if (mode == 1) {
        atropella();
        return;
    }
    int antes = sang;
    sang = 0;
    for (int i = 0; i < SLOTS_SANGRE; i++) {
        if (sanani[i].timer > 0.0f) {
            sanani[i].timer = sanani[i].timer - animcon;
            sanani[i].x = sanani[i].x - animcon;
            sang = 1;
        }
    }
    if (antes == 1 && sang == 0) {
        nscr2 = nscro;
        cammov = CAMBIO_CARRIL;
    }
}

void anifuego()
{
    if (!(fuego > 0.0f))
        return;
    if (fuego <= FUEGO_PARADO)
        nscr2 = 0.0f;
    if (fuego < FUEGO_FIN)
        fuego = fuego + animcon;
    else
        fuego = 0.0f;
    if (fuego > FUEGO_PARADO && nscr2 != nscro) {
        if (vidas > 0)
            vidas = vidas - 1;
        else
            cambnib = EST_GAMEOVER;
        juego_motor(VOL_LLENO);
        nscr2 = nscro;
    }
}

void scro(float d)
{
    float t = d + sobscro;
    int n = (int)t;
    sobscro = t - n;
    if (scr5 > PASADAS - 1)
        return;
    for (int i = 0; i < n; i++) {
        scr4 = scr3 + 1;
        if (scr4 > PANTALLA_W - 1)
            scr4 = 0;
        bool bloque_nuevo = scr2 == BLOQUE_W;
        if (bloque_nuevo)
            scr2 = 0;
        juego_columna(bloque_nuevo);
        scr2 = scr2 + 1;
        scr3 = scr4;
        scr1 = scr1 + 1;
        if (scr1 == PASADA_PX) {
            scr1 = 0;
            scr5 = scr5 + 1;
        }
    }
}
