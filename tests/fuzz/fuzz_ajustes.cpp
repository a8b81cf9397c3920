// Fuzz target of the settings reader: the bytes as the settings file, read over the defaults.
// Whatever the file holds, every setting stays within its range, the three action keys stay
// named, apart and off ESC, F11 and M; a comment line put first changes nothing; what was read,
// written back and read again over the defaults, gives the same settings.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/fuzz/arnes.h"
#include "shared/ajustes.h"

static std::string leido, escrito, comentado;

// The settings now in force, as one comparable record.
struct Foto {
    int musica, efectos, escala, completa, tecla[ACCIONES];
    bool operator==(const Foto &o) const { return !memcmp(this, &o, sizeof o); }
};

static Foto foto()
{
    Foto f;
    memset(&f, 0, sizeof f);
    f.musica = vol_musica, f.efectos = vol_efectos, f.escala = aj_escala, f.completa = aj_completa;
    memcpy(f.tecla, tecla_accion, sizeof f.tecla);
    return f;
}

// Reads a file over the defaults; the settings it gave.
static Foto lee(const std::string &ruta)
{
    ajustes_por_defecto();
    arnes::exige(lee_ajustes(ruta.c_str()), "un archivo comun siempre se lee");
    return foto();
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    std::string d = arnes::carpeta_rapida();
    leido = d + "/leido.cfg", escrito = d + "/escrito.cfg", comentado = d + "/comentado.cfg";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    arnes::escribe(leido, data, size);
    Foto f = lee(leido);
    arnes::exige(f.musica >= 0 && f.musica <= VOL_PASOS && f.efectos >= 0 && f.efectos <= VOL_PASOS, "volumenes 0..10");
    arnes::exige(f.escala >= ESCALA_AUTO && f.escala <= ESCALA_TOPE && (f.completa == 0 || f.completa == 1),
                 "escala y pantalla completa");
    for (int i = 0; i < ACCIONES; i++) {
        int t = f.tecla[i];
        arnes::exige(strcmp(nombre_tecla(t), "?") != 0 && t != KEY_ESC && t != KEY_F11 && t != KEY_M,
                     "cada accion tiene una tecla con nombre y libre");
        for (int j = 0; j < i; j++)
            arnes::exige(t != f.tecla[j], "dos acciones nunca comparten tecla");
    }
    arnes::escribe(comentado, data, size, "# ajustes\n");
    arnes::exige(lee(comentado) == f, "un comentario primero no cambia nada");
    ajustes_por_defecto();
    vol_musica = f.musica, vol_efectos = f.efectos, aj_escala = f.escala, aj_completa = f.completa;
    memcpy(tecla_accion, f.tecla, sizeof f.tecla);
    arnes::exige(guarda_ajustes(escrito.c_str()), "se escriben");
    arnes::exige(lee(escrito) == f, "lo escrito se lee igual");
    return 0;
}
