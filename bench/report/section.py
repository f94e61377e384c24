"""The table of ratios and the dated section that goes into BENCHMARKS.md."""

MARKER = "<!-- bench/run-all writes its sections below this line, newest first -->"


def number(value):
    """Three significant figures at most, no exponent."""
    if value is None:
        return "n/a"
    return "%.0f" % value if abs(value) >= 100 else "%.3g" % value


def figure(value, unit):
    return "n/a" if value is None else "%s %s" % (number(value), unit)


def bound_text(row, on):
    if row.bound is None or row.bound[0] != on:
        return "—"
    _, sense, limit = row.bound
    sign = "≤" if sense == "<=" else "≥"
    return "%s %g %s" % (sign, limit, row.unit) if on == "ours" else "%s %g×" % (sign, limit)


def verdict_text(result):
    if result.verdict == "not met":
        return "**no** (%s× off)" % number(result.gap)
    return {"met": "yes", "not run": "not run", "": "—"}[result.verdict]


def table(results):
    lines = [
        "| area | measure | measured | peer or floor | ratio | target | target ratio | met? |",
        "|---|---|---|---|---|---|---|---|",
    ]
    for r in results:
        row = r.row
        ours = figure(r.ours, row.unit)
        peer = "%s: %s" % (row.peer_name, figure(r.peer, row.unit)) if row.peer else "—"
        ratio = "—"
        if row.ratio:
            ratio = "%s (%s)" % (number(r.ratio), row.ratio) if r.ratio is not None else "n/a"
        lines.append("| %s | %s | %s | %s | %s | %s | %s | %s |" % (
            row.area, row.what, ours, peer, ratio, bound_text(row, "ours"), bound_text(row, "ratio"),
            verdict_text(r)))
    return "\n".join(lines)


def gaps(results, notes, missing):
    """One line per target not met or not run: the gap and what stands in its way."""
    lines = []
    for r in results:
        row = r.row
        if r.verdict == "not met":
            on = row.bound[0]
            measured = figure(r.ours, row.unit) if on == "ours" else "ratio %s" % number(r.ratio)
            split = ""
            if r.split:
                split = " Where it goes in this run: %s." % ", ".join(
                    "%s %s" % (label, figure(value, unit)) for label, value, unit in r.split)
            lines.append("- %s, %s: %s against %s, %s× off.%s %s" % (
                row.area, row.what, measured, bound_text(row, on), number(r.gap), split,
                notes.get(row.key, "No note on what stands in the way yet.")))
        elif r.verdict == "not run":
            lines.append("- %s, %s: not run. %s" % (
                row.area, row.what, missing.get(row.key, "Its benchmark gave no figure; see the log.")))
    return "\n".join(lines)


def render(results, heading, summary, notes=None, missing=None, details=()):
    """The whole section: heading, summary paragraph, table, gaps, and each
    script's own output folded away."""
    parts = ["## %s" % heading, summary, table(results)]
    gap_lines = gaps(results, notes or {}, missing or {})
    if gap_lines:
        parts.append("Targets not met or not run, and what stands in their way:\n\n" + gap_lines)
    for title, text in details:
        parts.append("<details><summary>%s</summary>\n\n```\n%s\n```\n</details>" %
                     (title, text.rstrip()))
    return "\n\n".join(parts) + "\n"


def insert(document, section):
    """The document with the section placed first below the marker; without a
    marker, the marker and the section go before the first second-level
    heading (or at the end)."""
    if MARKER not in document:
        at = document.find("\n## ")
        head, tail = (document, "") if at < 0 else (document[: at + 1], document[at + 1 :])
        head = head.rstrip("\n") + "\n\n" if head.strip() else ""
        document = head + MARKER + "\n" + ("\n" + tail if tail else "")
    at = document.index(MARKER) + len(MARKER)
    rest = document[at:].lstrip("\n")
    return document[:at] + "\n\n" + section.rstrip("\n") + "\n" + ("\n" + rest if rest else "")
