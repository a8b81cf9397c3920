// korvmake: writes every data file of the game into the runnable folder.
// Usage: korvmake ASSETS_DIR OUT_DIR [-iconos]   (-iconos: only the menu icons, into OUT_DIR)
//        korvmake curva LEVELS_DIR                 (the campaign's curve, measured by the autoplayer)
//        korvmake demo-fuente LEVEL_FILE           (assets/demo.txt: the autoplayer's keys on that level)
//        korvmake ganada D HZ FILE                 (a won game of the campaign, recorded)
#include "tools/korvmake.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

std::string dir_fuentes;
std::string dir_salida;

std::string salida(const std::string &rel) { return dir_salida + "/" + rel; }
std::string fuente_ruta(const std::string &rel) { return dir_fuentes + "/" + rel; }

void muere(const std::string &archivo, const std::string &motivo)
{
    fprintf(stderr, "korvmake: %s: %s\n", archivo.c_str(), motivo.c_str());
    exit(1);
}

void escribe(const std::string &rel, const std::vector<unsigned char> &datos)
{
    std::string r = salida(rel);
    FILE *f = fopen(r.c_str(), "wb");
    if (!f || fwrite(datos.data(), 1, datos.size(), f) != datos.size() || fclose(f) != 0)
        muere(r, "no se pudo escribir");
}

std::vector<std::string> lee_lineas(const std::string &rel)
{
    std::string r = fuente_ruta(rel);
    std::ifstream f(r);
    if (!f)
        muere(r, "no se pudo leer");
    std::vector<std::string> v;
    std::string l;
    while (std::getline(f, l)) {
        for (size_t c = 0; c < l.size(); c++)   // a comment starts with '#' at a line start or after a blank
            if (l[c] == '#' && (c == 0 || l[c - 1] == ' ' || l[c - 1] == '\t')) {
                l.erase(c);
                break;
            }
        while (!l.empty() && (l.back() == ' ' || l.back() == '\t' || l.back() == '\r'))
            l.pop_back();
        v.push_back(l);
    }
    return v;
}

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "curva") == 0) {
        if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
            return 1;
        return curva(argv[2]);
    }
    if (argc == 3 && strcmp(argv[1], "demo-fuente") == 0) {
        if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
            return 1;
        return demo_fuente(argv[2]);
    }
    if (argc == 5 && strcmp(argv[1], "ganada") == 0) {
        if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
            return 1;
        return ganada(atoi(argv[2]), atoi(argv[3]), argv[4]);
    }
    bool iconos = argc == 4 && strcmp(argv[3], "-iconos") == 0;
    if (argc != 3 && !iconos) {
        fprintf(stderr, "uso: korvmake CARPETA_FUENTES CARPETA_SALIDA [-iconos] | korvmake curva CARPETA_NIVELES | "
                        "korvmake demo-fuente NIVEL | korvmake ganada D HZ ARCHIVO\n");
        return 1;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 1;
    set_color_depth(8);
    dir_fuentes = argv[1];
    dir_salida = argv[2];
    if (iconos) {
        if (mkdir(dir_salida.c_str(), 0777) != 0 && errno != EEXIST)
            muere(dir_salida, "no se pudo crear la carpeta");
        hace_iconos();
        return 0;
    }
    for (const char *d : {"", "/datos", "/levels", "/midi", "/mp3"}) {
        std::string r = dir_salida + d;
        if (mkdir(r.c_str(), 0777) != 0 && errno != EEXIST)
            muere(r, "no se pudo crear la carpeta");
    }
    hace_hoja();
    hace_pantallas();
    hace_fuente();
    hace_sonidos();
    hace_musica();
    hace_niveles();
    hace_demo();
    return 0;
}
END_OF_MAIN()
