// A whole won game of the shipped campaign, driven by the autoplayer level by level (from the
// input phase each level starts at), recorded as the game records it, at each difficulty: the
// recording is a few KB, and played back it wins with the same score, lives and world.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "game/main.h"
#include "game/repeticion_juego.h"
#include "tests/prueba.h"
#include "tests/superficies.h"
#include "game/piloto.h"
#include "shared/rutas.h"

namespace {

// The levels of the catalogue from the first, each tick's keys from the autoplayer (piloto) or
// from the recording being played; the world's checksum after every tick.
std::vector<unsigned> campana(bool piloto)
{
    std::vector<unsigned> sumas;
    do {
        nivel = nivel + 1;
        char ruta[RUTA_MAX];
        ruta_nivel(nivel - 1, ruta, sizeof ruta);
        EXPECT_TRUE(CargaMapa(ruta));
        std::vector<unsigned char> teclas;
        if (piloto) {
            // The autoplayer drives the level from its start and puts the state of play back;
            // its own ticks are no part of the run.
            int g = grabando;
            grabando = 0;
            piloto_conduce(difi, max_fps, tick_juego % 4, PILOTO_NORMAL, &teclas);
            grabando = g;
            cambnib = EST_JUEGO;
        }
        nscro = velocidad_nivel(nscr3, multi, animcon);
        prepara_nivel();
        for (size_t n = 0; cambnib == EST_JUEGO; n++) {
            teclas_piloto = piloto ? (n < teclas.size() ? teclas[n] : 0) : -1;
            act_logica();
            sumas.push_back(suma_mundo(REP_VERSION));
        }
        teclas_piloto = -1;
    } while (cambnib == EST_NIVEL_OK);
    return sumas;
}

}  // namespace

TEST(RepeticionCampana, GanadaGrabadaYReproducida)
{
    CarpetaTemporal t;
    copia_datos_reales();
    buscaarch();
    ASSERT_EQ(niveles, MAX_NIVELES);
    superficies();
    for (int dif = 0; dif < DIFICULTADES; dif++) {
        SCOPED_TRACE(dif);
        max_fps = 75;
        empieza_partida();
        difi = dif;
        vidas = dificultades[dif].vidas;
        nscr3 = dificultades[dif].velocidad;
        animcon = escala_tiempo(max_fps);
        tick_juego = dif;   // a phase of the clock
        grabacion_empieza();
        std::vector<unsigned> original = campana(true);
        grabacion_termina();
        ASSERT_EQ(cambnib, EST_GANO);
        EXPECT_EQ(nivel, niveles);
        EXPECT_EQ(vidas, dificultades[dif].vidas + puntos / 10000);
        int pts = puntos, vid = vidas;
        std::vector<unsigned char> bytes = lee_archivo("datos/ultima.rep");
        Repeticion r;
        char error[600];
        ASSERT_TRUE(lee_repeticion("datos/ultima.rep", &r, error, sizeof error)) << error;
        EXPECT_EQ(r.fin, REP_FIN_GANO);
        EXPECT_LT(bytes.size(), 16000u) << "una partida entera en pocos KB";
        empieza_reproduccion(r, MODO_REPRODUCE);
        std::vector<unsigned> copia = campana(false);
        EXPECT_TRUE(termina_reproduccion());
        EXPECT_EQ(copia, original);
        EXPECT_EQ(puntos, pts);
        EXPECT_EQ(vidas, vid);
        printf("[ campana ] dificultad %d: %zu ticks (%.0f s), %d puntos, %d vidas, total %d; %zu bytes; "
               "reproducida: %d puntos, %d vidas\n",
               dif, original.size(), original.size() / 75.0, pts, vid, repeticion_total(r), bytes.size(), puntos,
               vidas);
    }
}
