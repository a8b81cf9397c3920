// Fuzz target of the ranking: the bytes as "datos/ranking.dat" through the reader, the place
// a score takes, the insertion, the table's drawing and the write read back. The four bytes
// after the 240 of the file give the score; the next one the difficulty (and a bad one).
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "arnes.h"
#include "game/main.h"
#include "game/presoverganec.h"

namespace {

std::string carpeta, origen;   // the ranking's working folder; the fuzzer's own

// The file's path is relative: each run works in its own folder and goes back afterwards,
// so that the fuzzer's corpus and artifact paths keep their meaning.
struct EnCarpeta {
    EnCarpeta() { arnes::exige(chdir(carpeta.c_str()) == 0, "carpeta de trabajo"); }
    ~EnCarpeta() { arnes::exige(chdir(origen.c_str()) == 0, "carpeta del fuzzer"); }
};

unsigned int puntaje(const unsigned char *r)
{
    return (unsigned)r[0] | ((unsigned)r[1] << 8) | ((unsigned)r[2] << 16) | ((unsigned)r[3] << 24);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(8);
    char plantilla[64];
    snprintf(plantilla, sizeof plantilla, "%s/korvfuzzr.XXXXXX", arnes::carpeta_rapida());
    char *dir = mkdtemp(plantilla);
    char aqui[4096];
    if (!dir || !getcwd(aqui, sizeof aqui))
        abort();
    carpeta = dir;
    origen = aqui;
    arnes::exige(mkdir((carpeta + "/datos").c_str(), 0777) == 0, "carpeta datos");
    active_page = create_bitmap(PANTALLA_W, PANTALLA_H);
    arnes::exige(active_page != NULL, "pagina");
    bg = -1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnCarpeta aqui;
    FILE *f = fopen(RANKING_ARCHIVO, "wb");
    arnes::exige(f != NULL, "archivo de trabajo");
    if (size)
        fwrite(data, 1, size, f);
    fclose(f);

    unsigned char buf[RANKING_BYTES];
    bool leido = lee_ranking(buf);
    arnes::exige(leido == (size >= RANKING_BYTES), "se lee todo archivo de 240 bytes o mas");
    if (leido) {
        arnes::exige(memcmp(buf, data, RANKING_BYTES) == 0, "se lee tal cual");
    } else {
        unsigned char fabrica[RANKING_BYTES];
        ranking_por_defecto(fabrica);
        arnes::exige(memcmp(buf, fabrica, RANKING_BYTES) == 0, "un archivo corto da los records de fabrica");
    }
    for (int t = 1; t <= RANKING_TABLAS; t++)
        dibuja_tabla(buf, t, t == 2 ? 3 : RANKING_NINGUNO);

    const uint8_t *x = size > RANKING_BYTES ? data + RANKING_BYTES : NULL;
    size_t nx = size > RANKING_BYTES ? size - RANKING_BYTES : 0;
    unsigned int pts = nx >= 4 ? puntaje(x) : 0;
    int dif = nx >= 5 ? (int)(int8_t)x[4] % 4 : 0;   // -3..3: 3 and the negatives are no table
    int p = lugar_ranking(buf, dif, pts);
    arnes::exige(p >= 0 && p <= RANKING_LUGARES, "lugar 0..10");
    if (dif < 0 || dif >= RANKING_TABLAS) {
        arnes::exige(p == RANKING_LUGARES, "una dificultad sin tabla no entra");
        unsigned char antes[RANKING_BYTES];
        memcpy(antes, buf, RANKING_BYTES);
        inserta_ranking(buf, dif, 0, pts, "ZZZ");
        arnes::exige(memcmp(antes, buf, RANKING_BYTES) == 0, "ni se inserta");
        return 0;
    }
    // Every place above p beats the score; place p (if any) does not.
    for (int i = 0; i < p; i++)
        arnes::exige(pts < puntaje(buf + (dif * RANKING_LUGARES + i) * RANKING_REG), "los de arriba ganan");
    if (p == RANKING_LUGARES)
        return 0;
    arnes::exige(pts >= puntaje(buf + (dif * RANKING_LUGARES + p) * RANKING_REG), "el lugar p no gana");

    unsigned char antes[RANKING_BYTES];
    memcpy(antes, buf, RANKING_BYTES);
    const char ini[3] = {(char)('A' + pts % 26), (char)('A' + (pts / 26) % 26), 'Q'};
    inserta_ranking(buf, dif, p, pts, ini);
    for (int i = 0; i < RANKING_TABLAS * RANKING_LUGARES; i++) {
        const unsigned char *a2 = antes + i * RANKING_REG, *b2 = buf + i * RANKING_REG;
        arnes::exige(a2[RANKING_RESERVA] == b2[RANKING_RESERVA], "cada lugar guarda su byte 7");
        int t = i / RANKING_LUGARES, l = i % RANKING_LUGARES;
        if (t != dif) {
            arnes::exige(memcmp(a2, b2, RANKING_REG) == 0, "las otras tablas no cambian");
        } else if (l == p) {
            arnes::exige(puntaje(b2) == pts && memcmp(b2 + RANKING_INI, ini, 3) == 0, "el nuevo en su lugar");
        } else {
            // Places above keep theirs, the ones below take the record one place up.
            const unsigned char *de = l < p ? a2 : a2 - RANKING_REG;
            arnes::exige(puntaje(b2) == puntaje(de), "puntajes en su lugar");
            for (int j = 0; j < 3; j++) {
                bool corta = false;
                for (int q = 0; q <= j; q++)
                    corta = corta || de[RANKING_INI + q] == 0;
                arnes::exige(b2[RANKING_INI + j] == (corta ? 0 : de[RANKING_INI + j]), "iniciales hasta el cero");
            }
        }
    }
    dibuja_tabla(buf, dif + 1, p);
    arnes::exige(escribe_atomico(RANKING_ARCHIVO, buf, RANKING_BYTES), "se escribe el ranking");
    unsigned char otra[RANKING_BYTES];
    arnes::exige(lee_ranking(otra) && memcmp(otra, buf, RANKING_BYTES) == 0, "se relee lo escrito");
    return 0;
}
