// Fuzz target of the ranking: the bytes as the ranking file (the first four choose a score and
// a table), read, placed and inserted: a short file reads as the shipped tables; the new record
// lands at its place with every other table and every reserved byte unchanged, and a table in
// descending order stays so.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/fuzz/arnes.h"
#include "game/presoverganec.h"

static unsigned puntaje(const unsigned char *r) { return r[0] | r[1] << 8 | r[2] << 16 | (unsigned)r[3] << 24; }

// True when record b holds record a's score and initials (up to a zero byte, zeros after it).
static bool mismo(const unsigned char *a, const unsigned char *b)
{
    bool cero = false;
    for (int j = 4; j < 7; j++) {
        cero = cero || a[j] == 0;
        if (b[j] != (cero ? 0 : a[j]))
            return false;
    }
    return puntaje(a) == puntaje(b);
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    arnes::monta(true);
    std::string d = arnes::carpeta_rapida();
    arnes::exige(chdir(d.c_str()) == 0 && mkdir("datos", 0777) == 0, "carpeta de trabajo");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    arnes::escribe(RANKING_ARCHIVO, data + 4, size - 4);
    unsigned char buf[RANKING_BYTES], antes[RANKING_BYTES], fabrica[RANKING_BYTES];
    ranking_por_defecto(fabrica);
    bool leido = lee_ranking(buf);
    arnes::exige(leido == (size - 4 >= RANKING_BYTES), "se lee todo archivo de 240 bytes o mas");
    arnes::exige(leido ? !memcmp(buf, data + 4, RANKING_BYTES) : !memcmp(buf, fabrica, RANKING_BYTES), "lo leido");
    memcpy(antes, buf, sizeof buf);
    unsigned pts = puntaje(data);
    int dif = data[0] % 3, p = lugar_ranking(buf, dif, pts);
    bool ordenada = true;
    for (int i = 1; i < RANKING_LUGARES; i++)
        ordenada = ordenada && puntaje(buf + (dif * 10 + i) * 8) <= puntaje(buf + (dif * 10 + i - 1) * 8);
    if (p == RANKING_LUGARES)
        return 0;
    inserta_ranking(buf, dif, p, pts, "XYZ");
    for (int i = 0; i < RANKING_TABLAS * RANKING_LUGARES; i++) {
        const unsigned char *a = antes + i * 8, *b = buf + i * 8;
        int t = i / 10, l = i % 10;
        arnes::exige(a[7] == b[7], "cada lugar guarda su byte reservado");
        arnes::exige(t != dif ? !memcmp(a, b, 7) : l < p ? mismo(a, b) : l == p ? puntaje(b) == pts && !memcmp(b + 4, "XYZ", 3)
                                                                               : mismo(a - 8, b), "el record en su lugar");
    }
    for (int i = 1; ordenada && i < RANKING_LUGARES; i++)
        arnes::exige(puntaje(buf + (dif * 10 + i) * 8) <= puntaje(buf + (dif * 10 + i - 1) * 8), "sigue ordenada");
    return 0;
}
