// mira_editor: checks a screenshot of the running level editor against what the editor's own
// drawing routines render headless with the shipped sheet and palette.
//
//   e2e_mira_editor [-o ESPERADO.bmp] CARPETA CAPTURA.ppm ESCENA [ARGUMENTOS...]
//
// Exit status: 0 the screenshot shows the scene, 1 it does not, 2 bad use or missing data.
#include <unistd.h>

#include "editor/mained.h"
#include "mira_comun.h"

namespace {

// Corners of the menu box and of the speed dialog.
enum { CAJA_X1 = 100, CAJA_Y1 = 69, CAJA_X2 = 218, MENU_Y2 = 169, VEL_Y2 = 171 };
// The first status line: where it stands and how long it is.
enum { ESTADO_X = 10, ESTADO_Y = 202 };
// Where the undo count ("DESHACER: n", 13 characters of 8x8) stands on the second status line.
enum { DESHACER_X = 170, DESHACER_Y = 212, DESHACER_W = 13 * 8, LINEA_H = 8 };

// Keys the editor's screens read while they are drawn here: a script, then ENTER.
int guion[256];
int guion_n, guion_i;

int tecla_guion()
{
    return (guion_i < guion_n ? guion[guion_i++] : KEY_ENTER) << 8;
}

void pon_guion(int tecla, int veces)
{
    for (int i = 0; i < veces && guion_n < 255; i++)
        guion[guion_n++] = tecla;
    guion[guion_n++] = KEY_ENTER;
}

// Only the pixels of the box (x1,y1)-(x2,y2) count: the rest of the screen is the map view.
void solo_caja(Esperado &e, int x1, int y1, int x2, int y2)
{
    for (int i = 0; i < ANCHO * ALTO; i++) {
        int xx = i % ANCHO, yy = i / ANCHO;
        e.cuenta[i] = xx >= x1 && xx <= x2 && yy >= y1 && yy <= y2;
    }
}

// The main menu with its cursor on entry cursor (1..5), a map open or not, by menuprincipal itself.
Esperado menu(int cursor, int abierto)
{
    Esperado e = nuevo(the_palette, "menu principal");
    active_page = e.bmp;
    carga = abierto;
    // from entry 1, downwards; without a map the cursor jumps from 2 to 5
    int pasos = cursor - 1;
    if (!abierto && cursor == 5)
        pasos = 2;
    pon_guion(KEY_DOWN, pasos);
    menuprincipal();
    solo_caja(e, CAJA_X1, CAJA_Y1, CAJA_X2, MENU_Y2);
    e.que = "menu principal, cursor en " + std::to_string(cursor);
    return e;
}

// The speed dialog showing code m, by opcimap itself.
Esperado velocidad(int m)
{
    Esperado e = nuevo(the_palette, "velocidad");
    active_page = e.bmp;
    multi = (unsigned char)m;
    pon_guion(KEY_ENTER, 0);
    opcimap();
    solo_caja(e, CAJA_X1, CAJA_Y1, CAJA_X2, VEL_Y2);
    e.que = "dialogo de velocidad en " + std::to_string(m);
    return e;
}

// The editing screen of a level file with a given editing state, by dibuja_edicion itself.
Esperado edicion(char **arg)
{
    Esperado e = nuevo(the_palette, "edicion");
    active_page = e.bmp;
    if (!CargaMapa(arg[0]))
        exit(2);
    cargamatrizene();
    snprintf(archivo, sizeof archivo, "%s", arg[1]);
    posx2 = atoi(arg[2]);
    posx = atoi(arg[3]);
    a = atoi(arg[4]);
    b = atoi(arg[5]);
    d = atoi(arg[6]);
    c = atoi(arg[7]);
    ::e = atoi(arg[8]);
    modoene = atoi(arg[9]);
    dibuja_edicion();
    // The undo count on the mode's line depends on the edits made so far: it does not count.
    for (int y = DESHACER_Y; y < DESHACER_Y + LINEA_H; y++)
        for (int x = DESHACER_X; x < DESHACER_X + DESHACER_W; x++)
            e.cuenta[y * ANCHO + x] = 0;
    e.que = std::string("edicion de ") + arg[0] + " como " + arg[1];
    return e;
}

// Reads the first status line: the pass and the cursor's map column on display. 0 when found.
int estado(const Captura &cap)
{
    for (int p = 0; p < PASADAS; p++)
        for (int col = 0; col < MAPA_COLS; col++) {
            char linea[64];
            snprintf(linea, sizeof linea, "POSX2: %d    POSX: %3d", p, col);
            Esperado e = nuevo(the_palette, "estado");
            textprintf_ex(e.bmp, font, ESTADO_X, ESTADO_Y, COL_TEXTO, 0, "%s", linea);
            solo_caja(e, ESTADO_X, ESTADO_Y, ESTADO_X + text_length(font, linea) - 1,
                      ESTADO_Y + text_height(font) - 1);
            bool ok = diferencias(cap, e) == 0;
            destroy_bitmap(e.bmp);
            if (ok) {
                printf("estado %d %d\n", p, col);
                return 0;
            }
        }
    printf("estado ninguno\n");
    return 1;
}

int uso()
{
    fprintf(stderr,
            "uso: e2e_mira_editor [-o ESPERADO.bmp] CARPETA CAPTURA.ppm ESCENA...\n"
            "  menu CURSOR ABIERTO | velocidad MULTI | estado\n"
            "  edicion NIVEL ARCHIVO POSX2 POSX A B D C E MODOENE\n");
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
    if (chdir(argv[1]) != 0) {
        fprintf(stderr, "%s: no se pudo entrar (%s)\n", argv[1], strerror(errno));
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 2;
    set_color_depth(8);
    if (!CargarBMP())
        return 2;
    bg = 0;
    fuente_tecla = tecla_guion;
    scroll = create_bitmap(2 * ANCHO, ALTO);
    enemi = reserva_enemigos();

    std::vector<Esperado> alt;
    if (escena == "menu" && n == 2)
        alt.push_back(menu(atoi(arg[0]), atoi(arg[1])));
    else if (escena == "velocidad" && n == 1)
        alt.push_back(velocidad(atoi(arg[0])));
    else if (escena == "edicion" && n == 10)
        alt.push_back(edicion(arg));
    else if (escena == "estado")
        return estado(cap);
    else
        return uso();
    return veredicto(cap, alt, salida);
}
END_OF_MAIN()
