// ritmo: what is particular to X11: the refresh rate of the window's monitor (RandR, or measured
// from the Present extension's vblank notifications), those notifications as the clock's source on
// a connection of our own, and the thread that hands X input to the library as soon as it comes.
#include "shared/ritmo.h"

#include <allegro.h>
#include <xalleg.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>
#include <xcb/present.h>
#include <xcb/randr.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <time.h>
#include <unistd.h>

// The vblank source: our own connection, the window whose monitor it follows, our event id and the
// serial our requests carry (another client's requests on that window notify us too).
static xcb_connection_t *cx;
static xcb_window_t ventana;
static uint32_t eid;
static uint32_t serie;
static uint8_t present_op;   // the Present extension's major opcode on cx

enum { NS_US = 1000 };   // nanoseconds in a microsecond

// True when the screen is the library's X11 window.
static bool hay_x()
{
    return _xwin.display && _xwin.window && gfx_driver &&
           (gfx_driver->id == GFX_XWINDOWS || gfx_driver->id == GFX_XWINDOWS_FULLSCREEN);
}

// The next Present CompleteNotify of our own requests until limite_us: 1 with its msc and ust,
// 0 at the limit, -1 when the connection is gone.
static int espera_completa(unsigned long long *msc, unsigned long long *ust, long long limite_us)
{
    for (;;) {
        if (xcb_connection_has_error(cx))
            return -1;
        xcb_generic_event_t *ev;
        while ((ev = xcb_poll_for_event(cx)) != NULL) {
            bool mia = false;
            if ((ev->response_type & 0x7f) == XCB_GE_GENERIC) {
                xcb_ge_generic_event_t *g = (xcb_ge_generic_event_t *)ev;
                if (g->extension == present_op && g->event_type == XCB_PRESENT_EVENT_COMPLETE_NOTIFY) {
                    xcb_present_complete_notify_event_t *c = (xcb_present_complete_notify_event_t *)ev;
                    if (c->kind == XCB_PRESENT_COMPLETE_KIND_NOTIFY_MSC && c->serial == serie) {
                        *msc = c->msc;
                        *ust = c->ust;
                        mia = true;
                    }
                }
            }
            free(ev);
            if (mia)
                return 1;
        }
        if (xcb_connection_has_error(cx))
            return -1;
        long long resta = limite_us - ritmo_ahora_us();
        if (resta <= 0)
            return 0;
        pollfd p = {xcb_get_file_descriptor(cx), POLLIN, 0};
        timespec t = {(time_t)(resta / RITMO_US_SEG), (long)(resta % RITMO_US_SEG) * NS_US};
        ppoll(&p, 1, &t, NULL);
    }
}

// FuenteVblank: asks for a notification at refresh msc (0: now, telling the current refresh). A full
// screen may have given the library a new window: its notifications are then selected on that one.
static void pide_x(unsigned long long msc)
{
    xcb_window_t w = (xcb_window_t)_xwin.window;
    if (w && w != ventana) {
        xcb_present_select_input(cx, eid, ventana, 0);
        ventana = w;
        eid = xcb_generate_id(cx);
        xcb_present_select_input(cx, eid, ventana, XCB_PRESENT_EVENT_MASK_COMPLETE_NOTIFY);
        msc = 0;
    }
    xcb_present_notify_msc(cx, ventana, serie, msc, 0, 0);
    xcb_flush(cx);
}

static const FuenteVblank fuente_x = {espera_completa, pide_x};

// Opens our own connection to the library's display; false when it cannot be had.
static bool abre_conexion()
{
    cx = xcb_connect(DisplayString(_xwin.display), NULL);
    if (cx && !xcb_connection_has_error(cx)) {
        ventana = (xcb_window_t)_xwin.window;
        return true;
    }
    if (cx)
        xcb_disconnect(cx);
    cx = NULL;
    return false;
}

// Selects Present's completions on the library's window; false where the extension is missing.
static bool pon_present()
{
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(cx, &xcb_present_id);
    xcb_present_query_version_reply_t *v =
        ext && ext->present ? xcb_present_query_version_reply(cx, xcb_present_query_version(cx, 1, 0), NULL) : NULL;
    if (!v)
        return false;
    free(v);
    present_op = ext->major_opcode;
    eid = xcb_generate_id(cx);
    serie = (uint32_t)getpid() ^ (uint32_t)ritmo_ahora_us();
    xcb_present_select_input(cx, eid, ventana, XCB_PRESENT_EVENT_MASK_COMPLETE_NOTIFY);
    xcb_flush(cx);
    return true;
}

// The refresh rate of the mode of the CRTC that shows most of the window, Hz; 0 when RandR cannot tell.
static double hz_randr()
{
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(cx, &xcb_randr_id);
    if (!ext || !ext->present)
        return 0;
    xcb_get_geometry_reply_t *g = xcb_get_geometry_reply(cx, xcb_get_geometry(cx, ventana), NULL);
    if (!g)
        return 0;
    xcb_window_t raiz = g->root;
    int w = g->width, h = g->height;
    free(g);
    xcb_translate_coordinates_reply_t *tr =
        xcb_translate_coordinates_reply(cx, xcb_translate_coordinates(cx, ventana, raiz, 0, 0), NULL);
    if (!tr)
        return 0;
    int x0 = tr->dst_x, y0 = tr->dst_y;
    free(tr);
    xcb_randr_get_screen_resources_current_reply_t *res = xcb_randr_get_screen_resources_current_reply(
        cx, xcb_randr_get_screen_resources_current(cx, raiz), NULL);
    if (!res)
        return 0;
    xcb_randr_crtc_t *crtcs = xcb_randr_get_screen_resources_current_crtcs(res);
    xcb_randr_mode_info_t *modos = xcb_randr_get_screen_resources_current_modes(res);
    int ncrtcs = xcb_randr_get_screen_resources_current_crtcs_length(res);
    int nmodos = xcb_randr_get_screen_resources_current_modes_length(res);
    double hz = 0;
    long mejor = 0;
    for (int i = 0; i < ncrtcs; i++) {
        xcb_randr_get_crtc_info_reply_t *c = xcb_randr_get_crtc_info_reply(
            cx, xcb_randr_get_crtc_info(cx, crtcs[i], res->config_timestamp), NULL);
        if (!c)
            continue;
        long ancho = std::min(x0 + w, c->x + (int)c->width) - std::max(x0, (int)c->x);
        long alto = std::min(y0 + h, c->y + (int)c->height) - std::max(y0, (int)c->y);
        long area = ancho > 0 && alto > 0 ? ancho * alto : 0;
        if (c->mode && (area > mejor || (mejor == 0 && hz == 0))) {
            for (int m = 0; m < nmodos; m++) {
                if (modos[m].id != c->mode)
                    continue;
                double v = (double)modos[m].vtotal;
                if (modos[m].mode_flags & XCB_RANDR_MODE_FLAG_DOUBLE_SCAN)
                    v *= 2;
                if (modos[m].mode_flags & XCB_RANDR_MODE_FLAG_INTERLACE)
                    v /= 2;
                hz = modos[m].htotal && v > 0 ? modos[m].dot_clock / ((double)modos[m].htotal * v) : 0;
                mejor = area;
            }
        }
        free(c);
    }
    free(res);
    return hz;
}

// --- the input thread ---

static pthread_t hilo_entrada;
static volatile int entrada_viva;
static int tubo[2] = {-1, -1};   // written to stop the input thread
// The library's input routine as our input thread and the library's own background thread call it
// (under the library's lock). Ours reads the connection and takes every event. The background thread,
// which would make a round trip to the server every 10 ms (whose reply wakes our thread in turn),
// only sends what the library left queued (a window title) and takes events that another call
// already read off the connection (then the connection no longer wakes our thread for them).
static void toma_entrada()
{
    if (pthread_equal(pthread_self(), hilo_entrada)) {
        _xwin_private_handle_input();
        return;
    }
    XFlush(_xwin.display);
    if (XEventsQueued(_xwin.display, QueuedAfterReading) > 0) {
        _xwin_private_handle_input();
        ritmo_despierta();
    }
}

// Passes in a row in which the connection was still readable right after the library read it.
enum { SEGUIDAS_MAX = 4, RESPIRO_US = 2000 };

// Waits on the library's X connection and lets the library take each event as it comes (its own
// thread looks only every 10 ms); then wakes the waits, with the key already in key[] and the buffer.
static void *corre_entrada(void *)
{
    int seguidas = 0;
    while (entrada_viva) {
        pollfd p[2] = {{ConnectionNumber(_xwin.display), POLLIN, 0}, {tubo[0], POLLIN, 0}};
        if (poll(p, 2, -1) <= 0)
            continue;
        if (p[1].revents || !entrada_viva)
            break;
        if (p[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            _xwin_handle_input();   // the library finds the lost connection and ends the program
            break;
        }
        _xwin_handle_input();
        ritmo_despierta();
        // Data the library left unread (a reply another thread waits for): let that thread take it.
        if (++seguidas > SEGUIDAS_MAX) {
            timespec t = {0, RESPIRO_US * NS_US};
            nanosleep(&t, NULL);
            seguidas = 0;
        }
        pollfd q = {ConnectionNumber(_xwin.display), POLLIN, 0};
        if (poll(&q, 1, 0) == 0)
            seguidas = 0;
    }
    return NULL;
}

// Stops both threads before the library closes the display at exit.
static void para_hilos()
{
    ritmo_hilo_para();
    if (entrada_viva) {
        if (_xwin_input_handler == toma_entrada)
            _xwin_input_handler = NULL;
        entrada_viva = 0;
        char c = 0;
        ssize_t r = write(tubo[1], &c, 1);
        (void)r;
        pthread_join(hilo_entrada, NULL);
    }
}

void ritmo_entrada_arranca()
{
    if (entrada_viva || !hay_x() || pipe(tubo) != 0)
        return;
    entrada_viva = 1;
    if (pthread_create(&hilo_entrada, NULL, corre_entrada, NULL) != 0) {
        entrada_viva = 0;
        return;
    }
    if (!_xwin_input_handler)
        _xwin_input_handler = toma_entrada;
    atexit(para_hilos);
}

bool ritmo_arranca()
{
    const FuenteVblank *f = NULL;
    double randr = 0;
    if (hay_x() && abre_conexion()) {
        bool present = pon_present();
        randr = hz_randr();
        if (present)
            f = &fuente_x;
        else {
            xcb_disconnect(cx);
            cx = NULL;
        }
    }
    ritmo_entrada_arranca();
    bool hecho = ritmo_hilo_arranca(randr, f);
    if (hecho && !entrada_viva)
        atexit(para_hilos);
    return hecho;
}
