// mained: the editor's entry: start-up, the main menu, shutdown.
#include "editor/mained.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shared/ajustes.h"
#include "shared/conjuntos.h"
#include "shared/guardado.h"
#include "shared/idioma.h"
#include "game/comparte.h"
#include "game/verifica.h"

#include "shared/icono.h"
#include "shared/mando.h"
#include "shared/pantalla.h"
#include "shared/ritmo.h"
#include "shared/rutas.h"

extern void *allegro_icon;   // the library's X11 window icon (an XPM); no header declares it

// Stops before the first screen with a message naming what is missing; exit status 1.
static void aborta(const char *que)
{
    aborta_programa("KORV-EDITOR", que);
}

// After F11: the full-screen setting (shared with the game) becomes the mode F11 gave, and a
// play from here (J) opens the game in that mode.
static void f11_editor()
{
    autodetect_card = completa ? GFX_AUTODETECT_FULLSCREEN : GFX_AUTODETECT_WINDOWED;
    if (aj_completa == completa)
        return;
    aj_completa = completa;
    guarda_ajustes(ruta_ajustes());
}

int main(int argc, char **argv)
{
    // The desktop's language until the settings are read (the checker's and the command line's lines).
    pon_idioma(IDIOMA_AUTO, carpeta_catalogo());
    // The checker needs no window, sound or X server: it runs before the library starts.
    if (argc > 1 && strcmp(argv[1], "-verifica") == 0)
        return verifica_programa(argc - 2, argv + 2);
    autodetect_card = GFX_AUTODETECT_WINDOWED;
    static char exporta_conjunto_texto[RUTA_MAX], exporta_archivo[RUTA_MAX];
    char error[RUTA_MAX + 200];
    if (!lee_opciones_conjunto(argc, argv, exporta_conjunto_texto, exporta_archivo, RUTA_MAX, error, sizeof error)) {
        fprintf(stderr, _("KORV-EDITOR: %s\n"), error);
        return SALIDA_RECHAZO;
    }
    if (!pone_disposicion("KORV-EDITOR"))
        return 1;
    // The export needs no window, sound or X server: the library without a display lists the levels.
    if (exporta_conjunto_texto[0]) {
        if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
            return 1;
        return exporta_programa(exporta_conjunto_texto, exporta_archivo);
    }
    // Temporaries of saves that were killed, in the folders where the editor saves levels.
    char niveles[RUTA_MAX];
    carpeta_niveles_usuario(niveles, sizeof niveles);
    limpia_temporales(niveles);
    busca_conjuntos();
    limpia_conjuntos();
    // Out of the box the level maker's own set is the one in edit (made on the first start).
    pon_conjunto(conjunto_propio());
    allegro_icon = (void *)icono_korvex;
    if (!arranca_sistema("KORV-EDITOR", "./korveditor"))
        return 1;
    pide_fin = fin_editor;
    pone_fin_limpio("KORV-EDITOR");
    pon_teclado();
    install_timer();
    // The screen settings of the game's options screen; the command line wins.
    ajustes_por_defecto();
    lee_ajustes(ruta_ajustes());
    pon_idioma(aj_idioma, carpeta_catalogo());
    if (aj_completa)
        autodetect_card = GFX_AUTODETECT_FULLSCREEN;
    escala_pedida = aj_escala;
    lee_opciones(argc, argv);
    abre_pantalla(&autodetect_card, "KORV-EDITOR", "KORV-EDITOR 2003");
    tras_f11 = f11_editor;
    pon_cierre(cierre_ventana);
    mando_instala("KORV-EDITOR");
    pon_raton();   // without a mouse the keys do everything
    ritmo_entrada_arranca();   // keys and the mouse wake the waits as they come

    scroll = create_bitmap(2 * ED_PANTALLA_W, ED_PANTALLA_H);
    active_page = lienzo_o_pantalla();
    if (!scroll || !reserva_enemigos())
        aborta(_("sin memoria para la vista del mapa"));
    clear(scroll);
    if (!CargarBMP()) {
        static char msg[640];
        snprintf(msg, sizeof msg, _("falta o esta dañado el archivo %s"), carga_fallo);
        aborta(msg);
    }
    bg = 0;
    multi = 1;
    set_palette(the_palette);

    korveditor();

    DestruyeBMP();
    clear_keybuf();
    libera_paginas();
    return senal_fin ? 128 + senal_fin : 0;
}
END_OF_MAIN()
