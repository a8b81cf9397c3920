// Start-up: command-line options and the rate of the logic clock.
#include <gtest/gtest.h>

#include "game/main.h"

namespace {

void opciones(std::initializer_list<const char *> args)
{
    autodetect_card = GFX_AUTODETECT_WINDOWED;
    triple_buffer = 0;
    info = 0;
    std::vector<char *> v{(char *)"korvex"};
    for (const char *a : args)
        v.push_back((char *)a);
    lee_opciones((int)v.size(), v.data());
}

}  // namespace

TEST(Opciones, SinArgumentosVentanaYUnaPagina)
{
    opciones({});
    EXPECT_EQ(autodetect_card, GFX_AUTODETECT_WINDOWED);
    EXPECT_EQ(triple_buffer, 0);
    EXPECT_EQ(info, 0);
}

TEST(Opciones, LasTresEnCualquierOrden)
{
    opciones({"-info", "-full", "-tbuf"});
    EXPECT_EQ(autodetect_card, GFX_AUTODETECT_FULLSCREEN);
    EXPECT_EQ(triple_buffer, 1);
    EXPECT_EQ(info, 1);
    opciones({"-tbuf", "x", "-info"});
    EXPECT_EQ(autodetect_card, GFX_AUTODETECT_WINDOWED);
    EXPECT_EQ(triple_buffer, 1);
    EXPECT_EQ(info, 1);
}

TEST(Opciones, MayusculasYParecidosNoCuentan)
{
    opciones({"-FULL", "-Full", "-tbuf2", "full", "-inf", "--info"});
    EXPECT_EQ(autodetect_card, GFX_AUTODETECT_WINDOWED);
    EXPECT_EQ(triple_buffer, 0);
    EXPECT_EQ(info, 0);
}

TEST(Opciones, RefrescoDesconocidoEsSetentaYCinco)
{
    EXPECT_EQ(tasa_logica(0), 75);
    EXPECT_EQ(tasa_logica(-1), 75);
    EXPECT_EQ(tasa_logica(60), 60);
    EXPECT_EQ(tasa_logica(100), 100);
}
