"""The verdicts, the reading of the scripts' output and the placing of the
section: what bench/run-all's table rests on."""

import json
import os
import tempfile
import unittest

import machine
import measures
import section
import targets
from targets import Row


class Verdicts(unittest.TestCase):
    def test_bounds_ratios_and_missing_figures(self):
        cost = Row("c", "A", "cost", "ours", "ms", "peer", "floor", "ours/peer", ("ours", "<=", 100))
        speed = Row("s", "A", "speed", "ours", "s", "peer", "exiftool", "peer/ours", ("ratio", ">=", 50))
        cpu = Row("p", "A", "cpu", "ours", "%", "peer", "cvlc", "ours/peer", ("ratio", "<=", 1.05))
        shown = Row("i", "A", "shown", "ours", "s", "peer", "ffprobe", "peer/ours")
        cases = [
            # row, figures, verdict, ratio, gap
            (cost, {"ours": 100, "peer": 50}, "met", 2.0, None),
            (cost, {"ours": 256, "peer": 82}, "not met", 256 / 82, 2.56),
            (cost, {"peer": 82}, "not run", None, None),
            (speed, {"ours": 0.02, "peer": 1.6}, "met", 80.0, None),
            (speed, {"ours": 0.08, "peer": 1.6}, "not met", 20.0, 2.5),
            (speed, {"ours": 0.08}, "not run", None, None),
            (speed, {"ours": 0.0, "peer": 1.6}, "not run", None, None),
            (cpu, {"ours": 21.0, "peer": 20.0}, "met", 1.05, None),
            (cpu, {"ours": 24.2, "peer": 20.0}, "not met", 1.21, 1.21 / 1.05),
            (shown, {"ours": 0.05, "peer": 90.0}, "", 1800.0, None),
            (shown, {}, "not run", None, None),
        ]
        for row, figures, verdict, ratio, gap in cases:
            with self.subTest(row=row.what, figures=figures):
                r = targets.evaluate(row, figures)
                self.assertEqual(r.verdict, verdict)
                if ratio is None:
                    self.assertIsNone(r.ratio)
                else:
                    self.assertAlmostEqual(r.ratio, ratio)
                if gap is None:
                    self.assertIsNone(r.gap)
                else:
                    self.assertAlmostEqual(r.gap, gap)


SCAN_OUTPUT = """== making cards in /tmp/x (count 1000, extra media 268435456 bytes)
small   1000 files,      562 MiB apparent,    562 MiB on disk
== halvex scan (warm page cache)
-- small
BM_ScanCard       46.6 ms         45.1 ms           30         1020       1000       1000   21.6k/s
-- large
BM_ScanCard       54.0 ms         53.0 ms           26         1020       1000       1000   18.9k/s
== halvex LoadTrack of a one-hour metadata-track recording
BM_LoadHourTrack       2195 us         2190 us          320 points=18k samples=18k
== the same cards with other readers (one run each, warm cache)
exiftool -fast2 -r   small     1.67 s     600.0 files/s
ffprobe per file     small    97.70 s      10.2 files/s
exiftool -fast2 -r   large     1.54 s     648.0 files/s
"""


class Reading(unittest.TestCase):
    def test_scan_report_takes_the_small_card_in_one_unit(self):
        found = measures.scan(SCAN_OUTPUT)
        self.assertAlmostEqual(found["scan.warm.halvex_inprocess_s"], 0.0466)
        self.assertAlmostEqual(found["scan.halvex.per_file_ms"], 0.0466)
        self.assertAlmostEqual(found["scan.ffprobe.per_file_ms"], 97.7)
        self.assertAlmostEqual(found["track.hour_ms"], 2.195)
        self.assertEqual(measures.machine_lines("small   1000 files, 562 MiB\n-- small 3 s"), {})

    def test_scan_lines_win_in_the_report_units(self):
        printed = SCAN_OUTPUT + (
            "   scan.inprocess.small                         21.5 ms\n"
            "   load_hour_track                              1.50 ms\n"
            "   scan.warm.ratio                              52.1 x\n"
            "   scan.cold.halvex                            0.312 s\n"
            "   scan.json_many.peak_rss                      18.4 MiB\n")
        found = measures.scan(printed)
        self.assertAlmostEqual(found["scan.warm.halvex_inprocess_s"], 0.0215)
        self.assertEqual(found["track.hour_ms"], 1.5)
        self.assertEqual(found["scan.cold.halvex_s"], 0.312)
        self.assertEqual(found["scan.json10k.peak_mib"], 18.4)

    def test_map_json_keeps_successful_runs_and_converts_units(self):
        rows = {
            "route_plot": [
                {"name": "BM_PlotHourRoute/0/iterations:5/manual_time", "real_time": 256e6, "time_unit": "ns"},
                {"name": "BM_PlotHourRoute/1/iterations:5/manual_time", "real_time": 0.394, "time_unit": "s",
                 "error_occurred": True, "error_message": "the line was not drawn"},
                {"name": "BM_OneBatchCallFloor/0/iterations:5/manual_time", "real_time": 82, "time_unit": "ms",
                 "toFrame_ms": 76.5, "load_ms": 0.2, "page_ms": 40.1},
            ],
            "map_car": [
                {"name": "BM_CarAt5Hz/page:1/minute:50/iterations:1/manual_time", "real_time": 20,
                 "time_unit": "s", "treeCpu_pct": 21.4, "engineCpu_pct": 4.4},
            ],
            "map_views": [
                {"name": "BM_MapChanges/20/iterations:1", "real_time": 40, "time_unit": "s",
                 "growthPerChange_MiB": 1.5},
            ],
        }
        with tempfile.TemporaryDirectory() as folder:
            for name, benchmarks in rows.items():
                with open(os.path.join(folder, name + ".json"), "w") as f:
                    json.dump({"context": {}, "benchmarks": benchmarks}, f)
            found = measures.map_benchmarks(folder)
        self.assertAlmostEqual(found["map.route.0_ms"], 256)
        self.assertNotIn("map.route.1_ms", found)
        # Up to the frame, where the benchmark gives it, rather than up to the poll that saw it.
        self.assertAlmostEqual(found["map.route_floor.0_ms"], 76.5)
        self.assertEqual(found["map.route_floor.page.0_ms"], 40.1)
        self.assertEqual(found["map.car.tree.1.50"], 21.4)
        self.assertEqual(found["map.car.engine.1.50"], 4.4)
        self.assertEqual(found["map.views.growth_mib"], 1.5)
        self.assertEqual(measures.map_benchmarks("/nonexistent"), {})


    def test_playback_results(self):
        printed = ("pair 1 viewer first_frame_ms 1060 cpu_percent 61.0 xserver_percent 3.0\n"
                   "RESULT playback_viewer_first_frame_ms 1060\nRESULT playback_plain_first_frame_ms 840\n"
                   "RESULT playback_first_frame_ratio 1.26\nRESULT playback_viewer_cpu_percent 60.5\n"
                   "RESULT playback_plain_cpu_percent 50.0\nRESULT playback_cpu_ratio 1.21\n")
        self.assertEqual(measures.playback(printed), {
            "playback.first_frame.halvex_ms": 1060, "playback.first_frame.cvlc_ms": 840,
            "playback.cpu.halvex_pct": 60.5, "playback.cpu.cvlc_pct": 50.0})

    def test_peer_versions(self):
        printed = ("12.57\nffprobe version 5.1.9-0+deb12u1 Copyright (c) 2007-2026 the FFmpeg developers\n"
                   "VLC version 3.0.24 Vetinari (3.0.24-rc1-0-g6de05adcba)\n")
        self.assertEqual(machine.peers(printed), "exiftool 12.57, ffprobe 5.1.9-0+deb12u1, cvlc 3.0.24")
        self.assertEqual(machine.peers("VLC is not supposed to be run as root. Sorry.\n"), "versions unknown")


class Placing(unittest.TestCase):
    def test_newest_section_goes_first_and_the_rest_stays(self):
        older = "## Run of 2026-12-09\n\nold table\n"
        cases = [
            # document, where the marker ends up relative to the text around it
            ("# Benchmarks\n\nintro\n\n%s\n\n%s\n## Scan\n\ntext\n" % (section.MARKER, older),
             ["# Benchmarks", "intro", section.MARKER, "## Run of 2026-12-10", older, "## Scan"]),
            ("# Benchmarks\n\nintro\n\n## Scan\n\ntext\n",
             ["# Benchmarks", "intro", section.MARKER, "## Run of 2026-12-10", "## Scan", "text"]),
            ("# Benchmarks\n\nintro\n",
             ["# Benchmarks", "intro", section.MARKER, "## Run of 2026-12-10"]),
            ("", [section.MARKER, "## Run of 2026-12-10"]),
        ]
        new = "## Run of 2026-12-10\n\nnew table\n"
        for document, order in cases:
            with self.subTest(document=document):
                result = section.insert(document, new)
                positions = [result.find(part) for part in order]
                self.assertNotIn(-1, positions, result)
                self.assertEqual(positions, sorted(positions), result)
                self.assertEqual(result.count(section.MARKER), 1)
                self.assertNotIn("\n\n\n", result)
                # Nothing that was there is lost.
                for line in document.splitlines():
                    self.assertIn(line, result)

    def test_a_target_not_met_shows_its_gap_and_what_is_in_its_way(self):
        row = Row("route.0", "Route", "Google page", "ours", "ms", "peer", "one batch call", "ours/peer",
                  ("ours", "<=", 100), (("LoadTrack", "load", "ms"), ("the page", "page", "ms")))
        results = [targets.evaluate(row, {"ours": 256, "peer": 82, "load": 61.2}),
                   targets.evaluate(Row("playback.cpu", "Playback", "CPU", "x", "%"), {})]
        text = section.render(results, "Run of today", "summary", {"route.0": "Decoding the track."},
                              {"playback.cpu": "bench/playback.sh is not there."})
        self.assertIn("| Route | Google page | 256 ms | one batch call: 82 ms | 3.12 (ours/peer) "
                      "| ≤ 100 ms | — | **no** (2.56× off) |", text)
        # Only the parts this run measured.
        self.assertIn("- Route, Google page: 256 ms against ≤ 100 ms, 2.56× off. "
                      "Where it goes in this run: LoadTrack 61.2 ms. Decoding the track.", text)
        self.assertIn("- Playback, CPU: not run. bench/playback.sh is not there.", text)


if __name__ == "__main__":
    unittest.main()
