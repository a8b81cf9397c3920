// carga: loads and frees the sprite sheet, the full-screen pictures and the sounds;
// reads and writes level files.
#include "shared/carga.h"
#include "shared/guardado.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "shared/lectura.h"
#include "shared/idioma.h"

PALETTE the_palette;
BITMAP *tile[NUM_TILES];
BITMAP *sprite[32];
BITMAP *hud;
BITMAP *imagen1, *imagen2, *imagen3;
PALETTE the_palette1, the_palette2, the_palette3;

// The full-screen pictures in each language (their lettering is part of the picture): by language
// (0 Spanish, 1 English), then studio card, title, win; imagen1..3 point at one row of them.
enum { PANTALLAS_IDIOMAS = 2, PANTALLAS = 3 };
static const char *const PANTALLA_ARCHIVO[PANTALLAS_IDIOMAS][PANTALLAS] = {
    {"datos/lurgo.bmp", "datos/korvex.bmp", "datos/gane.bmp"},
    {"datos/lurgo_en.bmp", "datos/korvex_en.bmp", "datos/gane_en.bmp"}};
static BITMAP *pantalla[PANTALLAS_IDIOMAS][PANTALLAS];
static PALETTE pantalla_paleta[PANTALLAS_IDIOMAS][PANTALLAS];
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

// Reads a whole regular file of at most max bytes into v; false (the reason in motivo when it
// is not a regular file) when it cannot be read or is larger.
static bool lee_entero(const char *nombre, std::vector<unsigned char> &v, size_t max, char *motivo, int tam)
{
    v.clear();
    FILE *f = abre_regular(nombre, motivo, tam);
    if (!f)
        return false;
    unsigned char b[8192];
    size_t n;
    while ((n = fread(b, 1, sizeof b, f)) > 0 && v.size() <= max)
        v.insert(v.end(), b, b + n);
    bool ok = !ferror(f) && v.size() <= max;
    fclose(f);
    return ok;
}

static unsigned int le16(const unsigned char *p) { return p[0] | (p[1] << 8); }
static unsigned int le32(const unsigned char *p) { return le16(p) | ((unsigned int)le16(p + 2) << 16); }
static unsigned int be32(const unsigned char *p)
{
    return ((unsigned int)p[0] << 24) | ((unsigned int)p[1] << 16) | ((unsigned int)p[2] << 8) | p[3];
}

// Plain 8-bit BMP accepted before the library reads it: the library's reader hangs or
// crashes on some damaged headers, and fills a cut-short picture with whatever it finds.
enum {
    BMP_CABECERA = 14, BMP_INFO = 40,   // file header, Windows info header
    BMP_MAX_LADO = 4096,                // largest side accepted, pixels
    BMP_MAX_BYTES = 32 << 20            // largest file read, bytes
};

// Checks that nombre is a whole uncompressed 8-bit BMP; otherwise says why and returns false.
static bool bmp_valido(const char *nombre)
{
    std::vector<unsigned char> v;
    struct stat st;
    char motivo[MOTIVO_MAX];
    snprintf(motivo, sizeof motivo, "%s", _("no se pudo leer la imagen"));
    if (stat(nombre, &st) == 0 && S_ISDIR(st.st_mode))
        return falla(nombre, _("es una carpeta, no una imagen"));
    if (!es_regular(nombre, motivo, sizeof motivo) || !lee_entero(nombre, v, BMP_MAX_BYTES, motivo, sizeof motivo))
        return falla(nombre, motivo);
    if (v.size() < BMP_CABECERA + BMP_INFO || v[0] != 'B' || v[1] != 'M')
        return falla(nombre, _("no es una imagen BMP"));
    const unsigned char *h = v.data() + BMP_CABECERA;
    unsigned int datos = le32(v.data() + 10), info = le32(h), colores = le32(h + 32);
    int ancho = (int)le32(h + 4), alto = (int)le32(h + 8);
    if (info != BMP_INFO || le16(h + 12) != 1 || le16(h + 14) != 8 || le32(h + 16) != 0 || colores > 256)
        return falla(nombre, _("no es un BMP de 256 colores sin comprimir"));
    if (ancho < 1 || ancho > BMP_MAX_LADO || alto < 1 || alto > BMP_MAX_LADO)
        return falla(nombre, _("la imagen tiene un tamaño imposible"));
    size_t paleta = BMP_CABECERA + BMP_INFO + 4 * (size_t)(colores ? colores : 256);
    size_t fila = ((size_t)ancho + 3) & ~(size_t)3;
    if (datos < paleta || (size_t)datos + fila * (size_t)alto > v.size())
        return falla(nombre, _("la imagen esta cortada"));
    return true;
}

// Allegro datafile layout (unpacked): magic, object count, then per object its properties
// and one chunk (sizes big-endian).
enum { DAT_MAX_BYTES = 4 << 20, DAT_MAX_OBJETOS = 64, FUENTE_MAX_LADO = 256 };

// Checks an Allegro FONT chunk of the new format: every glyph of every range inside it.
static bool fuente_cabe(const unsigned char *p, size_t n)
{
    size_t i = 0;
    auto quedan = [&](size_t k) { return k <= n - i; };
    if (!quedan(4) || p[0] != 0 || p[1] != 0)
        return false;   // height 0 marks the format in use; older ones are not accepted
    int rangos = (p[2] << 8) | p[3];
    i = 4;
    if (rangos < 1)
        return false;
    for (int r = 0; r < rangos; r++) {
        if (!quedan(9))
            return false;
        bool mono = p[i] != 0;
        long desde = (long)be32(p + i + 1), hasta = (long)be32(p + i + 5);
        i += 9;
        if (desde < 0 || hasta < desde || hasta - desde > 0xFFFF)
            return false;
        for (long g = desde; g <= hasta; g++) {
            if (!quedan(4))
                return false;
            int w = (p[i] << 8) | p[i + 1], h = (p[i + 2] << 8) | p[i + 3];
            i += 4;
            if (w > FUENTE_MAX_LADO || h > FUENTE_MAX_LADO)
                return false;
            size_t bytes = mono ? (size_t)((w + 7) / 8) * h : (size_t)w * h;
            if (!quedan(bytes))
                return false;
            i += bytes;
        }
    }
    return i == n;
}

bool fuente_valida(const char *nombre)
{
    std::vector<unsigned char> v;
    struct stat st;
    char motivo[MOTIVO_MAX];
    snprintf(motivo, sizeof motivo, "%s", _("no se pudo leer la fuente"));
    if (stat(nombre, &st) == 0 && S_ISDIR(st.st_mode))
        return falla(nombre, _("es una carpeta, no un archivo de fuente"));
    if (!es_regular(nombre, motivo, sizeof motivo) || !lee_entero(nombre, v, DAT_MAX_BYTES, motivo, sizeof motivo))
        return falla(nombre, motivo);
    size_t n = v.size(), i = 12;
    const unsigned char *p = v.data();
    if (n < 12 || memcmp(p, "slh.ALL.", 8) != 0)
        return falla(nombre, _("no es un archivo de fuente (datafile sin comprimir)"));
    unsigned int objetos = be32(p + 8);
    if (objetos < 2 || objetos > DAT_MAX_OBJETOS)
        return falla(nombre, _("el archivo de fuente no tiene la fuente como objeto 1"));
    for (unsigned int o = 0; o < objetos; o++) {
        // Properties, then the object's type and its chunk.
        for (;;) {
            if (n - i < 4)
                return falla(nombre, _("el archivo de fuente esta cortado"));
            if (memcmp(p + i, "prop", 4) != 0)
                break;
            if (n - i < 12 || be32(p + i + 8) > n - i - 12)
                return falla(nombre, _("el archivo de fuente esta cortado"));
            i += 12 + be32(p + i + 8);
        }
        if (n - i < 12)
            return falla(nombre, _("el archivo de fuente esta cortado"));
        const unsigned char *tipo = p + i;
        unsigned int largo = be32(p + i + 4);
        if (be32(p + i + 8) != largo || largo > n - i - 12)
            return falla(nombre, _("el archivo de fuente esta cortado o comprimido"));
        const unsigned char *datos = p + i + 12;
        bool fuente = memcmp(tipo, "FONT", 4) == 0;
        if (o == 1 && !fuente)
            return falla(nombre, _("el archivo de fuente no tiene la fuente como objeto 1"));
        if (fuente && !fuente_cabe(datos, largo))
            return falla(nombre, _("la fuente esta dañada"));
        if (!fuente && memcmp(tipo, "DATA", 4) != 0)
            return falla(nombre, _("el archivo de fuente tiene objetos que no son fuente ni datos"));
        i += 12 + largo;
    }
    return true;
}

// Loads one full-screen picture with its palette.
static bool carga_imagen(const char *nombre, BITMAP **dest, PALETTE pal)
{
    if (!bmp_valido(nombre))
        return false;
    *dest = load_bitmap(nombre, pal);
    if (!*dest)
        return falla(nombre, _("no se pudo cargar la imagen"));
    return true;
}

bool CargarBMP()
{
    carga_fallo[0] = 0;
    const char *hoja_nombre = "datos/imagen.bmp";
    if (!bmp_valido(hoja_nombre))
        return false;
    BITMAP *hoja = load_bitmap(hoja_nombre, the_palette);
    if (!hoja)
        return falla(hoja_nombre, _("no se pudo cargar la hoja de dibujos"));
    if (hoja->w < HOJA_W || hoja->h < HOJA_H) {
        destroy_bitmap(hoja);
        return falla(hoja_nombre, _("la hoja de dibujos es menor que 320x568"));
    }
    for (const Corte &k : cortes) {
        for (int f = 0; f < k.filas; f++) {
            for (int i = 0; i < k.por_fila; i++) {
                BITMAP *b = create_bitmap(k.w, k.h);
                if (!b) {
                    destroy_bitmap(hoja);
                    return falla(hoja_nombre, _("sin memoria para los dibujos"));
                }
                blit(hoja, b, k.w * i, k.y + k.h * f, 0, 0, k.w, k.h);
                k.dest[k.primero + f * k.por_fila + i] = b;
            }
        }
    }
    destroy_bitmap(hoja);
    for (int i = 0; i < PANTALLAS_IDIOMAS; i++)
        for (int j = 0; j < PANTALLAS; j++)
            if (!carga_imagen(PANTALLA_ARCHIVO[i][j], &pantalla[i][j], pantalla_paleta[i][j]))
                return false;
    imagenes_del_idioma();
    return true;
}

void imagenes_del_idioma()
{
    int i = idioma == IDIOMA_EN ? 1 : 0;
    if (!pantalla[i][0])
        return;
    imagen1 = pantalla[i][0], imagen2 = pantalla[i][1], imagen3 = pantalla[i][2];
    memcpy(the_palette1, pantalla_paleta[i][0], sizeof(PALETTE));
    memcpy(the_palette2, pantalla_paleta[i][1], sizeof(PALETTE));
    memcpy(the_palette3, pantalla_paleta[i][2], sizeof(PALETTE));
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
    for (int i = 0; i < PANTALLAS_IDIOMAS; i++)
        for (int j = 0; j < PANTALLAS; j++)
            libera(&pantalla[i][j]);
    imagen1 = imagen2 = imagen3 = NULL;
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
    char motivo[MOTIVO_MAX];
    // The library's readers open by name and would wait forever on a FIFO.
    for (const auto &s : sonidos) {
        if (!es_regular(s.nombre, motivo, sizeof motivo))
            return falla(s.nombre, motivo);
        sample[s.slot] = load_sample(s.nombre);
        if (!sample[s.slot])
            return falla(s.nombre, _("no se pudo cargar el sonido"));
    }
    if (!es_regular("datos/fox.mid", motivo, sizeof motivo))
        return falla("datos/fox.mid", motivo);
    music2 = load_midi("datos/fox.mid");
    if (!music2)
        return falla("datos/fox.mid", _("no se pudo cargar la musica"));
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
    char motivo[MOTIVO_MAX];
    FILE *f = abre_regular(filename, motivo, sizeof motivo);
    if (!f) {
        fprintf(stderr, "%s: %s\n", filename, motivo);
        return false;
    }
    size_t n = fread(buf, 1, NIVEL_BYTES, f);
    bool error = ferror(f);
    fclose(f);
    if (error) {
        fprintf(stderr, _("%s: no se pudo leer el nivel\n"), filename);
        return false;
    }
    if (n < (size_t)NIVEL_BYTES) {
        fprintf(stderr, _("%s: nivel dañado (%u bytes, se esperan %d)\n"), filename,
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
// disk and renamed over the old one, then the folder flushed so the rename holds: the old
// file stays intact if anything fails.
bool escribe_atomico(const char *ruta, const void *datos, size_t n)
{
    std::string r(ruta);
    size_t barra = r.rfind('/');
    std::string dir = barra == std::string::npos ? "" : r.substr(0, barra + 1);
    std::string tmp = dir + PREFIJO_TEMPORAL "XXXXXX";
    int fd = mkstemp(&tmp[0]);
    if (fd < 0) {
        fprintf(stderr, _("%s: no se pudo crear el archivo temporal (%s)\n"), ruta, strerror(errno));
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
        fprintf(stderr, _("%s: no se pudo escribir (%s)\n"), ruta, strerror(err ? err : EIO));
    }
    return ok && asienta_carpeta(ruta);
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
