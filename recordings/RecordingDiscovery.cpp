// Filling the catalog from a folder scan.
#include "platform/PathUtil.h"
#include "recordings/CVel3gpParser.h"
#include "recordings/CVelAviParser.h"
#include "recordings/FolderWalk.h"
#include "recordings/ReadAhead.h"
#include "recordings/RecordingCatalog.h"
#include "recordings/ScanRules.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Start time, then the name by 16-bit character codes.
bool ListsBefore(const RecordingFile& a, const RecordingFile& b) {
    if (a.info.startTime != b.info.startTime)
        return a.info.startTime < b.info.startTime;
    return QString::compare(a.fileName, b.fileName, Qt::CaseSensitive) < 0;
}

} // namespace

int RecordingCatalog::Open(const QString& folder) {
    Reset();
    if (gsensorCurve)
        gsensorCurve->Redraw();
    scanCount = 0;
    anyGps = 0;
    if (!QFileInfo(folder).isDir())
        return 0;

    const QString root = PathUtil::WithTrailingSeparator(folder);
    // Told each count as the counter shows it; called on the walking thread.
    std::function<void(int)> counted = [](int) {};
    const auto walk = [&] {
        ReadAhead ahead;
        FolderWalk::Walk(
            root,
            [&](const FolderWalk::Entry& entry) {
                const bool candidate = ScanRules::IsCandidateName(entry.name);
                const QString path =
                    candidate ? PathUtil::JoinRecordingPath(root, entry.folder, entry.name)
                              : QString();
                ahead.Add(path, [this, &root, &counted, entry, candidate, path] {
                    if (candidate) {
                        RecordingFile file;
                        file.root = root;
                        file.folder = entry.folder;
                        file.fileName = entry.name;
                        file.flags = ScanRules::ChunkFlags(entry.attributes, entry.name);
                        if (entry.name.endsWith(QLatin1String(".AVI"))) {
                            // AVI recordings are recognised but not listed.
                            CVelAviParser parser;
                            parser.SetInfo(&file.info);
                            parser.Parse(path);
                        } else {
                            CVel3gpParser parser;
                            parser.SetInfo(&file.info);
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
                    counted(scanCount);
                    ++scanCount;
                });
            },
            [&](const QString& shownPath, FolderWalk::Unlisted why) {
                ahead.Add(QString(), [this, &counted, shownPath, why] {
                    // Counted like every file scanned, and kept so that it can be told.
                    (why == FolderWalk::Unlisted::NotText ? unreadableNames : skippedNames)
                        << shownPath;
                    counted(scanCount);
                    ++scanCount;
                });
            });
        ahead.Finish();
    };

    if (!scanCounterDisplay) {
        walk();
    } else {
        // A card of hundreds of files takes seconds: the walk runs beside the
        // window's thread, which keeps painting and shows every count in
        // order. The window's input waits until the lists are filled, as it
        // did while the scan ran on its thread.
        std::mutex mutex;
        std::vector<int> pending;
        std::atomic<bool> done{false};
        counted = [&](int count) {
            const std::lock_guard<std::mutex> lock(mutex);
            pending.push_back(count);
        };
        const auto show = [&] {
            std::vector<int> counts;
            {
                const std::lock_guard<std::mutex> lock(mutex);
                counts.swap(pending);
            }
            for (int count : counts)
                scanCounterDisplay->ShowScanCount(count);
        };
        std::thread walker([&] {
            walk();
            done = true;
        });
        while (!done) {
            show();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        walker.join();
        show();
    }

    std::stable_sort(files.begin(), files.end(), ListsBefore);
    MarkGroupStarts();
    BuildGroupsAndRows();
    FillLists();
    return 1;
}
