// The shipped data as the programs read them: levels, template, ranking (the pictures, sounds
// and font are read at every start of the X scenarios and by fuzz_datos).
#include "game/presoverganec.h"
#include "tests/prueba.h"
#include "shared/busca.h"
#include "shared/carga.h"
#include "game/verifica.h"

// Fifteen levels in name order, speed codes five each of 1, 2, 3, sound by the level checker (sizes, codes,
// blocks, records in range and packed, no stretch closed on the four lanes), enemies in each but
// none on the first screen; the template: code 1, no enemy.
TEST(Datos, NivelesYPlantilla)
{
    CarpetaTemporal t(DATOS_REALES);
    reserva_enemigos();
    ASSERT_EQ(niveles, 15);
    for (int i = 0; i <= niveles; i++) {
        std::string f = i < niveles ? std::string("levels/") + archive[i] : "datos/newlevel.dat";
        std::vector<std::string> problemas;
        EXPECT_EQ(verifica_archivo(f.c_str(), problemas), 0) << (problemas.empty() ? f : problemas[0]);
        ASSERT_TRUE(CargaMapa(f.c_str())) << f;
        EXPECT_EQ(multi, i < niveles ? 1 + i / 5 : 1) << f;
        int n = 0;
        for (; n < ENE_MAX && ene_tipo(n); n++)
            EXPECT_GE(ene_col(n), 11) << f << " " << n;
        EXPECT_EQ(n > 0, i < niveles) << f;
    }
}

// The shipped ranking is the game's built-in table, byte for byte.
TEST(Datos, Ranking)
{
    unsigned char fabrica[RANKING_BYTES];
    ranking_por_defecto(fabrica);
    EXPECT_EQ(lee_archivo(KORV_DIR "/datos/ranking.dat"), Bytes(fabrica, fabrica + RANKING_BYTES));
}
