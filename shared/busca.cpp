// busca: lists the level files (and, for the music, other plain files) of a folder.
#include "shared/busca.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "shared/conjuntos.h"
#include "shared/rutas.h"

char archive[MAX_NIVELES][NOMBRE_MAX];
int niveles;
int niveles_de_mas;
int archive_usuario[MAX_NIVELES];
struct al_ffblk dir_reader;

// Every name matching pattern, sorted. The platform lists a folder in no particular order.
// Read-only files are ordinary files too; folders and hidden files (such as our own temporary
// files) are not listed.
static std::vector<std::string> todos_los_nombres(const char *pattern)
{
    std::vector<std::string> todos;
    if (al_findfirst(pattern, &dir_reader, FA_ARCH | FA_RDONLY) == 0) {
        do {
            todos.push_back(dir_reader.name);
        } while (al_findnext(&dir_reader) == 0);
    }
    al_findclose(&dir_reader);
    std::sort(todos.begin(), todos.end());
    return todos;
}

int busca_archivos(const char *pattern, char (*names)[NOMBRE_MAX], int max)
{
    // Sorted by name, the first max kept.
    std::vector<std::string> todos = todos_los_nombres(pattern);
    int n = 0;
    for (const std::string &s : todos) {
        if (n == max)
            break;
        if (s.size() >= NOMBRE_MAX)
            continue;   // a name that does not fit is not a file we could open again
        strcpy(names[n++], s.c_str());
    }
    return n;
}

int une_catalogos(const char (*fabrica)[NOMBRE_MAX], int nf, const char (*propios)[NOMBRE_MAX], int np,
                  char (*names)[NOMBRE_MAX], int *usuario, int max)
{
    int i = 0, j = 0, n = 0;
    while (n < max && (i < nf || j < np)) {
        int c = i == nf ? 1 : j == np ? -1 : strcmp(fabrica[i], propios[j]);
        if (c == 0)
            i++;   // the same name in both: the user's copy is the one played
        bool propio = c >= 0;
        strcpy(names[n], propio ? propios[j++] : fabrica[i++]);
        usuario[n++] = propio;
    }
    return n;
}

// The pattern of a user set's level files; "" when it does not fit.
static std::string patron_conjunto()
{
    std::string p = std::string(conjunto().carpeta) + "/*.map";
    return p.size() < NOMBRE_MAX ? p : std::string();
}

void buscaarch()
{
    niveles_de_mas = 0;
    memset(archive_usuario, 0, sizeof archive_usuario);
    if (!conjunto().campana) {
        std::string patron = patron_conjunto();
        niveles = patron.empty() ? 0 : busca_archivos(patron.c_str(), archive, MAX_NIVELES);
        if (!patron.empty())
            niveles_de_mas = (int)todos_los_nombres(patron.c_str()).size() - niveles;
        return;
    }
    // The first 15 of the joined list are among the first 15 of each folder.
    static char fabrica[MAX_NIVELES][NOMBRE_MAX], propios[MAX_NIVELES][NOMBRE_MAX];
    char carpeta[NOMBRE_MAX];
    carpeta_niveles_usuario(carpeta, sizeof carpeta);
    if (!instalado || !carpeta[0]) {
        niveles = busca_archivos("levels/*.map", archive, MAX_NIVELES);
    } else {
        int nf = busca_archivos("levels/*.map", fabrica, MAX_NIVELES);
        std::string patron = std::string(carpeta) + "/*.map";
        int np = patron.size() < NOMBRE_MAX ? busca_archivos(patron.c_str(), propios, MAX_NIVELES) : 0;
        niveles = une_catalogos(fabrica, nf, propios, np, archive, archive_usuario, MAX_NIVELES);
    }
    niveles_de_mas = total_niveles(NULL, NULL) - niveles;
}

int total_niveles(const char *nombre, bool *esta)
{
    std::set<std::string> unidos;
    if (!conjunto().campana) {
        std::string patron = patron_conjunto();
        if (!patron.empty())
            for (const std::string &s : todos_los_nombres(patron.c_str()))
                unidos.insert(s);
    } else {
        for (const std::string &s : todos_los_nombres("levels/*.map"))
            unidos.insert(s);
        char carpeta[NOMBRE_MAX];
        carpeta_niveles_usuario(carpeta, sizeof carpeta);
        std::string patron = std::string(carpeta) + "/*.map";
        if (instalado && carpeta[0] && patron.size() < NOMBRE_MAX)
            for (const std::string &s : todos_los_nombres(patron.c_str()))
                unidos.insert(s);
    }
    if (esta)
        *esta = nombre && unidos.count(nombre) > 0;
    return (int)unidos.size();
}

void ruta_nivel(int i, char *out, int tam)
{
    char carpeta[RUTA_MAX] = "levels";
    if (!conjunto().campana)
        snprintf(carpeta, sizeof carpeta, "%s", conjunto().carpeta);
    else if (i >= 0 && i < niveles && archive_usuario[i])
        carpeta_niveles_usuario(carpeta, sizeof carpeta);
    snprintf(out, tam, "%s/%s", carpeta, i >= 0 && i < niveles ? archive[i] : "");
}
