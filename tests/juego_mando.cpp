// The pad in the game without a display: the difficulty menu and the lanes react to it as to the keys.
#include <gtest/gtest.h>

#include <deque>

#include "game/main.h"
#include "game/presoverganec.h"
#include "shared/mando.h"

namespace {

std::deque<int> cola;    // keys the pad put in the buffer, not yet read
std::deque<int> guion;   // pad states still to come: -1 up, 1 down, 0 centred, 10 + b button b held

void al_buffer(int tecla) { cola.push_back(tecla); }

// Sets joy[0] to one state of the script and reads it.
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

// The menu's key source: the script goes on until the pad has put a key in the buffer.
int tecla_del_mando()
{
    while (cola.empty() && !guion.empty()) {
        pon(guion.front());
        guion.pop_front();
    }
    int t = cola.empty() ? KEY_ESC << 8 : cola.front();
    if (!cola.empty())
        cola.pop_front();
    return t;
}

}  // namespace

// Menu: down/up steps once per push (held is one step), the first button picks, the second leaves.
// Play: the stick changes lanes as the arrows do.
TEST(MandoJuego, MenuYCarriles)
{
    BITMAP *pagina = create_bitmap(PANTALLA_W, PANTALLA_H);
    mando_tecla = al_buffer;
    lee_tecla = tecla_del_mando;
    active_page = pagina;
    const struct { std::deque<int> guion; int elegida; int estado; } casos[] = {
        {{1, 0, 10}, 2, EST_TITULO},
        {{1, 0, 1, 0, -1, 0, 10}, 2, EST_TITULO},   // 1 -> 2 -> 0 (wraps) -> 2
        {{-1, -1, 0, 10}, 0, EST_TITULO},
        {{11}, 1, EST_SALIR},
    };
    for (const auto &c : casos) {
        cambnib = EST_TITULO;
        pon(0);
        cola.clear();
        guion = c.guion;
        EXPECT_EQ(seleciona_dificultad(), c.elegida);
        EXPECT_EQ(cambnib, c.estado);
    }
    for (int estado : {-1, 1}) {
        scr5 = 0;
        mov = 0;
        pon(estado);
        teclasy();
        EXPECT_EQ(mov, estado < 0 ? 1 : 2);
        pon(0);
    }
    num_joysticks = 0;
    lee_tecla = readkey;
    destroy_bitmap(pagina);
}
