#!/bin/sh
# The editor under X: mouse clicks, drags, the wheel, the right button and the view's edge paint and erase
# the expected cells (by the saved bytes), Ctrl+Z / Ctrl+Shift+Z undo and redo; J plays the map from the
# cursor's column (its enemy on screen at once), ESC brings back the same map, the user's file untouched;
# a second J plays at the difficulty chosen at the first, without the menu.
# Usage: editor_raton_juega_x11.sh KORV_DIR ARTEFACTOS
ESCENA_DESDE=${ESCENA_DESDE:-360} ESCENA_HASTA=${ESCENA_HASTA:-379}
. "$(dirname "$0")/x/escena.sh"
escena_empieza editor_raton_juega "$1" "$2"
orig="$E/nivel_01.orig" TMPDIR="$E/tmp"   # TMPDIR: where J writes its temporary level
cp "$K/levels/nivel_01.map" "$orig" && mkdir "$TMPDIR" && export TMPDIR

m() { xdotool mousemove --window "$W" "$1" "$2"; sleep 0.05; }
clic() { xdotool click "$1"; sleep 0.1; }
teclas() { for t in "$@"; do tecla "$t"; sleep 0.15; done; }

lanza ./korveditor && ventana '^KORV-EDITOR 2003$'
hasta 20 menu pintada
teclas Left Down Return Return; sleep 0.3   # the campaign, CARGAR MAPA, its first level

# Background mode: the wheel selects block 3; a click paints (1,1); a drag row 2, columns 2 to 5.
for i in 1 2 3; do xdotool click --window "$W" 5; sleep 0.05; done
m 50 30; clic 1
m 70 60; xdotool mousedown 1; for x in 100 130 150 170; do m $x 60; done; xdotool mouseup 1; sleep 0.1
# Ctrl+Z takes back a paint of (9,0); Ctrl+Shift+Z after an undo puts back a paint of (8,0).
m 300 10; clic 1; teclas ctrl+z
m 270 10; clic 1; teclas ctrl+z ctrl+shift+z
# Enemy mode: a click places type 1 under the pointer (the enemy's feet), the right button erases
# it; another stays at column 7, lane 4. Then the right edge scrolls the view and a click paints there.
teclas space
m 200 100; clic 1; clic 3
m 235 175; clic 1
teclas space
m 318 100; sleep 1.2; m 100 100; sleep 0.2; clic 1
teclas Escape Down Down Down Return   # GUARDAR
sleep 0.5; cp "$K/levels/nivel_01.map" "$ART/guardado.map"

python3 - "$orig" "$ART/guardado.map" <<'EOF' || fallo "los bytes guardados no son los esperados"
import sys
a, b = (open(f, 'rb').read() for f in sys.argv[1:3])
cambios = {i for i in range(1, 1601) if a[i] != b[i]}   # cell (c, r) at 1 + 200 r + c
esperado = {1 + 200 * r + c for c, r in [(1, 1), (2, 2), (3, 2), (4, 2), (5, 2), (8, 0)]}
assert esperado <= cambios, ("missing", sorted(esperado - cambios))
assert all(b[i] == 3 for i in cambios), "a painted cell is not block 3"
borde = cambios - esperado
assert len(borde) == 1, ("edge click", sorted(borde))
col = (min(borde) - 1) % 200
assert (min(borde) - 1) // 200 == 4 and col > 3, ("edge click", col)
# enemies: the original grid plus type 1 at (7, lane 4), written row by row
grid = {(r[2] // 24, r[0] | r[1] << 8): r[3] for r in (a[1601 + 4 * i:1605 + 4 * i] for i in range(300)) if r[3]}
grid[(4, 7)] = 1
t = b''.join(bytes([c & 255, c >> 8, 24 * f, tipo]) for (f, c), tipo in sorted(grid.items()))
assert b[1601:] == t.ljust(1200, b'\0'), "enemy table"
assert b[0] == a[0] and len(b) == 2801
print("bytes ok: edge column", col)
EOF

# J with the view scrolled by the arrows and the cursor in the view's column 6, lane 4: the game
# starts with that column six blocks ahead of the truck, where the editor showed it, enemy included.
teclas Escape space
xdotool key --delay 5 --repeat 97 Right; sleep 0.3
m 200 100; clic 1
teclas Down Down Down
m 100 220; sleep 0.2
captura editor_antes; antes=$FOTO
[ "$(convert "$antes" -crop 27x72+197+44 -format %k info:)" -gt 4 ] || fallo "no se ve el enemigo puesto con el raton"
tecla j
ventana '^KORVEX 2003$'
teclas Return; sleep 0.5; captura juego   # the difficulty
[ "$(difieren "$antes" "$FOTO" 27x72+197+44)" = 0 ] || fallo "el juego no empieza con la columna del cursor seis bloques delante del camion"
ls "$TMPDIR"/korvprueba-* >/dev/null 2>&1 || fallo "no hay nivel temporal mientras corre el juego"
sleep 2; manten Escape 0.3
ventana '^KORV-EDITOR 2003$'
m 100 220
hasta 10 editor_despues igual "$antes"
# J again: the difficulty chosen at the first try, without the menu.
tecla j
ventana '^KORVEX 2003$'
sleep 0.5; captura juego2
[ "$(difieren "$antes" "$FOTO" 27x72+197+44)" = 0 ] || fallo "la segunda J pregunta otra vez la dificultad"
sleep 1; manten Escape 0.3
ventana '^KORV-EDITOR 2003$'
m 100 220
hasta 10 editor_despues2 igual "$antes"
cmp -s "$K/levels/nivel_01.map" "$ART/guardado.map" || fallo "J escribio el nivel del usuario"
ls "$TMPDIR"/korvprueba-* >/dev/null 2>&1 && fallo "queda el nivel temporal"
nota "raton, deshacer/rehacer, borde, J y vuelta: bien"
