#!/bin/sh
# Both programs with each start-up file missing or damaged (empty, cut short, garbage, a folder in
# its place, a BMP header whose rows lie past its end): each stops within 20 s with status 1 and
# a line on stderr naming the file; no crash, no hang.
# Usage: arranque_malo.sh KORV_DIR ARTEFACTOS
. "$(dirname "$0")/escena.sh"
escena_empieza arranque_malo "$1" "$2"
n=0
prueba() {
    prog=$1
    shift
    for f in "$@"; do
        cp "$K/$f" "$E/bueno"
        for caso in falta vacio corto basura carpeta cabecera; do
            rm -rf "${K:?}/$f"
            case $caso in
            vacio) : >"$K/$f" ;;
            corto) head -c $(($(stat -c %s "$E/bueno") / 3)) "$E/bueno" >"$K/$f" ;;
            basura) head -c "$(stat -c %s "$E/bueno")" /dev/urandom >"$K/$f" ;;
            carpeta) mkdir -p "$K/$f/dentro" ;;
            cabecera) { head -c 24 "$E/bueno"; head -c 3000 /dev/urandom; } >"$K/$f" ;;
            esac
            # no xmessage on PATH: the library's message box would wait for a click
            (cd "$K" && HOME=$E/home timeout 20 env PATH=/nonexistent "./$prog") >"$E/out" 2>&1
            rc=$?
            rm -rf "${K:?}/$f"
            cp "$E/bueno" "$K/$f"
            [ "$rc" = 1 ] || { cp "$E/out" "$ART/salida.txt"; fallo "$prog con $f $caso: estado $rc"; }
            grep -q "$f" "$E/out" || { cp "$E/out" "$ART/salida.txt"; fallo "$prog con $f $caso: ningun mensaje lo nombra"; }
            n=$((n + 1))
        done
    done
}
prueba korvex datos/font.dat datos/imagen.bmp datos/lurgo.bmp datos/korvex.bmp datos/gane.bmp datos/gane_en.bmp \
    datos/explocio.wav datos/camio1.wav datos/bolsa.wav datos/korvpol.wav datos/camio2.wav \
    datos/gold.wav datos/camio3.wav datos/gameover.wav datos/fox.mid
prueba korveditor datos/imagen.bmp datos/lurgo.bmp
nota "$n arranques con un archivo que falta o esta dañado: estado 1 y una linea que lo nombra"
