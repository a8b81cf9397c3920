// Helpers shared by the tests: a temporary working folder, file bytes, a program's output, stderr.
#ifndef KORV_PRUEBA_H
#define KORV_PRUEBA_H

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

// What a temporary folder starts with: nothing; the sub-folders a program expects (datos, levels,
// midi, mp3); or the shipped data (build/korvex) with its levels listed (buscaarch).
enum Contenido { VACIA, SUBCARPETAS, DATOS_REALES };

// Creates a fresh temporary folder and makes it the working folder; undone on destruction.
struct CarpetaTemporal {
    std::string ruta;    // absolute path of the folder
    std::string antes;   // working folder before
    explicit CarpetaTemporal(Contenido c = VACIA);
    ~CarpetaTemporal();
};

typedef std::vector<unsigned char> Bytes;   // a file's bytes

// Reads a whole file; empty when it cannot.
Bytes lee_archivo(const std::string &ruta);
// Writes bytes to a file (plain write, for test set-up).
void escribe_archivo(const std::string &ruta, const Bytes &datos);
// True when the file exists.
bool existe(const std::string &ruta);
// Every file under folder dir with its size and time: what a program wrote shows.
std::string inventario(const std::string &dir = ".");
// Runs a command line of the shell with no X display: what it wrote on stdout and its exit status.
std::pair<std::string, int> salida_de(const std::string &orden);
// What f writes on stderr.
template <class F> std::string stderr_de(F f)
{
    testing::internal::CaptureStderr();
    f();
    return testing::internal::GetCapturedStderr();
}

#endif
