// Every reader of the programs refuses what is not a regular file: a FIFO named as a level, a
// picture, a sound, a song, the font, the ranking or the settings file gives its line on stderr
// (naming the file) and returns at once instead of waiting forever for a writer.
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "game/main.h"
#include "game/mp3.h"
#include "game/musica.h"
#include "game/presoverganec.h"
#include "tests/prueba.h"
#include "shared/ajustes.h"
#include "shared/lectura.h"
#include "game/verifica.h"

namespace {

// Runs leer in a child process, stderr going to "err.txt", that an alarm ends after 3 s (a reader
// waiting for a writer): true when leer returned true in time. Its stderr in err.
bool vuelve_pronto(const std::function<bool()> &leer, std::string &err)
{
    pid_t pid = fork();
    if (pid == 0) {
        alarm(3);
        dup2(open("err.txt", O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        _exit(leer() ? 0 : 1);
    }
    int st = 0;
    waitpid(pid, &st, 0);
    Bytes v = lee_archivo("err.txt");
    err.assign(v.begin(), v.end());
    return WIFEXITED(st) && WEXITSTATUS(st) == 0;
}

}  // namespace

// One row per reader: the file made a FIFO, what reads it and what it must answer.
TEST(Lectura, UnaFifoSeRechazaSinEsperar)
{
    CarpetaTemporal t(DATOS_REALES);
    reserva_enemigos();
    const struct { const char *fifo; std::function<bool()> lee; } lectores[] = {
        {"levels/f.map", [] { return !CargaMapa("levels/f.map"); }},
        {"levels/f.map", [] { return !NivelValido("levels/f.map"); }},
        {"levels/f.map", [] { std::vector<std::string> l; return verifica_archivo("levels/f.map", l) == 1 &&
                                  l.size() == 1 && (fputs((l[0] + "\n").c_str(), stderr), true); }},
        {"korvex.cfg", [] { return !lee_ajustes("korvex.cfg"); }},
        {"datos/ranking.dat", [] { unsigned char b[RANKING_BYTES]; return !lee_ranking(b); }},
        {"datos/lurgo.bmp", [] { return !CargarBMP(); }},
        {"datos/font.dat", [] { return !fuente_valida("datos/font.dat"); }},
        {"datos/gold.wav", [] { return install_sound(DIGI_NONE, MIDI_NONE, NULL) == 0 && !carga_sonidos(); }},
        {"mp3/f.mp3", [] { return open_mp3_file("mp3/f.mp3") == NULL; }},
        {"midi/f.mid", [] { install_sound(DIGI_NONE, MIDI_NONE, NULL), strcpy(archivm[0], "f.mid"), musicas = 1;
                            armalistamusica(), playmidimusic();
                            return midiest == 0; }},
    };
    for (const auto &l : lectores) {
        unlink(l.fifo);   // the shipped file, or the FIFO of the row before
        ASSERT_EQ(mkfifo(l.fifo, 0600), 0) << l.fifo;
        std::string err;
        EXPECT_TRUE(vuelve_pronto(l.lee, err)) << l.fifo << ": " << err;
        EXPECT_TRUE(err.find(l.fifo) != std::string::npos && err.find("FIFO") != std::string::npos) << l.fifo << ": " << err;
    }
}

// What the readers say about each kind of thing that is not a regular file; a link to a regular
// file is read as the file.
TEST(Lectura, CadaClaseDeArchivo)
{
    CarpetaTemporal t;
    escribe_archivo("a", {1, 2, 3});
    mkdir("carpeta", 0700);
    mkfifo("fifo", 0600);
    symlink("a", "enlace");
    const struct { const char *nombre; const char *motivo; } casos[] = {
        {"a", ""}, {"enlace", ""}, {"carpeta", "es una carpeta, no un archivo"},
        {"fifo", "es una FIFO, no un archivo; no se lee"}, {"/dev/zero", "es un dispositivo, no un archivo; no se lee"},
        {"falta", "no se pudo abrir (No such file or directory)"},
    };
    for (const auto &c : casos) {
        char motivo[MOTIVO_MAX] = "";
        FILE *f = abre_regular(c.nombre, motivo, sizeof motivo);
        EXPECT_TRUE((f != NULL) == !*c.motivo && !strcmp(motivo, c.motivo)) << c.nombre << ": " << motivo;
        if (f) {
            EXPECT_EQ(fgetc(f), 1) << "read as usual after the non-blocking open";
            fclose(f);
        }
        EXPECT_EQ(es_regular(c.nombre, motivo, sizeof motivo), !*c.motivo) << c.nombre;
    }
}
