// main: the game run and the frame loops (stand-ins until play lands).
#include "main.h"

void clear(BITMAP *bmp) { clear_bitmap(bmp); }
void game() { cambnib = EST_TITULO; }
void game_main_loop() {}
void game_main_loop2() {}
float velocidad_nivel(float base, int, float escala) { return base * escala; }
float escala_tiempo(int rate) { return (float)(75.0 / rate); }
