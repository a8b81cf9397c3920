// The world of play declared once: its checksum covers every field a recording can hold, its
// resets start a run and a level from the same world whatever came before, a copy of the record
// is all a look-ahead needs to put play back, and a recording of the first version still plays.
#include <cstring>
#include <string>
#include <vector>

#include "game/main.h"
#include "game/repeticion_juego.h"
#include "shared/rutas.h"
#include "tests/prueba.h"
#include "tests/partida.h"

namespace {

// The bytes of one field of a record.
unsigned char *campo(Mundo &m, const CampoMundo &c) { return (unsigned char *)(void *)&m + c.desde; }

}  // namespace

// Every byte of every field flipped in turn: the checksum of each recording version changes
// exactly for the fields that version covers. Only the bags' pan is outside today's checksum.
TEST(Mundo, CadaCampoCambiaLaSumaQueLoCubre)
{
    superficies();
    for (int i = 0; i < CAMPOS_MUNDO; i++) {
        const CampoMundo &c = campos_mundo[i];
        SCOPED_TRACE(c.nombre);
        EXPECT_EQ(c.suma == 0, std::string(c.nombre) == "pan") << "un campo fuera de la suma de las grabaciones";
        for (size_t k = 0; k < c.bytes; k++) {
            unsigned v1 = suma_mundo(1), actual = suma_mundo(REP_VERSION);
            campo(mundo, c)[k] ^= 0x5A;
            EXPECT_EQ(suma_mundo(1) != v1, c.suma == 1);
            EXPECT_EQ(suma_mundo(REP_VERSION) != actual, c.suma >= 1 && c.suma <= REP_VERSION);
            campo(mundo, c)[k] ^= 0x5A;
        }
    }
}

// A run's start sets every field but those the program keeps (the state, the bags' pan) to its
// start value; a level's start only the truck and the road.
TEST(Mundo, ReinicioDeUnaPartidaYDeUnNivel)
{
    static const Mundo inicio;
    for (int partida = 0; partida < 2; partida++) {
        memset((void *)&mundo, 0xA5, sizeof mundo);
        partida ? mundo_empieza_partida() : mundo_empieza_nivel();
        for (int i = 0; i < CAMPOS_MUNDO; i++) {
            const CampoMundo &c = campos_mundo[i];
            SCOPED_TRACE(std::string(c.nombre) + (partida ? " partida" : " nivel"));
            bool puesto = c.otra_vez == MUNDO_NIVEL || (partida && c.otra_vez == MUNDO_PARTIDA);
            std::vector<unsigned char> esperado(c.bytes, 0xA5);
            if (puesto)
                memcpy(esperado.data(), campo(const_cast<Mundo &>(inicio), c), c.bytes);
            EXPECT_EQ(std::vector<unsigned char>(campo(mundo, c), campo(mundo, c) + c.bytes), esperado);
        }
    }
    mundo_empieza_partida();
    cambnib = EST_TITULO;
}

// A copy of the record and of the enemy table taken in the middle of a level, put back: the same
// keys give the same world tick for tick (through splashes and explosions), so no state of play
// lives outside the record.
TEST(Mundo, LaCopiaDelRegistroBastaParaRepetir)
{
    CarpetaTemporal t(DATOS_REALES);
    superficies();
    ASSERT_TRUE(CargaMapa("levels/nivel_03.map"));
    mundo_empieza_partida();
    vidas = 40;
    nscr3 = dificultades[2].velocidad;
    nscro = velocidad_nivel(nscr3, multi, animcon);
    prepara_nivel();
    unsigned semilla = 11;
    std::vector<int> teclas(6000);
    for (int &k : teclas) {
        semilla = semilla * 1664525u + 1013904223u;
        k = (semilla >> 24) % 5 < 2 ? (semilla >> 20) % 3 : 0;
    }
    bool fuego_visto = false, sangre_vista = false;   // in the stretch played twice
    auto corre = [&](size_t desde, size_t hasta) {
        std::vector<unsigned> sumas;
        for (size_t n = desde; n < hasta && cambnib == EST_JUEGO; n++) {
            teclas_piloto = teclas[n];
            act_logica();
            fuego_visto = fuego_visto || (desde && fuego > 0.0f), sangre_vista = sangre_vista || (desde && sang);
            sumas.push_back(suma_mundo(REP_VERSION));
        }
        return sumas;
    };
    corre(0, 1500);
    Mundo copia = mundo;
    std::vector<unsigned char> tabla(enemi, enemi + ENE_BYTES);
    std::vector<unsigned> primera = corre(1500, teclas.size());
    mundo = copia;
    memcpy(enemi, tabla.data(), ENE_BYTES);
    std::vector<unsigned> segunda = corre(1500, teclas.size());
    teclas_piloto = -1;
    EXPECT_TRUE(fuego_visto && sangre_vista) << "el tramo repetido pasa por una explosion y una salpicadura";
    EXPECT_TRUE(primera.size() == teclas.size() - 1500 && segunda == primera) << "the same world tick for tick";
}

// A recording made by the first version of the game (a short level driven straight along lane 2:
// two pedestrians run over, two bags, two explosives, the drive-off) plays back to the end it
// recorded, checked with the first version's checksum, which differs from today's.
TEST(Mundo, UnaGrabacionDeLaPrimeraVersionSigueJugando)
{
    CarpetaTemporal t(SUBCARPETAS);
    escribe_archivo("levels/corto.map", lee_archivo(KORV_FUENTE "/tests/grabaciones/corto.map"));
    buscaarch();
    superficies();
    Repeticion r;
    char error[600];
    ASSERT_TRUE(lee_repeticion(KORV_FUENTE "/tests/grabaciones/v1_corto.rep", &r, error, sizeof error) && r.version == 1 &&
                repeticion_cabe(r, "v1_corto.rep", error, sizeof error)) << error;
    max_fps = r.hz;
    empieza_reproduccion(r, MODO_REPRODUCE);
    corre_niveles([](size_t) { return 0; });
    EXPECT_TRUE(suma_mundo(REP_VERSION) != r.suma && termina_reproduccion()) << "checked with the first version's checksum";
    EXPECT_EQ(std::make_tuple(puntos, vidas, (int)cambnib), std::make_tuple(500, 2, EST_GANO));
}
