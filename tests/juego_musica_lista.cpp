// The playlist without a sound card: search, shuffled order, the cursor across levels and games,
// the now-playing line, songs that end, replay, and files that cannot be played.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>

#include "game/mp3.h"
#include "game/musica.h"
#include "game/utilfun.h"
#include "musica_oido.h"
#include "prueba.h"

namespace {

namespace fs = std::filesystem;

// A working folder with the program's sub-folders, the null sound driver and no music playing.
struct MusicaLista : ::testing::Test {
    CarpetaTemporal t;
    void SetUp() override
    {
        static bool sonido = false;
        if (!sonido)
            install_sound(DIGI_NONE, MIDI_NONE, NULL);
        sonido = true;
        t.subcarpetas();
        stopmp3();
        mp3est = 0;
        mensaje = 0;
        mensa[0] = 0;
        musicas = 0;
        memset(listamusica, 0, sizeof listamusica);
    }
    void TearDown() override { stopmp3(); }
    // Short songs in mp3/ (one made, the others copies) and the table in the given order.
    void canciones(std::initializer_list<const char *> nombres)
    {
        ASSERT_TRUE(haz_mp3("mp3/.modelo", 0.3, 440, 44100, 2));
        for (const char *n : nombres)
            fs::copy_file("mp3/.modelo", std::string("mp3/") + n);
        buscaarchmp3();
    }
    void orden(std::initializer_list<int> o)
    {
        int i = 0;
        for (int v : o)
            listamusica[i++] = v;
        listamusica[MAX_MUSICAS] = 0;
    }
    // Runs the music callback until the now-playing line changes; the new line ("" if none came).
    std::string siguiente_linea()
    {
        std::string antes = mensa;
        mensaje = 0;
        for (int i = 0; i < 200; i++) {
            mp3actualiza();
            if (mensaje == 3)
                return mensa;
        }
        return "";
    }
};

TEST(MusicaOrden, EsUnaPermutacionParaCeroADiezCanciones)
{
    for (int n = 0; n <= MAX_MUSICAS; n++)
        for (int vuelta = 0; vuelta < 20; vuelta++) {
            musicas = n;
            for (int i = 0; i <= MAX_MUSICAS; i++)
                listamusica[i] = 77;
            armalistamusica();
            std::vector<int> v(listamusica, listamusica + n);
            std::sort(v.begin(), v.end());
            for (int i = 0; i < n; i++)
                ASSERT_EQ(i, v[i]) << n << " canciones";
            for (int i = n; i <= MAX_MUSICAS; i++)
                ASSERT_EQ(0, listamusica[i]) << "elemento " << i << " con " << n << " canciones";
        }
    musicas = 0;
}

TEST_F(MusicaLista, BusquedaGuardaLasPrimerasDiezPorNombreYSoloArchivos)
{
    for (int i = 12; i >= 1; i--) {
        char n[32];
        snprintf(n, sizeof n, "midi/tema%02d.mid", i);
        escribe_archivo(n, {1});
        snprintf(n, sizeof n, "mp3/tema%02d.mp3", i);
        escribe_archivo(n, {1});
    }
    fs::create_directories("midi/carpeta.mid");
    escribe_archivo("midi/notas.txt", {1});
    buscaarchm();
    ASSERT_EQ(10, musicas);
    for (int i = 0; i < 10; i++) {
        char n[32];
        snprintf(n, sizeof n, "tema%02d.mid", i + 1);
        EXPECT_STREQ(n, archivm[i]);
    }
    buscaarchmp3();
    ASSERT_EQ(10, musicas);
    EXPECT_STREQ("tema01.mp3", archivm[0]);
    EXPECT_STREQ("tema10.mp3", archivm[9]);

    fs::remove_all("mp3");
    fs::create_directories("mp3");
    escribe_archivo("mp3/leeme.txt", {1});
    buscaarchmp3();
    EXPECT_EQ(0, musicas);   // no MP3 file: the choice goes to the MIDI search
}

TEST_F(MusicaLista, ElOrdenSigueEntreNivelesYPartidas)
{
    canciones({"a.mp3", "b.mp3", "c.mp3"});
    ASSERT_EQ(3, musicas);
    orden({2, 0, 1});

    playmp3();   // first level of a game
    EXPECT_EQ(1, mp3est);
    EXPECT_STREQ("Sonando:c", mensa);
    EXPECT_EQ(3, mensaje);
    EXPECT_EQ(1, listamusica[MAX_MUSICAS]);

    mensaje = 0;
    mp3_file *sonando = mp3;
    playmp3();   // a new level while the song plays: it goes on, unchanged
    EXPECT_EQ(sonando, mp3);
    EXPECT_EQ(0, mensaje);
    EXPECT_EQ(1, listamusica[MAX_MUSICAS]);

    stopmp3();   // the game ends
    EXPECT_EQ(0, mp3est);
    EXPECT_EQ(nullptr, mp3);
    stopmp3();   // stopping again does nothing
    EXPECT_EQ(1, listamusica[MAX_MUSICAS]);

    playmp3();   // the next game goes on with the order
    EXPECT_STREQ("Sonando:a", mensa);
    EXPECT_EQ("Sonando:b", siguiente_linea());   // the song ends: the callback starts the next
    EXPECT_EQ("Sonando:c", siguiente_linea());
    EXPECT_EQ("Sonando:a", siguiente_linea());
    EXPECT_EQ(1, mp3est);
}

TEST_F(MusicaLista, UnaSolaCancionVuelveASonarConSuLinea)
{
    canciones({"tema1.mp3"});
    orden({0});
    playmp3();
    EXPECT_STREQ("Sonando:tema1", mensa);
    for (int vez = 0; vez < 3; vez++) {
        EXPECT_EQ("Sonando:tema1", siguiente_linea()) << "vez " << vez;
        EXPECT_EQ(0, listamusica[MAX_MUSICAS]);
        EXPECT_EQ(1, mp3est);
    }
}

TEST_F(MusicaLista, ArchivoDanadoSeSaltaEnElActo)
{
    canciones({"tema1.mp3"});
    std::mt19937 azar(11);
    std::vector<unsigned char> basura(5000);
    for (auto &b : basura)
        b = (unsigned char)azar();
    escribe_archivo("mp3/aaa.mp3", basura);
    escribe_archivo("mp3/vacio.mp3", {});
    buscaarchmp3();
    ASSERT_EQ(3, musicas);   // aaa.mp3, tema1.mp3, vacio.mp3
    orden({0, 2, 1});
    playmp3();
    EXPECT_EQ(1, mp3est);
    EXPECT_STREQ("Sonando:tema1", mensa);
    EXPECT_EQ(0, listamusica[MAX_MUSICAS]);   // three songs taken in one request
}

TEST_F(MusicaLista, SiNingunaSePuedeTocarNoSuenaNadaYSeDaUnaSolaVuelta)
{
    escribe_archivo("mp3/uno.mp3", {1, 2, 3});
    escribe_archivo("mp3/dos.mp3", {});
    buscaarchmp3();
    ASSERT_EQ(2, musicas);
    orden({1, 0});
    listamusica[MAX_MUSICAS] = 1;
    playmp3();
    EXPECT_EQ(0, mp3est);
    EXPECT_EQ(nullptr, mp3);
    EXPECT_EQ(0, mensaje);
    EXPECT_STREQ("", mensa);
    EXPECT_EQ(1, listamusica[MAX_MUSICAS]);   // once round the list, back where it began
    mp3actualiza();                            // the callback does nothing with no song playing
    EXPECT_EQ(0, mensaje);
}

TEST_F(MusicaLista, SinCancionesNoSuenaNiSeMuestraNada)
{
    buscaarchmp3();
    ASSERT_EQ(0, musicas);
    armalistamusica();
    playmp3();
    mp3actualiza();
    EXPECT_EQ(0, mp3est);
    EXPECT_EQ(0, mensaje);
    EXPECT_STREQ("", mensa);
    ajusta_mp3(255, 128, 1000);   // the level start's volume change with nothing playing
    char copia[16] = "x";
    copia_mensa(copia, sizeof copia);
    EXPECT_STREQ("", copia);
}

TEST_F(MusicaLista, LaCopiaDeLaLineaCabeEnElDestino)
{
    canciones({"una_cancion_de_nombre_largo.mp3"});
    orden({0});
    playmp3();
    char copia[12];
    copia_mensa(copia, sizeof copia);
    EXPECT_STREQ("Sonando:una", copia);
    char entera[64];
    copia_mensa(entera, sizeof entera);
    EXPECT_STREQ("Sonando:una_cancion_de_nombre_largo", entera);
}

}  // namespace
