// The pad in the game without a display: the lanes and the difficulty menu react to it as to the keys.
#include <gtest/gtest.h>

#include <deque>

#include "game/main.h"
#include "game/presoverganec.h"
#include "shared/mando.h"

namespace {

std::deque<int> cola;          // keys the pad put in the buffer, not yet read
std::deque<int> guion;         // pad states still to come: -1 up, 1 down, 0 centred, 10+b button b

// Puts a key of the pad in the test's buffer.
void al_buffer(int tecla)
{
    cola.push_back(tecla);
}

// Sets joy[0] to one state of the script: a stick's vertical axis or a button held.
void pon(int estado)
{
    num_joysticks = 1;
    joy[0].num_sticks = 1;
    joy[0].stick[0].num_axis = 2;
    joy[0].num_buttons = 4;
    joy[0].stick[0].axis[1].d1 = estado == -1;
    joy[0].stick[0].axis[1].d2 = estado == 1;
    for (int b = 0; b < 4; b++)
        joy[0].button[b].b = estado == 10 + b;
    mando_actualiza();
}

// The menu's key source: the pad moves through the script until it has put a key in the buffer.
int tecla_del_mando()
{
    while (cola.empty() && !guion.empty()) {
        pon(guion.front());
        guion.pop_front();
    }
    if (cola.empty())
        return KEY_ESC << 8;
    int t = cola.front();
    cola.pop_front();
    return t;
}

struct MandoJuego : ::testing::Test {
    BITMAP *pagina = create_bitmap(PANTALLA_W, PANTALLA_H);
    void SetUp() override
    {
        mando_tecla = al_buffer;
        lee_tecla = tecla_del_mando;
        active_page = pagina;
        cambnib = EST_TITULO;
        cola.clear();
        pon(0);
    }
    void TearDown() override
    {
        pon(0);
        num_joysticks = 0;
        lee_tecla = readkey;
        destroy_bitmap(pagina);
    }
};

}  // namespace

// Stick down, release, down, release, up, first button: the cursor goes 1 -> 2 -> 0 -> 2 and ENTER picks it.
TEST_F(MandoJuego, MenuDeDificultad)
{
    const struct { std::deque<int> guion; int elegida; int estado; } casos[] = {
        {{1, 0, 10}, 2, EST_TITULO},
        {{1, 0, 1, 0, -1, 0, 10}, 2, EST_TITULO},
        {{-1, -1, 0, 10}, 0, EST_TITULO},            // held up is one step
        {{11}, 1, EST_SALIR},                          // second button: ESC leaves
    };
    for (const auto &c : casos) {
        cambnib = EST_TITULO;
        guion = c.guion;
        EXPECT_EQ(seleciona_dificultad(), c.elegida);
        EXPECT_EQ(cambnib, c.estado);
        pon(0);
        cola.clear();
    }
}

// In play the stick moves the truck between lanes as the arrows do, and the third button is P.
TEST_F(MandoJuego, CarrilesYPausa)
{
    const struct { int estado; int mov; } casos[] = {{-1, 1}, {1, 2}};
    for (const auto &c : casos) {
        scr5 = 0;
        mov = 0;
        pon(c.estado);
        teclasy();
        EXPECT_EQ(mov, c.mov);
        pon(0);
    }
    pon(12);
    EXPECT_TRUE(key[KEY_P]);
    pon(0);
    EXPECT_FALSE(key[KEY_P]);
}
