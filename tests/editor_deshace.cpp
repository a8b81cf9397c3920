// Undo and redo in the map screen, by the bytes a save writes; the save warning on a level
// whose explosives close the four lanes.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/mained.h"
#include "shared/verifica.h"
#include "prueba.h"

namespace {

std::deque<int> guion;   // scan codes the save warning will read

// The editor's key source here: the script, or a failure when it runs out.
int tecla_guion()
{
    if (guion.empty())
        throw std::runtime_error("el editor espera una tecla que el guion no tiene");
    int t = guion.front();
    guion.pop_front();
    return t << 8;
}

// The shipped level 3 open in the editor, its history empty and the map unmodified.
struct Deshacer : ::testing::Test {
    CarpetaTemporal t;
    BITMAP *pagina = nullptr;
    void SetUp() override
    {
        t.subcarpetas();
        reserva_enemigos();
        ASSERT_TRUE(CargaMapa(KORV_DIR "/levels/nivel_03.map"));
        cargamatrizene();
        reinicia_edicion();
        historia_borra(true);
        modifi = 0;
        carga = 1;
        snprintf(archivo, sizeof archivo, "levels/nivel_03.map");
        pagina = create_bitmap(ED_PANTALLA_W, ED_PANTALLA_H);
        active_page = pagina;
        fuente_tecla = tecla_guion;
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

void ctrl_z() { ASSERT_TRUE(tecla_edicion(KEY_Z, ASCII_CTRL_Z)); }
void ctrl_y() { ASSERT_TRUE(tecla_edicion(KEY_Y, ASCII_CTRL_Y)); }

// Random editing keys (moves, modes, selections, paints, erases) and speed changes.
void edita_al_azar(std::mt19937 &r, int pasos)
{
    static const int teclas[] = {KEY_RIGHT, KEY_RIGHT, KEY_LEFT, KEY_UP, KEY_DOWN, KEY_SPACE,
                                 KEY_S,     KEY_A,     KEY_D,    KEY_D,  KEY_D,    KEY_F};
    for (int i = 0; i < pasos; i++) {
        if (r() % 25 == 0)
            cambia_celda(CAMBIO_VELOCIDAD, 0, 0, 1 + (int)(r() % 3));
        else
            tecla_edicion(teclas[r() % (sizeof teclas / sizeof teclas[0])]);
    }
}

}  // namespace

// Every undo takes back one change exactly: as many undos as changes give the file's bytes,
// as many redos give the edited bytes; Z and Y without Ctrl do nothing.
TEST_F(Deshacer, UndosYRedosDanLosBytesExactos)
{
    const std::vector<unsigned char> inicio = bytes();
    for (unsigned semilla = 1; semilla <= 5; semilla++) {
        std::mt19937 r(semilla);
        edita_al_azar(r, 190);
        const std::vector<unsigned char> fin = bytes();
        int n = deshacer_n;
        ASSERT_GT(n, 40) << "semilla " << semilla;
        tecla_edicion(KEY_Z);
        tecla_edicion(KEY_Y);
        EXPECT_EQ(deshacer_n, n) << "Z o Y sin Ctrl";
        for (int i = 0; i < n; i++)
            ctrl_z();
        EXPECT_EQ(deshacer_n, 0);
        EXPECT_TRUE(bytes() == inicio) << "semilla " << semilla;
        EXPECT_EQ(modifi, 0) << "de vuelta en lo que tiene el archivo";
        for (int i = 0; i < n; i++)
            ctrl_y();
        EXPECT_TRUE(bytes() == fin) << "semilla " << semilla;
        ctrl_y();   // nothing more to redo
        EXPECT_TRUE(bytes() == fin);
        for (int i = 0; i < n; i++)
            ctrl_z();
    }
}

// The history keeps the last 256 changes: one per cell painted, the oldest dropped.
TEST_F(Deshacer, GuardaLosUltimos256Pasos)
{
    std::vector<unsigned char> tras_44;
    for (int i = 0; i < 300; i++) {
        int col = i % MAPA_COLS;
        a = col % VISTA_COLS;
        posx = col - a;
        b = i / MAPA_COLS;
        c = (mapa[col][b] + 1) % NUM_TILES;   // every paint changes its cell
        tecla_edicion(KEY_D);
        if (i == 43)
            tras_44 = bytes();
    }
    EXPECT_EQ(deshacer_n, HISTORIA_MAX);
    char linea[40];
    texto_deshacer(linea, sizeof linea);
    EXPECT_STREQ(linea, "DESHACER: 256");
    for (int i = 0; i < 300; i++)
        ctrl_z();
    EXPECT_TRUE(bytes() == tras_44);
    texto_deshacer(linea, sizeof linea);
    EXPECT_STREQ(linea, "             ");
}

// modifi follows the saved state: a save, then an undo, marks the map modified; a redo
// back to the save clears it; a new change after an undo makes the save unreachable; a
// new map (never saved) stays modified however far it is undone.
TEST_F(Deshacer, DeshacerTrasGuardarMarcaModificado)
{
    tecla_edicion(KEY_D);
    tecla_edicion(KEY_S);
    tecla_edicion(KEY_D);
    ASSERT_EQ(deshacer_n, 2);
    ASSERT_TRUE(gurdarmapa());
    EXPECT_EQ(modifi, 0);
    EXPECT_EQ(deshacer_n, 2) << "saving keeps the history";
    ctrl_z();
    EXPECT_EQ(modifi, 1);
    ctrl_y();
    EXPECT_EQ(modifi, 0);
    ctrl_z();
    tecla_edicion(KEY_S);
    tecla_edicion(KEY_D);
    ctrl_z();
    EXPECT_EQ(modifi, 1) << "the saved state cannot be reached any more";
    historia_borra(false);
    modifi = 1;
    tecla_edicion(KEY_RIGHT);
    tecla_edicion(KEY_D);
    ctrl_z();
    EXPECT_EQ(modifi, 1);
}

// Before saving a map whose explosives close the four lanes the editor asks: SI saves,
// NO and ESC keep the file as it was and the map modified.
TEST_F(Deshacer, AvisoDeCarrilesCerrados)
{
    const std::string ruta = "levels/nivel_03.map";
    struct Caso {
        std::deque<int> teclas;
        bool guarda;
    } casos[] = {{{KEY_ENTER}, true}, {{KEY_DOWN, KEY_ENTER}, false}, {{KEY_ESC}, false},
                 {{KEY_UP, KEY_UP, KEY_ENTER}, true}};
    memset(enemi2, 0, sizeof enemi2);
    for (int f = CALLE_PRIMERA; f < CALLE_PRIMERA + CARRILES; f++)
        cambia_celda(CAMBIO_ENEMIGO, 400 + f, f, TIPO_EXPLOSIVO);
    ASSERT_EQ(tramo_cerrado_mapa(), 404 - tramo_minimo(multi) + 1);
    for (const Caso &c : casos) {
        remove(ruta.c_str());
        modifi = 1;
        guion = c.teclas;
        EXPECT_EQ(gurdarmapa(), c.guarda);
        EXPECT_EQ(existe(ruta), c.guarda);
        EXPECT_EQ(modifi, c.guarda ? 0 : 1);
        EXPECT_TRUE(guion.empty());
    }
    // One lane opened again: saved without a question.
    ctrl_z();
    EXPECT_EQ(tramo_cerrado_mapa(), -1);
    EXPECT_TRUE(gurdarmapa());
}
