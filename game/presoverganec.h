// presoverganec: the dispatcher, the front-end screens, the final score and the ranking.
#ifndef KORV_PRESOVERGANEC_H
#define KORV_PRESOVERGANEC_H

#define ALLEGRO_NO_COMPATIBILITY
#include <allegro.h>

// Runs the program states until quit.
void cambia_funcion();
void presentacion();
int seleciona_dificultad();
void game_over();
void gane();
void tupuntaje();
void escriveranking();
void muestraranking(int tabla, int marca);

#endif
