// The maker gives the same bytes from the same sources: two fresh runs into empty
// folders agree with each other and with the files the build put in the runnable folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "prueba.h"

namespace fs = std::filesystem;

TEST(DatosRepetibles, DosCorridasDanLosMismosBytes)
{
    std::string maker = fs::path(KORV_DIR).parent_path() / "tools" / "korvmake";
    ASSERT_TRUE(fs::exists(maker)) << maker;
    CarpetaTemporal t;
    for (const char *d : {"a", "b"}) {
        std::string cmd = maker + " " + KORV_FUENTE "/assets " + t.ruta + "/" + d;
        ASSERT_EQ(system(cmd.c_str()), 0) << cmd;
    }
    int archivos = 0;
    for (const auto &e : fs::recursive_directory_iterator(t.ruta + "/a")) {
        if (!e.is_regular_file()) continue;
        std::string rel = fs::relative(e.path(), t.ruta + "/a").string();
        std::vector<unsigned char> a = lee_archivo(e.path().string());
        EXPECT_EQ(a, lee_archivo(t.ruta + "/b/" + rel)) << rel;
        EXPECT_EQ(a, lee_archivo(std::string(KORV_DIR) + "/" + rel)) << rel << " difiere del construido";
        archivos++;
    }
    EXPECT_GE(archivos, 8 + 4 + 4 + 6 + 3);   // samples, pictures, font tune template ranking, levels, songs
    EXPECT_FALSE(fs::exists(t.ruta + "/a/datos/fuente_tmp.bmp")) << "quedan temporales";
}
