// Test helpers of the front-end screens: a key script, a fast logic clock that can photograph the
// drawing page, a working folder with the shipped font, and region comparison.
#ifndef KORV_JUEGO_FRENTE_H
#define KORV_JUEGO_FRENTE_H

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "game/main.h"
#include "game/presoverganec.h"
#include "game/utilfun.h"
#include "prueba.h"

namespace {

std::deque<int> teclas;          // scan codes the screens will read, in order
int leidas;                      // keys read

BITMAP *copia_pagina(BITMAP *p)
{
    BITMAP *f = create_bitmap(320, 240);
    blit(p, f, 0, 0, 0, 0, 320, 240);
    return f;
}

// The key source of the tests: the script, then ENTER (ends any entry rather than hang).
int tecla_prueba()
{
    leidas++;
    if (teclas.empty())
        return KEY_ENTER << 8;
    int s = teclas.front();
    teclas.pop_front();
    return s << 8;
}

bool misma_region(BITMAP *p, BITMAP *q, int x0, int y0, int w, int h)
{
    for (int yy = y0; yy < y0 + h; yy++)
        for (int xx = x0; xx < x0 + w; xx++)
            if (getpixel(p, xx, yy) != getpixel(q, xx, yy))
                return false;
    return true;
}

// Runs the logic clock fast from a thread; with fotografia, keeps every distinct drawing page seen.
struct RelojYCamara {
    std::atomic<bool> fin{false};
    std::thread hilo;
    std::vector<BITMAP *> fotos;
    explicit RelojYCamara(bool fotografia)
    {
        hilo = std::thread([this, fotografia] {
            while (!fin) {
                tick = tick + 1;
                if (fotografia && active_page) {
                    BITMAP *f = copia_pagina(active_page);
                    if (!fotos.empty() && misma_region(fotos.back(), f, 0, 0, 320, 240))
                        destroy_bitmap(f);
                    else
                        fotos.push_back(f);
                }
                std::this_thread::sleep_for(std::chrono::microseconds(20));
            }
        });
    }
    void para()
    {
        fin = true;
        if (hilo.joinable())
            hilo.join();
    }
    ~RelojYCamara()
    {
        para();
        for (BITMAP *f : fotos)
            destroy_bitmap(f);
    }
};

// A working folder with datos/, a memory drawing page, the shipped font and the key script.
class FrentePrueba : public ::testing::Test {
protected:
    CarpetaTemporal carpeta;
    BITMAP *pagina = nullptr;
    BITMAP *ref = nullptr;
    FONT *fuente_antes = nullptr;
    DATAFILE *fuentes = nullptr;

    void SetUp() override
    {
        carpeta.subcarpetas();
        pagina = create_bitmap(320, 240);
        ref = create_bitmap(320, 240);
        clear_bitmap(pagina);
        clear_bitmap(ref);
        active_page = pagina;
        fuente_antes = font;
        fuentes = load_datafile((std::string(KORV_DIR) + "/datos/font.dat").c_str());
        if (fuentes)
            font = (FONT *)fuentes[1].dat;
        bg = -1;
        max_fps = 75;
        cambnib = EST_JUEGO;
        teclas.clear();
        leidas = 0;
        lee_tecla = tecla_prueba;
        for (int i = 0; i < KEY_MAX; i++)
            key[i] = 0;
    }
    void TearDown() override
    {
        lee_tecla = readkey;
        for (int i = 0; i < KEY_MAX; i++)
            key[i] = 0;
        font = fuente_antes;
        if (fuentes)
            unload_datafile(fuentes);
        destroy_bitmap(pagina);
        destroy_bitmap(ref);
        active_page = nullptr;
    }
};

}  // namespace

#endif
