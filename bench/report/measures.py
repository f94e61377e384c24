"""Figures read from what each benchmark script left in the log folder.

One function per script: when a script changes what it prints, the mend
belongs in its function alone. Every figure is stored under a name of this
report in one unit (ms, s, MiB, % of a core), which targets.py refers to.
A script may also print lines `name value unit` itself; those are taken as
they stand and win over what the function read from its human output.
"""

import json
import os
import re

NUMBER = r"[-+]?\d+(?:\.\d+)?(?:[eE][-+]?\d+)?"
_MACHINE_LINE = re.compile(r"^([A-Za-z][\w.:/-]*)\s+(%s)\s+(\S+)$" % NUMBER)
_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def machine_lines(text):
    """Every `name value unit` line of the text, as {name: value}."""
    found = {}
    for line in text.splitlines():
        match = _MACHINE_LINE.match(line.strip())
        if match:
            found[match.group(1)] = float(match.group(2))
    return found


def console_seconds(line):
    """Wall time of a Google Benchmark console line, in seconds."""
    fields = line.split()
    if len(fields) < 3 or fields[2] not in _SECONDS:
        return None
    try:
        return float(fields[1]) * _SECONDS[fields[2]]
    except ValueError:
        return None


# bench/scan.sh's `name value unit` lines, as this report names them, and
# the factor to its unit.
SCAN_LINES = {
    "scan.warm.halvex": ("scan.warm.halvex_s", 1),
    "scan.warm.exiftool": ("scan.warm.exiftool_s", 1),
    "scan.cold.halvex": ("scan.cold.halvex_s", 1),
    "scan.cold.exiftool": ("scan.cold.exiftool_s", 1),
    "scan.json_many.peak_rss": ("scan.json10k.peak_mib", 1),
    "load_hour_track": ("track.hour_ms", 1),
    "load_hour_track_spread": ("track.hour_spread_ms", 1),
    "scan.inprocess.small": ("scan.warm.halvex_inprocess_s", 0.001),
    "scan.halvex.per_file": ("scan.halvex.per_file_ms", 1000),
    "scan.ffprobe.per_file": ("scan.ffprobe.per_file_ms", 1000),
}


def scan(text):
    """bench/scan.sh: the scan of the card of small recordings in process and
    as whole processes beside exiftool, the one-hour track load, the JSON
    scan's peak memory, ffprobe per file. Read from its `name value unit`
    lines, or else from the report it printed before it had them (in-process
    scan per card, one exiftool and one ffprobe run per card)."""
    found = {}
    card = None
    files = 0
    peer = re.compile(r"^(exiftool -fast2 -r|ffprobe per file)\s+(\w+)\s+(%s) s\b" % NUMBER)
    for line in text.splitlines():
        if line.startswith("-- "):
            card = line[3:].strip()
        elif re.match(r"^small\s+\d+ files,", line):
            files = int(line.split()[1])
        elif line.startswith("BM_ScanCard") and card == "small":
            seconds = console_seconds(line)
            if seconds is not None:
                found["scan.warm.halvex_inprocess_s"] = seconds
                if files:
                    found["scan.halvex.per_file_ms"] = 1000 * seconds / files
        elif line.startswith("BM_LoadHourTrack"):
            seconds = console_seconds(line)
            if seconds is not None:
                found["track.hour_ms"] = seconds * 1000
        else:
            match = peer.match(line)
            if match and match.group(1).startswith("ffprobe") and match.group(2) == "small" and files:
                found["scan.ffprobe.per_file_ms"] = 1000 * float(match.group(3)) / files
    for name, value in machine_lines(text).items():
        ours, factor = SCAN_LINES.get(name, (name, 1))
        found[ours] = value * factor
    return found


def _benchmark_rows(folder, names):
    """Google Benchmark JSON output files, as {benchmark name: row}, without
    the `/iterations:N` and `/manual_time` suffixes and without failed runs."""
    rows = {}
    for name in names:
        path = os.path.join(folder, name + ".json")
        if not os.path.exists(path):
            continue
        try:
            with open(path, encoding="utf-8") as f:
                benchmarks = json.load(f).get("benchmarks", [])
        except (OSError, ValueError):
            continue
        for row in benchmarks:
            if row.get("error_occurred") or "error_message" in row:
                continue
            rows[row["name"].split("/iterations")[0].split("/manual_time")[0]] = row
    return rows


def _milliseconds(row):
    unit = row.get("time_unit", "ns")
    return row["real_time"] * _SECONDS.get(unit, 1e-9) * 1000


def map_benchmarks(folder, printed=""):
    """bench/map.sh: its benchmarks' JSON files (route_plot, map_car,
    map_views) in the folder it was given as OUT."""
    rows = _benchmark_rows(folder, ("route_plot", "map_car", "map_views", "overview"))
    found = {}
    for page in (0, 1):
        for measure, name in (("route", "BM_PlotHourRoute"), ("route_floor", "BM_OneBatchCallFloor")):
            row = rows.get("%s/%d" % (name, page))
            if not row:
                continue
            # Up to the frame that shows the last point, without the polling
            # that ends the timed span, where the benchmark splits the time.
            found["map.%s.%d_ms" % (measure, page)] = row.get("toFrame_ms", _milliseconds(row))
            for part in ("load", "bridge", "page", "frame"):
                if part + "_ms" in row:
                    found["map.%s.%s.%d_ms" % (measure, part, page)] = row[part + "_ms"]
        for minute in (0, 50):
            for measure, name in (("car", "BM_CarAt5Hz"), ("marker", "BM_MarkerOnlyAt5Hz")):
                row = rows.get("%s/page:%d/minute:%d" % (name, page, minute))
                for counter, key in (("treeCpu_pct", "tree"), ("engineCpu_pct", "engine"),
                                     ("framesPerSecond", "fps")):
                    if row and counter in row:
                        found["map.%s.%s.%d.%d" % (measure, key, page, minute)] = row[counter]
    for measure, name in (("views", "BM_MapChanges/20"), ("views_kept", "BM_MapChangesKeepingViews/5")):
        row = rows.get(name)
        if row and "growthPerChange_MiB" in row:
            found["map.%s.growth_mib" % measure] = row["growthPerChange_MiB"]
    overview = rows.get("BM_OverviewDrawn")
    if overview:
        found["overview.drawn_ms"] = _milliseconds(overview)
        for counter in ("zoom_frame_ms", "zoom_step_ms", "pan_frame_ms", "empty_pan_frame_ms",
                        "empty_zoom_frame_ms", "long_pan_slowest_frame_ms", "set_data_ms",
                        "added_pss_mib"):
            if counter in overview:
                found["overview." + counter] = overview[counter]
    found.update(machine_lines(printed))
    return found


def playback(text):
    """bench/playback.sh: the viewer and two plain cvlc players on the same
    two files, medians over pairs, from its `RESULT name value` lines."""
    names = {
        "playback_viewer_cpu_percent": "playback.cpu.halvex_pct",
        "playback_plain_cpu_percent": "playback.cpu.cvlc_pct",
        "playback_cpu_ratio_with_xserver": "playback.cpu.ratio_with_x",
        "playback_viewer_first_frame_ms": "playback.first_frame.halvex_ms",
        "playback_plain_first_frame_ms": "playback.first_frame.cvlc_ms",
    }
    found = {}
    for line in text.splitlines():
        words = line.split()
        if len(words) == 3 and words[0] == "RESULT" and words[1] in names:
            try:
                found[names[words[1]]] = float(words[2])
            except ValueError:
                pass
    found.update(machine_lines(text))
    return found


def run_all_own(text):
    """What bench/run-all measures itself (peak memory of the JSON scan)."""
    return machine_lines(text)
