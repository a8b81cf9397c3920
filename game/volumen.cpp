// volumen: what the game plays under the volume settings, and the music's mute (M).
#include "game/volumen.h"

#include "shared/ajustes.h"
#include "game/mp3.h"
#include "game/musica.h"
#include "shared/idioma.h"

volatile int musica_muda;
int hay_digital = 1;
int hay_midi = 1;

enum {
    VOL_TOPE = 255,        // the library's full volume
    PAN_CENTRO = 128,
    FRECUENCIA = 1000
};

static int midi_base = VOL_TOPE;   // MIDI volume the game wants now, before the setting
static int mp3_base = VOL_TOPE;    // MP3 stream volume the game wants now, before the setting
static volatile int pide_mudo;     // M presses not yet handled (set by the keyboard callback)

int vol_efecto(int v)
{
    return v * vol_efectos / VOL_PASOS;
}

int suena_efecto(SAMPLE *spl, int vol, int pan, int freq, int loop)
{
    if (!spl)
        return -1;
    // A looping sound starts even when silent, so that raising the volume later is heard.
    if (vol_efecto(vol) <= 0 && !loop)
        return -1;
    return play_sample(spl, vol_efecto(vol), pan, freq, loop);
}

int vol_mp3(int base)
{
    return musica_muda ? 0 : base * vol_musica / VOL_PASOS;
}

void pon_volumen_midi(int base)
{
    midi_base = base;
    set_volume(-1, vol_mp3(base));
}

void pon_volumen_mp3(int base)
{
    mp3_base = base;
    if (mp3est)
        ajusta_mp3(vol_mp3(base), PAN_CENTRO, FRECUENCIA);
}

void reaplica_musica()
{
    pon_volumen_midi(midi_base);
    pon_volumen_mp3(mp3_base);
}

// Keyboard callback (the library's input thread): counts presses of M.
static void tecla_baja(int scan)
{
    if (scan == KEY_M)
        pide_mudo = pide_mudo + 1;
}
END_OF_STATIC_FUNCTION(tecla_baja)

void vigila_mudo()
{
    LOCK_VARIABLE(pide_mudo);
    LOCK_FUNCTION(tecla_baja);
    keyboard_lowlevel_callback = tecla_baja;
}

void olvida_mudo()
{
    pide_mudo = 0;
}

void atiende_mudo()
{
    if (pide_mudo == 0)
        return;
    int veces = pide_mudo;
    pide_mudo = 0;
    if (veces % 2 == 0)
        return;
    musica_muda = !musica_muda;
    reaplica_musica();
    if (hay_digital || hay_midi)   // with no sound at all, no line says the music is on
        pon_linea(musica_muda ? _("MUSICA: NO") : _("MUSICA: SI"));
}
