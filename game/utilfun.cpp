// utilfun: the timer callbacks, the waits of the screens and the page-flip test.
#include "utilfun.h"

#include <time.h>

#include "../shared/pantalla.h"

#include "volumen.h"
#include "main.h"
#include "mp3.h"
#include "musica.h"

volatile int mensaje;

void ticks()
{
    tick = tick + 1;
}
END_OF_FUNCTION(ticks)

void fps_proc()
{
    if (mensaje > 0)
        mensaje = mensaje - 1;
}
END_OF_FUNCTION(fps_proc)

// Pause between two polls close to a tick, nanoseconds.
static const long REPOSO_NS = 500000;
// The long sleep ends this much before the next tick is due, nanoseconds, so that the tick is seen
// at most one short pause late and the clock's phase is not lost.
static const long MARGEN_NS = 500000;
static const long NS_SEG = 1000000000L;

// Nanoseconds on the monotonic clock.
static long long ahora_ns()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * NS_SEG + t.tv_nsec;
}

// The last tick seen by reposa and when it was first seen, nanoseconds.
static int tick_visto = -1;
static long long visto_ns;

void reposa()
{
    atiende();
    // One long sleep to just before the next tick is due, counted from when the last one was
    // seen; short pauses from there until it comes.
    long long t = ahora_ns();
    if (tick != tick_visto) {
        tick_visto = tick;
        visto_ns = t;
    }
    long long periodo = NS_SEG / (max_fps > 0 ? max_fps : 75);
    long long resta = visto_ns + periodo - MARGEN_NS - t;
    if (resta < REPOSO_NS || resta > periodo)
        resta = REPOSO_NS;
    timespec d = {0, (long)resta};
    nanosleep(&d, NULL);
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
