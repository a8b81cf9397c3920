// ajustes: the player's settings (both programs read them), their text file and the key names.
#include "shared/ajustes.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "shared/carga.h"
#include "shared/idioma.h"
#include "shared/lectura.h"

int vol_musica = VOL_PASOS;
int vol_efectos = VOL_PASOS;
int aj_escala = ESCALA_AUTO;
int aj_completa = 0;
int aj_pausa_foco = 1;
const int ritmos_de_juego[RITMOS] = {100, 85, 70};
int aj_ritmo = ritmos_de_juego[0];
int tecla_accion[ACCIONES] = {KEY_UP, KEY_DOWN, KEY_P};
int aj_idioma = IDIOMA_AUTO;
char aj_marcador[MARCADOR_URL_MAX + 1] = "";

enum { LINEA_MAX = 256 };   // longest line of the settings file that is read as a setting

// Key names beyond letters and digits: the ones a player may reasonably bind, as the file writes
// them and as the player reads them (translated where drawn).
static const struct {
    int scan;
    const char *nombre;
    const char *visible;
} teclas_con_nombre[] = {
    {KEY_UP, "UP", N_("ARRIBA")},            {KEY_DOWN, "DOWN", N_("ABAJO")},
    {KEY_LEFT, "LEFT", N_("IZQUIERDA")},     {KEY_RIGHT, "RIGHT", N_("DERECHA")},
    {KEY_SPACE, "SPACE", N_("ESPACIO")},     {KEY_ENTER, "ENTER", N_("ENTER")},
    {KEY_TAB, "TAB", N_("TAB")},             {KEY_LSHIFT, "LSHIFT", N_("MAYUS IZQ.")},
    {KEY_RSHIFT, "RSHIFT", N_("MAYUS DER.")}, {KEY_LCONTROL, "LCONTROL", N_("CTRL IZQ.")},
    {KEY_RCONTROL, "RCONTROL", N_("CTRL DER.")}, {KEY_ALT, "ALT", N_("ALT")},
    {KEY_ALTGR, "ALTGR", N_("ALTGR")},       {KEY_INSERT, "INSERT", N_("INSERT")},
    {KEY_DEL, "DEL", N_("SUPR")},            {KEY_HOME, "HOME", N_("INICIO")},
    {KEY_END, "END", N_("FIN")},             {KEY_PGUP, "PGUP", N_("RE PAG")},
    {KEY_PGDN, "PGDN", N_("AV PAG")},        {KEY_BACKSPACE, "BACKSPACE", N_("BORRAR")},
    {KEY_ENTER_PAD, "ENTER_PAD", N_("ENTER NUM.")}, {KEY_PLUS_PAD, "PLUS_PAD", N_("+ NUM.")},
    {KEY_MINUS_PAD, "MINUS_PAD", N_("- NUM.")}, {KEY_COMMA, "COMMA", N_("COMA")},
    {KEY_STOP, "STOP", N_("PUNTO")},         {KEY_MINUS, "MINUS", N_("GUION")},
};
enum { TECLAS_CON_NOMBRE = sizeof teclas_con_nombre / sizeof teclas_con_nombre[0] };

void ajustes_por_defecto()
{
    vol_musica = VOL_PASOS;
    vol_efectos = VOL_PASOS;
    aj_escala = ESCALA_AUTO;
    aj_completa = 0;
    aj_pausa_foco = 1;
    aj_ritmo = ritmos_de_juego[0];
    tecla_accion[ACC_ARRIBA] = KEY_UP;
    tecla_accion[ACC_ABAJO] = KEY_DOWN;
    tecla_accion[ACC_PAUSA] = KEY_P;
    aj_idioma = IDIOMA_AUTO;
    aj_marcador[0] = '\0';
}

bool marcador_valido(const char *url)
{
    size_t n = strlen(url);
    if (n == 0)
        return true;
    size_t esquema = strncmp(url, "http://", 7) == 0 ? 7 : strncmp(url, "https://", 8) == 0 ? 8 : 0;
    if (esquema == 0 || n > MARCADOR_URL_MAX || n == esquema || url[esquema] == '/')
        return false;
    for (size_t i = 0; i < n; i++)
        if (url[i] <= ' ' || url[i] > '~' || url[i] == '"' || url[i] == '\\')
            return false;
    return true;
}

const char *ruta_ajustes()
{
    static std::string ruta;
    const char *xdg = getenv("XDG_CONFIG_HOME");
    const char *home = getenv("HOME");
    if (xdg && *xdg == '/')
        ruta = std::string(xdg) + "/korvex/korvex.cfg";
    else if (home && *home)
        ruta = std::string(home) + "/.config/korvex/korvex.cfg";
    else
        ruta = "";
    return ruta.c_str();
}

const char *nombre_tecla(int scan)
{
    // Letters and digits: one two-byte name each, "A\0" ... "9\0" (KEY_A..KEY_Z, KEY_0..KEY_9 are consecutive).
    static const char letras[] = "A\0B\0C\0D\0E\0F\0G\0H\0I\0J\0K\0L\0M\0N\0O\0P\0Q\0R\0S\0T\0U\0V\0W\0X\0Y\0Z\0"
                                 "0\0" "1\0" "2\0" "3\0" "4\0" "5\0" "6\0" "7\0" "8\0" "9";
    if (scan >= KEY_A && scan <= KEY_9)
        return letras + 2 * (scan - KEY_A);
    static const char *pad[] = {"0_PAD", "1_PAD", "2_PAD", "3_PAD", "4_PAD",
                                "5_PAD", "6_PAD", "7_PAD", "8_PAD", "9_PAD"};
    if (scan >= KEY_0_PAD && scan <= KEY_9_PAD)
        return pad[scan - KEY_0_PAD];
    for (int i = 0; i < TECLAS_CON_NOMBRE; i++)
        if (teclas_con_nombre[i].scan == scan)
            return teclas_con_nombre[i].nombre;
    return "?";
}

const char *tecla_visible(int scan)
{
    // One buffer per action, so that the three keys can be named in one line.
    static char pad[ACCIONES][16];
    static int siguiente;
    if (scan >= KEY_0_PAD && scan <= KEY_9_PAD) {
        char *b = pad[siguiente++ % ACCIONES];
        snprintf(b, sizeof pad[0], _("%d NUM."), scan - KEY_0_PAD);
        return b;
    }
    for (int i = 0; i < TECLAS_CON_NOMBRE; i++)
        if (teclas_con_nombre[i].scan == scan)
            return _(teclas_con_nombre[i].visible);
    return nombre_tecla(scan);
}

int tecla_por_nombre(const char *nombre)
{
    for (int scan = 1; scan < KEY_MAX; scan++)
        if (strcmp(nombre_tecla(scan), nombre) == 0)
            return scan;
    return 0;
}

bool asigna_tecla(int accion, int scan)
{
    if (accion < 0 || accion >= ACCIONES || scan == KEY_ESC || scan == KEY_F11 || scan == KEY_M ||
        strcmp(nombre_tecla(scan), "?") == 0)
        return false;
    for (int i = 0; i < ACCIONES; i++)
        if (i != accion && tecla_accion[i] == scan)
            tecla_accion[i] = tecla_accion[accion];
    tecla_accion[accion] = scan;
    return true;
}

// Names of the key actions in the file.
static const char *clave_tecla[ACCIONES] = {"tecla_arriba", "tecla_abajo", "tecla_pausa"};

// Reads a whole number that fills the text; false for anything else.
static bool entero(const char *t, int lo, int hi, int *v)
{
    char *fin;
    errno = 0;
    long n = strtol(t, &fin, 10);
    if (fin == t || *fin || errno || n < lo || n > hi)
        return false;
    *v = (int)n;
    return true;
}

// The file's names of the language settings, by IDIOMA_AUTO, IDIOMA_ES, IDIOMA_EN.
static const char *const nombre_idioma[] = {"auto", "es", "en"};
enum { IDIOMAS = sizeof nombre_idioma / sizeof nombre_idioma[0] };

// Reads a language setting's name; false for anything else.
static bool idioma_de_nombre(const char *t, int *v)
{
    for (int i = 0; i < IDIOMAS; i++)
        if (strcmp(t, nombre_idioma[i]) == 0) {
            *v = i;
            return true;
        }
    return false;
}

// Reads "si" or "no" as 1 or 0; false for anything else.
static bool si_no(const char *t, int *v)
{
    if (strcmp(t, "si") != 0 && strcmp(t, "no") != 0)
        return false;
    *v = strcmp(t, "si") == 0;
    return true;
}

// Applies one "clave = valor" pair; false when the key is unknown or the value is not valid for it.
static bool aplica(const char *clave, const char *valor)
{
    if (strcmp(clave, "volumen_musica") == 0)
        return entero(valor, 0, VOL_PASOS, &vol_musica);
    if (strcmp(clave, "volumen_efectos") == 0)
        return entero(valor, 0, VOL_PASOS, &vol_efectos);
    if (strcmp(clave, "escala") == 0) {
        if (strcmp(valor, "auto") == 0) {
            aj_escala = ESCALA_AUTO;
            return true;
        }
        return entero(valor, 1, ESCALA_TOPE, &aj_escala);
    }
    if (strcmp(clave, "pantalla_completa") == 0)
        return si_no(valor, &aj_completa);
    if (strcmp(clave, "pausa_al_salir") == 0)
        return si_no(valor, &aj_pausa_foco);
    if (strcmp(clave, "idioma") == 0)
        return idioma_de_nombre(valor, &aj_idioma);
    if (strcmp(clave, "ritmo") == 0) {
        int v;
        for (int i = 0; i < RITMOS; i++)
            if (entero(valor, ritmos_de_juego[i], ritmos_de_juego[i], &v)) {
                aj_ritmo = v;
                return true;
            }
        return false;
    }
    if (strcmp(clave, "marcador") == 0) {
        if (!marcador_valido(valor))
            return false;
        snprintf(aj_marcador, sizeof aj_marcador, "%s", valor);
        return true;
    }
    for (int i = 0; i < ACCIONES; i++)
        if (strcmp(clave, clave_tecla[i]) == 0) {
            int scan = tecla_por_nombre(valor);
            return scan != 0 && asigna_tecla(i, scan);
        }
    return false;
}

// Cuts the blanks off both ends of a text in place.
static char *recorta(char *t)
{
    while (*t == ' ' || *t == '\t')
        t++;
    size_t n = strlen(t);
    while (n > 0 && (t[n - 1] == ' ' || t[n - 1] == '\t' || t[n - 1] == '\r' || t[n - 1] == '\n'))
        t[--n] = '\0';
    return t;
}

// One line of a "clave = valor" file (entera: it fitted the line buffer): true when it is blank, a
// comment or a pair aplica takes.
static bool una_linea(char *linea, bool entera, AplicaClave aplica, void *dato)
{
    char *t = recorta(linea);
    if (entera && (*t == '\0' || *t == '#'))
        return true;
    char *igual = entera ? strchr(t, '=') : NULL;
    if (!igual)
        return false;
    *igual = '\0';
    return aplica(recorta(t), recorta(igual + 1), dato);
}

// The line a bad line is reported with.
static void linea_mala(const char *nombre, int num, const char *que)
{
    fprintf(stderr, _("%s:%d: linea de %s no valida; se ignora\n"), nombre, num, que);
}

int lee_claves(const char *ruta, const char *que, AplicaClave aplica, void *dato, char *motivo, int tam)
{
    FILE *f = abre_regular(ruta, motivo, tam);
    if (!f)
        return errno == ENOENT ? 0 : -1;
    char linea[LINEA_MAX];
    int num = 0;
    while (fgets(linea, sizeof linea, f)) {
        num++;
        bool entera = strchr(linea, '\n') || feof(f);
        if (!entera) {   // too long to be a pair: skip the rest of it
            int ch;
            while ((ch = fgetc(f)) != EOF && ch != '\n')
                ;
        }
        if (!una_linea(linea, entera, aplica, dato))
            linea_mala(ruta, num, que);
    }
    fclose(f);
    return 1;
}

void lee_claves_texto(const char *texto, size_t n, const char *nombre, const char *que, AplicaClave aplica,
                      void *dato)
{
    char linea[LINEA_MAX];
    int num = 0;
    for (size_t p = 0; p < n;) {
        size_t fin = p;
        while (fin < n && texto[fin] != '\n')
            fin++;
        num++;
        // As the file reader: a line that does not fit its buffer is not a pair; a zero byte ends it.
        size_t largo = fin - p;
        bool entera = largo < (size_t)LINEA_MAX - 1;
        if (!entera)
            largo = LINEA_MAX - 1;
        memcpy(linea, texto + p, largo);
        linea[largo] = '\0';
        if (!una_linea(linea, entera, aplica, dato))
            linea_mala(nombre, num, que);
        p = fin + 1;
    }
}

// A settings pair for lee_claves.
static bool aplica_ajuste(const char *clave, const char *valor, void *)
{
    return aplica(clave, valor);
}

bool lee_ajustes(const char *ruta)
{
    char motivo[MOTIVO_MAX];
    int r = lee_claves(ruta, "ajustes", aplica_ajuste, NULL, motivo, sizeof motivo);
    if (r < 0)
        fprintf(stderr, _("%s: no se pueden leer los ajustes (%s); se usan los de siempre\n"), ruta, motivo);
    return r >= 0;
}

// Makes a folder and the folders above it; true when it exists at the end.
static bool crea_carpetas(const std::string &ruta)
{
    for (size_t i = 1; i <= ruta.size(); i++)
        if (i == ruta.size() || ruta[i] == '/')
            mkdir(ruta.substr(0, i).c_str(), 0777);
    struct stat st;
    return stat(ruta.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool guarda_ajustes(const char *ruta)
{
    std::string r(ruta);
    size_t barra = r.rfind('/');
    if (r.empty() || (barra != std::string::npos && barra > 0 && !crea_carpetas(r.substr(0, barra)))) {
        fprintf(stderr, _("%s: no se pudo crear la carpeta de los ajustes; valen solo por esta vez\n"), ruta);
        return false;
    }
    char texto[1024 + MARCADOR_URL_MAX];
    char escala[8];
    if (aj_escala == ESCALA_AUTO)
        snprintf(escala, sizeof escala, "auto");
    else
        snprintf(escala, sizeof escala, "%d", aj_escala);
    int n = snprintf(texto, sizeof texto,
                     "# KORVEX: ajustes del jugador (clave = valor). Se escriben al cambiarlos en OPCIONES.\n"
                     "# volumenes 0..10; escala: auto o 1..8; pantalla_completa, pausa_al_salir: si o no;"
                     " ritmo: 100, 85 o 70\n"
                     "# idioma: auto (el del escritorio), es o en\n"
                     "# marcador: la direccion de las tablas en linea (http://...); vacio, no se envia nada\n"
                     "volumen_musica = %d\nvolumen_efectos = %d\nescala = %s\npantalla_completa = %s\n"
                     "pausa_al_salir = %s\ntecla_arriba = %s\ntecla_abajo = %s\ntecla_pausa = %s\nritmo = %d\n"
                     "idioma = %s\nmarcador = %s\n",
                     vol_musica, vol_efectos, escala, aj_completa ? "si" : "no", aj_pausa_foco ? "si" : "no",
                     nombre_tecla(tecla_accion[ACC_ARRIBA]), nombre_tecla(tecla_accion[ACC_ABAJO]),
                     nombre_tecla(tecla_accion[ACC_PAUSA]), aj_ritmo, nombre_idioma[aj_idioma], aj_marcador);
    if (escribe_atomico(ruta, texto, (size_t)n))
        return true;
    fprintf(stderr, _("%s: no se pudieron guardar los ajustes; valen solo por esta vez\n"), ruta);
    return false;
}

