// presoverganec: the final score, the initials entry and the ranking tables with their file.
#include "game/presoverganec.h"

#include <cerrno>
#include <climits>
#include <cstdio>

#include "shared/conjuntos.h"
#include "shared/lectura.h"
#include "shared/guardado.h"
#include "shared/idioma.h"
#include "shared/rutas.h"
#include "game/ayudas.h"
#include "game/conjunto_juego.h"
#include "game/main.h"
#include "game/marcador.h"
#include "game/repeticion_juego.h"
#include "game/utilfun.h"
#include "shared/idioma.h"

// Pauses, seconds.
static const float T_PUNTAJE = 5.0f;    // the final score on view
static const float T_INICIALES = 3.0f;  // after the entry (or on the score when it does not enter)
static const float T_AVISO = 3.0f;      // the "not saved" notice, a key shortens it
static const float T_TABLA = 8.0f;      // each table on view, skippable

enum { COL_PROPIO = -1, COL_FONDO = 0, COL_MARCA = 239 };

// Text layout of the tables and the entry, pixels.
enum {
    TABLA_TITULO_Y = 5, TABLA_Y = 30, TABLA_PASO = 21,
    TABLA_PASO_CON_PIE = 20,              // with the online tables' keys under the tenth row
    AVISO_Y = 100,                        // first line of the "not saved" notice
    AVISO_PASO = 25,                      // between its two lines
    RITMO_Y = 172, RITMO_PASO = 24,       // the notice of a slower run on the final score
    INI_Y = 160, INI_X = 140, INI_PASO = 13,
    OFERTA_Y = 22                         // "R: VER LA MEJOR" and the set's name, small, under the title
};

static const char *const titulo_tabla[RANKING_TABLAS] = {
    N_("RANKING - VOY DE PASEO"), N_("RANKING - QUIERO JUGAR"), N_("RANKING - SOY JODIDO")};

// The notice of an entry that could not be saved: too wide for one line of the game font.
static const char *const AVISO_NO_GUARDADO[2] = {N_("NO SE PUDO GUARDAR"), N_("EL RANKING")};

// Record i (0..29) of a ranking image.
static unsigned char *registro(unsigned char *buf, int i) { return buf + i * RANKING_REG; }
static const unsigned char *registro(const unsigned char *buf, int i) { return buf + i * RANKING_REG; }

// Score of a record: unsigned little-endian 32 bits.
static unsigned int puntaje(const unsigned char *r)
{
    return (unsigned int)r[0] | ((unsigned int)r[1] << 8) | ((unsigned int)r[2] << 16) | ((unsigned int)r[3] << 24);
}

static void pon_puntaje(unsigned char *r, unsigned int v)
{
    r[0] = (unsigned char)v;
    r[1] = (unsigned char)(v >> 8);
    r[2] = (unsigned char)(v >> 16);
    r[3] = (unsigned char)(v >> 24);
}

// Copies three initials, stopping at a zero byte and filling the rest with zeros.
static void copia_iniciales(unsigned char *dst, const char *src)
{
    int i = 0;
    for (; i < 3 && src[i]; i++)
        dst[i] = (unsigned char)src[i];
    for (; i < 3; i++)
        dst[i] = 0;
}

int total_final(int pts, int vid)
{
    long long t = (long long)pts + (long long)vid * BONO_VIDA;
    if (t > INT_MAX)
        t = INT_MAX;
    if (t < INT_MIN)
        t = INT_MIN;
    return (int)t;
}

// The ranking file of the current set: the campaign's where it always was (the shipped one until
// the user's is written); a user set's in its folder.
static bool ruta_ranking(bool escribe, char *out, int tam)
{
    if (!conjunto().campana)
        return ruta_dato("ranking.dat", escribe, out, tam);
    if (escribe)
        return ruta_ranking_escribe(out, tam);
    ruta_ranking_lee(out, tam);
    return true;
}

// The tables a set starts with: the campaign's shipped ones; a user set's empty (zero scores,
// blank initials).
static void ranking_inicial(unsigned char buf[RANKING_BYTES])
{
    if (conjunto().campana)
        ranking_por_defecto(buf);
    else
        memset(buf, 0, RANKING_BYTES);
}

bool lee_ranking(unsigned char buf[RANKING_BYTES])
{
    char ruta[RUTA_MAX] = "";
    char motivo[MOTIVO_MAX];
    const char *cuales = conjunto().campana ? _("los records de fabrica") : _("las tablas vacias");
    FILE *f = ruta_ranking(false, ruta, sizeof ruta) ? abre_regular(ruta, motivo, sizeof motivo) : NULL;
    if (!f) {
        // A user set without a ranking yet starts with empty tables: nothing to say.
        if (conjunto().campana || errno != ENOENT)
            fprintf(stderr, _("%s: %s; se muestran %s\n"), ruta, motivo, cuales);
        ranking_inicial(buf);
        return false;
    }
    size_t n = fread(buf, 1, RANKING_BYTES, f);
    bool error = ferror(f) != 0;
    int err = errno;
    fclose(f);
    if (error) {
        fprintf(stderr, _("%s: no se pudo leer (%s); se muestran %s\n"), ruta, strerror(err), cuales);
    } else if (n < RANKING_BYTES) {
        fprintf(stderr, _("%s: tiene %zu bytes en vez de %d; se muestran %s\n"), ruta, n, (int)RANKING_BYTES,
                cuales);
    } else {
        return true;
    }
    ranking_inicial(buf);
    return false;
}

int lugar_ranking(const unsigned char buf[RANKING_BYTES], int dif, unsigned int pts)
{
    if (dif < 0 || dif >= RANKING_TABLAS)
        return RANKING_LUGARES;
    int p = 0;
    while (p < RANKING_LUGARES && pts < puntaje(registro(buf, dif * RANKING_LUGARES + p)))
        p++;
    return p;
}

void inserta_ranking(unsigned char buf[RANKING_BYTES], int dif, int p, unsigned int pts, const char ini[3])
{
    if (dif < 0 || dif >= RANKING_TABLAS || p < 0 || p >= RANKING_LUGARES)
        return;
    struct {
        unsigned int puntos;
        char ini[3];
    } nueva[RANKING_LUGARES];
    unsigned char *tabla = registro(buf, dif * RANKING_LUGARES);
    for (int i = 0; i < RANKING_LUGARES; i++) {
        int desde = i < p ? i : i - 1;
        if (i == p) {
            nueva[i].puntos = pts;
            memcpy(nueva[i].ini, ini, 3);
        } else {
            nueva[i].puntos = puntaje(registro(tabla, desde));
            memcpy(nueva[i].ini, registro(tabla, desde) + RANKING_INI, 3);
        }
    }
    for (int i = 0; i < RANKING_LUGARES; i++) {
        char ini4[4] = {nueva[i].ini[0], nueva[i].ini[1], nueva[i].ini[2], 0};
        pon_puntaje(registro(tabla, i), nueva[i].puntos);
        copia_iniciales(registro(tabla, i) + RANKING_INI, ini4);
    }
}

void dibuja_tabla(const unsigned char buf[RANKING_BYTES], int tabla, int marca)
{
    if (tabla < 1 || tabla > RANKING_TABLAS)
        return;
    clear_to_color(active_page, COL_FONDO);
    textprintf_centre_ex(active_page, font, 160, TABLA_TITULO_Y, COL_PROPIO, bg, "%s", _(titulo_tabla[tabla - 1]));
    for (a = 0; a < RANKING_LUGARES; a++) {
        const unsigned char *r = registro(buf, (tabla - 1) * RANKING_LUGARES + a);
        // Initials up to the first zero byte; bytes the font has no picture for show as '?'.
        char ini[4] = {0, 0, 0, 0};
        for (int j = 0; j < 3 && r[RANKING_INI + j]; j++) {
            unsigned char ch = r[RANKING_INI + j];
            ini[j] = ch >= 32 && ch < 127 ? (char)ch : '?';
        }
        // A place nobody took yet (a new set's table) shows dashes, so that the columns stay.
        int paso = marcador_activo() ? TABLA_PASO_CON_PIE : TABLA_PASO;
        textprintf_centre_ex(active_page, font, 160, TABLA_Y + paso * a, a == marca ? COL_MARCA : COL_PROPIO,
                             bg, "%2d %6d %s", a + 1, (int)puntaje(r), ini[0] ? ini : "---");
    }
}

// The key that ended a table's wait, taken from the buffer (0: none, the time ran out).
static int tecla_de_tabla()
{
    return keypressed() ? readkey() >> 8 : 0;
}

void dibuja_tabla_con_linea(const unsigned char buf[RANKING_BYTES], int t, int marca, bool mejor)
{
    dibuja_tabla(buf, t, marca);
    // Under the title, small: the set's name (when it is not the only one) and R's offer.
    char linea[CONJ_NOMBRE_MAX + 24] = "";
    if (muestra_conjunto())
        snprintf(linea, sizeof linea, mejor ? _("%s - R: VER LA MEJOR") : "%s", conjunto().nombre);
    else if (mejor)
        snprintf(linea, sizeof linea, _("R: VER LA MEJOR"));
    if (linea[0])
        textprintf_centre_ex(active_page, font2, 160, OFERTA_Y, COL_MARCA, bg, "%s", linea);
}

// Shows the chosen tables of buf in turn, 8 seconds each or until a key; R on a table whose
// difficulty has a best run kept plays that run, then the tables go on. In the title's loop (all
// three tables) ENTER or ESC end them: true then. With the online tables set, each table offers them.
static bool muestra_tablas(const unsigned char buf[RANKING_BYTES], int tabla, int marca)
{
    set_palette(the_palette);
    for (int t = 1; t <= RANKING_TABLAS; t++) {
        if (tabla != 0 && tabla != t)
            continue;
        bool mejor = hay_mejor(t - 1);
        pon_ayuda(carta_tablas(tabla == 0, mejor, marcador_activo()));
        dibuja_tabla_con_linea(buf, t, marca, mejor);
        int k = 0;
        if (marcador_activo()) {
            k = espera_con_marcador(buf, t, marca, mejor);
        } else {
            delay2(T_TABLA);
            k = cambnib == EST_SALIR ? 0 : tecla_de_tabla();
        }
        if (cambnib == EST_SALIR)
            return false;
        if (k == KEY_R && mejor) {
            ver_mejor(t - 1);
            set_palette(the_palette);
        } else if (tabla == 0 && (k == KEY_ENTER || k == KEY_ESC)) {
            return true;
        }
    }
    return false;
}

bool muestraranking(int tabla, int marca)
{
    if (tabla == 0)
        marca = RANKING_NINGUNO;
    unsigned char buf[RANKING_BYTES];
    lee_ranking(buf);
    return muestra_tablas(buf, tabla, marca);
}

void tupuntaje()
{
    pon_ayuda(NULL);
    set_palette(the_palette);
    clear(active_page);
    int total = total_final(puntos, vidas);
    textprintf_centre_ex(active_page, font, 160, 30, COL_PROPIO, bg, _("TU PUNTAJE FINAL"));
    textprintf_centre_ex(active_page, font, 160, 80, COL_PROPIO, bg, _("VIDAS: %2d X 3000"), vidas);
    textprintf_centre_ex(active_page, font, 160, 105, COL_PROPIO, bg, _("PUNTOS:   %6d"), puntos);
    textprintf_centre_ex(active_page, font, 160, 135, COL_PROPIO, bg, _("TOTAL:    %6d"), total);
    aviso_ritmo(RITMO_Y, COL_MARCA);
    puntos = total;
    delay(T_PUNTAJE);
    escriveranking();
}

void iniciales_empieza(Iniciales *e)
{
    e->letra[0] = e->letra[1] = e->letra[2] = 'A';
    e->cursor = 0;
}

bool iniciales_tecla(Iniciales *e, int scan)
{
    char &l = e->letra[e->cursor];
    switch (scan) {
    case KEY_UP:
        l = l >= 'Z' ? 'A' : (char)(l + 1);
        break;
    case KEY_DOWN:
        l = l <= 'A' ? 'Z' : (char)(l - 1);
        break;
    case KEY_LEFT:
        e->cursor--;
        break;
    case KEY_RIGHT:
    case KEY_ENTER:
        e->cursor++;
        break;
    default:
        break;
    }
    if (scan == KEY_ENTER && e->cursor > 2)
        return true;
    // The cursor stays on the three letters (RIGHT on the last, LEFT on the first are undone).
    if (e->cursor < 0)
        e->cursor = 0;
    if (e->cursor > 2)
        e->cursor = 2;
    return false;
}

void entra_iniciales(char ini[3])
{
    Iniciales e;
    iniciales_empieza(&e);
    pon_ayuda(&AYUDA_INICIALES);
    clear(active_page);
    set_palette(the_palette);
    textprintf_centre_ex(active_page, font, 160, 10, COL_PROPIO, bg, _("NUEVO RECORD"));
    textprintf_centre_ex(active_page, font, 160, 70, COL_PROPIO, bg, _("PUNTAJE"));
    textprintf_centre_ex(active_page, font, 160, 90, COL_PROPIO, bg, "%d", puntos);
    textprintf_centre_ex(active_page, font, 160, 140, COL_PROPIO, bg, _("INGRESA TUS INICIALES"));
    bool fin;
    do {
        for (int i = 0; i < 3; i++)
            textprintf_ex(active_page, font, INI_X + INI_PASO * i, INI_Y, i == e.cursor ? COL_MARCA : COL_PROPIO,
                          COL_FONDO, "%c", e.letra[i]);
        clear_keybuf();
        // A close of the window (or a signal) keeps the letters as they stand: the score is not lost.
        if (cambnib == EST_SALIR)
            break;
        int scan = lee_tecla() >> 8;
        if (cambnib == EST_SALIR)
            break;
        fin = iniciales_tecla(&e, scan);
    } while (!fin);
    // The cells stand wider apart than the letters of one text: clear them so no stale letter stays.
    rectfill(active_page, INI_X, INI_Y, INI_X + INI_PASO * 2 + text_length(font, "W") - 1,
             INI_Y + text_height(font) - 1, COL_FONDO);
    textprintf_ex(active_page, font, INI_X, INI_Y, COL_PROPIO, COL_FONDO, "%c%c%c", e.letra[0], e.letra[1],
                  e.letra[2]);
    pon_ayuda(NULL);
    memcpy(ini, e.letra, 3);
}

void aviso_ritmo(int y, int color)
{
    if (ritmo_partida == RITMO_LLENO)
        return;
    textprintf_centre_ex(active_page, font, 160, y, color, bg, _("RITMO %d %%:"), ritmo_partida);
    textprintf_centre_ex(active_page, font, 160, y + RITMO_PASO, color, bg, "%s", _("NO ENTRA EN LOS RECORDS"));
}

void aviso_no_guardado()
{
    clear_to_color(active_page, COL_FONDO);
    textprintf_centre_ex(active_page, font, 160, AVISO_Y, COL_MARCA, bg, "%s", _(AVISO_NO_GUARDADO[0]));
    textprintf_centre_ex(active_page, font, 160, AVISO_Y + AVISO_PASO, COL_MARCA, bg, "%s", _(AVISO_NO_GUARDADO[1]));
    delay2(T_AVISO);
}

bool guarda_record(unsigned char buf[RANKING_BYTES], int dif, unsigned int pts, const char ini[3], int *lugar)
{
    // Installed, the new table goes to the user's folder; one that cannot be made saves nothing.
    char ruta[RUTA_MAX] = "";
    bool ok = ruta_ranking(true, ruta, sizeof ruta);
    // Another game may have saved since this one read the table: it is read again under the lock,
    // so that both records stay.
    int cerrojo = ok ? toma_cerrojo(ruta) : -1;
    if (ok)
        lee_ranking(buf);
    *lugar = lugar_ranking(buf, dif, pts);
    inserta_ranking(buf, dif, *lugar, pts, ini);
    ok = ok && (*lugar >= RANKING_LUGARES || escribe_atomico(ruta, buf, RANKING_BYTES));
    suelta_cerrojo(cerrojo);
    if (!ok)
        fprintf(stderr, _("%s: el nuevo record (%c%c%c, %u puntos) no se pudo guardar\n"),
                ruta[0] ? ruta : carpeta_usuario, ini[0], ini[1], ini[2], pts);
    return ok;
}

void escriveranking()
{
    // A run at a slower pace enters no table: its final score has said so.
    if (ritmo_partida != RITMO_LLENO)
        return;
    unsigned char buf[RANKING_BYTES];
    lee_ranking(buf);
    unsigned int pts = (unsigned int)puntos;
    int p = lugar_ranking(buf, difi, pts);
    char ini[3] = {'A', 'A', 'A'};
    if (p < RANKING_LUGARES)
        entra_iniciales(ini);
    if (cambnib != EST_SALIR)
        delay(T_INICIALES);
    if (p >= RANKING_LUGARES)
        return;
    if (!guarda_record(buf, difi, pts, ini, &p))
        aviso_no_guardado();
    muestra_tablas(buf, difi + 1, p);
}
