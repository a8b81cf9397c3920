#!/bin/sh
# Smooth motion and key latency of the real game, seen from outside (bench/mirada, tecla_imagen),
# with the reference window (bench/referencia: one new picture right after every vblank) measured
# beside it in the same session. Per scale of ESCALAS (default "1 3") and per session, each on an
# Xvfb of its own:
#   juego    play of levels/nivel_01.map at difficulty 1 ("-nivel ... -dificultad 1": no title, no
#            menu), SEGUNDOS (default 20) watched by mirada together with the reference window;
#   carril   key to picture in play (the same level, started again): N lane changes
#            (tecla_imagen -modo camion);
#   menu     key to picture on the difficulty menu (title, space, ENTER; then Down/Up N times);
#   editor   key to picture on the editor's map (ENTER on its menu; then Down/Up N times).
# Then the medians of the sessions side by side, the game minus the reference of the same session
# (median of the sessions), the acceptance checks of issue 20 on them, and
# the CPU share per phase (bench/cpu_medianas.sh, same number of sessions).
#
#   bench/fluidez.sh [KORVEX_DIR [DISPLAY_NUMBER [SESSIONS]]]   (defaults: build/korvex 220 5)
#   ESCALAS="1 3"   scales to run          SEGUNDOS=20   play watched per session
#   TECLAS=20       presses per key test   HERRAMIENTAS  folder of mirada & co (default KORVEX_DIR/../bench)
#   SIN_CPU=1       leaves out the CPU sessions          GUARDA=folder  keeps every session's lines
set -e
HERE=$(cd "$(dirname "$0")" && pwd)
DIR=$(cd "${1:-build/korvex}" && pwd)
NUM=${2:-220}
N=${3:-5}
ESCALAS=${ESCALAS:-1 3}
SEGUNDOS=${SEGUNDOS:-20}
TECLAS=${TECLAS:-20}
H=$(cd "${HERRAMIENTAS:-$DIR/../bench}" && pwd)
for p in mirada referencia tecla_imagen; do
    [ -x "$H/$p" ] || { echo "fluidez: falta $H/$p (compile primero)" >&2; exit 1; }
done
T=$(mktemp -d)
OUT=${GUARDA:-$T/datos}
mkdir -p "$OUT" "$T/home"
XPID="" GPID="" RPID=""
fin_sesion() {
    for p in $GPID $RPID; do kill -9 "$p" 2>/dev/null || true; done
    GPID="" RPID=""
    [ -n "$XPID" ] && kill "$XPID" 2>/dev/null && wait "$XPID" 2>/dev/null || true
    XPID=""
}
trap 'fin_sesion; rm -rf "$T"' EXIT
trap 'exit 1' INT TERM

# An Xvfb of its own, wide enough for the game and the reference side by side, no key repeat.
abre_x() {
    for _ in $(seq 50); do [ -e /tmp/.X"$NUM"-lock ] || break; sleep 0.1; done
    Xvfb :"$NUM" -screen 0 2048x768x24 -nolisten tcp -ardelay 60000 >"$T/xvfb.txt" 2>&1 &
    XPID=$!
    export DISPLAY=:"$NUM"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    # a display already taken answers xdpyinfo, but our Xvfb ends at once: it must still be there
    sleep 0.3
    kill -0 "$XPID" 2>/dev/null && xdpyinfo >/dev/null 2>&1 && return 0
    echo "fluidez: no se pudo abrir el Xvfb :$NUM (ocupado por otro?)" >&2
    tail -n 3 "$T/xvfb.txt" >&2
    exit 1
}
# Starts a program of the runnable folder with a HOME of its own (no player's settings); its
# window ($1) focused, its id in $W.
lanza() {
    titulo=$1
    shift
    (cd "$DIR" && exec env HOME="$T/home" "$@") >"$T/salida.txt" 2>&1 &
    GPID=$!
    W=$(timeout 15 xdotool search --sync --onlyvisible --name "^$titulo\$" | head -1)
    [ -n "$W" ] || { echo "fluidez: no aparece la ventana $titulo" >&2; tail -n 3 "$T/salida.txt" "$T/xvfb.txt" >&2; exit 1; }
    xdotool windowfocus --sync "$W"
}
# Ends the program started by lanza (a measure that failed has said so on stderr: the series goes on).
termina() {
    kill -9 "$GPID" 2>/dev/null || echo "fluidez: el programa ya habia terminado" >&2
    wait "$GPID" 2>/dev/null || true
    GPID=""
}
# Waits until the game's pictures flow (play has begun): up to 20 s.
espera_juego() {
    for _ in $(seq 20); do
        "$H/mirada" -s 1 "$W" | grep -q 'imagenes_s=[3-9][0-9]' && return 0
    done
    echo "fluidez: el juego no empieza a jugar" >&2
    return 1
}
# Appends a tool's line to the session's file, tagged with the scale and what was measured.
apunta() {
    while read -r linea; do echo "escala=$1 que=$2 $linea"; done >>"$T/sesion"
}

# One session at scale $1, run in a subshell: its lines are kept only when it gets to the end.
sesion() {
    e=$1
    trap fin_sesion EXIT
    : >"$T/sesion"
    abre_x
    # play, watched beside the reference
    lanza "KORVEX 2003" ./korvex -escala "$e" -nivel levels/nivel_01.map -dificultad 1
    if espera_juego; then
        "$H/referencia" -g "$((320 * e))x$((240 * e))+$((320 * e + 40))+0" &
        RPID=$!
        sleep 1
        "$H/mirada" -s "$SEGUNDOS" "KORVEX 2003" "KORV REFERENCIA" >"$T/m" || echo "fluidez: x$e sin medida" >&2
        kill "$RPID" 2>/dev/null || true
        RPID=""
        grep '^nombre=KORVEX' "$T/m" | apunta "$e" juego
        grep '^nombre=KORV_REF' "$T/m" | apunta "$e" referencia
    fi
    termina
    # lane changes, in a game of their own: the level may end soon after the watch
    lanza "KORVEX 2003" ./korvex -escala "$e" -nivel levels/nivel_01.map -dificultad 1
    espera_juego && "$H/tecla_imagen" -modo camion -n "$TECLAS" "$W" | apunta "$e" carril
    termina
    # the difficulty menu
    lanza "KORVEX 2003" ./korvex -escala "$e"
    sleep 3; xdotool key space; sleep 3
    xdotool keydown Return; sleep 0.25; xdotool keyup Return; sleep 1.5
    "$H/tecla_imagen" -n "$TECLAS" "$W" | apunta "$e" menu
    termina
    # the editor's map
    lanza "KORV-EDITOR 2003" ./korveditor -escala "$e"
    sleep 2; xdotool key Return; sleep 1.5
    "$H/tecla_imagen" -n "$TECLAS" "$W" | apunta "$e" editor
    termina
    fin_sesion
}

touch "$OUT/lineas"
for i in $(seq "$N"); do
    for e in $ESCALAS; do
        echo "-- sesion $i, x$e"
        for intento in 1 2 3; do
            (sesion "$e") && break
            echo "fluidez: la sesion fallo (intento $intento de 3)" >&2
        done
        sed 's/^/   /' "$T/sesion"
        cat "$T/sesion" >>"$OUT/lineas"
    done
done

# The median over the sessions of key $3 of the lines of scale $1 and kind $2 ("-" when none).
mediana() {
    awk -v e="escala=$1" -v q="que=$2" -v k="$3" '$1 == e && $2 == q {
        for (i = 3; i <= NF; i++) { split($i, kv, "="); if (kv[1] == k) print kv[2] } }' "$OUT/lineas" |
        sort -g | awk '{ v[NR] = $1 } END { if (!NR) print "-"; else
            printf "%.2f\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
echo
echo "== medianas de $N sesiones ($SEGUNDOS s de juego; $TECLAS teclas por prueba)"
printf "%-28s" ""
for e in $ESCALAS; do printf "  %10s %10s" "x$e juego" "referencia"; done
echo
for k in imagenes_s refrescos_s fallos_s repetidas_s perdidas_s intervalo_ms intervalo_sd_ms refresco_sd_ms huecos; do
    printf "%-28s" "$k"
    for e in $ESCALAS; do printf "  %10s %10s" "$(mediana "$e" juego $k)" "$(mediana "$e" referencia $k)"; done
    echo
done
for q in menu editor carril; do
    for k in media_ms mediana_ms max_ms; do
        printf "%-28s" "tecla $q $k"
        for e in $ESCALAS; do printf "  %10s %10s" "$(mediana "$e" $q $k)" ""; done
        echo
    done
done
# The median over the sessions of the game's key $2 minus the reference's in the same session, scale $1.
diferencia() {
    awk -v e="escala=$1" -v k="$2" '$1 == e && ($2 == "que=juego" || $2 == "que=referencia") {
        for (i = 3; i <= NF; i++) { split($i, kv, "="); if (kv[1] == k) v = kv[2] }
        if ($2 == "que=juego") j = v; else print j - v }' "$OUT/lineas" |
        sort -g | awk '{ v[NR] = $1 } END { if (!NR) print "-"; else
            printf "%.2f\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
for e in $ESCALAS; do
    printf "x%s, juego menos referencia de la misma sesion (mediana): fallos/s %s, sd %s ms\n" "$e" \
        "$(diferencia "$e" fallos_s)" "$(diferencia "$e" intervalo_sd_ms)"
done
echo "-- aceptacion: imagenes/s = refrescos/s +-1 %; fallos/s <= los de la referencia de la misma sesion + 0.5;"
echo "   sd <= la de la referencia + 1 ms; tecla quieta media <= 4 ms y max <= 10 ms; carril mediana <= un refresco + 4 ms"
for e in $ESCALAS; do
    awk -v e="x$e" -v img="$(mediana "$e" juego imagenes_s)" -v ref="$(mediana "$e" juego refrescos_s)" \
        -v df="$(diferencia "$e" fallos_s)" -v ds="$(diferencia "$e" intervalo_sd_ms)" \
        -v mm="$(mediana "$e" menu media_ms)" -v mx="$(mediana "$e" menu max_ms)" \
        -v em="$(mediana "$e" editor media_ms)" -v ex="$(mediana "$e" editor max_ms)" \
        -v cm="$(mediana "$e" carril mediana_ms)" -v rr="$(mediana "$e" juego refresco_ms)" '
        function si(c) { return c ? "cumple" : "NO" }
        BEGIN {
            printf "%s: imagenes %s  fallos %s  sd %s  menu %s  editor %s  carril %s\n", e,
                si(img >= ref * 0.99 && img <= ref * 1.01), si(df <= 0.5), si(ds <= 1),
                si(mm <= 4 && mx <= 10), si(em <= 4 && ex <= 10), si(cm <= rr + 4)
        }'
done

if [ -z "${SIN_CPU:-}" ]; then
    echo
    echo "== CPU por fase (bench/cpu_medianas.sh $N)"
    ESCALAS="$ESCALAS" "$HERE/cpu_medianas.sh" "$N" "$DIR" "$NUM" | sed -n '/^-- medianas/,$p'
fi
