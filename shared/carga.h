// carga: the shared pictures, sprites, sounds and the level file (both programs).
#ifndef KORV_CARGA_H
#define KORV_CARGA_H

#include <allegro.h>

// Level file geometry.
enum {
    BLOQUE_W = 32,            // block width, pixels
    BLOQUE_H = 24,            // block height, pixels
    MAPA_COLS = 200,          // columns of one pass of the block map
    MAPA_FILAS = 8,           // rows of the block map
    PASADAS = 4,              // passes of the map in one level
    ENE_COLS = MAPA_COLS * PASADAS,   // 800 columns of the enemy grid
    ENE_MAX = 300,            // records in the enemy table
    ENE_REG = 4,              // bytes per enemy record
    ENE_BYTES = ENE_MAX * ENE_REG,    // 1200 bytes of the enemy table
    MAPA_BYTES = MAPA_COLS * MAPA_FILAS,   // 1600 bytes of the block map
    NIVEL_BYTES = 1 + MAPA_BYTES + ENE_BYTES,  // 2801 bytes of a level file
    NUM_TILES = 40,           // map block pictures
    NUM_SPRITES = 29,         // moving pictures cut from the sheet
    TIPO_MAX = 8,             // highest enemy type (8 = remains)
    SLOTS_SONIDO = 11         // sample slots 0..10
};

// Sample slots.
enum {
    SND_EXPLOSION = 0, SND_MOTOR = 1, SND_BOLSA = 2, SND_ATROPELLO = 3,
    SND_INICIO = 4, SND_VIDA = 5, SND_FIN_NIVEL = 6, SND_GAMEOVER = 10
};

extern PALETTE the_palette;     // palette of the sprite sheet: play, menus, ranking, editor
extern BITMAP *tile[NUM_TILES]; // map blocks 32x24, by block number
extern BITMAP *sprite[32];      // moving pictures; entries 0..28 filled
extern BITMAP *hud;             // score strip 320x48
extern BITMAP *imagen1, *imagen2, *imagen3;          // studio card, title, win picture (in the language in use)
extern PALETTE the_palette1, the_palette2, the_palette3; // their palettes
extern SAMPLE *sample[SLOTS_SONIDO];  // sound effects by slot (7..9 empty)
extern MIDI *music2;            // the title tune

extern unsigned char multi;                      // speed code of the level: 1 x1, 2 x1.5, 3 x2
extern unsigned char mapa[MAPA_COLS][MAPA_FILAS]; // block map [column][row], block numbers 0..39
extern unsigned char *enemi;                     // enemy table: 300 records of 4 bytes

extern char carga_fallo[512];   // name of the last file that could not be loaded ("" if none)

// Enemy record fields (little-endian column, row offset 24*row, type).
static inline int ene_col(int i) { return enemi[i * ENE_REG] | (enemi[i * ENE_REG + 1] << 8); }
static inline int ene_fila(int i) { return enemi[i * ENE_REG + 2]; }
static inline int ene_tipo(int i) { return enemi[i * ENE_REG + 3]; }
static inline void ene_pon_tipo(int i, int t) { enemi[i * ENE_REG + 3] = (unsigned char)t; }
static inline void ene_pon(int i, int col, int fila, int tipo)
{
    enemi[i * ENE_REG] = (unsigned char)(col & 0xFF);
    enemi[i * ENE_REG + 1] = (unsigned char)(col >> 8);
    enemi[i * ENE_REG + 2] = (unsigned char)fila;
    enemi[i * ENE_REG + 3] = (unsigned char)tipo;
}

// Loads the sheet and the three pictures in both languages; false (and carga_fallo set) when one is missing.
bool CargarBMP();
// Frees every piece made by CargarBMP (safe on a partial load).
void DestruyeBMP();
// Points imagen1..3 and their palettes at the full-screen pictures of the language in use (their
// lettering is drawn in them); CargarBMP does it once loaded, a change of language again.
void imagenes_del_idioma();
// Loads the eight samples and the title tune; false (and carga_fallo set) when one is missing.
bool carga_sonidos();
// Frees the samples and the tune.
void DestruyeSonidos();

// Checks that a font datafile is whole before the library reads it (the library's reader
// crashes on some damaged files): false, with a stderr line naming it, when it is not.
bool fuente_valida(const char *nombre);

// Reads a level file into multi, mapa and enemi; false (nothing changed) when it cannot.
bool CargaMapa(const char *filename);
// Checks a level file without changing anything: true when CargaMapa would accept it.
bool NivelValido(const char *filename);
// Rebuilds the enemy table from an 800x8 grid: remains cleared, records by row then
// column, at most 300. Returns the number of enemies on the grid (may exceed 300).
int ArmaEnemigos(unsigned char grid[ENE_COLS][MAPA_FILAS]);
// Writes multi, mapa and the enemy table to filename through a temporary file and a rename.
bool GuardaMapa(const char *filename);
// Writes a whole file through a temporary file in the same folder and a rename;
// false (old file intact, a stderr line naming it) when it cannot.
bool escribe_atomico(const char *ruta, const void *datos, size_t n);
// Stops the program before its first screen: the message on stderr and in the library's
// message box, prefixed with the program's name; exit status 1.
[[noreturn]] void aborta_programa(const char *programa, const char *que);
// Allocates the cleared 1200-byte enemy table (once per program).
unsigned char *reserva_enemigos();

#endif
