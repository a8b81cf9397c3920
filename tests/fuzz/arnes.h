// arnes: plays levels without a display for the fuzz targets and the soak run. The real
// loader, editor grid, logic tick and drawing run on memory bitmaps; every tick the state
// of play is checked against its bounds and any breach aborts with a line on stderr.
#ifndef KORV_ARNES_H
#define KORV_ARNES_H

#include <cstddef>
#include <string>

namespace arnes {

// Pictures (plain colours, the sheet's sizes), pages and the enemy table; Allegro must be
// installed (SYSTEM_NONE is enough). rapido: the scroll strip clips every pixel away, which
// makes a tick many times cheaper (for the fuzz targets; the soak draws everything).
void monta(bool rapido);

// What one level of play did.
struct Partida {
    int ticks = 0;        // logic ticks run
    int estado = 0;       // cambnib when the level stopped (0: tick budget ran out)
    int contactos = 0;    // enemies the truck met
    int puntos = 0;       // score at the end
};

// Plays the level in memory: clock rate hz (logic ticks per second), difficulty dif (0..2),
// from pass `pasada` and map column `columna`, at most max_ticks ticks (<= 0: until the level
// ends). Each tick the keys come from teclas(ctx) (bit 0 up, bit 1 down, bit 2 ESC); the
// picture is drawn every `dibujo` ticks.
Partida juega(int hz, int dif, int pasada, int columna, int max_ticks, int dibujo,
              unsigned (*teclas)(void *ctx), void *ctx);

// The editor's path on the level in memory: its enemy grid, a save to `ruta`, a reload, and
// the checks that the file is well formed and that loading and saving again changes nothing.
void guarda_y_relee(const std::string &ruta);

// A folder for working files that are written thousands of times: /dev/shm (memory, where a
// flush to disk costs nothing) when it can be written, else /tmp.
const char *carpeta_rapida();

// Aborts with a message on stderr when cond is false (also in builds without assert).
void exige(bool cond, const char *que);

}  // namespace arnes

#endif
