#!/usr/bin/env bash
# Move generation speed: perft of the start position (depth 6 by default) and
# of "Kiwipete" (depth 5), with time and nodes per second. Builds nothing:
# run `make build` first. Usage: bench/perft.sh [START_DEPTH] [KIWIPETE_DEPTH]
set -euo pipefail
cd "$(dirname "$0")/.."
tool=build/kelp-tool
[ -x "$tool" ] || { echo "build/kelp-tool missing: run 'make build' first" >&2; exit 1; }

run() {
    local name=$1 fen=$2 depth=$3
    local start end nodes
    start=$(date +%s.%N)
    nodes=$("$tool" perft "$fen" "$depth" 2>/dev/null)
    end=$(date +%s.%N)
    awk -v n="$name" -v d="$depth" -v nodes="$nodes" -v s="$start" -v e="$end" \
        'BEGIN { t = e - s; printf "%-10s depth %d: %12d nodes %8.3f s %12.0f nodes/s\n", n, d, nodes, t, nodes / t }'
}

run start "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1" "${1:-6}"
run kiwipete "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1" "${2:-5}"
