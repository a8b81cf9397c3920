// Helpers shared by the tests.
#include "tests/prueba.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

#include "shared/busca.h"

namespace fs = std::filesystem;

CarpetaTemporal::CarpetaTemporal(Contenido c) : antes(fs::current_path().string())
{
    char plantilla[] = "/tmp/korvprueba.XXXXXX";
    ruta = mkdtemp(plantilla);
    fs::current_path(ruta);
    for (const char *d : {"datos", "levels", "midi", "mp3"})
        if (c == SUBCARPETAS)
            fs::create_directories(d);
        else if (c == DATOS_REALES)
            fs::copy(fs::path(KORV_DIR) / d, d, fs::copy_options::recursive);
    if (c == DATOS_REALES) {
        fs::copy_file(fs::path(KORV_DIR) / "allegro.cfg", "allegro.cfg");
        buscaarch();
    }
}

CarpetaTemporal::~CarpetaTemporal()
{
    fs::current_path(antes);
    std::error_code ec;
    fs::permissions(ruta, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(ruta, ec);
}

Bytes lee_archivo(const std::string &ruta)
{
    std::ifstream f(ruta, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void escribe_archivo(const std::string &ruta, const Bytes &datos)
{
    std::ofstream f(ruta, std::ios::binary | std::ios::trunc);
    f.write((const char *)datos.data(), (std::streamsize)datos.size());
}

bool existe(const std::string &ruta) { return fs::exists(ruta); }

std::string inventario(const std::string &dir)
{
    std::string s;
    for (auto &e : fs::recursive_directory_iterator(dir))
        s += e.path().string() + " " + (e.is_regular_file() ? std::to_string(e.file_size()) : "-") + " " +
             std::to_string(fs::last_write_time(e.path()).time_since_epoch().count()) + "\n";
    return s;
}

std::pair<std::string, int> salida_de(const std::string &orden)
{
    FILE *p = popen(("env -u DISPLAY " + orden).c_str(), "r");
    std::string texto;
    for (char buf[512]; p && fgets(buf, sizeof buf, p);)
        texto += buf;
    int st = p ? pclose(p) : -1;
    return {texto, WIFEXITED(st) ? WEXITSTATUS(st) : -1};
}
