// The current recording: which file and group it is, and moving it.
#include "recordings/RecordingCatalog.h"

#include <QFileInfo>
#include <algorithm>

const RecordingFile* RecordingCatalog::CurrentRecording() const {
    if (currentFile_ < 0 || size_t(currentFile_) >= files.size())
        return nullptr;
    return &files[size_t(currentFile_)];
}

int RecordingCatalog::CurrentFileClamped() const {
    return std::min(currentFile_, int32_t(files.size()) - 1);
}

void RecordingCatalog::ClampCurrentFile() {
    currentFile_ = CurrentFileClamped();
}

int RecordingCatalog::IndexOfPath(const QString& path) const {
    const auto canonical = [](const QString& p) {
        const QString c = QFileInfo(p).canonicalFilePath();
        return c.isEmpty() ? p : c;
    };
    const QString wanted = canonical(path);
    for (size_t i = 0; i < files.size(); ++i)
        if (canonical(files[i].Path()) == wanted)
            return int(i);
    return -1;
}

int RecordingCatalog::FindGroupOfCurrentFile() const {
    if (currentFile_ == -1)
        return -1;
    for (const RecordingGroup& g : groups)
        if (g.firstFile + g.fileCount > currentFile_)
            return g.number;
    return -1;
}

int RecordingCatalog::CurrentGroupHasFlaggedFile() const {
    const int group = FindGroupOfCurrentFile();
    if (group < 0 || size_t(group) >= groups.size())
        return 0;
    const RecordingGroup& g = groups[size_t(group)];
    for (int i = g.firstFile; i < g.firstFile + g.fileCount && size_t(i) < files.size(); ++i)
        if (files[size_t(i)].IsLocked())
            return 1;
    return 0;
}

int RecordingCatalog::SelectFile(int index) {
    if (index < 0 || size_t(index) >= rows.size())
        return 0;
    currentFile_ = index;
    currentGroup_ = FindGroupOfCurrentFile();
    return 1;
}

int RecordingCatalog::SelectGroup(int row) {
    if (row < 0 || size_t(row) >= groups.size())
        return 0;
    // A current group outside the list counts as the first one.
    const bool currentListed = currentGroup_ >= 0 && size_t(currentGroup_) < groups.size();
    const RecordingGroup& from = groups[currentListed ? size_t(currentGroup_) : 0];
    const RecordingGroup& to = groups[size_t(row)];
    if (from.fileCount < 1 || to.fileCount < 1)
        return 0;
    return SelectFile(to.firstFile);
}
