// presoverganec: the dispatcher of the program states, the front-end screens and the ranking.
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

// Stand-ins until the front end lands: the title quits on ESC, starts on ENTER.
void presentacion()
{
    clear_bitmap(active_page);
    textprintf_centre_ex(active_page, font, 160, 110, -1, bg, "KORVEX");
    clear_keybuf();
    int t = readkey() >> 8;
    cambnib = t == KEY_ESC ? EST_SALIR : EST_JUEGO;
}
int seleciona_dificultad() { return 1; }
void game_over() {}
void gane() {}
void tupuntaje() {}
void escriveranking() {}
void muestraranking(int, int) {}
