// musica: the title foxtrot and the songs of the playlist, written as Standard MIDI
// Files from the song sheets of assets/musica/. A sheet gives the tempo, the voices
// (General MIDI program and accompaniment style), sections of chords and melody, and
// the form; the accompaniment is played from the chords by the style of each voice.
#include "tools/korvmake.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>

enum { TPQ = 96, CORCHEA = TPQ / 2, COMPAS = TPQ * 4, CANAL_BATERIA = 9 };

// Drum notes of the kit.
enum { BOMBO = 36, CAJA = 38, ARO = 37, HH_CERRADO = 42, PLATILLO = 49, RIDE = 51, TOM = 45, PANDERETA = 54 };

struct Evento {
    int tick, orden;                  // order: offs (0) before controls (1) before ons (2)
    std::vector<unsigned char> b;
};

// One voice of the song.
struct Voz {
    std::string nombre, estilo;
    int programa = 0, canal = 0, volumen = 100, pan = 64, octava = 0;
};

struct Seccion {
    std::vector<std::vector<std::string>> acordes;  // per bar: one or two chords
    std::vector<std::string> melodia;               // eighths, "." rest, "-" hold
};

struct Cancion {
    std::string archivo;
    int tempo = 120;
    bool swing = false;
    std::vector<Voz> voces;
    std::map<std::string, Seccion> secciones;
    std::vector<std::string> forma;
};

static std::vector<Evento> ev;

static void nota(int canal, int tick, int dur, int n, int vel)
{
    if (n < 0 || n > 127 || dur <= 0) return;
    vel = std::max(1, std::min(127, vel));
    ev.push_back({tick, 2, {(unsigned char)(0x90 | canal), (unsigned char)n, (unsigned char)vel}});
    ev.push_back({tick + dur, 0, {(unsigned char)(0x80 | canal), (unsigned char)n, 0}});
}

static void control(int canal, int tick, int c, int v)
{
    ev.push_back({tick, 1, {(unsigned char)(0xB0 | canal), (unsigned char)c, (unsigned char)v}});
}

// A chord symbol: root note (C4 = 60 octave) and the intervals above it.
struct Acorde { int raiz; std::vector<int> tonos; };

static Acorde acorde(const std::string &s, const std::string &hoja)
{
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7};   // A..G
    if (s.empty() || s[0] < 'A' || s[0] > 'G')
        muere(hoja, "acorde invalido: " + s);
    int r = base[s[0] - 'A'];
    size_t i = 1;
    if (i < s.size() && s[i] == '#') { r++; i++; }
    else if (i < s.size() && s[i] == 'b') { r--; i++; }
    std::string q = s.substr(i);
    static const std::map<std::string, std::vector<int>> tipos = {
        {"", {0, 4, 7}},        {"m", {0, 3, 7}},       {"7", {0, 4, 7, 10}},  {"m7", {0, 3, 7, 10}},
        {"maj7", {0, 4, 7, 11}}, {"6", {0, 4, 7, 9}},   {"m6", {0, 3, 7, 9}},  {"dim", {0, 3, 6, 9}},
        {"sus4", {0, 5, 7}},    {"9", {0, 4, 7, 10, 14}}, {"5", {0, 7, 12}}};
    auto t = tipos.find(q);
    if (t == tipos.end())
        muere(hoja, "tipo de acorde desconocido: " + s);
    return {(r + 12) % 12, t->second};
}

// A melody note name such as c5, f#4, bb3: MIDI number, or -1.
static int nombre_nota(const std::string &s)
{
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7};
    if (s.size() < 2 || s[0] < 'a' || s[0] > 'g') return -1;
    int n = base[s[0] - 'a'];
    size_t i = 1;
    if (s[i] == '#') { n++; i++; }
    else if (s[i] == 'b' && i + 1 < s.size()) { n--; i++; }
    if (i >= s.size() || !isdigit((unsigned char)s[i])) return -1;
    return n + 12 * (atoi(s.c_str() + i) + 1);
}

// The chord note of chord c nearest above the bottom note 'piso'.
static int sobre(const Acorde &c, int grado, int piso)
{
    int iv = c.tonos[grado % c.tonos.size()] + 12 * (grado / (int)c.tonos.size());
    int n = c.raiz + iv;
    while (n < piso) n += 12;
    return n;
}

// Swung eighths: the off-beat eighth is played late.
static int swing_tick(const Cancion &s, int t)
{
    return s.swing && (t % TPQ) == CORCHEA ? t + TPQ / 6 : t;
}

// One chord to accompany: the chord, the next one, where it starts and how long it lasts.
struct Tramo {
    Acorde c, sig;
    int t, len, compas;
};

// Walking bass: root, chord tones, then a step onto the next root.
static void caminante(const Cancion &, const Voz &v, const Tramo &x)
{
    int o = 12 * v.octava, raiz = sobre(x.c, 0, 36 + o), prox = sobre(x.sig, 0, 36 + o), n = x.len / TPQ;
    for (int q = 0; q < n; q++) {
        int h = q == 0 ? raiz : (q == n - 1 ? prox + ((x.compas % 2) ? -1 : 1) : sobre(x.c, q, raiz));
        while (h > raiz + 9) h -= 12;
        nota(v.canal, x.t + q * TPQ, TPQ - 6, h, 96 - (q % 2) * 10);
    }
}

// Root and fifth in halves.
static void tonica(const Cancion &, const Voz &v, const Tramo &x)
{
    int o = 12 * v.octava, raiz = sobre(x.c, 0, 36 + o);
    for (int q = 0; q < x.len / TPQ; q += 2)
        nota(v.canal, x.t + q * TPQ, TPQ * 2 - 10, q % 4 == 0 ? raiz : raiz + 7 - 12 * (raiz + 7 > 52 + o), 100);
}

// Driving eighths on the root, the octave on the last one of the bar.
static void corcheas(const Cancion &, const Voz &v, const Tramo &x)
{
    int raiz = sobre(x.c, 0, 33 + 12 * v.octava);
    for (int k = 0; k < x.len / CORCHEA; k++)
        nota(v.canal, x.t + k * CORCHEA, CORCHEA - 8, raiz + ((k % 8 == 7) ? 12 : 0), k % 2 ? 88 : 108);
}

// One long root.
static void sostenido(const Cancion &, const Voz &v, const Tramo &x)
{
    nota(v.canal, x.t, x.len - 8, sobre(x.c, 0, 36 + 12 * v.octava), 90);
}

// Chords on two and four.
static void charleston(const Cancion &, const Voz &v, const Tramo &x)
{
    for (int q = 1; q < x.len / TPQ; q += 2)
        for (int g = 0; g < (int)x.c.tonos.size() && g < 4; g++)
            nota(v.canal, x.t + q * TPQ, TPQ / 2, sobre(x.c, g, 55 + 12 * v.octava), 70);
}

// A held chord.
static void colchon(const Cancion &, const Voz &v, const Tramo &x)
{
    for (int g = 0; g < (int)x.c.tonos.size() && g < 4; g++)
        nota(v.canal, x.t, x.len - 4, sobre(x.c, g, 52 + 12 * v.octava), 62);
}

// The chord broken in eighths, up and down.
static void arpegio(const Cancion &s, const Voz &v, const Tramo &x)
{
    static const int fig[8] = {0, 1, 2, 3, 4, 3, 2, 1};
    for (int k = 0; k < x.len / CORCHEA; k++)
        nota(v.canal, swing_tick(s, x.t + k * CORCHEA), CORCHEA * 2, sobre(x.c, fig[k % 8], 48 + 12 * v.octava),
             k % 4 ? 64 : 80);
}

// Strummed guitar: strokes with the strings a little apart.
static void rasgueo(const Cancion &, const Voz &v, const Tramo &x)
{
    static const int pat[8] = {1, 0, 1, 1, 0, 1, 1, 0};
    for (int k = 0; k < x.len / CORCHEA; k++)
        if (pat[k % 8])
            for (int g = 0; g < 4; g++)
                nota(v.canal, x.t + k * CORCHEA + g * 3, CORCHEA, sobre(x.c, g, 50 + 12 * v.octava), k % 4 ? 62 : 84);
}

// Power chords in eighths, accented on one, the and of two, and four.
static void quintas(const Cancion &, const Voz &v, const Tramo &x)
{
    int raiz = sobre(x.c, 0, 40 + 12 * v.octava);
    for (int k = 0; k < x.len / CORCHEA; k++) {
        int vel = (k % 8 == 0 || k % 8 == 3 || k % 8 == 6) ? 100 : 70;
        nota(v.canal, x.t + k * CORCHEA, CORCHEA - 10, raiz, vel);
        nota(v.canal, x.t + k * CORCHEA, CORCHEA - 10, raiz + 7, vel);
    }
}

// Long guide tones: the third, then the seventh (or the fifth).
static void contracanto(const Cancion &, const Voz &v, const Tramo &x)
{
    int o = 12 * v.octava;
    int a = sobre(x.c, 1, 60 + o), b = sobre(x.c, x.c.tonos.size() > 3 ? 3 : 2, 58 + o);
    nota(v.canal, x.t, x.len / 2 - 10, a, 70);
    nota(v.canal, x.t + x.len / 2, x.len / 2 - 10, b, 64);
}

// The accompaniment styles a voice may name; "bajo" marks the low ones (final chord).
static const struct { const char *nombre; void (*f)(const Cancion &, const Voz &, const Tramo &); bool bajo; } estilos[] = {
    {"caminante", caminante, true}, {"tonica", tonica, true},         {"corcheas", corcheas, true},
    {"sostenido", sostenido, true}, {"charleston", charleston, false}, {"colchon", colchon, false},
    {"arpegio", arpegio, false},    {"rasgueo", rasgueo, false},       {"quintas", quintas, false},
    {"contracanto", contracanto, false},
};

static const char *const estilos_bateria[] = {"escobillas", "rock", "tranquilo", "galope"};

// Drums for one bar by style.
static void bateria(const Cancion &s, const std::string &e, int t, int compas, bool fin_frase)
{
    int ch = CANAL_BATERIA;
    for (int k = 0; k < 8; k++) {
        int tk = swing_tick(s, t + k * CORCHEA);
        bool negra = k % 2 == 0;
        if (e == "escobillas") {
            if (negra) nota(ch, tk, 20, RIDE, k == 0 ? 70 : 56);
            else if (k == 3 || k == 7) nota(ch, tk, 20, RIDE, 44);
            if (k == 2 || k == 6) nota(ch, tk, 30, CAJA, 44);   // a soft snare, as with brushes
            if (k == 0 || k == 4) nota(ch, tk, 30, BOMBO, 50);
            if (k == 2 || k == 6) nota(ch, tk, 20, HH_CERRADO, 50);
        } else if (e == "rock") {
            nota(ch, tk, 20, HH_CERRADO, negra ? 84 : 60);
            if (k == 0 || k == 5 || (k == 4 && compas % 2)) nota(ch, tk, 30, BOMBO, 110);
            if (k == 2 || k == 6) nota(ch, tk, 30, CAJA, 108);
            if (fin_frase && k >= 6) nota(ch, tk + CORCHEA / 2, 20, CAJA, 90);
        } else if (e == "tranquilo") {
            if (negra) nota(ch, tk, 20, RIDE, 52);
            if (k == 0) nota(ch, tk, 30, BOMBO, 56);
            if (k == 6) nota(ch, tk, 20, ARO, 58);
        } else if (e == "galope") {
            if (k == 0 || k == 3 || k == 4 || k == 7) nota(ch, tk, 20, BOMBO, k % 4 == 0 ? 86 : 60);
            if (k == 2 || k == 6) nota(ch, tk, 20, CAJA, 64);
            nota(ch, tk, 20, PANDERETA, negra ? 50 : 34);
        }
    }
    if (compas == 0 || fin_frase)
        if (e != "tranquilo" && compas % 8 == 7)
            nota(ch, t + COMPAS - CORCHEA, 20, TOM, 80);
}

// Reads one song sheet.
static Cancion lee_cancion(const std::string &rel)
{
    Cancion s;
    std::string hoja = fuente_ruta(rel), actual;
    int canal = 0;
    for (const std::string &l : lee_lineas(rel)) {
        std::istringstream in(l);
        std::string k;
        if (!(in >> k)) continue;
        if (k == "archivo") in >> s.archivo;
        else if (k == "tempo") in >> s.tempo;
        else if (k == "swing") s.swing = true;
        else if (k == "voz") {
            Voz v;
            in >> v.nombre >> v.programa >> v.estilo >> v.volumen >> v.pan >> v.octava;
            bool conocido = v.estilo == "melodia";
            for (const auto &e : estilos) conocido |= v.estilo == e.nombre;
            for (const char *e : estilos_bateria) conocido |= v.estilo == e;
            if (!conocido || v.programa < 0 || v.programa > 127)
                muere(hoja, "voz con estilo o programa desconocido: " + l);
            if (v.nombre == "bateria") v.canal = CANAL_BATERIA;
            else { v.canal = canal++; if (canal == CANAL_BATERIA) canal++; }
            s.voces.push_back(v);
        } else if (k == "seccion") in >> actual;
        else if (k == "acordes" || k == "melodia") {
            if (actual.empty()) muere(hoja, "acordes o melodia fuera de una seccion");
            std::string rest;
            std::getline(in, rest);
            std::istringstream c(rest);
            std::string tok;
            Seccion &sec = s.secciones[actual];
            while (c >> tok) {
                if (tok == "|") continue;
                if (k == "acordes") {
                    std::vector<std::string> par;
                    size_t coma = tok.find(',');
                    par.push_back(tok.substr(0, coma));
                    if (coma != std::string::npos) par.push_back(tok.substr(coma + 1));
                    sec.acordes.push_back(par);
                } else {
                    sec.melodia.push_back(tok);
                }
            }
        } else if (k == "forma") {
            std::string f;
            while (in >> f) {
                if (!s.secciones.count(f)) muere(hoja, "seccion desconocida en la forma: " + f);
                s.forma.push_back(f);
            }
        } else muere(hoja, "linea desconocida: " + l);
    }
    if (s.archivo.empty() || s.forma.empty() || s.voces.empty())
        muere(hoja, "falta archivo, forma o voces");
    return s;
}

// True when the style is one of the low voices (they end on the low root).
static bool estilo_bajo(const std::string &e)
{
    for (const auto &x : estilos)
        if (e == x.nombre) return x.bajo;
    return false;
}

// Program, volume, expression, pan and reverb of every channel at tick 0.
static void prepara_canales(const Cancion &s)
{
    for (const Voz &v : s.voces) {
        if (v.canal != CANAL_BATERIA)
            ev.push_back({0, 1, {(unsigned char)(0xC0 | v.canal), (unsigned char)v.programa}});
        control(v.canal, 0, 7, v.volumen);
        control(v.canal, 0, 11, 127);
        control(v.canal, 0, 10, v.pan);
        control(v.canal, 0, 91, 40);
    }
}

// The chords of the whole form as segments of time, each accompanied by every voice.
// Returns the tick where the form ends.
static int acompanamiento(const Cancion &s, const std::string &hoja, Acorde *primero)
{
    std::vector<Tramo> tramos;
    int t = 0, compas = 0;
    for (const std::string &f : s.forma)
        for (auto &bar : s.secciones.at(f).acordes) {
            int n = (int)bar.size();
            for (int h = 0; h < n; h++)
                tramos.push_back({acorde(bar[h], hoja), {}, t + h * COMPAS / n, COMPAS / n, compas});
            t += COMPAS;
            compas++;
        }
    for (size_t i = 0; i < tramos.size(); i++) {
        tramos[i].sig = tramos[(i + 1) % tramos.size()].c;
        for (const Voz &v : s.voces)
            for (const auto &e : estilos)
                if (v.estilo == e.nombre)
                    e.f(s, v, tramos[i]);
    }
    *primero = tramos.at(0).c;
    return t;
}

// The written melody of one bar (eight eighths) on the melody voice.
static void compas_melodia(const Cancion &s, const Voz &v, const std::vector<std::string> &m, size_t b, int t,
                           const std::string &hoja)
{
    for (int k = 0; k < 8; k++) {
        const std::string &tok = m[b * 8 + k];
        if (tok == "-" || tok == ".") continue;
        int n = nombre_nota(tok);
        if (n < 0) muere(hoja, "nota invalida: " + tok);
        int largo = 1;
        while (k + largo < 8 && m[b * 8 + k + largo] == "-") largo++;
        int t0 = swing_tick(s, t + k * CORCHEA), t1 = swing_tick(s, t + (k + largo) * CORCHEA);
        nota(v.canal, t0, t1 - t0 - 6, n + 12 * v.octava, k % 2 ? 88 : 100);
    }
}

// Drums and melody, bar by bar through the form.
static void melodia_y_bateria(const Cancion &s, const std::string &hoja)
{
    int t = 0, compas = 0;
    for (const std::string &f : s.forma) {
        const Seccion &sec = s.secciones.at(f);
        if (!sec.melodia.empty() && sec.melodia.size() != sec.acordes.size() * 8)
            muere(hoja, "la melodia de la seccion " + f + " no llena sus compases (8 corcheas cada uno)");
        for (size_t b = 0; b < sec.acordes.size(); b++, compas++, t += COMPAS)
            for (const Voz &v : s.voces) {
                if (v.canal == CANAL_BATERIA)
                    bateria(s, v.estilo, t, compas, b % 4 == 3);
                else if (v.estilo == "melodia" && !sec.melodia.empty())
                    compas_melodia(s, v, sec.melodia, b, t, hoja);
            }
    }
}

// The final bar: the first chord held with a crash, then every channel silenced.
static void final_cancion(const Cancion &s, const Acorde &c, int t)
{
    for (const Voz &v : s.voces) {
        if (v.canal == CANAL_BATERIA) {
            nota(v.canal, t, TPQ * 2, PLATILLO, 100);
            nota(v.canal, t, 30, BOMBO, 110);
            continue;
        }
        nota(v.canal, t, COMPAS - 20, sobre(c, 0, estilo_bajo(v.estilo) ? 36 : 60), 96);
        if (!estilo_bajo(v.estilo))
            for (int g = 1; g < 3; g++) nota(v.canal, t, COMPAS - 20, sobre(c, g, 60), 80);
    }
    for (const Voz &v : s.voces)
        control(v.canal, t + COMPAS, 123, 0);
}

// The events as one format-0 file: header, tempo, time signature, events, end of track.
static std::vector<unsigned char> archivo_midi(int tempo)
{
    std::stable_sort(ev.begin(), ev.end(), [](const Evento &a, const Evento &b) {
        return a.tick != b.tick ? a.tick < b.tick : a.orden < b.orden;
    });
    std::vector<unsigned char> tr;
    auto vlq = [&](unsigned v) {
        unsigned char buf[5];
        int n = 0;
        buf[n++] = v & 0x7F;
        while (v >>= 7) buf[n++] = 0x80 | (v & 0x7F);
        while (n) tr.push_back(buf[--n]);
    };
    unsigned us = 60000000u / (unsigned)tempo;
    tr.insert(tr.end(), {0, 0xFF, 0x51, 3, (unsigned char)(us >> 16), (unsigned char)(us >> 8), (unsigned char)us});
    tr.insert(tr.end(), {0, 0xFF, 0x58, 4, 4, 2, 24, 8});
    int ultimo = 0;
    for (const Evento &e : ev) {
        vlq((unsigned)(e.tick - ultimo));
        ultimo = e.tick;
        tr.insert(tr.end(), e.b.begin(), e.b.end());
    }
    tr.insert(tr.end(), {0, 0xFF, 0x2F, 0});
    std::vector<unsigned char> v = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, TPQ, 'M', 'T', 'r', 'k'};
    unsigned L = tr.size();
    v.insert(v.end(), {(unsigned char)(L >> 24), (unsigned char)(L >> 16), (unsigned char)(L >> 8), (unsigned char)L});
    v.insert(v.end(), tr.begin(), tr.end());
    return v;
}

// Writes one song as a format-0 Standard MIDI File.
static void escribe_cancion(const Cancion &s, const std::string &hoja)
{
    ev.clear();
    prepara_canales(s);
    Acorde primero;
    int fin = acompanamiento(s, hoja, &primero);
    melodia_y_bateria(s, hoja);
    final_cancion(s, primero, fin);
    escribe(s.archivo, archivo_midi(s.tempo));
}

void hace_musica()
{
    static const char *hojas[] = {"musica/fox.txt", "musica/autopista.txt", "musica/noche.txt", "musica/desierto.txt"};
    for (const char *h : hojas)
        escribe_cancion(lee_cancion(h), fuente_ruta(h));
}
