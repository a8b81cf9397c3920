// The editing screen: every key, the movement across passes, the picture and the status lines.
#include "editor_ayuda.h"

namespace {

// An open map: every block 3, no enemies, the editing state at its start.
struct EditorEdicion : EditorPrueba {
    void SetUp() override
    {
        EditorPrueba::SetUp();
        carga = 1;
        snprintf(archivo, sizeof archivo, "levels/nivel_01.map");
    }
};

void pulsa(int tecla, int veces = 1)
{
    for (int i = 0; i < veces; i++)
        ASSERT_TRUE(tecla_edicion(tecla));
}

std::string estado(int n)
{
    char s[600];
    texto_estado(n, s, sizeof s);
    return s;
}

int columna() { return posx + a; }

// Moves right until the cursor stands on the given pass and column (enemy mode).
void lleva_a(int pasada, int col)
{
    for (int i = 0; i < 4000 && !(posx2 == pasada && columna() == col); i++)
        tecla_edicion(posx2 * MAPA_COLS + columna() < pasada * MAPA_COLS + col ? KEY_RIGHT : KEY_LEFT);
    ASSERT_EQ(posx2, pasada);
    ASSERT_EQ(columna(), col);
}

}  // namespace

TEST_F(EditorEdicion, FondoCubreColumnas0a199EnCualquierPasada)
{
    pulsa(KEY_LEFT);
    EXPECT_EQ(columna(), 0);
    pulsa(KEY_RIGHT, 9);
    EXPECT_EQ(a, 9);
    EXPECT_EQ(posx, 0);
    pulsa(KEY_RIGHT);
    EXPECT_EQ(a, 9) << "the view scrolls, the cursor stays on the right edge";
    EXPECT_EQ(posx, 1);
    pulsa(KEY_RIGHT, 189);
    EXPECT_EQ(posx, 190);
    EXPECT_EQ(columna(), 199);
    pulsa(KEY_RIGHT);
    EXPECT_EQ(columna(), 199);
    EXPECT_EQ(posx2, 0);
    // background mode never changes the pass, also when the pass is not 0
    posx2 = 2;
    pulsa(KEY_RIGHT);
    EXPECT_EQ(posx2, 2);
    EXPECT_EQ(columna(), 199);
    pulsa(KEY_LEFT, 9);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(posx, 190);
    pulsa(KEY_LEFT, 190);
    EXPECT_EQ(posx, 0);
    pulsa(KEY_LEFT);
    EXPECT_EQ(posx, 0);
    EXPECT_EQ(posx2, 2);
}

TEST_F(EditorEdicion, EnemigosCruzanLasPasadas)
{
    pulsa(KEY_SPACE);
    ASSERT_EQ(modoene, 1);
    pulsa(KEY_LEFT);
    EXPECT_EQ(posx2, 0) << "nothing before pass 0";
    EXPECT_EQ(columna(), 0);
    pulsa(KEY_RIGHT, 199);
    EXPECT_EQ(columna(), 199);
    pulsa(KEY_RIGHT);
    EXPECT_EQ(posx2, 1);
    EXPECT_EQ(posx, 0);
    EXPECT_EQ(a, 9);
    EXPECT_EQ(estado(0), "POSX2: 1    POSX:   9");
    pulsa(KEY_LEFT, 9);
    EXPECT_EQ(estado(0), "POSX2: 1    POSX:   0");
    pulsa(KEY_LEFT);
    EXPECT_EQ(posx2, 0);
    EXPECT_EQ(posx, 190);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(estado(0), "POSX2: 0    POSX: 190");
    lleva_a(3, 199);
    pulsa(KEY_RIGHT);
    EXPECT_EQ(posx2, 3);
    EXPECT_EQ(columna(), 199);
    EXPECT_EQ(estado(0), "POSX2: 3    POSX: 199");
    // back to background mode: the pass stays
    pulsa(KEY_SPACE);
    EXPECT_EQ(modoene, 0);
    EXPECT_EQ(posx2, 3);
}

TEST_F(EditorEdicion, EnemigoEnPasada2SoloSeVeAhi)
{
    pulsa(KEY_SPACE);
    lleva_a(2, 5);
    pulsa(KEY_DOWN, 2);
    pulsa(KEY_S, 3);
    ASSERT_EQ(d, 3);
    ASSERT_EQ(e, 3);
    pulsa(KEY_D);
    EXPECT_EQ(enemi2[405][3], 4);
    EXPECT_EQ(modifi, 1);
    EXPECT_EQ(cuenta_enemigos(), 1);
    // the view from column 0, the cursor away from the enemy (column 9, row 1)
    posx = 0;
    a = 9;
    d = 1;
    const int px = 32 * 5 + 10, py = 24 * 3 + 20 + 10;
    dibuja_edicion();
    EXPECT_EQ(getpixel(pantalla, px, py), color_enemigo(4));
    for (int p : {0, 1, 3}) {
        posx2 = p;
        dibuja_edicion();
        EXPECT_EQ(getpixel(pantalla, px, py), color_bloque(3)) << "pass " << p;
    }
    posx2 = 2;
    modoene = 0;
    b = 7;
    dibuja_edicion();
    EXPECT_EQ(getpixel(pantalla, px, py), color_bloque(3)) << "background mode shows no enemy";
}

TEST_F(EditorEdicion, ElFondoEsElMismoEnTodasLasPasadas)
{
    pulsa(KEY_SPACE);
    lleva_a(2, 12);
    pulsa(KEY_SPACE);
    pulsa(KEY_DOWN, 4);
    pulsa(KEY_S, 7);
    pulsa(KEY_D);
    EXPECT_EQ(mapa[12][4], 7);
    EXPECT_EQ(modifi, 1);
    EXPECT_EQ(posx2, 2);
    // shown on pass 0 in enemy mode, away from the cursor
    modoene = 1;
    posx2 = 0;
    d = 1;
    a = 0;
    dibuja_edicion();
    int x = 32 * (12 - posx) + 3;
    EXPECT_EQ(getpixel(pantalla, x, 24 * 4 + 2), color_bloque(7));
}

TEST_F(EditorEdicion, TeclaFEnFondoNoCambiaNada)
{
    enemi2[0][1] = 5;
    b = 1;
    pulsa(KEY_F);
    EXPECT_EQ(enemi2[0][1], 5);
    EXPECT_EQ(mapa[0][1], 3);
    EXPECT_EQ(modifi, 0);
}

TEST_F(EditorEdicion, ColocarYBorrarMarcanCambiosAunSinEfecto)
{
    pulsa(KEY_SPACE);
    enemi2[0][1] = 1;   // e + 1 already there
    pulsa(KEY_D);
    EXPECT_EQ(modifi, 1);
    modifi = 0;
    pulsa(KEY_RIGHT);
    pulsa(KEY_F);   // an empty cell
    EXPECT_EQ(modifi, 1);
    pulsa(KEY_LEFT);
    pulsa(KEY_F);
    EXPECT_EQ(enemi2[0][1], 0);
    modifi = 0;
    pulsa(KEY_SPACE);
    c = 3;
    pulsa(KEY_D);   // the block that is already there
    EXPECT_EQ(modifi, 1);
}

TEST_F(EditorEdicion, FilasYSeleccionesTienenTopesYCadaModoLasSuyas)
{
    pulsa(KEY_UP);
    EXPECT_EQ(b, 0);
    pulsa(KEY_DOWN, 10);
    EXPECT_EQ(b, 7);
    pulsa(KEY_A);
    EXPECT_EQ(c, 0);
    pulsa(KEY_S, 50);
    EXPECT_EQ(c, 39);
    pulsa(KEY_SPACE);
    EXPECT_EQ(d, 1);
    EXPECT_EQ(e, 0);
    pulsa(KEY_UP);
    EXPECT_EQ(d, 1);
    pulsa(KEY_DOWN, 10);
    EXPECT_EQ(d, 4);
    pulsa(KEY_S, 10);
    EXPECT_EQ(e, 6);
    pulsa(KEY_A, 2);
    EXPECT_EQ(e, 4);
    pulsa(KEY_SPACE);
    EXPECT_EQ(b, 7);
    EXPECT_EQ(c, 39);
    pulsa(KEY_A, 45);
    EXPECT_EQ(c, 0);
    pulsa(KEY_SPACE);
    EXPECT_EQ(d, 4);
    EXPECT_EQ(e, 4);
    pulsa(KEY_A, 10);
    EXPECT_EQ(e, 0);
    // other keys change nothing
    pulsa(KEY_Q);
    pulsa(KEY_ENTER);
    EXPECT_EQ(modifi, 0);
    EXPECT_FALSE(tecla_edicion(KEY_ESC));
}

TEST_F(EditorEdicion, CursorDeFondoMuestraElBloqueElegido)
{
    pulsa(KEY_S, 9);
    pulsa(KEY_RIGHT);
    pulsa(KEY_DOWN);
    dibuja_edicion();
    EXPECT_EQ(getpixel(pantalla, 32 + 5, 24 + 5), color_bloque(9));
    EXPECT_EQ(getpixel(pantalla, 32, 24), COL_MARCA);
    EXPECT_EQ(getpixel(pantalla, 63, 47), COL_MARCA);
    EXPECT_EQ(getpixel(pantalla, 64 + 5, 24 + 5), color_bloque(3));
    EXPECT_EQ(mapa[1][1], 3) << "the map changes only with KEY_D";
}

TEST_F(EditorEdicion, CursorDeEnemigoYFilasFueraDeLasCalles)
{
    // enemies of a file in rows 0 and 6 and a remains marker are shown, not reachable
    enemi2[3][0] = 2;
    enemi2[4][6] = 5;
    enemi2[6][2] = TIPO_MAX;
    pulsa(KEY_SPACE);
    pulsa(KEY_S, 2);
    dibuja_edicion();
    EXPECT_EQ(getpixel(pantalla, 96 + 3, 20 + 3), color_enemigo(2));
    EXPECT_EQ(getpixel(pantalla, 128 + 3, 24 * 6 + 20 + 3), color_enemigo(5));
    EXPECT_EQ(getpixel(pantalla, 128 + 3, 191), color_enemigo(5)) << "cut at the view's bottom";
    EXPECT_EQ(getpixel(pantalla, 192 + 3, 24 * 2 + 20 + 3), color_enemigo(8));
    // cursor: enemy picture e at row d, frame 37x72
    EXPECT_EQ(getpixel(pantalla, 5, 24 + 20 + 5), color_enemigo(3));
    EXPECT_EQ(getpixel(pantalla, 0, 44), COL_MARCA);
    EXPECT_EQ(getpixel(pantalla, 36, 44 + 71), COL_MARCA);
    EXPECT_EQ(getpixel(pantalla, 5, 5), color_bloque(3));
    // a picture covers its left neighbour: column 4's enemy over column 3's right margin
    enemi2[3][1] = 1;
    enemi2[4][1] = 7;
    a = 9;
    dibuja_edicion();
    EXPECT_EQ(getpixel(pantalla, 128 + 2, 44 + 3), color_enemigo(7));
    EXPECT_EQ(getpixel(pantalla, 96 + 2, 44 + 3), color_enemigo(1));
}

TEST_F(EditorEdicion, LineasDeEstadoTextosYAnchos)
{
    EXPECT_EQ(estado(0), "POSX2: 0    POSX:   0");
    EXPECT_EQ(estado(1), "MODO: FONDO  ");
    EXPECT_EQ(estado(2), "MAPA: levels/nivel_01.map");
    pulsa(KEY_SPACE);
    EXPECT_EQ(estado(1), "MODO: ENEMIGO");
    pulsa(KEY_SPACE);
    // the area below the view is never cleared: a wide state followed by a narrow one must
    // leave exactly what the narrow state alone draws
    modoene = 1;
    posx2 = 3;
    posx = 190;
    a = 9;
    dibuja_edicion();
    modoene = 0;
    posx2 = 0;
    posx = 0;
    a = 5;
    dibuja_edicion();
    BITMAP *solo = create_bitmap(ED_PANTALLA_W, ED_PANTALLA_H);
    clear_bitmap(solo);
    active_page = solo;
    dibuja_edicion();
    active_page = pantalla;
    int distintos = 0;
    for (int y = VISTA_H; y < ED_PANTALLA_H; y++)
        for (int x = 0; x < ED_PANTALLA_W; x++)
            distintos += getpixel(pantalla, x, y) != getpixel(solo, x, y);
    destroy_bitmap(solo);
    EXPECT_EQ(distintos, 0);
    // the lines are drawn in 255 at x = 10 from y = 202, ten apart
    EXPECT_TRUE(hay_color(pantalla, 10, 202, 17, 209, COL_TEXTO));
    EXPECT_TRUE(hay_color(pantalla, 10, 212, 17, 219, COL_TEXTO));
    EXPECT_TRUE(hay_color(pantalla, 10, 222, 17, 229, COL_TEXTO));
    EXPECT_FALSE(hay_color(pantalla, 0, 192, 9, 239, COL_TEXTO));
}

TEST_F(EditorEdicion, NoCabeElEnemigo301)
{
    int n = 0;
    for (int col = 100; n < ENE_MAX; col++)
        for (int f = PRIMERA_CALLE; f <= ULTIMA_CALLE && n < ENE_MAX; f++, n++)
            enemi2[col][f] = (unsigned char)(1 + n % 7);
    enemi2[1][1] = TIPO_MAX;   // remains hold no place in the file, nor may they take one
    ASSERT_EQ(cuenta_enemigos(), ENE_MAX);
    pulsa(KEY_SPACE);
    pulsa(KEY_D);
    EXPECT_EQ(enemi2[0][1], 0);
    EXPECT_EQ(modifi, 0);
    EXPECT_STRNE(aviso, "");
    dibuja_edicion();
    EXPECT_TRUE(hay_color(pantalla, 10, 232, 250, 239, COL_MARCA)) << "the notice under the status lines";
    EXPECT_STREQ(aviso, "") << "shown once";
    dibuja_edicion();
    EXPECT_FALSE(hay_color(pantalla, 0, 230, 319, 239, COL_MARCA)) << "and gone at the next key";
    pulsa(KEY_RIGHT);
    pulsa(KEY_D);
    EXPECT_EQ(enemi2[1][1], TIPO_MAX);
    // changing the type of a placed enemy is not a new one
    posx = 100;
    a = 0;
    e = 6;
    pulsa(KEY_D);
    EXPECT_EQ(enemi2[100][1], 7);
    EXPECT_EQ(modifi, 1);
    // after one is erased there is room again
    pulsa(KEY_F);
    posx = 0;
    pulsa(KEY_D);
    EXPECT_EQ(enemi2[0][1], 7);
    EXPECT_EQ(cuenta_enemigos(), ENE_MAX);
}

TEST_F(EditorEdicion, PantallaDeEdicionHastaEsc)
{
    clear_to_color(pantalla, 77);
    teclas({KEY_RIGHT, KEY_SPACE, KEY_DOWN, KEY_ESC});
    korveditormain();
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_EQ(a, 1);
    EXPECT_EQ(modoene, 1);
    EXPECT_EQ(d, 2);
    EXPECT_FALSE(hay_color(pantalla, 0, 0, 319, 239, 77)) << "the screen is cleared on entry";
}

TEST_F(EditorEdicion, MatrizDesdeLosRegistros)
{
    // an enemy in column 0, row 0, followed by empty records that name the same cell
    memset(enemi, 0, ENE_BYTES);
    ene_pon(0, 0, 0, 5);
    cargamatrizene();
    EXPECT_EQ(enemi2[0][0], 5);
    EXPECT_EQ(cuenta_enemigos(), 1);
    // later records overwrite earlier ones; empty records in between are passed over;
    // row offsets divide down; rows 5 to 7 and column 799 are kept
    memset(enemi, 0, ENE_BYTES);
    ene_pon(0, 10, 48, 2);
    ene_pon(1, 33, 24, 0);
    ene_pon(2, 10, 48, 6);
    ene_pon(3, 799, 168, 7);
    ene_pon(4, 20, 30, 3);
    ene_pon(5, 400, 120, 8);
    ene_pon(299, 798, 24, 1);
    enemi2[50][2] = 4;   // whatever the grid held before is gone
    cargamatrizene();
    EXPECT_EQ(enemi2[10][2], 6);
    EXPECT_EQ(enemi2[33][1], 0);
    EXPECT_EQ(enemi2[799][7], 7);
    EXPECT_EQ(enemi2[20][1], 3);
    EXPECT_EQ(enemi2[400][5], 8);
    EXPECT_EQ(enemi2[798][1], 1);
    EXPECT_EQ(enemi2[50][2], 0);
    EXPECT_EQ(enemi2[0][0], 0);
    // all records empty: an empty grid
    memset(enemi, 0, ENE_BYTES);
    cargamatrizene();
    EXPECT_EQ(cuenta_enemigos(), 0);
    EXPECT_EQ(enemi2[0][0], 0);
}
