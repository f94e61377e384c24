#pragma once
// Reading one file of an untrusted card and keeping a checked copy of it.
// The card is only read: every folder and the file are opened read-only,
// without following a link and without touching its access time.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <sys/stat.h>

// A card file opened for reading, with what the copy keeps of it.
class CardFile {
  public:
    CardFile() = default;
    ~CardFile();
    CardFile(const CardFile&) = delete;
    CardFile& operator=(const CardFile&) = delete;

    // Opens `relative` below the folder `rootFd`, one name at a time; only a
    // regular file reached through real folders is opened. False with the
    // reason in `why` otherwise.
    bool Open(int rootFd, const QString& relative, QString* why);

    int Handle() const { return fd_; }
    int64_t Size() const { return int64_t(stat_.st_size); }
    int64_t ModifiedNs() const;
    const struct stat& Stat() const { return stat_; }
    unsigned Attributes() const { return attributes_; } // FileAttributes bits
    // Not a regular file, or reached through a link: the import leaves it.
    bool NotRegular() const { return notRegular_; }

  private:
    int fd_ = -1;
    struct stat stat_ {};
    unsigned attributes_ = 0;
    bool notRegular_ = false;
};

namespace CardFileCopy {

// Told after each piece how many bytes of this file are done; false cancels.
using Progress = std::function<bool(int64_t bytes)>;

// SHA-256 of the size, the first and the last 64 KiB: cheap to read again,
// it tells a card file met before from a different one of the same name,
// size and time.
bool QuickHash(const CardFile& file, QByteArray* hash, QString* error);

// SHA-256 of every byte.
bool HashAll(const CardFile& file, QByteArray* sha256, const Progress& progress, QString* error);

enum class Outcome {
    Copied,
    NameTaken,   // something is there under the final name; nothing changed
    ReadFailed,  // the card: the file could not be read whole
    CheckFailed, // the copy on disk does not hold the bytes read
    WriteFailed, // the library: full, read-only, gone...
    Cancelled,
};

// Writes the file into `folder` under a temporary name, syncs it, reads it
// back from the disk and compares its SHA-256 with that of the bytes read
// from the card, gives it the card file's modification time and lock, and
// only then gives it the name `finalPath`, never replacing anything.
Outcome CopyChecked(const CardFile& file, const QString& folder, const QString& finalPath,
                    QByteArray* sha256, const Progress& progress, QString* error);

// Makes the names given in a folder last; a name lost before it only makes
// the next import copy that file again.
void SyncFolder(const QString& folder);

} // namespace CardFileCopy
