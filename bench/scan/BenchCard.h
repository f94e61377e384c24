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

// The records of a metadata-track recording as a camera lays them out: each
// `spacing` bytes after the one before, with a sparse hole between them
// standing for the media data written there. The chunk table follows them.
bool SpreadRecords(const QString& path, uint64_t spacing, QString* error);

// Lengthens the mdat payload of a MOV by a hole after its last byte; the
// boxes after it move, and every offset into the media stays valid.
bool GrowMediaData(const QString& path, uint64_t extraBytes, QString* error);

} // namespace bench
