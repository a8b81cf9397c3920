// main: what the logic tick does beyond the state of play: its sounds, the pause and the
// music's mute.
#include "main.h"

#include "../shared/ajustes.h"
#include "../shared/pantalla.h"
#include "utilfun.h"
#include "volumen.h"

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
    textprintf_centre_ex(hoja, font, 160, 110, -1, bg, "PAUSA");
    pausa_etapa = PAUSA_SUELTA;
    espera_p(true);
    pausa_etapa = PAUSA_PULSA;
    espera_p(false);
    pausa_etapa = PAUSA_SUELTA_FIN;
    espera_p(true);
    pausa_etapa = PAUSA_NO;
    tick = antes;
}
