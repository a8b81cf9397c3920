#!/bin/sh
# The game played through: title, menu ("SOY JODIDO"), a short level made here (run over a
# pedestrian, take a bag, change lane for a second bag and dodge a pedestrian), the win
# picture, the final score, the initials ZYB entered key by key, the table, ESC on the title;
# the ranking file rewritten byte for byte, status 0, and sound heard. Then the run recorded
# (datos/ultima.rep, and the best of SOY JODIDO) played back with -repeticion: it ends with the
# run's 12300 points, status 0, nothing written; after a level changed it plays nothing, status 2.
# Usage: juego.sh KORV_DIR ARTEFACTOS
. "$(dirname "$0")/escena.sh"
escena_empieza juego "$1" "$2"

# The level: code 3 (x2), the first level's road; on lane 2 (row offset 72, where the truck starts)
# a pedestrian at column 30 and a bag at 60; on lane 3 a bag at column 500 and on lane 2 a
# pedestrian at 520 that the lane change dodges. Enemies by row then column.
rm -f "$K"/levels/*.map
nivel "$K/levels/corto.map" 3  30 72 1  60 72 7  520 72 2  500 96 7
# The shipped ranking: the total (200 + 50 + 50 + 4 lives x 3000 = 12300) takes the last place of table 3
# (offset 232: score, initials; its reserved byte kept); every other byte stays.
{ head -c 232 "$K/datos/ranking.dat"; le32 12300; printf ZYB; tail -c +240 "$K/datos/ranking.dat"; } >"$E/esperado.dat"

al_titulo
nota "la tarjeta del estudio, una tecla, el titulo"
manten Return 0.5
hasta 20 menu no_titulo
for k in Down Return; do pulsa $k; done
nota "menu: SOY JODIDO"
en_marcha 40 juego
nota "la calle se mueve"
sleep 6
manten Down 0.3
hasta 120 gane muestra gane
nota "la imagen de la victoria"
anterior=""
hasta 60 iniciales iniciales
for k in Down Right Down Down Right Up Return; do pulsa $k; done
nota "iniciales ZYB"
igual_al_esperado() { cp "$K/datos/ranking.dat" "$ART/" && cmp -s "$ART/ranking.dat" "$E/esperado.dat"; }
espera 30 "datos/ranking.dat no es el esperado (ver $ART/ranking.dat)" igual_al_esperado
nota "datos/ranking.dat: 12300 ZYB en el ultimo puesto de SOY JODIDO, los demas bytes intactos"
tecla x
de_nuevo_al_titulo _otra_vez
manten Escape 0.5
termina 20
[ "$RC" = 0 ] || fallo "ESC en el titulo: estado de salida $RC"
suena || fallo "el sonido capturado es silencio"
nota "ESC en el titulo: estado 0; el sonido capturado no es silencio"

[ -f "$K/datos/ultima.rep" ] || fallo "la partida no quedo grabada en datos/ultima.rep"
cmp -s "$K/datos/ultima.rep" "$K/datos/mejor_2.rep" || fallo "datos/mejor_2.rep no es la partida ganada"
cp "$K/datos/ultima.rep" "$E/ultima.rep"
lanza ./korvex -repeticion datos/ultima.rep
ventana '^KORVEX 2003$'
espera 90 "la repeticion no termina con 12300 puntos" grep -q "fin de la repeticion: 12300 puntos" "$ART/salida.txt"
sleep 0.5
captura fin_repeticion
termina 20
[ "$RC" = 0 ] || fallo "-repeticion: estado de salida $RC"
cmp -s "$K/datos/ranking.dat" "$E/esperado.dat" && cmp -s "$K/datos/ultima.rep" "$E/ultima.rep" ||
    fallo "-repeticion escribio el ranking o una grabacion"
nota "-repeticion de la partida: termina con sus 12300 puntos, estado 0, nada escrito"
printf x | dd of="$K/levels/corto.map" bs=1 seek=2000 conv=notrunc 2>/dev/null
(cd "$K" && env HOME="$E/home" ./korvex -repeticion datos/ultima.rep >"$ART/salida2.txt" 2>&1)
rc=$?
[ $rc = 2 ] && grep -q "^datos/ultima.rep: el nivel 1, corto.map, no es el de la grabacion" "$ART/salida2.txt" ||
    fallo "-repeticion con el nivel cambiado: estado $rc, $(cat "$ART/salida2.txt")"
nota "con el nivel cambiado: una linea, estado 2"
