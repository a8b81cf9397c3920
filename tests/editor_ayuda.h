// Helpers of the editor's tests: a scripted key source, synthetic pictures, level files.
#ifndef KORV_EDITOR_AYUDA_H
#define KORV_EDITOR_AYUDA_H

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/mained.h"
#include "prueba.h"

namespace {

// A key in the script that stands for the window's close button (sets cerrar, then the
// key the button's callback injects).
const int CIERRE = -1;

std::deque<int> cola_teclas;          // scan codes still to be read
std::function<void()> al_leer;        // called before each key is handed out (for looking at the screen)

// The editor's key source in the tests: the next scan code of the script, as readkey gives it.
// A screen that waits for more keys than the script holds fails the test instead of hanging.
[[maybe_unused]] int tecla_prueba()
{
    if (al_leer)
        al_leer();
    if (cola_teclas.empty())
        throw std::runtime_error("el editor espera una tecla que el guion no tiene");
    int t = cola_teclas.front();
    cola_teclas.pop_front();
    if (t == CIERRE) {
        cerrar = 1;
        t = KEY_ESC;
    }
    return t << 8;
}

[[maybe_unused]] void teclas(std::initializer_list<int> l)
{
    cola_teclas.assign(l.begin(), l.end());
}

[[maybe_unused]] void teclas_n(int tecla, int n)
{
    for (int i = 0; i < n; i++)
        cola_teclas.push_back(tecla);
}

// Colours of the synthetic pictures: block i is filled with 1 + i, enemy type t with 100 + t.
[[maybe_unused]] int color_bloque(int i) { return 1 + i; }
[[maybe_unused]] int color_enemigo(int t) { return 100 + t; }

// Bytes of a level file: speed code, every block the same, the given records.
[[maybe_unused]] std::vector<unsigned char> nivel(unsigned char m, unsigned char bloque,
                                 const std::vector<std::array<int, 4>> &regs = {})
{
    std::vector<unsigned char> v(NIVEL_BYTES, 0);
    v[0] = m;
    for (int i = 0; i < MAPA_BYTES; i++)
        v[1 + i] = bloque;
    for (size_t i = 0; i < regs.size(); i++) {
        unsigned char *r = &v[1 + MAPA_BYTES + ENE_REG * i];
        r[0] = (unsigned char)(regs[i][0] & 0xFF);
        r[1] = (unsigned char)(regs[i][0] >> 8);
        r[2] = (unsigned char)regs[i][1];
        r[3] = (unsigned char)regs[i][2];
    }
    return v;
}

// True when any pixel of the rectangle has the colour.
[[maybe_unused]] bool hay_color(BITMAP *bmp, int x1, int y1, int x2, int y2, int col)
{
    for (int y = y1; y <= y2; y++)
        for (int x = x1; x <= x2; x++)
            if (getpixel(bmp, x, y) == col)
                return true;
    return false;
}

// The editor in a temporary folder (datos/ with the template, an empty levels/), with
// synthetic pictures, a memory bitmap for the screen and the scripted keys.
struct EditorPrueba : ::testing::Test {
    CarpetaTemporal carpeta;
    BITMAP *pantalla = nullptr;

    void SetUp() override
    {
        carpeta.subcarpetas();
        escribe_archivo("datos/newlevel.dat", nivel(1, 3));
        for (int i = 0; i < NUM_TILES; i++) {
            tile[i] = create_bitmap(BLOQUE_W, BLOQUE_H);
            clear_to_color(tile[i], color_bloque(i));
        }
        for (int i = 0; i < NUM_SPRITES; i++) {
            sprite[i] = create_bitmap(ENE_W, ENE_H);
            clear_to_color(sprite[i], color_enemigo(i + 1));
        }
        scroll = create_bitmap(2 * ED_PANTALLA_W, ED_PANTALLA_H);
        pantalla = create_bitmap(ED_PANTALLA_W, ED_PANTALLA_H);
        clear_bitmap(scroll);
        clear_bitmap(pantalla);
        active_page = pantalla;
        reserva_enemigos();
        memset(enemi, 0, ENE_BYTES);
        memset(mapa, 3, sizeof mapa);
        memset(enemi2, 0, sizeof enemi2);
        multi = 1;
        bg = 0;
        carga = 0;
        modifi = 0;
        archivo[0] = 0;
        cerrar = 0;
        aviso[0] = 0;
        reinicia_edicion();
        fuente_tecla = tecla_prueba;
        cola_teclas.clear();
        al_leer = nullptr;
    }

    void TearDown() override
    {
        al_leer = nullptr;
        DestruyeBMP();
        destroy_bitmap(scroll);
        destroy_bitmap(pantalla);
        scroll = nullptr;
        active_page = nullptr;
    }
};

}  // namespace

#endif
