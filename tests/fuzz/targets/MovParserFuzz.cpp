#include "FuzzInput.h"
#include "recordings/CVel3gpParser.h"
#include "recordings/MetadataRecord.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString& path = WriteFuzzInput(data, size);
    RecordingInfo info;
    info.width = 7; // a rejected file must leave this alone
    CVel3gpParser parser;
    parser.SetInfo(&info);
    const int result = parser.Parse(path);
    FUZZ_CHECK(result == 0 || result == -1);
    FUZZ_CHECK(parser.OpenCount() <= 2);
    if (result != 0) {
        FUZZ_CHECK(info.width == 7 && info.metaChunks.empty() && info.fileSize == 0);
        return 0;
    }
    FUZZ_CHECK(info.fileSize == size);
    FUZZ_CHECK(info.width != 0 && info.height != 0 && info.durationMs != 0);
    FUZZ_CHECK(info.variant == kChunkVariant || info.variant == kMetadataTrackVariant);
    // Each entry is a whole record inside the file, and the tables hold no
    // more than the recording can.
    FUZZ_CHECK(info.metaChunks.size() <= MetadataRecord::MaxRecords(size, info.durationMs));
    for (const MetaChunkEntry& e : info.metaChunks)
        FUZZ_CHECK(e.fileOffset + MetadataRecord::kSize <= size);
    if (info.variant == kChunkVariant)
        FUZZ_CHECK(info.metaChunks.empty());

    // What a load does next with a metadata-track recording.
    QFile reader;
    std::vector<GpsPoint> points;
    std::vector<GSensorSample> samples;
    FUZZ_CHECK(MetadataRecord::DecodeAll(reader, path, info.metaChunks, &points, &samples));
    FUZZ_CHECK(points.size() <= info.metaChunks.size());
    FUZZ_CHECK(samples.size() <= info.metaChunks.size());
    for (const GpsPoint& p : points)
        FUZZ_CHECK(std::isfinite(p.latitude) && std::isfinite(p.longitude));
    return 0;
}
