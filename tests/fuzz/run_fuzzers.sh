#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan + fuzzer) and runs
# each for SECONDS (default 60), starting from the seed corpora. The board's
# assertions after every make and unmake are off (in the protocol target's
# searches they took two thirds of the time); every target checks its boards
# itself instead. Prints the executions each target ran; exits non-zero on a
# finding.
# Usage: tests/fuzz/run_fuzzers.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fen_fuzzer move_text_fuzzer protocol_fuzzer)
build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g -DNDEBUG" -DKELP_SANITIZE=address -DKELP_FUZZ=ON \
    -DKELP_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >/dev/null
status=0
for target in "${targets[@]}"; do
    corpus_seed="tests/fuzz/corpus/${target%_fuzzer}"
    work="$build/corpus/${target%_fuzzer}"
    mkdir -p "$work" "$build/findings"
    log="$build/$target.log"
    # -close_fd_mask=3: the engine's own output is not part of the report.
    if "$build/tests/fuzz/$target" "$work" "$corpus_seed" -max_total_time="$seconds" -close_fd_mask=3 \
        -artifact_prefix="$build/findings/$target-" -print_final_stats=1 >"$log" 2>&1; then
        runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
        echo "$target: ${runs:-?} executions in ${seconds}s, no finding"
    else
        echo "$target: FINDING (see $log and $build/findings/)"
        tail -30 "$log"
        status=1
    fi
done
exit $status
