#pragma once
// Memory cards for the scan benchmark.
#include <QString>
#include <cstdint>

namespace bench {

// `count` one-minute recordings, front/rear pairs of both naming schemes and
// MOV layouts in runs of ten moments, each mdat grown by `extraMediaBytes`
// of sparse hole so the files are as large as real ones.
bool WriteBenchCard(const QString& root, int count, uint64_t extraMediaBytes, QString* error);

// One metadata-track recording of an hour (18000 records).
bool WriteHourRecording(const QString& path, QString* error);

// Lengthens the mdat payload of a MOV by a hole after its last byte; the
// boxes after it move, and every offset into the media stays valid.
bool GrowMediaData(const QString& path, uint64_t extraBytes, QString* error);

} // namespace bench
