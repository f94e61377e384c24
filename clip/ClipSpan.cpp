#include "clip/ClipSpan.h"

#include <algorithm>

bool SpanPieces(const std::vector<ClipSource>& sources, int64_t fromMs, int64_t toMs,
                std::vector<ClipPiece>* pieces, QString* error) {
    pieces->clear();
    if (toMs <= fromMs) {
        *error = QStringLiteral("the clip ends before it starts");
        return false;
    }
    int64_t covered = fromMs; // the clip is whole up to here
    for (const ClipSource& s : sources) {
        const int64_t end = s.startMs + s.durationMs;
        if (end <= covered || s.durationMs <= 0)
            continue;
        if (s.startMs > toMs || covered >= toMs)
            break;
        // A later recording may start a little before the earlier one ends
        // (whole-second clock); the overlap is taken from the earlier one.
        if (!pieces->empty() && s.startMs > covered + kSeamToleranceMs) {
            *error = QStringLiteral("the recordings of the clip do not follow each other");
            return false;
        }
        if (pieces->empty() && s.startMs > fromMs) {
            *error = QStringLiteral("the clip starts before the recordings");
            return false;
        }
        ClipPiece piece;
        piece.source = s;
        piece.inMs = std::max<int64_t>(0, covered - s.startMs);
        piece.outMs = std::min(s.durationMs, toMs - s.startMs);
        if (piece.outMs > piece.inMs) {
            pieces->push_back(piece);
            covered = s.startMs + piece.outMs;
        }
    }
    if (pieces->empty()) {
        *error = QStringLiteral("no recording holds the clip");
        return false;
    }
    if (covered + kSeamToleranceMs < toMs) {
        *error = QStringLiteral("the clip ends after the recordings");
        return false;
    }
    return true;
}

std::optional<std::pair<int64_t, int64_t>> SpanAround(const std::vector<ClipSource>& sources,
                                                      int64_t atMs, int64_t beforeMs,
                                                      int64_t afterMs) {
    const auto endOf = [](const ClipSource& s) { return s.startMs + s.durationMs; };
    const auto holder = std::find_if(sources.begin(), sources.end(), [&](const ClipSource& s) {
        return s.durationMs > 0 && s.startMs <= atMs && atMs < endOf(s);
    });
    if (holder == sources.end())
        return std::nullopt;
    const int64_t from = atMs - beforeMs, to = atMs + afterMs;
    int64_t runStart = holder->startMs, runEnd = endOf(*holder);
    for (auto it = holder; it != sources.begin() && runStart > from;) {
        --it;
        if (it->durationMs <= 0 || endOf(*it) + kSeamToleranceMs < runStart)
            break;
        runStart = std::min(runStart, it->startMs);
    }
    for (auto it = holder + 1; it != sources.end() && runEnd < to; ++it) {
        if (it->durationMs <= 0 || it->startMs > runEnd + kSeamToleranceMs)
            break;
        runEnd = std::max(runEnd, endOf(*it));
    }
    return std::make_pair(std::max(from, runStart), std::min(to, runEnd));
}
