// ayudas: the game's help cards, one per screen that takes keys (F1 shows the one on view).
#ifndef KORV_AYUDAS_H
#define KORV_AYUDAS_H

#include "shared/ayuda.h"

extern const Ayuda AYUDA_ESTUDIO;      // the studio's picture, first on the title
extern const Ayuda AYUDA_TITULO;       // the title and its blinking prompt
extern const Ayuda AYUDA_TABLAS;       // the title's high-score tables, a best run kept for the one on view
extern const Ayuda AYUDA_TABLAS_SIN_MEJOR;   // ... none kept
extern const Ayuda AYUDA_TABLA;        // the table after a run, a best run kept
extern const Ayuda AYUDA_TABLA_SIN_MEJOR;    // ... none kept
extern const Ayuda AYUDA_DIFICULTAD;   // the difficulty menu
extern const Ayuda AYUDA_DIFICULTAD_CONJUNTO;   // ... with the set's line or the practice line
extern const Ayuda AYUDA_PRACTICA;     // the practice screen: a level and a difficulty
extern const Ayuda AYUDA_OPCIONES;     // the options screen
extern const Ayuda AYUDA_TECLA_NUEVA;  // the options screen waiting for a new key
extern const Ayuda AYUDA_INICIALES;    // the initials of a new record
extern const Ayuda AYUDA_JUEGO;        // play, and its pause
extern const Ayuda AYUDA_REPETICION;   // a recording played back

// The card of a high-score table: in the title's loop or after a run, with its best run kept or
// not, with the online tables' keys (en_red: the setting marcador names a server) or not.
const Ayuda *carta_tablas(bool en_titulo, bool mejor, bool en_red = false);

#endif
