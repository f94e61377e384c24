#pragma once
// The time a clip tells: the camera's own reading with the zone measured
// between its clock and GPS time, the same on every computer.
#include "clip/ClipSpan.h"
#include "recordings/CameraClock.h"
#include "recordings/TripModel.h"

#include <vector>

struct ClipClock {
    // The clip's rule and zone: those of the first recording whose records
    // carry GPS time (a camera keeps one zone through a drive).
    CameraClock clock;
    QString measuredIn; // that recording's path; empty without one
    // Per piece: its recording's own clock, and the camera's reading at the
    // start of its file.
    std::vector<CameraClock> pieceClocks;
    std::vector<int64_t> startReadingMs;

    // The camera's reading at ms from the start of piece i's file.
    int64_t ReadingMs(size_t piece, int64_t fileMs) const { return startReadingMs[piece] + fileMs; }
    // Whether readings can be told as instants (the Gps rule).
    bool KnowsUtc() const { return clock.rule == ClockRule::Gps; }
    int64_t UtcMs(size_t piece, int64_t fileMs) const {
        return ReadingMs(piece, fileMs) - clock.zoneMs;
    }
    // Where a point of piece i's track falls, ms from the start of its file.
    int64_t PointFileMs(size_t piece, const ClipPiece& p, const GpsFix& point) const;
    // A point's instant for the GPX and CSV: its own GPS time, else its
    // place told in UTC when the zone is known.
    int64_t PointUtcMs(size_t piece, const ClipPiece& p, const GpsFix& point) const;

    // "2024-05-20 16:00:03 UTC+09:00"; without a zone the reading marked
    // "(camera clock, zone unknown)" in the program's language.
    QString TimeText(int64_t readingMs) const;
    // ISO 8601: the reading with its zone ("2024-05-20T16:00:03+09:00"), or
    // without one when the zone is unknown.
    QString LocalIso(int64_t readingMs) const;
};

// Measures the clock of each piece's recording (its listed file).
ClipClock MeasureClipClock(const std::vector<ClipPiece>& pieces);
