// Saving safely: the folder flushed after the rename of every atomic write, the temporaries of
// killed saves removed at start-up (and nothing else), the lock taken and let go.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/prueba.h"
#include "shared/carga.h"
#include "shared/guardado.h"

namespace {

// What each fsync of the program flushed: the path, whether it was a folder, and the bytes the
// target file held at that moment.
struct Asiento { std::string ruta; bool carpeta; Bytes destino; };
std::vector<Asiento> asientos;
const char *destino_vigilado;   // the file whose bytes each fsync records; null: fsync not watched

}  // namespace

// Every fsync of this test program passes here (the program's own symbol wins over the C library's).
extern "C" int fsync(int fd)
{
    static int (*real)(int) = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
    if (destino_vigilado) {
        char ruta[512];
        std::string enlace = "/proc/self/fd/" + std::to_string(fd);
        ssize_t n = readlink(enlace.c_str(), ruta, sizeof ruta - 1);
        struct stat st;
        fstat(fd, &st);
        asientos.push_back({n > 0 ? std::string(ruta, n) : "?", S_ISDIR(st.st_mode), lee_archivo(destino_vigilado)});
    }
    return real(fd);
}

// The level, ranking and settings writes all end with the folder flushed after the rename: the last
// fsync is of the file's folder, when the file already holds the new bytes.
TEST(Guardado, LaCarpetaSeAsientaTrasElRenombre)
{
    CarpetaTemporal t;
    mkdir("sub", 0777);
    escribe_archivo("sub/a.dat", Bytes(10, 1));
    struct { const char *ruta, *carpeta; } casos[] = {{"sub/a.dat", "/sub"}, {"b.dat", ""}};
    for (auto &c : casos) {
        asientos.clear();
        destino_vigilado = c.ruta;
        EXPECT_TRUE(escribe_atomico(c.ruta, "xyz", 3));
        destino_vigilado = nullptr;
        ASSERT_EQ(asientos.size(), 2u) << c.ruta << ": the temporary file, then the folder";
        EXPECT_EQ(std::make_tuple(asientos[0].ruta.find(PREFIJO_TEMPORAL) != std::string::npos, asientos[0].carpeta,
                                  asientos[1].carpeta, asientos[1].ruta, asientos[1].destino),
                  std::make_tuple(true, false, true, t.ruta + c.carpeta, Bytes({'x', 'y', 'z'})))
            << c.ruta << ": " << asientos[0].ruta << " flushed, then the folder after the rename";
    }
}

// At start-up only our own plain temporaries older than a minute go; fresh ones (a save under way in
// another program), other names, folders and links stay.
TEST(Guardado, LimpiaTemporalesViejos)
{
    CarpetaTemporal t;
    struct { const char *nombre; char tipo; int edad; bool queda; } casos[] = {
        {".korvtmpAAAAAA", 'f', 3600, false}, {".korvtmpBBBBBB", 'f', 61, false}, {".korvtmpCCCCCC", 'f', 30, true},
        {".korvtmpDDDDDD", 'f', -100, true},   // a clock set back: a future date is not old
        {"nivel_01.map", 'f', 3600, true}, {"x.korvtmpEEEEEE", 'f', 3600, true},
        {"ranking.dat.lock", 'f', 3600, true}, {".korvtmpcarpeta", 'd', 3600, true},
        {".korvtmpenlace", 'l', 3600, true},
    };
    escribe_archivo("fuera", Bytes(1, 5));
    time_t ahora = time(NULL);
    for (auto &c : casos) {
        if (c.tipo == 'f')
            escribe_archivo(c.nombre, Bytes(1, 7));
        else if (c.tipo == 'd')
            mkdir(c.nombre, 0777);
        else
            ASSERT_EQ(symlink("fuera", c.nombre), 0);
        struct timespec ts[2] = {{ahora - c.edad, 0}, {ahora - c.edad, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, c.nombre, ts, AT_SYMLINK_NOFOLLOW), 0) << c.nombre;
    }
    EXPECT_EQ(limpia_temporales(t.ruta.c_str()), 2);
    for (auto &c : casos) {
        struct stat st;
        EXPECT_EQ(lstat(c.nombre, &st) == 0, c.queda) << c.nombre;
    }
    EXPECT_TRUE(existe("fuera")) << "a link's target is never touched";
    EXPECT_TRUE(limpia_temporales("") == 0 && limpia_temporales("no/hay") == 0);
}

// The lock: a second taker in the same program would wait (flock locks belong to the open file), so
// it is shown through its file, made beside the target (two games taking it: the ranking's tests); a
// folder that cannot hold it is said on stderr and the caller goes on without it.
TEST(Guardado, CerrojoJuntoAlArchivo)
{
    CarpetaTemporal t;
    int c = toma_cerrojo("r.dat");
    EXPECT_TRUE(c >= 0 && existe("r.dat.lock") && !existe("r.dat")) << "the lock makes only itself";
    suelta_cerrojo(c);
    std::string err = stderr_de([] { EXPECT_EQ(toma_cerrojo("no/hay/r.dat"), -1); });
    EXPECT_NE(err.find("no/hay/r.dat.lock: no se pudo abrir el cerrojo"), std::string::npos) << err;
    suelta_cerrojo(-1);
}
