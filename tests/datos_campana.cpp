// The shipped campaign, proven by the autoplayer: every level won at each difficulty, at 60
// and 75 Hz, from every phase of the tick counter, without losing a life; along the campaign
// the tightest dodge at "SOY JODIDO" never grows and the score on offer always grows.
#include <gtest/gtest.h>

#include <cstdio>

#include "game/main.h"
#include "game/piloto.h"

TEST(Campana, GanadaSinPerderVidas)
{
    reserva_enemigos();
    int margen_antes = 1 << 30, oferta_antes = -1;
    for (int n = 1; n <= 15; n++) {
        char f[600];
        snprintf(f, sizeof f, KORV_DIR "/levels/nivel_%02d.map", n);
        ASSERT_TRUE(CargaMapa(f)) << f;
        int margen = -1;
        for (int d = 0; d < DIFICULTADES; d++)
            for (int hz : {60, 75})
                for (int fase = 0; fase < 4; fase++) {
                    PilotoInforme r = piloto_conduce(d, hz, fase, PILOTO_NORMAL, NULL);
                    EXPECT_TRUE(r.ganado) << f << " dificultad " << d << ", " << hz << " Hz, fase " << fase
                                          << ": explosivo en la columna " << r.columna;
                    if (d == DIFICULTADES - 1 && hz == 75 && r.margen >= 0 && (margen < 0 || r.margen < margen))
                        margen = r.margen;
                }
        EXPECT_TRUE(margen >= 1 && margen <= margen_antes) << f << ": el esquive mas justo crece: " << margen;
        margen_antes = margen;
        int oferta = 0;
        for (int i = 0; i < ENE_MAX; i++)
            oferta += ene_tipo(i) >= 1 && ene_tipo(i) <= 5 ? 200 : ene_tipo(i) == 7 ? 50 : 0;
        EXPECT_GT(oferta, oferta_antes) << f << ": los puntos en juego no crecen";
        oferta_antes = oferta;
    }
}
