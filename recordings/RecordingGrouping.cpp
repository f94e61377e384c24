// Dividing the sorted files into groups and list rows.
#include "recordings/CameraPairing.h"
#include "recordings/RecordingCatalog.h"

namespace {

// A rear file whose front partner is the file just before it, started at
// the same second, shows the same moment: its length is not added again.
bool IsPartnerOfPrevious(const RecordingFile& file, const RecordingFile& previous) {
    if (file.info.startTime != previous.info.startTime)
        return false;
    const QString self = file.Path();
    const QString before = previous.Path();
    return self != before && IsFrontPathOf(self, before);
}

} // namespace

void RecordingCatalog::MarkGroupStarts() {
    if (files.empty())
        return;
    files[0].groupStart = 1;
    for (size_t i = 1; i < files.size(); ++i) {
        const RecordingInfo& prev = files[i - 1].info;
        const int64_t prevEnd = prev.startTime + int64_t(prev.durationMs / 1000);
        const int64_t start = files[i].info.startTime;
        const bool continues =
            (start >= prevEnd - 2 && start <= prevEnd + 2) || start == prev.startTime;
        if (!continues)
            files[i].groupStart = 1;
    }
}

void RecordingCatalog::BuildGroupsAndRows() {
    groups.clear();
    rows.clear();
    rows.reserve(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        const RecordingFile& file = files[i];
        if (file.groupStart == 1 || groups.empty()) {
            RecordingGroup group;
            group.number = int32_t(groups.size());
            group.firstFile = int32_t(i);
            groups.push_back(group);
        }
        RecordingGroup& group = groups.back();
        rows.push_back(
            {group.number, group.fileCount, int32_t(i), file.info.fileSize, file.info.durationMs});
        group.fileCount += 1;
        group.totalSize += file.info.fileSize;
        if (i == 0 || !IsPartnerOfPrevious(file, files[i - 1]))
            group.totalDurationMs += file.info.durationMs;
        group.flags |= file.flags;
    }
}

int RecordingCatalog::FrontRearPairs() const {
    int pairs = 0;
    for (size_t i = 1; i < files.size(); ++i)
        if (IsPartnerOfPrevious(files[i], files[i - 1]))
            ++pairs;
    return pairs;
}
