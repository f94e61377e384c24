#include "recordings/RecordingCatalog.h"

#include <stdexcept>

int RecordingCatalog::Reset() {
    files.clear();
    groups.clear();
    rows.clear();
    unreadableNames.clear();
    skippedNames.clear();
    track_ = Track();
    currentFile_ = -1;
    return 1;
}

void RecordingCatalog::ListFiles(std::vector<RecordingFile> listed) {
    Reset();
    files = std::move(listed);
}

QString RecordingCatalog::GetFilePath(int index) const {
    if (index < 0 || size_t(index) >= files.size())
        throw std::out_of_range("RecordingCatalog::GetFilePath: no such file");
    return files[size_t(index)].Path();
}

QString RecordingCatalog::GetCurrentFilePath() const {
    return GetFilePath(currentFile_);
}

int RecordingCatalog::LoadTrack(int index) {
    if (index < 0 || size_t(index) >= files.size())
        return 0;
    const RecordingInfo& info = files[size_t(index)].info;
    if (info.variant != kChunkVariant && info.variant != kMetadataTrackVariant)
        return 0;
    currentFile_ = index;
    track_ = ReadTrack(GetFilePath(index), info);
    return track_.readFailed ? 0 : 1;
}
