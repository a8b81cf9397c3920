#!/bin/sh
# The title's demo and the best run of a table: SPACE on the title, the three tables skipped by
# keys, then the demo of the first level ("DEMO" on the strip, the road moving); a key brings the
# title back at once (not the studio's card), and so does ENTER on a table. With a best run kept for "QUIERO JUGAR", its table offers
# "R: VER LA MEJOR", R plays it ("REPETICION"), P pauses it, ESC ends it and the tables go on.
# Usage: demo.sh KORV_DIR ARTEFACTOS
. "$(dirname "$0")/escena.sh"
escena_empieza demo "$1" "$2"

# The offer under a table's title: a box of the text colour 239 (bright red) there.
rojo() { [ "$(convert "$FOTO" -resize 320x240! -crop "$1" +repage -fx 'r>0.6 && g<0.3 && b<0.3' -format '%[fx:maxima]' info:)" != 0 ]; }
# The tag on the strip is in the game's small font: its outline's dark brown shows there.
rotulo() {
    [ "$(convert "$FOTO" -resize 320x240! -crop 60x10+130+228 +repage \
        -fx 'abs(r-0.22)<0.03 && abs(g-0.07)<0.03 && b<0.03' -format '%[fx:maxima]' info:)" != 0 ]
}
en_juego() { se_mueve && rotulo; }

cp "$K/datos/demo.rep" "$K/datos/mejor_1.rep"
al_titulo
manten space 0.5
hasta 20 tabla1 no_titulo
nota "SPACE: las tablas"
sleep 1; pulsa_ciega x
captura tabla2
rojo 140x8+90+20 || fallo "la tabla de QUIERO JUGAR no ofrece R: VER LA MEJOR"
nota "la tabla de QUIERO JUGAR ofrece la mejor partida"
tecla r
en_marcha 30 mejor en_juego
nota "R: la mejor partida se ve, con REPETICION"
pausa_y_sigue en_juego
nota "P congela la repeticion, P otra vez sigue"
manten Escape 0.3
hasta 20 tabla3 no_titulo
sleep 1; tecla x
en_marcha 30 demo en_juego
nota "despues de las tablas, la demostracion con DEMO"
tecla Down
hasta 3 vuelve muestra korvex
nota "una tecla en la demo: el titulo al instante, sin la tarjeta del estudio"
! grep -q "demostracion" "$ART/salida.txt" || fallo "una linea de demostracion saltada con la demo que cabe"
manten space 0.5
hasta 20 tabla4 no_titulo
sleep 1; tecla Return
hasta 3 titulo_enter muestra korvex
nota "ENTER en una tabla: el titulo al instante"
