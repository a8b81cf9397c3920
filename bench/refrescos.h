// What a display shows of a window's pictures: given when each picture reached the X server and
// when each refresh (vblank) happened, both in microseconds of CLOCK_MONOTONIC, counts the new
// pictures of every refresh. A picture is shown at the first refresh at least `margen` after it
// reached the server (a compositor needs that much before its repaint): 0 new pictures at a refresh
// is a repeat, n > 1 are n - 1 pictures never shown (drops). No X here: the tests feed it tables.
#pragma once

#include <stdint.h>
#include <vector>

enum {
    MARGEN_US = 2000,   // picture to the refresh that can show it, at least (µs)
    GRUPO_US = 1000     // reports of one picture: each within this of the one before (µs)
};

// One X Damage report of a window: when it was read (µs) and the rectangle; `mas` when the server
// said more reports of the same operation follow.
struct Dano {
    int64_t t;
    int x, y, w, h;
    bool mas;
};

// Figures of one window over one stretch of refreshes.
struct Fluidez {
    int imagenes;             // pictures counted (those shown at the refreshes counted, or dropped)
    int refrescos;            // refreshes counted: every one after the first
    int repetidas;            // refreshes with no new picture
    int perdidas;             // pictures never shown
    double segundos;          // first refresh to last
    double imagenes_s;        // pictures per second
    double refrescos_s;       // refreshes per second
    double fallos_s;          // (repeats + drops) per second
    double intervalo_ms;      // mean interval between consecutive pictures counted
    double intervalo_sd_ms;   // its standard deviation
    double refresco_ms;       // mean interval between refreshes
    double refresco_sd_ms;    // its standard deviation
};

// The pictures of a window from its damage reports (sorted by time): one picture is a run of
// reports of one operation or of operations close together (each within GRUPO_US of the one
// before) that paint apart from each other; a report that paints again over the run starts a new
// picture. The time of a picture is its last report's, appended to *imagenes.
void agrupa_imagenes(const Dano *d, int n, std::vector<int64_t> *imagenes);

// New pictures at each refresh i = 1..nv-1 into nuevas[i] (nuevas[0] = 0): the pictures p with
// v[i-1] - margen < p <= v[i] - margen. Both lists sorted ascending.
void nuevas_por_refresco(const int64_t *v, int nv, const int64_t *p, int np, int64_t margen, int *nuevas);

// The figures of pictures p[0..np-1] against refreshes v[0..nv-1] (sorted ascending); all zero
// with fewer than two refreshes.
Fluidez mide_fluidez(const int64_t *v, int nv, const int64_t *p, int np, int64_t margen);

// Microseconds of CLOCK_MONOTONIC: the clock of Present's UST and of the watchers' stamps.
int64_t ahora_us();
