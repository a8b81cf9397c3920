// main: a level's start: the difficulties, the time scale, the level's speed, the road's first
// advance and the per-level start values (part of play's logic, game/logica.h).
#include "game/logica.h"
#include "shared/repeticion.h"
#include "game/utilfun.h"
#include "shared/idioma.h"

volatile int tick;
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
    return escala_de_juego(rate, RITMO_LLENO);
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
    // The truck, the road and its fraction of a pixel as every level starts them: the fraction the
    // last level left does not move this one's road (as the autoplayer proves it, and as a recording
    // replays it).
    mundo_empieza_nivel();
    cambnib = EST_JUEGO;
    nscr2 = nscro;
    scro(avance_inicial(desde_col));
    enemivieja(0);
}
