// Fuzz target of the recording reader: the bytes past the first as a recording file (first byte
// bit 0: its last four bytes replaced by the right CRC, so that damage past the CRC is reached).
// A recording read is written back to the same bytes, reads the same from a file, and its keys
// play back through the real logic on an empty road within the bounds of play.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tests/fuzz/arnes.h"
#include "game/main.h"
#include "game/repeticion_juego.h"

static std::string carpeta;

static unsigned ninguna(void *) { return 0; }

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    arnes::monta(true);
    carpeta = arnes::carpeta_rapida();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    std::vector<unsigned char> v(data + 1, data + size);
    if ((data[0] & 1) && v.size() >= 4) {
        unsigned crc = crc32_bytes(0, v.data(), v.size() - 4);
        for (int i = 0; i < 4; i++)
            v[v.size() - 4 + i] = (unsigned char)(crc >> (8 * i));
    }
    static Repeticion r, f;
    char motivo[200], error[400];
    bool ok = descifra_repeticion(v.data(), v.size(), &r, motivo, sizeof motivo);
    arnes::exige(ok || (motivo[0] && strlen(motivo) < sizeof motivo - 1 && !strchr(motivo, '\n')), "un motivo de una linea");
    std::string ruta = carpeta + "/r.rep";
    arnes::escribe(ruta, v.data(), v.size());
    bool leido = lee_repeticion(ruta.c_str(), &f, error, sizeof error);
    arnes::exige(leido == ok, "el archivo se lee como los bytes");
    arnes::exige(leido || !strncmp(error, ruta.c_str(), ruta.size()), "la linea nombra el archivo");
    if (!ok)
        return 0;
    arnes::exige(codifica_repeticion(r) == v, "una repeticion leida se escribe con los mismos bytes");
    arnes::exige(f.teclas == r.teclas && f.puntos == r.puntos && f.niveles == r.niveles, "lo mismo del archivo");
    // Its keys on an empty road, at most a few thousand ticks.
    memset(mapa, 0, sizeof mapa);
    memset(enemi, 0, ENE_BYTES);
    multi = 1;
    empieza_reproduccion(r, MODO_REPRODUCE);
    arnes::juega(r.hz < 50 ? 50 : r.hz > 240 ? 240 : r.hz, r.dificultad, 3000, 500, ninguna, NULL);
    termina_reproduccion();
    arnes::exige(rep_modo == MODO_JUGADOR, "de vuelta a las teclas del jugador");
    return 0;
}
