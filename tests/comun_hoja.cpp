// The sprite sheet's cuts and the loading of pictures and sounds.
#include <gtest/gtest.h>

#include <filesystem>

#include "prueba.h"
#include "shared/carga.h"

namespace {

// Pixel value of the synthetic sheet at (x, y): unique enough to tell rectangles apart.
int valor(int x, int y) { return (x * 7 + y * 13) % 256; }

void escribe_hoja(int w, int h)
{
    PALETTE p;
    for (int i = 0; i < 256; i++)
        p[i].r = p[i].g = p[i].b = i / 4;
    BITMAP *b = create_bitmap(w, h);
    for (int yy = 0; yy < h; yy++)
        for (int xx = 0; xx < w; xx++)
            putpixel(b, xx, yy, valor(xx, yy));
    save_bitmap("datos/imagen.bmp", b, p);
    destroy_bitmap(b);
    BITMAP *pic = create_bitmap(320, 240);
    clear_to_color(pic, 9);
    for (const char *n : {"datos/lurgo.bmp", "datos/korvex.bmp", "datos/gane.bmp"})
        save_bitmap(n, pic, p);
    destroy_bitmap(pic);
}

// True when bmp is a w x h copy of the sheet from (sx, sy).
::testing::AssertionResult es_copia(BITMAP *bmp, int w, int h, int sx, int sy)
{
    if (!bmp)
        return ::testing::AssertionFailure() << "missing";
    if (bmp->w != w || bmp->h != h)
        return ::testing::AssertionFailure() << "size " << bmp->w << "x" << bmp->h;
    for (int yy = 0; yy < h; yy++)
        for (int xx = 0; xx < w; xx++)
            if (getpixel(bmp, xx, yy) != valor(sx + xx, sy + yy))
                return ::testing::AssertionFailure() << "pixel " << xx << "," << yy;
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(HojaDeDibujos, CadaPiezaSaleDeSuRectangulo)
{
    CarpetaTemporal t;
    t.subcarpetas();
    escribe_hoja(320, 568);
    ASSERT_TRUE(CargarBMP());
    for (int r = 0; r < 4; r++)
        for (int c = 0; c < 10; c++)
            EXPECT_TRUE(es_copia(tile[10 * r + c], 32, 24, 32 * c, 424 + 24 * r)) << "tile " << 10 * r + c;
    for (int i = 0; i < 8; i++)
        EXPECT_TRUE(es_copia(sprite[i], 37, 72, 37 * i, 316)) << "enemy " << i;
    for (int i = 0; i < 5; i++)
        EXPECT_TRUE(es_copia(sprite[8 + i], 46, 36, 46 * i, 388)) << "truck " << i;
    for (int i = 0; i < 4; i++)
        EXPECT_TRUE(es_copia(sprite[13 + i], 70, 72, 70 * i, 244)) << "splash " << i;
    for (int i = 0; i < 6; i++) {
        EXPECT_TRUE(es_copia(sprite[17 + i], 50, 122, 50 * i, 122)) << "explosion " << i;
        EXPECT_TRUE(es_copia(sprite[23 + i], 50, 122, 50 * i, 0)) << "explosion " << 6 + i;
    }
    EXPECT_TRUE(es_copia(hud, 320, 48, 0, 520));
    EXPECT_EQ(sprite[29], nullptr);
    ASSERT_NE(imagen2, nullptr);
    EXPECT_EQ(getpixel(imagen2, 5, 5), 9);
    EXPECT_EQ(the_palette[255].r, 63);
    DestruyeBMP();
    EXPECT_EQ(tile[0], nullptr);
    EXPECT_EQ(hud, nullptr);
}

TEST(HojaDeDibujos, FaltaUnArchivoOHojaChicaYSeNombra)
{
    struct { const char *borra; int alto; } casos[] = {
        {"datos/gane.bmp", 568}, {"datos/imagen.bmp", 568}, {nullptr, 560}};
    for (auto &c : casos) {
        SCOPED_TRACE(c.alto);
        CarpetaTemporal t;
        t.subcarpetas();
        escribe_hoja(320, c.alto);
        if (c.borra)
            std::filesystem::remove(c.borra);
        EXPECT_FALSE(CargarBMP());
        EXPECT_STREQ(carga_fallo, c.borra ? c.borra : "datos/imagen.bmp");
        DestruyeBMP();
    }
}

TEST(Sonidos, FaltaUnSonidoYSeNombra)
{
    CarpetaTemporal t;
    t.subcarpetas();
    EXPECT_FALSE(carga_sonidos());
    EXPECT_STREQ(carga_fallo, "datos/explocio.wav");
    DestruyeSonidos();
    for (int i = 0; i < SLOTS_SONIDO; i++)
        EXPECT_EQ(sample[i], nullptr);
}
