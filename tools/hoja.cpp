// hoja: the sprite sheet datos/imagen.bmp - explosion, blood splash, the eight enemy
// pictures, the truck, the map blocks and the score strip, each group in its cells.
#include "tools/korvmake.h"

#include <cmath>

// Groups of cells on the sheet (y of the group, cell size, cells).
enum {
    HOJA_W = 320, HOJA_H = 568,
    EXP_Y2 = 0, EXP_Y1 = 122, EXP_W = 50, EXP_H = 122, EXP_CUADROS = 12,
    SAN_Y = 244, SAN_W = 70, SAN_H = 72, SAN_CUADROS = 4,
    ENE_Y = 316, ENE_W = 37, ENE_H = 72,
    CAM_Y = 388, CAM_W = 46, CAM_H = 36, CAM_CUADROS = 5
};

// ---------------------------------------------------------------- people

enum Pelo { CORTO, LARGO, CALVO, GORRA, MONO };
enum Pose { BRAZOS_ABAJO, BRAZOS_ARRIBA, SALUDA, CON_MALETIN, CON_BASTON };

// One pedestrian: colours by ramp, build and pose.
struct Persona {
    int piel, pelo_color, pelo;   // skin ramp, hair ramp, hair style
    int camisa, pantalon;          // shirt ramp, trousers ramp
    bool falda, corto;             // skirt instead of trousers / shorts
    int ancho;                     // half width of the torso
    int cabeza_y;                  // top of the head (taller people smaller)
    int pose;
    int extra;                     // colour of the accessory (tie, bag, cap, cane)
};

static const Persona personas[5] = {
    {R_PIEL, R_MARRON, CORTO, R_ROJO, R_AZUL, false, false, 7, 4, BRAZOS_ARRIBA, 0},
    {R_PIEL, R_RUBIO, LARGO, R_ROSA, R_ROSA, true, false, 6, 7, CON_MALETIN, R_MARRON},
    {R_PIEL2, 1, CORTO, R_GRIS, R_GRIS, false, false, 7, 3, CON_MALETIN, R_ROJO},
    {R_PIEL, R_GRIS, CALVO, R_CREMA, R_CAQUI, false, false, 7, 8, CON_BASTON, R_MARRON},
    {R_PIEL2, R_MARRON, GORRA, R_VERDE, R_AZUL, false, true, 6, 10, SALUDA, R_AMARILLO},
};

// Arm from the shoulder to the hand, with the hand in skin.
static void brazo(BITMAP *b, double sx, double sy, double hx, double hy, const Persona &p)
{
    double ex = (sx + hx) / 2, ey = (sy + hy) / 2;
    palo(b, sx, sy, ex, ey, 4.2, p.camisa, 2, 6);
    palo(b, ex, ey, hx, hy, 3.6, p.camisa, 2, 5);
    bola(b, hx, hy + 1, 2.2, 2.4, p.piel, 2, 6);
}

// Hair over (or around) the head.
static void pelo(BITMAP *b, int cx, int hy, const Persona &p)
{
    int c = p.pelo_color == 1 ? R_GRIS : p.pelo_color;
    int lo = p.pelo_color == 1 ? 1 : 1, hi = p.pelo_color == 1 ? 4 : 6;
    switch (p.pelo) {
    case CORTO:
        for (int y = hy - 1; y < hy + 5; y++)
            for (int x = cx - 6; x <= cx + 6; x++) {
                double nx = (x - cx) / 6.2, ny = (y - (hy + 6)) / 7.2;
                if (nx * nx + ny * ny <= 1 && (y < hy + 3 || x < cx - 4 || x > cx + 4))
                    putpixel(b, x, y, tono(c, (x < cx ? hi : lo + 1) - (y - hy) / 3));
            }
        break;
    case LARGO:   // the back of the hair is drawn before the head; here the fringe
        for (int y = hy - 1; y < hy + 4; y++)
            for (int x = cx - 7; x <= cx + 7; x++) {
                double nx = (x - cx) / 7.0, ny = (y - (hy + 5)) / 6.5;
                if (nx * nx + ny * ny <= 1)
                    putpixel(b, x, y, tono(c, x < cx - 1 ? hi : hi - 2));
            }
        caja(b, cx - 8, hy + 6, cx - 5, hy + 20, c, lo, hi - 1);
        caja(b, cx + 5, hy + 6, cx + 8, hy + 20, c, lo, hi - 2);
        break;
    case CALVO:
        caja(b, cx - 6, hy + 5, cx - 5, hy + 9, c, 4, 6);
        caja(b, cx + 5, hy + 5, cx + 6, hy + 9, c, 3, 5);
        break;
    case GORRA:
        for (int y = hy - 1; y < hy + 4; y++)
            for (int x = cx - 6; x <= cx + 6; x++) {
                double nx = (x - cx) / 6.3, ny = (y - (hy + 4)) / 5.5;
                if (nx * nx + ny * ny <= 1)
                    putpixel(b, x, y, tono(p.extra, x < cx ? 6 : 4));
            }
        hline(b, cx - 7, hy + 4, cx + 9, tono(p.extra, 2));
        hline(b, cx - 6, hy + 3, cx + 8, tono(p.extra, 3));
        break;
    }
}

// Face: eyes, brows and a mouth open in fright.
static void cara(BITMAP *b, int cx, int hy, const Persona &p)
{
    int ojo = C_CONTORNO;
    putpixel(b, cx - 3, hy + 7, ojo); putpixel(b, cx + 2, hy + 7, ojo);
    putpixel(b, cx - 3, hy + 6, 8); putpixel(b, cx + 2, hy + 6, 8);
    putpixel(b, cx - 2, hy + 7, 8); putpixel(b, cx + 3, hy + 7, 8);
    hline(b, cx - 4, hy + 5, cx - 2, tono(p.piel, 1));
    hline(b, cx + 1, hy + 5, cx + 3, tono(p.piel, 1));
    putpixel(b, cx, hy + 9, tono(p.piel, 2));
    rectfill(b, cx - 1, hy + 11, cx, hy + 12, tono(R_SANGRE, 1));
}

// Body lines of one pedestrian in its cell.
struct Cuerpo {
    int cx, pie;       // centre line, bottom row (feet)
    int hy;            // top of the head
    int hombro, cadera;
    int w;             // half width of the torso
};

// Legs (trousers, bare under a skirt or shorts) and shoes.
static void piernas(BITMAP *b, const Cuerpo &k, const Persona &p)
{
    int zap = p.pose == CON_BASTON ? R_MARRON : (p.falda ? R_ROJO : R_GRIS);
    for (int s = -1; s <= 1; s += 2) {
        int lx = k.cx + s * 3;
        if (p.falda || p.corto)
            palo(b, lx, k.cadera + 4, lx + s * 0.5, k.pie - 3, 3.4, p.piel, 2, 6);
        else
            palo(b, lx, k.cadera, lx + s * 0.8, k.pie - 3, 5.2, p.pantalon, 1, 5);
        if (p.corto)
            palo(b, lx, k.cadera, lx + s * 0.3, k.cadera + 9, 5.4, p.pantalon, 1, 5);
        bola(b, lx + s * 1.5, k.pie - 1.5, 3.6, 2.0, zap, zap == R_GRIS ? 2 : 1, zap == R_GRIS ? 5 : 4);
    }
}

// Torso with shoulders; a skirt widens below the waist, a suit shows shirt and tie.
static void torso(BITMAP *b, const Cuerpo &k, const Persona &p)
{
    int cx = k.cx, w = k.w;
    caja(b, cx - w, k.hombro, cx + w, k.cadera, p.camisa, 1, 6);
    bola(b, cx - w + 1, k.hombro + 2, 2.5, 2.5, p.camisa, 2, 6);
    bola(b, cx + w - 1, k.hombro + 2, 2.5, 2.5, p.camisa, 1, 5);
    if (p.falda)
        for (int y = k.cadera - 6; y <= k.cadera + 10; y++) {
            int e = w + (y - k.cadera + 6) / 3;
            for (int x = cx - e; x <= cx + e; x++)
                putpixel(b, x, y, tono(p.pantalon, 5 - (x - cx + e) * 4 / (2 * e + 1) - ((y - k.cadera) % 5 == 0)));
        }
    else
        hline(b, cx - w, k.cadera - 1, cx + w, tono(R_MARRON, 1));   // belt
    if (p.camisa == R_GRIS) {
        for (int y = k.hombro; y < k.hombro + 10; y++)
            hline(b, cx - 2 + (y - k.hombro) / 4, y, cx + 2 - (y - k.hombro) / 4, 8);
        vline(b, cx, k.hombro + 1, k.hombro + 11, tono(p.extra, 3));
        putpixel(b, cx, k.hombro + 12, tono(p.extra, 2));
        vline(b, cx - 1, k.hombro + 2, k.hombro + 8, tono(p.extra, 5));
    }
}

// Neck, head, ears, hair and face.
static void cabeza(BITMAP *b, const Cuerpo &k, const Persona &p)
{
    int cx = k.cx, hy = k.hy;
    caja(b, cx - 2, hy + 12, cx + 2, k.hombro + 1, p.piel, 1, 4);
    if (p.pelo == LARGO)
        bola(b, cx, hy + 5, 7.5, 7, p.pelo_color, 1, 5);
    bola(b, cx, hy + 7.5, 5.6, 7, p.piel, 1, 6);
    putpixel(b, cx - 6, hy + 8, tono(p.piel, 3));
    putpixel(b, cx + 6, hy + 8, tono(p.piel, 2));
    pelo(b, cx, hy, p);
    cara(b, cx, hy, p);
}

// Arms by pose: hanging ones go behind the body (before), raised ones in front (after).
static void brazos(BITMAP *b, const Cuerpo &k, const Persona &p, bool delante)
{
    int cx = k.cx, w = k.w;
    double s = k.hombro + 2;
    bool colgando = p.pose == BRAZOS_ABAJO || p.pose == CON_MALETIN || p.pose == CON_BASTON;
    if (!delante && colgando) {
        brazo(b, cx - w, s, cx - w - 3, k.cadera + 4, p);
        brazo(b, cx + w, s, cx + w + 3, k.cadera + 4, p);
    } else if (delante && p.pose == BRAZOS_ARRIBA) {
        brazo(b, cx - w, s, cx - w - 5, k.hy - 1, p);
        brazo(b, cx + w, s, cx + w + 5, k.hy - 1, p);
    } else if (delante && p.pose == SALUDA) {
        brazo(b, cx - w, s, cx - w - 3, k.cadera + 3, p);
        brazo(b, cx + w, s, cx + w + 6, k.hy, p);
    }
}

// What the right hand carries: a handbag, a briefcase or a cane.
static void accesorio(BITMAP *b, const Cuerpo &k, const Persona &p)
{
    int hx = k.cx + k.w + 2;
    if (p.pose == CON_MALETIN) {
        int by = k.cadera + 5, bx = hx + 1;
        int c = p.camisa == R_GRIS ? R_MARRON : p.extra;
        if (p.falda) {
            palo(b, bx, by - 1, bx, by + 2, 1.2, c, 1, 2);
            caja(b, bx - 3, by + 2, bx + 4, by + 8, c, 1, 5);
        } else {
            caja(b, bx - 4, by + 2, bx + 5, by + 11, c, 1, 5);
            hline(b, bx - 1, by + 1, bx + 2, tono(c, 1));
            hline(b, bx - 4, by + 5, bx + 5, tono(R_AMARILLO, 4));
        }
    } else if (p.pose == CON_BASTON) {
        palo(b, hx + 2, k.cadera + 3, hx + 4, k.pie, 2.2, p.extra, 1, 4);
        palo(b, hx, k.cadera + 3, hx + 3, k.cadera + 2, 2.2, p.extra, 1, 4);
    }
}

// One pedestrian in a 37x72 cell at (x0, y0), feet on the bottom row, outlined.
static void persona(BITMAP *b, int x0, int y0, const Persona &p)
{
    Cuerpo k;
    k.cx = x0 + 18;
    k.pie = y0 + ENE_H - 1;
    k.hy = y0 + p.cabeza_y;
    k.hombro = k.hy + 17;
    k.cadera = k.hombro + 21 - (p.cabeza_y - 4) / 3;
    k.w = p.ancho;
    piernas(b, k, p);
    brazos(b, k, p, false);
    torso(b, k, p);
    cabeza(b, k, p);
    brazos(b, k, p, true);
    accesorio(b, k, p);
    contorno(b, x0, y0, ENE_W, ENE_H);
}

// ---------------------------------------------------------------- objects

// The explosive: a red drum with a hazard band and a warning sign.
static void explosivo(BITMAP *b, int x0, int y0)
{
    int cx = x0 + 18, pie = y0 + ENE_H - 1, top = pie - 31;
    caja(b, cx - 10, top + 2, cx + 10, pie - 1, R_ROJO, 1, 6);
    for (int y = top + 9; y <= top + 15; y++)       // black and yellow band
        for (int x = cx - 10; x <= cx + 10; x++)
            if (((x + y) / 3) % 2)
                putpixel(b, x, y, C_CONTORNO);
            else
                putpixel(b, x, y, tono(R_AMARILLO, x < cx ? 6 : 4));
    for (int r : {top + 5, pie - 5})                  // hoops
        hline(b, cx - 10, r, cx + 10, tono(R_ROJO, 2));
    bola(b, cx, top + 2, 10, 2.6, R_ROJO, 2, 7);       // lid
    bola(b, cx, top + 2, 7, 1.4, R_ROJO, 1, 3);
    rectfill(b, cx + 3, top - 1, cx + 5, top + 1, tono(R_GRIS, 8));
    // warning triangle with "!"
    int ty = pie - 16;
    for (int j = 0; j < 9; j++)
        hline(b, cx - j / 2 - 1, ty + j, cx + j / 2 + 1, tono(R_AMARILLO, 6));
    vline(b, cx, ty + 2, ty + 5, C_CONTORNO);
    putpixel(b, cx, ty + 7, C_CONTORNO);
    // lit fuse
    palo(b, cx - 4, top, cx - 7, top - 6, 1.4, R_GRIS, 2, 3);
    putpixel(b, cx - 8, top - 7, tono(R_FUEGO, 15));
    putpixel(b, cx - 8, top - 8, tono(R_FUEGO, 11));
    putpixel(b, cx - 9, top - 7, tono(R_FUEGO, 9));
    putpixel(b, cx - 7, top - 8, tono(R_FUEGO, 12));
    contorno(b, x0, y0, ENE_W, ENE_H);
}

// The bag: a tied money sack with a dollar sign.
static void bolsa(BITMAP *b, int x0, int y0)
{
    int cx = x0 + 18, pie = y0 + ENE_H - 1;
    bola(b, cx, pie - 10, 11, 10.5, R_ARENA, 0, 6);
    bola(b, cx, pie - 22, 4.5, 3.5, R_ARENA, 1, 5);
    bola(b, cx - 3, pie - 26, 3, 2.5, R_ARENA, 2, 7);
    bola(b, cx + 3, pie - 26, 3, 2.5, R_ARENA, 1, 5);
    hline(b, cx - 4, pie - 21, cx + 4, tono(R_MARRON, 2));
    hline(b, cx - 4, pie - 20, cx + 4, tono(R_MARRON, 4));
    letrero(b, "$", cx - 5, pie - 17, 2, R_AMARILLO, 8, tono(R_MARRON, 1), -1, 1);
    // two coins beside it
    bola(b, cx + 11, pie - 2, 3.5, 1.8, R_AMARILLO, 2, 7);
    bola(b, cx - 12, pie - 1, 3, 1.4, R_AMARILLO, 2, 7);
    contorno(b, x0, y0, ENE_W, ENE_H);
}

// The remains: a flattened red smear with scraps of clothes, a limb and a shoe.
static void restos(BITMAP *b, int x0, int y0)
{
    int cx = x0 + 18, pie = y0 + ENE_H - 1;
    Azar az(77);
    bola(b, cx, pie - 4, 15, 4.6, R_SANGRE, 1, 5);
    for (int i = 0; i < 12; i++)
        bola(b, cx - 13 + az.n(26), pie - 2 - az.n(7), 1.5 + az.d() * 2.2, 1 + az.d() * 1.2, R_SANGRE, 2, 7);
    bola(b, cx - 6, pie - 5, 5, 2.4, R_AZUL, 1, 5);                  // trousers
    bola(b, cx + 5, pie - 4, 4.5, 2.2, R_ROJO, 2, 5);                // shirt
    palo(b, cx + 8, pie - 6, cx + 14, pie - 8, 2.4, R_PIEL, 2, 6);   // an arm
    bola(b, cx + 15, pie - 8, 1.6, 1.4, R_PIEL, 3, 6);
    palo(b, cx - 1, pie - 7, cx + 3, pie - 8, 1.8, R_CREMA, 4, 7);   // a bone
    bola(b, cx - 13, pie - 2, 3, 1.6, R_GRIS, 2, 5);                 // a shoe
    contorno(b, x0, y0, ENE_W, ENE_H);
}

// ---------------------------------------------------------------- the truck

// A wheel with three spokes turned by frame (24 degrees a frame: five frames make a third).
static void rueda(BITMAP *b, double cx, double cy, int cuadro)
{
    bola(b, cx, cy, 5.6, 5.6, R_GRIS, 1, 4);
    circlefill(b, (int)cx, (int)cy, 3, tono(R_GRIS, 11));
    for (int k = 0; k < 3; k++) {
        double a = (cuadro * 24 + k * 120) * M_PI / 180;
        for (double d = 1; d <= 3.2; d += 0.7)
            putpixel(b, (int)lround(cx + cos(a) * d), (int)lround(cy - sin(a) * d), tono(R_GRIS, 4));
    }
    putpixel(b, (int)cx, (int)cy, tono(R_GRIS, 13));
    putpixel(b, (int)cx - 1, (int)cy - 1, tono(R_GRIS, 14));
}

void dibuja_camion(BITMAP *b, int x, int y, int cuadro)
{
    // cargo box
    for (int j = 3; j <= 26; j++)
        for (int i = 18; i <= 42; i++) {
            int l = j < 5 ? 14 : 12 - (i - 18) / 10;
            putpixel(b, x + i, y + j, tono(R_GRIS, l));
        }
    for (int i = 21; i <= 42; i += 7)
        vline(b, x + i, y + 5, y + 25, tono(R_GRIS, 10));
    rectfill(b, x + 18, y + 14, x + 42, y + 18, tono(R_NARANJA, 5));
    hline(b, x + 18, y + 14, x + 42, tono(R_NARANJA, 7));
    // the firm's name, written mirrored: the game turns the truck round
    BITMAP *t = create_bitmap(texto_chico_ancho("KRV"), GLIFO_H);
    clear_to_color(t, 0);
    texto_chico(t, "KRV", 0, 0, tono(R_ROJO, 3));
    draw_sprite_h_flip(b, t, x + 22, y + 6);
    destroy_bitmap(t);
    // chassis and bumper
    rectfill(b, x + 3, y + 26, x + 43, y + 29, tono(R_GRIS, 3));
    rectfill(b, x + 41, y + 24, x + 43, y + 29, tono(R_GRIS, 7));
    // cab with a sloped windscreen
    for (int j = 8; j <= 28; j++) {
        int frente = j < 16 ? 5 + (16 - j) / 2 : 2;
        for (int i = frente; i <= 17; i++) {
            int l = j < 10 ? 6 : (i < 5 ? 6 : 5 - (i - 5) / 6);
            putpixel(b, x + i, y + j, tono(R_ROJO, l));
        }
    }
    // windscreen and side window
    for (int j = 10; j <= 16; j++)
        for (int i = 7 + (16 - j) / 2; i <= 15; i++)
            putpixel(b, x + i, y + j, tono(R_VIDRIO, (i + j) % 7 == 0 ? 7 : 4 - (j - 10) / 3));
    vline(b, x + 12, y + 10, y + 16, tono(R_ROJO, 2));
    hline(b, x + 12, y + 20, x + 15, tono(R_ROJO, 2));     // door handle
    vline(b, x + 16, y + 9, y + 26, tono(R_ROJO, 2));       // door line
    rectfill(b, x + 1, y + 24, x + 5, y + 28, tono(R_GRIS, 9));   // bumper
    hline(b, x + 1, y + 24, x + 5, tono(R_GRIS, 13));
    rectfill(b, x + 2, y + 20, x + 3, y + 22, tono(R_AMARILLO, 7));   // headlight
    putpixel(b, x + 4, y + 21, tono(R_NARANJA, 6));
    // exhaust stack behind the cab
    vline(b, x + 18, y + 1, y + 12, tono(R_GRIS, 12));
    vline(b, x + 19, y + 1, y + 12, tono(R_GRIS, 7));
    // wheels
    rueda(b, x + 10, y + 30, cuadro);
    rueda(b, x + 31, y + 30, cuadro);
    rueda(b, x + 38, y + 30, cuadro);
    contorno(b, x, y, CAM_W, CAM_H);
    // puffs of exhaust drifting back (to the right in the sheet)
    for (int k = 0; k < 2; k++) {
        double t = ((cuadro + k * 2.5) / 5.0);
        t -= floor(t);
        double px = 20 + t * 18, py = 1.5 - t * 0.5;
        double r = 1 + t * 2;
        if (px + r < CAM_W - 1)
            bola(b, x + px, y + py + 1.2, r, r * 0.6, R_HUMO, 3, 7 - (int)(t * 3));
    }
}

// ---------------------------------------------------------------- effects

// Blood splash frame f (0..3): a burst with spikes, then drops flying out and falling.
static void salpicadura(BITMAP *b, int x0, int y0, int f)
{
    Azar az(31);
    double t = 0.25 + f * 0.42, cx = 30, cy = 44;
    if (f == 0)
        for (int k = 0; k < 11; k++) {   // spikes of the burst
            double a = k * 2 * M_PI / 11 + az.d() * 0.3, l = 9 + az.d() * 9;
            palo(b, x0 + cx, y0 + cy, x0 + cx + cos(a) * l, y0 + cy + sin(a) * l * 0.8, 2.6, R_SANGRE, 1, 5);
        }
    if (f < 2)
        bola(b, x0 + cx, y0 + cy, 10 - f * 3 + 4 * t, 8 - f * 3, R_SANGRE, 1, 5);
    for (int i = 0; i < 34; i++) {
        double a = az.d() * 2 * M_PI, v = 10 + az.d() * 22;
        double vx = cos(a) * v * 1.1, vy = sin(a) * v * 0.8 - 14;
        double x = cx + vx * t, y = cy + vy * t + 20 * t * t;
        double r = (1.0 + az.d() * 2.6) * (1.15 - f * 0.2);
        if (x - r < 1 || x + r > SAN_W - 2 || y - r < 1 || y + r > SAN_H - 2 || r < 0.6)
            continue;
        bola(b, x0 + x, y0 + y, r, r * (1 + 0.3 * f), R_SANGRE, 1, 6);
    }
}

// Hash noise 0..1 for a pixel and a frame.
static double grano(int x, int y, int f)
{
    unsigned h = (unsigned)x * 374761393u + (unsigned)y * 668265263u + (unsigned)f * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 1023) / 1023.0;
}

// Explosion frame f (0..11): a flash, a growing fireball, then a column of smoke.
// The puffs add into one heat field, hottest wins, so the core stays bright.
static void explosion(BITMAP *b, int x0, int y0, int f)
{
    static double calor[EXP_H][EXP_W], luz[EXP_H][EXP_W];
    for (int y = 0; y < EXP_H; y++)
        for (int x = 0; x < EXP_W; x++)
            calor[y][x] = -9, luz[y][x] = 0;
    Azar az(5);
    int suelo = EXP_H - 1;
    double t = f / 9.0;
    for (int i = 0; i < 30; i++) {
        double bx = 25 + (az.d() - 0.5) * 22, sube = 0.3 + az.d() * 0.9;
        if (i < 4)
            sube = 0;   // the foot of the fireball stays on the road
        double r0 = 7 + az.d() * 6, calor0 = 0.9 + az.d() * 0.3;
        double crece = f < 5 ? 0.35 + 0.65 * f / 4.0 : 1.0 - (f - 5) * 0.09;
        double r = r0 * crece;
        if (r > 15) r = 15;
        double cy = suelo - r * 0.85 - (t * 50 + t * t * 40) * sube;
        double c0 = calor0 * (f < 4 ? 1.0 : 1.0 - (f - 3) * 0.19) + (az.d() - 0.5) * 0.2;
        if (r < 1.5)
            continue;
        for (int y = (int)(cy - r); y <= (int)(cy + r); y++)
            for (int x = (int)(bx - r); x <= (int)(bx + r); x++) {
                double dx = x + 0.5 - bx, dy = y + 0.5 - cy, d = sqrt(dx * dx + dy * dy) / r;
                double rn = grano(x, y, f) - 0.5;
                if (d > 1 - rn * 0.3 || x < 1 || x > EXP_W - 2 || y < 1 || y > suelo)
                    continue;
                double c = c0 * (1.3 - d * 0.6) + rn * 0.1;
                if (c > calor[y][x]) {
                    calor[y][x] = c;
                    luz[y][x] = -(dx + dy) / r;
                }
            }
    }
    for (int y = 0; y < EXP_H; y++)
        for (int x = 0; x < EXP_W; x++) {
            double c = calor[y][x];
            if (c < -5)
                continue;
            int col;
            if (c > 0.5) {
                int l = (int)((c - 0.5) / 0.7 * 15);
                col = tono(R_FUEGO, l > 15 ? 15 : l);
            } else {
                int l = (int)(2.5 + c * 3 + luz[y][x] * 1.8);
                col = tono(R_HUMO, l < 0 ? 0 : l);
            }
            putpixel(b, x0 + x, y0 + y, col);
        }
    if (f < 2) // flash at the ground
        bola(b, x0 + 25, y0 + suelo - 4 - f * 3, 9 + f * 8, 4 + f * 4, R_FUEGO, 12, 15);
}

void hace_hoja()
{
    BITMAP *b = create_bitmap(HOJA_W, HOJA_H);
    clear_to_color(b, 0);
    for (int f = 0; f < EXP_CUADROS; f++)
        explosion(b, (f % 6) * EXP_W, f < 6 ? EXP_Y1 : EXP_Y2, f);
    for (int f = 0; f < SAN_CUADROS; f++)
        salpicadura(b, f * SAN_W, SAN_Y, f);
    for (int i = 0; i < 5; i++)
        persona(b, i * ENE_W, ENE_Y, personas[i]);
    explosivo(b, 5 * ENE_W, ENE_Y);
    bolsa(b, 6 * ENE_W, ENE_Y);
    restos(b, 7 * ENE_W, ENE_Y);
    for (int f = 0; f < CAM_CUADROS; f++)
        dibuja_camion(b, f * CAM_W, CAM_Y, f);
    dibuja_bloques(b);
    PALETTE p;
    paleta_juego(p);
    std::string r = salida("datos/imagen.bmp");
    if (save_bitmap(r.c_str(), b, p) != 0)
        muere(r, "no se pudo escribir");
    destroy_bitmap(b);
}
