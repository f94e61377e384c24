// Delete, lock and unlock of the recordings of the chosen groups.
#include "platform/FileAttributes.h"
#include "recordings/RecordingCatalog.h"

#include <QDir>
#include <QFile>

int RecordingCatalog::MarkChosenGroups() {
    int any = 0;
    for (size_t j = 0; j < groups.size(); ++j) {
        groups[j].chosen = rowChosen_ && rowChosen_(int(j)) ? 1 : 0;
        any |= groups[j].chosen;
    }
    return any;
}

namespace {

void Note(QStringList* list, const QString& path) {
    if (list)
        list->append(QDir::cleanPath(path));
}

} // namespace

int RecordingCatalog::DeleteChosen(QStringList* untouched) {
    if (!MarkChosenGroups())
        return 0;
    int deleted = 0;
    bool currentDeleted = false;
    // Back to front, so removing an entry moves none still to be visited.
    for (int g = int(groups.size()) - 1; g >= 0; --g) {
        if (!groups[size_t(g)].chosen)
            continue;
        const int first = groups[size_t(g)].firstFile;
        for (int i = first + groups[size_t(g)].fileCount - 1; i >= first; --i) {
            const QString path = GetFilePath(i);
            const unsigned attributes = FileAttributes::Get(path).value_or(0);
            if (attributes & FileAttributes::ReadOnly) {
                Note(untouched, path); // locked recordings are never deleted
                continue;
            }
            FileAttributes::Set(path, attributes & ~unsigned(FileAttributes::ReadOnly));
            if (!QFile::remove(path)) {
                Note(untouched, path);
                continue;
            }
            files.erase(files.begin() + i);
            if (size_t(i) < rows.size())
                rows.erase(rows.begin() + i);
            ++deleted;
            // The current recording keeps its index meaning: it moves down
            // with the entries before it, or is gone with its track data.
            if (i == currentFile_) {
                currentDeleted = true;
                currentFile_ = -1;
            } else if (i < currentFile_) {
                --currentFile_;
            }
        }
    }
    if (currentDeleted)
        track_ = Track();
    if (deleted) {
        groups.clear();
        rows.clear();
        MarkGroupStarts();
        BuildGroupsAndRows();
        currentGroup_ = FindGroupOfCurrentFile();
    }
    return 1;
}

// The group's padlock shows what its files are: the designed mark when every
// file took the change, the files' own marks when some did not.
uint8_t RecordingCatalog::GroupFlagsAfter(const RecordingGroup& g, uint8_t designed) const {
    uint8_t any = 0;
    bool allAsDesigned = true;
    for (int i = g.firstFile; i < g.firstFile + g.fileCount; ++i) {
        const RecordingFile& f = files[size_t(i)];
        any |= f.flags;
        allAsDesigned = allAsDesigned && (designed ? f.IsLocked() : !f.IsLocked());
    }
    return allAsDesigned ? designed : any;
}

int RecordingCatalog::LockChosen(QStringList* untouched) {
    if (!MarkChosenGroups())
        return 0;
    for (RecordingGroup& g : groups) {
        if (!g.chosen)
            continue;
        for (int i = g.firstFile; i < g.firstFile + g.fileCount; ++i) {
            RecordingFile& f = files[size_t(i)];
            if (f.IsLocked())
                continue;
            if (FileAttributes::Set(GetFilePath(i),
                                    FileAttributes::ReadOnly | FileAttributes::Archive))
                f.flags = RecordingFile::kHandLocked;
            else
                Note(untouched, GetFilePath(i));
        }
        g.flags = GroupFlagsAfter(g, RecordingFile::kHandLocked);
    }
    return 1;
}

namespace {

bool ClearReadOnly(const QString& path) {
    const auto attributes = FileAttributes::Get(path);
    return attributes &&
           FileAttributes::Set(path, *attributes & ~unsigned(FileAttributes::ReadOnly));
}

} // namespace

int RecordingCatalog::UnlockChosen(QStringList* untouched) {
    if (!MarkChosenGroups())
        return 0;
    for (RecordingGroup& g : groups) {
        if (!g.chosen)
            continue;
        for (int i = g.firstFile; i < g.firstFile + g.fileCount; ++i) {
            RecordingFile& f = files[size_t(i)];
            for (uint8_t bit : {RecordingFile::kHandLocked, RecordingFile::kEventLocked})
                if ((f.flags & bit) && ClearReadOnly(GetFilePath(i)))
                    f.flags &= uint8_t(~bit);
            if (f.IsLocked())
                Note(untouched, GetFilePath(i));
        }
        g.flags = GroupFlagsAfter(g, 0);
    }
    return 1;
}
