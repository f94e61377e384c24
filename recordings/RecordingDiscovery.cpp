// Filling the catalog from a folder scan.
#include "platform/PathUtil.h"
#include "recordings/CVel3gpParser.h"
#include "recordings/CVelAviParser.h"
#include "recordings/FolderScan.h"
#include "recordings/FolderWalk.h"
#include "recordings/ReadAhead.h"
#include "recordings/RecordingCatalog.h"
#include "recordings/ScanRules.h"

#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace {

// Start time, then the name by 16-bit character codes.
bool ListsBefore(const RecordingFile& a, const RecordingFile& b) {
    if (a.info.startTime != b.info.startTime)
        return a.info.startTime < b.info.startTime;
    return QString::compare(a.fileName, b.fileName, Qt::CaseSensitive) < 0;
}

} // namespace

FolderScan ScanFolder(const QString& folder, const ScanCounted& counted,
                      const std::function<bool()>& stopped) {
    FolderScan scan;
    if (!QFileInfo(folder).isDir())
        return scan;
    scan.folderExists = true;

    const QString root = PathUtil::WithTrailingSeparator(folder);
    const auto count = [&] {
        if (counted)
            counted(scan.scanCount);
        ++scan.scanCount;
    };
    ReadAhead ahead;
    FolderWalk::Walk(
        root,
        [&](FolderWalk::Entry& entry) {
            const bool candidate = ScanRules::IsCandidateName(entry.name);
            const QString path =
                candidate ? PathUtil::JoinRecordingPath(root, entry.folder, entry.name) : QString();
            // The descriptor the walk opened serves the read-ahead and the parse.
            const int fd = candidate ? std::exchange(entry.fd, -1) : -1;
            ahead.Add(
                fd, entry.size, [&scan, &root, &count, &stopped, &ahead, entry, candidate, path] {
                    if (candidate && !(stopped && stopped())) {
                        RecordingFile file;
                        file.root = root;
                        file.folder = entry.folder;
                        file.fileName = entry.name;
                        file.flags = ScanRules::ChunkFlags(entry.attributes, entry.name);
                        // The file the walk opened, not opened again.
                        uint64_t size = 0;
                        QByteArray head;
                        const int fd = ahead.StepFile(&size, &head);
                        if (entry.name.endsWith(QLatin1String(".AVI"))) {
                            // AVI recordings are recognised but not listed.
                            CVelAviParser parser;
                            parser.SetInfo(&file.info);
                            parser.UseOpenFile(fd, size, head);
                            parser.Parse(path);
                        } else {
                            CVel3gpParser parser;
                            parser.SetInfo(&file.info);
                            parser.UseOpenFile(fd, size, head);
                            if (parser.Parse(path) == 0) {
                                if (file.info.variant == kMetadataTrackVariant)
                                    file.flags =
                                        ScanRules::MetadataTrackFlags(entry.attributes, entry.name);
                                if (file.info.gpsOffset != 0 && file.info.gpsSize != 0)
                                    scan.anyGps = 1;
                                scan.files.push_back(std::move(file));
                            }
                        }
                    }
                    count();
                });
        },
        [&](const QString& shownPath, FolderWalk::Unlisted why) {
            ahead.Add(-1, 0, [&scan, &count, shownPath, why] {
                // Counted like every file scanned, and kept so that it can be told.
                (why == FolderWalk::Unlisted::NotText ? scan.unreadableNames : scan.skippedNames)
                    << shownPath;
                count();
            });
        });
    ahead.Finish();
    std::stable_sort(scan.files.begin(), scan.files.end(), ListsBefore);
    return scan;
}

int RecordingCatalog::Open(const QString& folder, const ScanCounted& counted) {
    Reset();
    return TakeScan(ScanFolder(folder, counted));
}

int RecordingCatalog::TakeScan(FolderScan scan) {
    Reset();
    files = std::move(scan.files);
    unreadableNames = std::move(scan.unreadableNames);
    skippedNames = std::move(scan.skippedNames);
    scanCount = scan.scanCount;
    anyGps = scan.anyGps;
    if (!scan.folderExists)
        return 0;
    MarkGroupStarts();
    BuildGroupsAndRows();
    return 1;
}
