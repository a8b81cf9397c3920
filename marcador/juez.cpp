// juez: a run replayed with the game's logic (the worker's side) and the pool of threads that
// feeds the workers (the server's side).
#include "marcador/juez.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "game/logica.h"
#include "game/ranking.h"
#include "game/repeticion_juego.h"
#include "game/utilfun.h"
#include "marcador/conocidos.h"
#include "shared/idioma.h"
#include "shared/rutas.h"

enum {
    NIVELES_MAX = REP_NIVELES_MAX,
    MIRA_RELOJ = 4096,                 // ticks between two looks at the clock
    MEMORIA_TRABAJADOR = 512 << 20,    // address space a worker may take, bytes
    MOTIVO_MAX = 400                   // bytes of a reason
};

bool partida_admitida(const Repeticion &r, char *motivo, int tam)
{
    if (r.practica) {
        snprintf(motivo, tam, "es una practica: no entra en los records");
        return false;
    }
    if (r.fin != REP_FIN_GANO) {
        snprintf(motivo, tam, "no es una partida ganada");
        return false;
    }
    if (!repeticion_a_ritmo_lleno(r)) {   // a slower pace gives more time: never in a table
        snprintf(motivo, tam, "jugada a ritmo %d %%: no entra en los records", r.ritmo);
        return false;
    }
    return repeticion_entra_en_tabla(r);
}

// --- the worker: one replay ---

static char carpeta_trabajo[RUTA_MAX];   // the worker's private folder for the level files

// A refusal.
static Veredicto mal(const std::string &motivo)
{
    return Veredicto{false, motivo, 0};
}

// Path of level i in the worker's folder (made on the first call); false when it cannot be made.
static bool ruta_nivel_trabajo(int i, char *out, int tam)
{
    if (!carpeta_trabajo[0]) {
        const char *tmp = getenv("TMPDIR");
        snprintf(carpeta_trabajo, sizeof carpeta_trabajo, "%s/korvex-juez-XXXXXX", tmp && *tmp ? tmp : "/tmp");
        if (!mkdtemp(carpeta_trabajo)) {
            carpeta_trabajo[0] = 0;
            return false;
        }
    }
    snprintf(out, tam, "%s/nivel_%02d.map", carpeta_trabajo, i + 1);
    return true;
}

// Writes the levels where the game's loader reads them; false when one cannot be written.
static bool pon_niveles(const std::vector<Octetos> &niveles)
{
    for (size_t i = 0; i < niveles.size(); i++) {
        char ruta[RUTA_MAX];
        FILE *f = ruta_nivel_trabajo((int)i, ruta, sizeof ruta) ? fopen(ruta, "wb") : NULL;
        if (!f)
            return false;
        bool bien = fwrite(niveles[i].data(), 1, niveles[i].size(), f) == niveles[i].size();
        if (fclose(f) != 0 || !bien)
            return false;
    }
    return true;
}

// The run's start as a playback starts one: difficulty, rate, phase, the recording's keys.
static void empieza(const Repeticion &r)
{
    if (!enemi)
        enemi = reserva_enemigos();
    mundo_empieza_partida();
    vidas = dificultades[r.dificultad].vidas;
    nscr3 = dificultades[r.dificultad].velocidad;
    animcon = r.animcon;
    tick_juego = r.fase;
    teclas_piloto = -1;
    desde_col = -1;
    nivel_suelto[0] = 0;
    niveles = r.niveles;   // the catalogue: its last level wins
    reproducida = &r;
    rep_pos = 0;
    rep_cortada = 0;
    rep_modo = MODO_REPRODUCE;
}

// Plays every level of the run tick by tick as the game does; "" or why it stopped.
static std::string juega(const Repeticion &r)
{
    auto hasta = std::chrono::steady_clock::now() + std::chrono::seconds(JUEZ_SEGUNDOS);
    long ticks = 0;
    do {
        nivel = nivel + 1;
        char ruta[RUTA_MAX];
        if (!ruta_nivel_trabajo(nivel - 1, ruta, sizeof ruta) || !CargaMapa(ruta))
            return "no se pudo cargar un nivel";
        nscro = velocidad_nivel(nscr3, multi, animcon);
        prepara_nivel();
        while (cambnib == EST_JUEGO) {
            if (++ticks > JUEZ_TICKS_MAX)
                return "la partida es demasiado larga para verificarla";
            if (ticks % MIRA_RELOJ == 0 && std::chrono::steady_clock::now() > hasta)
                return "la verificacion paso su tiempo";
            tick = tick + 1;
            act_logica();
        }
    } while (cambnib == EST_NIVEL_OK && nivel < r.niveles);
    return "";
}

Veredicto juez_reproduce(const Octetos &rep, const std::vector<Octetos> &niveles)
{
    static Repeticion r;
    char motivo[MOTIVO_MAX];
    if (!descifra_repeticion(rep.data(), rep.size(), &r, motivo, sizeof motivo) ||
        !partida_admitida(r, motivo, sizeof motivo))
        return mal(motivo);
    bool mismos = (int)niveles.size() == r.niveles;
    for (int i = 0; mismos && i < r.niveles; i++)
        mismos = crc32_bytes(0, niveles[i].data(), niveles[i].size()) == r.nivel[i].crc;
    if (!mismos)
        return mal("niveles desconocidos");
    if (!pon_niveles(niveles))
        return mal("no se pudieron escribir los niveles para verificar");
    empieza(r);
    std::string corte = juega(r);
    bool entera = !rep_cortada && rep_pos == r.teclas.size();
    rep_modo = MODO_JUGADOR;
    reproducida = NULL;
    if (!corte.empty())
        return mal(corte);
    if (!entera || cambnib != EST_GANO || puntos != r.puntos || vidas != r.vidas || suma_mundo(r.version) != r.suma) {
        snprintf(motivo, sizeof motivo,
                 "no reproducida: la repeticion termina con %d puntos y %d vidas%s; la grabacion dice %d y %d", puntos,
                 vidas, cambnib == EST_GANO ? "" : " sin ganar", r.puntos, r.vidas);
        return mal(motivo);
    }
    long long total = (long long)r.puntos + (long long)r.vidas * BONO_VIDA;
    return Veredicto{true, "", total > INT_MAX ? INT_MAX : (int)total};
}

// --- the pipe between the pool and a worker: a job is the recording and the levels, each as a
// 32-bit little-endian length and its bytes (the levels after their count); a verdict is one
// line "1 POINTS" or "0 0 REASON".

// Reads exactly n bytes; false at the end or on an error.
static bool lee_todo(int fd, void *d, size_t n)
{
    unsigned char *p = (unsigned char *)d;
    while (n > 0) {
        ssize_t k = read(fd, p, n);
        if (k < 0 && errno == EINTR)
            continue;
        if (k <= 0)
            return false;
        p += k;
        n -= (size_t)k;
    }
    return true;
}

// Writes exactly n bytes; false on an error.
static bool escribe_todo(int fd, const void *d, size_t n)
{
    const unsigned char *p = (const unsigned char *)d;
    while (n > 0) {
        ssize_t k = write(fd, p, n);
        if (k < 0 && errno == EINTR)
            continue;
        if (k <= 0)
            return false;
        p += k;
        n -= (size_t)k;
    }
    return true;
}

// A length then its bytes.
static bool escribe_trozo(int fd, const Octetos &b)
{
    unsigned char l[4] = {(unsigned char)b.size(), (unsigned char)(b.size() >> 8), (unsigned char)(b.size() >> 16),
                          (unsigned char)(b.size() >> 24)};
    return escribe_todo(fd, l, 4) && escribe_todo(fd, b.data(), b.size());
}

// A length (at most max) then its bytes.
static bool lee_trozo(int fd, Octetos *b, size_t max)
{
    unsigned char l[4];
    if (!lee_todo(fd, l, 4))
        return false;
    size_t n = l[0] | (l[1] << 8) | (l[2] << 16) | ((size_t)l[3] << 24);
    if (n > max)
        return false;
    b->resize(n);
    return lee_todo(fd, b->data(), n);
}

int juez_trabajador()
{
    struct rlimit lim = {MEMORIA_TRABAJADOR, MEMORIA_TRABAJADOR};
    setrlimit(RLIMIT_AS, &lim);
    Octetos rep, cuenta;
    std::vector<Octetos> niveles;
    for (;;) {
        if (!lee_trozo(0, &rep, REP_MAX_BYTES) || !lee_trozo(0, &cuenta, 1) || cuenta.empty() ||
            cuenta[0] > NIVELES_MAX)
            break;
        niveles.assign(cuenta[0], Octetos());
        bool bien = true;
        for (Octetos &n : niveles)
            bien = bien && lee_trozo(0, &n, 2 * NIVEL_BYTES);
        if (!bien)
            break;
        Veredicto v = juez_reproduce(rep, niveles);
        for (char &c : v.motivo)
            if (c == '\n')
                c = ' ';
        std::string linea = (v.bien ? "1 " : "0 ") + std::to_string(v.puntos) + " " + v.motivo + "\n";
        if (!escribe_todo(1, linea.data(), linea.size()))
            break;
    }
    if (carpeta_trabajo[0]) {
        char ruta[RUTA_MAX];
        for (int i = 0; i < NIVELES_MAX; i++)
            if (ruta_nivel_trabajo(i, ruta, sizeof ruta))
                unlink(ruta);
        rmdir(carpeta_trabajo);
    }
    return 0;
}

// --- the pool ---

// A worker process and its pipes.
struct Trabajador {
    pid_t pid = -1;
    int entrada = -1;   // its stdin, ours to write
    int salida = -1;    // its stdout, ours to read
};

static std::mutex cola_cerrojo;        // guards the queue and the flags below
static std::condition_variable aviso;  // a run queued, or the pool stopping
static std::deque<long long> cola;     // ids waiting, oldest first
static int en_curso;                   // runs under verification
static bool parando;                   // the pool is stopping
static std::vector<std::thread> hilos_pool;   // the pool's threads
static std::vector<Trabajador> trabajadores;  // one per thread

// Ends a worker (killed when it still runs) and closes its pipes.
static void termina(Trabajador &t)
{
    if (t.entrada >= 0)
        close(t.entrada);
    if (t.salida >= 0)
        close(t.salida);
    pid_t pid;
    {
        std::lock_guard<std::mutex> l(cola_cerrojo);   // juez_para reads it from another thread
        pid = t.pid;
        t.pid = -1;
    }
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, NULL, 0);
    }
    t.entrada = t.salida = -1;
}

// Starts a worker: this program again with the hidden option; false when it cannot be started.
static bool lanza(Trabajador &t)
{
    int a[2], b[2];
    if (pipe2(a, O_CLOEXEC) != 0)
        return false;
    if (pipe2(b, O_CLOEXEC) != 0) {
        close(a[0]);
        close(a[1]);
        return false;
    }
    pid_t pid = fork();
    if (pid == 0) {
        dup2(a[0], 0);
        dup2(b[1], 1);
        prctl(PR_SET_PDEATHSIG, SIGKILL);   // never outlives the server
        execl("/proc/self/exe", "korvex-marcador", JUEZ_OPCION, (char *)NULL);
        _exit(127);
    }
    close(a[0]);
    close(b[1]);
    if (pid < 0) {
        close(a[1]);
        close(b[0]);
        return false;
    }
    {
        std::lock_guard<std::mutex> l(cola_cerrojo);
        t.pid = pid;
    }
    t.entrada = a[1];
    t.salida = b[0];
    return true;
}

// What came of waiting for a verdict.
enum { LLEGO = 0, PASO_EL_PLAZO = 1, MURIO = 2 };

// Reads the worker's verdict line within the bound.
static int lee_veredicto(Trabajador &t, std::string *linea)
{
    auto hasta = std::chrono::steady_clock::now() + std::chrono::seconds(JUEZ_MATA_SEGUNDOS);
    linea->clear();
    for (;;) {
        long ms = std::chrono::duration_cast<std::chrono::milliseconds>(hasta - std::chrono::steady_clock::now()).count();
        if (ms <= 0)
            return PASO_EL_PLAZO;
        struct pollfd p = {t.salida, POLLIN, 0};
        int r = poll(&p, 1, (int)ms);
        if (r < 0 && errno == EINTR)
            continue;
        if (r == 0)
            return PASO_EL_PLAZO;
        char c;
        if (r < 0 || read(t.salida, &c, 1) <= 0)
            return MURIO;
        if (c == '\n')
            return LLEGO;
        if (linea->size() < MOTIVO_MAX)
            *linea += c;
    }
}

// The verdict of one run: its set found by its levels, the replay in the worker.
static Veredicto verifica(Trabajador &t, const Octetos &rep)
{
    static thread_local Repeticion r;
    char motivo[MOTIVO_MAX];
    if (!descifra_repeticion(rep.data(), rep.size(), &r, motivo, sizeof motivo))
        return mal(motivo);
    SetConocido s;
    if (!conocido_por_clave(conocidos_clave(r), &s))
        return mal("niveles desconocidos");
    if (t.pid < 0 && !lanza(t))
        return mal("no se pudo verificar");
    bool enviado = escribe_trozo(t.entrada, rep) && escribe_trozo(t.entrada, Octetos(1, (unsigned char)s.niveles.size()));
    for (const Octetos &n : s.niveles)
        enviado = enviado && escribe_trozo(t.entrada, n);
    std::string linea;
    int llegada = enviado ? lee_veredicto(t, &linea) : MURIO;
    if (llegada != LLEGO) {
        termina(t);   // dead, or past its bound: the next run gets a new one
        return mal(llegada == PASO_EL_PLAZO ? "la verificacion paso su tiempo" : "la verificacion fallo");
    }
    Veredicto v{linea.compare(0, 2, "1 ") == 0, "", atoi(linea.c_str() + 2)};
    size_t sp = linea.find(' ', 2);
    if (!v.bien)
        v.motivo = sp == std::string::npos ? "" : linea.substr(sp + 1);
    return v;
}

// A thread of the pool: takes runs until the pool stops.
static void hilo_pool(int i)
{
    for (;;) {
        long long id;
        {
            std::unique_lock<std::mutex> l(cola_cerrojo);
            aviso.wait(l, [] { return parando || !cola.empty(); });
            if (parando)
                return;
            id = cola.front();
            cola.pop_front();
            en_curso++;
        }
        Octetos rep;
        auto t0 = std::chrono::steady_clock::now();
        Veredicto v = base_grabacion(id, &rep) ? verifica(trabajadores[i], rep) : mal("grabacion perdida");
        int ms = (int)std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
        bool seguir;
        {
            std::lock_guard<std::mutex> l(cola_cerrojo);
            seguir = !parando;
        }
        // A replay ended by the stop stays queued for the next start.
        if (seguir)
            base_veredicto(id, v.bien, v.motivo, v.puntos, ms);
        std::lock_guard<std::mutex> l(cola_cerrojo);
        en_curso--;
    }
}

void juez_arranca(int hilos)
{
    signal(SIGPIPE, SIG_IGN);   // a worker that died is seen by its pipe, not by a signal
    {
        std::lock_guard<std::mutex> l(cola_cerrojo);
        parando = false;
        for (long long id : base_en_cola())
            cola.push_back(id);
    }
    trabajadores.assign(hilos, Trabajador());
    for (int i = 0; i < hilos; i++)
        hilos_pool.emplace_back(hilo_pool, i);
}

void juez_encola(long long id)
{
    {
        std::lock_guard<std::mutex> l(cola_cerrojo);
        cola.push_back(id);   // stored already: it is verified even past the bound the server keeps
    }
    aviso.notify_one();
}

bool juez_hay_sitio()
{
    std::lock_guard<std::mutex> l(cola_cerrojo);
    return cola.size() < (size_t)JUEZ_COLA_MAX;
}

int juez_pendientes()
{
    std::lock_guard<std::mutex> l(cola_cerrojo);
    return (int)cola.size() + en_curso;
}

void juez_para()
{
    {
        std::lock_guard<std::mutex> l(cola_cerrojo);
        parando = true;
    }
    aviso.notify_all();
    // A replay under way is cut short: its worker killed, its thread sees no verdict.
    {
        std::lock_guard<std::mutex> l(cola_cerrojo);
        for (Trabajador &t : trabajadores)
            if (t.pid > 0)
                kill(t.pid, SIGKILL);
    }
    for (std::thread &h : hilos_pool)
        h.join();
    hilos_pool.clear();
    for (Trabajador &t : trabajadores)
        termina(t);
    cola.clear();
}
