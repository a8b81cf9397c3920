// arnes: headless play for the fuzz targets and the soak. The real loader, logic tick and
// drawing run on memory bitmaps; every tick the state of play is checked against its bounds
// and a breach aborts with a line on stderr.
#ifndef KORV_ARNES_H
#define KORV_ARNES_H

#include <string>

namespace arnes {

// Aborts with a line on stderr when cond is false.
void exige(bool cond, const char *que);
// Allegro without a display, plain pictures and pages, the enemy table; rapido: the scroll
// strip clips every pixel away (a tick many times cheaper).
void monta(bool rapido);
// Plays the level in memory at hz with difficulty dif (0..2) for at most ticks ticks (0: to
// its end); teclas(ctx) gives the keys of each tick (bit 0 up, 1 down, 2 ESC); drawn every
// dibujo ticks. Returns the state it stopped in.
int juega(int hz, int dif, int ticks, int dibujo, unsigned (*teclas)(void *), void *ctx);
// Saves the level in memory to ruta, loads it back and checks nothing changed.
void guarda_y_relee(const std::string &ruta);
// A folder for files written thousands of times: /dev/shm when it can be written, else /tmp.
std::string carpeta_rapida();
// Writes a file whole: the text antes, then n bytes from p.
void escribe(const std::string &ruta, const void *p, size_t n, const char *antes = "");

}  // namespace arnes

#endif
