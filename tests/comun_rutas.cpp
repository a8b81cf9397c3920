// Where the programs look: the layout decision, the per-user folder and the joined level catalogue.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "prueba.h"
#include "shared/busca.h"
#include "shared/rutas.h"

namespace {

namespace fs = std::filesystem;

// A prefix under the working folder: p/games/ and p/share/games/korvex/datos/; build: datos/ beside the program too.
void haz_prefijo(bool con_datos_al_lado)
{
    fs::create_directories("p/games");
    fs::create_directories("p/share/games/korvex/datos");
    fs::create_directories("p/share/games/korvex/levels");
    if (con_datos_al_lado)
        fs::create_directories("p/games/datos");
}

// Names of the catalogue, the user's entries marked with '*'.
std::string catalogo()
{
    std::string s;
    for (int i = 0; i < niveles; i++)
        s += std::string(archive_usuario[i] ? "*" : "") + archive[i] + " ";
    return s;
}

struct SinDisposicion : testing::Test {
    void TearDown() override { decide_disposicion("", nullptr, nullptr); }
};

}  // namespace

// One row per layout and environment: installed or not, and where the user's folder lands.
TEST_F(SinDisposicion, DecisionPorDisposicion)
{
    struct Caso {
        const char *nombre;
        int prefijo;          // 0 none, 1 installed prefix, 2 prefix with datos/ beside the program too
        const char *xdg;      // XDG_DATA_HOME, "@" = the working folder + "/xdg"
        const char *home;     // HOME, "@" = the working folder + "/h"
        int instalado;
        const char *usuario;  // expected user folder, relative to the working folder ("" = none)
    } casos[] = {
        {"build folder", 0, "@", "@", 0, ""},
        {"datos beside the program wins", 2, "@", "@", 0, ""},
        {"installed, XDG_DATA_HOME", 1, "@", "@", 1, "xdg/korvex"},
        {"installed, XDG_DATA_HOME empty", 1, "", "@", 1, "h/.local/share/korvex"},
        {"installed, XDG_DATA_HOME relative", 1, "rel", "@", 1, "h/.local/share/korvex"},
        {"installed, no HOME", 1, nullptr, nullptr, 1, ""},
    };
    for (const Caso &c : casos) {
        CarpetaTemporal t;
        if (c.prefijo)
            haz_prefijo(c.prefijo == 2);
        auto arroba = [&](const char *v, const char *r) { return v && !strcmp(v, "@") ? t.ruta + r : std::string(v ? v : ""); };
        std::string xdg = arroba(c.xdg, "/xdg"), home = arroba(c.home, "/h");
        EXPECT_EQ(decide_disposicion((t.ruta + "/p/games").c_str(), c.xdg ? xdg.c_str() : nullptr,
                                     c.home ? home.c_str() : nullptr), c.instalado) << c.nombre;
        EXPECT_EQ(instalado, c.instalado) << c.nombre;
        EXPECT_EQ(carpeta_datos, c.instalado ? t.ruta + "/p/share/games/korvex" : "") << c.nombre;
        EXPECT_EQ(carpeta_usuario, *c.usuario ? t.ruta + "/" + c.usuario : "") << c.nombre;
        char r[RUTA_MAX], n[RUTA_MAX];
        ruta_ranking_lee(r, sizeof r);
        carpeta_niveles_usuario(n, sizeof n);
        EXPECT_STREQ(r, "datos/ranking.dat") << c.nombre << ": no user file yet";
        EXPECT_EQ(n, !c.instalado ? "levels" : *c.usuario ? t.ruta + "/" + c.usuario + "/levels" : "") << c.nombre;
    }
}

// One row per pair of folders: name order, the user's file on equal names, at most 15.
TEST(Catalogo, UneFabricaYUsuario)
{
    struct Caso {
        std::vector<std::string> fabrica, propios;
        const char *esperado;
    } casos[] = {
        {{"a.map", "c.map"}, {}, "a.map c.map "},
        {{}, {"b.map"}, "*b.map "},
        {{"a.map", "c.map"}, {"b.map", "d.map"}, "a.map *b.map c.map *d.map "},
        {{"a.map", "b.map"}, {"b.map"}, "a.map *b.map "},
        {{"01.map", "03.map", "05.map", "07.map", "09.map", "11.map", "13.map", "15.map", "17.map"},
         {"02.map", "03.map", "04.map", "06.map", "08.map", "10.map", "12.map", "14.map", "16.map"},
         "01.map *02.map *03.map *04.map 05.map *06.map 07.map *08.map 09.map *10.map 11.map *12.map 13.map "
         "*14.map 15.map "},
    };
    for (const Caso &c : casos) {
        static char f[MAX_NIVELES][NOMBRE_MAX], p[MAX_NIVELES][NOMBRE_MAX];
        for (size_t i = 0; i < c.fabrica.size(); i++) strcpy(f[i], c.fabrica[i].c_str());
        for (size_t i = 0; i < c.propios.size(); i++) strcpy(p[i], c.propios[i].c_str());
        niveles = une_catalogos(f, (int)c.fabrica.size(), p, (int)c.propios.size(), archive, archive_usuario,
                                MAX_NIVELES);
        EXPECT_EQ(catalogo(), c.esperado);
    }
}

// Installed: the catalogue reads both folders and each entry's path points at its own folder;
// a missing user folder is simply empty.
TEST_F(SinDisposicion, CatalogoInstaladoLeeAmbasCarpetas)
{
    CarpetaTemporal t;
    haz_prefijo(false);
    decide_disposicion((t.ruta + "/p/games").c_str(), (t.ruta + "/xdg").c_str(), nullptr);
    fs::current_path(carpeta_datos);
    for (const char *n : {"nivel_01.map", "nivel_02.map"})
        escribe_archivo(std::string("levels/") + n, {1});
    buscaarch();
    EXPECT_EQ(catalogo(), "nivel_01.map nivel_02.map ") << "no user folder yet";
    EXPECT_FALSE(existe(t.ruta + "/xdg")) << "reading makes nothing";
    ASSERT_TRUE(asegura_carpeta_usuario());
    for (const char *n : {"nivel_02.map", "nivel_07.map", "notas.txt"})
        escribe_archivo(t.ruta + "/xdg/korvex/levels/" + n, {2});
    buscaarch();
    EXPECT_EQ(catalogo(), "nivel_01.map *nivel_02.map *nivel_07.map ");
    char r[RUTA_MAX];
    ruta_nivel(0, r, sizeof r);
    EXPECT_STREQ(r, "levels/nivel_01.map");
    ruta_nivel(1, r, sizeof r);
    EXPECT_EQ(r, t.ruta + "/xdg/korvex/levels/nivel_02.map");
}

// A user folder that cannot be made (a file in its place): false, one stderr line naming it, nothing made.
TEST_F(SinDisposicion, CarpetaUsuarioImposible)
{
    CarpetaTemporal t;
    haz_prefijo(false);
    escribe_archivo("xdg", {7});
    decide_disposicion((t.ruta + "/p/games").c_str(), (t.ruta + "/xdg").c_str(), nullptr);
    testing::internal::CaptureStderr();
    char r[RUTA_MAX];
    EXPECT_FALSE(ruta_ranking_escribe(r, sizeof r));
    EXPECT_FALSE(asegura_carpeta_usuario());
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(t.ruta + "/xdg/korvex/levels: no se pudo crear la carpeta"), std::string::npos) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << "said once: " << err;
    EXPECT_EQ(lee_archivo("xdg"), std::vector<unsigned char>{7});
}
