// Start-up time of a program, measured from outside on an X display: starts it, then polls every
// millisecond for its window (by title) and for the first pixel that is not black in it. Prints
// the milliseconds from the launch to the window and to the first picture, then ends the program.
//
//   primera_imagen TITLE FOLDER PROGRAM [ARGS...]   (runs PROGRAM in FOLDER; DISPLAY must be set)
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

enum { ANCHO = 320, ALTO = 240, LIMITE_MS = 10000, SONDEO_NS = 1000000 };

double ms_desde(const timespec &t0)
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (t.tv_sec - t0.tv_sec) * 1e3 + (t.tv_nsec - t0.tv_nsec) / 1e6;
}

// Windows that vanish or are not yet viewable give errors: they only mean "not yet".
int sin_errores(Display *, XErrorEvent *)
{
    return 0;
}

// The window with the given title under w (w included), or 0.
Window busca(Display *d, Window w, const char *titulo)
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
        r = busca(d, hijos[i], titulo);
    if (hijos)
        XFree(hijos);
    return r;
}

// True when some pixel of the window's 320x240 is not black.
bool hay_imagen(Display *d, Window w)
{
    XImage *im = XGetImage(d, w, 0, 0, ANCHO, ALTO, AllPlanes, ZPixmap);
    if (!im)
        return false;
    bool algo = false;
    for (int y = 0; y < ALTO && !algo; y++)
        for (int x = 0; x < ANCHO && !algo; x++)
            algo = XGetPixel(im, x, y) != 0;
    XDestroyImage(im);
    return algo;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        fprintf(stderr, "uso: primera_imagen TITULO CARPETA PROGRAMA [ARGUMENTOS...]\n");
        return 2;
    }
    Display *d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "primera_imagen: no hay DISPLAY\n");
        return 2;
    }
    XSetErrorHandler(sin_errores);
    timespec t0;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    pid_t hijo = fork();
    if (hijo == 0) {
        int nulo = open("/dev/null", O_WRONLY);
        dup2(nulo, 1);
        dup2(nulo, 2);
        if (chdir(argv[2]) != 0)
            _exit(127);
        execv(argv[3], argv + 3);
        _exit(127);
    }
    Window w = 0;
    double t_ventana = -1, t_imagen = -1;
    while (ms_desde(t0) < LIMITE_MS) {
        if (!w) {
            w = busca(d, DefaultRootWindow(d), argv[1]);
            if (w)
                t_ventana = ms_desde(t0);
        }
        if (w && hay_imagen(d, w)) {
            t_imagen = ms_desde(t0);
            break;
        }
        if (waitpid(hijo, NULL, WNOHANG) == hijo) {
            hijo = 0;
            break;
        }
        timespec p = {0, SONDEO_NS};
        nanosleep(&p, NULL);
    }
    if (hijo) {
        kill(hijo, SIGTERM);
        for (int i = 0; i < 200 && waitpid(hijo, NULL, WNOHANG) != hijo; i++)
            usleep(10000);
        kill(hijo, SIGKILL);
        waitpid(hijo, NULL, 0);
    }
    XCloseDisplay(d);
    if (t_imagen < 0) {
        fprintf(stderr, "primera_imagen: no aparecio ninguna imagen de \"%s\"\n", argv[1]);
        return 1;
    }
    printf("ventana %.1f ms  imagen %.1f ms\n", t_ventana, t_imagen);
    return 0;
}
