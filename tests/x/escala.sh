#!/bin/sh
# On a 1024x768 desktop: the default window is x2; "-escala 3" is 960x720, every 3x3 block one colour and
# its samples the 320x240 page (title picture, play, pause); F11 there and back keeps the page (x3 centred
# on black) and the game; TERM ends it within a second (143), also with its X server dying at once. Full
# screen from the start: black borders around the first picture. F11 on the options screen and in the
# editor: the full-screen setting follows the mode, on the screen and in korvex.cfg.
# Usage: escala.sh KORV_DIR ARTEFACTOS
. "$(dirname "$0")/escena.sh"
export ESCENA_PANTALLA=1024x768x24 ESCENA_DESDE=${ESCENA_DESDE:-330} ESCENA_HASTA=${ESCENA_HASTA:-339}
escena_empieza escala "$1" "$2"

tamano() { xwininfo -id "$W" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
# The 320x240 samples of screenshot $1 (every 3rd pixel) into $E/$2.png.
muestras() { convert "$1" -sample 320x240! "$E/$2.png"; }
# Fails unless every pixel of screenshot $1 has the colour of its 3x3 block's sample.
bloques() {
    convert "$1" -sample 320x240! -sample 300% "$E/bloques.png"
    n=$(timeout 20 compare -metric AE "$1" "$E/bloques.png" null: 2>&1 | cut -d' ' -f1)
    [ "$n" = 0 ] || fallo "$2: $n pixels off their 3x3 block's colour"
}
# Conditions for hasta on a x3 window: the title picture in the samples after a key; play moving
# ($1 = distinta, the road's part) or still ($1 = igual) against the previous screenshot.
titulo3() { tecla x; muestras "$FOTO" m && FOTO=$E/m.png muestra korvex; }
compara() {
    r=1; [ -f "$E/anterior.png" ] && "$@" "$E/anterior.png" 960x576+0+0 && r=0
    cp "$FOTO" "$E/anterior.png"; return $r
}
# TERM, then the program must be gone within a second, with status 143.
termina_rapido() {
    kill -TERM "$PID"
    for i in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$PID" 2>/dev/null && sleep 0.1; done
    kill -0 "$PID" 2>/dev/null && fallo "$1: the game still runs a second after TERM"
    wait "$PID"; RC=$? PID=""; [ "$RC" = 143 ] || fallo "$1: exit status $RC after TERM"
}

lanza ./korvex && ventana '^KORVEX 2003$'
[ "$(tamano)" = 640x480 ] || fallo "the default window on 1024x768 is $(tamano), not 640x480"
termina_rapido "x2"
# The settings file's scale applies; the command line wins over it.
mkdir -p "$E/home/.config/korvex" && echo 'escala = 1' >"$E/home/.config/korvex/korvex.cfg"
lanza ./korvex && ventana '^KORVEX 2003$'
[ "$(tamano)" = 320x240 ] || fallo "escala = 1 in korvex.cfg gives $(tamano), not 320x240"
termina_rapido "x1"

lanza ./korvex -escala 3 && ventana '^KORVEX 2003$'
[ "$(tamano)" = 960x720 ] || fallo "-escala 3 over the file's 1 gives $(tamano), not 960x720"
hasta 40 titulo titulo3
bloques "$FOTO" titulo
manten Return 0.5
hasta 20 menu distinta "$FOTO"
tecla Return                      # "QUIERO JUGAR"
sleep 6                           # the level card (3 s) and the level's start (2 s, the road still)
hasta 30 juego compara distinta
bloques "$FOTO" juego
manten p 0.3
hasta 10 pausa compara igual
bloques "$FOTO" pausa
muestras "$FOTO" pausa

tecla F11; sleep 2; timeout 20 import -window root "$E/raiz.png" || fallo "no screenshot of the desktop"
convert "$E/raiz.png" -crop 960x720+32+24 +repage "$ART/completa.png"
muestras "$ART/completa.png" completa
[ "$(difieren "$E/completa.png" "$E/pausa.png")" = 0 ] || fallo "full screen does not show the paused page"
bloques "$ART/completa.png" "full screen"
[ "$(convert "$E/raiz.png" -crop 32x768+0+0 +repage -format '%[fx:maxima]' info:)" = 0 ] ||
    fallo "the full screen's border is not black"
tecla F11; sleep 2
ventana '^KORVEX 2003$'
[ "$(tamano)" = 960x720 ] || fallo "after F11 twice the window is $(tamano)"
captura vuelta && muestras "$FOTO" vuelta || fallo "no screenshot after F11 twice"
[ "$(difieren "$E/vuelta.png" "$E/pausa.png")" = 0 ] || fallo "the window after F11 twice shows another picture"
manten p 0.3; rm "$E/anterior.png"
hasta 10 sigue compara distinta
termina_rapido "x3"

# Full screen from the start: the borders around the first picture (the studio card, fading in) are black.
lanza ./korvex -full
sleep 3
timeout 20 import -window root "$ART/completa-estudio.png" || fallo "no screenshot of the desktop"
[ "$(convert "$ART/completa-estudio.png" -crop 32x768+0+0 +repage -format '%[fx:maxima]' info:)" = 0 ] ||
    fallo "the border around the first picture is not black"
termina_rapido "full screen, first picture"

# F11 on the options screen: the full-screen setting follows the mode, on the screen and in korvex.cfg.
cfg=$E/home/.config/korvex/korvex.cfg
echo 'escala = 1' >"$cfg"
al_titulo
manten o 0.4
for k in Down Down Down; do pulsa $k; done
cp "$FOTO" "$E/completa-no.png"   # "PANTALLA COMPLETA  NO", marked
tecla Return; sleep 2
grep -q '^pantalla_completa = si$' "$cfg" || fallo "PANTALLA COMPLETA SI is not in korvex.cfg: $(cat "$cfg")"
tecla F11; sleep 2
ventana '^KORVEX 2003$'
captura opciones-f11 || fallo "no screenshot after F11"
[ "$(tamano)" = 320x240 ] || fallo "after F11 on the options screen the window is $(tamano)"
[ "$(difieren "$FOTO" "$E/completa-no.png")" = 0 ] || fallo "after F11 the options screen does not say NO"
grep -q '^pantalla_completa = no$' "$cfg" || fallo "after F11 korvex.cfg still says: $(grep completa "$cfg")"
termina_rapido "F11 on the options screen"
# In the editor too: F11 there and back, and the setting follows each time.
lanza ./korveditor && ventana '^KORV-EDITOR 2003$'
tecla F11; sleep 2
grep -q '^pantalla_completa = si$' "$cfg" || fallo "after F11 in the editor korvex.cfg says: $(grep completa "$cfg")"
tecla F11; sleep 2
ventana '^KORV-EDITOR 2003$'
grep -q '^pantalla_completa = no$' "$cfg" || fallo "after F11 twice in the editor korvex.cfg says: $(grep completa "$cfg")"
grep -q '^escala = 1$' "$cfg" || fallo "the editor's F11 lost the other settings: $(cat "$cfg")"
termina_rapido "F11 in the editor"

# TERM and the end of the X server at once (timeout around xvfb-run): the game must not outlive them.
for n in $(seq "$ESCENA_DESDE" "$ESCENA_HASTA"); do [ -e "/tmp/.X$n-lock" ] || { num=$n; break; }; done
[ -n "${num:-}" ] || fallo "no free display between :$ESCENA_DESDE and :$ESCENA_HASTA"
(cd "$K" && HOME="$E/home" timeout 6 xvfb-run -n "$num" -s "-screen 0 1024x768x24 -nolisten tcp" \
    ./korvex -info "escala-xio-$$") >"$ART/xio.txt" 2>&1
sleep 1
pgrep -f "korvex -info escala-xio-$$" >/dev/null && fallo "the game outlived its X server by a second"
echo "ok [escala]"
