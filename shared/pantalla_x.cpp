// pantalla: what is particular to X11: the end of the program when the connection to the server is
// lost, the present straight into the X driver's pictures, and the background thread's polls.
#include "shared/pantalla.h"
#include "shared/ritmo.h"
#include "shared/idioma.h"

#include <xalleg.h>
#include <X11/Xlib.h>
#include <cstdint>
#include <cstring>
#include <dlfcn.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <sys/select.h>
#include <unistd.h>


// The program name for the message of a lost display.
static const char *nombre_x = "";
// The rest of that message, in the language in use when the handler was set (the handler itself
// must not look anything up).
static const char *resto_x = "";

// Xlib calls this when the server is gone; returning would let Xlib call exit(), whose library
// shutdown waits forever on a lock held by the thread that lost the connection.
static int al_perder_x(Display *)
{
    ssize_t r = write(2, nombre_x, strlen(nombre_x));
    r = write(2, resto_x, strlen(resto_x));
    (void)r;
    _exit(senal_fin ? 128 + senal_fin : 1);
}

void pone_fin_x(const char *programa)
{
    nombre_x = programa;
    resto_x = _(": se perdio la conexion con la pantalla; fin\n");
    XSetIOErrorHandler(al_perder_x);
}

// The driver's routine that sends a rectangle of its already converted picture to the window, and
// the table its conversion of 8-bit pixels to the window's 32-bit ones looks them up in.
extern "C" void _xwin_redraw_window(int x, int y, int w, int h);
extern "C" int *_colorconv_indexed_palette;

enum {
    BITS_32 = 32,    // bits per pixel of the window's picture this path writes
    MUESTRA_MIN = 2  // the smallest scale this path presents
};

// True when the screen is the X driver's 8-bit screen shown through a 32-bit picture it converts
// with the library's 8-to-32 conversion, the one case pantalla_x_muestra handles.
static bool es_pantalla_x()
{
    return gfx_driver && (gfx_driver->id == GFX_XWINDOWS || gfx_driver->id == GFX_XWINDOWS_FULLSCREEN) &&
           screen && bitmap_color_depth(screen) == 8 && !_xwin.matching_formats && _xwin.screen_to_buffer &&
           _xwin.fast_visual_depth == BITS_32 && _colorconv_indexed_palette && _xwin.ximage &&
           _xwin.ximage->bits_per_pixel == BITS_32 && _xwin.buffer_line && _xwin.screen_line &&
           screen->line[0] == _xwin.screen_line[0] && !_xwin.scroll_x && !_xwin.scroll_y;
}

// One page row through the conversion table into the window's picture, each pixel n times across
// (n known at compile time, so the stores unroll).
template <int N>
static void pinta_fila(const unsigned char *src, uint32_t *dst)
{
    const int *tabla = _colorconv_indexed_palette;
    for (int x = 0; x < LIENZO_W; x++, dst += N) {
        uint32_t c = (uint32_t)tabla[src[x]];
        for (int i = 0; i < N; i++)
            dst[i] = c;
    }
}

// The row painters by scale (none at x1).
static void (*const pintor[ESCALA_MAX + 1])(const unsigned char *, uint32_t *) = {
    NULL, NULL, pinta_fila<2>, pinta_fila<3>, pinta_fila<4>,
    pinta_fila<5>, pinta_fila<6>, pinta_fila<7>, pinta_fila<8>};

// Copies a painted row into the window's picture with stores that bypass the cache: the picture is
// read by the X server on the other processor, and ordinary stores would first fetch every line back.
static void copia_fila(uint32_t *dst, const uint32_t *src, int pixeles)
{
#ifdef __SSE2__
    enum { POR_STORE = sizeof(__m128i) / sizeof(uint32_t) };
    if ((uintptr_t)dst % sizeof(__m128i) == 0 && pixeles % POR_STORE == 0) {
        for (int x = 0; x < pixeles; x += POR_STORE)
            _mm_stream_si128((__m128i *)(dst + x), _mm_loadu_si128((const __m128i *)(src + x)));
        return;
    }
#endif
    memcpy(dst, src, pixeles * sizeof(uint32_t));
}

// Makes the cache-bypassing stores visible before the picture is sent.
static void fin_copias()
{
#ifdef __SSE2__
    _mm_sfence();
#endif
}

bool pantalla_x_muestra(BITMAP *pagina, int n, int x0, int y0, int fila0, int fila1)
{
    // At x1 there is nothing to enlarge, and the library's conversion is quicker than this one.
    if (!es_pantalla_x() || n < MUESTRA_MIN || n > ESCALA_MAX)
        return false;
    static uint32_t fila[LIENZO_W * ESCALA_MAX];   // one painted row of the window's picture
    int w = LIENZO_W * n;
    XLOCK();
    // The driver's own 8-bit screen, which it converts again whole when the palette changes.
    escala_pagina(pagina, screen, n, x0, y0, fila0, fila1);
    // The window's picture: each row painted once, then copied n times.
    for (int y = fila0; y <= fila1; y++) {
        pintor[n](pagina->line[y], fila);
        for (int r = 0; r < n; r++)
            copia_fila((uint32_t *)_xwin.buffer_line[y0 + y * n + r] + x0, fila, w);
    }
    fin_copias();
    _xwin_redraw_window(x0, y0 + fila0 * n, w, (fila1 - fila0 + 1) * n);
    XUNLOCK();
    return true;
}

void pantalla_envia()
{
    if (!_xwin.display || !gfx_driver ||
        (gfx_driver->id != GFX_XWINDOWS && gfx_driver->id != GFX_XWINDOWS_FULLSCREEN))
        return;
    XLOCK();
    XFlush(_xwin.display);
    // Sending may have read events off the connection, which then no longer wakes the input thread.
    int llegados = XEventsQueued(_xwin.display, QueuedAfterReading);
    XUNLOCK();
    if (llegados > 0) {
        _xwin_handle_input();
        ritmo_despierta();
    }
}

// The library's 1 ms poll of its X connection stretched to 10 ms (why, and what it saves: pantalla.h).
enum { SONDEO_US = 1000, SONDEO_LARGO_US = 10000 };

extern "C" int select(int n, fd_set *r, fd_set *w, fd_set *e, struct timeval *t)
{
    typedef int (*Select)(int, fd_set *, fd_set *, fd_set *, struct timeval *);
    static Select real = (Select)dlsym(RTLD_NEXT, "select");
    if (n == 0 && !r && !w && !e && t && t->tv_sec == 0 && t->tv_usec == SONDEO_US)
        t->tv_usec = SONDEO_LARGO_US;
    return real(n, r, w, e, t);
}
