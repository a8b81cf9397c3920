// logica: play's logic, built into the game and, with a silent outside world, wherever the
// autoplayer drives play (the editor's checker, the asset maker): the world (mundo.h), a logic
// tick and its routines, a level's start, and what a tick asks of the rest of the program.
#ifndef KORV_LOGICA_H
#define KORV_LOGICA_H

#include "game/mundo.h"
#include "shared/busca.h"
#include "shared/carga.h"

// Lives and base scroll speed (pixels per 1/75 s) of each difficulty.
enum { DIFICULTADES = 3 };
struct Dificultad {
    int vidas;
    float velocidad;
};
extern const Dificultad dificultades[DIFICULTADES];

extern int teclas_piloto;      // -1: play reads the keyboard and the pad; else the actions held,
                               // bits 1 << ACC_ARRIBA / ACC_ABAJO (the autoplayer; no pause, no ESC)
extern char nivel_suelto[512]; // "-nivel FILE": the one level to play ("" plays levels/ from the title)
extern int desde_col;          // "-desde COL": column 0..799 the road starts just before; -1 the level's start

// --- a level's start (main_estado.cpp) ---
// Time scale for a logic-clock rate: 75 / rate, rounded to a 32-bit float.
float escala_tiempo(int rate);
// Scroll speed of a level: base speed by speed code (1..3, other codes as 1) times animcon.
float velocidad_nivel(float base, int codigo, float escala);
// Road scrolled at once at level start, pixels: the screen and one block, or with a start
// column, so far that this column stands six blocks ahead of the truck's left edge.
float avance_inicial(int desde);
// Per-level start values of play, the road advanced to the first picture, the enemy list built.
void prepara_nivel();

// --- a logic tick (main_logica.cpp) ---
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

// --- what the logic tick asks of the rest of the program: sounds, the pause, the music's mute and
// the scroll strip (the game: main_entorno.cpp, main_grafica.cpp). Where the autoplayer drives play
// without screen or sound (the editor's checker, the asset maker) they do nothing (piloto_solo.cpp).
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
