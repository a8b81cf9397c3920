// servidor: the HTTP interface of korvex-marcador (cpp-httplib): runs sent and their state, the
// tables of each set and difficulty, the recordings and set packs, a plain page with the tables;
// every request limited per client address (rate, size), a full queue refused.
#ifndef KORV_MARCADOR_SERVIDOR_H
#define KORV_MARCADOR_SERVIDOR_H

#include <string>

enum {
    PUERTO_DEFECTO = 8575,            // the port the README names
    REP_ENVIO_MAX = 64 << 10,         // largest recording sent, bytes
    PAQUETE_ENVIO_MAX = 1 << 20,      // largest set pack sent, bytes
    LIMITE_DEFECTO = 30,              // runs one address may send a minute
    PETICIONES_POR_ENVIO = 20,        // requests of any kind one address may make per run it may send
    TABLA_MAX = 100,                  // runs in a table
    HTTP_HILOS = 8,                   // threads answering requests
    HTTP_ESPERANDO_MAX = 64,          // connections accepted and waiting for a thread (more wait in the kernel)
    HTTP_PLAZO_S = 5,                 // longest wait for a request's bytes or for the client to take the answer, s
    DIRECCIONES_MAX = 4096            // client addresses whose rate is followed at once
};

// The answer to a request.
struct Respuesta {
    int status;           // HTTP status
    std::string cuerpo;   // JSON
    int reintento;        // seconds of Retry-After; 0 none
};

// A run sent (the upload path, whatever the transport): initials, the recording's bytes, the set's
// pack ("" none). 202 with its id once stored and queued; else why not.
Respuesta servidor_recibe(const std::string &iniciales, const std::string &rep, const std::string &paquete);
// Serves on addr:port (0: a free port) until servidor_para; writes the line "escuchando en
// http://ADDR:PORT" on stdout once listening. limite: runs one address may send a minute.
// False (a stderr line) when it cannot listen.
bool servidor_sirve(const char *addr, int port, int limite);
// Ends servidor_sirve (from any thread).
void servidor_para();

#endif
