// bloques: the 40 map blocks (32x24) and the score strip of the sprite sheet.
// Every block is drawn for the map row it is meant for, so that skies and fields
// continue from one row to the next, and its texture repeats every 32 pixels, so that
// blocks of one kind tile side by side. Rows 4-7 are the four lanes, row 3 the
// pavement above them, rows 0-2 the scenery.
#include "tools/korvmake.h"

#include <cmath>

enum { BLOQ_Y = 424, BW = 32, BH = 24, HUD_Y = 520 };

// The block being drawn: its place on the sheet and the map row it is made for.
struct Bloque {
    BITMAP *b;
    int ox, oy;   // top-left on the sheet
    int fila;     // map row
    void pon(int x, int y, int c) const { if (x >= 0 && x < BW && y >= 0 && y < BH) putpixel(b, ox + x, oy + y, c); }
    int lee(int x, int y) const { return getpixel(b, ox + x, oy + y); }
    int Y(int y) const { return fila * BH + y; }   // playfield y of a block line
};

// Noise 0..1 that repeats every 32 pixels across.
static double ruido(int x, int y, int semilla = 0)
{
    unsigned h = (unsigned)(x & 31) * 374761393u + (unsigned)y * 668265263u + (unsigned)semilla * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 1023) / 1023.0;
}

// A shade chosen between l and l+1 by ordered dithering.
static int trama(int base, double l, int x, int y)
{
    int li = (int)floor(l);
    return tono(base, tramado(x, y, l - li) ? li + 1 : li);
}

// ---------------------------------------------------------------- skies and grounds

static void cielo_dia(const Bloque &k)
{
    for (int y = 0; y < BH; y++)
        for (int x = 0; x < BW; x++)
            k.pon(x, y, trama(R_CIELO, 2 + k.Y(y) / 72.0 * 5, x, k.Y(y)));
}

static void cielo_desierto(const Bloque &k)
{
    for (int y = 0; y < BH; y++)
        for (int x = 0; x < BW; x++) {
            double f = k.Y(y) / 48.0;
            if (f < 1)
                k.pon(x, y, trama(R_CIELO, 3 + f * 4, x, k.Y(y)));
            else
                k.pon(x, y, trama(R_ARENA, 7 - (f - 1) * 0.6, x, k.Y(y)));
        }
}

static void cielo_noche(const Bloque &k)
{
    for (int y = 0; y < BH; y++)
        for (int x = 0; x < BW; x++)
            k.pon(x, y, trama(R_NOCHE, 0.6 + k.Y(y) / 72.0 * 2.4, x, k.Y(y)));
}

static void estrellas(const Bloque &k, int semilla)
{
    for (int y = 0; y < BH; y++)
        for (int x = 0; x < BW; x++) {
            double r = ruido(x, k.Y(y), semilla);
            if (r > 0.985)
                k.pon(x, y, r > 0.995 ? C_BLANCO : tono(R_NOCHE, 7));
        }
}

static void pasto(const Bloque &k, int y0, int y1)
{
    for (int y = y0; y <= y1; y++)
        for (int x = 0; x < BW; x++) {
            double r = ruido(x, k.Y(y), 3);
            double l = 3.2 + (k.Y(y) - 48) / 40.0 + (r - 0.5) * 2.2;
            int c = trama(R_PASTO, l, x, y);
            if (r > 0.97) c = tono(R_PASTO, 7);
            k.pon(x, y, c);
        }
}

static void arena(const Bloque &k, int y0, int y1)
{
    for (int y = y0; y <= y1; y++)
        for (int x = 0; x < BW; x++) {
            double onda = sin((x + k.Y(y) * 2.3) * 2 * M_PI / 32 * 2) * 0.5;
            double l = 5.2 - (k.Y(y) - 40) / 50.0 + onda * 0.6 + (ruido(x, k.Y(y), 9) - 0.5) * 0.8;
            k.pon(x, y, trama(R_ARENA, l, x, y));
        }
}

// ---------------------------------------------------------------- road

// Asphalt with a grain; sandy mixes in sand, night is darker.
enum Asfalto { DIA, ARENOSO, NOCHE };
static void asfalto(const Bloque &k, int tipo, int y0 = 0)
{
    for (int y = y0; y < BH; y++)
        for (int x = 0; x < BW; x++) {
            double r = ruido(x, y, 1);
            double l = (tipo == NOCHE ? 2.4 : 5.0) + (r - 0.5) * 1.6;
            int c = trama(R_GRIS, l, x, y);
            if (r > 0.94) c = tono(R_GRIS, tipo == NOCHE ? 4 : 7);
            // drifts of sand: soft streaks across the lane
            double deriva = sin((x + y * 3) * 2 * M_PI / 32) * 0.5 + 0.5;
            if (tipo == ARENOSO && ruido(x, y, 4) < 0.35 * deriva * deriva)
                c = tono(R_ARENA, 2 + (int)(ruido(x, y, 5) * 2));
            k.pon(x, y, c);
        }
}

static void raya(const Bloque &k, int tipo)
{
    int c1 = tipo == NOCHE ? tono(R_GRIS, 11) : tono(R_GRIS, 15), c2 = tipo == NOCHE ? tono(R_GRIS, 9) : tono(R_GRIS, 13);
    for (int x = 6; x < 26; x++) {
        k.pon(x, 0, c1);
        k.pon(x, 1, c2);
    }
}

static void b_asfalto(const Bloque &k) { asfalto(k, DIA); }
static void b_asfalto_raya(const Bloque &k) { asfalto(k, DIA); raya(k, DIA); }
static void b_arenoso(const Bloque &k) { asfalto(k, ARENOSO); }
static void b_arenoso_raya(const Bloque &k) { asfalto(k, ARENOSO); raya(k, ARENOSO); }
static void b_noche(const Bloque &k) { asfalto(k, NOCHE); }
static void b_noche_raya(const Bloque &k) { asfalto(k, NOCHE); raya(k, NOCHE); }

static void b_cebra(const Bloque &k)
{
    asfalto(k, DIA);
    for (int y = 3; y < BH; y += 8)
        for (int j = 0; j < 4; j++)
            for (int x = 0; x < BW; x++)
                if (ruido(x, y + j, 6) > 0.06)
                    k.pon(x, y + j, tono(R_GRIS, j == 0 ? 15 : 13));
}

static void b_alcantarilla(const Bloque &k)
{
    asfalto(k, DIA);
    ellipsefill(k.b, k.ox + 16, k.oy + 12, 9, 4, tono(R_GRIS, 2));
    ellipsefill(k.b, k.ox + 16, k.oy + 12, 8, 3, tono(R_GRIS, 6));
    for (int x = 10; x <= 22; x += 3)
        vline(k.b, k.ox + x, k.oy + 10, k.oy + 14, tono(R_GRIS, 3));
    ellipse(k.b, k.ox + 16, k.oy + 12, 8, 3, tono(R_GRIS, 9));
}

// The kerb along the bottom of a pavement row: top face, front face, gutter shadow.
static void bordillo(const Bloque &k, int luz)
{
    for (int x = 0; x < BW; x++) {
        k.pon(x, 18, tono(R_GRIS, luz + 4));
        k.pon(x, 19, tono(R_GRIS, luz + 3));
        k.pon(x, 20, tono(R_GRIS, luz + 1));
        k.pon(x, 21, tono(R_GRIS, luz));
        k.pon(x, 22, tono(R_GRIS, luz - 2 < 0 ? 0 : luz - 2));
        k.pon(x, 23, tono(R_GRIS, luz - 1 < 0 ? 0 : luz - 1));
    }
}

static void baldosas(const Bloque &k, int luz)
{
    for (int y = 0; y < 18; y++)
        for (int x = 0; x < BW; x++) {
            double l = luz + (ruido(x, y, 2) - 0.5) * 1.2 + (y < 6 ? -0.6 : 0);
            int c = trama(R_GRIS, l, x, y);
            if (x % 16 == 0 || y == 5 || y == 11 || y == 17) c = tono(R_GRIS, luz - 3);
            if (x % 16 == 1 || y == 6 || y == 12) c = tono(R_GRIS, luz + 1);
            k.pon(x, y, c);
        }
}

static void b_acera(const Bloque &k) { baldosas(k, 10); bordillo(k, 9); }

static void b_acera_hidrante(const Bloque &k)
{
    b_acera(k);
    BITMAP *b = k.b;
    int x = k.ox + 20, y = k.oy;
    bola(b, x, y + 3, 3, 2.5, R_ROJO, 2, 7);
    caja(b, x - 3, y + 3, x + 3, y + 14, R_ROJO, 1, 6);
    caja(b, x - 5, y + 6, x + 5, y + 8, R_ROJO, 1, 5);
    rectfill(b, x - 4, y + 14, x + 4, y + 15, tono(R_ROJO, 1));
}

static void b_arcen(const Bloque &k)
{
    pasto(k, 0, 13);
    for (int y = 14; y < 19; y++)
        for (int x = 0; x < BW; x++)
            k.pon(x, y, trama(R_CAQUI, 3.5 + (ruido(x, y, 7) - 0.5) * 3, x, y));
    asfalto(k, DIA, 19);
    for (int x = 0; x < BW; x++) { k.pon(x, 20, tono(R_GRIS, 15)); k.pon(x, 21, tono(R_GRIS, 13)); }
}

static void b_arcen_desierto(const Bloque &k)
{
    arena(k, 0, 18);
    asfalto(k, ARENOSO, 19);
    for (int x = 0; x < BW; x++) { k.pon(x, 20, tono(R_AMARILLO, 6)); k.pon(x, 21, tono(R_AMARILLO, 4)); }
}

static void b_acera_noche(const Bloque &k) { baldosas(k, 5); bordillo(k, 4); }

// Night pavement with a litter bin under the lamplight.
static void b_acera_tacho(const Bloque &k)
{
    baldosas(k, 5);
    bordillo(k, 4);
    for (int y = 0; y < 18; y++)          // a faint pool of light
        for (int x = 0; x < BW; x++) {
            double d = ((x - 16) * (x - 16)) / 180.0 + ((y - 10) * (y - 10)) / 50.0;
            if (d < 1 && tramado(x, y, (1 - d) * 0.7))
                k.pon(x, y, tono(R_GRIS, 8));
        }
    caja(k.b, k.ox + 12, k.oy + 3, k.ox + 20, k.oy + 15, R_VERDE, 1, 4);
    hline(k.b, k.ox + 11, k.oy + 2, k.ox + 21, tono(R_VERDE, 5));
    hline(k.b, k.ox + 11, k.oy + 3, k.ox + 21, tono(R_VERDE, 2));
    for (int y = 6; y < 14; y += 3)
        hline(k.b, k.ox + 13, k.oy + y, k.ox + 19, tono(R_VERDE, 1));
    hline(k.b, k.ox + 12, k.oy + 16, k.ox + 20, tono(R_GRIS, 1));
}

// ---------------------------------------------------------------- town

static void b_cielo(const Bloque &k) { cielo_dia(k); }

static void b_nube(const Bloque &k)
{
    cielo_dia(k);
    const double c[4][3] = {{9, 14, 5}, {16, 11, 7}, {23, 14, 5}, {15, 16, 6}};
    for (int y = 0; y < BH; y++)
        for (int x = 1; x < BW - 1; x++) {
            double m = 0;
            for (auto &q : c) {
                double d = ((x - q[0]) * (x - q[0]) + (y - q[1]) * (y - q[1]) * 2.2) / (q[2] * q[2]);
                if (d < 1) m = fmax(m, 1 - d + (q[1] - y) * 0.03);
            }
            if (m > 0 && y < 18)
                k.pon(x, y, trama(R_CIELO, 5.6 + m * 3 - (y > 14 ? 1 : 0), x, y));
        }
}

static void pared(const Bloque &k, int base, int y0, int y1, int luz)
{
    for (int y = y0; y <= y1; y++)
        for (int x = 0; x < BW; x++)
            k.pon(x, y, trama(base, luz + (ruido(x, y, 8) - 0.5) * 0.9, x, y));
}

// A window with frame, two panes, a sill and green shutters.
static void ventana(const Bloque &k, int x0, int y0, int w, int h, bool postigos, bool luz)
{
    rectfill(k.b, k.ox + x0 - 1, k.oy + y0 - 1, k.ox + x0 + w, k.oy + y0 + h, tono(R_CREMA, 7));
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            int c = luz ? tono(R_AMARILLO, 5 + (y < h / 2)) : tono(R_VIDRIO, 2 + (x + y < 5) * 4 + ((x + 2 * y) % 11 == 0) * 2);
            k.pon(x0 + x, y0 + y, c);
        }
    vline(k.b, k.ox + x0 + w / 2, k.oy + y0, k.oy + y0 + h - 1, tono(R_CREMA, 6));
    hline(k.b, k.ox + x0 - 2, k.oy + y0 + h + 1, k.ox + x0 + w + 1, tono(R_GRIS, 12));
    hline(k.b, k.ox + x0 - 2, k.oy + y0 + h + 2, k.ox + x0 + w + 1, tono(R_GRIS, 6));
    if (postigos)
        for (int s = 0; s < 2; s++) {
            int x = s ? x0 + w + 1 : x0 - 5;
            for (int y = y0 - 1; y <= y0 + h; y++)
                for (int i = 0; i < 4; i++)
                    k.pon(x + i, y, tono(R_VERDE, (y % 2 ? 3 : 4) + (i == 0)));
        }
}

static void b_tejado(const Bloque &k)
{
    cielo_dia(k);
    for (int y = 8; y < BH; y++)
        for (int x = 0; x < BW; x++) {
            int fila = (y - 8) / 4, xi = (x + fila * 4) % 8;
            int l = xi == 0 ? 2 : 5 - (y - 8) % 4 + (fila % 2);
            if (y >= 21) l = y == 21 ? 6 : 1;
            k.pon(x, y, tono(R_TEJA, l));
        }
    rectfill(k.b, k.ox + 20, k.oy + 1, k.ox + 25, k.oy + 8, tono(R_LADRILLO, 4));   // chimney
    rectfill(k.b, k.ox + 19, k.oy, k.ox + 26, k.oy + 1, tono(R_GRIS, 8));
    vline(k.b, k.ox + 25, k.oy + 2, k.oy + 8, tono(R_LADRILLO, 2));
}

static void b_casa_ventana(const Bloque &k) { pared(k, R_CREMA, 0, 23, 5); ventana(k, 10, 5, 12, 13, true, false); }

static void zocalo(const Bloque &k)
{
    for (int x = 0; x < BW; x++) {
        k.pon(x, 20, tono(R_GRIS, 9));
        for (int y = 21; y < 24; y++) k.pon(x, y, tono(R_GRIS, 6 - (y - 21)));
    }
}

static void b_casa_puerta(const Bloque &k)
{
    pared(k, R_CREMA, 0, 23, 5);
    zocalo(k);
    for (int y = 2; y < 21; y++)
        for (int x = 10; x < 22; x++) {
            int l = (x == 10 || x == 15 || x == 21 || y == 2) ? 1 : 3 + (x < 13);
            k.pon(x, y, tono(R_MARRON, l));
        }
    rectfill(k.b, k.ox + 9, k.oy + 1, k.ox + 22, k.oy + 1, tono(R_CREMA, 7));
    k.pon(19, 12, tono(R_AMARILLO, 7));
    k.pon(19, 13, tono(R_AMARILLO, 4));
    ventana(k, 12, 4, 8, 4, false, false);
}

static void b_casa_baja(const Bloque &k)
{
    pared(k, R_CREMA, 0, 23, 5);
    zocalo(k);
    ventana(k, 10, 3, 12, 12, true, false);
    for (int x = 8; x < 24; x += 2) {       // flower box
        k.pon(x, 16, tono(x % 4 ? R_ROJO : R_ROSA, 6));
        k.pon(x + 1, 17, tono(R_FOLLAJE, 5));
    }
}

static void b_tienda(const Bloque &k)
{
    pared(k, R_CREMA, 0, 23, 4);
    for (int y = 0; y < 7; y++)             // striped awning
        for (int x = 0; x < BW; x++) {
            bool roja = (x / 4) % 2 == 0;
            int l = 6 - y / 2;
            k.pon(x, y, roja ? tono(R_ROJO, l - 1) : tono(R_CREMA, l + 1));
        }
    for (int x = 0; x < BW; x++)
        k.pon(x, 7, (x / 4) % 2 == 0 && x % 4 != 3 ? tono(R_ROJO, 2) : tono(R_GRIS, 4));
    for (int y = 9; y < 20; y++)            // shop window with goods
        for (int x = 1; x < BW - 1; x++)
            k.pon(x, y, tono(R_VIDRIO, 2 + ((x + y) % 9 == 0) * 4 + (y < 11)));
    for (int i = 0; i < 4; i++)
        bola(k.b, k.ox + 5 + i * 7, k.oy + 17, 2.5, 2, i % 2 ? R_AMARILLO : R_NARANJA, 2, 7);
    zocalo(k);
}

static void ladrillos(const Bloque &k, int y0, int y1)
{
    for (int y = y0; y <= y1; y++)
        for (int x = 0; x < BW; x++) {
            int f = y / 4, xi = (x + (f % 2) * 4) % 8;
            int c = (y % 4 == 3 || xi == 7) ? tono(R_GRIS, 7) : tono(R_LADRILLO, 3 + (int)(ruido(x / 8 * 8 + f, f, 2) * 3) + (y % 4 == 0));
            k.pon(x, y, c);
        }
}

static void b_ladrillo_cornisa(const Bloque &k)
{
    cielo_dia(k);
    ladrillos(k, 10, 23);
    for (int x = 0; x < BW; x++) {
        k.pon(x, 7, tono(R_CREMA, 7));
        k.pon(x, 8, tono(R_CREMA, 5));
        k.pon(x, 9, tono(R_CREMA, 2));
        if (x % 4 == 1) { k.pon(x, 10, tono(R_CREMA, 4)); k.pon(x, 11, tono(R_CREMA, 2)); }
    }
}

static void b_ladrillo_ventana(const Bloque &k) { ladrillos(k, 0, 23); ventana(k, 9, 4, 14, 13, false, false); }

static void b_ladrillo_puerta(const Bloque &k)
{
    ladrillos(k, 0, 23);
    zocalo(k);
    for (int y = 3; y < 21; y++)
        for (int x = 4; x < 28; x++)
            k.pon(x, y, (x == 4 || x == 27 || y == 3) ? tono(R_VERDE, 1) : tono(R_VIDRIO, 1 + (y < 8) + ((x + y) % 10 == 0) * 3));
    for (int y = 8; y < 21; y++)
        for (int x = 12; x < 20; x++)
            k.pon(x, y, (x == 12 || x == 19) ? tono(R_VERDE, 2) : tono(R_VERDE, 4));
    rectfill(k.b, k.ox + 3, k.oy, k.ox + 28, k.oy + 2, tono(R_VERDE, 1));   // awning board
    for (int x = 4; x < 28; x += 2)
        k.pon(x, 1, tono(R_AMARILLO, 6));
}

// ---------------------------------------------------------------- country

// Height of the rolling hills (row 1 line), repeating every 32 pixels.
static int colina(int x) { return 10 + (int)lround(3 * sin(x * 2 * M_PI / 32) + 1.2 * sin(x * 4 * M_PI / 32 + 1)); }

static void colinas(const Bloque &k)
{
    cielo_dia(k);
    for (int x = 0; x < BW; x++)
        for (int y = colina(x); y < BH; y++)
            k.pon(x, y, trama(R_FOLLAJE, 3.5 + (y - colina(x)) * 0.08 + (ruido(x, y, 5) - 0.5), x, y));
}

static void b_colinas(const Bloque &k) { colinas(k); }

static void copa(const Bloque &k, double cy)
{
    const double c[5][3] = {{16, 0, 11}, {9, 4, 7}, {23, 4, 7}, {12, -5, 7}, {20, -5, 7}};
    for (int y = 0; y < BH; y++)
        for (int x = 1; x < BW - 1; x++)
            for (auto &q : c) {
                double dx = x - q[0], dy = y - (cy + q[1]), d = (dx * dx + dy * dy) / (q[2] * q[2]);
                if (d < 1) {
                    double l = 4.5 - dx / q[2] * 1.5 - dy / q[2] * 1.8 + (ruido(x, y, 11) - 0.5) * 1.8;
                    k.pon(x, y, trama(R_FOLLAJE, l, x, y));
                    break;
                }
            }
}

static void b_copa(const Bloque &k) { colinas(k); copa(k, 14); }

static void b_tronco(const Bloque &k)
{
    pasto(k, 0, 23);
    for (int y = 0; y < 18; y++)
        for (int x = 13; x < 19; x++)
            k.pon(x, y, tono(R_MARRON, x < 15 ? 5 : 3 - (x == 18)));
    for (int x = 10; x < 22; x++) k.pon(x, 18, tono(R_PASTO, 1));
    copa(k, -10);
}

static void b_prado(const Bloque &k)
{
    pasto(k, 0, 23);
    const int flor[4][2] = {{5, 8}, {19, 4}, {26, 15}, {12, 19}};
    for (auto &f : flor) {
        k.pon(f[0], f[1], tono(f[0] % 2 ? R_AMARILLO : C_BLANCO == 0 ? 0 : R_ROSA, 7));
        k.pon(f[0] + 1, f[1], tono(R_AMARILLO, 5));
    }
}

static void b_cerca(const Bloque &k)
{
    pasto(k, 0, 23);
    for (int p = 4; p < BW; p += 16)
        for (int y = 3; y < 20; y++)
            for (int x = p; x < p + 3; x++)
                k.pon(x, y, tono(R_MARRON, x == p ? 6 : 4 - (y == 19)));
    for (int r : {6, 13})
        for (int y = r; y < r + 3; y++)
            for (int x = 0; x < BW; x++)
                if (x % 16 < 4 || x % 16 > 6)
                    k.pon(x, y, tono(R_MARRON, y == r ? 6 : 4 - (y - r)));
}

// ---------------------------------------------------------------- desert

static int meseta(int x)
{
    int m = x % 32;
    return m < 14 ? 9 + (m < 2 ? 2 - m : 0) * 2 : (m < 20 ? 14 : 16 - (m > 28));
}

static void mesetas(const Bloque &k)
{
    cielo_desierto(k);
    for (int x = 0; x < BW; x++)
        for (int y = meseta(x); y < BH; y++) {
            double l = 3.5 - (y < meseta(x) + 2 ? -1.5 : 0) + ((x % 32) < 6 ? 1 : 0) + (y % 5 == 0 ? -0.7 : 0);
            k.pon(x, y, y >= 20 ? trama(R_ARENA, 5.5, x, y) : trama(R_LADRILLO, l, x, y));
        }
}

static void b_cielo_desierto(const Bloque &k) { cielo_desierto(k); }
static void b_mesetas(const Bloque &k) { mesetas(k); }

// A saguaro cactus: trunk from y0 down, arms on both sides.
static void cactus(const Bloque &k, int y0, int y1, bool brazos)
{
    for (int y = y0; y <= y1; y++)
        for (int x = 13; x < 19; x++) {
            int l = x < 15 ? 6 : (x < 17 ? 4 : 2);
            if (y == y0 && (x == 13 || x == 18)) continue;
            k.pon(x, y, (x == 15 && y % 3 == 0) ? tono(R_VERDE, 1) : tono(R_VERDE, l));
        }
    if (brazos) {
        for (int y = y0 + 4; y <= y1 - 2; y++) for (int x = 7; x < 11; x++) k.pon(x, y, tono(R_VERDE, x < 9 ? 6 : 3));
        for (int x = 7; x < 13; x++) for (int y = y1 - 3; y <= y1 - 1; y++) k.pon(x, y, tono(R_VERDE, 4));
        for (int y = y0 + 8; y <= y1; y++) for (int x = 21; x < 25; x++) k.pon(x, y, tono(R_VERDE, x < 23 ? 5 : 2));
    }
}

static void b_cactus_alto(const Bloque &k) { mesetas(k); cactus(k, 4, 23, true); }

static void b_arena(const Bloque &k) { arena(k, 0, 23); }

static void b_cactus_bajo(const Bloque &k)
{
    arena(k, 0, 23);
    cactus(k, 0, 17, false);
    for (int y = 0; y < 6; y++) for (int x = 21; x < 25; x++) k.pon(x, y, tono(R_VERDE, x < 23 ? 5 : 2));
    for (int x = 19; x < 25; x++) for (int y = 5; y < 8; y++) k.pon(x, y, tono(R_VERDE, 4));
    for (int x = 9; x < 23; x++) k.pon(x, 18, tono(R_ARENA, 1));
}

static void b_rocas(const Bloque &k)
{
    arena(k, 0, 23);
    bola(k.b, k.ox + 9, k.oy + 15, 7, 5, R_LADRILLO, 1, 6);
    bola(k.b, k.ox + 16, k.oy + 17, 4, 3, R_LADRILLO, 1, 5);
    // a cattle skull
    bola(k.b, k.ox + 25, k.oy + 16, 3, 2.6, R_CREMA, 3, 7);
    hline(k.b, k.ox + 20, k.oy + 13, k.ox + 30, tono(R_CREMA, 6));
    k.pon(20, 12, tono(R_CREMA, 6)); k.pon(30, 12, tono(R_CREMA, 6));
    k.pon(24, 16, C_CONTORNO); k.pon(26, 16, C_CONTORNO);
}

// ---------------------------------------------------------------- night

static void b_cielo_noche(const Bloque &k) { cielo_noche(k); estrellas(k, 1); }

// Night buildings: dark walls with lit and unlit windows.
static void pared_noche(const Bloque &k, int y0)
{
    for (int y = y0; y < BH; y++)
        for (int x = 0; x < BW; x++)
            k.pon(x, y, trama(R_NOCHE, 2.2 + (x < 2 ? 0.8 : 0) + (ruido(x, y, 3) - 0.5) * 0.6, x, y));
}

static void ventanas_noche(const Bloque &k, int y0, int y1, int semilla)
{
    for (int wy = y0; wy + 5 <= y1; wy += 8)
        for (int wx = 4; wx < BW; wx += 8) {
            bool luz = ruido(wx, wy, semilla) > 0.4;
            for (int y = wy; y < wy + 5; y++)
                for (int x = wx; x < wx + 4; x++)
                    k.pon(x, y, luz ? (y == wy ? C_LUZ2 : tono(R_AMARILLO, 5 + (x == wx))) : tono(R_NOCHE, 1));
        }
}

static void b_techo_noche(const Bloque &k)
{
    cielo_noche(k);
    estrellas(k, 2);
    pared_noche(k, 9);
    for (int x = 0; x < BW; x++) k.pon(x, 9, tono(R_NOCHE, 5));
    ventanas_noche(k, 15, 23, 4);
    vline(k.b, k.ox + 24, k.oy + 2, k.oy + 8, tono(R_NOCHE, 4));   // antenna
    k.pon(24, 1, C_NEON_ROSA);
}

static void b_edificio_noche(const Bloque &k) { pared_noche(k, 0); ventanas_noche(k, 3, 23, 7); }

static void b_puerta_noche(const Bloque &k)
{
    pared_noche(k, 0);
    ventanas_noche(k, 2, 8, 9);
    for (int y = 9; y < 21; y++)
        for (int x = 11; x < 21; x++)
            k.pon(x, y, (x == 11 || x == 20 || y == 9) ? tono(R_NOCHE, 5) : tono(R_AMARILLO, 7 - (y - 9) / 3));
    zocalo(k);
    for (int x = 0; x < BW; x++) k.pon(x, 20, tono(R_NOCHE, 4));
}

static void b_neon(const Bloque &k)
{
    pared_noche(k, 0);
    for (int y = 12; y < 21; y++)
        for (int x = 2; x < 30; x++)
            k.pon(x, y, tono(R_MORADO, 2 + (y < 14) + ((x + y) % 9 == 0) * 2));
    rect(k.b, k.ox + 3, k.oy + 1, k.ox + 28, k.oy + 10, C_NEON_CIAN);
    texto_chico(k.b, "BAR", k.ox + 6, k.oy + 2, C_NEON_ROSA);
    zocalo(k);
    for (int x = 0; x < BW; x++) k.pon(x, 20, tono(R_NOCHE, 4));
}

// ---------------------------------------------------------------- table

// Every block: its number, the map row it is drawn for, and the routine.
static const struct { int n, fila; void (*f)(const Bloque &); } bloques[40] = {
    {0, 5, b_asfalto},        {1, 5, b_asfalto_raya},     {2, 5, b_cebra},          {3, 5, b_alcantarilla},
    {4, 5, b_arenoso},        {5, 5, b_arenoso_raya},     {6, 5, b_noche},          {7, 5, b_noche_raya},
    {8, 3, b_acera},          {9, 3, b_acera_hidrante},   {10, 0, b_cielo},         {11, 0, b_tejado},
    {12, 1, b_casa_ventana},  {13, 2, b_casa_puerta},     {14, 2, b_casa_baja},     {15, 2, b_tienda},
    {16, 0, b_ladrillo_cornisa}, {17, 1, b_ladrillo_ventana}, {18, 2, b_ladrillo_puerta}, {19, 0, b_nube},
    {20, 1, b_colinas},       {21, 1, b_copa},            {22, 2, b_tronco},        {23, 2, b_prado},
    {24, 2, b_cerca},         {25, 3, b_arcen},           {26, 0, b_cielo_desierto}, {27, 1, b_mesetas},
    {28, 1, b_cactus_alto},   {29, 2, b_arena},           {30, 2, b_cactus_bajo},   {31, 2, b_rocas},
    {32, 3, b_arcen_desierto}, {33, 0, b_cielo_noche},    {34, 0, b_techo_noche},   {35, 1, b_edificio_noche},
    {36, 2, b_puerta_noche},  {37, 2, b_neon},            {38, 3, b_acera_noche},   {39, 3, b_acera_tacho},
};

// The score strip: a kerb continuing the road, then a dark riveted panel for the text.
static void hud(BITMAP *b)
{
    int y0 = HUD_Y;
    for (int x = 0; x < 320; x++) {
        const int kerb[6] = {2, 14, 12, 9, 6, 3};
        for (int j = 0; j < 6; j++)
            putpixel(b, x, y0 + j, tono(R_GRIS, kerb[j]));
        for (int y = 6; y < 48; y++) {
            int c;
            if (y == 6 || y == 47) c = tono(R_GRIS, 1);
            else if (y == 7) c = tono(R_GRIS, 9);
            else if (y == 46) c = tono(R_GRIS, 3);
            else c = trama(R_GRIS, 4.6 - (y - 8) / 40.0 * 1.6, x, y);
            putpixel(b, x, y0 + y, c);
        }
    }
    // inset where the text goes
    rectfill(b, 20, y0 + 11, 299, y0 + 36, C_PANEL);
    hline(b, 20, y0 + 10, 299, tono(R_GRIS, 2));
    vline(b, 19, y0 + 10, y0 + 37, tono(R_GRIS, 2));
    hline(b, 20, y0 + 37, 300, tono(R_GRIS, 8));
    vline(b, 300, y0 + 10, y0 + 37, tono(R_GRIS, 8));
    hline(b, 20, y0 + 11, 299, C_PANEL2);
    for (int x : {8, 311})       // rivets
        for (int y : {y0 + 14, y0 + 34}) {
            circlefill(b, x, y, 2, tono(R_GRIS, 3));
            putpixel(b, x - 1, y - 1, tono(R_GRIS, 12));
        }
    for (int x = 22; x < 298; x += 4)   // hazard stripes under the inset
        for (int j = 0; j < 4; j++)
            for (int i = 0; i < 4; i++)
                putpixel(b, x + i, y0 + 40 + j, ((x + i + j) / 4) % 2 ? tono(R_AMARILLO, 5) : tono(R_GRIS, 1));
}

void dibuja_bloques(BITMAP *b)
{
    for (const auto &q : bloques) {
        Bloque k{b, BW * (q.n % 10), BLOQ_Y + BH * (q.n / 10), q.fila};
        q.f(k);
    }
    hud(b);
}
