// Fuzz target of the level path: the bytes as a level file through the loader, the editor's
// grid, a few hundred ticks of play on it, and the editor's save read back. Bytes past the
// 2801 of a level choose the clock rate, difficulty, starting point and the keys.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "arnes.h"
#include "game/main.h"

namespace {

const int HZ[8] = {50, 60, 70, 75, 85, 100, 120, 144};
enum { TICKS = 300, DIBUJO = 25 };

std::string carpeta;

// Key source: the input's trailing bytes, one per tick, then none held.
struct Teclas {
    const uint8_t *p;
    size_t n, i;
};

unsigned siguiente(void *ctx)
{
    Teclas *t = (Teclas *)ctx;
    if (t->i >= t->n)
        return 0;
    uint8_t b = t->p[t->i++];
    return (b & 3) | (b == 0xFF ? 4 : 0);   // ESC only from a byte of all ones
}

void escribe(const std::string &ruta, const uint8_t *d, size_t n)
{
    FILE *f = fopen(ruta.c_str(), "wb");
    arnes::exige(f != NULL, "archivo de trabajo");
    if (n)
        fwrite(d, 1, n, f);
    fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(8);
    char plantilla[64];
    snprintf(plantilla, sizeof plantilla, "%s/korvfuzz.XXXXXX", arnes::carpeta_rapida());
    carpeta = mkdtemp(plantilla);
    arnes::monta(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string nivel = carpeta + "/nivel.map", copia = carpeta + "/copia.map";
    escribe(nivel, data, size);

    // What is in memory before: a refused file must leave all of it as it was.
    static unsigned char mapa0[MAPA_COLS][MAPA_FILAS], enemi0[ENE_BYTES];
    memcpy(mapa0, mapa, sizeof mapa);
    memcpy(enemi0, enemi, ENE_BYTES);
    unsigned char multi0 = multi;
    bool valido = NivelValido(nivel.c_str());
    bool cargado = CargaMapa(nivel.c_str());
    arnes::exige(valido == cargado, "NivelValido dice lo mismo que CargaMapa");
    arnes::exige(cargado == (size >= (size_t)NIVEL_BYTES), "se acepta todo archivo de 2801 bytes o mas");
    if (!cargado) {
        arnes::exige(multi == multi0 && memcmp(mapa0, mapa, sizeof mapa) == 0 &&
                         memcmp(enemi0, enemi, ENE_BYTES) == 0,
                     "un nivel rechazado no cambia nada");
        return 0;
    }
    for (int c2 = 0; c2 < MAPA_COLS; c2++)
        for (int r = 0; r < MAPA_FILAS; r++)
            arnes::exige(mapa[c2][r] < NUM_TILES, "bloques cargados 0..39");

    // A few hundred ticks of play, then the editor's save of what play left (remains dropped).
    const uint8_t *extra = data + NIVEL_BYTES;
    size_t resto = size - NIVEL_BYTES;
    int hz = HZ[resto > 0 ? extra[0] % 8 : 3];
    int dif = resto > 0 ? (extra[0] >> 3) % 3 : 1;
    int pasada = resto > 1 ? extra[1] % PASADAS : 0;
    int columna = resto > 2 ? extra[2] % MAPA_COLS : 0;
    Teclas t = {extra, resto, resto > 3 ? (size_t)3 : resto};
    arnes::juega(hz, dif, pasada, columna, TICKS, DIBUJO, siguiente, &t);
    arnes::guarda_y_relee(copia);
    return 0;
}
