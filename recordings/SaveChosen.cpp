// Copying the recordings of the chosen groups, keeping their sub-folders.
#include "recordings/FileCopy.h"
#include "recordings/RecordingCatalog.h"

#include <QDir>
#include <QFileInfo>
#include <vector>

bool RecordingCatalog::SaveChosen(const QString& destination, const OverwriteQuestion& askOverwrite,
                                  QStringList* notCopied, const CopyProgress& progress) {
    if (!MarkChosenGroups())
        return false;
    // Every question comes before the first byte is copied, so that nothing
    // the copying shows stands between the user and a question.
    struct Copy {
        QString source;
        QString target;
        qint64 size;
    };
    std::vector<Copy> copies;
    qint64 total = 0;
    for (const RecordingGroup& g : groups) {
        if (!g.chosen)
            continue;
        for (int i = g.firstFile; i < g.firstFile + g.fileCount; ++i) {
            const RecordingFile& f = files[size_t(i)];
            const QString folder = QDir::cleanPath(destination + "/" + f.folder);
            const QString target = folder + "/" + f.fileName;
            if (!QFileInfo::exists(folder))
                QDir().mkpath(folder);
            if (QFileInfo::exists(target) && askOverwrite && !askOverwrite(target))
                continue;
            const QString source = GetFilePath(i);
            copies.push_back({source, target, QFileInfo(source).size()});
            total += copies.back().size;
        }
    }
    qint64 done = 0;
    for (const Copy& c : copies) {
        if (progress && !progress(done, total, c.source))
            return true;
        bool stopped = false;
        const bool copied = CopyFileReplacing(c.source, c.target, [&](qint64 bytes) {
            stopped = progress && !progress(done + bytes, total, c.source);
            return !stopped;
        });
        if (stopped)
            return true;
        if (!copied && notCopied)
            notCopied->append(QDir::cleanPath(c.source));
        done += c.size;
    }
    if (progress)
        progress(total, total, QString());
    return true;
}
