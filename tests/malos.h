// Bad copies of a file for the robustness tests: every way a file the programs read can be
// wrong, made from a good copy of it.
#ifndef KORV_MALOS_H
#define KORV_MALOS_H

#include <filesystem>
#include <random>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <csignal>
#include <vector>

#include "prueba.h"

namespace malos {

// The ways a file can be wrong (the columns of the table in tests/README.md).
enum Caso { FALTA, VACIO, CORTO, LARGO, BASURA, FUERA_DE_RANGO, SIN_PERMISO, CARPETA, NUM_CASOS };

inline const char *nombre(int c)
{
    static const char *n[NUM_CASOS] = {"falta", "vacio", "corto", "largo", "basura", "fuera de rango",
                                      "sin permiso", "carpeta"};
    return n[c];
}

// Puts in ruta the bad copy of `bueno` for case c. fuera: the good file with values out of
// range (made by the caller, as it depends on the format). Permission bits do not stop root:
// SIN_PERMISO makes the file unreadable by mode 000, which keeps a non-root run honest.
inline void pon(const std::string &ruta, int c, const std::vector<unsigned char> &bueno,
                const std::vector<unsigned char> &fuera)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(ruta, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(ruta, ec);
    std::vector<unsigned char> v;
    std::mt19937 azar(1234 + c);
    switch (c) {
    case FALTA:
        return;
    case VACIO:
        break;
    case CORTO:
        v.assign(bueno.begin(), bueno.begin() + bueno.size() / 2);
        break;
    case LARGO:
        v = bueno;
        v.resize(bueno.size() * 2 + 4096, 0xA5);
        break;
    case BASURA:
        v.resize(bueno.size());
        for (auto &b : v)
            b = (unsigned char)azar();
        break;
    case FUERA_DE_RANGO:
        v = fuera;
        break;
    case SIN_PERMISO:
        escribe_archivo(ruta, bueno);
        fs::permissions(ruta, fs::perms::none, ec);
        return;
    case CARPETA:
        fs::create_directories(ruta + "/dentro");
        return;
    }
    escribe_archivo(ruta, v);
}

// A small file system mounted on a folder (root only): a tmpfs of the given size in KiB,
// optionally read-only. ok is false where mounting is not allowed (the test then says so).
struct Montaje {
    std::string dir;
    bool ok = false;
    Montaje(const std::string &d, int kib, bool solo_lectura) : dir(d)
    {
        std::filesystem::create_directories(dir);
        std::string op = "size=" + std::to_string(kib) + "k";
        ok = mount("tmpfs", dir.c_str(), "tmpfs", solo_lectura ? MS_RDONLY : 0, op.c_str()) == 0;
    }
    // Makes it read-only after files were put in it.
    bool solo_lectura()
    {
        return mount("tmpfs", dir.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, NULL) == 0;
    }
    ~Montaje()
    {
        if (ok)
            umount2(dir.c_str(), MNT_DETACH);
    }
};

// While alive, no file of the process may grow past `bytes` (a full disk, also for root).
struct SinLugar {
    rlimit antes;
    explicit SinLugar(rlim_t bytes)
    {
        signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &antes);
        rlimit r = antes;
        r.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &r);
    }
    ~SinLugar() { setrlimit(RLIMIT_FSIZE, &antes); }
};

}  // namespace malos

#endif
