#!/bin/sh
# The real programs with each start-up file damaged: empty, cut short, garbage, a folder in its
# place, or a BMP header whose rows lie past its end. Each must stop within 20 seconds with
# status 1 and a line on stderr naming the file: no crash, no hang, no window left behind.
# Usage: arranque_malo_x11.sh KORV_DIR   (DISPLAY must be set)
set -u
src=$1
work=$(mktemp -d /tmp/korvmalo.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FALLO: $*"; tail -5 "$work/err"; exit 1; }
cp -r "$src" "$work/k"
cd "$work/k"
export HOME="$work" ASAN_OPTIONS=detect_leaks=0
n=0
# prog file...
prueba() {
    prog=$1; shift
    for f in "$@"; do
        cp "$f" "$work/bueno"
        for caso in vacio corto basura carpeta cabecera; do
            rm -rf "$f"
            case $caso in
            vacio) : > "$f" ;;
            corto) head -c $(( $(stat -c %s "$work/bueno") / 3 )) "$work/bueno" > "$f" ;;
            basura) head -c $(stat -c %s "$work/bueno") /dev/urandom > "$f" ;;
            carpeta) mkdir -p "$f/dentro" ;;
            cabecera) { head -c 24 "$work/bueno"; head -c 3000 /dev/urandom; } > "$f" ;;
            esac
            timeout 20 env PATH=/nonexistent ./"$prog" >"$work/out" 2>"$work/err"
            rc=$?
            rm -rf "$f"; cp "$work/bueno" "$f"
            [ "$rc" = 1 ] || fail "$prog con $f $caso: estado $rc"
            grep -q "$f" "$work/err" || fail "$prog con $f $caso: ningun mensaje lo nombra"
            n=$((n + 1))
        done
    done
}
prueba korvex datos/font.dat datos/imagen.bmp datos/lurgo.bmp datos/korvex.bmp datos/gane.bmp \
    datos/explocio.wav datos/camio1.wav datos/bolsa.wav datos/korvpol.wav datos/camio2.wav \
    datos/gold.wav datos/camio3.wav datos/gameover.wav datos/fox.mid
prueba korveditor datos/imagen.bmp
echo "ok: $n arranques con un archivo dañado, cada uno termina con estado 1 nombrandolo"
