// Fuzz target of the start-up files that the library reads: the bytes as the sprite sheet
// (through the BMP check into the library's reader) and as the font datafile (through the
// datafile check into the library's reader). The first byte chooses which.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "arnes.h"
#include "shared/carga.h"

namespace {

std::string carpeta, origen;

struct EnCarpeta {
    EnCarpeta() { arnes::exige(chdir(carpeta.c_str()) == 0, "carpeta de trabajo"); }
    ~EnCarpeta() { arnes::exige(chdir(origen.c_str()) == 0, "carpeta del fuzzer"); }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(8);
    char plantilla[64];
    snprintf(plantilla, sizeof plantilla, "%s/korvfuzzd.XXXXXX", arnes::carpeta_rapida());
    char *dir = mkdtemp(plantilla);
    char aqui[4096];
    if (!dir || !getcwd(aqui, sizeof aqui))
        abort();
    carpeta = dir;
    origen = aqui;
    arnes::exige(mkdir((carpeta + "/datos").c_str(), 0777) == 0, "carpeta datos");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    EnCarpeta aqui;
    bool hoja = data[0] & 1;
    const char *nombre = hoja ? "datos/imagen.bmp" : "datos/font.dat";
    FILE *f = fopen(nombre, "wb");
    arnes::exige(f != NULL, "archivo de trabajo");
    fwrite(data + 1, 1, size - 1, f);
    fclose(f);
    if (hoja) {
        CargarBMP();   // the three pictures are missing: it stops after the sheet
        DestruyeBMP();
    } else if (fuente_valida(nombre)) {
        DATAFILE *d = load_datafile(nombre);
        arnes::exige(d != NULL, "una fuente aceptada se lee");
        unload_datafile(d);
    }
    return 0;
}
