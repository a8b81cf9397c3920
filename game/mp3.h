// mp3: the MP3 song search and streaming from disk.
#ifndef KORV_MP3_H
#define KORV_MP3_H

#include <allegro.h>

struct ALMP3_MP3STREAM;   // decoder stream of our MP3 layer

// An open song file tied to its decoder stream.
struct mp3_file {
    PACKFILE *pack;            // the song file, positioned after the data handed over so far
    ALMP3_MP3STREAM *stream;   // the decoder stream fed from pack
};

extern mp3_file *mp3;          // record of the song last started, or null
extern volatile int mp3est;    // 1 while an MP3 song of the playlist plays
extern int voces_libres;       // 1 once the digital voices 0..15 were released (first MP3 song)

// Fills archivm and musicas with "mp3/*.mp3" (the first 10 by name).
void buscaarchmp3();
// Opens a song file and makes its stream from the first 32768-byte chunk; null when the file
// cannot be opened, is empty or holds no MP3 data.
mp3_file *open_mp3_file(const char *path);
// Starts the record's stream with an audio buffer of buflen bytes; 0 on success.
int play_mp3_file(mp3_file *mp, int buflen, int vol, int pan);
// Hands the stream the next chunk when it asks and lets it decode: 0 while the song plays on.
int poll_mp3_file(mp3_file *mp);
// Closes the file, destroys the stream, frees the record (null is ignored).
void close_mp3_file(mp3_file *mp);
// Moves the MP3 playlist on: polls the song playing, or starts the next one of the order.
void playmp3();
// Stops the MP3 music (the cursor keeps its place).
void stopmp3();
// Sets volume, pan and speed of the playing song under the music lock (level start and end).
void ajusta_mp3(int vol, int pan, int speed);

#endif
