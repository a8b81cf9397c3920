#!/bin/sh
# The scaled picture under a 1024x768 X server: the default window is x2; "-escala 3" gives a
# 960x720 window whose every 3x3 block is one colour and whose 320x240 samples are the page
# (title, play, pause); F11 goes to full screen (x3 centred on black) and back with the same
# picture and the game still running; "-full" starts there; TERM ends the game within a second;
# and when the X server dies together with the TERM (as at a logout) the game is gone within a second.
# Usage: escala_x11.sh KORV_DIR MIRA_DIR   (MIRA_DIR holds e2e_mira)
set -u
src=$1
mira=$(cd "$2" && pwd)/e2e_mira
work=$(mktemp -d /tmp/korvescala.XXXXXX)
pid=""
xpid=""
RECORTE=""
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; [ -n "$xpid" ] && kill $xpid 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FALLO: $*"; exit 1; }
cp -r "$src" "$work/k"
cd "$work/k"

# A free display number of this script's range.
libre() {
    for n in $(seq "$1" "$2"); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then echo "$n"; return 0; fi
    done
    return 1
}
disp=$(libre 330 335) || fail "no free display between :330 and :335"
Xvfb ":$disp" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
for i in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$disp" ] && break; sleep 0.1; done
export DISPLAY=":$disp"

# Starts the game with the given options; W becomes its window.
lanza() {
    HOME=$work ./korvex "$@" >"$work/out" 2>&1 &
    pid=$!
    W=$(timeout 10 xdotool search --sync --name '^KORVEX 2003$' | head -1)
    [ -n "$W" ] || fail "no window for: korvex $*"
    xdotool windowfocus --sync "$W" 2>/dev/null
}
# Sends TERM and checks the game is gone within a second; $1 the exit status expected.
termina() {
    kill -TERM "$pid"
    for i in $(seq 1 10); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "the game still runs a second after TERM"
    wait "$pid"
    rc=$?
    pid=""
    [ "$rc" = "$1" ] || fail "exit status $rc after TERM (expected $1)"
}
# Size of window $1 as WxH.
tamano() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
# Screenshot of the window (or "root") into $work/$2.png; the 320x240 samples into $work/$2.ppm.
captura() {
    if [ "$1" = root ]; then
        timeout 20 import -window root "$work/$2.png" 2>/dev/null || return 1
    else
        timeout 20 import -window "$1" "$work/$2.png" 2>/dev/null || return 1
    fi
    [ -z "${RECORTE:-}" ] || convert "$work/$2.png" -crop "$RECORTE" +repage "$work/$2.png"
    convert "$work/$2.png" -sample 320x240! "$work/$2.ppm"
    [ -z "${GUARDA:-}" ] || cp "$work/$2.png" "$GUARDA/$2.png"
}
# Pixels of $work/$1.png that differ from their block's sample at scale x3 (0: every block one colour).
bloques() {
    convert "$work/$1.ppm" -sample 300% "$work/$1-bloques.png"
    compare -metric AE "$work/$1.png" "$work/$1-bloques.png" null: 2>&1
}
# Polls screenshots until e2e_mira sees scene $2 (with arguments) in window $1, up to 40 s.
espera_escena() {
    w=$1
    shift
    for i in $(seq 1 80); do
        captura "$w" escena && "$mira" "$work/k" "$work/escena.ppm" "$@" >/dev/null 2>&1 && return 0
        sleep 0.5
    done
    fail "the scene '$*' never showed"
}

# 1. Default on 1024x768: x2.
lanza
[ "$(tamano "$W")" = 640x480 ] || fail "default window is $(tamano "$W"), not 640x480"
termina 143

# 2. x3: title, play, pause, each 3x3 block one colour and its samples the page.
lanza -escala 3
[ "$(tamano "$W")" = 960x720 ] || fail "-escala 3 window is $(tamano "$W"), not 960x720"
sleep 3                 # past the fade-in: the card's wait takes a key
xdotool key Return      # the studio card gives way to the title
espera_escena "$W" titulo
cp "$work/escena.png" "$work/titulo.png"; cp "$work/escena.ppm" "$work/titulo.ppm"
n=$(bloques titulo); [ "$n" = 0 ] || fail "title: $n pixels off their 3x3 block's colour"
xdotool keydown Return; sleep 0.2; xdotool keyup Return
espera_escena "$W" menu 1
xdotool key Return      # "QUIERO JUGAR"
sleep 6                 # the level card and the level start
captura "$W" juego || fail "no screenshot of play"
n=$(bloques juego); [ "$n" = 0 ] || fail "play: $n pixels off their 3x3 block's colour"
"$mira" "$work/k" "$work/juego.ppm" camion >/dev/null || fail "play: no truck on the road in the samples"
xdotool keydown p; sleep 0.2; xdotool keyup p
espera_escena "$W" pausa
captura "$W" pausa
n=$(bloques pausa); [ "$n" = 0 ] || fail "pause: $n pixels off their 3x3 block's colour"

# 3. F11 round trip during the pause: full screen shows the same page at x3 centred on black,
# the window comes back with the same picture, and the game goes on when the pause ends.
xdotool key F11
sleep 1.5
RECORTE=960x720+32+24
captura root completa || fail "no screenshot of the full screen"
RECORTE=""
cmp -s "$work/completa.ppm" "$work/pausa.ppm" || fail "full screen does not show the paused picture"
n=$(bloques completa); [ "$n" = 0 ] || fail "full screen: $n pixels off their 3x3 block's colour"
timeout 20 import -window root "$work/raiz.png"
borde=$(convert "$work/raiz.png" -crop 32x768+0+0 +repage -format '%[fx:maxima]' info:)
[ "$borde" = 0 ] || fail "the full screen's left border is not black ($borde)"
xdotool key F11
sleep 1.5
W=$(timeout 10 xdotool search --sync --name '^KORVEX 2003$' | head -1)
[ "$(tamano "$W")" = 960x720 ] || fail "after F11 twice the window is $(tamano "$W")"
xdotool windowfocus --sync "$W" 2>/dev/null
captura "$W" vuelta
cmp -s "$work/vuelta.ppm" "$work/pausa.ppm" || fail "the window after F11 twice does not show the paused picture"
xdotool keydown p; sleep 0.2; xdotool keyup p
sleep 1
captura "$W" sigue
"$mira" "$work/k" "$work/sigue.ppm" igual "$work/vuelta.ppm" 0 0 320 192 >/dev/null 2>&1 &&
    fail "the road did not move after the pause: the game is not running"
termina 143

# 4. "-full": the desktop's size, x3 centred.
lanza -full
sleep 3
xdotool key Return
RECORTE=960x720+32+24
espera_escena root titulo
captura root completa_titulo
RECORTE=""
n=$(bloques completa_titulo); [ "$n" = 0 ] || fail "-full title: $n pixels off their 3x3 block's colour"
termina 143

# 5. TERM and the X server's end at once: the game must not outlive them by a second.
kill "$xpid"; wait "$xpid" 2>/dev/null; xpid=""
num=$(libre 336 339) || fail "no free display between :336 and :339"
marca="escala-xio-$$"
HOME=$work timeout 6 xvfb-run -n "$num" -s "-screen 0 1024x768x24 -nolisten tcp" ./korvex -info "$marca" \
    >"$work/xio" 2>&1
for i in $(seq 1 10); do pgrep -f "korvex -info $marca" >/dev/null || break; sleep 0.1; done
pgrep -f "korvex -info $marca" >/dev/null && fail "the game outlived its X server by a second"
echo "ok: x2 default, x3 title/play/pause blocks and samples, F11 round trip, -full centred, TERM and a lost server"
