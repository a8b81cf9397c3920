// Recordings: the file's exact bytes, runs driven by a key script through the real logic and
// recording, played back to the same world tick for tick at 75 and 60 Hz, and every damaged or
// unfitting recording refused by korvex -repeticion with its line and status 2, writing nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "game/main.h"
#include "game/presoverganec.h"
#include "game/repeticion_juego.h"
#include "game/utilfun.h"
#include "tests/prueba.h"
#include "tests/superficies.h"
#include "shared/rutas.h"

namespace fs = std::filesystem;

namespace {

// A key script: lane changes held a while, pseudo-random from a seed; ESC at tick esc (0: never).
struct Guion {
    unsigned semilla;
    int esc;
    int quedan = 0, teclas = 0;
    unsigned azar() { semilla = semilla * 1664525u + 1013904223u; return semilla >> 8; }
    int siguiente(int n)
    {
        if (esc && n >= esc)
            return REP_SALIR;
        if (quedan-- <= 0) {
            static const int elige[5] = {0, REP_ARRIBA, REP_ABAJO, 0, REP_ARRIBA | REP_ABAJO};
            teclas = elige[azar() % 5];
            quedan = 1 + (int)(azar() % 40);
        }
        return teclas;
    }
};

void pon_teclas(int t)
{
    key[KEY_UP] = (t & REP_ARRIBA) != 0;
    key[KEY_DOWN] = (t & REP_ABAJO) != 0;
    key[KEY_ESC] = (t & REP_SALIR) != 0;
}

// The levels of the catalogue played as the game's run plays them, each tick's logic by
// act_logica, until the run ends; the world's checksum after every tick. g: the script, or
// NULL when a recording gives the keys.
std::vector<unsigned> corre_niveles(Guion *g)
{
    std::vector<unsigned> sumas;
    do {
        nivel = nivel + 1;
        char ruta[RUTA_MAX];
        ruta_nivel(nivel - 1, ruta, sizeof ruta);
        EXPECT_TRUE(CargaMapa(ruta));
        nscro = velocidad_nivel(nscr3, multi, animcon);
        prepara_nivel();
        while (cambnib == EST_JUEGO && sumas.size() < 400000) {
            pon_teclas(g ? g->siguiente((int)sumas.size()) : 0);
            tick = tick + 1;
            act_logica();
            sumas.push_back(suma_mundo(REP_VERSION));
        }
    } while (cambnib == EST_NIVEL_OK && nivel < niveles);
    pon_teclas(0);
    return sumas;
}

// A run recorded as game() records it: difficulty dif at hz, from a clock standing at reloj.
std::vector<unsigned> graba(int hz, int dif, Guion g, int reloj)
{
    superficies();
    max_fps = hz;
    empieza_partida();
    difi = dif;
    vidas = dificultades[dif].vidas;
    nscr3 = dificultades[dif].velocidad;
    animcon = escala_tiempo(hz);
    tick = tick_juego = reloj;
    grabacion_empieza();
    std::vector<unsigned> sumas = corre_niveles(&g);
    grabacion_termina();
    return sumas;
}

// The run a recording holds, played back.
std::vector<unsigned> reproduce_prueba(const Repeticion &r, bool *igual)
{
    max_fps = 75;
    empieza_reproduccion(r, MODO_REPRODUCE);
    tick = 12345;   // the clock's phase is not the recording's business
    std::vector<unsigned> sumas = corre_niveles(NULL);
    *igual = termina_reproduccion();
    return sumas;
}

// korvex -repeticion FILE, no display: its stderr and exit status.
std::pair<std::string, int> korvex_repeticion(const std::string &archivo)
{
    std::string orden = "env -u DISPLAY " KORV_DIR "/korvex -repeticion '" + archivo + "' 2>&1";
    FILE *p = popen(orden.c_str(), "r");
    std::string out;
    char buf[512];
    while (fgets(buf, sizeof buf, p))
        out += buf;
    int st = pclose(p);
    return {out, WIFEXITED(st) ? WEXITSTATUS(st) : -1};
}

// Every file under the working folder with its size and time: what a program wrote shows.
std::string inventario()
{
    std::string s;
    for (auto &e : fs::recursive_directory_iterator("."))
        s += e.path().string() + " " + (e.is_regular_file() ? std::to_string(e.file_size()) : "-") + " " +
             std::to_string(fs::last_write_time(e.path()).time_since_epoch().count()) + "\n";
    return s;
}

}  // namespace

// The bytes of a small recording, field by field, and the same recording read back.
TEST(Repeticion, BytesDelArchivo)
{
    Repeticion r = {};
    r.version = REP_VERSION;
    strcpy(r.programa, "1.9");
    r.dificultad = 2, r.hz = 60, r.animcon = 1.25f, r.fase = 3, r.niveles = 1;
    strcpy(r.nivel[0].nombre, "a.map");
    r.nivel[0].crc = 0x11223344;
    strcpy(r.conjunto, "MIS"), r.practica = 1;
    r.fin = REP_FIN_GANO, r.alcanzado = 1, r.puntos = 70000, r.vidas = 2, r.suma = 0xCAFEBABE;
    r.teclas.assign(200, 0);
    r.teclas.insert(r.teclas.end(), 3, REP_ARRIBA);
    r.teclas.push_back(REP_SALIR);
    std::vector<unsigned char> v = codifica_repeticion(r);
    const std::vector<unsigned char> esperado = {
        'K', 'R', 'E', 'P', REP_VERSION, 0, '1', '.', '9', 0, 0, 0, 0, 0,   // magic, version, program
        2, 60, 0, 0x00, 0x00, 0xA0, 0x3F, 3,                      // difficulty, rate, 1.25f, phase
        1, 5, 'a', '.', 'm', 'a', 'p', 0x44, 0x33, 0x22, 0x11,     // one level: name, CRC
        3, 'M', 'I', 'S', 1,                                       // the set, the level practised
        5, 1, 0x70, 0x11, 0x01, 0x00, 2, 0, 0xBE, 0xBA, 0xFE, 0xCA,   // won, level 1, 70000, 2 lives, checksum
        204, 0, 0, 0,                                              // ticks
        0, 0xC8, 0x01, 1, 3, 8, 1};                                // 200 x none, 3 x up, 1 x ESC
    ASSERT_EQ(v.size(), esperado.size() + 4);
    EXPECT_EQ(std::vector<unsigned char>(v.begin(), v.end() - 4), esperado);
    unsigned crc = crc32_bytes(0, v.data(), v.size() - 4);
    EXPECT_EQ(std::vector<unsigned char>(v.end() - 4, v.end()),
              std::vector<unsigned char>({(unsigned char)crc, (unsigned char)(crc >> 8), (unsigned char)(crc >> 16),
                                          (unsigned char)(crc >> 24)}));
    EXPECT_EQ(crc32_bytes(0, "123456789", 9), 0xCBF43926u);   // the polynomial's check value
    Repeticion l;
    char motivo[200];
    ASSERT_TRUE(descifra_repeticion(v.data(), v.size(), &l, motivo, sizeof motivo)) << motivo;
    EXPECT_EQ(codifica_repeticion(l), v);
    EXPECT_EQ(l.teclas, r.teclas);
    EXPECT_EQ(repeticion_total(l), 70000) << "a practice: no bonus for the lives";
    r.practica = 0;
    v = codifica_repeticion(r);
    ASSERT_TRUE(descifra_repeticion(v.data(), v.size(), &l, motivo, sizeof motivo)) << motivo;
    EXPECT_EQ(repeticion_total(l), 76000);
}

// Five runs of the real levels (three difficulties, 75 and 60 Hz, one ended with ESC) recorded
// to ultima.rep, read back and played: the same world after every tick, the same end.
TEST(Repeticion, GrabadaYReproducidaIgual)
{
    CarpetaTemporal t;
    copia_datos_reales();
    buscaarch();
    ASSERT_GT(niveles, 0);
    const struct { int hz, dif; unsigned semilla; int esc, reloj; } casos[] = {
        {75, 0, 1, 0, 0}, {60, 1, 2, 0, 1}, {75, 2, 3, 0, 2}, {60, 0, 4, 3000, 7}, {75, 1, 5, 0, 3},
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(testing::Message() << c.hz << " Hz, dificultad " << c.dif << ", guion " << c.semilla);
        std::vector<unsigned> original = graba(c.hz, c.dif, Guion{c.semilla, c.esc}, c.reloj);
        int fin = cambnib, pts = puntos, vid = vidas, niv = nivel;
        Repeticion r;
        char error[600];
        ASSERT_TRUE(lee_repeticion("datos/ultima.rep", &r, error, sizeof error)) << error;
        ASSERT_TRUE(repeticion_cabe(r, "datos/ultima.rep", error, sizeof error)) << error;
        EXPECT_EQ(r.teclas.size(), original.size());
        EXPECT_EQ(r.hz, c.hz);
        EXPECT_EQ(r.fase, c.reloj % 4);
        bool igual = false;
        std::vector<unsigned> copia = reproduce_prueba(r, &igual);
        EXPECT_TRUE(igual);
        EXPECT_EQ(copia, original);
        EXPECT_EQ(cambnib, fin);
        EXPECT_EQ(puntos, pts);
        EXPECT_EQ(vidas, vid);
        EXPECT_EQ(nivel, niv);
        EXPECT_EQ(r.fin, c.esc ? REP_FIN_SALIR : fin == EST_GANO ? REP_FIN_GANO : REP_FIN_PERDIO);
        printf("[ repeticion ] %d Hz dificultad %d: %zu ticks, nivel %d, %d puntos (reproducida: %d), %zu bytes\n",
               c.hz, c.dif, original.size(), niv, pts, puntos, codifica_repeticion(r).size());
    }
}

// The best run of a difficulty is replaced only by a higher final score; the last run always.
TEST(Repeticion, MejorSoloConMasPuntos)
{
    CarpetaTemporal t;
    copia_datos_reales();
    buscaarch();
    Repeticion r;
    char error[600];
    graba(75, 1, Guion{2, 900}, 0);
    int primero = puntos;
    ASSERT_TRUE(lee_repeticion("datos/mejor_1.rep", &r, error, sizeof error)) << error;
    EXPECT_EQ(r.puntos, primero);
    EXPECT_FALSE(existe("datos/mejor_0.rep"));
    graba(75, 1, Guion{2, 100}, 0);   // the same keys, ended sooner: fewer points
    ASSERT_LT(puntos, primero);
    ASSERT_TRUE(lee_repeticion("datos/ultima.rep", &r, error, sizeof error)) << error;
    EXPECT_EQ(r.puntos, puntos);
    ASSERT_TRUE(lee_repeticion("datos/mejor_1.rep", &r, error, sizeof error)) << error;
    EXPECT_EQ(r.puntos, primero);
    graba(75, 1, Guion{2, 2500}, 0);
    ASSERT_GT(puntos, primero);
    ASSERT_TRUE(lee_repeticion("datos/mejor_1.rep", &r, error, sizeof error)) << error;
    EXPECT_EQ(r.puntos, puntos);
    EXPECT_TRUE(hay_mejor(1));
    EXPECT_FALSE(hay_mejor(2));
}

// Damaged and unfitting recordings: korvex -repeticion says why in one line, exits 2 and writes
// nothing (levels that changed or went: the reader's check, the program's under X). Cut short at every byte: the field it was cut in.
TEST(Repeticion, RechazosEnTabla)
{
    CarpetaTemporal t;
    copia_datos_reales();
    buscaarch();
    graba(75, 1, Guion{9, 400}, 0);
    const std::vector<unsigned char> buena = lee_archivo("datos/ultima.rep");
    ASSERT_FALSE(buena.empty());
    fs::remove("datos/ultima.rep");
    fs::remove("datos/mejor_1.rep");
    std::string dir = t.ruta + "/";
    // The bytes changed, with the file's CRC made right again (crc) or left as it was.
    auto con = [&](std::vector<std::pair<size_t, unsigned char>> cambios, bool crc = true) {
        std::vector<unsigned char> v = buena;
        for (auto &c : cambios)
            v[c.first] = c.second;
        unsigned x = crc32_bytes(0, v.data(), v.size() - 4);
        for (int i = 0; crc && i < 4; i++)
            v[v.size() - 4 + i] = (unsigned char)(x >> (8 * i));
        return v;
    };
    std::vector<unsigned char> cola = buena;
    cola.push_back(0);
    std::vector<unsigned char> crc_mal = buena;
    crc_mal.back() ^= 1;
    size_t tecla = buena.size() - 6;
    mkfifo("fifo.rep", 0600);
    fs::create_directory("carpeta.rep");
    const struct { std::string nombre; std::vector<unsigned char> bytes; std::string motivo; int nivel; } casos[] = {
        {"marca.rep", con({{0, 'X'}}), "no es una repeticion de KORVEX (marca equivocada)", 0},
        {"version.rep", con({{4, REP_VERSION + 1}}), "version 4, mas nueva que la que lee este programa (3)", 0},
        {"version_danada.rep", con({{5, 1}}, false), "dañado (el CRC no coincide)", 0},
        {"crc.rep", crc_mal, "dañado (el CRC no coincide)", 0},
        {"teclas.rep", con({{tecla, (unsigned char)(buena[tecla] ^ 0x10)}}), "las teclas: teclas desconocidas (24)", 0},
        {"teclas_danadas.rep", con({{tecla, (unsigned char)(buena[tecla] ^ 0x10)}}, false), "dañado (el CRC no coincide)", 0},
        {"programa.rep", con({{12, 'x'}}), "la version del programa mal escrita", 0},
        {"cola.rep", cola, "datos: 1 bytes de mas al final", 0},
        {"fifo.rep", {}, "es una FIFO, no un archivo; no se lee", 0},
        {"carpeta.rep", {}, "es una carpeta, no un archivo", 0},
        {"nivel_cambiado.rep", buena, "el nivel 1, nivel_01.map, no es el de la grabacion (cambio desde entonces)", 1},
        {"nivel_falta.rep", buena, "falta el nivel 1, nivel_01.map", 2},
    };
    const std::vector<unsigned char> nivel1 = lee_archivo("levels/nivel_01.map");
    for (const auto &c : casos) {
        SCOPED_TRACE(c.nombre);
        if (!c.bytes.empty())
            escribe_archivo(c.nombre, c.bytes);
        if (c.nivel == 1) {
            std::vector<unsigned char> v = nivel1;
            v[2000] ^= 1;
            escribe_archivo("levels/nivel_01.map", v);
        } else if (c.nivel == 2) {
            fs::remove("levels/nivel_01.map");
        }
        buscaarch();
        std::string antes = inventario();
        std::string linea = dir + c.nombre + ": " + c.motivo;
        // The levels are compared once the library is up (under X: the scenario of the game).
        if (!c.nivel) {
            EXPECT_EQ(korvex_repeticion(dir + c.nombre), std::make_pair(linea + "\n", 2));
        }
        EXPECT_EQ(inventario(), antes);
        Repeticion r;
        char error[600];
        std::string ruta = dir + c.nombre;
        bool ok = lee_repeticion(ruta.c_str(), &r, error, sizeof error) &&
                  repeticion_cabe(r, ruta.c_str(), error, sizeof error);
        EXPECT_FALSE(ok);
        EXPECT_EQ(error, linea);
        escribe_archivo("levels/nivel_01.map", nivel1);
    }
    buscaarch();

    // Cut short: every length from 0 to one byte short, the field the cut falls in.
    std::vector<std::pair<size_t, std::string>> campos = {
        {0, "la marca"}, {4, "la version"}, {6, "la version del programa"}, {14, "la dificultad"},
        {15, "la tasa logica"}, {17, "la escala de tiempo"}, {21, "la fase"}, {22, "la cuenta de niveles"}};
    size_t p = 23;
    for (int i = 0; i < buena[22]; i++) {
        campos.push_back({p, "el nombre del nivel " + std::to_string(i + 1)});
        p += 1 + buena[p];
        campos.push_back({p, "el CRC del nivel " + std::to_string(i + 1)});
        p += 4;
    }
    campos.push_back({p, "el nombre del conjunto"});
    p += 1 + buena[p];
    campos.push_back({p, "el nivel de practica"});
    p += 1;
    for (auto f : {std::make_pair(1, "el final"), std::make_pair(1, "el nivel alcanzado"), std::make_pair(4, "los puntos"),
                   std::make_pair(2, "las vidas"), std::make_pair(4, "la suma del mundo"),
                   std::make_pair(4, "la cuenta de ticks")}) {
        campos.push_back({p, f.second});
        p += f.first;
    }
    campos.push_back({p, "las teclas"});
    campos.push_back({buena.size() - 4, "el CRC del archivo"});
    size_t campo = 0;
    for (size_t n = 0; n < buena.size(); n++) {
        while (campo + 1 < campos.size() && campos[campo + 1].first <= n)
            campo++;
        Repeticion r;
        char motivo[200];
        ASSERT_FALSE(descifra_repeticion(buena.data(), n, &r, motivo, sizeof motivo));
        // A cut at a field's first byte is a cut in that field (the marca's, before it: too).
        std::string esperado = "truncado en " + campos[n == 0 ? 0 : campo].second;
        ASSERT_EQ(std::string(motivo), esperado) << "cortado a " << n << " bytes";
    }
    // One cut of each field through the program itself.
    for (const auto &f : campos) {
        std::string nombre = dir + "corto.rep";
        escribe_archivo(nombre, std::vector<unsigned char>(buena.begin(), buena.begin() + f.first));
        EXPECT_EQ(korvex_repeticion(nombre), std::make_pair(nombre + ": truncado en " + f.second + "\n", 2));
    }
}

// Where recordings go: beside the ranking in the build folder; installed, the user's folder (made
// when written); installed without a user folder, nowhere.
TEST(Repeticion, DondeQuedanLasGrabaciones)
{
    CarpetaTemporal t;
    fs::create_directories("p/games");
    fs::create_directories("p/share/games/korvex/datos");
    const struct { const char *exe, *home; bool escribe, ok; std::string ruta; } casos[] = {
        {"", nullptr, true, true, "datos/ultima.rep"},
        {"/p/games", "/h", false, true, "/h/.local/share/korvex/ultima.rep"},
        {"/p/games", "@", true, true, "@/.local/share/korvex/ultima.rep"},
        {"/p/games", nullptr, true, false, ""},
    };
    for (const auto &c : casos) {
        std::string home = c.home && c.home[0] == '@' ? t.ruta + "/casa" : c.home ? c.home : "";
        decide_disposicion(c.exe[0] ? (t.ruta + c.exe).c_str() : "", nullptr, c.home ? home.c_str() : nullptr);
        char ruta[RUTA_MAX] = "";
        EXPECT_EQ(ruta_repeticion("ultima.rep", c.escribe, ruta, sizeof ruta), c.ok) << c.exe << " " << home;
        std::string esperada = c.ruta;
        if (!esperada.empty() && esperada[0] == '@')
            esperada = home + esperada.substr(1);
        EXPECT_EQ(std::string(ruta), esperada);
        if (c.escribe && c.ok && c.exe[0]) {
            EXPECT_TRUE(fs::is_directory(home + "/.local/share/korvex"));
        }
    }
    decide_disposicion("", nullptr, nullptr);
}
