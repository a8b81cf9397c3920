// Fuzz target of the start-up files the library reads: the bytes (after the first, which
// chooses) as the sprite sheet through the BMP check, or as the font through the datafile check;
// whatever a check accepts, the library must read.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/fuzz/arnes.h"
#include "shared/carga.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    install_allegro(SYSTEM_NONE, &errno, atexit);   // no pictures of its own: the sheet's pieces replace them
    set_color_depth(8);
    std::string d = arnes::carpeta_rapida();
    arnes::exige(chdir(d.c_str()) == 0 && mkdir("datos", 0777) == 0, "carpeta de trabajo");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    bool hoja = data[0] & 1;
    const char *nombre = hoja ? "datos/imagen.bmp" : "datos/font.dat";
    arnes::escribe(nombre, data + 1, size - 1);
    if (hoja) {
        CargarBMP();   // the other pictures are missing: it stops after the sheet
        DestruyeBMP();
    } else if (fuente_valida(nombre)) {
        DATAFILE *d = load_datafile(nombre);
        arnes::exige(d != NULL, "una fuente aceptada se lee");
        unload_datafile(d);
    }
    return 0;
}
