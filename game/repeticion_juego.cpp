// repeticion (game side): the recording of runs and where it is kept, playback, the title's demo
// and the best run of a table.
#include "game/repeticion_juego.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "shared/conjuntos.h"
#include "shared/ritmo.h"
#include "shared/rutas.h"
#include "game/conjunto_juego.h"
#include "game/main.h"
#include "game/presoverganec.h"
#include "game/utilfun.h"
#include "shared/idioma.h"

static const char ULTIMA[] = "ultima.rep";            // the last run
static const char DEMO_ARCHIVO[] = "datos/demo.rep";   // the title's demo, shipped
static const float T_FIN = 4.0f;     // the end of a playback on view, seconds (a key shortens it)
static const float T_AVISO = 3.0f;   // a recording that cannot be played, on view

// Texts of the end of a playback and of the notice.
enum { TEXTO_X = 160, TEXTO_Y = 100, TEXTO_PASO = 24, COL_PROPIO = -1, COL_MARCA = 239 };

#ifndef KORV_VERSION
#define KORV_VERSION "?"
#endif

// --- recording ---

bool ruta_repeticion(const char *nombre, bool escribe, char *out, int tam)
{
    std::string r;
    if (!instalado)
        r = std::string("datos/") + nombre;
    else if (escribe ? asegura_carpeta_usuario() : carpeta_usuario[0] != 0)
        r = std::string(carpeta_usuario) + "/" + nombre;
    else
        return false;
    if ((int)r.size() >= tam)
        return false;
    snprintf(out, tam, "%s", r.c_str());
    return true;
}

int repeticion_total(const Repeticion &r)
{
    return r.fin == REP_FIN_GANO && !r.practica ? total_final(r.puntos, r.vidas) : r.puntos;
}

// A best run of the current set: the campaign's beside its ranking, a user set's in its folder.
static bool ruta_mejor(int dif, bool escribe, char *out, int tam)
{
    char nombre[32];
    snprintf(nombre, sizeof nombre, "mejor_%d.rep", dif);
    return ruta_dato(nombre, escribe, out, tam);
}

// The catalogue as it stands, names and CRCs, into r (an unreadable level gets CRC 0).
static void pon_catalogo(Repeticion *r)
{
    r->niveles = niveles < REP_NIVELES_MAX ? niveles : (int)REP_NIVELES_MAX;
    for (int i = 0; i < r->niveles; i++) {
        snprintf(r->nivel[i].nombre, sizeof r->nivel[i].nombre, "%s", archive[i]);
        char ruta[RUTA_MAX];
        ruta_nivel(i, ruta, sizeof ruta);
        r->nivel[i].crc = 0;
        crc32_archivo(ruta, &r->nivel[i].crc);
    }
}

void grabacion_empieza()
{
    grabacion.version = REP_VERSION;
    snprintf(grabacion.programa, sizeof grabacion.programa, "%s", KORV_VERSION);
    grabacion.dificultad = difi;
    grabacion.hz = max_fps;
    grabacion.animcon = animcon;
    grabacion.ritmo = ritmo_partida;
    grabacion.fase = tick_juego % REP_FASES;
    tick_juego = grabacion.fase;
    pon_catalogo(&grabacion);
    snprintf(grabacion.conjunto, sizeof grabacion.conjunto, "%s", conjunto().nombre);
    grabacion.practica = practica;
    grabacion.teclas.clear();
    grabacion.fin = REP_FIN_SALIR;
    grabacion.alcanzado = 1;
    grabacion.puntos = grabacion.vidas = 0;
    grabacion.suma = 0;
    // A name longer than a recording can hold cannot be played back: nothing is recorded.
    bool cabe = grabacion.niveles > 0;
    for (int i = 0; i < grabacion.niveles; i++)
        cabe = cabe && strlen(archive[i]) <= (size_t)REP_NOMBRE_MAX && strlen(archive[i]) > 0;
    grabando = cabe ? 1 : 0;
    rep_modo = MODO_JUGADOR;
}

// The run's end as a recording's end.
static int fin_de(int estado)
{
    switch (estado) {
    case EST_GANO: return REP_FIN_GANO;
    case EST_GAMEOVER: return REP_FIN_PERDIO;
    case EST_NIVEL_OK: return REP_FIN_NIVEL;
    case EST_TITULO: return REP_FIN_CORTADA;
    default: return REP_FIN_SALIR;
    }
}

// Saves the recording as mejor_<dif>.rep when no best run is kept, or its final score is higher.
static void guarda_mejor()
{
    char ruta[RUTA_MAX], error[RUTA_MAX + 200];
    if (grabacion.practica || !repeticion_a_ritmo_lleno(grabacion) ||
        !ruta_mejor(grabacion.dificultad, true, ruta, sizeof ruta))
        return;   // neither a practice nor a slower run is a candidate
    Repeticion antes;
    struct stat st;
    if (stat(ruta, &st) == 0 && lee_repeticion(ruta, &antes, error, sizeof error) &&
        repeticion_total(antes) >= repeticion_total(grabacion))
        return;
    guarda_repeticion(ruta, grabacion);
}

void grabacion_termina()
{
    if (!grabando)
        return;
    grabando = 0;
    if (grabacion.teclas.empty())
        return;
    grabacion.fin = fin_de(cambnib);
    grabacion.alcanzado = nivel < 1 ? 1 : nivel > grabacion.niveles ? grabacion.niveles : nivel;
    grabacion.puntos = puntos < 0 ? 0 : puntos;
    grabacion.vidas = vidas < 0 ? 0 : vidas > 0xFFFF ? 0xFFFF : vidas;
    grabacion.suma = suma_mundo(grabacion.version);
    char ruta[RUTA_MAX];
    if (ruta_repeticion(ULTIMA, true, ruta, sizeof ruta))
        guarda_repeticion(ruta, grabacion);
    guarda_mejor();
}

// --- playback ---

bool repeticion_cabe(const Repeticion &r, const char *ruta, char *error, int tam)
{
    int hasta = r.practica ? r.practica : r.fin == REP_FIN_GANO ? r.niveles : r.alcanzado;
    for (int i = r.practica ? r.practica - 1 : 0; i < hasta; i++) {
        const char *nombre = r.nivel[i].nombre;
        if (i >= niveles || strcmp(archive[i], nombre) != 0) {
            snprintf(error, tam, _("%s: falta el nivel %d, %s"), ruta, i + 1, nombre);
            return false;
        }
        char archivo_nivel[RUTA_MAX];
        unsigned crc = 0;
        ruta_nivel(i, archivo_nivel, sizeof archivo_nivel);
        if (!crc32_archivo(archivo_nivel, &crc) || crc != r.nivel[i].crc) {
            snprintf(error, tam, _("%s: el nivel %d, %s, no es el de la grabacion (cambio desde entonces)"), ruta,
                     i + 1, nombre);
            return false;
        }
    }
    if (r.fin == REP_FIN_GANO && !r.practica && niveles != r.niveles) {
        snprintf(error, tam, _("%s: la partida ganada tenia %d niveles y hay %d"), ruta, r.niveles, niveles);
        return false;
    }
    return true;
}

// The logic rate before a playback changed it, and whether the playback's timer stands in for the
// display's pace meanwhile.
static int tasa_antes;
static bool temporizador_propio;

// A playback's logic rate: where the ticks come at another rate (the display's pace, or the timer),
// the library's timer gives them at the recording's own meanwhile; the waits' seconds follow max_fps.
static void pon_tasa(int hz)
{
    tasa_antes = max_fps;
    temporizador_propio = false;
    if (hz == max_fps)
        return;
    max_fps = hz;
    if (!system_driver || system_driver->id == SYSTEM_NONE)
        return;   // headless: the caller moves the clock
    if (ritmo_hilo_corre()) {
        ritmo_pon_al_tick(NULL);
        temporizador_propio = true;
    }
    install_int_ex(ticks, BPS_TO_TIMER(hz));
}

// The rate and the source of ticks of before the playback.
static void quita_tasa()
{
    if (max_fps == tasa_antes)
        return;
    max_fps = tasa_antes;
    if (!system_driver || system_driver->id == SYSTEM_NONE)
        return;
    if (temporizador_propio) {
        remove_int(ticks);
        ritmo_pon_al_tick(avanza_tick);
    } else {
        install_int_ex(ticks, BPS_TO_TIMER(max_fps));
    }
}

void empieza_reproduccion(const Repeticion &r, int modo)
{
    empieza_partida();
    difi = r.dificultad;
    vidas = dificultades[difi].vidas;
    nscr3 = dificultades[difi].velocidad;
    pon_tasa(r.hz);
    animcon = r.animcon;
    ritmo_partida = r.ritmo;
    tick_juego = r.fase;
    reproducida = &r;
    rep_pos = 0;
    rep_cortada = 0;
    rep_modo = modo;
}

bool termina_reproduccion()
{
    const Repeticion &r = *reproducida;
    bool entera = !rep_cortada && rep_pos == r.teclas.size();
    bool igual = puntos == r.puntos && vidas == r.vidas && suma_mundo(r.version) == r.suma;
    // A demo plays its first level only, and a recording cut short (the shipped demo) holds no run's
    // end: neither is compared with one.
    bool demo = rep_modo == MODO_DEMO || r.fin == REP_FIN_CORTADA;
    rep_modo = MODO_JUGADOR;
    reproducida = NULL;
    quita_tasa();
    // A playback that ran to the end of its recording must end as the run did.
    if (entera && !igual && !demo)
        fprintf(stderr, _("KORVEX: la repeticion no termino como la partida (%d puntos y %d vidas; grabada con %d y %d)\n"),
                puntos, vidas, r.puntos, r.vidas);
    return entera && igual;
}

bool entra_conjunto(const Repeticion &r, const char *ruta, char *error, int tam)
{
    int i = busca_conjunto(r.conjunto);
    if (i < 0) {
        snprintf(error, tam, _("%s: falta el conjunto %s"), ruta, r.conjunto);
        return false;
    }
    pon_conjunto(i);
    buscaarch();
    return true;
}

int reproduce(const Repeticion &r, int modo)
{
    empieza_reproduccion(r, modo);
    set_palette(the_palette);
    clear_keybuf();
    // A practice plays its one level; a game from the first.
    practica = r.practica;
    nivel = r.practica ? r.practica - 1 : 0;
    juega_niveles(modo != MODO_DEMO, r.practica ? r.practica : modo == MODO_DEMO ? 1 : r.niveles);
    practica = 0;
    int estado = cambnib;
    termina_reproduccion();
    termina_partida();
    return estado;
}

bool lee_opcion_repeticion(int argc, char **argv, char *ruta, int tam, char *error, int tam_error)
{
    ruta[0] = 0;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "-repeticion") != 0)
            continue;
        if (i + 1 >= argc || !argv[i + 1][0]) {
            snprintf(error, tam_error, _("-repeticion necesita el archivo de una repeticion"));
            return false;
        }
        snprintf(ruta, tam, "%s", argv[i + 1]);
        i++;
    }
    return true;
}

// The end of a playback on the page on view: the run's final score, until a key or T_FIN.
static void pantalla_fin(const Repeticion &r)
{
    int total = r.fin == REP_FIN_GANO && !r.practica ? total_final(puntos, vidas) : puntos;
    if (!salir)
        cambnib = EST_TITULO;   // a recorded ESC ended the run played, not this screen
    set_palette(the_palette);
    clear(active_page);
    textprintf_centre_ex(active_page, font, TEXTO_X, TEXTO_Y, COL_PROPIO, bg, _("FIN DE LA REPETICION"));
    textprintf_centre_ex(active_page, font, TEXTO_X, TEXTO_Y + TEXTO_PASO, COL_MARCA, bg, _("PUNTOS: %d"), total);
    // Also on stdout, for whoever watches from a script.
    printf(_("KORVEX: fin de la repeticion: %d puntos\n"), total);
    fflush(stdout);
    delay2(T_FIN);
}

int mira_repeticion(const Repeticion &r)
{
    reproduce(r, MODO_REPRODUCE);
    if (!rep_cortada && !salir)
        pantalla_fin(r);
    return 0;
}

// A recording played from a screen of the title, on its own set: the state of play, the set in play
// and the program state come back. The caller has checked that it fits (its set made current).
static void reproduce_aparte(const Repeticion &r, int modo, int conjunto_antes)
{
    int estado = cambnib, d = difi, p = puntos, v = vidas, n = nivel;
    reproduce(r, modo);
    if (modo == MODO_REPRODUCE && !rep_cortada && !salir)
        pantalla_fin(r);
    difi = d, puntos = p, vidas = v, nivel = n;
    pon_conjunto(conjunto_antes);
    buscaarch();
    // A recorded ESC ended the run played, not the program.
    cambnib = salir ? EST_SALIR : estado;
    clear_keybuf();
}

bool demo()
{
    static int avisado;   // the reason the demo is skipped is said once
    static Repeticion r;
    char error[RUTA_MAX + 300];
    int antes = conjunto_actual;
    // The demo is of the campaign, whatever set the player chose.
    if (!lee_repeticion(DEMO_ARCHIVO, &r, error, sizeof error) || !entra_conjunto(r, DEMO_ARCHIVO, error, sizeof error) ||
        !repeticion_cabe(r, DEMO_ARCHIVO, error, sizeof error)) {
        if (!avisado)
            fprintf(stderr, _("%s; el titulo sigue sin la demostracion\n"), error);
        avisado = 1;
        pon_conjunto(antes);
        buscaarch();
        return false;
    }
    reproduce_aparte(r, MODO_DEMO, antes);
    return rep_cortada != 0;
}

bool hay_mejor(int dif)
{
    char ruta[RUTA_MAX];
    struct stat st;
    return ruta_mejor(dif, false, ruta, sizeof ruta) && stat(ruta, &st) == 0;
}

void ver_mejor(int dif)
{
    static Repeticion r;
    char ruta[RUTA_MAX], error[RUTA_MAX + 300];
    if (!ruta_mejor(dif, false, ruta, sizeof ruta))
        return;
    int antes = conjunto_actual;
    if (!lee_repeticion(ruta, &r, error, sizeof error) || !entra_conjunto(r, ruta, error, sizeof error) ||
        !repeticion_cabe(r, ruta, error, sizeof error)) {
        fprintf(stderr, "%s\n", error);
        pon_conjunto(antes);
        buscaarch();
        set_palette(the_palette);
        clear(active_page);
        textprintf_centre_ex(active_page, font, TEXTO_X, TEXTO_Y, COL_MARCA, bg, _("NO SE PUEDE VER"));
        textprintf_centre_ex(active_page, font, TEXTO_X, TEXTO_Y + TEXTO_PASO, COL_MARCA, bg, _("LA REPETICION"));
        delay2(T_AVISO);
        return;
    }
    reproduce_aparte(r, MODO_REPRODUCE, antes);
}
