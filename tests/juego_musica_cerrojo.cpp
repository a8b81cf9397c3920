// The music lock: the callback never waits for the main flow, and the main flow and the callback
// can start, poll, adjust and stop songs at the same time without tearing anything.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "game/almp3.h"
#include "game/mp3.h"
#include "game/musica.h"
#include "game/utilfun.h"
#include "musica_oido.h"
#include "prueba.h"

namespace {

namespace fs = std::filesystem;
using reloj = std::chrono::steady_clock;

// A folder with three short songs in mp3/, the table and a fresh order; the null sound driver.
void prepara_canciones(CarpetaTemporal &t)
{
    static bool sonido = false;
    if (!sonido)
        install_sound(DIGI_NONE, MIDI_NONE, NULL);
    sonido = true;
    t.subcarpetas();
    ASSERT_TRUE(haz_mp3("mp3/uno.mp3", 0.4, 440, 44100, 2));
    fs::copy_file("mp3/uno.mp3", "mp3/dos.mp3");
    fs::copy_file("mp3/uno.mp3", "mp3/tres.mp3");
    buscaarchmp3();
    ASSERT_EQ(3, musicas);
    armalistamusica();
}

TEST(MusicaCerrojo, ElCallbackSaltaSuTurnoSiElCerrojoEstaTomado)
{
    CarpetaTemporal t;
    prepara_canciones(t);
    playmp3();
    ASSERT_EQ(1, mp3est);
    almp3_cuenta antes, despues;
    almp3_cuenta_mp3stream(mp3->stream, &antes);

    musica_bloquea();
    auto inicio = reloj::now();
    std::thread callback([] {
        for (int i = 0; i < 40; i++)
            mp3actualiza();
    });
    callback.join();
    auto espera = reloj::now() - inicio;
    almp3_cuenta_mp3stream(mp3->stream, &despues);
    musica_libera();

    // each turn gives up after a couple of milliseconds (a blocking turn would never return here);
    // the bound is loose so that a loaded machine does not fail it
    EXPECT_LT(espera, std::chrono::milliseconds(3000));
    EXPECT_EQ(antes.trozos_pedidos, despues.trozos_pedidos);
    EXPECT_EQ(antes.bytes_recibidos, despues.bytes_recibidos);

    std::thread otro([] { mp3actualiza(); });   // free again: the callback works
    otro.join();
    stopmp3();
    EXPECT_EQ(0, mp3est);
}

TEST(MusicaCerrojo, ElDibujoDeLaLineaNoEsperaALaMusica)
{
    std::atomic<bool> tomado{false};
    std::thread musica([&] {
        musica_bloquea();
        tomado = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        musica_libera();
    });
    while (!tomado)
        std::this_thread::yield();
    auto inicio = reloj::now();
    char linea[64];
    copia_mensa(linea, sizeof linea);
    EXPECT_LT(reloj::now() - inicio, std::chrono::milliseconds(100));
    musica.join();
}

TEST(MusicaCerrojo, ArranqueSondeoAjusteYParadaAlMismoTiempo)
{
    CarpetaTemporal t;
    prepara_canciones(t);
    std::atomic<bool> sigue{true};
    std::atomic<int> turnos{0};
    std::thread callback([&] {   // stands in for the timer: the callback, again and again
        while (sigue) {
            mp3actualiza();
            turnos++;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    int partidas = 0;
    char linea[64];
    auto fin = reloj::now() + std::chrono::seconds(3);
    while (reloj::now() < fin) {
        playmp3();   // level start
        ajusta_mp3(255, 128, 1000);
        for (int i = 0; i < 5; i++) {
            copia_mensa(linea, sizeof linea);
            ASSERT_EQ(0, strncmp(linea, "Sonando:", 8)) << linea;
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
        ajusta_mp3(100, 128, 1000);   // level end
        if (++partidas % 3 == 0)
            stopmp3();   // game end
    }
    sigue = false;
    callback.join();
    stopmp3();
    EXPECT_EQ(0, mp3est);
    EXPECT_EQ(nullptr, mp3);
    EXPECT_GT(turnos.load(), 100);
    EXPECT_GT(partidas, 100);
}

}  // namespace
