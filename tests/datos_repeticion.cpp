// A whole won game of the shipped campaign at "SOY JODIDO", driven by the autoplayer level by
// level (from the input phase each level starts at), recorded as the game records it: the
// recording is a few KB, and played back it wins with the same score, lives and world.
#include <cstdio>

#include "game/piloto.h"
#include "tests/partida.h"
#include "tests/prueba.h"

TEST(RepeticionCampana, GanadaGrabadaYReproducida)
{
    CarpetaTemporal t(DATOS_REALES);
    ASSERT_EQ(niveles, MAX_NIVELES);
    const int dif = 2;
    partida_nueva(75, dif, dif);   // a phase of the clock
    grabacion_empieza();
    // The autoplayer drives each level from its start and puts the state of play back; its own
    // ticks are no part of the run.
    std::vector<unsigned char> teclas;
    std::vector<unsigned> original = corre_niveles([&](size_t n) {
        if (n == 0) {
            teclas.clear();
            grabando = 0;
            piloto_conduce(difi, max_fps, tick_juego % 4, PILOTO_NORMAL, &teclas);
            grabando = 1;
        }
        return n < teclas.size() ? teclas[n] : 0;
    });
    grabacion_termina();
    ASSERT_EQ(cambnib, EST_GANO);
    EXPECT_EQ(nivel, niveles);
    EXPECT_EQ(vidas, dificultades[dif].vidas + puntos / 10000);
    int pts = puntos, vid = vidas;
    size_t bytes = lee_archivo("datos/ultima.rep").size();
    Repeticion r;
    char error[600];
    ASSERT_TRUE(lee_repeticion("datos/ultima.rep", &r, error, sizeof error)) << error;
    EXPECT_EQ(r.fin, REP_FIN_GANO);
    EXPECT_LT(bytes, 16000u) << "una partida entera en pocos KB";
    empieza_reproduccion(r, MODO_REPRODUCE);
    EXPECT_EQ(corre_niveles([](size_t) { return 0; }), original);
    EXPECT_TRUE(termina_reproduccion());
    EXPECT_EQ(puntos, pts);
    EXPECT_EQ(vidas, vid);
    printf("[ campana ] dificultad %d: %zu ticks (%.0f s), %d puntos, %d vidas, total %d; %zu bytes\n", dif,
           original.size(), original.size() / 75.0, pts, vid, repeticion_total(r), bytes);
}
