// main: one logic tick of play (stand-ins until play lands).
#include "main.h"

void act_logica() {}
int enemivieja(int) { return 0; }
void bolsa() {}
void teclasy() {}
void animacion() {}
void anisangre(int) {}
void anifuego() {}
