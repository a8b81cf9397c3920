// main: the state of play and its start values (built into the game and, with the logic tick,
// wherever the autoplayer drives play: the editor's checker and the asset maker).
#include "main.h"

#include "../shared/verifica.h"
#include "utilfun.h"

volatile int cambnib = EST_TITULO;
volatile int tick;
int nivel;
int difi;
int vidas;
float nscr3;
float animcon = 1.0f;
float nscro;
int puntos;
int bvid = 1;
int cammov = CAMBIO_CARRIL;
int sang;
float fuego;
Salpicadura sanani[SLOTS_SANGRE];
float x = 40.0f, y = 120.0f;
int pos = 2;
int mov;
int s;
float dela;
int scr1, scr2, scr3, scr4, scr5;
float sobscro;
float nscr2;
int sprite_div[MAX_SPRITE_DIV][3];
int spr_cant;
int sprcol;
int pan;
char nivel_suelto[512];
int desde_col = -1;
int teclas_piloto = -1;

const Dificultad dificultades[DIFICULTADES] = {
    {6, 3.0f},   // "VOY DE PASEO"
    {5, 4.0f},   // "QUIERO JUGAR"
    {4, VELOCIDAD_MAXIMA},   // "SOY JODIDO" (the level checker's lane rule assumes it is the fastest)
};

float escala_tiempo(int rate)
{
    return (float)((1.0 / rate) / 0.013333333333333334);
}

float velocidad_nivel(float base, int codigo, float escala)
{
    return base * factor_velocidad(codigo) * escala;   // codes the editor does not write play as 1
}

// Road geometry of a start column: a pass in pixels, the usual start, where the column shows.
enum { PASADA_PIXELES = MAPA_COLS * BLOQUE_W, AVANCE_NORMAL = PANTALLA_W + BLOQUE_W, DESDE_X = 6 * BLOQUE_W };

float avance_inicial(int desde)
{
    int p = desde < 0 ? AVANCE_NORMAL : BLOQUE_W * desde + PANTALLA_W - DESDE_X;
    if (p < AVANCE_NORMAL)
        p = AVANCE_NORMAL;
    if (p > PASADAS * PASADA_PIXELES - 1)
        p = PASADAS * PASADA_PIXELES - 1;   // the road's last pixel: the level ends at once
    return (float)p;
}

void prepara_nivel()
{
    dela = 10.0f;
    scr1 = scr2 = scr3 = scr4 = scr5 = 0;
    y = 120.0f;
    x = 40.0f;
    pos = 2;
    mov = 0;
    cambnib = EST_JUEGO;
    nscr2 = nscro;
    // The fraction of a pixel the last level left does not move this one's road: every level
    // starts alike (as the autoplayer proves it, and as a recording replays it).
    sobscro = 0.0f;
    scro(avance_inicial(desde_col));
    enemivieja(0);
}
