#pragma once
// The 88-byte records of a metadata track: one GPS fix in NMEA form (UTC time,
// degrees and minutes as fractions, knots) and one G-sensor sample. Decoded
// into the same GpsPoint layout as the chunk variant, but with decimal degrees
// and local time (zone derived from the longitude).
#include "recordings/GpsPoint.h"
#include "recordings/RecordingInfo.h"

#include <QFile>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace MetadataRecord {

constexpr size_t kSize = 88;

struct Decoded {
    std::optional<GpsPoint> point;
    std::optional<GSensorSample> sample;
};

// Decodes one record (kSize bytes).
Decoded Decode(const uint8_t* record);

// Knots to whole km/h with the camera's 4 km/h taken off.
uint16_t KnotsToSpeed(double knots);
// Whole hours of the local zone at a position.
int TimeZoneHours(double latitude, double longitude);
// Leap year of a year stored as year - 2000.
bool IsLeapYear(int storedYear);

struct DateTime {
    int year = 0; // - 2000
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
bool operator==(const DateTime& a, const DateTime& b);

// Adds a zone offset (clamped to -12..13 hours) to a UTC time, carrying into
// the date by at most one day.
DateTime ShiftHours(DateTime utc, int zoneHours);

// Opens the file with reader and decodes the record at each entry, in table
// order, appending to the vectors; bytes past the end of the file read as
// zero. False (vectors untouched) when the file cannot be opened or is not a
// regular file.
bool DecodeAll(QFile& reader, const QString& path, const std::vector<MetaChunkEntry>& chunks,
               std::vector<GpsPoint>* points, std::vector<GSensorSample>* samples);

// The camera writes five records a second.
constexpr uint64_t kRecordsPerSecond = 5;
// A day of recording: no table is taken beyond it, whatever a file claims.
constexpr uint64_t kDayOfRecords = 24 * 3600 * kRecordsPerSecond;

// How many records a recording of this length and duration can hold: no
// more than fit in the file, than twice the camera's rate over the duration
// and a minute, or than a day's worth.
uint64_t MaxRecords(uint64_t fileLength, uint32_t durationMs);

} // namespace MetadataRecord
