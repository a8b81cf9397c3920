// rutas: the layout decision and the per-user folder of an installed game.
#include "shared/rutas.h"
#include "shared/idioma.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <climits>


int instalado;
char carpeta_datos[RUTA_MAX];
char carpeta_usuario[RUTA_MAX];

// The shipped ranking, relative to the data folder.
static const char RANKING_FABRICA[] = "datos/ranking.dat";
// Data folder relative to the programs' folder in an installed prefix.
static const char DATOS_INSTALADOS[] = "/../share/games/korvex";
static const mode_t MODO_CARPETA = 0777;     // the umask narrows it
static const mode_t MODO_PADRE = 0700;       // missing base folders, private as the XDG rule asks

static int aviso_dado;   // 1 once the unmakeable folder was reported

// True when path names a folder.
static bool es_carpeta(const std::string &ruta)
{
    struct stat st;
    return stat(ruta.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Copies s into a path buffer; false when it does not fit.
static bool copia_ruta(char *out, int tam, const std::string &s)
{
    if ((int)s.size() >= tam)
        return false;
    memcpy(out, s.c_str(), s.size() + 1);
    return true;
}

int decide_disposicion(const char *dir_exe, const char *xdg_data_home, const char *home)
{
    instalado = 0;
    carpeta_datos[0] = carpeta_usuario[0] = 0;
    std::string exe = dir_exe ? dir_exe : "";
    std::string datos = exe + DATOS_INSTALADOS;
    if (exe.empty() || es_carpeta(exe + "/datos") || !es_carpeta(datos + "/datos"))
        return 0;
    char real[PATH_MAX];
    if (!realpath(datos.c_str(), real) || !copia_ruta(carpeta_datos, RUTA_MAX, real))
        return 0;
    instalado = 1;
    // An empty or relative XDG_DATA_HOME is ignored, as the XDG rule says.
    std::string base;
    if (xdg_data_home && xdg_data_home[0] == '/')
        base = xdg_data_home;
    else if (home && home[0] == '/')
        base = std::string(home) + "/.local/share";
    if (!base.empty() && !copia_ruta(carpeta_usuario, RUTA_MAX, base + "/korvex"))
        carpeta_usuario[0] = 0;
    return 1;
}

bool pone_disposicion(const char *programa)
{
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return true;   // no /proc: the working folder, as in the build folder
    exe[n] = 0;
    char *barra = strrchr(exe, '/');
    if (barra)
        *barra = 0;
    if (!decide_disposicion(exe, getenv("XDG_DATA_HOME"), getenv("HOME")))
        return true;
    if (chdir(carpeta_datos) != 0) {
        fprintf(stderr, _("%s: %s: no se pudo entrar en la carpeta de datos (%s)\n"), programa, carpeta_datos,
                strerror(errno));
        return false;
    }
    return true;
}

// Makes one folder unless it is there; parents must exist.
static bool haz_carpeta(const std::string &ruta, mode_t modo)
{
    return mkdir(ruta.c_str(), modo) == 0 || (errno == EEXIST && es_carpeta(ruta));
}

bool asegura_carpeta_usuario()
{
    std::string u = carpeta_usuario, falla;   // falla: the folder that could not be made
    bool ok = !u.empty();
    // Every missing parent, then the folder and its levels/.
    for (size_t p = 1; ok && (p = u.find('/', p)) != std::string::npos; p++)
        ok = haz_carpeta(falla = u.substr(0, p), MODO_PADRE);
    ok = ok && haz_carpeta(falla = u, MODO_CARPETA) && haz_carpeta(falla = u + "/levels", MODO_CARPETA);
    if (!ok && !aviso_dado) {
        aviso_dado = 1;
        struct stat st;
        int err = errno;
        if (u.empty())
            fprintf(stderr, _("KORVEX: no hay carpeta de usuario (HOME vacio); no se guardara nada\n"));
        else if (err == EEXIST && stat(falla.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
            // Something that is not a folder stands where one must be: say what and where.
            fprintf(stderr, _("%s/levels: no se pudo crear la carpeta: %s es un archivo, no una carpeta; "
                    "no se guardara nada\n"), u.c_str(), falla.c_str());
        else
            fprintf(stderr, _("%s/levels: no se pudo crear la carpeta %s (%s); no se guardara nada\n"), u.c_str(),
                    falla.c_str(), strerror(err));
    }
    return ok;
}

void ruta_ranking_lee(char *out, int tam)
{
    std::string r = std::string(carpeta_usuario) + "/ranking.dat";
    struct stat st;
    if (!instalado || !carpeta_usuario[0] || stat(r.c_str(), &st) != 0 || !copia_ruta(out, tam, r))
        copia_ruta(out, tam, RANKING_FABRICA);
}

bool ruta_ranking_escribe(char *out, int tam)
{
    if (!instalado)
        return copia_ruta(out, tam, RANKING_FABRICA);
    return asegura_carpeta_usuario() && copia_ruta(out, tam, std::string(carpeta_usuario) + "/ranking.dat");
}

void carpeta_niveles_usuario(char *out, int tam)
{
    out[0] = 0;
    if (!instalado)
        copia_ruta(out, tam, "levels");
    else if (carpeta_usuario[0])
        copia_ruta(out, tam, std::string(carpeta_usuario) + "/levels");
}

bool ruta_absoluta(const char *ruta, char *out, int tam)
{
    char aqui[PATH_MAX];
    if (ruta[0] == '/' || !getcwd(aqui, sizeof aqui))
        return copia_ruta(out, tam, ruta);
    return copia_ruta(out, tam, std::string(aqui) + "/" + ruta);
}
