// utilfun: the timer callbacks, the waits of the screens and the page-flip test.
#include "game/utilfun.h"

#include "shared/pantalla.h"
#include "shared/ritmo.h"

#include "game/volumen.h"
#include "game/main.h"
#include "game/mp3.h"
#include "game/musica.h"

volatile int mensaje;

void ticks()
{
    tick = tick + 1;
    ritmo_despierta();
}
END_OF_FUNCTION(ticks)

void fps_proc()
{
    if (mensaje > 0)
        mensaje = mensaje - 1;
}
END_OF_FUNCTION(fps_proc)

void avanza_tick(int n)
{
    tick = tick + n;
}

// The wake-ups seen when the last sleep of reposa ended: anything since ends the next one at once.
static unsigned vuelta_vista;

void reposa()
{
    atiende();
    // A tick (the next refresh, or the timer's) or a key ends the sleep; the limit only matters where
    // nothing ticks (the headless tests move the clock themselves).
    long long tope = 2 * RITMO_US_SEG / (max_fps > 0 ? max_fps : RITMO_REFERENCIA_HZ);
    vuelta_vista = ritmo_espera(vuelta_vista, tope);
}

// The tick a wait of the given seconds ends at, truncated toward zero.
static int meta(int desde, float seconds)
{
    return desde + (int)((double)max_fps * (double)seconds);
}

void delay(float seconds)
{
    int inicio = tick;
    int fin = meta(inicio, seconds);
    while (tick < fin) {
        atiende_mudo();
        reposa();
    }
    tick = inicio;
}

void delay2(float seconds)
{
    int inicio = tick;
    int fin = meta(inicio, seconds);
    clear_keybuf();
    while (tick < fin && cambnib != EST_SALIR) {
        atiende_mudo();
        if (keypressed()) {
            // M only mutes the music: it does not cut the wait short.
            int tecla = readkey();
            if (tecla >> 8 != KEY_M) {
                simulate_keypress(tecla);
                break;
            }
        }
        reposa();
    }
    tick = inicio;
}

void testtriplebuffer()
{
    mensaje = 1;
    active_page = page1;
    int vueltas = 0;
    int rota = 0;
    do {
        vueltas++;
        while (poll_scroll())
            ;
        request_video_bitmap(active_page);
        actual_page = active_page;
        rota = (rota + 1) % 3;
        active_page = rota == 0 ? page1 : rota == 1 ? page2 : page3;
    } while (mensaje > 0);
    active_page = actual_page;
    korv::sync = vueltas > max_fps + 20 ? 1 : 0;
}

void mp3actualiza()
{
    // The timer thread must not wait long: if the main flow keeps the music lock, skip this turn.
    if (!musica_intenta())
        return;
    if (mp3est == 1)
        playmp3();
    if (midiest == 1)
        playmidimusic();
    musica_libera();
}
END_OF_FUNCTION(mp3actualiza)
