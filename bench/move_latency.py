#!/usr/bin/env python3
"""Move latency at a table size: two engines with `-C SIZE` play each other
over the WinBoard protocol, relayed by this script, each on a 50 ms budget (a
clock under 5 s). Every move is timed from the moment its "usermove" (or "go")
is written to the moment its "move" line is read, as a GUI's clock would time
it, and printed as median, 90th percentile and worst, in ms. The first move of
each engine is left out: it includes clearing the new table.

Usage: bench/move_latency.py [-e ENGINE] [-n MOVES] SIZE...   (default build/kelp, 60 moves)"""

import argparse
import os
import statistics
import subprocess
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


class Engine:
    def __init__(self, path, size):
        self.process = subprocess.Popen([path, "-C", str(size)], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True, bufsize=1)
        self.send("xboard")
        self.send("protover 2")
        self.wait_for("feature")
        self.send("new")
        self.send("level 0 1 0")

    def send(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()

    def wait_for(self, prefix):
        while True:
            line = self.process.stdout.readline()
            if not line:
                return None
            if line.startswith(prefix):
                return line.strip()

    def move(self, command):
        """Sends the clock and `command`; the move and its latency in ms."""
        self.send("time 300")   # 3 s: 50 ms a move
        self.send("otim 300")
        start = time.monotonic()
        self.send(command)
        line = self.wait_for(("move ", "1-0", "0-1", "1/2-1/2", "resign"))
        ms = (time.monotonic() - start) * 1000
        return (line.split()[1] if line and line.startswith("move ") else None), ms

    def close(self):
        self.send("quit")
        self.process.wait(timeout=60)


def measure(path, size, moves):
    white, black = Engine(path, size), Engine(path, size)
    latencies = []
    move, ms = white.move("go")
    engines = [black, white]
    for i in range(moves - 1):
        if move is None:
            break
        move, ms = engines[i % 2].move("usermove " + move)
        if move is not None and i > 0:   # not the game's end, nor Black's first move
            latencies.append(ms)
    white.close()
    black.close()
    latencies.sort()
    print("-C %-5s %3d moves: median %6.1f ms  p90 %6.1f ms  worst %6.1f ms  (budget 50 ms)" % (
        size, len(latencies), statistics.median(latencies), latencies[int(0.9 * (len(latencies) - 1))],
        latencies[-1]), flush=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("-e", default=os.path.join(ROOT, "build", "kelp"))
    parser.add_argument("-n", type=int, default=60)
    parser.add_argument("sizes", nargs="+")
    args = parser.parse_args()
    for size in args.sizes:
        measure(args.e, size, args.n)


if __name__ == "__main__":
    main()
