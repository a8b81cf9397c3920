// The title sequence in a real window with a running clock: its exits and its attract loop.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>

#include "game/main.h"
#include "game/presoverganec.h"
#include "game/utilfun.h"
#include "prueba.h"

namespace {

using reloj = std::chrono::steady_clock;

enum { ACELERA = 40 };   // the logic clock runs this many times faster than in the game

// What the watcher saw on the screen, in order: 'P' prompt shown, 'p' title without prompt,
// '1'..'3' the ranking tables.
struct Vigia {
    std::atomic<bool> fin{false};
    std::thread hilo;
    std::string visto;
    BITMAP *titulo_con = nullptr, *titulo_sin = nullptr, *tablas[3] = {};
    std::atomic<int> tablas_vistas{0};
    std::atomic<int> cambios_prompt{0};
    void (*al_ver_tabla)(int) = nullptr;   // called from the watcher on each new table

    Vigia()
    {
        titulo_sin = create_bitmap(320, 240);
        blit(imagen2, titulo_sin, 0, 0, 0, 0, 320, 240);
        titulo_con = create_bitmap(320, 240);
        blit(imagen2, titulo_con, 0, 0, 0, 0, 320, 240);
        textprintf_centre_ex(titulo_con, font, 160, 160, 4, -1, "APRETA ENTER");
        const char *n[] = {"RANKING - VOY DE PASEO", "RANKING - QUIERO JUGAR", "RANKING - SOY JODIDO"};
        for (int t = 0; t < 3; t++) {
            tablas[t] = create_bitmap(320, 240);
            clear_bitmap(tablas[t]);
            textprintf_centre_ex(tablas[t], font, 160, 5, -1, -1, "%s", n[t]);
        }
    }
    void empieza()
    {
        hilo = std::thread([this] {
            BITMAP *f = create_bitmap(320, 240);
            while (!fin) {
                blit(screen, f, 0, 0, 0, 0, 320, 240);
                char c = 0;
                if (igual(f, titulo_con, 150, 170))
                    c = 'P';
                else if (igual(f, titulo_sin, 150, 170))
                    c = 'p';
                for (int t = 0; t < 3; t++)
                    if (igual(f, tablas[t], 0, 28))
                        c = (char)('1' + t);
                if (c && (visto.empty() || visto.back() != c)) {
                    visto.push_back(c);
                    if (c >= '1' && c <= '3') {
                        tablas_vistas++;
                        if (al_ver_tabla)
                            al_ver_tabla(c - '0');
                    }
                }
                std::this_thread::sleep_for(std::chrono::microseconds(500));
            }
            destroy_bitmap(f);
        });
    }
    static bool igual(BITMAP *p, BITMAP *q, int y0, int y1)
    {
        for (int yy = y0; yy < y1; yy++)
            if (memcmp(p->line[yy], q->line[yy], 320) != 0)
                return false;
        return true;
    }
    ~Vigia()
    {
        fin = true;
        if (hilo.joinable())
            hilo.join();
        destroy_bitmap(titulo_con);
        destroy_bitmap(titulo_sin);
        for (BITMAP *b : tablas)
            destroy_bitmap(b);
    }
};

class TituloX : public ::testing::Test {
protected:
    CarpetaTemporal carpeta;
    FONT *fuente_antes = nullptr;
    DATAFILE *fuentes = nullptr;

    void SetUp() override
    {
        static bool listo = false;
        if (!listo) {
            ASSERT_EQ(set_gfx_mode(GFX_AUTODETECT_WINDOWED, 320, 240, 0, 0), 0) << allegro_error;
            install_keyboard();
            install_sound(DIGI_NONE, MIDI_NONE, NULL);
            max_fps = 75;
            install_int_ex(ticks, BPS_TO_TIMER(75 * ACELERA));
            listo = true;
        }
        copia_datos_reales();
        ASSERT_TRUE(CargarBMP());
        ASSERT_TRUE(carga_sonidos());
        fuente_antes = font;
        fuentes = load_datafile("datos/font.dat");
        ASSERT_TRUE(fuentes);
        font = (FONT *)fuentes[1].dat;
        active_page = screen;
        clear_bitmap(screen);
        bg = -1;
        cambnib = EST_TITULO;
        salir = 0;
        for (int i = 0; i < KEY_MAX; i++)
            key[i] = 0;
        clear_keybuf();
    }
    void TearDown() override
    {
        for (int i = 0; i < KEY_MAX; i++)
            key[i] = 0;
        font = fuente_antes;
        if (fuentes)
            unload_datafile(fuentes);
        DestruyeSonidos();
        DestruyeBMP();
    }
};

double segundos_desde(reloj::time_point t0)
{
    return std::chrono::duration<double>(reloj::now() - t0).count();
}

}  // namespace

TEST_F(TituloX, EnterEmpiezaEnterGanaAEscYEscSale)
{
    struct { bool enter, esc; int estado; } casos[] = {
        {true, false, EST_JUEGO}, {true, true, EST_JUEGO} /* both held: ENTER wins */, {false, true, EST_SALIR}};
    for (auto &k : casos) {
        SCOPED_TRACE(std::to_string(k.enter) + " " + std::to_string(k.esc));
        cambnib = EST_TITULO;
        key[KEY_ENTER] = k.enter ? (char)-1 : 0;
        key[KEY_ESC] = k.esc ? (char)-1 : 0;
        Vigia v;
        v.empieza();
        presentacion();
        v.fin = true;
        v.hilo.join();
        EXPECT_EQ(cambnib, k.estado);
        EXPECT_EQ(v.tablas_vistas, 0);
        if (k.estado != EST_JUEGO)
            continue;
        // one blink cycle: the prompt was on screen when the title left
        BITMAP *f = create_bitmap(320, 240);
        blit(screen, f, 0, 0, 0, 0, 320, 240);
        EXPECT_TRUE(Vigia::igual(f, v.titulo_con, 0, 240)) << v.visto;
        destroy_bitmap(f);
        PALETTE p;
        get_palette(p);
        EXPECT_EQ(memcmp(p, the_palette2, sizeof(PALETTE)), 0);
    }
}

namespace {
// CPU seconds the calling thread has used so far.
double cpu_del_hilo()
{
    rusage r;
    getrusage(RUSAGE_THREAD, &r);
    return r.ru_utime.tv_sec + r.ru_utime.tv_usec / 1e6 + r.ru_stime.tv_sec + r.ru_stime.tv_usec / 1e6;
}
}  // namespace

TEST_F(TituloX, CerrarLaVentanaCortaLaEsperaYLosFundidosNoOcupanElProcesador)
{
    std::thread cierra([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        close_hook();
    });
    Vigia v;
    v.empieza();
    auto t0 = reloj::now();
    double c0 = cpu_del_hilo();
    presentacion();   // fade in, the card's wait cut by the close, fade out
    double cpu = cpu_del_hilo() - c0;
    double dura = segundos_desde(t0);
    cierra.join();
    v.fin = true;
    v.hilo.join();
    EXPECT_EQ(cambnib, EST_SALIR);
    EXPECT_EQ(salir, 1);
    EXPECT_EQ(v.tablas_vistas, 0);
    EXPECT_EQ(v.visto.find('P'), std::string::npos) << "no blinking after a close: " << v.visto;
    // each fade: 64 steps of two retraces of the library's 70 Hz count, as its slowest fade; the
    // 18 s (0.45 s here) card wait was cut short
    EXPECT_GT(dura, 3.3);
    EXPECT_LT(dura, 6.0);
    EXPECT_LT(cpu / dura, 0.25) << cpu << " s of CPU in " << dura << " s: the fades sleep between steps";
}

namespace {
// On the last table: let go of SPACE and hold ESC.
void esc_en_tabla_3(int t)
{
    if (t == 3) {
        key[KEY_SPACE] = 0;
        key[KEY_ESC] = (char)-1;
    }
}
}  // namespace

TEST_F(TituloX, EspacioMuestraLasTresTablasYEscRetenidoAlFinalVuelve)
{
    key[KEY_SPACE] = (char)-1;
    Vigia v;
    v.al_ver_tabla = esc_en_tabla_3;
    v.empieza();
    presentacion();
    v.fin = true;
    v.hilo.join();
    // ESC held as the tables end: the title returns with the state unchanged (it will run again)
    EXPECT_EQ(cambnib, EST_TITULO);
    EXPECT_EQ(v.visto, "pP123") << "the title, one cycle with the prompt, then the three tables in order";
}

namespace {
void enter_en_tabla_2(int t)
{
    if (t == 2)
        key[KEY_ENTER] = (char)-1;
}
}  // namespace

TEST_F(TituloX, SinTeclas500CiclosYLuegoLasTablas)
{
    Vigia v;
    v.al_ver_tabla = enter_en_tabla_2;
    v.empieza();
    auto t0 = reloj::now();
    presentacion();
    double dura = segundos_desde(t0);
    v.fin = true;
    v.hilo.join();
    EXPECT_EQ(cambnib, EST_TITULO) << "ENTER during the tables does not start a game";
    std::string parp = v.visto.substr(0, v.visto.find('1'));
    // the title alone, then one picture per cycle (a busy machine may hide a few from the watcher)
    ASSERT_GE(parp.size(), 451u) << v.visto;
    EXPECT_LE(parp.size(), 501u);
    EXPECT_EQ(parp.substr(0, 2), "pP") << "the first cycle shows the prompt";
    for (size_t i = 1; i < parp.size(); i++)
        EXPECT_NE(parp[i], parp[i - 1]);
    EXPECT_EQ(v.visto.substr(v.visto.find('1')), "123");
    // 500 cycles of 0.2 s at 40 times the speed: at least 2.5 s
    EXPECT_GT(dura, 2.5);
    printf("blink pictures seen %zu, %.2f s\n", parp.size(), dura);
}
