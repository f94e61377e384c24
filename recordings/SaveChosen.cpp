// Copying the recordings of the chosen groups, keeping their sub-folders.
#include "recordings/FileCopy.h"
#include "recordings/RecordingCatalog.h"

#include <QDir>
#include <QFileInfo>

bool RecordingCatalog::SaveChosen(const QString& destination, const OverwriteQuestion& askOverwrite,
                                  QStringList* notCopied, const CopyProgress& progress) {
    if (!MarkChosenGroups())
        return false;
    qint64 total = 0;
    for (const RecordingGroup& g : groups)
        for (int i = g.firstFile; g.chosen && i < g.firstFile + g.fileCount; ++i)
            total += QFileInfo(GetFilePath(i)).size();
    qint64 done = 0;
    bool stopped = false;
    for (const RecordingGroup& g : groups) {
        if (!g.chosen)
            continue;
        for (int i = g.firstFile; i < g.firstFile + g.fileCount; ++i) {
            const RecordingFile& f = files[size_t(i)];
            const QString source = GetFilePath(i);
            const qint64 size = QFileInfo(source).size();
            if (progress && !progress(done, total, source))
                return true;
            const QString folder = QDir::cleanPath(destination + "/" + f.folder);
            const QString target = folder + "/" + f.fileName;
            if (!QFileInfo::exists(folder))
                QDir().mkpath(folder);
            if (!QFileInfo::exists(target) || !askOverwrite || askOverwrite(target)) {
                const bool copied = CopyFileReplacing(source, target, [&](qint64 bytes) {
                    stopped = progress && !progress(done + bytes, total, source);
                    return !stopped;
                });
                if (stopped)
                    return true;
                if (!copied && notCopied)
                    notCopied->append(QDir::cleanPath(source));
            }
            done += size;
        }
    }
    if (progress)
        progress(total, total, QString());
    return true;
}
