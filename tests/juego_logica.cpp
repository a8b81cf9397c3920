// Play: lanes and contacts, scoring, extra lives and the win, the effect timelines at 59.94, 60,
// 75 and 144 Hz, lives and speeds by difficulty. The real logic tick runs on memory bitmaps.
#include <algorithm>
#include <cstring>

#include "game/presoverganec.h"
#include "shared/pantalla.h"
#include "shared/ritmo.h"
#include "tests/partida.h"
#include "tests/prueba.h"

namespace {

// A fresh level in memory at clock rate hz, pace ritmo and full speed v (pixels per tick), started
// as the frame loops start it: plain blocks, no enemy, no key held.
void nivel_nuevo(int hz, float v, int ritmo = RITMO_LLENO)
{
    partida_nueva(hz, 1, 0, ritmo);
    memset(enemi, 0, ENE_BYTES);
    std::fill(key, key + KEY_MAX, 0);
    nivel = 1, niveles = 3, nscro = v;
    prepara_nivel();
}

// Puts the road so that the enemy column col stands at screen x sx.
void delante(int col, int sx) { scr5 = 0, scr1 = BLOQUE_W * col + PANTALLA_W - sx; }

// nivel_nuevo with record 0 an enemy of type tipo on the truck's lane at screen x 40: met in the next tick.
void ante_el_camion(int hz, float v, int tipo, int ritmo = RITMO_LLENO)
{
    nivel_nuevo(hz, v, ritmo);
    ene_pon(0, 40, 72, tipo);
    delante(40, 40);
}

// n logic ticks, the clock moving one tick before each.
void logica(int n)
{
    for (int i = 0; i < n; i++) {
        tick = tick + 1;
        act_logica();
    }
}

// Ticks until cond holds (at most 5000); -1 when it never does.
template <class F> int hasta(F cond)
{
    for (int n = 1; n <= 5000; n++) {
        logica(1);
        if (cond())
            return n;
    }
    return -1;
}

}  // namespace

// Contact: the enemy's screen x 0..79 and the truck on the enemy's lane (row offset + 48).
TEST(Juego, ContactosPorPosicionYCarril)
{
    struct { int sx, fila; float y; int tipo; } casos[] = {
        {0, 3, 120, 1},  {79, 3, 120, 1}, {80, 3, 120, 0}, {-1, 3, 120, 0},
        {40, 2, 120, 0}, {40, 2, 96, 5},  {40, 1, 72, 7},  {40, 4, 144, 6},
    };
    for (auto &c : casos) {
        nivel_nuevo(75, 0);
        ene_pon(5, 40, BLOQUE_H * c.fila, c.tipo ? c.tipo : 1);
        delante(40, c.sx);
        y = c.y, sprcol = -1;
        int tipo = enemivieja(0), col = sprcol;
        EXPECT_EQ(std::make_tuple(tipo, col, enemivieja(1)), std::make_tuple(c.tipo, c.tipo ? 5 : -1, 0))
            << "sx " << c.sx << " fila " << c.fila << " y " << c.y << " (the second look: no contact)";
    }
}

// The on-screen list: enemies with screen x in (-36, 318), at most 30, picture type - 1, y row + 20.
TEST(Juego, ListaDeEnemigosEnPantalla)
{
    nivel_nuevo(75, 0);
    delante(100, 0);   // column 100 at screen x 0
    for (int i = 0; i < 40; i++)
        ene_pon(i, 99 + i / 4, BLOQUE_H * (i % 4), 1 + i % 5);
    ene_pon(40, 98, 0, 1);   // screen x -64: not listed
    enemivieja(1);
    EXPECT_EQ(spr_cant, MAX_SPRITE_DIV);
    EXPECT_EQ(std::vector<int>({sprite_div[0][0], sprite_div[0][1], sprite_div[0][2], sprite_div[29][2]}),
              std::vector<int>({0, 20, -32, 7 * BLOQUE_W - 32}));
    ene_pon(0, 109, 0, 1);   // screen x 288 (listed), 320 is not
    ene_pon(1, 110, 0, 1);
    memset(enemi + 2 * ENE_REG, 0, ENE_BYTES - 2 * ENE_REG);
    enemivieja(1);
    EXPECT_EQ(spr_cant, 1);
}

// What a contact does, by enemy type: points, what the record becomes, the explosion.
TEST(Juego, PuntosPorTipo)
{
    struct { int tipo, puntos, despues; bool fuego; } casos[] = {{1, 200, 8, false}, {5, 200, 8, false}, {7, 50, 0, false},
                                                                 {6, 0, 0, true}, {8, 0, 8, false}};
    for (auto &c : casos) {
        ante_el_camion(75, 0, c.tipo);
        logica(1);
        EXPECT_EQ(std::make_tuple(puntos, ene_tipo(0), fuego > 0), std::make_tuple(c.puntos, c.despues, c.fuego))
            << "tipo " << c.tipo;
        logica(5);
        EXPECT_EQ(puntos, c.puntos) << "a contact counts once";
    }
}

// An extra life at every 10000 points, from the score reached in the tick.
TEST(Juego, VidasExtra)
{
    struct { int antes, bvid, vidas, bvid_despues; } casos[] = {{9950, 1, 6, 2}, {9949, 1, 5, 1}, {19950, 2, 6, 3},
                                                                 {19950, 1, 6, 2}, {29949, 3, 5, 3}};
    for (auto &c : casos) {
        ante_el_camion(75, 0, 7);
        puntos = c.antes, bvid = c.bvid;
        logica(1);
        EXPECT_EQ(std::make_pair(vidas, bvid), std::make_pair(c.vidas, c.bvid_despues)) << c.antes;
    }
}

// A level starts with the road advanced by the screen and one block, the truck on lane 2, no enemy
// listed; at the end of the road the truck drives off the screen, then the next level or, after the
// last, the win.
TEST(Juego, FinDelCaminoYVictoria)
{
    struct { int nivel, niveles, estado; } casos[] = {{1, 3, EST_NIVEL_OK}, {2, 3, EST_NIVEL_OK}, {3, 3, EST_GANO},
                                                       {1, 1, EST_GANO}};
    for (auto &c : casos) {
        nivel_nuevo(75, 6);
        ene_pon(0, 5, 0, 1);   // on the first screen, off the truck's lane
        prepara_nivel();
        EXPECT_EQ(std::make_tuple(scr1, y, pos, spr_cant), std::make_tuple(352, 120.0f, 2, 0));
        nivel = c.nivel, niveles = c.niveles;
        int n = hasta([] { return cambnib != EST_JUEGO; });
        EXPECT_EQ(std::make_tuple((int)cambnib, scr5, x), std::make_tuple(c.estado, (int)PASADAS, (float)PANTALLA_W))
            << c.nivel << "/" << c.niveles;
        EXPECT_EQ(n, (4 * 6400 - 352) / 6 + 280) << "the road, then 280 pixels of driving off";
    }
}

// Timelines, in ticks at each display rate (the clock ticks once per refresh, the time scale takes
// the rounded rate): a lane change, the truck's frames, the splash (the road at one pixel per 1/75 s,
// lanes at half speed, keys read every 4th tick), the explosion (the road stands still, a life is
// taken, the explosion ends), game over on the last life. In seconds each is the 75 Hz one, within
// the ticks' steps (and 0.1 % longer at 59.94 Hz).
TEST(Juego, LineasDeTiempoPorRefresco)
{
    struct Linea { double refresco; int carril, cuadro, sangre, carril_sangre, vida, fin; } casos[] = {
        {75, 12, 11, 80, 82, 237, 480}, {60, 10, 9, 64, 66, 189, 385}, {59.94, 10, 9, 64, 66, 189, 385},
        {144, 24, 21, 154, 159, 454, 921},
    };
    for (auto &c : casos) {
        int hz = elige_ritmo(c.refresco, 0).max_fps;
        // Seconds on the display against those at 75 Hz: within a step of 4 ticks (keys, frames) and 0.5 %.
        for (int Linea::*m : {&Linea::carril, &Linea::sangre, &Linea::carril_sangre, &Linea::vida, &Linea::fin})
            EXPECT_NEAR(c.*m / c.refresco, casos[0].*m / 75.0, 4.0 / c.refresco + casos[0].*m / 75.0 * 0.005)
                << c.refresco << ": " << c.*m << " ticks";
        nivel_nuevo(hz, 5);
        key[KEY_DOWN] = 1;
        EXPECT_TRUE(hasta([] { return y == 144.0f; }) == c.carril && pos == 3) << c.refresco;
        key[KEY_DOWN] = 0;
        int s0 = s;
        int t1 = hasta([&] { return s != s0; });
        int t2 = hasta([&] { return s != (s0 + 1) % 5; });
        EXPECT_EQ(t2, c.cuadro) << c.refresco << " (" << t1 << ")";

        for (int carril = 0; carril < 2; carril++) {
            ante_el_camion(hz, 5, 2);
            logica(1);
            EXPECT_EQ(std::make_tuple(nscr2, cammov, sanani[0].y), std::make_tuple(animcon, 1, 120 - 35))
                << "the road at one pixel per 1/75 s, lanes at half speed";
            key[KEY_UP] = carril;
            EXPECT_EQ(carril ? hasta([] { return y == 96.0f; }) : hasta([] { return nscr2 == nscro; }),
                      carril ? c.carril_sangre : c.sangre) << c.refresco;
            EXPECT_EQ(cammov, 2);
        }
        for (int ultima = 0; ultima < 2; ultima++) {
            ante_el_camion(hz, 5, 6);
            vidas = ultima ? 0 : 1;
            logica(1);
            int p = scr1;
            EXPECT_EQ(hasta([] { return nscr2 != 0; }) + 1, c.vida) << c.refresco;
            EXPECT_EQ(std::make_tuple(scr1, vidas, (int)cambnib), std::make_tuple(p, 0, ultima ? EST_GAMEOVER : EST_JUEGO))
                << "the road stood still; the last spare life is taken, then the game ends";
            EXPECT_EQ(hasta([] { return fuego == 0; }) + c.vida, c.fin) << c.refresco;
        }
    }
}

// The road's speed in pixels per second is the same at every display rate the clock follows: the
// base speed (4 px per 1/75 s) times the level's code (x1, x1.5, x2; codes the editor does not
// write as x1), times the pace. A rate the driver cannot tell is taken as 75 Hz. Every timer of
// play goes by the same time scale: at 70 % the explosion lasts 1 / 0.7 as long.
TEST(Juego, VelocidadEnPixelesPorSegundo)
{
    const double por_codigo[] = {300, 300, 450, 600, 300};
    for (double refresco : {50.0, 59.94, 60.0, 75.0, 120.0, 144.0, 165.0, 240.0})
        for (int codigo = 0; codigo <= 4; codigo++)
            for (int ritmo : {100, 85, 70}) {
                EleccionRitmo e = elige_ritmo(refresco, 0);
                nivel_nuevo(e.max_fps, 0, ritmo);
                nscr2 = nscro = velocidad_nivel(4.0f, codigo, animcon);   // as a game makes the level's speed
                int antes = scr1;
                logica(e.max_fps * 2);
                EXPECT_NEAR((scr1 - antes) / 2.0, por_codigo[codigo] * ritmo / 100, 1) << refresco << " Hz, codigo " << codigo;
                if (codigo == 1 && (refresco == 60 || refresco == 75))
                    printf("[ ritmo ] %.0f Hz %3d %%: el camino a %.1f px/s\n", refresco, ritmo, (scr1 - antes) / 2.0);
            }
    EXPECT_EQ(tasa_logica(0), 75);
    for (int ritmo : {100, 70}) {
        ante_el_camion(60, 5, TIPO_EXPLOSIVO, ritmo);
        logica(1);
        EXPECT_NEAR(hasta([] { return fuego == 0; }) / 60.0, 6.4 * 100 / ritmo, 0.05) << ritmo;
    }
}

// The difficulty menu (opens on the middle entry, wraps) sets lives and base speed; a
// damaged first level stops the run with a card and a line naming it.
TEST(Juego, VidasYVelocidadPorDificultad)
{
    static const int *guion;
    struct { int teclas[5]; int difi, vidas; float base; } casos[] = {
        {{KEY_ENTER}, 1, 5, 4}, {{KEY_UP, KEY_ENTER}, 0, 6, 3},
        {{KEY_DOWN, KEY_ENTER}, 2, 4, 5}, {{KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_ENTER}, 1, 5, 4},
        {{KEY_UP, KEY_UP, KEY_ENTER}, 2, 4, 5},
    };
    CarpetaTemporal t(SUBCARPETAS);
    escribe_archivo("levels/a.map", Bytes(100));
    buscaarch();
    active_page = create_bitmap(PANTALLA_W, PANTALLA_H);
    lee_tecla = [] { return *guion++ << 8; };
    for (auto &c : casos) {
        guion = c.teclas, max_fps = 0, cambnib = EST_JUEGO, bvid = 7;   // max_fps 0: the cards do not wait
        std::string err = stderr_de(game);
        EXPECT_EQ(std::make_tuple(difi, vidas, nscr3, bvid, (int)cambnib), std::make_tuple(c.difi, c.vidas, c.base, 1, EST_TITULO))
            << "bvid 1: the first extra life at 10000";
        EXPECT_NE(err.find("levels/a.map"), std::string::npos) << err;
    }
    static const int esc[] = {KEY_ESC};
    guion = esc;
    game();
    EXPECT_EQ(cambnib, EST_SALIR);
}

// A run over a catalogue with damaged levels: each one's card names it and the run goes on with
// the next; completing every level that could be read wins; a catalogue with none ends at the
// title. The good level is played whole by the real frame loop (from its last column, on a fast
// clock), on the shipped pictures.
TEST(Juego, NivelDanadoSeSaltaYLaPartidaSigue)
{
    const struct { std::vector<const char *> niveles; const char *buenos; int estado; } casos[] = {
        {{"0roto", "1bueno", "2roto"}, "1", EST_GANO}, {{"0roto", "1roto"}, "", EST_TITULO},
        {{"0bueno", "1roto", "2bueno"}, "02", EST_GANO},
    };
    CarpetaTemporal t(DATOS_REALES);
    static bool cargado = false;
    if (!cargado) {
        ASSERT_TRUE(CargarBMP());
        ASSERT_TRUE(prepara_lienzo(1, 0, 0));
        pvirtual = create_bitmap(PANTALLA_W, PANTALLA_H);
        cargado = true;
    }
    nivel_nuevo(75, 4);
    Bytes bueno = lee_archivo("levels/nivel_01.map");
    RelojRapido reloj(130);   // 75 Hz of play a hundred times faster
    static const int enter[] = {KEY_ENTER};
    static const int *guion;
    lee_tecla = [] { return *guion << 8; };
    for (auto &c : casos) {
        system("rm -f levels/*.map");
        for (const char *n : c.niveles)
            escribe_archivo(std::string("levels/") + n + ".map",
                            strstr(n, "bueno") ? bueno : Bytes(7, 1));
        buscaarch();
        guion = enter;
        max_fps = 75, desde_col = ENE_COLS - 1, cambnib = EST_JUEGO, salir = 0, active_page = lienzo;
        std::string err = stderr_de(game);
        EXPECT_EQ(cambnib, c.estado) << c.niveles.size() << " " << c.buenos << ": " << err;
        for (const char *n : c.niveles)
            EXPECT_EQ(err.find(std::string("levels/") + n) != std::string::npos, strstr(n, "roto") != NULL)
                << n << ": " << err;
    }
    desde_col = -1;
}

// The screens' waits last at least the given seconds of the logic clock.
TEST(Juego, EsperasDePantalla)
{
    max_fps = 100;
    RelojRapido reloj(200);
    delay(0.5f);
    EXPECT_GE(reloj.dados, 50);
}
