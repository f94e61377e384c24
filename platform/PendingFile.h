#pragma once
// A file that takes its name only when it is whole, and never the name of a
// file that is there. While it is written it has no name at all where the
// file system allows (O_TMPFILE); elsewhere (FAT through FUSE, say) it has a
// hidden one, ".halvex-PID-XXXXXX.part", which RemoveStaleTemporaries clears
// once the process that made it is gone (killed, or the machine went down).
#include <QByteArray>
#include <QString>

class PendingFile {
  public:
    enum class Placed { Done, Exists, Failed };

    PendingFile() = default;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile(); // discards the file unless it was placed

    // A new empty file in the folder, with the usual rights (umask applied).
    bool Create(const QString& folder, QString* error);
    // A name the file can be opened by again while this object lives.
    QString Path() const;
    int Handle() const { return fd_; }
    // The bytes as the whole file, synced to the disk.
    bool WriteAll(const QByteArray& bytes, QString* error);
    // What others wrote through Path() synced to the disk.
    bool Sync(QString* error);
    qint64 Size() const;

    // Gives the file the final name unless something is there under it
    // (in any case on a file system that ignores case): Exists then, and
    // nothing changed.
    Placed Place(const QString& finalPath, QString* error);
    void Discard();

  private:
    int fd_ = -1;
    QString hidden_; // empty for a file without a name
    bool placed_ = false;
};

// Puts the file `from` under the name `to` unless something is there; the
// fallbacks where a file system lacks renameat2's RENAME_NOREPLACE and hard
// links (FAT) reserve the name with O_EXCL first.
PendingFile::Placed MoveWithoutReplacing(const QString& from, const QString& to, QString* error);

// A fresh hidden name in the folder of the form the sweep below knows, with
// `suffix` (".part" for the ones it removes).
QString HiddenTemporaryName(const QString& folder, const QString& suffix);

// Removes the hidden ".part" files of processes of this program that are gone.
void RemoveStaleTemporaries(const QString& folder);
