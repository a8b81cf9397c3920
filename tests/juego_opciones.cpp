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
    {{"-full", "-info"}, nullptr, "", -1, -1},
    {{"-nivel", "a.map"}, nullptr, "a.map", -1, -1},
    {{"-nivel", "a.map", "-desde", "0", "-dificultad", "2"}, nullptr, "a.map", 0, 2},
    {{"-dificultad", "1", "-desde", "799", "-nivel", "-full"}, nullptr, "-full", 799, 1},
    {{"-dificultad", "0"}, nullptr, "", -1, 0},
    {{"-nivel"}, "-nivel necesita el archivo del nivel", "", -1, -1},
    {{"-nivel", ""}, "-nivel necesita el archivo del nivel", "", -1, -1},
    {{"-nivel", "a.map", "-desde", "800"}, "-desde necesita una columna de 0 a 799 (se dio '800')", "", -1, -1},
    {{"-nivel", "a.map", "-desde", "-1"}, "-desde necesita una columna de 0 a 799 (se dio '-1')", "", -1, -1},
    {{"-nivel", "a.map", "-desde", "12x"}, "-desde necesita una columna de 0 a 799 (se dio '12x')", "", -1, -1},
    {{"-nivel", "a.map", "-desde", "00005"}, "-desde necesita una columna de 0 a 799 (se dio '00005')", "", -1, -1},
    {{"-nivel", "a.map", "-desde"}, "-desde necesita una columna de 0 a 799 (se dio '')", "", -1, -1},
    {{"-desde", "5"}, "-desde solo sirve con -nivel ARCHIVO", "", -1, -1},
    {{"-dificultad", "3"}, "-dificultad necesita 0, 1 o 2 (se dio '3')", "", -1, -1},
    {{"-dificultad", " 1"}, "-dificultad necesita 0, 1 o 2 (se dio ' 1')", "", -1, -1},
    {{"-dificultad"}, "-dificultad necesita 0, 1 o 2 (se dio '')", "", -1, -1},
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

// With a start column the level begins with that column six blocks ahead of the truck's left
// edge (enemies on it listed there at once); near the start the usual start (where nothing is
// listed before road pixel 356); near the end the road's last pixel.
TEST(OpcionesNivel, DesdeLaColumnaDelCursor)
{
    static BITMAP *bloques[NUM_TILES];
    for (int i = 0; i < NUM_TILES; i++)
        tile[i] = bloques[i] = create_bitmap(BLOQUE_W, BLOQUE_H);
    scroll = create_bitmap(2 * PANTALLA_W, CAMPO_H);
    proximo_bloque = create_bitmap(BLOQUE_W, CAMPO_H);
    reserva_enemigos();
    const struct {
        int desde;
        int posicion;   // road pixels scrolled at the start
        int enemigo_x;  // screen x of the enemy on the start column; -1 not listed
    } casos[] = {
        {-1, 352, -1}, {0, 352, -1}, {7, 352, -1}, {8, 384, 192},
        {210, 6848, 192}, {400, 12928, 192}, {796, 25600 - 1, 192 + 1}, {799, 25600 - 1, 288 + 1},
    };
    for (const auto &c : casos) {
        memset(enemi, 0, ENE_BYTES);
        if (c.desde >= 0)
            ene_pon(0, c.desde, BLOQUE_H, 1);
        EXPECT_EQ(avance_inicial(c.desde), (float)c.posicion) << c.desde;
        desde_col = c.desde;
        nscro = 0.0f;
        sobscro = 0.0f;
        prepara_nivel();
        EXPECT_EQ(MAPA_COLS * BLOQUE_W * scr5 + scr1, c.posicion) << c.desde;
        if (c.enemigo_x < 0) {
            EXPECT_EQ(spr_cant, 0) << c.desde;
        } else {
            ASSERT_EQ(spr_cant, 1) << c.desde;
            EXPECT_EQ(sprite_div[0][2], c.enemigo_x) << c.desde;
        }
    }
    desde_col = -1;
    destroy_bitmap(scroll);
    destroy_bitmap(proximo_bloque);
    for (int i = 0; i < NUM_TILES; i++)
        destroy_bitmap(bloques[i]);
}
