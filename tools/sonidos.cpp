// sonidos: the eight samples, synthesised: mono, 22050 Hz, 16 bits, peak at -3 dBFS,
// no offset, ends faded (the engine loop instead joins its end to its start).
#include "tools/korvmake.h"

#include <cmath>

enum { HZ = 22050 };
static const double PI2 = 2 * M_PI;
static const double PICO = 0.7071;   // -3 dBFS

typedef std::vector<double> Onda;

// Little-endian fields of the WAV header.
static void le16(std::vector<unsigned char> &v, unsigned x) { v.push_back(x & 255); v.push_back((x >> 8) & 255); }
static void le32(std::vector<unsigned char> &v, unsigned x) { le16(v, x & 0xFFFF); le16(v, x >> 16); }

// Removes the offset, scales to the peak, fades the ends (unless it loops), writes the file.
static void guarda_wav(const char *rel, Onda o, bool bucle)
{
    double media = 0;
    for (double s : o) media += s;
    media /= o.size();
    double max = 1e-9;
    for (double &s : o) { s -= media; max = fmax(max, fabs(s)); }
    int fi = HZ / 500, fo = HZ / 50;
    for (size_t i = 0; i < o.size(); i++) {
        o[i] *= PICO / max;
        if (!bucle && (int)i < fi) o[i] *= (double)i / fi;
        if (!bucle && (int)(o.size() - 1 - i) < fo) o[i] *= (double)(o.size() - 1 - i) / fo;
    }
    std::vector<unsigned char> v = {'R', 'I', 'F', 'F'};
    le32(v, 36 + 2 * (unsigned)o.size());
    for (char c : std::string("WAVEfmt ")) v.push_back(c);
    le32(v, 16); le16(v, 1); le16(v, 1); le32(v, HZ); le32(v, HZ * 2); le16(v, 2); le16(v, 16);
    for (char c : std::string("data")) v.push_back(c);
    le32(v, 2 * (unsigned)o.size());
    for (double s : o)
        le16(v, (unsigned)(int)lround(s * 32767) & 0xFFFF);
    escribe(rel, v);
}

// One-pole low-pass, cutoff in Hz.
struct Filtro {
    double y = 0;
    double paso(double x, double corte) { double a = 1 - exp(-PI2 * corte / HZ); y += a * (x - y); return y; }
};

static Onda vacia(double seg) { return Onda((size_t)(seg * HZ), 0.0); }

// Explosion: noise under a closing filter, a low thump and a few crackles.
static Onda explosion()
{
    Onda o = vacia(1.5);
    Azar az(1);
    Filtro f1, f2;
    double fase = 0;
    for (size_t i = 0; i < o.size(); i++) {
        double t = (double)i / HZ;
        double env = (t < 0.006 ? t / 0.006 : exp(-(t - 0.006) * 2.6));
        double corte = 150 + 4200 * exp(-t * 4);
        double ruido = f2.paso(f1.paso(az.d() * 2 - 1, corte), corte);
        fase += PI2 * (58 * exp(-t * 1.5) + 30) / HZ;
        double golpe = sin(fase) * exp(-t * 5) * 0.9;
        double chasquido = (az.n(1000) < 3 && t > 0.1 && t < 0.9) ? (az.d() - 0.5) * 0.6 * env : 0;
        o[i] = tanh(1.6 * (ruido * env * 2.6 + golpe + chasquido));
    }
    return o;
}

// The engine: one putt per firing (a decaying resonance restarted every period).
// f0 gives the firing rate over time; returns the wave and keeps the phase continuous.
static Onda motor(size_t n, double (*f0)(double), double ruido_nivel, unsigned semilla, bool bucle)
{
    Onda o(n, 0.0);
    double fase = 0;    // 0..1 within a period
    int ciclo = 0;
    Azar az(semilla);
    Onda ruido(n);
    for (double &r : ruido) r = az.d() * 2 - 1;
    Filtro fr, fr2;
    if (bucle)          // bring the filters to their state at the loop's end, so the loop joins
        for (size_t i = 0; i < n; i++) fr2.paso(fr.paso(ruido[i], 260), 260);
    for (size_t i = 0; i < n; i++) {
        double t = (double)i / HZ, f = f0(t);
        double tp = fase / f;                       // seconds since this putt began
        double acento = (ciclo % 4 == 0) ? 1.0 : (ciclo % 2 ? 0.8 : 0.9);
        double putt = acento * exp(-tp * 60) * (sin(PI2 * 190 * tp) + 0.5 * sin(PI2 * 95 * tp));
        double zumbido = 0.25 * sin(PI2 * fase) + 0.12 * sin(PI2 * 2 * fase);
        double grave = fr2.paso(fr.paso(ruido[i], 260), 260) * 3;
        o[i] = putt + zumbido + ruido_nivel * grave * (0.6 + 0.4 * exp(-tp * 40));
        fase += f / HZ;
        if (fase >= 1) { fase -= 1; ciclo++; }
    }
    return o;
}

static double f_ralenti(double) { return (double)HZ / 400; }   // 55.125 Hz: 400 samples a period
static double f_acelera(double t)
{
    // idle, two blips of the throttle, then a long rise
    double f = 45;
    if (t > 0.15 && t < 0.45) f += 40 * sin((t - 0.15) / 0.3 * M_PI);
    if (t > 0.55) f += 80 * (1 - exp(-(t - 0.55) * 2.2));
    return f;
}

// The loop: 56 periods of 400 samples; a slow swell of four cycles per loop.
static Onda motor_bucle()
{
    const int n = 400 * 56;
    Onda o = motor(n, f_ralenti, 0.35, 7, true);
    for (int i = 0; i < n; i++)
        o[i] *= 1 + 0.08 * sin(PI2 * 4 * i / n);
    return o;
}

static Onda arranque()
{
    Onda o = motor((size_t)(1.8 * HZ), f_acelera, 0.4, 8, false);
    for (size_t i = 0; i < o.size(); i++) {
        double t = (double)i / HZ;
        o[i] *= t < 1.5 ? 1 : exp(-(t - 1.5) * 8);
    }
    return o;
}

// A bright bell-like tone added into o from time t0.
static void campana(Onda &o, double t0, double hz, double dur, double vol, double caida)
{
    for (size_t i = (size_t)(t0 * HZ); i < o.size() && i < (size_t)((t0 + dur) * HZ); i++) {
        double t = (double)i / HZ - t0;
        double env = fmin(1, t / 0.003) * exp(-t * caida) * fmin(1, (dur - t) / 0.01);
        o[i] += vol * env * (sin(PI2 * hz * t) + 0.35 * sin(PI2 * hz * 2 * t) + 0.2 * sin(PI2 * hz * 3.01 * t) * exp(-t * 20));
    }
}

// Coins: two quick bright notes with a metallic ring.
static Onda bolsa()
{
    Onda o = vacia(0.42);
    campana(o, 0.0, 987.8, 0.08, 0.8, 12);
    campana(o, 0.07, 1318.5, 0.35, 1.0, 9);
    campana(o, 0.07, 3290, 0.2, 0.15, 25);
    return o;
}

// Run over: a low thump and a wet splat.
static Onda atropello()
{
    Onda o = vacia(0.55);
    Azar az(4);
    Filtro f1, f2;
    double fase = 0;
    for (size_t i = 0; i < o.size(); i++) {
        double t = (double)i / HZ;
        fase += PI2 * (90 * exp(-t * 8) + 38) / HZ;
        double golpe = sin(fase) * exp(-t * 14);
        double r = az.d() * 2 - 1;
        double banda = f1.paso(r, 1400) - f2.paso(r, 300);
        double chof = t > 0.03 ? banda * exp(-(t - 0.03) * 11) * (1 + 0.6 * sin(PI2 * 23 * t)) * 3.2 : 0;
        o[i] = tanh(1.5 * (golpe * 1.1 + chof));
    }
    return o;
}

// A brass-like note (a few odd and even harmonics with a soft attack).
static void metal(Onda &o, double t0, double hz, double dur, double vol)
{
    for (size_t i = (size_t)(t0 * HZ); i < o.size() && i < (size_t)((t0 + dur) * HZ); i++) {
        double t = (double)i / HZ - t0;
        double env = fmin(1, t / 0.02) * (t > dur - 0.05 ? (dur - t) / 0.05 : 1) * (0.85 + 0.15 * exp(-t * 6));
        double vib = 1 + 0.004 * sin(PI2 * 5.5 * t) * fmin(1, t * 3);
        double s = 0;
        for (int h = 1; h <= 6; h++)
            s += sin(PI2 * hz * vib * h * t) / (h * (h > 2 ? 1.5 : 1));
        o[i] += vol * env * s;
    }
}

static double nota(int midi) { return 440.0 * pow(2.0, (midi - 69) / 12.0); }

// Extra life: a rising arpeggio of bells.
static Onda vida()
{
    Onda o = vacia(1.0);
    const int n[] = {72, 76, 79, 84, 88};
    for (int i = 0; i < 5; i++)
        campana(o, i * 0.08, nota(n[i]), 0.6, 0.6, 5);
    return o;
}

// Level done: a short major fanfare.
static Onda fanfarria()
{
    Onda o = vacia(1.5);
    const struct { double t, d; int n; } f[] = {
        {0.0, 0.12, 67}, {0.13, 0.12, 67}, {0.26, 0.12, 67}, {0.39, 0.35, 72}, {0.75, 0.7, 76}};
    for (auto &q : f) {
        metal(o, q.t, nota(q.n), q.d, 0.5);
        metal(o, q.t, nota(q.n - 12), q.d, 0.25);
    }
    metal(o, 0.75, nota(79), 0.7, 0.3);
    return o;
}

// Game over: four falling tones, the last one long and wavering.
static Onda derrota()
{
    Onda o = vacia(2.3);
    const int n[] = {67, 66, 65, 64};
    for (int i = 0; i < 4; i++) {
        double t0 = i * 0.42, d = i < 3 ? 0.4 : 0.95;
        for (size_t k = (size_t)(t0 * HZ); k < o.size() && k < (size_t)((t0 + d) * HZ); k++) {
            double t = (double)k / HZ - t0;
            double env = fmin(1, t / 0.03) * (t > d - 0.08 ? (d - t) / 0.08 : 1);
            double hz = nota(n[i] - 12) * (1 + (i == 3 ? 0.02 * sin(PI2 * 6 * t) - 0.03 * t : 0));
            double s = 0;
            for (int h = 1; h <= 5; h++) s += sin(PI2 * hz * h * t) / h;
            o[k] += env * s * 0.5;
        }
    }
    return o;
}

void hace_sonidos()
{
    guarda_wav("datos/explocio.wav", explosion(), false);
    guarda_wav("datos/camio1.wav", motor_bucle(), true);
    guarda_wav("datos/bolsa.wav", bolsa(), false);
    guarda_wav("datos/korvpol.wav", atropello(), false);
    guarda_wav("datos/camio2.wav", arranque(), false);
    guarda_wav("datos/gold.wav", vida(), false);
    guarda_wav("datos/camio3.wav", fanfarria(), false);
    guarda_wav("datos/gameover.wav", derrota(), false);
}
