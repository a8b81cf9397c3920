// The ranking: place of a score, the new table's bytes, the initials entry, the final score and file faults.
#include <climits>
#include <filesystem>

#include "juego_frente.h"

namespace {

namespace fs = std::filesystem;

// Every test also runs the logic clock fast, for the pauses of the screens.
class RankingPrueba : public FrentePrueba {
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

// A ranking image whose every byte is known: scores by table and place, initials, byte 7 = 0xA0 + slot.
std::vector<unsigned char> ranking_marcado()
{
    std::vector<unsigned char> v(RANKING_BYTES);
    for (int i = 0; i < 30; i++) {
        unsigned int sc = (unsigned)(1000 * (10 - i % 10) + 7 * (i / 10));
        unsigned char *r = &v[i * 8];
        r[0] = (unsigned char)sc;
        r[1] = (unsigned char)(sc >> 8);
        r[2] = (unsigned char)(sc >> 16);
        r[3] = (unsigned char)(sc >> 24);
        r[4] = (unsigned char)('A' + i % 26);
        r[5] = (unsigned char)('B' + i % 20);
        r[6] = (unsigned char)('C' + i % 10);
        r[7] = (unsigned char)(0xA0 + i);
    }
    return v;
}

unsigned int puntaje_de(const std::vector<unsigned char> &v, int reg)
{
    return v[reg * 8] | (v[reg * 8 + 1] << 8) | (v[reg * 8 + 2] << 16) | ((unsigned)v[reg * 8 + 3] << 24);
}

void pon_puntaje(std::vector<unsigned char> &v, int reg, unsigned int sc)
{
    for (int b = 0; b < 4; b++)
        v[reg * 8 + b] = (unsigned char)(sc >> (8 * b));
}

}  // namespace

TEST_F(RankingPrueba, LugarEmpatesVanArribaYComparaSinSigno)
{
    std::vector<unsigned char> v = ranking_marcado();   // table 1: 10007, 9007, ... 1007
    EXPECT_EQ(lugar_ranking(v.data(), 1, 20000), 0);
    EXPECT_EQ(lugar_ranking(v.data(), 1, 10007), 0) << "equal to place 1 goes above it";
    EXPECT_EQ(lugar_ranking(v.data(), 1, 9008), 1);
    EXPECT_EQ(lugar_ranking(v.data(), 1, 9007), 1);
    EXPECT_EQ(lugar_ranking(v.data(), 1, 1007), 9) << "equal to place 10 takes place 10";
    EXPECT_EQ(lugar_ranking(v.data(), 1, 1006), 10) << "below all ten: no entry";
    EXPECT_EQ(lugar_ranking(v.data(), 0, 1006), 9) << "table 0 holds 1000 at place 10";
    // a stored score above 2^31 is a large unsigned number, not a negative one
    pon_puntaje(v, 20, 0x80000000u);
    EXPECT_EQ(lugar_ranking(v.data(), 2, 50000), 1);
    EXPECT_EQ(lugar_ranking(v.data(), 2, 0x80000001u), 0);
    // all zeros take anything, 0 included, at place 1
    std::vector<unsigned char> z(RANKING_BYTES, 0);
    EXPECT_EQ(lugar_ranking(z.data(), 0, 0), 0);
    EXPECT_EQ(lugar_ranking(z.data(), 2, 1), 0);
}

TEST_F(RankingPrueba, InsertaDesplazaYConservaByte7YOtrasTablas)
{
    std::vector<unsigned char> v = ranking_marcado();
    std::vector<unsigned char> antes = v;
    // record 13 (table 1, place 4) has initials "A\0Z": it moves down as "A" followed by zeros
    v[13 * 8 + 4] = 'A';
    v[13 * 8 + 5] = 0;
    v[13 * 8 + 6] = 'Z';
    antes = v;
    inserta_ranking(v.data(), 1, 3, 9500, "QRS");
    for (int i = 0; i < 30; i++)
        EXPECT_EQ(v[i * 8 + 7], 0xA0 + i) << "byte 7 of slot " << i;
    for (int i = 0; i < 80; i++) {
        EXPECT_EQ(v[i], antes[i]) << "table 0, byte " << i;
        EXPECT_EQ(v[160 + i], antes[160 + i]) << "table 2, byte " << i;
    }
    // the new table: places 0..2 as read, QRS at place 3, places 3..8 moved down, old place 9 gone
    const unsigned char esperado[80] = {
        0x17, 0x27, 0, 0, 'K', 'L', 'C', 0xAA,   0x2F, 0x23, 0, 0, 'L', 'M', 'D', 0xAB,
        0x47, 0x1F, 0, 0, 'M', 'N', 'E', 0xAC,   0x1C, 0x25, 0, 0, 'Q', 'R', 'S', 0xAD,
        0x5F, 0x1B, 0, 0, 'A', 0,   0,   0xAE,   0x77, 0x17, 0, 0, 'O', 'P', 'G', 0xAF,
        0x8F, 0x13, 0, 0, 'P', 'Q', 'H', 0xB0,   0xA7, 0x0F, 0, 0, 'Q', 'R', 'I', 0xB1,
        0xBF, 0x0B, 0, 0, 'R', 'S', 'J', 0xB2,   0xD7, 0x07, 0, 0, 'S', 'T', 'K', 0xB3};
    for (int i = 0; i < 80; i++)
        EXPECT_EQ(v[80 + i], esperado[i]) << "table 1, byte " << i;
}

TEST_F(RankingPrueba, InsertaEnLugar10YEnLugar1)
{
    std::vector<unsigned char> v = ranking_marcado();
    std::vector<unsigned char> antes = v;
    inserta_ranking(v.data(), 2, 9, 1014, "ZZZ");
    for (int i = 0; i < 9 * 8; i++)
        EXPECT_EQ(v[160 + i], antes[160 + i]);
    EXPECT_EQ(puntaje_de(v, 29), 1014u);
    EXPECT_EQ(std::string((char *)&v[29 * 8 + 4], 3), "ZZZ");
    EXPECT_EQ(v[29 * 8 + 7], antes[29 * 8 + 7]);
    inserta_ranking(v.data(), 0, 0, 0xFFFFFFFFu, "ABC");
    EXPECT_EQ(puntaje_de(v, 0), 0xFFFFFFFFu);
    for (int i = 1; i < 10; i++)
        EXPECT_EQ(puntaje_de(v, i), puntaje_de(antes, i - 1)) << "place " << i;
}

TEST_F(RankingPrueba, InicialesEmpiezanAAAYDanLaVuelta)
{
    Iniciales e;
    iniciales_empieza(&e);
    EXPECT_EQ(std::string(e.letra, 3), "AAA");
    EXPECT_EQ(e.cursor, 0);
    EXPECT_FALSE(iniciales_tecla(&e, KEY_DOWN));
    EXPECT_EQ(e.letra[0], 'Z') << "DOWN on A gives Z";
    EXPECT_FALSE(iniciales_tecla(&e, KEY_UP));
    EXPECT_EQ(e.letra[0], 'A') << "UP on Z gives A";
    EXPECT_FALSE(iniciales_tecla(&e, KEY_LEFT));
    EXPECT_EQ(e.cursor, 0) << "LEFT on the first letter is undone";
    EXPECT_FALSE(iniciales_tecla(&e, KEY_RIGHT));
    EXPECT_FALSE(iniciales_tecla(&e, KEY_RIGHT));
    EXPECT_FALSE(iniciales_tecla(&e, KEY_RIGHT));
    EXPECT_EQ(e.cursor, 2) << "RIGHT on the third letter is undone";
    EXPECT_FALSE(iniciales_tecla(&e, KEY_A));
    EXPECT_FALSE(iniciales_tecla(&e, KEY_ESC)) << "ESC is not a key of the entry";
    EXPECT_EQ(std::string(e.letra, 3), "AAA");
    EXPECT_TRUE(iniciales_tecla(&e, KEY_ENTER)) << "ENTER on the third letter ends it";

    iniciales_empieza(&e);
    EXPECT_FALSE(iniciales_tecla(&e, KEY_ENTER));
    EXPECT_FALSE(iniciales_tecla(&e, KEY_ENTER));
    EXPECT_TRUE(iniciales_tecla(&e, KEY_ENTER)) << "three ENTERs store AAA";
    EXPECT_EQ(std::string(e.letra, 3), "AAA");
}

TEST_F(RankingPrueba, EntradaCompletaEscribeElArchivo)
{
    std::vector<unsigned char> v = ranking_marcado();
    escribe_archivo("datos/ranking.dat", v);
    difi = 1;
    puntos = 9007;   // ties with place 2 of table 1: goes above it
    // K: UP x10 from A; O: DOWN x12 from A (A -> Z -> ... -> O); R: UP x17
    for (int i = 0; i < 10; i++) teclas.push_back(KEY_UP);
    teclas.push_back(KEY_ENTER);
    for (int i = 0; i < 12; i++) teclas.push_back(KEY_DOWN);
    teclas.push_back(KEY_RIGHT);
    teclas.push_back(KEY_LEFT);
    teclas.push_back(KEY_RIGHT);
    for (int i = 0; i < 17; i++) teclas.push_back(KEY_UP);
    teclas.push_back(KEY_ENTER);
    escriveranking();
    EXPECT_TRUE(teclas.empty());
    EXPECT_EQ(leidas, 44) << "the script, no key more";
    std::vector<unsigned char> w = lee_archivo("datos/ranking.dat");
    ASSERT_EQ(w.size(), 240u);
    std::vector<unsigned char> esperado = v;
    inserta_ranking(esperado.data(), 1, 1, 9007, "KOR");
    EXPECT_EQ(w, esperado);
    EXPECT_EQ(std::string((char *)&w[11 * 8 + 4], 3), "KOR") << "above the old equal score";
    for (auto &e : fs::directory_iterator("datos"))
        EXPECT_EQ(e.path().filename().string().rfind(".korvtmp", 0), std::string::npos) << "no temporary left";
}

TEST_F(RankingPrueba, PuntajeQueNoEntraNoTocaElArchivo)
{
    std::vector<unsigned char> v = ranking_marcado();
    escribe_archivo("datos/ranking.dat", v);
    auto hora = fs::last_write_time("datos/ranking.dat");
    difi = 0;
    puntos = 999;
    teclas.push_back(KEY_UP);
    clear_to_color(pagina, 77);
    escriveranking();
    EXPECT_EQ(teclas.size(), 1u) << "no entry screen, no key read";
    EXPECT_EQ(lee_archivo("datos/ranking.dat"), v);
    EXPECT_EQ(fs::last_write_time("datos/ranking.dat"), hora);
    EXPECT_EQ(getpixel(pagina, 0, 0), 77) << "nothing drawn";
}

TEST_F(RankingPrueba, ArchivoFaltanteMuestraFabricaYSeCreaCompleto)
{
    unsigned char fabrica[RANKING_BYTES];
    ranking_por_defecto(fabrica);
    unsigned char buf[RANKING_BYTES];
    testing::internal::CaptureStderr();
    EXPECT_FALSE(lee_ranking(buf));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("datos/ranking.dat"), std::string::npos) << err;
    EXPECT_EQ(memcmp(buf, fabrica, RANKING_BYTES), 0);

    // a score below the shipped place 10 creates nothing
    difi = 2;
    puntos = 0;
    escriveranking();
    EXPECT_FALSE(existe("datos/ranking.dat"));
    // a score that enters writes the whole file: shipped tables plus the entry
    puntos = 45000;
    escriveranking();   // ENTER x3 from the script's end: AAA
    std::vector<unsigned char> w = lee_archivo("datos/ranking.dat");
    ASSERT_EQ(w.size(), 240u);
    inserta_ranking(fabrica, 2, lugar_ranking(fabrica, 2, 45000), 45000, "AAA");
    EXPECT_EQ(memcmp(w.data(), fabrica, 240), 0);
}

TEST_F(RankingPrueba, ArchivoCortoOIlegibleUsaFabrica)
{
    unsigned char fabrica[RANKING_BYTES], buf[RANKING_BYTES];
    ranking_por_defecto(fabrica);
    std::vector<unsigned char> corto(239, 0x11);
    escribe_archivo("datos/ranking.dat", corto);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(lee_ranking(buf));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("239"), std::string::npos) << err;
    EXPECT_EQ(memcmp(buf, fabrica, 240), 0);
    // the short file is replaced by a complete one only when a score enters
    difi = 0;
    puntos = 1;
    escriveranking();
    EXPECT_EQ(lee_archivo("datos/ranking.dat"), corto);
    puntos = 100000;
    escriveranking();
    EXPECT_EQ(lee_archivo("datos/ranking.dat").size(), 240u);

    // a folder where the file should be cannot be read
    fs::remove("datos/ranking.dat");
    fs::create_directory("datos/ranking.dat");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(lee_ranking(buf));
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("datos/ranking.dat"), std::string::npos) << err;
    EXPECT_EQ(memcmp(buf, fabrica, 240), 0);
}

TEST_F(RankingPrueba, NoSePuedeGuardarLoDiceEnPantallaYNoPierdeNada)
{
    // two ways to make the write fail: a folder in the file's place, and no datos folder at all
    for (int caso = 0; caso < 2; caso++) {
        if (caso == 0) {
            fs::create_directory("datos/ranking.dat");
            escribe_archivo("datos/ranking.dat/dentro", {1, 2, 3});
        } else {
            fs::remove_all("datos");
        }
        difi = 1;
        puntos = 55000;   // place 2 of the shipped QUIERO JUGAR table
        testing::internal::CaptureStderr();
        escriveranking();
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("no se pudo guardar"), std::string::npos) << err;
        if (caso == 0) {
            EXPECT_TRUE(fs::is_directory("datos/ranking.dat"));
            EXPECT_EQ(lee_archivo("datos/ranking.dat/dentro"), (std::vector<unsigned char>{1, 2, 3}));
        } else {
            EXPECT_FALSE(fs::exists("datos"));
        }
        // the table shown afterwards: the entry at its place, from memory
        BITMAP *ref = create_bitmap(320, 240);
        clear_bitmap(ref);
        textprintf_centre_ex(ref, font, 160, 30 + 21 * 1, 239, -1, "%2d %6d %s", 2, 55000, "AAA");
        EXPECT_TRUE(misma_region(pagina, ref, 0, 51, 320, 21)) << "case " << caso;
        destroy_bitmap(ref);
    }
}

// The notice of an unsaved entry: two lines in the highlight colour, within the screen.
TEST_F(RankingPrueba, AvisoNoGuardadoEnDosLineas)
{
    aviso_no_guardado();
    BITMAP *ref = create_bitmap(320, 240);
    clear_bitmap(ref);
    textprintf_centre_ex(ref, font, 160, 100, 239, -1, "NO SE PUDO GUARDAR");
    textprintf_centre_ex(ref, font, 160, 125, 239, -1, "EL RANKING");
    EXPECT_TRUE(misma_region(pagina, ref, 0, 0, 320, 240));
    destroy_bitmap(ref);
}

TEST_F(RankingPrueba, PuntajeFinalSumaBonoYSeRecorta)
{
    EXPECT_EQ(total_final(12345, 4), 24345);
    EXPECT_EQ(total_final(0, 0), 0);
    EXPECT_EQ(total_final(INT_MAX - 6000, 2), INT_MAX);
    EXPECT_EQ(total_final(INT_MAX - 5999, 2), INT_MAX) << "the bonus never wraps the score";
    EXPECT_EQ(total_final(INT_MAX, 1000000), INT_MAX);

    // the screen, then the entry (PantallasPrueba.GaneLlevaAlPuntajeYAlRanking holds an ordinary
    // total): a score near the top of 32 bits enters as the largest positive score
    escribe_archivo("datos/ranking.dat", std::vector<unsigned char>(RANKING_BYTES, 0));
    difi = 0;
    vidas = 3;
    puntos = INT_MAX - 10;
    tupuntaje();
    EXPECT_EQ(puntos, INT_MAX);
    std::vector<unsigned char> w = lee_archivo("datos/ranking.dat");
    ASSERT_EQ(w.size(), 240u);
    EXPECT_EQ(puntaje_de(w, 0), 0x7FFFFFFFu);
}
