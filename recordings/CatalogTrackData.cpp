// The track data of the current recording, read alike for both variants.
#include "recordings/NmeaCoordinates.h"
#include "recordings/RecordingCatalog.h"

#include <stdexcept>

namespace {

// GPS points and G-sensor samples are kept alike: as the raw block read from
// the file (chunk variant) or decoded into a vector (metadata track).
template <typename Record>
int RecordCount(const RecordingFile* file, const std::vector<uint8_t>& block,
                const std::vector<Record>& decoded) {
    if (!file)
        return 0;
    switch (file->info.variant) {
    case kChunkVariant:
        return int(block.size() / Record::kSize);
    case kMetadataTrackVariant:
        return int(decoded.size());
    default:
        return 0;
    }
}

template <typename Record>
Record RecordAt(const RecordingFile* file, const std::vector<uint8_t>& block,
                const std::vector<Record>& decoded, int i) {
    if (i < 0 || i >= RecordCount(file, block, decoded))
        throw std::out_of_range("RecordingCatalog: no such point or sample");
    if (file->info.variant == kMetadataTrackVariant)
        return decoded[size_t(i)];
    return Record::FromBytes(block.data() + size_t(i) * Record::kSize);
}

} // namespace

int32_t RecordingCatalog::CurrentVariant() const {
    const RecordingFile* file = CurrentRecording();
    return file ? file->info.variant : kChunkVariant;
}

int RecordingCatalog::GpsPointCount() const {
    return RecordCount(CurrentRecording(), gpsBlock, points);
}

GpsPoint RecordingCatalog::GpsPointAt(int i) const {
    return RecordAt(CurrentRecording(), gpsBlock, points, i);
}

GpsPoint RecordingCatalog::GpsPointInDegreesAt(int i) const {
    GpsPoint p = GpsPointAt(i);
    if (CurrentVariant() == kChunkVariant) {
        p.latitude = NmeaToDegrees(p.latitude);
        p.longitude = NmeaToDegrees(p.longitude);
    }
    return p;
}

int RecordingCatalog::GSensorSampleCount() const {
    return RecordCount(CurrentRecording(), gsensorBlock, samples);
}

GSensorSample RecordingCatalog::GSensorSampleAt(int i) const {
    return RecordAt(CurrentRecording(), gsensorBlock, samples, i);
}
