// mained: play from here (J): the open map in a temporary file, the game run on it as a child
// process from the cursor's column, and the editor's window and keyboard back afterwards.
#include "editor/mained.h"

#include "shared/ajustes.h"
#include "shared/pantalla.h"
#include "shared/idioma.h"

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
        fprintf(stderr, _("KORV-EDITOR: %s: no se pudo crear el nivel de prueba (%s)\n"), ruta, strerror(errno));
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
    if (!reabre_pantalla()) {
        char rescate[sizeof archivo + 16];
        snprintf(rescate, sizeof rescate, "%s.rescate", archivo);
        if (modifi && ArmaEnemigos(enemi2) <= ENE_MAX && GuardaMapa(rescate))
            fprintf(stderr, _("KORV-EDITOR: sin ventana tras el juego; el mapa sin guardar esta en %s\n"), rescate);
        autodetect_card = GFX_AUTODETECT_WINDOWED;   // a window, or a stop with a message
        abre_pantalla(&autodetect_card, "KORV-EDITOR", "KORV-EDITOR 2003");
    }
    pon_teclado();
    set_palette(the_palette);
    active_page = lienzo_o_pantalla();
    clear(active_page);
    if (mouse_instalado) {
        pon_raton();
        if (mouse_instalado && raton_en_edicion)
            show_mouse(screen);
    }
}

int dificultad_j = -1;

int dificultad_dicha(const char *salida)
{
    int d = -1;
    const size_t n = sizeof LINEA_DIFICULTAD - 1;
    for (const char *p = salida; p && *p; p = strchr(p, '\n') ? strchr(p, '\n') + 1 : NULL)
        if (strncmp(p, LINEA_DIFICULTAD, n) == 0 && p[n] >= '0' && p[n] <= '2' && (p[n + 1] == '\n' || !p[n + 1]))
            d = p[n] - '0';
    return d;
}

// Reads everything the child writes on fd until it closes it.
static std::string lee_todo(int fd)
{
    std::string s;
    char buf[512];
    ssize_t r;
    while ((r = read(fd, buf, sizeof buf)) != 0) {
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            break;
        s.append(buf, (size_t)r);
    }
    return s;
}

// Runs the game on the level file from column col (at the difficulty chosen in an earlier try)
// and waits for it; its exit status or -1. The difficulty it says it was given is kept.
static int corre_juego(const std::string &juego, const char *nivel, int col)
{
    char desde[16], dificultad[4];
    snprintf(desde, sizeof desde, "%d", col);
    snprintf(dificultad, sizeof dificultad, "%d", dificultad_j);
    const char *args[10];
    int n = 0;
    args[n++] = juego.c_str();
    args[n++] = "-nivel";
    args[n++] = nivel;
    args[n++] = "-desde";
    args[n++] = desde;
    if (dificultad_j >= 0) {
        args[n++] = "-dificultad";
        args[n++] = dificultad;
    }
    if (autodetect_card == GFX_AUTODETECT_FULLSCREEN)
        args[n++] = "-full";
    args[n] = NULL;
    // The game's stdout comes through a pipe: it names the difficulty chosen in its menu.
    int tubo[2];
    if (pipe(tubo) != 0)
        return -1;
    posix_spawn_file_actions_t acc;
    posix_spawn_file_actions_init(&acc);
    posix_spawn_file_actions_adddup2(&acc, tubo[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&acc, tubo[0]);
    posix_spawn_file_actions_addclose(&acc, tubo[1]);
    pid_t pid;
    int rc = posix_spawn(&pid, juego.c_str(), &acc, NULL, (char *const *)args, environ);
    posix_spawn_file_actions_destroy(&acc);
    close(tubo[1]);
    if (rc != 0) {
        close(tubo[0]);
        return -1;
    }
    std::string salida = lee_todo(tubo[0]);
    close(tubo[0]);
    int d = dificultad_dicha(salida.c_str());
    if (d >= 0)
        dificultad_j = d;
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
        fprintf(stderr, _("KORV-EDITOR: no esta el juego (korvex) junto al editor\n"));
        snprintf(aviso, sizeof aviso, _("NO ESTA EL JUEGO (korvex)"));
        return;
    }
    char nivel[PATH_MAX];
    if (!guarda_temporal(nivel, sizeof nivel)) {
        snprintf(aviso, sizeof aviso, _("NO SE PUDO PREPARAR LA PRUEBA"));
        return;
    }
    suelta_pantalla();
    int rc = corre_juego(juego, nivel, columna_cursor());
    unlink(nivel);
    recupera_pantalla();
    if (rc != 0) {
        fprintf(stderr, _("KORV-EDITOR: el juego termino con estado %d\n"), rc);
        snprintf(aviso, sizeof aviso, _("EL JUEGO TERMINO CON ERROR"));
    }
}
