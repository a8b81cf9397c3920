// main: what the logic tick does beyond the state of play: its sounds, the pause and the
// music's mute.
#include "game/main.h"

#include "shared/ajustes.h"
#include "shared/ayuda.h"
#include "shared/pantalla.h"
#include "game/foco.h"
#include "game/repeticion_juego.h"
#include "game/utilfun.h"
#include "game/volumen.h"
#include "shared/idioma.h"

enum { VOL_LLENO = 255, PAN_CENTRO = 128, FRECUENCIA = 1000 };

volatile int pausa_etapa;

int juego_suena(int slot, int pan_)
{
    return suena_efecto(sample[slot], VOL_LLENO, pan_, FRECUENCIA, 0);
}

void juego_motor(int vol)
{
    if (sample[SND_MOTOR])
        adjust_sample(sample[SND_MOTOR], vol_efecto(vol), PAN_CENTRO, FRECUENCIA, 1);
}

void juego_atiende()
{
    atiende_mudo();
}

// Sleeps until the next tick or key between polls of the pause; the close button also ends it.
static void espera_p(bool mientras_pulsada)
{
    while (accion(ACC_PAUSA) == mientras_pulsada && !salir) {
        atiende_mudo();
        reposa();
    }
}

bool juego_pide_pausa()
{
    // The demo is left by any key, F1 too: it does not pause.
    if (rep_modo == MODO_DEMO || teclas_piloto >= 0)
        return false;
    bool foco = foco_pide_pausa();
    return ayuda_pedida || foco;
}

void juego_pausa()
{
    int antes = tick;
    BITMAP *hoja = actual_page;
    if (triple_buffer) {
        // The video page on view is scaled: the pause is drawn on the presented page over the last picture.
        hoja = lienzo_o_pantalla();
        blit(pvirtual, hoja, 0, 0, 0, 0, PANTALLA_W, PANTALLA_H);
        presenta_destino = actual_page;
        presenta_todo();
    }
    textprintf_centre_ex(hoja, font, 160, 110, -1, bg, _("PAUSA"));
    // F1 paused play: its card comes over the paused picture; while paused, F1 shows it again.
    ayuda_diferida = 0;
    atiende_ayuda();
    pausa_etapa = PAUSA_SUELTA;
    espera_p(true);
    pausa_etapa = PAUSA_PULSA;
    espera_p(false);
    pausa_etapa = PAUSA_SUELTA_FIN;
    espera_p(true);
    pausa_etapa = PAUSA_NO;
    ayuda_diferida = 1;
    foco_perdido = 0;   // a window that took the keyboard during the pause does not pause again
    tick = antes;
}
