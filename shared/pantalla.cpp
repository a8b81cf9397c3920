// pantalla: the scaled presentation of the 320x240 page, the screen modes and F11,
// the library's start-up with retries, and the prompt end on signals.
#include "shared/pantalla.h"

#include "shared/ayuda.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include "shared/carga.h"
#include "shared/mando.h"
#include "shared/ritmo.h"
#include "shared/idioma.h"

int escala = 1;
int escala_pedida;
int completa;
int f11_permitido = 1;
int presenta_x, presenta_y;
BITMAP *lienzo;
BITMAP *presenta_destino;
volatile int senal_fin;
void (*pide_fin)();
void (*tras_f11)();

// Tries the library's start-up once with the display's driver.
static int intento_real()
{
    return install_allegro(SYSTEM_AUTODETECT, &errno, atexit);
}

int (*intenta_sistema)() = intento_real;

// The scaled page (320*escala x 240*escala) and the copy of the page last presented.
static BITMAP *grande;
static BITMAP *visto;
static bool todo_pendiente = true;       // the next present redraws everything
static volatile int f11_pedido;          // F11 pressed, not yet handled (set on the keyboard thread)
static void (*cierre_cb)();              // the close-button callback, put back after a mode change
static const char *programa_actual = ""; // name for the messages
static const char *titulo_actual = "";   // window title, put back after a mode change

// Share of the desktop a window may take by default: nine tenths, as a fraction.
enum { DEFECTO_NUM = 9, DEFECTO_DEN = 10 };
enum { TECLA_ESC = (KEY_ESC << 8) | 27 };
// The longest sleep of a key wait, microseconds: a key, a tick or a mouse event wakes it sooner.
static const long long ESPERA_TECLA_US = 50000;
// After a signal, the time the program has to end by itself before it is ended, microseconds.
static const long PLAZO_FIN_US = 700000;

int escala_defecto(int dw, int dh)
{
    int n = ESCALA_MAX;
    while (n > ESCALA_MIN &&
           (LIENZO_W * n * DEFECTO_DEN > dw * DEFECTO_NUM || LIENZO_H * n * DEFECTO_DEN > dh * DEFECTO_NUM))
        n--;
    return n;
}

int escala_completa(int dw, int dh)
{
    int n = ESCALA_MAX;
    while (n > ESCALA_MIN && (LIENZO_W * n > dw || LIENZO_H * n > dh))
        n--;
    return n;
}

int valor_escala(const char *valor, const char *programa)
{
    char *fin = NULL;
    long n = valor ? strtol(valor, &fin, 10) : 0;
    bool numero = valor && *valor && *fin == '\0';
    if (numero && n >= ESCALA_MIN && n <= ESCALA_MAX)
        return (int)n;
    if (!valor)
        fprintf(stderr, _("%s: -escala necesita un numero de %d a %d; se usa la escala automatica\n"), programa,
                ESCALA_MIN, ESCALA_MAX);
    else
        fprintf(stderr, _("%s: -escala %s %s (debe ser de %d a %d); se usa la escala automatica\n"), programa, valor,
                numero ? _("esta fuera de rango") : _("no es un numero"), ESCALA_MIN, ESCALA_MAX);
    return 0;
}

const char *valor_opcion(int argc, char **argv, int *i)
{
    if (*i + 1 >= argc)
        return NULL;
    const char *v = argv[*i + 1];
    if (v[0] == '-' && !(v[1] >= '0' && v[1] <= '9'))
        return NULL;
    ++*i;
    return v;
}

// One page row enlarged n times across (n known at compile time, so the stores unroll).
template <int N>
static void ensancha(const unsigned char *src, unsigned char *dst)
{
    for (int x = 0; x < LIENZO_W; x++, dst += N) {
        unsigned char c = src[x];
        for (int i = 0; i < N; i++)
            dst[i] = c;
    }
}

// A row at x1: a plain copy.
template <>
void ensancha<1>(const unsigned char *src, unsigned char *dst)
{
    memcpy(dst, src, LIENZO_W);
}

// Rows at x2, x4 and x8: one store of the pixel repeated across 2, 4 or 8 bytes.
template <typename T>
static void ensancha_palabra(const unsigned char *src, unsigned char *dst)
{
    const T unos = (T)0x0101010101010101ULL;
    for (int x = 0; x < LIENZO_W; x++, dst += sizeof(T)) {
        T v = (T)(src[x] * unos);
        memcpy(dst, &v, sizeof v);
    }
}

// A row at x3: four pixels at a time, their twelve bytes in one 64-bit and one 32-bit store.
static void ensancha3(const unsigned char *src, unsigned char *dst)
{
    for (int x = 0; x < LIENZO_W; x += 4, src += 4, dst += 12) {
        uint64_t a = src[0] * 0x0000000000010101ULL | src[1] * 0x0000010101000000ULL |
                     src[2] * 0x0101000000000000ULL;
        uint32_t b = src[2] | src[3] * 0x01010100u;
        memcpy(dst, &a, sizeof a);
        memcpy(dst + sizeof a, &b, sizeof b);
    }
}

// The row enlargers by scale.
static void (*const ensanchador[ESCALA_MAX + 1])(const unsigned char *, unsigned char *) = {
    NULL, ensancha<1>, ensancha_palabra<uint16_t>, ensancha3, ensancha_palabra<uint32_t>,
    ensancha<5>, ensancha<6>, ensancha<7>, ensancha_palabra<uint64_t>};

void escala_pagina(BITMAP *pagina, BITMAP *destino, int n, int x0, int y0, int fila0, int fila1)
{
    for (int y = fila0; y <= fila1; y++) {
        unsigned char *dst = destino->line[y0 + y * n] + x0;
        ensanchador[n](pagina->line[y], dst);
        for (int r = 1; r < n; r++)
            memcpy(destino->line[y0 + y * n + r] + x0, dst, LIENZO_W * n);
    }
}

// Sleeps the given nanoseconds (also where the library has no timer).
static void duerme(long ns)
{
    timespec t = {ns / 1000000000L, ns % 1000000000L};
    nanosleep(&t, NULL);
}

bool arranca_sistema(const char *programa, const char *orden)
{
    // A start right after another window closed on the same server can fail once with an empty error.
    for (int i = 0; i < ARRANQUE_INTENTOS; i++) {
        if (i > 0)
            duerme(ARRANQUE_PAUSA_MS * 1000000L);
        if (intenta_sistema() == 0)
            return true;
    }
    const char *d = getenv("DISPLAY");
    const char *causa = allegro_error[0] ? allegro_error : _("la biblioteca no dio la causa");
    if (d && *d)
        fprintf(stderr, _("%s: no hay pantalla grafica en DISPLAY=%s (%s)\n"), programa, d, causa);
    else
        fprintf(stderr, _("%s: no hay pantalla grafica: DISPLAY no esta definido (%s). Pruebe con: xvfb-run -a %s\n"),
                programa, causa, orden);
    return false;
}

static int (*filtro_previo)(int);   // the program's own keyboard filter, run after this one
static void (*bajo_previo)(int);    // the program's own low-level keyboard callback, run before this one

// Filters the keyboard: F11 asks for a change of mode, F1 for the help card; neither reaches the
// key buffer.
static int filtra_tecla(int k)
{
    if ((k >> 8) == KEY_F11) {
        if (f11_permitido)
            f11_pedido = 1;
        return 0;
    }
    if ((k >> 8) == KEY_F1) {
        ayuda_pedida = 1;
        return 0;
    }
    return filtro_previo ? filtro_previo(k) : k;
}

// Every press and release: the program's own callback, then the waits are woken (a held-key wait
// sees key[] already changed).
static void tecla_cambia(int scan)
{
    if (bajo_previo)
        bajo_previo(scan);
    ritmo_despierta();
}

// Puts the F11 filter in front of the program's own keyboard filter and the waits' wake-up behind
// its low-level callback (again after a reinstall).
static void pon_filtro()
{
    if (keyboard_callback != filtra_tecla) {
        filtro_previo = keyboard_callback;
        keyboard_callback = filtra_tecla;
    }
    if (keyboard_lowlevel_callback != tecla_cambia) {
        bajo_previo = keyboard_lowlevel_callback;
        keyboard_lowlevel_callback = tecla_cambia;
    }
}

// The palette index nearest black in the current palette, entry 0 included (the library's own
// search passes it over): the colour of the full screen's borders.
static int indice_negro()
{
    PALETTE pal;
    get_palette(pal);
    int mejor = 0, menor = INT_MAX;
    for (int i = 0; i < PAL_SIZE && menor > 0; i++) {
        int d = pal[i].r * pal[i].r + pal[i].g * pal[i].g + pal[i].b * pal[i].b;
        if (d < menor)
            menor = d, mejor = i;
    }
    return mejor;
}

// (Re)makes the scaled page and the presented copy for the current scale; false without memory.
static bool prepara_paginas()
{
    if (grande)
        destroy_bitmap(grande);
    grande = create_bitmap_ex(8, LIENZO_W * escala, LIENZO_H * escala);
    if (!visto)
        visto = create_bitmap_ex(8, LIENZO_W, LIENZO_H);
    if (!lienzo) {
        lienzo = create_bitmap_ex(8, LIENZO_W, LIENZO_H);
        if (lienzo)
            clear_bitmap(lienzo);
    }
    presenta_todo();
    return grande && visto && lienzo;
}

bool prepara_lienzo(int n, int x0, int y0)
{
    escala = n;
    presenta_x = x0;
    presenta_y = y0;
    return prepara_paginas();
}

void libera_paginas()
{
    BITMAP **b[] = {&grande, &visto, &lienzo};
    for (BITMAP **p : b) {
        if (*p)
            destroy_bitmap(*p);
        *p = NULL;
    }
}

// Sets one mode: full screen at the desktop's size, or a window of scale n. True when it was set.
static bool pon_modo(bool llena, int n, int dw, int dh)
{
    int w = llena ? dw : LIENZO_W * n, h = llena ? dh : LIENZO_H * n;
    if (w <= 0 || h <= 0)
        return false;
    set_color_depth(8);
    if (set_gfx_mode(llena ? GFX_AUTODETECT_FULLSCREEN : GFX_AUTODETECT_WINDOWED, w, h, 0, 0) != 0)
        return false;
    escala = llena ? escala_completa(SCREEN_W, SCREEN_H) : n;
    completa = llena ? 1 : 0;
    presenta_x = (SCREEN_W - LIENZO_W * escala) / 2;
    presenta_y = (SCREEN_H - LIENZO_H * escala) / 2;
    return true;
}

// The scale of a window: the forced one (with a notice when it does not fit the desktop) or the default.
static int escala_ventana(int dw, int dh)
{
    if (!escala_pedida)
        return escala_defecto(dw, dh);
    if (dw > 0 && (LIENZO_W * escala_pedida > dw || LIENZO_H * escala_pedida > dh))
        fprintf(stderr, _("%s: -escala %d da una ventana de %dx%d, mayor que el escritorio (%dx%d); se usa igual\n"),
                programa_actual, escala_pedida, LIENZO_W * escala_pedida, LIENZO_H * escala_pedida, dw, dh);
    return escala_pedida;
}

// Sets a window at scale n, else at scale 1; false when no window could be opened.
static bool pon_ventana(int n, int dw, int dh)
{
    if (pon_modo(false, n, dw, dh))
        return true;
    if (n == 1)
        return false;
    fprintf(stderr, _("%s: no se pudo abrir la ventana de %dx%d (%s); se usa 320x240\n"), programa_actual,
            LIENZO_W * n, LIENZO_H * n, allegro_error);
    return pon_modo(false, 1, dw, dh);
}

void abre_pantalla(int *card, const char *programa, const char *titulo)
{
    programa_actual = programa;
    titulo_actual = titulo;
    int dw = 0, dh = 0;
    if (get_desktop_resolution(&dw, &dh) != 0)
        dw = dh = 0;
    request_refresh_rate(75);
    bool hecho = false;
    if (*card == GFX_AUTODETECT_FULLSCREEN) {
        hecho = pon_modo(true, 0, dw, dh);
        if (!hecho) {
            fprintf(stderr, _("%s: no se pudo usar la pantalla completa (%s); se usa una ventana\n"), programa,
                    dw > 0 ? allegro_error : _("no se conoce el tamano del escritorio"));
            *card = GFX_AUTODETECT_WINDOWED;
        }
    }
    if (!hecho && !pon_ventana(escala_ventana(dw, dh), dw, dh)) {
        char msg[256];
        snprintf(msg, sizeof msg, _("no se pudo abrir la ventana de 320x240 en 256 colores (%s)"), allegro_error);
        aborta_programa(programa, msg);
    }
    if (!prepara_paginas())
        aborta_programa(programa, _("sin memoria para la pantalla"));
    set_window_title(titulo);
    pon_filtro();
}

void pon_cierre(void (*cb)())
{
    cierre_cb = cb;
    set_close_button_callback(cb);
}

void cambia_modo(bool a_llena)
{
    if (!screen || !lienzo || presenta_destino)
        return;   // no mode yet, or the triple-buffered pages are on view
    PALETTE pal;
    get_palette(pal);
    int dw = 0, dh = 0;
    if (get_desktop_resolution(&dw, &dh) != 0)
        dw = dh = 0;
    int n_antes = escala;
    bool antes_llena = completa;
    if (!pon_modo(a_llena, escala_ventana(dw, dh), dw, dh)) {
        fprintf(stderr, _("%s: no se pudo cambiar a %s (%s)\n"), programa_actual,
                a_llena ? _("pantalla completa") : _("ventana"), allegro_error);
        if (!pon_modo(antes_llena, n_antes, dw, dh) && !pon_ventana(1, dw, dh))
            aborta_programa(programa_actual, _("no se pudo volver a abrir la ventana"));
    }
    if (!prepara_paginas())
        aborta_programa(programa_actual, _("sin memoria para la pantalla"));
    set_palette(pal);
    set_window_title(titulo_actual);
    if (cierre_cb)
        set_close_button_callback(cierre_cb);
}

int pagina_x(int x)
{
    return (x - presenta_x) / (escala > 0 ? escala : 1);
}

int pagina_y(int y)
{
    return (y - presenta_y) / (escala > 0 ? escala : 1);
}

bool reabre_pantalla()
{
    int dw = 0, dh = 0;
    if (get_desktop_resolution(&dw, &dh) != 0)
        dw = dh = 0;
    if (!pon_modo(completa != 0, escala, dw, dh))
        return false;
    if (!prepara_paginas())
        aborta_programa(programa_actual, _("sin memoria para la pantalla"));
    set_window_title(titulo_actual);
    if (cierre_cb)
        set_close_button_callback(cierre_cb);
    return true;
}

void presenta_todo()
{
    todo_pendiente = true;
}

BITMAP *lienzo_o_pantalla()
{
    return lienzo ? lienzo : screen;
}

// Brings the screen up to date with lienzo: the band of rows that changed.
static void presenta_cambios()
{
    if (f11_pedido) {
        f11_pedido = 0;
        cambia_modo(!completa);
        if (tras_f11)
            tras_f11();   // the program's setting follows (and may redraw the page before it is shown)
    }
    BITMAP *dst = presenta_destino ? presenta_destino : screen;
    if (!lienzo || !dst || !grande || !visto)
        return;
    int f0 = 0, f1 = LIENZO_H - 1;
    if (!todo_pendiente) {
        while (f0 < LIENZO_H && memcmp(lienzo->line[f0], visto->line[f0], LIENZO_W) == 0)
            f0++;
        if (f0 == LIENZO_H)
            return;   // nothing changed since the last present
        while (f1 > f0 && memcmp(lienzo->line[f1], visto->line[f1], LIENZO_W) == 0)
            f1--;
    } else if (completa || presenta_x || presenta_y) {
        clear_to_color(dst, indice_negro());
    }
    todo_pendiente = false;
    // The band of changed rows goes straight to an X window; elsewhere it is enlarged off screen and
    // copied in one blit: the screen's driver converts and sends what a drawing call changes, and only then.
    int h = (f1 - f0 + 1) * escala;
    if (presenta_destino || !pantalla_x_muestra(lienzo, escala, presenta_x, presenta_y, f0, f1)) {
        escala_pagina(lienzo, grande, escala, 0, 0, f0, f1);
        blit(grande, dst, 0, f0 * escala, presenta_x, presenta_y + f0 * escala, LIENZO_W * escala, h);
    }
    for (int y = f0; y <= f1; y++)
        memcpy(visto->line[y], lienzo->line[y], LIENZO_W);
}

void presenta()
{
    presenta_cambios();
    // The X driver only queues the picture: sent now, it is on view at the next refresh.
    pantalla_envia();
}

void presenta_pagina(BITMAP *pagina, BITMAP *destino)
{
    if (!grande)
        return;
    escala_pagina(pagina, grande, escala, 0, 0, 0, LIENZO_H - 1);
    blit(grande, destino, 0, 0, presenta_x, presenta_y, LIENZO_W * escala, LIENZO_H * escala);
}

void atiende()
{
    if (lienzo)
        pon_filtro();
    presenta();
    mando_actualiza();
    atiende_ayuda();
}

int espera_tecla_lista()
{
    static unsigned vuelta;   // wake-ups seen when the last sleep ended: anything since ends the next at once
    for (;;) {
        atiende();
        if (keypressed())
            return readkey();
        if (senal_fin)
            return TECLA_ESC;
        vuelta = ritmo_espera(vuelta, ESPERA_TECLA_US);
    }
}

// A signal that asks to end: the program's quit state now, and a forced end if that takes too long.
static void al_recibir_senal(int sig)
{
    if (!senal_fin) {
        senal_fin = sig;
        itimerval t = {{0, 0}, {0, PLAZO_FIN_US}};
        setitimer(ITIMER_REAL, &t, NULL);
    }
    if (pide_fin)
        pide_fin();
}

// The forced end after a signal: no library shutdown, which may wait on a display that is gone.
static void al_vencer_plazo(int)
{
    _exit(128 + (senal_fin ? senal_fin : SIGALRM));
}

void pone_fin_limpio(const char *programa)
{
    programa_actual = programa;
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sigemptyset(&sa.sa_mask);
    sa.sa_handler = al_recibir_senal;
    sigaction(SIGTERM, &sa, NULL);
    sigaction(SIGINT, &sa, NULL);
    sigaction(SIGHUP, &sa, NULL);
    sa.sa_handler = al_vencer_plazo;
    sigaction(SIGALRM, &sa, NULL);
    pone_fin_x(programa);
}
