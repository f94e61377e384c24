#pragma once
// Moving through a drive: recordings that follow each other without a gap
// play as one, so a step past a recording's end goes on in the next.
#include "clip/ClipSpan.h"

#include <QString>
#include <optional>
#include <vector>

struct DriveMoment {
    QString path; // the recording's front file, else its rear one
    int64_t offsetMs = 0;
};

// The moment `offsetMs` from the start of sources[current] (sorted by
// start), which may lie before or after that recording, as a moment of the
// recording of the same drive that holds it; `currentLengthMs` is the
// current recording's length as its player knows it. Nullopt when the
// moment lies outside the drive or inside the current recording.
std::optional<DriveMoment> MomentInDrive(const std::vector<ClipSource>& sources, int current,
                                         int64_t currentLengthMs, int64_t offsetMs);

// The index of the source whose front or rear file is `path`, else -1.
int SourceOfPath(const std::vector<ClipSource>& sources, const QString& path);
