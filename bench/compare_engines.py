#!/usr/bin/env python3
"""Search speed of Kelp against the xboard engines Debian packages.

Each engine searches the same positions for the same fixed time through its
xboard interface with thinking output; its nodes per second come from its last
thinking line (nodes) and the wall time from "go" to its move. Kelp's figure
comes from build/kelp-search-speed, fixed-time searches of the same positions
through the engine's own search (as `kelp-tool bench` runs it).

Installs nothing: engines that are not present are skipped.
Usage: bench/compare_engines.py [SECONDS_PER_POSITION]
"""
import os
import re
import select
import shutil
import subprocess
import sys
import time

POSITIONS = [
    ("start", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"),
    ("middle", "r1b1k2r/ppppqppp/2n2n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQK2R w KQkq - 1 6"),
    ("endgame", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 40"),
]

# name, command line, whether "setboard" works for it (else "edit" is used)
ENGINES = [
    ("fairymax", ["fairymax"]),
    ("phalanx", ["phalanx"]),
    ("gnuchess", ["gnuchess", "--xboard"]),
    ("sjeng", ["sjeng"]),
    ("hoichess", ["hoichess", "--xboard"]),
]

THINKING = re.compile(r"^\s*(\d+)[.&]?\s+(-?\d+)\s+(\d+)\s+(\d+)")


def find(program):
    return shutil.which(program) or (os.path.exists("/usr/games/" + program) and "/usr/games/" + program)


class Engine:
    def __init__(self, argv):
        self.proc = subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True, bufsize=1)
        self.buffer = ""

    def send(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()

    def lines(self, timeout):
        deadline = time.monotonic() + timeout
        fd = self.proc.stdout.fileno()
        while True:
            while "\n" in self.buffer:
                line, self.buffer = self.buffer.split("\n", 1)
                yield line
            left = deadline - time.monotonic()
            if left <= 0:
                return
            ready, _, _ = select.select([fd], [], [], left)
            if not ready:
                return
            chunk = os.read(fd, 65536).decode(errors="replace")
            if not chunk:
                return
            self.buffer += chunk

    def close(self):
        try:
            self.send("quit")
            self.proc.wait(timeout=5)
        except Exception:
            self.proc.kill()


def measure(argv, fen, seconds):
    engine = Engine(argv)
    engine.send("xboard")
    engine.send("protover 2")
    for line in engine.lines(2.0):
        if "done=1" in line:
            break
    for command in ("new", "force", "post", "easy", "setboard " + fen, "st %d" % seconds):
        engine.send(command)
    time.sleep(0.3)
    list(engine.lines(0.1))
    start = time.monotonic()
    engine.send("go")
    nodes = None
    for line in engine.lines(seconds * 3 + 10):
        m = THINKING.match(line)
        if m:
            nodes = int(m.group(4))
        if line.startswith("move ") or line.startswith("My move"):
            break
    elapsed = time.monotonic() - start
    engine.close()
    return nodes, elapsed


def kelp_speed(seconds):
    binary = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build", "kelp-search-speed")
    if not os.path.exists(binary):
        print("build/kelp-search-speed missing: run 'cmake --build build --target kelp-search-speed'")
        return {}
    out = subprocess.run([binary, str(seconds * 1000)] + [fen for _, fen in POSITIONS],
                         capture_output=True, text=True).stdout.split("\n")
    result = {}
    for (name, _), line in zip(POSITIONS, out):
        nodes, ms = line.split()
        result[name] = (int(nodes), int(ms) / 1000.0)
    return result


def main():
    seconds = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    table = {"kelp": kelp_speed(seconds)}
    for name, argv in ENGINES:
        program = find(argv[0])
        if not program:
            print("%s: not installed, skipped" % name)
            continue
        table[name] = {}
        for position, fen in POSITIONS:
            table[name][position] = measure([program] + argv[1:], fen, seconds)
    print("%-10s" % "engine" + "".join("%14s" % p for p, _ in POSITIONS) + "   (nodes per second)")
    for name, row in table.items():
        cells = []
        for position, _ in POSITIONS:
            nodes, elapsed = row.get(position, (None, 0))
            cells.append("%14s" % ("%.0f" % (nodes / elapsed) if nodes and elapsed > 0 else "-"))
        print("%-10s" % name + "".join(cells))


if __name__ == "__main__":
    main()
