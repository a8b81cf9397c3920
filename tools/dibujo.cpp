// dibujo: shaded primitives for the pixel art (light from the top left).
#include "tools/korvmake.h"

#include <cmath>

// Puts shade l of ramp base at (x, y), l clamped to lo..hi.
static void punto(BITMAP *b, int x, int y, int base, double l, int lo, int hi)
{
    int li = (int)floor(l + 0.5);
    if (li < lo) li = lo;
    if (li > hi) li = hi;
    putpixel(b, x, y, tono(base, li));
}

void bola(BITMAP *b, double cx, double cy, double rx, double ry, int base, int lo, int hi)
{
    for (int y = (int)floor(cy - ry); y <= (int)ceil(cy + ry); y++)
        for (int x = (int)floor(cx - rx); x <= (int)ceil(cx + rx); x++) {
            double nx = (x + 0.5 - cx) / rx, ny = (y + 0.5 - cy) / ry;
            double d = nx * nx + ny * ny;
            if (d > 1.0)
                continue;
            double luz = -(nx * 0.65 + ny * 0.55) + 0.35 * (1 - d);
            punto(b, x, y, base, (lo + hi) / 2.0 + luz * (hi - lo) * 0.75, lo, hi);
        }
}

void caja(BITMAP *b, int x0, int y0, int x1, int y1, int base, int lo, int hi)
{
    for (int x = x0; x <= x1; x++) {
        double nx = x1 > x0 ? (x - x0) / (double)(x1 - x0) * 2 - 1 : 0;
        double l = hi - (nx + 0.45) * (nx + 0.45) * (hi - lo) * 0.55;
        for (int y = y0; y <= y1; y++)
            punto(b, x, y, base, l - (y - y0 > (y1 - y0) * 0.8 ? 0.7 : 0), lo, hi);
    }
}

void palo(BITMAP *b, double x0, double y0, double x1, double y1, double w, int base, int lo, int hi)
{
    double dx = x1 - x0, dy = y1 - y0, L2 = dx * dx + dy * dy;
    int xa = (int)floor(fmin(x0, x1) - w), xb = (int)ceil(fmax(x0, x1) + w);
    int ya = (int)floor(fmin(y0, y1) - w), yb = (int)ceil(fmax(y0, y1) + w);
    double r = w / 2;
    for (int y = ya; y <= yb; y++)
        for (int x = xa; x <= xb; x++) {
            double px = x + 0.5 - x0, py = y + 0.5 - y0;
            double t = L2 > 0 ? (px * dx + py * dy) / L2 : 0;
            t = t < 0 ? 0 : t > 1 ? 1 : t;
            double qx = px - t * dx, qy = py - t * dy;
            double d = sqrt(qx * qx + qy * qy);
            if (d > r)
                continue;
            // which side of the limb: the left (lit) side is lighter
            double lado = L2 > 0 ? (qx * dy - qy * dx) / sqrt(L2) : 0;
            if (dy < 0) lado = -lado;
            double l = (lo + hi) / 2.0 + (-lado / r) * (hi - lo) * 0.5;
            punto(b, x, y, base, l, lo, hi);
        }
}

void contorno(BITMAP *b, int x0, int y0, int w, int h)
{
    static unsigned char m[512][512];
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            m[y][x] = getpixel(b, x0 + x, y0 + y) != 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            if (!m[y][x])
                continue;
            bool borde = x == 0 || y == 0 || x == w - 1 || y == h - 1 || !m[y][x - 1] || !m[y][x + 1] ||
                         !m[y - 1][x] || !m[y + 1][x];
            if (!borde)
                continue;
            int c = getpixel(b, x0 + x, y0 + y), n;
            int base = rampa_de(c, &n);
            if (n > 1)
                putpixel(b, x0 + x, y0 + y, base + (n >= 16 ? 1 : 0));
            else if (c != C_BLANCO && c != 8)
                putpixel(b, x0 + x, y0 + y, C_CONTORNO);
        }
}

bool tramado(int x, int y, double f)
{
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return f * 16 > bayer[y & 3][x & 3] + 0.5;
}
