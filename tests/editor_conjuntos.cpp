// Level sets in the editor: out of the box NUEVO MAPA makes the level maker's first level although
// the campaign is full; the fifteen-level rule within each set; a campaign level's first version kept
// before it is written over and brought back; "GUARDAR COMO" into another set; a new set typed on
// screen; the status line's mark of unsaved changes.
#include <filesystem>

#include "tests/edicion.h"

namespace fs = std::filesystem;

// Fifteen campaign levels: out of the box NUEVO MAPA still makes a level, in MIS NIVELES, saved;
// a user set with fifteen says so and makes nothing. The campaign's files are untouched.
TEST(EditorConjuntos, NuevoMapaDeEntradaYElTopePorConjunto)
{
    Editor ed(true);
    const Bytes nivel01 = lee_archivo("levels/nivel_01.map");
    EXPECT_STREQ(conjunto().nombre, PROPIO_NOMBRE);
    guion = {KEY_ENTER, KEY_ESC, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_ENTER, KEY_UP, KEY_ENTER};
    korveditor();
    EXPECT_EQ(leidas, guion.size());
    EXPECT_EQ(lee_archivo("conjuntos/mis_niveles/nivel_01.map"), lee_archivo("datos/newlevel.dat"));
    char cuenta[64];
    buscaarch();
    texto_cuenta(cuenta, sizeof cuenta);
    EXPECT_STREQ(cuenta, "1 NIVEL");
    for (int n = 2; n <= 17; n++)
        fs::copy("levels/nivel_01.map", "conjuntos/mis_niveles/nivel_" + std::to_string(n) + ".map");
    buscaarch();
    texto_cuenta(cuenta, sizeof cuenta);
    EXPECT_STREQ(cuenta, "15 NIVELES, 2 NO SE JUEGAN");
    guion = {KEY_ENTER, KEY_ENTER, KEY_UP, KEY_ENTER}, leidas = 0;
    EXPECT_NE(stderr_de(korveditor).find("ya hay 17 niveles"), std::string::npos);
    EXPECT_TRUE(carga == 0 && lee_archivo("levels/nivel_01.map") == nivel01 && !existe("levels/originales")) << "nothing made";
}

// A campaign level written over keeps its first version (once); RECUPERAR ORIGINAL brings it back,
// and the open map with it. Installed, the first version is the shipped file, which stays as it is.
TEST(EditorConjuntos, PrimeraVersionDeLaCampanaYSuRecuperacion)
{
    for (bool inst : {false, true}) {
        Editor ed(true);
        const Bytes antes = lee_archivo("levels/nivel_02.map");
        if (inst) {
            instalado = 1;
            snprintf(carpeta_usuario, sizeof carpeta_usuario, "%s/u", ed.ruta.c_str());
            fs::create_directories("u/levels");
        }
        std::string propio = inst ? ed.ruta + "/u/levels" : "levels";
        abre("levels/nivel_02.map");
        strcpy(archivo, (propio + "/nivel_02.map").c_str());
        for (int vez = 0; vez < 2; vez++) {
            mapa[vez][0] = (unsigned char)(mapa[vez][0] + 1) % NUM_TILES;
            guion = {KEY_ENTER}, leidas = 0;   // "GUARDAR IGUAL?" where the autoplayer asks
            stderr_de([&] { ASSERT_TRUE(gurdarmapa()) << inst; });
            EXPECT_EQ(lee_archivo(propio + "/originales/nivel_02.map"), antes) << inst << vez;
        }
        EXPECT_NE(lee_archivo(propio + "/nivel_02.map"), antes);
        EXPECT_EQ(lee_archivo("levels/nivel_02.map") == antes, inst) << "installed, the shipped file stays";
        modifi = 1;
        guion = {KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_ENTER, KEY_ENTER, KEY_ENTER}, leidas = 0;
        menu_conjuntos();
        EXPECT_TRUE(lee_archivo(propio + "/nivel_02.map") == antes && modifi == 0 && mapa[0][0] == antes[1])
            << inst << ": the file and the open map brought back";
        instalado = 0, carpeta_usuario[0] = 0;
    }
}

// "GUARDAR COMO": the next set (LEFT/RIGHT) at its first free number; a number taken asks first.
// A level file given on the command line opens at start, in its set.
TEST(EditorConjuntos, GuardarComoEnOtroConjunto)
{
    Editor ed(true);
    pon_conjunto(0);
    abre("levels/nivel_04.map");
    const Bytes nivel04 = lee_archivo("levels/nivel_04.map");
    guion = {KEY_RIGHT, KEY_ENTER};
    guardar_como();
    EXPECT_TRUE(lee_archivo("conjuntos/mis_niveles/nivel_01.map") == nivel04 && !strcmp(archivo, "conjuntos/mis_niveles/nivel_01.map") &&
                !strcmp(conjunto().nombre, PROPIO_NOMBRE)) << archivo;
    abre("levels/nivel_05.map");
    guion = {KEY_DOWN, KEY_ENTER, KEY_DOWN, KEY_ENTER}, leidas = 0;   // number 01, taken: NO
    guardar_como();
    EXPECT_TRUE(leidas == guion.size() && lee_archivo("conjuntos/mis_niveles/nivel_01.map") == nivel04 &&
                !strcmp(archivo, "levels/nivel_05.map")) << archivo;
    snprintf(archivo_pedido, sizeof archivo_pedido, "%s/conjuntos/mis_niveles/nivel_01.map", ed.ruta.c_str());
    pon_conjunto(0);
    guion = {KEY_ESC, KEY_UP, KEY_ENTER}, leidas = 0;   // korveditor FILE: the map, then SALIR
    korveditor();
    archivo_pedido[0] = 0;
    EXPECT_TRUE(carga && archivo == ed.ruta + "/conjuntos/mis_niveles/nivel_01.map" && !strcmp(conjunto().nombre, PROPIO_NOMBRE))
        << archivo << ": the file's set is the one in edit";
}

// NUEVO CONJUNTO: its name, author and line typed (lower case shown upper), then it is the set in edit;
// a name taken is refused. The status line marks unsaved changes.
TEST(EditorConjuntos, NuevoConjuntoYMarcaDeCambios)
{
    Editor ed(true);
    auto escribe = [](const char *s) {
        for (; *s; s++)
            guion.push_back((*s == ' ' ? KEY_SPACE : KEY_A) << 8 | *s);
        guion.push_back(KEY_ENTER);
    };
    guion = {KEY_DOWN, KEY_ENTER};
    escribe("la ruta 9!");
    escribe("ana");
    escribe("tres curvas");
    menu_conjuntos();
    EXPECT_STREQ(conjunto().nombre, "LA RUTA 9!");
    Conjunto c;
    Bytes d = lee_archivo("conjuntos/la_ruta_9/conjunto.txt");
    ASSERT_TRUE(descifra_descripcion((const char *)d.data(), d.size(), "d", &c));
    EXPECT_EQ(std::string(c.autor) + "/" + c.descripcion, "ANA/TRES CURVAS");
    guion = {KEY_DOWN, KEY_ENTER}, leidas = 0;
    escribe("Mis Niveles"), escribe(""), escribe("");
    menu_conjuntos();
    EXPECT_EQ(n_conjuntos, 3) << "the name is taken: no set made";
    strcpy(archivo, "x.map");
    char linea[64];
    for (int m : {1, 0}) {
        modifi = m;
        texto_estado(2, linea, sizeof linea);
        EXPECT_STREQ(linea, m ? "MAPA*: x.map" : "MAPA: x.map ");
    }
}
