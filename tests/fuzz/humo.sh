#!/bin/sh
# Runs one fuzz target for a while on a fresh copy of its seed corpus; on a crash the
# failing input is run once more with its report shown, and the status is non-zero.
# Usage: humo.sh TARGET SEEDS SECONDS WORKDIR
set -u
objetivo=$1 semillas=$2 segundos=$3 trabajo=$4
rm -rf "$trabajo"
mkdir -p "$trabajo/corpus" "$trabajo/fallos"
# stderr closed: the programs' lines about refused files would fill the log
"$objetivo" -max_total_time="$segundos" -close_fd_mask=2 -print_final_stats=1 -timeout=20 \
    -artifact_prefix="$trabajo/fallos/" "$trabajo/corpus" "$semillas" >"$trabajo/salida" 2>&1
rc=$?
grep -E "stat::number_of_executed_units|stat::average_exec_per_sec" "$trabajo/salida"
if [ "$rc" != 0 ]; then
    tail -20 "$trabajo/salida"
    for f in "$trabajo"/fallos/*; do
        [ -f "$f" ] || continue
        echo "== entrada que falla: $f"
        "$objetivo" "$f" 2>&1 | tail -40
    done
    exit 1
fi
echo "ok: $(basename "$objetivo") sin fallos en $segundos s"
