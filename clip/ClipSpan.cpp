#include "clip/ClipSpan.h"

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
