// Start-up: command-line options and the rate of the logic clock.
#include <gtest/gtest.h>

#include "game/main.h"

namespace {

struct CasoOpciones {
    std::vector<const char *> args;
    int tarjeta, triple, info;
};

}  // namespace

TEST(Opciones, ExactasEnCualquierOrden)
{
    const CasoOpciones casos[] = {
        {{}, GFX_AUTODETECT_WINDOWED, 0, 0},
        {{"-info", "-full", "-tbuf"}, GFX_AUTODETECT_FULLSCREEN, 1, 1},
        {{"-tbuf", "x", "-info"}, GFX_AUTODETECT_WINDOWED, 1, 1},
        {{"-FULL", "-Full", "-tbuf2", "full", "-inf", "--info"}, GFX_AUTODETECT_WINDOWED, 0, 0},   // near misses
    };
    for (const CasoOpciones &c : casos) {
        SCOPED_TRACE(c.args.empty() ? "" : c.args[0]);
        autodetect_card = GFX_AUTODETECT_WINDOWED;
        triple_buffer = 0;
        info = 0;
        std::vector<char *> v{(char *)"korvex"};
        for (const char *a : c.args)
            v.push_back((char *)a);
        lee_opciones((int)v.size(), v.data());
        EXPECT_EQ(autodetect_card, c.tarjeta);
        EXPECT_EQ(triple_buffer, c.triple);
        EXPECT_EQ(info, c.info);
    }
}

TEST(Opciones, RefrescoDesconocidoEsSetentaYCinco)
{
    EXPECT_EQ(tasa_logica(0), 75);
    EXPECT_EQ(tasa_logica(-1), 75);
    EXPECT_EQ(tasa_logica(60), 60);
    EXPECT_EQ(tasa_logica(100), 100);
}
