// piloto: the autoplayer. It drives the level in memory with the game's own logic tick,
// headless, pressing only what a player could (up, down, nothing), and looks ahead over
// the road the screen shows. Used by the tests, the level checker and the asset maker.
#ifndef KORV_PILOTO_H
#define KORV_PILOTO_H

#include <vector>

// Keys of one tick as the autoplayer holds them: bits of the actions (1 << ACC_ARRIBA, 1 << ACC_ABAJO).
enum { PILOTO_ARRIBA = 1, PILOTO_ABAJO = 2 };

// How it drives: as a player ordinarily does (a lane change once begun runs to the next lane
// line), or hovering between two lanes by reversing the change on every tick it is read.
enum PilotoModo { PILOTO_NORMAL = 0, PILOTO_FLOTA = 1 };

// What one drive found.
struct PilotoInforme {
    bool ganado;             // the truck drove off the road's end without losing a life
    int vidas_perdidas;      // explosions that took a life (or ended the game)
    int columna, carril;     // column and lane (0..3) of the first explosive hit; -1 none
    int puntos;              // points scored in the level
    int peatones, peatones_total;   // pedestrians run over, and placed
    int bolsas, bolsas_total;       // bags taken, and placed
    int margen;              // tightest dodge: fewest ticks between the truck standing on an
                             // explosive's lane and that explosive's contact; -1 none came near
    int margen_columna, margen_carril;   // that explosive
    int ticks;               // logic ticks from the first picture to the end of the drive-off
};

// Ticks of margin counted as "near" an explosive (farther is no dodge at all).
enum { PILOTO_MARGEN_CERCA = 60 };

// Drives the level in memory (multi, mapa, enemi) from its start at a difficulty (0..2), a logic
// rate (Hz) and the tick counter's phase at the start (0..3; input is read every 4th tick while
// the road crawls). teclas, when given, receives the keys held in each tick. The state of play
// and the enemy table are left as they were found.
PilotoInforme piloto_conduce(int dificultad, int hz, int fase, PilotoModo modo, std::vector<unsigned char> *teclas);

// The verdict for level makers: the level in memory driven at the hardest difficulty, at 60 and
// 75 Hz, from every phase. -1 when every drive is won; else the column of the first explosive
// that took a life in the first drive lost.
int piloto_columna_perdida();
// The same verdict for the bytes of a level file (NIVEL_BYTES), whatever is in memory, which is
// left as it was.
int piloto_veredicto(const unsigned char *nivel);

#endif
