// arnes: headless play for the fuzz targets and the soak run.
#include "arnes.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "game/main.h"
#include "game/utilfun.h"
#include "editor_aparte.h"

namespace arnes {

// Lives and base speed by difficulty, as the game run sets them.
static const int VIDAS[3] = {6, 5, 4};
static const float VELOCIDAD[3] = {3.0f, 4.0f, 5.0f};

enum {
    TECLA_ARRIBA = 1, TECLA_ABAJO = 2, TECLA_ESC = 4,
    TOPE_TICKS = 400000,       // a level that has not ended by then is hung
    CARRIL_ARRIBA = 72, CARRIL_ABAJO = 144,
    FUEGO_TOPE = 482,          // the explosion clock never passes 480 + one tick's step
    SANGRE_TOPE = 80
};

const char *carpeta_rapida()
{
    return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
}

void exige(bool cond, const char *que)
{
    if (cond)
        return;
    fprintf(stderr, "arnes: falla la condicion: %s\n", que);
    abort();
}

// Size of sprite i as the sheet is cut.
static void tam_sprite(int i, int *w, int *h)
{
    if (i < 8) { *w = 37; *h = 72; }
    else if (i < 13) { *w = 46; *h = 36; }
    else if (i < 17) { *w = 70; *h = 72; }
    else { *w = 50; *h = 122; }
}

static BITMAP *hace(BITMAP *b, int w, int h, int color)
{
    if (!b)
        b = create_bitmap(w, h);
    exige(b != NULL, "memoria para los dibujos");
    clear_to_color(b, color);
    return b;
}

void monta(bool rapido)
{
    for (int t = 0; t < NUM_TILES; t++)
        tile[t] = hace(tile[t], BLOQUE_W, BLOQUE_H, 1 + t);
    for (int i = 0; i < NUM_SPRITES; i++) {
        int w, h;
        tam_sprite(i, &w, &h);
        sprite[i] = hace(sprite[i], w, h, 100 + i);
    }
    hud = hace(hud, PANTALLA_W, PANTALLA_H - HUD_Y, 7);
    scroll = hace(scroll, 2 * PANTALLA_W, CAMPO_H, 0);
    proximo_bloque = hace(proximo_bloque, BLOQUE_W, CAMPO_H, 0);
    pvirtual = hace(pvirtual, PANTALLA_W, PANTALLA_H, 0);
    static BITMAP *vista;
    vista = hace(vista, PANTALLA_W, PANTALLA_H, 0);
    active_page = pvirtual;
    actual_page = vista;
    font2 = font;
    // Fast mode: the strip takes no pixels (the blits clip to nothing); the blocks fed into it
    // and every sprite drawn are still looked up from the level's numbers.
    if (rapido)
        set_clip_rect(scroll, 0, 0, -1, -1);
    // The editor's page, for the notice of a save that fails.
    editor::active_page = hace(editor::active_page, PANTALLA_W, PANTALLA_H, 0);
    editor::bg = 0;
    exige(reserva_enemigos() != NULL, "tabla de enemigos");
}

// The bounds every tick of play must keep.
static void revisa_estado()
{
    exige(spr_cant >= 0 && spr_cant <= MAX_SPRITE_DIV, "spr_cant dentro de la lista");
    for (int i = 0; i < spr_cant; i++) {
        exige(sprite_div[i][0] >= 0 && sprite_div[i][0] < TIPO_MAX, "dibujo de enemigo 0..7");
        exige(sprite_div[i][1] >= 20 && sprite_div[i][1] < 20 + CAMPO_H, "y de enemigo en el campo");
        exige(sprite_div[i][2] > -BLOQUE_W - 8 && sprite_div[i][2] < PANTALLA_W, "x de enemigo en pantalla");
    }
    // A lane change reversed on an outer lane may stop one step past its line (the game's rule).
    float paso = 2.0f * animcon + 0.01f;
    exige(y >= CARRIL_ARRIBA - paso && y <= CARRIL_ABAJO + paso, "camion entre los carriles");
    exige(pos >= 0 && pos <= 3 && mov >= 0 && mov <= 2, "carril y cambio validos");
    exige(scr5 >= 0 && scr5 <= PASADAS, "pasadas 0..4");
    exige(scr1 >= 0 && scr1 < MAPA_COLS * BLOQUE_W, "posicion dentro de la pasada");
    exige(scr4 >= 0 && scr4 < PANTALLA_W && scr3 >= 0 && scr3 < PANTALLA_W, "ventana de la tira");
    exige(scr2 >= 0 && scr2 <= BLOQUE_W, "columna del bloque");
    exige(s >= 0 && s <= 4, "cuadro del camion");
    exige(vidas >= 0 && puntos >= 0, "vidas y puntos");
    exige(fuego >= 0.0f && fuego <= FUEGO_TOPE, "reloj de la explosion");
    for (int i = 0; i < SLOTS_SANGRE; i++)
        exige(sanani[i].timer <= SANGRE_TOPE, "reloj de una salpicadura");
    exige(cambnib >= EST_JUEGO && cambnib <= EST_GANO, "estado del programa");
    exige(sprcol >= 0 && sprcol < ENE_MAX, "registro del contacto");
}

// Play changes types only to 0 or 8.
static void revisa_tipos()
{
    for (int i = 0; i < ENE_MAX; i++)
        exige(ene_tipo(i) <= TIPO_MAX, "tipo de enemigo 0..8");
}

Partida juega(int hz, int dif, int pasada, int columna, int max_ticks, int dibujo,
              unsigned (*teclas)(void *ctx), void *ctx)
{
    Partida r;
    for (int k2 = 0; k2 < KEY_MAX; k2++)
        key[k2] = 0;
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
    niveles = 1;
    bvid = 1;
    cammov = 2;
    sprcol = 0;
    for (int i = 0; i < SLOTS_SANGRE; i++)
        sanani[i] = Salpicadura{0.0f, 0, 0.0f};
    difi = dif;
    vidas = VIDAS[dif];
    nscr3 = VELOCIDAD[dif];
    nscro = velocidad_nivel(nscr3, multi, animcon);
    prepara_nivel();
    // Start further down the road: a whole block, so the strip is fed as in play.
    if (pasada > 0 || columna > 0) {
        scr5 = pasada;
        scr1 = columna * BLOQUE_W;
        scr2 = BLOQUE_W;
        enemivieja(0);
    }
    revisa_estado();
    int tope = max_ticks > 0 ? max_ticks : TOPE_TICKS;
    while (cambnib == EST_JUEGO && r.ticks < tope) {
        unsigned t = teclas ? teclas(ctx) : 0;
        key[KEY_UP] = (t & TECLA_ARRIBA) ? 1 : 0;
        key[KEY_DOWN] = (t & TECLA_ABAJO) ? 1 : 0;
        key[KEY_ESC] = (t & TECLA_ESC) ? 1 : 0;
        int puntos0 = puntos;
        bool fuego0 = fuego > 0.0f;
        tick = tick + 1;
        act_logica();
        // A contact scores (pedestrian, bag) or lights the explosion.
        if (puntos != puntos0 || (!fuego0 && fuego > 0.0f))
            r.contactos++;
        if (dibujo > 0 && r.ticks % dibujo == 0)
            act_grafica();
        r.ticks++;
        revisa_estado();
    }
    exige(max_ticks > 0 || cambnib != EST_JUEGO, "el nivel termina");
    revisa_tipos();
    act_grafica();
    r.estado = cambnib;
    r.puntos = puntos;
    for (int k2 = 0; k2 < KEY_MAX; k2++)
        key[k2] = 0;
    return r;
}

// A saved level file: 2801 bytes, blocks 0..39, records packed by row then column, types 1..7.
static void revisa_archivo(const std::vector<unsigned char> &f)
{
    exige(f.size() == (size_t)NIVEL_BYTES, "un nivel guardado mide 2801 bytes");
    for (int i = 0; i < MAPA_BYTES; i++)
        exige(f[1 + i] < NUM_TILES, "bloques guardados 0..39");
    const unsigned char *e = f.data() + 1 + MAPA_BYTES;
    bool fin = false;
    long previo = -1;
    for (int i = 0; i < ENE_MAX; i++) {
        const unsigned char *r = e + i * ENE_REG;
        int col = r[0] | (r[1] << 8), fila = r[2], tipo = r[3];
        if (tipo == 0) {
            exige(col == 0 && fila == 0, "registro vacio todo en cero");
            fin = true;
            continue;
        }
        exige(!fin, "sin huecos entre los enemigos guardados");
        exige(tipo < TIPO_MAX, "ningun resto guardado");
        exige(col < ENE_COLS && fila % BLOQUE_H == 0 && fila / BLOQUE_H < MAPA_FILAS, "celda valida");
        long orden = (long)(fila / BLOQUE_H) * ENE_COLS + col;
        exige(orden > previo, "enemigos por fila y luego columna, sin repetir celda");
        previo = orden;
    }
}

static std::vector<unsigned char> lee(const std::string &ruta)
{
    std::vector<unsigned char> v;
    FILE *f = fopen(ruta.c_str(), "rb");
    if (!f)
        return v;
    unsigned char b[4096];
    size_t n;
    while ((n = fread(b, 1, sizeof b, f)) > 0)
        v.insert(v.end(), b, b + n);
    fclose(f);
    return v;
}

void guarda_y_relee(const std::string &ruta)
{
    static unsigned char grid[ENE_COLS][MAPA_FILAS];
    // The editor opens the level: its grid from the table, remains dropped by the save.
    editor::cargamatrizene();
    int n = editor::cuenta_enemigos();
    exige(n >= 0 && n <= ENE_MAX, "la rejilla cabe en la tabla");
    snprintf(editor::archivo, sizeof editor::archivo, "%s", ruta.c_str());
    exige(editor::gurdarmapa(), "se guarda el nivel");
    memcpy(grid, editor::enemi2, sizeof grid);
    std::vector<unsigned char> uno = lee(ruta);
    revisa_archivo(uno);
    exige(uno[0] == multi, "el codigo de velocidad se guarda tal cual");
    exige(memcmp(uno.data() + 1 + MAPA_BYTES, enemi, ENE_BYTES) == 0, "la tabla en memoria es la guardada");
    int guardados = 0;
    while (guardados < ENE_MAX && uno[1 + MAPA_BYTES + guardados * ENE_REG + 3] != 0)
        guardados++;
    exige(guardados == n, "se guardan todos los enemigos de la rejilla");
    // Loaded again it gives the same grid, and saved again the same bytes.
    exige(CargaMapa(ruta.c_str()), "el nivel guardado se vuelve a leer");
    editor::cargamatrizene();
    exige(memcmp(grid, editor::enemi2, sizeof grid) == 0, "la rejilla sobrevive guardar y leer");
    exige(editor::gurdarmapa(), "se guarda otra vez");
    exige(lee(ruta) == uno, "guardar de nuevo da los mismos bytes");
}

}  // namespace arnes
