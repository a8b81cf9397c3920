// The level catalogue: which files are listed and in which order.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "prueba.h"
#include "shared/busca.h"

TEST(Catalogo, VeinteArchivosDanLosPrimerosQuincePorNombre)
{
    CarpetaTemporal t;
    t.subcarpetas();
    // created in reverse order, so that creation order is not name order
    for (int i = 20; i >= 1; i--) {
        char n[64];
        snprintf(n, sizeof n, "levels/nivel_%02d.map", i);
        escribe_archivo(n, {1});
    }
    buscaarch();
    ASSERT_EQ(niveles, 15);
    for (int i = 0; i < 15; i++) {
        char n[64];
        snprintf(n, sizeof n, "nivel_%02d.map", i + 1);
        EXPECT_STREQ(archive[i], n);
    }
    std::string primero = archive[0];
    buscaarch();
    EXPECT_EQ(niveles, 15);
    EXPECT_EQ(primero, archive[0]);
}

TEST(Catalogo, SoloArchivosTerminadosEnMap)
{
    CarpetaTemporal t;
    t.subcarpetas();
    escribe_archivo("levels/b.map", {1});
    escribe_archivo("levels/a.map", {1});
    escribe_archivo("levels/c.mapa", {1});
    escribe_archivo("levels/d.txt", {1});
    escribe_archivo("levels/.korvtmpAB12CD", {1});
    std::filesystem::create_directory("levels/carpeta.map");
    buscaarch();
    ASSERT_EQ(niveles, 2);
    EXPECT_STREQ(archive[0], "a.map");
    EXPECT_STREQ(archive[1], "b.map");
}

TEST(Catalogo, SinCarpetaNiNiveles)
{
    CarpetaTemporal t;
    buscaarch();
    EXPECT_EQ(niveles, 0);
    t.subcarpetas();
    buscaarch();
    EXPECT_EQ(niveles, 0);
}

TEST(Catalogo, ArchivoDeSoloLecturaTambienSeLista)
{
    CarpetaTemporal t;
    t.subcarpetas();
    escribe_archivo("levels/x.map", {1});
    std::filesystem::permissions("levels/x.map", std::filesystem::perms::owner_read);
    buscaarch();
    EXPECT_EQ(niveles, 1);
}
