#!/bin/sh
# Random keys sent to each program under X for a while: no crash and no hang. A program that
# ends by itself (ESC on the title, SALIR) must end with status 0 and is started again; at the
# end a run of leaving keys must close it within 40 seconds.
# Usage: teclas_x11.sh KORV_DIR SECONDS_PER_PROGRAM [SEED]   (DISPLAY must be set)
set -u
src=$1
segundos=$2
semilla=${3:-$$}
work=$(mktemp -d /tmp/korvteclas.XXXXXX)
pid=""
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; rm -rf "$work"' EXIT
# On a failure the program's last picture is kept in /tmp/korvteclas-fallo.png.
fail() {
    echo "FALLO: $*"
    [ -n "${w:-}" ] && timeout 10 import -window "$w" /tmp/korvteclas-fallo.png 2>/dev/null && echo "imagen: /tmp/korvteclas-fallo.png"
    [ -f "$work/err" ] && tail -20 "$work/err"
    exit 1
}
cp -r "$src" "$work/k"
cd "$work/k"
# The library's message box would wait for a click: the programs run with no xmessage on PATH.
export HOME="$work" ASAN_OPTIONS=detect_leaks=0
awk_rand() { awk -v s="$1" 'BEGIN { srand(s); for (i = 0; i < 200000; i++) print int(rand() * 1000000) }'; }
awk_rand "$semilla" > "$work/azar"

# Keys of play, menus, dialogs and the editor; letters and others that mean nothing.
TECLAS="Up Down Left Right Up Down Left Right Return Return Escape space p a f g s x z q Tab BackSpace Delete Home End Prior Next F1 F2 F10 1 5"
NTECLAS=$(echo $TECLAS | wc -w)
exec 3<"$work/azar"
# The next random number into R (read in this shell: a $(...) would lose the file's position).
azar() { read -r R <&3 || R=0; }

# Starts program $1, waits for its window titled $2; sets pid and w.
arranca() {
    env PATH=/nonexistent ./"$1" >"$work/out" 2>"$work/err" &
    pid=$!
    w=$(timeout 15 xdotool search --sync --name "$2" | head -1)
    [ -n "$w" ] || fail "$1: no aparece la ventana '$2'"
    xdotool windowfocus --sync "$w" 2>/dev/null
}

# Collects the exit of a program that ended by itself: status 0, else a failure.
termino() {
    wait "$pid"; rc=$?
    pid=""
    [ "$rc" = 0 ] || fail "$1 termino con estado $rc"
}

prueba() {
    prog=$1 titulo=$2 salida=$3
    arranca "$prog" "$titulo"
    fin=$(( $(date +%s) + segundos ))
    teclas=0 reinicios=0
    while [ "$(date +%s)" -lt "$fin" ]; do
        if ! kill -0 "$pid" 2>/dev/null; then
            termino "$prog"
            reinicios=$((reinicios + 1))
            arranca "$prog" "$titulo"
        fi
        azar; n=$(( R % NTECLAS + 1 ))
        t=$(echo $TECLAS | cut -d' ' -f$n)
        azar; r1=$R; azar; r2=$R
        if [ $(( r1 % 3 )) = 0 ]; then
            # a held key, read from key[] by play and the title
            xdotool keydown --window "$w" "$t" 2>/dev/null
            sleep 0.$(( r2 % 4 + 1 ))
            xdotool keyup --window "$w" "$t" 2>/dev/null
        else
            xdotool key --window "$w" "$t" 2>/dev/null
            sleep 0.0$(( r2 % 9 + 1 ))
        fi
        teclas=$((teclas + 1))
    done
    # Leaving: the program must answer the keys that close it.
    hasta=$(( $(date +%s) + 40 ))
    while kill -0 "$pid" 2>/dev/null; do
        [ "$(date +%s)" -lt "$hasta" ] || fail "$prog no se cierra: colgado (ultimas teclas al azar: $teclas)"
        for t in $salida; do
            case $t in
            *+) # held, for what reads key[] (play, the title, the pause)
                xdotool keydown --window "$w" "${t%+}" 2>/dev/null
                sleep 0.25
                xdotool keyup --window "$w" "${t%+}" 2>/dev/null ;;
            *) xdotool key --window "$w" "$t" 2>/dev/null ;;
            esac
            sleep 0.15
        done
    done
    termino "$prog"
    echo "ok: $prog: $teclas teclas al azar en $segundos s, $reinicios salidas limpias por el camino"
}

# The game leaves with ESC everywhere but in the initials entry, which RETURN finishes, and in
# the pause, which P ends (a trailing + holds the key).
prueba korvex '^KORVEX 2003$' "Escape+ Return Return Return Escape+ p+"
# The editor: ESC from the editing screen to the menu, UP to SALIR, ENTER, and NO to the save
# warning; from a dialog the same keys lead back to the editing screen within a round or two.
if [ -x ./korveditor ]; then
    prueba korveditor '^KORV-EDITOR' "Escape Up Return Down Return"
fi
