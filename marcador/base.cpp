// base: the server's storage in one SQLite file, every statement under one lock.
#include "marcador/base.h"

#include <cstdio>
#include <ctime>
#include <mutex>
#include <sqlite3.h>

#include "shared/idioma.h"

static sqlite3 *db;          // the open database, or NULL
static std::mutex cerrojo;   // one statement at a time
static std::string ruta_base;   // its file, for the messages

enum { ESPERA_MS = 5000 };   // longest wait for the file's lock, ms

static const char ESQUEMA[] =
    "PRAGMA journal_mode=WAL;"
    "PRAGMA synchronous=FULL;"
    "CREATE TABLE IF NOT EXISTS partidas(id INTEGER PRIMARY KEY AUTOINCREMENT, conjunto TEXT NOT NULL,"
    " dificultad INTEGER NOT NULL, iniciales TEXT NOT NULL, estado TEXT NOT NULL, motivo TEXT NOT NULL DEFAULT '',"
    " puntos INTEGER NOT NULL DEFAULT 0, ms INTEGER NOT NULL DEFAULT 0, recibida INTEGER NOT NULL, rep BLOB);"
    "CREATE INDEX IF NOT EXISTS partidas_tabla ON partidas(conjunto, dificultad, estado, puntos DESC, id);"
    "CREATE INDEX IF NOT EXISTS partidas_estado ON partidas(estado, id);"
    "CREATE TABLE IF NOT EXISTS conjuntos(id INTEGER PRIMARY KEY AUTOINCREMENT, clave TEXT UNIQUE NOT NULL,"
    " slug TEXT UNIQUE NOT NULL, nombre TEXT NOT NULL, paquete BLOB NOT NULL);";

// A line on stderr naming the database and what failed.
static void queja(const char *que)
{
    fprintf(stderr, _("%s: %s: %s\n"), ruta_base.c_str(), que, db ? sqlite3_errmsg(db) : "?");
}

bool base_abre(const char *ruta)
{
    std::lock_guard<std::mutex> l(cerrojo);
    ruta_base = ruta;
    if (sqlite3_open_v2(ruta, &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, NULL) != SQLITE_OK) {
        queja(_("no se pudo abrir la base"));
        sqlite3_close(db);
        db = NULL;
        return false;
    }
    sqlite3_busy_timeout(db, ESPERA_MS);
    if (sqlite3_exec(db, ESQUEMA, NULL, NULL, NULL) != SQLITE_OK) {
        queja(_("no se pudo preparar la base"));
        sqlite3_close(db);
        db = NULL;
        return false;
    }
    return true;
}

void base_cierra()
{
    std::lock_guard<std::mutex> l(cerrojo);
    if (db)
        sqlite3_close(db);
    db = NULL;
}

// A statement prepared, or NULL (with a stderr line).
static sqlite3_stmt *prepara(const char *sql)
{
    sqlite3_stmt *s = NULL;
    if (!db || sqlite3_prepare_v2(db, sql, -1, &s, NULL) != SQLITE_OK) {
        queja(_("consulta fallida"));
        return NULL;
    }
    return s;
}

// Column i of the row under way as text.
static std::string texto(sqlite3_stmt *s, int i)
{
    const unsigned char *t = sqlite3_column_text(s, i);
    return t ? (const char *)t : "";
}

long long base_nueva(const std::string &conjunto, int dificultad, const std::string &iniciales, const Octetos &rep)
{
    std::lock_guard<std::mutex> l(cerrojo);
    sqlite3_stmt *s = prepara("INSERT INTO partidas(conjunto, dificultad, iniciales, estado, recibida, rep)"
                              " VALUES(?, ?, ?, '" ESTADO_COLA "', ?, ?)");
    if (!s)
        return -1;
    sqlite3_bind_text(s, 1, conjunto.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(s, 2, dificultad);
    sqlite3_bind_text(s, 3, iniciales.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(s, 4, (long long)time(NULL));
    sqlite3_bind_blob(s, 5, rep.data(), (int)rep.size(), SQLITE_TRANSIENT);
    long long id = -1;
    if (sqlite3_step(s) == SQLITE_DONE)
        id = sqlite3_last_insert_rowid(db);
    else
        queja(_("no se pudo guardar la partida"));
    sqlite3_finalize(s);
    return id;
}

// A run from a row of "id, conjunto, dificultad, iniciales, estado, motivo, puntos, ms".
static Partida fila_partida(sqlite3_stmt *s)
{
    Partida p;
    p.id = sqlite3_column_int64(s, 0);
    p.conjunto = texto(s, 1);
    p.dificultad = sqlite3_column_int(s, 2);
    p.iniciales = texto(s, 3);
    p.estado = texto(s, 4);
    p.motivo = texto(s, 5);
    p.puntos = sqlite3_column_int(s, 6);
    p.ms = sqlite3_column_int(s, 7);
    return p;
}

#define COLUMNAS_PARTIDA "id, conjunto, dificultad, iniciales, estado, motivo, puntos, ms"

bool base_partida(long long id, Partida *p)
{
    std::lock_guard<std::mutex> l(cerrojo);
    sqlite3_stmt *s = prepara("SELECT " COLUMNAS_PARTIDA " FROM partidas WHERE id = ?");
    if (!s)
        return false;
    sqlite3_bind_int64(s, 1, id);
    bool hay = sqlite3_step(s) == SQLITE_ROW;
    if (hay)
        *p = fila_partida(s);
    sqlite3_finalize(s);
    return hay;
}

bool base_grabacion(long long id, Octetos *rep)
{
    std::lock_guard<std::mutex> l(cerrojo);
    sqlite3_stmt *s = prepara("SELECT rep FROM partidas WHERE id = ? AND rep IS NOT NULL");
    if (!s)
        return false;
    sqlite3_bind_int64(s, 1, id);
    bool hay = sqlite3_step(s) == SQLITE_ROW;
    if (hay) {
        const unsigned char *b = (const unsigned char *)sqlite3_column_blob(s, 0);
        rep->assign(b, b + sqlite3_column_bytes(s, 0));
    }
    sqlite3_finalize(s);
    return hay;
}

void base_veredicto(long long id, bool bien, const std::string &motivo, int puntos, int ms)
{
    std::lock_guard<std::mutex> l(cerrojo);
    // A refused run's recording is of no use to anyone: it is not kept.
    sqlite3_stmt *s = prepara(bien ? "UPDATE partidas SET estado = '" ESTADO_BIEN "', motivo = ?, puntos = ?, ms = ?"
                                     " WHERE id = ?"
                                   : "UPDATE partidas SET estado = '" ESTADO_MAL "', motivo = ?, puntos = ?, ms = ?,"
                                     " rep = NULL WHERE id = ?");
    if (!s)
        return;
    sqlite3_bind_text(s, 1, motivo.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(s, 2, puntos);
    sqlite3_bind_int(s, 3, ms);
    sqlite3_bind_int64(s, 4, id);
    if (sqlite3_step(s) != SQLITE_DONE)
        queja(_("no se pudo guardar el veredicto"));
    sqlite3_finalize(s);
}

std::vector<long long> base_en_cola()
{
    std::lock_guard<std::mutex> l(cerrojo);
    std::vector<long long> ids;
    sqlite3_stmt *s = prepara("SELECT id FROM partidas WHERE estado = '" ESTADO_COLA "' ORDER BY id");
    if (!s)
        return ids;
    while (sqlite3_step(s) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int64(s, 0));
    sqlite3_finalize(s);
    return ids;
}

std::vector<Partida> base_tabla(const std::string &conjunto, int dificultad, int max)
{
    std::lock_guard<std::mutex> l(cerrojo);
    std::vector<Partida> t;
    sqlite3_stmt *s = prepara("SELECT " COLUMNAS_PARTIDA " FROM partidas WHERE conjunto = ? AND dificultad = ?"
                              " AND estado = '" ESTADO_BIEN "' ORDER BY puntos DESC, id LIMIT ?");
    if (!s)
        return t;
    sqlite3_bind_text(s, 1, conjunto.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(s, 2, dificultad);
    sqlite3_bind_int(s, 3, max);
    while (sqlite3_step(s) == SQLITE_ROW)
        t.push_back(fila_partida(s));
    sqlite3_finalize(s);
    return t;
}

// A kept set by one of its unique columns.
static bool conjunto_por(const char *sql, const std::string &valor, ConjuntoGuardado *c)
{
    std::lock_guard<std::mutex> l(cerrojo);
    sqlite3_stmt *s = prepara(sql);
    if (!s)
        return false;
    sqlite3_bind_text(s, 1, valor.c_str(), -1, SQLITE_TRANSIENT);
    bool hay = sqlite3_step(s) == SQLITE_ROW;
    if (hay) {
        c->clave = texto(s, 0);
        c->slug = texto(s, 1);
        c->nombre = texto(s, 2);
        const unsigned char *b = (const unsigned char *)sqlite3_column_blob(s, 3);
        c->paquete.assign(b, b + sqlite3_column_bytes(s, 3));
    }
    sqlite3_finalize(s);
    return hay;
}

bool base_conjunto(const std::string &clave, ConjuntoGuardado *c)
{
    return conjunto_por("SELECT clave, slug, nombre, paquete FROM conjuntos WHERE clave = ?", clave, c);
}

bool base_conjunto_slug(const std::string &slug, ConjuntoGuardado *c)
{
    return conjunto_por("SELECT clave, slug, nombre, paquete FROM conjuntos WHERE slug = ?", slug, c);
}

bool base_guarda_conjunto(ConjuntoGuardado *c)
{
    enum { INTENTOS = 100 };   // names tried: slug, slug-2 ... slug-100
    ConjuntoGuardado antes;
    if (base_conjunto(c->clave, &antes)) {
        c->slug = antes.slug;
        return true;
    }
    std::string base = c->slug;
    for (int n = 1; n <= INTENTOS; n++) {
        c->slug = n == 1 ? base : base + "-" + std::to_string(n);
        std::lock_guard<std::mutex> l(cerrojo);
        sqlite3_stmt *s = prepara("INSERT INTO conjuntos(clave, slug, nombre, paquete) VALUES(?, ?, ?, ?)");
        if (!s)
            return false;
        sqlite3_bind_text(s, 1, c->clave.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, c->slug.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 3, c->nombre.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_blob(s, 4, c->paquete.data(), (int)c->paquete.size(), SQLITE_TRANSIENT);
        int r = sqlite3_step(s);
        sqlite3_finalize(s);
        if (r == SQLITE_DONE)
            return true;
        if (r != SQLITE_CONSTRAINT)
            break;
        // The key taken meanwhile by the same set sent twice at once: that one stands.
        sqlite3_stmt *q = prepara("SELECT slug FROM conjuntos WHERE clave = ?");
        if (!q)
            return false;
        sqlite3_bind_text(q, 1, c->clave.c_str(), -1, SQLITE_TRANSIENT);
        bool hay = sqlite3_step(q) == SQLITE_ROW;
        if (hay)
            c->slug = texto(q, 0);
        sqlite3_finalize(q);
        if (hay)
            return true;
    }
    queja(_("no se pudo guardar el conjunto"));
    return false;
}

std::vector<std::string> base_slugs()
{
    std::lock_guard<std::mutex> l(cerrojo);
    std::vector<std::string> v;
    sqlite3_stmt *s = prepara("SELECT slug FROM conjuntos ORDER BY id");
    if (!s)
        return v;
    while (sqlite3_step(s) == SQLITE_ROW)
        v.push_back(texto(s, 0));
    sqlite3_finalize(s);
    return v;
}
