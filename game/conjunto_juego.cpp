// conjunto_juego: the set in play, the levels reached in each set's games, practice.
#include "game/conjunto_juego.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shared/ajustes.h"
#include "shared/ayuda.h"
#include "shared/busca.h"
#include "shared/conjuntos.h"
#include "shared/lectura.h"
#include "game/ayudas.h"
#include "game/main.h"
#include "game/presoverganec.h"
#include "game/utilfun.h"
#include "game/volumen.h"
#include "shared/idioma.h"

int practica;
int conjuntos_jugables = 1;

static const float T_FIN = 5.0f;   // the end of a practice on view, seconds (a key shortens it)

// The practice screen's and its end's lines: centre, heights, colours.
enum {
    CENTRO_X = 160, TITULO_Y = 20, CONJUNTO_Y = 48, NIVEL_Y = 78, ARCHIVO_Y = 100,
    DIF_Y = 130, DIF_PASO = 28,
    FIN_Y = 56, FIN_PASO = 30, FIN_AVISO_Y = 136, FIN_AVISO_PASO = 20,
    COL_PROPIO = -1, COL_MARCA = 239, COL_BLANCO = 255
};
static const char *const NOMBRE_DIFICULTAD[3] = {N_("VOY DE PASEO"), N_("QUIERO JUGAR"), N_("SOY JODIDO")};

void cuenta_jugables()
{
    int antes = conjunto_actual;
    conjuntos_jugables = 0;
    for (int i = 0; i < n_conjuntos; i++) {
        pon_conjunto(i);
        buscaarch();
        conjuntos_jugables += niveles > 0;
    }
    pon_conjunto(antes);
    buscaarch();
}

void cambia_conjunto(int paso)
{
    int antes = conjunto_actual;
    for (int n = 1; n < n_conjuntos; n++) {
        pon_conjunto(((antes + paso * n) % n_conjuntos + n_conjuntos) % n_conjuntos);
        buscaarch();
        if (niveles > 0)
            return;
    }
    pon_conjunto(antes);
    buscaarch();
}

bool muestra_conjunto()
{
    return conjuntos_jugables > 1 || !conjunto().campana;
}

// Takes the one pair of the progress file.
static bool aplica_alcanzado(const char *clave, const char *valor, void *dato)
{
    char *fin;
    long n = strtol(valor, &fin, 10);
    if (strcmp(clave, "alcanzado") != 0 || fin == valor || *fin || n < 0 || n > MAX_NIVELES)
        return false;
    *(int *)dato = (int)n;
    return true;
}

int lee_alcanzado()
{
    char ruta[RUTA_MAX], motivo[MOTIVO_MAX];
    int n = 0;
    if (ruta_dato(ALCANZADO_ARCHIVO, false, ruta, sizeof ruta) &&
        lee_claves(ruta, "progreso", aplica_alcanzado, &n, motivo, sizeof motivo) < 0)
        fprintf(stderr, _("%s: %s; se empieza sin niveles alcanzados\n"), ruta, motivo);
    return n;
}

void anota_alcanzado(int n)
{
    if (n <= lee_alcanzado())
        return;
    char ruta[RUTA_MAX], texto[96];
    int largo = snprintf(texto, sizeof texto, "# KORVEX: el nivel mas alto alcanzado en una partida\nalcanzado = %d\n", n);
    if (ruta_dato(ALCANZADO_ARCHIVO, true, ruta, sizeof ruta))
        escribe_atomico(ruta, texto, (size_t)largo);
}

int niveles_practicables()
{
    if (!conjunto().campana)
        return niveles;
    int n = lee_alcanzado();
    return n < niveles ? n : niveles;
}

// Draws the practice screen: the set, the level chosen with its file, the difficulties.
static void dibuja_practica(int elegido, int dif)
{
    clear(active_page);
    textprintf_centre_ex(active_page, font, CENTRO_X, TITULO_Y, COL_PROPIO, bg, _("PRACTICAR"));
    textprintf_centre_ex(active_page, font, CENTRO_X, CONJUNTO_Y, COL_BLANCO, bg, "%s", conjunto().nombre);
    textprintf_centre_ex(active_page, font, CENTRO_X, NIVEL_Y, COL_MARCA, bg, _("< NIVEL %d >"), elegido);
    char archivo_nivel[CONJ_DESCRIPCION_MAX + 1];
    if (!texto_pantalla(archive[elegido - 1], archivo_nivel, CONJ_DESCRIPCION_MAX))
        archivo_nivel[0] = 0;
    textprintf_centre_ex(active_page, font2, CENTRO_X, ARCHIVO_Y, COL_BLANCO, bg, "%s", archivo_nivel);
    for (int i = 0; i < 3; i++)
        textprintf_centre_ex(active_page, font, CENTRO_X, DIF_Y + DIF_PASO * i, i == dif ? COL_PROPIO : COL_BLANCO,
                             bg, "%s", _(NOMBRE_DIFICULTAD[i]));
}

bool elige_practica(int *dif)
{
    int tope = niveles_practicables();
    if (tope < 1)
        return false;
    int elegido = tope, d = 1;
    pon_ayuda(&AYUDA_PRACTICA);
    for (;;) {
        dibuja_practica(elegido, d);
        clear_keybuf();
        int k = cambnib == EST_SALIR ? KEY_ESC : lee_tecla() >> 8;
        atiende_mudo();
        if (k == KEY_ESC || cambnib == EST_SALIR)
            return false;
        if (k == KEY_ENTER)
            break;
        if (k == KEY_LEFT)
            elegido = elegido > 1 ? elegido - 1 : tope;
        else if (k == KEY_RIGHT)
            elegido = elegido < tope ? elegido + 1 : 1;
        d = menu_tecla(d, k, 3);
    }
    practica = elegido;
    *dif = d;
    return true;
}

void fin_practica()
{
    bool completo = cambnib == EST_NIVEL_OK || cambnib == EST_GANO;
    bool perdio = cambnib == EST_GAMEOVER;
    if (cambnib == EST_SALIR || salir)
        return;
    // Neither the game-over screen nor the win and its table follow a practice: the title does.
    cambnib = EST_TITULO;
    if (!completo && !perdio)
        return;   // left with ESC
    pon_ayuda(NULL);
    set_palette(the_palette);
    clear(active_page);
    textprintf_centre_ex(active_page, font, CENTRO_X, FIN_Y, COL_PROPIO, bg, "%s",
                         completo ? _("NIVEL COMPLETO") : _("GAME OVER"));
    textprintf_centre_ex(active_page, font, CENTRO_X, FIN_Y + FIN_PASO, COL_PROPIO, bg, _("PUNTOS: %d"), puntos);
    textprintf_centre_ex(active_page, font, CENTRO_X, FIN_AVISO_Y, COL_MARCA, bg, _("PRACTICA:"));
    textprintf_centre_ex(active_page, font, CENTRO_X, FIN_AVISO_Y + FIN_AVISO_PASO, COL_MARCA, bg,
                         _("NO ENTRA EN LOS RECORDS"));
    delay2(T_FIN);
}

// Lines of the notice of an opened pack: the heading, the set's name, then the detail in the small font.
enum { AVISO_Y = 60, AVISO_NOMBRE_Y = 92, AVISO_DETALLE_Y = 124, AVISO_PASO = 10, AVISO_CHARS = 38,
       AVISO_LINEAS = 8 };
static const float T_AVISO = 8.0f;   // the notice on view, seconds (a key shortens it)

// Draws a text in lines of the small font from line y on, cut between words where it can.
static void parrafo(const char *texto, int y)
{
    char t[AVISO_LINEAS * AVISO_CHARS + 1];
    if (!texto_pantalla(texto, t, sizeof t - 1))
        snprintf(t, sizeof t, "%s", texto);
    const char *p = t;
    for (int l = 0; l < AVISO_LINEAS && *p; l++) {
        int n = (int)strlen(p);
        if (n > AVISO_CHARS) {
            n = AVISO_CHARS;
            for (int j = AVISO_CHARS; j > AVISO_CHARS / 2; j--)
                if (p[j] == ' ') {
                    n = j;
                    break;
                }
        }
        textprintf_centre_ex(active_page, font2, CENTRO_X, y + AVISO_PASO * l, COL_BLANCO, bg, "%.*s", n, p);
        p += n;
        while (*p == ' ')
            p++;
    }
}

void aviso_paquete(bool hecho, const char *detalle)
{
    pon_ayuda(NULL);
    set_palette(the_palette);
    clear(active_page);
    textprintf_centre_ex(active_page, font, CENTRO_X, AVISO_Y, hecho ? COL_PROPIO : COL_MARCA, bg, "%s",
                         hecho ? _("CONJUNTO INSTALADO") : _("NO SE INSTALO EL PAQUETE"));
    if (hecho) {
        char niveles_texto[48];
        textprintf_centre_ex(active_page, font, CENTRO_X, AVISO_NOMBRE_Y, COL_BLANCO, bg, "%s", conjunto().nombre);
        snprintf(niveles_texto, sizeof niveles_texto, _("%d %s: YA ESTA ELEGIDO PARA JUGAR"), niveles,
                 niveles == 1 ? _("NIVEL") : _("NIVELES"));
        parrafo(niveles_texto, AVISO_DETALLE_Y);
    } else {
        parrafo(detalle, AVISO_DETALLE_Y);
    }
    delay2(T_AVISO);
}
