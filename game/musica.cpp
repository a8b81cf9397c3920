// musica: the song table, its shuffled play order, MIDI playback and the music lock.
#include "game/musica.h"

#include "shared/busca.h"
#include "shared/lectura.h"
#include "game/utilfun.h"
#include "game/volumen.h"
#include "shared/idioma.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <chrono>
#include <mutex>
#include <thread>

enum {
    CURSOR = MAX_MUSICAS,   // element of listamusica that holds the play cursor
    SEGUNDOS_MENSAJE = 3,   // seconds the now-playing line stays on screen
    RUTA_MAX = 512,         // the player's path buffer, characters
    INTENTOS = 4,           // extra tries of the callback for a busy lock ...
    PAUSA_INTENTO_US = 500  // ... this many microseconds apart (2 ms at most in all)
};

char archivm[MAX_MUSICAS][512];
int musicas;
int musicmp3;
int listamusica[MAX_MUSICAS + 1];
volatile int midiest;
MIDI *music;
char mensa[512];

// One lock for the music: taken again by the same thread (the callback holds it while it calls
// the players, which take it themselves).
static std::recursive_mutex cerrojo;
// The now-playing text has a lock of its own, so that drawing it every frame never keeps the
// callback from the music lock. Taken inside the music lock, never the other way round.
static std::mutex cerrojo_texto;
static char ruta_midi[RUTA_MAX];   // the MIDI player's path buffer

void musica_bloquea()
{
    cerrojo.lock();
}

void musica_libera()
{
    cerrojo.unlock();
}

bool musica_intenta()
{
    for (int i = 0; i < INTENTOS; i++) {
        if (cerrojo.try_lock())
            return true;
        std::this_thread::sleep_for(std::chrono::microseconds(PAUSA_INTENTO_US));
    }
    return cerrojo.try_lock();
}

void copia_mensa(char *dest, int n)
{
    if (!dest || n <= 0)
        return;
    std::lock_guard<std::mutex> g(cerrojo_texto);
    snprintf(dest, n, "%s", mensa);
}

int siguiente_cancion()
{
    int s = listamusica[listamusica[CURSOR]];
    if (listamusica[CURSOR] < musicas - 1)
        listamusica[CURSOR]++;
    else
        listamusica[CURSOR] = 0;
    return s;
}

void anuncia_cancion(const char *nombre, int largo)
{
    if (largo < 0)
        largo = 0;
    char linea[sizeof mensa];
    snprintf(linea, sizeof linea, _("Sonando:%.*s"), largo, nombre);
    pon_linea(linea);
}

void pon_linea(const char *texto)
{
    {
        std::lock_guard<std::mutex> g(cerrojo_texto);
        snprintf(mensa, sizeof mensa, "%s", texto);
    }
    mensaje = SEGUNDOS_MENSAJE;
}

void buscaarchm()
{
    musicas = busca_archivos("midi/*.mid", archivm, MAX_MUSICAS);
}

void armalistamusica()
{
    for (int i = 0; i <= MAX_MUSICAS; i++)
        listamusica[i] = 0;
    srand((unsigned)time(NULL));
    // 0 marks a free element: every number from 1 on lands in a free one, and the one element
    // never taken keeps the 0, so the order is a permutation.
    for (int i = 0; i < musicas; i++) {
        int r;
        do {
            r = rand() % musicas;
        } while (listamusica[r] != 0);
        listamusica[r] = i;
    }
}

// Loads and starts the next song of the order; a file that does not load is skipped, at most
// once round the list. The song loaded before is released.
static void arranca_midi()
{
    for (int intento = 0; intento < musicas; intento++) {
        int s = siguiente_cancion();
        int n = snprintf(ruta_midi, sizeof ruta_midi, "midi/%s", archivm[s]);
        char motivo[MOTIVO_MAX] = "";
        // The library's reader opens by name and would wait forever on a FIFO.
        MIDI *nueva = n < (int)sizeof ruta_midi && es_regular(ruta_midi, motivo, sizeof motivo) ? load_midi(ruta_midi)
                                                                                            : NULL;
        if (motivo[0] && !nueva)
            fprintf(stderr, "%s: %s\n", ruta_midi, motivo);
        if (!nueva) {
            fprintf(stderr, _("KORVEX: no se pudo leer la cancion %s; se pasa a la siguiente\n"), ruta_midi);
            continue;
        }
        if (music)
            destroy_midi(music);
        music = nueva;
        if (hay_midi)   // the song line only for a song that is heard
            anuncia_cancion(archivm[s], (int)strlen(archivm[s]));
        play_midi(music, 0);
        midiest = 1;
        return;
    }
}

void playmidimusic()
{
    musica_bloquea();
    if (midiest == 1 && midi_pos < 0)
        midiest = 0;
    if (midiest != 1 && musicas > 0)
        arranca_midi();
    musica_libera();
}

void stopmidi()
{
    musica_bloquea();
    midiest = 0;
    stop_midi();
    if (music) {
        destroy_midi(music);
        music = NULL;
    }
    musica_libera();
}
