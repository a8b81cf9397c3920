// ayudas: the game's help cards, one per screen that takes keys (F1 shows the one on view).
#ifndef KORV_AYUDAS_H
#define KORV_AYUDAS_H

#include "shared/ayuda.h"

extern const Ayuda AYUDA_ESTUDIO;      // the studio's picture, first on the title
extern const Ayuda AYUDA_TITULO;       // the title and its blinking prompt
extern const Ayuda AYUDA_TABLAS;       // the high-score tables of the title
extern const Ayuda AYUDA_DIFICULTAD;   // the difficulty menu
extern const Ayuda AYUDA_OPCIONES;     // the options screen
extern const Ayuda AYUDA_INICIALES;    // the initials of a new record
extern const Ayuda AYUDA_JUEGO;        // play, and its pause
extern const Ayuda AYUDA_REPETICION;   // a recording played back

#endif
