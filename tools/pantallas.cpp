// pantallas: the three full-screen pictures (studio card, title, victory), 320x240,
// drawn in the game palette (index 4 a bright yellow for the blinking prompt).
#include "tools/korvmake.h"

#include <cmath>

enum { PW = 320, PH = 240 };

// A vertical gradient through a list of colours, dithered between neighbours.
static void degrade(BITMAP *b, int y0, int y1, const std::vector<int> &c)
{
    for (int y = y0; y <= y1; y++) {
        double t = (double)(y - y0) / (y1 - y0 > 0 ? y1 - y0 : 1) * (c.size() - 1);
        int i = (int)t;
        if (i >= (int)c.size() - 1) i = (int)c.size() - 2;
        for (int x = 0; x < PW; x++)
            putpixel(b, x, y, tramado(x, y, t - i) ? c[i + 1] : c[i]);
    }
}

// Doubles a picture, rounding its diagonals (the EPX rule on colours).
static BITMAP *dobla(BITMAP *s)
{
    BITMAP *d = create_bitmap(s->w * 2, s->h * 2);
    auto en = [&](int x, int y) { return x < 0 || y < 0 || x >= s->w || y >= s->h ? 0 : getpixel(s, x, y); };
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++) {
            int P = en(x, y), A = en(x, y - 1), B = en(x + 1, y), C = en(x - 1, y), D = en(x, y + 1);
            putpixel(d, 2 * x, 2 * y, (C == A && C != D && A != B) ? A : P);
            putpixel(d, 2 * x + 1, 2 * y, (A == B && A != C && B != D) ? B : P);
            putpixel(d, 2 * x, 2 * y + 1, (D == C && D != B && C != A) ? C : P);
            putpixel(d, 2 * x + 1, 2 * y + 1, (B == D && B != A && D != C) ? D : P);
        }
    return d;
}

// The truck, doubled and facing right, its wheels on line y.
static void camion_grande(BITMAP *b, int x, int y_suelo, int cuadro)
{
    BITMAP *c = create_bitmap(46, 36);
    clear_to_color(c, 0);
    dibuja_camion(c, 0, 0, cuadro);
    BITMAP *g = dobla(c);
    // its shadow on the road
    for (int i = 4; i < g->w - 4; i++)
        for (int j = -2; j <= 1; j++)
            if (tramado(x + i, y_suelo + j, 0.6))
                putpixel(b, x + i, y_suelo + j, tono(R_GRIS, 1));
    draw_sprite_h_flip(b, g, x, y_suelo - g->h + 1);
    destroy_bitmap(g);
    destroy_bitmap(c);
}

// Centred lettering.
static void letrero_centro(BITMAP *b, const char *t, int y, int escala, int base, int largo, int borde, int sombra)
{
    int esp = 1;
    letrero(b, t, (PW - letrero_ancho(t, escala, esp)) / 2, y, escala, base, largo, borde, sombra, esp);
}

static void chico_centro(BITMAP *b, const char *t, int y, int c)
{
    texto_chico(b, t, (PW - texto_chico_ancho(t)) / 2, y, c);
}

static void guarda(BITMAP *b, const char *rel)
{
    PALETTE p;
    paleta_juego(p);
    std::string r = salida(rel);
    if (save_bitmap(r.c_str(), b, p) != 0)
        muere(r, "no se pudo escribir");
}

// Studio card: a night-blue field, a ringed emblem and the studio's name.
static void estudio(bool ingles)
{
    BITMAP *b = create_bitmap(PW, PH);
    degrade(b, 0, PH - 1, {tono(R_NOCHE, 0), tono(R_NOCHE, 1), tono(R_NOCHE, 2), tono(R_MORADO, 1), tono(R_NOCHE, 1)});
    // perspective grid on the floor
    for (int y = 150; y < PH; y++)
        if (((int)(1500.0 / (y - 140))) % 12 == 0)
            hline(b, 0, y, PW - 1, tono(R_MORADO, 3));
    for (int k = -12; k <= 12; k++)
        line(b, 160 + k * 10, 150, 160 + k * 60, PH - 1, tono(R_MORADO, 3));
    hline(b, 0, 150, PW - 1, tono(R_MORADO, 5));
    // emblem: rings around an L
    for (int r = 34; r >= 22; r -= 1)
        circle(b, 160, 64, r, r > 30 ? tono(R_AMARILLO, 2 + (34 - r)) : (r > 26 ? tono(R_NOCHE, 0) : tono(R_NARANJA, 3 + (r - 22))));
    circlefill(b, 160, 64, 21, tono(R_NOCHE, 1));
    letrero(b, "L", 160 - 10 - 2, 64 - 14 - 4, 4, R_LETRA, 8, C_LETRA_BORDE, tono(R_NOCHE, 0), 1);
    letrero_centro(b, "LURGO", 112, 4, R_LETRA, 8, C_LETRA_BORDE, tono(R_NOCHE, 0));
    letrero_centro(b, "SOFTWARE", 152, 2, R_CIELO, 8, tono(R_NOCHE, 0), -1);
    chico_centro(b, ingles ? "PRESENTS" : "PRESENTA", 200, tono(R_CIELO, 6));
    guarda(b, ingles ? "datos/lurgo_en.bmp" : "datos/lurgo.bmp");
    destroy_bitmap(b);
}

// A skyline of buildings with lit windows standing on line y.
static void ciudad(BITMAP *b, int y, int semilla, int color, bool luces, int alto)
{
    Azar az(semilla);
    for (int x = -10; x < PW;) {
        int w = 14 + az.n(26), h = 14 + az.n(alto);
        rectfill(b, x, y - h, x + w - 1, y, color);
        if (az.n(3) == 0)
            vline(b, x + w / 2, y - h - 8, y - h, color);
        if (luces)
            for (int wy = y - h + 4; wy < y - 4; wy += 6)
                for (int wx = x + 3; wx < x + w - 3; wx += 5)
                    if (az.n(5) < 2)
                        rectfill(b, wx, wy, wx + 1, wy + 2, az.n(4) ? C_LUZ : tono(R_AMARILLO, 4));
        x += w + az.n(3);
    }
}

// Road seen from the side from line y0 to the bottom, with lane dashes at the given lines.
static void carretera(BITMAP *b, int y0, std::vector<int> rayas)
{
    for (int y = y0; y < PH; y++)
        for (int x = 0; x < PW; x++) {
            int l = y < y0 + 3 ? 12 - (y - y0) * 3 : 4;
            putpixel(b, x, y, y < y0 + 3 ? tono(R_GRIS, l) : (tramado(x, y, 0.35) ? tono(R_GRIS, 5) : tono(R_GRIS, 3)));
        }
    for (int r : rayas)
        for (int x = 0; x < PW; x += 40)
            rectfill(b, x + 6, r, x + 26, r + 1, tono(R_GRIS, 13));
}

// Title: the name over a sunset city; the band about y 160 stays dark for the prompt.
static void titulo(bool ingles)
{
    BITMAP *b = create_bitmap(PW, PH);
    degrade(b, 0, 140, {tono(R_NOCHE, 0), tono(R_NOCHE, 2), tono(R_OCASO, 0), tono(R_OCASO, 1), tono(R_OCASO, 2),
                        tono(R_OCASO, 3), tono(R_OCASO, 4), tono(R_OCASO, 5), tono(R_OCASO, 6), tono(R_AMARILLO, 6)});
    // sun with bands
    for (int y = 70; y <= 140; y++)
        for (int x = 220; x <= 320; x++) {
            double dx = x - 266, dy = y - 108;
            if (dx * dx + dy * dy > 38 * 38) continue;
            if (y > 100 && (y / 3) % 3 == 0) continue;
            putpixel(b, x, y, tono(R_AMARILLO, 7 - (y - 70) / 14));
        }
    ciudad(b, 140, 11, tono(R_OCASO, 0), false, 46);
    ciudad(b, 140, 12, tono(R_NOCHE, 1), true, 30);
    carretera(b, 141, {148, 198, 220});
    letrero_centro(b, "KORVEX", 16, 8, R_LETRA, 8, C_LETRA_BORDE, tono(R_NOCHE, 0));
    letrero_centro(b, ingles ? "KING OF THE ROAD" : "EL REY DE LA RUTA", 84, 2, R_CIELO, 8, tono(R_NOCHE, 0), -1);
    camion_grande(b, 4, 238, 0);
    texto_chico(b, "(C) 2003 LURGO SOFTWARE", PW - 4 - texto_chico_ancho("(C) 2003 LURGO SOFTWARE"), 229,
                tono(R_GRIS, 11));
    guarda(b, ingles ? "datos/korvex_en.bmp" : "datos/korvex.bmp");
    destroy_bitmap(b);
}

// One firework burst: rays of sparks from (cx, cy).
static void fuego_artificial(BITMAP *b, int cx, int cy, int r, int base, int semilla)
{
    Azar az(semilla);
    int rayos = 28;
    for (int k = 0; k < rayos; k++) {
        double a = k * 2 * M_PI / rayos + az.d() * 0.1, largo = r * (0.75 + az.d() * 0.25);
        for (double d = largo * 0.25; d < largo; d += 1.5) {
            int x = (int)(cx + cos(a) * d), y = (int)(cy + sin(a) * d + d * d / (r * 6.0));
            putpixel(b, x, y, tono(base, (int)(7 - d / largo * 5)));
        }
        putpixel(b, (int)(cx + cos(a) * largo), (int)(cy + sin(a) * largo + largo / 6.0), C_LUZ2);
    }
    circlefill(b, cx, cy, 2, C_LUZ2);
}

// Victory: fireworks over the night city, the truck home, and the praise.
static void victoria(bool ingles)
{
    BITMAP *b = create_bitmap(PW, PH);
    degrade(b, 0, 150, {tono(R_NOCHE, 0), tono(R_NOCHE, 1), tono(R_NOCHE, 2), tono(R_NOCHE, 3), tono(R_MORADO, 2)});
    Azar az(3);
    for (int i = 0; i < 90; i++)
        putpixel(b, az.n(PW), az.n(120), az.n(4) ? tono(R_NOCHE, 6) : C_BLANCO);
    fuego_artificial(b, 60, 50, 34, R_ROJO, 1);
    fuego_artificial(b, 258, 42, 30, R_VERDE, 2);
    fuego_artificial(b, 170, 30, 22, R_AMARILLO, 3);
    fuego_artificial(b, 120, 110, 18, R_VIDRIO, 4);
    fuego_artificial(b, 290, 112, 16, R_ROSA, 5);
    ciudad(b, 150, 7, tono(R_NOCHE, 1), true, 46);
    carretera(b, 151, {200});
    letrero_centro(b, ingles ? "YOU WON!" : "GANASTE!", 60, 4, R_LETRA, 8, C_LETRA_BORDE, tono(R_NOCHE, 0));
    letrero_centro(b, ingles ? "THE ROAD IS YOURS" : "LA RUTA ES TUYA", 106, 2, R_CIELO, 8, tono(R_NOCHE, 0), -1);
    camion_grande(b, 114, 226, 2);
    guarda(b, ingles ? "datos/gane_en.bmp" : "datos/gane.bmp");
    destroy_bitmap(b);
}

void hace_pantallas()
{
    for (bool ingles : {false, true}) {   // the lettering is part of each picture: one set per language
        estudio(ingles);
        titulo(ingles);
        victoria(ingles);
    }
}
