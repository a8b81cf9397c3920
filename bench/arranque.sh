#!/bin/sh
# Start-up time of the game, measured from outside under its own Xvfb: RUNS launches of korvex
# (without "-info"), each timed by primera_imagen from the launch to its window and to the first
# pixel of its first picture that is not black; prints every run and the medians.
#
#   bench/arranque.sh [BUILD_DIR [DISPLAY_NUMBER [RUNS]]]     (defaults: build 211 15)
set -e
BUILD=$(cd "${1:-build}" && pwd)
NUM=${2:-211}
RUNS=${3:-15}
RELOJ=$BUILD/bench/primera_imagen
[ -x "$RELOJ" ] || { echo "arranque: falta $RELOJ (compile primero)" >&2; exit 1; }

# A display left by a run that just ended may still be closing.
for _ in $(seq 50); do [ -e /tmp/.X"$NUM"-lock ] || break; sleep 0.1; done
Xvfb :"$NUM" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XPID=$!
trap 'kill $XPID 2>/dev/null && wait $XPID 2>/dev/null || true' EXIT INT TERM
export DISPLAY=:"$NUM"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
kill -0 "$XPID" 2>/dev/null || { echo "$(basename "$0"): no se pudo abrir el Xvfb :$NUM (ocupado?)" >&2; exit 1; }

OUT=$(mktemp)
for i in $(seq "$RUNS"); do
    "$RELOJ" "KORVEX 2003" "$BUILD/korvex" ./korvex | tee -a "$OUT"
    sleep 0.3
done
# Median of column 2 (window) and 5 (first picture), milliseconds.
for col in 2 5; do
    sort -n -k"$col" "$OUT" | awk -v c="$col" '{ v[NR] = $c } END {
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "mediana %s: %.1f ms (%d arranques)\n", c == 2 ? "ventana" : "primera imagen", m, NR }'
done
rm -f "$OUT"
