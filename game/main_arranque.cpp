// main: the globals of start-up, option parsing, the diagnostic screen, the close button.
#include "game/main.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "shared/ajustes.h"
#include "shared/conjuntos.h"
#include "shared/pantalla.h"
#include "shared/ritmo.h"
#include "game/verifica.h"
#include "game/musica.h"
#include "game/utilfun.h"
#include "shared/idioma.h"

int autodetect_card;
int triple_buffer;
int info;
volatile int salir;
int max_fps = HZ_REFERENCIA;
BITMAP *page1, *page2, *page3;
BITMAP *pvirtual;
BITMAP *active_page;
BITMAP *actual_page;
namespace korv {
int sync;
}
BITMAP *scroll;
BITMAP *proximo_bloque;
FONT *font2;
FONT *font_chica;
int bg = -1;
int a, b, c, k;

char archivo[512];
int dificultad_fija = -1;
char conjunto_pedido[1024];
char paquete_pedido[1024];
int instala_y_sale;

// Options of the game that take a value: what follows one of them is not a pack file.
static const char *const CON_VALOR[] = {"-nivel", "-desde", "-dificultad", "-repeticion", "-escala",
                                        "-conjunto", "-instala"};

// Reads a whole decimal number lo..hi from text; false for anything else.
static bool numero_entre(const char *texto, int lo, int hi, int *out)
{
    if (!texto || !*texto || strlen(texto) > 4)
        return false;
    for (const char *p = texto; *p; p++)
        if (*p < '0' || *p > '9')
            return false;
    int v = atoi(texto);
    if (v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

bool lee_opciones_nivel(int argc, char **argv, char *error, int tam)
{
    nivel_suelto[0] = 0;
    desde_col = dificultad_fija = -1;
    for (int i = 1; i < argc; i++) {
        const char *valor = i + 1 < argc ? argv[i + 1] : NULL;
        if (strcmp(argv[i], "-nivel") == 0) {
            if (!valor || !*valor || strlen(valor) >= sizeof nivel_suelto) {
                snprintf(error, tam, _("-nivel necesita el archivo del nivel"));
                return false;
            }
            snprintf(nivel_suelto, sizeof nivel_suelto, "%s", valor);
        } else if (strcmp(argv[i], "-desde") == 0) {
            if (!numero_entre(valor, 0, DESDE_MAX, &desde_col)) {
                snprintf(error, tam, _("-desde necesita una columna de 0 a %d (se dio '%s')"), DESDE_MAX,
                         valor ? valor : "");
                return false;
            }
        } else if (strcmp(argv[i], "-dificultad") == 0) {
            if (!numero_entre(valor, 0, DIFICULTAD_MAX, &dificultad_fija)) {
                snprintf(error, tam, _("-dificultad necesita 0, 1 o 2 (se dio '%s')"), valor ? valor : "");
                return false;
            }
        } else {
            continue;
        }
        i++;   // the value was taken
    }
    if (desde_col >= 0 && !nivel_suelto[0]) {
        snprintf(error, tam, _("-desde solo sirve con -nivel ARCHIVO"));
        return false;
    }
    return true;
}

bool lee_opciones_conjunto(int argc, char **argv, char *error, int tam)
{
    conjunto_pedido[0] = paquete_pedido[0] = 0;
    instala_y_sale = 0;
    int paquetes = 0;
    for (int i = 1; i < argc; i++) {
        const char *valor = i + 1 < argc ? argv[i + 1] : NULL;
        bool instala = strcmp(argv[i], "-instala") == 0;
        if (strcmp(argv[i], "-conjunto") == 0 || instala) {
            if (!valor || !*valor) {
                snprintf(error, tam, _("%s necesita %s"), argv[i], instala ? _("el archivo de un paquete de niveles")
                                                                        : _("el nombre o la carpeta de un conjunto"));
                return false;
            }
            struct stat st;
            // A folder given by its path: the program may move into its data folder.
            if (!instala && !(stat(valor, &st) == 0 && S_ISDIR(st.st_mode) && strchr(valor, '/')))
                snprintf(conjunto_pedido, sizeof conjunto_pedido, "%s", valor);
            else if (!ruta_absoluta(valor, instala ? paquete_pedido : conjunto_pedido, sizeof paquete_pedido))
                return snprintf(error, tam, _("%s: ruta demasiado larga"), valor), false;
            paquetes += instala;
            instala_y_sale |= instala;
            i++;
            continue;
        }
        bool toma = false;
        for (const char *o : CON_VALOR)
            toma = toma || strcmp(argv[i], o) == 0;
        if (toma) {
            i++;
        } else if (argv[i][0] != '-' && argv[i][0]) {
            // A file given alone: a pack opened from a file manager.
            if (!ruta_absoluta(argv[i], paquete_pedido, sizeof paquete_pedido))
                return snprintf(error, tam, _("%s: ruta demasiado larga"), argv[i]), false;
            paquetes++;
        }
    }
    if (paquetes > 1) {
        snprintf(error, tam, _("se instala un paquete de niveles a la vez"));
        return false;
    }
    return true;
}

void lee_opciones(int argc, char **argv)
{
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "-full") == 0)
            autodetect_card = GFX_AUTODETECT_FULLSCREEN;
        else if (strcmp(argv[i], "-tbuf") == 0)
            triple_buffer = 1;
        else if (strcmp(argv[i], "-info") == 0)
            info = 1;
        else if (strcmp(argv[i], "-escala") == 0)
            escala_pedida = valor_escala(valor_opcion(argc, argv, &i), "KORVEX");
    }
}

int tasa_logica(int refresco)
{
    return refresco > 0 ? refresco : HZ_REFERENCIA;
}

// Diagnostic line positions: x, first line's y, line step.
enum { INFO_X = 4, INFO_Y_RITMO = 40, INFO_Y_CANCIONES = 90, INFO_PASO = 10 };

void pantalla_info()
{
    textprintf_ex(active_page, font2, INFO_X, 10, -1, bg, _("KORVEX 1.9 Info"));
    textprintf_ex(active_page, font2, INFO_X, 30, -1, bg, _("Vsync= %d  Maxfps= %d  Triple Buffer= %d"),
                  korv::sync, max_fps, triple_buffer);
    char como[96];
    texto_ritmo(ritmo, como, sizeof como);
    textprintf_ex(active_page, font2, INFO_X, INFO_Y_RITMO, -1, bg, _("Ritmo= %s%s"), como,
                  ritmo.fuente != FUENTE_TEMPORIZADOR && !ritmo_por_vblank ? _(" sin vblank") : "");
    // The catalogue lists every level file; those that cannot be read are skipped in a run.
    int ilegibles = 0;
    char ruta[sizeof archivo];
    for (int i = 0; i < niveles; i++) {
        ruta_nivel(i, ruta, sizeof ruta);
        ilegibles += !NivelValido(ruta);
    }
    char de_mas[40] = "";
    if (niveles_de_mas > 0)
        snprintf(de_mas, sizeof de_mas, _("  No se juegan = %d"), niveles_de_mas);
    if (ilegibles)
        textprintf_ex(active_page, font2, INFO_X, 50, -1, bg, _("Nro Niveles = %d  Ilegibles = %d%s"), niveles, ilegibles,
                      de_mas);
    else
        textprintf_ex(active_page, font2, INFO_X, 50, -1, bg, _("Nro Niveles = %d%s"), niveles, de_mas);
    textprintf_ex(active_page, font2, INFO_X, 60, -1, bg, _("Conjunto= %s"), conjunto().nombre);
    textprintf_ex(active_page, font2, INFO_X, 70, -1, bg, _("Musica MP3= %d  Nro Temas= %d"), musicmp3, musicas);
    for (int i = 0; i < musicas; i++)
        textprintf_ex(active_page, font2, INFO_X, INFO_Y_CANCIONES + INFO_PASO * i, -1, bg, "%s",
                      archivm[listamusica[i]]);
}

void aplica_ajustes_pantalla()
{
    escala_pedida = aj_escala;
    cambia_modo(aj_completa != 0);
}

void fin_pedido()
{
    cambnib = EST_SALIR;
    salir = 1;
}

void close_hook()
{
    cambnib = EST_SALIR;
    salir = 1;
    simulate_keypress(KEY_ESC << 8);
}
