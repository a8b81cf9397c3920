// The ranking file in every bad shape, and its write on a full or read-only file system:
// the screens go on, a refused file gives the shipped tables with a line naming it, and a
// write that cannot be done leaves the old file as it was and says so.
#include <cstring>
#include <unistd.h>

#include "juego_frente.h"
#include "malos.h"

namespace {

namespace fs = std::filesystem;
using namespace malos;

class RankingMalo : public FrentePrueba {
protected:
    RelojYCamara *reloj = nullptr;
    void SetUp() override
    {
        FrentePrueba::SetUp();
        cambnib = EST_GANO;
        reloj = new RelojYCamara(false);
    }
    void TearDown() override
    {
        delete reloj;
        FrentePrueba::TearDown();
    }
};

std::vector<unsigned char> fabrica()
{
    std::vector<unsigned char> v(RANKING_BYTES);
    ranking_por_defecto(v.data());
    return v;
}

// Runs a won game's ranking step (score 60000, difficulty 0, initials AAA); returns stderr.
std::string entra_record()
{
    difi = 0;
    puntos = 60000;
    teclas.clear();
    testing::internal::CaptureStderr();
    escriveranking();
    return testing::internal::GetCapturedStderr();
}

// The table of difficulty 0 in a ranking image: place 1 holds 60000 AAA.
void primero_es_el_nuevo(const std::vector<unsigned char> &v)
{
    ASSERT_EQ(v.size(), (size_t)RANKING_BYTES);
    EXPECT_EQ(v[0] | (v[1] << 8) | (v[2] << 16) | (v[3] << 24), 60000);
    EXPECT_EQ(memcmp(&v[4], "AAA", 3), 0);
}

}  // namespace

TEST_F(RankingMalo, CadaCasoDelArchivo)
{
    const std::string f = RANKING_ARCHIVO;
    std::vector<unsigned char> bueno = fabrica();
    std::vector<unsigned char> fuera = bueno;
    for (int i = 0; i < 30; i++) {
        unsigned char *r = &fuera[i * 8];
        r[0] = r[1] = r[2] = 0xFF;
        r[3] = (unsigned char)(0x80 + i);   // scores past 2^31, shown negative
        r[4] = (unsigned char)(i * 9);      // initials that are no letters, zeros among them
        r[5] = 0x01;
        r[6] = 0xFE;
        r[7] = (unsigned char)(0x40 + i);
    }
    for (int c = 0; c < NUM_CASOS; c++) {
        SCOPED_TRACE(nombre(c));
        pon(f, c, bueno, fuera);
        std::vector<unsigned char> antes = c == CARPETA ? std::vector<unsigned char>() : lee_archivo(f);
        bool se_lee = c == LARGO || c == BASURA || c == FUERA_DE_RANGO || (c == SIN_PERMISO && geteuid() == 0);
        // Showing the tables: a refused file is named and the shipped tables appear.
        testing::internal::CaptureStderr();
        muestraranking(0, 0);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.find(f) == std::string::npos, se_lee) << err;
        // Entering a record.
        err = entra_record();
        if (c == CARPETA) {
            EXPECT_NE(err.find("no se pudo guardar"), std::string::npos) << err;
            EXPECT_TRUE(fs::is_directory(f)) << "the folder is left as it was";
            continue;
        }
        std::vector<unsigned char> ahora = lee_archivo(f);
        ASSERT_EQ(ahora.size(), (size_t)RANKING_BYTES) << "written whole";
        if (c == FUERA_DE_RANGO) {
            // 60000 is below every score of 2^31 and more: no entry, the file untouched
            EXPECT_EQ(ahora, antes);
            continue;
        }
        if (c == BASURA) {
            // Random scores: the entry takes the place they leave it, or none.
            int p = lugar_ranking(antes.data(), 0, 60000);
            if (p == RANKING_LUGARES) {
                EXPECT_EQ(ahora, antes);
            } else {
                EXPECT_EQ(ahora[p * 8] | (ahora[p * 8 + 1] << 8) | (ahora[p * 8 + 2] << 16), 60000);
                EXPECT_EQ(ahora[p * 8 + 3], 0);
            }
            EXPECT_EQ(memcmp(&ahora[80], &antes[80], 160), 0);
            continue;
        }
        primero_es_el_nuevo(ahora);
        // The other two tables: as read (the file's, or the shipped ones for a refused file).
        const std::vector<unsigned char> &base = se_lee ? antes : bueno;
        EXPECT_EQ(memcmp(&ahora[80], &base[80], 160), 0);
    }
}

TEST_F(RankingMalo, ValoresFueraDeRangoSeMuestranSinRomperNada)
{
    std::vector<unsigned char> v = fabrica();
    v[0] = v[1] = v[2] = v[3] = 0xFF;   // 4294967295 prints as -1
    v[4] = 0x07;                        // a control character
    v[5] = 0xE9;                        // a byte past ASCII
    v[6] = 0;
    escribe_archivo(RANKING_ARCHIVO, v);
    unsigned char buf[RANKING_BYTES];
    ASSERT_TRUE(lee_ranking(buf));
    dibuja_tabla(buf, 1, 0);
    clear_bitmap(ref);
    textprintf_centre_ex(ref, font, 160, 30, 239, -1, "%2d %6d %s", 1, -1, "??");
    EXPECT_TRUE(misma_region(pagina, ref, 0, 30, 320, 21));
    // any score enters below an unsigned maximum, never above it
    EXPECT_EQ(lugar_ranking(buf, 0, 0xFFFFFFFEu), 1);
    EXPECT_EQ(lugar_ranking(buf, 0, 0xFFFFFFFFu), 0);
}

namespace {

// A record entered while the file cannot be written: the old bytes stay, stderr and the
// screen say so, and the table shown holds the entry all the same.
void sin_poder_escribir(const std::vector<unsigned char> &viejo)
{
    std::string err = entra_record();
    EXPECT_NE(err.find("no se pudo guardar"), std::string::npos) << err;
    EXPECT_NE(err.find(RANKING_ARCHIVO), std::string::npos) << err;
    EXPECT_EQ(lee_archivo(RANKING_ARCHIVO), viejo) << "the old file is intact";
    for (const auto &e : fs::directory_iterator("datos"))
        EXPECT_EQ(e.path().filename().string().rfind(".korvtmp", 0), std::string::npos)
            << "no temporary file left: " << e.path();
}

}  // namespace

TEST_F(RankingMalo, DiscoLlenoNoPierdeElRanking)
{
    std::vector<unsigned char> viejo = fabrica();
    viejo[7] = 0x5A;
    escribe_archivo(RANKING_ARCHIVO, viejo);
    SinLugar lleno(RANKING_BYTES - 1);   // no file may reach 240 bytes (stderr's capture fits)
    sin_poder_escribir(viejo);
}

TEST_F(RankingMalo, SistemaDeArchivosLlenoOSoloLectura)
{
    std::vector<unsigned char> viejo = fabrica();
    viejo[15] = 0x33;
    {
        // A 64 KiB tmpfs on datos/, filled up to the last byte.
        Montaje m("datos", 64, false);
        if (!m.ok)
            GTEST_SKIP() << "mount is not allowed here; the full disk is covered by DiscoLlenoNoPierdeElRanking";
        escribe_archivo(RANKING_ARCHIVO, viejo);
        FILE *r = fopen("datos/relleno", "wb");
        ASSERT_NE(r, nullptr);
        std::vector<char> bloque(4096, 'x');
        while (fwrite(bloque.data(), 1, bloque.size(), r) == bloque.size() && fflush(r) == 0)
            ;
        while (fwrite(bloque.data(), 1, 1, r) == 1 && fflush(r) == 0)
            ;
        fclose(r);
        sin_poder_escribir(viejo);
        // Read-only: the same.
        fs::remove("datos/relleno");
        ASSERT_TRUE(m.solo_lectura());
        sin_poder_escribir(viejo);
    }
}
