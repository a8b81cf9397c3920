// Windows of other programs on an X display, found the way a watcher finds them.
#pragma once

#include <X11/Xlib.h>

// The window titled exactly `titulo`, or whose id `titulo` is written as ("0x2a00001" or decimal);
// waits up to espera_ms for it to appear. 0 when there is none.
Window busca_ventana(Display *d, const char *titulo, int espera_ms);

// Installs an X error handler that ignores errors (windows that vanish while watched).
void ignora_errores_x();
