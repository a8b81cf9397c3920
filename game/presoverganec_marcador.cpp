// presoverganec: the online tables on a high-score table's screen: E sends the best run of that
// table, L shows the online table of the set and difficulty; the network thread does the work and
// the screen redraws when its state moves, never waiting on it.
#include "game/presoverganec.h"

#include <cstdio>

#include "shared/conjuntos.h"
#include "shared/idioma.h"
#include "shared/lectura.h"
#include "game/main.h"
#include "game/marcador.h"
#include "game/repeticion_juego.h"
#include "game/utilfun.h"
#include "game/volumen.h"

enum { COL_PROPIO = -1, COL_FONDO = 0, COL_MARCA = 239 };

// Layout, pixels: as the local tables, the online one shows its first ten rows.
enum {
    TABLA_TITULO_Y = 5, TABLA_Y = 30, TABLA_PASO = 20, LINEA_Y = 22,
    PIE_Y = 232,                 // the keys' line, small, under the tenth row
    AVISO_Y = 100, AVISO_PASO = 25,
    FILAS_VISTAS = 10
};

static const float T_TABLA = 8.0f;   // a table on view with no news, seconds

static const char *const titulo_en_linea[RANKING_TABLAS] = {
    N_("EN LINEA - VOY DE PASEO"), N_("EN LINEA - QUIERO JUGAR"), N_("EN LINEA - SOY JODIDO")};

// The best run of difficulty dif of the current set, when it is one the server takes (a won
// game, not a practice, at full pace): its file and its final score.
static bool mejor_enviable(int dif, char *ruta, int tam, unsigned int *total)
{
    char nombre[32], error[RUTA_MAX + MOTIVO_MAX];
    snprintf(nombre, sizeof nombre, "mejor_%d.rep", dif);
    static Repeticion r;
    if (!ruta_dato(nombre, false, ruta, tam) || !lee_repeticion(ruta, &r, error, sizeof error))
        return false;
    *total = (unsigned int)repeticion_total(r);
    return repeticion_entra_en_tabla(r);
}

// The initials the table gives a score (its first place with that score); false when none.
static bool iniciales_del_puntaje(const unsigned char buf[RANKING_BYTES], int dif, unsigned int total, char ini[3])
{
    for (int i = 0; i < RANKING_LUGARES; i++) {
        const unsigned char *r = buf + (dif * RANKING_LUGARES + i) * RANKING_REG;
        unsigned int p = (unsigned)r[0] | (unsigned)r[1] << 8 | (unsigned)r[2] << 16 | (unsigned)r[3] << 24;
        bool letras = true;
        for (int j = 0; j < 3; j++)
            letras = letras && r[RANKING_INI + j] >= 'A' && r[RANKING_INI + j] <= 'Z';
        if (p == total && letras) {
            memcpy(ini, r + RANKING_INI, 3);
            return true;
        }
    }
    return false;
}

// The line of the send's news, "" when there is none.
static void linea_envio(const VistaMarcador &v, char *out, int tam)
{
    out[0] = '\0';
    switch (v.envio) {
    case ENVIO_ENVIANDO: snprintf(out, tam, "%s", _("ENVIANDO LA PARTIDA...")); break;
    case ENVIO_EN_COLA: snprintf(out, tam, "%s", _("ENVIADA: SE ESTA VERIFICANDO")); break;
    case ENVIO_VERIFICADA: snprintf(out, tam, _("VERIFICADA: %u PUNTOS"), v.puntos); break;
    case ENVIO_RECHAZADA: snprintf(out, tam, _("RECHAZADA: %s"), v.motivo); break;
    default: break;
    }
}

// The notice in the middle of the online view (two lines; NULL none): a failed send, or the table's state.
static void aviso_en_linea(const VistaMarcador &v, const char *aviso[2])
{
    aviso[0] = aviso[1] = NULL;
    if (v.envio == ENVIO_FALLIDO) {
        aviso[0] = _("NO SE PUDO ENVIAR");
        aviso[1] = _("SE ENVIARA LA PROXIMA VEZ");
    } else if (v.envio == ENVIO_NO_GUARDADA) {
        aviso[0] = _("NO SE PUDO GUARDAR");
        aviso[1] = _("LA PARTIDA PARA ENVIARLA");
    } else if (v.tabla == TABLA_PIDIENDO) {
        aviso[0] = _("PIDIENDO LA TABLA...");
    } else if (v.tabla == TABLA_FALLIDA) {
        aviso[0] = _("EL MARCADOR NO RESPONDE");
    } else if (v.tabla == TABLA_LISTA && v.filas == 0) {
        aviso[0] = _("NADIE EN LA TABLA TODAVIA");
    }
}

// Draws the online table of difficulty t (1..3) as the network thread has it.
static void dibuja_en_linea(int t)
{
    static VistaMarcador v;
    marcador_vista(&v);
    clear_to_color(active_page, COL_FONDO);
    textprintf_centre_ex(active_page, font, 160, TABLA_TITULO_Y, COL_PROPIO, bg, "%s", _(titulo_en_linea[t - 1]));
    char linea[MARCADOR_MOTIVO_MAX + 32];
    linea_envio(v, linea, sizeof linea);
    textprintf_centre_ex(active_page, font2, 160, LINEA_Y, COL_MARCA, bg, "%s", linea[0] ? linea : conjunto().nombre);
    const char *aviso[2];
    aviso_en_linea(v, aviso);
    for (int i = 0; i < 2 && aviso[0]; i++)
        if (aviso[i])
            textprintf_centre_ex(active_page, font, 160, AVISO_Y + AVISO_PASO * i, COL_MARCA, bg, "%s", aviso[i]);
    for (int i = 0; !aviso[0] && v.tabla == TABLA_LISTA && i < v.filas && i < FILAS_VISTAS; i++) {
        const FilaMarcador &f = v.fila[i];
        bool suya = v.envio == ENVIO_VERIFICADA && f.id == v.id;
        textprintf_centre_ex(active_page, font, 160, TABLA_Y + TABLA_PASO * i, suya ? COL_MARCA : COL_PROPIO, bg,
                             "%2d %6u %s", i + 1, f.puntos, f.ini[0] ? f.ini : "---");
    }
    textprintf_centre_ex(active_page, font2, 160, PIE_Y, COL_MARCA, COL_FONDO, "%s", _("L: LOS RECORDS DE ESTA MAQUINA"));
}

// The keys' line under the local table.
static void pie_local(bool enviable)
{
    textprintf_centre_ex(active_page, font2, 160, PIE_Y, COL_MARCA, COL_FONDO, "%s",
                         enviable ? _("E: ENVIAR LA MEJOR - L: EN LINEA") : _("L: VER LA TABLA EN LINEA"));
}

// Sends the best run of difficulty dif with the initials its table gives it (asked for when it
// has none there); false when there is no run to send.
static bool envia_mejor(const unsigned char buf[RANKING_BYTES], int dif)
{
    char ruta[RUTA_MAX], ini[3];
    unsigned int total;
    if (!mejor_enviable(dif, ruta, sizeof ruta, &total))
        return false;
    if (!iniciales_del_puntaje(buf, dif, total, ini)) {
        int antes = puntos;
        puntos = (int)total;
        entra_iniciales(ini);
        puntos = antes;
    }
    marcador_envia(ruta, ini, conjunto_actual);
    return true;
}

int espera_con_marcador(const unsigned char buf[RANKING_BYTES], int t, int marca, bool mejor)
{
    char ruta[RUTA_MAX];
    unsigned int total;
    bool enviable = mejor && mejor_enviable(t - 1, ruta, sizeof ruta, &total);
    bool en_linea = false;
    std::string nombre = marcador_nombre_conjunto(conjunto_actual);
    int inicio = tick;
    int fin = inicio + (int)(max_fps * T_TABLA);
    unsigned visto = marcador_cambios();
    int scan = 0;
    pie_local(enviable);
    clear_keybuf();
    while (tick < fin && cambnib != EST_SALIR) {
        atiende_mudo();
        bool redibuja = false;
        if (keypressed()) {
            scan = readkey() >> 8;
            if (scan == KEY_L || (scan == KEY_E && enviable)) {
                en_linea = scan == KEY_E || !en_linea;
                if (scan == KEY_E && envia_mejor(buf, t - 1))
                    enviable = false;   // one send per visit of the table
                if (en_linea)
                    marcador_pide_tabla(nombre.c_str(), t - 1);
                redibuja = true;
            } else if (scan != KEY_M) {
                break;   // M only mutes the music
            }
            scan = 0;
        }
        if (marcador_cambios() != visto) {
            visto = marcador_cambios();
            redibuja = redibuja || en_linea;
        }
        if (redibuja) {
            // News, or a key: the screen stays its full time from now.
            fin = tick + (int)(max_fps * T_TABLA);
            if (en_linea) {
                dibuja_en_linea(t);
            } else {
                dibuja_tabla_con_linea(buf, t, marca, mejor);
                pie_local(enviable);
            }
        }
        reposa();
    }
    tick = inicio;
    return scan;
}
