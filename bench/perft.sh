#!/usr/bin/env bash
# Move generation speed: perft of the start position (depth 6 by default) and
# of "Kiwipete" (depth 5), with time and nodes per second; Stockfish's
# single-thread `go perft` of the same positions beside it when it is
# installed (Debian package stockfish; nothing is installed here). Builds
# nothing: run `make build` first.
# Usage: bench/perft.sh [START_DEPTH] [KIWIPETE_DEPTH]
set -euo pipefail
cd "$(dirname "$0")/.."
tool=build/kelp-tool
[ -x "$tool" ] || { echo "build/kelp-tool missing: run 'make build' first" >&2; exit 1; }
stockfish=$(command -v stockfish || { [ -x /usr/games/stockfish ] && echo /usr/games/stockfish; } || true)

report() {
    awk -v who="$1" -v n="$2" -v d="$3" -v nodes="$4" -v s="$5" -v e="$6" \
        'BEGIN { t = e - s; printf "%-9s %-10s depth %d: %12d nodes %8.3f s %12.0f nodes/s\n", who, n, d, nodes, t, nodes / t }'
}

run() {
    local name=$1 fen=$2 depth=$3
    local start end nodes
    # kelp-tool times its own perft (start-up excluded) on standard error.
    local timing seconds
    timing=$("$tool" perft "$fen" "$depth" 2>&1 >/dev/null)
    nodes=$(echo "$timing" | awk '{ print $3 }')
    seconds=$(echo "$timing" | awk '{ print $6 }')
    report kelp "$name" "$depth" "$nodes" 0 "$seconds"
    [ -n "$stockfish" ] || return 0
    # Timed from "go perft" to its total, after "isready" has loaded the network.
    coproc SF { "$stockfish" 2>/dev/null; }
    printf 'uci\nsetoption name Threads value 1\nposition fen %s\nisready\n' "$fen" >&"${SF[1]}"
    while read -r line <&"${SF[0]}"; do [ "$line" = readyok ] && break; done
    start=$(date +%s.%N)
    printf 'go perft %s\n' "$depth" >&"${SF[1]}"
    nodes=0
    while read -r line <&"${SF[0]}"; do
        case $line in "Nodes searched"*) nodes=${line##* }; break ;; esac
    done
    end=$(date +%s.%N)
    printf 'quit\n' >&"${SF[1]}"
    wait "$SF_PID" 2>/dev/null || true
    report stockfish "$name" "$depth" "$nodes" "$start" "$end"
}

run start "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1" "${1:-6}"
run kiwipete "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1" "${2:-5}"
