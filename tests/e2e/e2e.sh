#!/bin/sh
# The programs driven as a player would: a private X server, keys sent to the window, screenshots
# checked against what the game's drawing renders headless, the sound captured to a WAV file,
# the files the programs write checked byte by byte.
#
#   e2e.sh ESCENARIO KORV_DIR HERRAMIENTAS ARTEFACTOS
#
# ESCENARIO: juego | cierre | gana | datos_malos | editor. KORV_DIR is the runnable folder
# (build/korvex), HERRAMIENTAS the folder of e2e_mira and e2e_cierra, ARTEFACTOS where the
# screenshots (PNG), the captured sound (WAV) and the programs' output are kept.
# Every wait polls with a time-out; the time-outs are generous for a loaded machine.
set -u
esc=$1
src=$2
herr=$3
art=$4

rm -rf "$art"
mkdir -p "$art"
art=$(cd "$art" && pwd)
herr=$(cd "$herr" && pwd)
src=$(cd "$src" && pwd)
mira=$herr/e2e_mira   # the screen checker of the program under test (the editor has its own)
work=$(mktemp -d /tmp/korve2e.XXXXXX)
xpid=""
pid=""
W=""
npaso=0

limpia() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null   # the library catches TERM and may hang without its X server
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
    rm -rf "$work"
}
trap limpia EXIT
trap 'exit 1' INT TERM

fallo() {
    echo "FALLO [$esc]: $*"
    for core in "$work/${corre:-k}"/core*; do
        [ -f "$core" ] || continue
        cp "$core" "$art/" && echo "--- core guardado en $art/$(basename "$core")"
        command -v gdb >/dev/null &&
            gdb -batch -ex 'thread apply all bt' "$work/$corre/$programa" "$core" 2>/dev/null | tail -25
    done
    if [ -f "$art/salida.txt" ]; then
        echo "--- salida del programa (sin los avisos de ALSA):"
        grep -v '^ALSA lib' "$art/salida.txt" | tail -20
    fi
    exit 1
}
nota() { echo "[$esc] $*"; }

# Seconds since the epoch, for time-outs.
ahora() { date +%s; }

# A private X server on the first free display of 150..199. Autorepeat is pushed far out so
# that a held key gives exactly one press in the keyboard buffer.
arranca_x() {
    for n in $(seq 150 199); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -ardelay 60000 >"$work/xvfb.log" 2>&1 &
        xpid=$!
        i=0
        while [ $i -lt 100 ]; do
            kill -0 "$xpid" 2>/dev/null || break
            if [ -e "/tmp/.X11-unix/X$n" ] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
                export DISPLAY=":$n"
                nota "Xvfb en :$n"
                return 0
            fi
            sleep 0.1
            i=$((i + 1))
        done
        kill "$xpid" 2>/dev/null
        wait "$xpid" 2>/dev/null
        xpid=""
    done
    fallo "no hay pantalla libre entre :150 y :199"
}

# A fresh copy of the runnable folder in $work/$1.
copia_juego() {
    rm -rf "${work:?}/$1"
    cp -r "$src" "$work/$1" || fallo "no se pudo copiar $src"
}

# A temporary HOME whose default ALSA device writes to the WAV file $1.
home_con_captura() {
    mkdir -p "$work/home"
    cat >"$work/home/.asoundrc" <<EOF
pcm.!default { type plug; slave { pcm "capfile"; format S16_LE; rate 44100; channels 2 } }
pcm.capfile  { type file; slave.pcm "null"; file "$1"; format "wav" }
EOF
}

# Starts a program of the copy in $work/$1: lanza CARPETA PROGRAMA [ARGS...]; output in salida.txt.
lanza() {
    carpeta=$1
    shift
    # a crash leaves a core file beside the program, kept with the artefacts
    (cd "$work/$carpeta" && ulimit -c unlimited 2>/dev/null; exec env HOME="$work/home" "$@") \
        >"$art/salida.txt" 2>&1 &
    corre=$carpeta
    programa=$1
    pid=$!
}

# Waits for the window titled $1 and gives it the keyboard focus.
ventana() {
    W=$(timeout 30 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$W" ] || fallo "no aparece la ventana \"$1\""
    xdotool windowfocus --sync "$W" || fallo "no se pudo dar el foco a la ventana"
}

# Exit status of the program, waiting up to $1 seconds; fails if it is still running.
termina() {
    fin=$(($(ahora) + $1))
    while kill -0 "$pid" 2>/dev/null; do
        [ "$(ahora)" -lt "$fin" ] || fallo "el programa sigue corriendo despues de $1 s"
        sleep 0.1
    done
    wait "$pid"
    rc=$?
    pid=""
}

# Screenshot of the window: $art/NN-NOMBRE.png, and $work/NOMBRE.ppm for the checks (the page's
# 320x240 pixels: the window shows each of them as an N x N block at the chosen scale).
captura() {
    timeout 20 import -window "$W" "$work/$1.png" 2>/dev/null || return 1
    convert "$work/$1.png" -sample 320x240! "$work/$1.ppm" 2>/dev/null || return 1
    cp "$work/$1.png" "$art/$(printf %02d $npaso)-$1.png"
}

# Polls screenshots until the window shows a scene (see e2e_mira), up to $2 seconds:
# espera NOMBRE SEGUNDOS ESCENA [ARGS...]. The last check's line is in $visto.
# With $reenvia set (by pulsa), a screen that still shows the scene $previa after a while means the
# program did not get the key (it fell between two draws and was emptied from the buffer): it is
# sent again, at most twice.
reenvia=""
previa=""
espera() {
    nombre=$1
    seg=$2
    shift 2
    npaso=$((npaso + 1))
    t0=$(ahora)
    fin=$((t0 + seg))
    envios=1
    while :; do
        vivo "$nombre"
        if captura "$nombre"; then
            visto=$("$mira" -o "$art/$(printf %02d $npaso)-$nombre-esperado.bmp" \
                "$work/k" "$work/$nombre.ppm" "$@" 2>&1) && { nota "$nombre: $visto"; return 0; }
            # shellcheck disable=SC2086
            if [ -n "$reenvia" ] && [ $envios -lt 3 ] && [ "$(ahora)" -ge $((t0 + 2 * envios)) ] &&
                "$mira" "$work/k" "$work/$nombre.ppm" $previa >/dev/null 2>&1; then
                nota "$reenvia no llego al programa: se manda otra vez"
                tecla "$reenvia"
                envios=$((envios + 1))
            fi
        fi
        [ "$(ahora)" -lt "$fin" ] || fallo "$nombre: despues de $seg s la pantalla no coincide: $visto"
        sleep 0.2
    done
}

# A key of a screen that reads the keyboard buffer, then the scene it leads to:
# pulsa TECLA "ESCENA PREVIA" NOMBRE SEGUNDOS ESCENA [ARGS...]; the key is sent again while the
# screen stays on the scene before.
pulsa() {
    reenvia=$1
    previa=$2
    shift 2
    tecla "$reenvia"
    espera "$@"
    reenvia=""
}

# Fails when the program has ended while the test waited for $1, with its exit status.
vivo() {
    kill -0 "$pid" 2>/dev/null && return 0
    wait "$pid"
    e=$?
    pid=""
    fallo "el programa termino (estado $e) esperando: $1"
}

# Keys: a tap (read from the keyboard buffer) and a held key (seen by the key[] polls).
tecla() { xdotool key "$1"; }
manten() {
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
}

# Top of the truck's picture in the screenshot $1, or -1.
camion_y() {
    "$herr/e2e_mira" "$work/k" "$work/$1.ppm" camion | sed -n 's/^camion y=\(-\{0,1\}[0-9]*\) .*/\1/p'
}

# Polls until the truck's picture stands at y = $1 (up to $2 seconds).
espera_camion() {
    npaso=$((npaso + 1))
    fin=$(($(ahora) + $2))
    while :; do
        vivo "el camion en y=$1"
        captura camion && [ "$(camion_y camion)" = "$1" ] && { nota "camion en y=$1"; return 0; }
        [ "$(ahora)" -lt "$fin" ] || fallo "el camion no llega a y=$1 (esta en y=$(camion_y camion))"
        sleep 0.2
    done
}

# The title after the studio card: any key skips the card (sent again until the title shows,
# in case one fell before the card's wait emptied the buffer).
hasta_titulo() {
    espera estudio 40 estudio
    npaso=$((npaso + 1))
    fin=$(($(ahora) + 40))
    while :; do
        tecla x
        for i in 1 2 3 4 5 6 7 8; do
            captura titulo && "$herr/e2e_mira" "$work/k" "$work/titulo.ppm" titulo >/dev/null 2>&1 &&
                { nota "titulo: la imagen del titulo esta en pantalla"; return 0; }
            sleep 0.3
        done
        vivo "el titulo"
        [ "$(ahora)" -lt "$fin" ] || fallo "no aparece la imagen del titulo"
    done
}

# From the title to the first level's card: ENTER held on the title, ENTER on difficulty $1
# (0, 1, 2: the menu opens on 1).
hasta_nivel() {
    hasta_titulo
    manten Return 0.5
    espera menu 20 menu 1
    case $1 in
        0) pulsa Up "menu 1" menu_0 20 menu 0 ;;
        2) pulsa Down "menu 1" menu_2 20 menu 2 ;;
    esac
    pulsa Return "menu $1" cartel_nivel1 20 cartel "SIGUIENTE NIVEL: 1"
}

# Bytes of a file.
tamano() { wc -c <"$1" | tr -d ' '; }

# Bytes: an unsigned 32-bit little-endian number; one byte; an enemy record (column, row offset, type);
# a ranking record (score, three initials, reserved byte).
byte() { printf "\\$(printf %03o "$1")"; }
le32() {
    v=$1
    for i in 1 2 3 4; do
        byte $((v & 255))
        v=$((v >> 8))
    done
}
enemigo() { byte $(($1 & 255)); byte $(($1 >> 8)); byte "$2"; byte "$3"; }
registro() { le32 "$1"; printf '%s' "$2"; byte "$3"; }

# --- scenarios ---

# A level played with the shipped levels: it scrolls, the truck changes lane, P pauses, ESC quits;
# the sound of the level is not silent.
esc_juego() {
    copia_juego k
    home_con_captura "$art/sonido.wav"
    lanza k ./korvex
    ventana '^KORVEX 2003$'
    hasta_nivel 1
    espera_camion 129 20
    # the WAV bytes written before the road moves: the rest is the sound of the level
    antes=$(tamano "$art/sonido.wav")

    # the road moves: two screenshots a second apart differ in the playfield
    npaso=$((npaso + 1))
    fin=$(($(ahora) + 20))
    while :; do
        captura mueve_a && sleep 1 && captura mueve_b &&
            ! "$herr/e2e_mira" "$work/k" "$work/mueve_a.ppm" igual "$work/mueve_b.ppm" 0 0 320 192 >"$work/m" &&
            { nota "la calle se mueve: $(cat "$work/m")"; break; }
        [ "$(ahora)" -lt "$fin" ] || fallo "el campo de juego no cambia en un segundo"
    done

    # a lane down: the truck's picture moves down 24 pixels (the bottom lane stops it there)
    y1=$(camion_y mueve_b)
    [ "$y1" = 129 ] || fallo "el camion no esta en el carril 2 (y=$y1)"
    manten Down 0.4
    espera_camion 153 10

    # P: "PAUSA" on the picture, and the picture stands still
    manten p 0.3
    espera pausa 10 pausa
    sleep 1
    npaso=$((npaso + 1))
    captura pausa_despues
    "$herr/e2e_mira" "$work/k" "$work/pausa.ppm" igual "$work/pausa_despues.ppm" 0 0 320 240 >"$work/m" ||
        fallo "la pausa no congela la imagen: $(cat "$work/m")"
    nota "pausa: la imagen queda quieta"
    manten p 0.3
    npaso=$((npaso + 1))
    fin=$(($(ahora) + 10))
    until captura sigue && ! "$herr/e2e_mira" "$work/k" "$work/sigue.ppm" igual "$work/pausa.ppm" 0 0 320 192 \
        >/dev/null; do
        [ "$(ahora)" -lt "$fin" ] || fallo "P otra vez no reanuda el juego"
        sleep 0.2
    done
    nota "P otra vez: el juego sigue"

    # ESC ends the program with status 0
    manten Escape 0.3
    termina 20
    [ "$rc" = 0 ] || fallo "ESC durante el juego: estado de salida $rc"
    nota "ESC: el programa termina con estado 0"

    # the level's sound: from the bytes written at the level start to the end
    desde=$(((antes - 44) / 4))
    sox "$art/sonido.wav" -n trim "${desde}s" stat 2>"$work/stat" || fallo "sox no lee el sonido capturado"
    rms=$(sed -n 's/^RMS *amplitude: *//p' "$work/stat")
    pico=$(sed -n 's/^Maximum amplitude: *//p' "$work/stat")
    largo=$(sed -n 's/^Length (seconds): *//p' "$work/stat")
    awk -v r="$rms" -v p="$pico" -v l="$largo" 'BEGIN { exit !(l > 0.5 && r > 0.005 && p > 0.05) }' ||
        fallo "el sonido del nivel es silencio (largo $largo s, RMS $rms, pico $pico)"
    nota "sonido del nivel: $largo s capturados, RMS $rms, pico $pico"
}

# The window's close button during the title ends the program with status 0.
esc_cierre() {
    copia_juego k
    home_con_captura "$work/sonido.wav"
    lanza k ./korvex
    ventana '^KORVEX 2003$'
    hasta_titulo
    "$herr/e2e_cierra" "$W" || fallo "no se pudo mandar WM_DELETE_WINDOW"
    termina 20
    [ "$rc" = 0 ] || fallo "cerrar la ventana en el titulo: estado de salida $rc"
    nota "boton de cerrar en el titulo: estado de salida 0"
}

# Word $1 (from 0) of the list $2.
palabra() { echo "$2" | cut -d' ' -f$(($1 + 1)); }

# Ranking of the win scenario: tables 0 and 1 plain; table 2 holds 12100 at place 5, which a
# total of 12100 must go above. Every reserved byte differs, so a moved record shows.
# With $1 = initials: the file as it must be after 12100 with them entered table 2.
ranking_prueba() {
    for i in 0 1 2 3 4 5 6 7 8 9; do registro $((10000 - 1000 * i)) AAA $i; done
    for i in 0 1 2 3 4 5 6 7 8 9; do registro $((20000 - 1000 * i)) BBB $((100 + i)); done
    pts="50000 40000 30000 20000 12100 9000 8000 7000 6000 5000"
    ini="CCA CCB CCC CCD CCE CCF CCG CCH CCI CCJ"
    for i in 0 1 2 3 4 5 6 7 8 9; do
        j=$i
        if [ -n "${1:-}" ] && [ $i -ge 4 ]; then
            j=$((i - 1))   # the records below the new one move down; each slot keeps its reserved byte
        fi
        if [ -n "${1:-}" ] && [ $i = 4 ]; then
            registro 12100 "$1" $((200 + i))
        else
            registro "$(palabra $j "$pts")" "$(palabra $j "$ini")" $((200 + i))
        fi
    done
}

# A short level made here is won: the win picture, the final score with the life bonus, the
# initials entry driven key by key, the ranking file rewritten byte for byte, the table shown.
esc_gana() {
    copia_juego k
    home_con_captura "$work/sonido.wav"
    rm -f "$work/k/levels/"*.map
    # speed code 3 (x2), the first shipped level's road, two bags on the truck's lane (row offset 72)
    {
        byte 3
        tail -c +2 "$src/levels/nivel_01.map" | head -c 1600
        enemigo 30 72 7
        enemigo 60 72 7
        head -c 1192 /dev/zero
    } >"$work/k/levels/e2e_corto.map"
    [ "$(tamano "$work/k/levels/e2e_corto.map")" = 2801 ] || fallo "el nivel de prueba no tiene 2801 bytes"
    ranking_prueba >"$work/k/datos/ranking.dat"
    ranking_prueba ZYB >"$work/ranking_esperado.dat"

    lanza k ./korvex
    ventana '^KORVEX 2003$'
    # "SOY JODIDO": 4 lives, 5 pixels per tick, x2 on this level: the road lasts about 34 s
    hasta_nivel 2
    espera_camion 129 20
    espera gane 150 gane
    espera puntaje 40 puntaje 4 100
    espera record 40 record 12100
    # the initials, one key at a time, each checked on the screen: ZYB
    for paso in Down:ZAA:0 Right:ZAA:1 Down:ZZA:1 Down:ZYA:1 Left:ZYA:0 Up:AYA:0 Down:ZYA:0 \
        Return:ZYA:1 Return:ZYA:2 Up:ZYB:2 Right:ZYB:2; do
        tecla "${paso%%:*}"
        resto=${paso#*:}
        espera "letras_${resto%%:*}_${resto#*:}" 10 letras "${resto%%:*}" "${resto#*:}"
    done
    sleep 0.5
    tecla Return
    espera letras_fin 10 letras ZYB 3
    espera tabla 30 tabla 3 4 datos/ranking.dat
    cp "$work/k/datos/ranking.dat" "$art/ranking.dat"
    cmp "$work/k/datos/ranking.dat" "$work/ranking_esperado.dat" ||
        fallo "datos/ranking.dat no es el esperado (ver $art/ranking.dat)"
    nota "datos/ranking.dat: 12100 ZYB en el puesto 5 de SOY JODIDO, los demas bytes intactos"
    # a key ends the table; the title comes back, and the close button ends the program
    tecla x
    espera estudio 40 estudio
    "$herr/e2e_cierra" "$W" || fallo "no se pudo mandar WM_DELETE_WINDOW"
    termina 30
    [ "$rc" = 0 ] || fallo "cerrar la ventana: estado de salida $rc"
}

# Bad data: a short ranking file (the shipped tables are shown, a stderr line, the file is left
# alone); a damaged level (a card names it, the title comes back, the file is left alone); a
# missing picture (the library's message box names it, the program waits for OK, then status 1).
esc_datos_malos() {
    copia_juego k
    home_con_captura "$work/sonido.wav"
    head -c 100 "$src/levels/nivel_01.map" >"$work/k/levels/nivel_00.map"
    head -c 100 "$src/datos/ranking.dat" >"$work/k/datos/ranking.dat"
    cp "$work/k/levels/nivel_00.map" "$work/nivel_antes"
    cp "$work/k/datos/ranking.dat" "$work/ranking_antes"
    lanza k ./korvex
    ventana '^KORVEX 2003$'

    # SPACE on the title: the three tables, the shipped ones, a key moving on
    hasta_titulo
    manten space 0.5
    espera tabla1 20 tabla 1 12 -
    tecla x
    espera tabla2 20 tabla 2 12 -
    tecla x
    espera tabla3 20 tabla 3 12 -
    grep -q '^datos/ranking.dat: tiene 100 bytes en vez de 240; se muestran los records de fabrica$' \
        "$art/salida.txt" || fallo "ninguna linea en stderr dice que datos/ranking.dat es corto"
    nota "ranking corto: las tablas de fabrica en pantalla, una linea en stderr"
    tecla x

    # the first level of the catalogue is damaged: a card names it, then the title again
    hasta_nivel 1
    espera nivel_malo 20 cartel "NO SE PUDO CARGAR EL NIVEL" "levels/nivel_00.map"
    espera estudio_otra_vez 40 estudio
    grep -q '^levels/nivel_00.map: nivel dañado (100 bytes, se esperan 2801)$' "$art/salida.txt" ||
        fallo "ninguna linea en stderr dice que levels/nivel_00.map esta dañado"
    nota "nivel dañado: un cartel lo nombra, vuelve el titulo, una linea en stderr"
    "$herr/e2e_cierra" "$W" || fallo "no se pudo mandar WM_DELETE_WINDOW"
    termina 30
    [ "$rc" = 0 ] || fallo "cerrar la ventana: estado de salida $rc"
    cmp -s "$work/k/levels/nivel_00.map" "$work/nivel_antes" || fallo "el nivel dañado fue modificado"
    cmp -s "$work/k/datos/ranking.dat" "$work/ranking_antes" || fallo "el ranking corto fue modificado"
    nota "los archivos dañados quedan como estaban; estado de salida 0"
    mv "$art/salida.txt" "$art/salida-datos.txt"

    # without datos/korvex.bmp: a message box names it, and the program waits for its OK
    copia_juego m
    rm "$work/m/datos/korvex.bmp"
    lanza m ./korvex
    X=$(timeout 30 xdotool search --sync --onlyvisible --name '^xmessage$' 2>/dev/null | head -1)
    [ -n "$X" ] || fallo "sin datos/korvex.bmp no aparece el mensaje"
    timeout 20 import -window "$X" "$art/$(printf %02d $((npaso + 1)))-mensaje.png"
    grep -q '^KORVEX: falta o esta dañado el archivo datos/korvex.bmp$' "$art/salida.txt" ||
        fallo "ninguna linea en stderr nombra datos/korvex.bmp"
    sleep 0.5
    kill -0 "$pid" 2>/dev/null || fallo "el programa no espera al OK del mensaje"
    xdotool windowfocus --sync "$X" && tecla Return
    termina 20
    [ "$rc" = 1 ] || fallo "sin datos/korvex.bmp el estado de salida es $rc"
    nota "imagen que falta: un mensaje la nombra, OK, estado de salida 1"
}

# --- the editor ---
# The state the editing screen must show: the level file it would show (ED_NIVEL), the name on the
# third status line (ED_ARCHIVO), and posx2 posx a b d c e modoene (ED_ESTADO). ed_guarda keeps a
# copy as the state before a key.
ed_guarda() {
    cp "$ED_NIVEL" "$work/nivel_previo"
    ED_PREVIO=$ED_ESTADO
}

# Sets byte $2 of file $1 to the value $3.
pon_byte() { byte "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }

# ed_tecla KEY POSX2 POSX A B D C E MODOENE: sends a key of the editing screen and waits for the
# screen to show the new state (the expected level file already changed by the caller). A key that
# the editor did not get (the screen still shows the state before after a while) is sent again.
ed_tecla() {
    k=$1
    shift
    ED_ESTADO="$*"
    npaso=$((npaso + 1))
    nombre="ed-$k-$(echo "$ED_ESTADO" | tr ' ' _)"
    tecla "$k"
    envios=1
    t0=$(ahora)
    fin=$((t0 + 20))
    while :; do
        vivo "$nombre"
        if captura "$nombre"; then
            # shellcheck disable=SC2086
            "$mira" -o "$art/$(printf %02d $npaso)-$nombre-esperado.bmp" "$work/k" "$work/$nombre.ppm" \
                edicion "$ED_NIVEL" "$ED_ARCHIVO" $ED_ESTADO >"$work/visto" 2>&1 && break
            # shellcheck disable=SC2086
            if [ $envios -lt 3 ] && [ "$(ahora)" -ge $((t0 + 2 * envios)) ] &&
                "$mira" "$work/k" "$work/$nombre.ppm" edicion "$work/nivel_previo" "$ED_ARCHIVO" $ED_PREVIO \
                    >/dev/null 2>&1; then
                nota "$k no llego al editor: se manda otra vez"
                tecla "$k"
                envios=$((envios + 1))
            fi
        fi
        [ "$(ahora)" -lt "$fin" ] || fallo "$nombre: la pantalla de edicion no coincide: $(cat "$work/visto")"
        sleep 0.1
    done
    rm -f "$work/$nombre.png"
    ed_guarda
}

# The pass and column the first status line shows, once two readings 0.3 s apart agree (keys of
# a burst may still be on their way): sets $pasada and $columna.
ed_lee_estado() {
    antes=""
    while :; do
        vivo "la linea de estado"
        captura estado || continue
        ahora_ve=$("$mira" "$work/k" "$work/estado.ppm" estado)
        case $ahora_ve in estado\ [0-9]*) ;; *) fallo "no se lee la primera linea de estado ($ahora_ve)" ;; esac
        [ "$ahora_ve" = "$antes" ] && break
        antes=$ahora_ve
        sleep 0.3
    done
    pasada=$(echo "$ahora_ve" | cut -d' ' -f2)
    columna=$(echo "$ahora_ve" | cut -d' ' -f3)
}

# Moves the cursor right in enemy mode from pass $1 - 1 onto pass $1: bursts of keys that stop
# short of the pass's end, the settled status line read between them, the last step alone, so
# that a lost key only costs another burst and never an extra step.
ed_hasta_pasada() {
    npaso=$((npaso + 1))
    fin=$(($(ahora) + 120))
    while :; do
        ed_lee_estado
        [ "$pasada" = "$1" ] && { nota "pasada $1, columna $columna"; return 0; }
        [ "$pasada" = $(($1 - 1)) ] || fallo "el cursor esta en la pasada $pasada, no en la $(($1 - 1))"
        [ "$(ahora)" -lt "$fin" ] || fallo "no se llega a la pasada $1 (pasada $pasada, columna $columna)"
        falta=$((199 - columna))
        [ $falta -gt 40 ] && falta=40
        [ $falta -eq 0 ] && falta=1   # on the last column: the step onto the next pass
        # shellcheck disable=SC2046
        xdotool key --delay 15 $(yes Right | head -n $falta)
    done
}

# The editor makes a level: new map, blocks painted, enemies on two passes (one placed and erased),
# speed x1.5, saved; the file's bytes are checked, and the game then counts the new level.
esc_editor() {
    mira=$herr/e2e_mira_editor
    copia_juego k
    home_con_captura "$work/sonido.wav"
    n_antes=$(ls "$work/k/levels/" | wc -l)
    nuevo="levels/nivel_0$((n_antes + 1)).map"
    [ ! -e "$work/k/$nuevo" ] || fallo "$nuevo ya existe antes de empezar"
    ED_NIVEL=$work/nivel_esperado
    ED_ARCHIVO=$nuevo
    cp "$src/datos/newlevel.dat" "$ED_NIVEL"

    lanza k ./korveditor
    ventana '^KORV-EDITOR 2003$'
    espera menu 20 menu 1 0
    tecla Return
    ED_ESTADO="0 0 0 0 1 0 0 0"
    espera nuevo 20 edicion "$ED_NIVEL" "$ED_ARCHIVO" $ED_ESTADO
    ed_guarda

    # blocks: block 3 on column 0 row 0 and column 1 row 1; block 4 on column 11 row 1 (the view scrolled)
    ed_tecla s 0 0 0 0 1 1 0 0
    ed_tecla s 0 0 0 0 1 2 0 0
    ed_tecla s 0 0 0 0 1 3 0 0
    pon_byte "$ED_NIVEL" 1 3
    ed_tecla d 0 0 0 0 1 3 0 0
    ed_tecla Right 0 0 1 0 1 3 0 0
    ed_tecla Down 0 0 1 1 1 3 0 0
    pon_byte "$ED_NIVEL" 202 3
    ed_tecla d 0 0 1 1 1 3 0 0
    ed_tecla s 0 0 1 1 1 4 0 0
    for x in 2 3 4 5 6 7 8 9; do ed_tecla Right 0 0 $x 1 1 4 0 0; done
    ed_tecla Right 0 1 9 1 1 4 0 0
    ed_tecla Right 0 2 9 1 1 4 0 0
    pon_byte "$ED_NIVEL" 212 4
    ed_tecla d 0 2 9 1 1 4 0 0
    nota "fondo pintado: bloque 3 en (0,0) y (1,1), bloque 4 en (11,1)"

    # enemies on pass 0: type 2 at column 11 row 1, type 3 at column 11 row 2; one put and erased
    ed_tecla space 0 2 9 1 1 4 0 1
    ed_tecla s 0 2 9 1 1 4 1 1
    cp "$ED_NIVEL" "$work/sin_enemigos"
    { enemigo 11 24 2; } | dd of="$ED_NIVEL" bs=1 seek=1601 conv=notrunc status=none
    ed_tecla d 0 2 9 1 1 4 1 1
    ed_tecla Down 0 2 9 1 2 4 1 1
    ed_tecla s 0 2 9 1 2 4 2 1
    { enemigo 11 24 2; enemigo 11 48 3; } | dd of="$ED_NIVEL" bs=1 seek=1601 conv=notrunc status=none
    ed_tecla d 0 2 9 1 2 4 2 1
    ed_tecla Left 0 2 8 1 2 4 2 1
    { enemigo 11 24 2; enemigo 11 48 3; enemigo 10 48 3; } |
        dd of="$ED_NIVEL" bs=1 seek=1601 conv=notrunc status=none
    ed_tecla d 0 2 8 1 2 4 2 1
    { enemigo 11 24 2; enemigo 11 48 3; enemigo 0 0 0; } | dd of="$ED_NIVEL" bs=1 seek=1601 conv=notrunc status=none
    ed_tecla f 0 2 8 1 2 4 2 1

    # pass 1: a bag (type 7) at column 9 row 3, an explosive (type 6) at column 9 row 2
    ed_hasta_pasada 1
    ED_ESTADO="1 0 9 1 2 4 2 1"
    espera pasada1 20 edicion "$ED_NIVEL" "$ED_ARCHIVO" $ED_ESTADO
    ed_guarda
    ed_tecla Down 1 0 9 1 3 4 2 1
    for x in 3 4 5 6; do ed_tecla s 1 0 9 1 3 4 $x 1; done
    { enemigo 11 24 2; enemigo 11 48 3; enemigo 209 72 7; } |
        dd of="$ED_NIVEL" bs=1 seek=1601 conv=notrunc status=none
    ed_tecla d 1 0 9 1 3 4 6 1
    ed_tecla Up 1 0 9 1 2 4 6 1
    ed_tecla a 1 0 9 1 2 4 5 1
    { enemigo 11 24 2; enemigo 11 48 3; enemigo 209 72 7; enemigo 209 48 6; } |
        dd of="$ED_NIVEL" bs=1 seek=1601 conv=notrunc status=none
    ed_tecla d 1 0 9 1 2 4 5 1
    nota "enemigos en las pasadas 0 y 1"

    # the main menu: OPCIONES MAPA, x1.5; then GUARDAR
    pulsa Escape "edicion $ED_NIVEL $ED_ARCHIVO $ED_ESTADO" menu_1 20 menu 1 1
    pulsa Down "menu 1 1" menu_2 20 menu 2 1
    pulsa Down "menu 2 1" menu_3 20 menu 3 1
    pulsa Return "menu 3 1" velocidad_1 20 velocidad 1
    pulsa Right "velocidad 1" velocidad_2 20 velocidad 2
    pulsa Return "velocidad 2" menu_otra_vez 20 menu 1 1
    for x in 2 3 4; do
        pulsa Down "menu $((x - 1)) 1" "menu_$x" 20 menu $x 1
    done
    [ ! -e "$work/k/$nuevo" ] || fallo "$nuevo existe antes de GUARDAR"
    pulsa Return "menu 4 1" menu_guardado 20 menu 1 1
    fin=$(($(ahora) + 20))
    until [ -f "$work/k/$nuevo" ]; do
        [ "$(ahora)" -lt "$fin" ] || fallo "GUARDAR no escribe $nuevo"
        sleep 0.2
    done

    # the file: speed code 2, the template's map with the three blocks, the enemies by row then column
    {
        byte 2
        tail -c +2 "$src/datos/newlevel.dat" | head -c 1600
        enemigo 11 24 2
        enemigo 11 48 3
        enemigo 209 48 6
        enemigo 209 72 7
        head -c 1184 /dev/zero
    } >"$work/guardado_esperado"
    pon_byte "$work/guardado_esperado" 1 3
    pon_byte "$work/guardado_esperado" 202 3
    pon_byte "$work/guardado_esperado" 212 4
    cp "$work/k/$nuevo" "$art/$(basename "$nuevo")"
    cmp "$work/k/$nuevo" "$work/guardado_esperado" || fallo "$nuevo no tiene los bytes esperados"
    nota "$nuevo: 2801 bytes, velocidad 2, tres bloques, cuatro enemigos por fila y columna"

    # ESC in the menu: the editing screen as it was left, now from the saved file
    pulsa Escape "menu 1 1" vuelve 20 edicion "$nuevo" "$ED_ARCHIVO" $ED_ESTADO
    pulsa Escape "edicion $nuevo $ED_ARCHIVO $ED_ESTADO" menu_fin 20 menu 1 1
    pulsa Up "menu 1 1" menu_salir 20 menu 5 1
    # SALIR with nothing unsaved ends the program at once (the key is sent again if it was lost)
    tecla Return
    fin=$(($(ahora) + 5))
    while kill -0 "$pid" 2>/dev/null && [ "$(ahora)" -lt "$fin" ]; do sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && captura salir_otra_vez &&
        "$mira" "$work/k" "$work/salir_otra_vez.ppm" menu 5 1 >/dev/null 2>&1 && tecla Return
    termina 20
    [ "$rc" = 0 ] || fallo "SALIR: estado de salida $rc"
    nota "SALIR: estado de salida 0"

    # the game counts the new level
    mira=$herr/e2e_mira
    mv "$art/salida.txt" "$art/salida-editor.txt"
    lanza k ./korvex -info
    ventana '^KORVEX 2003$'
    espera info 20 info $((n_antes + 1))
    "$herr/e2e_cierra" "$W" || fallo "no se pudo mandar WM_DELETE_WINDOW"
    termina 30
    [ "$rc" = 0 ] || fallo "cerrar el juego: estado de salida $rc"
}

arranca_x
case $esc in
    juego) esc_juego ;;
    cierre) esc_cierre ;;
    gana) esc_gana ;;
    datos_malos) esc_datos_malos ;;
    editor) esc_editor ;;
    *) fallo "escenario desconocido: $esc" ;;
esac
echo "ok [$esc]"
