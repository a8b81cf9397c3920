// Key to picture, measured from outside: presses a key through XTEST and stamps (CLOCK_MONOTONIC,
// as soon as the event is read) the first X Damage report of the window after it, N times; prints
// one line of key=value figures: mean, median, minimum and maximum in milliseconds.
//
//   tecla_imagen [-n N] [-modo quieta|camion] [-teclas K1,K2...] WINDOW
//     quieta   a still screen (the difficulty menu, the editor's map): the first picture after the
//              key; each press waits for the window to be still first. Keys default Down,Up.
//     camion   play: the first picture where the truck has left its row. The truck is found by its
//              pixels, which stay while the road scrolls beneath it; the key is held until it moves,
//              and the next press waits until it stands in its new lane. Keys: up, down (default
//              Up,Down); the truck is kept in the two middle lanes.
//     WINDOW   a title (exact) or an id; the keys go to it (it is given the focus).
//   -v prints every press's milliseconds on stderr. Presses that give no measure (no picture in
//   2 s; in play, the truck hidden by something) are counted apart ("perdidas") and made again.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <algorithm>
#include <vector>

#include "bench/refrescos.h"
#include "bench/ventana_x.h"

namespace {

enum {
    MAX_TECLAS = 8,
    ESPERA_VENTANA_MS = 10000,
    QUIETA_MS = 300,          // a still screen: no picture for this long
    LIMITE_QUIETA_MS = 8000,  // ... within this, or the screen is not still
    LIMITE_TECLA_MS = 2000,   // a press with no answer in this long is lost
    PAUSA_MIN_MS = 150,       // between presses in play: from this ...
    PAUSA_AZAR_MS = 200,      // ... plus up to this at random, so presses fall anywhere in a tick
    PAGINA_W = 320,           // the game's page; the window is an N-times enlargement of it
    // The truck in play: its picture's box on the page in the middle lane at the start of play,
    // and the rows its picture's top can take (the lanes 72..144 plus 9, and a margin).
    CAMION_X = 40, CAMION_Y = 129, CAMION_W = 46, CAMION_H = 37,
    CAMION_FILA_MIN = 72, CAMION_FILA_MAX = 160, CARRILES = 4,
    MASCARA_MIN = 200,        // truck pixels needed to trust the mask
    ACIERTO_MIN_PCT = 85,     // share of the mask's pixels that must match where the truck is
    MASCARA_ESPERA_MS = 120,  // between the two pictures that make the mask
    INTENTOS = 3,             // presses made at most per measure wanted
};

const int CARRIL_FILA[CARRILES] = {81, 105, 129, 153};   // the truck's top row in each lane

Display *d;
Window ventana;
int base_dano;
int escala = 1;            // window pixels per page pixel
bool detalle;              // -v

// The time of the first damage report of the window read within limite_ms of now, or -1.
int64_t espera_dano(int limite_ms)
{
    int64_t fin = ahora_us() + (int64_t)limite_ms * 1000;
    pollfd fd = {ConnectionNumber(d), POLLIN, 0};
    for (;;) {
        int64_t t = ahora_us();
        int64_t visto = -1;
        while (XEventsQueued(d, QueuedAfterReading) > 0) {
            XEvent ev;
            XNextEvent(d, &ev);
            if (ev.type == base_dano + XDamageNotify && visto < 0)
                visto = t;
        }
        if (visto >= 0)
            return visto;
        if (t >= fin)
            return -1;
        poll(&fd, 1, (int)((fin - t) / 1000) + 1);
    }
}

// Drops every damage report now queued; true when there was one.
bool limpia_danos()
{
    bool hubo = false;
    while (XEventsQueued(d, QueuedAfterReading) > 0) {
        XEvent ev;
        XNextEvent(d, &ev);
        hubo = hubo || ev.type == base_dano + XDamageNotify;
    }
    return hubo;
}

void pulsa(KeyCode k, bool abajo)
{
    XTestFakeKeyEvent(d, k, abajo, 0);
    XFlush(d);
}

// A still screen: waits until no picture comes for QUIETA_MS; false when it never stops.
bool espera_quieta()
{
    int64_t fin = ahora_us() + LIMITE_QUIETA_MS * 1000L;
    limpia_danos();
    while (ahora_us() < fin)
        if (espera_dano(QUIETA_MS) < 0)
            return true;
    return false;
}

// One press on a still screen: milliseconds from the press to the first picture, or -1.
double mide_quieta(KeyCode k)
{
    if (!espera_quieta()) {
        fprintf(stderr, "tecla_imagen: la ventana no se queda quieta\n");
        exit(1);
    }
    int64_t t0 = ahora_us();
    pulsa(k, true);
    int64_t t = espera_dano(LIMITE_TECLA_MS);
    pulsa(k, false);
    return t < 0 ? -1 : (t - t0) / 1000.0;
}

// ---- play: the truck ----

// The page's pixels of the truck's columns, rows CAMION_FILA_MIN .. CAMION_FILA_MAX + CAMION_H - 1
// (p[row - CAMION_FILA_MIN]), each read at the middle of its enlarged block.
enum { FRANJA_H = CAMION_FILA_MAX - CAMION_FILA_MIN + CAMION_H };
struct Franja {
    unsigned long p[FRANJA_H][CAMION_W];
};

bool lee_franja(Franja *f)
{
    XImage *im = XGetImage(d, ventana, CAMION_X * escala, CAMION_FILA_MIN * escala, CAMION_W * escala,
                           FRANJA_H * escala, AllPlanes, ZPixmap);
    if (!im)
        return false;
    for (int y = 0; y < FRANJA_H; y++)
        for (int x = 0; x < CAMION_W; x++)
            f->p[y][x] = XGetPixel(im, x * escala + escala / 2, y * escala + escala / 2);
    XDestroyImage(im);
    return true;
}

// The truck's pixels: those of its box that did not change between two pictures of the
// scrolling road (the truck stays, the road beneath moves).
struct Camion {
    unsigned long p[CAMION_H][CAMION_W];
    bool m[CAMION_H][CAMION_W];
    int n;   // pixels in the mask
};

// The row of the truck's top in f: where the most mask pixels match, or -1 below ACIERTO_MIN_PCT.
int fila_camion(const Camion &c, const Franja &f)
{
    int mejor = -1, aciertos_mejor = 0;
    for (int fila = CAMION_FILA_MIN; fila <= CAMION_FILA_MAX; fila++) {
        int a = 0;
        for (int y = 0; y < CAMION_H; y++)
            for (int x = 0; x < CAMION_W; x++)
                a += c.m[y][x] && c.p[y][x] == f.p[fila - CAMION_FILA_MIN + y][x];
        if (a > aciertos_mejor) {
            aciertos_mejor = a;
            mejor = fila;
        }
    }
    return aciertos_mejor * 100 >= c.n * ACIERTO_MIN_PCT ? mejor : -1;
}

// The truck's mask from two pictures MASCARA_ESPERA_MS apart, the truck standing at CAMION_Y.
bool aprende_camion(Camion *c)
{
    static Franja a, b;
    timespec p = {0, MASCARA_ESPERA_MS * 1000000L};
    if (!lee_franja(&a) || nanosleep(&p, NULL) != 0 || !lee_franja(&b))
        return false;
    c->n = 0;
    for (int y = 0; y < CAMION_H; y++)
        for (int x = 0; x < CAMION_W; x++) {
            int fila = CAMION_Y - CAMION_FILA_MIN + y;
            c->p[y][x] = a.p[fila][x];
            c->m[y][x] = a.p[fila][x] == b.p[fila][x];
            c->n += c->m[y][x];
        }
    return c->n >= MASCARA_MIN && fila_camion(*c, b) == CAMION_Y;
}

// The truck's row in the picture after the damage reports now read: the time of that picture
// in *t (the last report read before the picture was taken; if more came while it was taken, the
// moment it was taken, which can only make the measure longer).
int fila_ahora(const Camion &c, int64_t *t)
{
    static Franja f;
    if (!lee_franja(&f))
        return -1;
    if (limpia_danos())
        *t = ahora_us();
    return fila_camion(c, f);
}

// True when the truck's top row is that of a lane: it stands in it.
bool en_carril(int fila)
{
    for (int i = 0; i < CARRILES; i++)
        if (fila == CARRIL_FILA[i])
            return true;
    return false;
}

// Waits until the truck stands in a lane for two pictures; its row, or -1.
int espera_parado(const Camion &c)
{
    int64_t fin = ahora_us() + LIMITE_TECLA_MS * 1000L;
    int ultima = -1;
    while (ahora_us() < fin) {
        int64_t t = espera_dano(LIMITE_TECLA_MS);
        if (t < 0)
            return -1;
        int f = fila_ahora(c, &t);
        if (en_carril(f) && f == ultima)
            return f;
        ultima = f;
    }
    return -1;
}

// One lane change: milliseconds from the press to the first picture where the truck has left
// its row, or -1 when that cannot be told: it did not move, or some picture between did not
// show it (a pedestrian in front of it, a splash, an explosion). The truck goes up (key arriba) from the two
// lower lanes and down (key abajo) from the two upper ones.
double mide_camion(const Camion &c, KeyCode arriba, KeyCode abajo)
{
    int desde = espera_parado(c);
    if (detalle)
        fprintf(stderr, "  parado en la fila %d\n", desde);
    if (desde < 0)
        return -1;
    timespec p = {0, (PAUSA_MIN_MS + rand() % PAUSA_AZAR_MS) * 1000000L};
    nanosleep(&p, NULL);
    limpia_danos();
    KeyCode k = desde > CARRIL_FILA[1] ? arriba : abajo;
    int64_t t0 = ahora_us();
    pulsa(k, true);
    double ms = -1;
    while (ahora_us() - t0 < LIMITE_TECLA_MS * 1000L) {
        int64_t t = espera_dano(LIMITE_TECLA_MS);
        if (t < 0)
            break;
        int f = fila_ahora(c, &t);
        if (detalle)
            fprintf(stderr, "  fila %d a %.1f ms\n", f, (t - t0) / 1000.0);
        if (f < 0)
            break;
        if (f != desde) {
            ms = (t - t0) / 1000.0;
            break;
        }
    }
    pulsa(k, false);
    return ms;
}

void uso()
{
    fprintf(stderr, "uso: tecla_imagen [-n N] [-modo quieta|camion] [-teclas K1,K2...] [-v] VENTANA\n");
    exit(2);
}

}  // namespace

int main(int argc, char **argv)
{
    int n = 20;
    bool camion = false;
    const char *teclas = NULL, *nombre = NULL;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "-n") == 0 && i + 1 < argc)
            n = atoi(argv[++i]);
        else if (strcmp(argv[i], "-modo") == 0 && i + 1 < argc)
            camion = strcmp(argv[++i], "camion") == 0;
        else if (strcmp(argv[i], "-teclas") == 0 && i + 1 < argc)
            teclas = argv[++i];
        else if (strcmp(argv[i], "-v") == 0)
            detalle = true;
        else if (argv[i][0] == '-' || nombre)
            uso();
        else
            nombre = argv[i];
    }
    if (!nombre || n < 1)
        uso();
    if (!teclas)
        teclas = camion ? "Up,Down" : "Down,Up";

    d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "tecla_imagen: no hay DISPLAY\n");
        return 2;
    }
    int base_error, ev, er, mayor, menor;
    if (!XDamageQueryExtension(d, &base_dano, &base_error) || !XTestQueryExtension(d, &ev, &er, &mayor, &menor)) {
        fprintf(stderr, "tecla_imagen: el servidor X no tiene DAMAGE o XTEST\n");
        return 2;
    }
    ignora_errores_x();
    ventana = busca_ventana(d, nombre, ESPERA_VENTANA_MS);
    if (!ventana) {
        fprintf(stderr, "tecla_imagen: no aparece la ventana \"%s\"\n", nombre);
        return 1;
    }
    KeyCode codigos[MAX_TECLAS];
    int nteclas = 0;
    char lista[256];
    snprintf(lista, sizeof lista, "%s", teclas);
    for (char *k = strtok(lista, ","); k && nteclas < MAX_TECLAS; k = strtok(NULL, ",")) {
        KeySym s = XStringToKeysym(k);
        if (s == NoSymbol || !(codigos[nteclas] = XKeysymToKeycode(d, s))) {
            fprintf(stderr, "tecla_imagen: tecla desconocida \"%s\"\n", k);
            return 2;
        }
        nteclas++;
    }
    XWindowAttributes atr;
    XGetWindowAttributes(d, ventana, &atr);
    escala = std::max(1, atr.width / PAGINA_W);
    XDamageCreate(d, ventana, XDamageReportRawRectangles);
    XSetInputFocus(d, ventana, RevertToParent, CurrentTime);
    XSync(d, False);
    srand((unsigned)ahora_us());

    Camion c;
    if (camion && !aprende_camion(&c)) {
        fprintf(stderr, "tecla_imagen: no se ve el camion parado en su carril (%d pixeles)\n", c.n);
        return 1;
    }
    std::vector<double> ms;
    int perdidas = 0;   // presses without a measure (play: the truck hidden; up to n * INTENTOS in all)
    for (int i = 0; (int)ms.size() < n && i < n * INTENTOS; i++) {
        double m = camion ? mide_camion(c, codigos[0], codigos[1 % nteclas]) : mide_quieta(codigos[i % nteclas]);
        if (detalle)
            fprintf(stderr, "tecla_imagen: %d %.2f ms\n", i, m);
        if (m < 0)
            perdidas++;
        else
            ms.push_back(m);
    }
    if (ms.empty()) {
        fprintf(stderr, "tecla_imagen: ninguna tecla dio imagen\n");
        return 1;
    }
    std::sort(ms.begin(), ms.end());
    double suma = 0;
    for (double m : ms)
        suma += m;
    size_t k = ms.size();
    double mediana = k % 2 ? ms[k / 2] : (ms[k / 2 - 1] + ms[k / 2]) / 2;
    char rotulo[64];
    snprintf(rotulo, sizeof rotulo, "%s", nombre);
    for (char *p = rotulo; *p; p++)
        if (*p == ' ' || *p == '=')
            *p = '_';
    printf("nombre=%s modo=%s n=%zu perdidas=%d media_ms=%.2f mediana_ms=%.2f min_ms=%.2f max_ms=%.2f\n", rotulo,
           camion ? "camion" : "quieta", k, perdidas, suma / k, mediana, ms[0], ms[k - 1]);
    return 0;
}
