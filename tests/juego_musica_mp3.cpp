// MP3 streaming without a sound card: the chunk feeding of the file side and the decoded sound
// that the stream layer hands to the mixer (pitch, length, level, unsigned samples).
#include <gtest/gtest.h>

#include <malloc.h>
#include <random>

#include "game/almp3.h"
#include "game/mp3.h"
#include "musica_oido.h"
#include "prueba.h"

namespace {

// The library's null sound driver: audio streams exist and take every buffer at once.
void sonido_nulo()
{
    static bool hecho = false;
    if (!hecho)
        install_sound(DIGI_NONE, MIDI_NONE, NULL);
    hecho = true;
}

// Collects what the stream layer hands to the mixer, as signed samples.
void oye(const unsigned short *u, int cuadros, void *ctx)
{
    Sonido *s = (Sonido *)ctx;
    for (int i = 0; i < cuadros * 2; i++)
        s->m.push_back((short)(u[i] ^ 0x8000));
}

// Plays a song file through the file side to its end, polling as the music callback does.
// Returns the polls it took (-1 when it never ended, -2 when it did not open); the counters of
// the stream in c. A damaged song may end on an error rather than on the stream's end.
int toca_entero(const char *ruta, Sonido &s, almp3_cuenta &c, int max_polls = 20000, bool danada = false)
{
    sonido_nulo();
    almp3_pon_escucha(oye, &s);
    mp3_file *f = open_mp3_file(ruta);
    if (!f) {
        almp3_pon_escucha(NULL, NULL);
        return -2;
    }
    EXPECT_EQ(0, play_mp3_file(f, 65536, 255, 128));
    int polls = 0, r = 0;
    while ((r = poll_mp3_file(f)) == 0 && polls < max_polls)
        polls++;
    almp3_cuenta_mp3stream(f->stream, &c);
    if (!danada) {
        EXPECT_EQ(ALMP3_POLL_FIN, r);
    }
    almp3_stop_mp3stream(f->stream);
    close_mp3_file(f);
    almp3_pon_escucha(NULL, NULL);
    return r ? polls : -1;
}

// Checks a decoded 440 Hz tone of the given seconds and amplitude on both channels.
void tono_correcto(const Sonido &s, double segundos, double amplitud)
{
    // The tone's edges at a tenth of its amplitude: the encoder's quiet pre-echo before the
    // first note is not part of the tone.
    int ini, fin;
    s.extremos(0, (int)(amplitud * 32767 * 0.1), ini, fin);
    ASSERT_GE(ini, 0);
    double largo = (double)(fin - ini) / ALMP3_FRECUENCIA;
    EXPECT_NEAR(segundos, largo, 0.005) << "frames " << fin - ini;
    EXPECT_NEAR(440.0, s.frecuencia(0, ini, fin, ALMP3_FRECUENCIA), 0.5);
    EXPECT_NEAR(440.0, s.frecuencia(1, ini, fin, ALMP3_FRECUENCIA), 0.5);
    EXPECT_NEAR(amplitud * 32767, s.pico(0, ini, fin), amplitud * 32767 * 0.06);
    EXPECT_NEAR(0.0, s.media(0, ini, fin), 30.0);   // signed sound: no offset left by the flip
    // No gap inside the tone: every 10 ms window keeps most of the sine's RMS.
    EXPECT_GT(s.rms_minimo(0, ini + 441, fin - 441, 441), amplitud * 32767 * 0.707 * 0.8);
}

TEST(MusicaMp3Decodifica, CadaTasaYMonoSuenanALaAlturaYLargoDelOriginal)
{
    CarpetaTemporal t;
    // (at 8 kHz lame's default rate is so low that even its own decoder gets the tone wrong)
    struct { int tasa, canales; const char *lame; } casos[] = {
        {44100, 2, ""}, {48000, 2, ""}, {22050, 1, ""}, {32000, 1, ""}, {24000, 2, ""}, {8000, 1, "-b 32"}};
    for (auto k : casos) {
        SCOPED_TRACE(std::to_string(k.tasa) + " Hz, " + std::to_string(k.canales) + " canales");
        ASSERT_TRUE(haz_mp3("t.mp3", 2.0, 440, k.tasa, k.canales, 0.5, k.lame));
        Sonido s;
        almp3_cuenta c;
        ASSERT_GT(toca_entero("t.mp3", s, c), 0);
        tono_correcto(s, 2.0, 0.5);
        EXPECT_EQ(0, c.huecos);
        EXPECT_EQ((long)lee_archivo("t.mp3").size(), c.bytes_recibidos);
        int ini, fin;
        s.extremos(0, 300, ini, fin);
        if (k.canales != 1)
            continue;
        // a mono song sounds the same on both sides
        for (int i = ini; i < fin; i += 97)
            ASSERT_EQ(s.at(i, 0), s.at(i, 1)) << "frame " << i;
    }
}

TEST(MusicaMp3Trozos, ArchivoCortoVaEnteroComoUltimoBloque)
{
    CarpetaTemporal t;
    ASSERT_TRUE(haz_mp3("c.mp3", 0.5, 440, 44100, 2));
    long largo = (long)lee_archivo("c.mp3").size();
    ASSERT_LT(largo, 32768);
    mp3_file *f = open_mp3_file("c.mp3");
    ASSERT_NE(nullptr, f);
    almp3_cuenta c;
    almp3_cuenta_mp3stream(f->stream, &c);
    EXPECT_EQ(largo, c.bytes_recibidos);
    EXPECT_EQ(1, c.ultimo_recibido);
    EXPECT_EQ(nullptr, almp3_get_mp3stream_buffer(f->stream));   // after a last block: no buffer
    close_mp3_file(f);

    Sonido s;
    ASSERT_GT(toca_entero("c.mp3", s, c), 0);
    EXPECT_EQ(0, c.trozos_pedidos);
    tono_correcto(s, 0.5, 0.5);
}

TEST(MusicaMp3Trozos, LargoMultiploExactoTerminaConUnaLecturaDeCero)
{
    CarpetaTemporal t;
    ASSERT_TRUE(haz_mp3("m.mp3", 5.0, 440, 44100, 2));
    std::vector<unsigned char> d = lee_archivo("m.mp3");
    ASSERT_GT(d.size(), 65536u);
    d.resize(65536);   // cut inside a frame: the decoder drops the broken last frame
    escribe_archivo("m.mp3", d);
    Sonido s;
    almp3_cuenta c;
    ASSERT_GT(toca_entero("m.mp3", s, c), 0);
    // first chunk at creation, one full chunk (-1), then a read of 0 bytes handed back as the end
    EXPECT_EQ(2, c.trozos_pedidos);
    EXPECT_EQ(65536, c.bytes_recibidos);
    EXPECT_EQ(1, c.ultimo_recibido);
    int ini, fin;
    s.extremos(0, 300, ini, fin);
    EXPECT_NEAR(440.0, s.frecuencia(0, ini, fin, ALMP3_FRECUENCIA), 0.5);
    EXPECT_GT(fin - ini, 44100 * 4);   // 64 KiB of a 5-second song at 128 kbit/s is 4.1 s of it
}

TEST(MusicaMp3Trozos, CadaBufferEntregadoEsUnTrozoEnteroDelArchivo)
{
    // The file side reads each chunk where the last one ended: the bytes the stream received
    // are the file, in order, whatever its length.
    CarpetaTemporal t;
    ASSERT_TRUE(haz_mp3("x.mp3", 5.0, 440, 44100, 2, 0.5, "-b 192"));
    std::vector<unsigned char> d = lee_archivo("x.mp3");
    ASSERT_GT(d.size(), 3u * 32768);
    ASSERT_NE(0u, d.size() % 32768);
    Sonido s;
    almp3_cuenta c;
    ASSERT_GT(toca_entero("x.mp3", s, c), 0);
    EXPECT_EQ((long)d.size(), c.bytes_recibidos);
    EXPECT_EQ((int)(d.size() / 32768), c.trozos_pedidos);
    EXPECT_EQ(0, c.huecos);
    tono_correcto(s, 5.0, 0.5);
}

TEST(MusicaMp3Trozos, EtiquetaGrandeDelanteDeLaMusicaNoImpideOirla)
{
    // A song with 100 KB of tag in front (a cover picture, say): the first chunk holds no frame,
    // the stream is made all the same and the music comes once the tag has been read past.
    CarpetaTemporal t;
    ASSERT_TRUE(haz_mp3("s.mp3", 2.0, 440, 44100, 2));
    std::vector<unsigned char> musica = lee_archivo("s.mp3");
    const int TAG = 100000;
    std::vector<unsigned char> d = {'I', 'D', '3', 3, 0, 0, (unsigned char)((TAG >> 21) & 127),
                                    (unsigned char)((TAG >> 14) & 127), (unsigned char)((TAG >> 7) & 127),
                                    (unsigned char)(TAG & 127)};
    d.resize(10 + TAG, 0);   // padding
    d.insert(d.end(), musica.begin(), musica.end());
    escribe_archivo("s.mp3", d);
    Sonido s;
    almp3_cuenta c;
    ASSERT_GT(toca_entero("s.mp3", s, c), 0);
    EXPECT_EQ((long)d.size(), c.bytes_recibidos);
    tono_correcto(s, 2.0, 0.5);
}

TEST(MusicaMp3Danado, BasuraVacioYFaltanteNoSuenanYNoCuelgan)
{
    CarpetaTemporal t;
    sonido_nulo();
    std::mt19937 azar(7);
    std::vector<unsigned char> basura(10000);
    for (auto &b : basura)
        b = (unsigned char)azar();
    escribe_archivo("corta.mp3", basura);
    EXPECT_EQ(nullptr, open_mp3_file("corta.mp3"));   // a whole file with no frame: no stream
    escribe_archivo("vacia.mp3", {});
    EXPECT_EQ(nullptr, open_mp3_file("vacia.mp3"));
    EXPECT_EQ(nullptr, open_mp3_file("no_existe.mp3"));

    // Longer garbage may open, but polling reports the end soon and nothing loud comes out.
    basura.resize(300000);
    for (auto &b : basura)
        b = (unsigned char)azar();
    escribe_archivo("larga.mp3", basura);
    Sonido s;
    almp3_cuenta c;
    int polls = toca_entero("larga.mp3", s, c, 200, true);
    if (polls != -2) {
        EXPECT_GE(polls, 0) << "the end comes soon";
        EXPECT_LT(s.pico(0, 0, s.frames()), 3000);
    }
}

TEST(MusicaMp3Danado, CancionConElFinalRotoSuenaHastaDondeSePuede)
{
    CarpetaTemporal t;
    ASSERT_TRUE(haz_mp3("r.mp3", 3.0, 440, 44100, 2));
    std::vector<unsigned char> d = lee_archivo("r.mp3");
    std::mt19937 azar(3);
    for (size_t i = d.size() / 2; i < d.size(); i++)
        d[i] = (unsigned char)azar();
    escribe_archivo("r.mp3", d);
    Sonido s;
    almp3_cuenta c;
    EXPECT_GE(toca_entero("r.mp3", s, c, 1000, true), 0) << "the end comes";
    int ini, fin;
    s.extremos(0, 300, ini, fin);
    EXPECT_GT(fin - ini, 44100);   // the sound half is there
}

TEST(MusicaMp3Memoria, DiezMinutosNoHacenCrecerLaMemoria)
{
    CarpetaTemporal t;
    ASSERT_TRUE(haz_mp3("diez.mp3", 600.0, 440, 22050, 1, 0.5, "-b 32"));
    long largo = (long)lee_archivo("diez.mp3").size();
    sonido_nulo();
    mp3_file *f = open_mp3_file("diez.mp3");
    ASSERT_NE(nullptr, f);
    play_mp3_file(f, 65536, 255, 128);
    size_t base = 0, mayor = 0;
    int polls = 0;
    while (poll_mp3_file(f) == 0 && polls < 100000) {
        size_t uso = mallinfo2().uordblks;
        if (polls == 20)
            base = uso;
        if (polls > 20)
            mayor = std::max(mayor, uso);
        polls++;
    }
    almp3_cuenta c;
    almp3_cuenta_mp3stream(f->stream, &c);
    close_mp3_file(f);
    EXPECT_EQ(largo, c.bytes_recibidos);
    EXPECT_GT(polls, 1500);   // ten minutes at 0.37 s of sound per poll
    EXPECT_LT(mayor, base + 64 * 1024) << "base " << base << " mayor " << mayor;
}

}  // namespace
