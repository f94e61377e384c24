#include "clip/ClipExport.h"

#include "HalvexVersion.h"
#include "clip/ClipBundle.h"
#include "clip/ClipBundleFiles.h"
#include "clip/ClipCopy.h"
#include "clip/ClipSha256.h"
#include "clip/ClipSourceHashes.h"
#include "clip/ClipTranscode.h"
#include "recordings/CsvExport.h"
#include "recordings/GpxExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <future>
#include <utility>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

namespace {

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

    if (!CheckClipOutputName(request.outputPath, &error))
        return fail(error);
    QStringList sourcePaths;
    for (const ClipSource& s : request.sources) {
        for (const QString& path : {s.front, s.rear}) {
            if (!path.isEmpty())
                sourcePaths << path;
        }
    }
    ClipBundleFiles files;
    if (!files.Prepare(ClipOutputPath(request.outputPath), sourcePaths, request.overwrite,
                       &outcome->existing, &error) ||
        !files.Create(&error))
        return fail(error);
    const QString base = QFileInfo(files.Finals()[ClipBundleFiles::kClip]).completeBaseName();

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

    ClipEncodeJob job;
    job.pieces = pieces;
    job.options = request.options;
    job.preset = request.preset;
    if (job.options.overlays)
        job.figures = BuildClipFigures(pieces, tracks, job.options, request.zones);
    job.path = files.Pending(ClipBundleFiles::kClip).Path();

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
    auto routeWritten = std::async(std::launch::async, [&]() -> QString {
        for (int i = 0; i < 2; ++i) {
            const auto file = ClipBundleFiles::File(ClipBundleFiles::kGpx + i);
            QString why;
            if (!files.Pending(file).WriteAll(route[i], &why))
                return files.Finals()[file] + ": " + why;
        }
        return {};
    });
    const QByteArray clipHash = FileSha256(job.path);
    if (const QString why = routeWritten.get(); !why.isEmpty())
        return fail(why);
    if (clipHash.isEmpty())
        return fail(files.Finals()[ClipBundleFiles::kClip] + ": cannot be read back");
    if (!files.Pending(ClipBundleFiles::kClip).Sync(&error))
        return fail(files.Finals()[ClipBundleFiles::kClip] + ": " + error);
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
    clip["size"] = double(files.Pending(ClipBundleFiles::kClip).Size());
    clip["sha256"] = QString::fromLatin1(clipHash);
    clip["frames"] = double(result.frames);
    manifest["clip"] = clip;
    const QByteArray json = QJsonDocument(manifest).toJson();

    QStringList names;
    QList<QByteArray> sums = {clipHash, BytesSha256(route[0]), BytesSha256(route[1]),
                              BytesSha256(json)};
    for (int i = ClipBundleFiles::kClip; i < ClipBundleFiles::kSums; ++i)
        names << files.Name(ClipBundleFiles::File(i));
    const QByteArray texts[] = {json, Sha256Lines(names, sums)};
    for (int i = 0; i < 2; ++i) {
        const auto file = ClipBundleFiles::File(ClipBundleFiles::kJson + i);
        if (!files.Pending(file).WriteAll(texts[i], &error))
            return fail(files.Finals()[file] + ": " + error);
    }
    if (!files.Place(&outcome->existing, &error))
        return fail(error);
    outcome->files = files.Finals();
    return true;
}
