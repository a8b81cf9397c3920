// aguante: the headless soak run. Plays many whole levels, the shipped ones and random ones,
// with random keys held for random spans, at random clock rates and difficulties, each level
// saved back through the editor's path. Any breach of the bounds of play aborts (see arnes);
// under the sanitizers any bad memory access does. Prints one line of counts.
//
// Usage: aguante NIVELES SEMILLA CARPETA_DE_NIVELES [rapido]
#define ALLEGRO_NO_COMPATIBILITY
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>
#include <unistd.h>

#include "game/main.h"
#include "tests/fuzz/arnes.h"

namespace {

const int HZ[] = {50, 60, 70, 75, 85, 100, 120, 144};
enum { ESC_CADA = 40000 };   // one tick in this many presses ESC

std::mt19937 azar;

int uno_en(int n) { return (int)(azar() % (unsigned)n); }

// Random keys held for random spans: none, up, down or both, now and then ESC.
struct Teclas {
    unsigned actual = 0;
    int quedan = 0;
};

unsigned teclas(void *ctx)
{
    Teclas *t = (Teclas *)ctx;
    if (t->quedan-- <= 0) {
        int r = uno_en(10);
        t->actual = r < 5 ? 0 : r < 7 ? 1 : r < 9 ? 2 : 3;
        t->quedan = 1 + uno_en(60);
    }
    return t->actual | (uno_en(ESC_CADA) == 0 ? 4 : 0);
}

// A random level file of one of four kinds: any bytes; a plausible level; a crowded one; or cut short.
std::vector<unsigned char> nivel_al_azar(int clase)
{
    std::vector<unsigned char> v(NIVEL_BYTES);
    for (auto &b : v)
        b = (unsigned char)azar();
    if (clase == 1 || clase == 2) {
        v[0] = (unsigned char)(1 + uno_en(3));
        for (int i = 0; i < MAPA_BYTES; i++)
            v[1 + i] = (unsigned char)uno_en(NUM_TILES);
        int n = clase == 2 ? ENE_MAX : uno_en(ENE_MAX + 1);
        int desde = clase == 2 ? uno_en(ENE_COLS - 60) : 0, ancho = clase == 2 ? 60 : ENE_COLS;
        for (int i = 0; i < ENE_MAX; i++) {
            unsigned char *r = &v[1 + MAPA_BYTES + i * ENE_REG];
            if (i >= n) {
                memset(r, 0, ENE_REG);
                continue;
            }
            int col = desde + uno_en(ancho), fila = 1 + uno_en(4);
            r[0] = (unsigned char)col;
            r[1] = (unsigned char)(col >> 8);
            r[2] = (unsigned char)(BLOQUE_H * fila);
            r[3] = (unsigned char)(1 + uno_en(7));
        }
    }
    if (clase == 3)
        v.resize(uno_en(NIVEL_BYTES));
    else if (uno_en(8) == 0)
        v.resize(NIVEL_BYTES + uno_en(4000), 0x5A);   // bytes after the table are ignored
    return v;
}

bool escribe(const std::string &ruta, const std::vector<unsigned char> &v)
{
    FILE *f = fopen(ruta.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(v.data(), 1, v.size(), f) == v.size();
    return fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        fprintf(stderr, "uso: aguante NIVELES SEMILLA CARPETA_DE_NIVELES [rapido]\n");
        return 2;
    }
    int total = atoi(argv[1]);
    azar.seed((unsigned)strtoul(argv[2], NULL, 10));
    std::string carpeta = argv[3];
    bool rapido = argc > 4 && strcmp(argv[4], "rapido") == 0;
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 1;
    set_color_depth(8);
    arnes::monta(rapido);

    // Saves are flushed to disk: a memory file system keeps thousands of them quick.
    char plantilla[64];
    snprintf(plantilla, sizeof plantilla, "%s/korvaguante.XXXXXX", arnes::carpeta_rapida());
    if (!mkdtemp(plantilla))
        return 1;
    std::string trabajo = plantilla, azar_ruta = trabajo + "/azar.map", copia = trabajo + "/copia.map";
    char (*nombres)[NOMBRE_MAX] = new char[64][NOMBRE_MAX];
    int de_fabrica = busca_archivos((carpeta + "/*.map").c_str(), nombres, 64);
    if (de_fabrica == 0) {
        fprintf(stderr, "aguante: no hay niveles en %s\n", carpeta.c_str());
        return 1;
    }

    long ticks = 0, contactos = 0;
    int jugados = 0, fabrica = 0, al_azar = 0, rechazados = 0, fin[6] = {0};
    while (jugados < total) {
        std::string ruta;
        bool propio = uno_en(3) == 0;
        if (propio) {
            ruta = carpeta + "/" + nombres[uno_en(de_fabrica)];
        } else {
            ruta = azar_ruta;
            if (!escribe(ruta, nivel_al_azar(uno_en(4)))) {
                fprintf(stderr, "aguante: no se pudo escribir %s\n", ruta.c_str());
                return 1;
            }
        }
        if (!CargaMapa(ruta.c_str())) {
            arnes::exige(!propio, "un nivel de fabrica se carga");
            rechazados++;
            continue;
        }
        Teclas t;
        int hz = HZ[uno_en(8)], dif = uno_en(3);
        arnes::Partida p = arnes::juega(hz, dif, 0, 0, 0, 1, teclas, &t);
        arnes::guarda_y_relee(copia);
        ticks += p.ticks;
        contactos += p.contactos;
        fin[p.estado]++;
        jugados++;
        (propio ? fabrica : al_azar)++;
    }
    printf("aguante: %d niveles jugados (%d de fabrica, %d al azar), %d archivos rechazados, %ld ticks, "
           "%ld contactos; fin: %d completos, %d ganados, %d game over, %d con ESC\n",
           jugados, fabrica, al_azar, rechazados, ticks, contactos, fin[EST_NIVEL_OK], fin[EST_GANO],
           fin[EST_GAMEOVER], fin[EST_SALIR]);
    remove(azar_ruta.c_str());
    remove(copia.c_str());
    rmdir(trabajo.c_str());
    delete[] nombres;
    return 0;
}
