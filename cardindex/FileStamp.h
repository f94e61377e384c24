#pragma once
// What tells a recording's bytes apart without reading them: a file written
// again with the same size and its modification time set back still gets a
// new change time, and one put in its place a new inode.
#include <QString>
#include <cstdint>

struct FileStamp {
    int64_t size = 0;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;
    // 0 where the file system numbers its files anew on each mount (FAT,
    // exFAT, FUSE): there the number would make every recording look new.
    uint64_t inode = 0;

    bool operator==(const FileStamp& o) const {
        return size == o.size && modifiedNs == o.modifiedNs && changedNs == o.changedNs &&
               inode == o.inode;
    }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

// The stamp of the regular file at `path` (links followed); false for
// anything else or a file that is gone.
bool ReadFileStamp(const QString& path, FileStamp* out);
