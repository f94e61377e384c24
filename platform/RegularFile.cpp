#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

int OpenDescriptor(const QByteArray& nativePath) {
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))) {
        ::close(fd);
        return -1;
    }
    // Reads of a regular file never wait anyway; the flag only kept the open
    // from blocking.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

int OpenReadOnly(const QByteArray& nativePath, uint64_t* size) {
    struct stat st {};
    // The check before the open spares a device or a FIFO even the
    // non-blocking open.
    if (::stat(nativePath.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
        ::close(fd);
        return -1;
    }
    *size = uint64_t(st.st_size);
    return fd;
}

bool Open(QFile& file, QIODevice::OpenMode mode) {
    uint64_t size = 0;
    const int fd = OpenReadOnly(QFile::encodeName(file.fileName()), &size);
    if (fd < 0)
        return false;
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

} // namespace RegularFile
