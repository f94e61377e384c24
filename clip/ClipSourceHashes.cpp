#include "clip/ClipSourceHashes.h"

#include "clip/ClipSha256.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool SameContentState(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

QString ChangeText(const QString& path, const struct stat& before, const struct stat& now) {
    if (now.st_size != before.st_size)
        return QStringLiteral("%1: changed while the clip was made (%2 bytes, now %3)")
            .arg(path)
            .arg(qint64(before.st_size))
            .arg(qint64(now.st_size));
    return path + QStringLiteral(": changed while the clip was made (modified again)");
}

ClipSourceHashes::Hashed HashSources(const QStringList& paths, const JobControl& job) {
    ClipSourceHashes::Hashed hashed;
    for (const QString& path : paths) {
        if (hashed.states.contains(path))
            continue;
        SourceState& state = hashed.states[path];
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        ClipSourceHashes::OpenFiles::Open o;
        if (fd < 0 || ::fstat(fd, &o.before) != 0) {
            state.error = path + ": " + QString::fromLocal8Bit(std::strerror(errno));
            if (fd >= 0)
                ::close(fd);
            continue;
        }
        o.fd = fd;
        hashed.open->byPath.insert(path, o);
        state.size = int64_t(o.before.st_size);
        state.modifiedMs =
            int64_t(o.before.st_mtim.tv_sec) * 1000 + o.before.st_mtim.tv_nsec / 1000000;
        state.sha256 = FdSha256(fd, &job);
        struct stat after {};
        if (state.sha256.isEmpty()) {
            state.error = path + ": cannot be read";
        } else if (::fstat(fd, &after) != 0 || !SameContentState(o.before, after)) {
            state.error = ChangeText(path, o.before, after);
            state.sha256.clear();
        }
    }
    return hashed;
}

} // namespace

ClipSourceHashes::OpenFiles::~OpenFiles() {
    for (const Open& o : std::as_const(byPath))
        ::close(o.fd);
}

ClipSourceHashes::ClipSourceHashes(QStringList paths) : paths_(std::move(paths)) {
    job_.Start([paths = paths_](JobControl& job) { return HashSources(paths, job); },
               [this](Hashed hashed) { hashed_ = std::move(hashed); });
}

ClipSourceHashes::~ClipSourceHashes() {
    // What the work opened closes with its dropped result.
    job_.Stop();
}

const QHash<QString, SourceState>& ClipSourceHashes::Wait() {
    if (!waited_) {
        job_.Wait();
        waited_ = true;
    }
    return hashed_.states;
}

bool ClipSourceHashes::Unchanged(QString* error) {
    Wait();
    for (const QString& path : paths_) {
        const SourceState& state = hashed_.states[path];
        if (!state.error.isEmpty()) {
            *error = state.error;
            return false;
        }
        const OpenFiles::Open o = hashed_.open->byPath.value(path);
        struct stat now {
        }, named{};
        if (::fstat(o.fd, &now) != 0 || !SameContentState(o.before, now)) {
            *error = ChangeText(path, o.before, now);
            return false;
        }
        if (::stat(QFile::encodeName(path).constData(), &named) != 0 ||
            named.st_dev != now.st_dev || named.st_ino != now.st_ino) {
            *error = path + QStringLiteral(": replaced by another file while the clip was made");
            return false;
        }
    }
    return true;
}
