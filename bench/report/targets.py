"""The performance targets, each a measure of ours beside its peer or floor,
and their verdicts."""

from dataclasses import dataclass
from typing import Optional, Tuple


@dataclass(frozen=True)
class Row:
    key: str  # names the row in in-the-way.tsv
    area: str
    what: str
    ours: str  # measure name (measures.py)
    unit: str
    peer: Optional[str] = None
    peer_name: str = ""
    # "ours/peer" for costs (lower is better), "peer/ours" for speed-ups.
    ratio: Optional[str] = None
    # (on "ours" or "ratio", "<=" or ">=", limit); None: shown, not judged.
    bound: Optional[Tuple[str, str, float]] = None
    # Figures of the same run that show where the cost goes: (label, measure, unit).
    split: Tuple[Tuple[str, str, str], ...] = ()


PAGES = ((0, "Google page"), (1, "China page"))

ROWS = (
    [
        Row("route.%d" % page, "Route", "18 000 points, LoadTrack to last point drawn, %s" % name,
            "map.route.%d_ms" % page, "ms", "map.route_floor.%d_ms" % page, "one batch call",
            "ours/peer", ("ours", "<=", 100),
            tuple((label, "map.route.%s.%d_ms" % (part, page), "ms") for label, part in (
                ("LoadTrack (decoding, texts)", "load"), ("the way into the page", "bridge"),
                ("the page's drawing", "page"), ("up to the frame", "frame"))))
        for page, name in PAGES
    ]
    + [
        Row("views", "Map views", "PSS growth per map change over 20 changes",
            "map.views.growth_mib", "MiB", "map.views_kept.growth_mib", "views kept",
            "ours/peer", ("ours", "<=", 2)),
    ]
    + [
        Row("car.%d.%d" % (page, minute), "Car at 5 Hz",
            "%s from minute %d, whole process tree" % (name, minute),
            "map.car.tree.%d.%d" % (page, minute), "% of a core",
            "map.marker.tree.%d.%d" % (page, minute), "marker alone", "ours/peer",
            ("ours", "<=", 3),
            (("web engine's processes", "map.car.engine.%d.%d" % (page, minute), "% of a core"),
             ("frames drawn", "map.car.fps.%d.%d" % (page, minute), "a second")))
        for page, name in PAGES for minute in (0, 50)
    ]
    + [
        Row("playback.cpu", "Playback", "steady CPU, two 1080p30 files",
            "playback.cpu.halvex_pct", "% of a core", "playback.cpu.cvlc_pct", "two cvlc",
            "ours/peer", ("ratio", "<=", 1.05),
            (("ratio with the X server's CPU", "playback.cpu.ratio_with_x", "×"),)),
        Row("playback.first", "Playback", "first frame in both surfaces",
            "playback.first_frame.halvex_ms", "ms", "playback.first_frame.cvlc_ms", "two cvlc",
            "ours/peer", ("ratio", "<=", 1.1)),
    ]
    + [
        Row("scan." + key, "Scan", "card of small recordings, " + what, ours, unit, peer, peer_name,
            "peer/ours", bound)
        for key, what, ours, unit, peer, peer_name, bound in (
            ("warm", "warm cache, whole process", "scan.warm.halvex_s", "s", "scan.warm.exiftool_s",
             "exiftool -fast2 -r", ("ratio", ">=", 50)),
            ("warm.inprocess", "warm cache, in process", "scan.warm.halvex_inprocess_s", "s",
             "scan.warm.exiftool_s", "exiftool -fast2 -r", None),
            ("cold", "page cache dropped, whole process", "scan.cold.halvex_s", "s",
             "scan.cold.exiftool_s", "exiftool -fast2 -r", ("ratio", ">=", 10)),
            ("ffprobe", "per file, against ffprobe once per file", "scan.halvex.per_file_ms", "ms",
             "scan.ffprobe.per_file_ms", "ffprobe", None),
        )
    ]
    + [
        Row("startup.scan", "Start-up",
            "`halvex-cli scan --json` of 1000 small recordings, warm cache, whole process",
            "startup.scan_ms", "ms", "startup.floor_ms", "C floor reader of the same bytes",
            "ours/peer", ("ratio", "<=", 3)),
        Row("startup.version", "Start-up", "`halvex-cli --version`, whole process",
            "startup.version_ms", "ms", "startup.floor_ms", "C floor reader of the card",
            "ours/peer"),
    ]
    + [
        Row("scan.json", "Scan", "`halvex-cli scan --json` of 10 000 files, peak RSS",
            "scan.json10k.peak_mib", "MiB", bound=("ours", "<=", 40)),
        Row("track", "Track", "LoadTrack of a one-hour recording, records side by side, in process",
            "track.hour_ms", "ms", bound=("ours", "<=", 10)),
        Row("track.spread", "Track",
            "LoadTrack of a one-hour recording, records 200 KiB apart as a camera writes them, in process",
            "track.hour_spread_ms", "ms", bound=("ours", "<=", 10)),
    ]
    + [
        Row("index." + key, "Card index", what, ours, unit, peer, "exiftool -ee", "peer/ours", bound)
        for key, what, ours, unit, peer, bound in (
            ("warm", "1000 one-minute recordings, `halvex-cli trips --no-cache`, warm cache, whole "
             "process", "index.warm.halvex", "s", "index.warm.exiftool", ("ratio", ">=", 100)),
            ("cold", "the same, page cache dropped", "index.cold.halvex", "s", "index.cold.exiftool",
             ("ratio", ">=", 20)),
        )
    ]
    + [
        Row("index.reopen", "Card index",
            "reopening the card of 1000 with the overview open: the scan's end to its lines on screen",
            "index.reopen.drawn", "ms", bound=("ours", "<=", 150)),
        Row("index.near", "Card index", "\"when was I here?\" over 100 hours, slowest of 200",
            "index.hours.near.worst", "ms", bound=("ours", "<=", 20)),
        Row("index.trips", "Card index", "trips of 100 hours, in process", "index.hours.trips.median",
            "ms", bound=("ours", "<=", 200)),
        Row("index.events", "Card index", "events of 100 hours, in process",
            "index.hours.events.median", "ms", bound=("ours", "<=", 200)),
    ]
    + [
        Row("overview.drawn", "Overview", "100 hours of driving: answers given to lines on screen",
            "overview.drawn_ms", "ms", bound=("ours", "<=", 300),
            split=(("the window's own share", "overview.set_data_ms", "ms"),)),
        Row("overview.zoom", "Overview", "one zoom step to its first frame",
            "overview.zoom_frame_ms", "ms", "overview.empty_zoom_frame_ms",
            "the same step with no lines", "ours/peer", ("ours", "<=", 50),
            split=(("to the new level's own lines", "overview.zoom_step_ms", "ms"),)),
        Row("overview.pan", "Overview", "a pan of 120 px to its frame", "overview.pan_frame_ms",
            "ms", "overview.empty_pan_frame_ms", "the same pan with no lines", "ours/peer",
            ("ours", "<=", 50)),
        Row("overview.longpan", "Overview",
            "a pan of 16 steps of 120 px, past the drawn margin: its slowest frame",
            "overview.long_pan_slowest_frame_ms", "ms", bound=("ours", "<=", 50)),
        Row("overview.memory", "Overview", "memory above the viewer with no overview (PSS)",
            "overview.added_pss_mib", "MiB", bound=("ours", "<=", 150)),
    ]
)


@dataclass(frozen=True)
class Result:
    row: Row
    ours: Optional[float]
    peer: Optional[float]
    ratio: Optional[float]
    verdict: str  # "met", "not met", "not run" or "" (shown, not judged)
    gap: Optional[float]  # how many times the figure misses its bound
    split: Tuple[Tuple[str, float, str], ...] = ()  # (label, value, unit)


def ratio_of(row, ours, peer):
    if row.ratio is None or ours is None or peer is None:
        return None
    top, bottom = (ours, peer) if row.ratio == "ours/peer" else (peer, ours)
    return top / bottom if bottom > 0 else None


def evaluate(row, measures):
    ours = measures.get(row.ours)
    split = tuple((label, measures[name], unit) for label, name, unit in row.split if name in measures)
    peer = measures.get(row.peer) if row.peer else None
    ratio = ratio_of(row, ours, peer)
    if row.bound is None:
        return Result(row, ours, peer, ratio, "" if ours is not None else "not run", None, split)
    on, sense, limit = row.bound
    value = ours if on == "ours" else ratio
    if value is None:
        return Result(row, ours, peer, ratio, "not run", None, split)
    met = value <= limit if sense == "<=" else value >= limit
    if met:
        return Result(row, ours, peer, ratio, "met", None, split)
    if sense == "<=":
        gap = value / limit
    else:
        gap = limit / value if value > 0 else float("inf")
    return Result(row, ours, peer, ratio, "not met", gap, split)


def evaluate_all(measures, rows=ROWS):
    return [evaluate(row, measures) for row in rows]
