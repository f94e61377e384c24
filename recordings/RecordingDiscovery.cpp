// Filling the catalog from a folder scan.
#include "platform/PathUtil.h"
#include "recordings/CVel3gpParser.h"
#include "recordings/CVelAviParser.h"
#include "recordings/FolderWalk.h"
#include "recordings/ReadAhead.h"
#include "recordings/RecordingCatalog.h"
#include "recordings/ScanRules.h"

#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

// Start time, then the name by 16-bit character codes.
bool ListsBefore(const RecordingFile& a, const RecordingFile& b) {
    if (a.info.startTime != b.info.startTime)
        return a.info.startTime < b.info.startTime;
    return QString::compare(a.fileName, b.fileName, Qt::CaseSensitive) < 0;
}

} // namespace

int RecordingCatalog::Open(const QString& folder, const ScanCounted& counted,
                           const WalkRunner& runWalk) {
    Reset();
    scanCount = 0;
    anyGps = 0;
    if (!QFileInfo(folder).isDir())
        return 0;

    const QString root = PathUtil::WithTrailingSeparator(folder);
    const auto count = [&counted](int n) {
        if (counted)
            counted(n);
    };
    const auto walk = [&] {
        ReadAhead ahead;
        FolderWalk::Walk(
            root,
            [&](const FolderWalk::Entry& entry) {
                const bool candidate = ScanRules::IsCandidateName(entry.name);
                const QString path =
                    candidate ? PathUtil::JoinRecordingPath(root, entry.folder, entry.name)
                              : QString();
                ahead.Add(path, [this, &root, &count, &ahead, entry, candidate, path] {
                    if (candidate) {
                        RecordingFile file;
                        file.root = root;
                        file.folder = entry.folder;
                        file.fileName = entry.name;
                        file.flags = ScanRules::ChunkFlags(entry.attributes, entry.name);
                        // The file the read-ahead opened, not opened again.
                        uint64_t size = 0;
                        const int fd = ahead.StepFile(&size);
                        if (entry.name.endsWith(QLatin1String(".AVI"))) {
                            // AVI recordings are recognised but not listed.
                            CVelAviParser parser;
                            parser.SetInfo(&file.info);
                            parser.UseOpenFile(fd, size);
                            parser.Parse(path);
                        } else {
                            CVel3gpParser parser;
                            parser.SetInfo(&file.info);
                            parser.UseOpenFile(fd, size);
                            if (parser.Parse(path) == 0) {
                                if (file.info.variant == kMetadataTrackVariant)
                                    file.flags =
                                        ScanRules::MetadataTrackFlags(entry.attributes, entry.name);
                                if (file.info.gpsOffset != 0 && file.info.gpsSize != 0)
                                    anyGps = 1;
                                files.push_back(std::move(file));
                            }
                        }
                    }
                    count(scanCount);
                    ++scanCount;
                });
            },
            [&](const QString& shownPath, FolderWalk::Unlisted why) {
                ahead.Add(QString(), [this, &count, shownPath, why] {
                    // Counted like every file scanned, and kept so that it can be told.
                    (why == FolderWalk::Unlisted::NotText ? unreadableNames : skippedNames)
                        << shownPath;
                    count(scanCount);
                    ++scanCount;
                });
            });
        ahead.Finish();
    };

    if (runWalk)
        runWalk(walk);
    else
        walk();

    std::stable_sort(files.begin(), files.end(), ListsBefore);
    MarkGroupStarts();
    BuildGroupsAndRows();
    return 1;
}
