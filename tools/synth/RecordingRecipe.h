#pragma once
#include "recordings/GpsPoint.h"

#include <QByteArray>
#include <QDateTime>
#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace synth {

// The three ways this camera family stores a recording.
enum class Container {
    Avi,      // RIFF AVI with "gps0"/"gsen"/"gpsa"/"gsea" chunks
    MovBoxes, // MOV with the camera's own top-level boxes and a "skip" box
    MovTrack, // MOV with a metadata track of 88-byte records
};

enum class Lock {
    None,
    Event, // locked by the camera after a G-sensor event
    Hand,  // locked by the driver
};

// One GPS fix before encoding. The time a record carries follows from its
// index, the GPS rate and the recording's start.
struct Fix {
    double latitude = 0;  // decimal degrees, south negative
    double longitude = 0; // decimal degrees, west negative
    int altitude = 0;     // metres
    int speedKmh = 0;
    double headingDegrees = 0;
    uint8_t flags = GpsPoint::kFixFlag; // the metadata track writes these as its status
    bool timed = true;                  // false: the record's date and time are zero
};

// Deliberate damage, for parser tests.
struct Faults {
    bool noMarker = false;              // no "JTDD" / "JTD_" marker, or a "skip" box ending in 1
    bool metaTrackFirst = false;        // metadata track before the video track
    bool cutInMedia = false;            // the file ends halfway through the media data
    int64_t truncateTo = -1;            // the finished file is cut to this many bytes
    int gpsExtraBytes = 0;              // junk appended to the "gps0" payload
    int gsensorExtraBytes = 0;          // junk appended to the "gsen" payload
    uint32_t gpsSizeOverstated = 0;     // "gps0" declares this many bytes more than it holds
    std::optional<QByteArray> dateText; // replaces the "IDIT" text (may be invalid)
};

struct RecordingRecipe {
    Container container = Container::MovBoxes;
    int durationMs = 2000;
    QSize frameSize{160, 90};
    int frameRate = 25;
    bool audio = true;
    QString pattern = "testsrc2"; // ffmpeg lavfi video source
    // The camera's wall clock at the first frame, as the file stores it.
    QDateTime start = QDateTime(QDate(2021, 7, 4), QTime(18, 30, 5));
    bool dateText = true; // write the "IDIT" date text (chunk data only)
    // Chunk data only: the GPS records' UTC is the camera clock plus this
    // (-32400 for a camera set to Japan time); 0 for a camera set to UTC.
    int gpsTimeShiftSeconds = 0;
    // Chunk data only; the metadata track always holds 5 records a second.
    int gpsRate = 1;
    int gsensorRate = 10;
    int gsensorScale = 8;
    std::vector<Fix> fixes;             // one per GPS record
    std::vector<GSensorSample> gsensor; // one per G-sensor sample
    Lock lock = Lock::None;
    std::optional<unsigned> attributes; // FileAttributes bits; overrides what `lock` gives
    Faults faults;
};

// Records per second of the metadata track.
constexpr int kTrackRecordRate = 5;

} // namespace synth
