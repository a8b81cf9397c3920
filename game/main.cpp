// main: the game's entry: start-up, the state machine, shutdown.
#include "game/main.h"
#include "game/marcador.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shared/conjuntos.h"
#include "shared/mando.h"
#include "game/ayudas.h"
#include "game/comparte.h"
#include "game/conjunto_juego.h"
#include "game/foco.h"
#include "shared/pantalla.h"
#include "shared/ajustes.h"
#include "shared/lectura.h"
#include "shared/guardado.h"
#include "shared/idioma.h"
#include "shared/rutas.h"
#include "game/verifica.h"
#include "shared/ritmo.h"
#include "shared/icono.h"
#include "game/mp3.h"
#include "game/musica.h"
#include "game/presoverganec.h"
#include "game/repeticion_juego.h"
#include "game/utilfun.h"
#include "game/volumen.h"

extern void *allegro_icon;   // the library's X11 window icon (an XPM); no header declares it

// Stops before the first screen with a message naming what is missing; exit status 1.
static void aborta(const char *que)
{
    aborta_programa("KORVEX", que);
}

// Installs digital sound and the MIDI synthesizer; without them the game runs silent, and says
// so where sound would be shown (hay_digital, hay_midi from the drivers that started).
static void pone_sonido()
{
    reserve_voices(16, -1);
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, NULL) != 0) {
        fprintf(stderr, _("KORVEX: no se pudo iniciar el sonido (%s); se intenta sin musica MIDI\n"), allegro_error);
        if (install_sound(DIGI_AUTODETECT, MIDI_NONE, NULL) != 0) {
            fprintf(stderr, _("KORVEX: sin sonido (%s); el juego sigue en silencio\n"), allegro_error);
            install_sound(DIGI_NONE, MIDI_NONE, NULL);
        }
    }
    hay_digital = digi_driver && digi_driver->id != DIGI_NONE;
    hay_midi = midi_driver && midi_driver->id != MIDI_NONE;
}

// Creates the drawing pages: three video pages with "-tbuf" where the driver has them, else one memory page.
static void pone_paginas()
{
    if (triple_buffer) {
        if (enable_triple_buffer() == 0 && (gfx_capabilities & GFX_CAN_TRIPLE_BUFFER)) {
            page1 = create_video_bitmap(SCREEN_W, SCREEN_H);
            page2 = create_video_bitmap(SCREEN_W, SCREEN_H);
            page3 = create_video_bitmap(SCREEN_W, SCREEN_H);
        }
        if (page1 && page2 && page3) {
            // Play draws on pvirtual and each picture is presented, scaled, on a video page.
            pvirtual = create_bitmap(PANTALLA_W, PANTALLA_H);
            f11_permitido = 0;
            testtriplebuffer();
            presenta_destino = actual_page;
            active_page = lienzo_o_pantalla();
            return;
        }
        fprintf(stderr, _("KORVEX: este sistema no tiene triple buffer; se usa una sola pagina\n"));
        if (page3) destroy_bitmap(page3);
        if (page2) destroy_bitmap(page2);
        if (page1) destroy_bitmap(page1);
        page1 = page2 = page3 = NULL;
        triple_buffer = 0;
    }
    pvirtual = create_bitmap(PANTALLA_W, PANTALLA_H);
    active_page = lienzo_o_pantalla();
    actual_page = active_page;
}

// Loads "datos/font.dat"; its object 1 becomes the game's font, its object 2 (where there is one)
// the small one.
static void pone_fuente()
{
    const char *nombre = "datos/font.dat";
    if (!fuente_valida(nombre))
        aborta(_("falta o esta dañado el archivo datos/font.dat"));
    DATAFILE *d = load_datafile(nombre);
    if (!d)
        aborta(_("no se pudo cargar datos/font.dat"));
    if (d[0].type == DAT_END || d[1].type != DAT_FONT)
        aborta(_("datos/font.dat no tiene la fuente como objeto 1"));
    font2 = font;
    font = (FONT *)d[1].dat;
    font_chica = d[2].type == DAT_FONT ? (FONT *)d[2].dat : font2;
    // The help card: its heading in the game's font, its lines in the small one.
    ayuda_fuente_titulo = font;
    ayuda_fuente_texto = font2;
}

int main(int argc, char **argv)
{
    autodetect_card = GFX_AUTODETECT_WINDOWED;
    info = 0; salir = 0; midiest = 0; mensaje = 0; mp3est = 0; triple_buffer = 0;
    cambnib = EST_TITULO; mp3 = NULL;
    // The desktop's language until the settings are read (the lines about the command line).
    pon_idioma(IDIOMA_AUTO, carpeta_catalogo());

    // Bad values stop the program before any window opens.
    char error[1600];
    if (!lee_opciones_nivel(argc, argv, error, sizeof error)) {
        fprintf(stderr, _("KORVEX: %s\n"), error);
        return SALIDA_OPCION_MALA;
    }
    static char repeticion[512];
    if (!lee_opcion_repeticion(argc, argv, repeticion, sizeof repeticion, error, sizeof error)) {
        fprintf(stderr, _("KORVEX: %s\n"), error);
        return SALIDA_OPCION_MALA;
    }
    // The recording's own checks come first: a bad file plays nothing.
    static Repeticion rep;
    if (repeticion[0] && nivel_suelto[0]) {
        fprintf(stderr, _("KORVEX: -repeticion juega los niveles de la grabacion; no va con -nivel\n"));
        return SALIDA_OPCION_MALA;
    }
    // Read whole before the program may move into its data folder; its lines name it as given.
    if (repeticion[0] && !lee_repeticion(repeticion, &rep, error, sizeof error)) {
        fprintf(stderr, "%s\n", error);
        return SALIDA_OPCION_MALA;
    }
    if (nivel_suelto[0]) {
        // A file the level checker would refuse for its size or speed code is not played: the
        // checker's own line says why.
        std::vector<std::string> lineas;
        if (verifica_jugable(nivel_suelto, lineas) > 0) {
            for (const std::string &l : lineas)
                fprintf(stderr, "%s\n", l.c_str());
            return SALIDA_OPCION_MALA;
        }
        // Installed, the program moves into its data folder: the level's path must not depend on
        // the folder it was started from.
        char absoluta[PATH_MAX];
        if (realpath(nivel_suelto, absoluta) && strlen(absoluta) < sizeof nivel_suelto)
            snprintf(nivel_suelto, sizeof nivel_suelto, "%s", absoluta);
        cambnib = EST_JUEGO;
    }

    if (!lee_opciones_conjunto(argc, argv, error, sizeof error)) {
        fprintf(stderr, _("KORVEX: %s\n"), error);
        return SALIDA_OPCION_MALA;
    }

    if (!pone_disposicion("KORVEX"))
        return 1;
    // Temporaries of saves that were killed, in the folders the game writes: the ranking's, the
    // settings', the level sets'.
    limpia_temporales(instalado ? carpeta_usuario : "datos");
    limpia_carpeta_de(ruta_ajustes());
    busca_conjuntos();
    limpia_conjuntos();
    // A pack of levels is installed before any window (checked whole first); -instala ends there.
    static char linea_paquete[RUTA_MAX + 400];
    int paquete_estado = -1, paquete_conjunto = -1;
    if (paquete_pedido[0]) {
        paquete_estado = instala_archivo(paquete_pedido, &paquete_conjunto, linea_paquete, sizeof linea_paquete);
        fprintf(paquete_estado == SALIDA_HECHO ? stdout : stderr, "%s\n", linea_paquete);
        fflush(stdout);
        if (instala_y_sale)
            return paquete_estado;
    }
    if (conjunto_pedido[0]) {
        int i = busca_conjunto(conjunto_pedido);
        if (i < 0) {
            fprintf(stderr, _("KORVEX: -conjunto: no hay un conjunto \"%s\"\n"), conjunto_pedido);
            return SALIDA_OPCION_MALA;
        }
        pon_conjunto(i);
    }
    if (paquete_conjunto > 0)
        pon_conjunto(paquete_conjunto);
    allegro_icon = (void *)icono_korvex;
    if (!arranca_sistema("KORVEX", "./korvex"))
        return 1;
    // A recording plays the levels it was made on: the catalogue must hold them before the window opens (the search needs the library).
    if (repeticion[0]) {
        if (!entra_conjunto(rep, repeticion, error, sizeof error) ||
            !repeticion_cabe(rep, repeticion, error, sizeof error)) {
            fprintf(stderr, "%s\n", error);
            return SALIDA_OPCION_MALA;
        }
    }
    // Installed, the library's settings (the synthesizer's patches) are in the data folder; the
    // library's reader would wait forever on a FIFO.
    char motivo[MOTIVO_MAX];
    if (instalado && es_regular("allegro.cfg", motivo, sizeof motivo))
        set_config_file("allegro.cfg");
    else if (instalado)
        fprintf(stderr, _("KORVEX: allegro.cfg: %s\n"), motivo);
    pide_fin = fin_pedido;
    pone_fin_limpio("KORVEX");
    install_keyboard();
    install_timer();
    vigila_mudo();
    ajustes_por_defecto();
    lee_ajustes(ruta_ajustes());
    pon_idioma(aj_idioma, carpeta_catalogo());
    if (aj_completa)
        autodetect_card = GFX_AUTODETECT_FULLSCREEN;
    escala_pedida = aj_escala;   // ESCALA_AUTO is 0, the presenter's "chosen from the desktop"
    aplica_pantalla = aplica_ajustes_pantalla;
    tras_f11 = f11_hecho;
    lee_opciones(argc, argv);
    abre_pantalla(&autodetect_card, "KORVEX", "KORVEX 2003");
    // The logic clock follows the display: one tick per refresh where its vblank can be followed,
    // else the timer at the rate found (75 Hz where nothing tells). Where RandR cannot tell, the
    // rate is measured over a few refreshes while the data load.
    ritmo_al_tick = avanza_tick;
    bool ritmo_propio = ritmo_arranca();
    pon_cierre(close_hook);
    vigila_foco();
    ayuda_reloj = &tick;
    ayuda_al_cerrar = olvida_mudo;
    mando_instala("KORVEX");
    pone_sonido();
    install_int(fps_proc, 1000);
    install_int(mp3actualiza, 250);

    pone_paginas();
    scroll = create_bitmap(2 * PANTALLA_W, CAMPO_H);
    proximo_bloque = create_bitmap(BLOQUE_W, CAMPO_H);
    if (!reserva_enemigos() || !scroll || !proximo_bloque || !pvirtual)
        aborta(_("sin memoria para las paginas de dibujo"));
    clear_bitmap(scroll);
    clear_bitmap(proximo_bloque);
    cuenta_jugables();
    pone_fuente();
    if (!CargarBMP() || !carga_sonidos()) {
        static char msg[640];
        snprintf(msg, sizeof msg, _("falta o esta dañado el archivo %s"), carga_fallo);
        aborta(msg);
    }
    bg = -1;

    buscaarchmp3();
    if (musicas == 0) {
        buscaarchm();
        musicmp3 = 0;
    } else {
        musicmp3 = 1;
    }
    armalistamusica();

    max_fps = ritmo_elegido().max_fps;
    if (!ritmo_propio)
        install_int_ex(ticks, BPS_TO_TIMER(max_fps));
    if (info) {
        pantalla_info();
        delay(8.0f);
    }
    // A pack opened from a file manager: the notice, then the title with its set chosen.
    if (paquete_estado >= 0)
        aviso_paquete(paquete_estado == SALIDA_HECHO, linea_paquete);
    if (repeticion[0]) {
        mira_repeticion(rep);
    } else {
        // The online tables: runs kept from a send that failed go again, in the background.
        marcador_arranca();
        cambia_funcion();
        marcador_cierra();
    }

    DestruyeBMP();
    DestruyeSonidos();
    if (triple_buffer) {
        destroy_bitmap(page1);
        destroy_bitmap(page2);
        destroy_bitmap(page3);
    }
    if (pvirtual)
        destroy_bitmap(pvirtual);
    destroy_bitmap(scroll);
    destroy_bitmap(proximo_bloque);
    free(enemi);
    enemi = NULL;
    clear_keybuf();
    libera_paginas();
    return senal_fin ? 128 + senal_fin : 0;
}
END_OF_MAIN()
