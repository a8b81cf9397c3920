// ajustes: the player's settings (volumes, keys, screen), their file, and the music's mute.
#ifndef KORV_AJUSTES_H
#define KORV_AJUSTES_H

#define ALLEGRO_NO_COMPATIBILITY
#include <allegro.h>

enum {
    VOL_PASOS = 10,          // volume settings run 0..10; 10 plays as loud as the game always did
    ESCALA_AUTO = 0,         // screen scale setting: 0 = the largest that fits, else 1..ESCALA_TOPE
    ESCALA_TOPE = 8,
    ACC_ARRIBA = 0, ACC_ABAJO = 1, ACC_PAUSA = 2, ACCIONES = 3   // actions a key can be given to
};

extern int vol_musica;             // music volume setting, 0..10
extern int vol_efectos;            // sound-effect volume setting, 0..10
extern int aj_escala;              // screen scale setting: ESCALA_AUTO or 1..8
extern int aj_completa;            // 1: full screen
extern int tecla_accion[ACCIONES]; // scan code of each action (up, down, pause)
extern volatile int musica_muda;   // 1 while the player has the music off (M); not kept in the file

// Puts every setting back to its default (volumes 10, AUTO, window, arrows and P).
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

// Name of a key as the file and the options screen write it ("UP", "W"...); "?" for others.
const char *nombre_tecla(int scan);
// Scan code of a key name, 0 when the name is not one of ours.
int tecla_por_nombre(const char *nombre);
// Gives a key to an action; a key another action has swaps with it. False (nothing changed) for
// the keys that cannot be taken (ESC, F11, M) or keys without a name.
bool asigna_tecla(int accion, int scan);

// Volume of a sound effect of nominal volume v (0..255) under the effects setting.
int vol_efecto(int v);
// Plays a sample at its nominal volume under the effects setting; -1 (nothing played) at 0.
int suena_efecto(SAMPLE *spl, int vol, int pan, int freq, int loop);
// Sets the MIDI volume the game wants now (0..255); what is heard follows the setting and the mute.
void pon_volumen_midi(int base);
// Sets the MP3 stream volume the game wants now (0..255), likewise (the stream playing, if any).
void pon_volumen_mp3(int base);
// Volume the MP3 stream plays at for the game's wanted volume base.
int vol_mp3(int base);
// Applies the volumes again after a change of a setting or of the mute.
void reaplica_musica();
// Watches the keyboard for M (mute) from now on.
void vigila_mudo();
// Does what M asked since the last call: mutes or unmutes and puts "MUSICA: NO"/"MUSICA: SI" on
// the song line. Called from the waits and the play step.
void atiende_mudo();

#endif
