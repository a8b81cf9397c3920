// aguante: the headless soak. Plays whole levels, the shipped ones and random ones, with random
// keys held for random spans, at random clock rates and difficulties, each saved and read back.
// A breach of the bounds of play aborts (see arnes), under the sanitizers any bad access does.
// Usage: aguante NIVELES SEMILLA CARPETA_DE_NIVELES [rapido]
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "tests/fuzz/arnes.h"
#include "game/main.h"

static std::mt19937 azar;
static unsigned actual;
static int quedan;

// Random keys held for random spans: none, up, down or both; now and then ESC.
static unsigned teclas(void *)
{
    if (quedan-- <= 0) {
        actual = azar() % 4;
        quedan = 1 + azar() % 60;
    }
    return actual | (azar() % 40000 == 0 ? 4 : 0);
}

int main(int argc, char **argv)
{
    if (argc < 4)
        return 2;
    int n = atoi(argv[1]);
    azar.seed(atoi(argv[2]));
    arnes::monta(argc > 4);
    std::string tmp = arnes::carpeta_rapida() + "/n.map";
    int ganados = 0;
    for (int i = 0; i < n; i++) {
        char ruta[600];
        snprintf(ruta, sizeof ruta, "%s/nivel_%02d.map", argv[3], 1 + i / 2 % 15);
        if (i % 2 == 0 || !CargaMapa(ruta)) {   // a random level: any blocks and enemies
            multi = azar() % 256;
            for (int c = 0; c < MAPA_COLS; c++)
                for (int r = 0; r < MAPA_FILAS; r++)
                    mapa[c][r] = azar() % NUM_TILES;
            for (int k = 0; k < ENE_MAX; k++)
                ene_pon(k, azar() % ENE_COLS, 24 * (azar() % 8), azar() % 9);
        }
        static const int HZ[] = {50, 60, 75, 85, 100, 144};
        ganados += arnes::juega(HZ[azar() % 6], azar() % 3, 0, 1, teclas, NULL) != EST_SALIR;
        arnes::guarda_y_relee(tmp);
    }
    printf("ok: %d niveles, %d terminados\n", n, ganados);
    return 0;
}
