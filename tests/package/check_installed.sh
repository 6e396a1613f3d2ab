#!/usr/bin/env bash
# Checks the installed Debian package the way a user meets it: the engines are
# found through PATH with /usr/games added, kelp answers a WinBoard protocol
# version 2 session with a move, the man pages are found, each xboard plugin
# file names an installed command and gives an entry of xboard's engine list,
# and xboard plays a game against Fairy-Max with the engine given by its plain
# name.
# Usage: check_installed.sh [OUT_DIR]   (run after installing build/*.deb; the
# release versions come from the build, KELP_BUILD_DIR, by default build/)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
. "${KELP_BUILD_DIR:-$ROOT/build}/versions.sh"   # KELP_CURRENT_VERSION, KELP_EARLIER_VERSION
EARLIER="kelp-$KELP_EARLIER_VERSION"
OUT="${1:-$(mktemp -d "${TMPDIR:-/tmp}/kelp_package.XXXXXX")}"
mkdir -p "$OUT"
OUT="$(cd "$OUT" && pwd)"
export PATH="$PATH:/usr/games"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

for engine in kelp kelp-full "$EARLIER"; do
    found="$(command -v "$engine" || true)"
    [ "$found" = "/usr/games/$engine" ] || fail "$engine found at '$found', not /usr/games/$engine"
done

# A version 2 session: the engine plays Black after 1. e2e4 within one second.
reply="$( { printf 'xboard\nprotover 2\nnew\nlevel 0 1 0\ntime 6000\notim 6000\nusermove e2e4\n'; sleep 4;
            printf 'quit\n'; } | timeout 20 kelp 2>/dev/null || true)"
echo "$reply" | grep '^feature ' | head -1
move="$(echo "$reply" | grep -E '^move [a-h][1-8][a-h][1-8]' | head -1 || true)"
if [ -n "$move" ]; then echo "kelp answered e2e4 with: $move"; else fail "no move from kelp; it said: $reply"; fi

# A UCI session with kelp-full: a best move within its movetime.
reply="$( { printf 'uci
isready
position startpos moves e2e4
go movetime 300
'; sleep 2; printf 'quit
'; } |
          timeout 20 kelp-full 2>/dev/null || true)"
best="$(echo "$reply" | grep -E '^bestmove [a-h][1-8][a-h][1-8]' | head -1 || true)"
if [ -n "$best" ]; then echo "kelp-full answered go movetime 300 with: $best"; else fail "no bestmove from kelp-full; it said: $reply"; fi

for page in kelp kelp-full "$EARLIER" kelp-tool; do
    if where="$(man -w "$page" 2>&1)"; then echo "man page of $page: $where"; else fail "man -w $page: $where"; fi
done

for engine in kelp kelp-full "$EARLIER"; do
    plugin="/usr/share/games/plugins/xboard/$engine.eng"
    if [ ! -f "$plugin" ]; then fail "no plugin file $plugin"; continue; fi
    command="$(sed -n 2p "$plugin")"
    # Third line "chess", as Debian's engines say: PyChess skips plugin files that do not.
    if [ "$(sed -n 1p "$plugin")" != "plugin spec 0.0" ] || [ "${command%% *}" != "$engine" ] ||
        [ "$(sed -n 3p "$plugin")" != "chess" ]; then
        fail "$plugin does not name $engine:"; cat "$plugin"
    elif [ "$(command -v "${command%% *}")" != "/usr/games/$engine" ]; then
        fail "the command of $plugin, '$command', is not the installed engine"
    else
        echo "$plugin names '$command', $(command -v "${command%% *}")"
    fi
done

# xboard adds the plugin files' engines to its engine list when it starts with
# a new settings file; it saves the list when it ends (on SIGTERM here, once
# its debug log shows the board set up, plus a pause that grows on a retry).
# Both releases must get an entry of their own.
engine_list() {
    local settings="$OUT/xboardrc" debug="$OUT/xboard-list.debug" xvfb xboard waited=0
    rm -f "$settings" "$debug"
    (cd "$OUT" && exec xvfb-run -a xboard -ncp -settingsFile "$settings" -saveSettingsFile "$settings" \
        -saveSettingsOnExit true -popupExitMessage false -soundProgram true \
        -debugMode true -nameOfDebugFile "$debug") >"$OUT/xboard-list.log" 2>&1 &
    xvfb=$!
    while ! grep -qs '^Reset(' "$debug" && [ "$waited" -lt 30 ]; do sleep 1; waited=$((waited + 1)); done
    sleep "$1"
    xboard="$(pgrep -P "$xvfb" -x xboard || true)"
    [ -z "$xboard" ] || kill -TERM "$xboard"
    wait "$xvfb" || true
    sed -n '/^-firstChessProgramNames {/,/^}/p' "$settings" 2>/dev/null || true
}
has_both() { grep -qx '"kelp -C 8"' <<<"$1" && grep -qx kelp-full <<<"$1" && grep -qx "$EARLIER" <<<"$1"; }
for pause in 1 3 8; do
    list="$(engine_list "$pause")"
    if has_both "$list"; then break; fi
done
if has_both "$list"; then
    echo "xboard's engine list has every engine:"; grep kelp <<<"$list" | sed 's/^/   /'
else
    fail "xboard's engine list lacks an engine:"; echo "$list"
fi

# One xboard game, the engine given by its plain name (xboard finds it on PATH).
# The whole game in 10 s: crossing into a second control is the GUI tests' job.
if ! KELP_GUI_GAMES=1 KELP_GUI_MPS=0 bash "$ROOT/tests/gui/xboard_match.sh" -e kelp -p 2 -o "$OUT/xboard"; then
    fail "the xboard game with the installed engine"
fi

[ "$failed" -eq 0 ] && echo "installed package: PASSED" || { echo "installed package: FAILED"; exit 1; }
