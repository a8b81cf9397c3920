// pantalla: the end of the program when the connection to the X server is lost.
#include <X11/Xlib.h>
#include <cstring>
#include <unistd.h>

#include "pantalla.h"

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
