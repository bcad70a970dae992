#!/usr/bin/python3
"""Turns bench/run.sh's measurements into a table with ratios and goals.

usage: report.py OUT_DIR RUNS

Pools the runs of every round (hyperfine-*.json) per command. Every file
names a command by its key; commands.txt gives the name shown for each.
"""
import glob
import json
import platform
import statistics
import subprocess
import sys


def main():
    out, runs = sys.argv[1], sys.argv[2]
    files = sorted(glob.glob(f"{out}/hyperfine-*.json"))
    results = pooled(files)
    rounds = [{r["command"]: statistics.median(r["times"])
               for r in json.load(open(path))["results"]} for path in files]
    memory = {}
    for line in open(f"{out}/memory.txt"):
        if "|" in line:
            name, kib = line.rstrip("\n").rsplit("|", 1)
            if kib.isdigit():
                memory.setdefault(name, []).append(int(kib))
    counts = dict(line.strip().split("|") for line in open(f"{out}/callgrind.txt") if "|" in line)
    shown = dict(line.split("|")[:2] for line in open(f"{out}/commands.txt") if "|" in line)

    by_key = {r["command"]: r for r in results}
    floor, physical = by_key["empty"], by_key["physical"]
    floor_memory = statistics.median(memory["empty"])
    physical_memory = statistics.median(memory["physical"])
    print(f"Machine: {machine()}; Wine {wine_version()}; {runs} runs per command.\n")
    print("Floors: the empty program, and the physical floor (advapi32.dll loaded, one key "
          "opened).\n")
    print("| Command | Median wall | × empty | × physical | Mean CPU (user+sys) "
          "| Median peak RSS | vs empty | vs physical |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|")
    for r in results:
        rss = statistics.median(memory.get(r["command"], [0]))
        print(f"| {shown[r['command']]} | {r['median'] * 1000:.1f} ms "
              f"| {r['median'] / floor['median']:.2f} | {r['median'] / physical['median']:.2f} "
              f"| {(r['user'] + r['system']) * 1000:.1f} ms | {rss / 1024:.1f} MiB "
              f"| {(rss - floor_memory) / 1024:+.2f} MiB "
              f"| {(rss - physical_memory) / 1024:+.2f} MiB |")
    print()
    print("Instructions inside ProgramMain, host build against the emulation (callgrind):")
    for mode, count in counts.items():
        print(f"- {mode}: {int(count):,}")
    print()

    goals = []
    # For the modes that launch nothing, what a run costs beyond the physical
    # floor is the tool's; the rounds' middle half shows how far the ratio drifts.
    for key in ("removal", "uninstall_nothing", "log_line"):
        ratio = by_key[key]["median"] / physical["median"]
        each = [r[key] / r["physical"] for r in rounds]
        goals.append((f"{shown[key]}: median within 1.05 × physical floor", ratio <= 1.05,
                      f"{ratio:.2f} × (rounds' middle half: {quartiles(each)})"))
    # A launch loads the shell and its windowing libraries, which are not ours.
    for key in ("removal", "uninstall_nothing", "log_line"):
        diff = (statistics.median(memory[key]) - floor_memory) / 1024
        goals.append((f"{shown[key]}: peak memory within 1 MiB of the empty program", diff <= 1.0,
                      f"{diff:+.2f} MiB"))
    speedup = by_key["reg_delete"]["median"] / by_key["removal"]["median"]
    goals.append(("removal at least 3 × faster than reg delete", speedup >= 3.0,
                  f"{speedup:.2f} ×"))
    print("Goals:")
    for description, met, figure in goals:
        print(f"- {'met   ' if met else 'MISSED'} {description}: {figure}")


def quartiles(values):
    """The first and third quartile, as text."""
    if len(values) < 2:
        return f"{values[0]:.2f}" if values else "none"
    low, _, high = statistics.quantiles(values, n=4)
    return f"{low:.2f} to {high:.2f}"


def pooled(files):
    """One result per command: the median of all its runs, the mean CPU."""
    results = {}
    for path in files:
        for r in json.load(open(path))["results"]:
            entry = results.setdefault(r["command"], {"command": r["command"], "times": [],
                                                      "user": [], "system": []})
            entry["times"] += r["times"]
            entry["user"] += r["user_times"] if "user_times" in r else [r["user"]] * len(r["times"])
            entry["system"] += (r["system_times"] if "system_times" in r
                                else [r["system"]] * len(r["times"]))
    for entry in results.values():
        entry["median"] = statistics.median(entry["times"])
        entry["user"] = statistics.mean(entry["user"])
        entry["system"] = statistics.mean(entry["system"])
    return list(results.values())


def machine():
    try:
        model = next(line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo")
                     if line.startswith("model name"))
    except (OSError, StopIteration):
        model = platform.processor() or "unknown CPU"
    return f"{model}, {platform.system()} {platform.release()}"


def wine_version():
    try:
        return subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    except OSError:
        return "unknown"


if __name__ == "__main__":
    main()
