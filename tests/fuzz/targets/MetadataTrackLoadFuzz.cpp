#include "FuzzInput.h"
#include "recordings/CVel3gpParser.h"
#include "recordings/MetadataRecord.h"

#include <cstring>

// The track load of a metadata-track recording: the parser's table, then the
// records read in runs. The input is a file; its first bytes also give a
// second table in any order (backwards, repeated, past the end), and the
// records read in runs must decode exactly as one read per record would.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString& path = WriteFuzzInput(data, size);
    RecordingInfo info;
    CVel3gpParser parser;
    parser.SetInfo(&info);
    std::vector<MetaChunkEntry> table;
    if (parser.Parse(path) == 0 && info.variant == kMetadataTrackVariant) {
        FUZZ_CHECK(info.metaChunks.size() <= MetadataRecord::MaxRecords(size, info.durationMs));
        table = info.metaChunks;
    }
    for (size_t at = 0; at + 2 <= std::min<size_t>(size, 512); at += 2) {
        // Offsets near the data, with a far one now and then.
        const uint16_t v = uint16_t(data[at] | data[at + 1] << 8);
        const uint64_t offset = v == 0xFFFF ? ~uint64_t(0) : v % (size + 200);
        table.push_back({uint32_t(table.size()), offset});
    }

    QFile reader;
    std::vector<GpsPoint> points;
    std::vector<GSensorSample> samples;
    FUZZ_CHECK(MetadataRecord::DecodeAll(reader, path, table, &points, &samples));

    std::vector<GpsPoint> expectedPoints;
    std::vector<GSensorSample> expectedSamples;
    for (const MetaChunkEntry& e : table) {
        uint8_t record[MetadataRecord::kSize] = {};
        if (e.fileOffset < size)
            std::memcpy(record, data + e.fileOffset,
                        std::min<size_t>(MetadataRecord::kSize, size - size_t(e.fileOffset)));
        const MetadataRecord::Decoded d = MetadataRecord::Decode(record);
        if (d.point)
            expectedPoints.push_back(*d.point);
        if (d.sample)
            expectedSamples.push_back(*d.sample);
    }
    FUZZ_CHECK(points.size() == expectedPoints.size());
    FUZZ_CHECK(samples.size() == expectedSamples.size());
    for (size_t i = 0; i < points.size(); ++i)
        FUZZ_CHECK(std::memcmp(&points[i], &expectedPoints[i], sizeof(GpsPoint)) == 0);
    for (size_t i = 0; i < samples.size(); ++i)
        FUZZ_CHECK(samples[i] == expectedSamples[i]);
    return 0;
}
