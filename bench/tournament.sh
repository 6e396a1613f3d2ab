#!/usr/bin/env bash
# Real tournaments: Kelp against the xboard engines Debian packages, each game
# played by the real xboard GUI (headless, on its own virtual display) in its
# match mode, in protocol versions 2 and 1, at four time controls. Saves every
# game's PGN, xboard's debug log and stderr, then prints per control and
# opponent: games, score, Elo difference with a 95% interval, and Kelp's time
# forfeits, illegal moves, crashes and worst think time over its budget
# (bench/tournament_report.py).
#
# Usage: bench/tournament.sh [-e ENGINE] [-a ARGS] [-P] [-o OUT_DIR] [-j PARALLEL] [-r ROUNDS] [-t CONTROLS]
#                            [-s OPPONENTS] [-p PROTOCOLS] [-d DEADLINE]
#   -e  Kelp binary                     (default <repo>/build/kelp)
#   -a  arguments for Kelp, e.g. --full (default none)
#   -P  pondering on for both engines (xboard's -ponder; default off)
#   -o  directory for games and logs    (default bench-tournament-<time> in the current directory)
#   -j  matches at once, each on its own display (default 1; each match keeps about one core busy)
#   -r  rounds (default 2). A round plays one game per control, opponent and protocol,
#       Kelp White in protocol 2 and Black in protocol 1; the next round swaps colours.
#       ROUND:CONTROLS limits a round to some controls, e.g. -r "1 2:40/20,sd30 2:40/60,60+1".
#   -t  controls (default "40/20 40/60 sd30 60+1": 40 moves in 20 s, in 1 minute,
#       sudden death 30 s, 1 minute + 1 s a move; sd10, sudden death 10 s, tries the script quickly)
#   -s  opponents (default "fairymax phalanx gnuchess sjeng hoichess"; missing ones are skipped;
#       "kelp" is <repo>/build/kelp in its documented mode)
#   -p  Kelp's protocol versions (default "2 1")
#   -d  a date (as `date -d` reads it) after which no game starts whose usual length no longer fits
# Every game has a wall-clock limit; a game cut by it counts as the stuck side's failure.
# Exit status: 0 when Kelp had no forfeit, illegal move or crash, 1 otherwise, 2 bad usage.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
ENGINE="$ROOT/build/kelp"
OUT="bench-tournament-$(date +%Y%m%d-%H%M%S)"
PARALLEL=1
ROUNDS="1 2"
CONTROLS="40/20 40/60 sd30 60+1"
OPPONENTS="fairymax phalanx gnuchess sjeng hoichess"
PROTOCOLS="2 1"
DEADLINE=""
ENGINE_ARGS=""
PONDER=-xponder

while getopts "e:a:Po:j:r:t:s:p:d:h" opt; do
    case "$opt" in
    e) ENGINE="$OPTARG" ;;
    a) ENGINE_ARGS="$OPTARG" ;;
    P) PONDER=-ponder ;;
    o) OUT="$OPTARG" ;;
    j) PARALLEL="$OPTARG" ;;
    r) if [[ "$OPTARG" =~ ^[0-9]+$ ]]; then ROUNDS="$(seq -s ' ' 1 "$OPTARG")"; else ROUNDS="$OPTARG"; fi ;;
    t) CONTROLS="$OPTARG" ;;
    s) OPPONENTS="$OPTARG" ;;
    p) PROTOCOLS="$OPTARG" ;;
    d) DEADLINE="$(date -d "$OPTARG" +%s)" ;;
    *) sed -n '2,28p' "$0"; exit 2 ;;
    esac
done

find_program() {
    command -v "$1" 2>/dev/null || { [ -x "/usr/games/$1" ] && echo "/usr/games/$1"; } || true
}
XBOARD="$(find_program xboard)"
if [ -z "$XBOARD" ] || [ -z "$(find_program xvfb-run)" ]; then
    echo "tournament: needs xboard and xvfb-run (apt-get install xboard xvfb xauth)" >&2
    exit 2
fi
[ -x "$ENGINE" ] || { echo "tournament: engine '$ENGINE' not found" >&2; exit 2; }
ENGINE="$(cd "$(dirname "$ENGINE")" && pwd)/$(basename "$ENGINE")${ENGINE_ARGS:+ $ENGINE_ARGS}"

# xboard's time control options, the wall-clock limit of one game and its usual length (seconds).
control_args() {
    case "$1" in
    40/20) echo "-mps 40 -tc 0:20 240 100" ;;
    40/60) echo "-mps 40 -tc 1 600 260" ;;
    sd30) echo "-tc 0:30 -inc 0 150 70" ;;
    60+1) echo "-tc 1 -inc 1 420 200" ;;
    sd10) echo "-tc 0:10 -inc 0 90 30" ;;   # a quick trial of the script
    *) return 1 ;;
    esac
}
# The command of an opponent, with the options that keep it to itself (no learning files).
opponent_command() {
    local path
    if [ "$1" = kelp ]; then
        [ -x "$ROOT/build/kelp" ] && echo "$ROOT/build/kelp"
        return
    fi
    path="$(find_program "$1")"
    [ -n "$path" ] || return 1
    case "$1" in
    phalanx) echo "$path -l-" ;;
    gnuchess | hoichess) echo "$path --xboard" ;;
    *) echo "$path" ;;
    esac
}

mkdir -p "$OUT"
OUT="$(cd "$OUT" && pwd)"
jobs_file="$OUT/jobs"
: >"$jobs_file"
round_allows() {   # round number, control
    local round_entry
    for round_entry in $ROUNDS; do
        if [ "${round_entry%%:*}" = "$1" ]; then
            [[ "$round_entry" != *:* ]] || [[ ",${round_entry#*:}," == *",$2,"* ]]
            return
        fi
    done
    return 1
}
for round_entry in $ROUNDS; do
    round="${round_entry%%:*}"
    for protocol in $PROTOCOLS; do
        for opponent in $OPPONENTS; do
            opponent_command "$opponent" >/dev/null || continue
            for control in $CONTROLS; do
                round_allows "$round" "$control" || continue
                # Protocol 2 games start with Kelp White in odd rounds; protocol 1 the other way.
                if [ $(((round + protocol) % 2)) -eq 1 ]; then side=white; else side=black; fi
                echo "$round $control $opponent $protocol $side" >>"$jobs_file"
            done
        done
    done
done
for opponent in $OPPONENTS; do
    opponent_command "$opponent" >/dev/null || echo "tournament: $opponent is not installed; skipped"
done
total=$(wc -l <"$jobs_file")
echo "== $total games, $PARALLEL at once; Kelp $ENGINE; results in $OUT"

play_game() {   # display, job line number
    local display="$1" n="$2" round control opponent protocol side
    read -r round control opponent protocol side < <(sed -n "${n}p" "$jobs_file")
    local args tc_args limit usual
    args=($(control_args "$control"))
    limit="${args[-2]}"
    usual="${args[-1]}"
    tc_args=("${args[@]:0:${#args[@]}-2}")
    local dir
    dir="$OUT/$(printf '%03d' "$n")-${control/\//-}-$opponent-v$protocol-$side"
    if [ -n "$DEADLINE" ] && [ $(($(date +%s) + usual)) -gt "$DEADLINE" ]; then
        echo "$(date -u +%H:%M:%S) game $n/$total not started: past the deadline"
        return
    fi
    mkdir -p "$dir/home"
    local kelp_args opp_args opp
    opp="$(opponent_command "$opponent")"
    kelp_args=(-ProtocolVersion "$protocol")
    opp_args=(-ProtocolVersion 2 -ComputerString '')   # Fairy-Max may crash on "computer"
    local first="$ENGINE" second="$opp" first_opts=("${kelp_args[@]}") second_opts=("${opp_args[@]}")
    if [ "$side" = black ]; then
        first="$opp"; second="$ENGINE"; first_opts=("${opp_args[@]}"); second_opts=("${kelp_args[@]}")
    fi
    local xboard_args=(-fcp "$first" -scp "$second")
    local o
    for ((o = 0; o < ${#first_opts[@]}; o += 2)); do xboard_args+=("-first${first_opts[o]#-}" "${first_opts[o + 1]}"); done
    for ((o = 0; o < ${#second_opts[@]}; o += 2)); do xboard_args+=("-second${second_opts[o]#-}" "${second_opts[o + 1]}"); done
    {
        echo "control=$control"
        echo "opponent=$opponent"
        echo "protocol=$protocol"
        echo "kelp=$side"
        echo "kelp_args=$ENGINE_ARGS"
        echo "limit=$limit"
    } >"$dir/meta"
    local start status=0
    start=$(date +%s)
    # -adjudicateDrawMoves: a game still going after 150 moves is a draw.
    (cd "$dir" && HOME="$dir/home" timeout -k 10 "$limit" xvfb-run -n "$display" -s "-screen 0 1024x768x24" "$XBOARD" \
        "${xboard_args[@]}" -matchGames 1 "${tc_args[@]}" -adjudicateDrawMoves 150 \
        "$PONDER" -autoCallFlag true -testClaims true -checkMates true \
        -popupExitMessage false -popupMoveErrors false -saveSettingsOnExit false \
        -soundProgram true -noGUI -saveGameFile "$dir/game.pgn" -debugMode true -nameOfDebugFile "$dir/xboard.debug" \
        </dev/null >"$dir/xboard.stderr" 2>&1) || status=$?
    echo "status=$status" >>"$dir/meta"
    echo "seconds=$(($(date +%s) - start))" >>"$dir/meta"
    echo "$(date -u +%H:%M:%S) game $n/$total $control $opponent v$protocol Kelp $side: status $status," \
        "$(($(date +%s) - start)) s, $(grep -h '^\[Result ' "$dir/game.pgn" 2>/dev/null || echo 'no PGN')"
}

worker() {   # display
    local n
    while true; do
        n=$( (flock 9; n=$(($(cat "$OUT/next" 2>/dev/null || echo 0) + 1)); echo "$n" >"$OUT/next"; echo "$n") 9>"$OUT/lock")
        [ "$n" -le "$total" ] || return 0
        play_game "$1" "$n"
    done
}

rm -f "$OUT/next"
base_display=$((600 + RANDOM % 300))   # far above the displays `xvfb-run -a` picks
for ((w = 0; w < PARALLEL; ++w)); do
    worker $((base_display + w)) &
done
wait
python3 "$ROOT/bench/tournament_report.py" "$OUT" | tee "$OUT/report.txt"
