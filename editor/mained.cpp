// mained: the editor's entry: start-up, the main menu, shutdown.
#include "mained.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "../game/icono.h"

enum { HZ_PEDIDO = 75 };      // refresh rate asked of the display

extern void *allegro_icon;   // the library's X11 window icon (an XPM); no header declares it

// Stops with a message naming what is missing (stderr and a message box); exit status 1.
static void aborta(const char *que)
{
    fprintf(stderr, "KORV-EDITOR: %s\n", que);
    if (screen)
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("KORV-EDITOR: %s\n", que);
    exit(1);
}

// Sets the 8-bit 320x240 mode: full screen falls back to a window; no window ends the program.
static void pone_modo_video()
{
    request_refresh_rate(HZ_PEDIDO);
    set_color_depth(8);
    if (set_gfx_mode(autodetect_card, ED_PANTALLA_W, ED_PANTALLA_H, 0, 0) == 0)
        return;
    if (autodetect_card == GFX_AUTODETECT_FULLSCREEN) {
        fprintf(stderr, "KORV-EDITOR: no se pudo usar la pantalla completa (%s); se usa una ventana\n",
                allegro_error);
        autodetect_card = GFX_AUTODETECT_WINDOWED;
        if (set_gfx_mode(autodetect_card, ED_PANTALLA_W, ED_PANTALLA_H, 0, 0) == 0)
            return;
    }
    static char msg[256];
    snprintf(msg, sizeof msg, "no se pudo abrir la ventana de 320x240 en 256 colores (%s)", allegro_error);
    aborta(msg);
}

int main(int argc, char **argv)
{
    autodetect_card = GFX_AUTODETECT_WINDOWED;
    allegro_icon = (void *)icono_korvex;
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) {
        fprintf(stderr, "KORV-EDITOR: no hay pantalla grafica (%s). Pruebe con: xvfb-run -a ./korveditor\n",
                allegro_error);
        return 1;
    }
    install_keyboard();
    install_timer();
    lee_opciones(argc, argv);
    pone_modo_video();
    set_window_title("KORV-EDITOR 2003");
    set_close_button_callback(cierre_ventana);

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
