#!/usr/bin/env python3
"""Time to depth and nodes per second of kelp-full with several thread counts
(UCI option Threads), over a fixed set of positions: each round searches every
position to its depth (one thread takes 1 to 5 s on a current desktop core;
-d adds plies to every depth) with each thread count in turn (a fresh engine
each time, so no table carries over), and the medians over the rounds are
compared.

Usage: bench/threads_scaling.py [-e ENGINE] [-t 1,2] [-d EXTRA_PLIES] [-r ROUNDS]
       (default build/kelp-full, threads 1 and 2, no extra plies, 5 rounds)"""

import argparse
import os
import statistics
import subprocess
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
POSITIONS = [   # FEN and depth
    ("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 9),
    ("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3", 8),
    ("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 6),
    ("r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 22", 6),
    ("8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 40", 11),
    ("8/pp3k2/8/2P5/8/5K2/PP6/8 w - - 0 35", 13),
]


def search(engine, threads, fen, depth):
    """Seconds to reach `depth` and the nodes per second of the last line."""
    process = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True, bufsize=1)

    def send(line):
        process.stdin.write(line + "\n")
        process.stdin.flush()

    def wait_for(prefix):
        last_info = ""
        while True:
            line = process.stdout.readline()
            if not line:
                raise SystemExit("the engine ended")
            if line.startswith("info depth"):
                last_info = line
            if line.startswith(prefix):
                return last_info

    send("uci")
    wait_for("uciok")
    send(f"setoption name Threads value {threads}")
    send("isready")
    wait_for("readyok")
    send(f"position fen {fen}")
    start = time.monotonic()
    send(f"go depth {depth}")
    last_info = wait_for("bestmove")
    seconds = time.monotonic() - start
    send("quit")
    process.wait(timeout=10)
    words = last_info.split()
    nps = int(words[words.index("nps") + 1]) if "nps" in words else 0
    return seconds, nps


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("-e", "--engine", default=os.path.join(ROOT, "build", "kelp-full"))
    parser.add_argument("-t", "--threads", default="1,2")
    parser.add_argument("-d", "--depth", type=int, default=0, help="plies added to every position's depth")
    parser.add_argument("-r", "--rounds", type=int, default=5)
    args = parser.parse_args()
    counts = [int(t) for t in args.threads.split(",")]
    seconds = {t: [] for t in counts}
    speeds = {t: [] for t in counts}
    for _ in range(args.rounds):
        for fen, depth in POSITIONS:
            for threads in counts:
                s, nps = search(args.engine, threads, fen, depth + args.depth)
                seconds[threads].append(s)
                speeds[threads].append(nps)
    base = counts[0]
    rounds_total = {t: [sum(seconds[t][i:i + len(POSITIONS)]) for i in range(0, len(seconds[t]), len(POSITIONS))]
                    for t in counts}
    print(f"{len(POSITIONS)} positions to their depths (+{args.depth}), {args.rounds} rounds; medians")
    for threads in counts:
        line = (f"threads {threads:3d}: {statistics.median(rounds_total[threads]):7.2f} s for all positions, "
                f"{statistics.median(speeds[threads]) / 1e6:5.2f} M nodes/s")
        if threads != base:
            time_gain = statistics.median(rounds_total[base]) / statistics.median(rounds_total[threads])
            speed_gain = statistics.median(speeds[threads]) / max(statistics.median(speeds[base]), 1)
            line += f"; {time_gain:4.2f}x faster to depth, {speed_gain:4.2f}x the nodes/s of {base}"
        print(line)

if __name__ == "__main__":
    main()
