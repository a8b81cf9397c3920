// almp3: a small MP3 stream decoder fed chunk by chunk, playing into an Allegro audio stream.
// The file side (mp3) hands the encoded data over in chunks when the stream asks for them;
// the stream decodes with libmpg123 (feed mode) at a fixed 44100 Hz, 16-bit stereo output,
// whatever the rate and channel count of the song, and plays it with the library's mixer.
// Not thread-safe by itself: the music lock (musica) keeps every call exclusive.
#ifndef KORV_ALMP3_H
#define KORV_ALMP3_H

#include <allegro.h>

struct ALMP3_MP3STREAM;

enum {
    ALMP3_FRECUENCIA = 44100,     // output rate of every stream, Hz
    ALMP3_CANALES = 2,            // output channels (interleaved left, right)
    ALMP3_BYTES_MUESTRA = 2,      // bytes per sample and channel (16 bits)
    ALMP3_BYTES_CUADRO = ALMP3_CANALES * ALMP3_BYTES_MUESTRA,   // bytes per output frame
    ALMP3_CUADROS_MIN = 1024,     // smallest audio buffer half, frames
    ALMP3_POLL_OK = 0,            // poll: the song plays on
    ALMP3_POLL_FIN = 1,           // poll: the song has played to its end
    ALMP3_POLL_PARADO = 2,        // poll: the stream is not playing (never started or stopped)
    ALMP3_POLL_ERROR = 3          // poll: the data cannot be decoded or playback failed
};

// Creates a stream from the first chunk of a song (the data are copied). last: the chunk is the
// whole song. Every buffer the stream hands out later holds len bytes; after a last block it
// hands out none. Null when the chunk is empty, memory runs out, or a whole song holds no frame.
ALMP3_MP3STREAM *almp3_create_mp3stream(const void *data, int len, int last);
// Starts playback with an audio buffer of len bytes (per half of the library's double buffer),
// volume and pan 0..255. 0 on success, -1 when no audio stream can be had.
int almp3_play_mp3stream(ALMP3_MP3STREAM *s, int len, int vol, int pan);
// A buffer to fill with the next chunk when the decoder has run out of data, else null.
void *almp3_get_mp3stream_buffer(ALMP3_MP3STREAM *s);
// Takes the filled buffer back: bytes_used -1 is a full chunk, any other count (0 included)
// marks these bytes as the last of the song.
void almp3_free_mp3stream_buffer(ALMP3_MP3STREAM *s, int bytes_used);
// Decodes and feeds the audio stream; ALMP3_POLL_OK while the song plays, another value once it
// has been heard to its end, has been stopped, or cannot go on.
int almp3_poll_mp3stream(ALMP3_MP3STREAM *s);
// Stops the sound (the stream can then only be destroyed).
void almp3_stop_mp3stream(ALMP3_MP3STREAM *s);
// Frees the stream (stopping it first if it plays). Null is ignored.
void almp3_destroy_mp3stream(ALMP3_MP3STREAM *s);
// Changes volume and pan (0..255) and speed (1000 is normal) of the playing stream.
void almp3_adjust_mp3stream(ALMP3_MP3STREAM *s, int vol, int pan, int speed);
// The library's audio stream of a playing stream, or null.
AUDIOSTREAM *almp3_get_audiostream_mp3stream(ALMP3_MP3STREAM *s);

// Listener for the decoded sound, for checks: called with every audio buffer handed to the
// mixer (unsigned 16-bit interleaved stereo, frames of it). Null (the default) calls nothing.
typedef void (*almp3_escucha_fn)(const unsigned short *muestras, int cuadros, void *ctx);
void almp3_pon_escucha(almp3_escucha_fn fn, void *ctx);

// Counters of one stream, for checks: bytes of song data received, chunks handed out,
// buffers that had to be padded with silence while the song still had data to come.
struct almp3_cuenta {
    long bytes_recibidos;
    int trozos_pedidos;
    int huecos;
    int ultimo_recibido;   // 1 once the last block has come
};
void almp3_cuenta_mp3stream(ALMP3_MP3STREAM *s, almp3_cuenta *c);

#endif
