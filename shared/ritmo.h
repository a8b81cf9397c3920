// ritmo: the display's pace. The refresh rate of the monitor the window is on, the logic clock that
// follows its vblank (or a timer where none can be had), and the waits that sleep until the next
// tick or key instead of polling.
#ifndef KORV_RITMO_H
#define KORV_RITMO_H

enum {
    RITMO_MIN_HZ = 50,           // the slowest refresh the clock follows
    RITMO_MAX_HZ = 240,          // the fastest
    RITMO_REFERENCIA_HZ = 75,    // the timer's rate where the display cannot tell, and the time scale's base
    RITMO_MAX_SALTO = 8          // ticks one notification or one timer turn may give at most
};
static const long long PLAZO_VBLANK_US = 50000;   // silence of the notifications before the timer takes over
static const long long RITMO_US_SEG = 1000000LL;

// Where the rate in use came from.
enum { FUENTE_TEMPORIZADOR = 0, FUENTE_RANDR = 1, FUENTE_VBLANK = 2 };

// A rate chosen for the logic clock.
struct EleccionRitmo {
    int max_fps;     // ticks a second the time scale counts on, Hz (the rounded refresh rate)
    float animcon;   // time scale: 75 / max_fps
    int fuente;      // FUENTE_*
    double hz;       // the rate as found (RandR or measured), Hz; the timer's own where none
};

// The rate for what the display tells: RandR's rate of the window's mode (0: it cannot tell) and the
// rate measured from vblank notifications (0: none came). From 50 to 240 Hz the display's rate,
// elsewhere 75 Hz on the timer.
EleccionRitmo elige_ritmo(double randr_hz, double medido_hz);
// How the rate was found, for "-info": "RandR 59.94 Hz", "vblank medido 60.0 Hz", "temporizador 75 Hz".
void texto_ritmo(const EleccionRitmo &e, char *out, int tam);

// The clock's state: ticks follow the vblank notifications while they come; after PLAZO_VBLANK_US
// of silence a timer at the same rate gives them, until two notifications come close together again.
// Times are monotonic microseconds; nothing here reads a clock (the thread and the tests pass them).
struct Reloj {
    long long periodo_us;     // one tick of the timer
    int por_vblank;           // 1: the notifications give the ticks; 0: the timer
    unsigned long long msc;   // refresh counter of the last notification seen (0: none yet)
    long long vblank_us;      // when the last notification came (or when listening began)
    long long tick_us;        // when the last tick was given, by either
    long long proximo_us;     // the timer's next tick
    long long candidato_us;   // with the timer in charge: a lone notification's time (0: none)
};
// Starts the clock at hz, listening for notifications when con_vblank (the timer's ticks otherwise).
void reloj_inicia(Reloj *r, int hz, long long ahora_us, bool con_vblank);
// A notification of refresh msc came at ahora_us: the ticks it gives.
int reloj_vblank(Reloj *r, unsigned long long msc, long long ahora_us);
// Until when the clock's thread may sleep waiting for a notification.
long long reloj_limite(const Reloj *r);
// Nothing came until ahora_us (at or past reloj_limite): the ticks the timer gives.
int reloj_vence(Reloj *r, long long ahora_us);

// The refresh rate from notifications of refreshes msc[i] at times ust[i] (microseconds), n of them
// (at most MIDE_REFRESCOS): the slope of the least-squares line through them, Hz; 0 when they cannot tell.
double hz_de_vblanks(const unsigned long long *msc, const unsigned long long *ust, int n);

// A rate measured over a few refreshes (within a few percent on a loaded machine or a server that
// stamps its refreshes from a millisecond timer): the common rate it is within 3 % of, else itself.
// The background measure over many refreshes keeps its own figure.
double hz_comun(double hz);

// A source of vblank notifications for the clock's thread (X Present; a test may put its own).
struct FuenteVblank {
    // Waits until a notification or until limite_us: 1 with its refresh counter in *msc and the
    // refresh's time in *ust (monotonic microseconds), 0 at the limit, -1 when the source is gone.
    int (*espera)(unsigned long long *msc, unsigned long long *ust, long long limite_us);
    // Asks to be told of refresh msc (0: the next one, whatever its number).
    void (*pide)(unsigned long long msc);
};

enum {
    MIDE_REFRESCOS = 12,       // refreshes whose notifications measure the rate where RandR cannot tell
    MIDE_PLAZO_US = 600000,    // the longest the measure may take, microseconds
    AFINA_REFRESCOS = 120      // refreshes over which a measured rate is measured again, in the background
};

extern EleccionRitmo ritmo;             // the rate in use (75 Hz on the timer until one is chosen)
extern volatile int ritmo_por_vblank;   // 1 while the ticks follow the vblank notifications
extern void (*ritmo_al_tick)(int n);    // what n ticks do (the game advances its clock); under the lock
// Changes what the ticks do, under the lock (NULL: nothing; a playback at another rate takes the
// clock over meanwhile).
void ritmo_pon_al_tick(void (*f)(int n));

// Monotonic clock, microseconds.
long long ritmo_ahora_us();
// Starts the clock's thread: at RandR's rate randr_hz where it tells one, else at the rate the thread
// measures from fuente's notifications first (NULL: no notifications, 75 Hz on the timer). Ticks follow
// the notifications where the rate can be followed, else the thread's timer. False when the thread
// cannot be made (the rate is then chosen at once, from randr_hz alone).
bool ritmo_hilo_arranca(double randr_hz, const FuenteVblank *fuente);
// The rate in use, once chosen (waits for the thread's measure, a few refreshes). A measured rate is
// measured again over AFINA_REFRESCOS in the background: a later call may give that one.
EleccionRitmo ritmo_elegido();
// True while the clock's thread runs.
bool ritmo_hilo_corre();
// Stops the clock's thread (before the display it listens to goes away).
void ritmo_hilo_para();

// Wakes every wait now: a tick, a key, a mouse event.
void ritmo_despierta();
// Sleeps while nothing woke since vuelta and for at most plazo_us; returns the count of wake-ups then.
unsigned ritmo_espera(unsigned vuelta, long long plazo_us);

// The X side (ritmo_x.cpp): finds RandR's rate of the window's monitor and Present on our own
// connection, starts the clock's thread with them, and the thread that takes input as it comes.
// Where there is no X display, 75 Hz on the timer. False when the clock's thread cannot be made
// (the caller then ticks on the library's timer at ritmo_elegido()'s rate).
bool ritmo_arranca();
// Only the input thread (the editor, which has no logic clock).
void ritmo_entrada_arranca();

#endif
