// Helpers of the play tests: a level in memory with recognisable pictures, and a clock thread.
#ifndef KORV_JUEGO_MUNDO_H
#define KORV_JUEGO_MUNDO_H

#include <atomic>
#include <thread>

#include "game/main.h"

namespace mundo {

// Colour of pixel (px, py) of map block t: varies along the block so columns can be told apart.
int color_bloque(int t, int px, int py);
// Colour filling sprite i (solid, never 0).
int color_sprite(int i);
enum { COLOR_HUD = 7 };

// Pictures, pages, an empty enemy table and a patterned map; a fresh run at the given clock rate
// (difficulty "QUIERO JUGAR": 5 lives, base speed 4).
void monta(int hz);
// Starts a level at the given full speed (pixels per tick), as the frame loops do before the first picture.
void empieza(float velocidad);
// Places record i: enemy column, row 0..7, type.
void enemigo(int i, int col, int fila, int tipo);
// Road position P.
int posicion();
// Releases every key of play.
void suelta_teclas();
// Runs act_logica n times, bumping tick by one before each (as the clock would).
void logica(int n);
// Pixels other than colour 0 in the rectangle [x0, x1) x [y0, y1) of a picture.
int tinta(BITMAP *bmp, int x0, int y0, int x1, int y1);

// A thread that advances tick every given microseconds until stopped.
struct Reloj {
    std::atomic<bool> sigue{true};
    std::atomic<int> cuenta{0};   // ticks given so far
    std::thread hilo;
    explicit Reloj(int micro);
    // Stops the clock; ticks given afterwards: none.
    void para();
    ~Reloj();
};

}  // namespace mundo

#endif
