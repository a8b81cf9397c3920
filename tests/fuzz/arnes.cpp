// arnes: headless play for the fuzz targets and the soak.
#include "tests/fuzz/arnes.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "game/main.h"
#include "game/repeticion_juego.h"
#include "game/utilfun.h"

namespace arnes {

void exige(bool cond, const char *que)
{
    if (!cond) {
        fprintf(stderr, "arnes: falla: %s\n", que);
        abort();
    }
}

std::string carpeta_rapida()
{
    std::string d = access("/dev/shm", W_OK) == 0 ? "/dev/shm/korvXXXXXX" : "/tmp/korvXXXXXX";
    exige(mkdtemp(&d[0]) != NULL, "carpeta de trabajo");
    return d;
}

void escribe(const std::string &ruta, const void *p, size_t n, const char *antes)
{
    FILE *f = fopen(ruta.c_str(), "wb");
    exige(f && fputs(antes, f) >= 0 && fwrite(p, 1, n, f) == n && fclose(f) == 0, "archivo de trabajo");
}

static BITMAP *hace(int w, int h, int color)
{
    BITMAP *b = create_bitmap(w, h);
    exige(b != NULL, "memoria");
    clear_to_color(b, color);
    return b;
}

void monta(bool rapido)
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(8);
    for (int t = 0; t < NUM_TILES; t++)
        tile[t] = hace(BLOQUE_W, BLOQUE_H, 1 + t);
    for (int i = 0; i < NUM_SPRITES; i++)
        sprite[i] = hace(i < 8 ? 37 : 70, i < 17 ? 72 : 122, 100 + i);
    hud = hace(PANTALLA_W, PANTALLA_H - HUD_Y, 7);
    scroll = hace(2 * PANTALLA_W, CAMPO_H, 0);
    proximo_bloque = hace(BLOQUE_W, CAMPO_H, 0);
    active_page = pvirtual = hace(PANTALLA_W, PANTALLA_H, 0);
    actual_page = hace(PANTALLA_W, PANTALLA_H, 0);
    font2 = font;
    if (rapido)
        set_clip_rect(scroll, 0, 0, -1, -1);
    exige(reserva_enemigos() != NULL, "tabla de enemigos");
}

// The bounds every tick of play keeps.
static void revisa()
{
    exige(spr_cant >= 0 && spr_cant <= MAX_SPRITE_DIV, "lista de enemigos");
    for (int i = 0; i < spr_cant; i++)
        exige(sprite_div[i][0] >= 0 && sprite_div[i][0] < TIPO_MAX && sprite_div[i][2] > -40 &&
                  sprite_div[i][2] < PANTALLA_W, "enemigo en pantalla");
    float paso = 2.0f * animcon + 0.01f;   // a lane change reversed on an outer lane may overshoot a step
    exige(y >= 72 - paso && y <= 144 + paso && pos >= 0 && pos <= 3, "camion entre los carriles");
    exige(scr5 >= 0 && scr5 <= PASADAS && scr1 >= 0 && scr1 < MAPA_COLS * BLOQUE_W, "posicion");
    exige(scr2 >= 0 && scr2 <= BLOQUE_W && scr3 >= 0 && scr3 < PANTALLA_W, "tira");
    exige(s >= 0 && s <= 4 && vidas >= 0 && puntos >= 0 && fuego >= 0 && fuego <= 482, "cuadro, vidas, puntos, fuego");
    for (auto &z : sanani)
        exige(z.timer <= 80, "salpicadura");
    exige(cambnib >= EST_JUEGO && cambnib <= EST_GANO, "estado");
}

int juega(int hz, int dif, int ticks, int dibujo, unsigned (*teclas)(void *), void *ctx)
{
    max_fps = hz;
    mundo_empieza_partida();
    animcon = escala_tiempo(hz);
    tick = tick_juego = 0;
    nivel = niveles = 1;
    vidas = dificultades[dif].vidas;
    nscro = velocidad_nivel(dificultades[dif].velocidad, multi, animcon);
    prepara_nivel();
    for (int n = 0; cambnib == EST_JUEGO && (ticks == 0 || n < ticks); n++) {
        exige(n < 400000, "el nivel termina");
        unsigned t = teclas(ctx);
        key[KEY_UP] = t & 1, key[KEY_DOWN] = (t >> 1) & 1, key[KEY_ESC] = (t >> 2) & 1;
        tick = tick + 1;
        act_logica();
        if (n % dibujo == 0)
            act_grafica();
        revisa();
    }
    for (int i = 0; i < ENE_MAX; i++)
        exige(ene_tipo(i) <= TIPO_MAX, "tipos 0..8");
    key[KEY_UP] = key[KEY_DOWN] = key[KEY_ESC] = 0;
    return cambnib;
}

void guarda_y_relee(const std::string &ruta)
{
    static unsigned char m[MAPA_COLS][MAPA_FILAS], e[ENE_BYTES];
    memcpy(m, mapa, sizeof m);
    memcpy(e, enemi, ENE_BYTES);
    unsigned char c = multi;
    exige(GuardaMapa(ruta.c_str()) && CargaMapa(ruta.c_str()), "guardar y leer");
    exige(c == multi && !memcmp(m, mapa, sizeof m) && !memcmp(e, enemi, ENE_BYTES), "lo guardado se lee igual");
}

}  // namespace arnes
