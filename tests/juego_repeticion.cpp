// Recordings: the file's exact bytes, runs driven by a key script through the real logic and
// recording, played back to the same world tick for tick at 75 and 60 Hz, and every damaged or
// unfitting recording refused by korvex -repeticion with its line and status 2, writing nothing.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

#include "tests/partida.h"
#include "tests/prueba.h"

namespace fs = std::filesystem;

namespace {

// A key script: lane changes held a while, pseudo-random from a seed; ESC at the run's tick esc (0: never).
struct Guion {
    unsigned semilla;
    int esc;
    int n = 0, quedan = 0, teclas = 0;
    unsigned azar() { semilla = semilla * 1664525u + 1013904223u; return semilla >> 8; }
    int operator()(size_t)
    {
        if (esc && n++ >= esc)
            return REP_SALIR;
        if (quedan-- <= 0) {
            static const int elige[5] = {0, REP_ARRIBA, REP_ABAJO, 0, REP_ARRIBA | REP_ABAJO};
            teclas = elige[azar() % 5];
            quedan = 1 + (int)(azar() % 40);
        }
        return teclas;
    }
};

// A run recorded as game() records it: difficulty dif at hz and pace ritmo, from a clock standing at reloj.
std::vector<unsigned> graba(int hz, int dif, Guion g, int reloj, int ritmo = RITMO_LLENO)
{
    partida_nueva(hz, dif, reloj, ritmo);
    grabacion_empieza();
    std::vector<unsigned> sumas = corre_niveles(g);
    grabacion_termina();
    return sumas;
}

// korvex -repeticion FILE, no display: its stderr and exit status.
std::pair<std::string, int> korvex_repeticion(const std::string &archivo)
{
    return salida_de(KORV_DIR "/korvex -repeticion '" + archivo + "' 2>&1");
}

}  // namespace

// The bytes of a small recording, field by field, and the same recording read back; cut short at
// every length, the field the cut falls in (at a field's first byte, that field).
TEST(Repeticion, BytesDelArchivo)
{
    Repeticion r = {};
    r.version = REP_VERSION;
    strcpy(r.programa, "1.9");
    r.dificultad = 2, r.hz = 60, r.animcon = escala_de_juego(60, 70), r.ritmo = 70, r.fase = 3, r.niveles = 2;
    strcpy(r.nivel[0].nombre, "a.map");
    strcpy(r.nivel[1].nombre, "bb.map");
    r.nivel[0].crc = 0x11223344, r.nivel[1].crc = 0x55667788;
    strcpy(r.conjunto, "MIS"), r.practica = 1;
    r.fin = REP_FIN_GANO, r.alcanzado = 1, r.puntos = 70000, r.vidas = 2, r.suma = 0xCAFEBABE;
    r.teclas.assign(200, 0);
    r.teclas.insert(r.teclas.end(), 3, REP_ARRIBA);
    r.teclas.push_back(REP_SALIR);
    Bytes v = codifica_repeticion(r), esperado = {
        'K', 'R', 'E', 'P', REP_VERSION, 0, '1', '.', '9', 0, 0, 0, 0, 0,   // magic, version, program
        2, 60, 0, 0x00, 0x00, 0x60, 0x3F, 3, 70,              // difficulty, rate, 0.875f (1.25 x 70 %), phase, pace
        2, 5, 'a', '.', 'm', 'a', 'p', 0x44, 0x33, 0x22, 0x11,     // two levels: name, CRC
        6, 'b', 'b', '.', 'm', 'a', 'p', 0x88, 0x77, 0x66, 0x55,
        3, 'M', 'I', 'S', 1,                                       // the set, the level practised
        5, 1, 0x70, 0x11, 0x01, 0x00, 2, 0, 0xBE, 0xBA, 0xFE, 0xCA,   // won, level 1, 70000, 2 lives, checksum
        204, 0, 0, 0,                                              // ticks
        0, 0xC8, 0x01, 1, 3, 8, 1};                                // 200 x none, 3 x up, 1 x ESC
    unsigned crc = crc32_bytes(0, esperado.data(), esperado.size());   // then the CRC of all before it
    for (int i = 0; i < 4; i++)
        esperado.push_back((unsigned char)(crc >> 8 * i));
    EXPECT_EQ(v, esperado);
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
    // Version 3 has no pace byte and reads at full pace; otherwise the same bytes.
    Repeticion r3 = r;
    r3.version = 3;
    Bytes v3 = codifica_repeticion(r3);
    ASSERT_TRUE(descifra_repeticion(v3.data(), v3.size(), &l, motivo, sizeof motivo)) << motivo;
    EXPECT_EQ(l.ritmo, RITMO_LLENO);
    v3.erase(v3.end() - 4, v3.end()), v3.insert(v3.begin() + 22, 70), v3[4] = 4;
    EXPECT_EQ(v3, Bytes(v.begin(), v.end() - 4));
    // A table takes a won game at full pace, its time scale its rate's (l: won, 0.875 at 60 Hz).
    EXPECT_FALSE(repeticion_entra_en_tabla(l));
    l.animcon = escala_de_juego(60, RITMO_LLENO);
    EXPECT_TRUE(repeticion_entra_en_tabla(l));
    const std::pair<size_t, const char *> campos[] = {
        {0, "la marca"}, {4, "la version"}, {6, "la version del programa"}, {14, "la dificultad"}, {15, "la tasa logica"},
        {17, "la escala de tiempo"}, {21, "la fase"}, {22, "el ritmo"}, {23, "la cuenta de niveles"},
        {24, "el nombre del nivel 1"}, {30, "el CRC del nivel 1"}, {34, "el nombre del nivel 2"}, {41, "el CRC del nivel 2"},
        {45, "el nombre del conjunto"}, {49, "el nivel de practica"}, {50, "el final"}, {51, "el nivel alcanzado"},
        {52, "los puntos"}, {56, "las vidas"}, {58, "la suma del mundo"}, {62, "la cuenta de ticks"},
        {66, "las teclas"}, {73, "el CRC del archivo"}};
    for (size_t n = 0, k = 0; n < v.size(); n++) {
        while (k + 1 < std::size(campos) && campos[k + 1].first <= n)
            k++;
        ASSERT_FALSE(descifra_repeticion(v.data(), n, &l, motivo, sizeof motivo));
        ASSERT_EQ(std::string(motivo), std::string("truncado en ") + campos[k].second) << "cortado a " << n << " bytes";
    }
}

// Five runs of the real levels (three difficulties, 75 and 60 Hz, one ended with ESC) recorded
// to ultima.rep, read back and played: the same world after every tick, the same end.
TEST(Repeticion, GrabadaYReproducidaIgual)
{
    CarpetaTemporal t(DATOS_REALES);
    ASSERT_GT(niveles, 0);
    const struct { int hz, dif; unsigned semilla; int esc, reloj, ritmo = RITMO_LLENO; } casos[] = {
        {75, 0, 1, 0, 0}, {60, 1, 2, 0, 1}, {75, 2, 3, 0, 2}, {60, 0, 4, 3000, 7}, {75, 1, 5, 0, 3},
        {60, 2, 6, 0, 1, 70}, {75, 1, 7, 0, 2, 70},
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(testing::Message() << c.hz << " Hz, dificultad " << c.dif << ", guion " << c.semilla << ", ritmo " << c.ritmo);
        std::vector<unsigned> original = graba(c.hz, c.dif, Guion{c.semilla, c.esc}, c.reloj, c.ritmo);
        const int fin = cambnib, pts = puntos, vid = vidas, niv = nivel;
        Repeticion r;
        char error[600];
        ASSERT_TRUE(lee_repeticion("datos/ultima.rep", &r, error, sizeof error)) << error;
        ASSERT_TRUE(repeticion_cabe(r, "datos/ultima.rep", error, sizeof error)) << error;
        EXPECT_EQ(std::make_tuple(r.teclas.size(), r.hz, r.fase, r.ritmo), std::make_tuple(original.size(), c.hz, c.reloj % 4, c.ritmo));
        EXPECT_EQ(r.fin, c.esc ? REP_FIN_SALIR : fin == EST_GANO ? REP_FIN_GANO : REP_FIN_PERDIO);
        max_fps = 75, ritmo_partida = RITMO_LLENO;
        empieza_reproduccion(r, MODO_REPRODUCE);
        tick = 12345;   // the clock's phase is not the recording's business
        EXPECT_EQ(corre_niveles([](size_t) { return 0; }), original);
        EXPECT_TRUE(termina_reproduccion());
        EXPECT_EQ(std::make_tuple((int)cambnib, (int)puntos, (int)vidas, (int)nivel), std::make_tuple(fin, pts, vid, niv));
        EXPECT_EQ(ritmo_partida, c.ritmo);
        EXPECT_EQ(repeticion_entra_en_tabla(r), r.fin == REP_FIN_GANO && c.ritmo == RITMO_LLENO);
        printf("[ repeticion ] %d Hz %d %% dificultad %d: %zu ticks, nivel %d, %d puntos, %zu bytes\n", c.hz, c.ritmo,
               c.dif, original.size(), niv, pts, codifica_repeticion(r).size());
    }
}

// The best run of a difficulty is replaced only by a higher final score; the last run always.
TEST(Repeticion, MejorSoloConMasPuntos)
{
    CarpetaTemporal t(DATOS_REALES);
    auto puntos_en = [](const char *f) { Repeticion r; char e[600]; return lee_repeticion(f, &r, e, sizeof e) ? r.puntos : -1; };
    graba(75, 1, Guion{2, 900}, 0);
    int primero = puntos;
    EXPECT_EQ(puntos_en("datos/mejor_1.rep"), primero);
    EXPECT_FALSE(existe("datos/mejor_0.rep"));
    graba(75, 1, Guion{2, 100}, 0);   // the same keys, ended sooner: fewer points
    ASSERT_LT(puntos, primero);
    EXPECT_EQ(puntos_en("datos/ultima.rep"), puntos);
    EXPECT_EQ(puntos_en("datos/mejor_1.rep"), primero);
    graba(75, 1, Guion{2, 2500}, 0);
    ASSERT_GT(puntos, primero);
    EXPECT_EQ(puntos_en("datos/mejor_1.rep"), puntos);
    EXPECT_TRUE(hay_mejor(1));
    EXPECT_FALSE(hay_mejor(2));
    int mejor = puntos;
    graba(75, 1, Guion{2, 6000}, 0, 70);   // more points at 70 %: the last run, never the best
    EXPECT_EQ(std::make_tuple(puntos > mejor, puntos_en("datos/ultima.rep"), puntos_en("datos/mejor_1.rep")),
              std::make_tuple(true, puntos, mejor));
}

// Damaged, cut and unfitting recordings: korvex -repeticion says why in one line, exits 2 and writes
// nothing (levels that changed or went: the reader's check, the program's under X).
TEST(Repeticion, RechazosEnTabla)
{
    CarpetaTemporal t(DATOS_REALES);
    graba(75, 1, Guion{9, 400}, 0);
    const Bytes buena = lee_archivo("datos/ultima.rep");
    ASSERT_FALSE(buena.empty());
    fs::remove("datos/ultima.rep");
    fs::remove("datos/mejor_1.rep");
    std::string dir = t.ruta + "/";
    const size_t n = buena.size();
    // Byte i set to b (past the end: one byte more); crc: the file's CRC made right again.
    auto con = [&](size_t i, int b, bool crc = true) {
        Bytes v = buena;
        i < n ? (void)(v[i] = (unsigned char)b) : v.push_back((unsigned char)b);
        unsigned x = crc32_bytes(0, v.data(), n - 4);
        for (int k = 0; crc && i < n - 4 && k < 4; k++)
            v[n - 4 + k] = (unsigned char)(x >> (8 * k));
        return v;
    };
    mkfifo("fifo.rep", 0600);
    fs::create_directory("carpeta.rep");
    const struct { std::string nombre; Bytes bytes; std::string motivo; int nivel; } casos[] = {
        {"marca.rep", con(0, 'X'), "no es una repeticion de KORVEX (marca equivocada)", 0},
        {"version.rep", con(4, REP_VERSION + 1), "version 5, mas nueva que la que lee este programa (4)", 0},
        {"ritmo_alto.rep", con(22, 101), "el ritmo fuera de rango (101)", 0},
        {"ritmo_escala.rep", con(22, 70), "la escala de tiempo no es la de la tasa y el ritmo", 0},   // 75 Hz at 70 % is 0.7
        {"version_danada.rep", con(5, 1, false), "dañado (el CRC no coincide)", 0},   // a flipped byte is damage
        {"crc.rep", con(n - 1, buena[n - 1] ^ 1), "dañado (el CRC no coincide)", 0},
        {"teclas.rep", con(n - 6, buena[n - 6] ^ 0x10), "las teclas: teclas desconocidas (24)", 0},
        {"teclas_danadas.rep", con(n - 6, buena[n - 6] ^ 0x10, false), "dañado (el CRC no coincide)", 0},
        {"programa.rep", con(12, 'x'), "la version del programa mal escrita", 0},
        {"cola.rep", con(n, 0), "datos: 1 bytes de mas al final", 0},
        {"corto.rep", Bytes(buena.begin(), buena.begin() + 10), "truncado en la version del programa", 0},   // every cut: BytesDelArchivo
        {"fifo.rep", {}, "es una FIFO, no un archivo; no se lee", 0},
        {"carpeta.rep", {}, "es una carpeta, no un archivo", 0},
        {"nivel_cambiado.rep", buena, "el nivel 1, nivel_01.map, no es el de la grabacion (cambio desde entonces)", 1},
        {"nivel_falta.rep", buena, "falta el nivel 1, nivel_01.map", 2},
    };
    const Bytes nivel1 = lee_archivo("levels/nivel_01.map");
    for (const auto &c : casos) {
        SCOPED_TRACE(c.nombre);
        if (!c.bytes.empty())
            escribe_archivo(c.nombre, c.bytes);
        Bytes cambiado = nivel1;
        cambiado[2000] ^= 1;
        if (c.nivel)
            c.nivel == 1 ? escribe_archivo("levels/nivel_01.map", cambiado) : (void)fs::remove("levels/nivel_01.map");
        buscaarch();
        std::string antes = inventario(), ruta = dir + c.nombre, linea = ruta + ": " + c.motivo;
        // The levels are compared once the library is up (under X: the scenario of the game).
        if (!c.nivel) {
            EXPECT_EQ(korvex_repeticion(ruta), std::make_pair(linea + "\n", 2));
        }
        EXPECT_EQ(inventario(), antes);
        Repeticion r;
        char error[600];
        EXPECT_FALSE(lee_repeticion(ruta.c_str(), &r, error, sizeof error) &&
                     repeticion_cabe(r, ruta.c_str(), error, sizeof error));
        EXPECT_EQ(error, linea);
        escribe_archivo("levels/nivel_01.map", nivel1);
    }
}
