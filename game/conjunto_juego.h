// conjunto_juego: the set in play: choosing it (the difficulty menu's line, -conjunto), the levels
// reached in games of each set, the practice of one level and its end.
#ifndef KORV_CONJUNTO_JUEGO_H
#define KORV_CONJUNTO_JUEGO_H

extern int practica;           // 0: a game from the first level; else the one level (1..15) practised
extern int conjuntos_jugables; // sets with at least one level (counted by cuenta_jugables)

// Counts the sets with at least one level; the current set and its catalogue stay.
void cuenta_jugables();
// Makes the next (paso 1) or previous (-1) set with levels the current one, its catalogue built.
void cambia_conjunto(int paso);
// True when the set's name belongs on the screens of play (there is more than one set to play,
// or the one in play is not the campaign).
bool muestra_conjunto();
// Highest level of the current set reached in one of its games (0: none), from its file.
int lee_alcanzado();
// Level n of the current set was reached in a game: the file keeps the highest (rewritten only
// when n is higher; a file that cannot be written loses only this).
void anota_alcanzado(int n);
// Levels of the current set that can be practised, 1..this: a user set's every level, the
// campaign's those reached in its games.
int niveles_practicables();
// The practice screen: LEFT/RIGHT the level, UP/DOWN the difficulty, ENTER plays (practica and
// *dif set: true), ESC goes back (false).
bool elige_practica(int *dif);
// The end of a practice run on screen: completed or lost, its score, and that it enters no table.
void fin_practica();
// The notice of a pack opened from a file manager: installed (the current set's name, its levels)
// or not (detalle: the line naming the file and the reason).
void aviso_paquete(bool hecho, const char *detalle);

#endif
