// The shipped recordings: a whole won game of the shipped campaign at "SOY JODIDO", driven by the
// autoplayer level by level (from the input phase each level starts at), recorded as the game
// records it: the recording is a few KB, and played back it wins with the same score, lives and
// world. The shipped demo names the shipped levels as they are made, and played back through the
// real logic it drives the first level without losing a life, scoring, until its keys run out or
// the level ends.
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
    Bytes teclas;
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
    EXPECT_TRUE(nivel == niveles && vidas == dificultades[dif].vidas + puntos / 10000) << "won with no life lost";
    int pts = puntos, vid = vidas;
    size_t bytes = lee_archivo("datos/ultima.rep").size();
    Repeticion r;
    char error[600];
    ASSERT_TRUE(lee_repeticion("datos/ultima.rep", &r, error, sizeof error)) << error;
    EXPECT_TRUE(r.fin == REP_FIN_GANO && bytes < 16000u) << "una partida entera en pocos KB: " << bytes;
    empieza_reproduccion(r, MODO_REPRODUCE);
    EXPECT_EQ(corre_niveles([](size_t) { return 0; }), original);
    EXPECT_TRUE(termina_reproduccion() && puntos == pts && vidas == vid);
    printf("[ campana ] dificultad %d: %zu ticks (%.0f s), %d puntos, %d vidas, total %d; %zu bytes\n", dif,
           original.size(), original.size() / 75.0, pts, vid, repeticion_total(r), bytes);
}

TEST(Demo, CabeEnLosNivelesYNoPierdeVidas)
{
    CarpetaTemporal t(DATOS_REALES);
    Repeticion r;
    char error[600];
    ASSERT_TRUE(lee_repeticion("datos/demo.rep", &r, error, sizeof error)) << error;
    ASSERT_TRUE(repeticion_cabe(r, "datos/demo.rep", error, sizeof error)) << error;
    EXPECT_EQ(std::make_tuple((int)r.niveles, (int)r.alcanzado, (int)r.hz), std::make_tuple(niveles, 1, 75));
    superficies();
    max_fps = 75;
    empieza_reproduccion(r, MODO_DEMO);
    corre_niveles([](size_t) { return 0; }, 1);
    termina_reproduccion();
    EXPECT_TRUE(vidas == dificultades[r.dificultad].vidas && puntos > 0) << "la demostracion pierde una vida o no puntua";
    EXPECT_TRUE(cambnib == EST_TITULO || cambnib == EST_NIVEL_OK || cambnib == EST_GANO) << cambnib;
}
