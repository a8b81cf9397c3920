// piloto: the autoplayer. Each plan looks at the enemies in view, learns from the real logic
// how the road and the truck will move over the coming ticks, and searches every way the
// truck can go (stay, or begin a lane change on a tick the keys are read) for the one that
// scores most without standing on an explosive's lane while it is in reach. The plan's keys
// are then played through the real logic tick; a new plan is made as soon as something new
// comes into view or play goes otherwise than planned. The report comes from the drive itself.
#include "game/piloto.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "game/logica.h"
#include "game/repeticion_juego.h"
#include "shared/ajustes.h"
#include "game/verifica.h"

enum {
    PLAN_MAX = 640,                 // ticks a plan looks ahead at most
    PASADA = MAPA_COLS * BLOQUE_W,  // road pixels of one pass
    VISTA = 3,                      // an enemy comes into view when the road position is 3 px past its left edge
    CONTACTO_DESDE = 241,           // its contact: road position from left edge + 241 (screen x 79) ...
    CONTACTO_HASTA = 320,           // ... to left edge + 320 (screen x 0)
    LISTA_MIN = 356,                // below this road position nothing is listed, so nothing is met
    FIN_ARRASTRE = 800,             // ticks after the road's end at most (the drive-off lasts 280 units)
    LIMITE_TICKS = 100000,          // a drive never lasts longer (a level is 25600 px)
    PENA_CERCA = 8,                 // ticks near an explosive's contact that cost the plan ...
    PENA_TICK = 30,                 // ... this much per tick of closeness, standing on its lane
    PENA_CAMBIO = 1,                // each lane change begun, so that the truck does not wander
    CHEQUEOS_MAX = 3,               // pedestrians found to be traps per plan, at most
    PUNTOS_PEATON = 200, PUNTOS_BOLSA = 50,
    TIPO_PEATON_MAX = 5, TIPO_BOLSA = 7, TIPO_RESTOS = 8
};
static const int MENOS_INF = INT_MIN / 4;   // value of a way that hits an explosive
static const float CARRIL[CARRILES] = {72.0f, 96.0f, 120.0f, 144.0f};

// The world of play is kept as a copy of mundo around a drive or a look ahead, and put back.

// Road position: pixels scrolled since the level began.
static int posicion()
{
    return PASADA * scr5 + scr1;
}

// True when the logic tick about to run reads the keys (it will count tick_juego + 1).
static bool lee_teclas()
{
    return nscr2 == nscro || ((tick_juego + 1) % 4 == 0 && nscr2 > 0);
}

// Lane whose line the truck stands on, or -1 between two.
static int carril_de(float yy)
{
    for (int n = 0; n < CARRILES; n++)
        if (yy == CARRIL[n])
            return n;
    return -1;
}

// --- one tick of a plan, as the real logic will run it ---
struct Paso {
    int p;         // road position after the tick's scroll
    float paso;    // lane-change step of the tick, pixels
    bool lee;      // the keys are read this tick
    bool fin;      // the road has ended: keys are no longer taken
    float v;       // scroll speed after the tick
    int cm;        // lane-change speed after the tick
};
static Paso pasos[PLAN_MAX + 1];
static int horizonte;   // ticks of the plan

// What stands on each lane in each tick of the plan.
static bool peligro[PLAN_MAX + 1][CARRILES];          // an explosive (or a trap) in reach
static unsigned char cerca[PLAN_MAX + 1][CARRILES];   // ticks to the nearest explosive's reach (capped)
static int premio_entra[PLAN_MAX + 1][CARRILES];      // points of what comes into reach this tick
static int premio_dentro[PLAN_MAX + 1][CARRILES];     // points of everything in reach this tick
static short peaton_en[PLAN_MAX + 1][CARRILES];       // a pedestrian in reach: its record + 1

static bool trampa[ENE_MAX];   // pedestrians found to leave no safe way after running them over

// True when the schedule has looked far enough: the screen's width of road ahead, or the drive-off.
static bool basta(int k, int p0, int fin_desde)
{
    return pasos[k].p >= p0 + PANTALLA_W + CONTACTO_HASTA - CONTACTO_DESDE + BLOQUE_W ||
           (fin_desde >= 0 && k - fin_desde >= FIN_ARRASTRE);
}

// The road's and the lane-change's schedule for the coming ticks, from the real logic run on
// an empty road with no key (no contact can change it); the state of play is put back. Without
// an explosion, the road's step, the drive-off and the splashes' clocks are all that changes
// the schedule, so only those routines run.
static void calcula_pasos()
{
    static unsigned char vacia[ENE_BYTES];
    Mundo antes_del_plan = mundo;
    unsigned char *tabla = enemi;
    enemi = vacia;
    int antes = teclas_piloto, fin_desde = -1, p0 = posicion();
    teclas_piloto = 0;
    horizonte = 0;
    bool solo_carretera = fuego == 0.0f;
    for (int k = 1; k <= PLAN_MAX; k++) {
        pasos[k].lee = lee_teclas();
        tick_juego = tick_juego + 1;
        pasos[k].paso = cammov * animcon;
        if (solo_carretera) {
            scro(nscr2);
            if (pasos[k].lee && scr5 >= PASADAS) {
                if (x < PANTALLA_W)
                    x = x + animcon;
                else
                    cambnib = EST_NIVEL_OK;
            }
            anisangre(0);
        } else {
            act_logica();
        }
        pasos[k].p = posicion();
        pasos[k].fin = scr5 >= PASADAS;
        pasos[k].v = nscr2;
        pasos[k].cm = cammov;
        horizonte = k;
        if (pasos[k].fin && fin_desde < 0)
            fin_desde = k;
        if (basta(k, p0, fin_desde) || cambnib != EST_JUEGO)
            break;
    }
    enemi = tabla;
    teclas_piloto = antes;
    mundo = antes_del_plan;
}

// Fills the lanes' tables from the enemies in view (what a player sees on the screen).
static void mira(int p0)
{
    for (int k = 0; k <= horizonte; k++)
        for (int n = 0; n < CARRILES; n++) {
            peligro[k][n] = false;
            cerca[k][n] = PENA_CERCA;
            premio_entra[k][n] = premio_dentro[k][n] = 0;
            peaton_en[k][n] = 0;
        }
    for (int i = 0; i < ENE_MAX; i++) {
        int tipo = ene_tipo(i), fila = ene_fila(i) / BLOQUE_H - CALLE_PRIMERA;
        if (tipo == 0 || tipo >= TIPO_RESTOS || fila < 0 || fila >= CARRILES || ene_fila(i) % BLOQUE_H)
            continue;
        int borde = BLOQUE_W * ene_col(i);
        if (p0 < borde + VISTA || p0 > borde + CONTACTO_HASTA)
            continue;   // not in view yet, or already past
        int ka = -1, kb = -1;
        for (int k = 1; k <= horizonte; k++) {
            int p = pasos[k].p;
            if (p >= LISTA_MIN && p >= borde + CONTACTO_DESDE && p <= borde + CONTACTO_HASTA) {
                if (ka < 0)
                    ka = k;
                kb = k;
            }
        }
        if (ka < 0)
            continue;
        if (tipo == TIPO_EXPLOSIVO || (tipo <= TIPO_PEATON_MAX && trampa[i])) {
            for (int k = ka; k <= kb; k++)
                peligro[k][fila] = true;
            if (tipo != TIPO_EXPLOSIVO)
                continue;
            for (int k = ka - PENA_CERCA < 1 ? 1 : ka - PENA_CERCA; k <= kb + PENA_CERCA && k <= horizonte; k++) {
                int d = k < ka ? ka - k : k > kb ? k - kb : 0;
                if (d < cerca[k][fila])
                    cerca[k][fila] = (unsigned char)d;
            }
            continue;
        }
        int valor = tipo == TIPO_BOLSA ? PUNTOS_BOLSA : PUNTOS_PEATON;
        premio_entra[ka][fila] += valor;
        for (int k = ka; k <= kb; k++) {
            premio_dentro[k][fila] += valor;
            if (tipo <= TIPO_PEATON_MAX && peaton_en[k][fila] == 0)
                peaton_en[k][fila] = (short)(i + 1);
        }
    }
}

// --- the search: the best way over the lanes, tick by tick ---
// The truck meets nothing between two lanes, so the search follows it only where it stands
// on a lane: from there it stays one more tick, or begins a change that reaches the next lane
// on a tick known from the schedule.
static int llegada[PLAN_MAX + 1];              // tick a lane change begun in tick k reaches its lane
static int valor[PLAN_MAX + 1][CARRILES];      // best total from standing on a lane after tick k
static unsigned char mejor[PLAN_MAX + 1][CARRILES];   // its first key (0 stay, or PILOTO_ARRIBA/ABAJO)

// The truck's part of the state: lane line or between, last lane reached, change under way.
struct Camion {
    float y;
    int pos, mov;
};

// One tick of the truck under the keys, as teclasy moves it.
static void mueve(Camion &e, int teclas, const Paso &p)
{
    if (!p.lee)
        return;
    if (!p.fin) {
        if (teclas & PILOTO_ARRIBA)
            e.mov = 1;
        else if (teclas & PILOTO_ABAJO)
            e.mov = 2;
    }
    if (e.mov == 1 && e.y > CARRIL[0]) {
        e.y = e.y - p.paso;
        for (int n = 1; n < CARRILES; n++)
            if (e.pos == n && e.y <= CARRIL[n - 1]) {
                e.pos = n - 1;
                e.mov = 0;
                e.y = CARRIL[n - 1];
            }
    }
    if (e.mov == 2 && e.y < CARRIL[CARRILES - 1]) {
        e.y = e.y + p.paso;
        for (int n = CARRILES - 2; n >= 0; n--)
            if (e.pos == n && e.y >= CARRIL[n + 1]) {
                e.pos = n + 1;
                e.mov = 0;
                e.y = CARRIL[n + 1];
            }
    }
}

// True when the truck stands on a lane and takes a key to leave it.
static bool parado(const Camion &e)
{
    return carril_de(e.y) >= 0 && (e.mov == 0 || (e.mov == 1 && e.y <= CARRIL[0]) ||
                                   (e.mov == 2 && e.y >= CARRIL[CARRILES - 1]));
}

// When a lane change begun in each tick arrives: the first tick by which the steps of the ticks
// that read the keys add up to the 24 px between two lanes (up or down alike; the steps are
// exact binary fractions, so the sums are exact).
static void calcula_llegadas()
{
    static double suma[PLAN_MAX + 1];   // pixels moved by a change under way from tick 1 to k
    suma[0] = 0.0;
    for (int k = 1; k <= horizonte; k++)
        suma[k] = suma[k - 1] + (pasos[k].lee ? pasos[k].paso : 0.0);
    for (int k = 1, j = 1; k <= horizonte; k++) {
        llegada[k] = horizonte + 1;
        if (!pasos[k].lee || pasos[k].fin)
            continue;
        if (j < k)
            j = k;
        while (j <= horizonte && suma[j] - suma[k - 1] < CARRIL_PASO)
            j++;
        if (j <= horizonte)
            llegada[k] = j;
    }
}

// What standing on lane n at tick k earns (seguia: it stood there the tick before);
// MENOS_INF when an explosive meets it there.
static int premio(int k, int n, bool seguia)
{
    if (peligro[k][n])
        return MENOS_INF;
    int v = seguia ? premio_entra[k][n] : premio_dentro[k][n];
    return v - PENA_TICK * (PENA_CERCA - cerca[k][n]);
}

// Best totals from every lane and tick back to tick k0; the value from lane n0 at k0.
static int busca(int k0, int n0)
{
    for (int n = 0; n < CARRILES; n++)
        valor[horizonte][n] = peligro[horizonte][n] ? MENOS_INF : 0;
    for (int k = horizonte - 1; k >= k0; k--)
        for (int n = 0; n < CARRILES; n++) {
            int mejor_v = MENOS_INF, a = 0;
            int r = premio(k + 1, n, true);
            if (r != MENOS_INF && valor[k + 1][n] != MENOS_INF)
                mejor_v = r + valor[k + 1][n];
            for (int d = 1; d <= 2 && llegada[k + 1] <= horizonte + 1; d++) {
                int m = d == 1 ? n - 1 : n + 1;
                if (m < 0 || m >= CARRILES || !pasos[k + 1].lee || pasos[k + 1].fin)
                    continue;
                int t = llegada[k + 1], v = -PENA_CAMBIO;
                if (t <= horizonte) {
                    r = premio(t, m, false);
                    if (r == MENOS_INF || valor[t][m] == MENOS_INF)
                        continue;
                    v += r + valor[t][m];
                }
                if (v > mejor_v) {
                    mejor_v = v;
                    a = d == 1 ? PILOTO_ARRIBA : PILOTO_ABAJO;
                }
            }
            valor[k][n] = mejor_v;
            mejor[k][n] = (unsigned char)a;
        }
    return valor[k0][n0];
}

// --- the plan being played ---
static unsigned char plan_teclas[PLAN_MAX + 1];   // keys of each tick
static Camion plan_camion[PLAN_MAX + 1];          // the truck expected after each tick
static Paso plan_paso[PLAN_MAX + 1];              // the road and speeds expected after each tick
static int plan_largo;                            // ticks of the plan
static int plan_peaton_k;                         // first tick that runs over a pedestrian; 0 none
static int plan_peaton;                           // its record
static int plan_k;                                // ticks of the plan already played
static int plan_vista;                            // road position at which the next enemy comes into view

// Writes the plan's keys from the search (no key beyond k0 when posible is false) and follows
// the truck through them.
static void copia_plan(Camion e, int k0, int n0, bool posible)
{
    plan_largo = horizonte;
    memset(plan_teclas, 0, sizeof plan_teclas);
    for (int k = k0, n = n0; posible && k < horizonte;) {
        int a = mejor[k][n];
        if (a == 0) {
            k++;
            continue;
        }
        plan_teclas[k + 1] = (unsigned char)a;
        int t = llegada[k + 1];
        n = a == PILOTO_ARRIBA ? n - 1 : n + 1;
        k = t;
    }
    plan_peaton_k = 0;
    for (int k = 1; k <= horizonte; k++) {
        mueve(e, plan_teclas[k], pasos[k]);
        plan_camion[k] = e;
        plan_paso[k] = pasos[k];
        int n = carril_de(e.y);
        if (plan_peaton_k == 0 && n >= 0 && peaton_en[k][n]) {
            plan_peaton_k = k;
            plan_peaton = peaton_en[k][n] - 1;
        }
    }
}

// Plans from the real state. False when every way meets an explosive.
static bool planea_sin_chequeo()
{
    calcula_pasos();
    mira(posicion());
    calcula_llegadas();
    Camion e = {y, pos, mov};
    // A lane change under way runs to its lane first.
    Camion f = e;
    int k0 = 0;
    while (!parado(f) && k0 < horizonte)
        mueve(f, 0, pasos[++k0]);
    int n0 = carril_de(f.y);
    bool posible = parado(f) && n0 >= 0 && (k0 == 0 || premio(k0, n0, false) != MENOS_INF) &&
                   busca(k0, n0) != MENOS_INF;
    copia_plan(e, k0, n0, posible && k0 < horizonte);
    return posible || k0 >= horizonte;
}

// True when, after playing the plan up to its first pedestrian, a safe way remains from there
// (running one over slows the road and the lane changes).
static bool peaton_seguro()
{
    Mundo antes_del_peaton = mundo;
    unsigned char tabla[ENE_BYTES];
    memcpy(tabla, enemi, ENE_BYTES);
    int antes = teclas_piloto;
    for (int k = 1; k <= plan_peaton_k && cambnib == EST_JUEGO; k++) {
        teclas_piloto = plan_teclas[k];
        act_logica();
    }
    teclas_piloto = 0;
    bool seguro = fuego == 0.0f;
    if (seguro && cambnib == EST_JUEGO)
        seguro = planea_sin_chequeo();
    teclas_piloto = antes;
    memcpy(enemi, tabla, ENE_BYTES);
    mundo = antes_del_peaton;
    return seguro;
}

// Plans from the real state; a pedestrian that leaves no safe way is avoided from then on.
static void planea()
{
    for (int n = 0; n <= CHEQUEOS_MAX; n++) {
        bool posible = planea_sin_chequeo();
        if (!posible || plan_peaton_k == 0 || n == CHEQUEOS_MAX)
            return;
        // Keep this plan while the look ahead clobbers the search's tables.
        static unsigned char teclas_g[PLAN_MAX + 1];
        static Camion camion_g[PLAN_MAX + 1];
        static Paso p_g[PLAN_MAX + 1];
        int largo = plan_largo, pk = plan_peaton_k, pr = plan_peaton;
        memcpy(teclas_g, plan_teclas, sizeof plan_teclas);
        memcpy(camion_g, plan_camion, sizeof plan_camion);
        memcpy(p_g, plan_paso, sizeof plan_paso);
        bool seguro = peaton_seguro();
        memcpy(plan_teclas, teclas_g, sizeof plan_teclas);
        memcpy(plan_camion, camion_g, sizeof plan_camion);
        memcpy(plan_paso, p_g, sizeof plan_paso);
        plan_largo = largo, plan_peaton_k = pk, plan_peaton = pr;
        if (seguro)
            return;
        trampa[pr] = true;
    }
}

// Road position from which the next enemy not yet seen comes into view (INT_MAX: none left).
static int proxima_vista(int p)
{
    int m = INT_MAX;
    for (int i = 0; i < ENE_MAX; i++) {
        if (ene_tipo(i) == 0)
            continue;
        int v = BLOQUE_W * ene_col(i) + VISTA;
        if (v > p && v < m)
            m = v;
    }
    return m;
}

// Keys of the hovering drive for a tick that reads them: two steps up from the lane, then
// down and up in turn, so that the truck never stands on a lane line.
static int tecla_flota(int &leidas)
{
    int n = leidas++;
    bool arriba = n < 2 || n % 2 == 1;
    if (pos == 0)
        arriba = !arriba;   // from the top lane the hover goes downwards
    return arriba ? PILOTO_ARRIBA : PILOTO_ABAJO;
}

// The drive's trace, for the margins: the road position and the lane stood on, per tick.
static int traza_p[LIMITE_TICKS];
static signed char traza_carril[LIMITE_TICKS];

// Fewest ticks between the truck on an explosive's lane and that explosive's reach, over the
// explosives of the table as it was at the start (-1: none came within PILOTO_MARGEN_CERCA).
static int margen_minimo(const unsigned char *tabla, int ticks, int *columna, int *carril)
{
    int minimo = -1;
    *columna = *carril = -1;
    for (int i = 0; i < ENE_MAX; i++) {
        const unsigned char *r = tabla + ENE_REG * i;
        int fila = r[2] / BLOQUE_H - CALLE_PRIMERA;
        if (r[3] != TIPO_EXPLOSIVO || fila < 0 || fila >= CARRILES)
            continue;
        // The road position only grows: the explosive's reach is one run of ticks.
        int borde = BLOQUE_W * (r[0] | (r[1] << 8));
        int desde_p = borde + CONTACTO_DESDE < LISTA_MIN ? LISTA_MIN : borde + CONTACTO_DESDE;
        int ka = (int)(std::lower_bound(traza_p, traza_p + ticks, desde_p) - traza_p);
        int kb = (int)(std::upper_bound(traza_p, traza_p + ticks, borde + CONTACTO_HASTA) - traza_p) - 1;
        if (ka >= ticks || kb < ka)
            continue;
        int desde = ka - PILOTO_MARGEN_CERCA < 0 ? 0 : ka - PILOTO_MARGEN_CERCA;
        for (int t = desde; t < ticks && t <= kb + PILOTO_MARGEN_CERCA; t++) {
            if (traza_carril[t] != fila)
                continue;
            int d = t < ka ? ka - t : t > kb ? t - kb : 0;
            if (minimo < 0 || d < minimo) {
                minimo = d;
                *columna = r[0] | (r[1] << 8);
                *carril = fila;
            }
        }
    }
    return minimo;
}

// Counts the records of some types in a table.
static int cuenta(const unsigned char *tabla, int desde, int hasta)
{
    int n = 0;
    for (int i = 0; i < ENE_MAX; i++)
        n += tabla[ENE_REG * i + 3] >= desde && tabla[ENE_REG * i + 3] <= hasta;
    return n;
}

// A run's start values and the level's start, as the game sets them.
static void arranca(int dificultad, int hz, int fase)
{
    mundo_empieza_partida();
    animcon = escala_tiempo(hz);
    vidas = dificultades[dificultad].vidas;
    nscr3 = dificultades[dificultad].velocidad;
    nscro = velocidad_nivel(nscr3, multi, animcon);
    tick_juego = fase;
    desde_col = -1;
    teclas_piloto = 0;
    prepara_nivel();
    memset(trampa, 0, sizeof trampa);
    plan_largo = plan_k = 0;
    plan_vista = 0;
}

// The keys of the tick about to run: the plan's, planned again when it has run out or something
// new has come into view.
static int tecla_plan()
{
    int p = posicion();
    if (plan_k >= plan_largo || p >= plan_vista) {
        planea();
        plan_vista = proxima_vista(p);
        plan_k = 0;
    }
    return plan_k < plan_largo ? plan_teclas[plan_k + 1] : 0;
}

// After a tick of the plan: when play went otherwise than planned (a pedestrian slowed the
// road), the plan is dropped.
static void sigue_plan()
{
    plan_k++;
    if (plan_k > plan_largo)
        return;
    const Paso &e = plan_paso[plan_k];
    const Camion &c = plan_camion[plan_k];
    if (e.p != posicion() || e.v != nscr2 || e.cm != cammov || c.y != y || c.mov != mov)
        plan_largo = 0;
}

PilotoInforme piloto_conduce(int dificultad, int hz, int fase, PilotoModo modo, std::vector<unsigned char> *teclas)
{
    Mundo antes_de_conducir = mundo;
    static unsigned char tabla[ENE_BYTES];
    memcpy(tabla, enemi, ENE_BYTES);
    int desde_antes = desde_col, teclas_antes = teclas_piloto;
    arranca(dificultad, hz, fase);

    PilotoInforme inf;
    memset(&inf, 0, sizeof inf);
    inf.columna = inf.carril = -1;
    inf.peatones_total = cuenta(tabla, 1, TIPO_PEATON_MAX);
    inf.bolsas_total = cuenta(tabla, TIPO_BOLSA, TIPO_BOLSA);
    int t = 0, leidas = 0;
    for (; t < LIMITE_TICKS && cambnib == EST_JUEGO; t++) {
        int clave = 0;
        if (modo == PILOTO_NORMAL)
            clave = tecla_plan();
        else if (lee_teclas() && scr5 < PASADAS)
            clave = tecla_flota(leidas);
        teclas_piloto = clave;
        if (teclas)
            teclas->push_back((unsigned char)clave);
        bool ardia = fuego > 0.0f;
        act_logica();
        if (!ardia && fuego > 0.0f && inf.vidas_perdidas++ == 0) {
            inf.columna = ene_col(sprcol);
            inf.carril = ene_fila(sprcol) / BLOQUE_H - CALLE_PRIMERA;
        }
        traza_p[t] = posicion();
        traza_carril[t] = (signed char)carril_de(y);
        if (modo == PILOTO_NORMAL)
            sigue_plan();
    }
    inf.ticks = t;
    inf.ganado = (cambnib == EST_NIVEL_OK || cambnib == EST_GANO) && inf.vidas_perdidas == 0;
    inf.puntos = puntos;
    inf.peatones = cuenta(enemi, TIPO_RESTOS, TIPO_RESTOS);
    inf.bolsas = inf.bolsas_total - cuenta(enemi, TIPO_BOLSA, TIPO_BOLSA);
    inf.margen = margen_minimo(tabla, t, &inf.margen_columna, &inf.margen_carril);

    memcpy(enemi, tabla, ENE_BYTES);
    desde_col = desde_antes;
    teclas_piloto = teclas_antes;
    mundo = antes_de_conducir;
    return inf;
}

int piloto_columna_perdida()
{
    static const int TASAS[] = {60, 75};
    for (int hz : TASAS)
        for (int fase = 0; fase < 4; fase++) {
            PilotoInforme r = piloto_conduce(DIFICULTADES - 1, hz, fase, PILOTO_NORMAL, NULL);
            if (!r.ganado)
                return r.columna >= 0 ? r.columna : 0;
        }
    return -1;
}

int piloto_veredicto(const unsigned char *nivel)
{
    if (!enemi)
        enemi = reserva_enemigos();
    static unsigned char mapa_antes[MAPA_COLS][MAPA_FILAS], tabla_antes[ENE_BYTES];
    unsigned char multi_antes = multi;
    memcpy(mapa_antes, mapa, sizeof mapa);
    memcpy(tabla_antes, enemi, ENE_BYTES);
    multi = nivel[0];
    for (int r = 0; r < MAPA_FILAS; r++)
        for (int c = 0; c < MAPA_COLS; c++)
            mapa[c][r] = nivel[1 + MAPA_COLS * r + c];
    memcpy(enemi, nivel + 1 + MAPA_BYTES, ENE_BYTES);
    int col = piloto_columna_perdida();
    multi = multi_antes;
    memcpy(mapa, mapa_antes, sizeof mapa);
    memcpy(enemi, tabla_antes, ENE_BYTES);
    return col;
}
