// mained: the editor's globals, its key wait, notices, the top loop and the main menu.
#include "editor/mained.h"

#include <cstdio>
#include <cstring>

#include "shared/conjuntos.h"
#include "shared/pantalla.h"
#include "shared/ritmo.h"
#include "shared/idioma.h"

int autodetect_card = GFX_AUTODETECT_WINDOWED;
BITMAP *active_page;
BITMAP *scroll;
int bg;
int carga;
int modifi;
int k;
int k_ascii;
char archivo[512];
volatile int cerrar;

// Gives Ctrl+Z and Ctrl+Y their control characters, and Ctrl+Shift+Z the value of Ctrl+Y
// (redo), while the modifiers are those of the key press itself.
static int teclas_control(int v)
{
    if (!(key_shifts & KB_CTRL_FLAG))
        return v;
    if ((v >> 8) == KEY_Z)
        return (key_shifts & KB_SHIFT_FLAG) ? (KEY_Y << 8) | ASCII_CTRL_Y : (KEY_Z << 8) | ASCII_CTRL_Z;
    if ((v >> 8) == KEY_Y)
        return (KEY_Y << 8) | ASCII_CTRL_Y;
    return v;
}

void pon_teclado()
{
    install_keyboard();
    keyboard_callback = teclas_control;
}

// Waits a key from the library's keyboard buffer, keeping the screen presented; in the editing
// screen the mouse acts meanwhile. A signal that asked to end gives ESC.
static int lee_teclado()
{
    static unsigned vuelta;   // wake-ups seen when the last sleep ended: anything since ends the next at once
    while (!keypressed()) {
        atiende();
        if (senal_fin)
            return (KEY_ESC << 8) | 27;
        if (!atiende_raton())
            vuelta = ritmo_espera(vuelta, RATON_ESPERA_MS * 1000LL);   // a key or the mouse wakes it
    }
    return readkey();
}

int (*fuente_tecla)() = lee_teclado;

// Menu box corners, the x every entry is centred on, the set's two header lines, the first
// entry's line and the step between entries, the notice line at the box's foot.
enum { MENU_X1 = 40, MENU_Y1 = 36, MENU_X2 = 280, MENU_Y2 = 204, CENTRO_X = 160,
       MENU_CONJUNTO_Y = 42, MENU_CUENTA_Y = 54, MENU_PRIMERA_Y = 72, MENU_PASO = 16, MENU_AVISO_Y = 190,
       MENU_CHARS = 29 };   // characters a line of the box holds

// The entries of the main menu, in cursor order: the choice each gives and its text.
static const struct { int opc; const char *texto; } entradas[] = {
    {OPC_NUEVO, N_("NUEVO MAPA")}, {OPC_CARGAR, N_("CARGAR MAPA")}, {OPC_OPCIONES, N_("OPCIONES MAPA")},
    {OPC_GUARDAR, N_("GUARDAR")},  {OPC_GUARDAR_COMO, N_("GUARDAR COMO")}, {OPC_CONJUNTOS, N_("CONJUNTOS")},
    {OPC_SALIR, N_("SALIR")},
};
enum { ENTRADAS = (int)(sizeof entradas / sizeof entradas[0]) };
enum { OPC_SIGUE = -1 };   // no choice: the menu runs again

char aviso_menu[64];

// The place of a choice in the menu's order (0 for one that is not there).
static int lugar(int opc)
{
    for (int i = 0; i < ENTRADAS; i++)
        if (entradas[i].opc == opc)
            return i;
    return 0;
}

// True when the entry needs an open map.
static bool pide_mapa(int opc)
{
    return opc == OPC_OPCIONES || opc == OPC_GUARDAR || opc == OPC_GUARDAR_COMO;
}

// Notice box corners and line positions.
enum { AVISO_X1 = 30, AVISO_Y1 = 90, AVISO_X2 = 290, AVISO_Y2 = 150,
       AVISO_L1 = 102, AVISO_L2 = 116, AVISO_L3 = 134, AVISO_ANCHO = 31 };   // characters a line holds

void clear(BITMAP *bmp)
{
    clear_bitmap(bmp);
}

void lee_opciones(int argc, char **argv)
{
    for (int i = 1; i < argc; i++)
        if (strcmp(argv[i], "-full") == 0)
            autodetect_card = GFX_AUTODETECT_FULLSCREEN;
        else if (strcmp(argv[i], "-escala") == 0)
            escala_pedida = valor_escala(valor_opcion(argc, argv, &i), "KORV-EDITOR");
}

void fin_editor()
{
    cerrar = 1;
}

void cierre_ventana()
{
    // Runs on the library's event thread: only a flag and a key that wakes the wait.
    cerrar = 1;
    simulate_keypress((KEY_ESC << 8) | 27);
}

int espera_tecla(bool cerrable)
{
    clear_keybuf();
    k_ascii = 0;
    if (cerrable && cerrar)
        return k = KEY_ESC;
    int v = fuente_tecla();
    k = v >> 8;
    k_ascii = v & 0xFF;
    if (cerrable && cerrar)
        k = KEY_ESC;
    return k;
}

// What marks a text cut at its start.
static const char CORTE[] = "...";

void final_de(const char *texto, int max, char *out, int tam)
{
    int n = (int)strlen(texto), corte = (int)sizeof CORTE - 1;
    if (n <= max || max <= corte)
        snprintf(out, tam, "%.*s", max < 0 ? 0 : max, texto);
    else
        snprintf(out, tam, "%s%s", CORTE, texto + n - (max - corte));
}

Debajo guarda_debajo(int x1, int y1, int x2, int y2)
{
    Debajo d = {create_bitmap(x2 - x1 + 1, y2 - y1 + 1), x1, y1};
    if (d.b)
        blit(active_page, d.b, x1, y1, 0, 0, d.b->w, d.b->h);
    return d;
}

void restaura_debajo(Debajo &d)
{
    if (!d.b)
        return;
    blit(d.b, active_page, 0, 0, d.x, d.y, d.b->w, d.b->h);
    destroy_bitmap(d.b);
    d.b = NULL;
}

void mensaje_caja(const char *linea1, const char *linea2)
{
    pon_ayuda(NULL);   // any key closes the box
    // The notice covers part of whatever screen called it; that part comes back afterwards.
    Debajo debajo = guarda_debajo(AVISO_X1, AVISO_Y1, AVISO_X2, AVISO_Y2);
    rectfill(active_page, AVISO_X1, AVISO_Y1, AVISO_X2, AVISO_Y2, COL_FONDO);
    rect(active_page, AVISO_X1, AVISO_Y1, AVISO_X2, AVISO_Y2, COL_MARCA);
    char texto[AVISO_ANCHO + 1];
    final_de(linea1, AVISO_ANCHO, texto, sizeof texto);
    textprintf_centre_ex(active_page, font, CENTRO_X, AVISO_L1, COL_TEXTO, bg, "%s", texto);
    if (linea2) {
        final_de(linea2, AVISO_ANCHO, texto, sizeof texto);
        textprintf_centre_ex(active_page, font, CENTRO_X, AVISO_L2, COL_TEXTO, bg, "%s", texto);
    }
    textprintf_centre_ex(active_page, font, CENTRO_X, AVISO_L3, COL_MARCA, bg, _("PULSE UNA TECLA"));
    espera_tecla(true);
    restaura_debajo(debajo);
}

int mueve_menu(int cursor, int tecla)
{
    int paso = tecla == KEY_UP ? -1 : tecla == KEY_DOWN ? 1 : 0;
    if (!paso)
        return cursor;
    // Without an open map the cursor passes over the entries that need one.
    int i = lugar(cursor);
    do
        i = (i + paso + ENTRADAS) % ENTRADAS;
    while (!carga && pide_mapa(entradas[i].opc));
    return entradas[i].opc;
}

// The set in edit at the top of the box: its name (arrows: LEFT/RIGHT change it) and how many
// levels its folder holds, with those the game does not play.
static void dibuja_conjunto()
{
    buscaarch();
    char linea[MENU_CHARS + 8], nombre[MENU_CHARS + 1];
    final_de(conjunto().nombre, MENU_CHARS - 4, nombre, sizeof nombre);
    snprintf(linea, sizeof linea, n_conjuntos > 1 ? _("CONJUNTO: < %s >") : _("CONJUNTO: %s"), nombre);
    if ((int)strlen(linea) > MENU_CHARS)   // a long name alone
        snprintf(linea, sizeof linea, n_conjuntos > 1 ? "< %s >" : "%s", nombre);
    rectfill(active_page, MENU_X1 + 1, MENU_CONJUNTO_Y, MENU_X2 - 1, MENU_CUENTA_Y + text_height(font), COL_FONDO);
    textprintf_centre_ex(active_page, font, CENTRO_X, MENU_CONJUNTO_Y, COL_PROPIO, bg, "%s", linea);
    texto_cuenta(linea, sizeof linea);
    textprintf_centre_ex(active_page, font, CENTRO_X, MENU_CUENTA_Y, COL_TEXTO, bg, "%s", linea);
}

int menuprincipal()
{
    int cursor = OPC_NUEVO;
    rectfill(active_page, MENU_X1, MENU_Y1, MENU_X2, MENU_Y2, COL_FONDO);
    rect(active_page, MENU_X1, MENU_Y1, MENU_X2, MENU_Y2, COL_MARCA);
    for (;;) {
        if (cerrar)
            return OPC_SALIR;
        pon_ayuda(&AYUDA_MENU);
        dibuja_conjunto();
        for (int i = 0; i < ENTRADAS; i++)
            textprintf_centre_ex(active_page, font, CENTRO_X, MENU_PRIMERA_Y + MENU_PASO * i,
                                 cursor == entradas[i].opc ? COL_MARCA : COL_TEXTO, bg, "%s", _(entradas[i].texto));
        // What the last choice did (GUARDADO...), until the next key.
        char linea[MENU_CHARS + 1];
        final_de(aviso_menu, MENU_CHARS, linea, sizeof linea);
        textprintf_centre_ex(active_page, font, CENTRO_X, MENU_AVISO_Y, COL_MARCA, bg, "%-*s", MENU_CHARS, linea);
        aviso_menu[0] = 0;
        espera_tecla(true);
        if (cerrar)
            return OPC_SALIR;
        if (k == KEY_ENTER)
            return cursor;
        if (k == KEY_ESC)
            return OPC_VOLVER;
        if (k == KEY_LEFT || k == KEY_RIGHT)
            pon_conjunto((conjunto_actual + (k == KEY_RIGHT ? 1 : n_conjuntos - 1)) % n_conjuntos);
        cursor = mueve_menu(cursor, k);
    }
}

void korveditor()
{
    clear(active_page);
    carga = 0;
    aviso_menu[0] = 0;
    if (archivo_pedido[0])
        abre_archivo(archivo_pedido);
    int opc;
    do {
        opc = menuprincipal();
        switch (opc) {
        case OPC_VOLVER:
            if (carga)
                korveditormain();
            break;
        case OPC_NUEVO:
        case OPC_CARGAR:
            // A save that failed inside the warning keeps the map: nothing else is opened.
            if (modifi && !advertencia())
                break;
            if (cerrar) {
                opc = OPC_SALIR;   // the window was closed while the warning was up
                break;
            }
            if (opc == OPC_NUEVO)
                nuevomapa();
            else
                cargarmapa();
            break;
        case OPC_OPCIONES:
            if (carga)
                opcimap();
            break;
        case OPC_GUARDAR:
            if (carga && gurdarmapa())
                aviso_guardado();
            break;
        case OPC_GUARDAR_COMO:
            if (carga)
                guardar_como();
            break;
        case OPC_CONJUNTOS:
            menu_conjuntos();
            break;
        case OPC_SALIR:
            if (modifi && !advertencia())
                opc = OPC_SIGUE;   // the changes could not be saved: stay in the menu
            break;
        }
        // A save (or a level brought back) changes the map's status lines under the menu.
        if (carga && (opc == OPC_GUARDAR || opc == OPC_GUARDAR_COMO || opc == OPC_CONJUNTOS))
            dibuja_edicion();
    } while (opc != OPC_SALIR);
}
