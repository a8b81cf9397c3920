// The tunes: Standard MIDI Files that the library loads, of the right length, using only
// instruments the freepats set has, each channel set up at the start and silenced at the end.
#include <gtest/gtest.h>

#include <dirent.h>
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "prueba.h"
#include "shared/carga.h"

namespace {

// General MIDI programs (from 0) and drum notes with a freepats patch.
const std::set<int> programas = {0, 1, 2, 4, 5, 6, 7, 8, 9, 13, 14, 15, 16, 19, 21, 23, 24, 25, 26, 27, 28, 29, 30,
                                 32, 33, 34, 35, 36, 37, 38, 40, 42, 44, 45, 46, 47, 48, 53, 56, 57, 58, 59, 60, 61,
                                 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 79, 80, 84, 88, 94, 95, 98, 101,
                                 102, 104, 114, 115, 120, 122, 125};
bool tambor_valido(int n) { return (n >= 25 && n <= 27) || (n >= 31 && n <= 82) || n == 84; }

// What a song file says, read event by event.
struct Cancion {
    bool valida = false;
    double segundos = 0;
    std::set<int> programas, tambores, canales, con_volumen, apagados;
    int notas = 0;
};

unsigned vlq(const std::vector<unsigned char> &v, size_t &i)
{
    unsigned x = 0;
    while (i < v.size()) {
        unsigned char b = v[i++];
        x = (x << 7) | (b & 0x7F);
        if (!(b & 0x80)) break;
    }
    return x;
}

// Reads a format 0 or 1 file with a single tempo track as this game's files are written.
Cancion analiza(const std::string &ruta)
{
    Cancion c;
    std::vector<unsigned char> v = lee_archivo(ruta);
    if (v.size() < 22 || std::string(v.begin(), v.begin() + 4) != "MThd") return c;
    int tpq = (v[12] << 8) | v[13];
    size_t i = 14;
    double us_negra = 500000, seg = 0;
    while (i + 8 <= v.size() && std::string(v.begin() + i, v.begin() + i + 4) == "MTrk") {
        size_t fin = i + 8 + ((v[i + 4] << 24) | (v[i + 5] << 16) | (v[i + 6] << 8) | v[i + 7]);
        i += 8;
        unsigned char estado = 0;
        long tick = 0;
        double t = 0;
        while (i < fin && i < v.size()) {
            unsigned d = vlq(v, i);
            tick += d;
            t += d * us_negra / tpq / 1e6;
            unsigned char b = v[i];
            if (b & 0x80) { estado = b; i++; }
            if (estado == 0xFF) {
                unsigned char tipo = v[i++];
                unsigned len = vlq(v, i);
                if (tipo == 0x51) us_negra = (v[i] << 16) | (v[i + 1] << 8) | v[i + 2];
                i += len;
                estado = 0;
                continue;
            }
            int ch = estado & 15, k = estado & 0xF0;
            int a = v[i++], b2 = (k == 0xC0 || k == 0xD0) ? 0 : v[i++];
            if (k == 0x90 && b2 > 0) {
                c.notas++;
                c.canales.insert(ch);
                if (ch == 9) c.tambores.insert(a);
            } else if (k == 0xC0) {
                c.programas.insert(a);
            } else if (k == 0xB0 && a == 7 && tick == 0) {
                c.con_volumen.insert(ch);
            } else if (k == 0xB0 && a == 123) {
                c.apagados.insert(ch);
            }
        }
        seg = std::max(seg, t);
        i = fin;
    }
    c.segundos = seg;
    c.valida = true;
    return c;
}

std::vector<std::string> midis()
{
    std::vector<std::string> v;
    if (DIR *d = opendir(KORV_DIR "/midi")) {
        while (dirent *e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > 4 && n.substr(n.size() - 4) == ".mid") v.push_back(std::string(KORV_DIR) + "/midi/" + n);
        }
        closedir(d);
    }
    std::sort(v.begin(), v.end());
    return v;
}

void revisa(const std::string &ruta, double min_seg, double max_seg)
{
    MIDI *m = load_midi(ruta.c_str());
    ASSERT_NE(m, nullptr) << ruta;
    destroy_midi(m);
    Cancion c = analiza(ruta);
    ASSERT_TRUE(c.valida) << ruta;
    EXPECT_GE(c.segundos, min_seg) << ruta;
    EXPECT_LE(c.segundos, max_seg) << ruta;
    EXPECT_GT(c.notas, 100) << ruta;
    for (int p : c.programas) EXPECT_TRUE(programas.count(p)) << ruta << ": programa " << p << " sin sonido";
    for (int n : c.tambores) EXPECT_TRUE(tambor_valido(n)) << ruta << ": tambor " << n << " sin sonido";
    for (int ch : c.canales) {
        EXPECT_TRUE(c.con_volumen.count(ch)) << ruta << ": canal " << ch << " sin volumen al empezar";
        EXPECT_TRUE(c.apagados.count(ch)) << ruta << ": canal " << ch << " sin apagar al final";
    }
}

}  // namespace

TEST(Musica, FoxtrotDelTitulo)
{
    revisa(std::string(KORV_DIR) + "/datos/fox.mid", 30, 60);
}

TEST(Musica, TemasDeLaLista)
{
    std::vector<std::string> v = midis();
    EXPECT_GE(v.size(), 3u);
    EXPECT_LE(v.size(), 10u) << "la lista de temas toma solo diez";
    for (const std::string &r : v)
        revisa(r, 60, 180);
}

TEST(Musica, CarpetaMp3Vacia)
{
    int n = 0;
    if (DIR *d = opendir(KORV_DIR "/mp3")) {
        while (dirent *e = readdir(d)) n += e->d_name[0] != '.';
        closedir(d);
    }
    EXPECT_EQ(n, 0) << "con archivos en mp3/ la musica MIDI no suena";
}
