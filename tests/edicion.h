// edicion: the editor headless: its keys from a script, a working folder with the shipped data
// and the pictures loaded, the editing state at its start.
#ifndef KORV_PRUEBA_EDICION_H
#define KORV_PRUEBA_EDICION_H

#include <cstring>

#include "editor/mained.h"
#include "shared/conjuntos.h"
#include "tests/prueba.h"

// The keys the editor reads next: a value under 256 is a scan code alone, others scan << 8 | character.
inline std::vector<int> guion;
inline size_t leidas;   // keys of guion read so far

// The next key of the script, then ESC for every further question.
inline int del_guion()
{
    int k = leidas < guion.size() ? guion[leidas++] : KEY_ESC;
    return k < 256 ? k << 8 : k;
}

// The shipped data, the pictures, the state at its start; propio: the level maker's own set in
// edit (as the editor starts), else the campaign.
struct Editor : CarpetaTemporal {
    explicit Editor(bool propio = false) : CarpetaTemporal(DATOS_REALES)
    {
        static bool cargado = false;
        if (!cargado) {
            EXPECT_TRUE(CargarBMP());
            scroll = create_bitmap(2 * ED_PANTALLA_W, ED_PANTALLA_H);
            active_page = create_bitmap(ED_PANTALLA_W, ED_PANTALLA_H);
            reserva_enemigos();
            cargado = true;
        }
        fuente_tecla = del_guion;
        guion.clear(), leidas = 0, cerrar = 0, modifi = 0, carga = 0;
        memset(enemi2, 0, sizeof enemi2);
        reinicia_edicion();
        busca_conjuntos();
        pon_conjunto(propio ? conjunto_propio() : 0);
    }
    ~Editor() { pon_conjunto(0); }
};

// Opens a level file as CARGAR MAPA does, for saving back.
inline void abre(const char *ruta)
{
    ASSERT_TRUE(CargaMapa(ruta));
    cargamatrizene();
    strcpy(archivo, ruta);
    carga = 1;
}

#endif
