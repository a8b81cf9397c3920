// The editor: its keys, the cap of 300 enemies, the name of a new level, the save's bytes and
// a save that fails. The real editor runs headless, on the shipped pictures, keys from a script.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <sys/stat.h>

#include "editor/mained.h"
#include "tests/prueba.h"
#include "shared/rutas.h"
#include "game/verifica.h"

namespace {

typedef std::vector<unsigned char> Bytes;
std::vector<int> guion;
size_t leidas;

// Keys of the script, then ESC for every further question.
int del_guion() { return (leidas < guion.size() ? guion[leidas++] : KEY_ESC) << 8; }

// A working folder with the shipped data, the pictures loaded, the editing state at its start.
struct Editor : CarpetaTemporal {
    Editor()
    {
        copia_datos_reales();
        static bool cargado = false;
        if (!cargado) {
            EXPECT_TRUE(CargarBMP());
            scroll = create_bitmap(2 * ED_PANTALLA_W, ED_PANTALLA_H);
            active_page = create_bitmap(ED_PANTALLA_W, ED_PANTALLA_H);
            reserva_enemigos();
            cargado = true;
        }
        fuente_tecla = del_guion;
        guion.clear(), leidas = 0, cerrar = 0, modifi = 0, carga = 0;
        memset(enemi2, 0, sizeof enemi2);
        reinicia_edicion();
    }
};

}  // namespace

// Keys of the editing screen, from the start state: pass, view, cursor, block, enemy, mode.
TEST(Editor, Teclas)
{
    Editor ed;
    struct { std::vector<int> teclas; int posx2, posx, a, b, d, c, e, modoene; } casos[] = {
        {{KEY_RIGHT, KEY_RIGHT}, 0, 0, 2, 0, 1, 0, 0, 0},
        {std::vector<int>(12, KEY_RIGHT), 0, 3, 9, 0, 1, 0, 0, 0},
        {std::vector<int>(199, KEY_RIGHT), 0, 190, 9, 0, 1, 0, 0, 0},
        {std::vector<int>(200, KEY_RIGHT), 0, 190, 9, 0, 1, 0, 0, 0},
        {[] { std::vector<int> v(200, KEY_RIGHT); v.insert(v.begin(), KEY_SPACE); return v; }(), 1, 0, 9, 0, 1, 0, 0, 1},
        {{KEY_SPACE, KEY_LEFT}, 0, 0, 0, 0, 1, 0, 0, 1},
        {{KEY_UP, KEY_DOWN, KEY_DOWN}, 0, 0, 0, 2, 1, 0, 0, 0},
        {std::vector<int>(9, KEY_DOWN), 0, 0, 0, 7, 1, 0, 0, 0},
        {{KEY_SPACE, KEY_UP, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN}, 0, 0, 0, 0, 4, 0, 0, 1},
        {{KEY_A, KEY_S, KEY_S}, 0, 0, 0, 0, 1, 2, 0, 0},
        {std::vector<int>(45, KEY_S), 0, 0, 0, 0, 1, 39, 0, 0},
        {{KEY_SPACE, KEY_S, KEY_S, KEY_S, KEY_S, KEY_S, KEY_S, KEY_S, KEY_A}, 0, 0, 0, 0, 1, 0, 5, 1},
    };
    for (auto &c : casos) {
        reinicia_edicion();
        for (int k : c.teclas)
            EXPECT_TRUE(tecla_edicion(k));
        int visto[] = {posx2, posx, a, b, d, ::c, e, modoene}, esperado[] = {c.posx2, c.posx, c.a, c.b, c.d, c.c, c.e, c.modoene};
        EXPECT_EQ(std::vector<int>(visto, visto + 8), std::vector<int>(esperado, esperado + 8)) << c.teclas.size();
    }
    EXPECT_FALSE(tecla_edicion(KEY_ESC));
    EXPECT_EQ(modifi, 0) << "moving changes nothing";
}

// The main menu's cursor wraps; without an open map it passes over OPCIONES MAPA, GUARDAR and GUARDAR COMO.
TEST(Editor, CursorDelMenu)
{
    struct { int carga, cursor, tecla, r; } casos[] = {
        {0, OPC_CARGAR, KEY_DOWN, OPC_CONJUNTOS}, {0, OPC_CONJUNTOS, KEY_UP, OPC_CARGAR}, {0, OPC_NUEVO, KEY_UP, OPC_SALIR},
        {1, OPC_CARGAR, KEY_DOWN, OPC_OPCIONES}, {1, OPC_SALIR, KEY_UP, OPC_CONJUNTOS}, {1, OPC_SALIR, KEY_DOWN, OPC_NUEVO},
        {1, OPC_GUARDAR, KEY_DOWN, OPC_GUARDAR_COMO},
        {1, OPC_NUEVO, KEY_ENTER, OPC_NUEVO},
    };
    for (auto &c : casos) {
        carga = c.carga;
        EXPECT_EQ(mueve_menu(c.cursor, c.tecla), c.r) << c.carga << " " << c.cursor << " " << c.tecla;
    }
}

// The speed dialog steps 1..3 with a wrap; other codes come back into range.
TEST(Editor, CodigoDeVelocidad)
{
    struct { int m, tecla, r; } casos[] = {{1, KEY_RIGHT, 2}, {3, KEY_RIGHT, 1}, {1, KEY_LEFT, 3}, {2, KEY_LEFT, 1},
                                           {2, KEY_UP, 2}, {0, KEY_RIGHT, 1}, {255, KEY_RIGHT, 3}, {7, KEY_LEFT, 1}};
    for (auto &c : casos)
        EXPECT_EQ(paso_multi(c.m, c.tecla), c.r) << c.m << " " << c.tecla;
}

// At most 300 enemies: the 301st is refused with a notice; replacing one, or one on remains when
// there is room, is not refused.
TEST(Editor, TopeDeEnemigos)
{
    Editor ed;
    for (int i = 0; i < ENE_MAX - 1; i++)
        enemi2[10 + i][1 + i % 4] = 1;
    enemi2[0][1] = TIPO_MAX;   // remains hold no place
    tecla_edicion(KEY_SPACE);
    tecla_edicion(KEY_D);   // the 300th, on the remains
    EXPECT_EQ(enemi2[0][1], 1);
    EXPECT_EQ(cuenta_enemigos(), ENE_MAX);
    EXPECT_STREQ(aviso, "");
    d = 2;
    tecla_edicion(KEY_D);
    EXPECT_EQ(enemi2[0][2], 0) << "the 301st";
    EXPECT_STREQ(aviso, "MAXIMO 300 ENEMIGOS");
    d = 1, e = 4;
    tecla_edicion(KEY_D);
    EXPECT_EQ(enemi2[0][1], 5) << "a replaced enemy takes no new place";
    tecla_edicion(KEY_F);
    EXPECT_EQ(cuenta_enemigos(), ENE_MAX - 1);
}

// The name of a new level: the last level's name with the next number, the next free one after a gap.
TEST(Editor, NombreNuevo)
{
    struct { std::vector<const char *> hay; const char *nombre; } casos[] = {
        {{}, "levels/nivel_01.map"},
        {{"nivel_01.map", "nivel_02.map"}, "levels/nivel_03.map"},
        {{"nivel_01.map", "nivel_03.map"}, "levels/nivel_04.map"},
        {{"nivel_01.map", "nivel_02.map", "nivel_03.map.x", "nivel_03.map"}, "levels/nivel_04.map"},
        {{"a.map", "b.map", "b03.map"}, "levels/b0304.map"},
        {{"x.map"}, "levels/x02.map"},
    };
    for (auto &c : casos) {
        CarpetaTemporal t;
        t.subcarpetas();
        for (const char *f : c.hay)
            escribe_archivo(std::string("levels/") + f, Bytes(1));
        char out[512];
        EXPECT_TRUE(nombre_nuevo(out, sizeof out));
        EXPECT_STREQ(out, c.nombre);
    }
    CarpetaTemporal t;
    t.subcarpetas();
    for (int n = 1; n <= 99; n++) {
        char f[64];
        snprintf(f, sizeof f, "levels/nivel_%02d.map", n);
        escribe_archivo(f, Bytes(1));
    }
    char out[512];
    EXPECT_FALSE(nombre_nuevo(out, sizeof out)) << "no number up to 99 is free";
}

// A level made key by key through the menu: blocks, enemies on two passes, speed x1.5, saved;
// the file's bytes are the template's with exactly these changes.
TEST(Editor, NivelHechoYGuardado)
{
    Editor ed;
    // Six shipped levels, so that the catalogue has room for the new one.
    for (int n = 7; n <= 15; n++) {
        char f[32];
        snprintf(f, sizeof f, "levels/nivel_%02d.map", n);
        remove(f);
    }
    Bytes esperado = lee_archivo("datos/newlevel.dat");
    ASSERT_EQ(esperado.size(), (size_t)NIVEL_BYTES);
    auto enemigo = [&](int i, int col, int fila, int tipo) {
        unsigned char r[4] = {(unsigned char)col, (unsigned char)(col >> 8), (unsigned char)(24 * fila), (unsigned char)tipo};
        memcpy(&esperado[1601 + 4 * i], r, 4);
    };
    esperado[0] = 2;
    esperado[1 + 0] = 3;         // block 3 at column 0 row 0
    esperado[1 + 200 + 1] = 3;   // ... and at column 1 row 1
    esperado[1 + 200 + 11] = 4;  // block 4 at column 11 row 1
    enemigo(0, 11, 1, 2);
    enemigo(1, 11, 2, 3);
    enemigo(2, 209, 2, 6);
    enemigo(3, 209, 3, 7);
    guion = {KEY_ENTER,   // NUEVO MAPA
             KEY_S, KEY_S, KEY_S, KEY_D, KEY_RIGHT, KEY_DOWN, KEY_D, KEY_S};
    for (int i = 0; i < 10; i++)
        guion.push_back(KEY_RIGHT);
    guion.insert(guion.end(), {KEY_D, KEY_SPACE, KEY_S, KEY_D, KEY_DOWN, KEY_S, KEY_D, KEY_LEFT, KEY_D, KEY_F});
    for (int i = 0; i < 190; i++)
        guion.push_back(KEY_RIGHT);   // on to pass 1, column 9
    guion.insert(guion.end(), {KEY_DOWN, KEY_S, KEY_S, KEY_S, KEY_S, KEY_D, KEY_UP, KEY_A, KEY_D, KEY_ESC,
                               KEY_DOWN, KEY_DOWN, KEY_ENTER, KEY_RIGHT, KEY_ENTER,   // OPCIONES: x1.5
                               KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_ENTER,                 // GUARDAR
                               KEY_UP, KEY_ENTER});                                     // SALIR
    korveditor();
    EXPECT_EQ(leidas, guion.size()) << "every key read, none asked after SALIR";
    EXPECT_EQ(lee_archivo("levels/nivel_07.map"), esperado);
    EXPECT_EQ(modifi, 0);
    buscaarch();
    EXPECT_EQ(niveles, 7) << "the game's catalogue counts it";
    EXPECT_STREQ(archive[6], "nivel_07.map");
}

// A save that cannot be written: a notice names the file, the map stays marked unsaved, SALIR
// asks again, and whatever stood at the name is untouched.
TEST(Editor, GuardadoFallido)
{
    Editor ed;
    ASSERT_TRUE(CargaMapa("levels/nivel_01.map"));
    cargamatrizene();
    mkdir("levels/nivel_19.map", 0777);
    strcpy(archivo, "levels/nivel_19.map");
    carga = 1, modifi = 1;
    guion = {KEY_ENTER};
    testing::internal::CaptureStderr();
    EXPECT_FALSE(gurdarmapa());
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("levels/nivel_19.map"), std::string::npos) << err;
    EXPECT_EQ(leidas, 1u) << "the notice waits for a key";
    EXPECT_EQ(modifi, 1);
    guion = {KEY_ENTER, KEY_ENTER};   // the warning's "SI", the notice
    leidas = 0;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(advertencia());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(modifi, 1);
    struct stat st;
    EXPECT_TRUE(stat("levels/nivel_19.map", &st) == 0 && S_ISDIR(st.st_mode));
}

// The game sees at most 15 levels: with 15 in the joined catalogue (installed: the shipped and
// the user's, a name in both counted once) NUEVO MAPA says so in a box and makes nothing, and a
// new name is not saved; a level the catalogue has is saved over as ever.
TEST(Editor, NoSeGuardaUnNivelQueElJuegoNoVeria)
{
    const struct { int fabrica, propios, repetidos; bool hace_nuevo; } casos[] = {
        {15, 0, 0, false}, {14, 0, 0, true}, {10, 5, 0, false}, {10, 6, 1, false}, {10, 5, 1, true},
    };
    for (const auto &c : casos) {
        Editor ed;
        Bytes nivel = lee_archivo("levels/nivel_01.map");
        system("rm -f levels/*.map");
        instalado = c.propios > 0;
        snprintf(carpeta_usuario, sizeof carpeta_usuario, "%s/u", ed.ruta.c_str());
        mkdir("u", 0700), mkdir("u/levels", 0700);
        for (int i = 1; i <= c.fabrica; i++) {
            char f[64];
            snprintf(f, sizeof f, "levels/nivel_%02d.map", i);
            escribe_archivo(f, nivel);
        }
        for (int i = 1; i <= c.propios; i++) {   // the first repetidos share a shipped level's name
            char f[64];
            snprintf(f, sizeof f, "u/levels/%s_%02d.map", i <= c.repetidos ? "nivel" : "propio", i);
            escribe_archivo(f, nivel);
        }
        // Level files in the two folders (a name in both counted twice: only the difference matters).
        auto mapas = [] { return system("exit $(ls levels/*.map u/levels/*.map 2>/dev/null | wc -l)") >> 8; };
        int antes = mapas();
        guion = {KEY_ENTER, KEY_ESC, KEY_UP, KEY_ENTER, KEY_ENTER};   // NUEVO MAPA (the box or the map), SALIR
        testing::internal::CaptureStderr();
        korveditor();
        std::string err = testing::internal::GetCapturedStderr();
        std::string caso = std::to_string(c.fabrica) + "+" + std::to_string(c.propios);
        EXPECT_EQ(carga, c.hace_nuevo) << caso;
        EXPECT_EQ(mapas(), antes + c.hace_nuevo) << caso << ": the new level saved on leaving";
        EXPECT_EQ(err.find("ya hay 15 niveles") != std::string::npos, !c.hace_nuevo) << caso << ": " << err;
        if (c.hace_nuevo)
            continue;
        // A level of the catalogue is still saved over; a new name is not written.
        ASSERT_TRUE(CargaMapa("levels/nivel_02.map"));
        cargamatrizene();
        strcpy(archivo, instalado ? "u/levels/nivel_02.map" : "levels/nivel_02.map");
        modifi = 1, carga = 1;
        EXPECT_TRUE(gurdarmapa()) << caso;
        strcpy(archivo, instalado ? "u/levels/nivel_16.map" : "levels/nivel_16.map");
        modifi = 1, guion = {KEY_ENTER}, leidas = 0;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(gurdarmapa()) << caso;
        testing::internal::GetCapturedStderr();
        EXPECT_FALSE(existe(archivo)) << caso;
        EXPECT_EQ(modifi, 1) << caso;
    }
    instalado = 0, carpeta_usuario[0] = 0;
}

// Every dialog puts back the screen it covered, whatever the answer: the menu that comes next is
// drawn over the map view, not over pieces of the dialog.
TEST(Editor, LosDialogosNoDejanRestos)
{
    Editor ed;
    ASSERT_TRUE(CargaMapa("levels/nivel_01.map"));
    cargamatrizene();
    for (int n = 0; n < CARRILES; n++)
        enemi2[100 + n][CALLE_PRIMERA + n] = TIPO_EXPLOSIVO;   // a closed stretch: "GUARDAR IGUAL?"
    strcpy(archivo, "levels/nivel_01.map");
    carga = 1;
    const struct { const char *dialogo; std::vector<int> teclas; std::function<void()> abre; } casos[] = {
        {"GUARDAR IGUAL? NO", {KEY_DOWN, KEY_ENTER}, [] { gurdarmapa(); }},
        {"GUARDAR IGUAL? ESC", {KEY_ESC}, [] { gurdarmapa(); }},
        {"GUARDAR IGUAL? SI", {KEY_ENTER}, [] { gurdarmapa(); }},
        {"NO HA GURDADO NO", {KEY_DOWN, KEY_ENTER}, [] { modifi = 1; advertencia(); }},
        {"NO HA GURDADO SI, GUARDAR IGUAL? NO", {KEY_ENTER, KEY_DOWN, KEY_ENTER}, [] { modifi = 1; advertencia(); }},
        {"MULTIPLICA VEL", {KEY_RIGHT, KEY_ENTER}, [] { opcimap(); }},
        {"aviso", {KEY_ENTER}, [] { mensaje_caja("NO SE PUDO GUARDAR", "levels/x.map"); }},
    };
    for (const auto &c : casos) {
        dibuja_edicion();
        BITMAP *antes = create_bitmap(ED_PANTALLA_W, ED_PANTALLA_H);
        blit(active_page, antes, 0, 0, 0, 0, ED_PANTALLA_W, ED_PANTALLA_H);
        guion = c.teclas, leidas = 0;
        testing::internal::CaptureStderr();
        c.abre();
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(leidas, c.teclas.size()) << c.dialogo;
        int distintos = 0;
        for (int y = 0; y < ED_PANTALLA_H; y++)
            for (int x = 0; x < ED_PANTALLA_W; x++)
                distintos += getpixel(active_page, x, y) != getpixel(antes, x, y);
        EXPECT_EQ(distintos, 0) << c.dialogo;
        destroy_bitmap(antes);
    }
}

// A text longer than its line keeps its end (a path keeps the file's name), marked at the start.
TEST(Editor, FinalDeUnTextoLargo)
{
    const struct { const char *texto; int max; const char *sale; } casos[] = {
        {"levels/nivel_07.map", 32, "levels/nivel_07.map"},
        {"levels/nivel_07.map", 19, "levels/nivel_07.map"},
        {"levels/nivel_07.map", 18, "...ls/nivel_07.map"},
        {"/home/ana/.local/share/korvex/levels/nivel_07.map", 20, "...vels/nivel_07.map"},
        {"abcdef", 3, "abc"},
        {"", 5, ""},
    };
    for (const auto &c : casos) {
        char out[64];
        final_de(c.texto, c.max, out, sizeof out);
        EXPECT_STREQ(out, c.sale) << c.texto << " " << c.max;
        EXPECT_LE((int)strlen(out), c.max);
    }
}

// J learns the difficulty from the game's output: its last "dificultad N" line, 0..2 only.
TEST(Editor, DificultadDichaPorElJuego)
{
    const struct { const char *salida; int d; } casos[] = {
        {"", -1}, {"dificultad 1\n", 1}, {"otra cosa\ndificultad 2\n", 2}, {"dificultad 0\ndificultad 2", 2},
        {"dificultad 3\n", -1}, {"dificultad 12\n", -1}, {"la dificultad 1\n", -1}, {"dificultad 1x\n", -1},
    };
    for (const auto &c : casos)
        EXPECT_EQ(dificultad_dicha(c.salida), c.d) << c.salida;
}

// Every help card of the editor fits on its 320x240 screen.
TEST(Editor, CadaCartaDeAyudaCabe)
{
    const Ayuda *cartas[] = {&AYUDA_EDICION, &AYUDA_MENU, &AYUDA_LISTA, &AYUDA_SI_NO, &AYUDA_VELOCIDAD};
    BITMAP *hoja = create_bitmap(ED_PANTALLA_W, ED_PANTALLA_H);
    for (const Ayuda *c : cartas)
        EXPECT_TRUE(dibuja_ayuda(hoja, c)) << c->lineas[0].que;
    destroy_bitmap(hoja);
}
