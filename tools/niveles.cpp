// niveles: the shipped levels, the editor's template and the first high-score tables.
// A level sheet (assets/niveles/) names its scenery by stretches of a theme, its set pieces
// by name and column range, and the number of each kind of enemy sprinkled around them; the
// map is laid out by the theme's rules and the sprinkle placed by a seeded draw that never
// lets explosives close a whole stretch of road. The autoplayer then drives the level at the
// hardest difficulty: a sprinkled explosive that takes a life, or that leaves a dodge tighter
// than the sheet allows, is taken away (a set piece's explosive that takes a life stops the maker). Files are written with the editor's own writer.
#include "tools/korvmake.h"

#include "shared/carga.h"
#include "game/piloto.h"
#include "game/logica.h"
#include "game/ranking.h"

#include <cmath>
#include <cstring>
#include <sstream>

// Block numbers of the sheet, by what they show.
enum {
    B_ASFALTO = 0, B_RAYA = 1, B_CEBRA = 2, B_ALCANTARILLA = 3, B_ARENOSO = 4, B_ARENOSO_RAYA = 5,
    B_NOCHE = 6, B_NOCHE_RAYA = 7, B_ACERA = 8, B_HIDRANTE = 9, B_CIELO = 10, B_TEJADO = 11,
    B_CASA_VENTANA = 12, B_CASA_PUERTA = 13, B_CASA_BAJA = 14, B_TIENDA = 15, B_CORNISA = 16,
    B_LADRILLO = 17, B_LADRILLO_PUERTA = 18, B_NUBE = 19, B_COLINAS = 20, B_COPA = 21, B_TRONCO = 22,
    B_PRADO = 23, B_CERCA = 24, B_ARCEN = 25, B_CIELO_DESIERTO = 26, B_MESETAS = 27, B_CACTUS_ALTO = 28,
    B_ARENA = 29, B_CACTUS_BAJO = 30, B_ROCAS = 31, B_ARCEN_DESIERTO = 32, B_CIELO_NOCHE = 33,
    B_TECHO_NOCHE = 34, B_EDIFICIO_NOCHE = 35, B_PUERTA_NOCHE = 36, B_NEON = 37, B_ACERA_NOCHE = 38,
    B_ACERA_TACHO = 39
};

enum { NIVELES_CAMPANA = 15, FILA_ACERA = 3, PRIMER_CARRIL = 4, PRIMERA_FILA_ENEMIGO = 1, ULTIMA_FILA_ENEMIGO = 4,
       COLUMNA_LIBRE = 14 };   // enemies start beyond the first screen of the level

// Fills the four lanes of column c with plain and dashed asphalt of one kind.
static void carriles(int c, int liso, int raya)
{
    for (int r = PRIMER_CARRIL; r < MAPA_FILAS; r++)
        mapa[c][r] = (r > PRIMER_CARRIL && c % 2 == 0) ? raya : liso;
}

// Town by day: terraced houses and brick blocks, pavement, crossings.
static void tema_ciudad(int c0, int n, Azar &az)
{
    for (int c = c0; c < c0 + n;) {
        int ancho = 2 + az.n(3), puerta = c + az.n(ancho);
        bool ladrillo = az.n(3) == 0, tienda = !ladrillo && az.n(3) == 0;
        for (int k = c; k < c + ancho && k < c0 + n; k++) {
            mapa[k][0] = ladrillo ? B_CORNISA : B_TEJADO;
            mapa[k][1] = ladrillo ? B_LADRILLO : B_CASA_VENTANA;
            mapa[k][2] = ladrillo ? (k == puerta ? B_LADRILLO_PUERTA : B_LADRILLO)
                                  : (tienda ? B_TIENDA : (k == puerta ? B_CASA_PUERTA : B_CASA_BAJA));
        }
        c += ancho;
    }
    for (int c = c0; c < c0 + n; c++) {
        mapa[c][FILA_ACERA] = az.n(12) == 0 ? B_HIDRANTE : B_ACERA;
        carriles(c, B_ASFALTO, B_RAYA);
        if (c % 2 && az.n(25) == 0)
            mapa[c][PRIMER_CARRIL + 1 + az.n(3)] = B_ALCANTARILLA;
        if (c % 40 == 25)
            for (int r = PRIMER_CARRIL; r < MAPA_FILAS; r++) mapa[c][r] = B_CEBRA;
    }
}

// Country: clouds, hills, trees standing on the meadow, runs of fence.
static void tema_campo(int c0, int n, Azar &az)
{
    int cerca = 0;
    for (int c = c0; c < c0 + n; c++) {
        mapa[c][0] = az.n(5) == 0 ? B_NUBE : B_CIELO;
        bool arbol = az.n(4) == 0 && (c == c0 || mapa[c - 1][1] != B_COPA);
        mapa[c][1] = arbol ? B_COPA : B_COLINAS;
        if (cerca == 0 && az.n(10) == 0) cerca = 3 + az.n(6);
        mapa[c][2] = arbol ? B_TRONCO : (cerca ? B_CERCA : B_PRADO);
        if (cerca) cerca--;
        mapa[c][FILA_ACERA] = B_ARCEN;
        carriles(c, B_ASFALTO, B_RAYA);
    }
}

// Desert: mesas on the horizon, saguaros, rocks and sand on the road.
static void tema_desierto(int c0, int n, Azar &az)
{
    for (int c = c0; c < c0 + n; c++) {
        mapa[c][0] = B_CIELO_DESIERTO;
        bool cactus = az.n(6) == 0 && (c == c0 || mapa[c - 1][1] != B_CACTUS_ALTO);
        mapa[c][1] = cactus ? B_CACTUS_ALTO : B_MESETAS;
        mapa[c][2] = cactus ? B_CACTUS_BAJO : (az.n(8) == 0 ? B_ROCAS : B_ARENA);
        mapa[c][FILA_ACERA] = B_ARCEN_DESIERTO;
        carriles(c, B_ARENOSO, B_ARENOSO_RAYA);
    }
}

// Town by night: dark blocks with lit windows, doors and neon bars.
static void tema_noche(int c0, int n, Azar &az)
{
    for (int c = c0; c < c0 + n;) {
        int ancho = 2 + az.n(4), puerta = c + az.n(ancho);
        bool alto = az.n(2) == 0;
        for (int k = c; k < c + ancho && k < c0 + n; k++) {
            mapa[k][0] = alto ? B_TECHO_NOCHE : B_CIELO_NOCHE;
            mapa[k][1] = B_EDIFICIO_NOCHE;
            mapa[k][2] = k == puerta ? (az.n(2) ? B_NEON : B_PUERTA_NOCHE) : B_EDIFICIO_NOCHE;
        }
        c += ancho;
    }
    for (int c = c0; c < c0 + n; c++) {
        mapa[c][FILA_ACERA] = az.n(7) == 0 ? B_ACERA_TACHO : B_ACERA_NOCHE;
        carriles(c, B_NOCHE, B_NOCHE_RAYA);
    }
}

// The editor's template: plain road and pavement under sky, hills and meadow.
static void tema_plantilla(int c0, int n, Azar &)
{
    for (int c = c0; c < c0 + n; c++) {
        mapa[c][0] = B_CIELO;
        mapa[c][1] = B_COLINAS;
        mapa[c][2] = B_PRADO;
        mapa[c][FILA_ACERA] = B_ACERA;
        carriles(c, B_ASFALTO, B_RAYA);
    }
}

static const struct { const char *nombre; void (*f)(int, int, Azar &); } temas[] = {
    {"ciudad", tema_ciudad}, {"campo", tema_campo}, {"desierto", tema_desierto},
    {"noche", tema_noche}, {"plantilla", tema_plantilla},
};

// Speed of the level in pixels per 1/75 s at the hardest difficulty (base 5).
static double velocidad_max(int codigo) { return 5.0 * (codigo == 3 ? 2.0 : codigo == 2 ? 1.5 : 1.0); }

// Columns of road within which explosives may close at most two lanes: the road that
// passes while the truck crosses three lanes (12/75 s a lane) plus the truck and the drum.
static int tramo_columnas(int codigo)
{
    return (int)ceil((3 * 12 * velocidad_max(codigo) + 46 + 37) / BLOQUE_W);
}

// Lanes holding an explosive between columns a and b of the grid.
static int carriles_cerrados(unsigned char g[ENE_COLS][MAPA_FILAS], int a, int b)
{
    int m = 0;
    for (int c = a < 0 ? 0 : a; c <= b && c < ENE_COLS; c++)
        for (int r = PRIMERA_FILA_ENEMIGO; r <= ULTIMA_FILA_ENEMIGO; r++)
            if (g[c][r] == 6) m |= 1 << r;
    return __builtin_popcount(m);
}

// Columns a set piece holds (with one column on each side): the sprinkle stays out of them.
static bool reservado[ENE_COLS];
// Enemies a set piece placed: the autoplayer's repairs never take them away.
static bool de_pieza[ENE_COLS][MAPA_FILAS];

// Places n enemies of the given types at free places; explosives keep a lane open.
static void siembra(unsigned char g[ENE_COLS][MAPA_FILAS], int n, int tipo0, int tipos, int codigo, Azar &az)
{
    int S = tramo_columnas(codigo);
    for (int k = 0, intentos = 0; k < n && intentos < 100000; intentos++) {
        int c = COLUMNA_LIBRE + az.n(ENE_COLS - COLUMNA_LIBRE - 2);
        int r = PRIMERA_FILA_ENEMIGO + az.n(ULTIMA_FILA_ENEMIGO - PRIMERA_FILA_ENEMIGO + 1);
        if (g[c][r] || g[c - 1][r] || g[c + 1][r] || reservado[c])
            continue;
        int t = tipo0 + az.n(tipos);
        g[c][r] = (unsigned char)t;
        if (t == 6) {
            bool bien = true;
            for (int a = c - S + 1; a <= c && bien; a++)
                bien = carriles_cerrados(g, a, a + S - 1) <= 2;
            if (!bien) { g[c][r] = 0; continue; }
        }
        k++;
    }
}

// --- set pieces: shapes a designer writes by name and column range ---
enum { T_PEATON = 1, T_EXPLOSIVO = 6, T_BOLSA = 7 };

// Puts one enemy of a set piece on lane n (0..3) of column c.
static void pon(unsigned char g[ENE_COLS][MAPA_FILAS], int c, int n, int tipo)
{
    if (c < 0 || c >= ENE_COLS || n < 0 || n > ULTIMA_FILA_ENEMIGO - PRIMERA_FILA_ENEMIGO)
        return;
    g[c][PRIMERA_FILA_ENEMIGO + n] = (unsigned char)tipo;
    de_pieza[c][PRIMERA_FILA_ENEMIGO + n] = true;
}

// A calm stretch: nothing at all.
static void pieza_calma(unsigned char (*)[MAPA_FILAS], int, int, int, Azar &) {}

// A slalom: explosives on the two middle lanes in turn every third column, a bag beside each
// on the other middle lane (the outer lanes stay open, and empty).
static void pieza_slalom(unsigned char g[ENE_COLS][MAPA_FILAS], int a, int b, int, Azar &)
{
    for (int c = a, i = 0; c <= b; c += 3, i++) {
        pon(g, c, 1 + i % 2, T_EXPLOSIVO);
        pon(g, c, 2 - i % 2, T_BOLSA);
    }
}

// A lure: a row of bags along one lane, an explosive at its end.
static void pieza_cebo(unsigned char g[ENE_COLS][MAPA_FILAS], int a, int b, int n, Azar &)
{
    for (int c = a; c <= b - 2; c++)
        pon(g, c, n, T_BOLSA);
    pon(g, b, n, T_EXPLOSIVO);
}

// A crowd crossing the road: pedestrians in diagonal files from the top lane to the bottom one.
static void pieza_cruce(unsigned char g[ENE_COLS][MAPA_FILAS], int a, int b, int, Azar &az)
{
    for (int c = a, i = 0; c <= b; c += 2, i++)
        pon(g, c, i % 4, T_PEATON + az.n(5));
}

// A gauntlet: explosives line the outer lanes every other column; in its second half the
// second lane is lined too, and bags wait on the one lane left open.
static void pieza_encerrona(unsigned char g[ENE_COLS][MAPA_FILAS], int a, int b, int, Azar &)
{
    int medio = (a + b) / 2;
    for (int c = a; c <= b; c += 2) {
        pon(g, c, 0, T_EXPLOSIVO);
        pon(g, c, 3, T_EXPLOSIVO);
        if (c >= medio)
            pon(g, c, 1, T_EXPLOSIVO);
        else
            pon(g, c + 1, 1, T_BOLSA);
        pon(g, c + 1, 2, T_BOLSA);
    }
}

// A wall that forces a lane: explosives every other column on the three others.
static void pieza_muro(unsigned char g[ENE_COLS][MAPA_FILAS], int a, int b, int libre, Azar &)
{
    for (int c = a; c <= b; c += 2)
        for (int n = 0; n < 4; n++)
            if (n != libre)
                pon(g, c, n, T_EXPLOSIVO);
}

static const struct {
    const char *nombre;
    bool carril;   // the piece names a lane after its range
    void (*f)(unsigned char (*)[MAPA_FILAS], int, int, int, Azar &);
} piezas[] = {
    {"calma", false, pieza_calma}, {"slalom", false, pieza_slalom}, {"cebo", true, pieza_cebo},
    {"cruce", false, pieza_cruce}, {"encerrona", false, pieza_encerrona}, {"muro", true, pieza_muro},
};

// Drives the level in memory at the hardest difficulty, 60 and 75 Hz, every phase. Returns
// false with the explosive to take away (column, lane) when a drive loses a life (perdio set)
// or dodges a sprinkled explosive by fewer ticks (at 75 Hz) than esquive.
static bool conduce(int esquive, int *col, int *carril, bool *perdio)
{
    static const int TASAS[] = {75, 60};
    for (int hz : TASAS)
        for (int fase = 0; fase < 4; fase++) {
            PilotoInforme r = piloto_conduce(DIFICULTADES - 1, hz, fase, PILOTO_NORMAL, NULL);
            *perdio = !r.ganado;
            if (!r.ganado) {
                *col = r.columna, *carril = r.carril;
                return false;
            }
            if (hz == 75 && r.margen >= 0 && r.margen < esquive &&
                !de_pieza[r.margen_columna][PRIMERA_FILA_ENEMIGO + r.margen_carril]) {
                *col = r.margen_columna, *carril = r.margen_carril;
                return false;
            }
        }
    return true;
}

// Makes one level from its sheet and writes it with the editor's writer.
static int hace_nivel(const std::string &rel)
{
    std::string hoja = fuente_ruta(rel), archivo;
    int codigo = 1, columnas = 0, esquive = 0;
    double peatones = 0, bolsas = 0, explosivos = 0;
    unsigned semilla = 1;
    std::vector<std::pair<std::string, int>> paisaje;
    struct Pieza { int tipo, a, b, carril; };
    std::vector<Pieza> lista;
    for (const std::string &l : lee_lineas(rel)) {
        std::istringstream in(l);
        std::string k;
        if (!(in >> k)) continue;
        if (k == "archivo") in >> archivo;
        else if (k == "velocidad") in >> codigo;
        else if (k == "paisaje") { std::string t; int n = 0; in >> t >> n; paisaje.push_back({t, n}); columnas += n; }
        else if (k == "peatones") in >> peatones;
        else if (k == "bolsas") in >> bolsas;
        else if (k == "explosivos") in >> explosivos;
        else if (k == "semilla") in >> semilla;
        else if (k == "esquive") in >> esquive;
        else if (k == "pieza") {
            std::string t;
            Pieza p = {-1, -1, -1, 0};
            in >> t >> p.a >> p.b;
            for (size_t i = 0; i < sizeof piezas / sizeof piezas[0]; i++)
                if (t == piezas[i].nombre) p.tipo = (int)i;
            if (p.tipo < 0) muere(hoja, "pieza desconocida: " + l);
            if (piezas[p.tipo].carril && !(in >> p.carril)) muere(hoja, "la pieza pide un carril 0-3: " + l);
            if (in.fail() || p.a < COLUMNA_LIBRE || p.b < p.a || p.b > ENE_COLS - COLUMNA_LIBRE || p.carril < 0 ||
                p.carril > 3)
                muere(hoja, "pieza fuera del recorrido (columnas 14-786, carril 0-3): " + l);
            lista.push_back(p);
        }
        else muere(hoja, "linea desconocida: " + l);
    }
    if (archivo.empty() || columnas != MAPA_COLS || codigo < 1 || codigo > 3)
        muere(hoja, "hace falta archivo, velocidad 1-3 y paisaje de 200 columnas");
    Azar az(semilla);
    multi = (unsigned char)codigo;
    memset(mapa, 0, sizeof mapa);
    int c = 0;
    for (auto &p : paisaje) {
        bool hecho = false;
        for (auto &t : temas)
            if (p.first == t.nombre) { t.f(c, p.second, az); hecho = true; }
        if (!hecho) muere(hoja, "tema desconocido: " + p.first);
        c += p.second;
    }
    static unsigned char g[ENE_COLS][MAPA_FILAS];
    memset(g, 0, sizeof g);
    memset(reservado, 0, sizeof reservado);
    memset(de_pieza, 0, sizeof de_pieza);
    for (const Pieza &p : lista) {
        piezas[p.tipo].f(g, p.a, p.b, p.carril, az);
        for (int k = p.a - 1; k <= p.b + 1; k++)
            reservado[k] = true;
    }
    double pasos = ENE_COLS / 100.0;
    siembra(g, (int)lround(explosivos * pasos), 6, 1, codigo, az);
    siembra(g, (int)lround(peatones * pasos), 1, 5, codigo, az);
    siembra(g, (int)lround(bolsas * pasos), 7, 1, codigo, az);
    int n = ArmaEnemigos(g);
    if (n > ENE_MAX)
        muere(hoja, "mas de 300 enemigos");
    // The autoplayer's repairs: a sprinkled explosive at a time.
    bool perdio = false;
    for (int col = 0, carril = 0; !conduce(esquive, &col, &carril, &perdio);) {
        int fila = PRIMERA_FILA_ENEMIGO + carril;
        if (col < 0 || carril < 0 || de_pieza[col][fila]) {
            char m[120];
            snprintf(m, sizeof m, "el explosivo de la pieza en la columna %d, carril %d no se pasa sin perder vidas",
                     col, carril);
            muere(hoja, m);
        }
        g[col][fila] = 0;
        n = ArmaEnemigos(g);
    }
    if (!GuardaMapa(salida(archivo).c_str()))
        muere(salida(archivo), "no se pudo escribir");
    return n;
}

// The first high-score tables: the game's own shipped tables.
static void hace_ranking()
{
    unsigned char r[RANKING_BYTES];
    ranking_por_defecto(r);
    escribe("datos/ranking.dat", std::vector<unsigned char>(r, r + RANKING_BYTES));
}

void hace_niveles()
{
    if (!enemi)
        enemi = reserva_enemigos();
    hace_nivel("plantilla.txt");
    for (int i = 1; i <= NIVELES_CAMPANA; i++) {
        char n[64];
        snprintf(n, sizeof n, "niveles/nivel_%02d.txt", i);
        hace_nivel(n);
    }
    hace_ranking();
}
