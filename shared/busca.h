// busca: the catalogue of the set in play (shared/conjuntos.h): the campaign's level files in
// "levels" (and, installed, the user's levels/), or a user set's in its folder.
#ifndef KORV_BUSCA_H
#define KORV_BUSCA_H

#include <allegro.h>

enum { MAX_NIVELES = 15, NOMBRE_MAX = 512 };

extern char archive[MAX_NIVELES][NOMBRE_MAX];  // level file names (no folder), sorted
extern int niveles;                            // entries filled, 0..15
extern int niveles_de_mas;                     // level files of the set beyond the 15 played (never played)
extern int archive_usuario[MAX_NIVELES];       // 1: entry i is a file of the user's levels/ folder
extern struct al_ffblk dir_reader;             // directory search record (shared with the music search)

// Rebuilds archive, niveles and niveles_de_mas for the current set. The campaign: "levels/*.map"
// and, installed, the user's levels: the first 15 names in name order, the user's file where both
// have the same name. A user set: the first 15 of its folder's *.map in name order.
void buscaarch();
// Joins the shipped and the user's names (each sorted) into names/usuario: sorted, the user's
// entry on equal names, at most max; returns the count.
int une_catalogos(const char (*fabrica)[NOMBRE_MAX], int nf, const char (*propios)[NOMBRE_MAX], int np,
                  char (*names)[NOMBRE_MAX], int *usuario, int max);
// Level names of the current set (the campaign: its joined catalogue), every one (not only the
// first 15); *esta (when given): whether nombre is one of them.
int total_niveles(const char *nombre, bool *esta);
// The path of catalogue entry i (0-based): "levels/" + name, or the user's levels/ + name, or the
// user set's folder + name.
void ruta_nivel(int i, char *out, int tam);
// Lists up to max plain files matching pattern into names, sorted by name; returns the count.
int busca_archivos(const char *pattern, char (*names)[NOMBRE_MAX], int max);

#endif
