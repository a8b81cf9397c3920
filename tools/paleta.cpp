// paleta: the game palette, built as ramps of materials from dark to light.
#include "tools/korvmake.h"

#include <cmath>

// One material: n shades interpolated through up to four colours (dark first).
struct Rampa {
    int primero, n;
    int puntos;                 // colours given (2..4)
    unsigned char c[4][3];      // 8-bit RGB
};

static const Rampa rampas[] = {
    {R_GRIS, 16, 3, {{12, 12, 16}, {110, 110, 118}, {236, 236, 242}}},
    {R_PIEL, 8, 3, {{92, 46, 30}, {204, 134, 96}, {255, 222, 190}}},
    {R_PIEL2, 8, 3, {{40, 20, 12}, {124, 72, 42}, {204, 146, 104}}},
    {R_RUBIO, 8, 3, {{82, 50, 10}, {196, 144, 40}, {255, 238, 150}}},
    {R_MARRON, 8, 3, {{30, 18, 8}, {114, 68, 32}, {214, 164, 104}}},
    {R_ROJO, 8, 3, {{52, 6, 6}, {178, 26, 22}, {255, 146, 124}}},
    {R_SANGRE, 8, 3, {{44, 0, 0}, {146, 0, 4}, {234, 44, 34}}},
    {R_AZUL, 8, 3, {{10, 14, 52}, {42, 74, 176}, {156, 194, 255}}},
    {R_VERDE, 8, 3, {{8, 40, 18}, {30, 124, 52}, {150, 232, 140}}},
    {R_PASTO, 8, 3, {{22, 50, 10}, {72, 134, 30}, {176, 224, 92}}},
    {R_FOLLAJE, 8, 3, {{6, 24, 12}, {30, 84, 32}, {104, 166, 62}}},
    {R_ARENA, 8, 3, {{112, 72, 32}, {204, 154, 84}, {252, 228, 164}}},
    {R_LADRILLO, 8, 3, {{62, 20, 14}, {154, 62, 40}, {224, 134, 102}}},
    {R_CIELO, 8, 3, {{58, 106, 188}, {122, 172, 232}, {222, 236, 255}}},
    {R_NOCHE, 8, 3, {{4, 4, 18}, {22, 26, 72}, {74, 84, 144}}},
    {R_AMARILLO, 8, 3, {{92, 60, 0}, {224, 182, 20}, {255, 250, 172}}},
    {R_NARANJA, 8, 3, {{92, 30, 0}, {232, 112, 10}, {255, 204, 112}}},
    {R_FUEGO, 16, 4, {{64, 8, 0}, {204, 52, 0}, {255, 164, 24}, {255, 252, 210}}},
    {R_HUMO, 8, 3, {{30, 28, 28}, {92, 88, 86}, {196, 190, 184}}},
    {R_MORADO, 8, 3, {{32, 10, 42}, {112, 42, 144}, {214, 164, 244}}},
    {R_VIDRIO, 8, 3, {{10, 40, 52}, {42, 142, 164}, {184, 242, 252}}},
    {R_ROSA, 8, 3, {{82, 20, 42}, {222, 92, 134}, {255, 204, 222}}},
    {R_CREMA, 8, 3, {{92, 82, 62}, {194, 174, 134}, {252, 242, 218}}},
    {R_TEJA, 8, 3, {{62, 20, 10}, {164, 62, 30}, {234, 144, 92}}},
    {R_CAQUI, 8, 3, {{42, 42, 12}, {124, 124, 52}, {214, 214, 144}}},
    {R_OCASO, 7, 4, {{44, 16, 74}, {150, 40, 110}, {236, 96, 70}, {255, 190, 70}}},
    {R_LETRA, 8, 4, {{176, 48, 0}, {240, 120, 0}, {255, 214, 60}, {255, 255, 226}}},
};

// Single colours with a fixed role.
static const struct { int i; unsigned char r, g, b; } sueltos[] = {
    {C_NEGRO, 0, 0, 0},        {C_CONTORNO, 22, 16, 26},  {2, 44, 36, 48},
    {3, 72, 60, 70},           {C_AVISO, 255, 236, 40},   {5, 255, 255, 255},
    {6, 8, 8, 22},             {7, 30, 20, 12},           {8, 250, 250, 250},
    {C_RESALTE, 214, 20, 30},  {C_LETRA_BORDE, 56, 18, 0}, {C_NEON_ROSA, 255, 62, 200},
    {C_NEON_CIAN, 64, 240, 255}, {C_LUZ, 255, 226, 120},  {C_LUZ2, 255, 250, 196},
    {C_PANEL, 22, 26, 50},     {C_PANEL2, 44, 52, 92},    {C_BLANCO, 252, 252, 252},
};

// 8-bit value to the 6-bit value of the palette.
static unsigned char seis(double v) { int i = (int)lround(v) >> 2; return (unsigned char)(i < 0 ? 0 : i > 63 ? 63 : i); }

void paleta_juego(PALETTE p)
{
    for (int i = 0; i < 256; i++)
        p[i].r = p[i].g = p[i].b = 0;
    for (const Rampa &r : rampas) {
        for (int k = 0; k < r.n; k++) {
            double t = (double)k / (r.n - 1) * (r.puntos - 1);
            int s = (int)t;
            if (s >= r.puntos - 1)
                s = r.puntos - 2;
            double f = t - s;
            const unsigned char *a = r.c[s], *b = r.c[s + 1];
            p[r.primero + k].r = seis(a[0] + (b[0] - a[0]) * f);
            p[r.primero + k].g = seis(a[1] + (b[1] - a[1]) * f);
            p[r.primero + k].b = seis(a[2] + (b[2] - a[2]) * f);
        }
    }
    for (const auto &s : sueltos) {
        p[s.i].r = seis(s.r); p[s.i].g = seis(s.g); p[s.i].b = seis(s.b);
    }
}

int rampa_de(int c, int *largo)
{
    for (const Rampa &r : rampas)
        if (c >= r.primero && c < r.primero + r.n) {
            if (largo) *largo = r.n;
            return r.primero;
        }
    if (largo) *largo = 1;
    return c;
}

int tono(int base, int l)
{
    int n;
    rampa_de(base, &n);
    if (l < 0) l = 0;
    if (l > n - 1) l = n - 1;
    return base + l;
}
