// The level checker as scripts run it: "korveditor -verifica FILE..." without any display,
// on broken level files (one line naming the file, status 1) and on the shipped levels.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "prueba.h"
#include "shared/carga.h"

namespace {

enum { MAPA = 1, ENEMIGOS = 1 + MAPA_BYTES };

// A sound level: speed code 1, every block 0, no enemies.
std::vector<unsigned char> nivel_sano()
{
    std::vector<unsigned char> v(NIVEL_BYTES, 0);
    v[0] = 1;
    return v;
}

// Sets enemy record i in a level image.
void registro(std::vector<unsigned char> &v, int i, int col, int off, int tipo)
{
    unsigned char *r = &v[ENEMIGOS + ENE_REG * i];
    r[0] = (unsigned char)(col & 0xFF);
    r[1] = (unsigned char)(col >> 8);
    r[2] = (unsigned char)off;
    r[3] = (unsigned char)tipo;
}

// Explosives on the four lanes at the given columns (lane n at cols[n]), records in the
// writer's order.
std::vector<unsigned char> explosivos(int codigo, const int cols[4])
{
    std::vector<unsigned char> v = nivel_sano();
    v[0] = (unsigned char)codigo;
    for (int n = 0; n < 4; n++)
        registro(v, n, cols[n], BLOQUE_H * (n + 1), 6);
    return v;
}

// Runs the checker with no X display on the files; its output and exit status.
struct Salida {
    std::string texto;
    int estado;
};
Salida verifica(const std::string &archivos)
{
    std::string orden = "env -u DISPLAY " KORV_DIR "/korveditor -verifica " + archivos + " 2>&1";
    Salida s{"", -1};
    FILE *p = popen(orden.c_str(), "r");
    if (!p)
        return s;
    char buf[512];
    while (fgets(buf, sizeof buf, p))
        s.texto += buf;
    int st = pclose(p);
    s.estado = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return s;
}

// One broken file: how it is made and the one line the checker must print for it.
struct Roto {
    const char *caso;
    std::vector<unsigned char> (*hace)();
    const char *linea;   // after "roto.map: "
};

const int cerrado_9[4] = {100, 108, 104, 101};   // spans 9 columns: closed at x1
const int abierto_10[4] = {100, 109, 104, 101};  // spans 10 columns: open at x1, closed at x1.5

const Roto rotos[] = {
    {"corto", [] { auto v = nivel_sano(); v.pop_back(); return v; }, "tamaño de 2800 bytes, un nivel tiene 2801"},
    {"largo", [] { auto v = nivel_sano(); v.push_back(0); return v; }, "tamaño de 2802 bytes, un nivel tiene 2801"},
    {"vacio", [] { return std::vector<unsigned char>(); }, "tamaño de 0 bytes, un nivel tiene 2801"},
    {"velocidad 0", [] { auto v = nivel_sano(); v[0] = 0; return v; }, "codigo de velocidad 0 fuera de 1-3"},
    {"velocidad 4", [] { auto v = nivel_sano(); v[0] = 4; return v; }, "codigo de velocidad 4 fuera de 1-3"},
    {"bloques", [] { auto v = nivel_sano(); v[MAPA + 2 * MAPA_COLS + 5] = 40; v[MAPA + 7 * MAPA_COLS + 199] = 255;
                     return v; }, "2 bloques fuera de la tabla 0-39 (el primero en columna 5, fila 2: 40)"},
    {"columna 800", [] { auto v = nivel_sano(); registro(v, 0, 800, 24, 1); return v; },
     "registro 0 fuera de rango (columna 800, fila 24, tipo 1)"},
    {"fila partida", [] { auto v = nivel_sano(); registro(v, 0, 20, 25, 1); return v; },
     "registro 0 fuera de rango (columna 20, fila 25, tipo 1)"},
    {"sobre la vereda", [] { auto v = nivel_sano(); registro(v, 0, 20, 0, 1); return v; },
     "registro 0 fuera de rango (columna 20, fila 0, tipo 1)"},
    {"bajo la calle", [] { auto v = nivel_sano(); registro(v, 0, 20, 120, 1); return v; },
     "registro 0 fuera de rango (columna 20, fila 120, tipo 1)"},
    {"restos", [] { auto v = nivel_sano(); registro(v, 0, 20, 24, 8); return v; },
     "registro 0 fuera de rango (columna 20, fila 24, tipo 8)"},
    {"hueco", [] { auto v = nivel_sano(); registro(v, 1, 20, 24, 1); return v; },
     "registro 1 despues del registro vacio 0: la tabla no esta compacta"},
    {"vacio con datos", [] { auto v = nivel_sano(); registro(v, 0, 5, 0, 0); return v; },
     "registro 0 vacio con datos (columna 5, fila 0)"},
    {"desordenado", [] { auto v = nivel_sano(); registro(v, 0, 20, 48, 1); registro(v, 1, 30, 24, 1); return v; },
     "registro 1 fuera de orden o repetido (columna 30, fila 24)"},
    {"repetido", [] { auto v = nivel_sano(); registro(v, 0, 20, 24, 1); registro(v, 1, 20, 24, 7); return v; },
     "registro 1 fuera de orden o repetido (columna 20, fila 24)"},
    {"cerrado x1", [] { return explosivos(1, cerrado_9); },
     "los explosivos cierran los cuatro carriles en las columnas 100 a 108 (menos de 9 columnas)"},
    {"cerrado x1.5", [] { return explosivos(2, abierto_10); },
     "los explosivos cierran los cuatro carriles en las columnas 98 a 109 (menos de 12 columnas)"},
    {"cerrado x2", [] { const int c[4] = {300, 313, 305, 306}; return explosivos(3, c); },
     "los explosivos cierran los cuatro carriles en las columnas 300 a 313 (menos de 14 columnas)"},
};

}  // namespace

TEST(Verificador, CadaArchivoRotoUnaLineaYEstado1)
{
    CarpetaTemporal t;
    for (const Roto &r : rotos) {
        escribe_archivo("roto.map", r.hace());
        Salida s = verifica("roto.map");
        EXPECT_EQ(s.texto, std::string("roto.map: ") + r.linea + "\n") << r.caso;
        EXPECT_EQ(s.estado, 1) << r.caso;
    }
}

// Sound files, among them the stretches just long enough at their speed, give no line and
// status 0; one broken file among sound ones gives its line alone and status 1; a missing
// file is a problem too; no file at all is a usage error.
TEST(Verificador, ArchivosSanosYMezclados)
{
    CarpetaTemporal t;
    escribe_archivo("sano.map", nivel_sano());
    escribe_archivo("abierto.map", explosivos(1, abierto_10));
    const int x2[4] = {300, 314, 305, 306};
    escribe_archivo("abierto2.map", explosivos(3, x2));
    auto lleno = nivel_sano();
    for (int i = 0; i < ENE_MAX; i++)
        registro(lleno, i, 11 + i % 789, BLOQUE_H * (1 + i / 789), 1 + i % 7 == 6 ? 7 : 1 + i % 7);
    escribe_archivo("lleno.map", lleno);
    Salida s = verifica("sano.map abierto.map abierto2.map lleno.map");
    EXPECT_EQ(s.texto, "");
    EXPECT_EQ(s.estado, 0);
    auto v = nivel_sano();
    v[0] = 9;
    escribe_archivo("malo.map", v);
    s = verifica("sano.map malo.map abierto.map");
    EXPECT_EQ(s.texto, "malo.map: codigo de velocidad 9 fuera de 1-3\n");
    EXPECT_EQ(s.estado, 1);
    s = verifica("sano.map falta.map");
    EXPECT_EQ(s.texto, "falta.map: no se pudo abrir (No such file or directory)\n");
    EXPECT_EQ(s.estado, 1);
    s = verifica("");
    EXPECT_EQ(s.estado, 2);
}

// The shipped levels and the editor's template pass the same checker (the lane rule at
// each level's speed included), with no display.
TEST(Verificador, NivelesEnviadosSanos)
{
    Salida s = verifica(KORV_DIR "/levels/*.map " KORV_DIR "/datos/newlevel.dat");
    EXPECT_EQ(s.texto, "");
    EXPECT_EQ(s.estado, 0);
}
