// rutas: where the programs find their data and keep the user's files (build folder or installed prefix).
#ifndef KORV_RUTAS_H
#define KORV_RUTAS_H

enum { RUTA_MAX = 1024 };   // bytes of a path buffer, with its final zero

extern int instalado;                       // 1: running from an installed prefix; 0: the build folder (as ever)
extern char carpeta_datos[RUTA_MAX];        // installed: absolute data folder (the working folder); else ""
extern char carpeta_usuario[RUTA_MAX];      // installed: the user's korvex folder ("" when HOME is unknown); else ""

// Decides the layout for a program in dir_exe: installed when dir_exe has no datos/ but
// dir_exe/../share/games/korvex/datos/ exists. Sets the three globals; returns instalado.
int decide_disposicion(const char *dir_exe, const char *xdg_data_home, const char *home);
// Decides the layout from /proc/self/exe and the environment; installed, it enters the data folder.
// False (a line on stderr) when the data folder cannot be entered.
bool pone_disposicion(const char *programa);
// Makes the user's folder and its levels/ if missing. False (a line on stderr naming the
// folder, said once) when they cannot be made or there is no user folder.
bool asegura_carpeta_usuario();
// The ranking file to read: the user's once it exists, else the shipped one.
void ruta_ranking_lee(char *out, int tam);
// The ranking file to write; installed, the user's folder is made first. False when it cannot be.
bool ruta_ranking_escribe(char *out, int tam);
// The absolute form of a path given on the command line (the program may move into its data folder
// before using it): the working folder + ruta; false when it does not fit.
bool ruta_absoluta(const char *ruta, char *out, int tam);
// The folder where new and edited levels are saved: "levels", or the user's levels/ when installed
// ("" when installed without a user folder).
void carpeta_niveles_usuario(char *out, int tam);

#endif
