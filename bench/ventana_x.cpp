// Windows of other programs on an X display, by title or id.
#include "bench/ventana_x.h"

#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { SONDEO_MS = 50 };   // between searches while waiting for a window

// Windows that vanish or are not yet viewable give errors: they only mean "not yet".
static int sin_errores(Display *, XErrorEvent *)
{
    return 0;
}

void ignora_errores_x()
{
    XSetErrorHandler(sin_errores);
}

// The window with the given title under w (w included), or 0.
static Window por_titulo(Display *d, Window w, const char *titulo)
{
    char *nombre = NULL;
    if (XFetchName(d, w, &nombre) && nombre) {
        bool igual = strcmp(nombre, titulo) == 0;
        XFree(nombre);
        if (igual)
            return w;
    }
    Window raiz, padre, *hijos = NULL;
    unsigned int n = 0;
    if (!XQueryTree(d, w, &raiz, &padre, &hijos, &n))
        return 0;
    Window r = 0;
    for (unsigned int i = 0; i < n && !r; i++)
        r = por_titulo(d, hijos[i], titulo);
    if (hijos)
        XFree(hijos);
    return r;
}

// The id written in texto (hexadecimal with 0x, or decimal), or 0 when it is not a number.
static Window por_numero(const char *texto)
{
    char *fin = NULL;
    unsigned long n = strtoul(texto, &fin, 0);
    return fin && fin != texto && *fin == 0 ? (Window)n : 0;
}

Window busca_ventana(Display *d, const char *titulo, int espera_ms)
{
    Window n = por_numero(titulo);
    if (n)
        return n;
    for (int t = 0;; t += SONDEO_MS) {
        Window w = por_titulo(d, DefaultRootWindow(d), titulo);
        if (w || t >= espera_ms)
            return w;
        timespec p = {0, SONDEO_MS * 1000000L};
        nanosleep(&p, NULL);
    }
}
