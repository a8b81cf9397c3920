// repeticion (game side): where play takes the keys of each logic tick. Part of the logic tick,
// so built wherever the logic is (the game, the editor's checker and the asset maker).
#include "game/repeticion_juego.h"

#include <cstdio>

#include "shared/ajustes.h"
#include "shared/ayuda.h"
#include "game/logica.h"
#include "shared/idioma.h"

int rep_modo;
int teclas_tick;
int rep_cortada;
Repeticion grabacion;
int grabando;

const Repeticion *reproducida;
size_t rep_pos;

// The player's keys now: the actions' keys (or the pad) and ESC.
static int teclas_vivas()
{
    int t = 0;
    if (accion(ACC_ARRIBA))
        t |= REP_ARRIBA;
    if (accion(ACC_ABAJO))
        t |= REP_ABAJO;
    if (accion(ACC_PAUSA))
        t |= REP_PAUSA;
    if (key[KEY_ESC] && teclas_piloto < 0)   // the autoplayer never quits
        t |= REP_SALIR;
    return t;
}

// The watcher ends a playback: the level loop ends after this tick.
static void corta()
{
    rep_cortada = 1;
    if (cambnib == EST_JUEGO)
        cambnib = EST_TITULO;
}

// A key pressed in the demo (M only mutes the music).
static bool tecla_en_demo(int vivas)
{
    if (vivas)
        return true;
    if (ayuda_pedida) {   // F1 too: the title's card is there
        ayuda_pedida = 0;
        return true;
    }
    while (keypressed())
        if (readkey() >> 8 != KEY_M)
            return true;
    return false;
}

void teclas_del_tick()
{
    tick_juego = tick_juego + 1;
    int vivas = teclas_vivas();
    if (rep_modo == MODO_JUGADOR) {
        teclas_tick = vivas;
        if (!grabando)
            return;
        if (grabacion.teclas.size() < (size_t)REP_MAX_TICKS) {
            grabacion.teclas.push_back((unsigned char)vivas);
        } else {
            grabando = 0;
            fprintf(stderr, _("KORVEX: la partida es demasiado larga para grabarla entera; no se guardara\n"));
        }
        return;
    }
    teclas_tick = 0;
    if ((rep_modo == MODO_DEMO && tecla_en_demo(vivas)) || (rep_modo == MODO_REPRODUCE && (vivas & REP_SALIR)))
        return corta();
    if (!reproducida || rep_pos >= reproducida->teclas.size()) {
        if (cambnib == EST_JUEGO)
            cambnib = EST_TITULO;   // the recording ends here
        return;
    }
    // The recorded pause took no tick: only the watcher's own P pauses a playback.
    teclas_tick = reproducida->teclas[rep_pos++] & ~REP_PAUSA;
    if (rep_modo == MODO_REPRODUCE)
        teclas_tick |= vivas & REP_PAUSA;
}
