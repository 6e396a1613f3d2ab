#!/usr/bin/env bash
# Move generation speed: perft of the start position (depth 6 by default) and
# of "Kiwipete" (depth 5), with time and nodes per second; Stockfish's
# single-thread `go perft` of the same positions beside it when it is
# installed (Debian package stockfish; nothing is installed here). Builds
# nothing: run `make build` first. With ROUNDS above 1 every measurement is
# repeated, Kelp and Stockfish taking turns, and the medians are compared.
# KELP_TOOL names another kelp-tool to measure (default build/kelp-tool).
# Usage: bench/perft.sh [START_DEPTH] [KIWIPETE_DEPTH] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${KELP_TOOL:-build/kelp-tool}
[ -x "$tool" ] || { echo "$tool missing: run 'make build' first" >&2; exit 1; }
stockfish=$(command -v stockfish || { [ -x /usr/games/stockfish ] && echo /usr/games/stockfish; } || true)
rounds=${3:-1}

report() {
    awk -v who="$1" -v n="$2" -v d="$3" -v nodes="$4" -v t="$5" \
        'BEGIN { printf "%-9s %-10s depth %d: %12d nodes %8.3f s %12.0f nodes/s\n", who, n, d, nodes, t, nodes / t }'
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Prints "NODES SECONDS" of one run.
kelp_perft() {
    local timing
    # kelp-tool times its own perft (start-up excluded) on standard error.
    timing=$("$tool" perft "$1" "$2" 2>&1 >/dev/null)
    echo "$timing" | awk '{ print $3, $6 }'
}

stockfish_perft() {
    local line nodes=0 start end
    # Timed from "go perft" to its total, after "isready" has loaded the network.
    coproc SF { "$stockfish" 2>/dev/null; }
    printf 'uci\nsetoption name Threads value 1\nposition fen %s\nisready\n' "$1" >&"${SF[1]}"
    while read -r line <&"${SF[0]}"; do [ "$line" = readyok ] && break; done
    start=$(date +%s.%N)
    printf 'go perft %s\n' "$2" >&"${SF[1]}"
    while read -r line <&"${SF[0]}"; do
        case $line in "Nodes searched"*) nodes=${line##* }; break ;; esac
    done
    end=$(date +%s.%N)
    printf 'quit\n' >&"${SF[1]}"
    wait "$SF_PID" 2>/dev/null || true
    awk -v n="$nodes" -v s="$start" -v e="$end" 'BEGIN { print n, e - s }'
}

run() {
    local name=$1 fen=$2 depth=$3 nodes sf_nodes=0 seconds
    local -a kelp_times=() sf_times=()
    for ((r = 0; r < rounds; ++r)); do
        read -r nodes seconds < <(kelp_perft "$fen" "$depth")
        kelp_times+=("$seconds")
        report kelp "$name" "$depth" "$nodes" "$seconds"
        [ -n "$stockfish" ] || continue
        read -r sf_nodes seconds < <(stockfish_perft "$fen" "$depth")
        sf_times+=("$seconds")
        report stockfish "$name" "$depth" "$sf_nodes" "$seconds"
    done
    [ "$rounds" -gt 1 ] || return 0
    local kelp_median sf_median
    kelp_median=$(median "${kelp_times[@]}")
    report "kelp" "$name" "$depth" "$nodes" "$kelp_median" | sed 's/^kelp     /median K /'
    [ -n "$stockfish" ] || return 0
    sf_median=$(median "${sf_times[@]}")
    report "stockfish" "$name" "$depth" "$sf_nodes" "$sf_median" | sed 's/^stockfish/median SF/'
    awk -v k="$kelp_median" -v s="$sf_median" -v n="$name" \
        'BEGIN { printf "%-10s Kelp %.2fx Stockfish'"'"'s speed (medians of %d rounds)\n", n, s / k, '"$rounds"' }'
}

run start "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1" "${1:-6}"
run kiwipete "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1" "${2:-5}"
