// The front-end screens without a display: menu keys, title key rules, the entry and the tables.
#include <algorithm>

#include "juego_frente.h"

namespace {

class PantallasPrueba : public FrentePrueba {};

// The title line of a table picture as the ranking draws it.
bool es_tabla(BITMAP *foto, const char *titulo)
{
    BITMAP *r = create_bitmap(320, 240);
    clear_bitmap(r);
    textprintf_centre_ex(r, font, 160, 5, -1, -1, "%s", titulo);
    bool si = misma_region(foto, r, 0, 0, 320, 28);
    destroy_bitmap(r);
    return si;
}

}  // namespace

TEST_F(PantallasPrueba, MenuEmpiezaEnQuieroJugarDaLaVueltaYEscSale)
{
    EXPECT_EQ(menu_tecla(0, KEY_UP), 2);
    EXPECT_EQ(menu_tecla(2, KEY_DOWN), 0);
    EXPECT_EQ(menu_tecla(1, KEY_DOWN), 2);
    EXPECT_EQ(menu_tecla(1, KEY_A), 1);
    EXPECT_EQ(menu_tecla(1, KEY_LEFT), 1);

    struct { std::deque<int> t; int antes, vuelve, leidas, despues; } casos[] = {
        {{KEY_ENTER}, EST_JUEGO, 1, 1, EST_JUEGO},
        {{KEY_UP, KEY_ENTER}, EST_JUEGO, 0, 2, EST_JUEGO},
        {{KEY_UP, KEY_UP, KEY_ENTER}, EST_JUEGO, 2, 3, EST_JUEGO},
        {{KEY_DOWN, KEY_DOWN, KEY_ENTER}, EST_JUEGO, 0, 3, EST_JUEGO},
        {{KEY_Q, KEY_SPACE, KEY_RIGHT, KEY_ENTER}, EST_JUEGO, 1, 4, EST_JUEGO},
        {{KEY_DOWN, KEY_ESC, KEY_ENTER}, EST_JUEGO, 2, 2, EST_SALIR},   // ESC: at once, the selection at hand
        {{KEY_DOWN}, EST_SALIR, 1, 0, EST_SALIR},   // window closed while the buffer was emptied: no key waited for
    };
    for (auto &c : casos) {
        SCOPED_TRACE(c.leidas);
        teclas = c.t;
        leidas = 0;
        cambnib = c.antes;
        EXPECT_EQ(seleciona_dificultad(), c.vuelve);
        EXPECT_EQ(leidas, c.leidas);
        EXPECT_EQ(cambnib, c.despues);
    }
}

TEST_F(PantallasPrueba, GaneLlevaAlPuntajeYAlRanking)
{
    escribe_archivo("datos/ranking.dat", std::vector<unsigned char>(240, 0));
    difi = 1;
    vidas = 2;
    puntos = 700;
    teclas = {KEY_DOWN, KEY_ENTER, KEY_ENTER, KEY_ENTER};   // ZAA
    {
        RelojYCamara r(false);
        gane();
    }
    std::vector<unsigned char> w = lee_archivo("datos/ranking.dat");
    ASSERT_EQ(w.size(), 240u);
    EXPECT_EQ(w[80] | (w[81] << 8), 6700);
    EXPECT_EQ(std::string((char *)&w[84], 3), "ZAA");
    EXPECT_EQ(std::count(w.begin(), w.end(), 0), 240 - 5) << "only the new record changed";
}

TEST_F(PantallasPrueba, TituloTeclasQueParanElParpadeo)
{
    cambnib = EST_TITULO;
    EXPECT_FALSE(titulo_fin_parpadeo(1));
    EXPECT_FALSE(titulo_fin_parpadeo(499));
    EXPECT_TRUE(titulo_fin_parpadeo(500)) << "500 cycles";
    const int cuales[] = {KEY_ENTER, KEY_ESC, KEY_SPACE};
    for (int t : cuales) {
        key[t] = (char)-1;   // a held key reads -1
        EXPECT_TRUE(titulo_fin_parpadeo(1)) << t;
        key[t] = 0;
    }
    key[KEY_A] = 1;
    EXPECT_FALSE(titulo_fin_parpadeo(1)) << "other keys do not stop it";
    cambnib = EST_SALIR;
    EXPECT_TRUE(titulo_fin_parpadeo(1));
}

TEST_F(PantallasPrueba, EntradaDeInicialesYTablaConElLugarMarcado)
{
    escribe_archivo("datos/ranking.dat", std::vector<unsigned char>(240, 0));
    difi = 2;
    puntos = 4321;
    teclas = {KEY_UP, KEY_RIGHT, KEY_DOWN, KEY_ENTER, KEY_ENTER};   // B Z A
    RelojYCamara r(true);
    escriveranking();
    r.para();
    // the entry screen as it stood when it ended, and the table that followed with place 1 marked
    clear_bitmap(ref);
    textprintf_centre_ex(ref, font, 160, 10, -1, -1, "NUEVO RECORD");
    textprintf_centre_ex(ref, font, 160, 70, -1, -1, "PUNTAJE");
    textprintf_centre_ex(ref, font, 160, 90, -1, -1, "%d", 4321);
    textprintf_centre_ex(ref, font, 160, 140, -1, -1, "INGRESA TUS INICIALES");
    textprintf_ex(ref, font, 140, 160, -1, 0, "%c%c%c", 'B', 'Z', 'A');
    bool entrada = false, tabla = false;
    for (BITMAP *f : r.fotos) {
        if (misma_region(f, ref, 0, 0, 320, 240))
            entrada = true;
        if (entrada && es_tabla(f, "RANKING - SOY JODIDO")) {
            BITMAP *t = create_bitmap(320, 240);
            clear_bitmap(t);
            textprintf_centre_ex(t, font, 160, 30, 239, -1, "%2d %6d %s", 1, 4321, "BZA");
            textprintf_centre_ex(t, font, 160, 51, -1, -1, "%2d %6d %s", 2, 0, "");
            tabla = tabla || misma_region(f, t, 0, 30, 320, 42);
            destroy_bitmap(t);
        }
    }
    EXPECT_TRUE(entrada) << r.fotos.size() << " pictures";
    EXPECT_TRUE(tabla);
}

TEST_F(PantallasPrueba, TablasDelTituloEnOrdenSinMarca)
{
    unsigned char buf[RANKING_BYTES];
    ranking_por_defecto(buf);
    escribe_archivo("datos/ranking.dat", std::vector<unsigned char>(buf, buf + 240));
    RelojYCamara r(true);
    muestraranking(0, 3);
    r.para();
    const char *titulos[] = {"RANKING - VOY DE PASEO", "RANKING - QUIERO JUGAR", "RANKING - SOY JODIDO"};
    // the watcher may catch a picture half drawn: the order comes from the title lines, and each
    // table must also have stood whole on the page at some moment
    std::vector<int> vistas;
    for (BITMAP *f : r.fotos)
        for (int t = 0; t < 3; t++)
            if (es_tabla(f, titulos[t]) && (vistas.empty() || vistas.back() != t))
                vistas.push_back(t);
    BITMAP *e = create_bitmap(320, 240);
    BITMAP *guardada = active_page;
    for (int t = 0; t < 3; t++) {
        active_page = e;
        dibuja_tabla(buf, t + 1, RANKING_NINGUNO);
        active_page = guardada;
        bool entera = false;
        for (BITMAP *f : r.fotos)
            entera = entera || misma_region(f, e, 0, 0, 320, 240);
        EXPECT_TRUE(entera) << "table " << t + 1 << " whole, no place marked";
    }
    destroy_bitmap(e);
    EXPECT_EQ(vistas, (std::vector<int>{0, 1, 2}));
}
