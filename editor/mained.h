// mained: the level editor.
#ifndef KORV_MAINED_H
#define KORV_MAINED_H

#define ALLEGRO_NO_COMPATIBILITY
#include <allegro.h>

#include "../shared/busca.h"
#include "../shared/carga.h"

// Runs the main menu until "SALIR".
void korveditor();

#endif
