// mando: a gamepad or joystick read as keys: up/down as the arrows, buttons as ENTER, ESC, P and O.
#ifndef KORV_MANDO_H
#define KORV_MANDO_H

#include <allegro.h>

// The keys a pad stands for, in the order of the mapping.
enum { MANDO_ARRIBA = 0, MANDO_ABAJO = 1, MANDO_ENTER = 2, MANDO_ESC = 3, MANDO_P = 4, MANDO_O = 5, MANDO_TECLAS = 6 };

extern int mando_instalado;             // 1 while the library's joystick driver is installed
extern int mando_pulsado;               // the mapped keys the pads held at the last read (bits MANDO_*)
extern int mando_habilitado;            // 0 where the program takes keys only (the editor's editing screen)
extern void (*mando_tecla)(int tecla);  // where a new press goes: the key buffer (a test puts its own)

// Installs the joystick driver when a pad is present; one stderr line at most when none is.
void mando_instala(const char *programa);
// Looks again for a pad when none was found (a pad plugged in since).
void mando_busca();
// Which of the mapped keys the pads hold now: bit MANDO_* set per key (joy[] as last polled).
int mando_estado();
// Reads the pads and turns every change into the key's held state and, for a press, a key in the buffer.
void mando_actualiza();

#endif
