// lectura: opens files for reading without blocking on what is not a regular file.
#include "shared/lectura.h"
#include "shared/idioma.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The reason a file of this kind is not read.
static const char *que_es(mode_t m)
{
    if (S_ISDIR(m))
        return _("es una carpeta, no un archivo");
    if (S_ISFIFO(m))
        return _("es una FIFO, no un archivo; no se lee");
    if (S_ISCHR(m) || S_ISBLK(m))
        return _("es un dispositivo, no un archivo; no se lee");
    if (S_ISSOCK(m))
        return _("es un socket, no un archivo; no se lee");
    return _("no es un archivo comun; no se lee");
}

// Opens nombre read-only without blocking and keeps the descriptor only for a regular file; -1
// otherwise, with the reason.
static int abre_fd(const char *nombre, char *motivo, int tam)
{
    // O_NONBLOCK: opening a FIFO without a writer returns at once instead of waiting for one.
    int fd = open(nombre, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        int err = errno;
        snprintf(motivo, tam, _("no se pudo abrir (%s)"), strerror(err));
        errno = err;
        return -1;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        int err = errno;
        snprintf(motivo, tam, _("no se pudo leer (%s)"), strerror(err));
        close(fd);
        errno = err;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        snprintf(motivo, tam, "%s", que_es(st.st_mode));
        close(fd);
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    // Reads of a regular file never block; the flag goes back to what ordinary reads expect.
    int fl = fcntl(fd, F_GETFL);
    if (fl >= 0)
        fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    return fd;
}

FILE *abre_regular(const char *nombre, char *motivo, int tam)
{
    int fd = abre_fd(nombre, motivo, tam);
    if (fd < 0)
        return NULL;
    FILE *f = fdopen(fd, "rb");
    if (!f) {
        snprintf(motivo, tam, _("no se pudo abrir (%s)"), strerror(errno));
        close(fd);
    }
    return f;
}

bool es_regular(const char *nombre, char *motivo, int tam)
{
    int fd = abre_fd(nombre, motivo, tam);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}
