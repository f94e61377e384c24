// Copying the recordings of the chosen groups, keeping their sub-folders.
#include "recordings/FileCopy.h"
#include "recordings/RecordingCatalog.h"

#include <QDir>
#include <QFileInfo>

bool RecordingCatalog::SaveChosen(const QString& destination, const OverwriteQuestion& askOverwrite,
                                  QStringList* notCopied) {
    if (!MarkChosenGroups())
        return false;
    for (const RecordingGroup& g : groups) {
        if (!g.chosen)
            continue;
        for (int i = g.firstFile; i < g.firstFile + g.fileCount; ++i) {
            const RecordingFile& f = files[size_t(i)];
            const QString folder = destination + "/" + f.folder;
            const QString target = folder + "/" + f.fileName;
            if (!QFileInfo::exists(folder))
                QDir().mkpath(folder);
            if (QFileInfo::exists(target) && askOverwrite && !askOverwrite(target))
                continue;
            const QString source = GetFilePath(i);
            if (!CopyFileReplacing(source, target) && notCopied)
                notCopied->append(source);
        }
    }
    return true;
}
