// Helpers of the music tests: song files made at test time, and measures of decoded sound.
#ifndef KORV_MUSICA_OIDO_H
#define KORV_MUSICA_OIDO_H

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Makes an MP3 of a sine tone with sox and lame: seconds, Hz of the tone, sample rate, channels,
// amplitude (0..1), extra lame options. True when the file was made.
inline bool haz_mp3(const std::string &ruta, double segundos, double tono, int tasa, int canales,
                    double amplitud = 0.5, const char *lame_extra = "")
{
    std::string wav = ruta + ".wav";
    char orden[1024];
    snprintf(orden, sizeof orden,
             "sox -R -n -r %d -c %d -b 16 '%s' synth %.3f sine %.1f vol %.3f && lame --quiet %s '%s' '%s'"
             " && rm -f '%s'",
             tasa, canales, wav.c_str(), segundos, tono, amplitud, lame_extra, wav.c_str(), ruta.c_str(),
             wav.c_str());
    return system(orden) == 0;
}

// Interleaved signed stereo sound and what can be measured on one channel of it.
struct Sonido {
    std::vector<short> m;   // interleaved left, right
    int frames() const { return (int)(m.size() / 2); }
    short at(int frame, int canal) const { return m[(size_t)frame * 2 + canal]; }

    // First and one-past-last frame louder than the threshold on a channel; -1, -1 when none.
    void extremos(int canal, int umbral, int &ini, int &fin) const
    {
        ini = fin = -1;
        for (int i = 0; i < frames(); i++)
            if (std::abs(at(i, canal)) > umbral) {
                if (ini < 0)
                    ini = i;
                fin = i + 1;
            }
    }
    // Frequency from the rising zero crossings between two frames, at a sample rate.
    double frecuencia(int canal, int ini, int fin, int tasa) const
    {
        int primero = -1, ultimo = -1, cruces = 0;
        for (int i = ini + 1; i < fin; i++)
            if (at(i - 1, canal) < 0 && at(i, canal) >= 0) {
                if (primero < 0)
                    primero = i;
                else
                    cruces++;
                ultimo = i;
            }
        if (cruces == 0)
            return 0;
        return (double)cruces * tasa / (ultimo - primero);
    }
    int pico(int canal, int ini, int fin) const
    {
        int p = 0;
        for (int i = ini; i < fin; i++)
            p = std::max(p, std::abs((int)at(i, canal)));
        return p;
    }
    double media(int canal, int ini, int fin) const
    {
        double s = 0;
        for (int i = ini; i < fin; i++)
            s += at(i, canal);
        return fin > ini ? s / (fin - ini) : 0;
    }
    // Smallest RMS over windows of the given frames between ini and fin (gaps show as near 0).
    double rms_minimo(int canal, int ini, int fin, int ventana) const
    {
        double menor = 1e9;
        for (int a = ini; a + ventana <= fin; a += ventana) {
            double s = 0;
            for (int i = a; i < a + ventana; i++)
                s += (double)at(i, canal) * at(i, canal);
            menor = std::min(menor, std::sqrt(s / ventana));
        }
        return menor;
    }
};

// Reads a 16-bit WAV file (as the sound capture writes it) into interleaved stereo; the rate in tasa.
inline bool lee_wav(const std::string &ruta, Sonido &s, int &tasa)
{
    FILE *f = fopen(ruta.c_str(), "rb");
    if (!f)
        return false;
    std::vector<unsigned char> d;
    unsigned char b[65536];
    size_t n;
    while ((n = fread(b, 1, sizeof b, f)) > 0)
        d.insert(d.end(), b, b + n);
    fclose(f);
    if (d.size() < 44 || std::string((char *)d.data(), 4) != "RIFF")
        return false;
    int canales = 0;
    size_t p = 12;
    while (p + 8 <= d.size()) {
        std::string id((char *)&d[p], 4);
        size_t largo = d[p + 4] | d[p + 5] << 8 | d[p + 6] << 16 | (size_t)d[p + 7] << 24;
        if (id == "fmt ") {
            canales = d[p + 10] | d[p + 11] << 8;
            tasa = d[p + 12] | d[p + 13] << 8 | d[p + 14] << 16;
        } else if (id == "data") {
            size_t fin = d.size();   // the capture may not have written the final length
            if (largo < fin - p - 8)
                fin = p + 8 + largo;
            for (size_t i = p + 8; i + 1 < fin; i += 2) {
                short v = (short)(d[i] | d[i + 1] << 8);
                s.m.push_back(v);
                if (canales == 1)
                    s.m.push_back(v);
            }
            return canales == 1 || canales == 2;
        }
        p += 8 + largo + (largo & 1);
    }
    return false;
}

}  // namespace

#endif
