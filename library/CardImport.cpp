#include "library/CardImport.h"

#include "cardindex/CardIndex.h"
#include "library/CardFileCopy.h"
#include "library/LibraryIndex.h"
#include "library/LibraryLayout.h"
#include "library/LibraryLock.h"
#include "library/Sha256.h"
#include "platform/PendingFile.h"
#include "platform/RegularFile.h"
#include "recordings/RecordingCatalog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Where a kept name is taken by a different recording, the file goes into a
// numbered folder below its day ("2", "3", ...), keeping its name.
constexpr int kMaxPlaces = 99;

QString Why(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// The card folder that was opened is no longer the one under its path: the
// card was pulled out, or its folder removed.
bool CardGone(int rootFd, const QString& card) {
    struct stat opened {
    }, now{};
    if (::fstat(rootFd, &opened) != 0 || opened.st_nlink == 0)
        return true;
    if (::stat(QFile::encodeName(card).constData(), &now) != 0)
        return true;
    return opened.st_dev != now.st_dev || opened.st_ino != now.st_ino;
}

bool Inside(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder + "/");
}

// The canonical path a folder has or would have once made: the part that
// exists resolved, the rest added as written.
QString WhereItWouldBe(const QString& folder) {
    QString existing = QFileInfo(folder).absoluteFilePath();
    QString rest;
    while (!QFileInfo::exists(existing) && existing != "/") {
        const QFileInfo info(existing);
        rest = "/" + info.fileName() + rest;
        existing = info.path();
    }
    return QDir::cleanPath(QFileInfo(existing).canonicalFilePath() + rest);
}

bool RegularSize(const QString& path, int64_t* size) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    *size = int64_t(st.st_size);
    return true;
}

bool Exists(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// SHA-256 of a file already in the library, read without following a link.
QByteArray HashLibraryFile(const QString& path) {
    uint64_t size = 0;
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    const int fd = RegularFile::OpenReadOnly(QFile::encodeName(path), &size);
    if (fd < 0)
        return {};
    QFile file;
    QByteArray result;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        Sha256 hash;
        if (hash.Add(file))
            result = hash.Result();
    } else {
        ::close(fd);
    }
    return result;
}

std::vector<KeepCandidate> Candidates(const std::vector<RecordingFile>& files,
                                      const QString& cacheFolder, QString* note) {
    CardIndex index;
    index.Build(files, cacheFolder, {}, note);
    std::vector<KeepCandidate> candidates(files.size());
    const std::vector<IndexedRecording>& recordings = index.Recordings();
    for (size_t i = 0; i < files.size() && i < recordings.size(); ++i) {
        const IndexedRecording& r = recordings[i];
        KeepCandidate& c = candidates[i];
        c.startUtcMs = r.startUtcMs;
        c.durationMs = r.durationMs;
        c.locked = (r.flags & 3) != 0;
        c.hasFix = !r.points.empty();
        for (const IndexedPoint& p : r.points)
            if (p.speedKmh > kWalkingKmh) {
                c.moved = true;
                break;
            }
    }
    for (const DrivingEvent& e : index.Events())
        if (e.recording >= 0 && size_t(e.recording) < candidates.size())
            candidates[size_t(e.recording)].event = true;
    return candidates;
}

class Importer {
  public:
    Importer(const ImportRequest& request,
             const std::function<void(const ImportProgress&)>& progress,
             const std::function<bool()>& cancelled)
        : request_(request), progress_(progress), cancelled_(cancelled) {}
    ~Importer() {
        if (rootFd_ >= 0)
            ::close(rootFd_);
    }

    ImportSummary Run();

  private:
    bool Prepare();
    void LeaveOut(const QString& reason, const RecordingFile& file);
    // Keeps one card file; false when the import must stop.
    bool Keep(const RecordingFile& file);
    // Tells the progress with `fileBytes` of the current file done; false
    // when the import is cancelled.
    bool Report(int64_t fileBytes);
    void Fail(const RecordingFile& file, const QString& why);
    QString PrepareFolder(const QString& relative);
    bool Record(const KeptFile& kept, const SourceKey& key);

    const ImportRequest& request_;
    const std::function<void(const ImportProgress&)>& progress_;
    const std::function<bool()>& cancelled_;
    ImportSummary summary_;
    ImportProgress done_;
    QString card_, library_;
    int rootFd_ = -1;
    LibraryLock lock_;
    LibraryIndex index_;
    QSet<QString> prepared_;
};

bool Importer::Prepare() {
    const QFileInfo cardInfo(request_.card);
    if (!cardInfo.isDir()) {
        summary_.stopped = request_.card + ": no such folder";
        return false;
    }
    card_ = cardInfo.canonicalFilePath();
    rootFd_ = ::open(QFile::encodeName(card_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (rootFd_ < 0) {
        summary_.stopped = request_.card + ": " + Why(errno);
        return false;
    }
    // Writing into the card, or reading the library as a card, is refused,
    // before the library's folder is made.
    if (Inside(WhereItWouldBe(request_.library), card_)) {
        summary_.stopped = request_.library + " lies on the card " + request_.card +
                           ", which an import never writes";
        return false;
    }
    if (!QDir().mkpath(request_.library)) {
        summary_.stopped = request_.library + ": cannot create the library folder";
        return false;
    }
    library_ = QFileInfo(request_.library).canonicalFilePath();
    if (Inside(library_, card_) || Inside(card_, library_)) {
        summary_.stopped = request_.card + " lies in the library " + request_.library;
        return false;
    }
    QString why;
    if (!lock_.TryTake(library_, &why) || !index_.Open(library_, true, &why)) {
        summary_.stopped = why;
        return false;
    }
    return true;
}

void Importer::LeaveOut(const QString& reason, const RecordingFile& file) {
    auto it =
        std::find_if(summary_.leftOut.begin(), summary_.leftOut.end(),
                     [&](const ImportSummary::LeftOutGroup& g) { return g.reason == reason; });
    if (it == summary_.leftOut.end())
        it = summary_.leftOut.insert(summary_.leftOut.end(), {reason, 0, 0, 0});
    ++it->count;
    it->hours += file.info.durationMs / 3600000.0;
    it->bytes += int64_t(file.info.fileSize);
}

bool Importer::Report(int64_t fileBytes) {
    if (progress_) {
        ImportProgress now = done_;
        now.bytesDone += fileBytes;
        progress_(now);
    }
    return !(cancelled_ && cancelled_());
}

void Importer::Fail(const RecordingFile& file, const QString& why) {
    summary_.failed.push_back({file.folder + file.fileName, why});
}

// The folder made (once per import) and cleared of what a cut import on a
// file system without unnamed files left; "" when it cannot be made.
QString Importer::PrepareFolder(const QString& relative) {
    const QString folder = library_ + "/" + relative;
    if (prepared_.contains(relative))
        return folder;
    if (!QDir().mkpath(folder))
        return QString();
    // A link planted in the library must not lead the copy elsewhere.
    if (!Inside(QFileInfo(folder).canonicalFilePath(), library_))
        return QString();
    RemoveStaleTemporaries(folder);
    prepared_.insert(relative);
    return folder;
}

bool Importer::Record(const KeptFile& kept, const SourceKey& key) {
    QString why;
    if (!index_.AddFile(kept, &why) || !index_.AddSource(key, kept.sha256, &why)) {
        summary_.stopped = LibraryLayout::IndexPath(library_) + ": " + why;
        return false;
    }
    return true;
}

bool Importer::Keep(const RecordingFile& file) {
    const QString relative = file.folder + file.fileName;
    CardFile in;
    QString why;
    if (!in.Open(rootFd_, relative, &why)) {
        if (in.NotRegular()) {
            LeaveOut(QStringLiteral("links, devices and FIFOs, not followed"), file);
            return true;
        }
        Fail(file, why);
        return true;
    }
    if (!LibraryLayout::IsSafeName(file.fileName)) {
        LeaveOut(QStringLiteral("names no library file can take"), file);
        return true;
    }
    SourceKey key{file.fileName, in.Size(), in.ModifiedNs(), {}};
    if (!CardFileCopy::QuickHash(in, &key.quick, &why)) {
        Fail(file, why);
        return true;
    }
    const auto alreadyKept = [&](const KeptFile& kept) {
        int64_t size = 0;
        return RegularSize(library_ + "/" + kept.path, &size) && size == kept.size;
    };
    const auto countKept = [&] {
        ++summary_.alreadyKept;
        summary_.alreadyKeptBytes += in.Size();
        return true;
    };
    if (const auto known = index_.FindSource(key); known && alreadyKept(*known))
        return countKept();

    // The same recording from another card or reader, or renamed: same
    // content, kept once.
    QByteArray sha;
    const auto cardSha = [&]() -> bool {
        if (!sha.isEmpty())
            return true;
        if (CardFileCopy::HashAll(
                in, &sha, [&](int64_t bytes) { return Report(bytes); }, &why))
            return true;
        if (cancelled_ && cancelled_())
            summary_.cancelled = true;
        else
            Fail(file, why);
        return false;
    };
    for (const KeptFile& kept : index_.FindContent(key.size, key.quick)) {
        if (!alreadyKept(kept))
            continue;
        if (!cardSha())
            return !summary_.cancelled;
        if (sha == kept.sha256) {
            QString error;
            if (!index_.AddSource(key, sha, &error)) {
                summary_.stopped = LibraryLayout::IndexPath(library_) + ": " + error;
                return false;
            }
            return countKept();
        }
    }

    KeptFile kept;
    kept.size = key.size;
    kept.quick = key.quick;
    kept.modifiedNs = key.modifiedNs;
    kept.locked = file.IsLocked();
    kept.startUtcMs = file.info.StartMs();
    const QString day =
        LibraryLayout::DayFolder(file.info.StartMs(), int64_t(in.Stat().st_mtim.tv_sec));
    int place = 1;
    for (int attempt = 0; attempt < 2 * kMaxPlaces && place <= kMaxPlaces; ++attempt) {
        const QString folderName = place == 1 ? day : day + "/" + QString::number(place);
        kept.path = folderName + "/" + file.fileName;
        const QString target = library_ + "/" + kept.path;
        const QString folder = PrepareFolder(folderName);
        if (folder.isEmpty()) {
            summary_.stopped = library_ + "/" + folderName + ": cannot create the folder";
            return false;
        }
        if (Exists(target)) {
            // A file an import cut short between naming it and indexing it
            // is taken as it is when it holds this content.
            if (!index_.FindPath(kept.path)) {
                if (!cardSha())
                    return !summary_.cancelled;
                if (HashLibraryFile(target) == sha) {
                    kept.sha256 = sha;
                    if (!Record(kept, key))
                        return false;
                    return countKept();
                }
            }
            ++place;
            continue;
        }
        QByteArray copied;
        const CardFileCopy::Outcome outcome = CardFileCopy::CopyChecked(
            in, folder, target, &copied, [&](int64_t bytes) { return Report(bytes); }, &why);
        switch (outcome) {
        case CardFileCopy::Outcome::Copied:
            kept.sha256 = copied;
            if (!Record(kept, key))
                return false;
            ++summary_.copied;
            summary_.copiedBytes += kept.size;
            return true;
        case CardFileCopy::Outcome::NameTaken:
            continue; // looked at again
        case CardFileCopy::Outcome::ReadFailed:
        case CardFileCopy::Outcome::CheckFailed:
            Fail(file, why);
            return true;
        case CardFileCopy::Outcome::WriteFailed:
            summary_.stopped = why;
            return false;
        case CardFileCopy::Outcome::Cancelled:
            summary_.cancelled = true;
            return false;
        }
    }
    Fail(file, QStringLiteral("no free place for its name below ") + library_ + "/" + day);
    return true;
}

ImportSummary Importer::Run() {
    if (!Prepare())
        return summary_;
    summary_.started = true;

    RecordingCatalog catalog;
    catalog.Open(card_);
    const std::vector<RecordingFile>& files = catalog.Files();
    summary_.recordings = int(files.size());

    std::vector<LeftOut> choice(files.size(), LeftOut::No);
    if (request_.keep != KeepMode::All) {
        QString note;
        choice = ChooseKept(Candidates(files, request_.cardCacheFolder, &note), request_.keep);
    }
    std::vector<const RecordingFile*> chosen;
    for (size_t i = 0; i < files.size(); ++i) {
        if (choice[i] == LeftOut::Parked)
            LeaveOut(QStringLiteral("parked: no fix above walking speed, no event, no lock"),
                     files[i]);
        else if (choice[i] == LeftOut::NoEvent)
            LeaveOut(QStringLiteral("no event or lock within a minute"), files[i]);
        else {
            chosen.push_back(&files[i]);
            done_.bytesTotal += int64_t(files[i].info.fileSize);
        }
    }
    done_.filesTotal = int(chosen.size());

    for (const RecordingFile* file : chosen) {
        if (cancelled_ && cancelled_()) {
            summary_.cancelled = true;
            break;
        }
        const size_t failedBefore = summary_.failed.size();
        if (!Keep(*file))
            break;
        if (summary_.failed.size() > failedBefore && CardGone(rootFd_, card_)) {
            summary_.stopped = request_.card + " is no longer there (the card was taken out or "
                                               "its folder removed)";
            break;
        }
        ++done_.filesDone;
        done_.bytesDone += int64_t(file->info.fileSize);
        Report(0);
    }
    for (const QString& folder : prepared_)
        CardFileCopy::SyncFolder(library_ + "/" + folder);
    if (summary_.copied > 0)
        summary_.indexNote = RefreshLibraryIndex(library_);
    return summary_;
}

} // namespace

ImportSummary ImportCard(const ImportRequest& request,
                         const std::function<void(const ImportProgress&)>& progress,
                         const std::function<bool()>& cancelled) {
    Importer importer(request, progress, cancelled);
    return importer.Run();
}

QString RefreshLibraryIndex(const QString& library) {
    RecordingCatalog catalog;
    catalog.Open(library);
    CardIndex index;
    QString note;
    index.Build(catalog.Files(), LibraryLayout::CardIndexFolder(library), {}, &note);
    return note;
}
