// korvmake: the menu icons (hicolor PNGs) of the game and the editor, drawn from the truck.
#include "tools/korvmake.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <zlib.h>

// The picture every size is scaled from, pixels: the truck (46x36) centred in it.
enum { BASE = 48, CAMION_W = 46, CAMION_H = 36, TRANSPARENTE = 0 };
// Icon sizes of the hicolor theme, pixels.
static const int TAMANOS[] = {32, 48, 64, 128, 256};

// Appends a big-endian 32-bit number.
static void pon32(std::vector<unsigned char> &v, unsigned n)
{
    for (int s = 24; s >= 0; s -= 8)
        v.push_back((unsigned char)(n >> s));
}

// Appends one PNG chunk: length, type, data, CRC of type and data.
static void trozo(std::vector<unsigned char> &png, const char *tipo, const std::vector<unsigned char> &datos)
{
    pon32(png, (unsigned)datos.size());
    size_t desde = png.size();
    png.insert(png.end(), tipo, tipo + 4);
    png.insert(png.end(), datos.begin(), datos.end());
    pon32(png, (unsigned)crc32(0, png.data() + desde, (uInt)(png.size() - desde)));
}

// A PNG of an 8-bit picture in the game palette: RGBA, index 0 transparent.
static std::vector<unsigned char> png_rgba(BITMAP *b, const PALETTE pal)
{
    std::vector<unsigned char> crudo;   // filter byte 0, then the row's pixels
    for (int y = 0; y < b->h; y++) {
        crudo.push_back(0);
        for (int x = 0; x < b->w; x++) {
            int c = getpixel(b, x, y);
            crudo.push_back((unsigned char)_rgb_scale_6[pal[c].r]);
            crudo.push_back((unsigned char)_rgb_scale_6[pal[c].g]);
            crudo.push_back((unsigned char)_rgb_scale_6[pal[c].b]);
            crudo.push_back(c == TRANSPARENTE ? 0 : 255);
        }
    }
    uLongf n = compressBound((uLong)crudo.size());
    std::vector<unsigned char> z(n);
    if (compress2(z.data(), &n, crudo.data(), (uLong)crudo.size(), Z_BEST_COMPRESSION) != Z_OK)
        muere("png", "zlib no pudo comprimir");
    z.resize(n);
    static const unsigned char FIRMA[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> png(FIRMA, FIRMA + 8), cab;
    pon32(cab, (unsigned)b->w);
    pon32(cab, (unsigned)b->h);
    const unsigned char resto[5] = {8, 6, 0, 0, 0};   // 8 bits, RGBA, deflate, filter 0, no interlace
    cab.insert(cab.end(), resto, resto + 5);
    trozo(png, "IHDR", cab);
    trozo(png, "IDAT", z);
    trozo(png, "IEND", {});
    return png;
}

// The base picture: the truck facing right; the editor's carries a pencil over it.
static BITMAP *base(bool editor)
{
    BITMAP *c = create_bitmap(CAMION_W, CAMION_H), *b = create_bitmap(BASE, BASE);
    clear_to_color(c, TRANSPARENTE);
    clear_to_color(b, TRANSPARENTE);
    dibuja_camion(c, 0, 0, 0);
    draw_sprite_h_flip(b, c, (BASE - CAMION_W) / 2, (BASE - CAMION_H) / 2);
    destroy_bitmap(c);
    if (editor) {
        palo(b, 40, 2, 22, 26, 3.0, R_AMARILLO);
        palo(b, 23, 25, 19, 30, 1.5, R_CREMA);
        contorno(b, 0, 0, BASE, BASE);
    }
    return b;
}

// One size: nearest-pixel scaling (whole factors centred where the base fits, plain below it).
static BITMAP *escala(BITMAP *b, int t)
{
    BITMAP *r = create_bitmap(t, t);
    clear_to_color(r, TRANSPARENTE);
    if (t < BASE) {
        stretch_blit(b, r, 0, 0, BASE, BASE, 0, 0, t, t);
        return r;
    }
    int f = t / BASE, m = (t - BASE * f) / 2;
    stretch_blit(b, r, 0, 0, BASE, BASE, m, m, BASE * f, BASE * f);
    return r;
}

void hace_iconos()
{
    PALETTE pal;
    paleta_juego(pal);
    for (int editor = 0; editor < 2; editor++) {
        BITMAP *b = base(editor);
        for (int t : TAMANOS) {
            std::string dir = std::to_string(t) + "x" + std::to_string(t);
            std::string r = salida(dir);
            if (mkdir(r.c_str(), 0777) != 0 && errno != EEXIST)
                muere(r, "no se pudo crear la carpeta");
            BITMAP *e = escala(b, t);
            escribe(dir + (editor ? "/korveditor.png" : "/korvex.png"), png_rgba(e, pal));
            destroy_bitmap(e);
        }
        destroy_bitmap(b);
    }
}
