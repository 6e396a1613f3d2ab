#!/usr/bin/env bash
# Alternating A/B timing of two kelp-tool binaries on the bench. The
# machine's speed drifts, so the runs are interleaved and the median time of
# each is reported; both must search the same tree (same node total).
# Usage: bench/ab.sh OLD_BINARY NEW_BINARY [ROUNDS]
set -euo pipefail
old=$1 new=$2 rounds=${3:-5}
declare -a told tnew
for ((i = 0; i < rounds; ++i)); do
    read -r _ nodes_old _ t _ < <("$old" bench 2>/dev/null | tail -1); told+=("$t")
    read -r _ nodes_new _ t _ < <("$new" bench 2>/dev/null | tail -1); tnew+=("$t")
    [ "$nodes_old" = "$nodes_new" ] || { echo "different trees: $nodes_old vs $nodes_new"; exit 1; }
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
mo=$(median "${told[@]}") mn=$(median "${tnew[@]}")
echo "old median ${mo} ms, new median ${mn} ms ($(awk -v a="$mo" -v b="$mn" 'BEGIN{printf "%+.1f%%", (a-b)*100/a}') faster), $rounds rounds, nodes $nodes_old"
