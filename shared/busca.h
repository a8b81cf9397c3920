// busca: the catalogue of level files in "levels".
#ifndef KORV_BUSCA_H
#define KORV_BUSCA_H

#define ALLEGRO_NO_COMPATIBILITY
#include <allegro.h>

enum { MAX_NIVELES = 15, NOMBRE_MAX = 512 };

extern char archive[MAX_NIVELES][NOMBRE_MAX];  // level file names (no folder), sorted
extern int niveles;                            // entries filled, 0..15
extern struct al_ffblk dir_reader;             // directory search record (shared with the music search)

// Rebuilds archive and niveles from "levels/*.map": the first 15 names in name order.
void buscaarch();
// Lists up to max plain files matching pattern into names, sorted by name; returns the count.
int busca_archivos(const char *pattern, char (*names)[NOMBRE_MAX], int max);

#endif
