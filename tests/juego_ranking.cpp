// The final score and the ranking: order, ties, the clamp, the initials, the file's bytes,
// short, missing and unwritable files. The whole path from tupuntaje runs headless.
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "game/main.h"
#include "game/presoverganec.h"
#include "shared/guardado.h"
#include "shared/repeticion.h"
#include "tests/prueba.h"

namespace {

// A ranking image: table t holds 10000 * (t + 1) - 1000 * place, initials "T" t place,
// reserved byte 10 * t + place (so a record that moved shows).
Bytes ranking_prueba()
{
    Bytes b(RANKING_BYTES);
    for (int t = 0; t < 3; t++)
        for (int i = 0; i < 10; i++) {
            unsigned char *r = &b[(t * 10 + i) * 8];
            unsigned v = 10000 * (t + 1) - 1000 * i;
            r[0] = v & 255, r[1] = v >> 8, r[2] = 0, r[3] = 0;
            r[4] = 'T', r[5] = '0' + t, r[6] = '0' + i, r[7] = 10 * t + i;
        }
    return b;
}

// The image with score v and initials ini at place p of table t, lower records moved down
// (each slot keeps its reserved byte).
Bytes con_record(Bytes b, int t, int p, unsigned v, const char *ini)
{
    for (int i = 9; i > p; i--)
        memcpy(&b[(t * 10 + i) * 8], &b[(t * 10 + i - 1) * 8], 7);
    unsigned char *r = &b[(t * 10 + p) * 8];
    for (int k = 0; k < 4; k++)
        r[k] = (v >> (8 * k)) & 255;
    memcpy(r + 4, ini, 3);
    return b;
}

Bytes fabrica()
{
    Bytes b(RANKING_BYTES);
    ranking_por_defecto(b.data());
    return b;
}

const int *guion;
int teclas_leidas;
int lee_guion() { return teclas_leidas++, *guion++ << 8; }

}  // namespace

// Final score: points plus 3000 per life left, kept within 32 bits.
TEST(Ranking, TotalFinal)
{
    EXPECT_EQ(std::vector<int>({total_final(250, 4), total_final(0, 0), total_final(INT_MAX - 2999, 1),
                                total_final(INT_MAX - 2998, 1), total_final(INT_MAX, 1000)}),
              std::vector<int>({12250, 0, INT_MAX, INT_MAX, INT_MAX}));
}

// The initials entry: letters wrap A..Z, the cursor stays on the three letters, ENTER past the third ends.
TEST(Ranking, Iniciales)
{
    struct { std::vector<int> teclas; const char *letras; int cursor; bool fin; } casos[] = {
        {{KEY_DOWN}, "ZAA", 0, false}, {{KEY_UP, KEY_UP}, "CAA", 0, false}, {{KEY_DOWN, KEY_UP}, "AAA", 0, false},
        {{KEY_LEFT, KEY_UP}, "BAA", 0, false}, {{KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, KEY_DOWN}, "AAZ", 2, false},
        {{KEY_ENTER, KEY_DOWN, KEY_ENTER, KEY_UP}, "AZB", 2, false},
        {{KEY_ENTER, KEY_ENTER, KEY_ENTER}, "AAA", 3, true}, {{KEY_RIGHT, KEY_RIGHT, KEY_ENTER}, "AAA", 3, true},
        {{KEY_A, KEY_SPACE}, "AAA", 0, false},
    };
    for (auto &c : casos) {
        Iniciales e;
        iniciales_empieza(&e);
        bool fin = false;
        for (int k : c.teclas)
            fin = iniciales_tecla(&e, k);
        EXPECT_EQ(std::make_tuple(std::string(e.letra, 3), e.cursor, fin), std::make_tuple(c.letras, c.cursor, c.fin));
    }
}

// A game's end, from the final score to the file: the bytes written, for each kind of file found
// (ties go above, below the tenth nothing enters; a score past 31 bits first, a table out of range none).
TEST(Ranking, DelPuntajeAlArchivo)
{
    static const int ZYB[] = {KEY_DOWN, KEY_RIGHT, KEY_DOWN, KEY_DOWN, KEY_RIGHT, KEY_UP, KEY_ENTER};
    static const int AAA[] = {KEY_ENTER, KEY_ENTER, KEY_ENTER};
    Bytes corto(100, 7), prueba = ranking_prueba();
    struct { const char *que; Bytes antes; int difi, puntos, vidas; const int *teclas; Bytes despues; int leidas;
             int ritmo = RITMO_LLENO; } casos[] = {
        {"empate", prueba, 2, 13000, 4, ZYB, con_record(prueba, 2, 5, 25000, "ZYB"), 7},
        {"primero", prueba, 0, 100000, 0, AAA, con_record(prueba, 0, 0, 100000, "AAA"), 3},
        {"decimo", prueba, 1, 11000, 0, AAA, con_record(prueba, 1, 9, 11000, "AAA"), 3},
        {"fuera", prueba, 0, 999, 0, AAA, prueba, 0},
        {"a 70 %", prueba, 0, 100000, 0, AAA, prueba, 0, 70},   // shown, never entered
        {"corto", corto, 0, 52400, 0, AAA, con_record(fabrica(), 0, 0, 52400, "AAA"), 3},
        {"239 bytes", Bytes(prueba.begin(), prueba.end() - 1), 1, 61550, 0, AAA, con_record(fabrica(), 1, 0, 61550, "AAA"), 3},
        {"vacio", Bytes(), 1, 0, 0, AAA, Bytes(), 0},
        {"largo", [&] { Bytes l = prueba; l.push_back(9); return l; }(), 2, 29000, 0, AAA,
         con_record(prueba, 2, 1, 29000, "AAA"), 3},
    };
    CarpetaTemporal t(SUBCARPETAS);
    active_page = create_bitmap(PANTALLA_W, PANTALLA_H);
    lee_tecla = lee_guion;
    max_fps = 0;   // the screens do not wait
    for (auto &c : casos) {
        escribe_archivo(RANKING_ARCHIVO, c.antes);
        if (c.antes.empty())
            remove(RANKING_ARCHIVO);
        guion = c.teclas, teclas_leidas = 0, difi = c.difi, puntos = c.puntos, vidas = c.vidas, ritmo_partida = c.ritmo;
        std::string err = stderr_de(tupuntaje);
        EXPECT_TRUE(lee_archivo(RANKING_ARCHIVO) == c.despues && teclas_leidas == c.leidas)
            << c.que << " (a score that does not enter writes nothing and asks no initials)";
        EXPECT_EQ(err.find(RANKING_ARCHIVO) != std::string::npos, c.antes.size() < RANKING_BYTES) << c.que << ": " << err;
    }
    EXPECT_EQ(lugar_ranking(prueba.data(), 2, 0xFFFFFFFFu), 0);
    EXPECT_TRUE(lugar_ranking(prueba.data(), -1, 50000) == 10 && lugar_ranking(prueba.data(), 3, 50000) == 10);
    // A file that cannot be replaced: the entry is said lost on stderr, the folder left as it was.
    remove(RANKING_ARCHIVO);
    mkdir(RANKING_ARCHIVO, 0777);
    guion = AAA, difi = 0, puntos = 60000, vidas = 0, ritmo_partida = RITMO_LLENO;
    std::string err = stderr_de(tupuntaje);
    EXPECT_TRUE(err.find("no se pudo guardar") != std::string::npos && std::filesystem::is_directory(RANKING_ARCHIVO)) << err;
}

// The save reads the table again: the record goes where it belongs in the file as it is now (another
// game may have saved meanwhile), not where it stood in the table read before the initials.
TEST(Ranking, GuardaRecordDondeVaAhora)
{
    Bytes prueba = ranking_prueba(), otro = con_record(prueba, 0, 0, 50000, "OTR");
    Bytes lleno = prueba;   // table 0 filled with 40000s by others
    for (int i = 0; i < 10; i++)
        lleno = con_record(lleno, 0, i, 40000, "LLE");
    struct { const char *que; Bytes archivo; unsigned pts; int lugar; Bytes despues; } casos[] = {
        {"igual", prueba, 9500, 1, con_record(prueba, 0, 1, 9500, "NUE")},
        {"otro entro arriba", otro, 9500, 2, con_record(otro, 0, 2, 9500, "NUE")},
        {"otro entro debajo", con_record(prueba, 0, 5, 7000, "OTR"), 9500, 1,
         con_record(con_record(prueba, 0, 5, 7000, "OTR"), 0, 1, 9500, "NUE")},
        {"ya no entra", lleno, 9500, 10, lleno},
        {"sin archivo", Bytes(), 60000, 0, con_record(fabrica(), 0, 0, 60000, "NUE")},
    };
    CarpetaTemporal t(SUBCARPETAS);
    for (auto &c : casos) {
        escribe_archivo(RANKING_ARCHIVO, c.archivo);
        if (c.archivo.empty())
            remove(RANKING_ARCHIVO);
        Bytes buf = prueba;   // what this game read before its initials
        int lugar = -1;
        stderr_de([&] { EXPECT_TRUE(guarda_record(buf.data(), 0, c.pts, "NUE", &lugar)) << c.que; });
        EXPECT_EQ(lugar, c.lugar) << c.que;
        EXPECT_TRUE(lee_archivo(RANKING_ARCHIVO) == c.despues && buf == c.despues) << c.que << ": the table shown is the one saved";
    }
}

// Two games ending at the same moment, many rounds: each read the table before its initials, each
// saves its record; both records are in the file every time, in their order.
TEST(Ranking, DosJuegosALaVezGuardanAmbosRecords)
{
    const int RONDAS = 200;
    CarpetaTemporal t(SUBCARPETAS);
    Bytes esperado = con_record(con_record(fabrica(), 0, 0, 100000, "AAA"), 0, 0, 100001, "BBB");
    int perdidas = 0;
    for (int r = 0; r < RONDAS; r++) {
        escribe_archivo(RANKING_ARCHIVO, fabrica());
        int salida[2];
        pid_t hijo[2];
        ASSERT_EQ(pipe(salida), 0);
        for (int k = 0; k < 2; k++) {
            if ((hijo[k] = fork()) == 0) {
                unsigned char buf[RANKING_BYTES];
                lee_ranking(buf);
                close(salida[1]);
                char c;
                if (read(salida[0], &c, 1) != 0)   // both go when the parent closes its end
                    _exit(3);
                int lugar;
                _exit(guarda_record(buf, 0, 100000 + k, k ? "BBB" : "AAA", &lugar) && lugar <= 1 ? 0 : 1);
            }
        }
        close(salida[0]);
        close(salida[1]);
        for (int k = 0, st; k < 2; k++)
            ASSERT_TRUE(waitpid(hijo[k], &st, 0) == hijo[k] && WIFEXITED(st) && !WEXITSTATUS(st)) << "ronda " << r << ", juego " << k;
        perdidas += lee_archivo(RANKING_ARCHIVO) != esperado;
    }
    EXPECT_EQ(perdidas, 0) << "rondas con un record perdido, de " << RONDAS;
}

// A lock held by a game that was stopped (SIGSTOP) holds no save up for good: the wait ends, the record
// is saved anyway, stderr says so.
TEST(Ranking, CerrojoDeUnJuegoParadoNoDetieneElGuardado)
{
    const unsigned ALARMA_S = 30;   // far above the 2 s bound: only a wait that never ends reaches it
    CarpetaTemporal t(SUBCARPETAS);
    escribe_archivo(RANKING_ARCHIVO, fabrica());
    int listo[2];
    ASSERT_EQ(pipe(listo), 0);
    pid_t hijo = fork();
    if (hijo == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);   // stopped or not, it goes with the test
        char c = toma_cerrojo(RANKING_ARCHIVO) >= 0 ? 'y' : 'n';
        if (write(listo[1], &c, 1) != 1)
            _exit(3);
        raise(SIGSTOP);
        _exit(0);
    }
    char c = 0;
    int st;
    ASSERT_TRUE(read(listo[0], &c, 1) == 1 && c == 'y' && waitpid(hijo, &st, WUNTRACED) == hijo && WIFSTOPPED(st));
    unsigned char buf[RANKING_BYTES];
    int lugar = -1;
    alarm(ALARMA_S);   // a wait without end fails the test here rather than at CTest's time-out
    std::string err = stderr_de([&] { EXPECT_TRUE(guarda_record(buf, 0, 100000, "AAA", &lugar)); });
    alarm(0);
    EXPECT_TRUE(lugar == 0 && lee_archivo(RANKING_ARCHIVO) == con_record(fabrica(), 0, 0, 100000, "AAA"));
    EXPECT_NE(err.find(RANKING_ARCHIVO ".lock: otro programa tiene el cerrojo hace mas de 2 s; se guarda sin el"),
              std::string::npos) << err;
    kill(hijo, SIGKILL);
    waitpid(hijo, &st, 0);
}
