// Play: lane changes, the pause, quitting and the drive-off at the road's end.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "game/utilfun.h"
#include "juego_mundo.h"

using namespace mundo;

namespace {

// Waits until "PAUSA" shows on the page on display: the main flow is inside the pause.
void espera_pausa()
{
    for (int i = 0; i < 5000 && tinta(actual_page, 130, 105, 190, 125) == 0; i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// A level whose road does not move: teclasy runs on every tick.
void quieto(int hz)
{
    monta(hz);
    empieza(0.0f);
}

// Holds a key for the given ticks, then lets it go.
void pulsa(int tecla, int ticks)
{
    key[tecla] = 1;
    logica(ticks);
    key[tecla] = 0;
}

}  // namespace

TEST(JuegoTeclas, CambioDeCarrilYAjuste)
{
    quieto(75);
    pulsa(KEY_UP, 1);
    EXPECT_EQ(mov, 1);
    EXPECT_EQ(y, 118.0f);
    logica(10);
    EXPECT_EQ(y, 98.0f) << "a short press completes by itself";
    EXPECT_EQ(pos, 2);
    logica(1);
    EXPECT_EQ(y, 96.0f);
    EXPECT_EQ(pos, 1);
    EXPECT_EQ(mov, 0);
    logica(5);
    EXPECT_EQ(y, 96.0f);

    // at 60 Hz the steps are 2.5 and snap onto the lane line
    quieto(60);
    key[KEY_DOWN] = 1;
    logica(9);
    EXPECT_EQ(y, 142.5f);
    logica(1);
    EXPECT_EQ(y, 144.0f);
    EXPECT_EQ(pos, 3);
    logica(5);
    EXPECT_EQ(y, 144.0f) << "holding down on the bottom lane does nothing";
    EXPECT_EQ(mov, 2) << "the change stays asked for";
}

TEST(JuegoTeclas, MantenerRecorreLosCarrilesYAmbasFlechasSuben)
{
    struct { bool abajo; int ticks, pos; float y; } casos[] = {
        {false, 12, 1, 96.0f}, {false, 27, 0, 72.0f}, {true, 12, 1, 96.0f} /* both held: up */};
    for (auto &c : casos) {
        SCOPED_TRACE(std::to_string(c.ticks) + (c.abajo ? " both" : " up"));
        quieto(75);
        key[KEY_UP] = 1;
        key[KEY_DOWN] = c.abajo;
        logica(c.ticks);
        EXPECT_EQ(pos, c.pos);
        EXPECT_EQ(y, c.y);
    }
    quieto(75);
    key[KEY_UP] = 1;
    logica(27);
    EXPECT_EQ(mov, 1) << "held on the top lane: the change stays asked for";
}

TEST(JuegoTeclas, MarchaAtrasPasaDeLargo)
{
    quieto(75);
    pulsa(KEY_UP, 5);
    EXPECT_EQ(y, 110.0f);
    pulsa(KEY_DOWN, 1);
    bool paro_en_120 = false;
    for (int i = 0; i < 16; i++) {
        logica(1);
        if (mov == 0 && y == 120.0f)
            paro_en_120 = true;
    }
    EXPECT_FALSE(paro_en_120) << "the old lane is passed";
    EXPECT_EQ(y, 144.0f);
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(mov, 0);
}

TEST(JuegoTeclas, SinLlegadaEnLosCarrilesExteriores)
{
    quieto(75);
    y = 72.0f;
    pos = 0;
    pulsa(KEY_DOWN, 3);
    EXPECT_EQ(y, 78.0f);
    pulsa(KEY_UP, 1);
    logica(5);
    EXPECT_EQ(y, 72.0f);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(mov, 1) << "no arrival test for lane 0: the change stays under way";
    pulsa(KEY_DOWN, 12);
    EXPECT_EQ(pos, 1);
    EXPECT_EQ(y, 96.0f);

    // upwards from lane 3 reversed: stops at 144 without arriving
    quieto(75);
    y = 144.0f;
    pos = 3;
    pulsa(KEY_UP, 2);
    key[KEY_DOWN] = 1;
    logica(4);
    EXPECT_EQ(y, 144.0f);
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(mov, 2);
}

TEST(JuegoTeclas, DuranteSalpicaduraCadaCuatroTicks)
{
    quieto(75);
    nscro = 6.0f;
    nscr2 = 1.0f;   // a splash runs
    cammov = 1;
    sanani[0].timer = 50.0f;
    sang = 1;
    key[KEY_UP] = 1;
    tick = 0;
    logica(8);   // ticks 1..8: teclasy on 4 and 8 only
    EXPECT_EQ(y, 118.0f);
}

TEST(JuegoTeclas, EscapeSaleSoloMientrasCorreElCamino)
{
    quieto(75);
    key[KEY_ESC] = 1;
    logica(1);
    EXPECT_EQ(cambnib, EST_SALIR);

    quieto(75);
    scr5 = 4;
    key[KEY_ESC] = 1;
    key[KEY_UP] = 1;
    logica(1);
    EXPECT_EQ(cambnib, EST_JUEGO) << "keys are ignored during the drive-off";
    EXPECT_EQ(mov, 0);
}

TEST(JuegoTeclas, SalidaHastaX320)
{
    quieto(75);
    nivel = 1;
    niveles = 3;
    scr5 = 4;
    mov = 1;   // a change under way is completed during the drive-off
    logica(12);
    EXPECT_EQ(y, 96.0f);
    EXPECT_EQ(x, 52.0f);
    logica(268);
    EXPECT_EQ(x, 320.0f);
    EXPECT_EQ(cambnib, EST_JUEGO);
    logica(1);
    EXPECT_EQ(cambnib, EST_NIVEL_OK);

    quieto(60);
    nivel = 3;
    niveles = 3;
    scr5 = 4;
    logica(224);   // 40 + 1.25 * 224 = 320
    EXPECT_EQ(cambnib, EST_JUEGO);
    logica(1);
    EXPECT_EQ(cambnib, EST_GANO) << "the last level wins the game";
}

TEST(JuegoTeclas, PausaDevuelveElTick)
{
    quieto(75);
    clear_to_color(actual_page, 0);
    key[KEY_P] = 1;
    tick = 100;
    std::thread mano([] {
        // each key change waits until the pause is waiting for it, however slow the machine
        auto etapa = [](int e) {
            for (int i = 0; i < 20000 && pausa_etapa != e; i++)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
        espera_pausa();
        etapa(PAUSA_SUELTA);
        for (int i = 0; i < 500; i++)
            tick = tick + 1;   // time passes during the pause
        key[KEY_P] = 0;
        etapa(PAUSA_PULSA);
        key[KEY_P] = -1;   // the library reads a held key as -1
        etapa(PAUSA_SUELTA_FIN);
        key[KEY_P] = 0;
    });
    act_logica();
    mano.join();
    EXPECT_EQ(pausa_etapa, PAUSA_NO);
    EXPECT_EQ(tick, 100);
    EXPECT_GT(tinta(actual_page, 100, 100, 220, 130), 0) << "PAUSA shown on the page on display";
}

TEST(JuegoTeclas, CerrarLaVentanaTerminaLaPausa)
{
    quieto(75);
    clear_to_color(actual_page, 0);
    key[KEY_P] = 1;
    tick = 7;
    std::thread cierre([] {
        espera_pausa();
        key[KEY_P] = 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        tick = tick + 40;
        salir = 1;
        cambnib = EST_SALIR;
    });
    act_logica();
    cierre.join();
    EXPECT_EQ(tick, 7);
    EXPECT_EQ(cambnib, EST_SALIR);
    salir = 0;
}
