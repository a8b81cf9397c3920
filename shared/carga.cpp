// carga: loads and frees the sprite sheet, the full-screen pictures and the sounds;
// reads and writes level files.
#include "carga.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

PALETTE the_palette;
BITMAP *tile[NUM_TILES];
BITMAP *sprite[32];
BITMAP *hud;
BITMAP *imagen1, *imagen2, *imagen3;
PALETTE the_palette1, the_palette2, the_palette3;
SAMPLE *sample[SLOTS_SONIDO];
MIDI *music2;

unsigned char multi;
unsigned char mapa[MAPA_COLS][MAPA_FILAS];
unsigned char *enemi;

char carga_fallo[512];

// Sheet geometry: minimum size of "datos/imagen.bmp".
enum { HOJA_W = 320, HOJA_H = 568 };

// One group of equal cells on the sheet: a row (or rows) of cells side by side from x = 0.
struct Corte {
    int y;          // top of the group on the sheet
    int w, h;       // cell size
    int por_fila;   // cells in one row of the group
    int filas;      // rows of cells (each h high)
    BITMAP **dest;  // table that receives the pieces
    int primero;    // first index filled in dest
};

// The sheet's cuts, in the order they are made.
static const Corte cortes[] = {
    {424, 32, 24, 10, 4, tile, 0},      // map blocks 0..39
    {316, 37, 72, 8, 1, sprite, 0},     // enemies, types 1..8
    {388, 46, 36, 5, 1, sprite, 8},     // truck frames 0..4
    {244, 70, 72, 4, 1, sprite, 13},    // blood splash frames 0..3
    {122, 50, 122, 6, 1, sprite, 17},   // explosion frames 0..5
    {0, 50, 122, 6, 1, sprite, 23},     // explosion frames 6..11
    {520, 320, 48, 1, 1, &hud, 0},      // score strip
};

// Records the name of a file that could not be loaded and says so on stderr.
static bool falla(const char *nombre, const char *motivo)
{
    snprintf(carga_fallo, sizeof carga_fallo, "%s", nombre);
    fprintf(stderr, "%s: %s\n", nombre, motivo);
    return false;
}

// Loads one full-screen picture with its palette.
static bool carga_imagen(const char *nombre, BITMAP **dest, PALETTE pal)
{
    *dest = load_bitmap(nombre, pal);
    if (!*dest)
        return falla(nombre, "no se pudo cargar la imagen");
    return true;
}

bool CargarBMP()
{
    carga_fallo[0] = 0;
    const char *hoja_nombre = "datos/imagen.bmp";
    BITMAP *hoja = load_bitmap(hoja_nombre, the_palette);
    if (!hoja)
        return falla(hoja_nombre, "no se pudo cargar la hoja de dibujos");
    if (hoja->w < HOJA_W || hoja->h < HOJA_H) {
        destroy_bitmap(hoja);
        return falla(hoja_nombre, "la hoja de dibujos es menor que 320x568");
    }
    for (const Corte &k : cortes) {
        for (int f = 0; f < k.filas; f++) {
            for (int i = 0; i < k.por_fila; i++) {
                BITMAP *b = create_bitmap(k.w, k.h);
                if (!b) {
                    destroy_bitmap(hoja);
                    return falla(hoja_nombre, "sin memoria para los dibujos");
                }
                blit(hoja, b, k.w * i, k.y + k.h * f, 0, 0, k.w, k.h);
                k.dest[k.primero + f * k.por_fila + i] = b;
            }
        }
    }
    destroy_bitmap(hoja);
    return carga_imagen("datos/lurgo.bmp", &imagen1, the_palette1) &&
           carga_imagen("datos/korvex.bmp", &imagen2, the_palette2) &&
           carga_imagen("datos/gane.bmp", &imagen3, the_palette3);
}

// Destroys a bitmap if present and clears the pointer.
static void libera(BITMAP **b)
{
    if (*b)
        destroy_bitmap(*b);
    *b = NULL;
}

void DestruyeBMP()
{
    for (int i = 0; i < NUM_TILES; i++)
        libera(&tile[i]);
    for (int i = 0; i < NUM_SPRITES; i++)
        libera(&sprite[i]);
    libera(&hud);
    libera(&imagen1);
    libera(&imagen2);
    libera(&imagen3);
}

// Sample files by slot, in loading order.
static const struct { int slot; const char *nombre; } sonidos[] = {
    {SND_EXPLOSION, "datos/explocio.wav"}, {SND_MOTOR, "datos/camio1.wav"},
    {SND_BOLSA, "datos/bolsa.wav"},        {SND_ATROPELLO, "datos/korvpol.wav"},
    {SND_INICIO, "datos/camio2.wav"},      {SND_VIDA, "datos/gold.wav"},
    {SND_FIN_NIVEL, "datos/camio3.wav"},   {SND_GAMEOVER, "datos/gameover.wav"},
};

bool carga_sonidos()
{
    carga_fallo[0] = 0;
    for (const auto &s : sonidos) {
        sample[s.slot] = load_sample(s.nombre);
        if (!sample[s.slot])
            return falla(s.nombre, "no se pudo cargar el sonido");
    }
    music2 = load_midi("datos/fox.mid");
    if (!music2)
        return falla("datos/fox.mid", "no se pudo cargar la musica");
    return true;
}

void DestruyeSonidos()
{
    for (const auto &s : sonidos) {
        if (sample[s.slot])
            destroy_sample(sample[s.slot]);
        sample[s.slot] = NULL;
    }
    if (music2)
        destroy_midi(music2);
    music2 = NULL;
}

// Reads the first 2801 bytes of a level file into buf; false when the file is
// missing, unreadable or shorter (a stderr line says which).
static bool lee_nivel(const char *filename, unsigned char *buf)
{
    FILE *f = fopen(filename, "rb");
    if (!f) {
        fprintf(stderr, "%s: no se pudo abrir el nivel (%s)\n", filename, strerror(errno));
        return false;
    }
    size_t n = fread(buf, 1, NIVEL_BYTES, f);
    bool error = ferror(f);
    fclose(f);
    if (error) {
        fprintf(stderr, "%s: no se pudo leer el nivel\n", filename);
        return false;
    }
    if (n < (size_t)NIVEL_BYTES) {
        fprintf(stderr, "%s: nivel dañado (%u bytes, se esperan %d)\n", filename,
                (unsigned)n, NIVEL_BYTES);
        return false;
    }
    return true;
}

bool NivelValido(const char *filename)
{
    static unsigned char buf[NIVEL_BYTES];
    return lee_nivel(filename, buf);
}

bool CargaMapa(const char *filename)
{
    static unsigned char buf[NIVEL_BYTES];
    if (!enemi || !lee_nivel(filename, buf))
        return false;
    multi = buf[0];
    for (int r = 0; r < MAPA_FILAS; r++)
        for (int c = 0; c < MAPA_COLS; c++) {
            unsigned char v = buf[1 + MAPA_COLS * r + c];
            mapa[c][r] = v < NUM_TILES ? v : 0;   // no block number may index past the table
        }
    memcpy(enemi, buf + 1 + MAPA_BYTES, ENE_BYTES);
    // A record that would point outside the enemy grid or the sprite table is dropped.
    for (int i = 0; i < ENE_MAX; i++)
        if (ene_tipo(i) > TIPO_MAX || ene_fila(i) >= MAPA_FILAS * BLOQUE_H || ene_col(i) >= ENE_COLS)
            ene_pon(i, 0, 0, 0);
    return true;
}

int ArmaEnemigos(unsigned char grid[ENE_COLS][MAPA_FILAS])
{
    int k = 0;
    for (int r = 0; r < MAPA_FILAS; r++)
        for (int c = 0; c < ENE_COLS; c++) {
            if (grid[c][r] == TIPO_MAX)
                grid[c][r] = 0;
            if (grid[c][r] != 0) {
                if (k < ENE_MAX)
                    ene_pon(k, c, BLOQUE_H * r, grid[c][r]);
                k++;
            }
        }
    for (int i = k; i < ENE_MAX; i++)
        ene_pon(i, 0, 0, 0);
    return k;
}

// Writes a whole file through a hidden temporary file in the same folder, flushed to
// disk and renamed over the old one: the old file stays intact if anything fails.
bool escribe_atomico(const char *ruta, const void *datos, size_t n)
{
    std::string r(ruta);
    size_t barra = r.rfind('/');
    std::string dir = barra == std::string::npos ? "" : r.substr(0, barra + 1);
    std::string tmp = dir + ".korvtmpXXXXXX";
    int fd = mkstemp(&tmp[0]);
    if (fd < 0) {
        fprintf(stderr, "%s: no se pudo crear el archivo temporal (%s)\n", ruta, strerror(errno));
        return false;
    }
    mode_t m = umask(0);
    umask(m);
    fchmod(fd, 0666 & ~m);
    const char *p = (const char *)datos;
    size_t hecho = 0;
    bool ok = true;
    while (ok && hecho < n) {
        ssize_t w = write(fd, p + hecho, n - hecho);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            ok = false;
        else
            hecho += (size_t)w;
    }
    int err = ok ? 0 : errno;
    if (ok && fsync(fd) != 0) {
        ok = false;
        err = errno;
    }
    if (close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && rename(tmp.c_str(), ruta) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        unlink(tmp.c_str());
        fprintf(stderr, "%s: no se pudo escribir (%s)\n", ruta, strerror(err ? err : EIO));
    }
    return ok;
}

bool GuardaMapa(const char *filename)
{
    unsigned char buf[NIVEL_BYTES];
    buf[0] = multi;
    for (int r = 0; r < MAPA_FILAS; r++)
        for (int c = 0; c < MAPA_COLS; c++)
            buf[1 + MAPA_COLS * r + c] = mapa[c][r];
    memcpy(buf + 1 + MAPA_BYTES, enemi, ENE_BYTES);
    return escribe_atomico(filename, buf, sizeof buf);
}

unsigned char *reserva_enemigos()
{
    if (!enemi)
        enemi = (unsigned char *)calloc(1, ENE_BYTES);
    return enemi;
}

void aborta_programa(const char *programa, const char *que)
{
    fprintf(stderr, "%s: %s\n", programa, que);
    if (screen)
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("%s: %s\n", programa, que);
    exit(1);
}

// The one screen mode of both programs.
enum { VENTANA_W = 320, VENTANA_H = 240, VENTANA_BITS = 8, HZ_PEDIDO = 75 };

void abre_ventana(int *card, const char *programa)
{
    request_refresh_rate(HZ_PEDIDO);
    set_color_depth(VENTANA_BITS);
    if (set_gfx_mode(*card, VENTANA_W, VENTANA_H, 0, 0) == 0)
        return;
    if (*card == GFX_AUTODETECT_FULLSCREEN) {
        fprintf(stderr, "%s: no se pudo usar la pantalla completa (%s); se usa una ventana\n", programa,
                allegro_error);
        *card = GFX_AUTODETECT_WINDOWED;
        if (set_gfx_mode(*card, VENTANA_W, VENTANA_H, 0, 0) == 0)
            return;
    }
    char msg[256];
    snprintf(msg, sizeof msg, "no se pudo abrir la ventana de 320x240 en 256 colores (%s)", allegro_error);
    aborta_programa(programa, msg);
}
