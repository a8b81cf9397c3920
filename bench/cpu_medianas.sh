#!/bin/sh
# Runs bench/cpu_sesion.sh SESSIONS times at each scale of ESCALAS (default "1 3"; same arguments
# after the count), prints every session, then per phase the median CPU share and wake-ups per
# second of each scale side by side.
#
#   bench/cpu_medianas.sh SESSIONS [KORVEX_DIR [DISPLAY_NUMBER [PROGRAM]]]
set -e
HERE=$(cd "$(dirname "$0")" && pwd)
N=${1:?uso: cpu_medianas.sh SESIONES [CARPETA [DISPLAY [PROGRAMA]]]}
shift
ESCALAS=${ESCALAS:-1 3}
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
for e in $ESCALAS; do
    for i in $(seq "$N"); do
        echo "-- x$e sesion $i"
        ESCALA=$e "$HERE/cpu_sesion.sh" "$@" | tee -a "$OUT/x$e"
    done
done
# The median of column $2 of phase $1 in file $3.
mediana() {
    awk -v f="$1" -v c="$2" '$1 == f { print $c }' "$3" | sort -n | awk '{ v[NR] = $1 } END {
        print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
echo "-- medianas de $N sesiones: % de un procesador, despertares por segundo (todos los hilos / principal)"
printf "%-8s" fase
for e in $ESCALAS; do printf "  %22s" "x$e"; done
echo
for fase in $(awk '{ print $1 }' "$OUT/x$(echo $ESCALAS | cut -d' ' -f1)" | awk '!visto[$0]++'); do
    printf "%-8s" "$fase"
    for e in $ESCALAS; do
        printf "  %5.1f %%  %5.0f / %4.0f" "$(mediana "$fase" 7 "$OUT/x$e")" "$(mediana "$fase" 9 "$OUT/x$e")" \
            "$(mediana "$fase" 12 "$OUT/x$e")"
    done
    echo
done
