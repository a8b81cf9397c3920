// The level checker as scripts run it: "korveditor -verifica FILE..." without any display,
// on broken level files (one line naming the file, status 1) and on walls of explosives (the lane
// rule agreeing with the autoplayer); the shipped levels pass it in Datos.NivelesYPlantilla.
#include <algorithm>
#include <array>
#include <sys/stat.h>

#include "tests/prueba.h"
#include "shared/carga.h"

// The checker on some files, with no X display (one that waits, on a FIFO say, is ended: status 124):
// its output and exit status.
static std::pair<std::string, int> verifica(const std::string &archivos)
{
    return salida_de("timeout 20 " KORV_DIR "/korveditor -verifica " + archivos + " 2>&1");
}

// One row per level file: its size, speed code, one block (byte offset in the map, value), records
// {column, row offset, type} from record 0 (type -1: an empty record left before it), and what the
// checker says after "n.map: " ("" sound).
TEST(Verificador, UnaLineaPorProblemaYEstado)
{
    typedef std::vector<std::array<int, 3>> Registros;
    auto muro = [](int col, int ancho) {   // explosives over columns col.. on the four lanes, by row
        Registros v;
        for (int fila = 24; fila <= 96; fila += 24)
            for (int c = col; c < col + ancho; c++)
                v.push_back({c, fila, 6});
        return v;
    };
    auto cerrado = [](int a, int b) {
        return "los explosivos cierran los cuatro carriles a la vez en las columnas " + std::to_string(a) + " a " +
               std::to_string(b) + "\nn.map: no se puede ganar sin perder vidas desde la columna " + std::to_string(a);
    };
    const struct { int tam, codigo, bloque, valor; Registros regs; std::string linea; } niveles[] = {
        {2800, 1, 0, 0, {}, "tamaño de 2800 bytes, un nivel tiene 2801"},
        {2802, 1, 0, 0, {}, "tamaño de 2802 bytes, un nivel tiene 2801"},
        {2801, 0, 0, 0, {}, "codigo de velocidad 0 fuera de 1-3"},
        {2801, 1, 2 * 200 + 5, 40, {}, "1 bloque fuera de la tabla 0-39 (el primero en columna 5, fila 2: 40)"},
        {2801, 1, 0, 0, {{800, 24, 1}}, "registro 0 fuera de rango (columna 800, fila 24, tipo 1)"},
        {2801, 1, 0, 0, {{20, 25, 1}}, "registro 0 fuera de rango (columna 20, fila 25, tipo 1)"},
        {2801, 1, 0, 0, {{20, 120, 1}}, "registro 0 fuera de rango (columna 20, fila 120, tipo 1)"},
        {2801, 1, 0, 0, {{20, 24, 8}}, "registro 0 fuera de rango (columna 20, fila 24, tipo 8)"},
        {2801, 1, 0, 0, {{0, 0, -1}, {20, 24, 1}}, "registro 1 despues del registro vacio 0: la tabla no esta compacta"},
        {2801, 1, 0, 0, {{5, 0, 0}}, "registro 0 vacio con datos (columna 5, fila 0)"},
        {2801, 1, 0, 0, {{20, 48, 1}, {30, 24, 1}}, "registro 1 fuera de orden o repetido (columna 30, fila 24)"},
        // The lane rule and the autoplayer (at "SOY JODIDO", 60 and 75 Hz): explosives scattered over
        // the four lanes leave a way; a wall of one column on the four lanes closes a x1 level but not
        // a x1.5 one (a lane change passes it); two columns close x1.5; at x2 they close it or not
        // by where the road's ticks fall (12 or 11 in reach at 75 Hz, 11 ticks off the lanes).
        {2801, 1, 0, 0, {{100, 24, 6}, {108, 48, 6}, {104, 72, 6}, {101, 96, 6}}, ""},
        {2801, 1, 0, 0, muro(100, 1), cerrado(100, 100)}, {2801, 2, 0, 0, muro(100, 1), ""},
        {2801, 2, 0, 0, muro(100, 2), cerrado(100, 101)}, {2801, 3, 0, 0, muro(300, 2), cerrado(300, 301)},
        {2801, 3, 0, 0, muro(301, 2), ""},
    };
    CarpetaTemporal t;
    for (const auto &n : niveles) {
        Bytes v(NIVEL_BYTES, 0);
        v[0] = (unsigned char)n.codigo, v[1 + n.bloque] = (unsigned char)n.valor;
        for (size_t i = 0; i < n.regs.size(); i++) {
            unsigned char *r = &v[1 + MAPA_BYTES + ENE_REG * i];
            int col = n.regs[i][0];
            r[0] = (unsigned char)col, r[1] = (unsigned char)(col >> 8), r[2] = (unsigned char)n.regs[i][1];
            r[3] = (unsigned char)std::max(n.regs[i][2], 0);
        }
        v.resize(n.tam);
        escribe_archivo("n.map", v);
        EXPECT_EQ(verifica("n.map"), std::make_pair(n.linea.empty() ? "" : "n.map: " + n.linea + "\n", n.linea.empty() ? 0 : 1));
    }
    // A missing file among sound ones: its line alone, status 1; no file at all: status 2.
    EXPECT_EQ(verifica(KORV_DIR "/datos/newlevel.dat falta.map"),
              std::make_pair(std::string("falta.map: no se pudo abrir (No such file or directory)\n"), 1));
    EXPECT_EQ(verifica("").second, 2);
}

// The game on one level file with no X display: its stderr and exit status.
static std::pair<std::string, int> juega_nivel(const std::string &archivo)
{
    return salida_de("timeout 20 " KORV_DIR "/korvex -nivel " + archivo + " 2>&1 >/dev/null");
}

// What is not a regular file is refused at once by the checker and by "korvex -nivel"; -nivel
// refuses, with the checker's own line and status 2, the files whose size or speed code the
// checker refuses (before any window would open, so no display is needed to see it).
TEST(Verificador, NoRegularesYNivelSueltoRechazados)
{
    CarpetaTemporal t;
    ASSERT_EQ(mkfifo("fifo.map", 0600), 0);
    const char *fifo = "fifo.map: es una FIFO, no un archivo; no se lee\n";
    EXPECT_EQ(std::make_pair(verifica("fifo.map"), juega_nivel("fifo.map").second), std::make_pair(std::make_pair(std::string(fifo), 1), 2));
    Bytes ceros(NIVEL_BYTES, 0), corto(NIVEL_BYTES - 1, 1), codigo4(NIVEL_BYTES, 0);
    codigo4[0] = 4;
    escribe_archivo("ceros.map", ceros);
    escribe_archivo("corto.map", corto);
    escribe_archivo("codigo4.map", codigo4);
    const struct { const char *archivo, *linea; } casos[] = {
        {"ceros.map", "ceros.map: codigo de velocidad 0 fuera de 1-3\n"},
        {"codigo4.map", "codigo4.map: codigo de velocidad 4 fuera de 1-3\n"},
        {"corto.map", "corto.map: tamaño de 2800 bytes, un nivel tiene 2801\n"},
        {"/dev/zero", "/dev/zero: es un dispositivo, no un archivo; no se lee\n"},
    };
    for (const auto &c : casos) {
        EXPECT_EQ(juega_nivel(c.archivo), std::make_pair(std::string(c.linea), 2)) << c.archivo;
        EXPECT_EQ(verifica(c.archivo).first, c.linea) << "the same line as the checker's";
    }
}
