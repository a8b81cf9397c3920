// korvmake: the maker of every data file of the game (pictures, font, sounds, tunes,
// levels, template, ranking). Each module of tools/ makes one kind of file.
#ifndef KORVMAKE_H
#define KORVMAKE_H

#include <allegro.h>

#include <string>
#include <vector>

extern std::string dir_fuentes;   // folder assets/ of the sources
extern std::string dir_salida;    // runnable folder that receives the files (build/korvex)

// Path of a file in the output folder / in the sources folder.
std::string salida(const std::string &rel);
std::string fuente_ruta(const std::string &rel);
// Stops the maker with a message naming the file.
[[noreturn]] void muere(const std::string &archivo, const std::string &motivo);
// Writes bytes to a file of the output folder.
void escribe(const std::string &rel, const std::vector<unsigned char> &datos);
// Reads a text file of the sources as lines ('#' comments and trailing blanks removed).
std::vector<std::string> lee_lineas(const std::string &rel);

// Deterministic pseudo-random numbers (same sources, same bytes).
struct Azar {
    unsigned s;
    explicit Azar(unsigned semilla) : s(semilla * 2654435761u + 12345u) {}
    unsigned sig() { s = s * 1664525u + 1013904223u; return s >> 8; }
    int n(int m) { return (int)(sig() % (unsigned)m); }
    double d() { return (sig() & 0xFFFF) / 65536.0; }
};

// ---- palette (paleta.cpp) ----
// Ramps of the game palette: first index of each material, 8 shades dark to light.
enum {
    C_NEGRO = 0, C_CONTORNO = 1, C_AVISO = 4,
    R_GRIS = 16,       // 16 shades: asphalt, concrete, metal, tyres
    R_PIEL = 32, R_PIEL2 = 40, R_RUBIO = 48, R_MARRON = 56, R_ROJO = 64, R_SANGRE = 72,
    R_AZUL = 80, R_VERDE = 88, R_PASTO = 96, R_FOLLAJE = 104, R_ARENA = 112,
    R_LADRILLO = 120, R_CIELO = 128, R_NOCHE = 136, R_AMARILLO = 144, R_NARANJA = 152,
    R_FUEGO = 160,     // 16 shades: dark red to white-yellow
    R_HUMO = 176, R_MORADO = 184, R_VIDRIO = 192, R_ROSA = 200, R_CREMA = 208,
    R_TEJA = 216, R_CAQUI = 224,
    R_OCASO = 232,     // 7 shades: sunset purple to orange
    C_RESALTE = 239,   // highlight text, readable on black and on white
    R_LETRA = 240,     // 8 shades of the font, top (light) to bottom (dark)
    C_LETRA_BORDE = 248,
    C_NEON_ROSA = 249, C_NEON_CIAN = 250, C_LUZ = 251, C_LUZ2 = 252,
    C_PANEL = 253, C_PANEL2 = 254,
    C_BLANCO = 255
};
void paleta_juego(PALETTE p);
// Shade l (0 dark .. len-1 light, clamped) of the ramp that starts at base.
int tono(int base, int l);
// First index and length of the ramp that holds colour c (c itself, length 1, if none).
int rampa_de(int c, int *largo);

// ---- drawing helpers (dibujo.cpp) ----
// Shaded ellipse lit from the top left, shades lo..hi of ramp base.
void bola(BITMAP *b, double cx, double cy, double rx, double ry, int base, int lo = 1, int hi = 6);
// Box shaded as a cylinder lit from the left.
void caja(BITMAP *b, int x0, int y0, int x1, int y1, int base, int lo = 1, int hi = 6);
// Thick shaded line (limbs), width w.
void palo(BITMAP *b, double x0, double y0, double x1, double y1, double w, int base, int lo = 2, int hi = 5);
// Darkens every opaque pixel next to a transparent one to the dark end of its ramp.
void contorno(BITMAP *b, int x0, int y0, int w, int h);
// Ordered (Bayer 4x4) threshold for dithering between two shades.
bool tramado(int x, int y, double f);

// ---- the font (fuente.cpp) ----
// Glyphs of the font sources: 5x9 pixels each, characters 32..126.
bool glifo_pixel(int ch, int x, int y);
int glifo_ancho(int ch);   // used columns (proportional)
enum { GLIFO_W = 5, GLIFO_H = 9 };
void hace_fuente();
// Large lettering (scale 2, 4 or 8 with smoothed diagonals), ramp gradient, outline and shadow.
// Returns the width drawn; x is the left edge, y the top.
int letrero(BITMAP *b, const char *texto, int x, int y, int escala, int base, int largo_rampa,
            int borde, int sombra, int espacio);
int letrero_ancho(const char *texto, int escala, int espacio);
// Small text at 1x in one colour.
void texto_chico(BITMAP *b, const char *texto, int x, int y, int color);
int texto_chico_ancho(const char *texto);

// ---- the makers ----
void hace_hoja();        // datos/imagen.bmp (hoja.cpp, bloques.cpp)
void dibuja_bloques(BITMAP *hoja);   // the 40 map blocks and the score strip into the sheet
void hace_pantallas();   // lurgo.bmp, korvex.bmp, gane.bmp and their _en (pantallas.cpp)
void dibuja_camion(BITMAP *b, int x, int y, int cuadro);   // the truck, facing left, 46x36
void hace_sonidos();     // the eight samples (sonidos.cpp)
void hace_musica();      // fox.mid and midi/*.mid (musica.cpp)
void hace_niveles();     // levels, template, ranking (niveles.cpp)
void hace_demo();        // datos/demo.rep, the title's demo, after the levels (demo.cpp)
void hace_iconos();      // NxN/korvex.png and NxN/korveditor.png, the menu icons (iconos.cpp)

// ---- the demo's source (demo.cpp) ----
// Prints assets/demo.txt: the autoplayer's keys on the level file given.
int demo_fuente(const std::string &nivel);

// ---- a won game (ganada.cpp) ----
// Writes a won game of the campaign in the runnable folder at difficulty dif and logic rate hz,
// driven by the autoplayer and recorded as the game records; 0, or 1 when it cannot be written.
int ganada(int dif, int hz, const std::string &archivo);

// ---- the campaign's curve (curva.cpp) ----
// Prints one line per level of the folder, measured by the autoplayer; 1 when one is not won.
int curva(const std::string &carpeta);

#endif
