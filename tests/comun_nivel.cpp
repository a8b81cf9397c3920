// Level files: what the reader accepts, rejects and mends, and the writer's limits. The exact bytes
// of a save are held by the editor's save test, which runs the same writer.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "prueba.h"
#include "shared/carga.h"

namespace {

unsigned char grid[ENE_COLS][MAPA_FILAS];

// A level in memory with a known map and speed code; the grid empty.
void prepara(unsigned char codigo)
{
    reserva_enemigos();
    memset(enemi, 0, ENE_BYTES);
    memset(grid, 0, sizeof grid);
    multi = codigo;
    for (int c = 0; c < MAPA_COLS; c++)
        for (int r = 0; r < MAPA_FILAS; r++)
            mapa[c][r] = (unsigned char)((c + 7 * r) % NUM_TILES);
}

std::vector<unsigned char> nivel_valido()
{
    std::vector<unsigned char> v(NIVEL_BYTES, 0);
    v[0] = 1;
    return v;
}

}  // namespace

TEST(ArchivoNivel, IdaYVuelta)
{
    CarpetaTemporal t;
    prepara(3);
    for (int c = 0; c < ENE_COLS; c += 37)
        grid[c][1 + c % 4] = (unsigned char)(1 + c % 7);
    int n = ArmaEnemigos(grid);
    ASSERT_TRUE(GuardaMapa("a.map"));
    unsigned char mapa_antes[MAPA_COLS][MAPA_FILAS];
    memcpy(mapa_antes, mapa, sizeof mapa);
    std::vector<unsigned char> ene_antes(enemi, enemi + ENE_BYTES);
    memset(mapa, 0, sizeof mapa);
    memset(enemi, 0xAA, ENE_BYTES);
    multi = 0;
    ASSERT_TRUE(CargaMapa("a.map"));
    EXPECT_EQ(multi, 3);
    EXPECT_EQ(0, memcmp(mapa, mapa_antes, sizeof mapa));
    EXPECT_EQ(0, memcmp(enemi, ene_antes.data(), ENE_BYTES));
    int cuenta = 0;
    for (int i = 0; i < ENE_MAX; i++)
        cuenta += ene_tipo(i) != 0;
    EXPECT_EQ(cuenta, n);
}

TEST(ArchivoNivel, MasDeTrescientosSeGuardanLosPrimeros)
{
    CarpetaTemporal t;
    prepara(1);
    for (int c = 0; c < 400; c++)
        grid[c][2] = 1;
    for (int c = 0; c < 10; c++)
        grid[c][1] = 7;   // row 1 comes first
    EXPECT_EQ(ArmaEnemigos(grid), 410);
    EXPECT_EQ(ene_fila(0), 24);
    EXPECT_EQ(ene_tipo(9), 7);
    EXPECT_EQ(ene_col(10), 0);
    EXPECT_EQ(ene_fila(299), 48);
    EXPECT_EQ(ene_col(299), 289);
    ASSERT_TRUE(GuardaMapa("m.map"));
    EXPECT_EQ(lee_archivo("m.map").size(), 2801u);
}

TEST(ArchivoNivel, RechazaArchivosCortosVaciosYAusentes)
{
    CarpetaTemporal t;
    prepara(2);
    std::vector<unsigned char> ene_antes(enemi, enemi + ENE_BYTES);
    unsigned char mapa_antes[MAPA_COLS][MAPA_FILAS];
    memcpy(mapa_antes, mapa, sizeof mapa);
    escribe_archivo("vacio.map", {});
    std::vector<unsigned char> corto = nivel_valido();
    corto.resize(2800);
    escribe_archivo("corto.map", corto);
    for (const char *f : {"vacio.map", "corto.map", "noexiste.map", "."}) {
        EXPECT_FALSE(CargaMapa(f)) << f;
        EXPECT_FALSE(NivelValido(f)) << f;
        EXPECT_EQ(multi, 2) << f;
        EXPECT_EQ(0, memcmp(mapa, mapa_antes, sizeof mapa)) << f;
        EXPECT_EQ(0, memcmp(enemi, ene_antes.data(), ENE_BYTES)) << f;
    }
}

TEST(ArchivoNivel, LargoSeLeeHastaLaTablaYValoresFueraDeRangoSeAnulan)
{
    CarpetaTemporal t;
    prepara(1);
    std::vector<unsigned char> v = nivel_valido();
    v[0] = 9;                       // speed code kept as it is
    v[1 + 200 * 2 + 5] = 40;        // block number past the table
    v[1 + 200 * 2 + 6] = 39;        // the last valid block
    const unsigned char recs[] = {
        0, 0, 24, 9,        // type above 8: dropped
        1, 0, 192, 1,       // row 8: dropped
        0x20, 0x03, 24, 1,  // column 800: dropped
        0, 0, 0, 0,         // empty record between enemies
        0x1F, 0x03, 168, 8, // column 799, row 7, remains: kept
    };
    memcpy(&v[1601], recs, sizeof recs);
    v.resize(4000, 0xEE);           // trailing bytes are ignored
    escribe_archivo("l.map", v);
    ASSERT_TRUE(CargaMapa("l.map"));
    EXPECT_EQ(multi, 9);
    EXPECT_EQ(mapa[5][2], 0);
    EXPECT_EQ(mapa[6][2], 39);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(ene_tipo(i) | ene_col(i) | ene_fila(i), 0) << "record " << i;
    EXPECT_EQ(ene_col(4), 799);
    EXPECT_EQ(ene_fila(4), 168);
    EXPECT_EQ(ene_tipo(4), 8);
    EXPECT_EQ(ene_tipo(5), 0);
}

TEST(ArchivoNivel, GuardarNoPisaSiNoPuedeEscribir)
{
    CarpetaTemporal t;
    prepara(1);
    ASSERT_TRUE(GuardaMapa("levels_no_existe/x.map") == false);
    // a folder in the file's place: the rename fails and nothing is left behind
    std::filesystem::create_directory("d.map");
    escribe_archivo("d.map/keep", {1});
    EXPECT_FALSE(GuardaMapa("d.map"));
    int sobrantes = 0;
    for (auto &e : std::filesystem::directory_iterator("."))
        sobrantes += e.path().filename().string().rfind(".korvtmp", 0) == 0;
    EXPECT_EQ(sobrantes, 0);
    EXPECT_TRUE(existe("d.map/keep"));
}
