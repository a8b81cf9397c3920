// mained: the mouse in the editing screen: painting and erasing cells, the wheel, edge scrolling.
#include "editor/mained.h"

#include "shared/pantalla.h"

int mouse_instalado;
int raton_en_edicion;

// The cell last painted (or erased) while a button is held: a hold acts once per cell.
static int ultima_col = -1, ultima_fila = -1;
static int rueda_antes;    // mouse_z at the last event handled
static int pasos_borde;    // polls spent at an edge since the last scroll step

// Mouse states as the library's handler saw them, one per event: a click shorter than a
// poll is not lost. Written by the handler's thread only at cola_ent, read here at cola_sal.
enum { COLA_RATON = 256 };
struct EstadoRaton {
    int x, y, b, z;
};
static EstadoRaton cola[COLA_RATON];
static volatile int cola_ent, cola_sal;

// The library's mouse callback: keeps the state of each event (a full queue drops it).
static void al_evento(int flags)
{
    int n = (cola_ent + 1) % COLA_RATON;
    if (n == cola_sal)
        return;
    cola[cola_ent].x = pagina_x(mouse_x);   // screen pixels to page pixels (the picture is scaled)
    cola[cola_ent].y = pagina_y(mouse_y);
    cola[cola_ent].b = mouse_b;
    cola[cola_ent].z = mouse_z;
    cola_ent = n;
}

void pon_raton()
{
    mouse_instalado = install_mouse() >= 0;
    if (!mouse_instalado)
        return;
    enable_hardware_cursor();
    select_mouse_cursor(MOUSE_CURSOR_ARROW);
    rueda_antes = mouse_z;
    cola_sal = cola_ent;
    mouse_callback = al_evento;
}

// Moves the cursor to the cell under the pointer: in enemy mode the row whose enemy stands
// with its feet (the picture's lowest block) there.
static void cursor_a(int mx, int my)
{
    a = mx / BLOQUE_W;
    if (!modoene) {
        b = my / BLOQUE_H;
        return;
    }
    int fila = (my - ENE_DY - ENE_H + BLOQUE_H) / BLOQUE_H;
    d = fila < PRIMERA_CALLE ? PRIMERA_CALLE : fila > ULTIMA_CALLE ? ULTIMA_CALLE : fila;
}

bool raton_edicion(int mx, int my, int botones, int rueda)
{
    bool cambio = false;
    for (; rueda > 0; rueda--, cambio = true)
        tecla_edicion(KEY_A);
    for (; rueda < 0; rueda++, cambio = true)
        tecla_edicion(KEY_S);
    int tecla = (botones & BOTON_IZQ) ? KEY_D : (botones & BOTON_DER) && modoene ? KEY_F : 0;
    if (tecla == 0 || mx < 0 || mx >= ED_PANTALLA_W || my < 0 || my >= VISTA_H) {
        if (!(botones & (BOTON_IZQ | BOTON_DER)))
            ultima_col = ultima_fila = -1;   // released: the next press acts again
        return cambio;
    }
    cursor_a(mx, my);
    int col = posx2 * MAPA_COLS + posx + a, fila = modoene ? d : b;
    if (col == ultima_col && fila == ultima_fila)
        return cambio;
    ultima_col = col;
    ultima_fila = fila;
    tecla_edicion(tecla);
    return true;
}

// At the left or right edge of the map view the view scrolls, one step every few polls.
static bool borde(int mx, int my)
{
    int tecla = mx < RATON_BORDE ? KEY_LEFT : mx >= ED_PANTALLA_W - RATON_BORDE ? KEY_RIGHT : 0;
    if (tecla == 0 || my < 0 || my >= VISTA_H || !mouse_on_screen()) {
        pasos_borde = 0;
        return false;
    }
    if (++pasos_borde < RATON_BORDE_PASOS)
        return false;
    pasos_borde = 0;
    tecla_edicion(tecla);
    return true;
}

bool atiende_raton()
{
    if (!mouse_instalado)
        return false;
    if (!raton_en_edicion) {
        cola_sal = cola_ent;   // clicks in menus and dialogs do nothing
        return false;
    }
    bool cambio = borde(pagina_x(mouse_x), pagina_y(mouse_y));
    while (cola_sal != cola_ent) {
        const EstadoRaton &m = cola[cola_sal];
        int rueda = m.z - rueda_antes;
        rueda_antes = m.z;
        cambio = raton_edicion(m.x, m.y, m.b, rueda) || cambio;
        cola_sal = (cola_sal + 1) % COLA_RATON;
    }
    if (!cambio)
        return false;
    scare_mouse();
    dibuja_edicion();
    unscare_mouse();
    return true;
}
