// The game's font: a colour font at object 1 of datos/font.dat with every printable
// character, and every text the programs draw in it fits the screen.
#include <gtest/gtest.h>

#include <string>

#include "shared/carga.h"

namespace {

// The font datafile, loaded once for the suite.
struct Fuente {
    DATAFILE *d = nullptr;
    FONT *f = nullptr;
    Fuente()
    {
        d = load_datafile(KORV_DIR "/datos/font.dat");
        if (d && d[0].type != DAT_END && d[1].type == DAT_FONT) f = (FONT *)d[1].dat;
    }
    ~Fuente() { if (d) unload_datafile(d); }
};

// Every text drawn in the game font, with its widest values filled in
// (scores of six digits, two-digit lives and levels).
const char *const textos_juego[] = {
    "APRETA ENTER", "SELECIONA LA DIFICULTAD", "VOY DE PASEO", "QUIERO JUGAR", "SOY JODIDO",
    "GAME OVER", "TU PUNTAJE FINAL", "VIDAS: 99 X 3000", "PUNTOS:   999999", "TOTAL:    999999",
    "NUEVO RECORD", "PUNTAJE", "2147483647", "INGRESA TUS INICIALES", "WWW",
    "RANKING - VOY DE PASEO", "RANKING - QUIERO JUGAR", "RANKING - SOY JODIDO", "10 999999 WWW",
    "SIGUIENTE NIVEL: 15", "PAUSA", "PUNTOS:999999 VIDAS:99", "KORVEX",
};
// The editor's texts, should it draw them in this font.
const char *const textos_editor[] = {
    "NUEVO MAPA", "CARGAR MAPA", "OPCIONES MAPA", "GUARDAR", "SALIR", "CARGAR", "MULTIPLICA VEL",
    "x1", "x1.5", "x2", "NO HA GURDADO", "DESEA GUARDAR?", "SI", "NO", "MODO: ENEMIGO", "MODO: FONDO  ",
    "POSX2: 3    POSX: 199", "MAPA: levels/nivel_15.map", "15 nivel_15.map",
};

}  // namespace

TEST(FuenteJuego, ObjetoUnoEsUnaFuenteEnColores)
{
    Fuente t;
    ASSERT_NE(t.d, nullptr);
    ASSERT_NE(t.f, nullptr) << "el objeto 1 de font.dat no es una fuente";
    EXPECT_TRUE(is_color_font(t.f));
    EXPECT_EQ(get_font_ranges(t.f), 1);
    EXPECT_LE(get_font_range_begin(t.f, 0), ' ');
    EXPECT_GE(get_font_range_end(t.f, 0), '~');
    EXPECT_LE(text_height(t.f), 21) << "las lineas del ranking van cada 21 pixeles";
}

// Each glyph draws something (space aside), and only in the font's own inks, none of which
// is 0, 239 or 255: drawn with colour -1 it shows its gradient, not plain text colours.
TEST(FuenteJuego, CadaCaracterTieneGlifo)
{
    Fuente t;
    ASSERT_NE(t.f, nullptr);
    BITMAP *b = create_bitmap(40, 40);
    for (int c = '!'; c <= '~'; c++) {
        clear_bitmap(b);
        char s[2] = {(char)c, 0};
        textout_ex(b, t.f, s, 0, 0, -1, -1);
        int tinta = 0, colores[256] = {};
        for (int y = 0; y < 40; y++)
            for (int x = 0; x < 40; x++) {
                int p = getpixel(b, x, y);
                if (p) { tinta++; colores[p] = 1; }
            }
        EXPECT_GT(tinta, 2) << "sin glifo para '" << s << "'";
        EXPECT_EQ(colores[239] + colores[255], 0) << "'" << s << "'";
        int distintos = 0;
        for (int k : colores) distintos += k;
        EXPECT_GE(distintos, 3) << "'" << s << "' no tiene degradado";
    }
    destroy_bitmap(b);
}

TEST(FuenteJuego, TextosCabenEnLaPantalla)
{
    Fuente t;
    ASSERT_NE(t.f, nullptr);
    for (const char *s : textos_juego)
        EXPECT_LE(text_length(t.f, s), 320) << s;
    for (const char *s : textos_editor)
        EXPECT_LE(text_length(t.f, s), 320) << s;
    // the score line stays inside the strip's panel (x 20..299)
    EXPECT_LE(text_length(t.f, "PUNTOS:999999 VIDAS:99"), 278);
    // the initials are drawn 13 pixels apart
    for (int c = 'A'; c <= 'Z'; c++) {
        char s[2] = {(char)c, 0};
        EXPECT_LE(text_length(t.f, s), 13) << s;
    }
}

// Digits and the blank have one width, so the padded score does not shift as it grows.
TEST(FuenteJuego, CifrasDeAnchoFijo)
{
    Fuente t;
    ASSERT_NE(t.f, nullptr);
    int w = text_length(t.f, "0");
    for (const char *s : {"1", "2", "3", "4", "5", "6", "7", "8", "9", " "})
        EXPECT_EQ(text_length(t.f, s), w) << "'" << s << "'";
}
