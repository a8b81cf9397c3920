// base: the server's storage, one SQLite file (WAL, full sync: a run accepted has reached the disk
// before its answer leaves): the runs sent (their recording, state, reason and score) and the
// level sets sent with them (their pack, kept by the CRCs of their levels). Safe from any thread.
#ifndef KORV_MARCADOR_BASE_H
#define KORV_MARCADOR_BASE_H

#include <string>
#include <vector>

typedef std::vector<unsigned char> Octetos;

// States of a run, as the interface names them.
#define ESTADO_COLA "en_cola"
#define ESTADO_BIEN "verificada"
#define ESTADO_MAL "rechazada"

// A run as stored.
struct Partida {
    long long id;
    std::string conjunto;   // the set's name in URLs
    int dificultad;         // 0..2
    std::string iniciales;  // up to three letters
    std::string estado;     // ESTADO_*
    std::string motivo;     // why it was refused ("" otherwise)
    int puntos;             // final score as a table shows it (with the bonus of a won game's lives)
    int ms;                 // time its verification took, ms (0 before)
};

// A level set the server knows from a pack.
struct ConjuntoGuardado {
    std::string clave;      // CRCs of its levels in play order, hex joined by '-'
    std::string slug;       // its name in URLs
    std::string nombre;     // its shown name
    Octetos paquete;        // the pack's bytes
};

// Opens (making it when missing) the database file; false with a stderr line naming it.
bool base_abre(const char *ruta);
// Closes it (nothing when it is not open).
void base_cierra();
// Stores a run received (en_cola); its id, or -1 when it could not be written.
long long base_nueva(const std::string &conjunto, int dificultad, const std::string &iniciales, const Octetos &rep);
// A run by id; false when there is none.
bool base_partida(long long id, Partida *p);
// A run's recording; false when there is none or it is no longer kept (a refused run's).
bool base_grabacion(long long id, Octetos *rep);
// The verdict of a run: verified with its score, or refused with its reason (its recording dropped).
void base_veredicto(long long id, bool bien, const std::string &motivo, int puntos, int ms);
// The ids of the runs still waiting, oldest first.
std::vector<long long> base_en_cola();
// The best verified runs of a set and difficulty, best first (the older first on equal scores).
std::vector<Partida> base_tabla(const std::string &conjunto, int dificultad, int max);
// A set kept by its key; false when there is none.
bool base_conjunto(const std::string &clave, ConjuntoGuardado *c);
// A set kept by its name in URLs; false when there is none.
bool base_conjunto_slug(const std::string &slug, ConjuntoGuardado *c);
// Keeps a set (nothing when its key is kept already); its slug, made free of those taken, in c->slug.
bool base_guarda_conjunto(ConjuntoGuardado *c);
// The slugs of every set kept, in the order they came.
std::vector<std::string> base_slugs();

#endif
