#!/bin/sh
# The real game under X: the window's title, the diagnostic screen, and a missing data
# file that stops the program with a message naming it (exit status 1).
# Usage: arranque_x11.sh KORV_DIR   (DISPLAY must be set)
set -u
src=$1
work=$(mktemp -d /tmp/korvarranque.XXXXXX)
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FALLO: $*"; exit 1; }
cp -r "$src" "$work/k"
cd "$work/k"

# A window titled "KORVEX 2003" appears, with the diagnostic lines drawn in it.
HOME=$work ./korvex -info -escala 1 >"$work/out" 2>&1 &
pid=$!
w=$(timeout 10 xdotool search --sync --name '^KORVEX 2003$' | head -1)
[ -n "$w" ] || fail "no window titled KORVEX 2003"
sleep 1
timeout 20 import -window "$w" "$work/info.png" || fail "no screenshot"
# The first diagnostic line is white text at the top left of a black screen.
white=$(convert "$work/info.png" -crop 150x10+10+10 +repage -format '%[fx:mean]' info:)
awk -v m="$white" 'BEGIN { exit !(m > 0.05 && m < 0.9) }' || fail "no diagnostic text (mean $white)"
kill "$pid"; wait "$pid" 2>/dev/null

# Every file of datos/ is essential: without it the game names it and ends with status 1.
for f in datos/*; do
    # the ranking has defaults; the new-level template is the editor's
    case "$f" in datos/ranking.dat|datos/newlevel.dat) continue ;; esac
    mv "$f" "$work/apartado"
    # no xmessage on PATH: the library's message box would wait for a click
    timeout 20 env PATH=/nonexistent HOME="$work" ./korvex >"$work/out" 2>&1
    rc=$?
    mv "$work/apartado" "$f"
    [ "$rc" = 1 ] || fail "without $f the exit status is $rc"
    grep -q "$f" "$work/out" || fail "without $f no message names it"
done
echo "ok: window, diagnostic screen, $(ls datos | wc -l) data files checked"
