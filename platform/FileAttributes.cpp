#include "platform/FileAttributes.h"

#include "platform/RegularFile.h"

#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

constexpr const char* kDosAttribute = "user.DOSATTRIB";
constexpr unsigned kStoredBits = FileAttributes::Archive | FileAttributes::System;

// Only regular files and folders are opened, and without blocking: a FIFO
// would wait for a writer, a device might do anything.
class Fd {
  public:
    Fd(const QByteArray& path, const struct stat& st)
        : fd_(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode) ? RegularFile::OpenDescriptor(path) : -1) {
    }
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

std::optional<unsigned> VfatAttributes(const Fd& fd, bool* notVfat = nullptr) {
    __u32 attrs = 0;
    if (fd.get() < 0)
        return std::nullopt;
    if (ioctl(fd.get(), FAT_IOCTL_GET_ATTRIBUTES, &attrs) != 0) {
        if (notVfat)
            *notVfat = errno == ENOTTY;
        return std::nullopt;
    }
    return attrs;
}

// Samba writes the attribute as text "0x20"; accept that form.
std::optional<unsigned> StoredValue(const char* buf, ssize_t n) {
    if (n <= 0)
        return std::nullopt;
    bool ok = false;
    const unsigned value = QByteArray(buf, int(n)).trimmed().toUInt(&ok, 0);
    return ok ? std::optional<unsigned>(value) : std::nullopt;
}

std::optional<unsigned> StoredAttributes(const QByteArray& path) {
    char buf[64] = {};
    return StoredValue(buf, getxattr(path.constData(), kDosAttribute, buf, sizeof buf - 1));
}

} // namespace

namespace FileAttributes {

namespace {

std::optional<unsigned> Read(const QString& path, std::vector<dev_t>* withoutVfat) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return std::nullopt;

    if (!withoutVfat ||
        std::find(withoutVfat->begin(), withoutVfat->end(), st.st_dev) == withoutVfat->end()) {
        Fd fd(native, st);
        bool notVfat = false;
        if (const auto vfat = VfatAttributes(fd, &notVfat))
            return *vfat & (ReadOnly | Hidden | System | Archive);
        if (notVfat && withoutVfat)
            withoutVfat->push_back(st.st_dev);
    }

    unsigned attrs = 0;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        attrs |= ReadOnly;
    if (QFileInfo(path).fileName().startsWith('.'))
        attrs |= Hidden;
    if (const auto stored = StoredAttributes(native))
        attrs |= *stored & kStoredBits;
    else
        attrs |= Archive;
    return attrs;
}

} // namespace

std::optional<unsigned> Get(const QString& path) {
    return Read(path, nullptr);
}

unsigned Reader::OfOpen(int fd, const struct stat& st, const QByteArray& name) {
    if (std::find(withoutVfat_.begin(), withoutVfat_.end(), st.st_dev) == withoutVfat_.end()) {
        __u32 vfat = 0;
        if (ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &vfat) == 0)
            return vfat & (ReadOnly | Hidden | System | Archive);
        if (errno == ENOTTY)
            withoutVfat_.push_back(st.st_dev);
    }
    unsigned attrs = 0;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        attrs |= ReadOnly;
    if (name.startsWith('.'))
        attrs |= Hidden;
    char buf[64] = {};
    if (const auto stored = StoredValue(buf, fgetxattr(fd, kDosAttribute, buf, sizeof buf - 1)))
        attrs |= *stored & kStoredBits;
    else
        attrs |= Archive;
    return attrs;
}

std::optional<unsigned> Reader::Get(const QString& path) {
    return Read(path, &withoutVfat_);
}

bool Set(const QString& path, unsigned attributes) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return false;

    // Nothing but files and folders carries a lock.
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        return false;
    Fd fd(native, st);
    if (const auto vfat = VfatAttributes(fd)) {
        __u32 attrs = (attributes & (ReadOnly | Hidden | System | Archive)) | (*vfat & ~0x27u);
        return ioctl(fd.get(), FAT_IOCTL_SET_ATTRIBUTES, &attrs) == 0;
    }

    mode_t mode = st.st_mode & 07777;
    if (attributes & ReadOnly)
        mode &= ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH);
    else if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        mode |= S_IWUSR;
    const bool modeChanges = mode != (st.st_mode & 07777);

    // Writing the extended attribute needs write permission, so it goes
    // between the two permission changes.
    if (modeChanges && !(attributes & ReadOnly) && ::chmod(native.constData(), mode) != 0)
        return false;

    // Archive set and system clear is what an unmarked file reads as, so a
    // file system without extended attributes can still hold that state.
    const unsigned wanted = attributes & kStoredBits;
    const QByteArray text = "0x" + QByteArray::number(wanted, 16);
    const bool stored =
        setxattr(native.constData(), kDosAttribute, text.constData(), size_t(text.size()), 0) == 0;

    if (modeChanges && (attributes & ReadOnly) && ::chmod(native.constData(), mode) != 0)
        return false;
    return stored || wanted == Archive;
}

} // namespace FileAttributes
