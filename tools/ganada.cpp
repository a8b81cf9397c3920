// ganada: a won game of the shipped campaign, recorded as the game records one: the autoplayer
// drives each level from its start (its own ticks are no part of the run) and the run's keys are
// taken tick by tick by play's own recorder. A real run to send to korvex-marcador and to test
// the replays with.
#include "tools/korvmake.h"

#include <cstdio>
#include <cstring>

#include "game/logica.h"
#include "game/piloto.h"
#include "game/ranking.h"
#include "game/repeticion_juego.h"
#include "game/utilfun.h"
#include "shared/busca.h"
#include "shared/conjuntos.h"
#include "shared/repeticion.h"

#ifndef KORV_NIVELES
#define KORV_NIVELES "levels"
#endif

// The recording's header: the campaign's levels by name and CRC, the difficulty and rate.
static void cabecera(int dif, int hz)
{
    static char nombres[MAX_NIVELES][NOMBRE_MAX];
    int n = busca_archivos(KORV_NIVELES "/*.map", nombres, MAX_NIVELES);
    if (n < 1)
        muere(KORV_NIVELES, "no hay niveles");
    Repeticion &r = grabacion;
    r = Repeticion();
    r.version = REP_VERSION;
    snprintf(r.programa, sizeof r.programa, "korvmake");
    r.dificultad = dif;
    r.hz = hz;
    r.animcon = escala_tiempo(hz);
    r.ritmo = RITMO_LLENO;   // the autoplayer proves the campaign at full pace
    r.fase = 0;
    r.niveles = n;
    niveles = n;   // the catalogue play counts the last level by
    for (int i = 0; i < n; i++) {
        if (strlen(nombres[i]) > REP_NOMBRE_MAX)
            muere(nombres[i], "nombre demasiado largo para una repeticion");
        snprintf(r.nivel[i].nombre, sizeof r.nivel[i].nombre, "%s", nombres[i]);
        if (!crc32_archivo((std::string(KORV_NIVELES "/") + nombres[i]).c_str(), &r.nivel[i].crc))
            muere(nombres[i], "no se pudo leer");
    }
    snprintf(r.conjunto, sizeof r.conjunto, "%s", CAMPANA_NOMBRE);
    r.fin = REP_FIN_SALIR;
    r.alcanzado = 1;
}

// Plays every level with the autoplayer's keys, recorded; true when the game is won.
static bool juega_campana(int dif, int hz)
{
    mundo_empieza_partida();
    vidas = dificultades[dif].vidas;
    nscr3 = dificultades[dif].velocidad;
    animcon = grabacion.animcon;
    tick_juego = grabacion.fase;
    rep_modo = MODO_JUGADOR;
    std::vector<unsigned char> teclas;
    do {
        nivel = nivel + 1;
        if (!CargaMapa((std::string(KORV_NIVELES "/") + grabacion.nivel[nivel - 1].nombre).c_str()))
            muere(grabacion.nivel[nivel - 1].nombre, "no se pudo leer");
        nscro = velocidad_nivel(nscr3, multi, animcon);
        prepara_nivel();
        grabando = 0;
        teclas.clear();   // the autoplayer adds to what it is given
        piloto_conduce(dif, hz, tick_juego % REP_FASES, PILOTO_NORMAL, &teclas);
        grabando = 1;
        for (size_t n = 0; cambnib == EST_JUEGO; n++) {
            teclas_piloto = n < teclas.size() ? teclas[n] : 0;
            tick = tick + 1;
            act_logica();
        }
    } while (cambnib == EST_NIVEL_OK && nivel < grabacion.niveles);
    grabando = 0;
    teclas_piloto = -1;
    return cambnib == EST_GANO;
}

int ganada(int dif, int hz, const std::string &archivo)
{
    if (dif < 0 || dif > 2 || hz < REP_HZ_MIN || hz > REP_HZ_MAX)
        muere(archivo, "dificultad de 0 a 2 y frecuencia de 1 a 1000 Hz");
    enemi = reserva_enemigos();
    cabecera(dif, hz);
    if (!juega_campana(dif, hz))
        muere(archivo, "el piloto no gana la campana");
    grabacion.fin = REP_FIN_GANO;
    grabacion.alcanzado = nivel;
    grabacion.puntos = puntos;
    grabacion.vidas = vidas;
    grabacion.suma = suma_mundo(grabacion.version);
    std::vector<unsigned char> b = codifica_repeticion(grabacion);
    if (!escribe_atomico(archivo.c_str(), b.data(), b.size()))
        return 1;
    printf("%s: ganada en dificultad %d a %d Hz: %d puntos, %d vidas, total %d; %zu ticks\n", archivo.c_str(), dif, hz,
           puntos, vidas, puntos + vidas * BONO_VIDA, grabacion.teclas.size());
    return 0;
}
