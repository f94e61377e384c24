#pragma once
#include "recordings/RecordingInfo.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

// What a scan of a folder tree found, made apart from any catalog so that it
// can be made on another thread and taken whole.
struct FolderScan {
    bool folderExists = false;
    // The recordings in list order: start time, then name.
    std::vector<RecordingFile> files;
    // As RecordingCatalog::unreadableNames and skippedNames.
    QStringList unreadableNames;
    QStringList skippedNames;
    // How many files were examined, and whether any recording has GPS data.
    int32_t scanCount = 0;
    int32_t anyGps = 0;
};

// Told each count of files examined, 0, 1, 2, ..., on the thread that scans.
using ScanCounted = std::function<void(int count)>;

// Walks the folder tree and parses every candidate. Once `stopped` answers
// true the remaining files are only counted.
FolderScan ScanFolder(const QString& folder, const ScanCounted& counted = {},
                      const std::function<bool()>& stopped = {});
