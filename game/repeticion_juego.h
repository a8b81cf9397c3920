// repeticion (game side): every run recorded as the keys of its ticks, a recording played back
// tick for tick (korvex -repeticion, the best run of a table, the title's demo).
#ifndef KORV_REPETICION_JUEGO_H
#define KORV_REPETICION_JUEGO_H

#include "shared/repeticion.h"

// Where the keys of a tick come from.
enum {
    MODO_JUGADOR = 0,      // the player's keys (recorded while a run is)
    MODO_REPRODUCE = 1,    // a recording; P pauses, ESC ends the playback
    MODO_DEMO = 2          // a recording in the title's loop; any key ends it
};

extern int rep_modo;        // MODO_*
extern int teclas_tick;     // keys of the tick under way (REP_* bits), read once at its start
extern int rep_cortada;     // 1: the watcher ended a playback (a key in the demo, ESC in a playback)
extern const Repeticion *reproducida;   // the recording whose keys play takes (modes other than MODO_JUGADOR)
extern size_t rep_pos;                  // its next tick
extern Repeticion grabacion;            // the recording of the run under way (its keys grow tick by tick)
extern int grabando;                    // 1 while a run is recorded

// --- repeticion_tick.cpp, part of the logic tick ---
// Where play takes the keys of one logic tick: the player's (recorded when a run is recorded)
// or the recording's. Called once at the start of every tick; advances tick_juego.
void teclas_del_tick();

// --- repeticion_juego.cpp: the recording of a run ---
// Starts recording a run: difficulty, rate, time scale, phase, the catalogue with its CRCs, the
// set and the level practised.
void grabacion_empieza();
// Ends it: the run's end into the header; saves ultima.rep and, for a game (not a practice) at full
// pace with a higher final score than the one kept, the set's mejor_<difficulty>.rep. Nothing is saved for a
// run without a tick.
void grabacion_termina();
// Path of a recording of the player's: installed, the user's data folder; else datos/.
// escribe: the folder is made first (false when it cannot be).
bool ruta_repeticion(const char *nombre, bool escribe, char *out, int tam);
// The final score of a recorded run: a won run adds the bonus of its spare lives.
int repeticion_total(const Repeticion &r);

// --- playback ---
// True when the catalogue holds the levels the recording played (a practice: its one level),
// unchanged and in their places (and as many as it had, for a won game); else false with one line
// "FILE: reason" in error.
bool repeticion_cabe(const Repeticion &r, const char *ruta, char *error, int tam);
// Makes the set the recording names the current one, its catalogue built; false with one line
// "FILE: falta el conjunto NAME" in error when there is no such set.
bool entra_conjunto(const Repeticion &r, const char *ruta, char *error, int tam);
// Puts a run in the state a recording starts from and takes its keys from it from the next tick on.
void empieza_reproduccion(const Repeticion &r, int modo);
// Back to the player's keys and the rate of before; true when the recording was played to its end
// and play ended as the run did (score, lives, world checksum), else false (with a stderr line
// when it ran to its end and differed).
bool termina_reproduccion();
// Plays a recording in mode MODO_REPRODUCE or MODO_DEMO (the demo plays its first level only);
// returns the program state play ended in. The state of a run, the rate and cambnib are the
// caller's to put back.
int reproduce(const Repeticion &r, int modo);
// "-repeticion FILE" from argv into *ruta ("" without it); false with the reason when its value is missing.
bool lee_opcion_repeticion(int argc, char **argv, char *ruta, int tam, char *error, int tam_error);
// korvex -repeticion: plays it, then its end with the score; the program's exit status.
int mira_repeticion(const Repeticion &r);
// The title's demo: plays datos/demo.rep when it fits the levels (else one stderr line, once);
// true when a key ended it.
bool demo();
// True when difficulty dif (0..2) of the current set has a best run kept.
bool hay_mejor(int dif);
// Plays the current set's best run of difficulty dif; a recording that does not fit says so on screen.
void ver_mejor(int dif);

#endif
