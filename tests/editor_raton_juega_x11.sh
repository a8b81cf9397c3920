#!/bin/sh
# The editor under X as a level maker uses it: mouse clicks, drags, the wheel, the right button
# and the view's edge paint and erase the expected cells (the saved bytes say which), Ctrl+Z
# and Ctrl+Shift+Z undo and redo; then J plays the map in the game from the cursor's column
# (that column's enemy on screen at once, drawn as the editor draws it), and ESC there brings
# the editor back with the same map and cursor and the user's file untouched.
# Usage: editor_raton_juega_x11.sh KORV_DIR   (DISPLAY must be set)
set -u
src=$1
work=$(mktemp -d /tmp/korvraton.XXXXXX)
ed=""
trap '[ -n "$ed" ] && kill $ed 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FALLO: $*"; exit 1; }
cp -r "$src" "$work/k"
cd "$work/k"
mkdir "$work/tmp"
orig="$work/nivel_01.orig"
cp levels/nivel_01.map "$orig"

shot() { timeout 20 import -window "$1" "$work/$2.png" || fail "no screenshot $2"; }
# Pixels that differ between two screenshots in a region WxH+X+Y.
difiere() {
    compare -metric AE "$work/$1.png[$3]" "$work/$2.png[$3]" null: 2>&1 | cut -d' ' -f1
}
m() { xdotool mousemove --window "$w" "$1" "$2"; sleep 0.05; }
tecla() { xdotool key "$@"; sleep 0.15; }

TMPDIR="$work/tmp" HOME="$work" ./korveditor 2>"$work/editor.err" &
ed=$!
w=$(timeout 10 xdotool search --sync --name '^KORV-EDITOR 2003$' | head -1)
[ -n "$w" ] || fail "no editor window"
xdotool windowfocus --sync "$w"
tecla Down; tecla Return; tecla Return   # CARGAR MAPA, the first level
sleep 0.3

# Background mode: the wheel selects block 3; a click paints (1,1); a drag paints row 2 from
# column 2 to 5, once per cell.
for i in 1 2 3; do xdotool click --window "$w" 5; sleep 0.05; done
m 50 30; xdotool click 1; sleep 0.1
m 70 60; xdotool mousedown 1; for x in 100 130 150 170; do m $x 60; done; xdotool mouseup 1; sleep 0.1
# Ctrl+Z takes back a paint of (9,0); Ctrl+Shift+Z after an undo puts back a paint of (8,0).
m 300 10; xdotool click 1; sleep 0.1; tecla ctrl+z
m 270 10; xdotool click 1; sleep 0.1; tecla ctrl+z; tecla ctrl+shift+z
# Enemy mode: a click places type 1 where the pointer stands on the enemy's feet, the right
# button erases it again; another stays at column 7, lane 4.
tecla space
m 200 100; xdotool click 1; sleep 0.1; xdotool click 3; sleep 0.1
m 235 175; xdotool click 1; sleep 0.1
# The right edge scrolls the view; a click there paints the column under the pointer.
tecla space
m 318 100; sleep 1.2; m 100 100; sleep 0.2
xdotool click 1; sleep 0.2
shot "$w" despues_borde
tecla Escape; tecla Down; tecla Down; tecla Down; tecla Return   # GUARDAR
sleep 0.3
cp levels/nivel_01.map "$work/guardado"

python3 - "$orig" "$work/guardado" <<'EOF' || fail "saved bytes"
import sys
a = bytearray(open(sys.argv[1], 'rb').read()); b = open(sys.argv[2], 'rb').read()
def celda(c, r): return 1 + 200 * r + c
cambios = {i for i in range(1, 1601) if a[i] != b[i]}
esperado = {celda(1, 1)} | {celda(c, 2) for c in range(2, 6)} | {celda(8, 0)}
assert esperado <= cambios, ("missing", sorted(esperado - cambios))
assert all(b[i] == 3 for i in cambios), "a painted cell is not block 3"
borde = cambios - esperado
assert len(borde) == 1, ("edge click", sorted(borde))
col = (min(borde) - 1) % 200
assert (min(borde) - 1) // 200 == 4 and col > 3, ("edge click", col)
# enemies: the original grid plus type 1 at (7, lane 4), written row by row
grid = {}
for i in range(300):
    r = a[1601 + 4 * i:1605 + 4 * i]
    if r[3]: grid[(r[2] // 24, r[0] | r[1] << 8)] = r[3]
grid[(4, 7)] = 1
t = bytearray(1200)
for i, ((f, c), tipo) in enumerate(sorted(grid.items())):
    t[4 * i:4 * i + 4] = bytes([c & 255, c >> 8, 24 * f, tipo])
assert b[1601:] == bytes(t), "enemy table"
assert b[0] == a[0] and len(b) == 2801
print("bytes ok: edge column", col)
EOF

# J from column 97 with the cursor on lane 4: the game starts with column 97 six blocks ahead
# of the truck, where the editor showed it (column 6 of its view).
tecla Escape   # back to the map
tecla space
xdotool key --delay 5 --repeat 97 Right; sleep 0.3
m 200 100; xdotool click 1; sleep 0.1
tecla Down; tecla Down; tecla Down
m 100 220; sleep 0.2
shot "$w" editor_antes
tecla j
g=$(timeout 10 xdotool search --sync --name '^KORVEX 2003$' | head -1)
[ -n "$g" ] || fail "no game window after J"
xdotool windowfocus --sync "$g"
tecla Return   # the difficulty
sleep 0.6
shot "$g" juego
k=$(convert "$work/editor_antes.png" -crop 27x72+197+44 -format %k info:)
[ "$k" -gt 4 ] || fail "the compared region shows no enemy ($k colours)"
d=$(difiere editor_antes juego 27x72+197+44)
[ "$d" = 0 ] || fail "column 97 is not six blocks ahead of the truck ($d pixels differ)"
ls "$work/tmp"/korvprueba-* >/dev/null 2>&1 || fail "no temporary level while the game runs"
sleep 2
xdotool keydown Escape; sleep 0.3; xdotool keyup Escape
w=$(timeout 15 xdotool search --sync --name '^KORV-EDITOR 2003$' | head -1)
[ -n "$w" ] || fail "the editor's window did not come back"
sleep 0.5
xdotool windowfocus --sync "$w"
m 100 220; sleep 0.2
shot "$w" editor_despues
d=$(difiere editor_antes editor_despues 320x240+0+0)
[ "$d" = 0 ] || fail "map or cursor changed by the game run ($d pixels differ)"
cmp -s levels/nivel_01.map "$work/guardado" || fail "the user's level was written by J"
ls "$work/tmp"/korvprueba-* >/dev/null 2>&1 && fail "temporary level left behind"
# Leaving: the warning comes (the new enemy is unsaved); NO keeps the file as saved.
tecla Escape; tecla Up; tecla Return; tecla Down; tecla Return
timeout 10 sh -c "while kill -0 $ed 2>/dev/null; do sleep 0.1; done"
wait $ed; rc=$?
ed=""
[ "$rc" = 0 ] || fail "editor exit status $rc"
cmp -s levels/nivel_01.map "$work/guardado" || fail "the level changed on leaving without saving"
echo "ok: mouse paints and erases, undo/redo, edge scroll, J from column 97 and back"
