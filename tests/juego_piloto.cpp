// The autoplayer on crafted levels: a wall of drums, a dodge it can only make
// late, a bag beside a drum; its keys replayed through the logic tick give the same drive.
#include <array>
#include <cstring>

#include "game/piloto.h"
#include "tests/partida.h"

namespace {

typedef std::vector<std::array<int, 3>> Enemigos;   // {column, lane 0..3, type}

// A level of speed code 1 in memory with the given enemies.
void nivel_de(const Enemigos &enemigos)
{
    reserva_enemigos();
    memset(enemi, 0, ENE_BYTES);
    memset(mapa, 0, sizeof mapa);
    multi = 1;
    for (size_t i = 0; i < enemigos.size(); i++)
        ene_pon((int)i, enemigos[i][0], BLOQUE_H * (1 + enemigos[i][1]), enemigos[i][2]);
}

// v and drums for columns a..b on the given lanes.
Enemigos tapia(Enemigos v, int a, int b, std::vector<int> carriles)
{
    for (int n : carriles)
        for (int c = a; c <= b; c++)
            v.push_back({c, n, 6});
    return v;
}

}  // namespace

// Crafted levels, each driven at one difficulty at 75 Hz from every phase.
TEST(Piloto, NivelesHechosAMano)
{
    // A drum on every lane at column 100: at 3 and 5 px a tick (80 px of reach, 12 ticks a lane
    // change) nothing passes it; hovering between two lanes meets nothing.
    const Enemigos muro = tapia({}, 100, 100, {0, 1, 2, 3});
    // Lanes 0, 1, 3 closed over columns 36-41, a drum on lane 2 at column 42: at 5 px a tick the
    // reach of column 41 ends at tick 256, that of column 42 begins at 247, a change lasts 12
    // ticks: the truck leaves lane 2 at tick 246 or 247, so one of the two margins is 1 tick.
    const Enemigos tarde = tapia({{42, 2, 6}}, 36, 41, {0, 1, 3});
    // A bag on lane 2 at column 60, a drum behind it at 61: the truck leaves the lane in time; the
    // same with lanes 1 and 3 closed around it: taking the bag would cost a life.
    const Enemigos bolsa_segura = {{60, 2, 7}, {61, 2, 6}}, bolsa_trampa = tapia(bolsa_segura, 58, 63, {1, 3});
    const struct { const char *que; const Enemigos *enemigos; int dificultad; PilotoModo modo; bool ganado;
                   int columna, margen, bolsas; } casos[] = {
        {"muro lento", &muro, 0, PILOTO_NORMAL, false, 100, 0, 0},
        {"muro rapido", &muro, 2, PILOTO_NORMAL, false, 100, 0, 0},
        {"muro flotando", &muro, 0, PILOTO_FLOTA, true, -1, -1, 0},
        {"esquive tardio", &tarde, 2, PILOTO_NORMAL, true, -1, 1, 0},
        {"bolsa segura", &bolsa_segura, 0, PILOTO_NORMAL, true, -1, -2, 1},
        {"bolsa trampa", &bolsa_trampa, 0, PILOTO_NORMAL, true, -1, -2, 0},
    };
    for (const auto &c : casos)
        for (int fase = 0; fase < 4; fase++) {
            nivel_de(*c.enemigos);
            PilotoInforme r = piloto_conduce(c.dificultad, 75, fase, c.modo, NULL);
            EXPECT_EQ(std::make_tuple(r.ganado, r.columna, r.vidas_perdidas > 0, r.bolsas),
                      std::make_tuple(c.ganado, c.columna, !c.ganado, c.bolsas)) << c.que << " fase " << fase;
            EXPECT_TRUE(c.margen == -2 || r.margen == c.margen) << c.que << ": margen " << r.margen;
        }
    // The verdict for level makers names the wall's column; the late dodge is won.
    for (auto m : {std::make_pair(&muro, 100), std::make_pair(&tarde, -1)}) {
        nivel_de(*m.first);
        EXPECT_EQ(piloto_columna_perdida(), m.second);
    }
}

// The keys it reports, played back through the logic tick from the same start, give the same
// drive: what a recorded demonstration needs. Pedestrians slow the road and the keys are then
// read on every 4th tick only, so the phase matters; each phase is replayed.
TEST(Piloto, TeclasRepetidas)
{
    Enemigos v;
    for (int c = 40; c < 700; c += 9)
        v.push_back({c, (c / 9) % 4, c % 2 ? 1 + c % 5 : (c % 3 ? 7 : 6)});
    for (int fase = 0; fase < 4; fase++) {
        nivel_de(v);
        std::vector<unsigned char> teclas;
        PilotoInforme r = piloto_conduce(1, 60, fase, PILOTO_NORMAL, &teclas);
        ASSERT_TRUE(r.ganado && r.peatones > 10 && (int)teclas.size() == r.ticks) << r.peatones << " " << teclas.size();
        // The same start as the autoplayer's, then its keys.
        partida_nueva(60, 1, fase);
        nscro = velocidad_nivel(nscr3, multi, animcon);
        prepara_nivel();
        int n = 0;
        for (; cambnib == EST_JUEGO && n < (int)teclas.size(); n++) {
            teclas_piloto = teclas[n];
            act_logica();
        }
        teclas_piloto = -1;
        EXPECT_TRUE(n == r.ticks && puntos == r.puntos && cambnib != EST_JUEGO) << n << " " << puntos;
    }
}
