#include "clip/ClipExport.h"

#include "HalvexVersion.h"
#include "clip/ClipBundle.h"
#include "clip/ClipBundleFiles.h"
#include "clip/ClipCopy.h"
#include "clip/ClipSha256.h"
#include "clip/ClipSourceHashes.h"
#include "clip/ClipStreams.h"
#include "clip/ClipTranscode.h"
#include "clip/LibavLog.h"
#include "platform/BackgroundJob.h"
#include "recordings/CsvExport.h"
#include "recordings/GpxExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <utility>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

namespace {

QJsonObject Choices(const ClipOptions& o, bool fastPath, int zones, int leftOut) {
    QJsonObject c;
    c["layout"] = LayoutName(o.layout);
    if (o.layout == ClipLayout::PictureInPicture)
        c["insetCorner"] = CornerName(o.insetCorner);
    c["sound"] = o.sound;
    c["overlays"] = QJsonArray::fromStringList(OverlayNames(o.overlays));
    c["speedUnit"] = o.speedInMph ? "mph" : "km/h";
    c["copiedWithoutDecoding"] = fastPath;
    c["privacyZones"] = zones;
    c["positionsLeftOut"] = leftOut;
    return c;
}

// A span from ms into the first piece's file to ms into the last one's:
// the camera's readings with the zone, and the instants when it is known.
QJsonObject Span(const ClipClock& clock, size_t lastPiece, int64_t fromFileMs, int64_t toFileMs,
                 int64_t durationMs) {
    const int64_t from = clock.ReadingMs(0, fromFileMs), to = clock.ReadingMs(lastPiece, toFileMs);
    QJsonObject s;
    s["fromLocal"] = clock.LocalIso(from);
    s["toLocal"] = clock.LocalIso(to);
    if (clock.KnowsUtc()) {
        s["fromUtc"] = UtcIso(from - clock.clock.zoneMs);
        s["toUtc"] = UtcIso(to - clock.clock.zoneMs);
    }
    s["durationMs"] = double(durationMs);
    return s;
}

// Which rule gave the zone the times are told in.
QJsonObject ClockEntry(const ClipClock& clock) {
    QJsonObject c;
    c["offsetRule"] = ClockRuleName(clock.clock.rule);
    if (clock.KnowsUtc())
        c["utcOffset"] = UtcOffsetText(clock.clock.zoneMs);
    else
        c["note"] = QStringLiteral("camera clock, zone unknown");
    if (clock.clock.measured) {
        c["measuredIn"] = clock.measuredIn;
        c["cameraClockOffsetFromGpsMs"] = double(clock.clock.differenceMs);
    }
    return c;
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
    LibavLog::Install();
    av_log_set_level(AV_LOG_ERROR);
}

QString ClipOutputPath(const QString& name) {
    return name.endsWith(".mp4", Qt::CaseInsensitive) ? name : name + ".mp4";
}

bool ExportClip(const ClipRequest& request, const ClipProgress& progress, ClipOutcome* outcome) {
    LibavLog::Install();
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

    const ClipClock clock = MeasureClipClock(pieces);

    ClipEncodeJob job;
    job.pieces = pieces;
    job.options = request.options;
    job.preset = request.preset;
    if (job.options.overlays)
        job.figures = BuildClipFigures(pieces, tracks, job.options, request.zones, clock);
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

    // The bundle describes what the clip holds: the fast path's key frames,
    // a recording cut short as far as its picture goes, and no more than
    // the picture read back from the file.
    std::vector<ClipPiece> held = result.held;
    std::vector<int64_t> starts = result.clipStartMs;
    ClipStreamLengths lengths;
    if (!MeasureClipStreams(job.path, &lengths, &error))
        return fail(error);
    QStringList notes = result.notes;
    if (!result.soundNote.isEmpty())
        notes << QStringLiteral("the clip has no sound: ") + result.soundNote;
    const auto lengthOf = [](const ClipPiece& p) { return p.outMs - p.inMs; };
    const double slack = std::max(2 * lengths.frameMs, 50.0);
    const int64_t timelineMs = starts.back() + lengthOf(held.back());
    if (lengths.videoMs < timelineMs - slack) {
        // The picture ends early: the span ends with it.
        while (held.size() > 1 && starts.back() >= lengths.videoMs) {
            held.pop_back();
            starts.pop_back();
        }
        held.back().outMs =
            std::max(held.back().inMs, held.back().inMs + lengths.videoMs - starts.back());
        notes << QStringLiteral("the clip holds %1 s of picture, not the %2 s marked; its span "
                                "is recorded as it is")
                     .arg(lengths.videoMs / 1000.0, 0, 'f', 1)
                     .arg(timelineMs / 1000.0, 0, 'f', 1);
    }
    int64_t heldMs = 0;
    for (const ClipPiece& piece : held)
        heldMs += lengthOf(piece);
    // A recording cut short before the next one begins leaves a stretch of
    // the drive the clip has no picture of.
    QJsonArray gaps;
    for (size_t i = 0; i + 1 < held.size(); ++i) {
        if (held[i].outMs >= pieces[i].outMs - slack)
            continue;
        const int64_t from = clock.ReadingMs(i, held[i].outMs);
        const int64_t to = clock.ReadingMs(i + 1, held[i + 1].inMs);
        const int64_t clipMs = starts[i] + lengthOf(held[i]);
        const QString path = ShownSources(held[i], job.options.layout).front().first;
        QJsonObject gap;
        gap["after"] = QFileInfo(path).absoluteFilePath();
        gap["fromLocal"] = clock.LocalIso(from);
        gap["toLocal"] = clock.LocalIso(to);
        if (clock.KnowsUtc()) {
            gap["fromUtc"] = UtcIso(from - clock.clock.zoneMs);
            gap["toUtc"] = UtcIso(to - clock.clock.zoneMs);
        }
        gap["durationMs"] = double(to - from);
        gap["clipMs"] = double(clipMs);
        // Over the gap the encoded clip shows the last picture; the copy
        // goes on with the next recording at once.
        gap["stillMs"] = double(starts[i + 1] - clipMs);
        gaps.append(gap);
        notes << QStringLiteral("the clip has no picture of the %1 s after %2 ends early (at "
                                "%3 s into the clip)")
                     .arg((to - from) / 1000.0, 0, 'f', 1)
                     .arg(path)
                     .arg(clipMs / 1000.0, 0, 'f', 1);
    }
    outcome->notes = notes;
    std::vector<int> leftOut;
    const Trip trip = SpanTrip(held, tracks, request.zones, clock, &leftOut);
    for (int n : leftOut)
        outcome->positionsLeftOut += n;
    const QByteArray route[] = {GpxDocument(trip, base), CsvPoints(trip)};

    // The route's files go to disk (each synced, a wait on the disk) while
    // the clip is hashed (work for the processor), and that while the
    // sources' hashes may still be running.
    BackgroundJob routeJob;
    QString routeError;
    routeJob.Start(
        [&files, &route](JobControl&) -> QString {
            for (int i = 0; i < 2; ++i) {
                const auto file = ClipBundleFiles::File(ClipBundleFiles::kGpx + i);
                QString why;
                if (!files.Pending(file).WriteAll(route[i], &why))
                    return files.Finals()[file] + ": " + why;
            }
            return {};
        },
        [&routeError](QString why) { routeError = std::move(why); });
    const QByteArray clipHash = FileSha256(job.path);
    routeJob.Wait();
    if (!routeError.isEmpty())
        return fail(routeError);
    if (clipHash.isEmpty())
        return fail(files.Finals()[ClipBundleFiles::kClip] + ": cannot be read back");
    if (!files.Pending(ClipBundleFiles::kClip).Sync(&error))
        return fail(files.Finals()[ClipBundleFiles::kClip] + ": " + error);
    // A source that changed while the clip was made is not what was hashed.
    if (!sourceHashes.Unchanged(&error))
        return fail(error);
    const QHash<QString, SourceState>& states = sourceHashes.Wait();
    QJsonArray sources;
    for (size_t i = 0; i < held.size(); ++i) {
        const ClipPiece& piece = held[i];
        for (const auto& [path, camera] : ShownSources(piece, job.options.layout)) {
            // The second camera's picture may end elsewhere than the first's.
            ClipPiece shown = piece;
            if (camera == QLatin1String("rear") && i < result.rearEndsMs.size())
                shown.outMs = std::clamp(result.rearEndsMs[i], piece.inMs, piece.outMs);
            QJsonObject entry;
            if (!SourceEntry(path, states.value(path), camera, shown, clock.pieceClocks[i], &entry,
                             &error))
                return fail(error);
            // The pair shares one GPS track: each names what its span lost.
            entry["positionsLeftOut"] = leftOut[i];
            sources.append(entry);
        }
    }
    const size_t last = held.size() - 1;
    QJsonObject manifest;
    manifest["program"] = "Halvex";
    manifest["version"] = HALVEX_VERSION;
    manifest["clock"] = ClockEntry(clock);
    manifest["marks"] =
        Span(clock, pieces.size() - 1, request.fromMs - pieces.front().source.startMs,
             request.toMs - pieces.back().source.startMs, request.toMs - request.fromMs);
    QJsonObject span = Span(clock, last, held.front().inMs, held.back().outMs, heldMs);
    if (!gaps.isEmpty())
        span["gaps"] = gaps;
    manifest["span"] = span;
    manifest["choices"] = Choices(job.options, outcome->fastPath, int(request.zones.size()),
                                  outcome->positionsLeftOut);
    manifest["sources"] = sources;
    QJsonObject clip;
    clip["file"] = base + ".mp4";
    clip["size"] = double(files.Pending(ClipBundleFiles::kClip).Size());
    clip["sha256"] = QString::fromLatin1(clipHash);
    clip["frames"] = double(lengths.frames);
    clip["pictureMs"] = double(lengths.videoMs);
    clip["sound"] = lengths.sound;
    if (lengths.sound)
        clip["soundMs"] = double(lengths.soundMs);
    else
        clip["soundLeftOut"] =
            job.options.sound ? result.soundNote : QStringLiteral("not asked for");
    manifest["clip"] = clip;
    if (!notes.isEmpty())
        manifest["notes"] = QJsonArray::fromStringList(notes);
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
