// The track data of the current recording, read alike for both variants.
#include "recordings/NmeaCoordinates.h"
#include "recordings/RecordingCatalog.h"

#include <stdexcept>

int32_t RecordingCatalog::CurrentVariant() const {
    const RecordingFile* file = CurrentRecording();
    return file ? file->info.variant : kChunkVariant;
}

int RecordingCatalog::GpsPointCount() const {
    const RecordingFile* file = CurrentRecording();
    if (!file)
        return 0;
    switch (file->info.variant) {
    case kChunkVariant:
        return int(gpsBlock.size() / GpsPoint::kSize);
    case kMetadataTrackVariant:
        return int(points.size());
    default:
        return 0;
    }
}

GpsPoint RecordingCatalog::GpsPointAt(int i) const {
    if (i < 0 || i >= GpsPointCount())
        throw std::out_of_range("RecordingCatalog::GpsPointAt");
    if (CurrentVariant() == kMetadataTrackVariant)
        return points[size_t(i)];
    return GpsPoint::FromBytes(gpsBlock.data() + size_t(i) * GpsPoint::kSize);
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
    const RecordingFile* file = CurrentRecording();
    if (!file)
        return 0;
    switch (file->info.variant) {
    case kChunkVariant:
        return int(gsensorBlock.size() / GSensorSample::kSize);
    case kMetadataTrackVariant:
        return int(samples.size());
    default:
        return 0;
    }
}

GSensorSample RecordingCatalog::GSensorSampleAt(int i) const {
    if (i < 0 || i >= GSensorSampleCount())
        throw std::out_of_range("RecordingCatalog::GSensorSampleAt");
    if (CurrentVariant() == kMetadataTrackVariant)
        return samples[size_t(i)];
    return GSensorSample::FromBytes(gsensorBlock.data() + size_t(i) * GSensorSample::kSize);
}
