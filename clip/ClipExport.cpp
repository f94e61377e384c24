#include "clip/ClipExport.h"

#include "HalvexVersion.h"
#include "clip/ClipBundle.h"
#include "clip/ClipCopy.h"
#include "clip/ClipSha256.h"
#include "clip/ClipSourceHashes.h"
#include "clip/ClipTranscode.h"
#include "platform/CheckedFileWriter.h"
#include "recordings/CsvExport.h"
#include "recordings/GpxExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryFile>
#include <cstdio>
#include <future>
#include <sys/stat.h>
#include <utility>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

namespace {

// Temporary names beside the final ones, removed unless renamed.
class TemporaryNames {
  public:
    explicit TemporaryNames(QString folder) : folder_(std::move(folder)) {}
    ~TemporaryNames() {
        for (const QString& path : paths_)
            QFile::remove(path);
    }
    QString Make(const QString& finalName) {
        QTemporaryFile file(folder_ + "/." + finalName + ".XXXXXX.part");
        file.setAutoRemove(false);
        if (!file.open())
            return {};
        // The bundle is for handing on: the usual rights, not the private
        // ones of a temporary file.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(file.handle(), 0666 & ~mask);
        paths_ << file.fileName();
        return file.fileName();
    }
    void Forget(const QString& path) { paths_.removeAll(path); }

  private:
    QString folder_;
    QStringList paths_;
};

bool SamePlace(const QString& a, const QString& b) {
    const QFileInfo x(a), y(b);
    if (x.exists() && y.exists())
        return x.canonicalFilePath() == y.canonicalFilePath();
    return x.absoluteFilePath() == y.absoluteFilePath();
}

QJsonObject Choices(const ClipOptions& o, bool fastPath, int zones) {
    QJsonObject c;
    c["layout"] = LayoutName(o.layout);
    if (o.layout == ClipLayout::PictureInPicture)
        c["insetCorner"] = CornerName(o.insetCorner);
    c["sound"] = o.sound;
    c["overlays"] = QJsonArray::fromStringList(OverlayNames(o.overlays));
    c["speedUnit"] = o.speedInMph ? "mph" : "km/h";
    c["copiedWithoutDecoding"] = fastPath;
    c["privacyZones"] = zones;
    return c;
}

QJsonObject Span(int64_t fromMs, int64_t toMs) {
    QJsonObject s;
    s["fromLocal"] = LocalIso(fromMs);
    s["toLocal"] = LocalIso(toMs);
    s["fromUtc"] = UtcIso(fromMs);
    s["toUtc"] = UtcIso(toMs);
    s["durationMs"] = double(toMs - fromMs);
    return s;
}

// The piece's recordings the layout shows, each with its camera's name.
std::vector<std::pair<QString, QString>> ShownSources(const ClipPiece& piece, ClipLayout layout) {
    std::vector<std::pair<QString, QString>> shown;
    if (UsesFront(layout) && !piece.source.front.isEmpty())
        shown.emplace_back(piece.source.front, QStringLiteral("front"));
    if (UsesRear(layout) && !piece.source.rear.isEmpty())
        shown.emplace_back(piece.source.rear, QStringLiteral("rear"));
    return shown;
}

} // namespace

void QuietLibavLog() {
    av_log_set_level(AV_LOG_ERROR);
}

QString ClipOutputPath(const QString& name) {
    return name.endsWith(".mp4", Qt::CaseInsensitive) ? name : name + ".mp4";
}

bool ExportClip(const ClipRequest& request, const ClipProgress& progress, ClipOutcome* outcome) {
    *outcome = ClipOutcome();
    const auto fail = [outcome](const QString& why) {
        outcome->error = why;
        return false;
    };
    std::vector<ClipPiece> pieces;
    QString error;
    if (!SpanPieces(request.sources, request.fromMs, request.toMs, &pieces, &error))
        return fail(error);

    const QFileInfo target(ClipOutputPath(request.outputPath));
    const QString folder = target.absolutePath();
    const QString base = target.completeBaseName();
    if (!QFileInfo(folder).isDir())
        return fail(folder + ": no such folder");
    const QStringList suffixes = {".mp4", ".gpx", ".csv", ".json", ".sha256"};
    QStringList finals;
    for (const QString& suffix : suffixes)
        finals << folder + "/" + base + suffix;
    for (const ClipSource& s : request.sources) {
        for (const QString& path : finals) {
            if ((!s.front.isEmpty() && SamePlace(path, s.front)) ||
                (!s.rear.isEmpty() && SamePlace(path, s.rear)))
                return fail(path + ": is a source recording and is never overwritten");
        }
    }

    // The sources the clip is made of, hashed while the clip is written.
    QStringList used;
    for (const ClipPiece& piece : pieces)
        for (const auto& shown : ShownSources(piece, request.options.layout))
            used << shown.first;
    ClipSourceHashes sourceHashes(used);

    std::vector<TripRecording> tracks(pieces.size());
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (!LoadTripRecording(pieces[i].source.file, &tracks[i]))
            tracks[i].fileName = pieces[i].source.file.fileName; // no track: no figures there
    }

    TemporaryNames temporary(folder);
    ClipEncodeJob job;
    job.pieces = pieces;
    job.options = request.options;
    job.preset = request.preset;
    if (job.options.overlays)
        job.figures = BuildClipFigures(pieces, tracks, job.options, request.zones);
    job.path = temporary.Make(base + ".mp4");
    if (job.path.isEmpty())
        return fail(folder + ": cannot write a file there");

    ClipEncodeResult result;
    bool done = false;
    bool copyable = false;
    if (IsFastPath(job.options)) {
        done = CopyClip(job, progress, &result, &copyable);
        outcome->fastPath = copyable;
    }
    if (!done && !copyable && !result.cancelled) {
        result = ClipEncodeResult();
        done = TranscodeClip(job, progress, &result);
    }
    outcome->frames = result.frames;
    if (!done) {
        outcome->cancelled = result.cancelled;
        return fail(result.cancelled ? QStringLiteral("cancelled") : result.error);
    }

    // The bundle describes what the clip holds: the fast path's key frames.
    std::vector<ClipPiece> held = pieces;
    held.front().inMs = result.firstInMs;
    held.back().outMs = result.lastOutMs;
    const Trip trip = SpanTrip(held, tracks, request.zones);
    const QByteArray route[] = {GpxDocument(trip, base), CsvPoints(trip)};

    // The route's files go to disk (each synced, a wait on the disk) while
    // the clip is hashed (work for the processor), and that while the
    // sources' hashes may still be running.
    QStringList temps = {job.path};
    for (int i = 0; i < 2; ++i)
        temps << temporary.Make(base + suffixes[i + 1]);
    auto routeWritten = std::async(std::launch::async, [&]() -> QString {
        for (int i = 0; i < 2; ++i) {
            QString why;
            if (temps[i + 1].isEmpty())
                return finals[i + 1] + ": cannot write";
            if (!CheckedFileWriter::WriteFile(temps[i + 1], route[i], &why))
                return finals[i + 1] + ": " + why;
        }
        return {};
    });
    const QByteArray clipHash = FileSha256(job.path);
    if (const QString why = routeWritten.get(); !why.isEmpty())
        return fail(why);
    if (clipHash.isEmpty())
        return fail(job.path + ": cannot be read back");
    const QHash<QString, QByteArray>& hashes = sourceHashes.Wait();
    QJsonArray sources;
    for (const ClipPiece& piece : held) {
        for (const auto& [path, camera] : ShownSources(piece, job.options.layout)) {
            QJsonObject entry;
            if (!SourceEntry(path, hashes.value(path), camera, piece, &entry, &error))
                return fail(error);
            sources.append(entry);
        }
    }
    const int64_t heldFrom = held.front().source.startMs + held.front().inMs;
    const int64_t heldTo = held.back().source.startMs + held.back().outMs;
    QJsonObject manifest;
    manifest["program"] = "Halvex";
    manifest["version"] = HALVEX_VERSION;
    manifest["marks"] = Span(request.fromMs, request.toMs);
    manifest["span"] = Span(heldFrom, heldTo);
    manifest["choices"] = Choices(job.options, outcome->fastPath, int(request.zones.size()));
    manifest["sources"] = sources;
    QJsonObject clip;
    clip["file"] = base + ".mp4";
    clip["size"] = double(QFileInfo(job.path).size());
    clip["sha256"] = QString::fromLatin1(clipHash);
    clip["frames"] = double(result.frames);
    manifest["clip"] = clip;
    const QByteArray json = QJsonDocument(manifest).toJson();

    QStringList names = {base + ".mp4"};
    QList<QByteArray> sums = {clipHash};
    for (int i = 0; i < 2; ++i) {
        names << base + suffixes[i + 1];
        sums << BytesSha256(route[i]);
    }
    const QString jsonPath = temporary.Make(base + ".json");
    if (jsonPath.isEmpty() || !CheckedFileWriter::WriteFile(jsonPath, json, &error))
        return fail(finals[3] + ": " + (jsonPath.isEmpty() ? QString("cannot write") : error));
    names << base + ".json";
    sums << BytesSha256(json);
    temps << jsonPath;
    const QString sumPath = temporary.Make(base + ".sha256");
    if (sumPath.isEmpty() ||
        !CheckedFileWriter::WriteFile(sumPath, Sha256Lines(names, sums), &error))
        return fail(finals[4] + ": " + (sumPath.isEmpty() ? QString("cannot write") : error));
    temps << sumPath;

    // The clip last: its name appears only when the whole bundle is there.
    for (int i = int(temps.size()) - 1; i >= 0; --i) {
        if (std::rename(QFile::encodeName(temps[i]).constData(),
                        QFile::encodeName(finals[i]).constData()) != 0) {
            for (int k = int(temps.size()) - 1; k > i; --k)
                QFile::remove(finals[k]);
            return fail(finals[i] + ": cannot be put in place");
        }
        temporary.Forget(temps[i]);
    }
    outcome->files = finals;
    return true;
}
