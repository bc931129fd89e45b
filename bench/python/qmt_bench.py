#!/usr/bin/env python3
"""Times the qmt module on the emulated board: chip.read through Python
(goal: at least 300,000 reads a second) and qmt.read_log of a 24-hour log at
100 ms, 864,000 lines (goal: under 0.5 s).

Run on the release build:
    PYTHONPATH=build/release/python python3 bench/python/qmt_bench.py
"""

import os
import tempfile
import time

import qmt

READS = 300_000
LOG_LINES = 864_000


def reads_a_second(chip):
    best = 0.0
    for _ in range(3):
        start = time.perf_counter()
        for _ in range(READS):
            chip.read(0xFE)
        best = max(best, READS / (time.perf_counter() - start))
    return best


def write_day_log(path):
    """A day at 100 ms in the program's format: title, column heads, data."""
    with open(path, "w", encoding="latin-1", newline="") as log:
        log.write("\r\nQMT6171/3 Log File\r\n\r\nTime ,Local(\xb0C) ,Remote1(\xb0C) ,Remote2(\xb0C) ,\r\n")
        log.writelines(
            f"{i / 10:g}, {25 + i % 8 / 4:g}, {30 + i % 5 / 4:g}, {28 + i % 3 / 4:g},\r\n"
            for i in range(LOG_LINES)
        )


def read_log_seconds(path):
    best = float("inf")
    for _ in range(3):
        start = time.perf_counter()
        log = qmt.read_log(path)
        best = min(best, time.perf_counter() - start)
    assert len(log.runs[0]) == LOG_LINES and log.damaged == 0
    return best


def main():
    with qmt.open() as chip:
        rate = reads_a_second(chip)
    print(f"chip.read through Python: {rate:.0f} reads a second (goal 300000)")
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "day.csv")
        write_day_log(path)
        seconds = read_log_seconds(path)
    print(f"read_log of {LOG_LINES} lines: {seconds * 1000:.0f} ms (goal 500 ms)")


if __name__ == "__main__":
    main()
