#!/bin/sh
# The title's demo and the best run of a table: SPACE on the title, the three tables skipped by
# keys, then the demo of the first level ("DEMO" on the strip, the road moving); a key brings the
# title back at once (not the studio's card), and so does ENTER on a table. With a best run kept for "QUIERO JUGAR", its table offers
# "R: VER LA MEJOR", R plays it ("REPETICION"), P pauses it, ESC ends it and the tables go on. Without a demo
# that fits the levels the loop goes on from the tables to the title, with one line.
# Usage: demo.sh KORV_DIR ARTEFACTOS
. "$(dirname "$0")/escena.sh"
escena_empieza demo "$1" "$2"

salta_al_titulo() { tecla x; muestra korvex; }
no_titulo() { pintada && ! muestra korvex && ! muestra lurgo; }
anterior=""
se_mueve() {
    r=1
    [ -n "$anterior" ] && distinta "$anterior" 320x192+0+0 && r=0
    cp "$FOTO" "$E/anterior.png" && anterior=$E/anterior.png
    return $r
}
# The tag of a recording on the score strip's lower edge, or the offer under a table's title: a
# box of the text colour 239 (bright red) there.
rojo() { [ "$(convert "$FOTO" -resize 320x240! -crop "$1" +repage -fx 'r>0.6 && g<0.3 && b<0.3' -format '%[fx:maxima]' info:)" != 0 ]; }
# The tag on the strip is in the game's small font: its outline's dark brown shows there.
rotulo() {
    [ "$(convert "$FOTO" -resize 320x240! -crop 60x10+130+228 +repage \
        -fx 'abs(r-0.22)<0.03 && abs(g-0.07)<0.03 && b<0.03' -format '%[fx:maxima]' info:)" != 0 ]
}
oferta() { rojo 140x8+90+20; }
en_juego() { se_mueve && rotulo; }

cp "$K/datos/demo.rep" "$K/datos/mejor_1.rep"
lanza ./korvex
ventana '^KORVEX 2003$'
hasta 40 estudio muestra lurgo
hasta 40 titulo salta_al_titulo
manten space 0.5
hasta 20 tabla1 no_titulo
nota "SPACE: las tablas"
sleep 1
pulsa_ciega x
captura tabla2
oferta || fallo "la tabla de QUIERO JUGAR no ofrece R: VER LA MEJOR"
nota "la tabla de QUIERO JUGAR ofrece la mejor partida"
tecla r
anterior=""
hasta 30 mejor en_juego
hasta 5 mejor2 en_juego
nota "R: la mejor partida se ve, con REPETICION"
manten p 0.3
sleep 1
captura pausa
a=$FOTO
sleep 1
captura pausa2
igual "$a" || fallo "P no congela la repeticion"
manten p 0.3
anterior=""
hasta 10 sigue en_juego
hasta 5 sigue2 en_juego
nota "P congela la repeticion, P otra vez sigue"
manten Escape 0.3
hasta 20 tabla3 no_titulo
sleep 1
anterior=""
tecla x
hasta 30 demo en_juego
hasta 5 demo2 en_juego
nota "despues de las tablas, la demostracion con DEMO"
tecla Down
hasta 3 vuelve muestra korvex
nota "una tecla en la demo: el titulo al instante, sin la tarjeta del estudio"
grep -q "demostracion" "$ART/salida.txt" && fallo "una linea de demostracion saltada con la demo que cabe"
manten space 0.5
hasta 20 tabla4 no_titulo
sleep 1
tecla Return
hasta 3 titulo_enter muestra korvex
nota "ENTER en una tabla: el titulo al instante"
manten Escape 0.5
termina 20
[ "$RC" = 0 ] || fallo "ESC en el titulo: estado de salida $RC"

# A demo that does not fit the levels: the tables go straight back to the title, one line.
printf x | dd of="$K/levels/nivel_01.map" bs=1 seek=2000 conv=notrunc 2>/dev/null
lanza ./korvex
ventana '^KORVEX 2003$'
hasta 40 estudio3 muestra lurgo
hasta 40 titulo3 salta_al_titulo
manten space 0.5
hasta 20 tablas3 no_titulo
for i in 1 2 3; do sleep 0.5; pulsa_ciega x; done
hasta 20 sin_demo muestra lurgo
[ "$(grep -c "demo.rep: el nivel 1, nivel_01.map, no es el de la grabacion" "$ART/salida.txt")" = 1 ] ||
    fallo "falta la linea de la demostracion que no cabe"
nota "una demostracion que no cabe: el titulo vuelve, una linea"
hasta 40 titulo4 salta_al_titulo
manten Escape 0.5
termina 20
