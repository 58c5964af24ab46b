#!/usr/bin/env python3
"""Times fieldroll against the floor program on generated installs.

For each size it lays out an install with make_scenery (once; kept under
the trees folder), runs each program once to warm the cache, then runs the
two in turn and reports medians of the wall time, the ratio fieldroll /
floor, and peak memory against the bytes of the airport records.
"""
import argparse
import os
import statistics
import subprocess
import sys

RECORD_BYTES = 40  # one airport record: link, four coordinates, elevation, identifier
FULL = dict(facility_files=2000, airports=250000, other_bgl=5000, other_files=2000)


def run(build, argv, cwd, env):
    """Runs a program to its end; returns (seconds, peak resident KiB)."""
    measured = subprocess.run([os.path.join(build, "bench", "run_measured"), cwd] + argv, env=env,
                              stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, check=False)
    if measured.returncode != 0:
        sys.exit(f"{argv[0]} failed with status {measured.returncode}")
    seconds, peak = measured.stdout.split()
    return float(seconds), int(peak)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--trees", required=True)
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    env = dict(os.environ, WINEPREFIX=os.path.join(os.path.abspath(args.trees), "no-wine-prefix"))

    print(f"{'size':>8} {'files':>6} {'airports':>8} | {'fieldroll':>9} {'floor':>8} {'ratio':>6} | "
          f"{'peak MiB':>8} {'records MiB':>11} {'goal MiB':>8} {'floor MiB':>9}")
    for name, scale in (("quarter", 4), ("half", 2), ("full", 1)):
        size = {key: value // scale for key, value in FULL.items()}
        root = os.path.join(os.path.abspath(args.trees), name)
        marker = os.path.join(root, "generated")
        if not os.path.exists(marker):
            subprocess.run(["rm", "-rf", root], check=True)
            subprocess.run([os.path.join(build, "tools", "make_scenery"), "--generate", root,
                            str(size["facility_files"]), str(size["airports"]), str(size["other_bgl"]),
                            str(size["other_files"])], check=True)
            open(marker, "w").close()
        run_folder = os.path.join(root, "Fieldroll")
        os.makedirs(run_folder, exist_ok=True)
        fieldroll = [os.path.join(build, "fieldroll"), "/np"]
        floor = [os.path.join(build, "bench", "floor"), os.path.join(root, "SCENEDB", "AFDFILES", "SCENERY"),
                 os.path.join(root, "Addon Scenery")]

        run(build, fieldroll, run_folder, env)  # warm the cache
        run(build, floor, run_folder, env)
        times = {"fieldroll": [], "floor": []}
        peaks = {"fieldroll": 0, "floor": 0}
        for _ in range(args.runs):
            for label, argv in (("fieldroll", fieldroll), ("floor", floor)):
                elapsed, peak = run(build, argv, run_folder, env)
                times[label].append(elapsed)
                peaks[label] = max(peaks[label], peak)
        with open(os.path.join(run_folder, "Airports.txt"), "rb") as table:
            lines = table.read().count(b"\r\n")
        if lines != size["airports"]:
            sys.exit(f"fieldroll wrote {lines} airports, the install holds {size['airports']}")

        ours = statistics.median(times["fieldroll"])
        least = statistics.median(times["floor"])
        records = size["airports"] * RECORD_BYTES / 2**20
        print(f"{name:>8} {size['facility_files']:>6} {size['airports']:>8} | {ours:>8.3f}s {least:>7.3f}s "
              f"{ours / least:>6.2f} | {peaks['fieldroll'] / 1024:>8.1f} {records:>11.1f} {32 + 2 * records:>8.1f} "
              f"{peaks['floor'] / 1024:>9.1f}")


if __name__ == "__main__":
    main()
