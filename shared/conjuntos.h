// conjuntos: the level sets. The shipped campaign is set 0 (its levels in "levels", joined with the
// installed user's levels/, its ranking and recordings where they always were); every folder of the
// user's conjuntos/ is another set: up to fifteen level files, a description conjunto.txt
// ("nombre = ...", "autor = ...", "descripcion = ...") and its own ranking, best runs and practice
// progress. The list, the set in play or in edit, where each set keeps what.
#ifndef KORV_CONJUNTOS_H
#define KORV_CONJUNTOS_H

#include <string>

#include "shared/rutas.h"

// The campaign's built-in description (its line of what it is: in conjuntos[0]).
#define CAMPANA_NOMBRE "KORVEX"
#define CAMPANA_AUTOR "LURGO SOFTWARE"
// The set the editor opens on: the level maker's own, made on its first start.
#define PROPIO_NOMBRE "MIS NIVELES"
// A set's description file, its practice progress, and the folder of the user's sets.
#define DESCRIPCION_ARCHIVO "conjunto.txt"
#define ALCANZADO_ARCHIVO "alcanzado.txt"
#define CONJUNTOS_CARPETA "conjuntos"
// The campaign's name in the online tables' addresses.
#define CAMPANA_EN_LINEA "campana"

enum {
    CONJUNTOS_MAX = 32,          // sets listed: the campaign and 31 of the user's
    CONJ_NOMBRE_MAX = 24,        // characters of a shown name
    CONJ_AUTOR_MAX = 32,         // characters of the author
    CONJ_DESCRIPCION_MAX = 80,   // characters of the line of what it is
    CONJ_CARPETA_MAX = 32,       // characters of a set's folder name
    CONJ_DESCRIPCION_BYTES = 4096   // largest description file read
};

// One set.
struct Conjunto {
    char nombre[CONJ_NOMBRE_MAX + 1];            // shown name, upper case ("KORVEX" for the campaign)
    char autor[CONJ_AUTOR_MAX + 1];              // upper case, may be empty
    char descripcion[CONJ_DESCRIPCION_MAX + 1];  // upper case, may be empty
    char carpeta[RUTA_MAX];   // folder of its level files: "levels", or conjuntos/<name>
    int campana;              // 1 for the shipped campaign (set 0)
};

extern Conjunto conjuntos[CONJUNTOS_MAX];   // the sets, the campaign first
extern int n_conjuntos;                     // entries filled, 1..CONJUNTOS_MAX (1 until busca_conjuntos)
extern int conjunto_actual;                 // the set in play (game) or in edit (editor): index

// Rebuilds the list: the campaign, then each folder of the user's conjuntos/ in name order
// (hidden folders, such as an install under way, skipped); the current set kept by its folder
// when it is still there, else the campaign.
void busca_conjuntos();
// The folder of the user's sets: "conjuntos" beside levels/, or installed the user's data folder's
// conjuntos/ ("" without a user folder). crea: made when missing (false when it cannot be).
bool carpeta_conjuntos(char *out, int tam, bool crea);
// The current set.
const Conjunto &conjunto();
// Makes set i the current one (out of range: the campaign).
void pon_conjunto(int i);
// The set named by texto: its shown name (any case), its folder's name, or a path to its folder;
// -1 none.
int busca_conjunto(const char *texto);
// The shown form of a text: upper case ASCII, the Spanish letters with accents and Ñ as their
// plain letter; false when it has a control character or is longer than max.
bool texto_pantalla(const char *texto, char *out, int max);
// Reads a description from n bytes (nombre names them in the lines about bad ones) into c's
// name, author and line of what it is; false when it gives no valid name.
bool descifra_descripcion(const char *texto, size_t n, const char *nombre, Conjunto *c);
// The set in folder dir into c: its folder, and its description from dir/conjunto.txt (without
// one, or without a name in it: named after the folder, with a stderr line). False when the path
// does not fit.
bool lee_conjunto_carpeta(const char *dir, Conjunto *c);
// The bytes of a description file for c.
std::string texto_descripcion(const Conjunto &c);
// A folder name made from a shown name: lowercase letters, digits, '_'; "_2", "_3"... when base
// already holds one of that name. False when none is free.
bool carpeta_libre(const char *base, const char *nombre, char *out, int tam);
// A shown name not taken by any set: nombre, else "NOMBRE 2", "NOMBRE 3"... (cut to fit).
void nombre_libre(const char *nombre, char *out, int tam);
// Makes a new set in the user's conjuntos/: its folder and description file. Its index in the
// list afterwards in *indice; false (a stderr line) when it cannot be made.
bool crea_conjunto(const char *nombre, const char *autor, const char *descripcion, int *indice);
// The set the editor opens on: the level maker's own (folder mis_niveles), made when missing;
// the campaign when it cannot be made. Returns its index.
int conjunto_propio();
// Where the current set keeps one of its player's files (ranking.dat, mejor_N.rep,
// alcanzado.txt): the campaign's in datos/ or, installed, the user's folder (made first when
// escribe); a user set's in its own folder. False when there is nowhere.
bool ruta_dato(const char *archivo, bool escribe, char *out, int tam);
// The folder where the editor writes the current set's levels: the campaign's "levels" (installed,
// the user's levels/), or the set's own folder ("" when there is none).
void carpeta_guardado(char *out, int tam);
// The index of the set whose level folder holds file ruta (a level being saved), -1 none.
int conjunto_de_archivo(const char *ruta);
// Removes what saves and installs that were killed left in the user's sets (their temporaries
// older than a minute); call after busca_conjuntos.
void limpia_conjuntos();
// A set's name in the online tables' addresses from its shown name: lower-case letters and
// digits, each run of other characters one '-', none at either end; "conjunto" when nothing is
// left, and never the campaign's own (CAMPANA_EN_LINEA gets "-2").
std::string nombre_en_linea(const char *nombre);

#endif
