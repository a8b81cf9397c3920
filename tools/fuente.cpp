// fuente: the game's colour font (datos/font.dat) and the lettering of the pictures,
// both from the glyphs of assets/fuente.txt.
#include "tools/korvmake.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

enum { PRIMERO = 32, ULTIMO = 126, NCAR = ULTIMO - PRIMERO + 1 };
enum { POR_FILA = 16 };          // glyph boxes per row of the font image
enum { FUENTE_ESCALA = 2 };      // the game font is the glyphs scaled by 2; the small one, unscaled

struct Glifo {
    int w;                                   // columns drawn
    unsigned char p[GLIFO_H][GLIFO_W + 1];   // 1 ink, 0 empty
};
static Glifo glifos[NCAR];
static bool glifos_leidos;

// Reads assets/fuente.txt: a line "code char", then 9 rows of X and dots.
static void lee_glifos()
{
    if (glifos_leidos)
        return;
    const char *nombre = "fuente.txt";
    std::vector<std::string> l = lee_lineas(nombre);
    bool visto[NCAR] = {};
    for (size_t i = 0; i < l.size(); i++) {
        if (l[i].empty() || !isdigit((unsigned char)l[i][0]))
            continue;
        int ch = atoi(l[i].c_str());
        if (ch < PRIMERO || ch > ULTIMO || i + GLIFO_H >= l.size() + 1)
            muere(fuente_ruta(nombre), "glifo fuera de rango: " + l[i]);
        Glifo &g = glifos[ch - PRIMERO];
        g.w = (int)l[i + 1].size();
        if (g.w < 1 || g.w > GLIFO_W)
            muere(fuente_ruta(nombre), "ancho de glifo invalido: " + l[i]);
        for (int y = 0; y < GLIFO_H; y++) {
            const std::string &f = l[i + 1 + y];
            if ((int)f.size() != g.w)
                muere(fuente_ruta(nombre), "fila de largo distinto en el glifo " + l[i]);
            for (int x = 0; x < g.w; x++)
                g.p[y][x] = f[x] == 'X';
        }
        visto[ch - PRIMERO] = true;
        i += GLIFO_H;
    }
    for (int c = 0; c < NCAR; c++)
        if (!visto[c])
            muere(fuente_ruta(nombre), "falta el caracter " + std::to_string(c + PRIMERO));
    glifos_leidos = true;
}

bool glifo_pixel(int ch, int x, int y)
{
    lee_glifos();
    if (ch < PRIMERO || ch > ULTIMO || x < 0 || y < 0 || y >= GLIFO_H)
        return false;
    const Glifo &g = glifos[ch - PRIMERO];
    return x < g.w && g.p[y][x];
}

int glifo_ancho(int ch)
{
    lee_glifos();
    return ch < PRIMERO || ch > ULTIMO ? 0 : glifos[ch - PRIMERO].w;
}

// A mask of w x h cells.
struct Mascara {
    int w = 0, h = 0;
    std::vector<unsigned char> m;
    Mascara(int w_, int h_) : w(w_), h(h_), m((size_t)w_ * h_, 0) {}
    unsigned char en(int x, int y) const { return x < 0 || y < 0 || x >= w || y >= h ? 0 : m[(size_t)y * w + x]; }
    void pon(int x, int y, unsigned char v) { if (x >= 0 && y >= 0 && x < w && y < h) m[(size_t)y * w + x] = v; }
};

// Doubles a mask, filling the inner corners of diagonal steps (the filling half of the
// EPX rule; outer corners stay square, so D and O keep apart).
static Mascara dobla(const Mascara &s)
{
    Mascara d(s.w * 2, s.h * 2);
    for (int y = 0; y < s.h; y++)
        for (int x = 0; x < s.w; x++) {
            int P = s.en(x, y), A = s.en(x, y - 1), B = s.en(x + 1, y), C = s.en(x - 1, y), D = s.en(x, y + 1);
            d.pon(2 * x, 2 * y, P | ((C == A && C != D && A != B) ? A : P));
            d.pon(2 * x + 1, 2 * y, P | ((A == B && A != C && B != D) ? B : P));
            d.pon(2 * x, 2 * y + 1, P | ((D == C && D != B && C != A) ? C : P));
            d.pon(2 * x + 1, 2 * y + 1, P | ((B == D && B != A && D != C) ? D : P));
        }
    return d;
}

// Mask of one text at 1x (glyphs side by side, one empty column between).
static Mascara mascara_texto(const char *t, int espacio)
{
    int w = 0;
    for (const char *c = t; *c; c++)
        w += glifo_ancho((unsigned char)*c) + (c[1] ? espacio : 0);
    Mascara m(w > 0 ? w : 1, GLIFO_H);
    int x = 0;
    for (const char *c = t; *c; c++) {
        int ch = (unsigned char)*c;
        for (int y = 0; y < GLIFO_H; y++)
            for (int i = 0; i < glifo_ancho(ch); i++)
                if (glifo_pixel(ch, i, y))
                    m.pon(x + i, y, 1);
        x += glifo_ancho(ch) + espacio;
    }
    return m;
}

// The mask scaled by 1, 2, 4 or 8.
static Mascara escala_mascara(Mascara m, int escala)
{
    for (int e = 1; e < escala; e *= 2)
        m = dobla(m);
    return m;
}

int letrero_ancho(const char *texto, int escala, int espacio)
{
    return mascara_texto(texto, espacio).w * escala;
}

int letrero(BITMAP *b, const char *texto, int x, int y, int escala, int base, int largo,
            int borde, int sombra, int espacio)
{
    Mascara m = escala_mascara(mascara_texto(texto, espacio), escala);
    int r = escala >= 4 ? escala / 4 : 1;   // outline thickness
    int sd = escala >= 4 ? escala / 2 : 1;  // shadow offset
    int alto = 7 * escala;                  // capital height
    Mascara o(m.w, m.h);
    for (int j = 0; j < m.h; j++)
        for (int i = 0; i < m.w; i++)
            for (int dy = -r; dy <= r && !o.en(i, j); dy++)
                for (int dx = -r; dx <= r; dx++)
                    if (m.en(i + dx, j + dy)) { o.pon(i, j, 1); break; }
    if (sombra >= 0)
        for (int j = 0; j < m.h + sd; j++)
            for (int i = 0; i < m.w + sd; i++)
                if (o.en(i - sd, j - sd) && !o.en(i, j))
                    putpixel(b, x + i, y + j, sombra);
    for (int j = 0; j < m.h; j++)
        for (int i = 0; i < m.w; i++) {
            if (m.en(i, j)) {
                double f = 1.0 - (double)j / alto;       // 1 at the top, 0 at the base line
                double l = 0.6 + f * (largo - 1.6);
                if (!m.en(i, j - escala / 2) || !m.en(i - escala / 2, j))
                    l += 1.3;                            // lit edge
                int li = (int)l;
                if (tramado(x + i, y + j, l - li))
                    li++;
                putpixel(b, x + i, y + j, tono(base, li));
            } else if (o.en(i, j) && borde >= 0) {
                putpixel(b, x + i, y + j, borde);
            }
        }
    return m.w;
}

int texto_chico_ancho(const char *texto) { return mascara_texto(texto, 1).w; }

void texto_chico(BITMAP *b, const char *texto, int x, int y, int color)
{
    Mascara m = mascara_texto(texto, 1);
    for (int j = 0; j < m.h; j++)
        for (int i = 0; i < m.w; i++)
            if (m.en(i, j))
                putpixel(b, x + i, y + j, color);
}

// Width of a glyph in the game font: punctuation trimmed to its ink, the rest as drawn.
static void columnas(int ch, int *x0, int *w)
{
    int a = 0, z = glifo_ancho(ch) - 1;
    if (!isalnum(ch) && ch != ' ') {
        auto vacia = [&](int x) { for (int y = 0; y < GLIFO_H; y++) if (glifo_pixel(ch, x, y)) return false; return true; };
        while (a < z && vacia(a)) a++;
        while (z > a && vacia(z)) z--;
    }
    *x0 = a;
    *w = z - a + 1;
}

// Draws one glyph of a font at (x, y): scaled, shaded top to bottom over its capital height, with a shadow.
static void glifo_fuente(BITMAP *b, int ch, int x, int y, int escala)
{
    int x0, w;
    columnas(ch, &x0, &w);
    Mascara s(w, GLIFO_H);
    for (int j = 0; j < GLIFO_H; j++)
        for (int i = 0; i < w; i++)
            s.pon(i, j, glifo_pixel(ch, x0 + i, j));
    Mascara m = escala_mascara(s, escala);
    for (int j = 0; j <= m.h; j++)
        for (int i = 0; i <= m.w; i++) {
            if (m.en(i, j)) {
                int l = 7 - j * 7 / (7 * escala);
                if (!m.en(i, j - 1))
                    l += 1;
                putpixel(b, x + i, y + j, tono(R_LETRA, l < 0 ? 0 : l));
            } else if (m.en(i - 1, j - 1) || m.en(i - 1, j) || m.en(i, j - 1)) {
                putpixel(b, x + i, y + j, C_LETRA_BORDE);
            }
        }
}

// Box width of a glyph in a font image.
static int caja_ancho(int ch, int escala)
{
    int x0, w;
    columnas(ch, &x0, &w);
    return w * escala + 2;
}

// The image the font tool reads: every glyph at a scale in its box, boxes of a row alike in height.
static BITMAP *imagen_fuente(int escala)
{
    const int alto = GLIFO_H * escala + 1;
    int ancho = 1;
    for (int f = 0; f * POR_FILA < NCAR; f++) {
        int a = 1;
        for (int k = f * POR_FILA; k < NCAR && k < (f + 1) * POR_FILA; k++)
            a += caja_ancho(k + PRIMERO, escala) + 1;
        if (a > ancho)
            ancho = a;
    }
    int filas = (NCAR + POR_FILA - 1) / POR_FILA;
    BITMAP *b = create_bitmap(ancho, 1 + filas * (alto + 1));
    clear_to_color(b, C_BLANCO);
    for (int k = 0; k < NCAR; k++) {
        int f = k / POR_FILA, x = 1;
        for (int q = f * POR_FILA; q < k; q++)
            x += caja_ancho(q + PRIMERO, escala) + 1;
        int y = 1 + f * (alto + 1);
        rectfill(b, x, y, x + caja_ancho(k + PRIMERO, escala) - 1, y + alto - 1, 0);
        glifo_fuente(b, k + PRIMERO, x, y, escala);
    }
    return b;
}

void hace_fuente()
{
    lee_glifos();
    PALETTE p;
    paleta_juego(p);
    std::string dat = salida("datos/font.dat"), info = salida("datos/fuente_tmp.txt");
    std::string img[2] = {salida("datos/fuente_tmp.bmp"), salida("datos/fuente_chica_tmp.bmp")};
    const int escala[2] = {FUENTE_ESCALA, 1};
    for (int i = 0; i < 2; i++) {
        BITMAP *b = imagen_fuente(escala[i]);
        if (save_bitmap(img[i].c_str(), b, p) != 0)
            muere(img[i], "no se pudo escribir");
        destroy_bitmap(b);
    }
    // Object 0 a short note (a palette object would carry uninitialised padding bytes), object 1
    // the font, object 2 the small font made alike; -n0 keeps this order, -s1 drops the info
    // object and dates.
    const char nota[] = "KORVEX: la fuente del juego es el objeto 1; la chica, el 2.\n";
    escribe("datos/fuente_tmp.txt", std::vector<unsigned char>(nota, nota + sizeof nota - 1));
    remove(dat.c_str());
    std::string cmd = "dat '" + dat + "' -n0 -s1 -a '" + info + "' -t DATA >/dev/null && dat '" + dat +
                      "' -n0 -s1 -a '" + img[0] + "' -t FONT >/dev/null && dat '" + dat + "' -n0 -s1 -a '" + img[1] +
                      "' -t FONT >/dev/null";
    if (system(cmd.c_str()) != 0)
        muere(dat, "la herramienta dat fallo");
    remove(img[0].c_str());
    remove(img[1].c_str());
    remove(info.c_str());
}
