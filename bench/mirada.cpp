// Watches windows of another program from outside, as a player's eye would: when each picture
// reaches the X server (X Damage on the window, stamped with CLOCK_MONOTONIC as soon as the event
// is read on a connection of its own) and when each refresh of the display happens (X Present
// vblank notifications on the root window, their UST), over SECONDS; then, per window, the new
// pictures of every refresh (refrescos.h) and one line of key=value figures:
//
//   nombre=TITLE imagenes_s= refrescos_s= repetidas_s= perdidas_s= fallos_s= intervalo_ms=
//   intervalo_sd_ms= refresco_ms= refresco_sd_ms= imagenes= refrescos= segundos= huecos= retraso_ms=
//
// fallos_s is (repeats + drops) per second; huecos the refreshes whose notification never came
// (filled in between their neighbours); retraso_ms the median of the client's stamp minus the
// server's own timestamp of the damage (its millisecond clock): how late the events were read.
//
//   mirada [-s SECONDS] [-m MARGIN_MS] [-v FILE] WINDOW...
//     WINDOW     a title (exact) or an id (0x...); waits up to 10 s for each to appear
//     -s         how long to watch (default 20)
//     -m         picture to the refresh that can show it, at least (default 2 ms)
//     -v FILE    also writes every event: "v MSC UST" and "d WINDOW TIME SERVER_MS X Y W H MORE"
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <X11/Xlib-xcb.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "bench/refrescos.h"
#include "bench/vblank.h"
#include "bench/ventana_x.h"

namespace {

enum { MAX_VENTANAS = 4, ESPERA_VENTANA_MS = 10000, NOMBRE_MAX = 64 };

// One watched window: its damage and every damage report with its stamps.
struct Vigilada {
    Window w;
    Damage dano;
    char nombre[NOMBRE_MAX];   // the title as given, blanks made '_'
    std::vector<Dano> danos;
    std::vector<int32_t> retrasos_ms;   // client stamp minus server timestamp, per report
};

Vigilada vigiladas[MAX_VENTANAS];
int nvigiladas;
std::vector<int64_t> refrescos;   // UST of every refresh seen, µs
std::vector<uint64_t> mscs;       // and its counter
FILE *volcado;                    // -v: every event, or NULL

// Takes every damage report queued on d, stamped t.
void lee_danos(Display *d, int base_dano, int64_t t)
{
    while (XEventsQueued(d, QueuedAfterReading) > 0) {
        XEvent ev;
        XNextEvent(d, &ev);
        if (ev.type != base_dano + XDamageNotify)
            continue;
        XDamageNotifyEvent *de = (XDamageNotifyEvent *)&ev;
        for (int i = 0; i < nvigiladas; i++) {
            Vigilada &v = vigiladas[i];
            if (v.w != de->drawable)
                continue;
            Dano n = {t, de->area.x, de->area.y, de->area.width, de->area.height, (bool)de->more};
            v.danos.push_back(n);
            v.retrasos_ms.push_back((int32_t)((uint32_t)(t / 1000) - (uint32_t)de->timestamp));
            if (volcado)
                fprintf(volcado, "d %d %lld %lu %d %d %d %d %d\n", i, (long long)t, de->timestamp, n.x, n.y, n.w,
                        n.h, n.mas);
        }
    }
}

// Takes every vblank completion queued on the stream's connection. The first one answers the
// question "which refresh is it now" at once: its UST is the moment of asking, not a refresh.
void lee_refrescos(Vblank *vb)
{
    static bool primera = true;
    xcb_generic_event_t *ev;
    bool pedido = false;
    while ((ev = xcb_poll_for_event(vb->c))) {
        uint64_t msc, ust;
        bool nueva = vblank_evento(vb, ev, &msc, &ust);
        pedido = pedido || nueva;   // the next refreshes were asked for
        if (nueva && primera) {
            primera = false;
        } else if (nueva) {
            refrescos.push_back((int64_t)ust);
            mscs.push_back(msc);
            if (volcado)
                fprintf(volcado, "v %llu %llu\n", (unsigned long long)msc, (unsigned long long)ust);
        }
        free(ev);
    }
    if (pedido)
        xcb_flush(vb->c);
}

// The refreshes with every missing counter filled in between its neighbours; the number filled.
int completa_refrescos(std::vector<int64_t> *v)
{
    int huecos = 0;
    v->clear();
    for (size_t i = 0; i < refrescos.size(); i++) {
        if (i > 0) {
            uint64_t falta = mscs[i] - mscs[i - 1];
            for (uint64_t k = 1; k < falta; k++) {
                v->push_back(refrescos[i - 1] + (int64_t)((refrescos[i] - refrescos[i - 1]) * k / falta));
                huecos++;
            }
        }
        v->push_back(refrescos[i]);
    }
    return huecos;
}

// The median of a list (it is sorted), 0 when empty.
int32_t mediana(std::vector<int32_t> l)
{
    if (l.empty())
        return 0;
    std::sort(l.begin(), l.end());
    return l[l.size() / 2];
}

// One line of figures for a watched window.
void informa(Vigilada &v, const std::vector<int64_t> &ref, int huecos, int64_t margen)
{
    std::vector<int64_t> imagenes;
    agrupa_imagenes(v.danos.data(), (int)v.danos.size(), &imagenes);
    Fluidez f = mide_fluidez(ref.data(), (int)ref.size(), imagenes.data(), (int)imagenes.size(), margen);
    printf("nombre=%s imagenes_s=%.2f refrescos_s=%.2f repetidas_s=%.2f perdidas_s=%.2f fallos_s=%.2f "
           "intervalo_ms=%.2f intervalo_sd_ms=%.2f refresco_ms=%.2f refresco_sd_ms=%.2f imagenes=%d refrescos=%d "
           "segundos=%.2f huecos=%d retraso_ms=%d\n",
           v.nombre, f.imagenes_s, f.refrescos_s, f.repetidas / (f.segundos > 0 ? f.segundos : 1),
           f.perdidas / (f.segundos > 0 ? f.segundos : 1), f.fallos_s, f.intervalo_ms, f.intervalo_sd_ms,
           f.refresco_ms, f.refresco_sd_ms, f.imagenes, f.refrescos, f.segundos, huecos, mediana(v.retrasos_ms));
}

void uso()
{
    fprintf(stderr, "uso: mirada [-s SEGUNDOS] [-m MARGEN_MS] [-v ARCHIVO] VENTANA...\n");
    exit(2);
}

}  // namespace

int main(int argc, char **argv)
{
    double segundos = 20, margen_ms = MARGEN_US / 1000.0;
    const char *nombres[MAX_VENTANAS];
    int n = 0;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "-s") == 0 && i + 1 < argc)
            segundos = atof(argv[++i]);
        else if (strcmp(argv[i], "-m") == 0 && i + 1 < argc)
            margen_ms = atof(argv[++i]);
        else if (strcmp(argv[i], "-v") == 0 && i + 1 < argc) {
            if (!(volcado = fopen(argv[++i], "w"))) {
                perror(argv[i]);
                return 2;
            }
        } else if (argv[i][0] == '-' || n == MAX_VENTANAS)
            uso();
        else
            nombres[n++] = argv[i];
    }
    if (n == 0 || segundos <= 0)
        uso();
    Display *d = XOpenDisplay(NULL);
    Display *dv = XOpenDisplay(NULL);
    if (!d || !dv) {
        fprintf(stderr, "mirada: no hay DISPLAY\n");
        return 2;
    }
    ignora_errores_x();
    int base_dano, base_error;
    if (!XDamageQueryExtension(d, &base_dano, &base_error)) {
        fprintf(stderr, "mirada: el servidor X no tiene la extension DAMAGE\n");
        return 2;
    }
    for (nvigiladas = 0; nvigiladas < n; nvigiladas++) {
        Vigilada &v = vigiladas[nvigiladas];
        v.w = busca_ventana(d, nombres[nvigiladas], ESPERA_VENTANA_MS);
        if (!v.w) {
            fprintf(stderr, "mirada: no aparece la ventana \"%s\"\n", nombres[nvigiladas]);
            return 1;
        }
        snprintf(v.nombre, sizeof v.nombre, "%s", nombres[nvigiladas]);
        for (char *p = v.nombre; *p; p++)
            if (*p == ' ' || *p == '=')
                *p = '_';
        v.dano = XDamageCreate(d, v.w, XDamageReportRawRectangles);
    }
    XSync(d, False);

    xcb_connection_t *c = XGetXCBConnection(dv);
    XSetEventQueueOwner(dv, XCBOwnsEventQueue);
    Vblank vb;
    if (!vblank_abre(&vb, c, DefaultRootWindow(dv), true)) {
        fprintf(stderr, "mirada: el servidor X no tiene la extension Present\n");
        return 2;
    }
    int64_t fin = ahora_us() + (int64_t)(segundos * 1e6);
    pollfd fds[2] = {{ConnectionNumber(d), POLLIN, 0}, {xcb_get_file_descriptor(c), POLLIN, 0}};
    for (int64_t t = ahora_us(); t < fin; t = ahora_us()) {
        lee_danos(d, base_dano, t);
        lee_refrescos(&vb);
        if (xcb_connection_has_error(c)) {
            fprintf(stderr, "mirada: se perdio la conexion con el servidor X\n");
            return 1;
        }
        poll(fds, 2, (int)((fin - t) / 1000) + 1);
    }
    if (volcado)
        fclose(volcado);

    std::vector<int64_t> ref;
    int huecos = completa_refrescos(&ref);
    if (ref.size() < 2) {
        fprintf(stderr, "mirada: no llegaron avisos de refresco (vblank) en %.1f s\n", segundos);
        return 1;
    }
    for (int i = 0; i < nvigiladas; i++)
        informa(vigiladas[i], ref, huecos, (int64_t)(margen_ms * 1000));
    return 0;
}
