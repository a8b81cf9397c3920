// The reference window: the physical limit of smooth motion on this display. It changes its
// whole picture right after every vblank notification of the X Present extension (asked on its own
// window, one refresh at a time) and flushes at once; watched by bench/mirada beside the game, its
// figures are what a perfectly paced program gets on the same machine in the same run.
//
//   referencia [-g WIDTHxHEIGHT[+X+Y]] [-t TITLE] [-s SECONDS]
//     -g  window size and place (default 640x480+0+0; beside the watched program, not over it: a
//         covered window's drawing damages nothing)
//     -t  title (default "KORV REFERENCIA")     -s  ends after so many seconds (default: until killed)
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <xcb/xcb.h>

#include "bench/vblank.h"

namespace {

enum { ANCHO_DEFECTO = 640, ALTO_DEFECTO = 480, COLOR_A = 0x3050a0, COLOR_B = 0xa05030 };

// A mapped top-level window of w x h at x, y titled `titulo`, with a graphics context; waits for
// its exposure.
xcb_window_t abre_ventana(xcb_connection_t *c, int x, int y, int w, int h, const char *titulo, xcb_gcontext_t *gc)
{
    xcb_screen_t *s = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_window_t v = xcb_generate_id(c);
    uint32_t valores[] = {s->black_pixel, XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, v, s->root, (int16_t)x, (int16_t)y, (uint16_t)w, (uint16_t)h, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, s->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK,
                      valores);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, v, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        (uint32_t)strlen(titulo), titulo);
    *gc = xcb_generate_id(c);
    xcb_create_gc(c, *gc, v, 0, NULL);
    xcb_map_window(c, v);
    xcb_flush(c);
    xcb_generic_event_t *ev;
    while ((ev = xcb_wait_for_event(c))) {
        bool expuesta = (ev->response_type & 0x7f) == XCB_EXPOSE;
        free(ev);
        if (expuesta)
            break;
    }
    return v;
}

// Paints the whole window in one of two colours, alternating with every refresh.
void pinta(xcb_connection_t *c, xcb_window_t v, xcb_gcontext_t gc, int w, int h, uint64_t msc)
{
    uint32_t color = msc & 1 ? COLOR_A : COLOR_B;
    xcb_change_gc(c, gc, XCB_GC_FOREGROUND, &color);
    xcb_rectangle_t r = {0, 0, (uint16_t)w, (uint16_t)h};
    xcb_poly_fill_rectangle(c, v, gc, 1, &r);
}

}  // namespace

int main(int argc, char **argv)
{
    int w = ANCHO_DEFECTO, h = ALTO_DEFECTO, x = 0, y = 0;
    const char *titulo = "KORV REFERENCIA";
    double segundos = 0;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "-g") == 0 && i + 1 < argc && sscanf(argv[i + 1], "%dx%d+%d+%d", &w, &h, &x, &y) >= 2 &&
            w > 0 && h > 0)
            i++;
        else if (strcmp(argv[i], "-t") == 0 && i + 1 < argc)
            titulo = argv[++i];
        else if (strcmp(argv[i], "-s") == 0 && i + 1 < argc)
            segundos = atof(argv[++i]);
        else {
            fprintf(stderr, "uso: referencia [-g ANCHOxALTO[+X+Y]] [-t TITULO] [-s SEGUNDOS]\n");
            return 2;
        }
    }
    xcb_connection_t *c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "referencia: no hay DISPLAY\n");
        return 2;
    }
    xcb_gcontext_t gc;
    xcb_window_t v = abre_ventana(c, x, y, w, h, titulo, &gc);
    Vblank vb;
    if (!vblank_abre(&vb, c, v, false)) {
        fprintf(stderr, "referencia: el servidor X no tiene la extension Present\n");
        return 2;
    }
    int64_t fin = segundos > 0 ? ahora_us() + (int64_t)(segundos * 1e6) : INT64_MAX;
    xcb_generic_event_t *ev;
    while (ahora_us() < fin && (ev = xcb_wait_for_event(c))) {
        uint64_t msc, ust;
        if (vblank_evento(&vb, ev, &msc, &ust)) {
            pinta(c, v, gc, w, h, msc);
            vblank_pide(&vb, msc + 1);
            xcb_flush(c);
        }
        free(ev);
    }
    xcb_disconnect(c);
    return 0;
}
