#!/bin/sh
# Level sets as a player and a level maker meet them, out of the box: the editor opens on MIS NIVELES,
# NUEVO MAPA makes its first level (a block, a bag on the truck's lane, x2), GUARDAR says so and the
# file has the expected bytes; the game's difficulty menu switches to that set, plays it and its record
# goes into the set's own table (the campaign's ranking untouched); a practice of the level is recorded
# as the last run, says it enters no table and changes neither table nor best run. Then the set
# exported by the editor (no display), installed by the installed game under a fresh HOME (the same
# level bytes), and a pack opened as a file manager opens it: the notice, then the set chosen; a bad
# one: the reason on screen, nothing written.
# Usage: conjuntos.sh KORV_DIR ARTEFACTOS
. "$(dirname "$0")/escena.sh"
escena_empieza conjuntos "$1" "$2"
build=$(cd "$1/.." && pwd)
propio=$K/conjuntos/mis_niveles

salta_al_titulo() { tecla x; muestra korvex; }
no_titulo() { pintada && ! muestra korvex && ! muestra lurgo; }
# The initials screen: the picture still, not the win picture, text in the top band ("NUEVO RECORD").
anterior=""
iniciales() {
    r=1
    [ -n "$anterior" ] && igual "$anterior" && ! muestra gane &&
        [ "$(convert "$FOTO" -crop 320x20+0+4 +repage -colorspace gray -format '%[fx:maxima]' info:)" != 0 ] && r=0
    cp "$FOTO" "$E/anterior.png" && anterior=$E/anterior.png
    return $r
}
# Waits up to $2 s for file $1 to differ from $3 (or, without $3, to exist).
espera_archivo() {
    fin=$(($(ahora) + $2))
    until [ -f "$1" ] && { [ -z "${3:-}" ] || ! cmp -s "$1" "$3"; }; do
        vivo "$1"
        [ "$(ahora)" -lt "$fin" ] || fallo "$1 no se escribe en $2 s"
        sleep 0.3
    done
    sleep 0.5
}

# --- the editor, out of the box: its own set, a new level, saved ---
lanza ./korveditor
ventana '^KORV-EDITOR 2003$'
hasta 20 editor_menu pintada
pulsa Return
for k in s s s; do pulsa $k; done
pulsa_ciega d
pulsa space
for i in 1 2 3 4 5 6 7 8 9 10; do pulsa Right; done
pulsa Down; pulsa Down
for k in s s s s s s; do pulsa $k; done
pulsa_ciega d
captura editor_sin_guardar
pulsa Escape
pulsa Down; pulsa Down; pulsa Return; pulsa Right; pulsa Right; pulsa Return
pulsa Down; pulsa Down; pulsa Down
[ -e "$propio/nivel_01.map" ] && fallo "el nivel existe antes de GUARDAR"
tecla Return
espera_archivo "$propio/nivel_01.map" 20
captura editor_guardado
# The template, code 3 (x2), block 3 at column 0 row 0, a bag (7) at column 10 on row 3 (offset 72).
pon() { byte "$2" | dd of="$E/esperado" bs=1 seek="$1" conv=notrunc status=none; }
cp "$K/datos/newlevel.dat" "$E/esperado"
pon 0 3; pon 1 3
printf '\012\000\110\007' | dd of="$E/esperado" bs=1 seek=1601 conv=notrunc status=none
cmp "$propio/nivel_01.map" "$E/esperado" || fallo "conjuntos/mis_niveles/nivel_01.map no tiene los bytes esperados"
grep -q '^nombre = MIS NIVELES$' "$propio/conjunto.txt" || fallo "conjunto.txt: $(cat "$propio/conjunto.txt")"
pulsa Escape
captura editor_guardado_mapa
pulsa Escape
pulsa Up
tecla Return
termina 20
[ "$RC" = 0 ] || fallo "SALIR: estado $RC"
nota "editor: MIS NIVELES de entrada, NUEVO MAPA, GUARDAR: conjuntos/mis_niveles/nivel_01.map con sus bytes"

# --- the game: the set chosen, played, its own table ---
cp "$K/datos/ranking.dat" "$E/ranking_campana"
lanza ./korvex
ventana '^KORVEX 2003$'
hasta 40 estudio muestra lurgo
hasta 40 titulo salta_al_titulo
manten Return 0.5
hasta 20 menu no_titulo
pulsa Right
pulsa Down
pulsa Return
nota "menu: el conjunto MIS NIVELES, SOY JODIDO"
hasta 120 gane muestra gane
hasta 60 iniciales iniciales
for k in Return Return Return; do pulsa $k; done
espera_archivo "$propio/ranking.dat" 20
captura tabla
python3 - "$propio/ranking.dat" <<'EOF' || fallo "la tabla del conjunto no es la esperada"
import struct, sys
d = open(sys.argv[1], 'rb').read()
esperado = bytearray(240)
esperado[160:168] = struct.pack('<I', 50 + 4 * 3000) + b'AAA\0'
sys.exit(0 if d == bytes(esperado) else 1)
EOF
cmp -s "$K/datos/ranking.dat" "$E/ranking_campana" || fallo "el ranking de la campana cambio"
[ -f "$propio/mejor_2.rep" ] || fallo "falta la mejor partida del conjunto"
cmp -s "$K/datos/ultima.rep" "$propio/mejor_2.rep" || fallo "la mejor del conjunto no es la ultima partida"
grep -q "MIS NIVELES" "$K/datos/ultima.rep" || fallo "ultima.rep no nombra el conjunto"
nota "ganado: 12050 AAA en SOY JODIDO del conjunto; el ranking de la campana igual; mejor_2.rep en su carpeta"

# --- practice: recorded, not ranked ---
cp "$propio/ranking.dat" "$E/ranking_propio"; cp "$propio/mejor_2.rep" "$E/mejor_propio"; cp "$K/datos/ultima.rep" "$E/ultima"
hasta 40 estudio2 muestra lurgo
hasta 40 titulo2 salta_al_titulo
manten Return 0.5
hasta 20 menu_practicar no_titulo
pulsa Down; pulsa Down
pulsa Return
captura practica
pulsa Down
pulsa Return
espera_archivo "$K/datos/ultima.rep" 120 "$E/ultima"
captura fin_practica
grep -q "MIS NIVELES" "$K/datos/ultima.rep" || fallo "ultima.rep no nombra el conjunto de la practica"
cmp -s "$propio/ranking.dat" "$E/ranking_propio" && cmp -s "$propio/mejor_2.rep" "$E/mejor_propio" ||
    fallo "la practica cambio la tabla o la mejor partida"
hasta 40 estudio3 muestra lurgo
hasta 40 titulo3 salta_al_titulo
manten Escape 0.5
termina 20
[ "$RC" = 0 ] || fallo "ESC en el titulo: estado $RC"
nota "practica: ultima.rep la nombra, ni la tabla ni la mejor cambian"

# --- shared: exported without a display, installed elsewhere ---
(cd "$K" && env -u DISPLAY HOME="$E/home" ./korveditor -exporta "MIS NIVELES" "$E/mis.korvex") >"$ART/exporta.txt" 2>&1 ||
    fallo "-exporta: $(cat "$ART/exporta.txt")"
cp "$E/mis.korvex" "$ART/"
cmake --install "$build" --prefix "$E/p" >/dev/null || fallo "cmake --install"
casa=$E/casa2
mkdir -p "$casa" "$E/otra"
(cd "$E/otra" && env -u DISPLAY -u XDG_DATA_HOME HOME="$casa" "$E/p/games/korvex" -instala "$E/mis.korvex") >"$ART/instala.txt" 2>&1 ||
    fallo "-instala: $(cat "$ART/instala.txt")"
instalado=$casa/.local/share/korvex/conjuntos/mis_niveles
cmp "$instalado/nivel_01.map" "$propio/nivel_01.map" || fallo "el nivel instalado no es el del editor"
grep -q 'instalado el conjunto "MIS NIVELES"' "$ART/instala.txt" || fallo "-instala: $(cat "$ART/instala.txt")"
nota "-exporta y -instala sin pantalla: el mismo nivel byte a byte"

# The package's file type, and the pack opened as a file manager opens it (Exec=korvex %f).
update-mime-database "$E/p/share/mime" >/dev/null 2>&1
grep -q '^50:application/x-korvex-niveles:\*\.korvex$' "$E/p/share/mime/globs2" || fallo "el tipo MIME no declara *.korvex"
grep -q '^MimeType=application/x-korvex-niveles;$' "$E/p/share/applications/korvex.desktop" || fallo "korvex.desktop sin MimeType"
PROG=korvex
(cd "$E/otra" && exec env -u XDG_DATA_HOME HOME="$E/casa3" "$E/p/games/korvex" "$E/mis.korvex") >"$ART/abre.txt" 2>&1 &
PID=$!
ventana '^KORVEX 2003$'
hasta 20 abierto pintada
sleep 0.5
captura aviso_instalado
grep -q 'instalado el conjunto "MIS NIVELES"' "$ART/abre.txt" || fallo "abrir el paquete no lo instala: $(cat "$ART/abre.txt")"
tecla x
hasta 40 estudio4 muestra lurgo
hasta 40 titulo4 salta_al_titulo
manten Return 0.5
hasta 20 menu_instalado no_titulo
sleep 0.5
captura menu_instalado
kill -9 "$PID"; wait "$PID" 2>/dev/null; PID=""
nota "el paquete abierto: el aviso, y el menu con MIS NIVELES elegido"

# A pack that is not one, opened the same way: the reason on screen and on stderr, then the title.
printf 'PK\003\004basura' >"$E/malo.korvex"
(cd "$E/otra" && exec env -u XDG_DATA_HOME HOME="$E/casa4" "$E/p/games/korvex" "$E/malo.korvex") >"$ART/abre_malo.txt" 2>&1 &
PID=$!
ventana '^KORVEX 2003$'
hasta 20 rechazado pintada
sleep 0.5
captura aviso_rechazado
grep -q "malo.korvex: no es un paquete de niveles" "$ART/abre_malo.txt" || fallo "sin la linea del rechazo: $(cat "$ART/abre_malo.txt")"
[ ! -e "$E/casa4/.local/share/korvex/conjuntos" ] || fallo "un paquete rechazado escribio algo"
kill -9 "$PID"; wait "$PID" 2>/dev/null; PID=""
nota "un paquete malo abierto: el motivo en pantalla y en stderr, nada escrito"
