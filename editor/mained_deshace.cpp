// mained: the history of changes to the open map, for undo (Ctrl+Z) and redo (Ctrl+Y).
#include "editor/mained.h"
#include "shared/idioma.h"

#include <cstdio>

int deshacer_n;
int rehacer_n;

// One change of one cell (or of the speed code): where, and the value before and after.
struct Cambio {
    unsigned char tipo;     // CAMBIO_*
    short col;              // map column (blocks 0..199, enemies 0..799)
    unsigned char fila;     // row 0..7
    unsigned char antes, despues;
};

static Cambio historia[HISTORIA_MAX];   // a ring: step s lives at s % HISTORIA_MAX
static long paso;                       // steps applied since the map was opened
static long paso_guardado = -1;         // paso when the map last equalled its file; -1 never

// Puts a value into the cell a change names.
static void aplica(const Cambio &m, unsigned char v)
{
    if (m.tipo == CAMBIO_BLOQUE)
        mapa[m.col][m.fila] = v;
    else if (m.tipo == CAMBIO_ENEMIGO)
        enemi2[m.col][m.fila] = v;
    else
        multi = v;
}

// The value a change's cell holds now.
static unsigned char valor(int tipo, int col, int fila)
{
    if (tipo == CAMBIO_BLOQUE)
        return mapa[col][fila];
    if (tipo == CAMBIO_ENEMIGO)
        return enemi2[col][fila];
    return multi;
}

void historia_borra(bool igual_al_archivo)
{
    deshacer_n = rehacer_n = 0;
    paso = 0;
    paso_guardado = igual_al_archivo ? 0 : -1;
}

void historia_guardado()
{
    paso_guardado = paso;
}

void cambia_celda(int tipo, int col, int fila, int v)
{
    modifi = 1;   // also when the cell already held it, as the keys always did
    unsigned char antes = valor(tipo, col, fila);
    if (antes == (unsigned char)v)
        return;
    // A new change drops what could be redone; a save made there can no longer be reached.
    if (paso_guardado > paso)
        paso_guardado = -1;
    Cambio &m = historia[paso % HISTORIA_MAX];
    m.tipo = (unsigned char)tipo;
    m.col = (short)col;
    m.fila = (unsigned char)fila;
    m.antes = antes;
    m.despues = (unsigned char)v;
    aplica(m, m.despues);
    paso++;
    rehacer_n = 0;
    if (deshacer_n < HISTORIA_MAX)
        deshacer_n++;
}

bool deshace()
{
    if (deshacer_n == 0)
        return false;
    paso--;
    aplica(historia[paso % HISTORIA_MAX], historia[paso % HISTORIA_MAX].antes);
    deshacer_n--;
    rehacer_n++;
    modifi = paso != paso_guardado;
    return true;
}

bool rehace()
{
    if (rehacer_n == 0)
        return false;
    aplica(historia[paso % HISTORIA_MAX], historia[paso % HISTORIA_MAX].despues);
    paso++;
    rehacer_n--;
    deshacer_n++;
    modifi = paso != paso_guardado;
    return true;
}

void texto_deshacer(char *out, int tam)
{
    if (deshacer_n > 0)
        snprintf(out, tam, _("DESHACER: %-3d"), deshacer_n);
    else
        snprintf(out, tam, "%13s", "");   // covers the count shown before
}
