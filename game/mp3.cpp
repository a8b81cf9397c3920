// mp3: the MP3 song search, the stream record (file + decoder stream) and the MP3 playlist.
#include "game/mp3.h"

#include "shared/busca.h"
#include "shared/lectura.h"
#include "game/volumen.h"
#include "game/almp3.h"
#include "game/musica.h"
#include "shared/idioma.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

enum {
    TROZO = 32768,          // bytes read from the file per chunk
    BUFFER_AUDIO = 65536,   // bytes of the playing stream's audio buffer
    VOLUMEN = 255,          // playback volume
    PAN_CENTRO = 128,       // playback pan: centre
    VOCES = 16,             // digital voices reserved at start-up, released before the first song
    RUTA_MAX = 512,         // the player's path buffer, characters
    EXTENSION = 4           // characters of ".mp3" left out of the now-playing line
};

mp3_file *mp3;
volatile int mp3est;
int voces_libres;

static char ruta_mp3[RUTA_MAX];   // the MP3 player's path buffer

void buscaarchmp3()
{
    musicas = busca_archivos("mp3/*.mp3", archivm, MAX_MUSICAS);
}

mp3_file *open_mp3_file(const char *path)
{
    // The library's packfile opens by name and would wait forever on a FIFO.
    char motivo[MOTIVO_MAX];
    if (!es_regular(path, motivo, sizeof motivo)) {
        fprintf(stderr, "%s: %s\n", path, motivo);
        return NULL;
    }
    mp3_file *mp = (mp3_file *)malloc(sizeof *mp);
    if (!mp)
        return NULL;
    mp->pack = pack_fopen(path, "r");
    mp->stream = NULL;
    if (mp->pack) {
        char trozo[TROZO];
        long n = pack_fread(trozo, TROZO, mp->pack);
        if (n > 0)
            mp->stream = almp3_create_mp3stream(trozo, (int)n, n < TROZO);
    }
    if (!mp->stream) {
        if (mp->pack)
            pack_fclose(mp->pack);
        free(mp);
        return NULL;
    }
    return mp;
}

int play_mp3_file(mp3_file *mp, int buflen, int vol, int pan)
{
    if (!mp)
        return -1;
    return almp3_play_mp3stream(mp->stream, buflen, vol, pan);
}

int poll_mp3_file(mp3_file *mp)
{
    if (!mp)
        return ALMP3_POLL_PARADO;
    void *buf = almp3_get_mp3stream_buffer(mp->stream);
    if (buf) {
        long n = pack_fread(buf, TROZO, mp->pack);
        if (n < 0)
            n = 0;
        almp3_free_mp3stream_buffer(mp->stream, n < TROZO ? (int)n : -1);
    }
    return almp3_poll_mp3stream(mp->stream);
}

void close_mp3_file(mp3_file *mp)
{
    if (!mp)
        return;
    pack_fclose(mp->pack);
    almp3_destroy_mp3stream(mp->stream);
    free(mp);
}

// Stops and closes the current song's record, under the lock.
static void cierra_actual()
{
    if (mp3) {
        almp3_stop_mp3stream(mp3->stream);
        close_mp3_file(mp3);
        mp3 = NULL;
    }
}

// Releases the digital voices reserved at start-up; once per process, before the first song.
// Without a digital driver there is nothing to release (and nothing the library could stop).
static void libera_voces()
{
    if (voces_libres)
        return;
    if (digi_driver && digi_driver->id != DIGI_NONE)
        for (int v = 0; v < VOCES; v++)
            deallocate_voice(v);
    voces_libres = 1;
}

// Opens and starts the next song of the order; a file that cannot be opened or decoded is
// skipped, at most once round the list.
static void arranca_mp3()
{
    libera_voces();
    for (int intento = 0; intento < musicas; intento++) {
        int s = siguiente_cancion();
        int n = snprintf(ruta_mp3, sizeof ruta_mp3, "mp3/%s", archivm[s]);
        mp3 = n < (int)sizeof ruta_mp3 ? open_mp3_file(ruta_mp3) : NULL;
        if (mp3 && play_mp3_file(mp3, BUFFER_AUDIO, vol_mp3(VOLUMEN), PAN_CENTRO) != 0) {
            close_mp3_file(mp3);
            mp3 = NULL;
        }
        if (!mp3) {
            fprintf(stderr, _("KORVEX: no se pudo abrir o decodificar %s; se pasa a la siguiente\n"), ruta_mp3);
            continue;
        }
        if (hay_digital)   // the song line only for a song that is heard
            anuncia_cancion(archivm[s], (int)strlen(archivm[s]) - EXTENSION);
        mp3est = 1;
        return;
    }
}

void playmp3()
{
    musica_bloquea();
    if (mp3est == 1 && poll_mp3_file(mp3) != 0) {
        mp3est = 0;
        cierra_actual();
    }
    if (mp3est != 1 && musicas > 0) {
        cierra_actual();
        arranca_mp3();
    }
    musica_libera();
}

void stopmp3()
{
    musica_bloquea();
    if (mp3est == 1) {
        mp3est = 0;
        cierra_actual();
    }
    musica_libera();
}

void ajusta_mp3(int vol, int pan, int speed)
{
    musica_bloquea();
    if (mp3est == 1 && mp3)
        almp3_adjust_mp3stream(mp3->stream, vol, pan, speed);
    musica_libera();
}
