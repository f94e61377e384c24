#include "FuzzInput.h"
#include "recordings/MetadataRecord.h"

#include <cmath>
#include <cstring>

namespace {

void CheckPoint(const GpsPoint& p) {
    FUZZ_CHECK(std::isfinite(p.latitude) && std::isfinite(p.longitude));
    FUZZ_CHECK(p.altitude == 0 && p.reserved == 0);
    // A local time with a date has a day and a month; without one it is all zero.
    if (p.year == 0 && p.month == 0 && p.day == 0)
        FUZZ_CHECK(p.hour == 0 && p.minute == 0 && p.second == 0);
}

} // namespace

// The input is a run of records; the same bytes also serve as a file whose
// chunk table points at every fourth byte, so short and overlapping records
// are read too.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (size_t at = 0; at < size; at += MetadataRecord::kSize) {
        uint8_t record[MetadataRecord::kSize] = {};
        std::memcpy(record, data + at, std::min(MetadataRecord::kSize, size - at));
        const MetadataRecord::Decoded d = MetadataRecord::Decode(record);
        if (d.point)
            CheckPoint(*d.point);
    }

    const QString& path = WriteFuzzInput(data, size);
    std::vector<MetaChunkEntry> table;
    for (size_t at = 0; at < size + 8; at += 4)
        table.push_back({uint32_t(table.size()), at});
    table.push_back({uint32_t(table.size()), ~uint64_t(0)});
    QFile reader;
    std::vector<GpsPoint> points;
    std::vector<GSensorSample> samples;
    FUZZ_CHECK(MetadataRecord::DecodeAll(reader, path, table, &points, &samples));
    FUZZ_CHECK(points.size() <= table.size() && samples.size() <= table.size());
    for (const GpsPoint& p : points)
        CheckPoint(p);
    return 0;
}
