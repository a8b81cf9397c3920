// The presenter without a display: the scale chosen for a desktop, the -escala values, the scaled
// picture (every N x N block one colour, equal to the page), and the start-up retries.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "shared/pantalla.h"
#include "tests/prueba.h"

// Desktop size -> default window scale and full-screen scale: the 90% bounds of x2 on each side,
// never above 8, 1 when the desktop is unknown.
TEST(Escala, DesdeElEscritorio)
{
    const struct { int w, h, ventana, completa; } casos[] = {
        {1920, 1080, 4, 4}, {1024, 768, 2, 3}, {712, 534, 2, 2}, {711, 534, 1, 2}, {712, 533, 1, 2},
        {2560, 1440, 5, 6}, {7680, 4320, 8, 8}, {0, 0, 1, 1}, {-1, -1, 1, 1},
    };
    for (const auto &c : casos)
        EXPECT_EQ(std::make_pair(escala_defecto(c.w, c.h), escala_completa(c.w, c.h)), std::make_pair(c.ventana, c.completa))
            << c.w << "x" << c.h;
}

// "-escala" values: 1..8 taken silently; anything else 0 (the default) with one line on stderr that
// says what is wrong; a negative number is the option's value, another option is not.
TEST(Escala, ValoresDeLaOpcion)
{
    const struct { const char *valor; int n; const char *dice; } casos[] = {
        {"1", 1, ""}, {"8", 8, ""}, {"0", 0, "0 esta fuera de rango"}, {"9", 0, "9 esta fuera de rango"},
        {"-2", 0, "-2 esta fuera de rango"}, {"x", 0, "x no es un numero"}, {"3x", 0, "3x no es un numero"},
        {"", 0, " no es un numero"}, {NULL, 0, "necesita un numero de 1 a 8"},
    };
    for (const auto &c : casos) {
        std::string err = stderr_de([&] { EXPECT_EQ(valor_escala(c.valor, "KORVEX"), c.n) << (c.valor ? c.valor : "(none)"); });
        EXPECT_EQ(err.find(std::string("KORVEX: -escala ") + c.dice), c.n ? std::string::npos : 0u) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), c.n ? 0 : 1) << err;
    }
    const struct { std::vector<const char *> args; const char *valor; int sigue; } lineas[] = {
        {{"-escala", "3"}, "3", 2}, {{"-escala", "-3"}, "-3", 2}, {{"-escala", "-full"}, NULL, 1}, {{"-escala"}, NULL, 1},
    };
    for (const auto &l : lineas) {
        std::vector<char *> argv{(char *)"korvex"};
        for (const char *a : l.args)
            argv.push_back((char *)a);
        int i = 1;
        const char *v = valor_opcion((int)argv.size(), argv.data(), &i);
        EXPECT_EQ(std::make_pair(std::string(v ? v : "-"), i), std::make_pair(std::string(l.valor ? l.valor : "-"), l.sigue))
            << l.args.back();
    }
}

// Number of pixels of dst (picture at x0, y0, scale n) unlike the page pixel their block stands for.
static int fallos_escalado(BITMAP *pagina, BITMAP *dst, int n, int x0, int y0)
{
    int malos = 0;
    for (int y = 0; y < LIENZO_H * n; y++)
        for (int x = 0; x < LIENZO_W * n; x++)
            malos += dst->line[y0 + y][x0 + x] != pagina->line[y / n][x / n];
    return malos;
}

// The real presenter on a memory destination: a random page whole, then only a few changed rows
// (a corner of the page and a text line), at each scale and with the borders of a full screen.
TEST(Presentador, CadaBloqueUnColorIgualALaPagina)
{
    // The game palette's start: entry 0 black, entry 1 a dark purple (the library's own nearest-colour
    // search never picks entry 0).
    PALETTE pal;
    memcpy(pal, desktop_palette, sizeof pal);
    pal[0].r = pal[0].g = pal[0].b = 0;
    pal[1].r = 5, pal[1].g = 4, pal[1].b = 6;
    set_palette(pal);
    for (int n : {1, 2, 3, 4, 8}) {
        const int x0 = n == 3 ? 32 : 0, y0 = n == 3 ? 24 : 0;   // x3 as centred on 1024x768
        BITMAP *dst = create_bitmap_ex(8, LIENZO_W * n + 2 * x0, LIENZO_H * n + 2 * y0);
        ASSERT_TRUE(dst && prepara_lienzo(n, x0, y0));
        clear_to_color(dst, 77);
        presenta_destino = dst;
        srand(n);
        for (int y = 0; y < LIENZO_H; y++)
            for (int x = 0; x < LIENZO_W; x++)
                lienzo->line[y][x] = (unsigned char)(rand() & 0xFF);
        presenta();
        EXPECT_EQ(fallos_escalado(lienzo, dst, n, x0, y0), 0) << "x" << n;
        for (int y : {0, 100, 101, 239})
            for (int x = 0; x < LIENZO_W; x += 7)
                lienzo->line[y][x] ^= 0x5A;
        lienzo->line[239][319] ^= 0xFF;
        presenta();
        EXPECT_EQ(fallos_escalado(lienzo, dst, n, x0, y0), 0) << "x" << n << " after a change";
        EXPECT_TRUE(!x0 || getpixel(dst, x0 - 1, y0 - 1) == 0) << "black border: entry 0, the black one";
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
static int intento_falso() { return ++intentos <= fallos_previstos ? -1 : 0; }

TEST(Arranque, ReintentaYNombraLaPantalla)
{
    const char *antes = getenv("DISPLAY");
    std::string guardado = antes ? antes : "";
    int (*real)() = intenta_sistema;
    intenta_sistema = intento_falso;
    const struct { int fallos; const char *display; bool arranca; const char *dice; } casos[] = {
        {2, ":7", true, ""}, {99, ":7", false, "KORVEX: no hay pantalla grafica en DISPLAY=:7 ("},
        {99, NULL, false, "KORVEX: no hay pantalla grafica: DISPLAY no esta definido ("},
    };
    for (const auto &c : casos) {
        intentos = 0, fallos_previstos = c.fallos;
        c.display ? setenv("DISPLAY", c.display, 1) : unsetenv("DISPLAY");
        std::string err = stderr_de([&] { EXPECT_EQ(arranca_sistema("KORVEX", "./korvex"), c.arranca); });
        EXPECT_EQ(std::make_tuple(intentos, err.substr(0, strlen(c.dice)), err.find("xvfb-run -a ./korvex") != std::string::npos),
                  std::make_tuple(c.arranca ? c.fallos + 1 : (int)ARRANQUE_INTENTOS, c.dice, c.display == NULL)) << err;
    }
    antes ? setenv("DISPLAY", guardado.c_str(), 1) : unsetenv("DISPLAY");
    intenta_sistema = real;
}
