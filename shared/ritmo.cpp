// ritmo: the choice of the logic clock's rate, the clock that follows the vblank or a timer, and
// the waits that sleep until something wakes them.
#include "shared/ritmo.h"
#include "shared/idioma.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <pthread.h>
#include <time.h>

EleccionRitmo ritmo = {RITMO_REFERENCIA_HZ, 1.0f, FUENTE_TEMPORIZADOR, RITMO_REFERENCIA_HZ};
volatile int ritmo_por_vblank;
void (*ritmo_al_tick)(int n);

// The time scale for a rate, as the game has always rounded it: (1 / rate) / (1 / 75) in a float.
static float escala_de(int hz)
{
    return (float)((1.0 / hz) / 0.013333333333333334);
}

// True when the clock can follow a display at this rate.
static bool seguible(double hz)
{
    return hz >= RITMO_MIN_HZ - 0.5 && hz < RITMO_MAX_HZ + 0.5;
}

EleccionRitmo elige_ritmo(double randr_hz, double medido_hz)
{
    EleccionRitmo e = {RITMO_REFERENCIA_HZ, 1.0f, FUENTE_TEMPORIZADOR, randr_hz > 0 ? randr_hz : medido_hz};
    double hz = 0;
    if (randr_hz > 0) {
        if (seguible(randr_hz)) {
            hz = randr_hz;
            e.fuente = FUENTE_RANDR;
        }
    } else if (medido_hz > 0 && seguible(medido_hz)) {
        hz = medido_hz;
        e.fuente = FUENTE_VBLANK;
    }
    if (e.fuente != FUENTE_TEMPORIZADOR)
        e.max_fps = (int)lround(hz);
    e.animcon = escala_de(e.max_fps);
    if (e.hz <= 0)
        e.hz = RITMO_REFERENCIA_HZ;
    return e;
}

void texto_ritmo(const EleccionRitmo &e, char *out, int tam)
{
    if (e.fuente == FUENTE_RANDR)
        snprintf(out, tam, _("RandR %.2f Hz"), e.hz);
    else if (e.fuente == FUENTE_VBLANK)
        snprintf(out, tam, _("vblank medido %.1f Hz"), e.hz);
    else if (e.hz != RITMO_REFERENCIA_HZ)
        snprintf(out, tam, _("temporizador %d Hz (%.2f Hz)"), e.max_fps, e.hz);
    else
        snprintf(out, tam, _("temporizador %d Hz"), e.max_fps);
}

void reloj_inicia(Reloj *r, int hz, long long ahora_us, bool con_vblank)
{
    r->periodo_us = RITMO_US_SEG / (hz > 0 ? hz : RITMO_REFERENCIA_HZ);
    r->por_vblank = con_vblank ? 1 : 0;
    r->msc = 0;
    r->vblank_us = ahora_us;
    r->tick_us = ahora_us;
    r->proximo_us = ahora_us + r->periodo_us;
    r->candidato_us = 0;
}

int reloj_vblank(Reloj *r, unsigned long long msc, long long ahora_us)
{
    if (r->msc && msc == r->msc)
        return 0;   // a refresh already counted (an answer to an earlier request)
    // A counter that goes back is another monitor's (a new window): its first refresh is one tick.
    unsigned long long salto = r->msc && msc > r->msc ? msc - r->msc : 1;
    r->msc = msc;
    if (r->por_vblank) {
        r->vblank_us = ahora_us;
        r->tick_us = ahora_us;
        return salto > RITMO_MAX_SALTO ? RITMO_MAX_SALTO : (int)salto;
    }
    // The timer is in charge: a lone notification (a hidden window's rare one) changes nothing; two
    // close together give the ticks back to the notifications.
    if (!r->candidato_us || ahora_us - r->candidato_us > PLAZO_VBLANK_US) {
        r->candidato_us = ahora_us;
        return 0;
    }
    r->por_vblank = 1;
    r->candidato_us = 0;
    r->vblank_us = ahora_us;
    // The timer counted the time up to its last tick: this refresh gives a tick only if that was
    // at least half a tick ago.
    if (ahora_us - r->tick_us < r->periodo_us / 2)
        return 0;
    r->tick_us = ahora_us;
    return 1;
}

long long reloj_limite(const Reloj *r)
{
    return r->por_vblank ? r->vblank_us + PLAZO_VBLANK_US : r->proximo_us;
}

int reloj_vence(Reloj *r, long long ahora_us)
{
    if (ahora_us < reloj_limite(r))
        return 0;
    long long n;
    if (r->por_vblank) {
        // The notifications stopped: the timer gives the ticks owed since the last one, and goes on.
        r->por_vblank = 0;
        r->candidato_us = 0;
        n = (ahora_us - r->tick_us) / r->periodo_us;
        if (n > RITMO_MAX_SALTO)
            n = RITMO_MAX_SALTO;
        r->tick_us = ahora_us;
        r->proximo_us = ahora_us + r->periodo_us;
        return (int)n;
    }
    n = 1 + (ahora_us - r->proximo_us) / r->periodo_us;
    if (n > RITMO_MAX_SALTO) {
        n = RITMO_MAX_SALTO;   // a stall (a suspended machine): the rest is not made up
        r->proximo_us = ahora_us + r->periodo_us;
    } else {
        r->proximo_us += n * r->periodo_us;
    }
    r->tick_us = ahora_us;
    return (int)n;
}

// --- the waits ---

static pthread_mutex_t cerrojo = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t aviso;                // signalled at every wake-up (on the monotonic clock)
static pthread_once_t aviso_hecho = PTHREAD_ONCE_INIT;
static volatile unsigned vueltas;           // wake-ups so far

// Makes the condition wait on the monotonic clock, which no change of the date moves.
static void crea_aviso()
{
    pthread_condattr_t a;
    pthread_condattr_init(&a);
    pthread_condattr_setclock(&a, CLOCK_MONOTONIC);
    pthread_cond_init(&aviso, &a);
    pthread_condattr_destroy(&a);
}

long long ritmo_ahora_us()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * RITMO_US_SEG + t.tv_nsec / 1000;
}

// A monotonic time in microseconds as a timespec.
static timespec en_timespec(long long us)
{
    timespec t = {(time_t)(us / RITMO_US_SEG), (long)(us % RITMO_US_SEG) * 1000};
    return t;
}

void ritmo_despierta()
{
    pthread_once(&aviso_hecho, crea_aviso);
    pthread_mutex_lock(&cerrojo);
    vueltas = vueltas + 1;
    pthread_mutex_unlock(&cerrojo);
    pthread_cond_broadcast(&aviso);   // after the unlock: a woken wait does not sleep again on the lock
}

unsigned ritmo_espera(unsigned vuelta, long long plazo_us)
{
    pthread_once(&aviso_hecho, crea_aviso);
    timespec fin = en_timespec(ritmo_ahora_us() + plazo_us);
    pthread_mutex_lock(&cerrojo);
    while (vueltas == vuelta) {
        if (pthread_cond_timedwait(&aviso, &cerrojo, &fin) != 0)
            break;
    }
    unsigned v = vueltas;
    pthread_mutex_unlock(&cerrojo);
    return v;
}

double hz_de_vblanks(const unsigned long long *msc, const unsigned long long *ust, int n)
{
    if (n < 2)
        return 0;
    // The slope of the least-squares line of the time on the refresh count: a server that stamps its
    // refreshes from a millisecond timer (16, 17, 17 ms...) or one late notification moves it little.
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (int i = 0; i < n; i++) {
        double x = (double)(msc[i] - msc[0]), y = (double)(ust[i] - ust[0]);
        sx += x, sy += y, sxx += x * x, sxy += x * y;
    }
    double d = n * sxx - sx * sx;
    if (d <= 0)
        return 0;
    double periodo = (n * sxy - sx * sy) / d;
    return periodo > 0 ? RITMO_US_SEG / periodo : 0;
}

// Common refresh rates, Hz: a quick measure is taken as the one it is close to.
static const double TASAS_COMUNES[] = {50, 60, 72, 75, 85, 90, 100, 120, 144, 165, 180, 240};
static const double CERCA_COMUN = 0.03;   // how close, as a share of the rate

double hz_comun(double hz)
{
    for (double t : TASAS_COMUNES)
        if (hz > t * (1 - CERCA_COMUN) && hz < t * (1 + CERCA_COMUN))
            return t;
    return hz;
}

// --- the clock's thread ---

static pthread_t hilo;
static volatile int hilo_vivo;     // 1 while the thread runs; 0 asks it to stop
static const FuenteVblank *fuente_hilo;
static volatile int elegido;       // 1 once the rate in use is chosen
// A silent source is asked again for the next refresh this often, microseconds.
static const long long PIDE_DE_NUEVO_US = 1000000;

// Makes the rate in use known to ritmo_elegido; por_vblank: whether the ticks will follow the vblank.
static void publica(const EleccionRitmo &e, int por_vblank)
{
    pthread_once(&aviso_hecho, crea_aviso);
    pthread_mutex_lock(&cerrojo);
    ritmo = e;
    ritmo_por_vblank = por_vblank;
    elegido = 1;
    vueltas = vueltas + 1;
    pthread_mutex_unlock(&cerrojo);
    pthread_cond_broadcast(&aviso);   // after the unlock: a woken wait does not sleep again on the lock
}

EleccionRitmo ritmo_elegido()
{
    pthread_once(&aviso_hecho, crea_aviso);
    pthread_mutex_lock(&cerrojo);
    while (!elegido)
        pthread_cond_wait(&aviso, &cerrojo);
    EleccionRitmo e = ritmo;
    pthread_mutex_unlock(&cerrojo);
    return e;
}

void ritmo_pon_al_tick(void (*f)(int n))
{
    pthread_once(&aviso_hecho, crea_aviso);
    pthread_mutex_lock(&cerrojo);
    ritmo_al_tick = f;
    pthread_mutex_unlock(&cerrojo);
}

// Gives n ticks and wakes the waits.
static void da_ticks(int n)
{
    if (n <= 0)
        return;
    pthread_once(&aviso_hecho, crea_aviso);
    pthread_mutex_lock(&cerrojo);
    if (ritmo_al_tick)
        ritmo_al_tick(n);
    vueltas = vueltas + 1;
    pthread_mutex_unlock(&cerrojo);
    pthread_cond_broadcast(&aviso);   // after the unlock: a woken wait does not sleep again on the lock
}

// Sleeps until a monotonic time, microseconds.
static void duerme_hasta(long long us)
{
    timespec t = en_timespec(us);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, NULL) != 0 && hilo_vivo)
        ;
}

// The rate measured from the first notifications of f, Hz; 0 when too few come in time. *pedido:
// the refresh of the request it leaves pending.
static double mide(const FuenteVblank *f, unsigned long long *pedido)
{
    unsigned long long msc[MIDE_REFRESCOS], ust[MIDE_REFRESCOS];
    long long fin = ritmo_ahora_us() + MIDE_PLAZO_US;
    int n = 0;
    f->pide(0);
    *pedido = 0;
    while (n < MIDE_REFRESCOS && hilo_vivo) {
        unsigned long long m, u;
        if (f->espera(&m, &u, fin) <= 0)
            return 0;
        if (n == 0 || m > msc[n - 1]) {
            msc[n] = m;
            ust[n] = u;
            n++;
        }
        if (m + 1 > *pedido) {
            *pedido = m + 1;
            f->pide(*pedido);
        }
    }
    return hz_de_vblanks(msc, ust, n);
}

// The clock: waits for each notification (or the timer's time), gives its ticks, asks for the next.
static void *corre_reloj(void *)
{
    const FuenteVblank *f = fuente_hilo;
    // The refresh of the last request: one request pending at a time, or every notification would
    // keep two chains of requests going.
    unsigned long long pedido = 0;
    if (!elegido) {
        EleccionRitmo e = elige_ritmo(0, hz_comun(mide(f, &pedido)));
        if (e.fuente == FUENTE_TEMPORIZADOR)
            f = NULL;
        publica(e, f != NULL);
    }
    // A rate measured over a few refreshes is measured again over many, while play goes on.
    bool afina = ritmo.fuente == FUENTE_VBLANK;
    unsigned long long msc0 = 0, ust0 = 0;
    Reloj r;
    reloj_inicia(&r, ritmo.max_fps, ritmo_ahora_us(), f != NULL);
    ritmo_por_vblank = r.por_vblank;
    long long pedido_us = ritmo_ahora_us();
    if (f && !pedido)
        f->pide(0);
    while (hilo_vivo) {
        long long limite = reloj_limite(&r);
        unsigned long long msc = 0, ust = 0;
        int hubo = 0;
        if (f) {
            hubo = f->espera(&msc, &ust, limite);
            if (hubo < 0)
                f = NULL;   // the source is gone: the timer alone from now on
        } else {
            duerme_hasta(limite);
        }
        long long t = ritmo_ahora_us();
        int n = hubo > 0 ? reloj_vblank(&r, msc, t) : reloj_vence(&r, t);
        ritmo_por_vblank = r.por_vblank;
        da_ticks(n);
        if (!f)
            continue;
        if (hubo > 0) {
            if (msc + 1 > pedido) {
                pedido = msc + 1;
                f->pide(pedido);
                pedido_us = t;
            }
            if (afina && !msc0) {
                msc0 = msc;
                ust0 = ust;
            } else if (afina && msc - msc0 >= AFINA_REFRESCOS && ust > ust0) {
                EleccionRitmo e = elige_ritmo(0, (double)(msc - msc0) * RITMO_US_SEG / (double)(ust - ust0));
                if (e.fuente == FUENTE_VBLANK)
                    publica(e, ritmo_por_vblank);
                afina = false;
            }
        } else if (t - pedido_us >= PIDE_DE_NUEVO_US) {
            f->pide(0);   // a hidden window may have had its request dropped
            pedido = 0;
            pedido_us = t;
        }
    }
    return NULL;
}

bool ritmo_hilo_arranca(double randr_hz, const FuenteVblank *fuente)
{
    if (hilo_vivo)
        return true;
    if (randr_hz > 0 || !fuente) {
        EleccionRitmo e = elige_ritmo(randr_hz, 0);
        if (e.fuente == FUENTE_TEMPORIZADOR)
            fuente = NULL;
        publica(e, fuente != NULL);
    }
    fuente_hilo = fuente;
    hilo_vivo = 1;
    if (pthread_create(&hilo, NULL, corre_reloj, NULL) != 0) {
        hilo_vivo = 0;
        if (!elegido)
            publica(elige_ritmo(randr_hz, 0), 0);
        return false;
    }
    return true;
}

bool ritmo_hilo_corre()
{
    return hilo_vivo;
}

void ritmo_hilo_para()
{
    if (!hilo_vivo)
        return;
    hilo_vivo = 0;
    pthread_join(hilo, NULL);
}
