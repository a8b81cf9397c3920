// volumen: what the game plays under the volume settings, and the music's mute (M).
#ifndef KORV_VOLUMEN_H
#define KORV_VOLUMEN_H

#include <allegro.h>

extern volatile int musica_muda;   // 1 while the player has the music off (M); not kept in the file
extern int hay_digital;            // 1 when a sound device plays samples and MP3 songs (set at start-up)
extern int hay_midi;               // 1 when MIDI songs are heard (the synthesizer started)

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
// Forgets the presses of M not yet handled (M closed the help card: it does nothing else).
void olvida_mudo();
// Does what M asked since the last call: mutes or unmutes and puts "MUSICA: NO"/"MUSICA: SI" on
// the song line. Called from the waits and the play step.
void atiende_mudo();

#endif
