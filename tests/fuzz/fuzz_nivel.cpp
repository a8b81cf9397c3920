// Fuzz target of the level path: the bytes as a level file through the checker and the loader
// (accepted exactly when 2801 bytes or more; refused, nothing changes), a few hundred ticks of
// play with keys from the bytes past the level, then a save read back.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "tests/fuzz/arnes.h"
#include "game/main.h"

static std::string carpeta;

struct Teclas {
    const uint8_t *p;
    size_t n, i;
};

static unsigned siguiente(void *ctx)
{
    Teclas *t = (Teclas *)ctx;
    return t->i < t->n ? t->p[t->i++] & 7 : 0;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    arnes::monta(true);
    carpeta = arnes::carpeta_rapida();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string nivel = carpeta + "/n.map";
    arnes::escribe(nivel, data, size);
    static unsigned char m0[MAPA_COLS][MAPA_FILAS], e0[ENE_BYTES];
    memcpy(m0, mapa, sizeof m0);
    memcpy(e0, enemi, ENE_BYTES);
    bool valido = NivelValido(nivel.c_str()), cargado = CargaMapa(nivel.c_str());
    arnes::exige(valido == cargado && cargado == (size >= (size_t)NIVEL_BYTES), "se acepta todo nivel de 2801 bytes o mas");
    if (!cargado) {
        arnes::exige(!memcmp(m0, mapa, sizeof m0) && !memcmp(e0, enemi, ENE_BYTES), "un nivel rechazado no cambia nada");
        return 0;
    }
    Teclas t = {data + NIVEL_BYTES, size - NIVEL_BYTES, 1};
    int hz = t.n ? 50 + t.p[0] % 100 : 75;
    arnes::juega(hz, t.n ? t.p[0] % 3 : 1, 300, 25, siguiente, &t);
    arnes::guarda_y_relee(carpeta + "/copia.map");
    return 0;
}
