#include "recordings/FileCopy.h"

#include "platform/CheckedFileWriter.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>

bool CopyFileReplacing(const QString& source, const QString& destination,
                       const std::function<bool(qint64 copied)>& copied) {
    QFile in(source);
    if (!RegularFile::Open(in))
        return false; // a FIFO or a device is no recording to copy
    const qint64 size = in.size();
    CheckedFileWriter out(destination);
    if (!out.Open())
        return false;

    constexpr qint64 kChunk = 1 << 20;
    QByteArray buffer(int(kChunk), Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), kChunk);
        if (n < 0) {
            out.Cancel();
            return false;
        }
        if (n == 0)
            break;
        if (!out.Write(buffer.constData(), n))
            return false; // a full disk: nothing under the final name
        if (copied && !copied(out.Written())) {
            out.Cancel();
            return false;
        }
    }
    // Every byte of the source, or no copy at all.
    if (!out.Commit(size))
        return false;
    // Like a copy made by the file manager: same time stamp, same lock.
    QFile copy(destination);
    if (copy.open(QIODevice::ReadOnly))
        copy.setFileTime(QFileInfo(source).lastModified(), QFileDevice::FileModificationTime);
    copy.close();
    // The "user" bits describe the caller's access, not the file's mode.
    copy.setPermissions(QFile::permissions(source) &
                        ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser));
    return true;
}
