/* cierra: presses a window's close button as a window manager would, by sending it the
 * WM_DELETE_WINDOW message of the WM_PROTOCOLS protocol.
 *   e2e_cierra WINDOW_ID      (decimal or 0x hex; DISPLAY must be set) */
#include <stdio.h>
#include <stdlib.h>
#include <X11/Xlib.h>

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "uso: e2e_cierra VENTANA\n");
        return 2;
    }
    Display *d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "e2e_cierra: no se pudo abrir la pantalla\n");
        return 2;
    }
    Window w = (Window)strtoul(argv[1], NULL, 0);
    XEvent e = {0};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.format = 32;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
    e.xclient.data.l[1] = CurrentTime;
    Status ok = XSendEvent(d, w, False, NoEventMask, &e);
    XSync(d, False);
    XCloseDisplay(d);
    return ok ? 0 : 1;
}
