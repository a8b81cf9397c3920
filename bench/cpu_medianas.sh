#!/bin/sh
# Runs bench/cpu_sesion.sh SESSIONS times (same arguments after the count) and prints every
# session, then the median CPU share of each phase.
#
#   bench/cpu_medianas.sh SESSIONS [KORVEX_DIR [DISPLAY_NUMBER [PROGRAM]]]
set -e
HERE=$(cd "$(dirname "$0")" && pwd)
N=${1:?uso: cpu_medianas.sh SESIONES [CARPETA [DISPLAY [PROGRAMA]]]}
shift
OUT=$(mktemp)
trap 'rm -f "$OUT"' EXIT
for i in $(seq "$N"); do
    echo "-- sesion $i"
    "$HERE/cpu_sesion.sh" "$@" | tee -a "$OUT"
done
echo "-- medianas de $N sesiones (% de un procesador)"
for fase in $(awk '{ print $1 }' "$OUT" | awk '!visto[$0]++'); do
    awk -v f="$fase" '$1 == f { print $(NF - 1) }' "$OUT" | sort -n | awk -v f="$fase" '{ v[NR] = $1 } END {
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%-8s %5.1f %%\n", f, m }'
done
