// mp3: the MP3 song search and streaming from disk.
#ifndef KORV_MP3_H
#define KORV_MP3_H

#define ALLEGRO_NO_COMPATIBILITY
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

void buscaarchmp3();
mp3_file *open_mp3_file(const char *path);
int play_mp3_file(mp3_file *mp, int buflen, int vol, int pan);
int poll_mp3_file(mp3_file *mp);
void close_mp3_file(mp3_file *mp);
void playmp3();
void stopmp3();
// Sets volume, pan and speed of the playing song under the music lock (level start and end).
void ajusta_mp3(int vol, int pan, int speed);

#endif
