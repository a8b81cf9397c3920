// ajustes: the player's settings (volumes, keys, screen) and their file; both programs read them.
#ifndef KORV_AJUSTES_H
#define KORV_AJUSTES_H

#include <allegro.h>

enum {
    VOL_PASOS = 10,          // volume settings run 0..10; 10 plays as loud as the game always did
    ESCALA_AUTO = 0,         // screen scale setting: 0 = the largest that fits, else 1..ESCALA_TOPE
    ESCALA_TOPE = 8,
    RITMOS = 3,              // paces of play a player may choose (ritmos_de_juego)
    ACC_ARRIBA = 0, ACC_ABAJO = 1, ACC_PAUSA = 2, ACCIONES = 3,  // actions a key can be given to
    MARCADOR_URL_MAX = 200   // characters of the online tables' address
};

// What "korvex -nivel" writes on stdout, followed by the number 0..2, when the difficulty was
// chosen in its menu: the editor's J plays its next tries at that difficulty.
#define LINEA_DIFICULTAD "dificultad "

extern int vol_musica;             // music volume setting, 0..10
extern int vol_efectos;            // sound-effect volume setting, 0..10
extern int aj_escala;              // screen scale setting: ESCALA_AUTO or 1..8
extern int aj_completa;            // 1: full screen
extern int aj_pausa_foco;          // 1: play pauses when another window takes the keyboard
extern int aj_ritmo;               // pace of play, percent of full pace: one of ritmos_de_juego
extern const int ritmos_de_juego[RITMOS];   // the paces offered, percent, fastest first (100, 85, 70)
extern int tecla_accion[ACCIONES]; // scan code of each action (up, down, pause)
extern int aj_idioma;              // language setting: IDIOMA_AUTO (the desktop's), IDIOMA_ES or IDIOMA_EN
extern char aj_marcador[MARCADOR_URL_MAX + 1];   // the online tables' server ("http://host:port"); "" none

// Puts every setting back to its default (volumes 10, AUTO, window, pause on leaving, arrows and P,
// the desktop's language, full pace, no online tables).
void ajustes_por_defecto();
// The settings file: ${XDG_CONFIG_HOME:-$HOME/.config}/korvex/korvex.cfg ("" when neither is set).
const char *ruta_ajustes();
// Reads the settings file over the current settings. A missing file changes nothing; each damaged
// line is skipped with a stderr line naming the file and the line. False when the file exists but
// cannot be read.
bool lee_ajustes(const char *ruta);
// Writes every setting to the file (its folder made when missing) through a temporary file and a
// rename; false (old file intact, one stderr line) when it cannot.
bool guarda_ajustes(const char *ruta);

// What a "clave = valor" reader does with one pair: true when the pair is taken.
typedef bool (*AplicaClave)(const char *clave, const char *valor, void *dato);
// Reads a "clave = valor" text file (the settings file's form): blank lines and "#" comments pass,
// each other line that aplica does not take is skipped with a stderr line "FILE:N: linea de QUE no
// valida; se ignora". Returns 1 when read, 0 when missing, -1 (the reason in motivo) when unreadable.
int lee_claves(const char *ruta, const char *que, AplicaClave aplica, void *dato, char *motivo, int tam);
// The same over n bytes in memory (nombre names them in the lines).
void lee_claves_texto(const char *texto, size_t n, const char *nombre, const char *que, AplicaClave aplica,
                      void *dato);

// True when url may be the online tables' address: empty, or "http://" or "https://" and a host, at
// most MARCADOR_URL_MAX printable characters without blanks, quotes or backslashes.
bool marcador_valido(const char *url);

// Name of a key as the settings file writes it ("UP", "W"...); "?" for others.
const char *nombre_tecla(int scan);
// Name of a key as the player reads it, in the language in use ("ARRIBA" / "UP", "W"...); "?" for others.
const char *tecla_visible(int scan);
// Scan code of a key name, 0 when the name is not one of ours.
int tecla_por_nombre(const char *nombre);
// Gives a key to an action; a key another action has swaps with it. False (nothing changed) for
// the keys that cannot be taken (ESC, F11, M) or keys without a name.
bool asigna_tecla(int accion, int scan);

#endif
