#include "recordings/FolderWalk.h"

#include "platform/FileAttributes.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
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

// The raw names of a folder that do not survive decoding: a path made of
// their decoded text names no file.
QList<QByteArray> UndecodableNames(const QByteArray& folder) {
    QList<QByteArray> names;
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return names;
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray raw(e->d_name);
        if (raw != "." && raw != ".." && QFile::encodeName(QFile::decodeName(raw)) != raw)
            names << raw;
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
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
void ReportBelow(const QByteArray& parentPath, const QByteArray& name, const QString& shown,
                 const FolderWalk::UnreadableVisitor& unreadable) {
    constexpr int kMostReported = 100000;
    constexpr size_t kDeepest = 256;
    struct Level {
        int fd;
        QString shown;
        QList<QByteArray> names;
        int next = 0;
    };
    const int parent = ::open(parentPath.constData(), O_RDONLY | O_DIRECTORY);
    if (parent < 0)
        return;
    const int top = ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    ::close(parent);
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

bool TooLongToOpen(const QString& path) {
    return QFile::encodeName(path).size() >= PATH_MAX;
}

void WalkLevel(const QString& root, const QString& folder, int depth,
               const FolderWalk::Visitor& visit, const FolderWalk::UnreadableVisitor& unreadable,
               FileAttributes::Reader& attributesOf) {
    const QDir dir(root + folder);
    const QByteArray native = QFile::encodeName(root + folder);
    // Names that are not valid UTF-8 come out of the listing with
    // replacement characters and then name nothing: they are reported
    // instead of being lost without a word.
    QSet<QString> lost;
    for (const QByteArray& raw : UndecodableNames(native)) {
        lost.insert(QFile::decodeName(raw));
        if (unreadable && !raw.startsWith('.'))
            ReportUnreadable(native + "/" + raw, folder + Shown(raw), depth + 1, unreadable);
    }
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (lost.contains(name) && !QFileInfo::exists(entry.filePath()))
            continue;
        // FIFOs, sockets, devices and dangling links hold no recording, and
        // opening a FIFO would block the scan.
        if (!entry.isFile() && !entry.isDir())
            continue;
        const unsigned attributes = attributesOf.Get(entry.filePath()).value_or(0);
        if (attributes & (FileAttributes::Hidden | FileAttributes::System))
            continue;
        if (entry.isDir()) {
            // A link to a folder can loop back up the tree or leave the card.
            if (entry.isSymLink())
                continue;
            if (depth >= FolderWalk::kMaxFolderDepth || TooLongToOpen(entry.filePath())) {
                if (unreadable)
                    ReportBelow(native, QFile::encodeName(name), folder + name, unreadable);
                continue;
            }
            WalkLevel(root, folder + name + "/", depth + 1, visit, unreadable, attributesOf);
            continue;
        }
        if (TooLongToOpen(entry.filePath())) {
            if (unreadable)
                unreadable(folder + name, FolderWalk::Unlisted::TooDeep);
            continue;
        }
        visit({folder, name, attributes});
    }
}

} // namespace

namespace FolderWalk {

void Walk(const QString& root, const Visitor& visit, const UnreadableVisitor& unreadable) {
    FileAttributes::Reader attributesOf;
    WalkLevel(root, QString(), 0, visit, unreadable, attributesOf);
}

} // namespace FolderWalk
