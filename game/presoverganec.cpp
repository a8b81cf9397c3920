// presoverganec: the dispatcher of the program states.
#include "game/presoverganec.h"

#include "game/main.h"
#include "game/utilfun.h"

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
            if (nivel_suelto[0])
                gane_imagen();   // a level tried alone enters no score
            else
                gane();
            cambnib = EST_TITULO;
        }
        // One level from the command line: whatever ends it ends the program.
        if (nivel_suelto[0] && cambnib == EST_TITULO)
            cambnib = EST_SALIR;
    } while (cambnib != EST_SALIR && !salir);
}
