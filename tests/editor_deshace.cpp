// Undo and redo in the map screen, by the bytes a save writes; the save warning on a level
// no careful player can pass.
#include <cstring>
#include <deque>
#include <random>

#include "editor/mained.h"
#include "game/verifica.h"
#include "tests/prueba.h"

namespace {

std::deque<int> guion;   // scan codes the save warning will read

// The editor's key source here: the script, then ESC.
int tecla_guion()
{
    int t = guion.empty() ? KEY_ESC : guion.front();
    if (!guion.empty())
        guion.pop_front();
    return t << 8;
}

// The shipped level 3 open in the editor, its history empty and the map unmodified.
struct Deshacer : ::testing::Test {
    CarpetaTemporal t{SUBCARPETAS};
    BITMAP *pagina = create_bitmap(ED_PANTALLA_W, ED_PANTALLA_H);
    void SetUp() override
    {
        reserva_enemigos();
        ASSERT_TRUE(CargaMapa(KORV_DIR "/levels/nivel_03.map"));
        cargamatrizene();
        reinicia_edicion();
        historia_borra(true);
        modifi = 0, carga = 1, active_page = pagina, fuente_tecla = tecla_guion;
        snprintf(archivo, sizeof archivo, "levels/nivel_03.map");
        guion.clear();
    }
    void TearDown() override { destroy_bitmap(pagina); }
};

// The bytes a save of the open map would write now.
std::vector<unsigned char> bytes()
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

// Every undo takes back one change exactly: as many undos as changes give the file's bytes
// (and an unmodified map), as many redos the edited bytes; Z and Y without Ctrl do nothing.
TEST_F(Deshacer, UndosYRedosDanLosBytesExactos)
{
    const std::vector<unsigned char> inicio = bytes();
    for (unsigned semilla = 1; semilla <= 5; semilla++) {
        // Random moves, modes, selections, paints, erases and speed changes.
        std::mt19937 r(semilla);
        const int teclas[] = {KEY_RIGHT, KEY_RIGHT, KEY_LEFT, KEY_UP, KEY_DOWN, KEY_SPACE, KEY_S, KEY_D, KEY_D, KEY_F};
        for (int i = 0; i < 400; i++)
            r() % 25 ? (void)tecla_edicion(teclas[r() % 10]) : cambia_celda(CAMBIO_VELOCIDAD, 0, 0, 1 + (int)(r() % 3));
        const std::vector<unsigned char> fin = bytes();
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
    std::vector<unsigned char> tras_44;
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
TEST_F(Deshacer, DeshacerTrasGuardarMarcaModificado)
{
    for (int tecla : {KEY_D, KEY_S, KEY_D})
        tecla_edicion(tecla);
    ASSERT_TRUE(gurdarmapa() && deshacer_n == 2) << "saving keeps the history";
    ctrl_z();
    EXPECT_EQ(modifi, 1);
    ctrl_y();
    EXPECT_EQ(modifi, 0);
    for (int tecla : {KEY_Z, KEY_S, KEY_D, KEY_Z})
        tecla_edicion(tecla, tecla == KEY_Z ? ASCII_CTRL_Z : 0);
    EXPECT_EQ(modifi, 1);
    historia_borra(false);
    for (int tecla : {KEY_RIGHT, KEY_D})
        tecla_edicion(tecla);
    ctrl_z();
    EXPECT_EQ(modifi, 1);
}

// Before saving a map no careful player can pass the editor asks, naming the column: SI saves, NO and
// ESC keep the file as it was and the map modified. Explosives closing the four lanes at once (a wall
// of one column: at x1 a lane change cannot pass it; one lane undone, no question), or never all four
// yet leaving no way through (the top lane alone open over columns 400-402, the bottom one alone over
// 405-407): the autoplayer's verdict names the first explosive it cannot pass.
TEST_F(Deshacer, AvisoAntesDeGuardar)
{
    const std::pair<std::deque<int>, bool> casos[] = {
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
        EXPECT_EQ(tramo_cerrado_mapa(), muro ? 400 : -1);
        EXPECT_EQ(columna_perdida_mapa(), 400);
        for (const auto &c : casos) {
            remove(archivo);
            modifi = 1, guion = c.first;
            std::string err = stderr_de([&] { EXPECT_EQ(gurdarmapa(), c.second); });
            EXPECT_TRUE(existe(archivo) == c.second && modifi == !c.second && guion.empty());
            EXPECT_NE(err.find(muro ? "los cuatro carriles desde la columna 400" : "sin perder vidas desde la columna 400"),
                      std::string::npos) << err;
        }
    }
    ctrl_z();
    EXPECT_EQ(tramo_cerrado_mapa(), -1);
    EXPECT_EQ(columna_perdida_mapa(), -1);
    EXPECT_TRUE(gurdarmapa());
}
