#!/bin/sh
# Level sets as a player and a level maker meet them, out of the box: the editor opens on MIS NIVELES,
# NUEVO MAPA makes its first level (the template at x2), GUARDAR says so and the file has the expected
# bytes; the game's difficulty menu switches to that set, plays it and its record goes into the set's
# own table (the campaign's ranking untouched); a practice of the level is recorded as the last run,
# says it enters no table and changes neither table nor best run. Then the set exported by the editor
# (no display), installed by the installed game under a fresh HOME (the same level bytes), and a pack
# opened as a file manager opens it: the notice, then the set chosen; a bad one: the reason on screen,
# nothing written.
# Usage: conjuntos.sh KORV_DIR ARTEFACTOS
. "$(dirname "$0")/escena.sh"
escena_empieza conjuntos "$1" "$2"
build=$(cd "$1/.." && pwd)
propio=$K/conjuntos/mis_niveles

# True when file $1 exists and differs from file $2 (when given).
escrito() { [ -f "$1" ] && { [ -z "$2" ] || ! cmp -s "$1" "$2"; }; }
# Waits up to $2 s for file $1 to differ from $3 (or, without $3, to exist).
espera_archivo() { espera "$2" "$1 no se escribe en $2 s" escrito "$1" "${3:-}"; sleep 0.5; }
# The installed game opens pack $1 as a file manager does, under HOME $2; its output in $ART/$3.txt.
abre_paquete() {
    PROG=korvex
    (cd "$E/otra" && exec env -u XDG_DATA_HOME HOME="$2" "$E/p/games/korvex" "$1") >"$ART/$3.txt" 2>&1 &
    PID=$!
    ventana '^KORVEX 2003$'
    hasta 20 "$3" pintada
    sleep 0.5
    captura "aviso_$3"
}

# --- the editor, out of the box: its own set, a new level (its speed x2), saved ---
lanza ./korveditor
ventana '^KORV-EDITOR 2003$'
hasta 20 editor_menu pintada
# NUEVO MAPA, back to the menu, OPCIONES MAPA: x2, GUARDAR
for k in Return Escape Down Down Return Right Right Return Down Down Down; do pulsa $k; done
[ -e "$propio/nivel_01.map" ] && fallo "el nivel existe antes de GUARDAR"
tecla Return
espera_archivo "$propio/nivel_01.map" 20
captura editor_guardado
{ byte 3; tail -c +2 "$K/datos/newlevel.dat"; } >"$E/esperado"
cmp "$propio/nivel_01.map" "$E/esperado" || fallo "conjuntos/mis_niveles/nivel_01.map no tiene los bytes esperados"
grep -q '^nombre = MIS NIVELES$' "$propio/conjunto.txt" || fallo "conjunto.txt: $(cat "$propio/conjunto.txt")"
for k in Escape Escape Up; do pulsa $k; done
tecla Return
termina 20
[ "$RC" = 0 ] || fallo "SALIR: estado $RC"
nota "editor: MIS NIVELES de entrada, NUEVO MAPA, GUARDAR: conjuntos/mis_niveles/nivel_01.map con sus bytes"

# --- the game: the set chosen, played, its own table ---
cp "$K/datos/ranking.dat" "$E/ranking_campana"
al_titulo
manten Return 0.5
hasta 20 menu no_titulo
for k in Right Down Return; do pulsa $k; done
nota "menu: el conjunto MIS NIVELES, SOY JODIDO"
hasta 120 gane muestra gane
anterior=""
hasta 60 iniciales iniciales
for k in Return Return Return; do pulsa $k; done
espera_archivo "$propio/ranking.dat" 20
captura tabla
{ head -c 160 /dev/zero; le32 12000; printf 'AAA\000'; head -c 72 /dev/zero; } >"$E/tabla"
cmp -s "$propio/ranking.dat" "$E/tabla" || fallo "la tabla del conjunto no es la esperada"
cmp -s "$K/datos/ranking.dat" "$E/ranking_campana" || fallo "el ranking de la campana cambio"
cmp -s "$K/datos/ultima.rep" "$propio/mejor_2.rep" || fallo "la mejor del conjunto no es la ultima partida"
nota "ganado: 12000 AAA en SOY JODIDO del conjunto; el ranking de la campana igual; mejor_2.rep en su carpeta"

# --- practice: recorded, not ranked ---
cp "$propio/ranking.dat" "$E/ranking_propio"; cp "$propio/mejor_2.rep" "$E/mejor_propio"; cp "$K/datos/ultima.rep" "$E/ultima"
de_nuevo_al_titulo 2
manten Return 0.5
hasta 20 menu_practicar no_titulo
for k in Down Down Return; do pulsa $k; done   # PRACTICAR: the practice screen
captura practica
for k in Down Return; do pulsa $k; done
espera_archivo "$K/datos/ultima.rep" 120 "$E/ultima"
captura fin_practica
grep -q "MIS NIVELES" "$K/datos/ultima.rep" || fallo "ultima.rep no nombra el conjunto de la practica"
cmp -s "$propio/ranking.dat" "$E/ranking_propio" && cmp -s "$propio/mejor_2.rep" "$E/mejor_propio" ||
    fallo "la practica cambio la tabla o la mejor partida"
de_nuevo_al_titulo 3
manten Escape 0.5
termina 20
[ "$RC" = 0 ] || fallo "ESC en el titulo: estado $RC"
nota "practica: ultima.rep la nombra, ni la tabla ni la mejor cambian"

# --- shared: exported without a display, installed elsewhere ---
(cd "$K" && env -u DISPLAY HOME="$E/home" ./korveditor -exporta "MIS NIVELES" "$E/mis.korvex") >"$ART/exporta.txt" 2>&1 ||
    fallo "-exporta: $(cat "$ART/exporta.txt")"
cmake --install "$build" --prefix "$E/p" >/dev/null || fallo "cmake --install"
mkdir -p "$E/casa2" "$E/otra"
(cd "$E/otra" && env -u DISPLAY -u XDG_DATA_HOME HOME="$E/casa2" "$E/p/games/korvex" -instala "$E/mis.korvex") >"$ART/instala.txt" 2>&1 ||
    fallo "-instala: $(cat "$ART/instala.txt")"
cmp "$E/casa2/.local/share/korvex/conjuntos/mis_niveles/nivel_01.map" "$propio/nivel_01.map" || fallo "el nivel instalado no es el del editor"
grep -q 'instalado el conjunto "MIS NIVELES"' "$ART/instala.txt" || fallo "-instala: $(cat "$ART/instala.txt")"
nota "-exporta y -instala sin pantalla: el mismo nivel byte a byte"

# The package's file type, and the pack opened as a file manager opens it (Exec=korvex %f).
update-mime-database "$E/p/share/mime" >/dev/null 2>&1
grep -q '^50:application/x-korvex-niveles:\*\.korvex$' "$E/p/share/mime/globs2" || fallo "el tipo MIME no declara *.korvex"
grep -q '^MimeType=application/x-korvex-niveles;$' "$E/p/share/applications/korvex.desktop" || fallo "korvex.desktop sin MimeType"
abre_paquete "$E/mis.korvex" "$E/casa3" abre
grep -q 'instalado el conjunto "MIS NIVELES"' "$ART/abre.txt" || fallo "abrir el paquete no lo instala: $(cat "$ART/abre.txt")"
tecla x
de_nuevo_al_titulo 4
manten Return 0.5
hasta 20 menu_instalado no_titulo
sleep 0.5; captura menu_instalado
mata
nota "el paquete abierto: el aviso, y el menu con MIS NIVELES elegido"

# A pack that is not one, opened the same way: the reason on screen and on stderr, then the title.
printf 'PK\003\004basura' >"$E/malo.korvex"
abre_paquete "$E/malo.korvex" "$E/casa4" abre_malo
grep -q "malo.korvex: no es un paquete de niveles" "$ART/abre_malo.txt" || fallo "sin la linea del rechazo: $(cat "$ART/abre_malo.txt")"
[ ! -e "$E/casa4/.local/share/korvex/conjuntos" ] || fallo "un paquete rechazado escribio algo"
mata
nota "un paquete malo abierto: el motivo en pantalla y en stderr, nada escrito"
