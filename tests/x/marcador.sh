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
# Conditions for hasta (the initials screen is the library's): the first row of a table drawn; the
# top band as on the table after the run.
anterior=""
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
pulsa e
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
al_titulo -conjunto PRUEBA
espera 30 "la partida pendiente no se envia al arrancar" [ "$(pendientes)" = 0 ]
espera 30 "la partida reenviada no llega a la tabla" [ "$(tabla | wc -l)" = 2 ]
nota "al arrancar de nuevo: enviada sola; la tabla en linea tiene las dos"

# --- the picture never waits on the network: L's time to the screen, the server answering (the
# reference) and a server that takes the connection and never answers; TERM ends the game at once ---
# Milliseconds from key $1 to a picture that differs from the one before it.
latencia() {
    captura "antes-$1" || fallo "no se pudo capturar la ventana"
    previa=$FOTO t0=$(date +%s%N)
    tecla "$1"
    until captura "$1" && distinta "$previa"; do
        rm -f "$FOTO"
        [ $(( $(date +%s%N) - t0 )) -lt 5000000000 ] || fallo "la tecla $1 no cambia la pantalla en 5 s"
    done
    echo $(( ($(date +%s%N) - t0) / 1000000 ))
}
# The median of five presses of L (each switches the view; the views alternate).
mediana() { for i in 1 2 3 4 5; do latencia l; sleep 0.5; done | sort -n | tr '\n' ' ' | awk '{ print $3 " ms (" $0 ")" }'; }
hasta 120 tabla_del_titulo2 como_tabla
sleep 0.5   # the table's wait under way: a key before it would be cleared
ref=$(mediana)
captura en_linea2
latencia l >/dev/null
para_servidor
python3 -c 'import socket, sys, time
s = socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", int(sys.argv[1]))); s.listen(16); c = []
while True: c.append(s.accept())' "$puerto" &
SPID=$!
sleep 0.5
mudo=$(mediana)
captura pidiendo
echo "L hasta la imagen, mediana de 5: con el servidor $ref; con un servidor mudo $mudo" >"$ART/latencia.txt"
[ "${mudo%% *}" -lt 2000 ] || fallo "la pantalla espera a la red: $(cat "$ART/latencia.txt")"
tecla l
sleep 0.3
t0=$(ahora)
kill "$PID"
termina 3
para_servidor
nota "$(cat "$ART/latencia.txt"); TERM con un pedido colgado: fin en $(($(ahora) - t0)) s"
