// The editor's main menu and top loop, driven by scripted keys.
#include "editor_ayuda.h"

namespace {

using EditorMenu = EditorPrueba;
using EditorFlujo = EditorPrueba;

// Runs the main menu on a script and gives its result.
int menu_con(std::initializer_list<int> l)
{
    teclas(l);
    int r = menuprincipal();
    EXPECT_TRUE(cola_teclas.empty()) << "keys left over";
    return r;
}

}  // namespace

TEST_F(EditorMenu, SinMapaSaltaOpcionesYGuardar)
{
    carga = 0;
    EXPECT_EQ(menu_con({KEY_ENTER}), OPC_NUEVO);
    EXPECT_EQ(menu_con({KEY_DOWN, KEY_ENTER}), OPC_CARGAR);
    EXPECT_EQ(menu_con({KEY_DOWN, KEY_DOWN, KEY_ENTER}), OPC_SALIR);
    EXPECT_EQ(menu_con({KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_ENTER}), OPC_NUEVO);
    EXPECT_EQ(menu_con({KEY_UP, KEY_ENTER}), OPC_SALIR);
    EXPECT_EQ(menu_con({KEY_UP, KEY_UP, KEY_ENTER}), OPC_CARGAR);
    EXPECT_EQ(menu_con({KEY_UP, KEY_UP, KEY_UP, KEY_ENTER}), OPC_NUEVO);
    EXPECT_EQ(menu_con({KEY_X, KEY_LEFT, KEY_SPACE, KEY_ENTER}), OPC_NUEVO) << "other keys only redraw";
    EXPECT_EQ(menu_con({KEY_DOWN, KEY_ESC}), OPC_VOLVER);
}

TEST_F(EditorMenu, ConMapaRecorreLasCincoYDaLaVuelta)
{
    carga = 1;
    for (int n = 0; n <= 5; n++) {
        cola_teclas.clear();
        teclas_n(KEY_DOWN, n);
        cola_teclas.push_back(KEY_ENTER);
        EXPECT_EQ(menuprincipal(), n % 5 + 1) << n << " x KEY_DOWN";
    }
    EXPECT_EQ(menu_con({KEY_UP, KEY_ENTER}), OPC_SALIR);
    EXPECT_EQ(menu_con({KEY_UP, KEY_UP, KEY_UP, KEY_UP, KEY_ENTER}), OPC_CARGAR);
}

TEST_F(EditorMenu, DibujaCajaYMarcaLaEntradaDelCursor)
{
    carga = 0;
    EXPECT_EQ(menu_con({KEY_DOWN, KEY_ENTER}), OPC_CARGAR);
    // frame in 239, the fill in 0
    EXPECT_EQ(getpixel(pantalla, 100, 69), COL_MARCA);
    EXPECT_EQ(getpixel(pantalla, 218, 169), COL_MARCA);
    EXPECT_EQ(getpixel(pantalla, 102, 71), COL_FONDO);
    // the last picture had the cursor on "CARGAR MAPA"; the skipped entries are drawn in 255
    const int ys[] = {76, 96, 116, 136, 156};
    for (int i = 0; i < 5; i++) {
        bool marcada = i == 1;
        EXPECT_EQ(hay_color(pantalla, 101, ys[i], 217, ys[i] + 7, COL_MARCA), marcada) << "entry " << i + 1;
        EXPECT_EQ(hay_color(pantalla, 101, ys[i], 217, ys[i] + 7, COL_TEXTO), !marcada) << "entry " << i + 1;
    }
}

TEST_F(EditorMenu, BotonDeCierreEsSalir)
{
    cerrar = 1;
    EXPECT_EQ(menu_con({}), OPC_SALIR) << "no key is waited for";
}

TEST_F(EditorMenu, OpcionFullExacta)
{
    char prog[] = "korveditor", full[] = "-full", mayus[] = "-FULL", otra[] = "-tbuf";
    char *v1[] = {prog, mayus, otra};
    autodetect_card = GFX_AUTODETECT_WINDOWED;
    lee_opciones(3, v1);
    EXPECT_EQ(autodetect_card, GFX_AUTODETECT_WINDOWED);
    char *v2[] = {prog, otra, full};
    lee_opciones(3, v2);
    EXPECT_EQ(autodetect_card, GFX_AUTODETECT_FULLSCREEN);
    autodetect_card = GFX_AUTODETECT_WINDOWED;
}

TEST_F(EditorFlujo, EscSinMapaSoloRedibujaElMenu)
{
    teclas({KEY_ESC, KEY_ESC, KEY_DOWN, KEY_DOWN, KEY_ENTER});
    korveditor();
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_EQ(carga, 0);
    EXPECT_EQ(modifi, 0);
}

TEST_F(EditorFlujo, EscDelMenuVuelveALaEdicionComoEstaba)
{
    teclas({KEY_ENTER,                                 // NUEVO MAPA
            KEY_RIGHT, KEY_RIGHT, KEY_DOWN, KEY_ESC,    // cursor on column 2, row 1; back to the menu
            KEY_ESC,                                    // back into the editing screen
            KEY_D, KEY_ESC,                             // paints block 0 where the cursor was left
            KEY_UP, KEY_ENTER,                          // SALIR
            KEY_DOWN, KEY_ENTER});                      // "NO": the changes are given up
    korveditor();
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_STREQ(archivo, "levels/nivel_01.map");
    EXPECT_EQ(mapa[2][1], 0);
    EXPECT_EQ(mapa[0][0], 3);
    EXPECT_EQ(mapa[2][0], 3);
    EXPECT_EQ(modifi, 0);
    EXPECT_FALSE(existe("levels/nivel_01.map")) << "nothing is written without a save";
}

TEST_F(EditorFlujo, SalirConCambiosYSiGuarda)
{
    teclas({KEY_ENTER, KEY_S, KEY_D, KEY_ESC,   // new map, block 1 in column 0, row 0
            KEY_UP, KEY_ENTER,                  // SALIR
            KEY_ENTER});                        // "SI"
    korveditor();
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_EQ(modifi, 0);
    std::vector<unsigned char> v = lee_archivo("levels/nivel_01.map");
    ASSERT_EQ(v.size(), (size_t)NIVEL_BYTES);
    EXPECT_EQ(v[1], 1);
    EXPECT_EQ(v[2], 3);
}

TEST_F(EditorFlujo, GuardarTrasNuevoCreaElArchivoYElMenuVuelveANuevo)
{
    escribe_archivo("levels/nivel_01.map", nivel(1, 5));
    teclas({KEY_ENTER, KEY_ESC,                        // new map, leave at once
            KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_ENTER,   // GUARDAR
            KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_ENTER});   // from NUEVO MAPA to SALIR
    korveditor();
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_EQ(modifi, 0);
    EXPECT_EQ(lee_archivo("levels/nivel_02.map"), nivel(1, 3)) << "the template under the derived name";
    EXPECT_EQ(lee_archivo("levels/nivel_01.map"), nivel(1, 5));
}

TEST_F(EditorFlujo, NuevoConCambiosPreguntaAntes)
{
    teclas({KEY_ENTER, KEY_D, KEY_ESC,    // new map nivel_01, changed
            KEY_ENTER,                    // NUEVO MAPA again: the warning first
            KEY_ENTER,                    // "SI": nivel_01 is saved
            KEY_ESC,                      // the second new map, unchanged
            KEY_UP, KEY_ENTER,            // SALIR: new maps count as changed
            KEY_DOWN, KEY_ENTER});        // "NO"
    korveditor();
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_TRUE(existe("levels/nivel_01.map"));
    EXPECT_FALSE(existe("levels/nivel_02.map"));
    EXPECT_STREQ(archivo, "levels/nivel_02.map");
}

TEST_F(EditorFlujo, CierreEnLaEdicionPreguntaYTermina)
{
    teclas({KEY_ENTER, KEY_D,   // new map, changed
            CIERRE,             // the close button: the editing screen and the menu give way
            KEY_ENTER});        // the warning still asks: "SI"
    korveditor();
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_TRUE(existe("levels/nivel_01.map"));
    EXPECT_EQ(modifi, 0);
}

TEST_F(EditorFlujo, CierreDuranteLaAdvertenciaTerminaTrasLaRespuesta)
{
    teclas({KEY_ENTER, KEY_D, KEY_ESC,   // changed map
            KEY_DOWN, KEY_ENTER,         // CARGAR MAPA: the warning
            CIERRE, KEY_DOWN, KEY_ENTER});   // close pressed, then "NO": no load list, the editor ends
    korveditor();
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_EQ(modifi, 0);
    EXPECT_FALSE(existe("levels/nivel_01.map"));
}

TEST_F(EditorFlujo, CierreSinCambiosTerminaAlMomento)
{
    escribe_archivo("levels/nivel_01.map", nivel(2, 4));
    teclas({KEY_DOWN, KEY_ENTER, KEY_ENTER,   // CARGAR MAPA, the first level
            CIERRE});                         // unchanged: no warning
    korveditor();
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_EQ(carga, 1);
    EXPECT_EQ(multi, 2);
}
