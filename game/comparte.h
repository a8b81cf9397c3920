// comparte: a level set shared as one file (a zip, written and read with libzip): the export of a
// set (its description and level files only) and the install of such a file, checked whole before
// anything is written. Used by the editor (-exporta, its menu) and the game (-instala, a pack file
// opened from a file manager).
#ifndef KORV_COMPARTE_H
#define KORV_COMPARTE_H

#include <vector>

#include "shared/busca.h"
#include "shared/carga.h"
#include "shared/conjuntos.h"

// The pack file's extension, as the desktop files and the MIME type declare it.
#define PAQUETE_EXTENSION ".korvex"

enum {
    PAQUETE_BYTES_MAX = 1 << 20,                        // largest pack file read, bytes
    PAQUETE_ENTRADAS_MAX = MAX_NIVELES + 1,             // the levels and the description
    PAQUETE_NOMBRE_MAX = 63,                            // bytes of a level's file name (a recording's bound)
    PAQUETE_SUMA_MAX = MAX_NIVELES * NIVEL_BYTES + CONJ_DESCRIPCION_BYTES,   // all files inflated, bytes
    SALIDA_HECHO = 0, SALIDA_RECHAZO = 2                // exit status of -instala and -exporta
};

// A pack read and checked, in memory.
struct Paquete {
    Conjunto descripcion;                                  // name, author, line (no folder)
    int niveles;                                           // level files, 1..15, in name order
    char nombre[MAX_NIVELES][PAQUETE_NOMBRE_MAX + 1];      // their file names
    std::vector<unsigned char> nivel[MAX_NIVELES];         // their bytes (NIVEL_BYTES each)
};

// Checks n bytes as a pack: a zip of plain files (no folders, links, encryption), exactly one
// conjunto.txt with a name and one to fifteen levels named *.map; sizes bounded, the sum of
// their declared sizes checked before any is inflated; each inflated to its declared size and
// sound for the level reader. False with the reason (Spanish, no file name) in motivo.
bool revisa_paquete(const unsigned char *d, size_t n, Paquete *p, char *motivo, int tam);
// Reads and checks a pack file (a regular file only); false with one line "FILE: reason" in error.
bool lee_paquete(const char *ruta, Paquete *p, char *error, int tam);
// The bytes of the pack of the set in folder c.carpeta (the campaign: its catalogue), levels in
// catalogue order; false with "reason" in error when it has no level or one is not sound.
bool arma_paquete(int conjunto_i, std::vector<unsigned char> *bytes, char *error, int tam);
// Writes the pack of set conjunto_i to ruta (through a temporary file and a rename); false with
// one line in error.
bool exporta_conjunto(int conjunto_i, const char *ruta, char *error, int tam);
// Installs a checked pack into the user's conjuntos/: a new folder (never one that exists) and,
// when the name is taken, a new shown name; written into a hidden temporary folder beside it,
// then renamed into place. Its index in the rebuilt list in *indice; false with the reason.
bool instala_paquete(const Paquete &p, int *indice, char *motivo, int tam);
// korvex -instala FILE: reads, checks and installs; one line on stdout naming the set and folder
// (status 0) or one line "FILE: reason" on stderr (status 2, nothing written). *indice: the set.
int instala_archivo(const char *ruta, int *indice, char *linea, int tam);
// korveditor -exporta SET FILE: SET a set's name, folder name or a path to a folder of levels.
// One line on stdout (status 0) or stderr (status 2).
int exporta_programa(const char *conjunto_texto, const char *ruta);

#endif
