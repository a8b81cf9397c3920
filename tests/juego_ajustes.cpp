// The player's settings file (round trip, damaged lines, failed write) and the keys' swapping.
#include <csignal>
#include <sys/resource.h>

#include "tests/prueba.h"
#include "shared/ajustes.h"
#include "shared/idioma.h"

namespace {
// Each test in a temporary folder, from and back to the default settings.
struct Ajustes : ::testing::Test {
    CarpetaTemporal dir;
    void SetUp() override { ajustes_por_defecto(); }
    void TearDown() override { ajustes_por_defecto(); }
};
// Writes a text file and reads it as settings over the defaults; the stderr lines it gave.
std::string lee_texto(const std::string &t)
{
    ajustes_por_defecto();
    escribe_archivo("a.cfg", Bytes(t.begin(), t.end()));
    return stderr_de([] { lee_ajustes("a.cfg"); });
}
}  // namespace

TEST_F(Ajustes, VueltaCompletaYEscrituraFallida)
{
    vol_musica = 5, vol_efectos = 0, aj_escala = 3, aj_completa = 1, aj_pausa_foco = 0, aj_idioma = IDIOMA_EN, aj_ritmo = 85;
    ASSERT_TRUE(asigna_tecla(ACC_ARRIBA, KEY_W) && asigna_tecla(ACC_PAUSA, KEY_SPACE));
    strcpy(aj_marcador, "https://tablas.example:8575/korvex");
    ASSERT_TRUE(guarda_ajustes("sub/korvex/korvex.cfg"));   // folders made on the way
    ajustes_por_defecto();
    EXPECT_STREQ(aj_marcador, "");   // by default nothing is ever sent
    ASSERT_TRUE(lee_ajustes("sub/korvex/korvex.cfg"));
    EXPECT_STREQ(aj_marcador, "https://tablas.example:8575/korvex");
    const int leidos[] = {vol_musica,      vol_efectos,     aj_escala,      aj_completa,
                          aj_pausa_foco,   tecla_accion[0], tecla_accion[1], tecla_accion[2], aj_idioma, aj_ritmo};
    EXPECT_EQ(std::vector<int>(leidos, leidos + 10),
              std::vector<int>({5, 0, 3, 1, 0, KEY_W, KEY_DOWN, KEY_SPACE, IDIOMA_EN, 85}));
    // the disk fills after 20 bytes: false, and the old file stays as it was
    Bytes viejo = lee_archivo("sub/korvex/korvex.cfg");
    vol_musica = 9;
    signal(SIGXFSZ, SIG_IGN);
    rlimit antes;
    getrlimit(RLIMIT_FSIZE, &antes);
    rlimit r = {20, antes.rlim_max};
    setrlimit(RLIMIT_FSIZE, &r);
    stderr_de([] { EXPECT_FALSE(guarda_ajustes("sub/korvex/korvex.cfg")); });
    setrlimit(RLIMIT_FSIZE, &antes);
    EXPECT_EQ(lee_archivo("sub/korvex/korvex.cfg"), viejo);
}

TEST_F(Ajustes, LineasDanadasSeSaltanYLasDemasValen)
{
    // each damaged line sits between two good ones, which still apply
    const std::string danadas[] = {
        "clave_rara = 3", "volumen_musica = 11", "volumen_efectos = -1", "escala = 9", "volumen_musica = 7x",
        "pantalla_completa = quiza", "pausa_al_salir = 1", "tecla_abajo = ESC", "tecla_abajo = NOEXISTE", "volumen_musica 4",
        "\x01\xff\xfe basura", "idioma = fr", "idioma = EN", "idioma =",
        "ritmo = 50", "ritmo = 70 %", "ritmo = 100.0",
        "marcador = ftp://h", "marcador = http://", "marcador = http://a b",
        "marcador = http://h/\"x", ("marcador = http://" + std::string(MARCADOR_URL_MAX, 'h')),
    };
    for (const std::string &mala : danadas) {
        std::string err = lee_texto("# comentario\nvolumen_efectos = 2\n" + mala + "\n\ntecla_abajo = S\n");
        EXPECT_NE(err.find("a.cfg:3:"), std::string::npos) << mala << ": " << err;
        EXPECT_TRUE(vol_efectos == 2 && vol_musica == VOL_PASOS && tecla_accion[ACC_ABAJO] == KEY_S && aj_ritmo == 100 &&
                    !aj_marcador[0]) << mala;
    }
    // a very long line is skipped whole: its tail is not read as a line of its own
    std::string err = lee_texto("volumen_musica = 3" + std::string(5000, ' ') + "volumen_efectos = 1\nescala = 2\n");
    EXPECT_NE(err.find("a.cfg:1:"), std::string::npos);
    EXPECT_TRUE(vol_musica == VOL_PASOS && vol_efectos == VOL_PASOS && aj_escala == 2);
}

TEST_F(Ajustes, TeclasSeIntercambianYLasReservadasNo)
{
    // W given to up, then to down (W was up's: they swap); ESC, F11, M and F1 stay free.
    struct { int accion, scan; bool ok; int arriba, abajo, pausa; } casos[] = {
        {ACC_ARRIBA, KEY_W, true, KEY_W, KEY_DOWN, KEY_P}, {ACC_ABAJO, KEY_W, true, KEY_DOWN, KEY_W, KEY_P},
        {ACC_PAUSA, KEY_ESC, false, KEY_DOWN, KEY_W, KEY_P}, {ACC_ARRIBA, KEY_F11, false, KEY_DOWN, KEY_W, KEY_P},
        {ACC_ABAJO, KEY_M, false, KEY_DOWN, KEY_W, KEY_P}, {ACC_PAUSA, KEY_F1, false, KEY_DOWN, KEY_W, KEY_P},
    };
    for (const auto &c : casos) {
        EXPECT_EQ(asigna_tecla(c.accion, c.scan), c.ok) << c.scan;
        EXPECT_EQ(std::vector<int>(tecla_accion, tecla_accion + ACCIONES), std::vector<int>({c.arriba, c.abajo, c.pausa}));
    }
    for (int scan = 1; scan < KEY_MAX; scan++)   // every named key reads back as itself
        EXPECT_TRUE(std::string(nombre_tecla(scan)) == "?" || tecla_por_nombre(nombre_tecla(scan)) == scan) << scan;
}
