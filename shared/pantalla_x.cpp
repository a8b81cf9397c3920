// pantalla: the end of the program when the connection to the X server is lost.
#include "pantalla.h"

#include <X11/Xlib.h>
#include <cstring>
#include <dlfcn.h>
#include <sys/select.h>
#include <unistd.h>


// The program name for the message of a lost display.
static const char *nombre_x = "";

// Xlib calls this when the server is gone; returning would let Xlib call exit(), whose library
// shutdown waits forever on a lock held by the thread that lost the connection.
static int al_perder_x(Display *)
{
    static const char resto[] = ": se perdio la conexion con la pantalla; fin\n";
    ssize_t r = write(2, nombre_x, strlen(nombre_x));
    r = write(2, resto, sizeof resto - 1);
    (void)r;
    _exit(senal_fin ? 128 + senal_fin : 1);
}

void pone_fin_x(const char *programa)
{
    nombre_x = programa;
    XSetIOErrorHandler(al_perder_x);
}

// The library's background thread polls the X connection with a plain 1 ms select, a thousand
// wake-ups a second while nothing happens. Such a sleep is stretched to 10 ms here: input then
// waits at most 10 ms, which no one sees. Every other select goes through unchanged.
enum { SONDEO_US = 1000, SONDEO_LARGO_US = 10000 };

extern "C" int select(int n, fd_set *r, fd_set *w, fd_set *e, struct timeval *t)
{
    typedef int (*Select)(int, fd_set *, fd_set *, fd_set *, struct timeval *);
    static Select real = (Select)dlsym(RTLD_NEXT, "select");
    if (n == 0 && !r && !w && !e && t && t->tv_sec == 0 && t->tv_usec == SONDEO_US)
        t->tv_usec = SONDEO_LARGO_US;
    return real(n, r, w, e, t);
}
