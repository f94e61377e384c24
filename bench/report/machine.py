"""A description of the machine a run was made on."""

import ctypes
import os
import platform


def _first(path, prefix):
    try:
        with open(path, encoding="utf-8") as f:
            for line in f:
                if line.startswith(prefix):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return None


def _read(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read().strip()
    except OSError:
        return None


def _library_string(library, symbol):
    """A version string returned by a function of a shared library, as the
    program loads it at run time."""
    try:
        function = getattr(ctypes.CDLL(library), symbol)
    except (OSError, AttributeError):
        return None
    function.restype = ctypes.c_char_p
    value = function()
    return value.decode() if value else None


def versions():
    qt = _library_string("libQt6Core.so.6", "qVersion")
    engine = _library_string("libQt6WebEngineCore.so.6", "_Z17qWebEngineVersionv")
    chromium = _library_string("libQt6WebEngineCore.so.6", "_Z25qWebEngineChromiumVersionv")
    vlc = _library_string("libvlc.so.5", "libvlc_get_version")
    return "Qt %s, Qt WebEngine %s (Chromium %s), libvlc %s" % (
        qt or "?", engine or "?", chromium or "?", vlc or "?")


def describe():
    cpu = _first("/proc/cpuinfo", "model name") or platform.processor() or "unknown CPU"
    memory = _first("/proc/meminfo", "MemTotal")
    memory_gib = "%.1f GiB" % (int(memory.split()[0]) / 1048576) if memory else "unknown"
    debian = _read("/etc/debian_version")
    return "%s, %d cores, %s memory, kernel %s, Debian %s; %s" % (
        cpu, os.cpu_count() or 0, memory_gib, platform.release(), debian or "?", versions())


def load_average():
    return "%.1f" % os.getloadavg()[0]


def peers(printed):
    """The peers' versions from what `exiftool -ver`, `ffprobe -version` and
    `cvlc --version` printed, one after the other."""
    found = []
    for line in printed.splitlines():
        words = line.split()
        if len(words) == 1 and words[0][:1].isdigit():
            found.append("exiftool " + words[0])
        elif line.startswith("ffprobe version") and len(words) > 2:
            found.append("ffprobe " + words[2])
        elif line.startswith("VLC version") and len(words) > 2:
            found.append("cvlc " + words[2])
    return ", ".join(found) or "versions unknown"
