// verifica: checks level files byte by byte (no display) and finds stretches of road that
// explosives close on all four lanes at once; then drives the level with the autoplayer.
#include "game/verifica.h"

#include "game/piloto.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "shared/lectura.h"
#include "shared/idioma.h"

// Lanes as bits of a column's mask: all four set means the column range is closed.
enum { TODOS_CARRILES = (1 << CARRILES) - 1, LINEA_MAX = 600 };

float factor_velocidad(int codigo)
{
    if (codigo == 2)
        return 1.5f;
    if (codigo == 3)
        return 2.0f;
    return 1.0f;
}

// Reach of an explosive on the road: from its left edge + 241 (screen x 79) to + 320 (screen x 0);
// nothing is met before road position 356; play starts at 352.
enum { ALCANCE_DESDE = 241, ALCANCE_HASTA = 320, ALCANCE_MIN = 356, INICIO = 352, HZ_BASE = 75 };
static const int TASAS_REGLA[] = {75, 60};

// Ticks a lane change keeps the truck off every lane at a logic rate: it leaves its lane in the
// tick it begins and stands on the next one in the tick it arrives.
static int ticks_fuera(int hz)
{
    double paso = CAMBIO_CARRIL * (double)HZ_BASE / hz;
    return (int)std::ceil(CARRIL_PASO / paso) - 1;
}

// Ticks in which the road position (from the start, at the hardest difficulty) lies in p1..p2.
static int ticks_en(int p1, int p2, int codigo, int hz)
{
    float v = VELOCIDAD_MAXIMA * factor_velocidad(codigo) * (float)HZ_BASE / (float)hz;
    int n = 0;
    float resto = 0.0f;
    for (int p = INICIO; p <= p2;) {
        float t = v + resto;
        int paso = (int)t;
        resto = t - paso;
        p += paso;
        n += p >= p1 && p <= p2 && p >= ALCANCE_MIN;
    }
    return n;
}

// Lanes an explosive holds in reach at road position p.
static int cerrados_en(const unsigned char carriles[ENE_COLS], int p)
{
    int m = 0;
    for (int c = (p - ALCANCE_HASTA) / BLOQUE_W - 1; c <= (p - ALCANCE_DESDE) / BLOQUE_W; c++)
        if (c >= 0 && c < ENE_COLS && p >= BLOQUE_W * c + ALCANCE_DESDE && p <= BLOQUE_W * c + ALCANCE_HASTA)
            m |= carriles[c];
    return m;
}

// The first (or last) column with an explosive in reach at road position p; -1 none.
static int columna_en(const unsigned char carriles[ENE_COLS], int p, bool primera)
{
    int hallada = -1;
    for (int c = (p - ALCANCE_HASTA) / BLOQUE_W - 1; c <= (p - ALCANCE_DESDE) / BLOQUE_W; c++)
        if (c >= 0 && c < ENE_COLS && carriles[c] && p >= BLOQUE_W * c + ALCANCE_DESDE &&
            p <= BLOQUE_W * c + ALCANCE_HASTA && (hallada < 0 || !primera))
            hallada = c;
    return hallada;
}

int tramo_cerrado(const unsigned char carriles[ENE_COLS], int codigo, int *hasta)
{
    int fin = BLOQUE_W * ENE_COLS + ALCANCE_HASTA;
    for (int p = 0; p <= fin; p++) {
        if ((cerrados_en(carriles, p) & TODOS_CARRILES) != TODOS_CARRILES)
            continue;
        int q = p;
        while (q + 1 <= fin && (cerrados_en(carriles, q + 1) & TODOS_CARRILES) == TODOS_CARRILES)
            q++;
        for (int hz : TASAS_REGLA)
            if (ticks_en(p, q, codigo, hz) > ticks_fuera(hz)) {
                *hasta = columna_en(carriles, q, false);
                return columna_en(carriles, p, true);
            }
        p = q;
    }
    return -1;
}

// Appends one line "nombre: text".
static void linea(std::vector<std::string> &lineas, const char *nombre, const char *fmt, ...)
{
    char texto[LINEA_MAX];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(texto, sizeof texto, fmt, ap);
    va_end(ap);
    lineas.push_back(std::string(nombre) + ": " + texto);
}

// Block numbers past the table: one line with their count and the first of them.
static int revisa_bloques(const char *nombre, const unsigned char *datos, std::vector<std::string> &lineas)
{
    int malos = 0, col = 0, fila = 0, valor = 0;
    for (int r = 0; r < MAPA_FILAS; r++)
        for (int c = 0; c < MAPA_COLS; c++) {
            unsigned char v = datos[1 + MAPA_COLS * r + c];
            if (v < NUM_TILES)
                continue;
            if (malos++ == 0) {
                col = c;
                fila = r;
                valor = v;
            }
        }
    if (malos == 0)
        return 0;
    linea(lineas, nombre, _("%d %s fuera de la tabla 0-%d (el primero en columna %d, fila %d: %d)"), malos,
          malos == 1 ? "bloque" : "bloques", NUM_TILES - 1, col, fila, valor);
    return 1;
}

// The enemy records: each in range, packed from the first, in the writer's order (row, then
// column) without repeats. Explosives on the lanes are marked in carriles.
static int revisa_registros(const char *nombre, const unsigned char *t, std::vector<std::string> &lineas,
                            unsigned char carriles[ENE_COLS])
{
    int problemas = 0, vacio = -1;
    long anterior = -1;
    for (int i = 0; i < ENE_MAX; i++) {
        const unsigned char *r = t + ENE_REG * i;
        int col = r[0] | (r[1] << 8), off = r[2], tipo = r[3];
        if (tipo == 0) {
            if (col != 0 || off != 0) {
                linea(lineas, nombre, _("registro %d vacio con datos (columna %d, fila %d)"), i, col, off);
                problemas++;
            }
            if (vacio < 0)
                vacio = i;
            continue;
        }
        int fila = off / BLOQUE_H;
        if (col >= ENE_COLS || off % BLOQUE_H != 0 || fila < CALLE_PRIMERA || fila >= CALLE_PRIMERA + CARRILES ||
            tipo > TIPO_EDITABLE_MAX) {
            linea(lineas, nombre, _("registro %d fuera de rango (columna %d, fila %d, tipo %d)"), i, col, off, tipo);
            problemas++;
            continue;
        }
        if (vacio >= 0) {
            linea(lineas, nombre, _("registro %d despues del registro vacio %d: la tabla no esta compacta"), i, vacio);
            problemas++;
            vacio = -1;   // one line per gap
        }
        long orden = (long)fila * ENE_COLS + col;
        if (orden <= anterior) {
            linea(lineas, nombre, _("registro %d fuera de orden o repetido (columna %d, fila %d)"), i, col, off);
            problemas++;
        }
        anterior = orden;
        if (tipo == TIPO_EXPLOSIVO)
            carriles[col] |= (unsigned char)(1 << (fila - CALLE_PRIMERA));
    }
    return problemas;
}

// The size and the speed code, which the game needs to play a level at all; -1 when the size
// is wrong (nothing else can be checked), else the number of problems.
static int revisa_tamano_y_codigo(const char *nombre, const unsigned char *datos, size_t n,
                                  std::vector<std::string> &lineas)
{
    if (n != (size_t)NIVEL_BYTES) {
        linea(lineas, nombre, _("tamaño de %zu bytes, un nivel tiene %d"), n, NIVEL_BYTES);
        return -1;
    }
    int codigo = datos[0];
    if (codigo < 1 || codigo > VELOCIDAD_CODIGO_MAX) {
        linea(lineas, nombre, _("codigo de velocidad %d fuera de 1-%d"), codigo, VELOCIDAD_CODIGO_MAX);
        return 1;
    }
    return 0;
}

int verifica_estructura(const char *nombre, const unsigned char *datos, size_t n, std::vector<std::string> &lineas)
{
    int problemas = revisa_tamano_y_codigo(nombre, datos, n, lineas);
    if (problemas < 0)
        return 1;
    static unsigned char carriles[ENE_COLS];
    memset(carriles, 0, sizeof carriles);
    return problemas + revisa_bloques(nombre, datos, lineas) + revisa_registros(nombre, datos + 1 + MAPA_BYTES, lineas, carriles);
}

int verifica_nivel(const char *nombre, const unsigned char *datos, size_t n, std::vector<std::string> &lineas)
{
    int problemas = revisa_tamano_y_codigo(nombre, datos, n, lineas);
    if (problemas < 0)
        return 1;
    int codigo = datos[0];
    problemas += revisa_bloques(nombre, datos, lineas);
    static unsigned char carriles[ENE_COLS];
    memset(carriles, 0, sizeof carriles);
    int malos = revisa_registros(nombre, datos + 1 + MAPA_BYTES, lineas, carriles);
    bool registros_sanos = malos == 0;
    problemas += malos;
    int hasta = -1, a = tramo_cerrado(carriles, codigo, &hasta);
    if (a >= 0) {
        linea(lineas, nombre, _("los explosivos cierran los cuatro carriles a la vez en las columnas %d a %d"), a, hasta);
        problemas++;
    }
    // The autoplayer's drive, on a level whose records play as written.
    if (registros_sanos) {
        int col = piloto_veredicto(datos);
        if (col >= 0) {
            linea(lineas, nombre, _("no se puede ganar sin perder vidas desde la columna %d"), col);
            problemas++;
        }
    }
    return problemas;
}

// Largest file read: anything longer is only reported by its size.
enum { LECTURA_MAX = NIVEL_BYTES + 1 };

static unsigned char buf[LECTURA_MAX];   // the file read last

// Reads a regular file into buf, its size (the real one when longer) in *n; false, with its
// line, when it cannot be read.
static bool lee_para_verificar(const char *nombre, size_t *n_leido, std::vector<std::string> &lineas)
{
    char motivo[MOTIVO_MAX];
    FILE *f = abre_regular(nombre, motivo, sizeof motivo);
    if (!f) {
        linea(lineas, nombre, "%s", motivo);
        return false;
    }
    size_t n = fread(buf, 1, sizeof buf, f);
    bool error = ferror(f) != 0;
    if (!error && n == sizeof buf) {
        // Longer than a level: its real size goes into the line.
        if (fseek(f, 0, SEEK_END) == 0 && ftell(f) > 0)
            n = (size_t)ftell(f);
    }
    fclose(f);
    if (error) {
        linea(lineas, nombre, _("no se pudo leer (es una carpeta o esta dañado el disco)"));
        return false;
    }
    *n_leido = n;
    return true;
}

int verifica_archivo(const char *nombre, std::vector<std::string> &lineas)
{
    size_t n;
    if (!lee_para_verificar(nombre, &n, lineas))
        return 1;
    return verifica_nivel(nombre, buf, n, lineas);
}

int verifica_jugable(const char *nombre, std::vector<std::string> &lineas)
{
    size_t n;
    if (!lee_para_verificar(nombre, &n, lineas))
        return 1;
    return revisa_tamano_y_codigo(nombre, buf, n, lineas) != 0 ? 1 : 0;
}

int verifica_programa(int n, char **archivos)
{
    if (n < 1) {
        fprintf(stderr, _("uso: korveditor -verifica NIVEL...\n"));
        return 2;
    }
    int rc = 0;
    for (int i = 0; i < n; i++) {
        std::vector<std::string> lineas;
        if (verifica_archivo(archivos[i], lineas) > 0)
            rc = 1;
        for (const std::string &l : lineas)
            printf("%s\n", l.c_str());
    }
    fflush(stdout);
    return rc;
}
