// The ranking of an installed game: a new entry goes to the user's folder, the shipped file stays.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "game/main.h"
#include "game/presoverganec.h"
#include "game/utilfun.h"
#include "prueba.h"
#include "shared/rutas.h"

namespace {

namespace fs = std::filesystem;

// Every file under a folder with its bytes.
std::map<std::string, std::vector<unsigned char>> arbol(const std::string &dir)
{
    std::map<std::string, std::vector<unsigned char>> m;
    for (auto &e : fs::recursive_directory_iterator(dir))
        m[e.path().string()] = e.is_regular_file() ? lee_archivo(e.path().string()) : std::vector<unsigned char>{};
    return m;
}

int solo_enter() { return KEY_ENTER << 8; }

}  // namespace

// Two runs of the ranking check on an installed layout: the user's folder made and written
// (the shipped table is the start), then a user folder that cannot be made (nothing written anywhere).
TEST(RankingInstalado, VaAlUsuarioYNoTocaLoInstalado)
{
    CarpetaTemporal t;
    fs::create_directories("p/games");
    fs::create_directories("p/share/games/korvex/datos");
    unsigned char fabrica[RANKING_BYTES];
    ranking_por_defecto(fabrica);
    fabrica[7] = 0x5A;   // a reserved byte the game must carry over from the shipped file
    escribe_archivo("p/share/games/korvex/datos/ranking.dat", std::vector<unsigned char>(fabrica, fabrica + 240));
    BITMAP *pagina = create_bitmap(320, 240);
    active_page = pagina;
    lee_tecla = solo_enter;
    std::atomic<bool> fin{false};
    std::thread reloj([&] { while (!fin) { tick = tick + 1; rest(0); } });
    for (int caso = 0; caso < 2; caso++) {
        std::string xdg = t.ruta + (caso == 0 ? "/xdg" : "/archivo");
        if (caso == 1)
            escribe_archivo(xdg, {7});
        decide_disposicion((t.ruta + "/p/games").c_str(), xdg.c_str(), nullptr);
        fs::current_path(carpeta_datos);
        auto antes = arbol(t.ruta);
        cambnib = EST_GANO;
        difi = 0;
        puntos = 60000;   // place 1 of VOY DE PASEO
        testing::internal::CaptureStderr();
        escriveranking();
        std::string err = testing::internal::GetCapturedStderr();
        auto despues = arbol(t.ruta);
        EXPECT_EQ(lee_archivo("datos/ranking.dat"), std::vector<unsigned char>(fabrica, fabrica + 240));
        if (caso == 0) {
            unsigned char esperado[RANKING_BYTES];
            memcpy(esperado, fabrica, RANKING_BYTES);
            inserta_ranking(esperado, 0, 0, 60000, "AAA");
            EXPECT_EQ(lee_archivo(xdg + "/korvex/ranking.dat"), std::vector<unsigned char>(esperado, esperado + 240));
            EXPECT_EQ(despues.size(), antes.size() + 4) << "xdg/, korvex/, levels/ and ranking.dat, nothing else";
            EXPECT_TRUE(fs::is_directory(xdg + "/korvex/levels"));
        } else {
            EXPECT_EQ(despues, antes) << "nothing written";
            EXPECT_NE(err.find("no se pudo crear la carpeta"), std::string::npos) << err;
            EXPECT_NE(err.find("no se pudo guardar"), std::string::npos) << err;
        }
        fs::current_path(t.ruta);
    }
    fin = true;
    reloj.join();
    decide_disposicion("", nullptr, nullptr);
    destroy_bitmap(pagina);
}
