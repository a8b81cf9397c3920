// mira: checks a screenshot of the running game against what the game's own drawing calls
// render headless with the shipped font, pictures and palettes.
//
//   e2e_mira [-o ESPERADO.bmp] CARPETA CAPTURA.ppm ESCENA [ARGUMENTOS...]
//
// CARPETA is a runnable folder (datos/ beside it); CAPTURA a 320x240 binary PPM (convert x.png x.ppm).
// Exit status: 0 the screenshot shows the scene, 1 it does not, 2 bad use or missing data.
// One line on stdout says what was compared and how many pixels differed.
#define ALLEGRO_NO_COMPATIBILITY
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "game/main.h"
#include "mira_comun.h"
#include "game/presoverganec.h"

namespace {

// The cards of a run: one or two centred lines in the game font on black.
static Esperado cartel(const char *l1, const char *l2)
{
    Esperado e = nuevo(the_palette, "cartel");
    textprintf_centre_ex(e.bmp, font, TEXTO_X, CARTEL_Y, -1, -1, "%s", l1);
    if (l2)
        textprintf_centre_ex(e.bmp, font, TEXTO_X, CARTEL_Y + CARTEL_PASO, -1, -1, "%s", l2);
    e.que = std::string("cartel \"") + l1 + (l2 ? std::string("\" / \"") + l2 : std::string()) + "\"";
    return e;
}

static Esperado imagen(BITMAP *img, const PALETTE pal, const char *que)
{
    Esperado e = nuevo(pal, que);
    blit(img, e.bmp, 0, 0, 0, 0, ANCHO, ALTO);
    return e;
}

// The keys the menu reads while it is drawn here: one move (or none), then ENTER.
static int tecla_menu;
static int teclas_menu()
{
    int t = tecla_menu;
    tecla_menu = KEY_ENTER;
    return t << 8;
}

// The difficulty menu as the game's own routine draws it, with the cursor on entry 0, 1 or 2
// (it opens on 1: one key up or down).
static Esperado menu(int cursor)
{
    Esperado e = nuevo(the_palette, "menu de dificultad");
    active_page = e.bmp;
    tecla_menu = cursor == 0 ? KEY_UP : cursor == 2 ? KEY_DOWN : KEY_ENTER;
    lee_tecla = teclas_menu;
    cambnib = EST_JUEGO;
    seleciona_dificultad();
    e.que = "menu de dificultad en " + std::to_string(cursor);
    return e;
}

// The final-score screen: the lives, the points and their total.
static Esperado puntaje(int vid, int pts)
{
    Esperado e = nuevo(the_palette, "puntaje final");
    textprintf_centre_ex(e.bmp, font, 160, 30, -1, -1, "TU PUNTAJE FINAL");
    textprintf_centre_ex(e.bmp, font, 160, 80, -1, -1, "VIDAS: %2d X 3000", vid);
    textprintf_centre_ex(e.bmp, font, 160, 105, -1, -1, "PUNTOS:   %6d", pts);
    textprintf_centre_ex(e.bmp, font, 160, 135, -1, -1, "TOTAL:    %6d", vid * 3000 + pts);
    return e;
}

// The initials entry as it opens: AAA, the cursor (colour 239) on the first letter.
static Esperado record(int pts)
{
    Esperado e = nuevo(the_palette, "entrada de iniciales");
    textprintf_centre_ex(e.bmp, font, 160, 10, -1, -1, "NUEVO RECORD");
    textprintf_centre_ex(e.bmp, font, 160, 70, -1, -1, "PUNTAJE");
    textprintf_centre_ex(e.bmp, font, 160, 90, -1, -1, "%d", pts);
    textprintf_centre_ex(e.bmp, font, 160, 140, -1, -1, "INGRESA TUS INICIALES");
    for (int i = 0; i < 3; i++)
        textprintf_ex(e.bmp, font, 140 + 13 * i, 160, i == 0 ? 239 : -1, 0, "A");
    return e;
}

// The three letter cells of the initials entry, and nothing else: each letter drawn on its opaque
// cell, the one under the cursor (0..2) in colour 239. Cursor 3: the entry is over and the
// three letters stand together in one text over the cleared cells.
static Esperado letras(const char *ini, int cursor)
{
    const int X = 140, Y = 160, PASO = 13;
    Esperado e = nuevo(the_palette, "iniciales");
    e.cuenta.assign(ANCHO * ALTO, 0);
    int h = text_height(font);
    int x1 = X, x2 = X;
    if (cursor > 2) {
        x2 = X + PASO * 2 + text_length(font, "W");
        textprintf_ex(e.bmp, font, X, Y, -1, 0, "%.3s", ini);
    } else {
        for (int i = 0; i < 3; i++) {
            char l[2] = {ini[i], 0};
            textprintf_ex(e.bmp, font, X + PASO * i, Y, i == cursor ? 239 : -1, 0, "%s", l);
            for (int yy = Y; yy < Y + h; yy++)
                for (int xx = X + PASO * i; xx < X + PASO * i + text_length(font, l); xx++)
                    e.cuenta[yy * ANCHO + xx] = 1;
        }
    }
    for (int yy = Y; yy < Y + h; yy++)
        for (int xx = x1; xx < x2; xx++)
            e.cuenta[yy * ANCHO + xx] = 1;
    e.que = std::string("iniciales ") + ini + " cursor " + std::to_string(cursor);
    return e;
}

// One ranking table as the game's own routine draws it, from a file (the shipped tables when the
// file is not a whole ranking, as the game does).
static Esperado tabla(int t, int marca, const char *archivo)
{
    unsigned char buf[RANKING_BYTES];
    ranking_por_defecto(buf);
    FILE *f = strcmp(archivo, "-") ? fopen(archivo, "rb") : NULL;
    if (f) {
        unsigned char leido[RANKING_BYTES];
        if (fread(leido, 1, RANKING_BYTES, f) == RANKING_BYTES)
            memcpy(buf, leido, RANKING_BYTES);
        fclose(f);
    }
    Esperado e = nuevo(the_palette, "tabla de records");
    active_page = e.bmp;
    dibuja_tabla(buf, t, marca);
    e.que = "tabla " + std::to_string(t) + " marca " + std::to_string(marca);
    return e;
}

// Finds the player's truck at x = 40 (any animation frame, mirrored as the game draws it):
// prints the top of its picture; 0 when a frame matches with at most a tenth of its pixels covered.
static int busca_camion(const Captura &cap)
{
    const int CAMION_X = 40, PRIMERO = 8, CUADROS = 5;
    int mejor_y = -1, mejor_f = 1 << 30, mejor_t = 1;
    for (int f = 0; f < CUADROS; f++) {
        BITMAP *spr = sprite[PRIMERO + f];
        BITMAP *espejo = create_bitmap(spr->w, spr->h);
        clear_bitmap(espejo);
        draw_sprite_h_flip(espejo, spr, 0, 0);
        for (int yy = 0; yy + espejo->h <= CAMPO; yy++) {
            int fallos = 0, total = 0;
            for (int j = 0; j < espejo->h && fallos < mejor_f; j++)
                for (int i = 0; i < espejo->w; i++) {
                    int p = getpixel(espejo, i, j);
                    if (p == 0)
                        continue;
                    total++;
                    unsigned char c[3];
                    color(the_palette, p, c);
                    if (memcmp(c, cap.px(CAMION_X + i, yy + j), 3) != 0)
                        fallos++;
                }
            if (fallos < mejor_f) {
                mejor_f = fallos;
                mejor_y = yy;
                mejor_t = total;
            }
        }
        destroy_bitmap(espejo);
    }
    bool ok = mejor_f * 10 <= mejor_t;
    printf("camion y=%d (%d de %d pixeles distintos)\n", ok ? mejor_y : -1, mejor_f, mejor_t);
    return ok ? 0 : 1;
}

// Pixels that differ between two screenshots in a region; 0 when there are none.
static int iguales(const Captura &a, const char *otra, int x0, int y0, int w, int h)
{
    Captura b;
    if (!b.lee(otra))
        return 2;
    int n = 0;
    for (int yy = y0; yy < y0 + h && yy < ALTO; yy++)
        for (int xx = x0; xx < x0 + w && xx < ANCHO; xx++)
            n += memcmp(a.px(xx, yy), b.px(xx, yy), 3) != 0;
    printf("%d pixeles distintos en %dx%d+%d+%d\n", n, w, h, x0, y0);
    return n == 0 ? 0 : 1;
}

// Loads what the scenes are drawn with: the font, the sheet, the pictures and their palettes.
static bool carga_todo()
{
    DATAFILE *d = load_datafile("datos/font.dat");
    if (!d || d[1].type != DAT_FONT) {
        fprintf(stderr, "datos/font.dat: no se pudo cargar la fuente\n");
        return false;
    }
    font = (FONT *)d[1].dat;
    bg = -1;
    return CargarBMP();
}

static int uso()
{
    fprintf(stderr,
            "uso: e2e_mira [-o ESPERADO.bmp] CARPETA CAPTURA.ppm ESCENA...\n"
            "  titulo | estudio | gane | menu CURSOR | pausa | cartel L1 [L2] | puntaje VIDAS PUNTOS\n"
            "  record PUNTOS | letras ABC CURSOR | tabla N MARCA RANKING|- | info NIVELES | camion\n"
            "  igual OTRA.ppm X Y W H\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    const char *salida = NULL;
    if (argc > 2 && strcmp(argv[1], "-o") == 0) {
        salida = argv[2];
        argv += 2;
        argc -= 2;
    }
    if (argc < 4)
        return uso();
    Captura cap;
    if (!cap.lee(argv[2]))
        return 2;
    std::string escena = argv[3];
    char **arg = argv + 4;
    int n = argc - 4;
    if (escena == "igual")
        return n == 5 ? iguales(cap, arg[0], atoi(arg[1]), atoi(arg[2]), atoi(arg[3]), atoi(arg[4])) : uso();

    if (chdir(argv[1]) != 0) {
        fprintf(stderr, "%s: no se pudo entrar (%s)\n", argv[1], strerror(errno));
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 2;
    set_color_depth(8);
    FONT *de_la_biblioteca = font;
    if (!carga_todo())
        return 2;

    std::vector<Esperado> alt;
    if (escena == "titulo") {
        // The prompt blinks: either half of the blink is the title.
        alt.push_back(imagen(imagen2, the_palette2, "titulo"));
        alt.push_back(imagen(imagen2, the_palette2, "titulo con APRETA ENTER"));
        textprintf_centre_ex(alt[1].bmp, font, 160, 160, 4, -1, "APRETA ENTER");
    } else if (escena == "estudio") {
        alt.push_back(imagen(imagen1, the_palette1, "primera imagen"));
    } else if (escena == "gane") {
        alt.push_back(imagen(imagen3, the_palette3, "imagen de la victoria"));
    } else if (escena == "menu" && n == 1) {
        alt.push_back(menu(atoi(arg[0])));
    } else if (escena == "pausa") {
        alt.push_back(solo_texto(the_palette, font, 160, 110, "PAUSA"));
    } else if (escena == "cartel" && (n == 1 || n == 2)) {
        alt.push_back(cartel(arg[0], n == 2 ? arg[1] : NULL));
    } else if (escena == "puntaje" && n == 2) {
        alt.push_back(puntaje(atoi(arg[0]), atoi(arg[1])));
    } else if (escena == "record" && n == 1) {
        alt.push_back(record(atoi(arg[0])));
    } else if (escena == "letras" && n == 2 && strlen(arg[0]) == 3) {
        alt.push_back(letras(arg[0], atoi(arg[1])));
    } else if (escena == "tabla" && n == 3) {
        alt.push_back(tabla(atoi(arg[0]), atoi(arg[1]), arg[2]));
    } else if (escena == "info" && n == 1) {
        // the "-info" line with the catalogue's count, in the library's font, before any palette is set
        std::string linea = std::string("Nro Niveles = ") + arg[0];
        alt.push_back(solo_texto(default_palette, de_la_biblioteca, 10, 50, linea.c_str(), false));
    } else if (escena == "camion") {
        return busca_camion(cap);
    } else {
        return uso();
    }
    return veredicto(cap, alt, salida);
}
END_OF_MAIN()
