// The player's settings: the file (round trip, damaged lines, failed write), key swapping, the
// options screen's keys and the effects volume.
#include <csignal>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>

#include "game/volumen.h"
#include "shared/ajustes.h"
#include "game/presoverganec.h"
#include "prueba.h"

namespace {

std::string texto(const std::string &ruta)
{
    std::vector<unsigned char> b = lee_archivo(ruta);
    return std::string(b.begin(), b.end());
}

struct Ajustes : ::testing::Test {
    CarpetaTemporal dir;
    void SetUp() override { ajustes_por_defecto(); }
    void TearDown() override { ajustes_por_defecto(); }
};

}  // namespace

TEST_F(Ajustes, VueltaCompletaPorElArchivo)
{
    vol_musica = 5;
    vol_efectos = 0;
    aj_escala = 3;
    aj_completa = 1;
    ASSERT_TRUE(asigna_tecla(ACC_ARRIBA, KEY_W));
    ASSERT_TRUE(asigna_tecla(ACC_PAUSA, KEY_SPACE));
    ASSERT_TRUE(guarda_ajustes("sub/korvex/korvex.cfg"));   // folders made on the way
    ajustes_por_defecto();
    ASSERT_TRUE(lee_ajustes("sub/korvex/korvex.cfg"));
    EXPECT_EQ(vol_musica, 5);
    EXPECT_EQ(vol_efectos, 0);
    EXPECT_EQ(aj_escala, 3);
    EXPECT_EQ(aj_completa, 1);
    EXPECT_EQ(tecla_accion[ACC_ARRIBA], KEY_W);
    EXPECT_EQ(tecla_accion[ACC_ABAJO], KEY_DOWN);
    EXPECT_EQ(tecla_accion[ACC_PAUSA], KEY_SPACE);
    EXPECT_NE(texto("sub/korvex/korvex.cfg").find("tecla_arriba = W\n"), std::string::npos);
    EXPECT_TRUE(lee_ajustes("no_existe.cfg"));   // missing: the settings stay as they are
    EXPECT_EQ(vol_musica, 5);
}

TEST_F(Ajustes, LineasDanadasSeSaltanYLasDemasValen)
{
    // each damaged line sits between two good ones; after reading, the good ones hold
    const char *danadas[] = {
        "clave_rara = 3",            // unknown key
        "volumen_musica = 11",       // out of range
        "volumen_efectos = -1",      // out of range
        "escala = 9",                // out of range
        "volumen_musica = 7x",       // garbage after the number
        "pantalla_completa = quiza", // not si/no
        "tecla_abajo = ESC",         // a key that cannot be taken
        "tecla_abajo = NOEXISTE",    // no such key
        "volumen_musica 4",          // no '='
        "\x01\xff\xfe basura",       // garbage
    };
    for (const char *mala : danadas) {
        SCOPED_TRACE(mala);
        ajustes_por_defecto();
        std::string t = "# comentario\nvolumen_efectos = 2\n" + std::string(mala) + "\n\ntecla_abajo = S\n";
        escribe_archivo("a.cfg", std::vector<unsigned char>(t.begin(), t.end()));
        testing::internal::CaptureStderr();
        EXPECT_TRUE(lee_ajustes("a.cfg"));
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("a.cfg:3:"), std::string::npos) << err;
        EXPECT_EQ(vol_efectos, 2);
        EXPECT_EQ(vol_musica, VOL_PASOS);
        EXPECT_EQ(tecla_accion[ACC_ABAJO], KEY_S);
    }
    // a very long line is skipped whole: its tail is not read as a line of its own
    ajustes_por_defecto();
    std::string t = "volumen_musica = 3" + std::string(5000, ' ') + "volumen_efectos = 1\nescala = 2\n";
    escribe_archivo("b.cfg", std::vector<unsigned char>(t.begin(), t.end()));
    testing::internal::CaptureStderr();
    lee_ajustes("b.cfg");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("b.cfg:1:"), std::string::npos);
    EXPECT_EQ(vol_musica, VOL_PASOS);
    EXPECT_EQ(vol_efectos, VOL_PASOS);
    EXPECT_EQ(aj_escala, 2);
}

TEST_F(Ajustes, EscrituraFallidaDejaElArchivoViejo)
{
    vol_musica = 4;
    ASSERT_TRUE(guarda_ajustes("k.cfg"));
    std::vector<unsigned char> viejo = lee_archivo("k.cfg");
    vol_musica = 9;
    signal(SIGXFSZ, SIG_IGN);
    rlimit antes, r;
    getrlimit(RLIMIT_FSIZE, &antes);
    r = antes;
    r.rlim_cur = 20;   // the disk "fills" after 20 bytes
    setrlimit(RLIMIT_FSIZE, &r);
    testing::internal::CaptureStderr();
    bool ok = guarda_ajustes("k.cfg");
    testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &antes);
    EXPECT_FALSE(ok);
    EXPECT_EQ(lee_archivo("k.cfg"), viejo);
    // a folder that cannot be made (a file stands in its way): false, nothing written
    escribe_archivo("tapon", {1});
    testing::internal::CaptureStderr();
    EXPECT_FALSE(guarda_ajustes("tapon/korvex/korvex.cfg"));
    testing::internal::GetCapturedStderr();
}

TEST_F(Ajustes, TeclasSeIntercambianYLasReservadasNo)
{
    struct { int accion, scan; bool ok; int arriba, abajo, pausa; } casos[] = {
        {ACC_ARRIBA, KEY_W, true, KEY_W, KEY_DOWN, KEY_P},
        {ACC_ABAJO, KEY_W, true, KEY_DOWN, KEY_W, KEY_P},     // W was up's: they swap
        {ACC_PAUSA, KEY_W, true, KEY_DOWN, KEY_P, KEY_W},
        {ACC_PAUSA, KEY_ESC, false, KEY_DOWN, KEY_P, KEY_W},  // ESC, F11 and M stay free
        {ACC_ARRIBA, KEY_F11, false, KEY_DOWN, KEY_P, KEY_W},
        {ACC_ABAJO, KEY_M, false, KEY_DOWN, KEY_P, KEY_W},
        {ACC_ARRIBA, KEY_F1, false, KEY_DOWN, KEY_P, KEY_W},  // a key without a name in the file
    };
    ajustes_por_defecto();
    for (const auto &c : casos) {
        SCOPED_TRACE(c.scan);
        EXPECT_EQ(asigna_tecla(c.accion, c.scan), c.ok);
        EXPECT_EQ(tecla_accion[ACC_ARRIBA], c.arriba);
        EXPECT_EQ(tecla_accion[ACC_ABAJO], c.abajo);
        EXPECT_EQ(tecla_accion[ACC_PAUSA], c.pausa);
    }
    for (int scan = 1; scan < KEY_MAX; scan++) {   // every named key reads back as itself
        if (std::string(nombre_tecla(scan)) != "?") {
            EXPECT_EQ(tecla_por_nombre(nombre_tecla(scan)), scan) << nombre_tecla(scan);
        }
    }
}

TEST_F(Ajustes, PantallaDeOpcionesYVolumenDeEfectos)
{
    // line, key -> line after, music and effects volumes after (starting from 10 and 10)
    struct { int linea, scan, despues, musica, efectos; } casos[] = {
        {0, KEY_RIGHT, 0, 10, 10},   // 10 is the top
        {0, KEY_LEFT, 0, 9, 10},
        {1, KEY_LEFT, 1, 9, 9},
        {0, KEY_UP, 5, 9, 9},        // the lines wrap
        {5, KEY_DOWN, 0, 9, 9},
        {5, KEY_ENTER, OPCIONES_FIN, 9, 9},
        {2, KEY_ESC, OPCIONES_FIN, 9, 9},
        {4, KEY_ENTER, OPCIONES_TECLAS, 9, 9},
    };
    for (const auto &c : casos) {
        EXPECT_EQ(opciones_tecla(c.linea, c.scan), c.despues) << c.linea << " " << c.scan;
        EXPECT_EQ(vol_musica, c.musica);
        EXPECT_EQ(vol_efectos, c.efectos);
    }
    for (int i = 0; i < 12; i++)
        opciones_tecla(1, KEY_LEFT);
    EXPECT_EQ(vol_efectos, 0);   // 0 is the floor, and at 0 an effect plays nothing
    SAMPLE *s = create_sample(8, 0, 11025, 100);
    EXPECT_EQ(suena_efecto(s, 255, 128, 1000, 0), -1);
    vol_efectos = 5;
    EXPECT_EQ(vol_efecto(255), 127);
    destroy_sample(s);
}
