// One level from the command line: "-nivel FILE", "-desde COL", "-dificultad N" read into the
// game's globals or refused with one line; the road's start with a start column.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "game/main.h"
#include "prueba.h"

namespace {

// One command line: what it asks for, or the line that refuses it.
struct Opciones {
    std::vector<const char *> args;
    const char *error;   // nullptr: accepted
    const char *nivel;
    int desde, dificultad;
};

const Opciones tabla[] = {
    {{}, nullptr, "", -1, -1},
    {{"-nivel", "a.map"}, nullptr, "a.map", -1, -1},
    {{"-nivel", "a.map", "-desde", "0", "-dificultad", "2"}, nullptr, "a.map", 0, 2},
    {{"-dificultad", "1", "-desde", "799", "-nivel", "-full"}, nullptr, "-full", 799, 1},
    {{"-nivel"}, "-nivel necesita el archivo del nivel", "", -1, -1},
    {{"-nivel", "a.map", "-desde", "800"}, "-desde necesita una columna de 0 a 799 (se dio '800')", "", -1, -1},
    {{"-nivel", "a.map", "-desde", "12x"}, "-desde necesita una columna de 0 a 799 (se dio '12x')", "", -1, -1},
    {{"-nivel", "a.map", "-desde", "00005"}, "-desde necesita una columna de 0 a 799 (se dio '00005')", "", -1, -1},
    {{"-desde", "5"}, "-desde solo sirve con -nivel ARCHIVO", "", -1, -1},
    {{"-dificultad", "3"}, "-dificultad necesita 0, 1 o 2 (se dio '3')", "", -1, -1},
};

}  // namespace

TEST(OpcionesNivel, TablaDeLineasDeOrden)
{
    for (const Opciones &o : tabla) {
        std::vector<char *> argv{(char *)"korvex"};
        std::string caso = "korvex";
        for (const char *a : o.args) {
            argv.push_back((char *)a);
            caso += std::string(" ") + a;
        }
        argv.push_back(nullptr);
        char error[256] = "";
        bool ok = lee_opciones_nivel((int)argv.size() - 1, argv.data(), error, sizeof error);
        if (o.error) {
            EXPECT_FALSE(ok) << caso;
            EXPECT_STREQ(error, o.error) << caso;
            continue;
        }
        EXPECT_TRUE(ok) << caso << ": " << error;
        EXPECT_STREQ(nivel_suelto, o.nivel) << caso;
        EXPECT_EQ(desde_col, o.desde) << caso;
        EXPECT_EQ(dificultad_fija, o.dificultad) << caso;
    }
    nivel_suelto[0] = 0;
    desde_col = dificultad_fija = -1;
}
