// The presenter without a display: the scale chosen for a desktop, the -escala values, the scaled
// picture (every N x N block one colour, equal to the page), the start-up retries, and the pad as keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "shared/mando.h"
#include "shared/pantalla.h"

// Desktop size -> default window scale and full-screen scale.
TEST(Escala, DesdeElEscritorio)
{
    const struct { int w, h, ventana, completa; } casos[] = {
        {1920, 1080, 4, 4},   // 1280x960 is within 90% of 1920x1080; 1536x1152 is not
        {1024, 768, 2, 3},
        {712, 534, 2, 2},     // the smallest desktop that takes x2 (640x480 within 90%)
        {711, 534, 1, 2},
        {712, 533, 1, 2},
        {640, 480, 1, 2},
        {2560, 1440, 5, 6},
        {7680, 4320, 8, 8},   // never above 8
        {0, 0, 1, 1},         // unknown desktop
        {-1, -1, 1, 1},
    };
    for (const auto &c : casos) {
        EXPECT_EQ(escala_defecto(c.w, c.h), c.ventana) << c.w << "x" << c.h;
        EXPECT_EQ(escala_completa(c.w, c.h), c.completa) << c.w << "x" << c.h;
    }
}

// "-escala" values: 1..8 taken; anything else 0 (the default) with one line on stderr.
TEST(Escala, ValoresDeLaOpcion)
{
    const struct { const char *valor; int n; } casos[] = {
        {"1", 1}, {"3", 3}, {"8", 8}, {"0", 0}, {"9", 0}, {"-2", 0}, {"x", 0}, {"3x", 0}, {"", 0}, {NULL, 0},
    };
    for (const auto &c : casos) {
        testing::internal::CaptureStderr();
        int n = valor_escala(c.valor, "KORVEX");
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(n, c.n) << (c.valor ? c.valor : "(none)");
        if (c.n)
            EXPECT_EQ(err, "");
        else
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_EQ(err.find("KORVEX: -escala"), c.n ? std::string::npos : 0u) << err;
    }
}

// Fills a page with a pattern that changes colour at every pixel.
static void pinta(BITMAP *b, unsigned semilla)
{
    srand(semilla);
    for (int y = 0; y < b->h; y++)
        for (int x = 0; x < b->w; x++)
            b->line[y][x] = (unsigned char)(rand() & 0xFF);
}

// Number of pixels of dst (picture at x0, y0, scale n) that break the rule: the sample at each
// block's corner equals the page, and every pixel of the block equals that sample.
static int fallos_escalado(BITMAP *pagina, BITMAP *dst, int n, int x0, int y0)
{
    int malos = 0;
    for (int y = 0; y < LIENZO_H * n; y++)
        for (int x = 0; x < LIENZO_W * n; x++)
            if (dst->line[y0 + y][x0 + x] != pagina->line[y / n][x / n])
                malos++;
    return malos;
}

// The real presenter on a memory destination: the whole picture, then only a few changed rows,
// at each scale and with the borders of a full screen.
TEST(Presentador, CadaBloqueUnColorIgualALaPagina)
{
    for (int n : {1, 2, 3, 4, 8}) {
        const int x0 = n == 3 ? 32 : 0, y0 = n == 3 ? 24 : 0;   // x3 as centred on 1024x768
        BITMAP *dst = create_bitmap_ex(8, LIENZO_W * n + 2 * x0, LIENZO_H * n + 2 * y0);
        ASSERT_TRUE(dst);
        clear_to_color(dst, 77);
        ASSERT_TRUE(prepara_lienzo(n, x0, y0));
        presenta_destino = dst;
        pinta(lienzo, n);
        presenta();
        EXPECT_EQ(fallos_escalado(lienzo, dst, n, x0, y0), 0) << "x" << n;

        // Rows 0, 100..101 and 239 change (a corner of the page and a text line): they reach the screen.
        for (int y : {0, 100, 101, 239})
            for (int x = 0; x < LIENZO_W; x += 7)
                lienzo->line[y][x] ^= 0x5A;
        lienzo->line[239][319] ^= 0xFF;
        presenta();
        EXPECT_EQ(fallos_escalado(lienzo, dst, n, x0, y0), 0) << "x" << n << " after a change";
        if (x0) {
            EXPECT_EQ(getpixel(dst, x0 - 1, y0 - 1), bestfit_color(black_palette, 0, 0, 0))
                << "the border is cleared to black";
        }
        EXPECT_FALSE(pantalla_x_muestra(lienzo, n, x0, y0, 0, LIENZO_H - 1)) << "no X window: the blit";
        presenta_destino = NULL;
        libera_paginas();
        destroy_bitmap(dst);
    }
    EXPECT_EQ(lienzo, nullptr);
}

// A start-up that fails twice, then starts, silently; one that always fails names the display,
// or suggests xvfb-run with the program's command when DISPLAY is unset.
static int intentos, fallos_previstos;
static int intento_falso()
{
    return ++intentos <= fallos_previstos ? -1 : 0;
}

TEST(Arranque, ReintentaYNombraLaPantalla)
{
    const char *antes = getenv("DISPLAY");
    std::string guardado = antes ? antes : "";
    int (*real)() = intenta_sistema;
    intenta_sistema = intento_falso;
    const struct { int fallos; const char *display; bool arranca; const char *dice; } casos[] = {
        {2, ":7", true, ""},
        {99, ":7", false, "KORVEX: no hay pantalla grafica en DISPLAY=:7 ("},
        {99, NULL, false, "KORVEX: no hay pantalla grafica: DISPLAY no esta definido ("},
    };
    for (const auto &c : casos) {
        intentos = 0;
        fallos_previstos = c.fallos;
        c.display ? setenv("DISPLAY", c.display, 1) : unsetenv("DISPLAY");
        testing::internal::CaptureStderr();
        EXPECT_EQ(arranca_sistema("KORVEX", "./korvex"), c.arranca);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(intentos, c.arranca ? c.fallos + 1 : (int)ARRANQUE_INTENTOS);
        EXPECT_EQ(err.substr(0, strlen(c.dice)), c.dice);
        EXPECT_EQ(err.find("xvfb-run -a ./korvex") != std::string::npos, c.display == NULL) << err;
    }
    antes ? setenv("DISPLAY", guardado.c_str(), 1) : unsetenv("DISPLAY");
    intenta_sistema = real;
}

// The keys the pad put in the buffer, in order.
static std::vector<int> pulsadas;
static void anota(int tecla)
{
    pulsadas.push_back(tecla >> 8);
}

// joy[0] with two sticks (the stick, and the D-pad as the second), buttons held as listed.
static void pon_mando(int eje, int stick, std::vector<int> botones)
{
    num_joysticks = 1;
    joy[0].num_sticks = 2;
    joy[0].num_buttons = 8;
    for (int s = 0; s < 2; s++) {
        joy[0].stick[s].num_axis = 2;
        joy[0].stick[s].axis[1].d1 = s == stick && eje < 0;
        joy[0].stick[s].axis[1].d2 = s == stick && eje > 0;
    }
    for (int b = 0; b < 8; b++)
        joy[0].button[b].b = std::count(botones.begin(), botones.end(), b) > 0;
    mando_actualiza();
}

// Holding is not a new press, key[] follows holding, the D-pad counts, the third button is P
// (press-release-press as the pause wants) unless a button is named START, which then is P.
TEST(Mando, ComoTeclas)
{
    void (*antes)(int) = mando_tecla;
    mando_tecla = anota;
    const char *nombres[8] = {"B1", "B2", "B3", "B4", "B5", "B6", "B7", "B8"};
    const struct { int eje, stick; std::vector<int> botones; const char *b8; std::vector<int> nuevas; int tenida; } pasos[] = {
        {-1, 0, {}, "B8", {KEY_UP}, KEY_UP},
        {-1, 0, {}, "B8", {}, KEY_UP},
        {1, 1, {}, "B8", {KEY_DOWN}, KEY_DOWN},
        {0, 0, {0, 1}, "B8", {KEY_ENTER, KEY_ESC}, KEY_ESC},
        {0, 0, {2}, "B8", {KEY_P}, KEY_P},
        {0, 0, {}, "B8", {}, 0},
        {0, 0, {2}, "B8", {KEY_P}, KEY_P},
        {0, 0, {}, "Start", {}, 0},
        {0, 0, {2, 5}, "Start", {}, 0},
        {0, 0, {7}, "Start", {KEY_P}, KEY_P},
        {0, 0, {3}, "Start", {KEY_O}, KEY_O},
    };
    for (size_t i = 0; i < sizeof pasos / sizeof pasos[0]; i++) {
        nombres[7] = pasos[i].b8;
        for (int b = 0; b < 8; b++)
            joy[0].button[b].name = nombres[b];
        pulsadas.clear();
        pon_mando(pasos[i].eje, pasos[i].stick, pasos[i].botones);
        EXPECT_EQ(pulsadas, pasos[i].nuevas) << "step " << i;
        EXPECT_TRUE(!pasos[i].tenida || key[pasos[i].tenida]) << "step " << i;
        for (int k : {KEY_UP, KEY_DOWN, KEY_P})
            EXPECT_TRUE(k == pasos[i].tenida || !key[k]) << "step " << i << " key " << k;
    }
    pon_mando(0, 0, {});
    num_joysticks = 0;
    mando_tecla = antes;
}
