# escena.sh: a small library for window scenarios, sourced by sh scripts:
#     . tests/x/escena.sh; escena_empieza NOMBRE KORV_DIR ARTEFACTOS; lanza ./korvex; ventana '^KORVEX 2003$' ...
# Each scenario gets its own Xvfb on a free display (640x480, or $ESCENA_PANTALLA), a fresh copy of the runnable folder in a
# temporary folder ($K), a temporary HOME whose sound goes to $ART/sonido.wav; screenshots and
# the program's output are kept in $ART. Every wait has a time-out; fallo ends the scenario with
# the program's last lines and, after a crash, a backtrace.

# Ends the scenario: the message, the output's last lines, a backtrace of a core; status 1.
fallo() {
    echo "FALLO [$ESC]: $*"
    [ -f "$ART/salida.txt" ] && grep -v '^ALSA lib' "$ART/salida.txt" | tail -15
    for core in "$K"/core*; do
        [ -f "$core" ] && command -v gdb >/dev/null && gdb -batch -ex bt "$K/$PROG" "$core" 2>/dev/null | tail -20
    done
    exit 1
}
nota() { echo "[$ESC] $*"; }
ahora() { date +%s; }

# Sets up: NAME, the runnable folder to copy, the artefacts folder (emptied).
escena_empieza() {
    ESC=$1 ORIGEN=$2 ART=$3 PID="" XPID="" W="" N=0
    rm -rf "$ART" && mkdir -p "$ART" && ART=$(cd "$ART" && pwd)
    E=$(mktemp -d /tmp/korvx.XXXXXX)
    trap 'escena_limpia' EXIT
    trap 'exit 1' INT TERM
    K=$E/k
    cp -r "$2" "$K" || fallo "no se pudo copiar $2"
    # The level sets and the levels reached of whoever played in the build folder are not the scenario's.
    rm -rf "$K/conjuntos" "$K/datos/alcanzado.txt"
    mkdir -p "$E/home"
    cat >"$E/home/.asoundrc" <<FIN
pcm.!default { type plug; slave { pcm "capfile"; format S16_LE; rate 44100; channels 2 } }
pcm.capfile  { type file; slave.pcm "null"; file "$ART/sonido.wav"; format "wav" }
FIN
    for n in $(seq "${ESCENA_DESDE:-150}" "${ESCENA_HASTA:-199}"); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        # autorepeat pushed far out: a held key gives one press
        Xvfb ":$n" -screen 0 "${ESCENA_PANTALLA:-640x480x24}" -nolisten tcp -ardelay 60000 >/dev/null 2>&1 &
        XPID=$!
        for i in $(seq 50); do
            kill -0 "$XPID" 2>/dev/null && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && { export DISPLAY=":$n"; return 0; }
            kill -0 "$XPID" 2>/dev/null && sleep 0.1
        done
        kill "$XPID" 2>/dev/null
    done
    fallo "ningun Xvfb arranco"
}
escena_limpia() {   # the program killed hard: the library may hang on TERM without its X server
    [ -n "$PID" ] && kill -9 "$PID" 2>/dev/null
    [ -n "$XPID" ] && kill "$XPID" 2>/dev/null
    rm -rf "$E"
}

# Starts a program of the copy, in the copy: lanza ./korvex [ARGS]; output in $ART/salida.txt.
lanza() {
    PROG=$1
    (cd "$K" && ulimit -c unlimited 2>/dev/null; exec env HOME="$E/home" "$@") >"$ART/salida.txt" 2>&1 &
    PID=$!
}

# Ends the program at once (its end is not what is tested).
mata() { kill -9 "$PID"; wait "$PID" 2>/dev/null; PID=""; }

# Waits for the window whose title matches $1 and gives it the focus; sets $W.
ventana() {
    W=$(timeout 30 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$W" ] || fallo "no aparece la ventana \"$1\""
    xdotool windowfocus --sync "$W" 2>/dev/null || fallo "no se pudo dar el foco a la ventana"
}

# Fails when the program has ended while waiting for $1.
vivo() {
    kill -0 "$PID" 2>/dev/null && return 0
    wait "$PID"
    RC=$? PID=""
    fallo "el programa termino (estado $RC) esperando: $1"
}

# Waits up to $1 seconds for the program to end; its exit status in $RC.
termina() {
    fin=$(($(ahora) + $1))
    while kill -0 "$PID" 2>/dev/null; do
        [ "$(ahora)" -lt "$fin" ] || fallo "el programa sigue corriendo despues de $1 s"
        sleep 0.1
    done
    wait "$PID"
    RC=$? PID=""
}

# Waits up to $1 seconds, the program alive, until the command "$3 ..." holds; else fails saying $2.
espera() {
    fin=$(($(ahora) + $1)) que=$2
    shift 2
    until "$@"; do
        vivo "$que"
        [ "$(ahora)" -lt "$fin" ] || fallo "$que"
        sleep 0.2
    done
}

# Screenshot of the window into $ART/NN-$1.png (the path in $FOTO); false when it cannot be taken.
captura() {
    N=$((N + 1))
    FOTO=$ART/$(printf %03d $N)-$1.png
    timeout 20 import -window "$W" "$FOTO" 2>/dev/null
}

# Pixels that differ between two pictures, within the crop $3 (WxH+X+Y) when given.
difieren() {
    timeout 20 compare -metric AE -fuzz 3% ${3:+-extract "$3"} "$1" "$2" null: 2>&1 | cut -d' ' -f1
}

# Polls screenshots ($2: name) up to $1 seconds until the command "$3 ..." holds for $FOTO.
hasta() {
    seg=$1 nombre=$2
    shift 2
    espera "$seg" "$nombre: no llega en $seg s" captura_y "$nombre" "$@"
}
captura_y() { c=$1 && shift && captura "$c" && "$@" && return 0; rm -f "$FOTO"; return 1; }
# Conditions for hasta: something is drawn (not all black); the window shows a data picture; it
# differs from picture $1 (in crop $2); it is the same as picture $1.
pintada() { [ "$(convert "$FOTO" -format '%[fx:maxima]' info:)" != 0 ]; }
# The screenshot is the full-screen picture $1 (datos/$1.bmp, or its English lettering $1_en.bmp).
muestra() {
    [ "$(difieren "$FOTO" "$K/datos/$1.bmp")" -lt 2000 ] 2>/dev/null ||
        [ "$(difieren "$FOTO" "$K/datos/${1}_en.bmp")" -lt 2000 ] 2>/dev/null
}
distinta() { [ "$(difieren "$FOTO" "$1" "${2:-}")" -gt 0 ] 2>/dev/null; }
igual() { [ "$(difieren "$FOTO" "$1")" = 0 ]; }

# Two screenshots a second apart are alike ($1: name; the first one in $QUIETA).
quieta() {
    captura "$1-a" || fallo "no se pudo capturar la ventana"
    QUIETA=$FOTO
    sleep 1
    captura "$1-b" && igual "$QUIETA" || fallo "$1: la imagen cambia"
}

# The game's screens, conditions for hasta: the title picture after a key (which skips the studio
# card); a picture other than the title and the studio card; the playfield moved since the
# screenshot before.
salta_al_titulo() { tecla x; muestra korvex; }
no_titulo() { pintada && ! muestra korvex && ! muestra lurgo; }
se_mueve() {
    r=1
    [ -n "${anterior:-}" ] && distinta "$anterior" 320x192+0+0 && r=0
    cp "$FOTO" "$E/anterior.png" && anterior=$E/anterior.png
    return $r
}
# From the studio's card to the title ($1: a suffix for the screenshots' names).
de_nuevo_al_titulo() { hasta 40 "estudio${1:-}" muestra lurgo; hasta 40 "titulo${1:-}" salta_al_titulo; }
# The game started (options "$@") and taken to its title.
al_titulo() { lanza ./korvex "$@"; ventana '^KORVEX 2003$'; de_nuevo_al_titulo; }
# The initials screen, a condition for hasta (set anterior="" first): the picture still, not the win
# picture, text in the top band ("NUEVO RECORD").
iniciales() {
    r=1
    [ -n "$anterior" ] && igual "$anterior" && ! muestra gane &&
        [ "$(convert "$FOTO" -crop 320x20+0+4 +repage -colorspace gray -format '%[fx:maxima]' info:)" != 0 ] && r=0
    cp "$FOTO" "$E/anterior.png" && anterior=$E/anterior.png
    return $r
}
# Play going: within $1 seconds the playfield moves, twice in a row ($2: name; $3: the condition,
# se_mueve unless given).
en_marcha() { anterior=""; hasta "$1" "$2" "${3:-se_mueve}"; hasta 5 "$2-2" "${3:-se_mueve}"; }
# P freezes the picture, P again lets play go on ($1 as for en_marcha).
pausa_y_sigue() { manten p 0.3; sleep 1; quieta pausa; manten p 0.3; en_marcha 10 sigue "${1:-se_mueve}"; }

# Keys: a tap; a key held for $2 seconds (seen by the programs' key[] polls).
tecla() { xdotool key "$1"; }
manten() { xdotool keydown "$1" && sleep "$2" && xdotool keyup "$1"; }
# A key of a screen that reads the keyboard buffer and redraws: sends it and waits until the
# window changes; sent once more if nothing changed after 3 s (it came while the buffer was emptied).
pulsa() {
    captura "antes-$1" || fallo "no se pudo capturar la ventana"
    previa=$FOTO
    tecla "$1"
    fin=$(($(ahora) + 3))
    until captura "$1" && distinta "$previa"; do
        vivo "la tecla $1"
        rm -f "$FOTO"
        if [ "$(ahora)" -ge "$fin" ]; then
            [ -n "${otra:-}" ] && fallo "la tecla $1 no cambia la pantalla"
            otra=1 fin=$((fin + 5))
            tecla "$1"
        fi
        sleep 0.1
    done
    otra=""
    rm -f "$previa"
}
# A key whose effect does not show: sent, then a moment for the program to take it.
pulsa_ciega() { tecla "$1"; sleep 0.5; }

# Bytes for expected files: one byte; an unsigned 32-bit little-endian number.
byte() { printf "\\$(printf %03o "$1")"; }
le32() { byte $(($1 & 255)); byte $(($1 >> 8 & 255)); byte $(($1 >> 16 & 255)); byte $(($1 >> 24 & 255)); }

# Level file $1, speed code $2, on the first level's road, with the enemy records given as column,
# row offset and type, in their order; the rest of the table empty.
nivel() {
    f=$1
    { byte "$2"; tail -c +2 "$ORIGEN/levels/nivel_01.map" | head -c 1600; } >"$f"
    shift 2
    while [ $# -ge 3 ]; do byte $(($1 & 255)); byte $(($1 >> 8)); byte "$2"; byte "$3"; shift 3; done >>"$f"
    truncate -s 2801 "$f"
}

# True when the captured sound holds more than half a second above silence.
suena() {
    sox "$ART/sonido.wav" -n stat 2>"$E/stat" || return 1
    awk '/^RMS *amplitude/ { r = $3 } /^Length/ { l = $3 } END { exit !(l > 0.5 && r > 0.002) }' "$E/stat"
}
