// The shipped levels, the editor's template and the first high-score tables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "prueba.h"
#include "shared/carga.h"
#include "game/presoverganec.h"

namespace {

enum { NIVELES = 6, PRIMER_CARRIL = 4, TIPO_EXPLOSIVO = 6, TIPO_BOLSA = 7 };

std::string nivel(int i)
{
    char n[64];
    snprintf(n, sizeof n, "%s/levels/nivel_%02d.map", KORV_DIR, i);
    return n;
}

// What a loaded level holds.
struct Resumen {
    int peatones = 0, bolsas = 0, explosivos = 0;
};

Resumen resume()
{
    Resumen r;
    for (int i = 0; i < ENE_MAX; i++) {
        int t = ene_tipo(i);
        if (t >= 1 && t <= 5) r.peatones++;
        if (t == TIPO_EXPLOSIVO) r.explosivos++;
        if (t == TIPO_BOLSA) r.bolsas++;
    }
    return r;
}

// The stretch of road (in columns) that must never be closed by explosives in all four
// lanes: what scrolls by, at the fastest difficulty (5 px per 1/75 s times the level's
// factor), while the truck crosses three lanes at 2 px per 1/75 s, plus the truck's
// and the drum's widths.
int tramo(int codigo)
{
    double v = 5.0 * (codigo == 3 ? 2.0 : codigo == 2 ? 1.5 : 1.0);
    return (int)std::ceil((3 * 24 / 2.0 * v + 46 + 37) / 32);
}

}  // namespace

TEST(NivelesEnviados, CarganYSubenDeDificultad)
{
    reserva_enemigos();
    const int codigos[NIVELES] = {1, 1, 2, 2, 3, 3};
    int antes = 0, explosivos_antes = -1;
    for (int i = 1; i <= NIVELES; i++) {
        ASSERT_TRUE(CargaMapa(nivel(i).c_str())) << nivel(i);
        EXPECT_EQ(multi, codigos[i - 1]) << nivel(i);
        Resumen r = resume();
        int total = r.peatones + r.bolsas + r.explosivos;
        EXPECT_GT(total, antes) << nivel(i) << ": no tiene mas trafico que el anterior";
        EXPECT_GT(r.explosivos, explosivos_antes) << nivel(i);
        EXPECT_GT(r.peatones, 0);
        EXPECT_GT(r.bolsas, 0);
        antes = total;
        explosivos_antes = r.explosivos;
        for (int c = 0; c < MAPA_COLS; c++)
            for (int f = 0; f < MAPA_FILAS; f++)
                ASSERT_LT(mapa[c][f], NUM_TILES) << nivel(i);
    }
}

// Enemies sit on the four lanes only, in the writer's order (row, then column), none on
// the first screen, and the records after the last are empty.
TEST(NivelesEnviados, EnemigosEnLosCarrilesYOrdenados)
{
    reserva_enemigos();
    for (int i = 1; i <= NIVELES; i++) {
        ASSERT_TRUE(CargaMapa(nivel(i).c_str()));
        int ultimo = -1;
        bool vacio = false;
        for (int k = 0; k < ENE_MAX; k++) {
            if (ene_tipo(k) == 0) {
                vacio = true;
                EXPECT_EQ(ene_col(k) + ene_fila(k), 0) << nivel(i) << " registro " << k;
                continue;
            }
            EXPECT_FALSE(vacio) << nivel(i) << ": registro " << k << " despues de uno vacio";
            EXPECT_LE(ene_tipo(k), 7);
            int f = ene_fila(k);
            EXPECT_EQ(f % 24, 0);
            EXPECT_GE(f / 24, 1) << nivel(i);
            EXPECT_LE(f / 24, 4) << nivel(i);
            EXPECT_LT(ene_col(k), ENE_COLS);
            EXPECT_GE(ene_col(k), 11) << nivel(i) << ": enemigo en la primera pantalla";
            int orden = f * ENE_COLS + ene_col(k);
            EXPECT_GT(orden, ultimo) << nivel(i);
            ultimo = orden;
        }
    }
}

// A careful player can always pass: no stretch of road has explosives on all four lanes.
TEST(NivelesEnviados, SiempreQuedaUnCarrilLibre)
{
    reserva_enemigos();
    for (int i = 1; i <= NIVELES; i++) {
        ASSERT_TRUE(CargaMapa(nivel(i).c_str()));
        static int carriles[ENE_COLS];
        memset(carriles, 0, sizeof carriles);
        for (int k = 0; k < ENE_MAX; k++)
            if (ene_tipo(k) == TIPO_EXPLOSIVO)
                carriles[ene_col(k)] |= 1 << (ene_fila(k) / 24);
        int S = tramo(multi);
        for (int a = 0; a + S <= ENE_COLS; a++) {
            int m = 0;
            for (int c = a; c < a + S; c++) m |= carriles[c];
            EXPECT_NE(m, 0x1E) << nivel(i) << ": columnas " << a << " a " << a + S - 1 << " cerradas";
        }
    }
}

// The template: speed code 1, no enemies, road blocks on the lanes and a pavement above.
TEST(NivelesEnviados, PlantillaDelEditor)
{
    reserva_enemigos();
    ASSERT_TRUE(CargaMapa(KORV_DIR "/datos/newlevel.dat"));
    EXPECT_EQ(multi, 1);
    for (int k = 0; k < ENE_MAX; k++)
        EXPECT_EQ(ene_tipo(k), 0);
    for (int c = 0; c < MAPA_COLS; c++) {
        for (int f = PRIMER_CARRIL; f < MAPA_FILAS; f++)
            EXPECT_LE(mapa[c][f], 1) << "columna " << c << " fila " << f << ": no es asfalto";
        EXPECT_EQ(mapa[c][PRIMER_CARRIL - 1], 8) << "columna " << c << ": sin vereda";
    }
}

// 240 bytes, three tables of ten in descending order, capital initials, scores a won game
// can reach: multiples of 50 (200 a pedestrian, 50 a bag, 3000 a life left) and no more
// than every enemy of every level plus the lives.
TEST(RankingInicial, TresTablasPlausibles)
{
    std::vector<unsigned char> r = lee_archivo(KORV_DIR "/datos/ranking.dat");
    ASSERT_EQ(r.size(), 240u);
    reserva_enemigos();
    long maximo = 0;
    for (int i = 1; i <= NIVELES; i++) {
        ASSERT_TRUE(CargaMapa(nivel(i).c_str()));
        Resumen s = resume();
        maximo += 200L * s.peatones + 50L * s.bolsas;
    }
    maximo += 3000L * (6 + maximo / 10000);
    for (int t = 0; t < 3; t++) {
        unsigned antes = 0xFFFFFFFFu;
        for (int p = 0; p < 10; p++) {
            const unsigned char *q = &r[8 * (10 * t + p)];
            unsigned s = q[0] | (q[1] << 8) | (q[2] << 16) | ((unsigned)q[3] << 24);
            EXPECT_LE(s, antes) << "tabla " << t << " puesto " << p;
            EXPECT_EQ(s % 50, 0u);
            EXPECT_GT(s, 0u);
            EXPECT_LE((long)s, maximo);
            for (int k = 4; k < 7; k++) EXPECT_TRUE(q[k] >= 'A' && q[k] <= 'Z') << "tabla " << t << " puesto " << p;
            antes = s;
        }
    }
}

// The shipped file and the tables the game shows when the file is missing are the same.
TEST(RankingInicial, ArchivoIgualAlDeFabrica)
{
    unsigned char fabrica[RANKING_BYTES];
    ranking_por_defecto(fabrica);
    std::vector<unsigned char> r = lee_archivo(KORV_DIR "/datos/ranking.dat");
    ASSERT_EQ(r.size(), (size_t)RANKING_BYTES);
    EXPECT_EQ(0, memcmp(r.data(), fabrica, RANKING_BYTES));
}
