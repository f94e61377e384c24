#include "platform/PendingFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

QString Why(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

QString ProcPath(int fd) {
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

bool NotSupported(int code) {
    return code == EINVAL || code == ENOSYS || code == EOPNOTSUPP;
}

} // namespace

QString HiddenTemporaryName(const QString& folder, const QString& suffix) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString random;
    for (int i = 0; i < 6; ++i)
        random += QChar(kLetters[QRandomGenerator::global()->bounded(36)]);
    return QStringLiteral("%1/.halvex-%2-%3%4").arg(folder).arg(::getpid()).arg(random, suffix);
}

void RemoveStaleTemporaries(const QString& folder) {
    static const QRegularExpression ours(
        QStringLiteral(R"(^\.halvex-(\d{1,9})-[a-z0-9]{6}\.part$)"));
    const QStringList names =
        QDir(folder).entryList({QStringLiteral(".halvex-*.part")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QRegularExpressionMatch m = ours.match(name);
        if (!m.hasMatch())
            continue;
        const pid_t pid = pid_t(m.captured(1).toLong());
        // A process that is still there may be writing it (or may be another
        // program that got the number): only a gone one's file is stale.
        if (pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH)
            continue;
        const QByteArray path = Native(folder + "/" + name);
        struct stat st {};
        if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode))
            ::unlink(path.constData());
    }
}

PendingFile::Placed MoveWithoutReplacing(const QString& from, const QString& to, QString* error) {
    const QByteArray source = Native(from), target = Native(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return PendingFile::Placed::Done;
    int code = errno;
    if (code == EEXIST)
        return PendingFile::Placed::Exists;
    if (!NotSupported(code)) {
        *error = to + ": " + Why(code);
        return PendingFile::Placed::Failed;
    }
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return PendingFile::Placed::Done;
    }
    if (errno == EEXIST)
        return PendingFile::Placed::Exists;
    // No hard links either (FAT): the final name is taken with O_EXCL, which
    // even a FUSE file system checks against every spelling of it, and the
    // file moved onto that empty reservation of ours.
    const int reserved = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (reserved < 0) {
        code = errno;
        if (code == EEXIST)
            return PendingFile::Placed::Exists;
        *error = to + ": " + Why(code);
        return PendingFile::Placed::Failed;
    }
    ::close(reserved);
    if (::rename(source.constData(), target.constData()) != 0) {
        code = errno;
        ::unlink(target.constData());
        *error = to + ": " + Why(code);
        return PendingFile::Placed::Failed;
    }
    return PendingFile::Placed::Done;
}

PendingFile::~PendingFile() {
    Discard();
}

bool PendingFile::Create(const QString& folder, QString* error) {
    Discard();
    placed_ = false;
    const QByteArray native = Native(folder);
    fd_ = ::open(native.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
        // Others (libav) open it again by its /proc name; check they can.
        const int again = ::open(Native(ProcPath(fd_)).constData(), O_RDONLY | O_CLOEXEC);
        if (again >= 0) {
            ::close(again);
            return true;
        }
        ::close(fd_);
        fd_ = -1;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = HiddenTemporaryName(folder, QStringLiteral(".part"));
        fd_ = ::open(Native(name).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            hidden_ = name;
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    *error = folder + ": cannot write a file there (" + Why(errno) + ")";
    return false;
}

QString PendingFile::Path() const {
    return hidden_.isEmpty() ? ProcPath(fd_) : hidden_;
}

bool PendingFile::WriteAll(const QByteArray& bytes, QString* error) {
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0) {
        *error = Why(errno);
        return false;
    }
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = n < 0 ? Why(errno) : QStringLiteral("nothing written");
            return false;
        }
        data += n;
        left -= n;
    }
    if (!Sync(error))
        return false;
    if (Size() != bytes.size()) {
        *error = QStringLiteral("%1 of %2 bytes written").arg(Size()).arg(bytes.size());
        return false;
    }
    return true;
}

bool PendingFile::Sync(QString* error) {
    if (::fsync(fd_) != 0) {
        *error = Why(errno);
        return false;
    }
    return true;
}

qint64 PendingFile::Size() const {
    struct stat st {};
    return ::fstat(fd_, &st) == 0 ? qint64(st.st_size) : -1;
}

PendingFile::Placed PendingFile::Place(const QString& finalPath, QString* error) {
    if (fd_ < 0 || placed_) {
        *error = finalPath + ": no file to put there";
        return Placed::Failed;
    }
    if (hidden_.isEmpty()) {
        // linkat never replaces: EEXIST when the name is taken.
        if (::linkat(AT_FDCWD, Native(ProcPath(fd_)).constData(), AT_FDCWD,
                     Native(finalPath).constData(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST)
                return Placed::Exists;
            *error = finalPath + ": " + Why(errno);
            return Placed::Failed;
        }
        placed_ = true;
        return Placed::Done;
    }
    const Placed placed = MoveWithoutReplacing(hidden_, finalPath, error);
    if (placed == Placed::Done) {
        placed_ = true;
        hidden_.clear();
    }
    return placed;
}

void PendingFile::Discard() {
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    if (!hidden_.isEmpty())
        ::unlink(Native(hidden_).constData());
    hidden_.clear();
}
