// The help card (what it shows, that it fits, that it leaves the screen and the clock as they
// were) and what pauses play besides P: F1 and the window's loss of the keyboard.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "game/ayudas.h"
#include "game/foco.h"
#include "game/main.h"
#include "game/presoverganec.h"
#include "game/repeticion_juego.h"
#include "shared/ajustes.h"
#include "shared/pantalla.h"
#include "shared/ritmo.h"
#include "tests/prueba.h"

// A card's "@N" is the key the player gave action N (its name in the language in use), cut to the room given.
TEST(Ayuda, LasTeclasDelJugadorEnLaCarta)
{
    ajustes_por_defecto();
    ASSERT_TRUE(asigna_tecla(ACC_ARRIBA, KEY_W) && asigna_tecla(ACC_PAUSA, KEY_SPACE));
    const struct { const char *texto; int tam; const char *sale; } casos[] = {
        {"@0 / @1", 64, "W / ABAJO"}, {"@2", 64, "ESPACIO"}, {"@3 @ F1@", 64, "@3 @ F1@"}, {"@2", 4, "ESP"}, {"X@2", 3, "XE"},
    };
    for (const auto &c : casos) {
        char out[64];
        texto_tecla(c.texto, out, c.tam);
        EXPECT_STREQ(out, c.sale) << c.texto;
    }
    ajustes_por_defecto();
}

// Every card of the game fits on the 320x240 page with the longest key names a player may choose.
TEST(Ayuda, CadaCartaDelJuegoCabe)
{
    const Ayuda *cartas[] = {&AYUDA_ESTUDIO,     &AYUDA_TITULO,    &AYUDA_TABLAS,      &AYUDA_TABLAS_SIN_MEJOR,
                             &AYUDA_TABLA,       &AYUDA_TABLA_SIN_MEJOR, &AYUDA_DIFICULTAD, &AYUDA_OPCIONES,
                             &AYUDA_TECLA_NUEVA, &AYUDA_INICIALES, &AYUDA_JUEGO,       &AYUDA_REPETICION};
    BITMAP *hoja = create_bitmap(PANTALLA_W, PANTALLA_H);
    ajustes_por_defecto();
    ASSERT_TRUE(asigna_tecla(ACC_ARRIBA, KEY_BACKSPACE) && asigna_tecla(ACC_ABAJO, KEY_ENTER_PAD) &&
                asigna_tecla(ACC_PAUSA, KEY_MINUS_PAD));
    for (const Ayuda *c : cartas) {
        clear_to_color(hoja, 77);
        EXPECT_TRUE(dibuja_ayuda(hoja, c)) << c->lineas[0].que;
    }
    ajustes_por_defecto();
    destroy_bitmap(hoja);
}

// The card comes over the page, F1 closes it (a key does the same through the key buffer, which
// has no driver here), it waits until every key is up, and the page and the clock are as before.
TEST(Ayuda, LaCartaSeVaSinDejarRastro)
{
    BITMAP *antes = lienzo;
    lienzo = create_bitmap(PANTALLA_W, PANTALLA_H);
    for (int i = 0; i < PANTALLA_W * PANTALLA_H; i++)
        putpixel(lienzo, i % PANTALLA_W, i / PANTALLA_W, (i % PANTALLA_W * 7 + i / PANTALLA_W * 3) & 0xFF);
    BITMAP *copia = create_bitmap(PANTALLA_W, PANTALLA_H);
    blit(lienzo, copia, 0, 0, 0, 0, PANTALLA_W, PANTALLA_H);
    static volatile int reloj = 500;
    ayuda_reloj = &reloj;
    std::atomic<int> filas_cubiertas(-1);
    std::atomic<bool> cerrada(false), abierta_con_tecla(false);
    auto filas_distintas = [&] {
        int n = 0;
        for (int y = 0; y < PANTALLA_H; y++)
            n += memcmp(lienzo->line[y], copia->line[y], PANTALLA_W) != 0;
        return n;
    };
    std::thread jugador([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        filas_cubiertas = filas_distintas();
        reloj = reloj + 90;   // the clock runs while the card is up
        key[KEY_Q] = 1;        // held while F1 comes: the card waits for its release
        ayuda_pedida = 1;
        ritmo_despierta();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        abierta_con_tecla = !cerrada.load();
        key[KEY_Q] = 0;
        ritmo_despierta();
    });
    muestra_ayuda(&AYUDA_JUEGO);
    cerrada = true;
    jugador.join();
    EXPECT_GT(filas_cubiertas.load(), 100) << "the card was not on the page";
    EXPECT_TRUE(abierta_con_tecla.load()) << "the card went while a key was still down";
    EXPECT_EQ(std::make_tuple(filas_distintas(), (int)reloj, (int)ayuda_pedida), std::make_tuple(0, 500, 0))
        << "the page and the clock as before";
    ayuda_reloj = NULL;
    destroy_bitmap(copia);
    destroy_bitmap(lienzo);
    lienzo = antes;
}

// What pauses play besides P, by mode: F1 always where a player plays; the loss of the keyboard
// when the setting asks for it, once per loss; neither in the demo nor for the autoplayer.
TEST(Ayuda, F1YLaPerdidaDelTecladoPausan)
{
    struct { int modo, piloto, f1, perdido, ajuste; bool pausa; int perdido_despues; } casos[] = {
        {MODO_JUGADOR, -1, 0, 0, 1, false, 0},   {MODO_JUGADOR, -1, 1, 0, 1, true, 0},
        {MODO_JUGADOR, -1, 0, 1, 1, true, 0},    {MODO_JUGADOR, -1, 0, 1, 0, false, 0},
        {MODO_JUGADOR, -1, 1, 1, 0, true, 0},    {MODO_REPRODUCE, -1, 0, 1, 1, true, 0},
        {MODO_REPRODUCE, -1, 1, 0, 1, true, 0},  {MODO_DEMO, -1, 1, 1, 1, false, 1},
        {MODO_JUGADOR, 0, 1, 1, 1, false, 1},
    };
    for (const auto &c : casos) {
        rep_modo = c.modo, teclas_piloto = c.piloto, ayuda_pedida = c.f1, foco_perdido = c.perdido, aj_pausa_foco = c.ajuste;
        bool pausa = juego_pide_pausa();
        EXPECT_EQ(std::make_pair(pausa, (int)foco_perdido), std::make_pair(c.pausa, c.perdido_despues))
            << c.modo << c.piloto << c.f1 << c.perdido << c.ajuste;
    }
    // A level starts paused only when the window is still without the keyboard.
    for (int fuera : {0, 1}) {
        foco_fuera = fuera, foco_perdido = 1;
        foco_empieza_nivel();
        EXPECT_EQ(foco_perdido, fuera);
    }
    foco_fuera = foco_perdido = 0, ayuda_pedida = 0, rep_modo = MODO_JUGADOR, teclas_piloto = -1;
    ajustes_por_defecto();
}

// Each card offers what works on its screen: R only on a table whose best run is kept; every key
// the title answers; the options' wait for a new key has its own card (ESC keeps the old key).
TEST(Ayuda, CadaCartaOfreceLoQueHay)
{
    auto tiene = [](const Ayuda *a, const char *tecla) {
        return std::any_of(a->lineas, a->lineas + a->n, [&](const auto &l) { return !strcmp(l.tecla, tecla); });
    };
    CarpetaTemporal t(SUBCARPETAS);
    active_page = create_bitmap(PANTALLA_W, PANTALLA_H);
    font2 = font;
    max_fps = 0;   // the tables do not wait
    for (bool mejor : {false, true}) {
        if (mejor)
            escribe_archivo("datos/mejor_2.rep", {1});
        EXPECT_FALSE(muestraranking(0, 0));   // no key: the three tables, then the demo
        EXPECT_TRUE(tiene(ayuda_actual, "R") == mejor && tiene(ayuda_actual, "ENTER / ESC")) << "tercera tabla, mejor " << mejor;
        muestraranking(3, 0);
        EXPECT_TRUE(tiene(ayuda_actual, "R") == mejor && !tiene(ayuda_actual, "ENTER / ESC")) << "tras una partida, una tecla sigue";
    }
    const struct { int scan; const char *nombre; } titulo[] = {
        {KEY_ENTER, "ENTER"}, {KEY_SPACE, "ESPACIO"}, {KEY_O, "O"}, {KEY_ESC, "ESC"}};
    for (const auto &k : titulo) {
        key[k.scan] = 1;
        EXPECT_TRUE(titulo_fin_parpadeo(0) && tiene(&AYUDA_TITULO, k.nombre)) << k.nombre;
        key[k.scan] = 0;
    }
    static std::vector<const Ayuda *> vistas;
    vistas.clear();
    lee_tecla = [] { vistas.push_back(ayuda_actual); return KEY_ESC << 8; };
    pon_ayuda(&AYUDA_OPCIONES);
    redefine_teclas();
    EXPECT_TRUE(vistas == std::vector<const Ayuda *>(3, &AYUDA_TECLA_NUEVA) && ayuda_actual == &AYUDA_OPCIONES);
    lee_tecla = espera_tecla_lista;
    destroy_bitmap(active_page);
    active_page = NULL;
}
