#!/usr/bin/env bash
# Plays a short engine match inside a real xboard on a virtual X display, once
# with protocol version 2 and once with the first engine forced to version 1,
# then checks every saved game: a proper result, and no illegal move, time
# forfeit of the first engine, false claim or lost engine. The time control
# has 40 moves per control, and at least one game must take the first engine
# past its 40th move into the next control. Prints the first engine's score.
#
# Usage: xboard_match.sh [-e ENGINE_CMD] [-s OPPONENT_CMD] [-n GAMES] [-p "2 1"] [-o OUT_DIR] [-x REGEX]...
#   -e  first engine command        (default: $KELP_GUI_ENGINE or <repo>/build/kelp)
#   -s  second engine command       (default: $KELP_GUI_OPPONENT or fairymax)
#   -n  games per run               (default: $KELP_GUI_GAMES or 2)
#   -p  protocol versions to run    (default: "2 1")
#   -o  directory for PGN and logs  (default: a new temporary directory)
#   -x  a line that xboard's debug log of every run must have (extended regex; repeatable)
# Time control: $KELP_GUI_MPS moves (default 40) in $KELP_GUI_TC (default 0:10), plus
# $KELP_GUI_INC seconds a move (default none); KELP_GUI_MPS=0 is the whole game.
# Extra xboard options can be passed in $KELP_GUI_XBOARD_ARGS.
# Exit status: 0 passed, 1 failed, 2 bad usage, 77 xboard, xvfb-run or fairymax missing.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"

find_program() {
    local name="$1"
    command -v "$name" 2>/dev/null || { [ -x "/usr/games/$name" ] && echo "/usr/games/$name"; } || true
}

ENGINE="${KELP_GUI_ENGINE:-$ROOT/build/kelp}"
OPPONENT="${KELP_GUI_OPPONENT:-$(find_program fairymax)}"
GAMES="${KELP_GUI_GAMES:-2}"
PROTOCOLS="2 1"
OUT=""
MPS="${KELP_GUI_MPS:-40}"
TC="${KELP_GUI_TC:-0:10}"
INC="${KELP_GUI_INC:-}"
RUN_LIMIT=300   # seconds one xboard run may take
tc_args=(-tc "$TC")
if [ "$MPS" != 0 ]; then tc_args+=(-mps "$MPS"); fi
if [ -n "$INC" ]; then tc_args+=(-inc "$INC"); fi

EXPECTED=()
while getopts "e:s:n:p:o:x:h" opt; do
    case "$opt" in
    e) ENGINE="$OPTARG" ;;
    s) OPPONENT="$OPTARG" ;;
    n) GAMES="$OPTARG" ;;
    p) PROTOCOLS="$OPTARG" ;;
    o) OUT="$OPTARG" ;;
    x) EXPECTED+=("$OPTARG") ;;
    *) sed -n '2,16p' "$0"; exit 2 ;;
    esac
done

XBOARD="$(find_program xboard)"
for need in "$XBOARD" "$(find_program xvfb-run)" "$OPPONENT"; do
    if [ -z "$need" ]; then
        echo "xboard_match: needs xboard, xvfb-run and fairymax (apt-get install xboard fairymax xvfb xauth)" >&2
        exit 77   # skipped, not failed
    fi
done
if [[ " ${KELP_GUI_XBOARD_ARGS:-} " == *" -fUCI "* ]]; then
    polyglot="$(find_program polyglot)"
    if [ -z "$polyglot" ]; then
        echo "xboard_match: a UCI first engine needs xboard's adapter polyglot (apt-get install polyglot)" >&2
        exit 77
    fi
    # xboard starts the adapter by its plain name; Debian puts it in /usr/games.
    PATH="$PATH:$(dirname "$polyglot")"
fi
first_word="${ENGINE%% *}"
if [ ! -x "$first_word" ] && ! command -v "$first_word" >/dev/null 2>&1; then
    echo "xboard_match: first engine '$first_word' not found" >&2
    exit 2
fi

if [ -z "$OUT" ]; then
    OUT="$(mktemp -d "${TMPDIR:-/tmp}/xboard_match.XXXXXX")"
fi
mkdir -p "$OUT/home"
OUT="$(cd "$OUT" && pwd)"

# Lines of xboard's debug log and stderr that mean a game was not played out cleanly.
# (Time forfeits are judged per game, from the result: only the first engine's fail.)
FAULTS='exited unexpectedly|Error (reading|writing)|[Ii]llegal move|[Ii]nvalid move|Forfeit|False (win|draw) claim|disconnect|[Aa]bort'

# Prints one line per game of a PGN file: "<result>|<termination comment>|<half-moves>".
pgn_results() {
    awk '
        function flush() {
            if (!started) return
            comment = ""
            if (match(text, /\{[^}]*\}[ ]*(1-0|0-1|1\/2-1\/2|\*)[ ]*$/)) {
                comment = substr(text, RSTART + 1)
                comment = substr(comment, 1, index(comment, "}") - 1)
            }
            moves = text
            gsub(/\{[^}]*\}/, " ", moves)
            gsub(/[0-9]+\.+/, " ", moves)
            plies = split(moves, words, " ") - 1   # the result is the last word
            print result "|" comment "|" plies
        }
        /^\[Event / { flush(); started = 1; result = "?"; text = ""; next }
        /^\[Result "/ { result = $2; gsub(/[]"]/, "", result); next }
        /^\[/ { next }
        { text = text " " $0 }
        END { flush() }
    ' "$1"
}

failed=0
total_w=0; total_d=0; total_l=0
crossed=0   # games in which the first engine made its 41st move (with 40 moves per control)

run_protocol() {
    local version="$1" run="v$1${2:-}"
    pgn="$OUT/match-$run.pgn"
    debug="$OUT/xboard-$run.debug"
    errlog="$OUT/xboard-$run.stderr"
    rm -f "$pgn" "$debug" "$errlog"
    echo "== protocol $version: '$ENGINE' vs '$OPPONENT', $GAMES games, ${tc_args[*]}"
    start=$(date +%s)
    status=0
    # -xxxComputerString '': Fairy-Max 5.0b sometimes crashes on the unknown command "computer".
    # -adjudicateDrawMoves: a game still going after 150 moves is a draw, which bounds the run time.
    # shellcheck disable=SC2086
    (cd "$OUT" && HOME="$OUT/home" timeout -k 10 "$RUN_LIMIT" xvfb-run -a "$XBOARD" \
        -fcp "$ENGINE" -scp "$OPPONENT" \
        -firstProtocolVersion "$version" -secondProtocolVersion 2 \
        -matchGames "$GAMES" "${tc_args[@]}" -adjudicateDrawMoves 150 \
        -xponder -autoCallFlag true -testClaims true -checkMates true \
        -firstComputerString '' -secondComputerString '' \
        -popupExitMessage false -popupMoveErrors false -saveSettingsOnExit false \
        -soundProgram true -noGUI \
        -saveGameFile "$pgn" -debugMode true -nameOfDebugFile "$debug" \
        ${KELP_GUI_XBOARD_ARGS:-} \
        </dev/null >"$errlog" 2>&1) || status=$?
    echo "   xboard exit status $status after $(( $(date +%s) - start )) s; PGN $pgn"

    run_failed=0
    if [ "$status" -ne 0 ]; then
        echo "   FAIL: xboard ended with status $status (124: run took over $RUN_LIMIT s)"
        run_failed=1
    fi
    played=0
    if [ -f "$pgn" ]; then
        while IFS='|' read -r result comment plies; do
            played=$((played + 1))
            # xboard alternates colours; the first engine has White in odd games.
            if [ $((played % 2)) -eq 1 ]; then colour=White; else colour=Black; fi
            if [ $colour = White ]; then own=$(((plies + 1) / 2)); else own=$((plies / 2)); fi
            if [ "$MPS" != 0 ] && [ "$own" -gt "$MPS" ]; then crossed=$((crossed + 1)); fi
            case "$result" in
            1/2-1/2) outcome=draw; total_d=$((total_d + 1)) ;;
            1-0) if [ $colour = White ]; then outcome=win; total_w=$((total_w + 1)); else outcome=loss; total_l=$((total_l + 1)); fi ;;
            0-1) if [ $colour = Black ]; then outcome=win; total_w=$((total_w + 1)); else outcome=loss; total_l=$((total_l + 1)); fi ;;
            *) outcome=unfinished ;;
            esac
            echo "   game $played (first engine $colour, $own moves): $result {$comment} -> $outcome"
            if [ "$outcome" = unfinished ]; then
                echo "   FAIL: game $played has no result"
                run_failed=1
            elif [ "$comment" = "$([ $colour = White ] && echo Black || echo White) wins on time" ]; then
                echo "   FAIL: game $played lost on time by the first engine"
                run_failed=1
            elif echo "$comment" | grep -q "wins on time"; then
                echo "   game $played: the second engine lost on time (not the first engine's fault)"
            elif echo "$comment" | grep -Eq "$FAULTS"; then
                echo "   FAIL: game $played ended by a fault: $comment"
                run_failed=1
            fi
        done < <(pgn_results "$pgn")
    fi
    if [ "$played" -ne "$GAMES" ]; then
        echo "   FAIL: $played of $GAMES games saved"
        run_failed=1
    fi
    if [ -f "$debug" ]; then
        for expected in ${EXPECTED[@]+"${EXPECTED[@]}"}; do
            if ! grep -Eq "$expected" "$debug"; then
                echo "   FAIL: no line of $debug matches '$expected'"
                run_failed=1
            fi
        done
        # What xboard itself and the engines said; not what xboard sent to the engines.
        found="$(grep -Ev '^[0-9]+ >(first|second) *: ' "$debug" | grep -E "$FAULTS" || true)"
        if [ -n "$found" ]; then
            echo "$found" | head -5 | sed 's/^/   | /'
            echo "   FAIL: faults in xboard's debug log $debug (lines above)"
            run_failed=1
        fi
    else
        echo "   FAIL: no debug log"
        run_failed=1
    fi
    found="$(grep -E "$FAULTS" "$errlog" || true)"
    if [ -n "$found" ]; then
        echo "$found" | head -5 | sed 's/^/   | /'
        echo "   FAIL: faults on xboard's standard error (lines above)"
        run_failed=1
    fi
    grep -h "final score" "$errlog" | sed 's/^/   /' || true
    failed=$((failed | run_failed))
}

for version in $PROTOCOLS; do
    run_protocol "$version"
done
# Every game may end before the control boundary (a quick mate): up to three
# more runs, in the first version given, until one game crosses it.
again=0
while [ "$MPS" != 0 ] && [ "$crossed" -eq 0 ] && [ "$again" -lt 3 ]; do
    again=$((again + 1))
    echo "== no game went past move $MPS; playing once more"
    run_protocol "${PROTOCOLS%% *}" "-again$again"
done
if [ "$MPS" != 0 ] && [ "$crossed" -eq 0 ]; then
    echo "== FAIL: no game took the first engine past its move $MPS into the next control"
    failed=1
fi
if [ "$MPS" != 0 ]; then echo "== games past the first engine's move $MPS: $crossed"; fi

echo "== first engine: $total_w wins, $total_d draws, $total_l losses; logs in $OUT"
if [ "$failed" -ne 0 ]; then
    echo "== FAILED"
    exit 1
fi
echo "== PASSED"
