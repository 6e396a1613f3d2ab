#!/usr/bin/env bash
# Stop latency: how long after its time budget a search really ends, and how
# long a move-now request takes, over a few hundred short searches through the
# game controller. Builds the benchmark into build/ (Release) first.
# Usage: bench/stop_latency.sh [SEARCHES]   (default 300)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target kelp-stop-latency -j 2 >/dev/null
# The table statistics go to standard error, as they would to a GUI's log.
build/kelp-stop-latency "${1:-300}" 2>/dev/null
