// mained: play from here (J): the open map in a temporary file, the game run on it as a child
// process from the cursor's column, and the editor's window and keyboard back afterwards.
#include "mained.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// The game's executable beside the editor's own (found through /proc/self/exe); false when
// there is none.
static bool ruta_juego(std::string &out)
{
    char yo[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", yo, sizeof yo - 1);
    if (n <= 0)
        return false;
    yo[n] = 0;
    char *barra = strrchr(yo, '/');
    if (!barra)
        return false;
    barra[1] = 0;
    out = std::string(yo) + "korvex";
    return access(out.c_str(), X_OK) == 0;
}

bool guarda_temporal(char *ruta, int tam)
{
    if (ArmaEnemigos(enemi2) > ENE_MAX)
        return false;
    const char *dir = getenv("TMPDIR");
    if (!dir || !*dir)
        dir = "/tmp";
    snprintf(ruta, tam, "%s/korvprueba-XXXXXX", dir);
    int fd = mkstemp(ruta);
    if (fd < 0) {
        fprintf(stderr, "KORV-EDITOR: %s: no se pudo crear el nivel de prueba (%s)\n", ruta, strerror(errno));
        return false;
    }
    close(fd);
    // The open map's file and modifi stay as they are: only this copy is written.
    if (GuardaMapa(ruta))
        return true;
    unlink(ruta);
    return false;
}

int columna_cursor()
{
    return posx2 * MAPA_COLS + posx + a;
}

// Gives the window and the keyboard up for the child, so that its window is the only one.
static void suelta_pantalla()
{
    if (mouse_instalado)
        remove_mouse();
    remove_keyboard();
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
}

// Opens the editor's window again as it was at start-up, with its keyboard and mouse. Should
// the window not come back, the open map goes to archivo + ".rescate" before the editor stops.
static void recupera_pantalla()
{
    set_color_depth(8);
    if (set_gfx_mode(autodetect_card, ED_PANTALLA_W, ED_PANTALLA_H, 0, 0) != 0) {
        char rescate[sizeof archivo + 16];
        snprintf(rescate, sizeof rescate, "%s.rescate", archivo);
        if (modifi && ArmaEnemigos(enemi2) <= ENE_MAX && GuardaMapa(rescate))
            fprintf(stderr, "KORV-EDITOR: sin ventana tras el juego; el mapa sin guardar esta en %s\n", rescate);
        abre_ventana(&autodetect_card, "KORV-EDITOR");   // the windowed fallback, or a stop with a message
    }
    set_window_title("KORV-EDITOR 2003");
    set_close_button_callback(cierre_ventana);
    pon_teclado();
    set_palette(the_palette);
    active_page = screen;
    clear(active_page);
    if (mouse_instalado) {
        pon_raton();
        if (mouse_instalado && raton_en_edicion)
            show_mouse(screen);
    }
}

// Runs the game on the level file from column col and waits for it; its exit status or -1.
static int corre_juego(const std::string &juego, const char *nivel, int col)
{
    char desde[16];
    snprintf(desde, sizeof desde, "%d", col);
    const char *args[8];
    int n = 0;
    args[n++] = juego.c_str();
    args[n++] = "-nivel";
    args[n++] = nivel;
    args[n++] = "-desde";
    args[n++] = desde;
    if (autodetect_card == GFX_AUTODETECT_FULLSCREEN)
        args[n++] = "-full";
    args[n] = NULL;
    pid_t pid;
    if (posix_spawn(&pid, juego.c_str(), NULL, NULL, (char *const *)args, environ) != 0)
        return -1;
    int st = 0;
    while (waitpid(pid, &st, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

void juega_desde_aqui()
{
    std::string juego;
    if (!ruta_juego(juego)) {
        fprintf(stderr, "KORV-EDITOR: no esta el juego (korvex) junto al editor\n");
        snprintf(aviso, sizeof aviso, "NO ESTA EL JUEGO (korvex)");
        return;
    }
    char nivel[PATH_MAX];
    if (!guarda_temporal(nivel, sizeof nivel)) {
        snprintf(aviso, sizeof aviso, "NO SE PUDO PREPARAR LA PRUEBA");
        return;
    }
    suelta_pantalla();
    int rc = corre_juego(juego, nivel, columna_cursor());
    unlink(nivel);
    recupera_pantalla();
    if (rc != 0) {
        fprintf(stderr, "KORV-EDITOR: el juego termino con estado %d\n", rc);
        snprintf(aviso, sizeof aviso, "EL JUEGO TERMINO CON ERROR");
    }
}
