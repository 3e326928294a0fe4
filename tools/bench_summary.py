#!/usr/bin/env python3
"""Runs the benches that carry a goal and prints one table: figure, ratio, goal, verdict.

The goals are listed in bench/goals.txt (its header says the format). Each bench program runs
once, limited to the benchmarks the goals name, with its Google Benchmark JSON output written
beside it; the table is read from that output (median CPU time of the repetitions).

    tools/bench_summary.py BUILD_BENCH_DIR [--reps N] [--only BENCH ...] [--json-dir DIR]
    tools/bench_summary.py --from-json DIR      # the table from JSON files run before
"""
import argparse
import json
import os
import re
import subprocess
import sys

KINDS = ("speed", "time", "counter", "max_us")


def read_goals(path):
    goals = []
    with open(path, encoding="utf-8") as f:
        for no, line in enumerate(f, 1):
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            parts = [p.strip() for p in line.rstrip("\n").split(";")]
            if len(parts) != 6 or parts[2] not in KINDS:
                sys.exit(f"{path}, line {no}: expected 'bench ; figure ; kind ; ours ; peer ; "
                         f"goal' with kind one of {', '.join(KINDS)}")
            bench, figure, kind, ours, peer, goal = parts
            try:
                goal = float(goal)
                re.compile(ours)
                if kind in ("speed", "time"):
                    re.compile(peer)
            except (ValueError, re.error) as e:
                sys.exit(f"{path}, line {no}: {e}")
            goals.append(dict(bench=bench, figure=figure, kind=kind, ours=ours, peer=peer,
                              goal=goal))
    return goals


def run_bench(exe, regexes, reps, out):
    """Runs exe limited to the union of regexes; returns an error text or None."""
    flt = "|".join(f"({r})" for r in regexes)
    cmd = [exe, f"--benchmark_filter={flt}", f"--benchmark_repetitions={reps}",
           "--benchmark_report_aggregates_only=true", "--benchmark_out_format=json",
           f"--benchmark_out={out}"]
    print("summary: running", os.path.basename(exe), file=sys.stderr, flush=True)
    r = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if r.returncode != 0:
        return f"exit {r.returncode}: {r.stderr.strip()[-200:]}"
    return None


def load_medians(path):
    """Median aggregate of every benchmark in a JSON file: name -> entry (times in ns)."""
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
    res = {}
    for b in data.get("benchmarks", []):
        agg = b.get("aggregate_name")
        if agg not in (None, "median"):
            continue
        name = b.get("run_name", b["name"])
        if agg is None and name in res:  # a single run only counts without aggregates
            continue
        if b.get("error_occurred"):
            res[name] = dict(error=b.get("error_message", "error"))
            continue
        e = dict(b)
        e["cpu_ns"] = b["cpu_time"] * scale[b.get("time_unit", "ns")]
        res[name] = e
    return res


def first_match(medians, regex):
    for name, e in medians.items():
        if re.search(regex, name):
            return name, e
    return None, None


def evaluate(g, medians):
    """(ratio text, verdict, note) of one goal."""
    if medians is None:
        return "-", "missing", "no results (bench program not built?)"
    ours_name, ours = first_match(medians, g["ours"])
    if ours is None:
        return "-", "missing", "no benchmark matches " + g["ours"]
    if "error" in ours:
        return "-", "error", ours["error"]
    kind, goal = g["kind"], g["goal"]
    if kind in ("speed", "time"):
        peer_name, peer = first_match(medians, g["peer"])
        if peer is None:
            return "-", "missing", "no benchmark matches " + g["peer"]
        if "error" in peer:
            return "-", "error", peer["error"]
        ratio = (peer["cpu_ns"] / ours["cpu_ns"] if kind == "speed"
                 else ours["cpu_ns"] / peer["cpu_ns"])
        ok = ratio >= goal if kind == "speed" else ratio <= goal
        return f"{ratio:.3f}", "pass" if ok else "FAIL", f"{ours_name} / {peer_name}"
    if kind == "counter":
        num, _, den = g["peer"].partition("/")
        if num not in ours or den not in ours or not ours[den]:
            return "-", "missing", f"{ours_name} lacks counters {g['peer']}"
        ratio = ours[num] / ours[den]
        return f"{ratio:.3f}", "pass" if ratio <= goal else "FAIL", \
            f"{ours_name}: {num} {ours[num]:.0f} / {den} {ours[den]:.0f}"
    # max_us: the slowest of every match.
    worst_name, worst = None, None
    for name, e in medians.items():
        if re.search(g["ours"], name) and "error" not in e:
            if worst is None or e["cpu_ns"] > worst["cpu_ns"]:
                worst_name, worst = name, e
    us = worst["cpu_ns"] / 1e3
    return f"{us:.1f}", "pass" if us <= goal else "FAIL", f"slowest: {worst_name}"


def main():
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("bench_dir", nargs="?", help="folder holding the bench_* programs")
    ap.add_argument("--goals", default=os.path.join(os.path.dirname(__file__), "..", "bench",
                                                    "goals.txt"))
    ap.add_argument("--reps", type=int, default=5)
    ap.add_argument("--only", nargs="*", default=None, help="run only these benches")
    ap.add_argument("--json-dir", help="where the JSON output goes (default: bench_dir/summary)")
    ap.add_argument("--from-json", metavar="DIR", help="read DIR/<bench>.json, run nothing")
    a = ap.parse_args()
    goals = read_goals(a.goals)
    if not a.from_json and not a.bench_dir:
        ap.error("give the bench folder or --from-json")
    json_dir = a.from_json or a.json_dir or os.path.join(a.bench_dir, "summary")
    os.makedirs(json_dir, exist_ok=True)

    benches = []
    for g in goals:
        if g["bench"] not in benches and (a.only is None or g["bench"] in a.only):
            benches.append(g["bench"])
    medians, notes = {}, {}
    for b in benches:
        out = os.path.join(json_dir, b + ".json")
        if not a.from_json:
            exe = os.path.join(a.bench_dir, "bench_" + b)
            if not os.access(exe, os.X_OK):
                medians[b], notes[b] = None, "no program bench_" + b
                continue
            regexes = [g["ours"] for g in goals if g["bench"] == b]
            regexes += [g["peer"] for g in goals if g["bench"] == b and g["kind"] in
                        ("speed", "time")]
            err = run_bench(exe, regexes, a.reps, out)
            if err:
                notes[b] = err
        try:
            medians[b] = load_medians(out) if os.path.exists(out) else None
        except ValueError:  # a bench that failed early leaves an empty or partial file
            medians[b] = None
            notes.setdefault(b, "no readable results in " + out)

    rows = [("Figure", "Measured", "Goal", "Verdict", "Benchmarks")]
    failed = 0
    for g in goals:
        if g["bench"] not in medians:
            continue
        ratio, verdict, note = evaluate(g, medians[g["bench"]])
        if g["bench"] in notes and verdict in ("missing", "error"):
            note = notes[g["bench"]]
        goal = {"speed": ">= ", "time": "<= ", "counter": "<= ", "max_us": "<= "}[g["kind"]]
        goal += f"{g['goal']:g}" + (" us" if g["kind"] == "max_us" else "")
        failed += verdict != "pass"
        rows.append((g["figure"], ratio, goal, verdict, note))
    widths = [max(len(r[i]) for r in rows) for i in range(4)]
    for i, r in enumerate(rows):
        print("  ".join(r[k].ljust(widths[k]) for k in range(4)) + "  " + r[4])
        if i == 0:
            print("  ".join("-" * w for w in widths) + "  " + "-" * 10)
    print(f"\n{len(rows) - 1 - failed} of {len(rows) - 1} figures meet their goal "
          f"(median CPU time of {a.reps} repetitions; JSON in {json_dir})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
