// presoverganec: the "OPCIONES" screen: volumes, screen scale and full screen, the keys, the pace.
#include "game/presoverganec.h"

#include <cstdio>

#include "shared/ajustes.h"
#include "shared/idioma.h"
#include "shared/pantalla.h"
#include "game/ayudas.h"
#include "game/volumen.h"
#include "game/main.h"
#include "game/utilfun.h"
#include "shared/idioma.h"

// Lines of the screen, top to bottom.
enum {
    OP_MUSICA = 0, OP_EFECTOS = 1, OP_ESCALA = 2, OP_COMPLETA = 3, OP_TECLAS = 4, OP_PAUSA = 5, OP_RITMO = 6,
    OP_IDIOMA = 7, OP_VOLVER = 8, OP_LINEAS = 9
};
// Where the lines go (the step shares the room above the help line among them), and the colours
// of the difficulty menu.
enum { OP_X = 160, OP_TITULO_Y = 20, OP_Y = 46, OP_AYUDA_Y = 216, OP_HOLGURA = 4, COL_PROPIO = -1, COL_BLANCO = 255 };
enum { OP_PASO = (OP_AYUDA_Y - OP_HOLGURA - OP_Y) / OP_LINEAS };
// The language setting's values, each in its own language (the font has no accented letter).
static const char *const NOMBRE_IDIOMA[] = {"AUTO", "ESPANOL", "ENGLISH"};
enum { IDIOMAS = sizeof NOMBRE_IDIOMA / sizeof NOMBRE_IDIOMA[0] };
enum { VOL_PRUEBA = 255, PAN_CENTRO = 128, FRECUENCIA = 1000, VOL_MIDI_LLENO = 255 };

// What the options screen does after a setting changed: apply the screen choice (set by the
// presenter when it can change the window while running).
void (*aplica_pantalla)() = NULL;

// What the options screen shows while it is up: the marked line (-1: not up) and the help line.
static int linea_abierta = -1;
static const char *ayuda_abierta;

// Largest scale the desktop takes, 1 when it cannot tell.
int escala_que_cabe()
{
    int w = 0, h = 0;
    if (get_desktop_resolution(&w, &h) != 0)
        return 1;
    return escala_completa(w, h);
}

// Index of a pace in ritmos_de_juego (0, full pace, for one that is not there).
static int indice_ritmo(int ritmo)
{
    for (int i = 0; i < RITMOS; i++)
        if (ritmos_de_juego[i] == ritmo)
            return i;
    return 0;
}

// Moves a value one step within lo..hi.
static int paso(int v, int d, int lo, int hi)
{
    v += d;
    return v < lo ? lo : v > hi ? hi : v;
}

int opciones_tecla(int linea, int scan)
{
    int d = scan == KEY_RIGHT ? 1 : scan == KEY_LEFT ? -1 : 0;
    if (scan == KEY_UP)
        return linea == 0 ? OP_LINEAS - 1 : linea - 1;
    if (scan == KEY_DOWN)
        return linea == OP_LINEAS - 1 ? 0 : linea + 1;
    if (scan == KEY_ESC || (scan == KEY_ENTER && linea == OP_VOLVER))
        return OPCIONES_FIN;
    if (linea == OP_MUSICA && d)
        vol_musica = paso(vol_musica, d, 0, VOL_PASOS);
    else if (linea == OP_EFECTOS && d)
        vol_efectos = paso(vol_efectos, d, 0, VOL_PASOS);
    else if (linea == OP_ESCALA && d)
        aj_escala = paso(aj_escala, d, ESCALA_AUTO, escala_que_cabe());
    else if (linea == OP_COMPLETA && (d || scan == KEY_ENTER))
        aj_completa = !aj_completa;
    else if (linea == OP_PAUSA && (d || scan == KEY_ENTER))
        aj_pausa_foco = !aj_pausa_foco;
    else if (linea == OP_IDIOMA && (d || scan == KEY_ENTER))
        aj_idioma = (aj_idioma + (d < 0 ? IDIOMAS - 1 : 1)) % IDIOMAS;
    else if (linea == OP_RITMO && d)   // RIGHT is faster: the paces are listed fastest first
        aj_ritmo = ritmos_de_juego[paso(indice_ritmo(aj_ritmo), -d, 0, RITMOS - 1)];
    else if (linea == OP_TECLAS && scan == KEY_ENTER)
        return OPCIONES_TECLAS;
    return linea;
}

// Draws the screen with line marca marked.
static void dibuja_opciones(int marca, const char *ayuda)
{
    char linea[OP_LINEAS][64];
    char escala[8];
    if (aj_escala == ESCALA_AUTO)
        snprintf(escala, sizeof escala, _("AUTO"));
    else
        snprintf(escala, sizeof escala, "%d", aj_escala);
    snprintf(linea[OP_MUSICA], 64, _("VOLUMEN MUSICA  %d"), vol_musica);
    snprintf(linea[OP_EFECTOS], 64, _("VOLUMEN EFECTOS  %d"), vol_efectos);
    snprintf(linea[OP_ESCALA], 64, _("ESCALA  %s"), escala);
    snprintf(linea[OP_COMPLETA], 64, _("PANTALLA COMPLETA  %s"), aj_completa ? _("SI") : _("NO"));
    snprintf(linea[OP_PAUSA], 64, _("PAUSA AL SALIR  %s"), aj_pausa_foco ? _("SI") : _("NO"));
    snprintf(linea[OP_TECLAS], 64, _("TECLAS  %s %s %s"), tecla_visible(tecla_accion[ACC_ARRIBA]),
             tecla_visible(tecla_accion[ACC_ABAJO]), tecla_visible(tecla_accion[ACC_PAUSA]));
    snprintf(linea[OP_IDIOMA], 64, _("IDIOMA  %s"), NOMBRE_IDIOMA[aj_idioma]);
    snprintf(linea[OP_RITMO], 64, _("RITMO  %d %%"), aj_ritmo);
    snprintf(linea[OP_VOLVER], 64, _("VOLVER"));
    linea_abierta = marca;
    ayuda_abierta = ayuda;
    clear(active_page);
    textprintf_centre_ex(active_page, font, OP_X, OP_TITULO_Y, COL_PROPIO, bg, _("OPCIONES"));
    for (int i = 0; i < OP_LINEAS; i++)
        textprintf_centre_ex(active_page, font, OP_X, OP_Y + OP_PASO * i, i == marca ? COL_PROPIO : COL_BLANCO, bg,
                             "%s", linea[i]);
    if (!ayuda && marca == OP_PAUSA)
        ayuda = _("PAUSA SI OTRA VENTANA TOMA EL TECLADO");
    if (!ayuda && marca == OP_IDIOMA)   // the game changes at once, the editor reads it when it starts
        ayuda = _("CAMBIA YA; EN EL EDITOR AL ABRIRLO");
    if (!ayuda && marca == OP_RITMO)
        ayuda = _("MAS LENTO NO ENTRA EN LOS RECORDS");
    if (!ayuda && !hay_digital)   // the volumes are kept, but nothing is heard
        ayuda = _("NO HAY DISPOSITIVO DE SONIDO");
    if (ayuda)
        textprintf_centre_ex(active_page, font2, OP_X, OP_AYUDA_Y, COL_BLANCO, bg, "%s", ayuda);
}

// Next key from the player, or ESC once the window was closed.
static int tecla_siguiente()
{
    clear_keybuf();
    return cambnib == EST_SALIR ? KEY_ESC : lee_tecla() >> 8;
}

void redefine_teclas()
{
    static const char *pide[ACCIONES] = {N_("APRETA LA TECLA PARA SUBIR"), N_("APRETA LA TECLA PARA BAJAR"),
                                         _("APRETA LA TECLA DE PAUSA")};
    pon_ayuda(&AYUDA_TECLA_NUEVA);
    for (int i = 0; i < ACCIONES && cambnib != EST_SALIR; i++) {
        dibuja_opciones(OP_TECLAS, _(pide[i]));
        int scan;
        while ((scan = tecla_siguiente()) != KEY_ESC && !asigna_tecla(i, scan))
            dibuja_opciones(OP_TECLAS, _("ESA TECLA NO SE PUEDE USAR"));
    }
    pon_ayuda(&AYUDA_OPCIONES);
}

// Makes a changed setting heard or seen at once, and keeps it in the settings file.
static void aplica_cambio(int linea)
{
    if (linea == OP_MUSICA)
        reaplica_musica();
    else if (linea == OP_EFECTOS)
        suena_efecto(sample[SND_BOLSA], VOL_PRUEBA, PAN_CENTRO, FRECUENCIA, 0);
    else if ((linea == OP_ESCALA || linea == OP_COMPLETA) && aplica_pantalla)
        aplica_pantalla();
    else if (linea == OP_IDIOMA) {
        pon_idioma(aj_idioma, carpeta_catalogo());
        imagenes_del_idioma();   // the title pictures' lettering too
    }
    guarda_ajustes(ruta_ajustes());
}

void f11_hecho()
{
    if (aj_completa == completa)
        return;
    aj_completa = completa;
    guarda_ajustes(ruta_ajustes());
    if (linea_abierta >= 0)
        dibuja_opciones(linea_abierta, ayuda_abierta);
}

void opciones()
{
    int linea = OP_MUSICA;
    pon_ayuda(&AYUDA_OPCIONES);
    play_midi(music2, 1);   // the title tune, so that the music volume is heard while it changes
    pon_volumen_midi(VOL_MIDI_LLENO);
    set_palette(the_palette);
    for (;;) {
        dibuja_opciones(linea, NULL);
        // By line: what a key may change there (the pause and the pace are only kept).
        int antes[OP_LINEAS] = {vol_musica, vol_efectos, aj_escala, aj_completa, 0, aj_pausa_foco, aj_ritmo, aj_idioma, 0};
        int scan = tecla_siguiente();
        atiende_mudo();
        int nueva = opciones_tecla(linea, scan);
        if (nueva == OPCIONES_FIN || cambnib == EST_SALIR)
            break;
        if (nueva == OPCIONES_TECLAS) {
            redefine_teclas();
            guarda_ajustes(ruta_ajustes());
            continue;
        }
        int despues[OP_LINEAS] = {vol_musica, vol_efectos, aj_escala, aj_completa, 0, aj_pausa_foco, aj_ritmo, aj_idioma, 0};
        for (int i = 0; i < OP_LINEAS; i++)
            if (antes[i] != despues[i])
                aplica_cambio(i);
        linea = nueva;
    }
    linea_abierta = -1;
    stop_midi();
    // The key that closed the screen must not act on the title when it comes back.
    while ((key[KEY_ESC] || key[KEY_ENTER]) && !salir)
        reposa();
    clear_keybuf();
}
