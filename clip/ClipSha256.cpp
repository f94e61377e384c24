#include "clip/ClipSha256.h"

#include "platform/BackgroundJob.h"

#include <QFile>
#include <fcntl.h>
#include <memory>
#include <openssl/evp.h>
#include <unistd.h>
#include <vector>

namespace {

struct DigestFree {
    void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};

QByteArray Hex(const unsigned char* digest, unsigned size) {
    return QByteArray(reinterpret_cast<const char*>(digest), int(size)).toHex();
}

} // namespace

QByteArray FileSha256(const QString& path, const JobControl* job) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    const QByteArray hash = FdSha256(fd, job);
    ::close(fd);
    return hash;
}

QByteArray FdSha256(int fd, const JobControl* job) {
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return {};
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    std::unique_ptr<EVP_MD_CTX, DigestFree> context(EVP_MD_CTX_new());
    bool ok = context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1;
    // Large reads: the hash outruns the page cache copy at small ones.
    std::vector<char> buffer(1 << 20);
    while (ok) {
        if (job && job->Cancelled()) {
            ok = false;
            break;
        }
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        ok = EVP_DigestUpdate(context.get(), buffer.data(), size_t(n)) == 1;
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned size = 0;
    if (!ok || EVP_DigestFinal_ex(context.get(), digest, &size) != 1)
        return {};
    return Hex(digest, size);
}

QByteArray BytesSha256(const QByteArray& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned size = 0;
    if (EVP_Digest(bytes.constData(), size_t(bytes.size()), digest, &size, EVP_sha256(), nullptr) !=
        1)
        return {};
    return Hex(digest, size);
}
