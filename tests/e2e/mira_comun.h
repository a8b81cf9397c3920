// mira_comun: what both screen checkers share: reading a screenshot, a picture the program
// would show with its palette and the pixels that count, and the comparison.
#ifndef KORV_MIRA_COMUN_H
#define KORV_MIRA_COMUN_H

#define ALLEGRO_NO_COMPATIBILITY
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum { ANCHO = 320, ALTO = 240, CAMPO = 192 };
enum { TEXTO_X = 160, CARTEL_Y = 110, CARTEL_PASO = 16 };

// A screenshot: 320x240 RGB bytes.
struct Captura {
    std::vector<unsigned char> rgb;
    bool lee(const char *ruta);
    const unsigned char *px(int x, int y) const { return &rgb[(y * ANCHO + x) * 3]; }
};

// Skips blanks and '#' comments of a PPM header.
inline int salta_blancos(FILE *f)
{
    int c = fgetc(f);
    while (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '#') {
        if (c == '#')
            while (c != '\n' && c != EOF)
                c = fgetc(f);
        c = fgetc(f);
    }
    return c;
}

bool Captura::lee(const char *ruta)
{
    FILE *f = fopen(ruta, "rb");
    if (!f) {
        fprintf(stderr, "%s: no se pudo abrir (%s)\n", ruta, strerror(errno));
        return false;
    }
    int w = 0, h = 0, max = 0;
    bool ok = fgetc(f) == 'P' && fgetc(f) == '6';
    if (ok) {
        ungetc(salta_blancos(f), f);
        ok = fscanf(f, "%d", &w) == 1;
        ungetc(salta_blancos(f), f);
        ok = ok && fscanf(f, "%d", &h) == 1;
        ungetc(salta_blancos(f), f);
        ok = ok && fscanf(f, "%d", &max) == 1 && fgetc(f) != EOF;
    }
    if (!ok || w != ANCHO || h != ALTO || max != 255) {
        fprintf(stderr, "%s: no es una captura PPM de 320x240 (%dx%d, max %d)\n", ruta, w, h, max);
        fclose(f);
        return false;
    }
    rgb.resize(ANCHO * ALTO * 3);
    ok = fread(rgb.data(), 1, rgb.size(), f) == rgb.size();
    fclose(f);
    if (!ok)
        fprintf(stderr, "%s: captura corta\n", ruta);
    return ok;
}

// A picture the game would show: 8-bit indexes, the palette on display, and which pixels count.
struct Esperado {
    BITMAP *bmp;
    PALETTE pal;
    std::vector<char> cuenta;   // 1 where the pixel is compared
    std::string que;            // what it is, for the report
};

// Palette index -> the exact RGB the X11 driver shows (6-bit values scaled as the library does).
inline void color(const PALETTE pal, int i, unsigned char out[3])
{
    out[0] = (unsigned char)_rgb_scale_6[pal[i].r & 63];
    out[1] = (unsigned char)_rgb_scale_6[pal[i].g & 63];
    out[2] = (unsigned char)_rgb_scale_6[pal[i].b & 63];
}

// Pixels of the screenshot that differ from the expected picture where it counts (region x0,y0,w,h).
inline int diferencias(const Captura &cap, const Esperado &e, int x0 = 0, int y0 = 0, int w = ANCHO, int h = ALTO)
{
    int n = 0;
    for (int yy = y0; yy < y0 + h; yy++)
        for (int xx = x0; xx < x0 + w; xx++) {
            if (!e.cuenta[yy * ANCHO + xx])
                continue;
            unsigned char c[3];
            color(e.pal, getpixel(e.bmp, xx, yy), c);
            if (memcmp(c, cap.px(xx, yy), 3) != 0)
                n++;
        }
    return n;
}

inline Esperado nuevo(const PALETTE pal, const char *que)
{
    Esperado e;
    e.bmp = create_bitmap(ANCHO, ALTO);
    clear_bitmap(e.bmp);
    memcpy(e.pal, pal, sizeof(PALETTE));
    e.cuenta.assign(ANCHO * ALTO, 1);
    e.que = que;
    return e;
}

// A picture with a text over it that is compared only where the text has ink: the rest of the
// screen belongs to play and moves. The ink is found by drawing on two different backgrounds.
// centrado: x is the centre of the text, else its left edge.
inline Esperado solo_texto(const PALETTE pal, FONT *f, int x, int y, const char *txt, bool centrado = true)
{
    Esperado e = nuevo(pal, "texto");
    BITMAP *otro = create_bitmap(ANCHO, ALTO);
    clear_to_color(otro, 1);
    if (centrado) {
        textprintf_centre_ex(e.bmp, f, x, y, -1, -1, "%s", txt);
        textprintf_centre_ex(otro, f, x, y, -1, -1, "%s", txt);
    } else {
        textprintf_ex(e.bmp, f, x, y, -1, -1, "%s", txt);
        textprintf_ex(otro, f, x, y, -1, -1, "%s", txt);
    }
    int tinta = 0;
    for (int i = 0; i < ANCHO * ALTO; i++) {
        int xx = i % ANCHO, yy = i / ANCHO;
        e.cuenta[i] = getpixel(e.bmp, xx, yy) != 0 || getpixel(otro, xx, yy) != 1;
        tinta += e.cuenta[i];
    }
    destroy_bitmap(otro);
    e.que = std::string("\"") + txt + "\" (" + std::to_string(tinta) + " pixeles de tinta)";
    return e;
}

// Compares against each alternative; 0 when one matches. Writes the first to salida if asked.
inline int veredicto(const Captura &cap, std::vector<Esperado> alternativas, const char *salida)
{
    if (salida)
        save_bitmap(salida, alternativas[0].bmp, alternativas[0].pal);
    int mejor = ANCHO * ALTO + 1;
    for (const Esperado &e : alternativas) {
        int n = diferencias(cap, e);
        if (n < mejor)
            mejor = n;
        if (n == 0) {
            printf("coincide: %s\n", e.que.c_str());
            return 0;
        }
    }
    printf("no coincide: %s (%d pixeles distintos)\n", alternativas[0].que.c_str(), mejor);
    return 1;
}

}  // namespace

#endif
