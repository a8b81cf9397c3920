// The shipped demo: it names the shipped levels as they are made, and played back through the
// real logic it drives the first level without losing a life, scoring, until its keys run out
// or the level ends.
#include "tests/partida.h"
#include "tests/prueba.h"

TEST(Demo, CabeEnLosNivelesYNoPierdeVidas)
{
    CarpetaTemporal t(DATOS_REALES);
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
    size_t n = corre_niveles([](size_t) { return 0; }, 1).size();
    termina_reproduccion();
    EXPECT_EQ(vidas, dificultades[r.dificultad].vidas) << "la demostracion pierde una vida";
    EXPECT_GT(puntos, 0);
    EXPECT_TRUE(cambnib == EST_TITULO || cambnib == EST_NIVEL_OK || cambnib == EST_GANO) << cambnib;
    printf("[ demo ] %zu ticks, %d puntos, %zu bytes\n", n, puntos, lee_archivo("datos/demo.rep").size());
}
