#!/usr/bin/env bash
# Alternating A/B timing of two kelp-tool binaries on the bench (the machine's
# speed drifts, so only interleaved runs compare fairly). Checks that both
# search the same tree. Usage: bench/ab.sh OLD_BINARY NEW_BINARY [ROUNDS]
set -euo pipefail
old=$1 new=$2 rounds=${3:-3}
for ((i = 0; i < rounds; ++i)); do
    for b in "$old" "$new"; do
        printf '%-24s ' "$b"
        "$b" bench 2>/dev/null | tail -1
    done
done
