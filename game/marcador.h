// marcador: the online score tables, client side. When the setting marcador names a server, a best
// run can be sent to it (only its initials and its recording leave the machine) and the online
// table of a set and difficulty fetched. All network work runs on one thread of its own, with
// libcurl and bounded timeouts, so that no picture waits on it; the screens read a copy of its
// state. A run to send is first kept in the folder pendientes/ beside the campaign's ranking and
// removed only once the server took it (202) or refused it for good (a 4xx): a run whose send
// failed (no answer, a 5xx, too fast) stays there and goes again at the next start.
#ifndef KORV_MARCADOR_H
#define KORV_MARCADOR_H

#include <string>

#include "shared/conjuntos.h"

// The folder of runs waiting to be sent (beside the campaign's ranking) and the shipped
// campaign's name on the server.
#define PENDIENTES_CARPETA "pendientes"
#define MARCADOR_CAMPANA CAMPANA_EN_LINEA

enum {
    MARCADOR_FILAS = 100,            // rows of an online table kept
    MARCADOR_CONECTA_MS = 3000,      // longest wait for the server's connection, ms
    MARCADOR_TOTAL_MS = 10000,       // longest exchange with it, ms
    MARCADOR_RESPUESTA_MAX = 1 << 18,   // largest answer read, bytes
    MARCADOR_CONSULTAS = 60,         // times a sent run's verdict is asked for
    MARCADOR_CONSULTA_MS = 500,      // between two of them, ms
    MARCADOR_MOTIVO_MAX = 80         // characters of a refusal's reason kept
};

// What became of a run sent to the server.
enum {
    ENVIO_NINGUNO = 0,    // nothing sent in this session
    ENVIO_ENVIANDO,       // kept in pendientes/, on its way
    ENVIO_EN_COLA,        // taken (202): the server replays it
    ENVIO_VERIFICADA,     // its replay held: it is in the table
    ENVIO_RECHAZADA,      // refused (a 4xx, or a replay that did not hold): motivo says why
    ENVIO_FALLIDO,        // no answer or a server error: kept for the next start
    ENVIO_NO_GUARDADA     // it could not even be kept in pendientes/
};
// The state of the online table asked for.
enum { TABLA_NINGUNA = 0, TABLA_PIDIENDO, TABLA_LISTA, TABLA_FALLIDA };
// What one send of a pending run came to (marcador_envia_pendiente).
// PENDIENTE_AJENO: a file there that is not a pending run of ours (its name, or it cannot be read):
// left alone, a stderr line.
enum { PENDIENTE_ACEPTADO = 0, PENDIENTE_RECHAZADO = 1, PENDIENTE_GUARDADO = 2, PENDIENTE_AJENO = 3 };

// One row of an online table.
struct FilaMarcador {
    char ini[4];            // three initials and a zero
    unsigned int puntos;    // final score
    long long id;           // the run's number on the server
};

// A copy of the module's state for a screen.
struct VistaMarcador {
    char conjunto[CONJ_CARPETA_MAX + 1];   // the table's set on the server
    int dificultad;                        // its difficulty, 0..2; -1 none asked for
    int tabla;                             // TABLA_*
    int filas;                             // rows of fila filled
    FilaMarcador fila[MARCADOR_FILAS];     // best first
    int envio;                             // ENVIO_*
    long long id;                          // the sent run's number (ENVIO_EN_COLA on)
    unsigned int puntos;                   // its score as verified
    char motivo[MARCADOR_MOTIVO_MAX + 1];  // a refusal's reason, as the server gave it
};

// True when the setting names a server.
bool marcador_activo();
// At start: when active, starts the network thread, which first sends again every pending run.
void marcador_arranca();
// At the end: cuts any exchange short and waits for the thread (well under a second).
void marcador_cierra();
// Counts every change of the state; a screen redraws when it moves.
unsigned marcador_cambios();
// Copies the state into v.
void marcador_vista(VistaMarcador *v);
// Asks for the online table of set conjunto (its server name) and difficulty dif, in the background.
void marcador_pide_tabla(const char *conjunto, int dif);
// The server's name of set i: MARCADOR_CAMPANA for the campaign, else nombre_en_linea of its shown
// name (the server's own rule; a name it gave another set first gets a number there, which the
// verdict of a run tells).
std::string marcador_nombre_conjunto(int i);
// Keeps the recording file rep with initials ini in pendientes/ (with the pack of set i when it
// is not the campaign) and sends it in the background; false (nothing sent, a stderr line) when it
// cannot be kept.
bool marcador_envia(const char *rep, const char ini[3], int conjunto_i);
// The pending folder; crea: made when missing. False when there is none.
bool marcador_carpeta_pendientes(char *out, int tam, bool crea);
// Sends one pending run now (this thread) and applies the rules: accepted or refused for good,
// removed (a refusal with a stderr line); else kept. Returns PENDIENTE_*; *id the server's number.
int marcador_envia_pendiente(const char *ruta, long long *id);
// Sends every pending run now, oldest first (stops at the first kept by a failure; passes over
// files not of ours); how many were removed.
int marcador_envia_pendientes();

#endif
