// guardado: the lock beside a file, the flush of a folder, the removal of dead temporaries.
#include "shared/guardado.h"
#include "shared/idioma.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// Older C libraries name the thread target of a timer only through the union.
#ifndef sigev_notify_thread_id
#define sigev_notify_thread_id _sigev_un._tid
#endif

static const long NS_POR_MS = 1000000L;
static const long REPIQUE_MS = 100;   // the timer rings again this often after the deadline

// Does nothing: the signal is there to interrupt the lock's wait.
static void despierta(int) {}

// A time ms milliseconds after t.
static timespec mas_ms(timespec t, long ms)
{
    t.tv_sec += ms / 1000;
    t.tv_nsec += ms % 1000 * NS_POR_MS;
    if (t.tv_nsec >= 1000 * NS_POR_MS) {
        t.tv_sec++;
        t.tv_nsec -= 1000 * NS_POR_MS;
    }
    return t;
}

// True once the monotonic clock has passed fin.
static bool pasado(const timespec &fin)
{
    timespec ahora;
    clock_gettime(CLOCK_MONOTONIC, &ahora);
    return ahora.tv_sec > fin.tv_sec || (ahora.tv_sec == fin.tv_sec && ahora.tv_nsec >= fin.tv_nsec);
}

// Sleeps in flock until the lock on fd is had or the timer's signal interrupts it past fin.
static bool espera_hasta(int fd, const timespec &fin)
{
    for (;;) {
        if (flock(fd, LOCK_EX) == 0)
            return true;
        if (errno != EINTR || pasado(fin))
            return false;
    }
}

// Waits for the exclusive lock on fd, asleep in the kernel until the holder lets go; a timer aimed at
// this thread alone interrupts the wait at the deadline. False when the time is up.
static bool espera_cerrojo(int fd)
{
    const int senal = SIGRTMIN + 1;
    struct sigaction sa, antes;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = despierta;   // no SA_RESTART: flock returns EINTR
    sigemptyset(&sa.sa_mask);
    sigaction(senal, &sa, &antes);
    sigset_t la, mascara;
    sigemptyset(&la);
    sigaddset(&la, senal);
    pthread_sigmask(SIG_UNBLOCK, &la, &mascara);
    struct sigevent ev;
    memset(&ev, 0, sizeof ev);
    ev.sigev_notify = SIGEV_THREAD_ID;
    ev.sigev_signo = senal;
    ev.sigev_notify_thread_id = gettid();
    timer_t reloj;
    bool ok = false;
    if (timer_create(CLOCK_MONOTONIC, &ev, &reloj) == 0) {
        timespec ahora, cero = {0, 0};
        clock_gettime(CLOCK_MONOTONIC, &ahora);
        // First at the deadline, then again and again, should the first ring come before the wait began.
        itimerspec its;
        its.it_value = mas_ms(cero, CERROJO_ESPERA_MS);
        its.it_interval = mas_ms(cero, REPIQUE_MS);
        timer_settime(reloj, 0, &its, NULL);
        ok = espera_hasta(fd, mas_ms(ahora, CERROJO_ESPERA_MS));
        timer_delete(reloj);   // a ring already sent is taken by despierta before the next line
    }
    pthread_sigmask(SIG_SETMASK, &mascara, NULL);
    sigaction(senal, &antes, NULL);
    return ok;
}

int toma_cerrojo(const char *ruta)
{
    std::string nombre = std::string(ruta) + SUFIJO_CERROJO;
    int fd = open(nombre.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        fprintf(stderr, _("%s: no se pudo abrir el cerrojo (%s); se guarda sin el\n"), nombre.c_str(), strerror(errno));
        return -1;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) == 0)
        return fd;
    int err = errno;
    if (err == EWOULDBLOCK && espera_cerrojo(fd))
        return fd;
    if (err == EWOULDBLOCK)
        fprintf(stderr, _("%s: otro programa tiene el cerrojo hace mas de %d s; se guarda sin el\n"), nombre.c_str(),
                CERROJO_ESPERA_MS / 1000);
    else
        fprintf(stderr, _("%s: no se pudo tomar el cerrojo (%s); se guarda sin el\n"), nombre.c_str(), strerror(err));
    close(fd);
    return -1;
}

void suelta_cerrojo(int cerrojo)
{
    if (cerrojo >= 0)
        close(cerrojo);   // closing the last descriptor releases the lock
}

bool asienta_carpeta(const char *ruta)
{
    std::string r(ruta);
    size_t barra = r.rfind('/');
    std::string dir = barra == std::string::npos ? "." : barra == 0 ? "/" : r.substr(0, barra);
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int err = fd >= 0 && fsync(fd) == 0 ? 0 : errno;
    if (fd >= 0)
        close(fd);
    // A file system that cannot flush a folder (EINVAL) keeps no such promise to break.
    if (err == 0 || err == EINVAL)
        return true;
    fprintf(stderr, _("%s: no se pudo asentar la carpeta en el disco (%s)\n"), dir.c_str(), strerror(err));
    return false;
}

int limpia_temporales(const char *carpeta)
{
    if (!carpeta || !carpeta[0])
        return 0;
    DIR *d = opendir(carpeta);
    if (!d)
        return 0;
    const size_t largo = strlen(PREFIJO_TEMPORAL);
    time_t limite = time(NULL) - TEMPORAL_VIEJO_S;
    int quitados = 0;
    while (dirent *e = readdir(d)) {
        if (strncmp(e->d_name, PREFIJO_TEMPORAL, largo) != 0)
            continue;
        struct stat st;
        // Only our own plain files: never a folder, a link or another user's file.
        if (fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != geteuid() || st.st_mtime >= limite)
            continue;
        if (unlinkat(dirfd(d), e->d_name, 0) == 0)
            quitados++;
    }
    closedir(d);
    return quitados;
}

int limpia_carpetas_temporales(const char *carpeta)
{
    DIR *d = carpeta && carpeta[0] ? opendir(carpeta) : NULL;
    if (!d)
        return 0;
    const size_t largo = strlen(PREFIJO_TEMPORAL);
    time_t limite = time(NULL) - TEMPORAL_VIEJO_S;
    int quitadas = 0;
    while (dirent *e = readdir(d)) {
        struct stat st;
        if (strncmp(e->d_name, PREFIJO_TEMPORAL, largo) != 0 ||
            fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode) ||
            st.st_uid != geteuid() || st.st_mtime >= limite)
            continue;
        // Its plain files, then the folder: one holding anything else stays.
        std::string nombre = e->d_name;
        int dentro = openat(dirfd(d), nombre.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        DIR *h = dentro >= 0 ? fdopendir(dentro) : NULL;
        while (dirent *f = h ? readdir(h) : NULL)
            if (fstatat(dirfd(h), f->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
                unlinkat(dirfd(h), f->d_name, 0);
        if (h)
            closedir(h);
        else if (dentro >= 0)
            close(dentro);
        quitadas += unlinkat(dirfd(d), nombre.c_str(), AT_REMOVEDIR) == 0;
    }
    closedir(d);
    return quitadas;
}

int limpia_carpeta_de(const char *ruta)
{
    std::string r(ruta ? ruta : "");
    size_t barra = r.rfind('/');
    if (r.empty())
        return 0;
    return limpia_temporales(barra == std::string::npos ? "." : barra == 0 ? "/" : r.substr(0, barra).c_str());
}
