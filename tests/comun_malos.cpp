// Every file the shared loaders read, in every bad shape: the loader refuses it with a line
// naming the file, or takes what is sound in it; nothing crashes, hangs or changes behind it.
#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>

#include "malos.h"
#include "shared/carga.h"

namespace {

using namespace malos;
namespace fs = std::filesystem;

bool soy_root() { return geteuid() == 0; }

// What a case must give: refused (false), accepted (true), or either (the data decide).
enum Espera { NO, SI, CUALQUIERA };

Espera esperado(int c)
{
    switch (c) {
    case LARGO:
        return SI;
    case SIN_PERMISO:
        return soy_root() ? SI : NO;   // root reads any file
    case BASURA:
    case FUERA_DE_RANGO:
        return CUALQUIERA;
    default:
        return NO;
    }
}

// Runs carga for every case of `archivo`, checking the result and that a refusal names the file.
void cada_caso(const std::string &archivo, const std::vector<unsigned char> &fuera, bool (*carga)(),
               void (*libera)(), Espera basura = NO, Espera rango = NO)
{
    std::vector<unsigned char> bueno = lee_archivo(archivo);
    ASSERT_FALSE(bueno.empty()) << archivo;
    for (int c = 0; c < NUM_CASOS; c++) {
        pon(archivo, c, bueno, fuera);
        testing::internal::CaptureStderr();
        bool ok = carga();
        std::string err = testing::internal::GetCapturedStderr();
        libera();
        Espera e = c == BASURA ? basura : c == FUERA_DE_RANGO ? rango : esperado(c);
        if (e != CUALQUIERA) {
            EXPECT_EQ(ok, e == SI) << archivo << ": " << nombre(c);
        }
        if (!ok) {
            EXPECT_STREQ(carga_fallo, archivo.c_str()) << nombre(c);
            EXPECT_NE(err.find(archivo), std::string::npos) << nombre(c) << ": " << err;
        }
        pon(archivo, LARGO, bueno, fuera);
        escribe_archivo(archivo, bueno);
    }
    EXPECT_TRUE(carga()) << archivo << " back in place";
    libera();
}

// A BMP whose header asks for 16 bits per pixel and a width of 70000.
std::vector<unsigned char> bmp_fuera(std::vector<unsigned char> v)
{
    v[28] = 16;
    v[18] = 0x70;
    v[19] = 0x11;
    v[20] = 0x01;
    return v;
}

struct ArchivosMalos : ::testing::Test {
    CarpetaTemporal t;
    void SetUp() override { copia_datos_reales(); }
};

}  // namespace

TEST_F(ArchivosMalos, HojaYPantallasCompletas)
{
    for (const char *f : {"datos/imagen.bmp", "datos/lurgo.bmp", "datos/korvex.bmp", "datos/gane.bmp"}) {
        std::vector<unsigned char> v = lee_archivo(f);
        cada_caso(f, bmp_fuera(v), CargarBMP, DestruyeBMP);
        // A header whose pixel rows lie past the end of the file (the library's reader hung on it).
        std::vector<unsigned char> cabecera(v.begin(), v.begin() + 24);
        for (int i = 0; i < 3000; i++)
            cabecera.push_back((unsigned char)(i * 37));
        escribe_archivo(f, cabecera);
        EXPECT_FALSE(CargarBMP()) << f;
        DestruyeBMP();
        escribe_archivo(f, v);
    }
}

TEST_F(ArchivosMalos, HojaMenorQueLaQueSeCorta)
{
    BITMAP *b = create_bitmap(320, 500);
    clear_to_color(b, 3);
    PALETTE p;
    get_palette(p);
    save_bitmap("datos/imagen.bmp", b, p);
    destroy_bitmap(b);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(CargarBMP());
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("320x568"), std::string::npos) << err;
    DestruyeBMP();
}

TEST_F(ArchivosMalos, SonidosYMusicaDelTitulo)
{
    const char *f[] = {"datos/explocio.wav", "datos/camio1.wav", "datos/bolsa.wav", "datos/korvpol.wav",
                       "datos/camio2.wav", "datos/gold.wav", "datos/camio3.wav", "datos/gameover.wav"};
    for (const char *n : f) {
        std::vector<unsigned char> v = lee_archivo(n);
        v[22] = 9;   // nine channels
        v[34] = 12;  // twelve bits a sample
        cada_caso(n, v, carga_sonidos, DestruyeSonidos, NO, CUALQUIERA);
    }
    std::vector<unsigned char> m = lee_archivo("datos/fox.mid");
    m[10] = 0x7F;   // 32512 tracks announced
    m[11] = 0x00;
    cada_caso("datos/fox.mid", m, carga_sonidos, DestruyeSonidos, NO, CUALQUIERA);
}

namespace {

bool fuente_ok() { return fuente_valida("datos/font.dat"); }
void nada() {}

}  // namespace

TEST_F(ArchivosMalos, FuenteDelJuego)
{
    std::vector<unsigned char> v = lee_archivo("datos/font.dat");
    // The first glyph of the font 65535 pixels wide.
    std::vector<unsigned char> fuera = v;
    for (size_t i = 0; i + 4 < fuera.size(); i++)
        if (memcmp(&fuera[i], "FONT", 4) == 0) {
            size_t g = i + 12 + 4 + 9;
            fuera[g] = fuera[g + 1] = 0xFF;
            break;
        }
    cada_caso("datos/font.dat", fuera, fuente_ok, nada);
    // Cut at every length: refused each time, or (at none) read by the library without harm.
    for (size_t n = 0; n < v.size(); n += 97) {
        escribe_archivo("datos/font.dat", std::vector<unsigned char>(v.begin(), v.begin() + n));
        testing::internal::CaptureStderr();
        EXPECT_FALSE(fuente_valida("datos/font.dat")) << n << " bytes";
        testing::internal::GetCapturedStderr();
    }
    // What is accepted, the library reads: object 1 is the font.
    escribe_archivo("datos/font.dat", v);
    ASSERT_TRUE(fuente_valida("datos/font.dat"));
    DATAFILE *d = load_datafile("datos/font.dat");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d[1].type, DAT_FONT);
    unload_datafile(d);
}

namespace {

std::vector<unsigned char> memoria()
{
    std::vector<unsigned char> m(1 + MAPA_BYTES + ENE_BYTES);
    m[0] = multi;
    for (int r = 0; r < MAPA_FILAS; r++)
        for (int c = 0; c < MAPA_COLS; c++)
            m[1 + MAPA_COLS * r + c] = mapa[c][r];
    memcpy(&m[1 + MAPA_BYTES], enemi, ENE_BYTES);
    return m;
}

}  // namespace

TEST_F(ArchivosMalos, ArchivoDeNivel)
{
    reserva_enemigos();
    const std::string f = "levels/nivel_01.map";
    std::vector<unsigned char> bueno = lee_archivo(f);
    ASSERT_EQ(bueno.size(), (size_t)NIVEL_BYTES);
    std::vector<unsigned char> fuera = bueno;
    fuera[0] = 250;                              // speed code 250
    for (int i = 1; i <= MAPA_BYTES; i++)
        fuera[i] = (unsigned char)(40 + i % 216);   // blocks 40..255
    for (int r = 0; r < ENE_MAX; r++) {
        unsigned char *e = &fuera[1 + MAPA_BYTES + r * ENE_REG];
        int col = 700 + r * 3;                   // columns up to 1597
        e[0] = (unsigned char)col;
        e[1] = (unsigned char)(col >> 8);
        e[2] = (unsigned char)(r * 7);           // rows past the eighth
        e[3] = (unsigned char)(1 + r % 12);      // types up to 12
    }
    for (int c = 0; c < NUM_CASOS; c++) {
        ASSERT_TRUE(CargaMapa("levels/nivel_02.map"));
        std::vector<unsigned char> antes = memoria();
        pon(f, c, bueno, fuera);
        testing::internal::CaptureStderr();
        bool ok = CargaMapa(f.c_str());
        std::string err = testing::internal::GetCapturedStderr();
        Espera e = esperado(c);
        if (c == BASURA || c == FUERA_DE_RANGO)
            e = SI;   // any 2801 bytes are a level once its values are brought into range
        EXPECT_EQ(ok, e == SI) << nombre(c);
        if (!ok) {
            EXPECT_EQ(memoria(), antes) << nombre(c) << ": a refused level changes nothing";
            EXPECT_NE(err.find(f), std::string::npos) << nombre(c) << ": " << err;
            continue;
        }
        for (int cc = 0; cc < MAPA_COLS; cc++)
            for (int r = 0; r < MAPA_FILAS; r++)
                ASSERT_LT(mapa[cc][r], NUM_TILES) << nombre(c);
        for (int r = 0; r < ENE_MAX; r++) {
            if (ene_tipo(r) == 0)
                continue;
            EXPECT_LE(ene_tipo(r), TIPO_MAX) << nombre(c);
            EXPECT_LT(ene_col(r), ENE_COLS) << nombre(c);
            EXPECT_LT(ene_fila(r), MAPA_FILAS * BLOQUE_H) << nombre(c);
        }
        if (c == LARGO) {
            EXPECT_EQ(memoria(), bueno) << "the bytes after the enemy table are ignored";
        }
        if (c == FUERA_DE_RANGO) {
            EXPECT_EQ(multi, 250) << "the speed code is kept (the game plays it as x1)";
            EXPECT_EQ(mapa[0][0], 0) << "a block number past the table becomes block 0";
            // records past the grid or of unknown types are dropped, the rest kept
            EXPECT_EQ(ene_tipo(0), 1);
            EXPECT_EQ(ene_fila(0), 0);
            EXPECT_EQ(ene_tipo(11), 0) << "type 12 dropped";
            EXPECT_EQ(ene_tipo(40), 0) << "column 820 dropped";
        }
    }
}
