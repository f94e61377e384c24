#include "clip/ClipClock.h"

#include "recordings/Track.h"
#include "strings/UiStrings.h"

#include <QDir>

ClipClock MeasureClipClock(const std::vector<ClipPiece>& pieces) {
    ClipClock c;
    for (const ClipPiece& piece : pieces) {
        const RecordingFile& file = piece.source.file;
        CameraClock clock;
        if (file.info.startTime != 0)
            clock = MeasureCameraClock(ReadTrack(file.Path(), file.info), file.info.startTime);
        c.pieceClocks.push_back(clock);
        c.startReadingMs.push_back(CameraReadingMs(piece.source.startMs));
        if (clock.measured && !c.clock.measured) {
            c.clock = clock;
            c.measuredIn = QDir::cleanPath(file.Path());
        }
    }
    return c;
}

int64_t ClipClock::PointFileMs(size_t piece, const ClipPiece& p, const GpsFix& point) const {
    if (!point.ownTime)
        return point.utcMs - p.source.startMs;
    // GPS time runs from the camera's clock by the difference measured in
    // the recording (or in the clip's other ones when it carries none).
    const CameraClock& own = pieceClocks[piece];
    const CameraClock& measured = own.measured ? own : clock;
    if (!measured.measured)
        return point.utcMs - p.source.startMs;
    return point.utcMs + measured.differenceMs - startReadingMs[piece];
}

int64_t ClipClock::PointUtcMs(size_t piece, const ClipPiece& p, const GpsFix& point) const {
    if (point.ownTime || !KnowsUtc())
        return point.utcMs;
    return UtcMs(piece, point.utcMs - p.source.startMs);
}

QString ClipClock::TimeText(int64_t readingMs) const {
    const QString reading = CameraReadingText(readingMs, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (KnowsUtc())
        return reading + " UTC" + UtcOffsetText(clock.zoneMs);
    return reading + " (" + LoadUiString(UiStringId::kCameraClockZoneUnknown) + ")";
}

QString ClipClock::LocalIso(int64_t readingMs) const {
    const QString reading = CameraReadingText(readingMs, QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    return KnowsUtc() ? reading + UtcOffsetText(clock.zoneMs) : reading;
}
