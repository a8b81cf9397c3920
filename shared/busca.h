// busca: the catalogue of level files in "levels" (and, installed, the user's levels/).
#ifndef KORV_BUSCA_H
#define KORV_BUSCA_H

#include <allegro.h>

enum { MAX_NIVELES = 15, NOMBRE_MAX = 512 };

extern char archive[MAX_NIVELES][NOMBRE_MAX];  // level file names (no folder), sorted
extern int niveles;                            // entries filled, 0..15
extern int archive_usuario[MAX_NIVELES];       // 1: entry i is a file of the user's levels/ folder
extern struct al_ffblk dir_reader;             // directory search record (shared with the music search)

// Rebuilds archive and niveles from "levels/*.map" and, installed, the user's levels: the
// first 15 names in name order, the user's file where both have the same name.
void buscaarch();
// Joins the shipped and the user's names (each sorted) into names/usuario: sorted, the user's
// entry on equal names, at most max; returns the count.
int une_catalogos(const char (*fabrica)[NOMBRE_MAX], int nf, const char (*propios)[NOMBRE_MAX], int np,
                  char (*names)[NOMBRE_MAX], int *usuario, int max);
// Level names of the joined catalogue, every one (not only the first 15); *esta (when given):
// whether nombre is one of them.
int total_niveles(const char *nombre, bool *esta);
// The path of catalogue entry i (0-based): "levels/" + name, or the user's levels/ + name.
void ruta_nivel(int i, char *out, int tam);
// Lists up to max plain files matching pattern into names, sorted by name; returns the count.
int busca_archivos(const char *pattern, char (*names)[NOMBRE_MAX], int max);

#endif
