#pragma once
#include "tools/synth/RecordingRecipe.h"

#include <QByteArray>
#include <QDateTime>
#include <array>

// Payloads of the camera's chunks and boxes ("gps0", "gsen", "gpsa", "gsea",
// "IDIT"), the same in AVI and MOV files.
namespace synth {

// Decimal degrees to the NMEA form the records hold (degrees * 100 + minutes).
double ToNmea(double degrees);

// The wall-clock second that record `index` belongs to at `rate` records a second.
QDateTime RecordTime(const QDateTime& start, int index, int rate);

// 32-byte records; record times are the camera's local wall clock.
QByteArray GpsBlock(const std::vector<Fix>& fixes, const QDateTime& start, int rate);
QByteArray GSensorBlock(const std::vector<GSensorSample>& samples);

std::array<uint8_t, 4> GpsParams(int rate);
std::array<uint8_t, 4> GSensorParams(int rate, int scale);

// "YYYY-MM-DD HH:MM:SS" and a terminating zero (20 bytes).
QByteArray DateText(const QDateTime& wallClock);

// One chunk or box of the camera: its payload and the size its header declares
// (larger than the payload only in damaged files).
struct CameraChunk {
    QByteArray id;
    QByteArray payload;
    uint32_t declaredSize = 0;
};

// "IDIT" (when asked for), "gpsa", "gsea", "gsen", "gps0", in this order: the
// parameters come before the GPS block whose start time depends on them, and
// the GPS block comes last so that an overstated size runs past the end.
std::vector<CameraChunk> CameraChunks(const RecordingRecipe& recipe);

// Heading in the records' units of 2 degrees.
uint8_t HeadingUnits(double degrees);

} // namespace synth
