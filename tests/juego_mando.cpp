// The pad without a display, as keys: edges and holding, the buttons' keys (START as P where a button
// is named so); in play the lanes react to it as to the keys (the menus take its keys as any others).
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <vector>

#include "game/main.h"
#include "game/repeticion_juego.h"
#include "shared/mando.h"

namespace {

std::deque<int> cola;    // keys the pad put in the buffer, not yet read

// Sets joy[0] (two sticks: the stick and the D-pad; eight buttons, the eighth named b8) and reads
// it: vertical axis eje (-1 up, 1 down) on stick, the buttons listed held.
void pon(int eje, std::vector<int> botones = {}, int stick = 0, const char *b8 = "B8")
{
    static const char *nombres[8] = {"B1", "B2", "B3", "B4", "B5", "B6", "B7", "B8"};
    nombres[7] = b8;
    num_joysticks = 1, joy[0].num_sticks = 2, joy[0].num_buttons = 8;
    for (int s = 0; s < 2; s++) {
        joy[0].stick[s].num_axis = 2;
        joy[0].stick[s].axis[1].d1 = s == stick && eje < 0;
        joy[0].stick[s].axis[1].d2 = s == stick && eje > 0;
    }
    for (int b = 0; b < 8; b++)
        joy[0].button[b].name = nombres[b], joy[0].button[b].b = std::count(botones.begin(), botones.end(), b);
    mando_actualiza();
}

}  // namespace

// Holding is not a new press, key[] follows holding, the D-pad counts, the third button is P
// (press-release-press as the pause wants) unless a button is named START, which then is P; the fourth is O.
TEST(Mando, ComoTeclas)
{
    mando_tecla = [](int tecla) { cola.push_back(tecla); };
    const struct { int eje, stick; std::vector<int> botones; const char *b8; std::vector<int> nuevas; int tenida; } pasos[] = {
        {-1, 0, {}, "B8", {KEY_UP}, KEY_UP}, {-1, 0, {}, "B8", {}, KEY_UP}, {1, 1, {}, "B8", {KEY_DOWN}, KEY_DOWN},
        {0, 0, {0, 1}, "B8", {KEY_ENTER, KEY_ESC}, KEY_ESC}, {0, 0, {2}, "B8", {KEY_P}, KEY_P},
        {0, 0, {}, "B8", {}, 0}, {0, 0, {2}, "B8", {KEY_P}, KEY_P}, {0, 0, {}, "Start", {}, 0},
        {0, 0, {2, 5}, "Start", {}, 0}, {0, 0, {7}, "Start", {KEY_P}, KEY_P}, {0, 0, {3}, "Start", {KEY_O}, KEY_O},
        {0, 0, {}, "Start", {}, 0},
    };
    for (size_t i = 0; i < sizeof pasos / sizeof pasos[0]; i++) {
        const auto &p = pasos[i];
        cola.clear();
        pon(p.eje, p.botones, p.stick, p.b8);
        std::vector<int> nuevas;
        for (int t : cola)
            nuevas.push_back(t >> 8);
        EXPECT_EQ(nuevas, p.nuevas) << "step " << i;
        for (int k : {KEY_UP, KEY_DOWN, KEY_P, KEY_O, KEY_ESC})
            EXPECT_EQ(key[k] != 0, k == p.tenida) << "step " << i << " key " << k;
    }
    num_joysticks = 0;
}

// In play the stick changes lanes as the arrows do.
TEST(Mando, CarrilesEnElJuego)
{
    for (int estado : {-1, 1}) {
        scr5 = mov = 0;
        pon(estado);
        teclas_del_tick(), teclasy();
        EXPECT_EQ(mov, estado < 0 ? 1 : 2);
        pon(0);
    }
    num_joysticks = 0;
}
