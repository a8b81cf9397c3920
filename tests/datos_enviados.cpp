// The shipped data as the programs read them: levels, template, ranking (the pictures, sounds
// and font are read at every start of the X scenarios and by fuzz_datos).
#include <gtest/gtest.h>

#include <cstring>

#include "game/presoverganec.h"
#include "prueba.h"
#include "shared/busca.h"
#include "shared/carga.h"

// Six levels in name order, speed codes 1 1 2 2 3 3, enemies on the four lanes in the writer's
// order (row, then column), none on the first screen; the template: code 1, no enemy.
TEST(Datos, NivelesYPlantilla)
{
    CarpetaTemporal t;
    copia_datos_reales();
    reserva_enemigos();
    buscaarch();
    ASSERT_EQ(niveles, 6);
    for (int i = 0; i <= niveles; i++) {
        std::string f = i < niveles ? std::string("levels/") + archive[i] : "datos/newlevel.dat";
        ASSERT_EQ(lee_archivo(f).size(), (size_t)NIVEL_BYTES) << f;
        ASSERT_TRUE(CargaMapa(f.c_str())) << f;
        EXPECT_EQ(multi, i < niveles ? 1 + i / 2 : 1) << f;
        int ultimo = -1, n = 0;
        for (int k = 0; k < ENE_MAX && ene_tipo(k); k++, n++) {
            int fila = ene_fila(k), orden = fila * ENE_COLS + ene_col(k);
            EXPECT_TRUE(fila % 24 == 0 && fila >= 24 && fila <= 96 && ene_col(k) >= 11 && orden > ultimo) << f << " " << k;
            ultimo = orden;
        }
        EXPECT_EQ(n > 0, i < niveles) << f;
    }
}

// The shipped ranking is the game's built-in table, byte for byte.
TEST(Datos, Ranking)
{
    unsigned char fabrica[RANKING_BYTES];
    ranking_por_defecto(fabrica);
    EXPECT_EQ(lee_archivo(KORV_DIR "/datos/ranking.dat"), std::vector<unsigned char>(fabrica, fabrica + RANKING_BYTES));
}
