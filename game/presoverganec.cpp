// presoverganec: the dispatcher of the program states.
#include "presoverganec.h"

#include "main.h"
#include "utilfun.h"

void cambia_funcion()
{
    do {
        if (cambnib == EST_TITULO)
            presentacion();
        if (cambnib == EST_GAMEOVER) {
            game_over();
            cambnib = EST_TITULO;
        }
        if (cambnib == EST_JUEGO)
            game();
        if (cambnib == EST_GANO) {
            gane();
            cambnib = EST_TITULO;
        }
    } while (cambnib != EST_SALIR && !salir);
}
