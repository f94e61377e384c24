#pragma once
#include "tools/synth/RecordingRecipe.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Turn an ffmpeg MOV (ftyp, wide, mdat, moov) into a camera recording.
namespace synth {

// Camera boxes ("IDIT", "gpsa", "gsea", "skip", "gsen", "gps0") after the moov.
std::optional<QByteArray> BuildMovWithBoxes(const QByteArray& base, const RecordingRecipe& recipe,
                                            QString* error);

// A "free" box first, the 88-byte records at the end of the mdat and a
// metadata track whose chunk offsets point at them.
std::optional<QByteArray> BuildMovWithTrack(const QByteArray& base, const RecordingRecipe& recipe,
                                            QString* error);

// mvhd creation time for a wall-clock start: seconds since 1904 of the
// instant that the local calendar gives that wall clock.
uint32_t MovCreationTime(const QDateTime& wallClock);

} // namespace synth
