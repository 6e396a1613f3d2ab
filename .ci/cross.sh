#!/usr/bin/env bash
# Cross builds for Windows x86-64 and aarch64 Linux, each checked on this
# machine under its emulator (Wine, qemu-aarch64): perft, the bench signatures
# of both releases, a scripted protocol version 2 session and the UCI
# handshake with each engine binary, then the end-to-end tests (protocol and
# self-play) through the emulator. Needs the host build (build/kelp-tool and
# build/tests/kelp_e2e_tests) from the Release stage. Installs its toolchains
# with apt-get (the package lists are fetched by .ci/run). Prints how long each
# step takes.
set -euo pipefail
cd "$(dirname "$0")/.."

export DEBIAN_FRONTEND=noninteractive
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get install -y --no-install-recommends </dev/null \
    g++-mingw-w64-x86-64-posix wine wine64 g++-aarch64-linux-gnu qemu-user

START_FEN="rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
KIWIPETE="r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"
AFTER_E2E4="rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1"

step_start=0
step() { step_start=$SECONDS; printf '\n--- %s (%s)\n' "$1" "$(date -u +%H:%M:%S)"; }
step_done() { printf '    took %d s\n' $((SECONDS - step_start)); }
fail() { echo "FAILED: $*" >&2; exit 1; }

expect_output() {   # WHAT EXPECTED COMMAND...
    local what=$1 expected=$2 got
    shift 2
    got=$("$@" 2>/dev/null | tail -1)
    [ "$got" = "$expected" ] || fail "$what: got '$got', expected '$expected'"
    echo "    $what: $got"
}

# Bench of one release: checks the node signature and prints the speed.
expect_bench() {   # NODES RELEASE RUNNER... TOOL
    local nodes=$1 release=$2 line
    shift 2
    line=$("$@" bench --release "$release" 2>/dev/null | tail -1)
    case "$line" in
        "nodes $nodes "*) echo "    bench $release: $line" ;;
        *) fail "bench $release under $*: '$line', expected nodes $nodes" ;;
    esac
}

# A version 2 session with ENGINE (under the runner) as a coprocess: features,
# then a legal answer to 1. e4, then quit. Lines end in CR LF, as some Windows
# interfaces write them: the engine must drop the CR.
winboard_session() {   # ENGINE RUNNER...
    local engine=$1 line move="" log
    shift
    log=$(mktemp)
    coproc ENGINE { "$@" "$engine" 2>"$log"; }
    local pid=$ENGINE_PID
    printf 'xboard\r\nprotover 2\r\n' >&"${ENGINE[1]}"
    read -r -t 60 line <&"${ENGINE[0]}" || fail "$engine: no feature line; its standard error: $(tail -c 2000 "$log")"
    case "$line" in "feature "*" done=1") ;; *) fail "$engine: feature line '$line'" ;; esac
    printf 'new\r\nlevel 0 1 0\r\nusermove e2e4\r\n' >&"${ENGINE[1]}"
    while read -r -t 60 line <&"${ENGINE[0]}"; do
        case "$line" in "move "*) move=${line#move }; break ;; esac
    done
    [ -n "$move" ] || fail "$engine: no move after usermove e2e4"
    build/kelp-tool moves "$AFTER_E2E4" | grep -qw -- "$move" || fail "$engine: illegal move '$move'"
    printf 'quit\r\n' >&"${ENGINE[1]}"
    local status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "$engine: exit status $status after quit"
    rm -f "$log"
    echo "    $engine: version 2 session answered e2e4 with $move, exit status 0"
}

uci_handshake() {   # ENGINE RUNNER...
    local engine=$1 output
    shift
    output=$(printf 'uci\nisready\nquit\n' | timeout 60 "$@" "$engine" 2>/dev/null) ||
        fail "$engine: UCI session ended with status $?"
    grep -qx uciok <<<"$output" && grep -qx readyok <<<"$output" ||
        fail "$engine: UCI handshake: $output"
    echo "    $engine: uciok, readyok, exit status 0"
}

uci_play() {   # ENGINE RUNNER...
    local engine=$1 output best
    shift
    output=$( { printf 'uci\nposition startpos moves e2e4\ngo movetime 500\n'; sleep 5; printf 'quit\n'; } |
              timeout 60 "$@" "$engine" 2>/dev/null) || fail "$engine: UCI session ended with status $?"
    best=$(grep -m1 '^bestmove ' <<<"$output" | cut -d' ' -f2)
    [ -n "$best" ] || fail "$engine: no bestmove after go movetime 500: $output"
    build/kelp-tool moves "$AFTER_E2E4" | grep -qw -- "$best" || fail "$engine: illegal bestmove '$best'"
    echo "    $engine: go movetime 500 answered with bestmove $best"
}

check_platform() {   # NAME DIR SUFFIX RUNNER...
    local name=$1 dir=$2 suffix=$3
    shift 3
    local runner=("$@") tool="$dir/kelp-tool$suffix"
    . "$dir/versions.sh"   # KELP_CURRENT_VERSION, KELP_EARLIER_VERSION

    step "$name: perft and bench signatures"
    expect_output "perft start position depth 5" 4865609 "${runner[@]}" "$tool" perft "$START_FEN" 5
    expect_output "perft Kiwipete depth 4" 4085603 "${runner[@]}" "$tool" perft "$KIWIPETE" 4
    expect_bench 4238981 "$KELP_CURRENT_VERSION" "${runner[@]}" "$tool"
    expect_bench 5247894 "$KELP_EARLIER_VERSION" "${runner[@]}" "$tool"
    step_done

    step "$name: version 2 session and UCI handshake with each engine, UCI play with kelp-full"
    for engine in "$dir/kelp$suffix" "$dir/kelp-full$suffix" "$dir/kelp-$KELP_EARLIER_VERSION$suffix"; do
        winboard_session "$engine" "${runner[@]}"
        uci_handshake "$engine" "${runner[@]}"
    done
    uci_play "$dir/kelp-full$suffix" "${runner[@]}"
    step_done

    step "$name: end-to-end tests through the emulator"
    KELP_BIN_DIR="$PWD/$dir" KELP_RUNNER="${runner[*]}" build/tests/kelp_e2e_tests --gtest_brief=1
    step_done
}

[ -x build/kelp-tool ] && [ -x build/tests/kelp_e2e_tests ] || fail "run the Release build (make test) first"

step "arm64: cross build"
make cross-arm64
step_done
check_platform "arm64 (qemu)" build-arm64 "" qemu-aarch64 -L /usr/aarch64-linux-gnu

step "windows: cross build and zip"
make zip-windows
step_done
# Wine keeps its prefix in the build tree; the first start creates it.
export WINEDEBUG=-all WINEPREFIX="$PWD/build-windows/wineprefix"
wine_runner=wine
if command -v wine64 >/dev/null; then wine_runner=wine64
elif [ -x /usr/lib/wine/wine64 ]; then wine_runner=/usr/lib/wine/wine64
fi
step "windows: Wine prefix"
# One wineserver for the whole stage, started before the prefix is made: a
# program started while the previous one's server is shutting down can fail to
# start at all.
mkdir -p "$WINEPREFIX"
wineserver -k 2>/dev/null || true
# The server is stopped however the stage ends, a failed check included.
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p
"$wine_runner" cmd /c ver </dev/null >/dev/null 2>&1 || true
step_done
check_platform "windows (Wine)" build-windows .exe "$wine_runner"
