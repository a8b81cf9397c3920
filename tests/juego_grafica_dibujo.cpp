// The picture of play: playfield window, back-to-front order, score text, explosion and splash frames.
#include <gtest/gtest.h>

#include "game/utilfun.h"
#include "juego_mundo.h"

using namespace mundo;

namespace {

int px(int x_, int y_)
{
    return getpixel(active_page, x_, y_);
}

// A level with no enemies, the road at its start, the truck on lane 2 at x 40.
void escena()
{
    monta(75);
    empieza(0.0f);
    s = 0;
    spr_cant = 0;
}

void entrada(int i, int picture, int y_, int x_)
{
    sprite_div[i][0] = picture;
    sprite_div[i][1] = y_;
    sprite_div[i][2] = x_;
    if (spr_cant < i + 1)
        spr_cant = i + 1;
}

const int CAMION = 200 + 8;   // colour of truck frame 0

}  // namespace

TEST(JuegoDibujo, CampoYFranjaDePuntos)
{
    escena();
    for (int i = 0; i < 137; i++) {
        tick = tick + 1;
        scro(2.5f);
    }
    act_grafica();
    for (int yy = 0; yy < CAMPO_H; yy += 7)
        for (int xx = 0; xx < PANTALLA_W; xx += 3) {
            if (xx >= 40 && xx < 86 && yy >= 129 && yy < 165)
                continue;   // the truck
            ASSERT_EQ(px(xx, yy), getpixel(scroll, scr4 + xx, yy)) << xx << "," << yy;
        }
    EXPECT_EQ(px(0, 192), COLOR_HUD);
    EXPECT_EQ(px(319, 239), COLOR_HUD);
    EXPECT_EQ(px(50, 140), CAMION) << "with no enemy the truck is drawn once, over the road";
}

TEST(JuegoDibujo, CamionEntreSuCarrilYElDeAbajo)
{
    escena();
    entrada(0, 2, 24 * 2 + 20, 45);   // lane 1 (row 2)
    entrada(1, 0, 24 * 3 + 20, 30);   // lane 2, the truck's own
    entrada(2, 1, 24 * 4 + 20, 60);   // lane 3, below
    act_grafica();
    EXPECT_EQ(px(50, 135), CAMION) << "its own lane and above lie under the truck";
    EXPECT_EQ(px(70, 140), 200 + 1) << "the lane below covers it";
    EXPECT_EQ(px(35, 100), 200 + 0);

    // between lanes the order follows y: 110 is above lane 2's line
    escena();
    y = 110.0f;
    entrada(0, 0, 24 * 3 + 20, 30);
    act_grafica();
    EXPECT_EQ(px(50, 130), 200 + 0) << "truck drawn before the lane-2 enemy";
    EXPECT_EQ(px(80, 130), CAMION);
}

TEST(JuegoDibujo, TextoDePuntosConRelleno)
{
    escena();
    puntos = 200;
    vidas = 5;
    act_grafica();
    BITMAP *ref = create_bitmap(PANTALLA_W, PANTALLA_H);
    clear_to_color(ref, 0);
    blit(hud, ref, 0, 0, 0, 192, 320, 48);
    textprintf_centre_ex(ref, font, 160, 206, -1, -1, "%s", "PUNTOS:  200 VIDAS: 5");
    int distintos = 0;
    for (int yy = 192; yy < 240; yy++)
        for (int xx = 0; xx < 320; xx++)
            distintos += getpixel(ref, xx, yy) != px(xx, yy);
    EXPECT_EQ(distintos, 0);
    destroy_bitmap(ref);
}

TEST(JuegoDibujo, CuadrosDeLaExplosion)
{
    struct { float fuego; int cuadro; } casos[] = {
        {1.0f, 17}, {11.9f, 17}, {12.0f, 18}, {119.5f, 26}, {120.0f, 17}, {131.0f, 17}, {132.0f, 18}, {239.9f, 26},
    };
    for (auto &c : casos) {
        escena();
        fuego = c.fuego;
        act_grafica();
        EXPECT_EQ(px(45, 50), 200 + c.cuadro) << "first flame at " << c.fuego;
        EXPECT_EQ(px(115, 160), 200 + c.cuadro) << "second flame 30 to the right";
        EXPECT_EQ(px(45, 42), getpixel(scroll, scr4 + 45, 42)) << "flame bottoms level with y + 45";
        EXPECT_NE(px(87, 150), CAMION) << "no truck during the flames";
    }
    // blinking from 240: the truck in one tick out of three
    for (int t = 0; t < 3; t++) {
        escena();
        fuego = 300.0f;
        tick = 30 + t;
        act_grafica();
        EXPECT_EQ(px(50, 140) == CAMION, t == 0) << "tick " << tick;
    }
}

TEST(JuegoDibujo, CuadrosDeLaSalpicadura)
{
    struct { float timer; int cuadro; } casos[] = {
        {79.0f, 13}, {80.0f, 13}, {60.0f, 13}, {59.9f, 14}, {40.0f, 14}, {39.0f, 15}, {20.0f, 15}, {19.5f, 16}, {0.5f, 16},
    };
    for (auto &c : casos) {
        escena();
        sanani[2] = Salpicadura{c.timer, 20, 150.5f};
        act_grafica();
        EXPECT_EQ(px(150, 20), 200 + c.cuadro) << "timer " << c.timer;
        EXPECT_EQ(px(219, 91), 200 + c.cuadro);
        EXPECT_EQ(px(149, 20), getpixel(scroll, scr4 + 149, 20));
    }
    escena();
    sanani[2] = Salpicadura{0.0f, 20, 150.0f};
    act_grafica();
    EXPECT_EQ(px(150, 20), getpixel(scroll, scr4 + 150, 20)) << "a free slot draws nothing";
}

TEST(JuegoDibujo, SalpicaduraConElCamionBajoElCarrilInferior)
{
    escena();
    sanani[0] = Salpicadura{50.0f, 85, 40.0f};   // over the truck
    entrada(0, 0, 24 * 3 + 20, 100);   // the truck's lane: under the splash
    entrada(1, 1, 24 * 4 + 20, 60);    // lane below: over the splash
    act_grafica();
    EXPECT_EQ(px(105, 100), 200 + 14) << "the splash covers an enemy of the truck's lane";
    EXPECT_EQ(px(65, 140), 200 + 1) << "an enemy below covers the splash";
}
