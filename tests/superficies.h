// superficies: the drawing surfaces play needs when a test runs whole levels headless (blank blocks,
// the scroll strip and its next column, the enemy table), made once per test program.
#ifndef KORV_PRUEBA_SUPERFICIES_H
#define KORV_PRUEBA_SUPERFICIES_H

#include "game/main.h"

// Makes the surfaces on the first call; later calls keep them.
inline void superficies()
{
    static bool hecho = false;
    if (hecho)
        return;
    for (int t = 0; t < NUM_TILES; t++)
        tile[t] = create_bitmap(BLOQUE_W, BLOQUE_H);
    scroll = create_bitmap(2 * PANTALLA_W, CAMPO_H);
    set_clip_rect(scroll, 0, 0, -1, -1);
    proximo_bloque = create_bitmap(BLOQUE_W, CAMPO_H);
    reserva_enemigos();
    hecho = true;
}

#endif
