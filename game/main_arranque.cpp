// main: the globals of start-up and play, option parsing, the diagnostic screen, the close button.
#include "main.h"

#include <cstring>

#include "../shared/verifica.h"
#include "musica.h"
#include "utilfun.h"

int autodetect_card;
int triple_buffer;
int info;
volatile int salir;
volatile int cambnib = EST_TITULO;
int max_fps = HZ_REFERENCIA;
BITMAP *page1, *page2, *page3;
BITMAP *pvirtual;
BITMAP *active_page;
BITMAP *actual_page;
namespace korv {
int sync;
}
BITMAP *scroll;
BITMAP *proximo_bloque;
FONT *font2;
int bg = -1;
int a, b, c, k;

int nivel;
char archivo[512];
int difi;
int vidas;
float nscr3;
float animcon = 1.0f;
float nscro;
int puntos;
int bvid = 1;
int cammov = CAMBIO_CARRIL;
int sang;
float fuego;
Salpicadura sanani[SLOTS_SANGRE];

float x = 40.0f, y = 120.0f;
int pos = 2;
int mov;
int s;
float dela;
int scr1, scr2, scr3, scr4, scr5;
float sobscro;
float nscr2;
int sprite_div[MAX_SPRITE_DIV][3];
int spr_cant;
int sprcol;
int pan;

void lee_opciones(int argc, char **argv)
{
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "-full") == 0)
            autodetect_card = GFX_AUTODETECT_FULLSCREEN;
        else if (strcmp(argv[i], "-tbuf") == 0)
            triple_buffer = 1;
        else if (strcmp(argv[i], "-info") == 0)
            info = 1;
    }
}

int tasa_logica(int refresco)
{
    return refresco > 0 ? refresco : HZ_REFERENCIA;
}

// Diagnostic line positions: x, first line's y, line step.
enum { INFO_X = 10, INFO_Y_CANCIONES = 90, INFO_PASO = 10 };

void pantalla_info()
{
    textprintf_ex(active_page, font2, INFO_X, 10, -1, bg, "KORVEX 1.9 Info");
    textprintf_ex(active_page, font2, INFO_X, 30, -1, bg, "Vsync= %d  Maxfps= %d  Triple Buffer= %d",
                  korv::sync, max_fps, triple_buffer);
    textprintf_ex(active_page, font2, INFO_X, 50, -1, bg, "Nro Niveles = %d", niveles);
    textprintf_ex(active_page, font2, INFO_X, 70, -1, bg, "Musica MP3= %d  Nro Temas= %d", musicmp3, musicas);
    for (int i = 0; i < musicas; i++)
        textprintf_ex(active_page, font2, INFO_X, INFO_Y_CANCIONES + INFO_PASO * i, -1, bg, "%s",
                      archivm[listamusica[i]]);
}

void close_hook()
{
    cambnib = EST_SALIR;
    salir = 1;
    simulate_keypress(KEY_ESC << 8);
}
