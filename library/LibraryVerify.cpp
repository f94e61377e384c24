#include "library/LibraryVerify.h"

#include "library/LibraryIndex.h"
#include "library/LibraryLayout.h"
#include "library/Sha256.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// "" when the file holds what was kept, else what is wrong with it.
QString Check(const QString& path, const KeptFile& kept) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0)
        return QStringLiteral("missing");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("replaced by something that is not a file");
    uint64_t size = 0;
    const int fd = RegularFile::OpenReadOnly(native, &size);
    if (fd < 0)
        return QStringLiteral("cannot be read");
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return QStringLiteral("cannot be read");
    }
    if (int64_t(size) != kept.size)
        return QStringLiteral("changed: %1 bytes instead of %2").arg(size).arg(kept.size);
    Sha256 hash;
    if (!hash.Add(file) || file.error() != QFileDevice::NoError)
        return QStringLiteral("cannot be read: ") + file.errorString();
    if (hash.Result() != kept.sha256)
        return QStringLiteral("changed: its SHA-256 differs from the one kept");
    return QString();
}

} // namespace

VerifyResult VerifyLibrary(const QString& library,
                           const std::function<void(int done, int total)>& progress) {
    VerifyResult result;
    if (!LibraryLayout::IsLibrary(library)) {
        result.error = library + " is not a library (no " +
                       QFileInfo(LibraryLayout::IndexPath(library)).fileName() + " in it)";
        return result;
    }
    LibraryIndex index;
    if (!index.Open(library, false, &result.error))
        return result;
    const std::vector<KeptFile> files = index.Files();
    for (const KeptFile& kept : files) {
        const QString what = Check(library + "/" + kept.path, kept);
        if (!what.isEmpty())
            result.problems.push_back({kept.path, what});
        ++result.checked;
        result.bytes += kept.size;
        if (progress)
            progress(result.checked, int(files.size()));
    }
    return result;
}
