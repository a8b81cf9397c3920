// The frame loops and the waits: catch-up of the single-page loop, tick restores, a whole level, the run.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include <sys/resource.h>

#include "game/utilfun.h"
#include "juego_mundo.h"

using namespace mundo;

namespace {

// The screen is a memory page for these tests (there is no display); restored afterwards.
struct PantallaFalsa {
    BITMAP *antes;
    BITMAP *b;
    PantallaFalsa() : antes(screen), b(create_bitmap(PANTALLA_W, PANTALLA_H))
    {
        clear_to_color(b, 0);
        screen = b;
    }
    ~PantallaFalsa()
    {
        screen = antes;
        destroy_bitmap(b);
    }
};

// Runs a wait from tick `inicio` while a thread gives a tick every millisecond; the thread stops
// once it sees the tick set back (its increment is a compare-and-swap, so it never undoes the
// restore). Returns how many ticks the wait lasted: from the value the clock was set back to (the
// value the wait read at entry) to the last tick given; -1 when the clock was never set back.
template <class F>
int ticks_esperados(int inicio, F espera)
{
    tick = inicio;
    std::atomic<bool> fin{false};
    std::atomic<int> duro{-1};
    std::thread reloj([&] {
        int ultimo = inicio;
        while (!fin) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            int t = ultimo;
            if (!__atomic_compare_exchange_n((int *)&tick, &t, ultimo + 1, false, __ATOMIC_SEQ_CST,
                                             __ATOMIC_SEQ_CST)) {
                if (t >= inicio && t < ultimo)
                    duro = ultimo - t;   // set back to t, the clock at the wait's entry
                break;
            }
            ultimo = ultimo + 1;
        }
    });
    espera();
    fin = true;
    reloj.join();
    return duro;
}

// Slack for the scheduler on a loaded machine, ticks past the wait's end.
const int HOLGURA = 40;

// CPU seconds the calling thread has used so far.
double cpu_hilo()
{
    rusage r;
    getrusage(RUSAGE_THREAD, &r);
    return r.ru_utime.tv_sec + r.ru_utime.tv_usec / 1e6 + r.ru_stime.tv_sec + r.ru_stime.tv_usec / 1e6;
}

}  // namespace

TEST(JuegoBucle, TrasUnParonTreintaYDosPasosYUnDibujo)
{
    monta(75);
    empieza(1.0f);   // one pixel per logic step: the road position counts the steps
    int p0 = posicion();
    tick = 1000;
    PasoBucle p{900, 0, 0};   // a stall of 100 ticks
    int dibujos = 0, pasadas = 0;
    while (dibujos == 0 && pasadas < 100) {
        dibujos += pasada_bucle2(&p);
        pasadas++;
    }
    EXPECT_EQ(pasadas, 32);
    EXPECT_EQ(posicion() - p0, 32) << "32 logic steps, then a picture";
    EXPECT_EQ(p.next, 1000) << "the backlog is dropped";
    EXPECT_EQ(p.skipped, 0);
    EXPECT_EQ(getpixel(actual_page, 5, 5), getpixel(scroll, scr4 + 5, 5)) << "the picture reached the screen";
    // then the normal rate from the current tick
    EXPECT_EQ(pasada_bucle2(&p), 1);
    EXPECT_EQ(posicion() - p0, 33);
    // up to date and the picture shown: nothing is run or drawn until the next tick
    EXPECT_TRUE(bucle2_al_dia(&p));
    putpixel(actual_page, 0, 0, 77);
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(pasada_bucle2(&p), 0);
    EXPECT_EQ(posicion() - p0, 33);
    EXPECT_EQ(getpixel(actual_page, 0, 0), 77) << "the same picture was not copied again";
    tick = tick + 1;
    EXPECT_FALSE(bucle2_al_dia(&p));
    EXPECT_EQ(pasada_bucle2(&p), 1) << "the next tick: one step and its picture";
    EXPECT_EQ(posicion() - p0, 34);
    EXPECT_NE(getpixel(actual_page, 0, 0), 77);
    EXPECT_TRUE(bucle2_al_dia(&p));
}

TEST(JuegoBucle, SinTickNuevoNoSeRedibuja)
{
    monta(75);
    empieza(1.0f);
    int p0 = posicion();
    tick = 50;
    PasoBucle p{50, 0, 0};   // as a level starts: its first picture is on screen
    EXPECT_FALSE(bucle2_al_dia(&p)) << "the step of the current tick is due";
    EXPECT_EQ(pasada_bucle2(&p), 1);
    EXPECT_EQ(posicion() - p0, 1);
    int dibujos = 0;
    for (int i = 0; i < 100; i++)
        dibujos += pasada_bucle2(&p);
    EXPECT_EQ(dibujos, 0) << "a hundred passes in the same tick draw nothing";
    EXPECT_EQ(posicion() - p0, 1);
    // two ticks behind: the first pass only steps, the second steps and draws
    tick = 53;
    EXPECT_EQ(pasada_bucle2(&p), 0);
    EXPECT_FALSE(bucle2_al_dia(&p)) << "a step not yet shown";
    EXPECT_EQ(pasada_bucle2(&p), 1);
    EXPECT_EQ(posicion() - p0, 3);
    EXPECT_EQ(pasada_bucle2(&p), 1);
    EXPECT_EQ(posicion() - p0, 4);
    EXPECT_EQ(pasada_bucle2(&p), 0);
    EXPECT_EQ(p.next, 54);
    // the clock set back by a wait (the pause) leaves the loop waiting, with nothing dropped
    tick = 40;
    EXPECT_TRUE(bucle2_al_dia(&p));
    EXPECT_EQ(pasada_bucle2(&p), 0);
    EXPECT_EQ(posicion() - p0, 4);
}

TEST(JuegoBucle, EsperasDevuelvenElTick)
{
    monta(75);
    int n = ticks_esperados(500, [] { delay(0.2f); });
    EXPECT_GE(n, 15);
    EXPECT_LE(n, 15 + HOLGURA);

    monta(60);
    n = ticks_esperados(77, [] { delay2(0.2f); });
    EXPECT_GE(n, 12) << "no key: the whole wait";
    EXPECT_LE(n, 12 + HOLGURA);
    n = ticks_esperados(1, [] { delay(3.0f); });
    EXPECT_GE(n, 180);
    EXPECT_LT(n, 225) << "three seconds at 60 Hz";
}

TEST(JuegoBucle, Delay2TerminaAlSalir)
{
    monta(75);
    std::thread cierre([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        cambnib = EST_SALIR;
    });
    int n = ticks_esperados(40, [] { delay2(18.0f); });   // 1350 ticks: over a second at this clock
    cierre.join();
    EXPECT_GE(n, 0) << "the clock was set back";
    EXPECT_LT(n, 1350);
    tick = 40;
    delay2(18.0f);   // no clock at all: only the quit state can end it
    EXPECT_EQ(tick, 40);
    cambnib = EST_JUEGO;
}

TEST(JuegoBucle, NivelEnteroConElBucleDeUnaPagina)
{
    PantallaFalsa pf;
    monta(75);
    nivel = 2;
    niveles = 3;
    nscro = 50.0f;
    tick = 0;
    Reloj r(50);
    game_main_loop2();
    EXPECT_EQ(cambnib, EST_NIVEL_OK);
    EXPECT_EQ(active_page, screen) << "the screens after it draw on what is shown";
    EXPECT_EQ(scr5, 4);
    EXPECT_GE(x, 320.0f);
    EXPECT_EQ(actual_page, screen);
    EXPECT_GT(tinta(screen, 0, 192, 320, 240), 0) << "the last picture was copied to the screen";
}

TEST(JuegoBucle, NivelConRelojLentoNoOcupaElProcesador)
{
    PantallaFalsa pf;
    monta(75);
    nscro = 256.0f;   // the road in 100 steps, then 280 steps of drive-off and the 3 s end
    tick = 0;
    auto t0 = std::chrono::steady_clock::now();
    double c0 = cpu_hilo();
    Reloj r(2000);    // a tick every 2 ms: over a second of play between the waits
    game_main_loop2();
    r.para();
    double cpu = cpu_hilo() - c0;
    double pared = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_EQ(cambnib, EST_NIVEL_OK);
    EXPECT_GT(pared, 1.0);
    EXPECT_LT(cpu / pared, 0.3) << cpu << " s of CPU in " << pared << " s: the loop waits for the ticks";
}

TEST(JuegoBucle, CerrarLaVentanaTerminaElNivel)
{
    PantallaFalsa pf;
    monta(75);
    nscro = 1.0f;
    Reloj r(100);
    std::thread cierre([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        salir = 1;
        cambnib = EST_SALIR;
    });
    game_main_loop2();
    cierre.join();
    EXPECT_EQ(cambnib, EST_SALIR);
    EXPECT_LT(scr5, 4);
    salir = 0;
}

TEST(JuegoBucle, SinNivelesVuelveAlTitulo)
{
    PantallaFalsa pf;
    monta(75);
    niveles = 0;
    cambnib = EST_JUEGO;
    active_page = screen;
    puntos = 999;
    int n = ticks_esperados(10, [] { game(); });
    EXPECT_GE(n, 225) << "three seconds of message";
    EXPECT_LE(n, 225 + HOLGURA);
    EXPECT_EQ(cambnib, EST_TITULO);
    EXPECT_EQ(puntos, 0);
    EXPECT_GT(tinta(screen, 0, 100, 320, 130), 0) << "NO HAY NIVELES on screen";
}

TEST(JuegoBucle, ExplosionSigueEnElNivelSiguiente)
{
    monta(75);
    enemigo(0, 20, 3, 1);
    fuego = 300.0f;   // second part, blinking, when the level ends
    empieza(6.0f);
    EXPECT_EQ(fuego, 300.0f);
    int n = 0;
    while (fuego != 0.0f && n < 500) {
        logica(1);
        n++;
    }
    EXPECT_EQ(n, 181);
    EXPECT_EQ(ene_tipo(0), 1) << "the pedestrian passed during the explosion is untouched";
    EXPECT_EQ(vidas, 5) << "no life taken in the second part";
}
