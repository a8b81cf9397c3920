// repeticion: the recording file of a run: bytes, reader, writer.
//
// Layout (integers little-endian):
//   "KREP", version u16, program version 8 bytes (ASCII, zero-padded),
//   difficulty u8, logic rate u16 (Hz), time scale u32 (the float's bits), input phase u8,
//   (version 4 on) the pace u8 (percent of full pace; older versions are at full pace),
//   level count u8, then per level: name length u8, name, CRC-32 u32,
//   (version 3 on) the set's shown name: length u8, bytes (printable ASCII); the level practised
//   u8 (0: a game from the first level),
//   how it ended u8, level reached u8, score s32, lives u16, world checksum u32 (version 1: of
//   the fields the first version summed; version 2: of every field of the world but the bags'
//   pan, game/mundo.h),
//   tick count u32, the keys: runs of (keys u8, length LEB128) whose lengths add up to the
//   tick count, two runs in a row never with the same keys,
//   CRC-32 u32 of every byte before it.
#include "shared/repeticion.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "shared/carga.h"
#include "shared/conjuntos.h"
#include "shared/idioma.h"
#include "shared/lectura.h"

static const char MARCA[REP_MARCA_BYTES + 1] = "KREP";
enum { LEB_MAX = 5, LEB_SIGUE = 0x80, LEB_BITS = 7, LEB_VALOR = 0x7F };

// The CRC-32 table of the reflected polynomial 0xEDB88320, made on first use.
static unsigned tabla_crc[256];

unsigned crc32_bytes(unsigned crc, const void *datos, size_t n)
{
    if (!tabla_crc[1])
        for (unsigned i = 0; i < 256; i++) {
            unsigned c = i;
            for (int k = 0; k < 8; k++)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            tabla_crc[i] = c;
        }
    const unsigned char *p = (const unsigned char *)datos;
    crc = ~crc;
    for (size_t i = 0; i < n; i++)
        crc = tabla_crc[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

// Reads at most max bytes of an open file into v; false on a read error. *mas: the file has more.
static bool lee_todo(FILE *f, std::vector<unsigned char> *v, size_t max, bool *mas)
{
    unsigned char buf[65536];
    *mas = false;
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) {
        if (v->size() + n > max) {
            *mas = true;
            return true;
        }
        v->insert(v->end(), buf, buf + n);
    }
    return !ferror(f);
}

bool crc32_archivo(const char *ruta, unsigned *crc)
{
    char motivo[MOTIVO_MAX];
    FILE *f = abre_regular(ruta, motivo, sizeof motivo);
    if (!f)
        return false;
    std::vector<unsigned char> v;
    bool mas;
    bool ok = lee_todo(f, &v, REP_MAX_BYTES, &mas) && !mas;
    fclose(f);
    if (ok)
        *crc = crc32_bytes(0, v.data(), v.size());
    return ok;
}

float escala_de_juego(int hz, int ritmo)
{
    double escala = (1.0 / hz) / 0.013333333333333334;
    // Full pace keeps the scale every recording before the pace was made with, bit for bit.
    return (float)(ritmo == RITMO_LLENO ? escala : escala * ritmo / RITMO_LLENO);
}

bool repeticion_a_ritmo_lleno(const Repeticion &r)
{
    return r.ritmo == RITMO_LLENO && r.hz >= REP_HZ_MIN && r.animcon == escala_de_juego(r.hz, RITMO_LLENO);
}

bool repeticion_entra_en_tabla(const Repeticion &r)
{
    return r.fin == REP_FIN_GANO && !r.practica && repeticion_a_ritmo_lleno(r);
}

// --- writing ---

static void pon8(std::vector<unsigned char> &v, unsigned x) { v.push_back((unsigned char)x); }
static void pon16(std::vector<unsigned char> &v, unsigned x) { pon8(v, x & 0xFF); pon8(v, (x >> 8) & 0xFF); }
static void pon32(std::vector<unsigned char> &v, unsigned x) { pon16(v, x & 0xFFFF); pon16(v, x >> 16); }

// A run length as LEB128: seven bits a byte, low first, the top bit set on all but the last.
static void pon_largo(std::vector<unsigned char> &v, unsigned x)
{
    while (x > LEB_VALOR) {
        pon8(v, (x & LEB_VALOR) | LEB_SIGUE);
        x >>= LEB_BITS;
    }
    pon8(v, x);
}

std::vector<unsigned char> codifica_repeticion(const Repeticion &r)
{
    std::vector<unsigned char> v;
    v.insert(v.end(), MARCA, MARCA + REP_MARCA_BYTES);
    pon16(v, (unsigned)r.version);
    for (int i = 0; i < REP_PROGRAMA_BYTES; i++)
        pon8(v, i < (int)strlen(r.programa) ? (unsigned char)r.programa[i] : 0);
    pon8(v, r.dificultad);
    pon16(v, r.hz);
    unsigned bits;
    memcpy(&bits, &r.animcon, sizeof bits);
    pon32(v, bits);
    pon8(v, r.fase);
    if (r.version >= 4)
        pon8(v, (unsigned)r.ritmo);
    pon8(v, r.niveles);
    for (int i = 0; i < r.niveles; i++) {
        size_t l = strlen(r.nivel[i].nombre);
        pon8(v, (unsigned)l);
        v.insert(v.end(), r.nivel[i].nombre, r.nivel[i].nombre + l);
        pon32(v, r.nivel[i].crc);
    }
    if (r.version >= 3) {
        size_t l = strlen(r.conjunto);
        pon8(v, (unsigned)l);
        v.insert(v.end(), r.conjunto, r.conjunto + l);
        pon8(v, (unsigned)r.practica);
    }
    pon8(v, r.fin);
    pon8(v, r.alcanzado);
    pon32(v, (unsigned)r.puntos);
    pon16(v, r.vidas);
    pon32(v, r.suma);
    pon32(v, (unsigned)r.teclas.size());
    for (size_t i = 0; i < r.teclas.size();) {
        size_t j = i;
        while (j < r.teclas.size() && r.teclas[j] == r.teclas[i])
            j++;
        pon8(v, r.teclas[i]);
        pon_largo(v, (unsigned)(j - i));
        i = j;
    }
    pon32(v, crc32_bytes(0, v.data(), v.size()));
    return v;
}

bool guarda_repeticion(const char *ruta, const Repeticion &r)
{
    std::vector<unsigned char> v = codifica_repeticion(r);
    return escribe_atomico(ruta, v.data(), v.size());
}

// --- reading ---

// A cursor over the bytes being read; the first failure keeps its reason.
struct Lector {
    const unsigned char *d;
    size_t n, p;
    char *motivo;
    int tam;
    bool ok;
    bool corto;   // the failure is bytes that ran out (a value read whole says nothing of the rest)
};

// Records the first failure's reason.
static bool falla(Lector &l, const char *fmt, const char *que, long a = 0, long b = 0)
{
    if (l.ok)
        snprintf(l.motivo, l.tam, fmt, que, a, b);
    l.ok = false;
    return false;
}

// Takes k bytes as an unsigned little-endian number; que names the field for a truncation.
static unsigned toma(Lector &l, int k, const char *que)
{
    if (!l.ok)
        return 0;
    if (l.n - l.p < (size_t)k) {
        l.corto = true;
        falla(l, _("truncado en %s"), que);
        return 0;
    }
    unsigned x = 0;
    for (int i = 0; i < k; i++)
        x |= (unsigned)l.d[l.p + i] << (8 * i);
    l.p += k;
    return x;
}

// Takes a number and checks it lies in lo..hi.
static int toma_entre(Lector &l, int k, const char *que, long lo, long hi)
{
    unsigned x = toma(l, k, que);
    if (l.ok && ((long)x < lo || (long)x > hi))
        falla(l, _("%s fuera de rango (%ld)"), que, (long)x);
    return (int)x;
}

// Takes a run length: LEB128, 1..REP_MAX_TICKS, in its shortest form.
static unsigned toma_largo(Lector &l)
{
    unsigned x = 0;
    for (int i = 0; l.ok && i < LEB_MAX; i++) {
        unsigned b = toma(l, 1, _("las teclas"));
        x |= (b & LEB_VALOR) << (LEB_BITS * i);
        if (!(b & LEB_SIGUE)) {
            if (i > 0 && b == 0)
                falla(l, _("%s: largo mal escrito"), _("las teclas"));
            else if (x == 0 || x > REP_MAX_TICKS)
                falla(l, _("%s: largo fuera de rango"), _("las teclas"));
            return x;
        }
    }
    falla(l, _("%s: largo mal escrito"), _("las teclas"));
    return 0;
}

// The header's fixed fields up to the level list.
static void lee_cabecera(Lector &l, Repeticion *r)
{
    if (l.n < REP_MARCA_BYTES) {
        l.corto = true;
        falla(l, _("truncado en %s"), _("la marca"));
    }
    else if (memcmp(l.d, MARCA, REP_MARCA_BYTES) != 0)
        falla(l, "%s", _("no es una repeticion de KORVEX (marca equivocada)"));
    l.p = REP_MARCA_BYTES;
    r->version = (int)toma(l, 2, _("la version"));
    if (l.ok && r->version > REP_VERSION)
        falla(l, _("%s %ld, mas nueva que la que lee este programa (%ld)"), "version", r->version, REP_VERSION);
    else if (l.ok && r->version < 1)
        falla(l, _("%s fuera de rango (%ld)"), _("la version"), r->version);
    // Printable ASCII, then zeros to the field's end.
    bool cero = false;
    for (int i = 0; i < REP_PROGRAMA_BYTES; i++) {
        unsigned ch = toma(l, 1, _("la version del programa"));
        if (l.ok && (cero ? ch != 0 : ch != 0 && (ch < ' ' || ch >= 127)))
            falla(l, _("%s mal escrita"), _("la version del programa"));
        cero = cero || ch == 0;
        r->programa[i] = (char)ch;
    }
    r->programa[REP_PROGRAMA_BYTES] = 0;
    r->dificultad = toma_entre(l, 1, _("la dificultad"), 0, 2);
    r->hz = toma_entre(l, 2, _("la tasa logica"), REP_HZ_MIN, REP_HZ_MAX);
    unsigned bits = toma(l, 4, _("la escala de tiempo"));
    memcpy(&r->animcon, &bits, sizeof bits);
    if (l.ok && !(r->animcon > 0.0f && r->animcon < 100.0f))
        falla(l, _("%s fuera de rango"), _("la escala de tiempo"));
    r->fase = toma_entre(l, 1, _("la fase"), 0, REP_FASES - 1);
    r->ritmo = RITMO_LLENO;
    if (r->version < 4)
        return;
    r->ritmo = toma_entre(l, 1, _("el ritmo"), REP_RITMO_MIN, RITMO_LLENO);
    // The time scale follows from the rate and the pace: a header where it does not was not
    // written by the game (a slower run must not pass for one at full pace).
    if (l.ok && r->animcon != escala_de_juego(r->hz, r->ritmo))
        falla(l, _("%s no es la de la tasa y el ritmo"), _("la escala de tiempo"));
}

// The level list: names (plain file names) and CRCs.
static void lee_niveles(Lector &l, Repeticion *r)
{
    r->niveles = toma_entre(l, 1, _("la cuenta de niveles"), 1, REP_NIVELES_MAX);
    for (int i = 0; l.ok && i < r->niveles; i++) {
        char que[64];
        snprintf(que, sizeof que, _("el nombre del nivel %d"), i + 1);
        int largo = toma_entre(l, 1, que, 1, REP_NOMBRE_MAX);
        for (int j = 0; l.ok && j < largo; j++) {
            unsigned char ch = (unsigned char)toma(l, 1, que);
            if (l.ok && (ch <= ' ' || ch == '/' || ch >= 127))
                falla(l, _("%s no es un nombre de archivo"), que);
            r->nivel[i].nombre[j] = (char)ch;
        }
        r->nivel[i].nombre[l.ok ? largo : 0] = 0;
        snprintf(que, sizeof que, _("el CRC del nivel %d"), i + 1);
        r->nivel[i].crc = toma(l, 4, que);
    }
}

// The set the levels are of and the level practised (version 3 on; older runs are the campaign's games).
static void lee_conjunto(Lector &l, Repeticion *r)
{
    r->practica = 0;
    if (r->version < 3) {
        snprintf(r->conjunto, sizeof r->conjunto, "%s", CAMPANA_NOMBRE);
        return;
    }
    const char *que = _("el nombre del conjunto");
    int largo = toma_entre(l, 1, que, 1, REP_CONJUNTO_MAX);
    for (int j = 0; l.ok && j < largo; j++) {
        unsigned char ch = (unsigned char)toma(l, 1, que);
        if (l.ok && (ch < ' ' || ch >= 127))
            falla(l, _("%s mal escrito"), que);
        r->conjunto[j] = (char)ch;
    }
    r->conjunto[l.ok ? largo : 0] = 0;
    r->practica = toma_entre(l, 1, _("el nivel de practica"), 0, r->niveles);
}

// How the run ended.
static void lee_final(Lector &l, Repeticion *r)
{
    r->fin = toma_entre(l, 1, _("el final"), REP_FIN_NIVEL, REP_FIN_GANO);
    r->alcanzado = toma_entre(l, 1, _("el nivel alcanzado"), 1, r->niveles);
    r->puntos = toma_entre(l, 4, _("los puntos"), 0, 0x7FFFFFFF);
    r->vidas = toma_entre(l, 2, _("las vidas"), 0, 0xFFFF);
    r->suma = toma(l, 4, _("la suma del mundo"));
}

// The key runs, expanded into r->teclas.
static void lee_teclas(Lector &l, Repeticion *r)
{
    int total = toma_entre(l, 4, _("la cuenta de ticks"), 0, REP_MAX_TICKS);
    r->teclas.clear();
    int anterior = -1;
    while (l.ok && (int)r->teclas.size() < total) {
        unsigned t = toma(l, 1, _("las teclas"));
        unsigned largo = toma_largo(l);
        if (!l.ok)
            break;
        if (t & ~(unsigned)REP_TECLAS)
            return (void)falla(l, _("%s: teclas desconocidas (%ld)"), _("las teclas"), (long)t);
        if ((int)t == anterior)
            return (void)falla(l, _("%s: dos tramos seguidos con las mismas teclas"), _("las teclas"));
        if (largo > (unsigned)(total - (int)r->teclas.size()))
            return (void)falla(l, _("%s: mas ticks que los %ld de la cabecera"), _("las teclas"), total);
        r->teclas.insert(r->teclas.end(), largo, (unsigned char)t);
        anterior = (int)t;
    }
}

// True when the file's last four bytes are the CRC-32 of all before them.
static bool crc_final_vale(const unsigned char *d, size_t n)
{
    if (n < 4)
        return false;
    unsigned crc = (unsigned)d[n - 4] | (unsigned)d[n - 3] << 8 | (unsigned)d[n - 2] << 16 | (unsigned)d[n - 1] << 24;
    return crc == crc32_bytes(0, d, n - 4);
}

bool descifra_repeticion(const unsigned char *d, size_t n, Repeticion *r, char *motivo, int tam)
{
    Lector l = {d, n, 0, motivo, tam, true, false};
    lee_cabecera(l, r);
    lee_niveles(l, r);
    lee_conjunto(l, r);
    lee_final(l, r);
    lee_teclas(l, r);
    // A field out of range (a newer version too) in a file whose CRC does not hold is damage, not
    // what the field says; a file cut short keeps the field it was cut in.
    if (!l.ok && !l.corto && memcmp(d, MARCA, REP_MARCA_BYTES) == 0 && !crc_final_vale(d, n)) {
        snprintf(motivo, tam, "%s", _("dañado (el CRC no coincide)"));
        return false;
    }
    size_t fin_datos = l.p;
    unsigned crc = toma(l, 4, _("el CRC del archivo"));
    if (l.ok && crc != crc32_bytes(0, d, fin_datos))
        falla(l, "%s", _("dañado (el CRC no coincide)"));
    if (l.ok && l.p != n)
        falla(l, _("%s: %ld bytes de mas al final"), "datos", (long)(n - l.p));
    return l.ok;
}

bool lee_repeticion(const char *ruta, Repeticion *r, char *error, int tam)
{
    char motivo[MOTIVO_MAX + 40];
    FILE *f = abre_regular(ruta, motivo, MOTIVO_MAX);
    if (!f) {
        snprintf(error, tam, "%s: %s", ruta, motivo);
        return false;
    }
    std::vector<unsigned char> v;
    bool mas;
    bool ok = lee_todo(f, &v, REP_MAX_BYTES, &mas);
    int err = errno;
    fclose(f);
    if (!ok) {
        snprintf(error, tam, _("%s: no se pudo leer (%s)"), ruta, strerror(err));
        return false;
    }
    if (mas) {
        snprintf(error, tam, _("%s: demasiado grande para ser una repeticion"), ruta);
        return false;
    }
    if (descifra_repeticion(v.data(), v.size(), r, motivo, sizeof motivo))
        return true;
    snprintf(error, tam, "%s: %s", ruta, motivo);
    return false;
}
