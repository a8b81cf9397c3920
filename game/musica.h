// musica: the song table, its shuffled play order, MIDI playback and the music lock.
#ifndef KORV_MUSICA_H
#define KORV_MUSICA_H

#include <allegro.h>

enum { MAX_MUSICAS = 10 };

extern char archivm[MAX_MUSICAS][512];  // song file names (no folder)
extern int musicas;                     // songs in archivm, 0..10
extern int musicmp3;                    // 1: the table holds MP3 files; 0: MIDI
extern int listamusica[MAX_MUSICAS + 1];  // play order; element 10 is the play cursor
extern volatile int midiest;            // 1 while a MIDI song of the playlist plays
extern MIDI *music;                     // the MIDI song playing or played last; freed at the next or at stop
extern char mensa[512];                 // the now-playing text (other threads: read it with copia_mensa)

// Fills archivm and musicas with "midi/*.mid".
void buscaarchm();
// Builds the shuffled play order and sets the cursor to 0.
void armalistamusica();
// Starts the next MIDI song unless one is playing.
void playmidimusic();
// Stops the MIDI music (the cursor keeps its place).
void stopmidi();

// The music lock: starting, polling, adjusting and stopping a song are exclusive.
void musica_bloquea();
void musica_libera();
// Takes the lock if it is free or frees within 2 ms (for the timer callback); true when taken.
bool musica_intenta();
// Copies the now-playing text, whole, under the text's own lock (for drawing).
void copia_mensa(char *dest, int n);

// For the players, under the lock: the next song of the order (the cursor moves on by one) ...
int siguiente_cancion();
// ... and its now-playing line: "Sonando:" and the first largo characters of nombre, for 3 seconds.
void anuncia_cancion(const char *nombre, int largo);
// Puts a text on the song line for 3 seconds (any thread).
void pon_linea(const char *texto);

#endif
