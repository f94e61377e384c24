// Copying the recordings of the chosen groups, keeping their sub-folders.
#include "recordings/FileCopy.h"
#include "recordings/RecordingCatalog.h"

#include <QDir>
#include <QFileInfo>

bool RecordingCatalog::SaveChosen(const QString& destination, const OverwriteQuestion& askOverwrite,
                                  QStringList* notCopied, const CopyProgress& progress) {
    if (!MarkChosenGroups())
        return false;
    int total = 0;
    for (const RecordingGroup& g : groups)
        total += g.chosen ? g.fileCount : 0;
    int index = 0;
    for (const RecordingGroup& g : groups) {
        if (!g.chosen)
            continue;
        for (int i = g.firstFile; i < g.firstFile + g.fileCount; ++i, ++index) {
            const RecordingFile& f = files[size_t(i)];
            const QString source = GetFilePath(i);
            if (progress && !progress(index, total, source))
                return true;
            const QString folder = QDir::cleanPath(destination + "/" + f.folder);
            const QString target = folder + "/" + f.fileName;
            if (!QFileInfo::exists(folder))
                QDir().mkpath(folder);
            if (QFileInfo::exists(target) && askOverwrite && !askOverwrite(target))
                continue;
            if (!CopyFileReplacing(source, target) && notCopied)
                notCopied->append(QDir::cleanPath(source));
        }
    }
    if (progress)
        progress(total, total, QString());
    return true;
}
