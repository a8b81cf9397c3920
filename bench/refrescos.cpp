// What a display shows of a window's pictures: new pictures per refresh, repeats, drops, and the
// rate and regularity of pictures and refreshes.
#include "bench/refrescos.h"

#include <math.h>
#include <string.h>
#include <time.h>
#include <vector>

// True when two reports' rectangles share a pixel.
static bool se_tocan(const Dano &a, const Dano &b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

void agrupa_imagenes(const Dano *d, int n, std::vector<int64_t> *imagenes)
{
    int desde = 0;   // first report of the picture being gathered
    for (int i = 0; i < n; i++) {
        bool sigue = i > desde && (d[i - 1].mas || d[i].t - d[i - 1].t <= GRUPO_US);
        for (int k = desde; k < i && sigue; k++)
            sigue = d[i - 1].mas || !se_tocan(d[k], d[i]);
        if (i > desde && !sigue) {
            imagenes->push_back(d[i - 1].t);
            desde = i;
        }
    }
    if (n > desde)
        imagenes->push_back(d[n - 1].t);
}

void nuevas_por_refresco(const int64_t *v, int nv, const int64_t *p, int np, int64_t margen, int *nuevas)
{
    if (nv <= 0)
        return;
    nuevas[0] = 0;
    int j = 0;
    while (j < np && p[j] <= v[0] - margen)   // shown at the first refresh or before: not counted
        j++;
    for (int i = 1; i < nv; i++) {
        int n = 0;
        while (j < np && p[j] <= v[i] - margen) {
            n++;
            j++;
        }
        nuevas[i] = n;
    }
}

// Mean and standard deviation of the n - 1 intervals of t[0..n-1], in milliseconds.
static void intervalos(const int64_t *t, int n, double *media, double *sd)
{
    *media = *sd = 0;
    if (n < 2)
        return;
    double s = 0, s2 = 0;
    for (int i = 1; i < n; i++) {
        double d = (t[i] - t[i - 1]) / 1000.0;
        s += d;
        s2 += d * d;
    }
    int k = n - 1;
    *media = s / k;
    double var = s2 / k - *media * *media;
    *sd = var > 0 ? sqrt(var) : 0;
}

Fluidez mide_fluidez(const int64_t *v, int nv, const int64_t *p, int np, int64_t margen)
{
    Fluidez f;
    memset(&f, 0, sizeof f);
    if (nv < 2)
        return f;
    std::vector<int> nuevas(nv);
    nuevas_por_refresco(v, nv, p, np, margen, nuevas.data());
    for (int i = 1; i < nv; i++) {
        f.imagenes += nuevas[i];
        if (nuevas[i] == 0)
            f.repetidas++;
        else
            f.perdidas += nuevas[i] - 1;
    }
    f.refrescos = nv - 1;
    f.segundos = (v[nv - 1] - v[0]) / 1e6;
    if (f.segundos > 0) {
        f.imagenes_s = f.imagenes / f.segundos;
        f.refrescos_s = f.refrescos / f.segundos;
        f.fallos_s = (f.repetidas + f.perdidas) / f.segundos;
    }
    int primera = 0;   // the pictures counted are a run of p: from the first after v[0] - margen
    while (primera < np && p[primera] <= v[0] - margen)
        primera++;
    intervalos(p + primera, f.imagenes, &f.intervalo_ms, &f.intervalo_sd_ms);
    intervalos(v, nv, &f.refresco_ms, &f.refresco_sd_ms);
    return f;
}

int64_t ahora_us()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (int64_t)t.tv_sec * 1000000 + t.tv_nsec / 1000;
}
