// demo: the title's demo, datos/demo.rep, from its readable source assets/demo.txt: the
// difficulty, the logic rate and the input phase, then the keys held from each tick on where
// they change, and the tick the demo ends at. The recording names the levels just made, by name
// and CRC, so that it plays only on them.
#include "tools/korvmake.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "game/logica.h"
#include "shared/busca.h"
#include "game/piloto.h"
#include "shared/repeticion.h"

static const char FUENTE[] = "demo.txt";
// What "korvmake demo-fuente" drives: difficulty "QUIERO JUGAR" at 75 Hz from phase 0, some 40 s.
enum { DEMO_DIFICULTAD = 1, DEMO_HZ = 75, DEMO_FASE = 0, DEMO_TICKS = 3000 };

// Keys of a source word: "nada", "arriba", "abajo" (one per key held, joined by '+').
static int teclas_de(const std::string &w, const std::string &ruta)
{
    int t = 0;
    std::stringstream ss(w);
    std::string k;
    while (std::getline(ss, k, '+')) {
        if (k == "arriba")
            t |= REP_ARRIBA;
        else if (k == "abajo")
            t |= REP_ABAJO;
        else if (k != "nada")
            muere(ruta, "tecla desconocida: " + k);
    }
    return t;
}

// The levels of the output folder in play order, with their CRCs.
static void pon_niveles(Repeticion *r)
{
    static char nombres[MAX_NIVELES][NOMBRE_MAX];
    int n = busca_archivos(salida("levels/*.map").c_str(), nombres, MAX_NIVELES);
    if (n < 1)
        muere(salida("levels"), "no hay niveles para la demostracion");
    r->niveles = n;
    for (int i = 0; i < n; i++) {
        size_t largo = strlen(nombres[i]);
        if (largo > REP_NOMBRE_MAX)
            muere(nombres[i], "nombre demasiado largo para una repeticion");
        memcpy(r->nivel[i].nombre, nombres[i], largo + 1);
        if (!crc32_archivo(salida(std::string("levels/") + nombres[i]).c_str(), &r->nivel[i].crc))
            muere(nombres[i], "no se pudo leer");
    }
}

void hace_demo()
{
    std::string ruta = fuente_ruta(FUENTE);
    static Repeticion r;
    r = Repeticion();
    // The demo is cut short and holds no run's end, the one thing the versions differ in: it keeps
    // the first version, which every version of the game reads.
    r.version = 1;
    snprintf(r.programa, sizeof r.programa, "korvmake");
    r.hz = 0;
    r.fase = 0;
    r.fin = REP_FIN_CORTADA;
    r.alcanzado = 1;
    int tick_previo = -1, teclas = 0, fin = -1;
    for (const std::string &l : lee_lineas(FUENTE)) {
        std::stringstream ss(l);
        std::string a, b;
        if (!(ss >> a))
            continue;
        if (!(ss >> b))
            muere(ruta, "linea sin valor: " + l);
        if (a == "dificultad") {
            r.dificultad = std::stoi(b);
        } else if (a == "hz") {
            r.hz = std::stoi(b);
        } else if (a == "fase") {
            r.fase = std::stoi(b);
        } else if (a == "fin") {
            fin = std::stoi(b);
        } else if (a.find_first_not_of("0123456789") == std::string::npos) {
            int t = std::stoi(a);
            if (t <= tick_previo)
                muere(ruta, "los ticks deben crecer: " + l);
            r.teclas.resize(t, (unsigned char)teclas);
            teclas = teclas_de(b, ruta);
            tick_previo = t;
        } else {
            muere(ruta, "linea desconocida: " + l);
        }
    }
    if (r.dificultad < 0 || r.dificultad > 2 || r.hz < REP_HZ_MIN || r.hz > REP_HZ_MAX || r.fase < 0 ||
        r.fase >= REP_FASES || fin <= tick_previo)
        muere(ruta, "faltan dificultad, hz, fase o fin, o estan fuera de rango");
    r.teclas.resize(fin, (unsigned char)teclas);
    r.animcon = (float)((1.0 / r.hz) / 0.013333333333333334);   // as the game computes 75 / hz
    pon_niveles(&r);
    escribe("datos/demo.rep", codifica_repeticion(r));
}

int demo_fuente(const std::string &nivel)
{
    if (!enemi)
        enemi = reserva_enemigos();
    if (!CargaMapa(nivel.c_str()))
        muere(nivel, "no se pudo leer");
    std::vector<unsigned char> teclas;
    PilotoInforme inf = piloto_conduce(DEMO_DIFICULTAD, DEMO_HZ, DEMO_FASE, PILOTO_NORMAL, &teclas);
    if (inf.vidas_perdidas > 0)
        muere(nivel, "el piloto pierde una vida: no sirve de demostracion");
    int fin = (int)teclas.size() < DEMO_TICKS ? (int)teclas.size() : (int)DEMO_TICKS;
    printf("# The title's demo: the first level at \"QUIERO JUGAR\", 75 Hz, driven by the autoplayer\n"
           "# (korvmake demo-fuente levels/nivel_01.map), its first %d ticks.\n"
           "# Lines: \"dificultad N\", \"hz N\", \"fase N\" (the input phase at the start, 0..3), then\n"
           "# \"TICK TECLAS\": the keys held from that tick on (nada, arriba, abajo, arriba+abajo),\n"
           "# and \"fin TICK\": the demo ends there.\n",
           fin);
    printf("dificultad %d\nhz %d\nfase %d\n", DEMO_DIFICULTAD, DEMO_HZ, DEMO_FASE);
    static const char *const nombre[4] = {"nada", "arriba", "abajo", "arriba+abajo"};
    int antes = -1;
    for (int t = 0; t < fin; t++) {
        int k = teclas[t] & (REP_ARRIBA | REP_ABAJO);
        if (k != antes)
            printf("%d %s\n", t, nombre[k]);
        antes = k;
    }
    printf("fin %d\n", fin);
    return 0;
}
