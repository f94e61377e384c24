// The track data of the current recording, read alike for both variants.
#include "recordings/RecordingCatalog.h"

#include <stdexcept>

int32_t RecordingCatalog::CurrentVariant() const {
    const RecordingFile* file = CurrentRecording();
    return file ? file->info.variant : kChunkVariant;
}

// Without a current recording of a known variant there is no track.
static bool HasTrack(const RecordingFile* file, const Track& track) {
    return file && file->info.variant == track.variant &&
           (track.variant == kChunkVariant || track.variant == kMetadataTrackVariant);
}

const Track& RecordingCatalog::CurrentTrack() const {
    static const Track kNone;
    return HasTrack(CurrentRecording(), track_) ? track_ : kNone;
}

int RecordingCatalog::GpsPointCount() const {
    return HasTrack(CurrentRecording(), track_) ? track_.PointCount() : 0;
}

const GpsFix& RecordingCatalog::FixAt(int i) const {
    if (i < 0 || i >= GpsPointCount())
        throw std::out_of_range("RecordingCatalog: no such point");
    return track_.fixes[size_t(i)];
}

int RecordingCatalog::GSensorSampleCount() const {
    return HasTrack(CurrentRecording(), track_) ? int(track_.samples.size()) : 0;
}

GSensorSample RecordingCatalog::GSensorSampleAt(int i) const {
    if (i < 0 || i >= GSensorSampleCount())
        throw std::out_of_range("RecordingCatalog: no such sample");
    return track_.samples[size_t(i)];
}
