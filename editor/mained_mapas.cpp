// mained: operations on whole maps: new, load list, save, the speed dialog and the save warning.
#include "editor/mained.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "shared/conjuntos.h"
#include "shared/rutas.h"
#include "game/piloto.h"
#include "game/verifica.h"
#include "shared/idioma.h"

// Where the shipped level files live (the working folder's) and the template of a new level.
static const char CARPETA[] = "levels";
static const char PLANTILLA[] = "datos/newlevel.dat";

enum {
    CENTRO = 160,                               // x every dialog text is centred on
    DIGITOS_EN = 6,                             // the level number's first digit in a file name
    TRONCO_CON_NUMERO = 8,                      // names with at least this many characters before
                                                // the extension carry the number inside
    NUMERO_MAX = 99,                            // highest level number of two digits
    MULTI_MIN = 1, MULTI_MAX = 3,               // speed codes: x1, x1.5, x2
    LISTA_X1 = 40, LISTA_Y1 = 10, LISTA_X2 = 280, LISTA_Y2 = 230,    // load list box
    LISTA_CHARS = 29,                           // characters of a line of the list
    LISTA_TITULO_Y = 20, LISTA_PASO = 12,       // title line; entry i at y = 20 + 12 i
    CAJA_X1 = 100, CAJA_Y1 = 69, CAJA_X2 = 218, CAJA_Y2 = 169,       // warning box
    VEL_Y2 = 171,                               // bottom of the speed dialog's box
    VEL_TITULO_Y = 89, VEL_LINEA_Y = 109,       // speed dialog lines
    VEL_X1_X = 110, VEL_X15_X = 160, VEL_X2_X = 205,   // its three choices
    ADV_L1 = 89, ADV_L2 = 99, ADV_SI = 114, ADV_NO = 124,   // warning lines
    PREGUNTA_X1 = 60, PREGUNTA_X2 = 260,        // the wider box of a question
    RESP_SI = 1, RESP_NO = 2
};

// True when something of that name exists (a file, a folder, a dangling link).
static bool ocupado(const std::string &ruta)
{
    struct stat st;
    return lstat(ruta.c_str(), &st) == 0;
}

bool nombre_nuevo(char *out, int tam)
{
    buscaarch();
    std::string base = niveles > 0 ? archive[niveles - 1] : "nivel_01.map";
    size_t punto = base.rfind('.');
    if (punto == std::string::npos)
        punto = base.size();
    std::string tronco = base.substr(0, punto), ext = base.substr(punto);
    char destino[RUTA_MAX];
    carpeta_guardado(destino, sizeof destino);
    // The next number; a name already taken (a gap in the numbers, more than 15 levels)
    // takes the next free one: a new map never overwrites a level.
    for (int n = niveles + 1; n <= NUMERO_MAX; n++) {
        char dig[3] = {(char)('0' + n / 10), (char)('0' + n % 10), 0};
        std::string t = tronco;
        if (t.size() >= TRONCO_CON_NUMERO) {
            t[DIGITOS_EN] = dig[0];
            t[DIGITOS_EN + 1] = dig[1];
        } else {
            t += dig;
        }
        // Installed, a new level of the campaign must not hide a shipped one either.
        std::string ruta = std::string(destino) + "/" + t + ext;
        bool libre = !ocupado(ruta) &&
                     !(instalado && conjunto().campana && ocupado(std::string(CARPETA) + "/" + t + ext));
        if (libre && (int)ruta.size() < tam) {
            strcpy(out, ruta.c_str());
            return true;
        }
    }
    return false;
}

// Whether a level file of this path (its name) may be written: always over a level the catalogue
// has, a new one only while the catalogue has room for it; otherwise says so in a box.
static bool cabe_en_catalogo(const char *ruta)
{
    // The set whose folder it goes into counts; a file outside every set has no such bound.
    int i = conjunto_de_archivo(ruta), antes = conjunto_actual;
    if (i < 0)
        return true;
    pon_conjunto(i);
    const char *barra = strrchr(ruta, '/');
    bool esta = false;
    int total = total_niveles(barra ? barra + 1 : ruta, &esta);
    pon_conjunto(antes);
    if (esta || total < MAX_NIVELES)
        return true;
    fprintf(stderr, _("KORV-EDITOR: %s: ya hay %d niveles y el juego no ve mas de %d; no se guarda\n"), ruta, total,
            MAX_NIVELES);
    char l1[40];
    snprintf(l1, sizeof l1, _("YA HAY %d NIVELES"), total);
    mensaje_caja(l1, _("EL JUEGO NO VERIA OTRO MAS"));
    return false;
}

void abre_mapa(const char *ruta)
{
    carga = 1;
    snprintf(archivo, sizeof archivo, "%s", ruta);
    cargamatrizene();
    reinicia_edicion();
    historia_borra(!modifi);
    korveditormain();
}

void nuevomapa()
{
    char nombre[sizeof archivo];
    if (!nombre_nuevo(nombre, sizeof nombre)) {
        char carpeta[RUTA_MAX];
        carpeta_guardado(carpeta, sizeof carpeta);
        fprintf(stderr, _("KORV-EDITOR: %s/: no queda ningun numero de nivel libre hasta %d\n"), carpeta, NUMERO_MAX);
        mensaje_caja(_("NO QUEDA NOMBRE LIBRE"), carpeta);
        return;
    }
    // A level the game could never reach is not made.
    if (!cabe_en_catalogo(nombre))
        return;
    // The map that is open stays open if the template cannot be read.
    if (!CargaMapa(PLANTILLA)) {
        mensaje_caja(_("NO SE PUDO LEER LA PLANTILLA"), PLANTILLA);
        return;
    }
    modifi = 1;   // the new file exists only once it is saved
    abre_mapa(nombre);
}

// After the load list was left without opening a level: the open map's view (or an empty
// screen) comes back behind the menu, as after the editing screen.
static void repinta_fondo()
{
    clear(active_page);
    if (carga)
        dibuja_edicion();
}

// Draws the load list's box and title.
static void caja_lista()
{
    rectfill(active_page, LISTA_X1, LISTA_Y1, LISTA_X2, LISTA_Y2, COL_FONDO);
    rect(active_page, LISTA_X1, LISTA_Y1, LISTA_X2, LISTA_Y2, COL_MARCA);
    textprintf_centre_ex(active_page, font, CENTRO, LISTA_TITULO_Y, COL_PROPIO, bg, _("CARGAR"));
}

void cargarmapa()
{
    buscaarch();
    pon_ayuda(&AYUDA_LISTA);
    caja_lista();
    if (niveles == 0) {
        textprintf_centre_ex(active_page, font, CENTRO, LISTA_TITULO_Y + LISTA_PASO, COL_TEXTO, bg, _("NO HAY NIVELES"));
        do
            espera_tecla(true);
        while (k != KEY_ENTER && k != KEY_ESC);
        repinta_fondo();
        return;
    }
    int elegido = 1;
    for (;;) {
        for (int i = 1; i <= niveles; i++) {
            // A long name keeps its start, where the level's number is, and ends in "...".
            char texto[LISTA_CHARS + 1];
            int n = snprintf(texto, sizeof texto, "%d %s", i, archive[i - 1]);
            if (n > LISTA_CHARS)
                memcpy(texto + LISTA_CHARS - 3, "...", 3);
            int y = LISTA_TITULO_Y + LISTA_PASO * i;
            rectfill(active_page, LISTA_X1 + 1, y, LISTA_X2 - 1, y + text_height(font) - 1, COL_FONDO);
            textprintf_centre_ex(active_page, font, CENTRO, y, i == elegido ? COL_MARCA : COL_TEXTO, bg, "%s", texto);
        }
        espera_tecla(true);
        if (cerrar) {
            repinta_fondo();
            return;   // the window was closed: nothing is loaded
        }
        if (k == KEY_ENTER)
            break;
        if (k == KEY_UP)
            elegido--;
        else if (k == KEY_DOWN)
            elegido++;
        if (elegido > niveles)
            elegido = 1;
        if (elegido < 1)
            elegido = niveles;
    }
    // Read from where the catalogue found it; saved into the set's folder (the campaign's: the
    // user's levels/, the same in the build folder).
    char ruta[sizeof archivo], destino[RUTA_MAX];
    ruta_nivel(elegido - 1, ruta, sizeof ruta);
    carpeta_guardado(destino, sizeof destino);
    std::string guarda = std::string(destino) + "/" + archive[elegido - 1];
    char titulo[LISTA_CHARS + 1];
    final_de(ruta, LISTA_CHARS, titulo, sizeof titulo);
    rectfill(active_page, LISTA_X1 + 1, LISTA_TITULO_Y, LISTA_X2 - 1, LISTA_TITULO_Y + text_height(font) - 1, COL_FONDO);
    textprintf_centre_ex(active_page, font, CENTRO, LISTA_TITULO_Y, COL_PROPIO, bg, "%s", titulo);
    // A file that cannot be read or is cut short is not opened; the open map stays as it was.
    if (guarda.size() >= sizeof archivo || !CargaMapa(ruta)) {
        mensaje_caja(_("NO SE PUDO ABRIR EL NIVEL"), ruta);
        repinta_fondo();
        return;
    }
    abre_mapa(guarda.c_str());
}

int tramo_cerrado_mapa()
{
    static unsigned char carriles[ENE_COLS];
    memset(carriles, 0, sizeof carriles);
    for (int col = 0; col < ENE_COLS; col++)
        for (int n = 0; n < CARRILES; n++)
            if (enemi2[col][CALLE_PRIMERA + n] == TIPO_EXPLOSIVO)
                carriles[col] |= (unsigned char)(1 << n);
    int hasta;
    return tramo_cerrado(carriles, multi, &hasta);
}

int columna_perdida_mapa()
{
    if (ArmaEnemigos(enemi2) > ENE_MAX)
        return -1;   // such a map is not saved at all
    return piloto_columna_perdida();
}

bool pregunta_si_no(const char *linea1, const char *linea2)
{
    int resp = RESP_SI;
    pon_ayuda(&AYUDA_SI_NO);
    Debajo debajo = guarda_debajo(PREGUNTA_X1, CAJA_Y1, PREGUNTA_X2, CAJA_Y2);
    rectfill(active_page, PREGUNTA_X1, CAJA_Y1, PREGUNTA_X2, CAJA_Y2, COL_FONDO);
    rect(active_page, PREGUNTA_X1, CAJA_Y1, PREGUNTA_X2, CAJA_Y2, COL_MARCA);
    textprintf_centre_ex(active_page, font, CENTRO, ADV_L1, COL_PROPIO, bg, "%s", linea1);
    textprintf_centre_ex(active_page, font, CENTRO, ADV_L2, COL_PROPIO, bg, "%s", linea2);
    for (;;) {
        textprintf_centre_ex(active_page, font, CENTRO, ADV_SI, resp == RESP_SI ? COL_MARCA : COL_TEXTO, bg, _("SI"));
        textprintf_centre_ex(active_page, font, CENTRO, ADV_NO, resp == RESP_NO ? COL_MARCA : COL_TEXTO, bg, _("NO"));
        espera_tecla(false);
        if (k == KEY_ENTER || k == KEY_ESC)
            break;
        if (k == KEY_UP || k == KEY_DOWN)
            resp = resp == RESP_SI ? RESP_NO : RESP_SI;
    }
    restaura_debajo(debajo);
    return k == KEY_ENTER && resp == RESP_SI;
}

bool gurdarmapa()
{
    // A new level the game could never reach is not written.
    if (!cabe_en_catalogo(archivo))
        return false;
    // A level no careful player can pass (the lane rule, then the autoplayer's drive at the
    // hardest difficulty, as "-verifica" says) is saved only when asked for again.
    int cerrado = tramo_cerrado_mapa();
    int perdida = cerrado >= 0 ? cerrado : columna_perdida_mapa();
    if (perdida >= 0) {
        char l1[40];
        if (cerrado >= 0) {
            snprintf(l1, sizeof l1, _("CERRADO EN COLUMNA %d"), cerrado);
            fprintf(stderr, _("KORV-EDITOR: %s: los explosivos cierran los cuatro carriles desde la columna %d\n"),
                    archivo, cerrado);
        } else {
            snprintf(l1, sizeof l1, _("SE PIERDE EN COLUMNA %d"), perdida);
            fprintf(stderr, _("KORV-EDITOR: %s: no se puede ganar sin perder vidas desde la columna %d\n"), archivo,
                    perdida);
        }
        if (!pregunta_si_no(l1, _("GUARDAR IGUAL?")))
            return false;
    }
    if (ArmaEnemigos(enemi2) > ENE_MAX) {
        // The editing screen refuses the 301st enemy; this only guards the table's bound.
        fprintf(stderr, _("KORV-EDITOR: %s: NO SE PUDO GUARDAR: mas de %d enemigos\n"), archivo, ENE_MAX);
        mensaje_caja(_("NO SE PUDO GUARDAR"), _("MAS DE 300 ENEMIGOS"));
        return false;
    }
    if (strncmp(archivo, CARPETA, sizeof CARPETA - 1) == 0 && archivo[sizeof CARPETA - 1] == '/')
        mkdir(CARPETA, 0777);   // a missing folder is made; any real problem shows in the write
    // Installed, the user's folder is made on the first save; without it nothing is written. A
    // level of the campaign keeps its first version before it is written over.
    if (!guarda_original(archivo))
        return false;
    if ((instalado && !asegura_carpeta_usuario()) || !GuardaMapa(archivo)) {
        fprintf(stderr, _("KORV-EDITOR: %s: NO SE PUDO GUARDAR\n"), archivo);
        mensaje_caja(_("NO SE PUDO GUARDAR"), archivo);
        return false;
    }
    modifi = 0;
    historia_guardado();
    return true;
}

unsigned char paso_multi(unsigned char m, int tecla)
{
    if (tecla == KEY_LEFT)
        m = (unsigned char)(m - 1);
    else if (tecla == KEY_RIGHT)
        m = (unsigned char)(m + 1);
    else
        return m;
    if (m > MULTI_MAX)
        m = MULTI_MIN;
    if (m == 0)
        m = MULTI_MAX;
    return m;
}

// Colour of a speed choice: marked when it is the current code.
static int color_multi(int codigo)
{
    return multi == codigo ? COL_MARCA : COL_TEXTO;
}

void opcimap()
{
    unsigned char antes = multi;
    pon_ayuda(&AYUDA_VELOCIDAD);
    Debajo debajo = guarda_debajo(CAJA_X1, CAJA_Y1, CAJA_X2, VEL_Y2);
    do {
        rectfill(active_page, CAJA_X1, CAJA_Y1, CAJA_X2, VEL_Y2, COL_FONDO);
        rect(active_page, CAJA_X1, CAJA_Y1, CAJA_X2, VEL_Y2, COL_MARCA);
        textprintf_centre_ex(active_page, font, CENTRO, VEL_TITULO_Y, COL_TEXTO, bg, _("MULTIPLICA VEL"));
        textprintf_ex(active_page, font, VEL_X1_X, VEL_LINEA_Y, color_multi(1), bg, "x1");
        textprintf_centre_ex(active_page, font, VEL_X15_X, VEL_LINEA_Y, color_multi(2), bg, "x1.5");
        textprintf_centre_ex(active_page, font, VEL_X2_X, VEL_LINEA_Y, color_multi(3), bg, "x2");
        espera_tecla(true);
        if (cerrar)
            break;
        multi = paso_multi(multi, k);
    } while (k != KEY_ENTER);
    restaura_debajo(debajo);
    // The dialog's choice is one step of the history.
    if (multi != antes) {
        unsigned char elegido = multi;
        multi = antes;
        cambia_celda(CAMBIO_VELOCIDAD, 0, 0, elegido);
    }
}

bool advertencia()
{
    int resp = RESP_SI;
    pon_ayuda(&AYUDA_SI_NO);
    Debajo debajo = guarda_debajo(CAJA_X1, CAJA_Y1, CAJA_X2, CAJA_Y2);
    rectfill(active_page, CAJA_X1, CAJA_Y1, CAJA_X2, CAJA_Y2, COL_FONDO);
    rect(active_page, CAJA_X1, CAJA_Y1, CAJA_X2, CAJA_Y2, COL_MARCA);
    textprintf_centre_ex(active_page, font, CENTRO, ADV_L1, COL_PROPIO, bg, _("NO HA GURDADO"));
    textprintf_centre_ex(active_page, font, CENTRO, ADV_L2, COL_PROPIO, bg, _("DESEA GUARDAR?"));
    for (;;) {
        textprintf_centre_ex(active_page, font, CENTRO, ADV_SI, resp == RESP_SI ? COL_MARCA : COL_TEXTO, bg, _("SI"));
        textprintf_centre_ex(active_page, font, CENTRO, ADV_NO, resp == RESP_NO ? COL_MARCA : COL_TEXTO, bg, _("NO"));
        // The question must be answered, also after the window's close button.
        espera_tecla(false);
        if (k == KEY_ENTER)
            break;
        if (k == KEY_UP)
            resp--;
        else if (k == KEY_DOWN)
            resp++;
        if (resp > RESP_NO)
            resp = RESP_SI;
        if (resp < RESP_SI)
            resp = RESP_NO;
    }
    restaura_debajo(debajo);
    // A save that fails keeps the changes marked as unsaved, and what was asked for does not happen.
    if (resp == RESP_SI && !gurdarmapa())
        return false;
    modifi = 0;
    return true;
}
