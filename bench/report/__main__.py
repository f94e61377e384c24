"""Reads the logs of one bench/run-all run, prints the table of ratios and,
with --write, puts a dated section at the top of the results in a file.

  python3 bench/report LOGDIR [--write BENCHMARKS.md] [--commit C] [--started TIME]
                              [--minutes M] [--quick] [--load-start L] [--load-end L] [--count N]
"""

import argparse
import os
import sys

import machine
import measures
import section
import targets

HERE = os.path.dirname(os.path.abspath(__file__))

# Each script's log, how its figures are read, and the rows they feed.
SCRIPTS = (
    ("bench/scan.sh", "scan", ("scan", "track")),
    ("bench/map.sh", "map", ("route", "views", "car")),
    ("bench/playback.sh", "playback", ("playback",)),
    ("bench/startup.sh", "startup", ("startup",)),
    ("bench/hostile.sh", "hostile", ()),
    ("bench/index.sh", "index", ("index",)),
    ("bench/run-all (its own measures)", "own", ("scan",)),
)


def read(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()
    except OSError:
        return None


def collect(logs):
    """All figures of the run. A benchmark script's figures win over what
    run-all measured itself as a fallback."""
    found = measures.run_all_own(read(os.path.join(logs, "own.txt")) or "")
    found.update(measures.scan(read(os.path.join(logs, "scan.txt")) or ""))
    found.update(measures.map_benchmarks(os.path.join(logs, "map"), read(os.path.join(logs, "map.txt")) or ""))
    found.update(measures.playback(read(os.path.join(logs, "playback.txt")) or ""))
    # bench/index.sh and bench/startup.sh print their figures under the names
    # the rows use.
    found.update(measures.machine_lines(read(os.path.join(logs, "index.txt")) or ""))
    found.update(measures.machine_lines(read(os.path.join(logs, "startup.txt")) or ""))
    return found


def why_missing(logs):
    """For rows without a figure: what happened to the script that feeds them."""
    reasons = {row.key: "Its benchmark gave no figure; see the logs in %s." % logs for row in targets.ROWS}
    for script, log, prefixes in SCRIPTS:
        status = (read(os.path.join(logs, log + ".status")) or "").strip()
        if status == "absent":
            text = "%s is not there." % script
        elif status.startswith("failed"):
            text = "%s %s; see %s." % (script, status, os.path.join(logs, log + ".txt"))
        else:
            continue
        for row in targets.ROWS:
            if row.key.split(".")[0] in prefixes:
                reasons[row.key] = text
    return reasons


def notes():
    """What stands in the way of each target not met, kept by hand in
    in-the-way.tsv (row key, tab, text)."""
    found = {}
    for line in (read(os.path.join(HERE, "in-the-way.tsv")) or "").splitlines():
        if line.strip() and not line.startswith("#") and "\t" in line:
            key, text = line.split("\t", 1)
            found[key.strip()] = text.strip()
    return found


def main(argv):
    parser = argparse.ArgumentParser(description="Table of ratios of a bench/run-all run")
    parser.add_argument("logs")
    parser.add_argument("--write")
    parser.add_argument("--commit", default="unknown commit")
    parser.add_argument("--started", default="")
    parser.add_argument("--minutes", type=float)
    parser.add_argument("--quick", action="store_true")
    parser.add_argument("--load-start", type=float)
    parser.add_argument("--load-end", type=float, help="default: the load average now")
    parser.add_argument("--count", type=int, help="recordings on each card of the scan")
    args = parser.parse_args(argv)

    results = targets.evaluate_all(collect(args.logs))

    run = "quick run (fewer files, shorter and fewer repetitions)" if args.quick else "full run"
    took = ", %.0f minutes" % args.minutes if args.minutes is not None else ""
    if args.count:
        run += ", cards of %d recordings" % args.count
    start = "%.1f" % args.load_start if args.load_start is not None else "?"
    end = "%.1f" % args.load_end if args.load_end is not None else machine.load_average()
    load = "load average %s at the start, %s at the end" % (start, end)
    peers = machine.peers(read(os.path.join(args.logs, "peers.txt")) or "")
    summary = "Commit %s, %s%s, Release build. Machine: %s; %s (other work shares the cores). Peers: %s." % (
        args.commit, run, took, machine.describe(), load, peers)
    details = []
    for script, log, _ in SCRIPTS:
        text = read(os.path.join(args.logs, log + ".txt"))
        if text and text.strip():
            details.append(("What %s printed" % script, text))
    text = section.render(results, "Run of %s (`bench/run-all`)" % args.started, summary, notes(),
                          why_missing(args.logs), details)
    if args.write:
        document = read(args.write) or "# Benchmarks\n"
        with open(args.write, "w", encoding="utf-8") as f:
            f.write(section.insert(document, text))
        print(section.table(results))
        print("\nwrote the section into %s" % args.write)
    else:
        print(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
