// mained: the level sets in the editor: the set in edit, "GUARDAR COMO" into a set, the menu of
// the sets (change, make, export, bring back a campaign level's first version), a level file given
// on the command line, the first version of a campaign level kept before it is written over.
#include "editor/mained.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "shared/conjuntos.h"
#include "shared/lectura.h"
#include "game/comparte.h"
#include "shared/idioma.h"

char archivo_pedido[1024];

// Where the first versions of the campaign's levels are kept, beside the levels the editor writes.
static const char ORIGINALES[] = "originales";

enum {
    CENTRO = 160,
    CAJA_X1 = 30, CAJA_Y1 = 56, CAJA_X2 = 290, CAJA_Y2 = 184,   // the dialogs of this file
    CAJA_TITULO_Y = 64, CAJA_PASO = 16,                          // their title, their line step
    CAJA_CHARS = 31,                                             // characters a line of the box holds
    LISTA_X1 = 30, LISTA_Y1 = 10, LISTA_X2 = 290, LISTA_Y2 = 230,   // a list's box
    LISTA_TITULO_Y = 20, LISTA_PRIMERA_Y = 36, LISTA_PASO = 12, LISTA_VISIBLES = 15,
    NUMERO_MAX = 99,                                             // level numbers of "GUARDAR COMO"
    COPIA_MAX = 1 << 16                                          // largest level file copied as an original
};

// The entries of the sets' menu, in order.
enum { CONJ_CAMBIAR = 0, CONJ_NUEVO, CONJ_EXPORTAR, CONJ_RECUPERAR, CONJ_VOLVER, CONJ_ENTRADAS };
static const char *const ENTRADAS_CONJUNTOS[CONJ_ENTRADAS] = {
    N_("CAMBIAR CONJUNTO"), N_("NUEVO CONJUNTO"), N_("EXPORTAR CONJUNTO"), N_("RECUPERAR ORIGINAL"), N_("VOLVER")};

// Characters a typed name may hold besides letters and digits.
static const char SIGNOS[] = " -.,:!?'()";

bool lee_opciones_conjunto(int argc, char **argv, char *conjunto_exporta, char *archivo_exporta, int tam,
                           char *error, int tam_error)
{
    conjunto_exporta[0] = archivo_exporta[0] = archivo_pedido[0] = 0;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "-exporta") == 0) {
            if (i + 2 >= argc || !argv[i + 1][0] || !argv[i + 2][0]) {
                snprintf(error, tam_error, _("-exporta necesita un conjunto y el archivo que se escribe"));
                return false;
            }
            snprintf(conjunto_exporta, tam, "%s", argv[i + 1]);
            if (!ruta_absoluta(argv[i + 2], archivo_exporta, tam))
                return snprintf(error, tam_error, _("%s: ruta demasiado larga"), argv[i + 2]), false;
            i += 2;
        } else if (strcmp(argv[i], "-escala") == 0) {
            i++;
        } else if (argv[i][0] != '-' && argv[i][0]) {
            if (!ruta_absoluta(argv[i], archivo_pedido, sizeof archivo_pedido))
                return snprintf(error, tam_error, _("%s: ruta demasiado larga"), argv[i]), false;
        }
    }
    return true;
}

void texto_cuenta(char *out, int tam)
{
    int n = snprintf(out, tam, niveles == 1 ? _("%d NIVEL") : _("%d NIVELES"), niveles);
    if (niveles_de_mas > 0 && n < tam)
        snprintf(out + n, tam - n, _(", %d NO SE JUEGAN"), niveles_de_mas);
}

void abre_archivo(const char *ruta)
{
    if (strlen(ruta) >= sizeof archivo || !CargaMapa(ruta)) {
        fprintf(stderr, _("KORV-EDITOR: %s: no se pudo abrir el nivel\n"), ruta);
        mensaje_caja(_("NO SE PUDO ABRIR EL NIVEL"), ruta);
        return;
    }
    // A file of a set's folder: that set is the one in edit.
    int i = conjunto_de_archivo(ruta);
    if (i >= 0)
        pon_conjunto(i);
    modifi = 0;
    abre_mapa(ruta);
}

// The folder holding file ruta, and its name.
static std::string carpeta_de(const std::string &ruta, std::string *nombre)
{
    size_t barra = ruta.rfind('/');
    *nombre = barra == std::string::npos ? ruta : ruta.substr(barra + 1);
    return barra == std::string::npos ? "." : ruta.substr(0, barra);
}

// Reads a whole regular file of at most COPIA_MAX bytes; false when it cannot.
static bool lee_entero(const std::string &ruta, std::vector<unsigned char> &v)
{
    char motivo[MOTIVO_MAX];
    FILE *f = abre_regular(ruta.c_str(), motivo, sizeof motivo);
    if (!f)
        return false;
    v.assign(COPIA_MAX + 1, 0);
    size_t n = fread(v.data(), 1, v.size(), f);
    bool ok = !ferror(f) && n <= COPIA_MAX;
    fclose(f);
    v.resize(n);
    return ok;
}

// The folder of the campaign's first versions: originales/ beside the levels the editor writes.
static std::string carpeta_originales()
{
    char campana[RUTA_MAX];
    carpeta_niveles_usuario(campana, sizeof campana);
    return campana[0] ? std::string(campana) + "/" + ORIGINALES : std::string();
}

bool guarda_original(const char *ruta)
{
    if (conjunto_de_archivo(ruta) != 0)
        return true;   // only the campaign's levels are kept
    std::string nombre, dir = carpeta_originales();
    carpeta_de(ruta, &nombre);
    std::string destino = dir + "/" + nombre;
    struct stat st;
    if (dir.empty() || lstat(destino.c_str(), &st) == 0)
        return true;   // kept already (or nowhere to keep it)
    // What is played now under that name: the file itself, or (installed) the shipped one.
    std::string fuente = ruta;
    if (stat(ruta, &st) != 0 && instalado)
        fuente = std::string("levels/") + nombre;
    if (stat(fuente.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return true;   // a new level: there is no first version to keep
    std::vector<unsigned char> v;
    bool ok = lee_entero(fuente, v) && (!instalado || asegura_carpeta_usuario()) &&
              (mkdir(dir.c_str(), 0777) == 0 || errno == EEXIST) &&
              escribe_atomico(destino.c_str(), v.data(), v.size());
    if (!ok) {
        fprintf(stderr, _("KORV-EDITOR: %s: no se pudo guardar la primera version en %s; no se guarda\n"), ruta,
                destino.c_str());
        mensaje_caja(_("NO SE PUDO GUARDAR EL ORIGINAL"), destino.c_str());
    }
    return ok;
}

void aviso_guardado()
{
    std::string nombre;
    carpeta_de(archivo, &nombre);
    snprintf(aviso_menu, sizeof aviso_menu, _("GUARDADO: %s"), nombre.c_str());
}

void nombre_numero(int n, char *out, int tam)
{
    snprintf(out, tam, "nivel_%02d.map", n);
}

// Draws a dialog's box and title; the area under it is kept in *debajo.
static void caja(Debajo *debajo, const char *titulo)
{
    *debajo = guarda_debajo(CAJA_X1, CAJA_Y1, CAJA_X2, CAJA_Y2);
    rectfill(active_page, CAJA_X1, CAJA_Y1, CAJA_X2, CAJA_Y2, COL_FONDO);
    rect(active_page, CAJA_X1, CAJA_Y1, CAJA_X2, CAJA_Y2, COL_MARCA);
    textprintf_centre_ex(active_page, font, CENTRO, CAJA_TITULO_Y, COL_PROPIO, bg, "%s", titulo);
}

// Line n (from 1) of a dialog's box, cleared and written in colour col.
static void linea_caja(int n, int col, const char *texto)
{
    char t[CAJA_CHARS + 1];
    final_de(texto, CAJA_CHARS, t, sizeof t);
    int y = CAJA_TITULO_Y + CAJA_PASO * n;
    rectfill(active_page, CAJA_X1 + 1, y, CAJA_X2 - 1, y + text_height(font) - 1, COL_FONDO);
    textprintf_centre_ex(active_page, font, CENTRO, y, col, bg, "%s", t);
}

// The file a number names in set i, whether something is played under that name there now.
static std::string destino_numero(int i, int n, bool *existe)
{
    int antes = conjunto_actual;
    pon_conjunto(i);
    char carpeta[RUTA_MAX], nombre[32];
    carpeta_guardado(carpeta, sizeof carpeta);
    nombre_numero(n, nombre, sizeof nombre);
    total_niveles(nombre, existe);
    pon_conjunto(antes);
    return std::string(carpeta) + "/" + nombre;
}

// The first number of set i with no level of its name, 1 when all are taken.
static int numero_libre(int i)
{
    for (int n = 1; n <= NUMERO_MAX; n++) {
        bool existe;
        destino_numero(i, n, &existe);
        if (!existe)
            return n;
    }
    return 1;
}

// Saves the open map as file destino of set i: archivo becomes it when the save is done.
static bool guarda_en(int i, const std::string &destino)
{
    char antes[sizeof archivo];
    snprintf(antes, sizeof antes, "%s", archivo);
    snprintf(archivo, sizeof archivo, "%s", destino.c_str());
    if (!gurdarmapa()) {
        snprintf(archivo, sizeof archivo, "%s", antes);
        return false;
    }
    pon_conjunto(i);
    aviso_guardado();
    return true;
}

void guardar_como()
{
    int i = conjunto_actual, n = numero_libre(i);
    pon_ayuda(&AYUDA_GUARDAR_COMO);
    Debajo debajo;
    caja(&debajo, _("GUARDAR COMO"));
    bool existe = false;
    std::string destino;
    for (;;) {
        destino = destino_numero(i, n, &existe);
        char linea[RUTA_MAX + 16];
        snprintf(linea, sizeof linea, "< %s >", conjuntos[i].nombre);
        linea_caja(2, COL_TEXTO, linea);
        std::string nombre;
        carpeta_de(destino, &nombre);
        snprintf(linea, sizeof linea, _("NUMERO %02d: %s"), n, nombre.c_str());
        linea_caja(4, COL_MARCA, linea);
        linea_caja(5, COL_TEXTO, existe ? _("REEMPLAZA UN NIVEL") : _("NIVEL NUEVO"));
        linea_caja(7, COL_TEXTO, _("ENTER GUARDA, ESC NO"));
        espera_tecla(true);
        if (k == KEY_ESC || cerrar) {
            restaura_debajo(debajo);
            return;
        }
        if (k == KEY_ENTER)
            break;
        if (k == KEY_LEFT || k == KEY_RIGHT) {
            i = (i + (k == KEY_RIGHT ? 1 : n_conjuntos - 1)) % n_conjuntos;
            n = numero_libre(i);
        } else if (k == KEY_UP) {
            n = n % NUMERO_MAX + 1;
        } else if (k == KEY_DOWN) {
            n = (n + NUMERO_MAX - 2) % NUMERO_MAX + 1;
        }
    }
    restaura_debajo(debajo);
    std::string nombre;
    carpeta_de(destino, &nombre);
    char pregunta[64];
    snprintf(pregunta, sizeof pregunta, _("YA HAY %s"), nombre.c_str());
    if (existe && destino != archivo && !pregunta_si_no(pregunta, _("REEMPLAZARLO?")))
        return;
    guarda_en(i, destino);
}

// A list to choose from in a box of its own, LISTA_VISIBLES lines at a time: the index chosen
// with ENTER, -1 for ESC.
static int elige_de_lista(const char *titulo, const std::vector<std::string> &lineas, int elegido)
{
    pon_ayuda(&AYUDA_ELIGE);
    Debajo debajo = guarda_debajo(LISTA_X1, LISTA_Y1, LISTA_X2, LISTA_Y2);
    rectfill(active_page, LISTA_X1, LISTA_Y1, LISTA_X2, LISTA_Y2, COL_FONDO);
    rect(active_page, LISTA_X1, LISTA_Y1, LISTA_X2, LISTA_Y2, COL_MARCA);
    textprintf_centre_ex(active_page, font, CENTRO, LISTA_TITULO_Y, COL_PROPIO, bg, "%s", titulo);
    int n = (int)lineas.size(), primera = 0;
    while (n > 0) {
        if (elegido < primera)
            primera = elegido;
        if (elegido >= primera + LISTA_VISIBLES)
            primera = elegido - LISTA_VISIBLES + 1;
        for (int v = 0; v < LISTA_VISIBLES; v++) {
            int y = LISTA_PRIMERA_Y + LISTA_PASO * v, j = primera + v;
            rectfill(active_page, LISTA_X1 + 1, y, LISTA_X2 - 1, y + text_height(font) - 1, COL_FONDO);
            char t[CAJA_CHARS + 1];
            if (j < n) {
                final_de(lineas[j].c_str(), CAJA_CHARS, t, sizeof t);
                textprintf_centre_ex(active_page, font, CENTRO, y, j == elegido ? COL_MARCA : COL_TEXTO, bg, "%s", t);
            }
        }
        espera_tecla(true);
        if (k == KEY_ENTER || k == KEY_ESC || cerrar)
            break;
        if (k == KEY_UP)
            elegido = (elegido + n - 1) % n;
        else if (k == KEY_DOWN)
            elegido = (elegido + 1) % n;
    }
    if (n == 0) {
        textprintf_centre_ex(active_page, font, CENTRO, LISTA_PRIMERA_Y, COL_TEXTO, bg, _("NO HAY NINGUNO"));
        espera_tecla(true);
    }
    restaura_debajo(debajo);
    return n > 0 && k == KEY_ENTER && !cerrar ? elegido : -1;
}

// "CAMBIAR CONJUNTO": the list of sets, each with its count of levels.
static void cambia_de_conjunto()
{
    std::vector<std::string> lineas;
    int antes = conjunto_actual;
    for (int i = 0; i < n_conjuntos; i++) {
        pon_conjunto(i);
        buscaarch();
        lineas.push_back(std::string(conjuntos[i].nombre) + " (" + std::to_string(niveles) + ")");
    }
    pon_conjunto(antes);
    int i = elige_de_lista(_("CONJUNTOS"), lineas, antes);
    if (i >= 0)
        pon_conjunto(i);
}

// Lets the level maker type a text of at most max characters (upper case letters, digits, a few
// signs) under a title; true with ENTER, false with ESC.
static bool escribe_texto(const char *titulo, const char *pie, char *texto, int max)
{
    pon_ayuda(&AYUDA_ESCRIBE);
    Debajo debajo;
    caja(&debajo, titulo);
    linea_caja(5, COL_TEXTO, pie);
    for (;;) {
        char linea[CAJA_CHARS + 2];
        snprintf(linea, sizeof linea, "%s_", texto);
        linea_caja(2, COL_MARCA, linea);
        espera_tecla(true);
        if (k == KEY_ENTER || k == KEY_ESC || cerrar)
            break;
        int n = (int)strlen(texto);
        char ch = (char)(k_ascii >= 'a' && k_ascii <= 'z' ? k_ascii - 'a' + 'A' : k_ascii);
        if (k == KEY_BACKSPACE && n > 0)
            texto[n - 1] = 0;
        else if (n < max && ch && ((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || strchr(SIGNOS, ch)))
            texto[n] = ch, texto[n + 1] = 0;
    }
    restaura_debajo(debajo);
    return k == KEY_ENTER && !cerrar;
}

// "NUEVO CONJUNTO": its name (needed), author and line, typed; then it is the set in edit.
static void nuevo_conjunto()
{
    char nombre[CONJ_NOMBRE_MAX + 1] = "", autor[CONJ_AUTOR_MAX + 1] = "", linea[CONJ_DESCRIPCION_MAX + 1] = "";
    // The box holds a line of CAJA_CHARS: the line of what it is stays within it.
    if (!escribe_texto(_("NOMBRE DEL CONJUNTO"), _("ENTER SIGUE, ESC NO"), nombre, CONJ_NOMBRE_MAX) || !nombre[0] ||
        !escribe_texto(_("AUTOR"), _("ENTER SIGUE, ESC NO"), autor, CONJ_AUTOR_MAX > CAJA_CHARS - 1 ? CAJA_CHARS - 1 : CONJ_AUTOR_MAX) ||
        !escribe_texto(_("QUE ES (UNA LINEA)"), _("ENTER CREA, ESC NO"), linea, CAJA_CHARS - 1))
        return;
    char libre[CONJ_NOMBRE_MAX + 1];
    nombre_libre(nombre, libre, sizeof libre);
    if (strcmp(libre, nombre) != 0) {
        mensaje_caja(_("YA HAY UN CONJUNTO LLAMADO"), nombre);
        return;
    }
    int i;
    if (!crea_conjunto(nombre, autor, linea, &i)) {
        mensaje_caja(_("NO SE PUDO CREAR EL CONJUNTO"), nombre);
        return;
    }
    pon_conjunto(i);
    snprintf(aviso_menu, sizeof aviso_menu, _("CREADO: %s"), conjunto().nombre);
}

// A file in the user's home (or the working folder) named after the set, not taken.
static std::string destino_exporta()
{
    const char *home = getenv("HOME");
    std::string dir = home && home[0] == '/' ? home : ".";
    const Conjunto &c = conjunto();
    std::string raiz = c.campana ? "korvex" : std::string(strrchr(c.carpeta, '/') ? strrchr(c.carpeta, '/') + 1 : c.carpeta);
    for (int n = 1; n <= NUMERO_MAX; n++) {
        std::string r = dir + "/" + raiz + (n > 1 ? "_" + std::to_string(n) : std::string()) + PAQUETE_EXTENSION;
        struct stat st;
        if (lstat(r.c_str(), &st) != 0)
            return r;
    }
    return dir + "/" + raiz + PAQUETE_EXTENSION;
}

// "EXPORTAR CONJUNTO": the set in edit into one file in the user's home; a box says where.
static void exporta()
{
    std::string ruta = destino_exporta();
    char error[RUTA_MAX + 300];
    if (!exporta_conjunto(conjunto_actual, ruta.c_str(), error, sizeof error)) {
        fprintf(stderr, _("KORV-EDITOR: %s\n"), error);
        mensaje_caja(_("NO SE PUDO EXPORTAR"), error);
        return;
    }
    printf(_("KORV-EDITOR: exportado el conjunto \"%s\" a %s\n"), conjunto().nombre, ruta.c_str());
    fflush(stdout);
    mensaje_caja(_("EXPORTADO A"), ruta.c_str());
}

// "RECUPERAR ORIGINAL": a level of the campaign whose first version is kept goes back to it.
static void recupera()
{
    std::string dir = carpeta_originales();
    static char nombres[MAX_NIVELES * 4][NOMBRE_MAX];
    int n = dir.empty() ? 0 : busca_archivos((dir + "/*.map").c_str(), nombres, MAX_NIVELES * 4);
    std::vector<std::string> lineas(nombres, nombres + n);
    int i = elige_de_lista(_("RECUPERAR ORIGINAL"), lineas, 0);
    if (i < 0)
        return;
    char campana[RUTA_MAX];
    carpeta_niveles_usuario(campana, sizeof campana);
    std::string destino = std::string(campana) + "/" + nombres[i];
    bool abierto = carga && destino == archivo;
    char pregunta[64];
    snprintf(pregunta, sizeof pregunta, _("RECUPERAR %s?"), nombres[i]);
    if (!pregunta_si_no(pregunta, abierto && modifi ? _("SE PIERDEN LOS CAMBIOS") : _("VUELVE SU PRIMERA VERSION")))
        return;
    std::vector<unsigned char> v;
    if (!lee_entero(dir + "/" + nombres[i], v) || !escribe_atomico(destino.c_str(), v.data(), v.size())) {
        mensaje_caja(_("NO SE PUDO RECUPERAR"), destino.c_str());
        return;
    }
    snprintf(aviso_menu, sizeof aviso_menu, _("RECUPERADO: %s"), nombres[i]);
    // The open map, when it is that level, is read again as it now is.
    if (abierto && CargaMapa(destino.c_str())) {
        cargamatrizene();
        modifi = 0;
        historia_borra(true);
    }
}

void menu_conjuntos()
{
    int cursor = CONJ_CAMBIAR;
    Debajo debajo;
    caja(&debajo, _("CONJUNTOS"));
    for (;;) {
        pon_ayuda(&AYUDA_CONJUNTOS);
        linea_caja(1, COL_TEXTO, conjunto().nombre);
        for (int e = 0; e < CONJ_ENTRADAS; e++)
            linea_caja(e + 3, e == cursor ? COL_MARCA : COL_TEXTO, _(ENTRADAS_CONJUNTOS[e]));
        espera_tecla(true);
        if (k == KEY_ESC || cerrar || (k == KEY_ENTER && cursor == CONJ_VOLVER))
            break;
        if (k == KEY_UP || k == KEY_DOWN) {
            cursor = (cursor + (k == KEY_DOWN ? 1 : CONJ_ENTRADAS - 1)) % CONJ_ENTRADAS;
            continue;
        }
        if (k != KEY_ENTER)
            continue;
        if (cursor == CONJ_CAMBIAR)
            cambia_de_conjunto();
        else if (cursor == CONJ_NUEVO)
            nuevo_conjunto();
        else if (cursor == CONJ_EXPORTAR)
            exporta();
        else
            recupera();
        if (cursor != CONJ_EXPORTAR)
            break;   // what was done shows on the main menu
    }
    restaura_debajo(debajo);
}
