// The music: MP3 songs decoded into the stream (rate, channels, sample format, length), the
// shuffled playlist and its cursor, damaged songs skipped, and the music lock under contention.
#include <cmath>
#include <thread>

#include "game/almp3.h"
#include "game/mp3.h"
#include "game/musica.h"
#include "game/utilfun.h"
#include "game/volumen.h"
#include "tests/prueba.h"

namespace {

std::vector<short> oido;   // what the stream handed to the mixer, as signed interleaved stereo

void escucha(const unsigned short *u, int cuadros, void *)
{
    for (int i = 0; i < cuadros * 2; i++)
        oido.push_back((short)(u[i] ^ 0x8000));
}

// Makes an MP3 of a 440 Hz sine at half amplitude (sox and lame).
void haz_mp3(const char *ruta, double seg, int tasa, int canales)
{
    char orden[512];
    snprintf(orden, sizeof orden, "sox -D -n -r %d -c %d -b 16 t.wav synth %.2f sine 440 vol 0.5 && "
             "lame --quiet t.wav '%s'", tasa, canales, seg, ruta);
    ASSERT_EQ(system(orden), 0);
}

void sonido_nulo()
{
    static bool hecho = install_sound(DIGI_NONE, MIDI_NONE, NULL) == 0;
    ASSERT_TRUE(hecho);
}

}  // namespace

// Each rate and channel count comes out as 44100 Hz signed stereo: the tone's length, pitch,
// level, no offset, both sides alike.
TEST(MusicaMp3, DecodificaCadaFormato)
{
    CarpetaTemporal t;
    sonido_nulo();
    struct { int tasa, canales; } casos[] = {{44100, 2}, {48000, 2}, {22050, 1}, {32000, 1}};
    for (auto c : casos) {
        haz_mp3("t.mp3", 1.0, c.tasa, c.canales);
        oido.clear();
        almp3_pon_escucha(escucha, NULL);
        mp3_file *f = open_mp3_file("t.mp3");
        ASSERT_TRUE(f);
        ASSERT_EQ(play_mp3_file(f, 65536, 255, 128), 0);
        int r, polls = 0;
        while ((r = poll_mp3_file(f)) == 0 && polls < 5000)
            polls++;
        EXPECT_EQ(r, ALMP3_POLL_FIN);
        close_mp3_file(f);
        almp3_pon_escucha(NULL, NULL);
        int ini = -1, fin = -1, pico = 0, cruces = 0, iguales = 0;
        double suma = 0;
        for (size_t i = 0; i + 1 < oido.size(); i += 2) {
            int v = oido[i];
            if (std::abs(v) > 1600)
                fin = (int)i / 2, ini = ini < 0 ? fin : ini;
            pico = std::max(pico, std::abs(v));
            suma += v;
            iguales += oido[i] == oido[i + 1];
        }
        for (int i = ini + 1; i < fin; i++)
            cruces += oido[2 * i - 2] < 0 && oido[2 * i] >= 0;
        double seg = (fin - ini) / 44100.0, hz = cruces / seg, media = suma / (oido.size() / 2);
        EXPECT_TRUE(fabs(seg - 1) < 0.01 && fabs(hz - 440) < 3 && abs(pico - 16384) < 1200 && fabs(media) < 30 &&
                    iguales > (int)oido.size() / 2 - 50)
            << c.tasa << " Hz, " << c.canales << ": " << seg << " s, " << hz << " Hz, pico " << pico << ", media " << media
            << ", " << iguales << " cuadros iguales de " << oido.size() / 2;
    }
}

// The play order is a permutation; the cursor walks it and starts over after the last song.
TEST(MusicaLista, OrdenYCursor)
{
    for (int n = 0; n <= MAX_MUSICAS; n++) {
        musicas = n;
        armalistamusica();
        std::vector<int> visto(n, 0);
        for (int i = 0; i < n; i++)
            visto[listamusica[i]]++;
        EXPECT_EQ(visto, std::vector<int>(n, 1)) << n;
        for (int i = 0; i < 3 * n; i++)
            ASSERT_EQ(siguiente_cancion(), listamusica[i % n]) << n << " canciones, paso " << i;
    }
}

// Songs by name (the first ten); a song that cannot be decoded is skipped at once with a line.
TEST(MusicaLista, CancionDanadaSeSalta)
{
    CarpetaTemporal t(SUBCARPETAS);
    sonido_nulo();
    haz_mp3("mp3/b.mp3", 0.3, 44100, 2);
    escribe_archivo("mp3/a.mp3", Bytes(5000, 0x55));
    buscaarchmp3();
    ASSERT_TRUE(musicas == 2 && !strcmp(archivm[0], "a.mp3"));
    armalistamusica();
    listamusica[0] = 0, listamusica[1] = 1;   // a.mp3 first
    EXPECT_NE(stderr_de(playmp3).find("mp3/a.mp3"), std::string::npos);
    char linea[512];
    copia_mensa(linea, sizeof linea);
    EXPECT_TRUE(mp3est == 1 && !strcmp(linea, "Sonando:b")) << linea;
    stopmp3();
    // Without a sound device the song is not said to be playing.
    pon_linea("");
    mensaje = 0;
    hay_digital = 0;
    playmp3();
    copia_mensa(linea, sizeof linea);
    EXPECT_TRUE(!linea[0] && mensaje == 0) << linea;
    stopmp3();
    hay_digital = 1;
}

// Starting, polling, adjusting and stopping from two threads while a third tries the lock as
// the timer callback does: no song is lost or doubled, nothing hangs (and ThreadSanitizer sees no race).
TEST(MusicaCerrojo, DosHilosYElCallback)
{
    CarpetaTemporal t(SUBCARPETAS);
    sonido_nulo();
    haz_mp3("mp3/a.mp3", 0.2, 44100, 2);
    buscaarchmp3();
    armalistamusica();
    std::atomic<bool> sigue{true};
    std::atomic<int> tomados{0};
    std::thread callback([&] {
        while (sigue)
            if (musica_intenta()) {
                tomados++;
                musica_libera();
            }
    });
    auto juega = [] {
        for (int i = 0; i < 200; i++) {
            playmp3();
            ajusta_mp3(100, 128, 1000);
            if (i % 7 == 0)
                stopmp3();
        }
    };
    std::thread otro(juega);
    juega();
    otro.join();
    sigue = false;
    callback.join();
    stopmp3();
    EXPECT_TRUE(mp3 == nullptr && tomados > 0);
}
