#!/bin/sh
# Runs one fuzz target for a while on seeds made from the built data (no seed file is kept in
# the sources); on a crash the failing input is run once more with its report, status non-zero.
# Usage: humo.sh TARGET KORV_DIR SECONDS WORKDIR
set -u
objetivo=$1 datos=$2 segundos=$3 trabajo=$4
rm -rf "$trabajo"
mkdir -p "$trabajo/corpus" "$trabajo/semillas" "$trabajo/fallos"
s=$trabajo/semillas
case $(basename "$objetivo") in
fuzz_nivel)
    cp "$datos"/levels/*.map "$datos/datos/newlevel.dat" "$s/"
    head -c 2800 "$datos/levels/nivel_01.map" >"$s/corto"
    { cat "$datos/levels/nivel_06.map"; printf '\003\001\002\002\001\377'; } >"$s/teclas" ;;
fuzz_ranking)
    { printf '\000\310\000\000'; cat "$datos/datos/ranking.dat"; } >"$s/ranking"
    { printf '\002\377\377\377'; head -c 100 "$datos/datos/ranking.dat"; } >"$s/corto" ;;
fuzz_ajustes)
    printf '# ajustes\nvolumen_musica = 7\nvolumen_efectos = 0\nescala = 3\npantalla_completa = si\ntecla_arriba = W\ntecla_abajo = S\ntecla_pausa = SPACE\n' >"$s/ajustes"
    printf 'escala = auto\r\ntecla_pausa = UP\n  volumen_musica=10 \n= 3\nescala = 9\n' >"$s/raros" ;;
fuzz_repeticion)
    # The shipped demo, its CRC kept and made right; the same cut short.
    { printf '\000'; cat "$datos/datos/demo.rep"; } >"$s/demo"
    { printf '\001'; head -c 60 "$datos/datos/demo.rep"; } >"$s/corto" ;;
fuzz_conjunto)
    # The campaign exported by the built editor; a pack of one level and its description; one with a link.
    (cd "$datos" && env -u DISPLAY HOME="$trabajo" ./korveditor -exporta KORVEX "$s/campana") >/dev/null
    python3 - "$datos/levels/nivel_01.map" "$s" <<'FIN'
import sys, zipfile
nivel = open(sys.argv[1], 'rb').read()
with zipfile.ZipFile(sys.argv[2] + '/uno', 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('conjunto.txt', 'nombre = Uno\nautor = Ana\n')
    z.writestr('a.map', nivel)
with zipfile.ZipFile(sys.argv[2] + '/enlace', 'w') as z:
    z.writestr('conjunto.txt', 'nombre = Dos\n')
    i = zipfile.ZipInfo('b.map')
    i.external_attr = 0o120777 << 16
    z.writestr(i, '/etc/passwd')
FIN
    ;;
fuzz_marcador)
    # A won campaign run sent alone, and with the campaign's pack; the same cut short.
    export KORV_DATOS="$datos"
    "$datos/../tools/korvmake" ganada 2 75 "$s/g.rep" >/dev/null
    (cd "$datos" && env -u DISPLAY HOME="$trabajo" ./korveditor -exporta KORVEX "$s/campana") >/dev/null
    { printf '\000'; cat "$s/g.rep"; } >"$s/sola"
    python3 -c 'import struct,sys; r=open(sys.argv[1],"rb").read(); sys.stdout.buffer.write(b"\2"+struct.pack("<I",len(r))+r+open(sys.argv[2],"rb").read())' \
        "$s/g.rep" "$s/campana" >"$s/con_paquete"
    { printf '\001'; head -c 200 "$s/g.rep"; } >"$s/corto"
    rm "$s/g.rep" "$s/campana" ;;
fuzz_datos)
    { printf '\001'; cat "$datos/datos/imagen.bmp"; } >"$s/hoja"
    { printf '\000'; cat "$datos/datos/font.dat"; } >"$s/fuente" ;;
esac
# stderr closed: the programs' lines about refused files would fill the log
"$objetivo" -max_total_time="$segundos" -close_fd_mask=2 -print_final_stats=1 -timeout=20 -rss_limit_mb=4096 \
    -artifact_prefix="$trabajo/fallos/" "$trabajo/corpus" "$s" >"$trabajo/salida" 2>&1
rc=$?
grep -E "stat::number_of_executed_units" "$trabajo/salida"
if [ "$rc" != 0 ]; then
    tail -20 "$trabajo/salida"
    for f in "$trabajo"/fallos/*; do
        [ -f "$f" ] && "$objetivo" "$f" 2>&1 | tail -40
    done
    exit 1
fi
echo "ok: $(basename "$objetivo") sin fallos en $segundos s"
