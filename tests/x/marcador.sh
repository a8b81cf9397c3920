#!/bin/sh
# The online tables as a player meets them: a one-level set won at SOY JODIDO, its table offers E, E
# sends the run to a real korvex-marcador (127.0.0.1, a free port, a fresh database) and the online
# table on screen shows it once replayed; with the server stopped, E on the title's table gives the
# notice and the run waits in pendientes/; at the next start, the server up again, it goes by itself.
# Usage: marcador.sh KORV_DIR ARTEFACTOS
. "$(dirname "$0")/escena.sh"
escena_empieza marcador "$1" "$2"
[ -x "$K/korvex-marcador" ] || fallo "falta korvex-marcador"
puerto=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
url=http://127.0.0.1:$puerto
SPID=""
trap '[ -n "$SPID" ] && kill "$SPID" 2>/dev/null; escena_limpia' EXIT
# The server, up once its page answers.
servidor() {
    "$K/korvex-marcador" -direccion 127.0.0.1 -puerto "$puerto" -base "$E/marcador.db" >>"$ART/servidor.txt" 2>&1 &
    SPID=$!
    for i in $(seq 100); do curl -s -o /dev/null "$url/" && return 0; sleep 0.1; done
    fallo "el servidor no arranca: $(cat "$ART/servidor.txt")"
}
para_servidor() { kill "$SPID"; wait "$SPID" 2>/dev/null; SPID=""; }
# Rows of the set's online table of SOY JODIDO as "INI PUNTOS" lines.
tabla() { curl -s "$url/api/tablas/prueba/2" | python3 -c 'import json, sys; [print(f["iniciales"], f["puntos"]) for f in json.load(sys.stdin)]'; }
pendientes() { ls "$K/datos/pendientes/" 2>/dev/null | grep -c '\.rep$'; }
# Conditions for hasta: the initials screen (still, text in the top band); the first row of a table
# drawn; the top band as on the table after the run.
anterior=""
iniciales() {
    r=1
    [ -n "$anterior" ] && igual "$anterior" && ! muestra gane &&
        [ "$(convert "$FOTO" -crop 320x20+0+4 +repage -colorspace gray -format '%[fx:maxima]' info:)" != 0 ] && r=0
    cp "$FOTO" "$E/anterior.png" && anterior=$E/anterior.png
    return $r
}
fila1() { [ "$(convert "$FOTO" -crop 320x16+0+30 +repage -colorspace gray -format '%[fx:maxima]' info:)" != 0 ]; }
como_tabla() { [ "$(difieren "$FOTO" "$TABLA" 320x28+0+0)" = 0 ] 2>/dev/null; }
sin_fila1() { ! fila1 && pintada; }

mkdir -p "$K/conjuntos/prueba" "$E/home/.config/korvex"
printf 'nombre = PRUEBA\n' >"$K/conjuntos/prueba/conjunto.txt"
nivel "$K/conjuntos/prueba/nivel_01.map" 3 10 72 7   # x2, a bag on the truck's lane
printf 'marcador = %s\n' "$url" >"$E/home/.config/korvex/korvex.cfg"
servidor

# --- won, sent, in the online table ---
al_titulo
manten Return 0.5
hasta 20 menu no_titulo
pulsa Right; pulsa Down; pulsa Return
hasta 120 gane muestra gane
hasta 60 iniciales iniciales
for k in Return Return Return; do pulsa $k; done
hasta 20 tabla_local fila1
TABLA=$FOTO
pulsa e
hasta 60 en_linea fila1
sleep 1
captura en_linea
[ "$(tabla)" = "AAA 12050" ] || fallo "la tabla en linea: $(tabla)"
nota "ganada, E: enviada y verificada; la tabla en linea la muestra: AAA 12050"

# --- the server stopped: the notice on the title's table of the set, the run kept ---
kill "$PID"
termina 10
para_servidor
al_titulo -conjunto PRUEBA
hasta 120 tabla_del_titulo como_tabla
tecla e
espera 20 "la partida no queda en pendientes/" [ "$(pendientes)" = 1 ]
hasta 20 aviso sin_fila1
sleep 1
captura aviso
grep -q "se descarta" "$ART/salida.txt" && fallo "una partida descartada: $(cat "$ART/salida.txt")"
kill "$PID"
termina 10
nota "sin servidor: el aviso, la partida en pendientes/"

# --- the next start: sent by itself ---
servidor
lanza ./korvex
ventana '^KORVEX 2003$'
espera 30 "la partida pendiente no se envia al arrancar" [ "$(pendientes)" = 0 ]
espera 30 "la partida reenviada no llega a la tabla" [ "$(tabla | wc -l)" = 2 ]
mata
para_servidor
nota "al arrancar de nuevo: enviada sola; la tabla en linea tiene las dos"
