// The editor's files in every bad shape: the new-level template, and a save on a full or
// read-only file system (the old level file stays as it was and a notice says so).
#include <unistd.h>

#include "editor_ayuda.h"
#include "malos.h"

namespace {

namespace fs = std::filesystem;
using namespace malos;
using EditorMalos = EditorPrueba;

}  // namespace

TEST_F(EditorMalos, PlantillaDeNivelNuevo)
{
    std::vector<unsigned char> bueno = nivel(1, 3, {{5, 24, 2}});
    std::vector<unsigned char> fuera = nivel(9, 200, {{900, 200, 30}, {6, 48, 7}});
    for (int c = 0; c < NUM_CASOS; c++) {
        SCOPED_TRACE(nombre(c));
        pon("datos/newlevel.dat", c, bueno, fuera);
        // The map open before: a level of blocks 7 in multiplier 2.
        memset(mapa, 7, sizeof mapa);
        multi = 2;
        carga = 1;
        modifi = 0;
        snprintf(archivo, sizeof archivo, "levels/abierto.map");
        bool se_lee = c == LARGO || c == BASURA || c == FUERA_DE_RANGO || (c == SIN_PERMISO && geteuid() == 0);
        testing::internal::CaptureStderr();
        teclas({KEY_ESC, KEY_ESC});   // the notice's key or the editing screen's ESC
        nuevomapa();
        std::string err = testing::internal::GetCapturedStderr();
        if (!se_lee) {
            EXPECT_NE(err.find("datos/newlevel.dat"), std::string::npos) << err;
            EXPECT_STREQ(archivo, "levels/abierto.map") << "the open map stays open";
            EXPECT_EQ(mapa[10][3], 7);
            EXPECT_EQ(multi, 2);
            EXPECT_EQ(modifi, 0);
            continue;
        }
        EXPECT_EQ(modifi, 1);
        EXPECT_STRNE(archivo, "levels/abierto.map");
        for (int cc = 0; cc < MAPA_COLS; cc++)
            for (int r = 0; r < MAPA_FILAS; r++)
                ASSERT_LT(mapa[cc][r], NUM_TILES);
        if (c == FUERA_DE_RANGO) {
            EXPECT_EQ(cuenta_enemigos(), 1) << "the record past the grid is dropped";
            EXPECT_EQ(enemi2[6][2], 7);
        }
    }
}

namespace {

// A save that cannot be written: old file intact, the notice on screen and on stderr, the
// changes kept (modifi stays 1), no temporary file left.
void guardado_imposible(const std::vector<unsigned char> &viejo)
{
    carga = 1;
    modifi = 1;
    snprintf(archivo, sizeof archivo, "levels/nivel_01.map");
    mapa[0][0] = 9;
    teclas({KEY_ENTER});
    testing::internal::CaptureStderr();
    EXPECT_FALSE(gurdarmapa());
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("NO SE PUDO GUARDAR"), std::string::npos) << err;
    EXPECT_TRUE(cola_teclas.empty()) << "the notice waited for its key";
    EXPECT_EQ(modifi, 1);
    EXPECT_EQ(lee_archivo("levels/nivel_01.map"), viejo);
    for (const auto &e : fs::directory_iterator("levels"))
        EXPECT_EQ(e.path().filename().string().rfind(".korvtmp", 0), std::string::npos)
            << "no temporary file left: " << e.path();
}

}  // namespace

TEST_F(EditorMalos, GuardarEnSistemaDeArchivosLlenoOSoloLectura)
{
    std::vector<unsigned char> viejo = nivel(2, 6, {{1, 24, 1}, {700, 96, 6}});
    Montaje m("levels", 64, false);
    if (!m.ok)
        GTEST_SKIP() << "mount is not allowed here; a full disk is covered by GuardadoFallidoConservaElArchivoYLosCambios";
    escribe_archivo("levels/nivel_01.map", viejo);
    {
        FILE *r = fopen("levels/relleno", "wb");
        ASSERT_NE(r, nullptr);
        std::vector<char> bloque(1024, 'x');
        while (fwrite(bloque.data(), 1, bloque.size(), r) == bloque.size() && fflush(r) == 0)
            ;
        while (fwrite(bloque.data(), 1, 1, r) == 1 && fflush(r) == 0)
            ;
        fclose(r);
        guardado_imposible(viejo);
        fs::remove("levels/relleno");
    }
    ASSERT_TRUE(m.solo_lectura());
    guardado_imposible(viejo);
}
