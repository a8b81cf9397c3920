// presoverganec: the dispatcher, the front-end screens, the final score and the ranking.
#ifndef KORV_PRESOVERGANEC_H
#define KORV_PRESOVERGANEC_H

#include <allegro.h>

#include "game/ranking.h"

// One initials entry under way: the three letters and the letter cursor.
struct Iniciales {
    char letra[3];   // 'A'..'Z'
    int cursor;      // letter being changed, 0..2 (3 once ENTER passed the last one)
};

// Key source of the difficulty menu and the initials entry: readkey (tests put a script here).
extern int (*lee_tecla)();

// Runs the program states until quit.
void cambia_funcion();
// Title sequence with its attract loop; leaves cambnib 0 (play), 3 (quit) or 2 (run it again).
void presentacion();
// Difficulty menu: returns 0, 1 or 2; ESC sets cambnib to 3. With more than one set to play,
// LEFT/RIGHT change the set in play; its "PRACTICAR" line (when the set has a level to practise)
// leads to the practice screen, whose choice sets practica.
int seleciona_dificultad();
// The "OPCIONES" screen, from the title: settings change at once and are kept in the settings file.
void opciones();
// After F11: the full-screen setting becomes the mode F11 gave, is kept in the settings file and,
// while the options screen is up, shown there.
void f11_hecho();
// What opciones_tecla returns besides a line: leave the screen, or ask for the keys.
enum { OPCIONES_FIN = -1, OPCIONES_TECLAS = -2 };
// Applies one key's scan code on line linea of the options screen; the line to mark next.
int opciones_tecla(int linea, int scan);
// Asks for the three keys in turn (F1 shows that wait's card); ESC keeps an action's key, a key
// that cannot be taken is asked again.
void redefine_teclas();
// Largest screen scale the desktop takes (1 when it cannot tell).
int escala_que_cabe();
// Called after the scale or full-screen setting changed, when the screen can follow at once.
extern void (*aplica_pantalla)();
// The "GAME OVER" screen.
void game_over();
// The win picture, then the final score.
void gane();
// The win picture alone.
void gane_imagen();
// Final score with the life bonus, then the ranking check.
void tupuntaje();
// Ranking check, initials entry, file update and the table with the new place.
void escriveranking();
// Shows table 1..3 (difficulty 0..2) with place marca (0..9) marked, or all three (tabla 0, none
// marked: the title's loop); true when ENTER or ESC on one of the three asked for the title at once.
bool muestraranking(int tabla, int marca);

// --- the pieces of the screens, separate so they can be checked on their own ---
// The menu cursor after one key's scan code (wraps 0..entradas-1).
int menu_tecla(int cursor, int scan, int entradas = 3);
// True when the title's blink cycles stop after cycle number ciclos (keys held, quit state).
bool titulo_fin_parpadeo(int ciclos);
// Starts an initials entry: AAA, cursor on the first letter.
void iniciales_empieza(Iniciales *e);
// Applies one key's scan code; true when the entry is finished (ENTER past the third letter).
bool iniciales_tecla(Iniciales *e, int scan);
// Total of the final score: puntos plus the life bonus, kept within a 32-bit score.
int total_final(int pts, int vid);
// Reads the ranking file into buf; on a missing, unreadable or short file fills the shipped
// tables, says so on stderr and returns false.
bool lee_ranking(unsigned char buf[RANKING_BYTES]);
// Place 0..9 a score takes in the table of difficulty dif (ties go above); 10 when it does not enter.
int lugar_ranking(const unsigned char buf[RANKING_BYTES], int dif, unsigned int pts);
// Puts the score and initials at place p of table dif, moving the lower places down one;
// every slot keeps its reserved byte, the other tables are untouched.
void inserta_ranking(unsigned char buf[RANKING_BYTES], int dif, int p, unsigned int pts, const char ini[3]);
// Saves score pts with initials ini in the table of difficulty dif: under the ranking's lock the file
// is read again into buf, the record goes where it now belongs (*lugar, 10 when it no longer enters)
// and the table is written whole. False (a stderr line, buf still holding the record) when it cannot be.
bool guarda_record(unsigned char buf[RANKING_BYTES], int dif, unsigned int pts, const char ini[3], int *lugar);
// Draws one table (1..3) of buf on active_page, place marca in colour 239.
void dibuja_tabla(const unsigned char buf[RANKING_BYTES], int tabla, int marca);
// At a pace below full: says on active_page, lines from y down in colour color, that the run
// enters no table. Nothing at full pace.
void aviso_ritmo(int y, int color);
// Draws table t (1..3) of buf as dibuja_tabla, with the line under its title: the set's name when
// there is more than one, R's offer when mejor (that difficulty's best run is kept).
void dibuja_tabla_con_linea(const unsigned char buf[RANKING_BYTES], int t, int marca, bool mejor);
// The initials entry screen for the score in puntos: the three letters chosen into ini.
void entra_iniciales(char ini[3]);
// The wait on table t (1..3) when the online tables are set: as delay2 for 8 s, and E sends the
// difficulty's best run (a won game), L switches to the online table and back; news from the
// network redraw it and keep it up. Returns the scan code of the key that ended it (0: none).
int espera_con_marcador(const unsigned char buf[RANKING_BYTES], int t, int marca, bool mejor);
// Says on a screen of its own that a new entry could not be saved (3 s, a key moves on).
void aviso_no_guardado();

#endif
