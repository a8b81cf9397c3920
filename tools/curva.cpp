// curva: the campaign's curve, one line per shipped level, measured by the autoplayer:
// speed, enemies, tightest dodge at the hardest difficulty, score at each difficulty, and
// the play time of a won game. "korvmake curva LEVELS_DIR" prints it (assets/README.md keeps a copy);
// a drive that is not won is named on stderr.
#include "tools/korvmake.h"

#include <algorithm>
#include <cstdio>
#include <dirent.h>

#include "game/logica.h"
#include "game/piloto.h"

enum { FASES = 4, SEG_FIJOS = 8 };   // a level's card, start and end waits, seconds
static const int TASAS[] = {60, 75};
static const char *const VELOCIDAD[] = {"x1", "x1", "x1.5", "x2"};

// The level files of a folder, by name.
static std::vector<std::string> niveles_de(const std::string &carpeta)
{
    std::vector<std::string> v;
    if (DIR *d = opendir(carpeta.c_str())) {
        while (dirent *e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > 4 && n.compare(n.size() - 4, 4, ".map") == 0)
                v.push_back(carpeta + "/" + n);
        }
        closedir(d);
    }
    std::sort(v.begin(), v.end());
    return v;
}

// Counts the records of types lo..hi.
static int cuenta(int lo, int hi)
{
    int n = 0;
    for (int i = 0; i < ENE_MAX; i++)
        n += ene_tipo(i) >= lo && ene_tipo(i) <= hi;
    return n;
}

int curva(const std::string &carpeta)
{
    if (!enemi)
        enemi = reserva_enemigos();
    std::vector<std::string> v = niveles_de(carpeta);
    if (v.empty())
        muere(carpeta, "no hay niveles");
    printf("nivel vel   peat bols expl  oferta  esquive SOY JODIDO  puntos PASEO JUGAR JODIDO  flotando\n");
    double segundos[DIFICULTADES] = {0, 0, 0}, sin_peatones[DIFICULTADES] = {0, 0, 0};
    int rc = 0;
    for (size_t i = 0; i < v.size(); i++) {
        if (!CargaMapa(v[i].c_str()))
            muere(v[i], "no se pudo leer");
        int peat = cuenta(1, 5), bols = cuenta(7, 7), expl = cuenta(6, 6);
        int margen = -1, margen_ms = -1, pts[DIFICULTADES];
        bool ganado = true, flota = true;
        for (int d = 0; d < DIFICULTADES; d++) {
            pts[d] = INT32_MAX;
            for (int hz : TASAS)
                for (int f = 0; f < FASES; f++) {
                    PilotoInforme r = piloto_conduce(d, hz, f, PILOTO_NORMAL, NULL);
                    ganado = ganado && r.ganado;
                    if (!r.ganado)
                        fprintf(stderr, "%s: dificultad %d, %d Hz, fase %d: %d vidas perdidas, columna %d\n",
                                v[i].c_str(), d, hz, f, r.vidas_perdidas, r.columna);
                    pts[d] = std::min(pts[d], r.puntos);
                    if (hz == 75 && f == 0)
                        segundos[d] += (double)r.ticks / hz + SEG_FIJOS;
                    if (d == DIFICULTADES - 1 && r.margen >= 0) {
                        int ms = r.margen * 1000 / hz;
                        if (hz == 75 && (margen < 0 || r.margen < margen))
                            margen = r.margen;
                        if (margen_ms < 0 || ms < margen_ms)
                            margen_ms = ms;
                    }
                    PilotoInforme h = piloto_conduce(d, hz, f, PILOTO_FLOTA, NULL);
                    flota = flota && h.ganado;
                    if (hz == 75 && f == 0)
                        sin_peatones[d] += (double)h.ticks / hz + SEG_FIJOS;
                }
        }
        const char *nombre = strrchr(v[i].c_str(), '/') + 1;
        printf("%-12s %-4s %4d %4d %4d  %6d  %3d ticks %4d ms  %5d %5d %6d  %s%s\n", nombre,
               VELOCIDAD[multi <= 3 ? multi : 0], peat, bols, expl, 200 * peat + 50 * bols, margen, margen_ms,
               pts[0], pts[1], pts[2], flota ? "gana" : "pierde", ganado ? "" : "  NO SE GANA");
        if (!ganado)
            rc = 1;
    }
    const char *que[2] = {"partida ganada", "sin atropellar"};
    double *tiempos[2] = {segundos, sin_peatones};
    for (int j = 0; j < 2; j++) {
        double *t = tiempos[j];
        printf("%s: %d:%02d VOY DE PASEO, %d:%02d QUIERO JUGAR, %d:%02d SOY JODIDO\n", que[j], (int)t[0] / 60,
               (int)t[0] % 60, (int)t[1] / 60, (int)t[1] % 60, (int)t[2] / 60, (int)t[2] % 60);
    }
    return rc;
}
