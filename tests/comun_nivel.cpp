// The level file: its bytes, every damaged shape, the enemy table built from the editor's grid,
// the atomic write (the catalogue of levels/: Conjuntos.ListaYCatalogoDeCadaConjunto).
#include <cstring>
#include <sys/stat.h>

#include "tests/prueba.h"
#include "shared/carga.h"

namespace {

// A level image: speed code 3, block (7c + r) % 40 at column c row r, record i at column 2i+1,
// row offset 24 (i % 8), type 1 + i % 7, for n records.
Bytes nivel_prueba(int n = 300)
{
    Bytes b(NIVEL_BYTES);
    b[0] = 3;
    for (int r = 0; r < MAPA_FILAS; r++)
        for (int c = 0; c < MAPA_COLS; c++)
            b[1 + MAPA_COLS * r + c] = (7 * c + r) % NUM_TILES;
    for (int i = 0; i < n; i++) {
        unsigned char *e = &b[1 + MAPA_BYTES + 4 * i];
        int col = 2 * i + 1;
        e[0] = col & 255, e[1] = col >> 8, e[2] = 24 * (i % 8), e[3] = 1 + i % 7;
    }
    return b;
}

// What a load left in memory, as a level image.
Bytes en_memoria()
{
    Bytes b(NIVEL_BYTES);
    b[0] = multi;
    for (int r = 0; r < MAPA_FILAS; r++)
        for (int c = 0; c < MAPA_COLS; c++)
            b[1 + MAPA_COLS * r + c] = mapa[c][r];
    memcpy(&b[1 + MAPA_BYTES], enemi, ENE_BYTES);
    return b;
}

}  // namespace

// Loading: the bytes as they are; short or missing files refused with nothing changed; block
// numbers and records that would index past a table made harmless; bytes past 2801 ignored.
TEST(Nivel, CargaDeCadaForma)
{
    CarpetaTemporal t;
    reserva_enemigos();
    Bytes bueno = nivel_prueba();
    auto con = [&](int pos, Bytes v) { Bytes b = bueno; memcpy(&b[pos], v.data(), v.size()); return b; };
    const int E = 1 + MAPA_BYTES + 4 * 5;   // record 5
    struct { const char *que; Bytes archivo; bool acepta; Bytes queda; } casos[] = {
        {"entero", bueno, true, bueno},
        {"un byte de mas", [&] { Bytes b = bueno; b.push_back(9); return b; }(), true, bueno},
        {"un byte de menos", Bytes(bueno.begin(), bueno.end() - 1), false, {}}, {"vacio", Bytes(), false, {}},
        {"bloque 40", con(1 + 7, {40}), true, con(1 + 7, {0})},
        {"bloque 39", con(1 + 7, {39}), true, con(1 + 7, {39})},
        {"tipo 9", con(E, {1, 0, 24, 9}), true, con(E, {0, 0, 0, 0})},
        {"tipo 8", con(E, {1, 0, 24, 8}), true, con(E, {1, 0, 24, 8})},
        {"fila 192", con(E, {1, 0, 192, 1}), true, con(E, {0, 0, 0, 0})},
        {"fila 168", con(E, {1, 0, 168, 1}), true, con(E, {1, 0, 168, 1})},
        {"columna 800", con(E, {0x20, 3, 24, 1}), true, con(E, {0, 0, 0, 0})},
        {"columna 799", con(E, {0x1F, 3, 24, 1}), true, con(E, {0x1F, 3, 24, 1})},
    };
    Bytes previo = nivel_prueba(3);
    for (auto &c : casos) {
        escribe_archivo("n.map", previo);
        ASSERT_TRUE(CargaMapa("n.map"));
        escribe_archivo("n.map", c.archivo);
        std::string err = stderr_de([&] {
            EXPECT_EQ(NivelValido("n.map"), c.acepta) << c.que;
            EXPECT_EQ(CargaMapa("n.map"), c.acepta) << c.que;
        });
        EXPECT_EQ(en_memoria(), c.acepta ? c.queda : previo) << c.que;
        EXPECT_EQ(err.find("n.map") != std::string::npos, !c.acepta) << c.que << ": " << err;
    }
}

// The enemy table from the editor's 800x8 grid: records by row then column, remains dropped,
// at most 300 (the count says how many there were); the file: code, map by rows, the 300 records.
TEST(Nivel, TablaDeEnemigosYBytesGuardados)
{
    CarpetaTemporal t;
    reserva_enemigos();
    static unsigned char grid[ENE_COLS][MAPA_FILAS];
    memset(grid, 0, sizeof grid);
    grid[799][0] = 2;
    grid[5][0] = 7;
    grid[3][1] = 8;   // remains
    grid[0][7] = 6;
    memset(enemi, 0xAA, ENE_BYTES);
    EXPECT_TRUE(ArmaEnemigos(grid) == 3 && grid[3][1] == 0) << "remains cleared from the grid";
    unsigned char esperado[ENE_BYTES] = {5, 0, 0, 7, 0x1F, 3, 0, 2, 0, 0, 168, 6};
    EXPECT_EQ(Bytes(enemi, enemi + ENE_BYTES), Bytes(esperado, esperado + ENE_BYTES));

    multi = 2;
    memset(mapa, 0, sizeof mapa);
    Bytes f(NIVEL_BYTES);   // code, then the map row by row: column 0 holds r, column 199 30 + r
    f[0] = 2;
    for (int r = 0; r < MAPA_FILAS; r++)
        f[1 + 200 * r] = mapa[0][r] = r, f[200 + 200 * r] = mapa[199][r] = 30 + r;
    std::copy(esperado, esperado + ENE_BYTES, &f[1601]);
    ASSERT_TRUE(GuardaMapa("g.map"));
    EXPECT_EQ(lee_archivo("g.map"), f);

    for (int c = 0; c < 302; c++)
        grid[c][2] = 1;
    int hay = ArmaEnemigos(grid);
    EXPECT_EQ(std::make_tuple(hay, ene_col(299), ene_fila(299)), std::make_tuple(305, 297, 48)) << "the first 300 by row, column";
    Bytes b = nivel_prueba();
    escribe_archivo("v.map", b);
    ASSERT_TRUE(CargaMapa("v.map") && GuardaMapa("v2.map"));
    EXPECT_EQ(lee_archivo("v2.map"), b) << "load and save change nothing";
}

// The atomic write: the new bytes in place, no temporary file left; a failure says so and leaves
// the old file (or whatever stands at the name) untouched.
TEST(Nivel, EscrituraAtomica)
{
    CarpetaTemporal t;
    escribe_archivo("a.dat", Bytes(10, 1));
    EXPECT_TRUE(escribe_atomico("a.dat", "xyz", 3));
    EXPECT_EQ(lee_archivo("a.dat"), Bytes({'x', 'y', 'z'}));
    mkdir("d.dat", 0777);
    std::string err =
        stderr_de([] { EXPECT_FALSE(escribe_atomico("d.dat", "xyz", 3) || escribe_atomico("no/hay.dat", "xyz", 3)); });
    EXPECT_TRUE(err.find("d.dat") != std::string::npos && err.find("no/hay.dat") != std::string::npos) << err;
    EXPECT_EQ(system("test $(ls -A | wc -l) = 2"), 0) << "no temporary file left";
}
