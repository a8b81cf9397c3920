// The watcher's counting (bench/refrescos.cpp) on made-up timelines: which refresh shows each
// picture (the 2 ms rule), repeats and drops, the rates, and the pictures gathered from damage
// reports. Times in microseconds.
#include <gtest/gtest.h>

#include <vector>

#include "bench/refrescos.h"

namespace {

const int64_t V[] = {100000, 116667, 133333, 150000, 166667};   // five refreshes, 60 Hz
const int NV = 5;

}  // namespace

// Pictures -> new pictures at refreshes 1..4: a picture is shown at the first refresh at least
// 2 ms after it; none is a repeat, two are a drop; before the first refresh's margin nothing counts.
TEST(Refrescos, NuevasPorRefresco)
{
    const struct { const char *caso; std::vector<int64_t> p; std::vector<int> nuevas; } casos[] = {
        {"una por refresco", {101000, 117000, 134000, 151000}, {0, 1, 1, 1, 1}},
        {"justo 2 ms antes: se ve en ese refresco", {114667}, {0, 1, 0, 0, 0}},
        {"1 us tarde: se ve en el siguiente", {114668}, {0, 0, 1, 0, 0}},
        {"a 1 ms del refresco: en el siguiente", {115667}, {0, 0, 1, 0, 0}},
        {"repetida: nada entre dos refrescos", {101000, 134000, 151000}, {0, 1, 0, 1, 1}},
        {"perdida: dos en un intervalo", {101000, 110000, 134000, 151000}, {0, 2, 0, 1, 1}},
        {"antes del primer margen: no cuenta", {90000, 98000, 101000}, {0, 1, 0, 0, 0}},
        {"despues del ultimo margen: no cuenta", {164000, 165000, 170000}, {0, 0, 0, 0, 1}},
        {"ninguna", {}, {0, 0, 0, 0, 0}},
    };
    for (const auto &c : casos) {
        std::vector<int> nuevas(NV);
        nuevas_por_refresco(V, NV, c.p.data(), (int)c.p.size(), MARGEN_US, nuevas.data());
        EXPECT_EQ(nuevas, c.nuevas) << c.caso;
    }
}

// Figures of a second of 60 Hz refreshes against pictures at various paces: the counts, the
// (repeats + drops) per second and the regularity of the pictures.
TEST(Refrescos, FigurasDeUnSegundo)
{
    std::vector<int64_t> v;
    for (int i = 0; i <= 60; i++)
        v.push_back(1000000 + i * 1000000 / 60);
    // Pictures every `paso` µs from `desde`.
    auto serie = [](int64_t desde, int64_t paso, int64_t hasta) {
        std::vector<int64_t> p;
        for (int64_t t = desde; t < hasta; t += paso)
            p.push_back(t);
        return p;
    };
    const struct { const char *caso; std::vector<int64_t> p; int imagenes, repetidas, perdidas; double intervalo_ms, sd_ms; }
        casos[] = {
        // right after each refresh: one new picture at every refresh
        {"al ritmo", serie(1000500, 16667, 2000000), 60, 0, 0, 16.667, 0.0},
        // 75 per second on 60 refreshes: 15 pictures a second never shown
        {"75 Hz", serie(1000100, 13333, 2000000), 75, 0, 15, 13.333, 0.0},
        // 30 per second: every other refresh repeats
        {"30 Hz", serie(1000500, 33333, 2000000), 30, 30, 0, 33.333, 0.0}, {"quieta", {}, 0, 60, 0, 0.0, 0.0},
    };
    for (const auto &c : casos) {
        Fluidez f = mide_fluidez(v.data(), (int)v.size(), c.p.data(), (int)c.p.size(), MARGEN_US);
        EXPECT_EQ(std::make_tuple(f.refrescos, f.imagenes, f.repetidas, f.perdidas),
                  std::make_tuple(60, c.imagenes, c.repetidas, c.perdidas)) << c.caso;
        const double medidas[] = {f.segundos, f.fallos_s, f.intervalo_ms, f.intervalo_sd_ms, f.refresco_ms},
                     esperadas[] = {1.0, (double)c.repetidas + c.perdidas, c.intervalo_ms, c.sd_ms, 16.667};
        for (int i = 0; i < 5; i++)
            EXPECT_NEAR(medidas[i], esperadas[i], 1e-3) << c.caso << ", medida " << i;
    }
    // Intervals alternating 10 and 20 ms: mean 15, sd 5.
    std::vector<int64_t> p;
    for (int64_t t = 1000000, i = 0; t < 2000000; t += i++ % 2 ? 20000 : 10000)
        p.push_back(t);
    Fluidez f = mide_fluidez(v.data(), (int)v.size(), p.data(), (int)p.size(), MARGEN_US);
    EXPECT_NEAR(f.intervalo_ms, 15.0, 0.01);
    EXPECT_NEAR(f.intervalo_sd_ms, 5.0, 0.01);
    // Fewer than two refreshes: nothing can be counted.
    f = mide_fluidez(v.data(), 1, p.data(), (int)p.size(), MARGEN_US);
    EXPECT_EQ(std::make_pair(f.refrescos, f.imagenes), std::make_pair(0, 0));
}

// Damage reports -> pictures: reports of one operation, or painting apart within 1 ms, are one
// picture (time of the last); painting again over the same pixels, or later, is a new picture.
TEST(Refrescos, ImagenesDeLosAvisosDeDano)
{
    const struct { const char *caso; std::vector<Dano> d; std::vector<int64_t> imagenes; } casos[] = {
        {"una operacion de tres rectangulos",
         {{1000, 0, 0, 10, 10, true}, {1010, 0, 0, 10, 10, true}, {1020, 0, 0, 10, 10, false}}, {1020}},
        {"dos franjas seguidas", {{1000, 0, 0, 960, 288, false}, {1300, 0, 288, 960, 288, false}}, {1300}},
        {"la misma franja otra vez", {{1000, 0, 0, 960, 576, false}, {1300, 0, 0, 960, 576, false}}, {1000, 1300}},
        {"se tocan en una fila", {{1000, 0, 0, 960, 289, false}, {1300, 0, 288, 960, 288, false}}, {1000, 1300}},
        {"franjas apartadas en el tiempo",
         {{1000, 0, 0, 960, 288, false}, {2001, 0, 288, 960, 288, false}}, {1000, 2001}},
        {"juego a 75 Hz", {{0, 0, 0, 960, 576, false}, {10400, 0, 0, 960, 576, false}, {31200, 0, 0, 960, 576, false}},
         {0, 10400, 31200}},
        {"ninguno", {}, {}},
    };
    for (const auto &c : casos) {
        std::vector<int64_t> imagenes;
        agrupa_imagenes(c.d.data(), (int)c.d.size(), &imagenes);
        EXPECT_EQ(imagenes, c.imagenes) << c.caso;
    }
}
