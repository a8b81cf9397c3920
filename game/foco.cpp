// foco: whether the game's window has the keyboard, and the pause when another window takes it.
#include "game/foco.h"

#include <allegro.h>
#include <cstdio>

#include "shared/ajustes.h"
#include "shared/idioma.h"

volatile int foco_fuera;
volatile int foco_perdido;

// The library's switch-out callback (its input thread): another window took the keyboard.
static void sale()
{
    foco_fuera = 1;
    foco_perdido = 1;
}

// The library's switch-in callback: the keyboard is back.
static void vuelve()
{
    foco_fuera = 0;
}

void vigila_foco()
{
    // The window keeps running in the background; the callbacks tell us when it loses the keyboard.
    if (set_display_switch_callback(SWITCH_OUT, sale) != 0 &&
        (set_display_switch_mode(SWITCH_BACKGROUND) != 0 || set_display_switch_callback(SWITCH_OUT, sale) != 0)) {
        fprintf(stderr, _("KORVEX: no se sabra cuando otra ventana toma el teclado; no habra pausa al salir\n"));
        return;
    }
    set_display_switch_callback(SWITCH_IN, vuelve);
}

void foco_empieza_nivel()
{
    foco_perdido = foco_fuera;
}

bool foco_pide_pausa()
{
    if (!foco_perdido)
        return false;
    foco_perdido = 0;
    return aj_pausa_foco != 0;
}
