// ayuda: the help card F1 shows over the current screen: the keys that work there.
#include "shared/ayuda.h"

#include <cstdio>
#include <cstring>

#include "shared/ajustes.h"
#include "shared/mando.h"
#include "shared/pantalla.h"
#include "shared/ritmo.h"
#include "shared/idioma.h"

const Ayuda *ayuda_actual;
volatile int ayuda_pedida;
int ayuda_diferida;
volatile int *ayuda_reloj;
FONT *ayuda_fuente_titulo;
int ayuda_color_titulo = -1;
FONT *ayuda_fuente_texto;
void (*ayuda_al_cerrar)();

// Card geometry, pixels.
enum {
    CARD_W = 292,         // width of the card
    CARD_MARGEN = 8,      // from the frame to the text
    CARD_HUECO = 8,       // between the keys' column and the meanings'
    CARD_INTERLINEA = 2,  // between two lines of keys
    CARD_SEPARA = 6       // between the heading, the lines and the closing line
};
// Colours asked of the palette in use (0..63 a component): the card's fill, frame and key
// column, the meanings.
static const int FONDO_RGB[3] = {0, 0, 6}, MARCO_RGB[3] = {63, 52, 0}, TEXTO_RGB[3] = {63, 63, 63};
static const char CIERRE[] = N_("CUALQUIER TECLA CIERRA LA AYUDA");
static const long long ESPERA_US = 50000;   // longest sleep between two looks at the keys and the pad

void pon_ayuda(const Ayuda *a)
{
    ayuda_actual = a;
    ayuda_pedida = 0;
}

void texto_tecla(const char *tecla, char *out, int tam)
{
    int n = 0;
    for (const char *p = tecla; *p && n < tam - 1; p++) {
        int accion = p[0] == '@' && p[1] >= '0' && p[1] < '0' + ACCIONES ? p[1] - '0' : -1;
        if (accion < 0) {
            out[n++] = *p;
            continue;
        }
        n += snprintf(out + n, tam - n, "%s", tecla_visible(tecla_accion[accion]));
        if (n > tam - 1)
            n = tam - 1;
        p++;
    }
    out[n] = '\0';
}

int indice_cercano(const RGB *pal, int r, int g, int b)
{
    int mejor = 0, menor = 1 << 30;
    for (int i = 0; i < PAL_SIZE; i++) {
        int dr = pal[i].r - r, dg = pal[i].g - g, db = pal[i].b - b;
        int d = dr * dr + dg * dg + db * db;
        if (d < menor)
            menor = d, mejor = i;
    }
    return mejor;
}

// The entry of the palette in use nearest a colour.
static int cercano(const int rgb[3])
{
    PALETTE pal;
    get_palette(pal);
    return indice_cercano(pal, rgb[0], rgb[1], rgb[2]);
}

bool dibuja_ayuda(BITMAP *hoja, const Ayuda *a)
{
    FONT *ft = ayuda_fuente_titulo ? ayuda_fuente_titulo : font;
    FONT *fx = ayuda_fuente_texto ? ayuda_fuente_texto : font;
    int fondo = cercano(FONDO_RGB), marco = cercano(MARCO_RGB), texto = cercano(TEXTO_RGB);
    int n = a->n < AYUDA_LINEAS_MAX ? a->n : AYUDA_LINEAS_MAX;
    char teclas[AYUDA_LINEAS_MAX][AYUDA_TEXTO_MAX + 1];
    int ancho_tecla = 0;
    for (int i = 0; i < n; i++) {
        texto_tecla(_(a->lineas[i].tecla), teclas[i], sizeof teclas[i]);
        int w = text_length(fx, teclas[i]);
        if (w > ancho_tecla)
            ancho_tecla = w;
    }
    int paso = text_height(fx) + CARD_INTERLINEA;
    int alto = CARD_MARGEN * 2 + text_height(ft) + CARD_SEPARA * 2 + paso * n + text_height(fx);
    int x1 = (hoja->w - CARD_W) / 2, y1 = (hoja->h - alto) / 2;
    int x2 = x1 + CARD_W - 1, y2 = y1 + alto - 1;
    rectfill(hoja, x1, y1, x2, y2, fondo);
    rect(hoja, x1, y1, x2, y2, marco);
    rect(hoja, x1 + 2, y1 + 2, x2 - 2, y2 - 2, marco);
    int y = y1 + CARD_MARGEN;
    textout_centre_ex(hoja, ft, _(a->titulo), hoja->w / 2, y, ayuda_color_titulo, -1);
    y += text_height(ft) + CARD_SEPARA;
    int xt = x1 + CARD_MARGEN + 4, xq = xt + ancho_tecla + CARD_HUECO;
    bool cabe = a->n <= AYUDA_LINEAS_MAX && y1 >= 0 && text_length(fx, _(CIERRE)) <= CARD_W - 2 * CARD_MARGEN;
    for (int i = 0; i < n; i++, y += paso) {
        textout_ex(hoja, fx, teclas[i], xt, y, marco, -1);
        textout_ex(hoja, fx, _(a->lineas[i].que), xq, y, texto, -1);
        cabe = cabe && xq + text_length(fx, _(a->lineas[i].que)) <= x2 - CARD_MARGEN;
    }
    textout_centre_ex(hoja, fx, _(CIERRE), hoja->w / 2, y + CARD_SEPARA - CARD_INTERLINEA, marco, -1);
    return cabe;
}

// True while some key is held down.
static bool alguna_tecla()
{
    for (int i = 1; i < KEY_MAX; i++)
        if (key[i])
            return true;
    return false;
}

// Sleeps, the page kept on view, until a key, the key's release or a signal wakes it; the pad's
// buttons are read as keys.
static void espera_cambio(unsigned *vuelta)
{
    presenta();
    mando_actualiza();
    *vuelta = ritmo_espera(*vuelta, ESPERA_US);
}

void espera_sueltas()
{
    unsigned vuelta = 0;
    while (alguna_tecla() && !senal_fin)
        espera_cambio(&vuelta);
    clear_keybuf();
}

void muestra_ayuda(const Ayuda *a)
{
    BITMAP *hoja = lienzo_o_pantalla();
    BITMAP *debajo = create_bitmap_ex(bitmap_color_depth(hoja), hoja->w, hoja->h);
    if (debajo)
        blit(hoja, debajo, 0, 0, 0, 0, hoja->w, hoja->h);
    int reloj = ayuda_reloj ? *ayuda_reloj : 0;
    dibuja_ayuda(hoja, a);
    unsigned vuelta = 0;
    // A key held when F1 came (an arrow of play) does not close the card: a new press does, F1 too.
    clear_keybuf();
    ayuda_pedida = 0;
    while (!keypressed() && !ayuda_pedida && !senal_fin)
        espera_cambio(&vuelta);
    espera_sueltas();
    ayuda_pedida = 0;
    if (ayuda_al_cerrar)
        ayuda_al_cerrar();
    if (debajo) {
        blit(debajo, hoja, 0, 0, 0, 0, hoja->w, hoja->h);
        destroy_bitmap(debajo);
    }
    presenta();
    if (ayuda_reloj)
        *ayuda_reloj = reloj;
}

bool atiende_ayuda()
{
    if (!ayuda_pedida || ayuda_diferida)
        return false;
    ayuda_pedida = 0;
    if (!ayuda_actual)
        return false;
    muestra_ayuda(ayuda_actual);
    return true;
}
