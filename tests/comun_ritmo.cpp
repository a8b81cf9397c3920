// The display's pace: the rate chosen from what the display tells, the rate measured from vblank
// notifications, and the clock that follows them and hands over to its timer when they stop.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "shared/ritmo.h"

namespace {

const long long P60 = RITMO_US_SEG / 60;   // a 60 Hz refresh, microseconds

// A notification source for the clock, as its thread sees it: the refreshes that come (counter and
// time), in order. corre runs the clock's loop over them until fin_us and counts what it gave.
struct Guion {
    std::vector<std::pair<unsigned long long, long long>> avisos;   // msc, time (us)
    size_t i = 0;
    int ticks = 0;
    long long cambio_us = -1;   // when the timer last took over (-1: never)
    long long vuelta_us = -1;   // when the notifications last took the ticks back

    void corre(Reloj *r, long long fin_us)
    {
        for (;;) {
            long long limite = reloj_limite(r);
            bool aviso = i < avisos.size() && avisos[i].second < limite;
            long long t = aviso ? avisos[i].second : limite;
            if (t > fin_us)
                return;
            int antes = r->por_vblank;
            ticks += aviso ? reloj_vblank(r, avisos[i++].first, t) : reloj_vence(r, t);
            if (antes != r->por_vblank)
                (antes ? cambio_us : vuelta_us) = t;
        }
    }
    // Refreshes msc0.. every periodo from t0 up to t1 (not included).
    void refrescos(unsigned long long msc0, long long t0, long long t1, long long periodo = P60)
    {
        for (long long t = t0; t < t1; t += periodo)
            avisos.push_back({msc0++, t});
    }
};

}  // namespace

// The rate of the logic clock from RandR's rate and the measured vblank: the display's rate from
// 50 to 240 Hz, rounded for the time scale (the ticks still follow each refresh); else 75 Hz.
TEST(Ritmo, EleccionPorTabla)
{
    struct { double randr, medido; int max_fps; float animcon; int fuente; const char *texto; } casos[] = {
        {60, 0, 60, 1.25f, FUENTE_RANDR, "RandR 60.00 Hz"}, {59.94, 0, 60, 1.25f, FUENTE_RANDR, "RandR 59.94 Hz"},
        {75, 0, 75, 1.0f, FUENTE_RANDR, "RandR 75.00 Hz"}, {144, 0, 144, 75.0f / 144, FUENTE_RANDR, "RandR 144.00 Hz"},
        {240, 0, 240, 0.3125f, FUENTE_RANDR, "RandR 240.00 Hz"}, {50, 0, 50, 1.5f, FUENTE_RANDR, "RandR 50.00 Hz"},
        {300, 0, 75, 1.0f, FUENTE_TEMPORIZADOR, "temporizador 75 Hz (300.00 Hz)"},
        {49, 0, 75, 1.0f, FUENTE_TEMPORIZADOR, "temporizador 75 Hz (49.00 Hz)"},
        {0, 60.02, 60, 1.25f, FUENTE_VBLANK, "vblank medido 60.0 Hz"},
        {0, 143.8, 144, 75.0f / 144, FUENTE_VBLANK, "vblank medido 143.8 Hz"},
        {0, 0, 75, 1.0f, FUENTE_TEMPORIZADOR, "temporizador 75 Hz"},
        {0, 30, 75, 1.0f, FUENTE_TEMPORIZADOR, "temporizador 75 Hz (30.00 Hz)"},
        {60, 75, 60, 1.25f, FUENTE_RANDR, "RandR 60.00 Hz"},   // RandR's own rate wins
    };
    for (auto &c : casos) {
        EleccionRitmo e = elige_ritmo(c.randr, c.medido);
        char t[96];
        texto_ritmo(e, t, sizeof t);
        EXPECT_EQ(std::make_tuple(e.max_fps, e.animcon, e.fuente, std::string(t)),
                  std::make_tuple(c.max_fps, c.animcon, c.fuente, c.texto)) << c.randr << " " << c.medido;
    }
}

// The rate from a few notifications: Xvfb stamps its refreshes from a millisecond timer (16, 17,
// 17 ms...), a loaded machine makes one late; a skipped refresh counts by its counter.
TEST(Ritmo, MedidaDeLosVblank)
{
    struct { std::vector<long long> ms; std::vector<unsigned long long> msc; double hz, tolerancia; } casos[] = {
        {{0, 16, 33, 50, 66, 83, 100, 116, 133, 150, 166, 183}, {}, 60.0, 0.3},
        {{0, 16, 33, 50, 66, 86, 100, 116, 133, 150, 166, 183}, {}, 60.0, 0.6},   // one 3 ms late
        {{0, 17, 50, 67, 83, 100}, {1, 2, 4, 5, 6, 7}, 60.0, 0.6},                 // refresh 3 unseen
        {{0, 7, 14, 21, 28, 35, 42}, {}, 1000.0 / 7, 0.01}, {{0}, {}, 0, 0}, {{}, {}, 0, 0},
    };
    for (auto &c : casos) {
        unsigned long long msc[MIDE_REFRESCOS], ust[MIDE_REFRESCOS];
        int n = (int)c.ms.size();
        for (int i = 0; i < n; i++) {
            msc[i] = c.msc.empty() ? 500 + i : c.msc[i];
            ust[i] = 1000000000ULL + c.ms[i] * 1000;
        }
        EXPECT_NEAR(hz_de_vblanks(msc, ust, n), c.hz, c.tolerancia) << n;
    }
    struct { double medido, comun; } tasas[] = {
        {58.3, 60}, {61.5, 60}, {59.94, 60}, {57.0, 57.0}, {143.1, 144}, {164, 165}, {66.6, 66.6}, {0, 0}, {300, 300},
    };
    for (auto &t : tasas)
        EXPECT_DOUBLE_EQ(hz_comun(t.medido), t.comun) << t.medido;
}

// While the notifications come, each refresh is one tick (a refresh seen late gives the ones it
// passed, one seen twice none); nothing else ticks.
TEST(Ritmo, RelojSigueLosVblank)
{
    Reloj r;
    reloj_inicia(&r, 60, 0, true);
    Guion g;
    g.refrescos(1000, 10000, 10000 + 60 * P60);
    g.avisos.push_back({1061, 10000 + 61 * P60});   // 1060 seen late: two ticks
    g.avisos.push_back({1061, 10000 + 61 * P60 + 100});   // an answer to an earlier request
    g.avisos.push_back({1062, 10000 + 62 * P60});
    g.avisos.push_back({7, 10000 + 63 * P60});   // another monitor's counter (a new window)
    g.avisos.push_back({8, 10000 + 64 * P60});
    g.corre(&r, 10000 + 64 * P60);
    EXPECT_EQ(std::make_tuple(g.ticks, r.por_vblank, g.cambio_us), std::make_tuple(65, 1, -1LL));
}

// No notification from the start (Present there, but the window gets none): the timer ticks from the
// limit on, at the clock's rate.
TEST(Ritmo, SinAvisosDesdeElPrincipio)
{
    Reloj r;
    reloj_inicia(&r, 60, 0, true);
    Guion g;
    g.corre(&r, RITMO_US_SEG);
    EXPECT_EQ(std::make_pair(g.cambio_us, r.por_vblank), std::make_pair((long long)PLAZO_VBLANK_US, 0));
    EXPECT_NEAR(g.ticks, 60, 1) << "a second is sixty ticks, notifications or not";
}

// The notifications stop (a hidden window) for two seconds, one lone one comes in the silence, then
// they come back: the timer takes over within 100 ms and keeps the clock's pace, the lone one changes
// nothing, two in a row give the ticks back; over the whole run the ticks are the time's.
TEST(Ritmo, DelVblankAlTemporizadorYDeVuelta)
{
    struct { int hz; long long periodo; } casos[] = {{60, P60}, {144, RITMO_US_SEG / 144}, {50, RITMO_US_SEG / 50}};
    for (auto &c : casos) {
        Reloj r;
        reloj_inicia(&r, c.hz, 0, true);
        Guion g;
        long long para = RITMO_US_SEG, vuelve = 3 * RITMO_US_SEG, fin = 4 * RITMO_US_SEG;
        g.refrescos(1, 0, para, c.periodo);
        unsigned long long msc = g.avisos.back().first;
        long long ultimo = g.avisos.back().second;
        g.avisos.push_back({msc + 60, 2 * RITMO_US_SEG});   // a hidden window's rare one
        g.refrescos(msc + 200, vuelve, fin, c.periodo);
        g.corre(&r, vuelve - 1);
        EXPECT_TRUE(r.por_vblank == 0 && g.cambio_us > ultimo && g.cambio_us - ultimo <= 100000 && g.vuelta_us == -1)
            << c.hz << ": the timer takes over within 100 ms (" << g.cambio_us - ultimo << " us), a lone notification "
            << "does not take the ticks back";
        g.corre(&r, fin);
        EXPECT_EQ(std::make_pair(r.por_vblank, g.vuelta_us), std::make_pair(1, vuelve + c.periodo))
            << c.hz << ": the second notification in a row";
        EXPECT_NEAR(g.ticks, 4 * c.hz, 2) << c.hz << ": four seconds of ticks, none lost or doubled";
    }
}

// After a stall (a suspended machine) the timer does not make up more than a few ticks at once.
TEST(Ritmo, TemporizadorTrasUnaParada)
{
    Reloj r;
    reloj_inicia(&r, 75, 0, false);
    EXPECT_EQ(reloj_limite(&r), RITMO_US_SEG / 75);
    const int dados[] = {reloj_vence(&r, RITMO_US_SEG / 75 - 1), reloj_vence(&r, RITMO_US_SEG / 75),
                         reloj_vence(&r, 3 * RITMO_US_SEG / 75 + 10), reloj_vence(&r, 60 * RITMO_US_SEG)};
    EXPECT_EQ(std::vector<int>(dados, dados + 4), std::vector<int>({0, 1, 2, RITMO_MAX_SALTO}));
    EXPECT_EQ(reloj_limite(&r), 60 * RITMO_US_SEG + RITMO_US_SEG / 75);
}
