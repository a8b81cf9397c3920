// piloto: the logic tick's outside world where the autoplayer drives play alone (the editor's
// checker, the asset maker): no sound, no pause, no music, no picture.
#include "game/logica.h"

int juego_suena(int, int)
{
    return -1;
}

void juego_motor(int) {}

void juego_pausa() {}
bool juego_pide_pausa() { return false; }

void juego_atiende() {}

void juego_columna(bool) {}
