#include "library/CardFileCopy.h"

#include "library/Sha256.h"
#include "platform/FileAttributes.h"
#include "platform/PendingFile.h"

#include <QFile>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int64_t kPiece = 1 << 20;
constexpr int64_t kQuickPart = 64 << 10;

QString Why(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// O_NOATIME spares the card even the access time; only the file's owner may
// ask for it.
int OpenAt(int dirFd, const QByteArray& name, int flags) {
    const int base = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | flags;
    int fd = ::openat(dirFd, name.constData(), base | O_NOATIME);
    if (fd < 0 && errno == EPERM)
        fd = ::openat(dirFd, name.constData(), base);
    return fd;
}

// Reads exactly `size` bytes at `offset`; false with the reason otherwise.
bool ReadExactly(int fd, char* data, int64_t size, int64_t offset, QString* error) {
    while (size > 0) {
        const ssize_t n = ::pread(fd, data, size_t(size), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = n < 0 ? Why(errno) : QStringLiteral("the file ended early");
            return false;
        }
        data += n;
        size -= n;
        offset += n;
    }
    return true;
}

bool WriteExactly(int fd, const char* data, int64_t size, QString* error) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = n < 0 ? Why(errno) : QStringLiteral("nothing written");
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// SHA-256 of what the disk holds: the pages the copy left in memory are
// dropped first, so the bytes come from the disk where the file system
// allows.
bool HashFromDisk(int fd, int64_t size, QByteArray* sha256, QString* error) {
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    Sha256 hash;
    std::vector<char> buffer(static_cast<size_t>(kPiece));
    for (int64_t at = 0; at < size; at += kPiece) {
        const int64_t n = std::min(kPiece, size - at);
        if (!ReadExactly(fd, buffer.data(), n, at, error))
            return false;
        hash.Add(buffer.data(), size_t(n));
    }
    char extra = 0;
    if (::pread(fd, &extra, 1, off_t(size)) != 0) {
        *error = QStringLiteral("the copy holds more bytes than the card file");
        return false;
    }
    *sha256 = hash.Result();
    return true;
}

} // namespace

CardFile::~CardFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

int64_t CardFile::ModifiedNs() const {
    return int64_t(stat_.st_mtim.tv_sec) * 1000000000 + stat_.st_mtim.tv_nsec;
}

bool CardFile::Open(int rootFd, const QString& relative, QString* why) {
    const QStringList parts = relative.split('/', Qt::SkipEmptyParts);
    if (parts.isEmpty()) {
        *why = QStringLiteral("no file named");
        return false;
    }
    int dir = rootFd;
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        if (part == "." || part == "..") {
            if (dir != rootFd)
                ::close(dir);
            notRegular_ = true;
            *why = QStringLiteral("a name leading out of its folder, not followed");
            return false;
        }
        const bool last = i == parts.size() - 1;
        const int fd = OpenAt(dir, QFile::encodeName(part), last ? 0 : O_DIRECTORY);
        const int code = errno;
        if (dir != rootFd)
            ::close(dir);
        if (fd < 0) {
            notRegular_ = code == ELOOP || code == ENOTDIR;
            *why = notRegular_ ? QStringLiteral("a symbolic link, not followed") : Why(code);
            return false;
        }
        dir = fd;
    }
    if (::fstat(dir, &stat_) != 0 || !S_ISREG(stat_.st_mode)) {
        ::close(dir);
        notRegular_ = true;
        *why = QStringLiteral("not a regular file (a device, FIFO or folder), not read");
        return false;
    }
    ::fcntl(dir, F_SETFL, ::fcntl(dir, F_GETFL) & ~O_NONBLOCK);
    ::posix_fadvise(dir, 0, 0, POSIX_FADV_SEQUENTIAL);
    fd_ = dir;
    // The lock as the card's file system shows it (the DOS attributes on a
    // FAT card), asked through the descriptor already open.
    attributes_ = FileAttributes::Get(QStringLiteral("/proc/self/fd/%1").arg(fd_)).value_or(0);
    return true;
}

namespace CardFileCopy {

bool QuickHash(const CardFile& file, QByteArray* hash, QString* error) {
    Sha256 sha;
    const int64_t size = file.Size();
    sha.Add(QByteArray::number(qint64(size)) + '\n');
    const int64_t head = std::min(size, kQuickPart);
    const int64_t tailStart = std::max(head, size - kQuickPart);
    std::vector<char> buffer(static_cast<size_t>(kQuickPart));
    if (!ReadExactly(file.Handle(), buffer.data(), head, 0, error))
        return false;
    sha.Add(buffer.data(), size_t(head));
    if (!ReadExactly(file.Handle(), buffer.data(), size - tailStart, tailStart, error))
        return false;
    sha.Add(buffer.data(), size_t(size - tailStart));
    *hash = sha.Result();
    return true;
}

bool HashAll(const CardFile& file, QByteArray* sha256, const Progress& progress, QString* error) {
    Sha256 hash;
    std::vector<char> buffer(static_cast<size_t>(kPiece));
    const int64_t size = file.Size();
    for (int64_t at = 0; at < size; at += kPiece) {
        const int64_t n = std::min(kPiece, size - at);
        if (!ReadExactly(file.Handle(), buffer.data(), n, at, error))
            return false;
        hash.Add(buffer.data(), size_t(n));
        if (progress && !progress(at + n)) {
            *error = QStringLiteral("cancelled");
            return false;
        }
    }
    *sha256 = hash.Result();
    return true;
}

Outcome CopyChecked(const CardFile& file, const QString& folder, const QString& finalPath,
                    QByteArray* sha256, const Progress& progress, QString* error) {
    PendingFile copy;
    QString why;
    if (!copy.Create(folder, &why)) {
        *error = why;
        return Outcome::WriteFailed;
    }
    const int64_t size = file.Size();
    Sha256 hash;
    std::vector<char> buffer(static_cast<size_t>(kPiece));
    for (int64_t at = 0; at < size; at += kPiece) {
        const int64_t n = std::min(kPiece, size - at);
        if (!ReadExactly(file.Handle(), buffer.data(), n, at, &why)) {
            *error = QStringLiteral("cannot read the card file: ") + why;
            return Outcome::ReadFailed;
        }
        hash.Add(buffer.data(), size_t(n));
        if (!WriteExactly(copy.Handle(), buffer.data(), n, &why)) {
            *error = folder + ": " + why;
            return Outcome::WriteFailed;
        }
        if (progress && !progress(at + n))
            return Outcome::Cancelled;
    }
    // A card file that grew while it was read is not the file that was sized.
    char extra = 0;
    if (::pread(file.Handle(), &extra, 1, off_t(size)) != 0) {
        *error = QStringLiteral("the card file changed while it was read");
        return Outcome::ReadFailed;
    }
    const QByteArray read = hash.Result();
    // Time and lock go with the bytes in one sync.
    const struct timespec times[2] = {file.Stat().st_atim, file.Stat().st_mtim};
    ::futimens(copy.Handle(), times);
    // A locked recording stays locked: no write bits, like on the card.
    FileAttributes::Set(copy.Path(),
                        file.Attributes() & (FileAttributes::ReadOnly | FileAttributes::Archive |
                                             FileAttributes::System));
    if (!copy.Sync(&why)) {
        *error = folder + ": " + why;
        return Outcome::WriteFailed;
    }
    QByteArray onDisk;
    if (!HashFromDisk(copy.Handle(), size, &onDisk, &why)) {
        *error = QStringLiteral("cannot read the copy back: ") + why;
        return Outcome::CheckFailed;
    }
    if (onDisk != read) {
        *error = QStringLiteral("the copy on disk differs from the bytes read from the card");
        return Outcome::CheckFailed;
    }
    switch (copy.Place(finalPath, &why)) {
    case PendingFile::Placed::Done:
        break;
    case PendingFile::Placed::Exists:
        return Outcome::NameTaken;
    case PendingFile::Placed::Failed:
        *error = why;
        return Outcome::WriteFailed;
    }
    *sha256 = read;
    return Outcome::Copied;
}

void SyncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace CardFileCopy
