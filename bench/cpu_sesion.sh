#!/bin/sh
# CPU share of the real game over a scripted session under its own Xvfb: title 10 s, difficulty
# menu 5 s, level card (a wait) 2 s, play 20 s, pause 5 s. The share of one core of each phase is
# the process's user + system time (all threads, /proc/<pid>/stat) over the wall time of the phase;
# beside it the wake-ups per second: context switches (voluntary and not) of every thread, from
# /proc/<pid>/task/*/status, and those of the main thread alone.
#
#   bench/cpu_sesion.sh [KORVEX_DIR [DISPLAY_NUMBER [PROGRAM]]]
#     KORVEX_DIR      the runnable folder (default build/korvex)
#     DISPLAY_NUMBER  the Xvfb to start (default 210)
#     PROGRAM         the game binary (default KORVEX_DIR/korvex), e.g. an older build to compare
#   CPU_FOTOS=folder  also saves a screenshot at the end of each phase (to check the script's keys)
#   ESCALA=N          runs the game with "-escala N" (default: the game's own choice, x2 on 1024x768)
set -e
DIR=$(cd "${1:-build/korvex}" && pwd)
NUM=${2:-210}
PROG=${3:-$DIR/korvex}
TCK=$(getconf CLK_TCK)

# A display left by a run that just ended may still be closing.
for _ in $(seq 50); do [ -e /tmp/.X"$NUM"-lock ] || break; sleep 0.1; done
Xvfb :"$NUM" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XPID=$!
export DISPLAY=:"$NUM"
GPID=""
fin() {
    [ -n "$GPID" ] && kill "$GPID" 2>/dev/null || true
    kill "$XPID" 2>/dev/null && wait "$XPID" 2>/dev/null || true
}
trap fin EXIT INT TERM
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
kill -0 "$XPID" 2>/dev/null || { echo "$(basename "$0"): no se pudo abrir el Xvfb :$NUM (ocupado?)" >&2; exit 1; }

cd "$DIR"
if [ -n "${ESCALA:-}" ]; then
    "$PROG" -escala "$ESCALA" >/dev/null 2>&1 &
else
    "$PROG" >/dev/null 2>&1 &
fi
GPID=$!
W=$(timeout 10 xdotool search --sync --name 'KORVEX 2003' | head -1)
xdotool windowfocus --sync "$W"

# CPU ticks (user + system, every thread) of the game so far.
cpu() {
    awk '{ print $14 + $15 }' /proc/"$GPID"/stat
}
# Context switches so far: of every thread, then of the main thread.
despertares() {
    t=0
    for f in /proc/"$GPID"/task/*/status; do
        n=$(awk '/ctxt_switches/ { s += $2 } END { print s + 0 }' "$f" 2>/dev/null || echo 0)
        t=$((t + n))
    done
    echo "$t $(awk '/ctxt_switches/ { s += $2 } END { print s + 0 }' /proc/"$GPID"/task/"$GPID"/status)"
}
# Wall clock in nanoseconds.
ahora() {
    date +%s%N
}
# Measures the given seconds from now and prints one line: phase, seconds, CPU seconds, share.
fase() {
    c0=$(cpu); d0=$(despertares); t0=$(ahora)
    sleep "$2"
    c1=$(cpu); d1=$(despertares); t1=$(ahora)
    [ -n "${CPU_FOTOS:-}" ] && import -window "$W" "$CPU_FOTOS/$1.png"
    awk -v n="$1" -v c="$((c1 - c0))" -v t="$((t1 - t0))" -v k="$TCK" -v d0="$d0" -v d1="$d1" \
        'BEGIN { s = t / 1e9; u = c / k; split(d0, a, " "); split(d1, b, " ")
                 printf "%-8s %5.1f s  cpu %6.3f s  %5.1f %%  %5.0f desp/s  principal %5.0f\n",
                        n, s, u, 100 * u / s, (b[1] - a[1]) / s, (b[2] - a[2]) / s }'
}
pulsa() {   # a held key, long enough for the polled key table
    xdotool keydown "$1"; sleep 0.25; xdotool keyup "$1"
}

fase titulo 10            # the first picture (after its fade-in) with the title tune
xdotool key space         # ends the first picture; the fade-out, then the blinking prompt
sleep 3
fase parpadeo 3           # the blinking "APRETA ENTER"
pulsa Return              # to the difficulty menu
sleep 1
fase menu 5               # waits in readkey
xdotool key Return        # "QUIERO JUGAR": the level card (3 s) then the level start (2 s)
sleep 0.3
fase cartel 2
sleep 3.5
fase juego 20
pulsa p
sleep 0.5
fase pausa 5
pulsa p
sleep 0.5
pulsa Escape
for _ in $(seq 50); do kill -0 "$GPID" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$GPID" 2>/dev/null; then echo "cpu_sesion: el juego no termino con ESC" >&2; exit 1; fi
GPID=""
