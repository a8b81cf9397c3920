// musica: the title foxtrot and the songs of the playlist, written as Standard MIDI
// Files from the song sheets of assets/musica/. A sheet gives the tempo, the voices
// (General MIDI program and accompaniment style), sections of chords and melody, and
// the form; the accompaniment is played from the chords by the style of each voice.
#include "korvmake.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>

enum { TPQ = 96, CORCHEA = TPQ / 2, COMPAS = TPQ * 4, CANAL_BATERIA = 9 };

// Drum notes of the kit.
enum { BOMBO = 36, CAJA = 38, ARO = 37, ESCOBILLA = 40, HH_CERRADO = 42, HH_ABIERTO = 46, PLATILLO = 49, RIDE = 51,
       TOM = 45, PANDERETA = 54, CASTANUELA = 85 };

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

// Accompaniment of one voice for one chord lasting from t for len ticks.
static void acompana(const Cancion &s, const Voz &v, const Acorde &c, const Acorde &sig, int t, int len, int compas)
{
    int ch = v.canal, o = 12 * v.octava;
    const std::string &e = v.estilo;
    if (e == "caminante") {            // walking bass: root, chord tones, an approach to the next root
        int raiz = sobre(c, 0, 36 + o), prox = sobre(sig, 0, 36 + o);
        for (int q = 0; q < len / TPQ; q++) {
            int n = q == 0 ? raiz : (q == len / TPQ - 1 ? prox + ((compas % 2) ? -1 : 1) : sobre(c, q, raiz));
            while (n > raiz + 9) n -= 12;
            nota(ch, t + q * TPQ, TPQ - 6, n, 96 - (q % 2) * 10);
        }
    } else if (e == "tonica") {        // root and fifth in halves
        int raiz = sobre(c, 0, 36 + o);
        for (int q = 0; q < len / TPQ; q += 2)
            nota(ch, t + q * TPQ, TPQ * 2 - 10, q % 4 == 0 ? raiz : raiz + 7 - 12 * (raiz + 7 > 52 + o), 100);
    } else if (e == "corcheas") {      // driving eighths on the root, octave on the off-beats of 4
        int raiz = sobre(c, 0, 33 + o);
        for (int k = 0; k < len / CORCHEA; k++)
            nota(ch, t + k * CORCHEA, CORCHEA - 8, raiz + ((k % 8 == 7) ? 12 : 0), k % 2 ? 88 : 108);
    } else if (e == "sostenido") {     // one long root
        nota(ch, t, len - 8, sobre(c, 0, 36 + o), 90);
    } else if (e == "charleston") {    // chords on two and four
        for (int q = 1; q < len / TPQ; q += 2)
            for (int g = 0; g < (int)c.tonos.size() && g < 4; g++)
                nota(ch, t + q * TPQ, TPQ / 2, sobre(c, g, 55 + o), 70);
    } else if (e == "colchon") {       // held chord
        for (int g = 0; g < (int)c.tonos.size() && g < 4; g++)
            nota(ch, t, len - 4, sobre(c, g, 52 + o), 62);
    } else if (e == "arpegio") {       // broken chord in eighths
        for (int k = 0; k < len / CORCHEA; k++) {
            static const int fig[8] = {0, 1, 2, 3, 4, 3, 2, 1};
            nota(ch, swing_tick(s, t + k * CORCHEA), CORCHEA * 2, sobre(c, fig[k % 8], 48 + o), k % 4 ? 64 : 80);
        }
    } else if (e == "rasgueo") {       // strummed guitar: down strokes with a slight spread
        static const int pat[8] = {1, 0, 1, 1, 0, 1, 1, 0};
        for (int k = 0; k < len / CORCHEA; k++)
            if (pat[k % 8])
                for (int g = 0; g < 4; g++)
                    nota(ch, t + k * CORCHEA + g * 3, CORCHEA, sobre(c, g, 50 + o), k % 4 ? 62 : 84);
    } else if (e == "quintas") {       // power chords in eighths, accents on 1 and the and of 2
        int raiz = sobre(c, 0, 40 + o);
        for (int k = 0; k < len / CORCHEA; k++) {
            int vel = (k % 8 == 0 || k % 8 == 3 || k % 8 == 6) ? 100 : 70;
            nota(ch, t + k * CORCHEA, CORCHEA - 10, raiz, vel);
            nota(ch, t + k * CORCHEA, CORCHEA - 10, raiz + 7, vel);
        }
    } else if (e == "contracanto") {   // long guide tones: the third, then the seventh (or fifth)
        int a = sobre(c, 1, 60 + o), b = sobre(c, c.tonos.size() > 3 ? 3 : 2, 58 + o);
        nota(ch, t, len / 2 - 10, a, 70);
        nota(ch, t + len / 2, len / 2 - 10, b, 64);
    }
}

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
            if (k == 2 || k == 6) nota(ch, tk, 30, ESCOBILLA, 60);
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

// Writes one song as a format-0 Standard MIDI File.
static void escribe_cancion(const Cancion &s, const std::string &hoja)
{
    ev.clear();
    // set-up of every channel at tick 0
    for (const Voz &v : s.voces) {
        if (v.canal != CANAL_BATERIA)
            ev.push_back({0, 1, {(unsigned char)(0xC0 | v.canal), (unsigned char)v.programa}});
        control(v.canal, 0, 7, v.volumen);
        control(v.canal, 0, 11, 127);
        control(v.canal, 0, 10, v.pan);
        control(v.canal, 0, 91, 40);
    }
    // the chords of the whole form as segments of time
    struct Tramo { Acorde c; int t, len, compas; };
    std::vector<Tramo> tramos;
    int t = 0, compas = 0;
    for (const std::string &f : s.forma)
        for (auto &bar : s.secciones.at(f).acordes) {
            int n = (int)bar.size();
            for (int h = 0; h < n; h++)
                tramos.push_back({acorde(bar[h], hoja), t + h * COMPAS / n, COMPAS / n, compas});
            t += COMPAS;
            compas++;
        }
    for (size_t i = 0; i < tramos.size(); i++)
        for (const Voz &v : s.voces)
            if (v.canal != CANAL_BATERIA && v.estilo != "melodia")
                acompana(s, v, tramos[i].c, tramos[(i + 1) % tramos.size()].c, tramos[i].t, tramos[i].len,
                         tramos[i].compas);
    const Voz *melo = nullptr;
    for (const Voz &v : s.voces)
        if (v.estilo == "melodia") melo = &v;
    t = 0;
    compas = 0;
    for (const std::string &f : s.forma) {
        const Seccion &sec = s.secciones.at(f);
        if (!sec.melodia.empty() && sec.melodia.size() != sec.acordes.size() * 8)
            muere(hoja, "la melodia de la seccion " + f + " no llena sus compases (8 corcheas cada uno)");
        for (size_t b = 0; b < sec.acordes.size(); b++, compas++, t += COMPAS) {
            for (const Voz &v : s.voces)
                if (v.canal == CANAL_BATERIA)
                    bateria(s, v.estilo, t, compas, b % 4 == 3);
            if (melo && !sec.melodia.empty())
                for (int k = 0; k < 8; k++) {
                    const std::string &tok = sec.melodia[b * 8 + k];
                    if (tok == "-" || tok == ".") continue;
                    int n = nombre_nota(tok);
                    if (n < 0) muere(hoja, "nota invalida: " + tok);
                    int largo = 1;
                    while (k + largo < 8 && sec.melodia[b * 8 + k + largo] == "-") largo++;
                    int t0 = swing_tick(s, t + k * CORCHEA), t1 = swing_tick(s, t + (k + largo) * CORCHEA);
                    nota(melo->canal, t0, t1 - t0 - 6, n + 12 * melo->octava, k % 2 ? 88 : 100);
                }
        }
    }
    // final chord with a crash, then everything off
    const Acorde &c = tramos[0].c;
    for (const Voz &v : s.voces) {
        if (v.canal == CANAL_BATERIA) {
            nota(v.canal, t, TPQ * 2, PLATILLO, 100);
            nota(v.canal, t, 30, BOMBO, 110);
        } else {
            nota(v.canal, t, COMPAS - 20, sobre(c, 0, v.estilo == "caminante" || v.estilo == "tonica" ||
                                                      v.estilo == "corcheas" || v.estilo == "sostenido" ? 36 : 60),
                 96);
            if (v.estilo == "melodia" || v.estilo == "colchon" || v.estilo == "charleston")
                for (int g = 1; g < 3; g++) nota(v.canal, t, COMPAS - 20, sobre(c, g, 60), 80);
        }
    }
    t += COMPAS;
    for (const Voz &v : s.voces) control(v.canal, t, 123, 0);
    std::stable_sort(ev.begin(), ev.end(), [](const Evento &a, const Evento &b) {
        return a.tick != b.tick ? a.tick < b.tick : a.orden < b.orden;
    });
    // the track: tempo, events with variable-length delta times, end of track
    std::vector<unsigned char> tr;
    auto vlq = [&](unsigned v) {
        unsigned char buf[5];
        int n = 0;
        buf[n++] = v & 0x7F;
        while (v >>= 7) buf[n++] = 0x80 | (v & 0x7F);
        while (n) tr.push_back(buf[--n]);
    };
    unsigned us = 60000000u / (unsigned)s.tempo;
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
    escribe(s.archivo, v);
}

void hace_musica()
{
    static const char *hojas[] = {"musica/fox.txt", "musica/autopista.txt", "musica/noche.txt", "musica/desierto.txt"};
    for (const char *h : hojas)
        escribe_cancion(lee_cancion(h), fuente_ruta(h));
}
