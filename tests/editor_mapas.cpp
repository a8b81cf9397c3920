// Map operations: naming of new levels, the load list, the exact bytes of a save, the speed
// dialog, the save warning, and saves or loads that cannot be done.
#include "editor_ayuda.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace {

using EditorMapas = EditorPrueba;

// Creates levels/<name> for each name (a small valid level).
void niveles_con(std::initializer_list<const char *> nombres)
{
    for (const char *n : nombres)
        escribe_archivo(std::string("levels/") + n, nivel(1, 0));
}

std::string nombre()
{
    char s[512] = "";
    EXPECT_TRUE(nombre_nuevo(s, sizeof s));
    return s;
}

// The files of a folder, hidden ones included.
std::vector<std::string> contenido(const char *dir)
{
    std::vector<std::string> v;
    for (const auto &f : std::filesystem::directory_iterator(dir))
        v.push_back(f.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
}

// While alive, no file of the process may grow past a few bytes: every save fails (also as root).
struct SinEspacio {
    rlimit antes;
    SinEspacio()
    {
        signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &antes);
        rlimit r = antes;
        r.rlim_cur = 100;
        setrlimit(RLIMIT_FSIZE, &r);
    }
    ~SinEspacio() { setrlimit(RLIMIT_FSIZE, &antes); }
};

}  // namespace

TEST_F(EditorMapas, NombreDelNivelNuevo)
{
    EXPECT_EQ(nombre(), "levels/nivel_01.map") << "empty catalogue";
    niveles_con({"nivel_01.map", "nivel_02.map", "nivel_03.map", "nivel_04.map"});
    EXPECT_EQ(nombre(), "levels/nivel_05.map");
    niveles_con({"nivel_05.map", "nivel_06.map", "nivel_07.map", "nivel_08.map", "nivel_09.map"});
    EXPECT_EQ(nombre(), "levels/nivel_10.map");
}

TEST_F(EditorMapas, NombreOcupadoTomaElSiguienteLibre)
{
    niveles_con({"nivel_01.map", "nivel_03.map"});
    EXPECT_EQ(nombre(), "levels/nivel_04.map") << "nivel_03 is taken";
    niveles_con({"nivel_04.map", "nivel_05.map"});
    EXPECT_EQ(nombre(), "levels/nivel_06.map");
}

TEST_F(EditorMapas, NombreConMasDe15Niveles)
{
    for (int i = 1; i <= 17; i++) {
        char n[32];
        snprintf(n, sizeof n, "levels/nivel_%02d.map", i);
        escribe_archivo(n, nivel(1, 0));
    }
    EXPECT_EQ(nombre(), "levels/nivel_18.map");
}

TEST_F(EditorMapas, NombreCortoLlevaElNumeroAntesDeLaExtension)
{
    niveles_con({"mapa.map"});
    EXPECT_EQ(nombre(), "levels/mapa02.map");
    niveles_con({"mapa02.map"});   // "mapa02" still has fewer than eight characters
    EXPECT_EQ(nombre(), "levels/mapa0203.map");
}

TEST_F(EditorMapas, NombreLargoConservaLaExtension)
{
    niveles_con({"castillo.map", "desierto.map"});
    EXPECT_EQ(nombre(), "levels/desier03.map");
}

TEST_F(EditorMapas, NuevoMapaDesdeLaPlantilla)
{
    std::vector<unsigned char> plantilla = nivel(3, 9, {{0, 0, 5}, {7, 48, 6}});
    escribe_archivo("datos/newlevel.dat", plantilla);
    niveles_con({"nivel_01.map", "nivel_02.map", "nivel_03.map", "nivel_04.map"});
    modoene = 1;
    posx2 = 2;
    a = 4;
    teclas({KEY_ESC});
    nuevomapa();
    EXPECT_STREQ(archivo, "levels/nivel_05.map");
    EXPECT_EQ(carga, 1);
    EXPECT_EQ(modifi, 1);
    EXPECT_EQ(multi, 3);
    EXPECT_EQ(mapa[199][7], 9);
    EXPECT_EQ(enemi2[0][0], 5);
    EXPECT_EQ(enemi2[7][2], 6);
    EXPECT_EQ(modoene, 0);
    EXPECT_EQ(posx2, 0);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(d, 1);
    EXPECT_FALSE(existe("levels/nivel_05.map"));
}

TEST_F(EditorMapas, SinPlantillaNoSeAbreNada)
{
    std::filesystem::remove("datos/newlevel.dat");
    teclas({KEY_ENTER,                             // NUEVO MAPA: a notice
            KEY_ENTER,                             // the notice's key
            KEY_ESC,                               // no map open: the menu again
            KEY_DOWN, KEY_DOWN, KEY_ENTER});       // SALIR
    korveditor();
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_EQ(carga, 0);
    EXPECT_EQ(modifi, 0);
    EXPECT_STREQ(archivo, "");
}

TEST_F(EditorMapas, GuardaBytesExactos)
{
    carga = 1;
    modifi = 1;
    snprintf(archivo, sizeof archivo, "levels/nivel_01.map");
    multi = 2;   // "x1.5"
    for (int col = 0; col < MAPA_COLS; col++)
        for (int f = 0; f < MAPA_FILAS; f++)
            mapa[col][f] = (unsigned char)((col * 3 + f * 11) % NUM_TILES);
    enemi2[5][3] = 7;
    enemi2[0][1] = 1;
    enemi2[799][1] = 6;
    enemi2[10][2] = TIPO_MAX;   // remains: dropped, the cell cleared
    enemi2[3][0] = 2;
    enemi2[100][7] = 4;
    enemi2[256][5] = 3;
    ASSERT_TRUE(gurdarmapa());
    EXPECT_EQ(modifi, 0);
    EXPECT_EQ(enemi2[10][2], 0);
    std::vector<unsigned char> v = lee_archivo("levels/nivel_01.map");
    ASSERT_EQ(v.size(), 2801u);
    EXPECT_EQ(v[0], 2);
    for (int f = 0; f < MAPA_FILAS; f++)
        for (int col = 0; col < MAPA_COLS; col++)
            ASSERT_EQ(v[1 + 200 * f + col], (col * 3 + f * 11) % NUM_TILES) << col << "," << f;
    const unsigned char registros[] = {
        3, 0, 0, 2,           // row 0
        0, 0, 24, 1,          // row 1, column 0
        0x1F, 0x03, 24, 6,    // row 1, column 799
        5, 0, 72, 7,          // row 3
        0x00, 0x01, 120, 3,   // row 5, column 256
        100, 0, 168, 4,       // row 7
    };
    EXPECT_EQ(0, memcmp(&v[1601], registros, sizeof registros));
    for (size_t i = 1601 + sizeof registros; i < v.size(); i++)
        ASSERT_EQ(v[i], 0) << "byte " << i;
    EXPECT_EQ(0, memcmp(enemi, &v[1601], ENE_BYTES)) << "enemi holds what was written";
    EXPECT_EQ(contenido("levels"), std::vector<std::string>{"nivel_01.map"}) << "no temporary file left";
}

TEST_F(EditorMapas, BorradoYCambioDeTipoSobrevivenGuardarYCargar)
{
    escribe_archivo("levels/nivel_01.map", nivel(1, 2, {{2, 24, 3}, {4, 48, 5}, {0, 0, 0}, {9, 24, 8}}));
    teclas({KEY_DOWN, KEY_ENTER,            // CARGAR MAPA
            KEY_ENTER,                      // the first level
            KEY_SPACE, KEY_RIGHT, KEY_RIGHT, KEY_F,           // erase column 2, row 1
            KEY_RIGHT, KEY_RIGHT, KEY_DOWN, KEY_S, KEY_D,     // column 4, row 2 becomes type 2
            KEY_ESC,
            KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_ENTER,          // GUARDAR
            KEY_UP, KEY_ENTER});                              // SALIR
    korveditor();
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_EQ(modifi, 0);
    EXPECT_EQ(lee_archivo("levels/nivel_01.map"), nivel(1, 2, {{4, 48, 2}}));
    // and loaded again
    memset(enemi2, 0, sizeof enemi2);
    teclas({KEY_ENTER, KEY_ESC});
    cargarmapa();
    EXPECT_EQ(cuenta_enemigos(), 1);
    EXPECT_EQ(enemi2[4][2], 2);
    EXPECT_EQ(enemi2[2][1], 0);
    EXPECT_EQ(enemi2[9][1], 0);
}

TEST_F(EditorMapas, TodasLasCeldasSobrevivenIdaYVuelta)
{
    carga = 1;
    snprintf(archivo, sizeof archivo, "levels/ida.map");
    int n = 0;
    for (int col = 0; col < ENE_COLS && n < ENE_MAX; col += 3)
        for (int f = 0; f < MAPA_FILAS && n < ENE_MAX; f++, n++)
            enemi2[(col + f * 7) % ENE_COLS][f] = (unsigned char)(1 + n % 7);
    unsigned char antes[ENE_COLS][MAPA_FILAS];
    memcpy(antes, enemi2, sizeof antes);
    ASSERT_EQ(cuenta_enemigos(), ENE_MAX);
    ASSERT_TRUE(gurdarmapa());
    memset(enemi2, 0, sizeof enemi2);
    memset(enemi, 0xEE, ENE_BYTES);
    teclas({KEY_ENTER, KEY_ESC});
    cargarmapa();
    EXPECT_EQ(0, memcmp(antes, enemi2, sizeof antes));
    // ordered by row, then column
    for (int i = 1; i < ENE_MAX; i++)
        ASSERT_LT(ene_fila(i - 1) * ENE_COLS + ene_col(i - 1), ene_fila(i) * ENE_COLS + ene_col(i)) << i;
}

TEST_F(EditorMapas, ListaDeCargaDaLaVueltaYEscNoSale)
{
    escribe_archivo("levels/nivel_01.map", nivel(1, 1));
    escribe_archivo("levels/nivel_02.map", nivel(2, 2));
    escribe_archivo("levels/nivel_03.map", nivel(3, 3));
    teclas({KEY_UP, KEY_ESC, KEY_X, KEY_ENTER, KEY_ESC});
    cargarmapa();
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_STREQ(archivo, "levels/nivel_03.map");
    EXPECT_EQ(multi, 3);
    EXPECT_EQ(carga, 1);
    EXPECT_EQ(modifi, 0);
    teclas({KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_ENTER, KEY_ESC});
    cargarmapa();
    EXPECT_STREQ(archivo, "levels/nivel_01.map");
    EXPECT_EQ(multi, 1);
    EXPECT_EQ(mapa[0][0], 1);
    // the list's picture: box, title, the chosen entry in 239 (third line: y = 20 + 36)
    al_leer = [this] {
        if (cola_teclas.size() == 2) {   // the list drawn with entry 3 chosen
            EXPECT_EQ(getpixel(pantalla, 100, 10), COL_MARCA);
            EXPECT_EQ(getpixel(pantalla, 218, 230), COL_MARCA);
            EXPECT_TRUE(hay_color(pantalla, 101, 56, 217, 63, COL_MARCA));
            EXPECT_FALSE(hay_color(pantalla, 101, 32, 217, 39, COL_MARCA));
            EXPECT_TRUE(hay_color(pantalla, 101, 32, 217, 39, COL_TEXTO));
        }
    };
    teclas({KEY_UP, KEY_ENTER, KEY_ESC});
    cargarmapa();
}

TEST_F(EditorMapas, SinNivelesEnterOEscVuelvenAlMenu)
{
    al_leer = [this] {
        EXPECT_TRUE(hay_color(pantalla, 101, 32, 217, 39, COL_TEXTO)) << "NO HAY NIVELES";
    };
    teclas({KEY_X, KEY_ENTER});
    cargarmapa();
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_FALSE(hay_color(pantalla, 0, 0, 319, 239, COL_MARCA)) << "no map open: the list is cleared away";
    teclas({KEY_ESC});
    cargarmapa();
    al_leer = nullptr;
    EXPECT_EQ(carga, 0);
    // from the menu: nothing opened, ESC in the menu stays in the menu
    teclas({KEY_DOWN, KEY_ENTER, KEY_ENTER, KEY_ESC, KEY_DOWN, KEY_DOWN, KEY_ENTER});
    korveditor();
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_EQ(carga, 0);
}

TEST_F(EditorMapas, NivelDanadoNoSeAbre)
{
    std::vector<unsigned char> corto(100, 7);
    escribe_archivo("levels/nivel_01.map", corto);
    teclas({KEY_ENTER, KEY_D, KEY_RIGHT, KEY_ESC,   // new map nivel_02, block 0 in column 0
            KEY_DOWN, KEY_ENTER,                    // CARGAR MAPA: the warning first
            KEY_DOWN, KEY_ENTER,                    // "NO"
            KEY_ENTER,                              // the damaged level
            KEY_ENTER,                              // the notice
            KEY_ESC,                                // back into the map that stayed open
            KEY_ESC,
            KEY_UP, KEY_ENTER});                    // SALIR
    bool vista = false;
    al_leer = [&] {
        if (cola_teclas.size() == 4)   // the menu after the notice: the open map's view behind it
            vista = getpixel(pantalla, 5, 5) == color_bloque(0) && getpixel(pantalla, 70, 5) == color_bloque(3);
    };
    korveditor();
    EXPECT_TRUE(vista);
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_STREQ(archivo, "levels/nivel_02.map");
    EXPECT_EQ(mapa[0][0], 0);
    EXPECT_EQ(mapa[1][0], 3);
    EXPECT_EQ(a, 1) << "the editing state was kept";
    EXPECT_EQ(lee_archivo("levels/nivel_01.map"), corto);
}

TEST_F(EditorMapas, VelocidadPasoEnOchoBits)
{
    struct { int m, tecla, r; } casos[] = {
        {1, KEY_RIGHT, 2}, {2, KEY_RIGHT, 3}, {3, KEY_RIGHT, 1},
        {3, KEY_LEFT, 2}, {2, KEY_LEFT, 1}, {1, KEY_LEFT, 3},
        {4, KEY_LEFT, 3}, {255, KEY_RIGHT, 3},
        {0, KEY_LEFT, 1}, {0, KEY_RIGHT, 1}, {4, KEY_RIGHT, 1}, {200, KEY_LEFT, 1}, {255, KEY_LEFT, 1},
        {2, KEY_UP, 2}, {7, KEY_ENTER, 7}, {0, KEY_X, 0},
    };
    for (auto &t : casos)
        EXPECT_EQ(paso_multi((unsigned char)t.m, t.tecla), t.r) << t.m << " key " << t.tecla;
}

TEST_F(EditorMapas, DialogoDeVelocidad)
{
    multi = 1;
    teclas({KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, KEY_LEFT, KEY_ESC, KEY_X, KEY_RIGHT, KEY_ENTER});   // 2 3 1 3 1
    opcimap();
    EXPECT_TRUE(cola_teclas.empty()) << "ESC does not leave the dialog";
    EXPECT_EQ(multi, 1);
    EXPECT_EQ(modifi, 0) << "back to the value on entry";
    teclas({KEY_LEFT, KEY_ENTER});
    opcimap();
    EXPECT_EQ(multi, 3);
    EXPECT_EQ(modifi, 1);
    // the marked choice: x1 at x = 110, x1.5 centred on 160, x2 centred on 205 (y = 109)
    multi = 2;
    modifi = 0;
    teclas({KEY_ENTER});
    opcimap();
    EXPECT_EQ(getpixel(pantalla, 100, 69), COL_MARCA);
    EXPECT_EQ(getpixel(pantalla, 218, 171), COL_MARCA);
    EXPECT_TRUE(hay_color(pantalla, 110, 109, 125, 116, COL_TEXTO));
    EXPECT_FALSE(hay_color(pantalla, 110, 109, 125, 116, COL_MARCA));
    EXPECT_TRUE(hay_color(pantalla, 144, 109, 175, 116, COL_MARCA));
    EXPECT_TRUE(hay_color(pantalla, 197, 109, 212, 116, COL_TEXTO));
    EXPECT_TRUE(hay_color(pantalla, 101, 89, 217, 96, COL_TEXTO)) << "MULTIPLICA VEL";
    // out of range from a file: nothing marked, ENTER keeps it
    multi = 9;
    teclas({KEY_ENTER});
    opcimap();
    EXPECT_EQ(multi, 9);
    EXPECT_EQ(modifi, 0);
    EXPECT_FALSE(hay_color(pantalla, 101, 109, 217, 116, COL_MARCA));
    teclas({KEY_RIGHT, KEY_ENTER});
    opcimap();
    EXPECT_EQ(multi, 1);
    EXPECT_EQ(modifi, 1);
}

TEST_F(EditorMapas, AdvertenciaSiGuardaNoDescarta)
{
    carga = 1;
    snprintf(archivo, sizeof archivo, "levels/nivel_01.map");
    struct { std::vector<int> keys; bool guarda; } casos[] = {
        {{KEY_ENTER}, true},
        {{KEY_DOWN, KEY_ENTER}, false},
        {{KEY_UP, KEY_ENTER}, false},              // UP on "SI" goes to "NO"
        {{KEY_DOWN, KEY_DOWN, KEY_ENTER}, true},   // DOWN on "NO" goes to "SI"
        {{KEY_ESC, KEY_X, KEY_ENTER}, true},       // no other way out
    };
    for (auto &t : casos) {
        std::filesystem::remove("levels/nivel_01.map");
        modifi = 1;
        cola_teclas.assign(t.keys.begin(), t.keys.end());
        EXPECT_TRUE(advertencia());
        EXPECT_TRUE(cola_teclas.empty());
        EXPECT_EQ(modifi, 0);
        EXPECT_EQ(existe("levels/nivel_01.map"), t.guarda);
    }
}

TEST_F(EditorMapas, GuardadoFallidoConservaElArchivoYLosCambios)
{
    std::vector<unsigned char> viejo = nivel(1, 6, {{1, 24, 1}});
    escribe_archivo("levels/nivel_01.map", viejo);
    carga = 1;
    modifi = 1;
    snprintf(archivo, sizeof archivo, "levels/nivel_01.map");
    mapa[0][0] = 9;
    bool aviso_visto = false;
    al_leer = [&] {
        aviso_visto = getpixel(pantalla, 30, 90) == COL_MARCA &&
                      hay_color(pantalla, 31, 102, 289, 109, COL_TEXTO);
    };
    {
        SinEspacio lleno;
        teclas({KEY_ENTER});
        EXPECT_FALSE(gurdarmapa());
    }
    EXPECT_TRUE(aviso_visto) << "NO SE PUDO GUARDAR on screen";
    EXPECT_EQ(modifi, 1);
    EXPECT_EQ(lee_archivo("levels/nivel_01.map"), viejo);
    EXPECT_EQ(contenido("levels"), std::vector<std::string>{"nivel_01.map"});
    al_leer = nullptr;
    // the warning's "SI" that cannot save does not go on: SALIR stays in the menu
    {
        SinEspacio lleno;
        teclas({KEY_UP, KEY_ENTER,      // SALIR
                KEY_ENTER,              // "SI"
                KEY_ENTER,              // the notice
                KEY_UP, KEY_ENTER,      // SALIR again
                KEY_DOWN, KEY_ENTER});  // "NO"
        korveditor();
    }
    EXPECT_TRUE(cola_teclas.empty());
    EXPECT_EQ(modifi, 0);
    EXPECT_EQ(lee_archivo("levels/nivel_01.map"), viejo);
}

TEST_F(EditorMapas, GuardarCreaLaCarpetaQueFalta)
{
    std::filesystem::remove_all("levels");
    teclas({KEY_ESC});
    nuevomapa();
    EXPECT_STREQ(archivo, "levels/nivel_01.map");
    ASSERT_TRUE(gurdarmapa());
    EXPECT_EQ(lee_archivo("levels/nivel_01.map").size(), (size_t)NIVEL_BYTES);
}

TEST_F(EditorMapas, GuardarSinCarpetaPosibleLoDiceYNoPierdeNada)
{
    std::filesystem::remove_all("levels");
    escribe_archivo("levels", {1, 2, 3});   // a plain file where the folder should be
    carga = 1;
    modifi = 1;
    snprintf(archivo, sizeof archivo, "levels/nivel_01.map");
    teclas({KEY_ENTER});
    testing::internal::CaptureStderr();
    EXPECT_FALSE(gurdarmapa());
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("NO SE PUDO GUARDAR"), std::string::npos) << err;
    EXPECT_NE(err.find("levels/nivel_01.map"), std::string::npos) << err;
    EXPECT_TRUE(cola_teclas.empty()) << "the notice waited for its key";
    EXPECT_EQ(modifi, 1);
    EXPECT_EQ(lee_archivo("levels"), (std::vector<unsigned char>{1, 2, 3}));
}
