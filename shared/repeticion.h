// repeticion: the recording of a run: its header (difficulty, logic rate, pace and time scale, the
// levels by name and CRC-32, the set they belong to, a practice's level, the program's version,
// how the run ended) and the keys of every
// logic tick, run-length coded. The file's bytes, the reader that refuses a bad file with one
// line, the atomic writer. Built into the game and the asset maker (which makes the demo).
#ifndef KORV_REPETICION_H
#define KORV_REPETICION_H

#include <cstddef>
#include <vector>

// Keys of one tick: the player's actions as play read them.
enum {
    REP_ARRIBA = 1,   // up
    REP_ABAJO = 2,    // down
    REP_PAUSA = 4,    // pause
    REP_SALIR = 8,    // quit (ESC)
    REP_TECLAS = 15   // every key bit; a byte with any other bit is damage
};

enum {
    REP_VERSION = 4,               // the version this program writes and reads (and every older one);
                                   // 1 and 2 differ in what the world's checksum covers, 3 names the
                                   // set and a practice's level, 4 keeps the pace (the checksum of
                                   // both is version 2's)
    REP_MARCA_BYTES = 4,           // "KREP"
    REP_PROGRAMA_BYTES = 8,        // program version, ASCII, zero-padded
    REP_NIVELES_MAX = 15,          // levels of a catalogue
    REP_NOMBRE_MAX = 63,           // bytes of a level's file name
    REP_CONJUNTO_MAX = 32,         // bytes of a set's shown name
    REP_HZ_MIN = 1, REP_HZ_MAX = 1000,   // logic rates a header may name, Hz
    RITMO_LLENO = 100,             // the game's own pace, percent; the only one that enters the tables
    REP_RITMO_MIN = 50,            // slowest pace a header may name, percent
    REP_FASES = 4,                 // input is read every 4th tick while the road crawls: its phase
    REP_MAX_TICKS = 1 << 24,       // longest run kept, ticks (62 hours at 75 Hz)
    REP_MAX_BYTES = 8 << 20        // largest file read
};

// How a recorded run ended (the program state it left play in).
enum { REP_FIN_NIVEL = 1, REP_FIN_CORTADA = 2, REP_FIN_SALIR = 3, REP_FIN_PERDIO = 4, REP_FIN_GANO = 5 };

// One level of the catalogue the run was played on.
struct RepNivel {
    char nombre[REP_NOMBRE_MAX + 1];   // file name without folder, e.g. "nivel_01.map"
    unsigned crc;                       // CRC-32 of its 2801 bytes
};

// A recording in memory.
struct Repeticion {
    int version;                   // of the file it was read from, or to be written (REP_VERSION when
                                   // made here): the checksum of the run's end is of that version
    char programa[REP_PROGRAMA_BYTES + 1];   // version of the program that recorded it
    int dificultad;                // 0..2
    int hz;                        // logic rate, Hz
    float animcon;                 // time scale: 75 / hz times the pace, as the run used it
    int ritmo;                     // percent of full pace (RITMO_LLENO for versions 1 to 3)
    int fase;                      // the input phase counter at the run's start, 0..3
    int niveles;                   // entries of nivel: the catalogue, in play order
    RepNivel nivel[REP_NIVELES_MAX];
    char conjunto[REP_CONJUNTO_MAX + 1];   // shown name of the set the levels are of (the campaign's
                                           // for versions 1 and 2)
    int practica;                  // 0: a game from level 1; else the one level (1..niveles) practised
    int fin;                       // REP_FIN_*
    int alcanzado;                 // level the run ended in, 1..niveles
    int puntos;                    // score at the end of play (before any life bonus)
    int vidas;                     // spare lives at the end of play
    unsigned suma;                 // checksum of the world after the last tick
    std::vector<unsigned char> teclas;   // the keys of each tick (REP_* bits)
};

// CRC-32 (the zlib/PNG polynomial) of n bytes, continued from crc (0 to start).
unsigned crc32_bytes(unsigned crc, const void *datos, size_t n);
// CRC-32 of a whole file; false when it cannot be read.
bool crc32_archivo(const char *ruta, unsigned *crc);

// Time scale of play, 1/75 s per tick, at a logic rate (Hz) and a pace (percent): 75 / hz, as the
// game has always computed it, times ritmo / 100. Every motion and timer of play goes by it.
float escala_de_juego(int hz, int ritmo);
// True when a finished recording may enter a high-score table: a game (not a practice) that was
// won, played at full pace (its time scale that of its rate at full pace).
bool repeticion_entra_en_tabla(const Repeticion &r);
// True when a recording was played at full pace: RITMO_LLENO and the time scale of its rate.
bool repeticion_a_ritmo_lleno(const Repeticion &r);

// The file's bytes of a recording.
std::vector<unsigned char> codifica_repeticion(const Repeticion &r);
// Reads a recording from bytes; false with the reason (Spanish, no file name, no newline) in
// motivo when they are not one this program can play: wrong magic, a newer version, a field
// cut short or out of range (from version 4, a time scale that is not its rate's at its pace), a
// damaged key stream, a CRC that does not match.
bool descifra_repeticion(const unsigned char *d, size_t n, Repeticion *r, char *motivo, int tam);
// Reads a recording file: only a regular file, never blocking; false with one line
// "FILE: reason" (no newline) in error.
bool lee_repeticion(const char *ruta, Repeticion *r, char *error, int tam);
// Writes a recording through a temporary file and a rename; false (a line on stderr) when it cannot.
bool guarda_repeticion(const char *ruta, const Repeticion &r);

#endif
