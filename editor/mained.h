// mained: the level editor: start-up, main menu, editing screen, map operations.
#ifndef KORV_MAINED_H
#define KORV_MAINED_H

#include <allegro.h>

#include "shared/ayuda.h"
#include "shared/busca.h"
#include "shared/carga.h"

// Screen geometry and the editor's colours (palette indices of the sheet's palette).
enum {
    ED_PANTALLA_W = 320, ED_PANTALLA_H = 240,
    VISTA_COLS = 10,            // map columns on display
    VISTA_H = 192,              // height of the map view, pixels (8 rows)
    ENE_DY = 20,                // enemies are drawn 20 pixels below their row's top
    ENE_W = 37, ENE_H = 72,     // size of an enemy picture
    COL_FONDO = 0,              // box fill and text background
    COL_MARCA = 239,            // entry under the cursor, every frame
    COL_TEXTO = 255,            // all other text
    COL_PROPIO = -1,            // the font's own colours (titles)
    TIPOS_EDITOR = 7,           // enemy types the editor places: 1..7
    PRIMERA_CALLE = 1,          // rows the editor places enemies on: 1..4
    ULTIMA_CALLE = 4,
    ULTIMA_VISTA = MAPA_COLS - VISTA_COLS   // 190: highest posx
};

// Choices of the main menu.
enum { OPC_VOLVER = 0, OPC_NUEVO = 1, OPC_CARGAR = 2, OPC_OPCIONES = 3, OPC_GUARDAR = 4, OPC_SALIR = 5,
       OPC_GUARDAR_COMO = 6, OPC_CONJUNTOS = 7 };

// --- help cards (mained_ayudas.cpp) ---
extern const Ayuda AYUDA_EDICION;     // the editing screen (the map)
extern const Ayuda AYUDA_MENU;        // the main menu
extern const Ayuda AYUDA_LISTA;       // the list of levels to open
extern const Ayuda AYUDA_SI_NO;       // a yes/no question
extern const Ayuda AYUDA_VELOCIDAD;   // the speed dialog
extern const Ayuda AYUDA_CONJUNTOS;   // the menu of the level sets
extern const Ayuda AYUDA_ELIGE;       // a list to choose from (sets, first versions)
extern const Ayuda AYUDA_GUARDAR_COMO;   // "save as": a set and a number
extern const Ayuda AYUDA_ESCRIBE;     // a text being typed (a new set's name...)

// --- start-up and the open map (mained_menu.cpp) ---
extern int autodetect_card;     // graphics driver for set_gfx_mode: windowed, or full screen after "-full"
extern BITMAP *active_page;     // where every screen of the editor draws (the screen)
extern BITMAP *scroll;          // off-screen surface of the map view, 640x240 (top-left 320x192 used)
extern int bg;                  // text background of the editor: 0, an opaque box
extern int carga;               // 1 once a map was created or loaded in this run
extern int modifi;              // 1 while the open map has unsaved changes
extern int k;                   // scan code of the key last read
extern int k_ascii;             // character of the key last read (Ctrl+letter: 1..26)
extern char archivo[512];       // path of the open map: its set's folder + file name, or a file given
extern volatile int cerrar;     // 1 once the window's close button was pressed; never reset
extern int (*fuente_tecla)();   // where keys come from: readkey() by default (a test puts its own)
extern char aviso_menu[64];     // what the last choice did, shown once at the menu's foot ("" none)

// --- the editing screen (mained_edita.cpp) ---
extern unsigned char enemi2[ENE_COLS][MAPA_FILAS];  // enemy grid [column][row]: type, 0 none
extern int modoene;             // 0 background mode, 1 enemy mode
extern int posx;                // map column at the view's left edge, 0..190
extern int posx2;               // pass on display, 0..3
extern int a;                   // cursor's column within the view, 0..9
extern int b;                   // cursor's row in background mode, 0..7
extern int d;                   // cursor's row in enemy mode, 1..4
extern int c;                   // selected block, 0..39
extern int e;                   // selected enemy, 0..6 (places type e + 1)
extern char aviso[64];          // short notice for the status lines ("" none); shown once

// Installs the keyboard, with Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z made plain for the editing keys.
void pon_teclado();
// Clears a bitmap to colour 0.
void clear(BITMAP *bmp);
// Reads the command line: "-full" (exactly) asks for full screen, "-escala N" forces the scale.
void lee_opciones(int argc, char **argv);
// A signal's request to end: as the close button, without the key (safe in a signal handler).
void fin_editor();
// The window's close button: asks the editor to leave as with "SALIR".
void cierre_ventana();
// Empties the keyboard buffer and waits for one key; its scan code goes to k.
// A screen that can be left by the close button gets KEY_ESC once it was pressed.
int espera_tecla(bool cerrable);
// The end of texto in at most max characters: a longer text loses its start, marked "..." (the
// end of a path names the file). out holds tam bytes.
void final_de(const char *texto, int max, char *out, int tam);
// The part of the screen a dialog covers, kept to be put back when the dialog closes.
struct Debajo {
    BITMAP *b;   // copy of the area (NULL without memory: nothing is put back)
    int x, y;    // its top-left corner on active_page
};
// Keeps the area (x1, y1)-(x2, y2) of active_page, corners included.
Debajo guarda_debajo(int x1, int y1, int x2, int y2);
// Puts the kept area back on active_page and frees the copy.
void restaura_debajo(Debajo &d);
// Shows a notice in a box until a key is pressed; the area under it comes back afterwards.
void mensaje_caja(const char *linea1, const char *linea2);
// Runs the main menu until "SALIR".
void korveditor();
// The main menu: 1..5 for the entry chosen with ENTER, 0 for ESC.
int menuprincipal();
// Moves the menu's cursor by one key; returns the new cursor.
int mueve_menu(int cursor, int tecla);

// Runs the editing screen of the open map until ESC.
void korveditormain();
// Draws the ten columns on display (and in enemy mode their enemies) into scroll.
void refresh();
// Rebuilds the enemy grid from the 300 records of enemi.
void cargamatrizene();
// Draws the map view with its cursor and the status lines on active_page.
void dibuja_edicion();
// Acts on one key of the editing screen (ascii: the character it gave, for Ctrl+Z and
// Ctrl+Y); false for ESC (leave the screen).
bool tecla_edicion(int tecla, int ascii = 0);
// Writes status line n (0..2) into out, exactly as it is drawn.
void texto_estado(int n, char *out, int tam);
// Enemies on the grid that a save would write (remains do not count).
int cuenta_enemigos();
// Puts the editing state back to its start: pass 0, column 0, background mode.
void reinicia_edicion();

// --- undo and redo (mained_deshace.cpp) ---
enum {
    HISTORIA_MAX = 256,         // changes kept for undo
    CAMBIO_BLOQUE = 0, CAMBIO_ENEMIGO = 1, CAMBIO_VELOCIDAD = 2,   // what a change touches
    ASCII_CTRL_Y = 25, ASCII_CTRL_Z = 26   // the characters Ctrl+Y and Ctrl+Z give
};
extern int deshacer_n;          // changes that can be undone, 0..256
extern int rehacer_n;           // changes that can be redone
// Empties the history (a map opened or made); igual_al_archivo: the map is what its file holds.
void historia_borra(bool igual_al_archivo);
// The map was saved: undoing or redoing away from here marks it modified.
void historia_guardado();
// Sets one cell (mapa, enemi2 [col][fila]) or the speed code to v as one step of the
// history, and marks the map modified.
void cambia_celda(int tipo, int col, int fila, int v);
// Undoes (redoes) the last change; false when there is none.
bool deshace();
bool rehace();
// "DESHACER: n" while there is something to undo, else as many blanks.
void texto_deshacer(char *out, int tam);

// --- play from here (mained_juega.cpp) ---
extern int dificultad_j;        // difficulty of J's tries, 0..2, chosen in the game's menu at the first; -1 not yet
// The difficulty the game's output names (its last LINEA_DIFICULTAD line), -1 none.
int dificultad_dicha(const char *salida);
// The map column of the cursor over the four passes, 0..799.
int columna_cursor();
// Writes the open map to a new file in $TMPDIR (or /tmp), never touching archivo or modifi;
// false when it cannot.
bool guarda_temporal(char *ruta, int tam);
// Key J: the game (korvex beside the editor) plays the open map from the cursor's column in
// a window of its own; the editor's window comes back, same map and cursor, when it ends.
void juega_desde_aqui();

// --- the mouse in the editing screen (mained_raton.cpp) ---
enum {
    RATON_ESPERA_MS = 10,       // poll period of the mouse while no key comes, ms
    RATON_BORDE = 4,            // pixels at the left/right edge where the view scrolls
    RATON_BORDE_PASOS = 8,      // polls between two scroll steps at the edge
    BOTON_IZQ = 1, BOTON_DER = 2
};
extern int mouse_instalado;     // 1 when the library's mouse works
extern int raton_en_edicion;    // 1 while the editing screen runs (the pointer is shown)
// Installs the mouse and its pointer (hardware cursor where there is one).
void pon_raton();
// One mouse state over the editing screen: a left button paints (D) the cell under the
// pointer (once per cell while held), the right erases an enemy (F) in enemy mode, the wheel
// (notches, up positive) selects as A/S do. True when the screen changed.
bool raton_edicion(int mx, int my, int botones, int rueda);
// Reads the mouse and acts on it in the editing screen (edges scroll), redrawing when
// something changed; false when nothing did.
bool atiende_raton();

// --- level sets (mained_conjuntos.cpp) ---
extern char archivo_pedido[1024];   // "korveditor FILE": the level file opened at start (absolute; "" none)
// The command line: "-exporta SET FILE" (both given: true) and a lone level file (archivo_pedido);
// false with the reason in error for a missing value.
bool lee_opciones_conjunto(int argc, char **argv, char *conjunto_exporta, char *archivo_exporta, int tam,
                           char *error, int tam_error);
// The count line of the set in edit: its levels, and those its folder holds that the game does not play.
void texto_cuenta(char *out, int tam);
// Opens a level file given by its path (archivo_pedido): saving goes back to it; a file that
// cannot be read says so in a box.
void abre_archivo(const char *ruta);
// Before a level of the campaign is written over: its first version is kept in originales/ beside
// it (once; a later save keeps that one). False (a notice) when it cannot be kept.
bool guarda_original(const char *ruta);
// "GUARDADO: name" at the menu's foot.
void aviso_guardado();
// "GUARDAR COMO": the open map saved into a set (LEFT/RIGHT) as a number (UP/DOWN); saving then
// goes to that file.
void guardar_como();
// "CONJUNTOS": change the set in edit, make a new one, export it, bring back a campaign level's
// first version.
void menu_conjuntos();
// The name of a number n (1..99) in a set's folder: "nivel_NN.map".
void nombre_numero(int n, char *out, int tam);

// Opens the map just read under path ruta: the grid from its records, the editing state from the
// start, the history emptied; then the editing screen.
void abre_mapa(const char *ruta);
// A question in the warning box: two lines, then SI / NO chosen with the arrows and ENTER (ESC
// answers NO). True for SI.
bool pregunta_si_no(const char *linea1, const char *linea2);
// Makes a new map from "datos/newlevel.dat" and opens the editing screen on it.
void nuevomapa();
// Shows the level files, loads the one chosen and opens the editing screen on it.
void cargarmapa();
// First column (0..799) of a stretch the open map's explosives close on all four lanes at once
// (the checker's lane rule); -1 none.
int tramo_cerrado_mapa();
// Column of the first explosive that costs the autoplayer a life on the open map at the hardest
// difficulty (the checker's verdict; the enemy table is rebuilt from the grid); -1 it wins.
int columna_perdida_mapa();
// Writes the open map to archivo; false (a notice, modifi kept) when it cannot, or when the
// map has a closed stretch and the answer to "GUARDAR IGUAL?" was NO.
bool gurdarmapa();
// The speed-multiplier dialog.
void opcimap();
// Offers to save the unsaved changes; false when the answer was "SI" and the save failed.
bool advertencia();
// The name of a new level in the set in edit: its folder + the last level's name with the next
// free number ("levels/" for the campaign in the build folder). False when no number up to 99 is free.
bool nombre_nuevo(char *out, int tam);
// Steps the speed code for one key of the dialog, in 8-bit arithmetic with the wrap.
unsigned char paso_multi(unsigned char m, int tecla);

#endif
