// partida: play headless: the drawing surfaces play needs (blank blocks, the scroll strip and its
// next column, the enemy table), a fast logic clock, a run's start, and the levels of the catalogue
// played tick by tick as the game plays them, with the world's checksum after each.
#ifndef KORV_PRUEBA_PARTIDA_H
#define KORV_PRUEBA_PARTIDA_H

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "game/main.h"
#include "game/repeticion_juego.h"
#include "game/utilfun.h"
#include "shared/ritmo.h"
#include "shared/rutas.h"

// Makes the surfaces on the first call; later calls keep them. The strip clips every pixel away:
// no test looks at it, and a tick is many times cheaper.
inline void superficies()
{
    static bool hecho = false;
    if (hecho)
        return;
    for (int t = 0; t < NUM_TILES; t++)
        tile[t] = create_bitmap(BLOQUE_W, BLOQUE_H);
    scroll = create_bitmap(2 * PANTALLA_W, CAMPO_H);
    set_clip_rect(scroll, 0, 0, -1, -1);
    proximo_bloque = create_bitmap(BLOQUE_W, CAMPO_H);
    reserva_enemigos();
    hecho = true;
}

// A logic clock far faster than the display's, for the screens and frame loops: tick moves (and
// the waits wake) every us microseconds while it lives; dados counts its ticks.
struct RelojRapido {
    std::atomic<bool> sigue{true};
    std::atomic<int> dados{0};
    std::thread hilo;
    explicit RelojRapido(int us)
        : hilo([this, us] {
              while (sigue) {
                  std::this_thread::sleep_for(std::chrono::microseconds(us));
                  tick = tick + 1;
                  dados++;
                  ritmo_despierta();
              }
          })
    {
    }
    ~RelojRapido() { sigue = false; hilo.join(); }
};

// A run started as game() starts one: difficulty dif at rate hz and pace ritmo (percent), the clock
// and the run's ticks at fase.
inline void partida_nueva(int hz, int dif, int fase, int ritmo = RITMO_LLENO)
{
    superficies();
    max_fps = hz;
    empieza_partida();
    difi = dif;
    vidas = dificultades[dif].vidas;
    nscr3 = dificultades[dif].velocidad;
    ritmo_partida = ritmo;
    animcon = escala_de_juego(hz, ritmo);
    tick = tick_juego = fase;
}

// The keyboard holding the keys of a tick (REP_* bits).
inline void pon_teclas(int t)
{
    key[KEY_UP] = (t & REP_ARRIBA) != 0;
    key[KEY_DOWN] = (t & REP_ABAJO) != 0;
    key[KEY_ESC] = (t & REP_SALIR) != 0;
}

// The levels of the catalogue from nivel + 1 on, as juega_niveles plays them, while each is
// completed, up to level hasta: each tick's keys from teclas(n), n the tick of the level (a
// recording being played puts its own over them). The world's checksum after every tick.
template <class F> std::vector<unsigned> corre_niveles(F teclas, int hasta = MAX_NIVELES)
{
    std::vector<unsigned> sumas;
    do {
        nivel = nivel + 1;
        char ruta[RUTA_MAX];
        ruta_nivel(nivel - 1, ruta, sizeof ruta);
        EXPECT_TRUE(CargaMapa(ruta)) << ruta;
        nscro = velocidad_nivel(nscr3, multi, animcon);
        prepara_nivel();
        for (size_t n = 0; cambnib == EST_JUEGO && sumas.size() < 400000; n++) {
            pon_teclas(teclas(n));
            tick = tick + 1;
            act_logica();
            sumas.push_back(suma_mundo(REP_VERSION));
        }
    } while (cambnib == EST_NIVEL_OK && nivel < hasta && nivel < niveles);
    pon_teclas(0);
    return sumas;
}

#endif
