// mained: the editor's entry: start-up, the main menu, shutdown.
#include "mained.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../shared/verifica.h"

#include "../game/icono.h"
#include "../shared/rutas.h"

extern void *allegro_icon;   // the library's X11 window icon (an XPM); no header declares it

// Stops before the first screen with a message naming what is missing; exit status 1.
static void aborta(const char *que)
{
    aborta_programa("KORV-EDITOR", que);
}

int main(int argc, char **argv)
{
    // The checker needs no window, sound or X server: it runs before the library starts.
    if (argc > 1 && strcmp(argv[1], "-verifica") == 0)
        return verifica_programa(argc - 2, argv + 2);
    autodetect_card = GFX_AUTODETECT_WINDOWED;
    if (!pone_disposicion("KORV-EDITOR"))
        return 1;
    allegro_icon = (void *)icono_korvex;
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) {
        fprintf(stderr, "KORV-EDITOR: no hay pantalla grafica (%s). Pruebe con: xvfb-run -a ./korveditor\n",
                allegro_error);
        return 1;
    }
    pon_teclado();
    install_timer();
    lee_opciones(argc, argv);
    abre_ventana(&autodetect_card, "KORV-EDITOR");
    set_window_title("KORV-EDITOR 2003");
    set_close_button_callback(cierre_ventana);
    pon_raton();   // without a mouse the keys do everything

    scroll = create_bitmap(2 * SCREEN_W, ED_PANTALLA_H);
    active_page = screen;
    if (!scroll || !reserva_enemigos())
        aborta("sin memoria para la vista del mapa");
    clear(scroll);
    if (!CargarBMP()) {
        static char msg[640];
        snprintf(msg, sizeof msg, "falta o esta dañado el archivo %s", carga_fallo);
        aborta(msg);
    }
    bg = 0;
    multi = 1;
    set_palette(the_palette);

    korveditor();

    DestruyeBMP();
    clear_keybuf();
    return 0;
}
END_OF_MAIN()
