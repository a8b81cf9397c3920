// main: the game's start-up and shutdown, the game run, the frame loops and play.
#ifndef KORV_MAIN_H
#define KORV_MAIN_H

#include <allegro.h>

#include "game/logica.h"

// --- start-up (set by main) ---
extern int autodetect_card;    // graphics driver for set_gfx_mode: windowed or full screen
extern int triple_buffer;      // 1: three video pages with triple buffering; 0: one memory page
extern int info;               // 1: diagnostic screen before the title
extern volatile int salir;     // 1 once the window's close button was pressed; never reset
extern int max_fps;            // rate of the logic clock, Hz (the display's refresh rate)
extern BITMAP *page1, *page2, *page3;   // video pages (triple-buffered mode)
extern BITMAP *pvirtual;       // memory page (single-page mode)
extern BITMAP *active_page;    // where every screen and the game draw
extern BITMAP *actual_page;    // the page on display
namespace korv {
extern int sync;               // 1: wait for the retrace before each page request
}
extern BITMAP *scroll;         // scroll strip, 640x192
extern BITMAP *proximo_bloque; // the map column being fed into the strip, 32x192
extern FONT *font2;            // the library's built-in font (diagnostic screen, song line)
extern FONT *font_chica;       // the game's small font, made like its own (the score strip's labels)
extern int bg;                 // text background of the game: -1, transparent
extern int a, b, c, k;         // scratch integers (loop counters, last key's scan code)

// --- a game run (main_juego.cpp) ---
extern char archivo[512];      // path of the level file being loaded
extern int difi;               // difficulty: 0, 1 or 2
extern int ritmo_partida;      // pace of the run under way (or played back), percent of full pace

// Stages of a pause under way (pausa_etapa): what the pause waits for.
enum { PAUSA_NO = 0, PAUSA_SUELTA = 1, PAUSA_PULSA = 2, PAUSA_SUELTA_FIN = 3 };
extern volatile int pausa_etapa;   // 0 outside a pause; else the release, press or release awaited

// --- one level from the command line (main_arranque.cpp) ---
enum { DESDE_MAX = ENE_COLS - 1, DIFICULTAD_MAX = 2, SALIDA_OPCION_MALA = 2 };
extern int dificultad_fija;    // "-dificultad N": 0..2 chosen without the menu; -1 the menu asks

// Reads "-nivel FILE", "-desde COL" and "-dificultad N" into the three globals; false, with
// the reason (one line, no newline) in error, when a value is missing or out of range.
bool lee_opciones_nivel(int argc, char **argv, char *error, int tam);

// --- level sets from the command line (main_arranque.cpp) ---
extern char conjunto_pedido[1024];   // "-conjunto SET": the set to start with (a name, folder name or path); "" none
extern char paquete_pedido[1024];    // "-instala FILE", or a pack file given alone: absolute path; "" none
extern int instala_y_sale;           // 1: "-instala" (install, one line, exit status); 0: a pack opened (then the title)
// Reads "-conjunto SET", "-instala FILE" and a lone pack file (what a file manager passes) into
// the three globals, paths made absolute; false with the reason in error for a missing value or
// more than one pack.
bool lee_opciones_conjunto(int argc, char **argv, char *error, int tam);

// --- start-up helpers (main_arranque.cpp) ---
// Reads "-full", "-tbuf", "-info", "-escala N" (exact case) from argv[1..argc-1].
void lee_opciones(int argc, char **argv);
// The logic clock's rate for a reported refresh rate: 75 when the driver cannot tell (0 or less).
int tasa_logica(int refresco);
// Draws the diagnostic lines of "-info" on active_page.
void pantalla_info();

// The window's close button: quit state, quit flag and an ESC in the keyboard buffer.
void close_hook();
// The options screen's scale and full-screen settings applied at once.
void aplica_ajustes_pantalla();
// A signal's request to end: the quit state and flag only (safe in a signal handler).
void fin_pedido();

// --- the game run (main_juego.cpp) ---
void clear(BITMAP *bmp);
void game();
// A run's start values: the world set as a new run starts it.
void empieza_partida();
// A run's end: the music stopped, the MIDI volume back to full.
void termina_partida();
// Plays the levels from nivel + 1 on, each by its frame loop, while they are completed, up to level
// hasta; con_cartel: each introduced by its card.
void juega_niveles(bool con_cartel, int hasta);
void game_main_loop();
void game_main_loop2();
// State of the single-page loop between passes.
struct PasoBucle {
    int next;      // tick whose logic step is due next
    int skipped;   // passes in a row that drew no picture
    int nuevo;     // 1: a logic step ran since the last picture (the screen shows an older state)
};
// One pass of the single-page loop: at most one logic step, then a picture into pvirtual,
// copied to actual_page, unless the logic is behind or the screen already shows this state.
// Returns 1 when it drew.
int pasada_bucle2(PasoBucle *p);
// True when a pass would find nothing to do: the logic is up to date and its picture is shown.
bool bucle2_al_dia(const PasoBucle *p);

// --- the picture of play (main_grafica.cpp) ---
void act_grafica();
void dibucamfuesan();

#endif
