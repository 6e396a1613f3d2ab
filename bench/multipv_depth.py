#!/usr/bin/env python3
"""What MultiPV costs kelp-full: the deepest iteration finished in a fixed time
with MultiPV 1 and with MultiPV N, from the same positions, in a fresh engine
each time (8 MiB table). The two settings take turns, position by position,
for each round; the medians over the rounds are shown per position, and the
median over the positions of how many plies MultiPV N loses.

Usage: bench/multipv_depth.py [-e ENGINE] [-n LINES] [-t SECONDS] [-r ROUNDS]
       (default build/kelp-full, 4 lines, 10 s, 3 rounds)"""

import argparse
import os
import statistics
import subprocess

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
POSITIONS = [
    ("start", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"),
    ("opening", "r1bqkbnr/pppp1ppp/2n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R b KQkq - 3 3"),
    ("middle", "r1b1k2r/ppppqppp/2n2n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQK2R w KQkq - 1 6"),
    ("tactical", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"),
    ("endgame", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 40"),
]


def deepest(engine, fen, lines, seconds):
    """The deepest finished iteration and the nodes of a `go movetime` search."""
    process = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True, bufsize=1)
    commands = ["uci", f"setoption name MultiPV value {lines}", f"position fen {fen}",
                f"go movetime {seconds * 1000}"]
    process.stdin.write("\n".join(commands) + "\n")
    process.stdin.flush()
    depth = nodes = 0
    for line in process.stdout:
        words = line.split()
        if words[:2] == ["info", "depth"]:
            depth = max(depth, int(words[2]))
            nodes = int(words[words.index("nodes") + 1])
        elif words[:1] == ["bestmove"]:
            break
    process.stdin.write("quit\n")
    process.stdin.flush()
    process.wait(timeout=10)
    return depth, nodes


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("-e", "--engine", default=os.path.join(ROOT, "build", "kelp-full"))
    parser.add_argument("-n", "--lines", type=int, default=4)
    parser.add_argument("-t", "--seconds", type=int, default=10)
    parser.add_argument("-r", "--rounds", type=int, default=3)
    args = parser.parse_args()
    results = {(name, lines): [] for name, _ in POSITIONS for lines in (1, args.lines)}
    for _ in range(args.rounds):
        for name, fen in POSITIONS:
            for lines in (1, args.lines):
                results[name, lines].append(deepest(args.engine, fen, lines, args.seconds))
    print(f"depth in {args.seconds} s, medians of {args.rounds} rounds (nodes in millions)")
    print(f"{'position':10s} {'MultiPV 1':>16s} {'MultiPV ' + str(args.lines):>16s}   plies lost")
    losses = []
    for name, _ in POSITIONS:
        one, many = (results[name, lines] for lines in (1, args.lines))
        depth1, depthN = statistics.median(d for d, _ in one), statistics.median(d for d, _ in many)
        nodes1, nodesN = statistics.median(n for _, n in one), statistics.median(n for _, n in many)
        losses.append(depth1 - depthN)
        print(f"{name:10s} {depth1:6g} ({nodes1 / 1e6:6.1f} M) {depthN:6g} ({nodesN / 1e6:6.1f} M)   {depth1 - depthN:g}")
    print(f"median plies lost with MultiPV {args.lines}: {statistics.median(losses):g}")


if __name__ == "__main__":
    main()
