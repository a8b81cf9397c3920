// One level from the command line: "-nivel FILE", "-desde COL", "-dificultad N" read into the
// game's globals or refused with one line.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "game/main.h"

// One row per command line: what it asks for (level, start column, difficulty; -1 not given),
// or the line that refuses it.
TEST(OpcionesNivel, TablaDeLineasDeOrden)
{
    const struct { std::vector<const char *> args; const char *error, *nivel; int desde, dificultad; } tabla[] = {
        {{}, nullptr, "", -1, -1}, {{"-nivel", "a.map"}, nullptr, "a.map", -1, -1},
        {{"-nivel", "a.map", "-desde", "0", "-dificultad", "2"}, nullptr, "a.map", 0, 2},
        {{"-dificultad", "1", "-desde", "799", "-nivel", "-full"}, nullptr, "-full", 799, 1},
        {{"-nivel"}, "-nivel necesita el archivo del nivel", "", 0, 0},
        {{"-nivel", "a.map", "-desde", "800"}, "-desde necesita una columna de 0 a 799 (se dio '800')", "", 0, 0},
        {{"-nivel", "a.map", "-desde", "12x"}, "-desde necesita una columna de 0 a 799 (se dio '12x')", "", 0, 0},
        {{"-nivel", "a.map", "-desde", "00005"}, "-desde necesita una columna de 0 a 799 (se dio '00005')", "", 0, 0},
        {{"-desde", "5"}, "-desde solo sirve con -nivel ARCHIVO", "", 0, 0},
        {{"-dificultad", "3"}, "-dificultad necesita 0, 1 o 2 (se dio '3')", "", 0, 0},
    };
    for (const auto &o : tabla) {
        std::vector<char *> argv{(char *)"korvex"};
        std::string caso = "korvex";
        for (const char *a : o.args)
            argv.push_back((char *)a), caso += std::string(" ") + a;
        argv.push_back(nullptr);
        char error[256] = "";
        bool ok = lee_opciones_nivel((int)argv.size() - 1, argv.data(), error, sizeof error);
        EXPECT_EQ(ok, !o.error) << caso << ": " << error;
        EXPECT_STREQ(error, o.error ? o.error : "") << caso;
        if (ok) {
            EXPECT_TRUE(!strcmp(nivel_suelto, o.nivel) && desde_col == o.desde && dificultad_fija == o.dificultad)
                << caso << ": " << nivel_suelto << " " << desde_col << " " << dificultad_fija;
        }
    }
    nivel_suelto[0] = 0;
    desde_col = dificultad_fija = -1;
}
