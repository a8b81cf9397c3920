#!/bin/sh
# The three pictures at the top of the README, made from the built programs under Xvfb with keys
# injected: docs/titulo.png (the title), docs/juego.png (play at a set piece, paused with P before the
# road moves) and docs/editor.png (the editor with that level open). Each is the 320x240 picture
# doubled pixel for pixel, a palette PNG without time chunks: the same build gives the same bytes.
# Every picture is taken only once it stands still (two captures alike), so no timing shows in it.
# Usage: tools/capturas.sh [BUILD_DIR]   (default build/, built with cmake --build first)
# The Xvfb display comes from ESCENA_DESDE..ESCENA_HASTA (tests/x/escena.sh); scratch in BUILD_DIR/capturas/.
#
# The set piece. Change these here (or give them in the environment) when the levels change:
NIVEL=${CAPTURA_NIVEL:-nivel_04.map}          # a level in BUILD_DIR/korvex/levels/, or the path of a level file
COLUMNA=${CAPTURA_COLUMNA:-206}               # korvex -desde: the column six blocks ahead of the truck
DIFICULTAD=${CAPTURA_DIFICULTAD:-1}           # korvex -dificultad: 0, 1 or 2
EDITOR_COLUMNA=${CAPTURA_EDITOR_COLUMNA:-$((COLUMNA + 2))}   # the editor's cursor column (enemy mode, 0..799),
                                              # at the view's right edge: the ten columns up to it show

set -u
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd) || exit 1
[ -x "$build/korvex/korvex" ] && [ -x "$build/korvex/korveditor" ] || { echo "capturas: falta $build/korvex (compilar antes)"; exit 1; }
. "$top/tests/x/escena.sh"
escena_empieza capturas "$build/korvex" "$build/capturas"
case $NIVEL in
*/*) cp "$NIVEL" "$K/levels/" || fallo "no se pudo copiar $NIVEL"; NIVEL=$(basename "$NIVEL") ;;
esac
[ -f "$K/levels/$NIVEL" ] || fallo "no hay nivel $NIVEL"
mkdir -p "$top/docs"

# Waits until the window stands still: two captures a moment apart alike, and the condition "$2 ..."
# holding for the picture; $1 names it.
quieta() {
    nombre=$1
    shift
    fin=$(($(ahora) + 30))
    previa=""
    while :; do
        vivo "$nombre"
        captura "$nombre" || fallo "no se pudo capturar la ventana"
        if [ -n "$previa" ] && igual "$previa" && "$@"; then
            rm -f "$previa"
            return 0
        fi
        [ -n "$previa" ] && rm -f "$previa"
        previa=$FOTO
        [ "$(ahora)" -lt "$fin" ] || fallo "$nombre: la ventana no se queda quieta en 30 s"
        sleep 0.3
    done
}
siempre() { true; }

# The picture $FOTO, doubled pixel for pixel, into docs/$1.png with nothing that depends on the moment.
guarda() {
    convert "$FOTO" -sample 200% -strip +set date:create +set date:modify \
        -define png:exclude-chunks=date,time -define png:compression-level=9 "PNG8:$top/docs/$1.png" ||
        fallo "convert $1"
    nota "docs/$1.png: $(identify -format '%wx%h, %k colores' "$top/docs/$1.png"), $(stat -c %s "$top/docs/$1.png") bytes"
}
cierra() { kill -9 "$PID"; wait "$PID" 2>/dev/null; PID=""; }

# The title: its picture standing with "APRETA ENTER" shown (it blinks; the text is what differs).
lanza ./korvex -escala 1
ventana '^KORVEX 2003$'
con_texto() { muestra korvex && distinta "$K/datos/korvex.bmp"; }
quieta titulo con_texto
guarda titulo
cierra

# Play: P held from the level's first picture (the start sound plays two seconds before the road
# moves), so the pause comes on the first step; the picture with "PAUSA" on it.
lanza ./korvex -escala 1 -nivel "levels/$NIVEL" -desde "$COLUMNA" -dificultad "$DIFICULTAD"
ventana '^KORVEX 2003$'
hasta 20 primera pintada
primera=$FOTO
xdotool keydown p
hasta 10 pausa distinta "$primera"
quieta pausa siempre
xdotool keyup p
guarda juego
cierra

# The editor: CARGAR MAPA, the level by its place in the list (name order), enemy mode, the cursor moved
# to its column (RIGHT presses 30 ms apart, taken one by one from the keyboard buffer). RIGHT takes the
# cursor to the view's right edge (9 presses), then scrolls the view; past a pass's last column it goes
# to the next pass's tenth: 191 presses a pass, and a pass's first nine columns are not reached.
pasada=$((EDITOR_COLUMNA / 200)) dentro=$((EDITOR_COLUMNA % 200))
[ "$pasada" -gt 0 ] && [ "$dentro" -lt 9 ] && dentro=9
derecha=$((191 * pasada + dentro))
lugar=$(cd "$K/levels" && ls -A | grep -v '^\.' | grep '\.map$' | LC_ALL=C sort | grep -n -x -F "$NIVEL" | cut -d: -f1)
[ -n "$lugar" ] && [ "$lugar" -le 15 ] || fallo "$NIVEL no esta entre los 15 primeros niveles"
lanza ./korveditor -escala 1
ventana '^KORV-EDITOR 2003$'
hasta 20 menu pintada
pulsa Down
pulsa Return
i=1
while [ "$i" -lt "$lugar" ]; do pulsa Down; i=$((i + 1)); done
pulsa Return
pulsa space
[ "$derecha" -gt 0 ] && xdotool key --delay 30 --repeat "$derecha" Right
quieta editor siempre
guarda editor
cierra
nota "hecho: $NIVEL desde $COLUMNA, dificultad $DIFICULTAD"
