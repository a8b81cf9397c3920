// Play: the road's timeline, the enemy window, contacts, bags and extra lives.
#include <gtest/gtest.h>

#include "game/utilfun.h"
#include "juego_mundo.h"

using namespace mundo;

namespace {

// The strip's visible window must show road pixels P-320..P-1, each from its map column.
void verifica_ventana()
{
    int p = posicion();
    for (int j = 0; j < PANTALLA_W; j++) {
        int road = (p - PANTALLA_W + j) % (MAPA_COLS * BLOQUE_W);
        int col = road / BLOQUE_W, px = road % BLOQUE_W;
        for (int yy = 0; yy < CAMPO_H; yy += 5) {
            int esperado = getpixel(tile[mapa[col][yy / BLOQUE_H]], px, yy % BLOQUE_H);
            ASSERT_EQ(getpixel(scroll, scr4 + j, yy), esperado)
                << "P=" << p << " column " << j << " y " << yy << " scr4=" << scr4;
        }
    }
}

}  // namespace

TEST(JuegoCamino, LineaDeTiempoA75y60Hz)
{
    monta(75);
    empieza(velocidad_nivel(4.0f, 2, animcon));
    EXPECT_EQ(nscro, 6.0f);
    EXPECT_EQ(posicion(), 352);
    logica(100);
    EXPECT_EQ(posicion(), 352 + 600);

    monta(60);
    EXPECT_EQ(animcon, 1.25f);
    empieza(velocidad_nivel(4.0f, 2, animcon));
    EXPECT_EQ(nscro, 7.5f);
    logica(1);
    EXPECT_EQ(posicion(), 359);   // 7 whole pixels, half a pixel carried
    EXPECT_FLOAT_EQ(sobscro, 0.5f);
    logica(1);
    EXPECT_EQ(posicion(), 367);
    logica(98);
    EXPECT_EQ(posicion(), 352 + 750);   // 450 pixels a second either way
}

TEST(JuegoCamino, VelocidadesPorCodigoYEscala)
{
    EXPECT_EQ(escala_tiempo(75), 1.0f);
    EXPECT_EQ(escala_tiempo(60), 1.25f);
    EXPECT_EQ(escala_tiempo(100), 0.75f);
    EXPECT_EQ(velocidad_nivel(3.0f, 1, 1.0f), 3.0f);
    EXPECT_EQ(velocidad_nivel(5.0f, 3, 1.0f), 10.0f);
    EXPECT_EQ(velocidad_nivel(4.0f, 2, 1.25f), 7.5f);
    // codes the editor never writes play as 1
    EXPECT_EQ(velocidad_nivel(4.0f, 0, 1.0f), 4.0f);
    EXPECT_EQ(velocidad_nivel(4.0f, 9, 1.25f), 5.0f);
}

TEST(JuegoCamino, LaTiraMuestraLosPixelesDelCamino)
{
    monta(75);
    empieza(7.3f);   // fractions, the strip's wrap and the pass boundary
    verifica_ventana();
    for (int i = 0; i < 900; i++) {
        logica(1);
        if (i % 45 == 0 || (posicion() > 6300 && posicion() < 6800))
            verifica_ventana();
    }
    EXPECT_EQ(scr5, 1);
    verifica_ventana();
}

TEST(JuegoCamino, ElCaminoTerminaTrasCuatroPasadas)
{
    monta(75);
    empieza(7.5f);
    int n = 0;
    while (scr5 < 4 && n < 10000) {
        logica(1);
        n++;
    }
    EXPECT_EQ(n, 3367);   // 352 + 7.5 n >= 25600
    EXPECT_EQ(posicion(), 4 * 6400 + 4);   // the last call completes all its steps
    int p = posicion();
    logica(3);
    EXPECT_EQ(posicion(), p) << "no scrolling once the road has ended";
    EXPECT_EQ(x, 40.0f + 4.0f) << "the truck drives off from the tick the road ends";
    sobscro = 0.25f;
    scro(0.5f);
    EXPECT_FLOAT_EQ(sobscro, 0.75f) << "the fraction is carried even after the end";
}

TEST(JuegoCamino, VentanaSinSignoYLimites)
{
    monta(75);
    enemigo(0, 1, 1, 7);     // left edge at road pixel 32
    enemigo(1, 11, 2, 1);    // road pixel 352
    empieza(1.0f);
    EXPECT_EQ(spr_cant, 0) << "road position 352: the lower bound wraps, nothing listed";
    logica(3);   // P = 355
    EXPECT_EQ(spr_cant, 0);
    logica(1);   // P = 356: L = 36
    ASSERT_EQ(spr_cant, 2);
    EXPECT_EQ(sprite_div[0][0], 6);
    EXPECT_EQ(sprite_div[0][1], 24 + 20);
    EXPECT_EQ(sprite_div[0][2], 32 - 36);
    EXPECT_EQ(sprite_div[1][2], 352 - 36);

    // The lower bound: x > L - 36 (screen x -35 listed, -36 not); the upper: x < L + 318.
    monta(75);
    enemigo(0, 20, 1, 7);    // road pixel 640
    empieza(0.0f);
    scr5 = 0;
    for (int sx : {-35, -36, 317, 318}) {
        scr1 = 640 + 320 - sx;
        enemivieja(0);
        ASSERT_EQ(spr_cant, sx > -36 && sx < 318 ? 1 : 0) << "screen x " << sx;
        if (spr_cant) {
            EXPECT_EQ(sprite_div[0][2], sx);
        }
    }
}

TEST(JuegoCamino, VentanaDeContactoYCarrilExacto)
{
    monta(75);
    enemigo(0, 40, 3, 7);    // bag on lane 2 (row offset 72 + 48 = 120), road pixel 1280
    empieza(0.0f);
    y = 120.0f;
    for (int sx : {-1, 0, 79, 80}) {
        scr1 = 1280 - sx + 320;
        int t = enemivieja(0);
        EXPECT_EQ(t, sx >= 0 && sx <= 79 ? 7 : 0) << "screen x " << sx;
    }
    scr1 = 1280 + 320 - 40;
    EXPECT_EQ(enemivieja(1), 0) << "argument 1 turns the test off";
    EXPECT_EQ(spr_cant, 1);
    y = 119.0f;
    EXPECT_EQ(enemivieja(0), 0) << "between lanes nothing is met";
    y = 120.5f;
    EXPECT_EQ(enemivieja(0), 0);
    y = 96.0f;
    EXPECT_EQ(enemivieja(0), 0) << "another lane";
    y = 120.0f;
    EXPECT_EQ(enemivieja(0), 7);
    EXPECT_EQ(sprcol, 0);
}

TEST(JuegoCamino, DosContactosEnUnTick)
{
    monta(75);
    enemigo(0, 40, 3, 7);
    enemigo(1, 41, 3, 7);
    empieza(0.0f);
    nscro = nscr2 = 0.0f;
    scr1 = 1280 + 320 - 20;   // both in the window: x 20 and 52
    logica(1);
    EXPECT_EQ(puntos, 50);
    EXPECT_EQ(ene_tipo(1), 0) << "the later record is taken first";
    EXPECT_EQ(ene_tipo(0), 7);
    EXPECT_EQ(pan, 255) << "the first bag is heard on the right";
    logica(1);
    EXPECT_EQ(puntos, 100);
    EXPECT_EQ(ene_tipo(0), 0);
    EXPECT_EQ(pan, 0);
}

TEST(JuegoCamino, TreintaEntradasComoMaximo)
{
    monta(75);
    // 11 columns x 3 rows = 33 enemies on screen, then a bag on lane 3 in the contact window
    int i = 0;
    for (int r = 1; r <= 3; r++)
        for (int c = 29; c < 40; c++)
            enemigo(i++, c, r, 8);
    enemigo(i, 31, 4, 7);
    empieza(0.0f);
    scr1 = 30 * 32 + 320;   // L = 960: column 30 at screen x 0
    y = 144.0f;
    int t = enemivieja(0);
    EXPECT_EQ(spr_cant, 30);
    EXPECT_EQ(t, 7) << "contact is tested beyond the 30th";
    EXPECT_EQ(sprcol, 33);
    EXPECT_EQ(sprite_div[0][2], -32);
    EXPECT_EQ(sprite_div[29][2], 32 * 6) << "the first 30 in table order are kept";
    EXPECT_EQ(sprite_div[29][1], 72 + 20);
}

TEST(JuegoCamino, VidasExtraA10000y20000)
{
    monta(75);
    enemigo(0, 40, 3, 1);
    empieza(0.0f);
    puntos = 9850;
    scr1 = 1280 + 320 - 10;
    logica(1);
    EXPECT_EQ(puntos, 10050);
    EXPECT_EQ(vidas, 6) << "the extra life comes in the same tick";
    EXPECT_EQ(bvid, 2);
    logica(5);
    EXPECT_EQ(vidas, 6);
    puntos = 19999;
    logica(1);
    EXPECT_EQ(vidas, 6);
    puntos = 20000;
    logica(1);
    EXPECT_EQ(vidas, 7);
    EXPECT_EQ(bvid, 3);
    puntos = 50000;   // one extra life per tick at most
    logica(1);
    EXPECT_EQ(vidas, 8);
    logica(1);
    EXPECT_EQ(vidas, 9);
}

TEST(JuegoCamino, BolsaAlternaElPanoramaEntreNiveles)
{
    monta(75);
    enemigo(0, 40, 3, 7);
    empieza(0.0f);
    scr1 = 1280 + 320 - 10;
    logica(1);
    EXPECT_EQ(pan, 255);
    enemigo(0, 40, 3, 7);   // the next level: pan is kept
    empieza(0.0f);
    scr1 = 1280 + 320 - 10;
    logica(1);
    EXPECT_EQ(pan, 0);
    EXPECT_EQ(puntos, 100);
}
