#include "recordings/FileCopy.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool CopyFileReplacing(const QString& source, const QString& destination,
                       const std::function<bool(qint64 copied)>& copied) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly))
        return false;

    constexpr qint64 kChunk = 1 << 20;
    QByteArray buffer(int(kChunk), Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), kChunk);
        if (n < 0) {
            out.cancelWriting();
            break;
        }
        if (n == 0)
            break;
        if (out.write(buffer.constData(), n) != n)
            break; // the failed write already cancels the commit
        if (copied && !copied(out.pos())) {
            out.cancelWriting();
            break;
        }
    }
    if (!out.commit())
        return false;
    // Like a copy made by the file manager: same time stamp, same lock.
    QFile copy(destination);
    if (copy.open(QIODevice::ReadOnly))
        copy.setFileTime(QFileInfo(in).lastModified(), QFileDevice::FileModificationTime);
    copy.close();
    // The "user" bits describe the caller's access, not the file's mode.
    copy.setPermissions(in.permissions() &
                        ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser));
    return true;
}
