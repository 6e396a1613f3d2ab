#!/usr/bin/env python3
"""The table of a bench/tournament.sh run: per time control and opponent the
games, Kelp's score, the Elo difference with a 95% interval, Kelp's time
forfeits, illegal moves or false claims, crashes or hangs, and its worst think
time over its budget; then every failure of an opponent. A game the opponent
lost by its own failure (out of time before its first move, a crash, a hang) is listed and
counted apart, not scored: it says nothing about strength.

Usage: tournament_report.py OUT_DIR   (one subdirectory per game, as the script writes them)

Think times come from xboard's debug log: from the line that handed Kelp the
move ("go", or the opponent's move) to Kelp's "move" line, both stamped by
xboard. The budget is worked out from what xboard sent (level, time, moves so
far) by the engine's own rules, reserve included. The first search of a game is
listed apart: xboard starts Kelp's clock before the engine has finished
starting (its protocol detection waits 500 ms for the second line)."""

import math
import os
import re
import sys



def engine_reserve_ms():
    """The engine's clock reserve, read from its source so the two never differ."""
    header = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "Engine", "game", "time_control.h")
    with open(header) as handle:
        return int(re.search(r"CLOCK_RESERVE_MS = (\d+)", handle.read()).group(1))


RESERVE_MS = engine_reserve_ms()
TOKEN = re.compile(r"(\d+) ([<>])(first|second)\s*: ")
MOVE_TEXT = re.compile(r"^[a-h][1-8][a-h][1-8][qrbn]?$")


def clock_rule(clock_ms, half_moves, per_control, current):
    seconds = clock_ms // 1000
    full = half_moves // 2
    if per_control:
        if half_moves == 0:
            rule = current
        else:
            left = per_control - full % per_control
            rule = seconds * 1000 // left or clock_ms // left
    elif seconds < 5:
        rule = 50
    else:
        divisor = 100 if full <= 3 else 50 if full <= 9 else 30 if full <= 24 else 20
        share = seconds // divisor
        rule = share * 1000 if share else 500
    return min(rule, max(clock_ms - RESERVE_MS, 0))


def atoi(word):
    match = re.match(r"\s*([-+]?\d+)", word)
    return int(match.group(1)) if match else 0


def tokens(path):
    """(ms, direction, engine, text) of every line xboard sent or read."""
    with open(path, errors="replace") as handle:
        text = handle.read()
    out = []
    for line in text.split("\n"):
        found = list(TOKEN.finditer(line))
        for i, match in enumerate(found):
            end = found[i + 1].start() if i + 1 < len(found) else len(line)
            out.append([int(match.group(1)), match.group(2), match.group(3), line[match.end():end].strip()])
    # xboard writes "usermove " and the move as two stamped pieces.
    merged = []
    for token in out:
        if merged and merged[-1][3] == "usermove" and token[1] == ">" and token[2] == merged[-1][2]:
            merged[-1][3] = "usermove " + token[3]
            continue
        merged.append(token)
    return merged


def think_times(path, side, full_mode=False):
    """[(think ms, budget ms, first search of the game)] of the engine `side` (first/second).
    The full mode adds the level's increment to every budget, within the clock less the reserve."""
    result = []
    per_control, level_ms, budget, clock_ms, increment_ms = 0, 500, 500, None, 0
    history, forced, start, searches = 0, False, None, 0
    for ms, direction, engine, text in tokens(path):
        if engine != side:
            continue
        if direction == "<":
            if text.startswith("move ") and start is not None:
                result.append((ms - start[0], start[1], searches == 1))
                start = None
                history += 1
            continue
        word = text.split(" ", 1)[0]
        begins = False
        if text == "new":
            history, forced, clock_ms = 0, False, None
        elif word == "level":
            words = (text.split() + ["0", "0", "0"])[1:4]
            moves, minutes = max(atoi(words[0]), 0), max(atoi(words[1]), 0)
            share = minutes * 60 // (moves + 1) if moves else minutes * 60 // 30
            level_ms = budget = share * 1000 if share else 500
            per_control, clock_ms = moves, None
            increment_ms = max(atoi(words[2]), 0) * 1000 if full_mode else 0
        elif word == "time":
            clock_ms = max(atoi(text[5:]), 0) * 10
            budget = clock_rule(clock_ms, history, per_control, budget)
        elif text == "force":
            forced = True
        elif text == "go":
            forced, begins = False, True
        elif word == "usermove" or MOVE_TEXT.match(text):
            history += 1
            begins = not forced
        if begins:
            if clock_ms is not None:
                budget = clock_rule(clock_ms, history, per_control, budget)
            granted = budget + increment_ms
            if clock_ms is not None:
                granted = min(granted, max(clock_ms - RESERVE_MS, 0))
            start = (ms, granted)
            searches += 1
    return result


def pgn_game(path):
    """(result, termination comment, white, black) of the first game of a PGN file."""
    if not os.path.exists(path):
        return None
    with open(path, errors="replace") as handle:
        text = handle.read()
    tags = dict(re.findall(r'^\[(\w+) "([^"]*)"\]', text, re.M))
    moves = re.sub(r"^\[.*$", "", text, flags=re.M)
    match = re.search(r"\{([^}]*)\}\s*(1-0|0-1|1/2-1/2|\*)\s*$", moves.strip())
    return tags.get("Result", "*"), match.group(1) if match else "", tags.get("White", ""), tags.get("Black", "")


def elo(score, games, scores):
    """Elo difference and its 95% interval from per-game scores."""
    def to_elo(p):
        if p <= 0:
            return -math.inf
        if p >= 1:
            return math.inf
        return -400 * math.log10(1 / p - 1)
    p = score / games
    deviation = math.sqrt(sum((s - p) ** 2 for s in scores) / games)
    margin = 1.96 * deviation / math.sqrt(games)
    return to_elo(p), to_elo(p - margin), to_elo(p + margin)


def fmt_elo(value):
    return "+inf" if value == math.inf else "-inf" if value == -math.inf else "%+d" % round(value)


def game_record(directory):
    meta = {}
    with open(os.path.join(directory, "meta")) as handle:
        for line in handle:
            key, _, value = line.strip().partition("=")
            meta[key] = value
    if "status" not in meta:
        return None   # not started, or still running
    kelp_side = "first" if meta["kelp"] == "white" else "second"
    opp_side = "second" if kelp_side == "first" else "first"
    record = {"meta": meta, "faults": [], "opponent_faults": [], "score": None, "moves": 0}
    game = pgn_game(os.path.join(directory, "game.pgn"))
    debug = os.path.join(directory, "xboard.debug")
    if (game is None or game[0] == "*") and os.path.exists(debug):
        # xboard saves no PGN of a game without moves; the result it sent the engines tells.
        for ms, direction, engine, text in tokens(debug):
            match = re.match(r"result (1-0|0-1|1/2-1/2) \{(.*)\}", text)
            if direction == ">" and match:
                game = (match.group(1), match.group(2), "", "")
    errors = ""
    for name in ("xboard.stderr", "xboard.debug"):
        path = os.path.join(directory, name)
        if os.path.exists(path):
            with open(path, errors="replace") as handle:
                errors += "\n".join(l for l in handle if "exited unexpectedly" in l or "Illegal move" in l)
    for side, who in ((kelp_side, "faults"), (opp_side, "opponent_faults")):
        if re.search(r"%s chess program .* exited unexpectedly" % side, errors):
            record[who].append("crash")
        if re.search(r'Illegal move "[^"]*" from %s machine' % side, errors):
            record[who].append("illegal move")
    full_mode = "--full" in meta.get("kelp_args", "")
    record["thinks"] = think_times(debug, kelp_side, full_mode) if os.path.exists(debug) else []
    record["opponent_moves"] = sum(1 for ms, direction, engine, text in (tokens(debug) if os.path.exists(debug) else [])
                                   if engine == opp_side and direction == "<" and text.startswith("move "))
    if game is None or game[0] == "*":
        # Cut by the wall-clock limit (or xboard failed): the side that was thinking is stuck.
        last = [t for t in tokens(debug)] if os.path.exists(debug) else []
        waiting = None
        for ms, direction, engine, text in last:
            if direction == ">" and (text == "go" or text.startswith("usermove") or MOVE_TEXT.match(text)):
                waiting = engine
            elif direction == "<" and text.startswith("move "):
                waiting = None
        reason = "no result (xboard status %s%s)" % (meta["status"], ", wall-clock limit" if meta["status"] == "124" else "")
        if waiting == kelp_side:
            record["faults"].append("hang: " + reason)
        else:
            record["opponent_faults"].append(reason)
        return record
    result, comment, white, black = game
    kelp_white = meta["kelp"] == "white"
    points = {"1-0": 1.0, "0-1": 0.0, "1/2-1/2": 0.5}[result]
    record["score"] = points if kelp_white else 1 - points
    record["comment"] = comment
    kelp_lost = record["score"] == 0
    opp_lost = record["score"] == 1
    faulty = re.search(r"on time|[Ff]orfeit|[Ii]llegal|[Ii]nvalid|False .*claim|exited|disconnect|stall", comment)
    if faulty:
        kind = "time forfeit" if "on time" in comment else "crash" if "exited" in comment else "illegal move or false claim"
        if kelp_lost and kind not in record["faults"]:
            record["faults"].append(kind)
        elif opp_lost and kind not in record["opponent_faults"]:
            record["opponent_faults"].append(kind)
    return record


def opponent_failed(record):
    """The opponent crashed or hung, or lost on time without a move: not a game of chess."""
    if record["faults"] or not record["opponent_faults"]:
        return False
    return any(f != "time forfeit" for f in record["opponent_faults"]) or record["opponent_moves"] == 0


def main():
    out = sys.argv[1]
    records = []
    for name in sorted(os.listdir(out)):
        directory = os.path.join(out, name)
        if os.path.isdir(directory) and os.path.exists(os.path.join(directory, "meta")):
            record = game_record(directory)
            if record is not None:
                record["name"] = name
                records.append(record)
    controls = []
    for r in records:
        if r["meta"]["control"] not in controls:
            controls.append(r["meta"]["control"])
    header = "%-6s %-9s %5s %9s %6s %-19s %4s %4s %5s %7s %7s %4s" % (
        "ctrl", "opponent", "games", "W-D-L", "score", "Elo (95%)", "TF", "ill", "crash", "over", "1st", "oppF")
    print(header)
    print("-" * len(header))

    def row(label_control, label_opponent, group):
        scored = [r["score"] for r in group if r["score"] is not None and not opponent_failed(r)]
        faults = [f for r in group for f in r["faults"]]
        thinks = [t for r in group for t in r["thinks"]]
        over = max((t - b for t, b, first in thinks if not first), default=0)
        over_first = max((t - b for t, b, first in thinks if first), default=0)
        if scored:
            games = len(scored)
            total = sum(scored)
            value, low, high = elo(total, games, scored)
            wdl = "%d-%d-%d" % (scored.count(1.0), scored.count(0.5), scored.count(0.0))
            elo_text = "%s [%s,%s]" % (fmt_elo(value), fmt_elo(low), fmt_elo(high))
            score_text = "%.1f" % total
        else:
            games, wdl, elo_text, score_text = 0, "-", "-", "-"
        print("%-6s %-9s %5d %9s %6s %-19s %4d %4d %5d %7d %7d %4d" % (
            label_control, label_opponent, games, wdl, score_text, elo_text,
            sum(1 for f in faults if f == "time forfeit"),
            sum(1 for f in faults if f.startswith("illegal")),
            sum(1 for f in faults if f == "crash" or f.startswith("hang")), over, over_first,
            sum(1 for r in group if opponent_failed(r))))

    for control in controls:
        in_control = [r for r in records if r["meta"]["control"] == control]
        opponents = []
        for r in in_control:
            if r["meta"]["opponent"] not in opponents:
                opponents.append(r["meta"]["opponent"])
        for opponent in opponents:
            row(control, opponent, [r for r in in_control if r["meta"]["opponent"] == opponent])
        row(control, "all", in_control)
    opponents = sorted({r["meta"]["opponent"] for r in records})
    for opponent in opponents:
        row("all", opponent, [r for r in records if r["meta"]["opponent"] == opponent])
    row("all", "all", records)
    for version in ("2", "1"):
        row("v" + version, "all", [r for r in records if r["meta"]["protocol"] == version])
    print()
    print("W-D-L and score are Kelp's; TF time forfeits, ill illegal moves or false claims, crash crashes or")
    print("hangs (all Kelp's); over: Kelp's worst think time beyond its budget in ms, 1st: the same for the")
    print("first search of a game (which includes the engine's start-up); oppF: games the opponent lost")
    print("by its own failure, not scored (listed below).")
    reached = sum(1 for r in records if r["meta"]["control"].startswith("40/") and any(
        True for _ in r["thinks"][40:]))
    print("games at 40-move controls in which Kelp made more than 40 moves: %d" % reached)
    for r in records:
        for fault in r["faults"]:
            print("KELP FAULT %s: %s %s" % (r["name"], fault, r.get("comment", "")))
    for r in records:
        for fault in r["opponent_faults"]:
            print("opponent failure %s: %s %s" % (r["name"], fault, r.get("comment", "")))
    return 1 if any(r["faults"] for r in records) else 0


if __name__ == "__main__":
    sys.exit(main())
