#include "recordings/FolderWalk.h"

#include "platform/FileAttributes.h"

#include <QDir>
#include <QFileInfo>

namespace {

void WalkLevel(const QString& root, const QString& folder, int depth,
               const std::function<void(const FolderWalk::Entry&)>& visit) {
    const QDir dir(root + folder);
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        // FIFOs, sockets, devices and dangling links hold no recording, and
        // opening a FIFO would block the scan.
        if (!entry.isFile() && !entry.isDir())
            continue;
        const QString name = entry.fileName();
        const unsigned attributes = FileAttributes::Get(entry.filePath()).value_or(0);
        if (attributes & (FileAttributes::Hidden | FileAttributes::System))
            continue;
        if (entry.isDir()) {
            // A link to a folder can loop back up the tree or leave the card.
            if (entry.isSymLink() || depth >= FolderWalk::kMaxFolderDepth)
                continue;
            WalkLevel(root, folder + name + "/", depth + 1, visit);
            continue;
        }
        visit({folder, name, attributes});
    }
}

} // namespace

namespace FolderWalk {

void Walk(const QString& root, const std::function<void(const Entry&)>& visit) {
    WalkLevel(root, QString(), 0, visit);
}

} // namespace FolderWalk
