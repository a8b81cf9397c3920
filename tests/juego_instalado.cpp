// The installed layout: where the programs look, the joined catalogue, the ranking in the user's folder.
#include <filesystem>

#include "game/presoverganec.h"
#include "tests/partida.h"
#include "tests/prueba.h"

namespace fs = std::filesystem;

// p/games/ and p/share/games/korvex/datos/ in the working folder; with al_lado, datos/ beside the program too.
static void prefijo(bool al_lado)
{
    fs::create_directories(al_lado ? "p/games/datos" : "p/games"), fs::create_directories("p/share/games/korvex/datos");
}

// One row per layout and environment: installed or not, where the user's files go, where a recording
// is read from (installed without a user folder: nowhere); written, the user's folder is made first.
// prefijo: 0 none (build folder), 1 installed prefix, 2 prefix with datos/ beside the program.
TEST(Instalado, DecisionPorDisposicion)
{
    const struct { int prefijo; const char *xdg, *home, *usuario; } casos[] = {
        {0, "/x", "/h", ""}, {2, "/x", "/h", ""}, {1, "/x", "/h", "/x/korvex"},
        {1, "", "/h", "/h/.local/share/korvex"}, {1, "rel", "/h", "/h/.local/share/korvex"}, {1, nullptr, nullptr, ""},
    };
    for (const auto &c : casos) {
        CarpetaTemporal t;
        if (c.prefijo)
            prefijo(c.prefijo == 2);
        bool inst = c.prefijo == 1;
        char rep[RUTA_MAX] = "";
        bool dispuesto = decide_disposicion((t.ruta + "/p/games").c_str(), c.xdg, c.home);
        bool hay_rep = ruta_repeticion("ultima.rep", false, rep, sizeof rep);
        EXPECT_EQ(std::make_tuple(dispuesto, std::string(carpeta_datos), std::string(carpeta_usuario), hay_rep, std::string(rep)),
                  std::make_tuple(inst, inst ? t.ruta + "/p/share/games/korvex" : "", c.usuario, !inst || *c.usuario,
                                  !inst ? "datos/ultima.rep" : *c.usuario ? c.usuario + std::string("/ultima.rep") : ""))
            << c.prefijo << c.usuario;
    }
    CarpetaTemporal t;
    prefijo(false);
    decide_disposicion((t.ruta + "/p/games").c_str(), nullptr, t.ruta.c_str());
    char rep[RUTA_MAX] = "";
    EXPECT_TRUE(ruta_repeticion("ultima.rep", true, rep, sizeof rep) && fs::is_directory(t.ruta + "/.local/share/korvex"));
    EXPECT_EQ(rep, t.ruta + "/.local/share/korvex/ultima.rep");
    decide_disposicion("", nullptr, nullptr);
}

// One row per pair of folders: name order, the user's file on equal names (marked *), at most 15.
TEST(Instalado, CatalogoUnido)
{
    const struct { std::vector<std::string> fabrica, propios; const char *esperado; } casos[] = {
        {{"a", "c"}, {}, "a c "}, {{"a", "c"}, {"b", "c", "d"}, "a *b *c *d "},
        {{"01", "03", "05", "07", "09", "11", "13", "15", "17"}, {"02", "03", "04", "06", "08", "10", "12", "14", "16"},
         "01 *02 *03 *04 05 *06 07 *08 09 *10 11 *12 13 *14 15 "},
    };
    for (const auto &c : casos) {
        static char f[MAX_NIVELES][NOMBRE_MAX], p[MAX_NIVELES][NOMBRE_MAX];
        for (size_t i = 0; i < c.fabrica.size(); i++) strcpy(f[i], c.fabrica[i].c_str());
        for (size_t i = 0; i < c.propios.size(); i++) strcpy(p[i], c.propios[i].c_str());
        int n = une_catalogos(f, (int)c.fabrica.size(), p, (int)c.propios.size(), archive, archive_usuario, MAX_NIVELES);
        std::string s;
        for (int i = 0; i < n; i++)
            s += std::string(archive_usuario[i] ? "*" : "") + archive[i] + " ";
        EXPECT_EQ(s, c.esperado);
    }
}

// A new record of an installed game: the user's folder made and written from the shipped table;
// then a user folder that cannot be made (a file in its place): said on stderr, nothing written anywhere.
TEST(Instalado, RankingVaAlUsuarioYNoTocaLoInstalado)
{
    CarpetaTemporal t;
    prefijo(false);
    Bytes fabrica(RANKING_BYTES);
    ranking_por_defecto(fabrica.data());
    escribe_archivo("p/share/games/korvex/datos/ranking.dat", fabrica);
    escribe_archivo("archivo", {7});
    BITMAP *pagina = active_page = create_bitmap(320, 240);
    lee_tecla = [] { return KEY_ENTER << 8; };
    RelojRapido reloj(20);
    auto cuenta = [&] { return std::distance(fs::recursive_directory_iterator(t.ruta), {}); };
    for (std::string xdg : {"/xdg", "/archivo"}) {
        decide_disposicion((t.ruta + "/p/games").c_str(), (t.ruta + xdg).c_str(), nullptr);
        fs::current_path(carpeta_datos);
        long antes = cuenta();
        cambnib = EST_GANO, difi = 0, puntos = 60000;   // place 1 of VOY DE PASEO
        std::string err = stderr_de(escriveranking);
        EXPECT_EQ(lee_archivo("datos/ranking.dat"), fabrica);
        Bytes esperado = fabrica;
        inserta_ranking(esperado.data(), 0, 0, 60000, "AAA");
        if (xdg == "/xdg") {
            EXPECT_TRUE(lee_archivo(t.ruta + "/xdg/korvex/ranking.dat") == esperado && cuenta() == antes + 5 &&
                        existe(t.ruta + "/xdg/korvex/ranking.dat.lock")) << "xdg/, korvex/, levels/, ranking.dat and its lock";
        } else {
            EXPECT_TRUE(cuenta() == antes && err.find(t.ruta + "/archivo/korvex/levels: no se pudo crear la carpeta") != std::string::npos &&
                        err.find(": " + t.ruta + "/archivo es un archivo, no una carpeta") != std::string::npos)
                << "nothing written (the shipped file is held above), what stands in the way said: " << err;
        }
        fs::current_path(t.ruta);
    }
    decide_disposicion("", nullptr, nullptr);
    destroy_bitmap(pagina);
}
