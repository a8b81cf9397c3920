// foco: whether the game's window has the keyboard, and the pause when another window takes it.
#ifndef KORV_FOCO_H
#define KORV_FOCO_H

extern volatile int foco_fuera;     // 1 while another window has the keyboard (set on the input thread)
extern volatile int foco_perdido;   // 1 once the window lost the keyboard since play last looked

// Listens to the window's keyboard focus from now on (once the window is open).
void vigila_foco();
// At the start of a level: an earlier loss is forgotten unless the window is still without the keyboard.
void foco_empieza_nivel();
// Whether play must pause now because the window lost the keyboard (and the setting asks for it);
// the loss is forgotten either way.
bool foco_pide_pausa();

#endif
