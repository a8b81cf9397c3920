// Play: run-over pedestrians and their splashes, the explosion's timeline, game over.
#include <gtest/gtest.h>

#include "game/utilfun.h"
#include "juego_mundo.h"

using namespace mundo;

namespace {

// Puts the road so that record i's column stands at screen x sx (road not moving unless speed given).
void delante(int col, int sx)
{
    scr5 = 0;
    scr1 = BLOQUE_W * col + PANTALLA_W - sx;
}

// Runs an explosion from the hit on, tick by tick; records the tick numbers of its marks.
struct Marcas {
    int vida = -1;       // tick in which the life was taken
    int fin = -1;        // first tick with fuego back to 0
    int vidas_antes = 0;
};

Marcas explota(int max_ticks)
{
    Marcas m;
    m.vidas_antes = vidas;
    for (int n = 1; n <= max_ticks && m.fin < 0; n++) {
        int v = vidas;
        int c = cambnib;
        logica(1);
        if ((vidas != v || cambnib != c) && m.vida < 0)
            m.vida = n;
        if (fuego == 0.0f)
            m.fin = n;
    }
    return m;
}

}  // namespace

TEST(JuegoEfectos, AtropelloPuntosRestosYFrenada)
{
    monta(75);
    enemigo(0, 40, 3, 4);
    empieza(6.0f);
    delante(40, 40);
    logica(1);   // the road moves 6 first: screen x 34
    EXPECT_EQ(puntos, 200);
    EXPECT_EQ(ene_tipo(0), 8) << "the pedestrian becomes remains";
    EXPECT_EQ(sanani[0].timer, 79.0f) << "80, less the first update of the same tick";
    EXPECT_EQ(sanani[0].y, 120 - 35);
    EXPECT_EQ(sanani[0].x, 34.0f - 40.0f - 1.0f);
    EXPECT_EQ(nscr2, 1.0f);
    EXPECT_EQ(cammov, 1);
    EXPECT_EQ(sang, 1);
    int p = posicion();
    logica(78);   // timer 1
    EXPECT_EQ(posicion(), p + 78) << "one pixel a tick while the splash runs";
    EXPECT_EQ(nscr2, 1.0f);
    logica(1);   // timer 0: the splash has run out
    EXPECT_EQ(sanani[0].timer, 0.0f);
    EXPECT_EQ(nscr2, 1.0f) << "full speed returns one tick later";
    logica(1);
    EXPECT_EQ(nscr2, 6.0f);
    EXPECT_EQ(cammov, 2);
    EXPECT_EQ(posicion(), p + 80) << "that tick scrolled at the slow speed";
    logica(1);
    EXPECT_EQ(posicion(), p + 86);
    logica(10);
    EXPECT_EQ(puntos, 200) << "remains never act again";
}

TEST(JuegoEfectos, SalpicaduraA60HzDura64Ticks)
{
    monta(60);
    enemigo(0, 40, 3, 1);
    empieza(7.5f);
    delante(40, 40);
    int n = 0;
    logica(1);
    ASSERT_EQ(puntos, 200);
    EXPECT_EQ(nscr2, 1.25f);
    while (sanani[0].timer > 0.0f && n < 200) {
        logica(1);
        n++;
    }
    EXPECT_EQ(n + 1, 64);
    logica(1);
    EXPECT_EQ(nscr2, 7.5f);
}

TEST(JuegoEfectos, SeisSalpicadurasComoMaximo)
{
    monta(75);
    empieza(0.0f);
    nscro = nscr2 = 0.0f;
    scr1 = 1280 + 320 - 10;   // column 40 at screen x 10
    for (int i = 0; i < 7; i++) {
        enemigo(0, 40, 3, 2);
        logica(1);
    }
    EXPECT_EQ(puntos, 1400) << "the seventh still scores";
    int corriendo = 0;
    for (int i = 0; i < SLOTS_SANGRE; i++)
        corriendo += sanani[i].timer > 0.0f;
    EXPECT_EQ(corriendo, 6);
    EXPECT_EQ(sanani[5].timer, 78.0f);
    EXPECT_EQ(sanani[0].timer, 73.0f);
    EXPECT_EQ(nscr2, 1.0f) << "the road crawls at one pixel a tick";
    // slots free in order: the next run-over takes slot 0 once it has run out
    logica(73);
    EXPECT_EQ(sanani[0].timer, 0.0f);
    enemigo(0, 40, 3, 2);
    scr1 = 1280 + 320 - 10;
    logica(1);
    EXPECT_EQ(sanani[0].timer, 79.0f);
    // the slow-down lasts until one tick after the last splash
    nscro = 5.0f;
    int n = 0;
    while (nscr2 != nscro && n < 200) {
        logica(1);
        n++;
    }
    EXPECT_EQ(n, 80);
    EXPECT_EQ(cammov, 2);
}

// Hits an explosive at screen x 46 on the truck's lane; the hit tick is run.
void golpe(int hz, float velocidad)
{
    monta(hz);
    enemigo(0, 40, 3, 6);
    enemigo(1, 60, 3, 1);   // a pedestrian that passes the truck during the explosion
    empieza(velocidad);
    delante(40, 46 + (int)velocidad);
    logica(1);
}

TEST(JuegoEfectos, ExplosionA75Hz)
{
    golpe(75, 6.0f);
    EXPECT_EQ(ene_tipo(0), 0) << "the explosive is gone";
    EXPECT_EQ(fuego, 2.0f) << "set to 1, then advanced once in the same tick";
    EXPECT_EQ(nscr2, 0.0f);
    int p = posicion();
    key[KEY_UP] = 1;   // the player cannot act while the road stands
    key[KEY_ESC] = 1;
    Marcas m = explota(1000);
    EXPECT_EQ(m.vida, 236) << "the tick in which the clock passes 237";
    EXPECT_EQ(m.fin, 479) << "480 is reached, the next tick returns to 0";
    EXPECT_EQ(vidas, 4) << "a single life taken";
    EXPECT_EQ(ene_tipo(1), 1) << "contacts are ignored during the explosion";
    EXPECT_EQ(puntos, 0);
    EXPECT_EQ(cambnib, EST_SALIR) << "keys act again once the road runs";
    EXPECT_EQ(posicion(), p + 6 * (479 - 236)) << "the road restarts in the tick after the life tick";
}

TEST(JuegoEfectos, CarreteraParadaHasta237)
{
    golpe(75, 6.0f);
    int p = posicion();
    key[KEY_UP] = 1;
    logica(235);
    EXPECT_EQ(fuego, 237.0f);
    EXPECT_EQ(posicion(), p);
    EXPECT_EQ(y, 120.0f) << "no lane change during the first part";
    EXPECT_EQ(vidas, 5);
    logica(1);
    EXPECT_EQ(fuego, 238.0f);
    EXPECT_EQ(vidas, 4);
    EXPECT_EQ(nscr2, 6.0f);
    EXPECT_EQ(posicion(), p) << "this tick scrolled before the speed came back";
    EXPECT_EQ(y, 120.0f);
    logica(1);
    EXPECT_EQ(posicion(), p + 6);
    EXPECT_EQ(y, 118.0f) << "the player acts again";
}

TEST(JuegoEfectos, ExplosionA60Hz)
{
    golpe(60, 7.5f);
    EXPECT_EQ(fuego, 2.25f);
    Marcas m = explota(1000);
    EXPECT_EQ(m.vida, 188);   // 2.25 + 1.25 * 188 = 237.25
    EXPECT_EQ(m.fin, 384);    // 481 at 383, then 0
    EXPECT_EQ(vidas, 4);
}

TEST(JuegoEfectos, SinVidasFinDelJuego)
{
    golpe(75, 6.0f);
    vidas = 0;
    logica(235);
    EXPECT_EQ(cambnib, EST_JUEGO);
    logica(1);
    EXPECT_EQ(cambnib, EST_GAMEOVER);
    EXPECT_EQ(vidas, 0);
    logica(300);
    EXPECT_EQ(cambnib, EST_GAMEOVER) << "written once";
}

TEST(JuegoEfectos, SegundoExplosivoNoReiniciaLaExplosion)
{
    monta(75);
    enemigo(0, 40, 3, 6);
    enemigo(1, 41, 3, 6);
    empieza(0.0f);
    nscro = nscr2 = 0.0f;   // a road that never moves: both stay in the window
    delante(40, 10);
    logica(1);
    EXPECT_EQ(ene_tipo(1), 0) << "the later record is hit";
    logica(10);
    EXPECT_EQ(fuego, 12.0f);
    EXPECT_EQ(ene_tipo(0), 6) << "not hit while one explosion runs";
}

TEST(JuegoEfectos, AnimacionDelCamion)
{
    monta(75);
    empieza(0.0f);
    s = 4;
    animacion();
    EXPECT_EQ(s, 0) << "dela starts at 10: the first step changes the frame";
    EXPECT_EQ(dela, 0.0f);
    int cambios = 0;
    for (int i = 0; i < 110; i++) {
        int antes = s;
        animacion();
        cambios += s != antes;
    }
    EXPECT_EQ(cambios, 10) << "every 11 ticks at 75 Hz";
    EXPECT_EQ(s, 0) << "frames 0..4 in turn";
}
