// The two languages: the desktop's choice, the English catalogue complete, and every
// text of the game's screens fitting its room in both.
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "game/ayudas.h"
#include "game/mundo.h"
#include "shared/ajustes.h"
#include "shared/ayuda.h"
#include "shared/idioma.h"
#include "shared/pantalla.h"
#include "tests/prueba.h"

namespace {
// One message of po/en.po: the Spanish id, the English text, the files that use it.
struct Mensaje {
    std::string es, en, archivos;
};
// Undoes the C escapes a catalogue writes.
std::string sin_escapes(const std::string &t)
{
    std::string r;
    for (size_t i = 0; i < t.size(); i++)
        r += t[i] != '\\' || i + 1 == t.size() ? t[i] : t[++i] == 'n' ? '\n' : t[i];
    return r;
}
// The messages of a catalogue or a template (msgid and msgstr on one line each, as ours are written).
std::vector<Mensaje> lee_catalogo(const std::string &ruta)
{
    std::vector<Mensaje> v;
    std::ifstream f(ruta);
    std::string l, archivos;
    while (std::getline(f, l)) {
        if (l.rfind("#: ", 0) == 0)
            archivos = l.substr(3);
        else if (l.rfind("msgid \"", 0) == 0 && l.size() > 8)
            v.push_back({sin_escapes(l.substr(7, l.size() - 8)), "", archivos});
        else if (l.rfind("msgstr \"", 0) == 0 && !v.empty() && v.back().en.empty())
            v.back().en = sin_escapes(l.substr(8, l.size() - 9));
    }
    return v;
}
const std::string CATALOGO = std::string(KORV_FUENTE) + "/po/en.po";
}  // namespace

// What AUTO reads from the desktop, as gettext reads it; a C or POSIX locale is Spanish.
TEST(Idioma, AutoSegunElEntorno)
{
    const struct { const char *language, *lc_all, *lc_messages, *lang; int sale; } casos[] = {
        {"en", NULL, NULL, "fr_FR.UTF-8", IDIOMA_EN},        {NULL, NULL, NULL, "en_US.UTF-8", IDIOMA_EN},
        {NULL, NULL, NULL, "es_AR.UTF-8", IDIOMA_ES},        {"en", "C", NULL, "en_US.UTF-8", IDIOMA_ES},
        {NULL, NULL, NULL, NULL, IDIOMA_ES},                 {"", "", "", "", IDIOMA_ES},
        {"fr:en:es", NULL, NULL, "de_DE", IDIOMA_EN},       {NULL, "es_ES@euro", NULL, "en_GB", IDIOMA_ES},
        {NULL, NULL, "en_GB.UTF-8", "es_ES.UTF-8", IDIOMA_EN}, {NULL, NULL, NULL, "POSIX", IDIOMA_ES},
        {NULL, NULL, NULL, "C.UTF-8", IDIOMA_ES},            {"ens", NULL, NULL, "de_DE", IDIOMA_ES},
    };
    for (const auto &c : casos)
        EXPECT_EQ(idioma_del_entorno(c.language, c.lc_all, c.lc_messages, c.lang), c.sale)
            << (c.language ? c.language : "-") << " " << (c.lc_all ? c.lc_all : "-") << " " << (c.lang ? c.lang : "-");
}

// Every message the sources mark has its English text, and every English text a message; the
// English uses only the font's glyphs (printable ASCII) and keeps the formats of its message.
TEST(Idioma, CatalogoCompleto)
{
    CarpetaTemporal t;
    std::string orden = "sh -c 'cd " KORV_FUENTE " && xgettext --keyword=_ --keyword=N_ --from-code=UTF-8 -C --no-wrap -o " + t.ruta +
                        "/k.pot shared/*.cpp game/*.cpp editor/*.cpp marcador/*.cpp' 2>&1";
    ASSERT_EQ(salida_de(orden).second, 0);
    std::set<std::string> codigo, catalogo;
    for (const Mensaje &m : lee_catalogo("k.pot"))
        codigo.insert(m.es);
    std::regex formato("%[-0-9.*]*[a-z]");
    for (const Mensaje &m : lee_catalogo(CATALOGO)) {
        catalogo.insert(m.es);
        EXPECT_FALSE(m.en.empty()) << m.es;
        for (unsigned char c : m.en)
            EXPECT_TRUE(c == '\n' || (c >= ' ' && c <= '~')) << m.en;
        auto formatos = [&](const std::string &s) {
            std::string r;
            for (std::sregex_iterator i(s.begin(), s.end(), formato), fin; i != fin; ++i)
                r += i->str();
            return r;
        };
        EXPECT_EQ(formatos(m.es), formatos(m.en)) << m.es;
    }
    for (const std::string &s : codigo)
        EXPECT_TRUE(catalogo.count(s)) << "sin texto en ingles: " << s;
    for (const std::string &s : catalogo)
        EXPECT_TRUE(codigo.count(s)) << "texto en ingles de un mensaje que ya no esta: " << s;
}

namespace {
// A message as drawn: each conversion given its widest value ("%5d" five digits, "%d" two, a
// text none: the data drawn there is checked where it is made).
std::string como_se_ve(const std::string &t)
{
    static const std::regex conv("%(-?)([0-9]*)(\\.\\*)?([a-z])");
    std::string r;
    std::sregex_iterator i(t.begin(), t.end(), conv), fin;
    size_t antes = 0;
    for (; i != fin; ++i) {
        r += t.substr(antes, i->position() - antes);
        int ancho = (*i)[2].length() ? std::stoi((*i)[2].str()) : 2;
        if ((*i)[4] != "s")
            r += std::string(ancho, '8');
        antes = i->position() + i->length();
    }
    return r + t.substr(antes);
}
// True for the lines of stderr, the reasons written into them and the command line's messages:
// they are not drawn in a room of the screen.
bool no_se_dibuja(const std::string &t)
{
    return t.empty() || t.back() == '\n' || islower((unsigned char)t[0]) || t[0] == '%' || t[0] == '-' ||
           t.rfind("KORV", 0) == 0 || t[0] == ':' || t[0] == ' ';
}
}  // namespace

// Every text of the screens fits its room in both languages with the font drawn there: the help
// cards whole; the game's lines (its font, the screen's width; the -info lines and the options'
// help line in the small font); the editor's (the library's font, a line of its boxes, its status
// line). The narrowest margin is reported.
TEST(Idioma, CadaTextoCabeEnSuLugar)
{
    CarpetaTemporal t(DATOS_REALES);
    DATAFILE *d = load_datafile("datos/font.dat");
    ASSERT_TRUE(d);
    FONT *grande = (FONT *)d[1].dat, *chica = font;
    // Rooms other than the game font on the whole width (pixels): by message.
    enum { PANTALLA = 320, CAJA_EDITOR = 31 * 8, PREGUNTA_EDITOR = 200, ESTADO_EDITOR = 38 * 8, AVISO_EDITOR = 30 * 8 };
    const struct { const char *es; FONT *f; int sitio; } sitios[] = {
        {"PAUSA SI OTRA VENTANA TOMA EL TECLADO", chica, PANTALLA}, {"CAMBIA YA; EN EL EDITOR AL ABRIRLO", chica, PANTALLA},
        {"NO HAY DISPOSITIVO DE SONIDO", chica, PANTALLA},          {"F1: AYUDA", chica, PANTALLA},
        {"MAS LENTO NO ENTRA EN LOS RECORDS", chica, PANTALLA},     {"L: LOS RECORDS DE ESTA MAQUINA", chica, PANTALLA},
        {"E: ENVIAR LA MEJOR - L: EN LINEA", chica, PANTALLA},      {"L: VER LA TABLA EN LINEA", chica, PANTALLA},
        {"DEL PUEBLO A LA CIUDAD", chica, PANTALLA - 16 * 8},   // after "LURGO SOFTWARE: " on the menu
        {"R: VER LA MEJOR", chica, PANTALLA},                        {"%s - R: VER LA MEJOR", chica, PANTALLA},
        {"POSX2: %d    POSX: %3d", chica, ESTADO_EDITOR},           {"MAXIMO %d ENEMIGOS", chica, AVISO_EDITOR},
        {"MAPA*: ", chica, ESTADO_EDITOR},                           {"DESHACER: %-3d", chica, ESTADO_EDITOR},
        {"CERRADO EN COLUMNA %d", chica, PREGUNTA_EDITOR},          {"SE PIERDE EN COLUMNA %d", chica, PREGUNTA_EDITOR},
        {"GUARDAR IGUAL?", chica, PREGUNTA_EDITOR},                 {"REEMPLAZARLO?", chica, PREGUNTA_EDITOR},
        {"YA HAY %s", chica, PREGUNTA_EDITOR},                      {"RECUPERAR %s?", chica, PREGUNTA_EDITOR},
        {"SE PIERDEN LOS CAMBIOS", chica, PREGUNTA_EDITOR},         {"VUELVE SU PRIMERA VERSION", chica, PREGUNTA_EDITOR},
        {"NO HA GURDADO", chica, PREGUNTA_EDITOR},                  {"DESEA GUARDAR?", chica, PREGUNTA_EDITOR},
        // -info from x = 4; its widest real line has one digit less than the sample (0 or 1, up to 240 Hz, 0 or 1)
        {"Vsync= %d  Maxfps= %d  Triple Buffer= %d", chica, PANTALLA - 4 + 8},
    };
    BITMAP *hoja = create_bitmap(PANTALLA_W, PANTALLA_H);
    ayuda_fuente_titulo = grande, ayuda_fuente_texto = chica;
    const Ayuda *cartas[] = {&AYUDA_ESTUDIO, &AYUDA_TITULO, &AYUDA_TABLAS, &AYUDA_TABLA, &AYUDA_DIFICULTAD,
                             &AYUDA_DIFICULTAD_CONJUNTO, &AYUDA_PRACTICA, &AYUDA_OPCIONES, &AYUDA_TECLA_NUEVA,
                             &AYUDA_INICIALES, &AYUDA_JUEGO, &AYUDA_REPETICION};
    for (int idioma_en : {IDIOMA_ES, IDIOMA_EN}) {
        int menor = PANTALLA;
        std::string donde;
        pon_idioma(idioma_en, KORV_DIR "/locale");
        for (const Ayuda *c : cartas)
            EXPECT_TRUE(dibuja_ayuda(hoja, c)) << idioma_en << " " << c->lineas[0].que;
        for (const Mensaje &m : lee_catalogo(CATALOGO)) {
            const std::string &texto = idioma_en == IDIOMA_EN ? m.en : m.es;
            if (no_se_dibuja(m.es) || m.archivos.find("ayuda") != std::string::npos ||
                m.archivos.rfind("marcador/", 0) == 0)
                continue;   // the cards' texts: drawn above; the server's: a web page
            bool editor = m.archivos.find("editor/") != std::string::npos;
            bool info = m.archivos == "game/main_arranque.cpp";   // -info: the small font, from x = 4
            FONT *f = editor || info ? chica : grande;
            int sitio = editor ? CAJA_EDITOR : info ? PANTALLA - 4 : PANTALLA;
            for (const auto &s : sitios)
                if (m.es == s.es)
                    f = s.f, sitio = s.sitio;
            int margen = sitio - text_length(f, como_se_ve(texto).c_str());
            EXPECT_GE(margen, 0) << texto << " (" << m.archivos << ")";
            if (margen < menor)
                menor = margen, donde = texto;
        }
        printf("%s: margen mas estrecho %d px, \"%s\"\n", idioma_en == IDIOMA_EN ? "en" : "es", menor, donde.c_str());
    }
    EXPECT_STREQ(_("APRETA ENTER"), "PRESS ENTER");   // English with only C.UTF-8 installed
    EXPECT_STREQ(tecla_visible(KEY_UP), "UP");
    pon_idioma(IDIOMA_ES, KORV_DIR "/locale");
    EXPECT_STREQ(tecla_visible(KEY_UP), "ARRIBA");
    ayuda_fuente_titulo = ayuda_fuente_texto = NULL;
    destroy_bitmap(hoja);
    unload_datafile(d);
}
