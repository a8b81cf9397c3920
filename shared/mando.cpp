// mando: the pad's stick, D-pad and buttons turned into the keys of the menus and of play.
#include "shared/mando.h"
#include "shared/idioma.h"

#include <cctype>
#include <cstdio>
#include <cstring>

int mando_instalado;
int mando_pulsado;
int mando_habilitado = 1;

// Puts one key (scan code and ascii) into the library's key buffer.
static void mete_en_buffer(int tecla)
{
    simulate_keypress(tecla);
}

void (*mando_tecla)(int tecla) = mete_en_buffer;

// The scan code and ascii of each mapped key, in MANDO_* order.
static const struct {
    int scan;
    int ascii;
} tecla_de[MANDO_TECLAS] = {{KEY_UP, 0}, {KEY_DOWN, 0}, {KEY_ENTER, 13}, {KEY_ESC, 27}, {KEY_P, 'p'}, {KEY_O, 'o'}};

// Buttons by position: first ENTER, second ESC, third P, fourth O (the title's options).
enum { BOTON_ENTER = 0, BOTON_ESC = 1, BOTON_P = 2, BOTON_O = 3 };

static int previo;          // mapped keys held at the last read (bits MANDO_*)
static bool avisado;        // the "no pad" line was written
static const char *programa_mando = "KORVEX";   // program name for that line

void mando_instala(const char *programa)
{
    programa_mando = programa;
    if (install_joystick(JOY_TYPE_AUTODETECT) == 0 && num_joysticks > 0) {
        mando_instalado = 1;
        return;
    }
    remove_joystick();
    mando_instalado = 0;
    if (!avisado)
        fprintf(stderr, _("%s: no hay mando; se juega con el teclado\n"), programa_mando);
    avisado = true;
}

void mando_busca()
{
    if (!mando_instalado)
        mando_instala(programa_mando);
}

// True when a button's name says START (any case).
static bool es_start(const char *nombre)
{
    if (!nombre)
        return false;
    char m[16];
    int i = 0;
    for (; nombre[i] && i < (int)sizeof m - 1; i++)
        m[i] = (char)toupper((unsigned char)nombre[i]);
    m[i] = '\0';
    return strstr(m, "START") != NULL;
}

int mando_estado()
{
    int e = 0;
    for (int j = 0; j < num_joysticks; j++) {
        const JOYSTICK_INFO &p = joy[j];
        // Every stick counts: the main stick, and the D-pad where the driver gives it as a stick.
        for (int s = 0; s < p.num_sticks; s++) {
            if (p.stick[s].num_axis < 2)
                continue;
            if (p.stick[s].axis[1].d1)
                e |= 1 << MANDO_ARRIBA;
            if (p.stick[s].axis[1].d2)
                e |= 1 << MANDO_ABAJO;
        }
        bool tiene_start = false;
        for (int b = 0; b < p.num_buttons; b++)
            tiene_start = tiene_start || es_start(p.button[b].name);
        for (int b = 0; b < p.num_buttons; b++) {
            if (!p.button[b].b)
                continue;
            if (es_start(p.button[b].name) || (b == BOTON_P && !tiene_start))
                e |= 1 << MANDO_P;   // the third button is P unless a button is named START
            else if (b == BOTON_ENTER)
                e |= 1 << MANDO_ENTER;
            else if (b == BOTON_ESC)
                e |= 1 << MANDO_ESC;
            else if (b == BOTON_O)
                e |= 1 << MANDO_O;
        }
    }
    return e;
}

void mando_actualiza()
{
    if (num_joysticks <= 0 || !mando_habilitado)
        return;
    if (mando_instalado)
        poll_joystick();
    int e = mando_estado();
    int cambio = e ^ previo;
    for (int i = 0; i < MANDO_TECLAS; i++) {
        if (!(cambio & (1 << i)))
            continue;
        bool pulsado = (e >> i) & 1;
        key[tecla_de[i].scan] = pulsado ? 1 : 0;
        if (pulsado)
            mando_tecla((tecla_de[i].scan << 8) | tecla_de[i].ascii);
    }
    previo = e;
    mando_pulsado = e;
}
