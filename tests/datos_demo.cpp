// The shipped demo: it names the shipped levels as they are made, and played back through the
// real logic it drives the first level without losing a life, scoring, until its keys run out
// or the level ends.
#include <gtest/gtest.h>

#include "game/main.h"
#include "game/repeticion_juego.h"
#include "tests/prueba.h"
#include "tests/superficies.h"
#include "shared/rutas.h"

TEST(Demo, CabeEnLosNivelesYNoPierdeVidas)
{
    CarpetaTemporal t;
    copia_datos_reales();
    buscaarch();
    Repeticion r;
    char error[600];
    ASSERT_TRUE(lee_repeticion("datos/demo.rep", &r, error, sizeof error)) << error;
    ASSERT_TRUE(repeticion_cabe(r, "datos/demo.rep", error, sizeof error)) << error;
    EXPECT_EQ(r.niveles, niveles);
    EXPECT_EQ(r.alcanzado, 1);
    EXPECT_EQ(r.hz, 75);

    superficies();
    max_fps = 75;
    empieza_reproduccion(r, MODO_DEMO);
    nivel = 1;
    char ruta[RUTA_MAX];
    ruta_nivel(0, ruta, sizeof ruta);
    ASSERT_TRUE(CargaMapa(ruta));
    nscro = velocidad_nivel(nscr3, multi, animcon);
    prepara_nivel();
    size_t n = 0;
    while (cambnib == EST_JUEGO && n <= r.teclas.size()) {
        act_logica();
        n++;
    }
    termina_reproduccion();
    EXPECT_EQ(vidas, dificultades[r.dificultad].vidas) << "la demostracion pierde una vida";
    EXPECT_GT(puntos, 0);
    EXPECT_TRUE(cambnib == EST_TITULO || cambnib == EST_NIVEL_OK || cambnib == EST_GANO) << cambnib;
    printf("[ demo ] %zu ticks, %d puntos, %zu bytes\n", n, puntos, lee_archivo("datos/demo.rep").size());
}
