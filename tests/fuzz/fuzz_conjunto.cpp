// Fuzz target of the importer of level sets: the bytes as a pack (a zip) through the checks
// korvex -instala makes before writing anything. Whatever they hold, a pack accepted has a named
// description and one to fifteen levels, each a plain *.map name of a level's size that the level
// checker finds sound; a refusal says why; the same bytes always get the same answer.
#include <cstdint>
#include <cstring>
#include <string>

#include "tests/fuzz/arnes.h"
#include "game/comparte.h"
#include "game/verifica.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    arnes::monta(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Paquete p, otra;
    char motivo[512] = "", otro[512] = "";
    bool vale = revisa_paquete(data, size, &p, motivo, sizeof motivo);
    arnes::exige(vale || motivo[0], "un rechazo dice por que");
    arnes::exige(revisa_paquete(data, size, &otra, otro, sizeof otro) == vale && !strcmp(motivo, otro),
                 "los mismos bytes, la misma respuesta");
    if (!vale)
        return 0;
    arnes::exige(p.descripcion.nombre[0] && p.niveles >= 1 && p.niveles <= MAX_NIVELES, "nombre y 1 a 15 niveles");
    for (int i = 0; i < p.niveles; i++) {
        std::string n = p.nombre[i];
        arnes::exige(n.size() > 4 && n.compare(n.size() - 4, 4, ".map") == 0 && n.find('/') == std::string::npos &&
                         n[0] != '.',
                     "un nombre de nivel sin carpeta");
        arnes::exige(i == 0 || strcmp(p.nombre[i - 1], p.nombre[i]) < 0, "en orden de nombre, sin repetir");
        std::vector<std::string> lineas;
        arnes::exige(p.nivel[i].size() == (size_t)NIVEL_BYTES &&
                         verifica_estructura(p.nombre[i], p.nivel[i].data(), p.nivel[i].size(), lineas) == 0,
                     "cada nivel sano para el lector");
    }
    return 0;
}
