// mained: the editor's entry: start-up, the main menu, shutdown.
#include "mained.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) {
        fprintf(stderr, "KORV-EDITOR: no hay pantalla grafica (%s)\n", allegro_error);
        return 1;
    }
    install_keyboard();
    set_color_depth(8);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 320, 240, 0, 0) != 0)
        return 1;
    set_window_title("KORV-EDITOR 2003");
    korveditor();
    return 0;
}
END_OF_MAIN()
