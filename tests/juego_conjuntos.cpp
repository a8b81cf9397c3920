// Level sets in the game: a user set's run recorded, its best run and its table in its own folder
// (the campaign's untouched), played back exactly from another set; a practice recorded but never
// ranked; the levels reached; the command line; the pack's refusals by table, each writing nothing;
// and a set exported and installed under another HOME, byte for byte.
#include <filesystem>
#include <zip.h>

#include "game/comparte.h"
#include "game/conjunto_juego.h"
#include "game/main.h"
#include "game/presoverganec.h"
#include "game/repeticion_juego.h"
#include "shared/conjuntos.h"
#include "tests/prueba.h"
#include "tests/partida.h"

namespace fs = std::filesystem;

namespace {

// A run of the current set at SOY JODIDO, 75 Hz, recorded as the game records it: the whole set, or
// the level practicar practised; lane changes from a seed. The world's checksum after every tick.
std::vector<unsigned> graba(int practicar, unsigned semilla)
{
    partida_nueva(75, 2, 0);
    practica = practicar;
    grabacion_empieza();
    nivel = practicar ? practicar - 1 : 0;
    std::vector<unsigned> s = corre_niveles([&](size_t) {
        semilla = semilla * 1664525u + 1013904223u;
        return (semilla >> 28) == 1 ? REP_ARRIBA : (semilla >> 28) == 2 ? REP_ABAJO : 0;
    }, practicar ? practicar : MAX_NIVELES);
    grabacion_termina();
    practica = 0;
    return s;
}

// A recording read, fitted to its set (made current) and played back: the checksums, and whether it
// ended as recorded.
std::vector<unsigned> reproduce_archivo(const char *ruta, bool *igual)
{
    static Repeticion r;
    char error[600];
    EXPECT_TRUE(lee_repeticion(ruta, &r, error, sizeof error) && entra_conjunto(r, ruta, error, sizeof error) &&
                repeticion_cabe(r, ruta, error, sizeof error)) << error;
    max_fps = 75;
    empieza_reproduccion(r, MODO_REPRODUCE);
    nivel = r.practica ? r.practica - 1 : 0;
    std::vector<unsigned> s = corre_niveles([](size_t) { return 0; }, r.practica ? r.practica : MAX_NIVELES);
    *igual = termina_reproduccion();
    return s;
}

// A zip made with the library (in the working folder): each entry a name and bytes, stored or
// deflated, with Unix mode bits.
struct Entrada {
    std::string nombre;
    Bytes datos;
    unsigned modo = 0100644;
};
Bytes zip_de(const std::vector<Entrada> &entradas, bool guardado = false)
{
    zip_t *z = zip_open("hecho.zip", ZIP_CREATE | ZIP_TRUNCATE, NULL);
    for (const Entrada &e : entradas) {
        zip_int64_t i = zip_file_add(z, e.nombre.c_str(), zip_source_buffer(z, e.datos.data(), e.datos.size(), 0), 0);
        zip_file_set_external_attributes(z, i, 0, ZIP_OPSYS_UNIX, e.modo << 16);
        if (guardado)
            zip_set_file_compression(z, i, ZIP_CM_STORE, 0);
    }
    zip_close(z);
    return lee_archivo("hecho.zip");
}

// Sets a field of every header (local at off_local, central at off_central) of entry nombre.
void parchea(Bytes &z, const std::string &nombre, int off_local, int off_central, unsigned valor, int n)
{
    for (size_t p = 0; p + 46 < z.size(); p++) {
        bool local = !memcmp(&z[p], "PK\3\4", 4), central = !memcmp(&z[p], "PK\1\2", 4);
        size_t nom = p + (local ? 30 : 46), largo = z[p + (local ? 26 : 28)];
        if ((local || central) && largo == nombre.size() && !memcmp(&z[nom], nombre.data(), largo))
            for (int i = 0; i < n; i++)
                z[p + (local ? off_local : off_central) + i] = (unsigned char)(valor >> (8 * i));
    }
}

Bytes texto(const std::string &s) { return Bytes(s.begin(), s.end()); }

}  // namespace

// A user set: its run names it, its best run and its table stay in its folder, the campaign's ranking
// and best runs untouched; played back from the campaign's menu, the recording finds its set. A
// practice: the last run, never the best nor a table. A version-1 recording is the campaign's.
TEST(ConjuntoJuego, GrabacionRankingYPracticaPorConjunto)
{
    CarpetaTemporal t(DATOS_REALES);
    fs::create_directories("conjuntos/prueba");
    fs::copy("levels/nivel_03.map", "conjuntos/prueba/a.map");
    fs::copy("levels/nivel_05.map", "conjuntos/prueba/b.map");
    escribe_archivo("conjuntos/prueba/conjunto.txt", texto("nombre = Prueba\n"));
    const Bytes ranking_campana = lee_archivo("datos/ranking.dat");
    busca_conjuntos();
    pon_conjunto(1);
    buscaarch();
    std::vector<unsigned> original = graba(0, 5);
    EXPECT_TRUE(!existe("datos/mejor_2.rep") && lee_archivo("datos/ultima.rep") == lee_archivo("conjuntos/prueba/mejor_2.rep"));
    unsigned char buf[RANKING_BYTES];
    int lugar;
    EXPECT_EQ(stderr_de([&] { EXPECT_FALSE(lee_ranking(buf)); }), "") << "a new set's tables: empty, nothing to say";
    EXPECT_EQ(Bytes(buf, buf + RANKING_BYTES), Bytes(RANKING_BYTES)) << "tables empty";
    ASSERT_TRUE(guarda_record(buf, 2, 12050, "ABC", &lugar));
    Bytes tabla(RANKING_BYTES);
    tabla[160] = 12050 & 255, tabla[161] = 12050 >> 8, tabla[164] = 'A', tabla[165] = 'B', tabla[166] = 'C';
    EXPECT_TRUE(lee_archivo("conjuntos/prueba/ranking.dat") == tabla && lee_archivo("datos/ranking.dat") == ranking_campana);

    pon_conjunto(0);   // the campaign in play: the recording brings its own set
    bool igual = false;
    EXPECT_EQ(reproduce_archivo("datos/ultima.rep", &igual), original);
    EXPECT_TRUE(igual && !strcmp(conjunto().nombre, "PRUEBA"));

    const Bytes mejor = lee_archivo("conjuntos/prueba/mejor_2.rep");
    std::vector<unsigned> practicada = graba(2, 8);
    EXPECT_TRUE(lee_archivo("conjuntos/prueba/mejor_2.rep") == mejor && lee_archivo("conjuntos/prueba/ranking.dat") == tabla)
        << "a practice is no best run, enters no table";
    EXPECT_EQ(reproduce_archivo("datos/ultima.rep", &igual), practicada);
    Repeticion r;
    char error[600];
    ASSERT_TRUE(igual && lee_repeticion("datos/ultima.rep", &r, error, sizeof error));
    EXPECT_TRUE(r.practica == 2 && repeticion_total(r) == r.puntos);
    Bytes b = lee_archivo("conjuntos/prueba/b.map");
    b[2000] ^= 1;
    escribe_archivo("conjuntos/prueba/b.map", b);
    EXPECT_FALSE(repeticion_cabe(r, "u.rep", error, sizeof error));
    EXPECT_STREQ(error, "u.rep: el nivel 2, b.map, no es el de la grabacion (cambio desde entonces)");
    strcpy(r.conjunto, "NADA");
    EXPECT_TRUE(!entra_conjunto(r, "u.rep", error, sizeof error) && !strcmp(error, "u.rep: falta el conjunto NADA")) << error;
    ASSERT_TRUE(lee_repeticion(KORV_FUENTE "/tests/grabaciones/v1_corto.rep", &r, error, sizeof error));
    EXPECT_TRUE(!strcmp(r.conjunto, CAMPANA_NOMBRE) && r.practica == 0) << r.conjunto;
    pon_conjunto(0);
    busca_conjuntos();
}

// The levels reached: the highest kept per set; the campaign practises those, a user set every level.
TEST(ConjuntoJuego, NivelesAlcanzadosYPracticables)
{
    CarpetaTemporal t(DATOS_REALES);
    fs::remove("datos/alcanzado.txt");   // whatever was played in the build folder
    fs::create_directories("conjuntos/c");
    fs::copy("levels/nivel_01.map", "conjuntos/c/x.map");
    busca_conjuntos();
    buscaarch();
    EXPECT_EQ(niveles_practicables(), 0);
    for (int n : {3, 2, 5, 4})
        anota_alcanzado(n);
    EXPECT_EQ(std::make_pair(lee_alcanzado(), niveles_practicables()), std::make_pair(5, 5));
    escribe_archivo("datos/alcanzado.txt", texto("alcanzado = 99\nalcanzado = 7\n"));
    EXPECT_NE(stderr_de([] { EXPECT_EQ(lee_alcanzado(), 7); }).find("datos/alcanzado.txt:1:"), std::string::npos);
    pon_conjunto(1);
    buscaarch();
    EXPECT_EQ(std::make_pair(niveles_practicables(), lee_alcanzado()), std::make_pair(1, 0)) << "each set its own";
    pon_conjunto(0);
}

// -conjunto, -instala and a pack given alone (a file manager's %f); option values are not packs.
TEST(ConjuntoJuego, OpcionesDeConjuntos)
{
    const char *uno[] = {"korvex", "-conjunto", "Mis", "-instala", "/a.korvex", "-nivel", "/n.map"},
               *otro[] = {"korvex", "-full", "/b.korvex", "-escala", "2", "-repeticion", "r"},
               *dos[] = {"korvex", "/a.korvex", "/b.korvex"}, *falta[] = {"korvex", "-conjunto"};
    char error[200] = "";
    ASSERT_TRUE(lee_opciones_conjunto(7, (char **)uno, error, sizeof error)) << error;
    EXPECT_TRUE(!strcmp(conjunto_pedido, "Mis") && !strcmp(paquete_pedido, "/a.korvex") && instala_y_sale);
    ASSERT_TRUE(lee_opciones_conjunto(7, (char **)otro, error, sizeof error)) << error;
    EXPECT_TRUE(!conjunto_pedido[0] && !strcmp(paquete_pedido, "/b.korvex") && !instala_y_sale);
    EXPECT_FALSE(lee_opciones_conjunto(3, (char **)dos, error, sizeof error) ||
                 lee_opciones_conjunto(2, (char **)falta, error, sizeof error));
}

// Every shape a pack may come in that is refused: one line naming the file and the reason, exit
// status 2, and nothing written in the user's folder (the sizes are checked before any inflating).
TEST(Comparte, RechazosEnTabla)
{
    CarpetaTemporal t(DATOS_REALES);
    const Bytes nivel = lee_archivo("levels/nivel_01.map"), desc = texto("nombre = Uno\n");
    Bytes codigo = nivel;
    codigo[0] = 0;
    std::vector<Entrada> diecisiete = {{"conjunto.txt", desc}};
    for (int i = 0; i < 16; i++)
        diecisiete.push_back({"n" + std::to_string(10 + i) + ".map", nivel});
    Bytes bomba = zip_de({{"conjunto.txt", desc}, {"n.map", nivel}});
    parchea(bomba, "n.map", 22, 24, 0x7FFFFFFF, 4);
    Bytes crece = zip_de({{"conjunto.txt", desc}, {"n.map", Bytes(100000)}});
    parchea(crece, "n.map", 22, 24, NIVEL_BYTES, 4);
    Bytes danado = zip_de({{"conjunto.txt", desc}, {"n.map", nivel}}, true);
    danado[danado.size() / 2] ^= 0x55;
    Bytes cifrado = zip_de({{"conjunto.txt", desc}, {"n.map", nivel}});
    parchea(cifrado, "n.map", 6, 8, 1, 1);
    Bytes vacio = {'P', 'K', 5, 6};
    vacio.resize(22);
    const struct { const char *que; Bytes bytes; std::string motivo; } casos[] = {
        {"no zip", texto("hola"), "no es un paquete de niveles (no es un archivo zip)"},
        {"grande", Bytes(PAQUETE_BYTES_MAX + 1), "demasiado grande para un paquete de niveles (1048577 bytes)"},
        {"vacio", vacio, "el paquete esta vacio"},
        {"carpeta", zip_de({{"conjunto.txt", desc}, {"a/n.map", nivel}}), "a/n.map: el nombre lleva una carpeta"},
        {"arriba", zip_de({{"conjunto.txt", desc}, {"../n.map", nivel}}), "../n.map: el nombre lleva una carpeta"},
        {"oculto", zip_de({{"conjunto.txt", desc}, {".n.map", nivel}}), ".n.map: nombre de archivo no valido"},
        {"enlace", zip_de({{"conjunto.txt", desc}, {"n.map", texto("/etc"), 0120777}}),
         "n.map: es un enlace o una carpeta, no un archivo"},
        {"otro", zip_de({{"conjunto.txt", desc}, {"leeme.txt", desc}}), "leeme.txt: no es un nivel (*.map) ni conjunto.txt"},
        {"17", zip_de(diecisiete), "tiene 17 archivos; un paquete lleva a lo sumo 15 niveles y su conjunto.txt"},
        {"sin descripcion", zip_de({{"n.map", nivel}}), "falta conjunto.txt"},
        {"sin niveles", zip_de({{"conjunto.txt", desc}}), "no trae ningun nivel"},
        {"bomba", bomba, "descomprimido ocuparia mas de 46111 bytes"},
        {"corto", zip_de({{"conjunto.txt", desc}, {"n.map", Bytes(nivel.begin(), nivel.end() - 1)}}),
         "n.map: declara 2800 bytes; un nivel tiene 2801"},
        {"descripcion larga", zip_de({{"conjunto.txt", Bytes(5000, '#')}, {"n.map", nivel}}),
         "conjunto.txt: declara 5000 bytes; a lo sumo 4096"},
        {"crece", crece, "n.map: 2802 bytes al descomprimir; declara 2801"},
        {"danado", danado, "n.map: dañado al descomprimir"},
        {"cifrado", cifrado, "n.map: esta cifrado"},
        {"codigo", zip_de({{"conjunto.txt", desc}, {"n.map", codigo}}), "n.map: codigo de velocidad 0 fuera de 1-3"},
        {"sin nombre", zip_de({{"conjunto.txt", texto("autor = x\n")}, {"n.map", nivel}}),
         "conjunto.txt: no tiene nombre (una linea \"nombre = ...\")"},
    };
    fs::create_directories("p/games");
    fs::create_directories("p/share/games/korvex/datos");
    fs::create_directories("casa/korvex/conjuntos");
    decide_disposicion((t.ruta + "/p/games").c_str(), (t.ruta + "/casa").c_str(), nullptr);
    for (const auto &c : casos) {
        std::string ruta = t.ruta + "/" + c.que + ".korvex", antes = inventario("casa");
        escribe_archivo(ruta, c.bytes);
        char linea[600];
        int i;
        stderr_de([&] { EXPECT_EQ(instala_archivo(ruta.c_str(), &i, linea, sizeof linea), SALIDA_RECHAZO) << c.que; });
        EXPECT_EQ(std::make_pair(std::string(linea), inventario("casa")), std::make_pair(ruta + ": " + c.motivo, antes))
            << c.que << ": its reason, nothing written";
    }
    decide_disposicion("", nullptr, nullptr);
}

// A set made here, exported (conjunto.txt and its levels, plain files), installed by the installed
// game under another HOME: the same bytes; installed again: a new folder and a new name, nothing replaced.
TEST(Comparte, ExportadoEInstaladoEnOtraCasa)
{
    CarpetaTemporal t(DATOS_REALES);
    int i;
    ASSERT_TRUE(crea_conjunto("Viaje", "Ana", "Dos niveles", &i));
    std::string dir = conjuntos[i].carpeta;
    fs::copy("levels/nivel_02.map", dir + "/b.map");
    fs::copy("levels/nivel_07.map", dir + "/a.map");
    ASSERT_EQ(exporta_programa("viaje", (t.ruta + "/v.korvex").c_str()), SALIDA_HECHO);
    zip_t *z = zip_open((t.ruta + "/v.korvex").c_str(), ZIP_RDONLY, NULL);
    ASSERT_TRUE(z);
    std::string nombres;
    for (zip_int64_t e = 0; e < zip_get_num_entries(z, 0); e++) {
        zip_uint8_t so;
        zip_uint32_t atributos;
        zip_file_get_external_attributes(z, e, 0, &so, &atributos);
        nombres += std::string(zip_get_name(z, e, 0)) + (atributos >> 16 == 0100644 ? " " : "? ");
    }
    zip_close(z);
    EXPECT_EQ(nombres, "conjunto.txt a.map b.map ");
    fs::create_directories("p/games");
    fs::create_directories("p/share/games/korvex/datos");
    decide_disposicion((t.ruta + "/p/games").c_str(), nullptr, (t.ruta + "/otra").c_str());
    char linea[600];
    for (const char *carpeta : {"viaje", "viaje_2"}) {
        ASSERT_EQ(instala_archivo((t.ruta + "/v.korvex").c_str(), &i, linea, sizeof linea), SALIDA_HECHO) << linea;
        std::string instalado = t.ruta + "/otra/.local/share/korvex/conjuntos/" + carpeta;
        EXPECT_TRUE(conjuntos[i].carpeta == instalado && lee_archivo(instalado + "/a.map") == lee_archivo(dir + "/a.map") &&
                    lee_archivo(instalado + "/b.map") == lee_archivo(dir + "/b.map") && !strcmp(conjuntos[i].autor, "ANA"))
            << conjuntos[i].carpeta;
    }
    EXPECT_STREQ(conjuntos[i].nombre, "VIAJE 2");
    EXPECT_EQ(std::string(linea), "KORVEX: instalado el conjunto \"VIAJE 2\" (2 niveles) en " + std::string(conjuntos[i].carpeta));
    decide_disposicion("", nullptr, nullptr);
    busca_conjuntos();
}
