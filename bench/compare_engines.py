#!/usr/bin/env python3
"""Search speed of Kelp against the xboard engines Debian packages.

Each engine searches the same positions for the same fixed time through its
xboard interface with thinking output (no book, no pondering). Its nodes per
second come from its own report at the end of the search where it gives one
(nodes and search time), else from its last thinking line (nodes over the time
on that line, in centiseconds), else from the wall time from "go" to its move.
A result counts only if the engine searched (thinking lines with nodes) and
the first move of its last line and the move it played are legal in the
position, so a silently ignored position or side to move is caught.

Kelp's figure comes from build/kelp-search-speed: fresh fixed-time searches of
the same positions through the engine's own search, as `kelp-tool bench` runs
them (8 MiB table). Legal moves come from `kelp-tool divide FEN 1`.

Installs nothing: engines that are not present are skipped. With ROUNDS above
1 the whole comparison is repeated, Kelp and the engines taking turns, and
the medians over the rounds are compared (the machine's speed drifts).
Usage: bench/compare_engines.py [SECONDS_PER_POSITION] [ROUNDS]   (defaults 5, 1)
Build first: cmake --build build -j2 --target kelp-tool kelp-search-speed
Exit status: 0 when Kelp's mean is above the fastest engine's, 1 otherwise.
"""
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

POSITIONS = [
    ("start", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"),
    ("middle", "r1b1k2r/ppppqppp/2n2n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQK2R w KQkq - 1 6"),
    ("endgame", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 40"),
]

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
# KELP_SEARCH_SPEED and KELP_TOOL name other builds to measure.
KELP_SPEED = os.environ.get("KELP_SEARCH_SPEED", os.path.join(ROOT, "build", "kelp-search-speed"))
KELP_TOOL = os.environ.get("KELP_TOOL", os.path.join(ROOT, "build", "kelp-tool"))

# How a search is bounded:
#   "move-now": "st" far above the budget, then "?" when the budget is up;
#   "own-clock": "st" equal to the budget (the engine stops itself on time);
#   "analyze":  analysis mode, left with "exit" when the budget is up (for an
#               engine that reads no input during a normal search and whose
#               "st" only decides whether another iteration starts).
ENGINES = [
    {"name": "fairymax", "argv": ["fairymax"], "setup": [], "setboard": False, "mode": "analyze"},
    # -b- no book, -l- no learning file
    {"name": "phalanx", "argv": ["phalanx", "-b-", "-l-"], "setup": [], "setboard": True, "mode": "move-now"},
    {"name": "gnuchess", "argv": ["gnuchess", "--xboard"], "setup": ["book off"], "setboard": True,
     "mode": "move-now"},
    {"name": "sjeng", "argv": ["sjeng"], "setup": [], "setboard": True, "mode": "move-now"},
    # hoichess reads no input while it searches: its own clock ends the search,
    # with the iteration-time heuristics off so that it uses all of "st";
    # verbose=1 makes it report total nodes, search time and whether it took a book move.
    {"name": "hoichess", "argv": ["hoichess", "--xboard"],
     "setup": ["book close", "cores 1",
               "option search_extend_time_iteration_enable=0",
               "option search_time_for_new_iteration_enable=0",
               "option verbose=1"],
     "setboard": True, "mode": "own-clock"},
]

THINKING = re.compile(r"^\s*(\d+)[.&]?\s+([-+]?\d+)\s+(\d+)\s+(\d+)\s*(.*)$")
MOVE = re.compile(r"^(?:move|My move is\s*:)\s+(\S+)")
ERROR = re.compile(r"^(Error|Illegal)", re.IGNORECASE)
# End-of-search reports: (nodes, seconds) from what each engine prints before its move.
PHALANX_REPORT = re.compile(r"nodes=(\d+); nps=(\d+)")
SJENG_REPORT = re.compile(r"whisper .* n: (\d+) .* time: ([\d.]+) nps:")
HOICHESS_NODES = re.compile(r"Info: nodes_total=(\d+)")
HOICHESS_TIME = re.compile(r"Info: searchtime=([\d.]+)")
HOICHESS_BOOK = re.compile(r"Info: bookmove=(\d+)")


def find(program):
    path = shutil.which(program)
    if path:
        return path
    path = "/usr/games/" + program
    return path if os.path.exists(path) else None


# --- positions and moves ----------------------------------------------------

def board_of(fen):
    """Square name -> piece letter (upper case white), and the side to move."""
    fields = fen.split()
    board = {}
    for row, text in enumerate(fields[0].split("/")):
        file = 0
        for ch in text:
            if ch.isdigit():
                file += int(ch)
            else:
                board["abcdefgh"[file] + str(8 - row)] = ch
                file += 1
    return board, fields[1]


def legal_moves(fen):
    """Coordinate moves legal in the position, or None without kelp-tool."""
    if not os.path.exists(KELP_TOOL):
        return None
    out = subprocess.run([KELP_TOOL, "divide", fen, "1"], capture_output=True, text=True).stdout
    moves = [line.split()[0] for line in out.splitlines() if line and not line.startswith("total")]
    return set(m for m in moves if re.fullmatch(r"[a-h][1-8][a-h][1-8][qrbn]?", m))


def match_move(token, fen, legal):
    """The legal coordinate move a move text (coordinate, long or short
    algebraic) stands for, or None."""
    token = token.strip("()<>!?+#").rstrip("+#!?")
    board, side = board_of(fen)
    rank = "1" if side == "w" else "8"
    if token in ("O-O", "0-0"):
        return "e%sg%s" % (rank, rank) if "e%sg%s" % (rank, rank) in legal else None
    if token in ("O-O-O", "0-0-0"):
        return "e%sc%s" % (rank, rank) if "e%sc%s" % (rank, rank) in legal else None
    m = re.fullmatch(r"([a-h][1-8])([a-h][1-8])([qrbnQRBN]?)", token)
    if m:
        move = m.group(1) + m.group(2) + m.group(3).lower()
        return move if move in legal else None
    m = re.fullmatch(r"([KQRBN]?)([a-h][1-8])[-x:]([a-h][1-8])(?:=?([QRBNqrbn]))?", token)
    if m:   # long algebraic: Bc1-g5, e7-e8=Q
        move = m.group(2) + m.group(3) + (m.group(4) or "").lower()
        return move if move in legal else None
    m = re.fullmatch(r"([KQRBN]?)([a-h]?)([1-8]?)x?([a-h][1-8])(?:=?([QRBN]))?", token)
    if not m:
        return None
    piece = m.group(1) or "P"
    found = []
    for move in legal:
        here = board.get(move[:2], "")
        if move[2:4] != m.group(4) or here.upper() != piece:
            continue
        if m.group(2) and move[0] != m.group(2) or m.group(3) and move[1] != m.group(3):
            continue
        if move[4:] != (m.group(5) or "").lower():
            continue
        found.append(move)
    return found[0] if len(found) == 1 else None


def first_pv_move(pv):
    for token in pv.split():
        if re.fullmatch(r"\d+\.+|\.\.\.|\([+-]\)|!", token):
            continue   # move numbers and fail-high/low marks
        return token
    return None


# --- one engine -------------------------------------------------------------

class Engine:
    def __init__(self, argv, cwd):
        self.proc = subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.STDOUT, cwd=cwd)
        self.buffer = b""
        # gnuchess sometimes drops input that arrives while it is starting up.
        time.sleep(0.3)

    def send(self, line, pause=0.02):
        """Sends a line; the short pause keeps set-up commands from arriving as one burst."""
        try:
            self.proc.stdin.write((line + "\n").encode())
            self.proc.stdin.flush()
        except (BrokenPipeError, OSError):
            pass
        time.sleep(pause)

    def read_line(self, deadline):
        """The next output line, or None at the deadline or end of output."""
        fd = self.proc.stdout.fileno()
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            ready, _, _ = select.select([fd], [], [], left)
            if not ready:
                return None
            chunk = os.read(fd, 65536)
            if not chunk:
                return None
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.decode(errors="replace").rstrip("\r")

    def sync(self, number, timeout=10.0):
        """Sends a ping and returns the lines before its pong (None: no pong)."""
        self.send("ping %d" % number)
        deadline = time.monotonic() + timeout
        lines = []
        while True:
            line = self.read_line(deadline)
            if line is None:
                return None
            if line.strip() == "pong %d" % number:
                return lines
            lines.append(line)

    def close(self):
        self.send("quit")
        try:
            self.proc.wait(timeout=3)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


def edit_commands(fen):
    """The "edit" sequence that sets up the position (castling follows from
    kings and rooks on their home squares)."""
    board, side = board_of(fen)
    commands = ["a2a3"] if side == "b" else []   # the documented way to get black to move
    commands += ["edit", "#"]
    commands += [p.upper() + sq for sq, p in board.items() if p.isupper()]
    commands.append("c")
    commands += [p.upper() + sq for sq, p in board.items() if p.islower()]
    commands.append(".")
    return commands


class Result:
    def __init__(self):
        self.nps = None
        self.source = ""
        self.problems = []
        self.notes = []
        self.depth = None
        self.move = None


def measure(engine_info, program, fen, seconds, legal, workdir):
    result = Result()
    engine = Engine([program] + engine_info["argv"][1:], workdir)
    try:
        engine.send("xboard")
        engine.send("protover 2")
        deadline = time.monotonic() + 5
        while True:   # features up to done=1 (or a quiet engine)
            line = engine.read_line(deadline)
            if line is None or "done=1" in line:
                break
        engine.send("new")
        engine.send("force")
        for command in engine_info["setup"]:
            engine.send(command)
        engine.send("easy")
        engine.send("post")
        for command in (["setboard " + fen] if engine_info["setboard"] else edit_commands(fen)):
            engine.send(command)
        mode = engine_info["mode"]
        if mode != "analyze":
            engine.send("st %d" % (seconds if mode == "own-clock" else seconds * 10))
        answers = engine.sync(1)
        if answers is None:
            result.problems.append("no answer to ping during set-up")
            return result
        errors = [line for line in answers if ERROR.match(line.strip())]
        if errors:
            result.problems.append("set-up rejected: " + errors[0])
            return result

        start = time.monotonic()
        engine.send("analyze" if mode == "analyze" else "go", pause=0)
        budget_end = start + seconds
        give_up = start + seconds * 3 + 15
        stop_sent = False
        last = None            # (depth, cs, nodes, pv, arrival) of the last thinking line
        lines = []
        moved_at = None
        while True:
            now = time.monotonic()
            if not stop_sent and now >= budget_end and mode != "own-clock":
                engine.send("exit" if mode == "analyze" else "?", pause=0)
                stop_sent = True
                if mode == "analyze":
                    break
            line = engine.read_line(budget_end if not stop_sent and mode != "own-clock" else give_up)
            if line is None:
                if time.monotonic() >= give_up or engine.proc.poll() is not None:
                    break
                continue
            lines.append(line)
            m = THINKING.match(line)
            if m:
                last = (int(m.group(1)), int(m.group(3)), int(m.group(4)), m.group(5), time.monotonic())
                continue
            m = MOVE.match(line.strip())
            if m:
                result.move = m.group(1)
                moved_at = time.monotonic()
                break
        wall = (moved_at or time.monotonic()) - start
        if mode == "analyze":
            wall = seconds
            if engine.sync(2) is None:
                result.notes.append("no pong after exit")
        elif result.move is None:
            result.problems.append("no move within %.0f s" % (give_up - start))
            return result

        if last is None or last[2] <= 0:
            result.problems.append("no thinking output with nodes (book move?)")
            return result
        result.depth = last[0]
        text = "\n".join(lines)
        report = None
        if engine_info["name"] == "phalanx":
            m = PHALANX_REPORT.search(text)
            if m and int(m.group(2)) > 0:
                report = (int(m.group(1)), int(m.group(1)) / int(m.group(2)))
        elif engine_info["name"] == "sjeng":
            m = SJENG_REPORT.search(text)
            if m:
                report = (int(m.group(1)), float(m.group(2)))
        elif engine_info["name"] == "hoichess":
            n, t, b = HOICHESS_NODES.search(text), HOICHESS_TIME.search(text), HOICHESS_BOOK.search(text)
            if b and b.group(1) != "0":
                result.problems.append("book move")
            if n and t:
                report = (int(n.group(1)), float(t.group(1)))
        if report and report[0] > 0 and 0 < report[1] <= wall + 0.5:
            result.nps = report[0] / report[1]
            result.source = "final report: %d nodes in %.2f s" % report
        elif 0 < last[1] / 100.0 <= wall + 0.5:
            result.nps = last[2] / (last[1] / 100.0)
            result.source = "last thinking line: %d nodes at %.2f s" % (last[2], last[1] / 100.0)
        else:
            result.nps = last[2] / wall
            result.source = "last thinking line: %d nodes over %.2f s wall time" % (last[2], wall)

        if mode != "analyze" and wall < seconds * 0.8:
            result.notes.append("moved after %.2f s of %d" % (wall, seconds))
        if mode != "analyze" and wall > seconds + 1.0:
            result.notes.append("moved only after %.2f s" % wall)
        if legal is not None:
            token = first_pv_move(last[3])
            if token is None or match_move(token, fen, legal) is None:
                result.problems.append("first move of its line %r is not legal here" % token)
            if result.move is not None and match_move(result.move, fen, legal) is None:
                result.problems.append("played %r, not legal here" % result.move)
        else:
            result.notes.append("moves unchecked (build/kelp-tool missing)")
        return result
    finally:
        engine.close()


# --- Kelp -------------------------------------------------------------------

def kelp_speed(seconds):
    if not os.path.exists(KELP_SPEED):
        return None
    run = subprocess.run([KELP_SPEED, str(seconds * 1000)] + [fen for _, fen in POSITIONS],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    out = run.stdout.split("\n")
    row = {}
    for (name, _), line in zip(POSITIONS, out):
        fields = line.split()
        if len(fields) == 2 and int(fields[1]) > 0:
            result = Result()
            result.nps = int(fields[0]) * 1000.0 / int(fields[1])
            result.source = "%s nodes in %.2f s" % (fields[0], int(fields[1]) / 1000.0)
            row[name] = result
    return row


def mean(values):
    return sum(values) / len(values) if values else None


def median(values):
    ordered = sorted(values)
    return ordered[(len(ordered) - 1) // 2] if ordered else None


def measure_round(seconds, legal, workdir, verbose):
    """One round: Kelp, then every installed engine; name -> position -> nps."""
    kelp = kelp_speed(seconds)
    if kelp is None:
        sys.exit("build/kelp-search-speed missing: cmake --build build -j2 --target kelp-search-speed")
    for name, result in kelp.items():
        print("  %-9s %-8s %s" % ("kelp", name, result.source))
    table = {"kelp": {p: r.nps for p, r in kelp.items()}}
    for engine_info in ENGINES:
        program = find(engine_info["argv"][0])
        if not program:
            if verbose:
                print("  %-9s not installed, skipped" % engine_info["name"])
            continue
        row = {}
        for position, fen in POSITIONS:
            result = measure(engine_info, program, fen, seconds, legal[fen], workdir)
            status = "; ".join(result.problems + result.notes)
            detail = result.source if result.nps and not result.problems else "NOT COUNTED"
            print("  %-9s %-8s %s%s" % (engine_info["name"], position, detail, " (" + status + ")" if status else ""))
            if result.nps and not result.problems:
                row[position] = result.nps
        table[engine_info["name"]] = row
    return table


def row_mean(row):
    return mean([row[p] for p, _ in POSITIONS]) if all(p in row for p, _ in POSITIONS) else None


def main():
    try:
        seconds = int(sys.argv[1]) if len(sys.argv) > 1 else 5
        rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    except ValueError:
        seconds = rounds = 0
    if seconds < 1 or rounds < 1:
        sys.exit("usage: bench/compare_engines.py [SECONDS_PER_POSITION >= 1] [ROUNDS >= 1]")
    legal = {fen: legal_moves(fen) for _, fen in POSITIONS}
    print("%d s per position, %d round(s); nodes per second, single thread" % (seconds, rounds))
    workdir = tempfile.mkdtemp(prefix="kelp-compare-")   # learning files and logs land here
    tables = []
    ratios = []   # per round: Kelp's mean over the fastest other engine's mean
    try:
        for r in range(rounds):
            if rounds > 1:
                print("round %d" % (r + 1))
            table = measure_round(seconds, legal, workdir, r == 0)
            tables.append(table)
            means = {n: row_mean(row) for n, row in table.items()}
            others = {n: m for n, m in means.items() if n != "kelp" and m}
            if means["kelp"] and others:
                fastest = max(others, key=others.get)
                ratios.append(means["kelp"] / others[fastest])
                if rounds > 1:
                    print("  round %d: Kelp %.0f, fastest %s %.0f: %.2fx" %
                          (r + 1, means["kelp"], fastest, others[fastest], ratios[-1]))
    finally:
        shutil.rmtree(workdir, ignore_errors=True)

    # Medians over the rounds, position by position.
    names = [n for n in tables[0]]
    table = {}
    for name in names:
        row = {}
        for position, _ in POSITIONS:
            values = [t[name][position] for t in tables if position in t.get(name, {})]
            if len(values) == len(tables):
                row[position] = median(values)
        table[name] = row
    print()
    if rounds > 1:
        print("medians of %d rounds" % rounds)
    print("%-10s" % "engine" + "".join("%12s" % p for p, _ in POSITIONS) + "%12s" % "mean")
    means = {}
    for name, row in table.items():
        cells = ["%12s" % ("%.0f" % row[p] if p in row else "-") for p, _ in POSITIONS]
        means[name] = row_mean(row)
        print("%-10s" % name + "".join(cells) + "%12s" % ("%.0f" % means[name] if means[name] else "-"))

    others = {n: m for n, m in means.items() if n != "kelp" and m}
    if not means["kelp"] or not others:
        print("\nno comparison: missing results")
        return 1
    fastest = max(others, key=others.get)
    margin = means["kelp"] / others[fastest] - 1
    print("\nKelp mean %.0f vs fastest %s %.0f: %+.1f%% (%.2fx)" %
          (means["kelp"], fastest, others[fastest], margin * 100, margin + 1))
    if rounds > 1 and ratios:
        print("Kelp over the fastest engine of each round: median %.2fx (rounds: %s)" %
              (median(ratios), " ".join("%.2f" % x for x in ratios)))
    for position, _ in POSITIONS:
        best = max((n for n in table if n != "kelp" and position in table[n]),
                   key=lambda n: table[n][position], default=None)
        if best and position in table["kelp"]:
            print("  %-8s Kelp %+.1f%% vs %s" % (position, (table["kelp"][position] / table[best][position] - 1) * 100, best))
    incomplete = [n for n in table if n != "kelp" and not means.get(n)]
    if incomplete:
        print("incomplete (not in the comparison): " + ", ".join(incomplete))
    return 0 if margin > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
