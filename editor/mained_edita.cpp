// mained: the editing screen: the map view, its cursor, the status lines and the editing keys.
#include "editor/mained.h"
#include "shared/idioma.h"

#include <cstdio>
#include <cstring>

unsigned char enemi2[ENE_COLS][MAPA_FILAS];
int modoene;
int posx;
int posx2;
int a;
int b;
int d = PRIMERA_CALLE;
int c;
int e;
char aviso[64];

// Status lines: left edge, first line's y, line step; the notice line below them (whole above the
// screen's last row) and its width; the characters of a line.
enum { ESTADO_X = 10, ESTADO_Y = 198, ESTADO_PASO = 10, AVISO_Y = 228, AVISO_CHARS = 30, LINEA_CHARS = 38,
       DESHACER_X = 170,     // the undo count, on the mode's line
       AYUDA_X = 242 };      // the help key, at the end of the first line
static const char LINEA_AYUDA[] = N_("F1: AYUDA");

void reinicia_edicion()
{
    posx2 = 0;
    posx = 0;
    modoene = 0;
    e = 0;
    c = 0;
    b = 0;
    a = 0;
    d = PRIMERA_CALLE;
}

void cargamatrizene()
{
    memset(enemi2, 0, sizeof enemi2);
    for (int i = 0; i < ENE_MAX; i++) {
        int t = ene_tipo(i);
        if (t == 0)
            continue;   // an empty record, wherever it stands
        int col = ene_col(i), fila = ene_fila(i) / BLOQUE_H;
        if (col >= ENE_COLS || fila >= MAPA_FILAS || t > TIPO_MAX)
            continue;   // does not fit the grid (the loader already drops these)
        enemi2[col][fila] = (unsigned char)t;
    }
}

int cuenta_enemigos()
{
    int n = 0;
    for (int col = 0; col < ENE_COLS; col++)
        for (int f = 0; f < MAPA_FILAS; f++)
            if (enemi2[col][f] != 0 && enemi2[col][f] != TIPO_MAX)
                n++;
    return n;
}

void refresh()
{
    for (int i = 0; i < VISTA_COLS; i++)
        for (int j = 0; j < MAPA_FILAS; j++)
            blit(tile[mapa[posx + i][j]], scroll, 0, 0, BLOQUE_W * i, BLOQUE_H * j, BLOQUE_W, BLOQUE_H);
    if (!modoene)
        return;
    // Top to bottom, left to right: each picture covers its left neighbour and the rows above.
    for (int j = 0; j < MAPA_FILAS; j++)
        for (int i = 0; i < VISTA_COLS; i++) {
            int t = enemi2[posx2 * MAPA_COLS + posx + i][j];
            if (t != 0 && t <= TIPO_MAX)
                draw_sprite(scroll, sprite[t - 1], BLOQUE_W * i, BLOQUE_H * j + ENE_DY);
        }
}

void texto_estado(int n, char *out, int tam)
{
    if (n == 0)
        snprintf(out, tam, _("POSX2: %d    POSX: %3d"), posx2, posx + a);
    else if (n == 1)
        snprintf(out, tam, "%s", modoene ? _("MODO: ENEMIGO") : _("MODO: FONDO  "));
    else {
        // A long path keeps its end, where the file's name is; "MAPA*" while there are changes not saved.
        const char *rotulo = _("MAPA: "), *cambiado = _("MAPA*: ");
        char ruta[LINEA_CHARS + 1];
        final_de(archivo, LINEA_CHARS - (int)strlen(cambiado), ruta, sizeof ruta);
        // The star's place is a blank without it, so that the line covers what it showed.
        snprintf(out, tam, "%s%s%s", modifi ? cambiado : rotulo, ruta, modifi ? "" : " ");
    }
}

void dibuja_edicion()
{
    refresh();
    int x = BLOQUE_W * a;
    if (modoene) {
        int y = BLOQUE_H * d + ENE_DY;
        draw_sprite(scroll, sprite[e], x, y);
        rect(scroll, x, y, x + ENE_W - 1, y + ENE_H - 1, COL_MARCA);
    } else {
        int y = BLOQUE_H * b;
        blit(tile[c], scroll, 0, 0, x, y, BLOQUE_W, BLOQUE_H);
        rect(scroll, x, y, x + BLOQUE_W - 1, y + BLOQUE_H - 1, COL_MARCA);
    }
    blit(scroll, active_page, 0, 0, 0, 0, ED_PANTALLA_W, VISTA_H);
    // The area below the view is not cleared: every line covers what it showed before.
    char linea[600];
    for (int n = 0; n < 3; n++) {
        texto_estado(n, linea, sizeof linea);
        textprintf_ex(active_page, font, ESTADO_X, ESTADO_Y + ESTADO_PASO * n, COL_TEXTO, bg, "%s", linea);
    }
    textprintf_ex(active_page, font, AYUDA_X, ESTADO_Y, COL_TEXTO, bg, "%s", _(LINEA_AYUDA));
    texto_deshacer(linea, sizeof linea);
    textprintf_ex(active_page, font, DESHACER_X, ESTADO_Y + ESTADO_PASO, COL_TEXTO, bg, "%s", linea);
    textprintf_ex(active_page, font, ESTADO_X, AVISO_Y, COL_MARCA, bg, "%-*.*s", AVISO_CHARS, AVISO_CHARS, aviso);
    aviso[0] = 0;
}

// Moves the cursor one column right: within the view, then the view, then (enemies) the pass.
static void mueve_derecha()
{
    if (a < VISTA_COLS - 1)
        a++;
    else if (posx < ULTIMA_VISTA)
        posx++;
    else if (modoene && posx2 < PASADAS - 1) {
        posx2++;
        posx = 0;
    }
}

// Moves the cursor one column left, the mirror of mueve_derecha.
static void mueve_izquierda()
{
    if (a > 0)
        a--;
    else if (posx > 0)
        posx--;
    else if (modoene && posx2 > 0) {
        posx2--;
        posx = ULTIMA_VISTA;
    }
}

// Places the selected enemy under the cursor; the table has room for 300 of them.
static void pon_enemigo()
{
    unsigned char &celda = enemi2[posx2 * MAPA_COLS + posx + a][d];
    bool nuevo = celda == 0 || celda == TIPO_MAX;   // remains are not saved: they hold no place
    if (nuevo && cuenta_enemigos() >= ENE_MAX) {
        snprintf(aviso, sizeof aviso, _("MAXIMO %d ENEMIGOS"), ENE_MAX);
        return;
    }
    cambia_celda(CAMBIO_ENEMIGO, posx2 * MAPA_COLS + posx + a, d, e + 1);
}

// Ctrl+Z undoes, Ctrl+Y redoes (Ctrl+Shift+Z arrives as Ctrl+Y); true when the key was one of them.
static bool tecla_historia(int tecla, int ascii)
{
    if (tecla == KEY_Z && ascii == ASCII_CTRL_Z)
        deshace();
    else if (tecla == KEY_Y && ascii == ASCII_CTRL_Y)
        rehace();
    else
        return false;
    return true;
}

bool tecla_edicion(int tecla, int ascii)
{
    if (tecla_historia(tecla, ascii))
        return true;
    switch (tecla) {
    case KEY_RIGHT:
        mueve_derecha();
        break;
    case KEY_LEFT:
        mueve_izquierda();
        break;
    case KEY_UP:
        if (modoene) {
            if (d > PRIMERA_CALLE)
                d--;
        } else if (b > 0) {
            b--;
        }
        break;
    case KEY_DOWN:
        if (modoene) {
            if (d < ULTIMA_CALLE)
                d++;
        } else if (b < MAPA_FILAS - 1) {
            b++;
        }
        break;
    case KEY_SPACE:
        modoene = !modoene;
        break;
    case KEY_S:
        if (modoene) {
            if (e < TIPOS_EDITOR - 1)
                e++;
        } else if (c < NUM_TILES - 1) {
            c++;
        }
        break;
    case KEY_A:
        if (modoene) {
            if (e > 0)
                e--;
        } else if (c > 0) {
            c--;
        }
        break;
    case KEY_D:
        if (modoene) {
            pon_enemigo();
        } else {
            cambia_celda(CAMBIO_BLOQUE, posx + a, b, c);
        }
        break;
    case KEY_F:
        if (modoene) {
            cambia_celda(CAMBIO_ENEMIGO, posx2 * MAPA_COLS + posx + a, d, 0);
        }
        break;
    case KEY_J:
        juega_desde_aqui();
        break;
    case KEY_ESC:
        return false;
    }
    return true;
}

void korveditormain()
{
    clear(active_page);
    // The pointer shows over the map only; menus and dialogs stay keyboard-only.
    raton_en_edicion = 1;
    if (mouse_instalado)
        show_mouse(screen);
    do {
        pon_ayuda(&AYUDA_EDICION);
        scare_mouse();
        dibuja_edicion();
        unscare_mouse();
        espera_tecla(true);
    } while (tecla_edicion(k, k_ascii));
    raton_en_edicion = 0;
    if (mouse_instalado)
        show_mouse(NULL);
}
