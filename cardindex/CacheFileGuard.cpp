#include "cardindex/CacheFileGuard.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

QString Unfit(const struct stat& st) {
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("is a symbolic link");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("is a FIFO, not a regular file");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("is a device, not a regular file");
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("is a folder, not a regular file");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("is not a regular file");
    // Another name may belong to another program.
    if (st.st_nlink > 1)
        return QStringLiteral("has other names (hard links)");
    return {};
}

// "" for a fit file or none; *exists tells which.
QString Look(const QString& path, struct stat* st, bool* exists) {
    *exists = false;
    if (::lstat(QFile::encodeName(path).constData(), st) != 0) {
        if (errno == ENOENT)
            return {};
        return QStringLiteral("cannot be examined (%1)")
            .arg(QString::fromLocal8Bit(strerror(errno)));
    }
    *exists = true;
    return Unfit(*st);
}

} // namespace

QString CacheFileGuard::Before(const QString& databasePath) {
    struct stat st {};
    QString why = Look(databasePath, &st, &existed_);
    if (!why.isEmpty())
        return why;
    device_ = st.st_dev;
    inode_ = st.st_ino;
    // SQLite writes the journal by name, following a link wherever it leads.
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        bool exists = false;
        struct stat companion {};
        why = Look(databasePath + suffix, &companion, &exists);
        if (!why.isEmpty())
            return QStringLiteral("has a journal %1 that %2").arg(databasePath + suffix, why);
    }
    return {};
}

QString CacheFileGuard::After(const QString& databasePath) const {
    struct stat st {};
    bool exists = false;
    const QString why = Look(databasePath, &st, &exists);
    if (!why.isEmpty())
        return why;
    if (!exists)
        return QStringLiteral("vanished while it was opened");
    if (existed_ && (st.st_dev != device_ || st.st_ino != inode_))
        return QStringLiteral("was replaced while it was opened");
    return {};
}
