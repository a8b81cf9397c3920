// ayuda: the help card F1 shows over the current screen: the keys that work there.
#ifndef KORV_AYUDA_H
#define KORV_AYUDA_H

#include <allegro.h>

enum {
    AYUDA_LINEAS_MAX = 16,   // key lines a card holds at most
    AYUDA_TEXTO_MAX = 40     // characters of a line's key and meaning together, at most
};

// One line of a card: the key and what it does, both in Spanish (translated where drawn). In the
// key, "@0", "@1", "@2" stand for the key the player gave to going up, going down and the pause.
struct LineaAyuda {
    const char *tecla;
    const char *que;
};

// A card: its heading and its lines.
struct Ayuda {
    const char *titulo;
    const LineaAyuda *lineas;
    int n;
};
// Defines card nombre headed titulo from the array lineas.
#define AYUDA_CARTA(nombre, titulo, lineas) \
    const Ayuda nombre = {titulo, lineas, (int)(sizeof lineas / sizeof lineas[0])}

extern const Ayuda *ayuda_actual;   // the card of the screen on view; NULL: F1 does nothing here
extern volatile int ayuda_pedida;   // 1 once F1 was pressed and not yet answered (set on the keyboard thread)
extern int ayuda_diferida;          // 1: the screen answers F1 itself (play pauses first), not the waits
extern volatile int *ayuda_reloj;   // a clock the card sets back when it closes (time on it does not count)
extern FONT *ayuda_fuente_titulo;   // the heading's font (NULL: the library's font)
extern int ayuda_color_titulo;      // the heading's colour: -1 the font's own, else a palette index
extern FONT *ayuda_fuente_texto;    // the lines' font (NULL: the library's font)
extern void (*ayuda_al_cerrar)();   // forgets what the keys pressed on the card asked elsewhere (M); NULL none

// Makes a the card of the screen on view; an F1 pressed before is forgotten.
void pon_ayuda(const Ayuda *a);
// The key text of a line as shown: "@N" replaced by the name of the player's key in the language in use.
void texto_tecla(const char *tecla, char *out, int tam);
// The entry of palette pal nearest the colour (r, g, b), components 0..63; every entry, 0 included.
int indice_cercano(const RGB *pal, int r, int g, int b);
// Draws card a centred on hoja, in the colours of the palette in use; false when it does not fit
// (more lines than a card holds, a line wider than the card, or a card taller than hoja).
bool dibuja_ayuda(BITMAP *hoja, const Ayuda *a);
// Shows card a over the page on view until a key is pressed and every key is up again; the key
// does nothing else, and the picture under the card comes back.
void muestra_ayuda(const Ayuda *a);
// Sleeps, the page kept on view, until every key is up; then empties the key buffer.
void espera_sueltas();
// Answers a pending F1 with the screen's card (unless the screen answers it itself); true when shown.
bool atiende_ayuda();

#endif
