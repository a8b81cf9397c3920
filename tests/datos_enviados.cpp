// The shipped data as the programs read them: levels, template, ranking, pictures, sounds, font.
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

// Pictures, samples and the tune load with the library; the font passes its check, cut short it does not.
TEST(Datos, ImagenesSonidosYFuente)
{
    CarpetaTemporal t;
    copia_datos_reales();
    ASSERT_TRUE(CargarBMP()) << carga_fallo;
    EXPECT_TRUE(tile[NUM_TILES - 1] && sprite[NUM_SPRITES - 1] && imagen3);
    EXPECT_EQ(tile[0]->w, BLOQUE_W);
    EXPECT_EQ(imagen2->w, 320);
    DestruyeBMP();
    ASSERT_TRUE(carga_sonidos()) << carga_fallo;
    for (int s : {0, 1, 2, 3, 4, 5, 6, 10})
        EXPECT_TRUE(sample[s] && sample[s]->len > 1000) << s;
    EXPECT_TRUE(music2);
    DestruyeSonidos();
    EXPECT_TRUE(fuente_valida("datos/font.dat"));
    std::vector<unsigned char> f = lee_archivo("datos/font.dat");
    f.resize(f.size() / 2);
    escribe_archivo("datos/font.dat", f);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(fuente_valida("datos/font.dat"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("datos/font.dat"), std::string::npos);
}
