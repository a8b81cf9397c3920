// korvmake: writes the game's data files into a folder (placeholder set: plain shapes,
// simple tones). Usage: korvmake OUT_DIR
#define ALLEGRO_NO_COMPATIBILITY
#include <allegro.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "shared/carga.h"

static std::string out;

static std::string ruta(const char *r) { return out + "/" + r; }

// A palette with grey ramps and the fixed roles 4, 239, 255.
static void paleta(PALETTE p)
{
    for (int i = 0; i < 256; i++) {
        p[i].r = (i * 7) % 64; p[i].g = (i * 3) % 64; p[i].b = (i * 11) % 64;
    }
    p[0].r = p[0].g = p[0].b = 0;
    p[4].r = 63; p[4].g = 50; p[4].b = 10;
    p[239].r = 48; p[239].g = 4; p[239].b = 4;
    p[255].r = p[255].g = p[255].b = 63;
}

static void hoja(PALETTE p)
{
    BITMAP *b = create_bitmap(320, 568);
    clear_to_color(b, 0);
    struct { int y, w, h, n, rows, col; } g[] = {
        {0, 50, 122, 6, 1, 40}, {122, 50, 122, 6, 1, 60}, {244, 70, 72, 4, 1, 80},
        {316, 37, 72, 8, 1, 100}, {388, 46, 36, 5, 1, 120}, {424, 32, 24, 10, 4, 140},
        {520, 320, 48, 1, 1, 20}};
    for (auto &q : g)
        for (int r = 0; r < q.rows; r++)
            for (int i = 0; i < q.n; i++) {
                int x0 = q.w * i, y0 = q.y + q.h * r;
                if (q.h == 24 || q.h == 48)
                    rectfill(b, x0, y0, x0 + q.w - 1, y0 + q.h - 1, q.col + r * 10 + i);
                else
                    rectfill(b, x0 + 4, y0 + 4, x0 + q.w - 5, y0 + q.h - 1, q.col + i);
            }
    save_bitmap(ruta("datos/imagen.bmp").c_str(), b, p);
    destroy_bitmap(b);
}

static void pantalla(const char *nombre, const char *texto, int fondo)
{
    PALETTE p;
    paleta(p);
    BITMAP *b = create_bitmap(320, 240);
    clear_to_color(b, fondo);
    textout_centre_ex(b, font, texto, 160, 60, 255, -1);
    save_bitmap(ruta(nombre).c_str(), b, p);
    destroy_bitmap(b);
}

// Font image: 95 glyph boxes drawn with the built-in font in two inks (a colour font).
static void fuente(PALETTE p)
{
    const int GW = 8, GH = 8;
    BITMAP *b = create_bitmap(1 + 16 * (GW + 1), 1 + 6 * (GH + 1));
    clear_to_color(b, 255);
    for (int ch = 32; ch < 127; ch++) {
        int k = ch - 32, x0 = 1 + (k % 16) * (GW + 1), y0 = 1 + (k / 16) * (GH + 1);
        rectfill(b, x0, y0, x0 + GW - 1, y0 + GH - 1, 0);
        char s[2] = {(char)ch, 0};
        textout_ex(b, font, s, x0, y0, 250, -1);
        for (int yy = y0 + 4; yy < y0 + GH; yy++)
            for (int xx = x0; xx < x0 + GW; xx++)
                if (getpixel(b, xx, yy) == 250)
                    putpixel(b, xx, yy, 251);
    }
    std::string img = ruta("fuente.bmp"), pal = ruta("paleta.bmp"), dat = ruta("datos/font.dat");
    save_bitmap(img.c_str(), b, p);
    BITMAP *pb = create_bitmap(16, 16);
    clear_bitmap(pb);
    save_bitmap(pal.c_str(), pb, p);
    destroy_bitmap(pb);
    destroy_bitmap(b);
    remove(dat.c_str());
    std::string cmd = "dat " + dat + " -n0 -s1 -a " + pal + " -t PAL >/dev/null && dat " + dat +
                      " -n0 -s1 -a " + img + " -t FONT >/dev/null";
    if (system(cmd.c_str()) != 0) {
        fprintf(stderr, "korvmake: dat failed\n");
        exit(1);
    }
    remove(img.c_str());
    remove(pal.c_str());
}

static void pone16(std::vector<unsigned char> &v, int x) { v.push_back(x & 255); v.push_back((x >> 8) & 255); }
static void pone32(std::vector<unsigned char> &v, unsigned x) { pone16(v, x & 0xFFFF); pone16(v, x >> 16); }

// A mono 16-bit 22050 Hz tone.
static void wav(const char *nombre, double hz, double seg)
{
    int n = (int)(22050 * seg);
    std::vector<unsigned char> v;
    v.insert(v.end(), {'R', 'I', 'F', 'F'});
    pone32(v, 36 + 2 * n);
    v.insert(v.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    pone32(v, 16); pone16(v, 1); pone16(v, 1); pone32(v, 22050); pone32(v, 44100); pone16(v, 2); pone16(v, 16);
    v.insert(v.end(), {'d', 'a', 't', 'a'});
    pone32(v, 2 * n);
    for (int i = 0; i < n; i++)
        pone16(v, (int)(8000 * sin(2 * M_PI * hz * i / 22050.0)) & 0xFFFF);
    FILE *f = fopen(ruta(nombre).c_str(), "wb");
    fwrite(v.data(), 1, v.size(), f);
    fclose(f);
}

// A short format-0 Standard MIDI File: a few piano notes.
static void midi(const char *nombre, int base)
{
    std::vector<unsigned char> t = {0, 0xFF, 0x51, 3, 0x07, 0xA1, 0x20, 0, 0xC0, 0};
    for (int i = 0; i < 8; i++) {
        unsigned char n = base + (i * 5) % 12;
        t.insert(t.end(), {0, 0x90, n, 100, 0x60, 0x80, n, 0});
    }
    t.insert(t.end(), {0, 0xFF, 0x2F, 0});
    std::vector<unsigned char> v = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
    unsigned L = t.size();
    v.insert(v.end(), {(unsigned char)(L >> 24), (unsigned char)(L >> 16), (unsigned char)(L >> 8), (unsigned char)L});
    v.insert(v.end(), t.begin(), t.end());
    FILE *f = fopen(ruta(nombre).c_str(), "wb");
    fwrite(v.data(), 1, v.size(), f);
    fclose(f);
}

static void nivel(const char *nombre, int codigo, int densidad)
{
    static unsigned char grid[ENE_COLS][MAPA_FILAS];
    memset(grid, 0, sizeof grid);
    multi = codigo;
    for (int c = 0; c < MAPA_COLS; c++)
        for (int r = 0; r < MAPA_FILAS; r++)
            mapa[c][r] = (r >= 1 && r <= 4) ? 10 + r : r;
    for (int c = 20; densidad && c < ENE_COLS; c += densidad)
        grid[c][1 + (c / densidad) % 4] = 1 + (c / densidad) % 7;
    ArmaEnemigos(grid);
    GuardaMapa(ruta(nombre).c_str());
}

int main(int argc, char **argv)
{
    if (argc < 2 || install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 1;
    out = argv[1];
    set_color_depth(8);
    PALETTE p;
    paleta(p);
    hoja(p);
    pantalla("datos/lurgo.bmp", "ESTUDIO", 20);
    pantalla("datos/korvex.bmp", "KORVEX", 60);
    pantalla("datos/gane.bmp", "GANASTE", 90);
    fuente(p);
    const char *w[] = {"explocio", "camio1", "bolsa", "korvpol", "camio2", "gold", "camio3", "gameover"};
    for (int i = 0; i < 8; i++)
        wav((std::string("datos/") + w[i] + ".wav").c_str(), 220 + 60 * i, 0.5);
    midi("datos/fox.mid", 60);
    midi("midi/tema1.mid", 55);
    midi("midi/tema2.mid", 62);
    reserva_enemigos();
    nivel("datos/newlevel.dat", 1, 0);
    for (int i = 1; i <= 6; i++) {
        char n[64];
        snprintf(n, sizeof n, "levels/nivel_%02d.map", i);
        nivel(n, 1 + (i - 1) / 2, 12 - i);
    }
    unsigned char rk[240] = {0};
    for (int i = 0; i < 30; i++) {
        unsigned sc = (10 - i % 10) * 5000;
        memcpy(rk + 8 * i, &sc, 4);
        memcpy(rk + 8 * i + 4, "KRV", 3);
    }
    escribe_atomico(ruta("datos/ranking.dat").c_str(), rk, sizeof rk);
    return 0;
}
END_OF_MAIN()
