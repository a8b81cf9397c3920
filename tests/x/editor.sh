#!/bin/sh
# The editor makes a level key by key: a new map, blocks painted, two enemies placed and one put
# and erased, speed x1.5, saved; the file is checked byte for byte, the editor quits with status 0,
# and the game's diagnostic screen counts one level more than before.
# Usage: editor.sh KORV_DIR ARTEFACTOS
. "$(dirname "$0")/escena.sh"
escena_empieza editor "$1" "$2"
# Six of the shipped levels stay, so that the catalogue (15 at most) has room for the new one.
rm -f "$K"/levels/nivel_0[7-9].map "$K"/levels/nivel_1[0-5].map

# The game's diagnostic screen ("-info"), kept as $1.
info() {
    lanza ./korvex -info
    ventana '^KORVEX 2003$'
    hasta 20 "$1" pintada
    cp "$FOTO" "$E/$1.png"
    kill -9 "$PID"; wait "$PID" 2>/dev/null; PID=""
}
info info_antes

# The file the keys below must make: the template, code 2, block 3 at (0,0) and (1,1), block 4 at
# (11,1); enemies type 2 at column 11 row 1 and type 3 at column 11 row 2 (by row, then column).
pon() { byte "$2" | dd of="$E/esperado" bs=1 seek="$1" conv=notrunc status=none; }
cp "$K/datos/newlevel.dat" "$E/esperado"
pon 0 2; pon 1 3; pon 202 3; pon 212 4
printf '\013\000\030\002\013\000\060\003' | dd of="$E/esperado" bs=1 seek=1601 conv=notrunc status=none

lanza ./korveditor
ventana '^KORV-EDITOR 2003$'
hasta 20 menu pintada
pulsa Left   # the campaign, not the level maker's own set
pulsa Return
for k in s s s; do pulsa $k; done
pulsa_ciega d
pulsa Right; pulsa Down
pulsa_ciega d
pulsa s
for i in 1 2 3 4 5 6 7 8 9 10; do pulsa Right; done
pulsa_ciega d
pulsa space; pulsa s
pulsa_ciega d
pulsa Down; pulsa s
pulsa_ciega d
pulsa Left
pulsa_ciega d
pulsa_ciega f
nota "bloques y enemigos puestos"
pulsa Escape
pulsa Down; pulsa Down; pulsa Return; pulsa Right; pulsa Return
nota "OPCIONES MAPA: x1.5"
pulsa Down; pulsa Down; pulsa Down
[ ! -e "$K/levels/nivel_07.map" ] || fallo "levels/nivel_07.map existe antes de GUARDAR"
tecla Return
fin=$(($(ahora) + 20))
until [ -f "$K/levels/nivel_07.map" ]; do
    vivo "el guardado"
    [ "$(ahora)" -lt "$fin" ] || fallo "GUARDAR no escribe levels/nivel_07.map"
    sleep 0.2
done
sleep 0.5
cp "$K/levels/nivel_07.map" "$ART/"
cmp "$K/levels/nivel_07.map" "$E/esperado" || fallo "levels/nivel_07.map no tiene los bytes esperados"
nota "levels/nivel_07.map: 2801 bytes, velocidad 2, tres bloques, dos enemigos por fila y columna"
pulsa Up   # SALIR, the last entry
tecla Return
termina 20
[ "$RC" = 0 ] || fallo "SALIR: estado de salida $RC"

info info_despues
FOTO=$E/info_despues.png
distinta "$E/info_antes.png" 320x12+0+48 || fallo "la pantalla -info no cuenta el nivel nuevo"
[ "$(difieren "$FOTO" "$E/info_antes.png" 320x46+0+0)" = 0 ] || fallo "la pantalla -info cambia fuera de la linea de niveles"
nota "SALIR: estado 0; el juego cuenta un nivel mas"
