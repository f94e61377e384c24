#include "library/LibraryPrune.h"

#include "library/LibraryIndex.h"
#include "library/LibraryLayout.h"
#include "library/LibraryLock.h"
#include "recordings/CameraPairing.h"
#include "recordings/RecordingInfo.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

PruneProposal OldestQuietDrives(const std::vector<IndexedRecording>& recordings,
                                const std::vector<TripSummary>& trips,
                                const std::vector<DrivingEvent>& events, int most) {
    QHash<QString, int> byPath;
    for (size_t i = 0; i < recordings.size(); ++i)
        byPath.insert(recordings[i].path, int(i));
    std::vector<bool> eventful(recordings.size(), false);
    for (const DrivingEvent& e : events)
        if (e.recording >= 0 && size_t(e.recording) < recordings.size())
            eventful[size_t(e.recording)] = true;

    std::vector<int> order(trips.size());
    for (size_t t = 0; t < trips.size(); ++t)
        order[t] = int(t);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return trips[size_t(a)].startUtcMs < trips[size_t(b)].startUtcMs;
    });

    PruneProposal proposal;
    for (int t : order) {
        if (int(proposal.trips.size()) >= most)
            break;
        const TripSummary& trip = trips[size_t(t)];
        // The trip's recordings and the rear ones of the same moments.
        std::vector<int> members;
        for (int r : trip.recordings) {
            if (r < 0 || size_t(r) >= recordings.size())
                continue;
            members.push_back(r);
            if (!recordings[size_t(r)].rear)
                if (const auto rear = byPath.find(RearPathFor(recordings[size_t(r)].path));
                    rear != byPath.end() && rear.value() != r)
                    members.push_back(rear.value());
        }
        const bool quiet = trip.eventCount == 0 && !members.empty() &&
                           std::none_of(members.begin(), members.end(), [&](int r) {
                               return eventful[size_t(r)] ||
                                      (recordings[size_t(r)].flags &
                                       (RecordingFile::kEventLocked | RecordingFile::kHandLocked));
                           });
        if (!quiet)
            continue;
        proposal.trips.push_back(t);
        for (int r : members) {
            proposal.paths << recordings[size_t(r)].path;
            proposal.bytes += recordings[size_t(r)].fileSize;
        }
    }
    return proposal;
}

namespace {

// The path below the library of a file in one of its day folders
// ("YYYY/YYYY-MM-DD/NAME"), or "" when the path is anything else.
QString KeptPathOf(const QString& libraryCanonical, const QString& path) {
    const QFileInfo file(path);
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    if (folder.isEmpty() || !LibraryLayout::IsSafeName(file.fileName()))
        return QString();
    if (!folder.startsWith(libraryCanonical + "/"))
        return QString();
    const QString days = folder.mid(libraryCanonical.size() + 1);
    static const QRegularExpression dayFolder(QStringLiteral("^\\d{4}/\\d{4}-\\d\\d-\\d\\d$"));
    if (!dayFolder.match(days).hasMatch())
        return QString();
    // A plain file, not a link to one elsewhere.
    struct stat st {};
    if (::lstat(QFile::encodeName(folder + "/" + file.fileName()).constData(), &st) != 0 ||
        !S_ISREG(st.st_mode))
        return QString();
    return days + "/" + file.fileName();
}

} // namespace

bool DeleteKept(const QString& library, const QStringList& paths, QString* error) {
    const QString root = QFileInfo(library).canonicalFilePath();
    if (root.isEmpty() || !LibraryLayout::IsLibrary(root)) {
        *error = library + ": not a library";
        return false;
    }
    LibraryLock lock;
    QString why;
    if (!lock.TryTake(root, &why)) {
        *error = why;
        return false;
    }
    LibraryIndex index;
    if (!index.Open(root, false, error))
        return false;
    QStringList kept;
    for (const QString& path : paths) {
        const QString below = KeptPathOf(root, path);
        if (below.isEmpty()) {
            *error = path + ": not a recording kept in " + library;
            return false;
        }
        // A locked recording is kept for good.
        if (const auto known = index.FindPath(below); known && known->locked) {
            *error = path + ": locked";
            return false;
        }
        kept << below;
    }
    for (const QString& below : kept) {
        const QString path = root + "/" + below;
        if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT) {
            *error = path + ": " + QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        if (!index.RemoveFile(below, error))
            return false;
    }
    return true;
}
