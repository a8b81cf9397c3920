// verifica: the level checker (the editor's "-verifica", its save warning, the data tests)
// and the truck movement its lane rule is computed from, which the game plays with. Built
// with the logic tick (it drives the autoplayer).
#ifndef KORV_VERIFICA_H
#define KORV_VERIFICA_H

#include <cstddef>
#include <string>
#include <vector>

#include "shared/carga.h"

// Truck movement and sizes, shared by play and the checker.
enum {
    CARRIL_PASO = 24,          // pixels between two lane lines
    CARRILES = 4,              // lanes of the road
    CAMBIO_CARRIL = 2,         // lane-change speed out of a splash, pixels per 1/75 s
    CAMION_W = 46,             // width of the truck's picture, pixels
    ENEMIGO_W = 37,            // width of an enemy's picture, pixels
    TIPO_EXPLOSIVO = 6,        // enemy type of the explosive drum
    TIPO_EDITABLE_MAX = 7,     // highest enemy type a level file holds (8, remains, only in play)
    CALLE_PRIMERA = 1,         // first row enemies stand on (the top lane)
    VELOCIDAD_CODIGO_MAX = 3   // speed codes 1 (x1), 2 (x1.5), 3 (x2)
};
// Base scroll speed of the hardest difficulty, pixels per 1/75 s.
static const float VELOCIDAD_MAXIMA = 5.0f;

// Scroll factor of a speed code: 1, 1.5 or 2 (any other code plays as 1).
float factor_velocidad(int codigo);
// First column of a stretch where explosives close all four lanes at once for longer than a lane
// change keeps the truck off every lane at the hardest difficulty (at 60 or at 75 Hz): there the
// truck must stand on a lane in reach of an explosive. carriles[col] has bit n set when lane n
// (0..3) holds an explosive at that column; *hasta gets the stretch's last column. -1: none.
int tramo_cerrado(const unsigned char carriles[ENE_COLS], int codigo, int *hasta);
// Checks the bytes of a level file; appends one Spanish line per problem, each starting with
// the file's name: sizes, codes, blocks and records, the lane rule, and the autoplayer's drive at
// the hardest difficulty (when the records are sound). Returns the number of problems.
int verifica_nivel(const char *nombre, const unsigned char *datos, size_t n, std::vector<std::string> &lineas);
// Checks what a level file's bytes are made of, as the editor writes them: size, speed code,
// blocks and records (not whether the road can be passed). Returns the number of problems.
int verifica_estructura(const char *nombre, const unsigned char *datos, size_t n, std::vector<std::string> &lineas);
// Reads and checks one file (a file that cannot be read is a problem too).
int verifica_archivo(const char *nombre, std::vector<std::string> &lineas);
// Reads one file and checks only what keeps the game from playing it: that it can be read, its
// size and its speed code (the same lines as the checker's). Returns the number of problems.
int verifica_jugable(const char *nombre, std::vector<std::string> &lineas);
// "-verifica FILE...": checks every file, prints the lines on stdout; 0 when all are sound,
// 1 when one is not, 2 without files.
int verifica_programa(int n, char **archivos);

#endif
