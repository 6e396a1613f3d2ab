#!/usr/bin/env python3
"""How promptly kelp-full answers a UCI client, as the client's clock sees it
(from the moment a command is written to the moment its answer is read), in
medians and worst cases over N samples each:

  movetime  "go movetime T": bestmove after T ms plus how much
  isready   "isready" during "go infinite": readyok after how many ms
  stop      "stop" during "go infinite": bestmove after how many ms
  position  a "position" line of 1 MiB (knights out and back) and "isready":
            readyok after how many ms, and then the same line with one more
            move (the engine's table built before)

Positions walk through a quiet opening, one more move per sample.
Usage: bench/uci_latency.py [-e ENGINE] [-n SAMPLES] [-t MOVETIME_MS]
       (default build/kelp-full, 50 samples, 500 ms)"""

import argparse
import os
import statistics
import subprocess
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OPENING = ("e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6 e1g1 f8e7 f1e1 b7b5 a4b3 d7d6 c2c3 e8g8 h2h3 c6a5 b3c2 c7c5 "
           "d2d4 d8c7 b1d2 c5d4 c3d4 a5c6 d2b3 a6a5 c1e3 a5a4 b3d2 c8d7 a1c1 c7b7 d2f1 f8c8 f1g3 c6b4 c2b1 e5d4").split()


class Engine:
    def __init__(self, path):
        self.process = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True, bufsize=1)
        self.send("uci")
        self.wait_for("uciok")

    def send(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()
        return time.monotonic()

    def wait_for(self, prefix):
        while True:
            line = self.process.stdout.readline()
            if not line:
                raise SystemExit("the engine ended")
            if line.startswith(prefix):
                return time.monotonic()

    def position(self, sample):
        self.send("position startpos moves " + " ".join(OPENING[:sample % len(OPENING)]))


def report(name, values):
    values = sorted(values)
    print(f"{name:9s} median {statistics.median(values):7.1f} ms   worst {values[-1]:7.1f} ms   ({len(values)} samples)")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("-e", "--engine", default=os.path.join(ROOT, "build", "kelp-full"))
    parser.add_argument("-n", "--samples", type=int, default=50)
    parser.add_argument("-t", "--movetime", type=int, default=500)
    args = parser.parse_args()
    engine = Engine(args.engine)
    over, ready, stop = [], [], []
    for sample in range(args.samples):
        engine.position(sample)
        sent = engine.send(f"go movetime {args.movetime}")
        over.append((engine.wait_for("bestmove") - sent) * 1000 - args.movetime)
        engine.position(sample)
        engine.send("go infinite")
        time.sleep(0.2)
        sent = engine.send("isready")
        ready.append((engine.wait_for("readyok") - sent) * 1000)
        time.sleep(0.1)
        sent = engine.send("stop")
        stop.append((engine.wait_for("bestmove") - sent) * 1000)
    engine.send("quit")
    engine.process.wait(timeout=10)
    report("movetime", over)
    report("isready", ready)
    report("stop", stop)
    report("position", long_positions(args.engine, max(args.samples // 10, 3)))


def long_positions(path, rounds):
    """Milliseconds to read a 1 MiB position line (and answer isready), a fresh engine each round."""
    moves = " g1f3 g8f6 f3g1 f6g8" * ((1 << 20) // 20)
    times = []
    for _ in range(rounds):
        engine = Engine(path)
        engine.send("isready")
        engine.wait_for("readyok")
        for extra in ("", " e2e4"):
            sent = engine.send("position startpos moves" + moves + extra)
            engine.send("isready")
            times.append((engine.wait_for("readyok") - sent) * 1000)
        engine.send("quit")
        engine.process.wait(timeout=10)
    return times


if __name__ == "__main__":
    main()
