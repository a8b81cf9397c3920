// main: the game's start-up and shutdown, the game run, the frame loops and play.
#ifndef KORV_MAIN_H
#define KORV_MAIN_H

#define ALLEGRO_NO_COMPATIBILITY
#include <allegro.h>

#include "../shared/busca.h"
#include "../shared/carga.h"

// Screen and playfield geometry, pixels.
enum {
    PANTALLA_W = 320, PANTALLA_H = 240,
    CAMPO_H = 192,             // playfield height (8 block rows)
    HUD_Y = 192,               // top of the score strip
    MAX_SPRITE_DIV = 30,       // entries of the on-screen enemy list
    SLOTS_SANGRE = 6,          // blood splash slots
    HZ_REFERENCIA = 75         // the rate the time scale is based on
};

// Program states (cambnib).
enum { EST_JUEGO = 0, EST_NIVEL_OK = 1, EST_TITULO = 2, EST_SALIR = 3, EST_GAMEOVER = 4, EST_GANO = 5 };

// --- start-up (set by main) ---
extern int autodetect_card;    // graphics driver for set_gfx_mode: windowed or full screen
extern int triple_buffer;      // 1: three video pages with triple buffering; 0: one memory page
extern int info;               // 1: diagnostic screen before the title
extern volatile int salir;     // 1 once the window's close button was pressed; never reset
extern volatile int cambnib;   // program state (EST_*)
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
extern int bg;                 // text background of the game: -1, transparent
extern int a, b, c, k;         // scratch integers (loop counters, last key's scan code)

// --- a game run (main_estado.cpp holds the state of play) ---
extern int nivel;              // level being played, from 1; 0 before the first
extern char archivo[512];      // path of the level file being loaded
extern int difi;               // difficulty: 0, 1 or 2
extern int vidas;              // spare lives
extern float nscr3;            // base scroll speed of the difficulty, pixels per 1/75 s
extern float animcon;          // time scale: 75 / max_fps
extern float nscro;            // the level's full scroll speed, pixels per tick
extern int puntos;             // the score, points
extern int bvid;               // next extra life at bvid * 10000 points
extern int cammov;             // lane-change speed, pixels per 1/75 s (2, or 1 during a splash)
extern int sang;               // 1 if a splash was running at the last splash update
extern float fuego;            // explosion clock, 1/75 s; 0 = no explosion

// Lives and base scroll speed (pixels per 1/75 s) of each difficulty.
enum { DIFICULTADES = 3 };
struct Dificultad {
    int vidas;
    float velocidad;
};
extern const Dificultad dificultades[DIFICULTADES];

// One blood splash slot.
struct Salpicadura {
    float timer;   // 1/75 s left; runs while above 0
    int y;         // screen y of the splash picture
    float x;       // screen x of the splash picture
};
extern Salpicadura sanani[SLOTS_SANGRE];

// --- the truck, road and enemies of the level in play ---
extern float x, y;             // truck: left edge of its picture, lane line (picture at y + 9)
extern int pos;                // lane last reached, 0..3
extern int mov;                // lane change under way: 0 none, 1 up, 2 down
extern int s;                  // truck animation frame, 0..4
extern float dela;             // truck animation clock, 1/75 s
extern int scr1;               // pixels scrolled within the current pass, 0..6399
extern int scr2;               // next column of proximo_bloque to copy, 0..32
extern int scr3;               // strip x of the previous pixel step
extern int scr4;               // strip x where the visible window begins
extern int scr5;               // passes completed, 0..4 (4: the road has ended)
extern float sobscro;          // fraction of a pixel not yet scrolled
extern float nscr2;            // current scroll speed, pixels per tick
extern int sprite_div[MAX_SPRITE_DIV][3];  // enemies on screen: picture, y, x
extern int spr_cant;           // entries in sprite_div
extern int sprcol;             // record index of the enemy the truck met
extern int pan;                // pan of the last bag sound, 0 or 255
extern int teclas_piloto;      // -1: play reads the keyboard and the pad; else the actions held,
                               // bits 1 << ACC_ARRIBA / ACC_ABAJO (the autoplayer; no pause, no ESC)

// Stages of a pause under way (pausa_etapa): what the pause waits for.
enum { PAUSA_NO = 0, PAUSA_SUELTA = 1, PAUSA_PULSA = 2, PAUSA_SUELTA_FIN = 3 };
extern volatile int pausa_etapa;   // 0 outside a pause; else the release, press or release awaited

// --- one level from the command line (main_arranque.cpp) ---
enum { DESDE_MAX = ENE_COLS - 1, DIFICULTAD_MAX = 2, SALIDA_OPCION_MALA = 2 };
extern char nivel_suelto[512]; // "-nivel FILE": the one level to play ("" plays levels/ from the title)
extern int desde_col;          // "-desde COL": column 0..799 the road starts just before; -1 the level's start
extern int dificultad_fija;    // "-dificultad N": 0..2 chosen without the menu; -1 the menu asks

// Reads "-nivel FILE", "-desde COL" and "-dificultad N" into the three globals; false, with
// the reason (one line, no newline) in error, when a value is missing or out of range.
bool lee_opciones_nivel(int argc, char **argv, char *error, int tam);
// Road scrolled at once at level start, pixels: the screen and one block, or with a start
// column, so far that this column stands six blocks ahead of the truck's left edge.
float avance_inicial(int desde);

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
// A run's start values (score, level, lives' counter, effects).
void empieza_partida();
// A run's end: the music stopped, the MIDI volume back to full.
void termina_partida();
// Plays the levels from nivel + 1 on, each by its frame loop, while they are completed, up to level
// hasta; con_cartel: each introduced by its card.
void juega_niveles(bool con_cartel, int hasta);
void game_main_loop();
void game_main_loop2();
// Scroll speed of a level: base speed by speed code (1..3, other codes as 1) times animcon.
float velocidad_nivel(float base, int codigo, float escala);
// Time scale for a logic-clock rate: 75 / rate, rounded to a 32-bit float.
float escala_tiempo(int rate);
// Per-level start values of play, the road advanced to the first picture, the enemy list built.
void prepara_nivel();
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

// --- play (main_logica.cpp, main_grafica.cpp) ---
// True while the player holds an action's key (ACC_*), or the pad's control for it.
bool accion(int a);
void act_logica();
int enemivieja(int sin_contacto);
void bolsa();
void teclasy();
void animacion();
void anisangre(int mode);
void anifuego();
void scro(float d);
void act_grafica();
void dibucamfuesan();

// --- what the logic tick asks of the rest of the game: sounds, the pause, the music's mute and
// the scroll strip (main_mundo.cpp, main_grafica.cpp). Where the autoplayer drives play without
// screen or sound (the editor's checker, the asset maker) they do nothing (shared/piloto_solo.cpp).
// Plays a sound slot once at full volume with a pan; the voice, or -1.
int juego_suena(int slot, int pan_);
// Sets the looping engine sound to a volume (0..255).
void juego_motor(int vol);
// The pause: "PAUSA" until P is pressed again (the help card first when F1 asked for it); tick restored.
void juego_pausa();
// Whether play pauses without P: F1 (the help card) or the window's loss of the keyboard.
bool juego_pide_pausa();
// At the start of each tick: what the player asked of the music (M).
void juego_atiende();
// One road pixel column into the scroll strip (scr2..scr4 as scro left them); bloque_nuevo:
// the next map column (scr1 / 32) must first be drawn into proximo_bloque.
void juego_columna(bool bloque_nuevo);

#endif
