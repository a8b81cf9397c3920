// MIDI songs in every bad shape: the search lists plain files only, and a song that cannot be
// read is skipped with a line naming it; with none readable nothing plays and nothing hangs.
#include <gtest/gtest.h>

#include <unistd.h>

#include "game/musica.h"
#include "malos.h"

using namespace malos;

TEST(MusicaMidiMala, CadaCasoSeSaltaONoSeLista)
{
    CarpetaTemporal t;
    t.subcarpetas();
    // A small sound song: format 0, 96 ticks a beat, one note.
    std::vector<unsigned char> bueno = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
                                        'M', 'T', 'r', 'k', 0, 0, 0, 12, 0, 0x90, 60, 100,
                                        96, 0x80, 60, 0, 0, 0xFF, 0x2F, 0};
    MIDI *sano = nullptr;
    escribe_archivo("midi/sano.mid", bueno);
    ASSERT_NE(sano = load_midi("midi/sano.mid"), nullptr);
    destroy_midi(sano);
    std::filesystem::remove("midi/sano.mid");
    std::vector<unsigned char> fuera = bueno;
    fuera[12] = fuera[13] = 0;   // a division of 0 ticks per beat
    fuera[10] = 0x7F;            // and 32512 tracks announced
    for (int c : {VACIO, CORTO, BASURA, CARPETA, SIN_PERMISO, FUERA_DE_RANGO}) {
        SCOPED_TRACE(nombre(c));
        pon("midi/tema.mid", c, bueno, fuera);
        buscaarchm();
        if (c == CARPETA) {
            EXPECT_EQ(musicas, 0) << "a folder is not a song";
            continue;
        }
        ASSERT_EQ(musicas, 1);
        armalistamusica();
        if (c == SIN_PERMISO && geteuid() == 0)
            continue;   // root reads it: a sound song, played under X by the music tests
        MIDI *m = load_midi("midi/tema.mid");
        if (m) {
            destroy_midi(m);   // the library takes it; it plays under X like any song
            continue;
        }
        testing::internal::CaptureStderr();
        playmidimusic();
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(midiest, 0);
        EXPECT_NE(err.find("midi/tema.mid"), std::string::npos) << err;
    }
}
