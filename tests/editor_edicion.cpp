// The editor: its keys, the cap of 300 enemies, the name of a new level, the save's bytes, a save
// that fails, undo and redo by the bytes a save writes, the warning before saving a level no careful
// player can pass. The real editor runs headless, on the shipped pictures, keys from a script.
#include <filesystem>
#include <functional>
#include <random>
#include <sys/stat.h>

#include "game/verifica.h"
#include "shared/rutas.h"
#include "tests/edicion.h"

namespace {

// The shipped level 3 open in the editor, its history empty and the map unmodified.
struct Deshacer : Editor {
    Deshacer()
    {
        abre("levels/nivel_03.map");
        reinicia_edicion();
        historia_borra(true);
    }
};

// The bytes a save of the open map would write now.
Bytes bytes()
{
    static unsigned char grid[ENE_COLS][MAPA_FILAS];
    memcpy(grid, enemi2, sizeof grid);
    ArmaEnemigos(grid);
    GuardaMapa("estado.map");
    return lee_archivo("estado.map");
}

// Ctrl+Z or Ctrl+Y, veces times, each taken by the editor.
void ctrl_z(int veces = 1) { for (int i = 0; i < veces; i++) ASSERT_TRUE(tecla_edicion(KEY_Z, ASCII_CTRL_Z)); }
void ctrl_y(int veces = 1) { for (int i = 0; i < veces; i++) ASSERT_TRUE(tecla_edicion(KEY_Y, ASCII_CTRL_Y)); }

}  // namespace

// Keys of the editing screen, from the start state: pass, view, cursor, block, enemy, mode.
TEST(Editor, Teclas)
{
    Editor ed;
    struct { std::vector<int> teclas; int posx2, posx, a, b, d, c, e, modoene; } casos[] = {
        {{KEY_RIGHT, KEY_RIGHT}, 0, 0, 2, 0, 1, 0, 0, 0}, {std::vector<int>(12, KEY_RIGHT), 0, 3, 9, 0, 1, 0, 0, 0},
        {std::vector<int>(200, KEY_RIGHT), 0, 190, 9, 0, 1, 0, 0, 0},
        {[] { std::vector<int> v(200, KEY_RIGHT); v.insert(v.begin(), KEY_SPACE); return v; }(), 1, 0, 9, 0, 1, 0, 0, 1},
        {{KEY_SPACE, KEY_LEFT}, 0, 0, 0, 0, 1, 0, 0, 1}, {{KEY_UP, KEY_DOWN, KEY_DOWN}, 0, 0, 0, 2, 1, 0, 0, 0},
        {std::vector<int>(9, KEY_DOWN), 0, 0, 0, 7, 1, 0, 0, 0},
        {{KEY_SPACE, KEY_UP, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN}, 0, 0, 0, 0, 4, 0, 0, 1},
        {{KEY_A, KEY_S, KEY_S}, 0, 0, 0, 0, 1, 2, 0, 0}, {std::vector<int>(45, KEY_S), 0, 0, 0, 0, 1, 39, 0, 0},
        {{KEY_SPACE, KEY_S, KEY_S, KEY_S, KEY_S, KEY_S, KEY_S, KEY_S, KEY_A}, 0, 0, 0, 0, 1, 0, 5, 1},
    };
    for (auto &c : casos) {
        reinicia_edicion();
        for (int k : c.teclas)
            EXPECT_TRUE(tecla_edicion(k));
        EXPECT_EQ(std::vector<int>({posx2, posx, a, b, d, ::c, e, modoene}),
                  std::vector<int>({c.posx2, c.posx, c.a, c.b, c.d, c.c, c.e, c.modoene})) << c.teclas.size();
    }
    EXPECT_TRUE(!tecla_edicion(KEY_ESC) && modifi == 0) << "moving changes nothing";
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
    EXPECT_TRUE(enemi2[0][1] == 1 && cuenta_enemigos() == ENE_MAX && !aviso[0]) << aviso;
    d = 2;
    tecla_edicion(KEY_D);
    EXPECT_TRUE(enemi2[0][2] == 0 && !strcmp(aviso, "MAXIMO 300 ENEMIGOS")) << "the 301st: " << aviso;
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
        {{}, "levels/nivel_01.map"}, {{"nivel_01.map", "nivel_02.map"}, "levels/nivel_03.map"},
        {{"nivel_01.map", "nivel_03.map"}, "levels/nivel_04.map"},
        {{"nivel_01.map", "nivel_02.map", "nivel_03.map.x", "nivel_03.map"}, "levels/nivel_04.map"},
        {{"a.map", "b.map", "b03.map"}, "levels/b0304.map"}, {{"x.map"}, "levels/x02.map"},
    };
    for (auto &c : casos) {
        CarpetaTemporal t(SUBCARPETAS);
        for (const char *f : c.hay)
            escribe_archivo(std::string("levels/") + f, Bytes(1));
        char out[512];
        EXPECT_TRUE(nombre_nuevo(out, sizeof out) && !strcmp(out, c.nombre)) << out;
    }
    CarpetaTemporal t(SUBCARPETAS);
    for (int n = 1; n <= 99; n++)
        escribe_archivo("levels/nivel_" + std::to_string(n / 10) + std::to_string(n % 10) + ".map", Bytes(1));
    char out[512];
    EXPECT_FALSE(nombre_nuevo(out, sizeof out)) << "no number up to 99 is free";
}

// A level made key by key through the menu: blocks, enemies on two passes, speed x1.5, saved;
// the file's bytes are the template's with exactly these changes.
TEST(Editor, NivelHechoYGuardado)
{
    Editor ed;
    system("rm levels/nivel_0[7-9].map levels/nivel_1?.map");   // six shipped levels: room for the new one
    Bytes esperado = lee_archivo("datos/newlevel.dat");
    ASSERT_EQ(esperado.size(), (size_t)NIVEL_BYTES);
    esperado[0] = 2;
    esperado[1 + 0] = esperado[1 + 200 + 1] = 3;   // block 3 at column 0 row 0 and column 1 row 1
    esperado[1 + 200 + 11] = 4;                    // block 4 at column 11 row 1
    const unsigned char enemigos[] = {11, 0, 24, 2, 11, 0, 48, 3, 209, 0, 48, 6, 209, 0, 72, 7};   // by row, then column
    std::copy(enemigos, enemigos + sizeof enemigos, &esperado[1601]);
    guion = {KEY_ENTER,   // NUEVO MAPA
             KEY_S, KEY_S, KEY_S, KEY_D, KEY_RIGHT, KEY_DOWN, KEY_D, KEY_S};
    guion.insert(guion.end(), 10, KEY_RIGHT);
    guion.insert(guion.end(), {KEY_D, KEY_SPACE, KEY_S, KEY_D, KEY_DOWN, KEY_S, KEY_D, KEY_LEFT, KEY_D, KEY_F});
    guion.insert(guion.end(), 190, KEY_RIGHT);   // on to pass 1, column 9
    guion.insert(guion.end(), {KEY_DOWN, KEY_S, KEY_S, KEY_S, KEY_S, KEY_D, KEY_UP, KEY_A, KEY_D, KEY_ESC,
                               KEY_DOWN, KEY_DOWN, KEY_ENTER, KEY_RIGHT, KEY_ENTER,   // OPCIONES: x1.5
                               KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_ENTER,                 // GUARDAR
                               KEY_UP, KEY_ENTER});                                     // SALIR
    korveditor();
    EXPECT_EQ(leidas, guion.size()) << "every key read, none asked after SALIR";
    EXPECT_EQ(lee_archivo("levels/nivel_07.map"), esperado);
    buscaarch();
    EXPECT_TRUE(modifi == 0 && niveles == 7 && !strcmp(archive[6], "nivel_07.map")) << "the game's catalogue counts it";
}

// A save that cannot be written: a notice names the file, the map stays marked unsaved, SALIR
// asks again, and whatever stood at the name is untouched.
TEST(Editor, GuardadoFallido)
{
    Editor ed;
    remove("levels/nivel_15.map");   // room in the catalogue: the write itself fails
    abre("levels/nivel_01.map");
    mkdir("levels/nivel_19.map", 0777);
    strcpy(archivo, "levels/nivel_19.map");
    modifi = 1;
    guion = {KEY_ENTER};
    std::string err = stderr_de([] { EXPECT_FALSE(gurdarmapa()); });
    EXPECT_NE(err.find("levels/nivel_19.map: NO SE PUDO GUARDAR"), std::string::npos) << err;
    EXPECT_TRUE(leidas == 1 && modifi == 1) << "the notice waits for a key, the map still unsaved";
    guion = {KEY_ENTER, KEY_ENTER}, leidas = 0;   // the warning's "SI", the notice
    stderr_de([] { EXPECT_FALSE(advertencia()); });
    EXPECT_TRUE(modifi == 1 && std::filesystem::is_directory("levels/nivel_19.map"));
}

// Every undo takes back one change exactly: as many undos as changes give the file's bytes
// (and an unmodified map), as many redos the edited bytes; Z and Y without Ctrl do nothing.
TEST(Deshacer, UndosYRedosDanLosBytesExactos)
{
    Deshacer ed;
    const Bytes inicio = bytes();
    for (unsigned semilla = 1; semilla <= 5; semilla++) {
        // Random moves, modes, selections, paints, erases and speed changes.
        std::mt19937 r(semilla);
        const int teclas[] = {KEY_RIGHT, KEY_RIGHT, KEY_LEFT, KEY_UP, KEY_DOWN, KEY_SPACE, KEY_S, KEY_D, KEY_D, KEY_F};
        for (int i = 0; i < 400; i++)
            r() % 25 ? (void)tecla_edicion(teclas[r() % 10]) : cambia_celda(CAMBIO_VELOCIDAD, 0, 0, 1 + (int)(r() % 3));
        const Bytes fin = bytes();
        const int n = deshacer_n;
        tecla_edicion(KEY_Z);   // without Ctrl: nothing
        ctrl_z(n);
        EXPECT_TRUE(bytes() == inicio && modifi == 0 && n > 60) << "semilla " << semilla << ": " << n << " cambios";
        ctrl_y(n + 1);
        EXPECT_TRUE(bytes() == fin) << "semilla " << semilla;
        ctrl_z(n);
    }
    // The history keeps the last 256 changes, one per cell painted: 300 undone leave the first 44.
    reinicia_edicion();
    Bytes tras_44;
    for (int i = 0; i < 300; i++, tras_44 = i == 44 ? bytes() : tras_44) {
        a = i % VISTA_COLS, posx = i % MAPA_COLS - a, b = i / MAPA_COLS, c = (mapa[posx + a][b] + 1) % NUM_TILES;
        tecla_edicion(KEY_D);
    }
    char linea[40];
    texto_deshacer(linea, sizeof linea);
    ctrl_z(300);
    EXPECT_TRUE(bytes() == tras_44 && std::string(linea) == "DESHACER: 256");
}

// modifi follows the saved state: after a save an undo marks the map modified and a redo
// back clears it; a change after an undo makes the save unreachable; a never-saved map stays
// modified however far it is undone.
TEST(Deshacer, DeshacerTrasGuardarMarcaModificado)
{
    Deshacer ed;
    for (int tecla : {KEY_D, KEY_S, KEY_D})
        tecla_edicion(tecla);
    ASSERT_TRUE(gurdarmapa() && deshacer_n == 2) << "saving keeps the history";
    ctrl_z();
    int tras_deshacer = modifi;
    ctrl_y();
    EXPECT_EQ(std::make_pair(tras_deshacer, modifi), std::make_pair(1, 0));
    for (int tecla : {KEY_Z, KEY_S, KEY_D, KEY_Z})
        tecla_edicion(tecla, tecla == KEY_Z ? ASCII_CTRL_Z : 0);
    const int tras_cambio = modifi;
    historia_borra(false);
    for (int tecla : {KEY_RIGHT, KEY_D})
        tecla_edicion(tecla);
    ctrl_z();
    EXPECT_EQ(std::make_pair(tras_cambio, modifi), std::make_pair(1, 1)) << "after a change past an undo; never saved";
}

// Before saving a map no careful player can pass the editor asks, naming the column: SI saves, NO and
// ESC keep the file as it was and the map modified. Explosives closing the four lanes at once (a wall
// of one column: at x1 a lane change cannot pass it; one lane undone, no question), or never all four
// yet leaving no way through (the top lane alone open over columns 400-402, the bottom one alone over
// 405-407): the autoplayer's verdict names the first explosive it cannot pass.
TEST(Deshacer, AvisoAntesDeGuardar)
{
    Deshacer ed;
    const std::pair<std::vector<int>, bool> casos[] = {
        {{KEY_ENTER}, true}, {{KEY_DOWN, KEY_ENTER}, false}, {{KEY_ESC}, false}, {{KEY_UP, KEY_UP, KEY_ENTER}, true}};
    for (bool muro : {false, true}) {
        memset(enemi2, 0, sizeof enemi2);
        for (int c = 0; c < (muro ? 1 : 3); c++)
            for (int n = 0; n < CARRILES; n++) {
                if (muro || n != 0)
                    cambia_celda(CAMBIO_ENEMIGO, 400 + c, CALLE_PRIMERA + n, TIPO_EXPLOSIVO);
                if (!muro && n != 3)
                    cambia_celda(CAMBIO_ENEMIGO, 405 + c, CALLE_PRIMERA + n, TIPO_EXPLOSIVO);
            }
        ASSERT_EQ(multi, 1);
        EXPECT_EQ(std::make_pair(tramo_cerrado_mapa(), columna_perdida_mapa()), std::make_pair(muro ? 400 : -1, 400));
        for (const auto &c : casos) {
            remove(archivo);
            modifi = 1, guion = c.first, leidas = 0;
            std::string err = stderr_de([&] { EXPECT_EQ(gurdarmapa(), c.second); });
            EXPECT_TRUE(existe(archivo) == c.second && modifi == !c.second && leidas == guion.size());
            EXPECT_NE(err.find(muro ? "los cuatro carriles desde la columna 400" : "sin perder vidas desde la columna 400"),
                      std::string::npos) << err;
        }
    }
    ctrl_z();
    EXPECT_TRUE(tramo_cerrado_mapa() == -1 && columna_perdida_mapa() == -1 && gurdarmapa());
}

// The game sees at most 15 levels: with 15 in the joined catalogue (installed: the shipped and
// the user's, a name in both counted once) NUEVO MAPA says so in a box and makes nothing, and a
// new name is not saved; a level the catalogue has is saved over as ever.
TEST(Editor, NoSeGuardaUnNivelQueElJuegoNoVeria)
{
    const struct { int fabrica, propios, repetidos; bool hace_nuevo; } casos[] = {
        {15, 0, 0, false}, {14, 0, 0, true}, {10, 5, 0, false}, {10, 6, 1, false}, {10, 5, 1, true},
    };
    auto nombre = [](std::string dir, const char *n, int i) {
        return dir + "/" + n + (i < 10 ? "_0" : "_") + std::to_string(i) + ".map";
    };
    for (const auto &c : casos) {
        Editor ed;
        Bytes nivel = lee_archivo("levels/nivel_01.map");
        system("rm -f levels/*.map");
        instalado = c.propios > 0;
        snprintf(carpeta_usuario, sizeof carpeta_usuario, "%s/u", ed.ruta.c_str());
        mkdir("u", 0700), mkdir("u/levels", 0700);
        for (int i = 1; i <= c.fabrica; i++)
            escribe_archivo(nombre("levels", "nivel", i), nivel);
        for (int i = 1; i <= c.propios; i++)   // the first repetidos share a shipped level's name
            escribe_archivo(nombre("u/levels", i <= c.repetidos ? "nivel" : "propio", i), nivel);
        // Level files in the two folders (a name in both counted twice: only the difference matters).
        auto mapas = [] { return system("exit $(ls levels/*.map u/levels/*.map 2>/dev/null | wc -l)") >> 8; };
        int antes = mapas();
        guion = {KEY_ENTER, KEY_ESC, KEY_UP, KEY_ENTER, KEY_ENTER};   // NUEVO MAPA (the box or the map), SALIR
        std::string err = stderr_de(korveditor);
        std::string caso = std::to_string(c.fabrica) + "+" + std::to_string(c.propios);
        EXPECT_TRUE(carga == c.hace_nuevo && mapas() == antes + c.hace_nuevo) << caso << ": the new level saved on leaving";
        EXPECT_EQ(err.find("ya hay 15 niveles") != std::string::npos, !c.hace_nuevo) << caso << ": " << err;
        if (c.hace_nuevo)
            continue;
        // A level of the catalogue is still saved over; a new name is not written.
        abre("levels/nivel_02.map");
        strcpy(archivo, nombre(instalado ? "u/levels" : "levels", "nivel", 2).c_str());
        modifi = 1;
        EXPECT_TRUE(gurdarmapa()) << caso;
        strcpy(archivo, nombre(instalado ? "u/levels" : "levels", "nivel", 16).c_str());
        modifi = 1, guion = {KEY_ENTER}, leidas = 0;
        stderr_de([&] { EXPECT_FALSE(gurdarmapa()) << caso; });
        EXPECT_TRUE(!existe(archivo) && modifi == 1) << caso;
    }
    instalado = 0, carpeta_usuario[0] = 0;
}

// Every dialog puts back the screen it covered, whatever the answer: the menu that comes next is
// drawn over the map view, not over pieces of the dialog.
TEST(Editor, LosDialogosNoDejanRestos)
{
    Editor ed;
    abre("levels/nivel_01.map");
    for (int n = 0; n < CARRILES; n++)
        enemi2[100 + n][CALLE_PRIMERA + n] = TIPO_EXPLOSIVO;   // a closed stretch: "GUARDAR IGUAL?"
    const struct { const char *dialogo; std::vector<int> teclas; std::function<void()> abre; } casos[] = {
        {"GUARDAR IGUAL? NO", {KEY_DOWN, KEY_ENTER}, [] { gurdarmapa(); }},
        {"GUARDAR IGUAL? ESC", {KEY_ESC}, [] { gurdarmapa(); }},
        {"GUARDAR IGUAL? SI", {KEY_ENTER}, [] { gurdarmapa(); }},
        {"NO HA GURDADO NO", {KEY_DOWN, KEY_ENTER}, [] { modifi = 1; advertencia(); }},
        {"NO HA GURDADO SI, GUARDAR IGUAL? NO", {KEY_ENTER, KEY_DOWN, KEY_ENTER}, [] { modifi = 1; advertencia(); }},
        {"MULTIPLICA VEL", {KEY_RIGHT, KEY_ENTER}, [] { opcimap(); }},
        {"aviso", {KEY_ENTER}, [] { mensaje_caja("NO SE PUDO GUARDAR", "levels/x.map"); }},
    };
    BITMAP *antes = create_bitmap(ED_PANTALLA_W, ED_PANTALLA_H);
    for (const auto &c : casos) {
        dibuja_edicion();
        blit(active_page, antes, 0, 0, 0, 0, ED_PANTALLA_W, ED_PANTALLA_H);
        guion = c.teclas, leidas = 0;
        stderr_de(c.abre);
        EXPECT_EQ(leidas, c.teclas.size()) << c.dialogo;
        for (int y = 0; y < ED_PANTALLA_H; y++)
            ASSERT_EQ(memcmp(active_page->line[y], antes->line[y], ED_PANTALLA_W), 0) << c.dialogo << ", fila " << y;
    }
    destroy_bitmap(antes);
}

// A text longer than its line keeps its end (a path keeps the file's name), marked at the start.
TEST(Editor, FinalDeUnTextoLargo)
{
    const struct { const char *texto; int max; const char *sale; } casos[] = {
        {"levels/nivel_07.map", 32, "levels/nivel_07.map"}, {"levels/nivel_07.map", 19, "levels/nivel_07.map"},
        {"levels/nivel_07.map", 18, "...ls/nivel_07.map"},
        {"/home/ana/.local/share/korvex/levels/nivel_07.map", 20, "...vels/nivel_07.map"}, {"abcdef", 3, "abc"},
        {"", 5, ""},
    };
    for (const auto &c : casos) {
        char out[64];
        final_de(c.texto, c.max, out, sizeof out);
        EXPECT_TRUE(!strcmp(out, c.sale) && (int)strlen(out) <= c.max) << c.texto << " " << c.max << ": " << out;
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
    BITMAP *hoja = create_bitmap(ED_PANTALLA_W, ED_PANTALLA_H);
    for (const Ayuda *c : {&AYUDA_EDICION, &AYUDA_MENU, &AYUDA_LISTA, &AYUDA_SI_NO, &AYUDA_VELOCIDAD, &AYUDA_CONJUNTOS,
                           &AYUDA_GUARDAR_COMO, &AYUDA_ESCRIBE, &AYUDA_ELIGE})
        EXPECT_TRUE(dibuja_ayuda(hoja, c)) << c->lineas[0].que;
    destroy_bitmap(hoja);
}
