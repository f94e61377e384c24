#include "cardindex/FileStamp.h"

#include <QFile>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace {

// Inode numbers these give out only last as long as the mount.
constexpr long kMsdosMagic = 0x4d44;
constexpr long kExfatMagic = 0x2011BAB0;
constexpr long kFuseMagic = 0x65735546;

bool InodesOutlastTheMount(const QByteArray& path) {
    struct statfs fs {};
    if (::statfs(path.constData(), &fs) != 0)
        return false;
    const long type = long(fs.f_type);
    return type != kMsdosMagic && type != kExfatMagic && type != kFuseMagic;
}

int64_t Nanoseconds(const struct timespec& t) {
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

} // namespace

bool ReadFileStamp(const QString& path, FileStamp* out) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    out->size = int64_t(st.st_size);
    out->modifiedNs = Nanoseconds(st.st_mtim);
    out->changedNs = Nanoseconds(st.st_ctim);
    out->inode = InodesOutlastTheMount(name) ? uint64_t(st.st_ino) : 0;
    return true;
}
