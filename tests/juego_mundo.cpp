// Helpers of the play tests.
#include "juego_mundo.h"

#include <chrono>
#include <cstring>

#include "game/utilfun.h"

namespace mundo {

int color_bloque(int t, int px, int py)
{
    return 1 + (t * 32 + px + 3 * py) % 254;
}

int color_sprite(int i)
{
    return 200 + i;
}

// Size of sprite i, as cut from the sheet.
static void tam_sprite(int i, int *w, int *h)
{
    if (i < 8) { *w = 37; *h = 72; }
    else if (i < 13) { *w = 46; *h = 36; }
    else if (i < 17) { *w = 70; *h = 72; }
    else { *w = 50; *h = 122; }
}

static BITMAP *pagina(BITMAP *b, int w, int h)
{
    if (!b)
        b = create_bitmap(w, h);
    clear_to_color(b, 0);
    return b;
}

void monta(int hz)
{
    for (int t = 0; t < NUM_TILES; t++) {
        if (!tile[t])
            tile[t] = create_bitmap(BLOQUE_W, BLOQUE_H);
        for (int py = 0; py < BLOQUE_H; py++)
            for (int px = 0; px < BLOQUE_W; px++)
                putpixel(tile[t], px, py, color_bloque(t, px, py));
    }
    for (int i = 0; i < NUM_SPRITES; i++) {
        int w, h;
        tam_sprite(i, &w, &h);
        if (!sprite[i])
            sprite[i] = create_bitmap(w, h);
        clear_to_color(sprite[i], color_sprite(i));
    }
    hud = pagina(hud, PANTALLA_W, PANTALLA_H - HUD_Y);
    clear_to_color(hud, COLOR_HUD);
    scroll = pagina(scroll, 2 * PANTALLA_W, CAMPO_H);
    proximo_bloque = pagina(proximo_bloque, BLOQUE_W, CAMPO_H);
    pvirtual = pagina(pvirtual, PANTALLA_W, PANTALLA_H);
    static BITMAP *vista = nullptr;
    vista = pagina(vista, PANTALLA_W, PANTALLA_H);
    active_page = pvirtual;
    actual_page = vista;
    font2 = font;
    reserva_enemigos();
    memset(enemi, 0, ENE_BYTES);
    for (int c = 0; c < MAPA_COLS; c++)
        for (int r = 0; r < MAPA_FILAS; r++)
            mapa[c][r] = (unsigned char)((c * 3 + r) % NUM_TILES);
    multi = 1;
    suelta_teclas();

    max_fps = hz;
    animcon = escala_tiempo(hz);
    tick = 0;
    mensaje = 0;
    salir = 0;
    sobscro = 0.0f;
    s = 0;
    pan = 0;
    sang = 0;
    fuego = 0.0f;
    puntos = 0;
    nivel = 1;
    niveles = 3;
    bvid = 1;
    cammov = 2;
    for (int i = 0; i < SLOTS_SANGRE; i++)
        sanani[i] = Salpicadura{0.0f, 0, 0.0f};
    vidas = 5;
    nscr3 = 4.0f;
}

void empieza(float velocidad)
{
    nscro = velocidad;
    prepara_nivel();
}

void enemigo(int i, int col, int fila, int tipo)
{
    ene_pon(i, col, BLOQUE_H * fila, tipo);
}

int posicion()
{
    return MAPA_COLS * BLOQUE_W * scr5 + scr1;
}

void suelta_teclas()
{
    for (int k = 0; k < KEY_MAX; k++)
        key[k] = 0;
}

void logica(int n)
{
    for (int i = 0; i < n; i++) {
        tick = tick + 1;
        act_logica();
    }
}

int tinta(BITMAP *bmp, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int yy = y0; yy < y1; yy++)
        for (int xx = x0; xx < x1; xx++)
            n += getpixel(bmp, xx, yy) != 0;
    return n;
}

Reloj::Reloj(int micro)
{
    hilo = std::thread([this, micro] {
        while (sigue) {
            std::this_thread::sleep_for(std::chrono::microseconds(micro));
            tick = tick + 1;
            cuenta++;
        }
    });
}

void Reloj::para()
{
    sigue = false;
    if (hilo.joinable())
        hilo.join();
}

Reloj::~Reloj()
{
    para();
}

}  // namespace mundo
