// juez: the verification of runs. Each run is replayed with the game's own logic tick in a worker
// process (play keeps its world in globals: one run at a time per process), the program itself
// started again with JUEZ_OPCION and fed through a pipe. A pool of threads, as many as cores,
// each drives one worker, takes the queued runs oldest first and stores each verdict; a replay
// past its bound of ticks or time is ended (its worker killed and started again).
#ifndef KORV_MARCADOR_JUEZ_H
#define KORV_MARCADOR_JUEZ_H

#include <string>

#include "marcador/base.h"
#include "shared/repeticion.h"

#define JUEZ_OPCION "-juez"   // the hidden option that makes the program a worker

enum {
    JUEZ_TICKS_MAX = 4 << 20,   // longest replay, ticks (over 4 hours at 240 Hz)
    JUEZ_SEGUNDOS = 30,         // longest replay, seconds of the worker's own clock
    JUEZ_MATA_SEGUNDOS = JUEZ_SEGUNDOS + 5,   // the worker is killed when it has not answered by then
    JUEZ_COLA_MAX = 500         // runs waiting at most; more are refused (503)
};

// The rule a run must meet to enter a table, as offline: a won game from the first level, not a
// practice, at full pace. False with the reason (Spanish) in motivo.
bool partida_admitida(const Repeticion &r, char *motivo, int tam);

// What a replay found.
struct Veredicto {
    bool bien;            // it ended as the recording says and may enter a table
    std::string motivo;   // why not
    int puntos;           // final score as a table shows it
};

// Replays the recording's bytes on the levels given (each file's bytes, in play order) with the
// game's logic in this process; the worker's routine, also used by the fuzz target.
Veredicto juez_reproduce(const Octetos &rep, const std::vector<Octetos> &niveles);
// The worker: verdicts for the jobs read from stdin, written to stdout, until stdin ends. Exit status.
int juez_trabajador();

// Starts the pool of hilos threads and queues the runs the database holds en_cola.
void juez_arranca(int hilos);
// Queues a run stored en_cola (the caller has asked juez_hay_sitio).
void juez_encola(long long id);
// True when the queue has room for one more.
bool juez_hay_sitio();
// Runs waiting or under verification.
int juez_pendientes();
// Stops the pool: the replays under way are ended (their runs stay queued in the database).
void juez_para();

#endif
