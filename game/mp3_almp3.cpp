// almp3: MP3 chunks in, decoded with libmpg123 in feed mode, out through an Allegro audio stream.
#include "game/almp3.h"

#include <mpg123.h>
#include <cstdlib>
#include <cstring>
#include <mutex>

enum {
    FIFO_MITADES = 2,        // decoded sound kept ready, in audio buffer halves
    VUELTAS_VACIAS = 64,     // decoder calls in a row that give nothing before giving up
    MITADES_FINALES = 2      // buffers of silence after the last sound: it has then been heard
};

struct ALMP3_MP3STREAM {
    mpg123_handle *mh;       // the decoder, fed with the song's data
    unsigned char *trozo;    // the buffer handed out for the next chunk
    int trozo_len;           // its length in bytes (the first chunk's length)
    int pide;                // 1: the decoder has run dry and asks for a chunk
    int ultimo;              // 1: the last block of the song has been received
    int agotado;             // 1: the decoder will give no more sound
    int error;               // 1: the data could not be decoded
    int sonado;              // 1: some decoded sound has gone to the mixer
    short *fifo;             // decoded sound not yet in the audio stream, interleaved stereo
    int fifo_cap;            // its capacity, frames
    int fifo_n;              // frames in it
    AUDIOSTREAM *as;         // the playing audio stream, or null
    short *mitad;            // without sound output: the half buffer that stands for the mixer's
    int tocando;             // 1 from play to stop
    int cuadros;             // frames per audio buffer half
    int tras_fin;            // buffers of silence handed out after the last sound
    int fin;                 // result once the song is over, else ALMP3_POLL_OK
    int vol, pan, speed;     // playback settings (0..255, 0..255, 1000 = normal)
    almp3_cuenta cuenta;     // counters for checks
};

static almp3_escucha_fn escucha;   // listener of the decoded sound, or null
static void *escucha_ctx;          // its argument

void almp3_pon_escucha(almp3_escucha_fn fn, void *ctx)
{
    escucha = fn;
    escucha_ctx = ctx;
}

// Makes a decoder in feed mode that always gives 44100 Hz 16-bit stereo (resampling if needed).
static mpg123_handle *nuevo_decodificador()
{
    static std::once_flag una_vez;
    std::call_once(una_vez, [] { mpg123_init(); });
    int err = 0;
    mpg123_handle *mh = mpg123_new(NULL, &err);
    if (!mh)
        return NULL;
    // ADD_FLAGS keeps the defaults (gapless trimming, automatic resampling).
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_FORCE_STEREO | MPG123_QUIET, 0);
    if (mpg123_format_none(mh) != MPG123_OK ||
        mpg123_format(mh, ALMP3_FRECUENCIA, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK ||
        mpg123_open_feed(mh) != MPG123_OK) {
        mpg123_delete(mh);
        return NULL;
    }
    return mh;
}

// Hands song data to the decoder.
static void alimenta(ALMP3_MP3STREAM *s, const void *data, int len)
{
    if (len <= 0)
        return;
    if (mpg123_feed(s->mh, (const unsigned char *)data, len) != MPG123_OK)
        s->error = 1;
    s->cuenta.bytes_recibidos += len;
}

ALMP3_MP3STREAM *almp3_create_mp3stream(const void *data, int len, int last)
{
    if (!data || len <= 0)
        return NULL;
    ALMP3_MP3STREAM *s = (ALMP3_MP3STREAM *)calloc(1, sizeof *s);
    if (!s)
        return NULL;
    s->trozo = (unsigned char *)malloc(len);
    s->mh = nuevo_decodificador();
    if (!s->trozo || !s->mh) {
        almp3_destroy_mp3stream(s);
        return NULL;
    }
    s->trozo_len = len;
    s->ultimo = last ? 1 : 0;
    s->cuenta.ultimo_recibido = s->ultimo;
    s->vol = 255;
    s->pan = 128;
    s->speed = 1000;
    alimenta(s, data, len);
    // Look for the first frame now: data that are already known to hold none make no stream.
    long rate = 0;
    int ch = 0, enc = 0;
    int r = mpg123_getformat(s->mh, &rate, &ch, &enc);
    if (s->error || (r != MPG123_OK && (r != MPG123_NEED_MORE || s->ultimo))) {
        almp3_destroy_mp3stream(s);
        return NULL;
    }
    return s;
}

// Decodes into the fifo until it is full or the decoder needs data or is done.
static void decodifica(ALMP3_MP3STREAM *s)
{
    int vacias = 0;
    while (!s->agotado && s->fifo_n < s->fifo_cap) {
        size_t hecho = 0;
        unsigned char *dest = (unsigned char *)(s->fifo + s->fifo_n * ALMP3_CANALES);
        size_t libre = (size_t)(s->fifo_cap - s->fifo_n) * ALMP3_BYTES_CUADRO;
        int r = mpg123_read(s->mh, dest, libre, &hecho);
        s->fifo_n += (int)(hecho / ALMP3_BYTES_CUADRO);
        if (r == MPG123_NEED_MORE) {
            if (s->ultimo)
                s->agotado = 1;
            else
                s->pide = 1;
            return;
        }
        if (r == MPG123_DONE) {
            s->agotado = 1;
            return;
        }
        if (r != MPG123_OK && r != MPG123_NEW_FORMAT) {
            s->error = 1;
            s->agotado = 1;
            return;
        }
        vacias = hecho ? 0 : vacias + 1;
        if (vacias > VUELTAS_VACIAS) {   // a decoder that neither gives sound nor asks: give up
            s->error = 1;
            s->agotado = 1;
            return;
        }
    }
}

// Fills one audio buffer half from the fifo (silence where it runs short) and hands it over.
static void sirve(ALMP3_MP3STREAM *s, void *buf)
{
    short *dest = (short *)buf;
    int n = s->fifo_n < s->cuadros ? s->fifo_n : s->cuadros;
    int muestras = s->cuadros * ALMP3_CANALES;
    memcpy(dest, s->fifo, (size_t)n * ALMP3_BYTES_CUADRO);
    // Pad with signed silence before the flip: a 0 written after it would be a full negative value.
    memset(dest + n * ALMP3_CANALES, 0, (size_t)(s->cuadros - n) * ALMP3_BYTES_CUADRO);
    s->fifo_n -= n;
    memmove(s->fifo, s->fifo + n * ALMP3_CANALES, (size_t)s->fifo_n * ALMP3_BYTES_CUADRO);
    if (n > 0)
        s->sonado = 1;
    if (n < s->cuadros && !s->agotado)
        s->cuenta.huecos++;
    if (n == 0 && s->agotado)
        s->tras_fin++;
    // The library's 16-bit stream samples are unsigned.
    unsigned short *u = (unsigned short *)buf;
    for (int i = 0; i < muestras; i++)
        u[i] ^= 0x8000;
    if (escucha)
        escucha(u, s->cuadros, escucha_ctx);
    if (s->as)
        free_audio_stream_buffer(s->as);
}

// The next audio buffer half to fill, or null. Without sound output (the library's null driver
// takes two buffers and then none) the stream stands in for the mixer: one half per poll, so a
// song still runs to its end and the playlist moves on.
static void *pide_mitad(ALMP3_MP3STREAM *s, int *vueltas)
{
    if (s->as)
        return get_audio_stream_buffer(s->as);
    return (*vueltas)++ == 0 ? s->mitad : NULL;
}

int almp3_play_mp3stream(ALMP3_MP3STREAM *s, int len, int vol, int pan)
{
    if (!s || s->tocando || s->fin)
        return -1;
    s->cuadros = len / ALMP3_BYTES_CUADRO;
    if (s->cuadros < ALMP3_CUADROS_MIN)
        s->cuadros = ALMP3_CUADROS_MIN;
    s->fifo_cap = s->cuadros * FIFO_MITADES;
    s->fifo = (short *)malloc((size_t)s->fifo_cap * ALMP3_BYTES_CUADRO);
    if (s->fifo && (!digi_driver || digi_driver->id == DIGI_NONE))
        s->mitad = (short *)malloc((size_t)s->cuadros * ALMP3_BYTES_CUADRO);
    else if (s->fifo)
        s->as = play_audio_stream(s->cuadros, 16, TRUE, ALMP3_FRECUENCIA, vol, pan);
    if (!s->as && !s->mitad) {
        s->fin = ALMP3_POLL_ERROR;
        return -1;
    }
    s->tocando = 1;
    s->vol = vol;
    s->pan = pan;
    s->speed = 1000;
    almp3_poll_mp3stream(s);   // the first sound goes out now, not at the next poll
    return 0;
}

void *almp3_get_mp3stream_buffer(ALMP3_MP3STREAM *s)
{
    if (!s || !s->pide || s->ultimo || s->fin)
        return NULL;
    return s->trozo;
}

void almp3_free_mp3stream_buffer(ALMP3_MP3STREAM *s, int bytes_used)
{
    if (!s || s->ultimo || !s->pide)
        return;
    int n = bytes_used;
    if (n < 0 || n > s->trozo_len)
        n = s->trozo_len;
    if (bytes_used != -1) {
        s->ultimo = 1;
        s->cuenta.ultimo_recibido = 1;
    }
    s->pide = 0;
    s->cuenta.trozos_pedidos++;
    alimenta(s, s->trozo, n);
}

int almp3_poll_mp3stream(ALMP3_MP3STREAM *s)
{
    if (!s)
        return ALMP3_POLL_PARADO;
    if (s->fin)
        return s->fin;
    if (!s->tocando)
        return ALMP3_POLL_PARADO;
    decodifica(s);
    void *buf;
    int vueltas = 0;
    while (!s->fin && (buf = pide_mitad(s, &vueltas)) != NULL) {
        sirve(s, buf);
        decodifica(s);
        // Over once the last sound has been heard whole, or at once if nothing ever came out.
        if (s->agotado && s->fifo_n == 0 && (s->tras_fin >= MITADES_FINALES || !s->sonado))
            s->fin = s->error ? ALMP3_POLL_ERROR : ALMP3_POLL_FIN;
    }
    return s->fin;
}

void almp3_stop_mp3stream(ALMP3_MP3STREAM *s)
{
    if (!s)
        return;
    if (s->as) {
        stop_audio_stream(s->as);
        s->as = NULL;
    }
    s->tocando = 0;
    if (!s->fin)
        s->fin = ALMP3_POLL_PARADO;
}

void almp3_destroy_mp3stream(ALMP3_MP3STREAM *s)
{
    if (!s)
        return;
    almp3_stop_mp3stream(s);
    if (s->mh)
        mpg123_delete(s->mh);
    free(s->fifo);
    free(s->mitad);
    free(s->trozo);
    free(s);
}

void almp3_adjust_mp3stream(ALMP3_MP3STREAM *s, int vol, int pan, int speed)
{
    if (!s)
        return;
    s->vol = vol;
    s->pan = pan;
    s->speed = speed > 0 ? speed : 1000;
    if (!s->as)
        return;
    voice_set_volume(s->as->voice, vol);
    voice_set_pan(s->as->voice, pan);
    voice_set_frequency(s->as->voice, (int)((long)ALMP3_FRECUENCIA * s->speed / 1000));
}

AUDIOSTREAM *almp3_get_audiostream_mp3stream(ALMP3_MP3STREAM *s)
{
    return s ? s->as : NULL;
}

void almp3_cuenta_mp3stream(ALMP3_MP3STREAM *s, almp3_cuenta *c)
{
    if (s && c)
        *c = s->cuenta;
}
