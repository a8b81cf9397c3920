// The shipped pictures: the sprite sheet's cells and blocks, the palette roles, the
// full-screen pictures and the band of the title kept clear for the prompt.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "shared/carga.h"

namespace {

const std::string dir = KORV_DIR;

// A loaded 8-bit picture with its palette; freed on destruction.
struct Imagen {
    BITMAP *b = nullptr;
    PALETTE p;
    explicit Imagen(const std::string &rel) { b = load_bitmap((dir + "/" + rel).c_str(), p); }
    ~Imagen() { if (b) destroy_bitmap(b); }
    // Perceived brightness 0..255 of a palette index (6-bit channels).
    double luz(int c) const { return (0.299 * p[c].r + 0.587 * p[c].g + 0.114 * p[c].b) * 255.0 / 63.0; }
};

// One group of cells of the sheet.
struct Grupo {
    const char *nombre;
    int y, w, h, n;
    bool pies;   // the picture stands on the bottom row of its cell
};
const Grupo grupos[] = {
    {"explosion 6-11", 0, 50, 122, 6, false}, {"explosion 0-5", 122, 50, 122, 6, false},
    {"salpicadura", 244, 70, 72, 4, false},    {"enemigos", 316, 37, 72, 8, true},
    {"camion", 388, 46, 36, 5, true},
};

}  // namespace

TEST(HojaDibujos, TamanoYProfundidad)
{
    Imagen h("datos/imagen.bmp");
    ASSERT_NE(h.b, nullptr);
    EXPECT_EQ(h.b->w, 320);
    EXPECT_EQ(h.b->h, 568);
    EXPECT_EQ(bitmap_color_depth(h.b), 8);
}

// Every sprite cell has a picture, a transparent frame on the left, right and top
// (the game draws them over the road), and people, objects and the truck stand on its bottom row.
TEST(HojaDibujos, CeldasConDibujoYMargenes)
{
    Imagen h("datos/imagen.bmp");
    ASSERT_NE(h.b, nullptr);
    for (const Grupo &g : grupos)
        for (int i = 0; i < g.n; i++) {
            int x0 = g.w * i, y0 = g.y, llenos = 0, abajo = -1;
            for (int y = 0; y < g.h; y++)
                for (int x = 0; x < g.w; x++)
                    if (getpixel(h.b, x0 + x, y0 + y)) {
                        llenos++;
                        abajo = y;
                        bool borde = x == 0 || x == g.w - 1 || y == 0;
                        EXPECT_FALSE(borde) << g.nombre << " celda " << i << " toca el borde en " << x << "," << y;
                    }
            EXPECT_GT(llenos, 40) << g.nombre << " celda " << i << " casi vacia";
            if (g.pies) {
                EXPECT_GE(abajo, g.h - 2) << g.nombre << " celda " << i << " no llega al suelo";
            }
        }
}

// The explosion bursts from the ground, level with the truck's wheels (the first three
// frames reach the bottom row), and its fireball still stands on the road as it grows.
TEST(HojaDibujos, ExplosionNaceDelSuelo)
{
    Imagen h("datos/imagen.bmp");
    ASSERT_NE(h.b, nullptr);
    for (int f = 0; f < 5; f++) {
        int abajo = -1;
        for (int y = 0; y < 122; y++)
            for (int x = 0; x < 50; x++)
                if (getpixel(h.b, 50 * f + x, 122 + y)) abajo = y;
        EXPECT_GE(abajo, f < 3 ? 119 : 104) << "cuadro " << f;
    }
}

// Blocks are opaque, and the blocks that fill whole stretches (lanes, pavements, skies,
// fields) tile: the step from a block's right edge into its left edge is no harsher
// than the harshest step between its own columns (nor, on smooth blocks, than their
// usual step).
TEST(HojaDibujos, BloquesOpacosYContinuos)
{
    Imagen h("datos/imagen.bmp");
    ASSERT_NE(h.b, nullptr);
    const int continuos[] = {0, 1, 4, 5, 6, 7, 8, 10, 23, 25, 26, 29, 32, 33, 38};
    for (int t = 0; t < NUM_TILES; t++) {
        int x0 = 32 * (t % 10), y0 = 424 + 24 * (t / 10);
        for (int y = 0; y < 24; y++)
            for (int x = 0; x < 32; x++)
                ASSERT_NE(getpixel(h.b, x0 + x, y0 + y), 0) << "bloque " << t << " tiene un agujero";
    }
    for (int t : continuos) {
        int x0 = 32 * (t % 10), y0 = 424 + 24 * (t / 10);
        auto salto = [&](int xa, int xb) {
            double s = 0;
            for (int y = 0; y < 24; y++)
                s += std::fabs(h.luz(getpixel(h.b, x0 + xa, y0 + y)) - h.luz(getpixel(h.b, x0 + xb, y0 + y)));
            return s / 24;
        };
        double dentro = 0, mayor = 0;
        for (int x = 1; x < 32; x++) {
            dentro += salto(x - 1, x);
            mayor = std::max(mayor, salto(x - 1, x));
        }
        dentro /= 31;
        EXPECT_LE(salto(31, 0), std::max(1.5 * dentro + 4, mayor))
            << "bloque " << t << ": su borde izquierdo no sigue al derecho";
    }
}

// The palette roles: 255 plain text near white, 239 a highlight readable on black and on
// white, the font's own inks bright on black; index 0 black.
TEST(HojaDibujos, PapelesDeLaPaleta)
{
    Imagen h("datos/imagen.bmp");
    ASSERT_NE(h.b, nullptr);
    EXPECT_EQ(h.p[0].r + h.p[0].g + h.p[0].b, 0);
    EXPECT_GT(h.luz(255), 235);
    EXPECT_GT(h.luz(239), 50);
    EXPECT_LT(h.luz(239), 150);
    EXPECT_GT(h.p[239].r - std::min(h.p[239].g, h.p[239].b), 30) << "239 debe ser un color saturado";
}

TEST(PantallasCompletas, TamanoYPaletaPropia)
{
    for (const char *n : {"datos/lurgo.bmp", "datos/korvex.bmp", "datos/gane.bmp"}) {
        Imagen i(n);
        ASSERT_NE(i.b, nullptr) << n;
        EXPECT_EQ(i.b->w, 320) << n;
        EXPECT_EQ(i.b->h, 240) << n;
        EXPECT_EQ(bitmap_color_depth(i.b), 8) << n;
        int usados[256] = {};
        for (int y = 0; y < 240; y++)
            for (int x = 0; x < 320; x++) usados[getpixel(i.b, x, y)] = 1;
        int n_usados = 0;
        for (int c : usados) n_usados += c;
        EXPECT_GT(n_usados, 24) << n << ": pocos colores para un dibujo";
    }
}

// "APRETA ENTER" blinks at y 160 in colour 4 of the title's palette: that colour is bright
// and the band behind the text is dark and calm.
TEST(PantallasCompletas, TituloDejaLugarAlAviso)
{
    Imagen t("datos/korvex.bmp");
    ASSERT_NE(t.b, nullptr);
    EXPECT_GT(t.luz(4), 180);
    double suma = 0, mas = 0;
    int n = 0;
    for (int y = 158; y < 182; y++)
        for (int x = 84; x < 236; x++) {
            double l = t.luz(getpixel(t.b, x, y));
            suma += l;
            mas = std::max(mas, l);
            n++;
        }
    EXPECT_LT(suma / n, t.luz(4) / 2.5);
    EXPECT_LT(mas, t.luz(4));
}
