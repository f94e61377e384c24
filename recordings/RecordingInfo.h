#pragma once
#include "platform/PathUtil.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

enum RecordingVariant : int32_t {
    kChunkVariant = 0,         // "gps0"/"gsen" blocks in the file
    kMetadataTrackVariant = 1, // 88-byte records of a metadata track
};

struct MetaChunkEntry {
    uint32_t index = 0;      // position in the chunk table
    uint64_t fileOffset = 0; // where one 88-byte record starts
};

// What a parser reports about one file.
struct RecordingInfo {
    uint64_t gpsOffset = 0;
    uint32_t gpsSize = 0;
    uint64_t gsensorOffset = 0;
    uint32_t gsensorSize = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    int64_t startTime = 0; // seconds since 1970 UTC; 0 = unknown
    int64_t durationSeconds = 0;
    uint32_t durationMs = 0;
    uint64_t fileSize = 0;
    std::array<uint8_t, 4> gpsParams{};     // [0]: GPS records per second
    std::array<uint8_t, 4> gsensorParams{}; // [0]: samples per second, [1]: scale value
    int32_t variant = kChunkVariant;
    std::vector<MetaChunkEntry> metaChunks;

    // The start in ms since 1970 UTC; 0 = unknown.
    int64_t StartMs() const { return startTime * 1000; }
};

struct RecordingFile {
    int32_t groupStart = 0;
    uint8_t flags = 0; // bit 0: event lock, bit 1: hand lock
    QString fileName;
    QString root;   // scanned folder, trailing "/"
    QString folder; // relative sub-folder, trailing "/" ("" directly in root)
    RecordingInfo info;

    // The one spelling of the file's full path (its doubled separators are
    // kept: the file system accepts them, and messages show them).
    QString Path() const { return PathUtil::JoinRecordingPath(root, folder, fileName); }
    // The folder the lists show beside the name.
    QString FolderText() const { return root + folder; }

    static constexpr uint8_t kEventLocked = 0x01;
    static constexpr uint8_t kHandLocked = 0x02;
    bool IsLocked() const { return (flags & 3) != 0; }
};

struct RecordingGroup {
    int32_t number = 0;
    int32_t firstFile = 0;
    int32_t fileCount = 0;
    uint64_t totalDurationMs = 0;
    uint64_t totalSize = 0;
    uint8_t flags = 0;
    int32_t chosen = 0;
};

struct FileListRow {
    int32_t groupNumber = 0;
    int32_t indexInGroup = 0;
    int32_t fileIndex = 0;
    uint64_t fileSize = 0;
    uint32_t durationMs = 0;
};
