// Level sets: the description file line by line, the folder and shown names a new set takes, the
// list of sets and each one's catalogue (the campaign's as ever), where each keeps its player's
// files, the half-made installs cleaned away.
#include <filesystem>
#include <sys/stat.h>
#include <utime.h>

#include "shared/busca.h"
#include "shared/carga.h"
#include "shared/conjuntos.h"
#include "shared/guardado.h"
#include "tests/prueba.h"

namespace fs = std::filesystem;

namespace {

// n level files named p01.map... in folder dir.
void niveles_en(const std::string &dir, int n, const char *prefijo = "n")
{
    fs::create_directories(dir);
    for (int i = 1; i <= n; i++)
        escribe_archivo(dir + "/" + prefijo + (i < 10 ? "0" : "") + std::to_string(i) + ".map", Bytes(NIVEL_BYTES));
}

void texto_en(const std::string &ruta, const std::string &s) { escribe_archivo(ruta, Bytes(s.begin(), s.end())); }

}  // namespace

// One row per description: what is shown, and which lines are refused (each named with its file and line).
TEST(Conjuntos, LineasDeLaDescripcion)
{
    static const std::string larga = "descripcion = " + std::string(300, 'x') + "\nnombre = Z";
    const struct { const char *texto, *nombre, *autor, *descripcion, *malas; bool vale; } casos[] = {
        {"nombre = Mis niveles\nautor = Ana\ndescripcion = Dos pruebas\n", "MIS NIVELES", "ANA", "DOS PRUEBAS", "", true},
        {"# comentario\n\n  nombre=Campaña Ñandú  \r\n", "CAMPANA NANDU", "", "", "", true},
        {"nombre = Δelta\n", "?ELTA", "", "", "", true},
        {"nombre = 1234567890123456789012345\nnombre = corto\n", "CORTO", "", "", "x:1:", true},
        {"nombre = a\tb\ncolor = rojo\nautor\n= nada\nnombre =\n", "", "", "", "x:1:x:2:x:3:x:4:x:5:", false},
        {"autor = Ana\ndescripcion = sin nombre", "", "ANA", "SIN NOMBRE", "", false},
        {larga.c_str(), "Z", "", "", "x:1:", true},
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(c.texto);
        Conjunto k;
        bool vale;
        std::string err = stderr_de([&] { vale = descifra_descripcion(c.texto, strlen(c.texto), "x", &k); }), malas;
        for (size_t p = 0; (p = err.find("x:", p)) != std::string::npos; p = err.find('\n', p))
            malas += err.substr(p, err.find(':', p + 2) + 1 - p);
        EXPECT_EQ(std::make_tuple(vale, std::string(k.nombre), std::string(k.autor), std::string(k.descripcion), malas),
                  std::make_tuple(c.vale, c.nombre, c.autor, c.descripcion, c.malas)) << err;
        if (!vale)
            continue;
        std::string escrito = texto_descripcion(k);   // written, then read, the same
        Conjunto otra;
        ASSERT_TRUE(descifra_descripcion(escrito.data(), escrito.size(), "y", &otra));
        EXPECT_EQ(texto_descripcion(otra), escrito);
    }
}

// The folder a name gives (free ones only) and a shown name not taken by another set.
TEST(Conjuntos, CarpetasYNombresLibres)
{
    CarpetaTemporal t;
    fs::create_directories("conjuntos/mis_niveles");
    fs::create_directories("conjuntos/korvex");
    texto_en("conjuntos/korvex/conjunto.txt", "nombre = KORVEX 2\n");
    const struct { const char *nombre, *carpeta; } carpetas[] = {
        {"MIS NIVELES", "mis_niveles_2"}, {"¡A-B  c!", "a_b_c"}, {"!!!", "conjunto"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "abcdefghijklmnopqrstuvwxyz012"},
    };
    for (const auto &c : carpetas) {
        char out[64] = "";
        EXPECT_TRUE(carpeta_libre("conjuntos", c.nombre, out, sizeof out) && !strcmp(out, c.carpeta)) << c.nombre << ": " << out;
    }
    stderr_de(busca_conjuntos);   // the folder without a description: a line
    const struct { const char *nombre, *libre; } nombres[] = {
        {"KORVEX", "KORVEX 3"}, {"MIS NIVELES", "MIS NIVELES 2"}, {"OTRO", "OTRO"},
        {"KORVEX 2", "KORVEX 2 2"}, {"ABCDEFGHIJKLMNOPQRSTUVWX", "ABCDEFGHIJKLMNOPQRSTUVWX"},
    };
    for (const auto &c : nombres) {
        char out[CONJ_NOMBRE_MAX + 1];
        nombre_libre(c.nombre, out, sizeof out);
        EXPECT_STREQ(out, c.libre);
    }
}

// The list (the campaign first, hidden and unnamed folders as they should be), each set's catalogue
// (the first 15 level files by name, a read-only one too; folders, hidden files and other names not
// listed) with the files it does not play, how a set is named on the command line, where it keeps its files;
// an install that died long ago cleaned away.
TEST(Conjuntos, ListaYCatalogoDeCadaConjunto)
{
    CarpetaTemporal t(SUBCARPETAS);
    niveles_en("levels", 16);
    for (const char *otro : {"levels/.n00.map", "levels/n00.txt"})
        escribe_archivo(otro, Bytes(1));
    fs::create_directory("levels/n00.map");
    chmod("levels/n01.map", 0444);
    niveles_en("conjuntos/b_set", 3, "b");
    texto_en("conjuntos/b_set/conjunto.txt", "nombre = Beta\nautor = Ana\n");
    niveles_en("conjuntos/a_set", 17);
    texto_en("conjuntos/a_set/conjunto.txt", "nombre = Alfa\n");
    niveles_en("conjuntos/sin_desc", 1);
    niveles_en("conjuntos/.korvtmpABC", 2);   // an install that died: hidden, then cleaned away
    niveles_en("conjuntos/.korvtmpNUEVA", 1);  // ... one under way stays
    struct utimbuf viejo = {time(NULL) - 120, time(NULL) - 120};
    utime("conjuntos/.korvtmpABC", &viejo);
    const Bytes campana = lee_archivo("levels/n01.map");
    std::string err = stderr_de(busca_conjuntos);
    EXPECT_NE(err.find("conjuntos/sin_desc/conjunto.txt"), std::string::npos) << err;
    const struct { const char *nombre, *carpeta, *primero; int niveles, de_mas; } lista[] = {
        {"KORVEX", "levels", "levels/n01.map", 15, 1}, {"ALFA", "conjuntos/a_set", "conjuntos/a_set/n01.map", 15, 2},
        {"BETA", "conjuntos/b_set", "conjuntos/b_set/b01.map", 3, 0},
        {"SIN DESC", "conjuntos/sin_desc", "conjuntos/sin_desc/n01.map", 1, 0},
    };
    ASSERT_EQ(n_conjuntos, 4);
    for (int i = 0; i < n_conjuntos; i++) {
        pon_conjunto(i);
        buscaarch();
        char ruta[RUTA_MAX], dato[RUTA_MAX];
        ruta_nivel(0, ruta, sizeof ruta);
        ruta_dato("ranking.dat", false, dato, sizeof dato);
        EXPECT_EQ(std::make_tuple(std::string(conjunto().nombre), std::string(conjunto().carpeta), niveles, niveles_de_mas,
                                  std::string(ruta), conjunto_de_archivo(ruta), std::string(dato)),
                  std::make_tuple(lista[i].nombre, lista[i].carpeta, lista[i].niveles, lista[i].de_mas, lista[i].primero, i,
                                  i ? std::string(lista[i].carpeta) + "/ranking.dat" : "datos/ranking.dat"));
    }
    const struct { const char *texto; int i; } nombrado[] = {
        {"beta", 2}, {"BETA", 2}, {"b_set", 2}, {"conjuntos/b_set", 2}, {"./conjuntos/a_set/", 1}, {"korvex", 0},
        {"levels", -1}, {"gamma", -1}, {"/", -1},
    };
    for (const auto &c : nombrado)
        EXPECT_EQ(busca_conjunto(c.texto), c.i) << c.texto;
    pon_conjunto(0);
    buscaarch();
    EXPECT_EQ(lee_archivo("levels/n01.map"), campana) << "the campaign's levels untouched";
    limpia_conjuntos();
    EXPECT_TRUE(!existe("conjuntos/.korvtmpABC") && existe("conjuntos/.korvtmpNUEVA/n01.map"));
}

// Installed: the campaign joined with the user's levels/ as before (levels saved before sets are
// not lost), the user's sets in their data folder, the level maker's own set made once.
TEST(Conjuntos, InstaladoYElConjuntoPropio)
{
    CarpetaTemporal t;
    fs::create_directories("p/games");
    niveles_en("p/share/games/korvex/levels", 2);
    fs::create_directories("p/share/games/korvex/datos");
    decide_disposicion((t.ruta + "/p/games").c_str(), (t.ruta + "/u").c_str(), nullptr);
    fs::current_path(carpeta_datos);
    niveles_en(t.ruta + "/u/korvex/levels", 1, "propio");
    busca_conjuntos();
    ASSERT_EQ(n_conjuntos, 1);
    buscaarch();
    EXPECT_EQ(niveles, 3) << "the shipped two and the user's";
    const int i = conjunto_propio();
    ASSERT_EQ(i, 1);
    EXPECT_STREQ(conjuntos[i].carpeta, (t.ruta + "/u/korvex/conjuntos/mis_niveles").c_str());
    const Bytes d = lee_archivo(t.ruta + "/u/korvex/conjuntos/mis_niveles/conjunto.txt");
    EXPECT_TRUE(texto_descripcion(conjuntos[1]) == std::string(d.begin(), d.end()) && !strcmp(conjuntos[1].nombre, "MIS NIVELES"));
    EXPECT_TRUE(conjunto_propio() == 1 && n_conjuntos == 2) << "found, not made again";
    pon_conjunto(1);
    char ruta[RUTA_MAX];
    carpeta_guardado(ruta, sizeof ruta);
    EXPECT_STREQ(ruta, conjuntos[1].carpeta);
    pon_conjunto(0);
    carpeta_guardado(ruta, sizeof ruta);
    EXPECT_EQ(std::string(ruta), t.ruta + "/u/korvex/levels");
    fs::current_path(t.ruta);
    decide_disposicion("", nullptr, nullptr);
    busca_conjuntos();
}
