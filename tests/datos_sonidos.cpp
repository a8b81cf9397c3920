// The eight samples: valid WAV files that the library loads, mono 22050 Hz 16-bit,
// audible, unclipped, centred; the engine loop joins without a click.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "prueba.h"
#include "shared/carga.h"

namespace {

const char *const muestras[] = {"explocio", "camio1", "bolsa", "korvpol", "camio2", "gold", "camio3", "gameover"};

unsigned le16(const std::vector<unsigned char> &v, size_t i) { return v[i] | (v[i + 1] << 8); }
unsigned le32(const std::vector<unsigned char> &v, size_t i) { return le16(v, i) | (le16(v, i + 2) << 16); }

// The samples of a 16-bit PCM WAV (after checking its header), scaled to -1..1.
std::vector<double> lee_pcm(const std::string &ruta)
{
    std::vector<unsigned char> v = lee_archivo(ruta);
    std::vector<double> s;
    if (v.size() < 44 || std::string(v.begin(), v.begin() + 4) != "RIFF" ||
        std::string(v.begin() + 8, v.begin() + 16) != "WAVEfmt ")
        return s;
    EXPECT_EQ(le32(v, 4), v.size() - 8) << ruta;
    EXPECT_EQ(le16(v, 20), 1u) << ruta << ": no es PCM";
    EXPECT_EQ(le16(v, 22), 1u) << ruta << ": no es mono";
    EXPECT_EQ(le32(v, 24), 22050u) << ruta;
    EXPECT_EQ(le16(v, 34), 16u) << ruta;
    EXPECT_EQ(std::string(v.begin() + 36, v.begin() + 40), "data") << ruta;
    unsigned n = le32(v, 40);
    EXPECT_EQ(n + 44, v.size()) << ruta;
    for (size_t i = 44; i + 1 < v.size(); i += 2)
        s.push_back((short)le16(v, i) / 32768.0);
    return s;
}

}  // namespace

TEST(MuestrasSonido, LaBibliotecaLasCarga)
{
    for (const char *m : muestras) {
        std::string r = std::string(KORV_DIR) + "/datos/" + m + ".wav";
        SAMPLE *s = load_sample(r.c_str());
        ASSERT_NE(s, nullptr) << r;
        EXPECT_GT(s->len, 22050u / 10) << m << ": demasiado corto";
        EXPECT_LT(s->len, 22050u * 3) << m << ": demasiado largo";
        destroy_sample(s);
    }
}

TEST(MuestrasSonido, AudiblesSinSaturarNiDesplazar)
{
    for (const char *m : muestras) {
        std::vector<double> s = lee_pcm(std::string(KORV_DIR) + "/datos/" + m + ".wav");
        ASSERT_FALSE(s.empty()) << m;
        double pico = 0, media = 0, rms = 0;
        int topes = 0;
        for (double x : s) {
            pico = std::max(pico, std::fabs(x));
            media += x;
            rms += x * x;
            if (std::fabs(x) > 0.999) topes++;
        }
        media /= s.size();
        rms = std::sqrt(rms / s.size());
        EXPECT_EQ(topes, 0) << m << " satura";
        EXPECT_LT(pico, 0.9) << m;
        EXPECT_GT(pico, 0.5) << m << " casi mudo";
        EXPECT_GT(rms, 0.04) << m << " casi mudo";
        EXPECT_LT(std::fabs(media), 0.005) << m << " desplazado";
    }
}

// One-shot sounds end in silence; the engine loop's end leads into its start no harder
// than a usual step between neighbouring samples inside it.
TEST(MuestrasSonido, FinalesSinChasquido)
{
    for (const char *m : muestras) {
        std::vector<double> s = lee_pcm(std::string(KORV_DIR) + "/datos/" + m + ".wav");
        ASSERT_GT(s.size(), 100u) << m;
        if (std::string(m) == "camio1") {
            double paso = 0;
            for (size_t i = 1; i < s.size(); i++) paso += std::fabs(s[i] - s[i - 1]);
            paso /= s.size() - 1;
            EXPECT_LE(std::fabs(s.front() - s.back()), 3 * paso) << "el bucle del motor salta";
        } else {
            EXPECT_LT(std::fabs(s.back()), 0.002) << m;
            EXPECT_LT(std::fabs(s.front()), 0.05) << m;
        }
    }
}
