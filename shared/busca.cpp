// busca: lists the level files (and, for the music, other plain files) of a folder.
#include "busca.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

char archive[MAX_NIVELES][NOMBRE_MAX];
int niveles;
struct al_ffblk dir_reader;

int busca_archivos(const char *pattern, char (*names)[NOMBRE_MAX], int max)
{
    // The platform lists a folder in no particular order: gather every match, sort by
    // name, keep the first max. Read-only files are ordinary files too; folders and
    // hidden files (such as our own temporary files) are not listed.
    std::vector<std::string> todos;
    if (al_findfirst(pattern, &dir_reader, FA_ARCH | FA_RDONLY) == 0) {
        do {
            todos.push_back(dir_reader.name);
        } while (al_findnext(&dir_reader) == 0);
    }
    al_findclose(&dir_reader);
    std::sort(todos.begin(), todos.end());
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

void buscaarch()
{
    niveles = busca_archivos("levels/*.map", archive, MAX_NIVELES);
}
