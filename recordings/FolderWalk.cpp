#include "recordings/FolderWalk.h"

#include "platform/FileAttributes.h"

#include <QFile>
#include <algorithm>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// The name as text, each byte that is not part of valid UTF-8 written \xNN.
QString Shown(const QByteArray& raw) {
    QString out;
    for (int i = 0; i < raw.size();) {
        int n = 1;
        const uchar c = uchar(raw[i]);
        if (c >= 0xC2 && c <= 0xF4)
            n = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        const QByteArray piece = raw.mid(i, n);
        const QString text = QString::fromUtf8(piece);
        if (n > 1 && piece.size() == n && text.toUtf8() == piece && !text.contains(QChar(0xFFFD))) {
            out += text;
            i += n;
        } else if (c < 0x80) {
            out += QChar(c);
            ++i;
        } else {
            out += QStringLiteral("\\x%1").arg(c, 2, 16, QChar('0'));
            ++i;
        }
    }
    return out;
}

// Reports the regular files at or below a path that cannot be named as text
// (links are not followed, the depth limit holds).
void ReportUnreadable(const QByteArray& path, const QString& shown, int depth,
                      const FolderWalk::UnreadableVisitor& unreadable) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return;
    if (S_ISREG(st.st_mode)) {
        unreadable(shown, FolderWalk::Unlisted::NotText);
        return;
    }
    if (!S_ISDIR(st.st_mode) || depth >= FolderWalk::kMaxFolderDepth)
        return;
    QList<QByteArray> entries;
    if (DIR* dir = ::opendir(path.constData())) {
        while (const dirent* e = ::readdir(dir)) {
            const QByteArray raw(e->d_name);
            if (raw != "." && raw != ".." && !raw.startsWith('.'))
                entries << raw;
        }
        ::closedir(dir);
    }
    std::sort(entries.begin(), entries.end());
    for (const QByteArray& raw : entries)
        ReportUnreadable(path + "/" + raw, shown + "/" + Shown(raw), depth + 1, unreadable);
}

// The names in an open folder, hidden ones left out, in byte order.
QList<QByteArray> NamesIn(int folderFd) {
    QList<QByteArray> names;
    const int copy = ::dup(folderFd);
    DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (!dir) {
        if (copy >= 0)
            ::close(copy);
        return names;
    }
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray raw(e->d_name);
        if (raw != "." && raw != ".." && !raw.startsWith('.'))
            names << raw;
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// Reports the regular files below a folder the walk does not enter (too deep,
// or a path too long to open). Folders are opened relative to each other, so
// a path of any length is reached; without recursion, and bounded in depth
// and count, so that a hostile tree can exhaust neither stack, descriptors
// nor memory.
void ReportBelow(int parent, const QByteArray& name, const QString& shown,
                 const FolderWalk::UnreadableVisitor& unreadable) {
    constexpr int kMostReported = 100000;
    constexpr size_t kDeepest = 256;
    struct Level {
        int fd;
        QString shown;
        QList<QByteArray> names;
        int next = 0;
    };
    const int top = ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (top < 0)
        return;
    std::vector<Level> stack;
    stack.push_back({top, shown, NamesIn(top)});
    int reported = 0;
    while (!stack.empty() && reported < kMostReported) {
        const size_t at = stack.size() - 1;
        if (stack[at].next >= stack[at].names.size()) {
            ::close(stack[at].fd);
            stack.pop_back();
            continue;
        }
        const QByteArray raw = stack[at].names[stack[at].next++];
        const QString child = stack[at].shown + "/" + Shown(raw);
        struct stat st {};
        if (::fstatat(stack[at].fd, raw.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISREG(st.st_mode)) {
            unreadable(child, FolderWalk::Unlisted::TooDeep);
            ++reported;
        } else if (S_ISDIR(st.st_mode) && stack.size() < kDeepest) {
            const int fd =
                ::openat(stack[at].fd, raw.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
            if (fd >= 0)
                stack.push_back({fd, child, NamesIn(fd)});
        }
    }
    for (const Level& level : stack)
        ::close(level.fd);
}

// A name the listing gave, with the type it gave (DT_UNKNOWN on file systems
// that give none).
struct Listed {
    QByteArray raw;
    QString name; // empty when the bytes are not valid UTF-8
    unsigned char type;
};

bool IsAscii(const QByteArray& raw) {
    for (const char c : raw)
        if (uchar(c) >= 0x80)
            return false;
    return true;
}

// The names in an open folder, "." and ".." left out, in the order of their
// texts (undecodable ones last).
std::vector<Listed> ListFolder(int folderFd) {
    std::vector<Listed> names;
    const int copy = ::dup(folderFd);
    DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (!dir) {
        if (copy >= 0)
            ::close(copy);
        return names;
    }
    while (const dirent* e = ::readdir(dir)) {
        QByteArray raw(e->d_name);
        if (raw == "." || raw == "..")
            continue;
        QString name = QFile::decodeName(raw);
        // Names that are not valid UTF-8 decode with replacement characters
        // and then name nothing.
        if (!IsAscii(raw) && QFile::encodeName(name) != raw)
            name.clear();
        names.push_back({std::move(raw), std::move(name), e->d_type});
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), [](const Listed& a, const Listed& b) {
        if (a.name.isEmpty() != b.name.isEmpty())
            return b.name.isEmpty();
        return a.name.isEmpty() ? a.raw < b.raw
                                : QString::compare(a.name, b.name, Qt::CaseSensitive) < 0;
    });
    return names;
}

enum class Kind { File, Folder, LinkToFolder, Other };

// What a name is, from the listing's type where it gives one; links are
// followed.
Kind KindOf(int folderFd, const Listed& entry) {
    switch (entry.type) {
    case DT_REG:
        return Kind::File;
    case DT_DIR:
        return Kind::Folder;
    case DT_LNK:
    case DT_UNKNOWN:
        break;
    default:
        return Kind::Other;
    }
    struct stat st {};
    if (::fstatat(folderFd, entry.raw.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return Kind::Other;
    const bool link = S_ISLNK(st.st_mode);
    if (link && ::fstatat(folderFd, entry.raw.constData(), &st, 0) != 0)
        return Kind::Other; // a dangling link
    if (S_ISREG(st.st_mode))
        return Kind::File;
    if (S_ISDIR(st.st_mode))
        return link ? Kind::LinkToFolder : Kind::Folder;
    return Kind::Other;
}

// A path the system would refuse to open: its bytes reach PATH_MAX.
bool TooLongToOpen(const QByteArray& nativeFolder, const QByteArray& raw) {
    return nativeFolder.size() + raw.size() >= PATH_MAX;
}

struct Walker {
    const FolderWalk::Visitor& visit;
    const FolderWalk::UnreadableVisitor& unreadable;
    FileAttributes::Reader attributesOf;

    // A name that could not be opened is asked about by its path.
    unsigned AttributesByPath(const QByteArray& nativeFolder, const QByteArray& raw) {
        return attributesOf.Get(QFile::decodeName(nativeFolder + raw)).value_or(0);
    }

    // Walks the open folder `fd` (closed here), `folder` below the root
    // (trailing "/"), nativeFolder its whole path's bytes with a trailing "/".
    void Level(int fd, const QString& folder, const QByteArray& nativeFolder, int depth) {
        const std::vector<Listed> names = ListFolder(fd);
        // Names that are not valid UTF-8 are reported instead of being lost
        // without a word.
        for (const Listed& entry : names)
            if (entry.name.isEmpty() && unreadable && !entry.raw.startsWith('.'))
                ReportUnreadable(nativeFolder + entry.raw, folder + Shown(entry.raw), depth + 1,
                                 unreadable);
        for (const Listed& entry : names) {
            if (entry.name.isEmpty())
                continue;
            // FIFOs, sockets, devices and dangling links hold no recording,
            // and opening a FIFO would block the scan.
            const Kind kind = KindOf(fd, entry);
            if (kind == Kind::Folder || kind == Kind::LinkToFolder)
                Folder(fd, entry, kind, folder, nativeFolder, depth);
            else if (kind == Kind::File)
                File(fd, entry, folder, nativeFolder);
        }
        ::close(fd);
    }

    void Folder(int parent, const Listed& entry, Kind kind, const QString& folder,
                const QByteArray& nativeFolder, int depth) {
        // A link to a folder can loop back up the tree or leave the card.
        if (kind == Kind::LinkToFolder)
            return;
        const int fd = ::openat(parent, entry.raw.constData(),
                                O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return; // nothing in it can be listed
        struct stat st {};
        const unsigned attributes = ::fstat(fd, &st) == 0
                                        ? attributesOf.OfOpen(fd, st, entry.raw)
                                        : AttributesByPath(nativeFolder, entry.raw);
        if (attributes & (FileAttributes::Hidden | FileAttributes::System)) {
            ::close(fd);
            return;
        }
        if (depth >= FolderWalk::kMaxFolderDepth || TooLongToOpen(nativeFolder, entry.raw)) {
            ::close(fd);
            if (unreadable)
                ReportBelow(parent, entry.raw, folder + entry.name, unreadable);
            return;
        }
        Level(fd, folder + entry.name + '/', nativeFolder + entry.raw + '/', depth + 1);
    }

    void File(int parent, const Listed& entry, const QString& folder,
              const QByteArray& nativeFolder) {
        FolderWalk::Entry file;
        file.fd =
            ::openat(parent, entry.raw.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        struct stat st {};
        if (file.fd >= 0) {
            if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
                // Replaced by something else since it was listed.
                ::close(file.fd);
                return;
            }
            file.size = uint64_t(st.st_size);
            file.attributes = attributesOf.OfOpen(file.fd, st, entry.raw);
        } else {
            file.attributes = AttributesByPath(nativeFolder, entry.raw);
        }
        const auto closeFile = [&file] {
            if (file.fd >= 0)
                ::close(file.fd);
        };
        if (file.attributes & (FileAttributes::Hidden | FileAttributes::System)) {
            closeFile();
            return;
        }
        if (TooLongToOpen(nativeFolder, entry.raw)) {
            closeFile();
            if (unreadable)
                unreadable(folder + entry.name, FolderWalk::Unlisted::TooDeep);
            return;
        }
        file.folder = folder;
        file.name = entry.name;
        visit(file);
        closeFile();
    }
};

} // namespace

namespace FolderWalk {

void Walk(const QString& root, const Visitor& visit, const UnreadableVisitor& unreadable) {
    QByteArray native = QFile::encodeName(root);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return;
    if (!native.endsWith('/'))
        native += '/';
    Walker walker{visit, unreadable, {}};
    walker.Level(fd, QString(), native, 0);
}

} // namespace FolderWalk
