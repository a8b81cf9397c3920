#!/bin/sh
# Runs every benchmark and prints the figures of bench/README.md: the Google Benchmark programs
# (medians of REPS repetitions), the start-up time (median of 15) and the CPU share per phase
# (median of 3 sessions).
#
#   bench/corre.sh [BUILD_DIR [DISPLAY_NUMBER [REPS]]]   (defaults: build 210 9; uses DISPLAY_NUMBER
#                                                        and the next one for two Xvfb in turn)
set -e
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:-build}" && pwd)
NUM=${2:-210}
REPS=${3:-9}
OPC="--benchmark_repetitions=$REPS --benchmark_report_aggregates_only=true --benchmark_out_format=json"

echo "== maquina: $(nproc) procesadores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
"$BUILD/bench/bench_juego" $OPC --benchmark_out="$BUILD/bench/juego.json" >/dev/null
"$BUILD/bench/bench_editor" $OPC --benchmark_out="$BUILD/bench/editor.json" >/dev/null
echo "== medianas ($REPS repeticiones)"
python3 "$HERE/resumen.py" "$BUILD/bench/juego.json" "$BUILD/bench/editor.json"
echo "== arranque"
"$HERE/arranque.sh" "$BUILD" "$((NUM + 1))" 15 | tail -2
echo "== CPU por fase (juego real bajo Xvfb)"
"$HERE/cpu_medianas.sh" 3 "$BUILD/korvex" "$NUM" | tail -8
