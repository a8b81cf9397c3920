// Helpers shared by the tests: a temporary working folder, file bytes, synthetic data.
#ifndef KORV_PRUEBA_H
#define KORV_PRUEBA_H

#include <string>
#include <utility>
#include <vector>

// Creates a fresh temporary folder and makes it the working folder; undone on destruction.
struct CarpetaTemporal {
    std::string ruta;    // absolute path of the folder
    std::string antes;   // working folder before
    CarpetaTemporal();
    ~CarpetaTemporal();
    // Creates the sub-folders a program expects (datos, levels, midi, mp3).
    void subcarpetas() const;
};

// Reads a whole file; empty vector when it cannot.
std::vector<unsigned char> lee_archivo(const std::string &ruta);
// Writes bytes to a file (plain write, for test set-up).
void escribe_archivo(const std::string &ruta, const std::vector<unsigned char> &datos);
// True when the file exists.
bool existe(const std::string &ruta);
// Copies the shipped data folder (build/korvex) into the working folder: datos, levels, midi, mp3.
void copia_datos_reales();
// Runs a command line of the shell with no X display: what it wrote on stdout and its exit status.
std::pair<std::string, int> salida_de(const std::string &orden);

#endif
