// mundo: the world of play, declared once. Every variable a logic tick reads or writes is a
// field of the record mundo, listed in MUNDO below with its type, its value when a run starts,
// when it is set again, and from which recording version the world's checksum covers it. From
// that one list come the record, the names play uses (x, puntos, cambnib... are the record's
// fields), the checksum a recording keeps, the reset of a run and of a level, and the table of
// fields the tests go through. The autoplayer's look-ahead keeps the world as a copy of mundo.
#ifndef KORV_MUNDO_H
#define KORV_MUNDO_H

#include <cstddef>

#include "game/verifica.h"

// Screen and playfield geometry, pixels.
enum {
    PANTALLA_W = 320, PANTALLA_H = 240,
    CAMPO_H = 192,             // playfield height (8 block rows)
    HUD_Y = 192,               // top of the score strip
    MAX_SPRITE_DIV = 30,       // entries of the on-screen enemy list
    SLOTS_SANGRE = 6,          // blood splash slots
    HZ_REFERENCIA = 75         // the rate the time scale is based on
};

// Program states (cambnib).
enum { EST_JUEGO = 0, EST_NIVEL_OK = 1, EST_TITULO = 2, EST_SALIR = 3, EST_GAMEOVER = 4, EST_GANO = 5 };

// One blood splash slot.
struct Salpicadura {
    float timer;   // 1/75 s left; runs while above 0
    int y;         // screen y of the splash picture
    float x;       // screen x of the splash picture
};

// When a field is set again to its start value (the column "again" of MUNDO).
enum {
    MUNDO_PROGRAMA = 0,   // never: set once when the program starts, then only by play itself
    MUNDO_PARTIDA = 1,    // at the start of every run (new game, playback, the autoplayer's drive)
    MUNDO_NIVEL = 2       // at the start of every run and of every level
};

// The world of play. Columns: type, name, array bounds, value at a run's start, when it is set
// again (MUNDO_*), the first recording version whose checksum covers it (0: none), then the
// field's meaning and unit. Version 1 recordings keep the checksum of the fields marked 1, in
// this order; a version covers the fields marked with it or an older one, so version 3 (which
// only added the set's name to the file) keeps version 2's checksum. A field added here takes the
// version the recordings are then written with.
// The bags' pan only sounds and goes on from the last run, which a recording does not hold, so
// no checksum covers it.
#define MUNDO(C)                                                                                     \
    /* --- the truck --- */                                                                          \
    C(float, x, , 40.0f, MUNDO_NIVEL, 1)                 /* left edge of its picture, screen px */  \
    C(float, y, , 120.0f, MUNDO_NIVEL, 1)                /* lane line, screen px (picture at y+9) */ \
    C(int, pos, , 2, MUNDO_NIVEL, 1)                     /* lane last reached, 0..3 */              \
    C(int, mov, , 0, MUNDO_NIVEL, 1)                     /* lane change: 0 none, 1 up, 2 down */    \
    C(int, s, , 0, MUNDO_PARTIDA, 1)                     /* animation frame, 0..4 */                \
    C(float, dela, , 10.0f, MUNDO_NIVEL, 1)              /* animation clock, 1/75 s */              \
    /* --- the road --- */                                                                           \
    C(int, scr1, , 0, MUNDO_NIVEL, 1)                    /* px scrolled in this pass, 0..6399 */    \
    C(int, scr2, , 0, MUNDO_NIVEL, 1)                    /* next column of proximo_bloque, 0..32 */ \
    C(int, scr3, , 0, MUNDO_NIVEL, 1)                    /* strip x of the previous step */         \
    C(int, scr4, , 0, MUNDO_NIVEL, 1)                    /* strip x where the view begins */        \
    C(int, scr5, , 0, MUNDO_NIVEL, 1)                    /* passes done, 0..4 (4: road ended) */    \
    C(float, sobscro, , 0.0f, MUNDO_NIVEL, 1)            /* fraction of a px not yet scrolled */    \
    C(float, nscr2, , 0.0f, MUNDO_NIVEL, 1)              /* scroll speed now, px per tick */        \
    C(float, nscro, , 0.0f, MUNDO_PARTIDA, 1)            /* the level's full speed, px per tick */  \
    C(float, nscr3, , 0.0f, MUNDO_PARTIDA, 2)            /* difficulty's base speed, px per 1/75 s */ \
    C(float, animcon, , 1.0f, MUNDO_PARTIDA, 2)          /* time scale: 1/75 s per tick (75/rate) */ \
    /* --- score and lives --- */                                                                    \
    C(int, puntos, , 0, MUNDO_PARTIDA, 1)                /* the score, points */                    \
    C(int, vidas, , 0, MUNDO_PARTIDA, 1)                 /* spare lives */                          \
    C(int, bvid, , 1, MUNDO_PARTIDA, 1)                  /* next extra life at bvid * 10000 pts */  \
    C(int, cammov, , CAMBIO_CARRIL, MUNDO_PARTIDA, 1)    /* lane-change speed, px per 1/75 s */     \
    /* --- the effects --- */                                                                        \
    C(int, sang, , 0, MUNDO_PARTIDA, 1)                  /* 1: a splash ran at the last update */   \
    C(float, fuego, , 0.0f, MUNDO_PARTIDA, 1)            /* explosion clock, 1/75 s; 0 none */      \
    C(Salpicadura, sanani, [SLOTS_SANGRE], {}, MUNDO_PARTIDA, 1)   /* the blood splashes */         \
    C(int, pan, , 0, MUNDO_PROGRAMA, 0)                  /* pan of the last bag sound, 0 or 255 */  \
    /* --- the run --- */                                                                            \
    C(int, nivel, , 0, MUNDO_PARTIDA, 1)                 /* level being played, from 1 */           \
    C(int, tick_juego, , 0, MUNDO_PARTIDA, 1)            /* ticks of the run, from its input phase */ \
    C(volatile int, cambnib, , EST_TITULO, MUNDO_PROGRAMA, 1)   /* program state (EST_*) */         \
    /* --- the enemies on screen --- */                                                              \
    C(int, sprite_div, [MAX_SPRITE_DIV][3], {}, MUNDO_PARTIDA, 2)  /* picture, y, x of each */      \
    C(int, spr_cant, , 0, MUNDO_PARTIDA, 2)              /* entries in sprite_div */                \
    C(int, sprcol, , 0, MUNDO_PARTIDA, 2)                /* record of the enemy the truck met */

// The record: one field per line of MUNDO, each at its start value.
struct Mundo {
#define MUNDO_CAMPO(tipo, nombre, dims, inicio, otra_vez, suma) tipo nombre dims = inicio;
    MUNDO(MUNDO_CAMPO)
#undef MUNDO_CAMPO
};
extern Mundo mundo;   // the world of play

// The fields by the names play uses: x is mundo.x.
#define MUNDO_NOMBRE(tipo, nombre, dims, inicio, otra_vez, suma) \
    inline constexpr decltype(Mundo::nombre) &nombre = mundo.nombre;
MUNDO(MUNDO_NOMBRE)
#undef MUNDO_NOMBRE

// One field of the world, for the routines and tests that go through them all.
struct CampoMundo {
    const char *nombre;
    size_t desde, bytes;   // offset and size in Mundo
    int otra_vez;          // MUNDO_*
    int suma;              // first recording version whose checksum covers it; 0 none
};
extern const CampoMundo campos_mundo[];
extern const int CAMPOS_MUNDO;   // entries of campos_mundo

// Checksum of the world as recordings of a version keep it: CRC-32 of the bytes of each field
// that version covers, in MUNDO's order, then of the level's enemy table (when there is one).
unsigned suma_mundo(int version);
// Every field set again at a run's start (MUNDO_PARTIDA and MUNDO_NIVEL) to its start value.
void mundo_empieza_partida();
// Every MUNDO_NIVEL field to its start value.
void mundo_empieza_nivel();

#endif
