// The music as heard: the real sound driver writes through ALSA's "file" device into a pipe that
// the test empties at a sound card's pace; the library's timer runs the music callback every
// 250 ms, and the captured sound is measured.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "game/mp3.h"
#include "game/musica.h"
#include "game/utilfun.h"
#include "musica_oido.h"
#include "prueba.h"

namespace {

namespace fs = std::filesystem;

const int BYTES_SEGUNDO = 44100 * 4;   // the capture's pace: 44100 Hz, 16-bit stereo

std::string tuberia;                 // the named pipe the sound device writes into
std::thread lector;                  // reads the pipe at the pace of a real sound card
std::atomic<bool> cerrando{false};   // the sound is being closed: read the rest at once
std::vector<short> capturado;        // what came through the pipe

// Takes the device's output from the pipe at exactly 44100 frames a second, so that the mixer and
// the music callback run against real time as with a sound card (the null device alone takes
// sound as fast as the library mixes it).
void lee_tuberia()
{
    int fd = open(tuberia.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return;
    std::vector<char> b(BYTES_SEGUNDO);
    std::vector<char> resto;
    long leidos = 0;
    bool abierta = false;
    auto inicio = std::chrono::steady_clock::now();
    for (;;) {
        long debidos = (long)(std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count() *
                              BYTES_SEGUNDO);
        long pide = cerrando ? (long)b.size() : std::min((long)b.size(), debidos - leidos);
        ssize_t n = pide > 0 ? read(fd, b.data(), pide) : -2;
        if (n > 0) {
            if (!abierta)
                inicio = std::chrono::steady_clock::now();
            abierta = true;
            leidos += n;
            resto.insert(resto.end(), b.data(), b.data() + n);
        } else if (n == 0 && (abierta || cerrando)) {
            break;   // the device closed its end
        }
        if (!cerrando || n <= 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    close(fd);
    for (size_t i = 0; i + 1 < resto.size(); i += 2)
        capturado.push_back((short)((unsigned char)resto[i] | (unsigned char)resto[i + 1] << 8));
}

// Points ALSA at the pipe through a private HOME, then installs sound as the game does
// (16 digital voices, the MIDI synthesizer with the patches of the given allegro.cfg).
bool abre_sonido(const char *cfg)
{
    static std::string casa;
    if (casa.empty()) {
        char plantilla[] = "/tmp/korvcasa.XXXXXX";
        casa = mkdtemp(plantilla);
        tuberia = casa + "/sonido";
        mkfifo(tuberia.c_str(), 0600);
        std::ofstream(casa + "/.asoundrc")
            << "pcm.!default { type plug; slave { pcm \"captura\"; format S16_LE; rate 44100; channels 2 } }\n"
            << "pcm.captura { type file; slave.pcm \"null\"; file \"" << tuberia << "\"; format \"raw\" }\n";
        setenv("HOME", casa.c_str(), 1);
    }
    capturado.clear();
    cerrando = false;
    lector = std::thread(lee_tuberia);
    if (cfg)
        set_config_file(cfg);
    reserve_voices(16, -1);
    if (install_sound(DIGI_AUTODETECT, cfg ? MIDI_AUTODETECT : MIDI_NONE, NULL) == 0)
        return true;
    cerrando = true;
    int fd = open(tuberia.c_str(), O_WRONLY | O_NONBLOCK);   // lets the reader see an end
    if (fd >= 0)
        close(fd);
    lector.join();
    return false;
}

// Closes the sound (which ends the capture) and hands over what was captured.
Sonido cierra_sonido()
{
    cerrando = true;
    remove_sound();
    lector.join();
    Sonido s;
    s.m = capturado;
    return s;
}

// The music state as the callback leaves it, read under the music lock.
struct Estado {
    int midiest, mp3est, mensaje, cursor;
    std::string linea;
};
Estado estado()
{
    musica_bloquea();
    Estado e{midiest, mp3est, mensaje, listamusica[MAX_MUSICAS], mensa};
    musica_libera();
    return e;
}

// The synthesizer's configuration and patches in the working folder, as beside the game.
void sintetizador()
{
    fs::copy_file(fs::path(KORV_DIR) / "allegro.cfg", "allegro.cfg");
    fs::copy(fs::path(KORV_DIR) / "digmid", "digmid", fs::copy_options::recursive);
}

void espera(double segundos)
{
    std::this_thread::sleep_for(std::chrono::milliseconds((int)(segundos * 1000)));
}

// A stretch of one tone in the capture: where it starts and ends (frames), its pitch and level.
struct Tramo {
    int ini = -1, fin = -1;
    double hz = 0;
    int pico = 0;
    double rms_min = 0;
};

// Finds the first stretch louder than the threshold from a frame on, up to a silence of 50 ms.
Tramo busca_tramo(const Sonido &s, int desde, int umbral = 500)
{
    Tramo t;
    int callado = 0;
    for (int i = desde; i < s.frames(); i++) {
        bool suena = std::abs(s.at(i, 0)) > umbral;
        if (t.ini < 0) {
            if (suena)
                t.ini = i;
            continue;
        }
        if (suena) {
            t.fin = i + 1;
            callado = 0;
        } else if (++callado > 2205) {
            break;
        }
    }
    if (t.ini >= 0 && t.fin > t.ini) {
        t.hz = s.frecuencia(0, t.ini, t.fin, 44100);
        t.pico = s.pico(0, t.ini, t.fin);
        // 10 ms windows, leaving out the codec's pre-echo and tail (20 ms at each end)
        t.rms_min = s.rms_minimo(0, t.ini + 882, t.fin - 882, 441);
    }
    return t;
}

TEST(MusicaOida, CancionesMp3SeOyenEnterasAfinadasYSinHuecos)
{
    CarpetaTemporal t;
    t.subcarpetas();
    // the highest bit rate: each chunk lasts least, the feeding is tightest
    ASSERT_TRUE(haz_mp3("mp3/tema1.mp3", 3.0, 440, 44100, 2, 0.5, "-b 320"));
    ASSERT_TRUE(haz_mp3("mp3/tema2.mp3", 2.0, 660, 22050, 1));
    ASSERT_TRUE(abre_sonido(NULL));
    buscaarchmp3();
    ASSERT_EQ(2, musicas);
    listamusica[0] = 0;
    listamusica[1] = 1;
    listamusica[MAX_MUSICAS] = 0;
    install_int(mp3actualiza, 250);
    playmp3();   // level start
    EXPECT_EQ("Sonando:tema1", estado().linea);
    ajusta_mp3(255, 128, 1000);
    espera(4.2);
    char linea[64];
    copia_mensa(linea, sizeof linea);
    EXPECT_STREQ("Sonando:tema2", linea);   // the callback went on to the next song
    espera(2.0);
    stopmp3();
    remove_int(mp3actualiza);
    EXPECT_EQ(0, mp3est);
    Sonido s = cierra_sonido();

    Tramo a = busca_tramo(s, 0);
    ASSERT_GE(a.ini, 0);
    Tramo b = busca_tramo(s, a.fin);
    ASSERT_GE(b.ini, 0);
    double largo_a = (a.fin - a.ini) / 44100.0, largo_b = (b.fin - b.ini) / 44100.0;
    double pausa = (b.ini - a.fin) / 44100.0;
    printf("tema1: %.4f s, %.2f Hz, pico %d, rms min %.0f | pausa %.3f s | tema2: %.4f s, %.2f Hz, pico %d, "
           "rms min %.0f\n",
           largo_a, a.hz, a.pico, a.rms_min, pausa, largo_b, b.hz, b.pico, b.rms_min);
    EXPECT_NEAR(3.0, largo_a, 0.01);
    EXPECT_NEAR(440.0, a.hz, 1.0);
    EXPECT_NEAR(2.0, largo_b, 0.02);   // a 22.05 kHz song: the encoder's pre-echo comes first
    EXPECT_NEAR(660.0, b.hz, 1.0);
    EXPECT_GT(a.pico, 3000);
    EXPECT_GT(b.pico, 3000);
    // No dropout: every 10 ms of each tone keeps most of the tone's level; a buffer played twice
    // would show in the lengths above.
    EXPECT_GT(a.rms_min, a.pico * 0.707 * 0.8);
    EXPECT_GT(b.rms_min, b.pico * 0.707 * 0.8);
    EXPECT_LT(pausa, 1.2);   // the next song starts within a callback period and a buffer or two
}

TEST(MusicaOida, MidiSuenaConElSintetizadorSaltaElRotoYVuelveAEmpezar)
{
    CarpetaTemporal t;
    t.subcarpetas();
    sintetizador();
    // A short tune: piano C, E, G, a quarter of a second each, then the end of the track.
    std::vector<unsigned char> mid = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
                                      'M', 'T', 'r', 'k', 0, 0, 0, 0};
    std::vector<unsigned char> pista = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xC0, 0x00};
    for (unsigned char nota : {60, 64, 67}) {
        unsigned char ev[] = {0x00, 0x90, nota, 0x64, 0x30, 0x80, nota, 0x00};
        pista.insert(pista.end(), ev, ev + sizeof ev);
    }
    unsigned char fin[] = {0x00, 0xFF, 0x2F, 0x00};
    pista.insert(pista.end(), fin, fin + sizeof fin);
    mid[21] = (unsigned char)pista.size();
    mid.insert(mid.end(), pista.begin(), pista.end());
    escribe_archivo("midi/tema1.mid", mid);
    escribe_archivo("midi/0roto.mid", {'M', 'T', 'h', 'd', 0, 0});   // damaged: skipped each time

    ASSERT_TRUE(abre_sonido("allegro.cfg"));
    ASSERT_NE(nullptr, midi_driver);
    EXPECT_STREQ("DIGMID", midi_driver->ascii_name);
    buscaarchm();
    ASSERT_EQ(2, musicas);
    listamusica[0] = 0;
    listamusica[1] = 1;
    listamusica[MAX_MUSICAS] = 0;
    install_int(mp3actualiza, 250);
    playmidimusic();
    EXPECT_EQ(1, estado().midiest);
    EXPECT_EQ("Sonando:tema1.mid", estado().linea);
    musica_bloquea();
    mensaje = 0;
    musica_libera();
    espera(1.6);   // the tune lasts 0.75 s: it has ended and started again
    EXPECT_EQ(3, estado().mensaje);
    char linea[64];
    copia_mensa(linea, sizeof linea);
    EXPECT_STREQ("Sonando:tema1.mid", linea);
    EXPECT_EQ(0, estado().cursor);
    stopmidi();
    EXPECT_EQ(0, midiest);
    EXPECT_LT(midi_pos, 0);
    remove_int(mp3actualiza);
    Sonido s = cierra_sonido();
    int ini, fin_;
    s.extremos(0, 300, ini, fin_);
    int pico = ini >= 0 ? s.pico(0, ini, fin_) : 0;
    printf("MIDI: %.3f s con sonido, pico %d\n", ini >= 0 ? (fin_ - ini) / 44100.0 : 0.0, pico);
    ASSERT_GE(ini, 0);
    EXPECT_GT(pico, 2000);
    EXPECT_GT(fin_ - ini, 44100);   // more than one playing of the 0.75 s tune
}

TEST(MusicaOida, MidiArrancadoYParadoMientrasElTimerLlamaSinParar)
{
    // The main flow starts and stops songs (which installs and removes the player's timer)
    // while the library's timer thread runs the callback every 2 ms: nothing may deadlock.
    CarpetaTemporal t;
    t.subcarpetas();
    sintetizador();
    for (const char *n : {"a.mid", "b.mid", "c.mid"})
        fs::copy_file(fs::path(KORV_DIR) / "datos" / "fox.mid", std::string("midi/") + n);
    ASSERT_TRUE(abre_sonido("allegro.cfg"));
    buscaarchm();
    ASSERT_EQ(3, musicas);
    armalistamusica();
    install_int(mp3actualiza, 2);
    auto fin = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    int vueltas = 0;
    while (std::chrono::steady_clock::now() < fin) {
        playmidimusic();
        std::this_thread::sleep_for(std::chrono::milliseconds(vueltas % 7));
        if (vueltas % 3 == 2)
            stopmidi();
        vueltas++;
    }
    stopmidi();
    remove_int(mp3actualiza);
    EXPECT_EQ(0, estado().midiest);
    EXPECT_GT(vueltas, 100);
    cierra_sonido();
}

TEST(MusicaOida, LasCancionesDelJuegoSuenan)
{
    CarpetaTemporal t;
    copia_datos_reales();
    fs::copy(fs::path(KORV_DIR) / "digmid", "digmid", fs::copy_options::recursive);
    ASSERT_TRUE(abre_sonido("allegro.cfg"));
    buscaarchm();   // the shipped mp3/ is empty (the data tests hold it): MIDI plays
    ASSERT_GT(musicas, 0);
    armalistamusica();
    install_int(mp3actualiza, 250);
    playmidimusic();
    espera(3.0);
    stopmidi();
    remove_int(mp3actualiza);
    Sonido s = cierra_sonido();
    int ini, fin;
    s.extremos(0, 300, ini, fin);
    ASSERT_GE(ini, 0) << "silencio";
    printf("%s: pico %d\n", estado().linea.c_str(), s.pico(0, ini, fin));
    EXPECT_GT(s.pico(0, ini, fin), 1000);
}

TEST(MusicaOida, LaPrimeraCancionMp3LiberaLasVocesYLasSiguientesNo)
{
    CarpetaTemporal t;
    t.subcarpetas();
    ASSERT_TRUE(haz_mp3("mp3/tema1.mp3", 1.0, 440, 44100, 2));
    ASSERT_TRUE(abre_sonido(NULL));
    buscaarchmp3();
    armalistamusica();
    SAMPLE *motor = create_sample(16, 0, 22050, 22050);
    ASSERT_NE(nullptr, motor);
    memset(motor->data, 0x80, 22050 * 2);
    voces_libres = 0;   // as in a process that has not played an MP3 yet
    int v = play_sample(motor, 255, 128, 1000, 1);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 16);
    playmp3();
    EXPECT_EQ(1, voces_libres);
    EXPECT_NE(motor, voice_check(v));   // the looping sample lost its voice (the song may have it now)
    stopmp3();
    v = play_sample(motor, 255, 128, 1000, 1);
    ASSERT_GE(v, 0);
    playmp3();   // the next game's song
    EXPECT_EQ(motor, voice_check(v));   // this time the sample plays on
    stopmp3();
    stop_sample(motor);
    cierra_sonido();
    destroy_sample(motor);
}

}  // namespace
