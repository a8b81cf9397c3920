// pantalla: how the 320x240 page reaches the screen (integer scaling, full screen, F11),
// the library's start-up with retries, and a prompt end on signals or a lost display.
#ifndef KORV_PANTALLA_H
#define KORV_PANTALLA_H

#include <allegro.h>
#include <sys/select.h>

enum {
    LIENZO_W = 320, LIENZO_H = 240,   // the page every screen draws on, pixels
    ESCALA_MIN = 1, ESCALA_MAX = 8,   // the scales -escala accepts
    ARRANQUE_INTENTOS = 6,            // tries of the library's start-up before giving up
    ARRANQUE_PAUSA_MS = 40            // pause between two tries, milliseconds
};

extern int escala;                  // screen pixels per page pixel, each way (1..8)
extern int escala_pedida;           // scale forced by -escala; 0: chosen from the desktop
extern int completa;                // 1 while the picture fills the desktop (full screen)
extern int f11_permitido;           // 1 when F11 may switch window and full screen (not with -tbuf)
extern int presenta_x, presenta_y;  // screen position of the scaled page's top-left corner, pixels
extern BITMAP *lienzo;              // the 320x240 8-bit page the screens draw on; NULL before a mode is set
extern BITMAP *presenta_destino;    // where presenting draws: NULL the screen, else a video page on display
extern volatile int senal_fin;      // the signal (TERM, INT, HUP) that asked the program to end; 0 none
extern void (*pide_fin)();          // sets the program's quit state; called from the signal handler
extern void (*tras_f11)();          // called after F11 changed the mode (completa says which); NULL none
extern int (*intenta_sistema)();    // one try of the library's start-up (a test puts its own); 0 = started

// Default scale for a desktop: the largest N with 320N and 240N within 90% of it; 1 when unknown.
int escala_defecto(int dw, int dh);
// Scale of the full screen: the largest N whose 320N x 240N fits the desktop; 1 when unknown.
int escala_completa(int dw, int dh);
// The value of "-escala": 1..8, or 0 with a line on stderr for a bad or missing value.
int valor_escala(const char *valor, const char *programa);
// The argument after argv[*i] as the value of an option (*i moves past it), or NULL when there is
// none or it is another option; a negative number is a value, not an option.
const char *valor_opcion(int argc, char **argv, int *i);
// Enlarges page rows fila0..fila1 into the 8-bit linear bitmap destino: each page pixel becomes an
// n x n block at (x0 + n*x, y0 + n*y). destino must hold 320n x 240n pixels from (x0, y0).
void escala_pagina(BITMAP *pagina, BITMAP *destino, int n, int x0, int y0, int fila0, int fila1);

// Starts the library, retrying a failed start a few times; false (message naming $DISPLAY, or
// suggesting xvfb-run with the command orden when it is unset) when it cannot.
bool arranca_sistema(const char *programa, const char *orden);
// Sets the screen mode: full screen at the desktop's size when *card asks for it (a window with a
// notice where it cannot be had), else a window of the chosen scale. No screen at all stops the program.
void abre_pantalla(int *card, const char *programa, const char *titulo);
// Makes the page, its scaled copy and the presented copy for scale n, the picture at (x0, y0) of the
// destination; abre_pantalla does this for the mode it set. False without memory.
bool prepara_lienzo(int n, int x0, int y0);
// Frees the pages of prepara_lienzo (lienzo becomes NULL).
void libera_paginas();
// Sets a window (at the chosen scale) or the full screen, keeping palette and picture; stays as it
// was, with a line on stderr, when the new mode cannot be had. F11 calls it.
void cambia_modo(bool llena);
// A screen position (the mouse's) as a position on the page.
int pagina_x(int x);
int pagina_y(int y);
// Sets the mode in use again after the screen was given up (set_gfx_mode(GFX_TEXT)); false when
// it cannot be had.
bool reabre_pantalla();
// Keeps the close-button callback so a change of mode can put it back.
void pon_cierre(void (*cb)());
// Presents page rows fila0..fila1, n times enlarged at (x0, y0), straight into the X driver's screen
// and its window's 32-bit picture in one pass (no enlarged copy, blit, nor the driver's conversion);
// false, with nothing done, at x1 or where the screen is not such an X screen.
bool pantalla_x_muestra(BITMAP *pagina, int n, int x0, int y0, int fila0, int fila1);
// Brings the screen up to date with lienzo (only the rows that changed) and sends what is pending to
// the display at once; handles a pending F11.
void presenta();
// Sends what the X driver has queued (a picture, a palette) to the server now; nothing elsewhere.
void pantalla_envia();
// Presents a whole 320x240 page, scaled, on destino (a video page of the triple-buffered loop).
void presenta_pagina(BITMAP *pagina, BITMAP *destino);
// The next presenta redraws everything (after a mode change or a new destination).
void presenta_todo();
// Where the screens draw: lienzo once a mode is set, else the library's screen (headless tests).
BITMAP *lienzo_o_pantalla();
// Waits for a key while keeping the screen presented; the scan code << 8 | ascii.
// A signal that asked to end gives ESC.
int espera_tecla_lista();
// Handlers for TERM, INT, HUP (quit state, then a forced end within a second) and for a lost display.
void pone_fin_limpio(const char *programa);
// Ends the process at once, without the library's shutdown, when the display connection is lost.
void pone_fin_x(const char *programa);
// The work of every wait between two polls: the picture presented, the pad read.
void atiende();

// Process-wide, in pantalla_x.cpp: select() itself is replaced for every thread of the program.
// The library's X driver polls its connection from a background thread with select(0, 0, 0, 0,
// 1 ms): a thousand wake-ups a second while nothing happens, though it reads input only every
// 10 ms. That exact call sleeps 10 ms instead; every other select goes through unchanged. Input
// does not wait for it: ritmo_x.cpp's input thread hands each X event to the library as it comes.
// Measured from /proc on the idle title under Xvfb (three runs each, the same machine): with it
// 297-300 wake-ups a second and 1.2-1.5 % of a core, without it 1104-1114 and 2.8-2.9 %.
extern "C" int select(int n, fd_set *r, fd_set *w, fd_set *e, struct timeval *t);

#endif
