#include "library/LibraryLock.h"

#include "library/LibraryLayout.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

LibraryLock::~LibraryLock() {
    if (fd_ >= 0)
        ::close(fd_); // releases the lock
}

bool LibraryLock::TryTake(const QString& library, QString* why) {
    const QString path = LibraryLayout::LockPath(library);
    const QByteArray native = QFile::encodeName(path);
    const int fd =
        ::open(native.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) {
        *why = path + ": " + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        *why = path + " is not a plain file";
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        char holder[32] = {};
        const ssize_t n = ::pread(fd, holder, sizeof holder - 1, 0);
        ::close(fd);
        if (code != EWOULDBLOCK) {
            *why = path + ": " + QString::fromLocal8Bit(std::strerror(code));
            return false;
        }
        const QString pid = n > 0 ? QString::fromLatin1(holder).trimmed() : QString();
        *why = QStringLiteral("another import into %1 is running%2; try again when it has finished")
                   .arg(library, pid.isEmpty() ? QString() : " (process " + pid + ")");
        return false;
    }
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + "\n";
    if (::ftruncate(fd, 0) == 0)
        (void)!::pwrite(fd, pid.constData(), size_t(pid.size()), 0);
    fd_ = fd;
    return true;
}
