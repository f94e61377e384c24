#!/usr/bin/env python3
"""Writes the button faces and the eight compass roses as SVG files.

The skin's repetitive pictures share one plate and one palette, so they are
generated: change a colour or a glyph here and run the script again
(python3 res/pictures/make_pictures.py). The one-off pictures (logo, GPS
dish, car, padlock strip, tip check, program icon) are drawn by hand in
their own SVG files and are not touched by this script.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
PNG = os.path.join(HERE, "png")

ACCENT = "#3ba4ff"
ACCENT_DEEP = "#1f6fd1"
GLYPH = "#e3e9f0"
DIM = "#7b8591"
WARN = "#ff5f57"

# Glyphs are drawn on a 24 x 24 grid; "s" marks stroked paths, "f" filled ones.
GLYPHS = {
    "play": [("f", ACCENT, "M8.5 5.2 L19 12 L8.5 18.8 Z")],
    "pause": [("f", ACCENT, "M7 5.5 h3.6 v13 H7 Z M13.4 5.5 H17 v13 h-3.6 Z")],
    "stop": [("f", GLYPH, "M7.5 7.5 h9 v9 h-9 Z")],
    "fast": [("f", GLYPH, "M4 6.5 L12 12 L4 17.5 Z M12 6.5 L20 12 L12 17.5 Z")],
    "slow": [("f", GLYPH, "M20 6.5 L12 12 L20 17.5 Z M12 6.5 L4 12 L12 17.5 Z")],
    "open": [("s", GLYPH, "M3 7.5 a2 2 0 0 1 2-2 h4 l2 2 h8 a2 2 0 0 1 2 2 v7.5 a2 2 0 0 1-2 2 H5 "
                          "a2 2 0 0 1-2-2 Z"),
             ("s", ACCENT, "M3 10.5 h18")],
    "snap": [("s", GLYPH, "M3.5 8.5 a1.5 1.5 0 0 1 1.5-1.5 h2.5 l1.8-2.5 h5.4 l1.8 2.5 H19 "
                          "a1.5 1.5 0 0 1 1.5 1.5 v9 a1.5 1.5 0 0 1-1.5 1.5 H5 "
                          "a1.5 1.5 0 0 1-1.5-1.5 Z"),
             ("s", ACCENT, "M15.5 13 a3.5 3.5 0 1 1-7 0 a3.5 3.5 0 1 1 7 0 Z")],
    "save": [("s", ACCENT, "M12 3.5 v10.5 M7.5 9.5 L12 14 L16.5 9.5"),
             ("s", GLYPH, "M4.5 15.5 v3 h15 v-3")],
    "del": [("s", GLYPH, "M4.5 6.5 h15 M9.5 6.5 V4.5 h5 v2 M6.5 6.5 l1 13 h9 l1-13"),
            ("s", WARN, "M10.3 10 v6.5 M13.7 10 v6.5")],
    "loop_on": [("s", ACCENT, "M17 3 l3.5 3.5 L17 10 M3.5 11.5 V10 a3.5 3.5 0 0 1 3.5-3.5 h13.5 "
                              "M7 21 l-3.5-3.5 L7 14 M20.5 12.5 V14 a3.5 3.5 0 0 1-3.5 3.5 H3.5")],
    "loop_off": [("s", DIM, "M17 3 l3.5 3.5 L17 10 M3.5 11.5 V10 a3.5 3.5 0 0 1 3.5-3.5 h13.5 "
                            "M7 21 l-3.5-3.5 L7 14 M20.5 12.5 V14 a3.5 3.5 0 0 1-3.5 3.5 H3.5")],
    "kml": [("s", ACCENT, "M12 17.5 s-5-4.8-5-8.6 a5 5 0 0 1 10 0 c0 3.8-5 8.6-5 8.6 Z"),
            ("f", GLYPH, "M13.6 8.9 a1.6 1.6 0 1 1-3.2 0 a1.6 1.6 0 1 1 3.2 0 Z"),
            ("t", GLYPH, "KML")],
    "map": [("s", GLYPH, "M9 4.5 L3.5 6.5 v13 L9 17.5 l6 2 l5.5-2 v-13 L15 6.5 Z"),
            ("s", ACCENT, "M9 4.5 v13 M15 6.5 v13")],
    "gsr": [("s", "#6b7683", "M3 12 h18"),
            ("s", "#ff6b6b", "M3 12 c2-7 3.5-7 5 0 s3 5 4.5 0 s2.5-5 4 0 s2 3 4.5 0"),
            ("s", "#46d483", "M3 14 c2.5-3 4.5-3 6 0 s3.5 3 6 0 s4-2 6 0"),
            ("s", ACCENT, "M3 9.5 c3 2 5 2 8 0 s5-2 10 0")],
    "locked": [("f", "#f0b429", "M5.5 11 h13 a1.5 1.5 0 0 1 1.5 1.5 v7 a1.5 1.5 0 0 1-1.5 1.5 h-13 "
                               "a1.5 1.5 0 0 1-1.5-1.5 v-7 a1.5 1.5 0 0 1 1.5-1.5 Z"),
               ("s", GLYPH, "M8 11 V7.5 a4 4 0 0 1 8 0 V11"),
               ("f", "#4a3405", "M13 15 a1 1 0 1 1-2 0 a1 1 0 1 1 2 0 Z M11.4 15 h1.2 v3 h-1.2 Z")],
    "unlocked": [("f", DIM, "M5.5 11 h13 a1.5 1.5 0 0 1 1.5 1.5 v7 a1.5 1.5 0 0 1-1.5 1.5 h-13 "
                            "a1.5 1.5 0 0 1-1.5-1.5 v-7 a1.5 1.5 0 0 1 1.5-1.5 Z"),
                 ("s", GLYPH, "M8 11 V7.5 a4 4 0 0 1 7.8-1.3"),
                 ("f", "#2a2f36", "M13 15 a1 1 0 1 1-2 0 a1 1 0 1 1 2 0 Z M11.4 15 h1.2 v3 h-1.2 Z")],
    "close": [("s", WARN, "M7.5 7.5 L16.5 16.5 M16.5 7.5 L7.5 16.5")],
    "max": [("s", GLYPH, "M7 7 h10 v10 H7 Z M7 9.5 h10")],
    "min": [("s", GLYPH, "M7 15.5 h10")],
    "about": [("s", GLYPH, "M9.3 9.2 a2.8 2.8 0 0 1 5.4 1 c0 1.9-2.7 2.6-2.7 4.3"),
              ("f", ACCENT, "M13.2 18 a1.2 1.2 0 1 1-2.4 0 a1.2 1.2 0 1 1 2.4 0 Z")],
    "vol_on": [("f", GLYPH, "M3 9.5 h3.5 L11 5.5 v13 L6.5 14.5 H3 Z"),
               ("s", ACCENT, "M14.5 9 a4 4 0 0 1 0 6 M17.5 6.5 a7.5 7.5 0 0 1 0 11")],
    "vol_off": [("f", DIM, "M3 9.5 h3.5 L11 5.5 v13 L6.5 14.5 H3 Z"),
                ("s", WARN, "M14.5 9.5 l5 5 M19.5 9.5 l-5 5")],
    "size_s": [("t", GLYPH, "S")],
    "size_m": [("t", GLYPH, "M")],
    "size_l": [("t", GLYPH, "L")],
}

# id, role, width, height, plate shape, glyph
BUTTONS = [
    (129, "play", 48, 48, "round", "play"),
    (132, "pause", 48, 48, "round", "pause"),
    (133, "stop", 40, 40, "round", "stop"),
    (136, "fast", 40, 40, "round", "fast"),
    (137, "slow", 40, 40, "round", "slow"),
    (139, "open", 48, 36, "rect", "open"),
    (140, "snapshot", 48, 36, "rect", "snap"),
    (141, "save", 48, 36, "rect", "save"),
    (142, "delete", 48, 36, "rect", "del"),
    (143, "loop-on", 32, 32, "rect", "loop_on"),
    (176, "loop-off", 32, 32, "rect", "loop_off"),
    (145, "kml", 32, 32, "rect", "kml"),
    (146, "map", 32, 32, "rect", "map"),
    (147, "gsensor", 32, 32, "rect", "gsr"),
    (201, "locked", 32, 32, "rect", "locked"),
    (148, "unlocked", 32, 32, "rect", "unlocked"),
    (151, "close", 25, 25, "round", "close"),
    (152, "maximize", 25, 25, "round", "max"),
    (153, "minimize", 25, 25, "round", "min"),
    (154, "about", 25, 25, "round", "about"),
    (156, "sound-on", 12, 24, "rect", "vol_on"),
    (155, "sound-off", 12, 24, "rect", "vol_off"),
    (1045, "size-small", 16, 16, "rect", "size_s"),
    (187, "size-medium", 16, 16, "rect", "size_m"),
    (188, "size-large", 16, 16, "rect", "size_l"),
]

HEADER = "<!-- Generated by make_pictures.py; edit the script, not this file. -->\n"


def plate(w, h, shape, glow):
    """The graphite plate every button sits on."""
    defs = f"""  <defs>
    <linearGradient id="face" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#444b56"/>
      <stop offset="0.5" stop-color="#2a2f37"/>
      <stop offset="1" stop-color="#1b1e23"/>
    </linearGradient>
    <linearGradient id="rim" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#ffffff" stop-opacity="0.28"/>
      <stop offset="0.45" stop-color="#ffffff" stop-opacity="0.04"/>
      <stop offset="1" stop-color="#000000" stop-opacity="0.25"/>
    </linearGradient>
    <radialGradient id="glow" cx="0.5" cy="0.5" r="0.5">
      <stop offset="0" stop-color="{ACCENT}" stop-opacity="0.35"/>
      <stop offset="1" stop-color="{ACCENT_DEEP}" stop-opacity="0"/>
    </radialGradient>
  </defs>
"""
    if shape == "round":
        r = min(w, h) / 2 - 0.75
        cx, cy = w / 2, h / 2
        body = (f'  <circle cx="{cx}" cy="{cy}" r="{r}" fill="url(#face)" stroke="#0b0c0e" '
                f'stroke-width="1"/>\n'
                f'  <circle cx="{cx}" cy="{cy}" r="{r - 1}" fill="none" stroke="url(#rim)" '
                f'stroke-width="1"/>\n')
        if glow:
            body += f'  <circle cx="{cx}" cy="{cy}" r="{r - 2}" fill="url(#glow)"/>\n'
    else:
        rx = min(w, h) * 0.18
        body = (f'  <rect x="0.5" y="0.5" width="{w - 1}" height="{h - 1}" rx="{rx}" '
                f'fill="url(#face)" stroke="#0b0c0e" stroke-width="1"/>\n'
                f'  <rect x="1.5" y="1.5" width="{w - 3}" height="{h - 3}" rx="{max(rx - 1, 0.5)}" '
                f'fill="none" stroke="url(#rim)" stroke-width="1"/>\n')
    return defs + body


def glyph(name, w, h, shape):
    box = min(w, h) * (0.58 if shape == "round" else 0.72)
    s = box / 24
    x, y = (w - box) / 2, (h - box) / 2
    out = [f'  <g transform="translate({x:.3f} {y:.3f}) scale({s:.4f})">\n']
    for kind, colour, data in GLYPHS[name]:
        if kind == "s":
            out.append(f'    <path d="{data}" fill="none" stroke="{colour}" stroke-width="2" '
                       f'stroke-linecap="round" stroke-linejoin="round"/>\n')
        elif kind == "f":
            out.append(f'    <path d="{data}" fill="{colour}"/>\n')
        else:
            # Letters: alone they fill the grid, beside a glyph they sit below it.
            size, baseline = (19, 19) if len(GLYPHS[name]) == 1 else (7, 23.5)
            out.append(f'    <text x="12" y="{baseline}" text-anchor="middle" '
                       f'font-family="Liberation Sans" font-weight="bold" font-size="{size}" '
                       f'fill="{colour}">{data}</text>\n')
    out.append("  </g>\n")
    return "".join(out)


def write(path, text):
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def buttons():
    for rid, role, w, h, shape, name in BUTTONS:
        svg = (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
               f'viewBox="0 0 {w} {h}">\n{HEADER}'
               + plate(w, h, shape, name in ("play", "pause"))
               + glyph(name, w, h, shape) + "</svg>\n")
        write(os.path.join(PNG, f"{rid}-{role}.svg"), svg)


def compass(step):
    """Heading-up rose, 48 x 48, turned clockwise by 45 degrees per step."""
    ticks = "".join(
        f'    <line x1="24" y1="3.2" x2="24" y2="{5.6 if a % 90 else 6.6}" '
        f'stroke="{"#9aa4b1" if a % 90 else "#d6dde6"}" stroke-width="1.4" '
        f'transform="rotate({a} 24 24)"/>\n' for a in range(0, 360, 45))
    letters = "".join(
        f'    <text x="{x}" y="{y}" text-anchor="middle" font-family="Liberation Sans" '
        f'font-weight="bold" font-size="7.5" fill="{c}" '
        f'transform="rotate({-step * 45} {x} {y - 2.7})">{t}</text>\n'
        for t, x, y, c in (("N", 24, 13.2, WARN), ("E", 37.5, 26.7, GLYPH),
                           ("S", 24, 40.2, GLYPH), ("W", 10.5, 26.7, GLYPH)))
    return f"""<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
{HEADER}  <defs>
    <radialGradient id="dial" cx="0.5" cy="0.38" r="0.62">
      <stop offset="0" stop-color="#343a44"/>
      <stop offset="1" stop-color="#14171b"/>
    </radialGradient>
    <linearGradient id="bezel" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#8a95a3"/>
      <stop offset="1" stop-color="#2b3037"/>
    </linearGradient>
  </defs>
  <circle cx="24" cy="24" r="22.5" fill="url(#dial)" fill-opacity="0.92" stroke="url(#bezel)"
          stroke-width="1.5"/>
  <g transform="rotate({step * 45} 24 24)">
{ticks}{letters}    <path d="M24 15.2 L26.8 24 H21.2 Z" fill="{WARN}"/>
    <path d="M24 32.8 L26.8 24 H21.2 Z" fill="#c9d1db"/>
    <path d="M24 15.2 L24 24 H21.2 Z" fill="#000000" fill-opacity="0.18"/>
    <path d="M24 32.8 L24 24 H21.2 Z" fill="#000000" fill-opacity="0.18"/>
  </g>
  <circle cx="24" cy="24" r="2.3" fill="#1b1e23" stroke="{ACCENT}" stroke-width="1.2"/>
</svg>
"""


if __name__ == "__main__":
    buttons()
    for k in range(8):
        write(os.path.join(PNG, f"{167 + k}-compass-{k * 45:03d}.svg"), compass(k))
