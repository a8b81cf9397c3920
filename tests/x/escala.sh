#!/bin/sh
# The scaled picture on a 1024x768 desktop: the default window is x2; "-escala 3" gives a 960x720
# window whose every 3x3 block is one colour and whose samples every 3 pixels are the 320x240 page
# (the title picture, play, the pause); F11 during the pause shows the same page x3 centred on
# black, and F11 again the same window and picture, with the game going on after the pause;
# TERM ends the game within a second (status 143), and so does TERM together
# with the end of its X server, as at a logout.
# Usage: escala.sh KORV_DIR ARTEFACTOS
. "$(dirname "$0")/escena.sh"
export ESCENA_PANTALLA=1024x768x24 ESCENA_DESDE=330 ESCENA_HASTA=335
escena_empieza escala "$1" "$2"

tamano() { xwininfo -id "$W" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
# The 320x240 samples of screenshot $1 (every 3rd pixel) into $E/$2.png.
muestras() { convert "$1" -sample 320x240! "$E/$2.png"; }
# Pixels of screenshot $1 that differ from the colour of their 3x3 block's sample (0: blocks uniform).
fuera_de_bloque() {
    convert "$1" -sample 320x240! -sample 300% "$E/bloques.png"
    timeout 20 compare -metric AE "$1" "$E/bloques.png" null: 2>&1 | cut -d' ' -f1
}
bloques() { n=$(fuera_de_bloque "$1"); [ "$n" = 0 ] || fallo "$2: $n pixels off their 3x3 block's colour"; }
# Conditions for hasta on a x3 window: the title picture in the samples after a key; play moving.
titulo3() { tecla x; muestras "$FOTO" m && FOTO=$E/m.png muestra korvex; }
anterior=""
se_mueve() {
    r=1
    [ -n "$anterior" ] && distinta "$anterior" 960x576+0+0 && r=0
    cp "$FOTO" "$E/anterior.png" && anterior=$E/anterior.png
    return $r
}
quieto() {
    r=1
    [ -n "$anterior" ] && igual "$anterior" && r=0
    cp "$FOTO" "$E/anterior.png" && anterior=$E/anterior.png
    return $r
}
# TERM, then the program must be gone within a second, with status 143.
termina_rapido() {
    kill -TERM "$PID"
    for i in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$PID" 2>/dev/null && fallo "$1: the game still runs a second after TERM"
    wait "$PID"
    RC=$? PID=""
    [ "$RC" = 143 ] || fallo "$1: exit status $RC after TERM"
}
# Screenshot of the whole desktop; the x3 picture centred in it into $ART/$1.png.
escritorio() {
    timeout 20 import -window root "$E/raiz.png" || fallo "no screenshot of the desktop"
    convert "$E/raiz.png" -crop 960x720+32+24 +repage "$ART/$1.png"
}

lanza ./korvex
ventana '^KORVEX 2003$'
[ "$(tamano)" = 640x480 ] || fallo "the default window on 1024x768 is $(tamano), not 640x480"
termina_rapido "x2"
nota "x2 por defecto en 1024x768; TERM termina en menos de un segundo"

lanza ./korvex -escala 3
ventana '^KORVEX 2003$'
[ "$(tamano)" = 960x720 ] || fallo "-escala 3 gives $(tamano), not 960x720"
hasta 40 titulo titulo3
bloques "$FOTO" titulo
manten Return 0.5
hasta 20 menu distinta "$FOTO"
tecla Return                      # "QUIERO JUGAR"
sleep 6                           # the level card (3 s) and the level's start (2 s, the road still)
hasta 30 juego se_mueve
bloques "$FOTO" juego
manten p 0.3
hasta 10 pausa quieto
bloques "$FOTO" pausa
muestras "$FOTO" pausa
nota "x3: titulo, juego y pausa en bloques de 3x3; el titulo es la imagen de datos"

tecla F11
sleep 2
escritorio completa
muestras "$ART/completa.png" completa
[ "$(difieren "$E/completa.png" "$E/pausa.png")" = 0 ] || fallo "full screen does not show the paused page"
bloques "$ART/completa.png" "full screen"
[ "$(convert "$E/raiz.png" -crop 32x768+0+0 +repage -format '%[fx:maxima]' info:)" = 0 ] ||
    fallo "the full screen's border is not black"
tecla F11
sleep 2
ventana '^KORVEX 2003$'
[ "$(tamano)" = 960x720 ] || fallo "after F11 twice the window is $(tamano)"
captura vuelta || fallo "no screenshot after F11 twice"
muestras "$FOTO" vuelta
[ "$(difieren "$E/vuelta.png" "$E/pausa.png")" = 0 ] || fallo "the window after F11 twice shows another picture"
manten p 0.3
anterior=""
hasta 10 sigue se_mueve
termina_rapido "x3"
nota "F11: pantalla completa x3 centrada en negro y vuelta, la misma imagen; el juego sigue"

# TERM and the end of the X server at once: the game must not outlive them by a second.
num=""
for n in 336 337 338 339; do [ -e "/tmp/.X$n-lock" ] || { num=$n; break; }; done
[ -n "$num" ] || fallo "no free display between :336 and :339"
marca="escala-xio-$$"
(cd "$K" && HOME="$E/home" timeout 6 xvfb-run -n "$num" -s "-screen 0 1024x768x24 -nolisten tcp" \
    ./korvex -info "$marca") >"$ART/xio.txt" 2>&1
for i in 1 2 3 4 5 6 7 8 9 10; do pgrep -f "korvex -info $marca" >/dev/null || break; sleep 0.1; done
pgrep -f "korvex -info $marca" >/dev/null && fallo "the game outlived its X server by a second"
nota "TERM con el servidor X muriendo: el juego termina"
echo "ok [escala]"
