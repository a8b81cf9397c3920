// korvex-marcador: the server of online score tables, every entry proven by replaying its
// recording with the game's logic. Options: -direccion ADDR, -puerto N, -base FILE, -limite N
// (runs one address may send a minute); TERM, INT or HUP end it cleanly.
#include <allegro.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>

#include "marcador/base.h"
#include "marcador/conocidos.h"
#include "marcador/juez.h"
#include "marcador/servidor.h"
#include "shared/idioma.h"
#include "shared/rutas.h"

static const char PROGRAMA[] = "korvex-marcador";
static const char BASE_NOMBRE[] = "marcador.db";
static const char DIRECCION_DEFECTO[] = "127.0.0.1";
enum { SALIDA_BIEN = 0, SALIDA_FALLO = 1, SALIDA_USO = 2, PUERTO_MAX = 65535, LIMITE_MAX = 1000000 };

// The options read.
struct Opciones {
    std::string direccion = DIRECCION_DEFECTO;
    int puerto = PUERTO_DEFECTO;
    std::string base;   // "" : the default place
    int limite = LIMITE_DEFECTO;
};

// An integer option's value within bounds; false when it is not one.
static bool entero(const char *t, int min, int max, int *v)
{
    char *fin;
    errno = 0;
    long n = strtol(t, &fin, 10);
    if (errno || fin == t || *fin || n < min || n > max)
        return false;
    *v = (int)n;
    return true;
}

// Reads argv; false with a stderr line on a bad one.
static bool lee_opciones(int argc, char **argv, Opciones *o)
{
    for (int i = 1; i < argc; i++) {
        const char *op = argv[i], *val = i + 1 < argc ? argv[i + 1] : NULL;
        bool bien = val != NULL;
        if (bien && !strcmp(argv[i], "-direccion"))
            o->direccion = val;
        else if (bien && !strcmp(argv[i], "-puerto"))
            bien = entero(val, 0, PUERTO_MAX, &o->puerto);
        else if (bien && !strcmp(argv[i], "-base"))
            o->base = val;
        else if (bien && !strcmp(argv[i], "-limite"))
            bien = entero(val, 1, LIMITE_MAX, &o->limite);
        else
            bien = false;
        if (!bien || !*val) {
            fprintf(stderr, _("%s: opcion mala: %s %s\n"), PROGRAMA, op, val ? val : "");
            fprintf(stderr, _("Uso: %s [-direccion DIR] [-puerto N] [-base ARCHIVO] [-limite N]\n"), PROGRAMA);
            return false;
        }
        i++;
    }
    return true;
}

// The database's path: the one given (made absolute before the program moves to its data), or
// marcador.db beside the program, or installed in the user's data folder; "" when there is none.
static std::string ruta_base(const std::string &dada, const char *dir_exe)
{
    char abs[RUTA_MAX];
    if (!dada.empty())
        return ruta_absoluta(dada.c_str(), abs, sizeof abs) ? abs : "";
    if (!instalado)
        return std::string(dir_exe) + "/" + BASE_NOMBRE;
    return asegura_carpeta_usuario() ? std::string(carpeta_usuario) + "/" + BASE_NOMBRE : "";
}

int main(int argc, char **argv)
{
    if (argc == 2 && !strcmp(argv[1], JUEZ_OPCION))
        return juez_trabajador();
    pon_idioma(IDIOMA_AUTO, carpeta_catalogo());
    Opciones o;
    if (!lee_opciones(argc, argv, &o))
        return SALIDA_USO;
    char exe[RUTA_MAX] = "";
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    exe[n > 0 ? n : 0] = 0;
    if (char *barra = strrchr(exe, '/'))
        *barra = 0;
    decide_disposicion(exe, getenv("XDG_DATA_HOME"), getenv("HOME"));
    std::string base = ruta_base(o.base, exe);
    // Installed, the data folder; else the folder of the program, where the levels are.
    if (base.empty() || !pone_disposicion(PROGRAMA) || (!instalado && chdir(exe) != 0)) {
        fprintf(stderr, _("%s: no hay donde guardar la base ni leer los niveles\n"), PROGRAMA);
        return SALIDA_FALLO;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0 || !base_abre(base.c_str()) || !conocidos_arranca())
        return SALIDA_FALLO;
    // TERM, INT and HUP are waited for by one thread; every other thread has them blocked.
    sigset_t senales;
    sigemptyset(&senales);
    sigaddset(&senales, SIGTERM);
    sigaddset(&senales, SIGINT);
    sigaddset(&senales, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &senales, NULL);
    unsigned nucleos = std::thread::hardware_concurrency();
    juez_arranca(nucleos ? (int)nucleos : 1);
    std::thread vigia([&senales] {
        int s;
        sigwait(&senales, &s);
        servidor_para();
    });
    bool bien = servidor_sirve(o.direccion.c_str(), o.puerto, o.limite);
    if (!bien)
        kill(getpid(), SIGTERM);   // the watcher ends too
    vigia.join();
    juez_para();
    base_cierra();
    return bien ? SALIDA_BIEN : SALIDA_FALLO;
}
