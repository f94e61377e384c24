#include "CliIndex.h"

#include "CliArgs.h"
#include "CliCommands.h"
#include "CliJson.h"
#include "CliText.h"
#include "cardindex/CardIndex.h"
#include "library/LibraryLayout.h"
#include "presenter/FigureTexts.h"
#include "recordings/RecordingCatalog.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace CliIndex {

const char kTripsUsage[] =
    "Usage: halvex-cli trips [--json] [--no-cache] FOLDER\n"
    "Indexes the recordings below FOLDER and prints its trips (recordings with\n"
    "gaps of at most 5 minutes; a front/rear pair once): local date, start and\n"
    "end, start and end position, distance, duration, moving time (above\n"
    "3 km/h), maximum and average moving speed, driving events; then the totals\n"
    "of each day. The index is kept in $XDG_CACHE_HOME/halvex (a library made by\n"
    "'halvex-cli import' keeps its own inside it), so the next run reads only\n"
    "the recordings that changed; --no-cache reads them all. FOLDER may be a\n"
    "card or a library.\n";

const char kEventsUsage[] =
    "Usage: halvex-cli events [--json] [--no-cache] FOLDER\n"
    "Prints the driving events of the recordings below FOLDER: harsh braking,\n"
    "harsh acceleration and sharp cornering (0.4 g held 200 ms), impacts\n"
    "(1.5 g above gravity), braking seen in the speed alone where a recording\n"
    "has no G-sensor data (12 km/h within a second), and the camera's event\n"
    "recordings; each with its local time, place, peak, recording and offset.\n";

const char kNearUsage[] =
    "Usage: halvex-cli near LAT,LON [--radius M] [--json] [--no-cache] FOLDER\n"
    "Lists every recording below FOLDER that passes within M metres (default\n"
    "50) of the place (decimal degrees, south and west negative), nearest\n"
    "first, with the local time and offset of its closest approach.\n";

namespace {

struct Options {
    bool json = false;
    bool noCache = false;
    QString folder;
    bool hasPlace = false;
    double latitude = 0, longitude = 0;
    double radius = 50;
};

FILE* g_out = stdout;
void (*g_write)(FILE*, const QByteArray&) = nullptr;

void Print(FILE* stream, const QString& text) {
    g_write(stream, text.toLocal8Bit());
}

int Fail(const QString& message) {
    Print(stderr, "halvex-cli: " + CliText::Printable(message) + "\n");
    return CliCommands::kBadInput;
}

const char* UsageOf(const QString& command) {
    return command == "trips" ? kTripsUsage : command == "events" ? kEventsUsage : kNearUsage;
}

int UsageError(const QString& command, const QString& message) {
    Print(stderr,
          "halvex-cli " + command + ": " + CliText::Printable(message) + "\n" + UsageOf(command));
    return CliCommands::kBadUsage;
}

bool ParsePlace(const QString& text, double* latitude, double* longitude) {
    const QStringList parts = text.split(',');
    if (parts.size() != 2)
        return false;
    bool okLat = false, okLon = false;
    *latitude = parts[0].trimmed().toDouble(&okLat);
    *longitude = parts[1].trimmed().toDouble(&okLon);
    return okLat && okLon && std::abs(*latitude) <= 90 && std::abs(*longitude) <= 180;
}

// A negative number ("-33.8,151.2") is a value, not an option.
bool LooksLikeOption(const QString& arg) {
    return arg.startsWith('-') && arg.size() > 1 && !arg[1].isDigit() && arg[1] != '.';
}

// Returns -1 to go on, or the exit code to stop with.
int Parse(const QString& command, const QStringList& args, Options* o) {
    const bool near = command == "near";
    QStringList positional;
    const auto option = [&](const QString& arg, int* next) {
        if (arg == "--json") {
            o->json = true;
        } else if (arg == "--no-cache") {
            o->noCache = true;
        } else if (near && arg == "--radius") {
            if (*next == args.size())
                return UsageError(command, "--radius needs a distance in metres");
            const QString& value = args[(*next)++];
            bool ok = false;
            o->radius = value.toDouble(&ok);
            if (!ok || !(o->radius > 0) || !std::isfinite(o->radius))
                return UsageError(command,
                                  "--radius needs a distance in metres above 0, not " + value);
        } else {
            return UsageError(command, "unknown option " + arg);
        }
        return -1;
    };
    const int code = CliArgs::Walk(
        args, LooksLikeOption, option,
        [&](const QString& arg) {
            positional.push_back(arg);
            return -1;
        },
        [&] { Print(g_out, UsageOf(command)); });
    if (code >= 0)
        return code;
    if (near) {
        if (positional.isEmpty())
            return UsageError(command, "missing place LAT,LON");
        if (!ParsePlace(positional.front(), &o->latitude, &o->longitude))
            return UsageError(command, "not a place in decimal degrees: " + positional.front());
        o->hasPlace = true;
        positional.pop_front();
    }
    if (positional.isEmpty())
        return UsageError(command, "missing folder");
    if (positional.size() > 1)
        return UsageError(command, "unexpected argument " + positional[1]);
    o->folder = positional.front();
    return -1;
}

QString LocalText(int64_t utcMs) {
    return utcMs ? QDateTime::fromMSecsSinceEpoch(utcMs, Qt::LocalTime)
                       .toString("yyyy-MM-dd HH:mm:ss")
                 : QStringLiteral("unknown");
}

// With the zone's offset written out, so that a reader elsewhere gets the instant.
QString LocalIso(int64_t utcMs) {
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(utcMs, Qt::LocalTime);
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

QString Place(bool known, double latitude, double longitude) {
    return known ? QStringLiteral("%1,%2").arg(latitude, 0, 'f', 6).arg(longitude, 0, 'f', 6)
                 : QStringLiteral("-");
}

QString Pad(const QString& text, int width) {
    return text.leftJustified(width) + ' ';
}

const char* KindName(DrivingEventKind kind) {
    switch (kind) {
    case DrivingEventKind::HarshBraking:
        return "harsh braking";
    case DrivingEventKind::HarshAcceleration:
        return "harsh acceleration";
    case DrivingEventKind::SharpCornering:
        return "sharp cornering";
    case DrivingEventKind::Impact:
        return "impact";
    case DrivingEventKind::SpeedOnlyBraking:
        return "braking (speed)";
    case DrivingEventKind::CameraEvent:
        return "camera event";
    }
    return "";
}

QString PeakText(const DrivingEvent& e, const FigureTexts& figures) {
    return e.kind == DrivingEventKind::SpeedOnlyBraking
               ? figures.SpeedChange(e.peak)
               : QStringLiteral("%1 g").arg(e.peak, 0, 'f', 2);
}

struct Indexed {
    QString root; // the folder as scanned, for relative names
    CardIndex index;
};

// Scans like 'scan' and indexes; an exit code when the folder cannot be read.
int Build(const Options& o, Indexed* out) {
    if (!QFileInfo(o.folder).isDir())
        return Fail(o.folder + ": no such folder");
    RecordingCatalog catalog;
    catalog.Open(o.folder);
    QString note;
    // A library keeps its card index inside, beside what it indexes.
    const QString cache = o.noCache ? QString()
                          : LibraryLayout::IsLibrary(o.folder)
                              ? LibraryLayout::CardIndexFolder(o.folder)
                              : CardIndex::DefaultCacheFolder();
    out->index.Build(catalog.Files(), cache, {}, &note);
    if (!note.isEmpty())
        Print(stderr, "halvex-cli: " + CliText::Printable(note) + "\n");
    out->root = catalog.Files().empty() ? QString() : catalog.Files().front().root;
    return -1;
}

QString Relative(const Indexed& x, int recording) {
    const QString& path = x.index.Recordings()[size_t(recording)].path;
    return CliText::Printable(path.startsWith(x.root) ? path.mid(x.root.size()) : path);
}

void PrintJson(const QJsonObject& object) {
    g_write(g_out, CliJson::EscapeControls(QJsonDocument(object).toJson()));
}

int Trips(const Options& o) {
    Indexed x;
    if (const int code = Build(o, &x); code >= 0)
        return code;
    const std::vector<TripSummary> trips = x.index.Trips();
    const std::vector<DayTotals> days = x.index.Days();
    if (o.json) {
        QJsonArray list;
        for (const TripSummary& t : trips) {
            QJsonArray files;
            for (int r : t.recordings)
                files.append(x.index.Recordings()[size_t(r)].path);
            QJsonObject trip{{"number", t.number},
                             {"start", LocalIso(t.startUtcMs)},
                             {"end", LocalIso(t.endUtcMs)},
                             {"startUtcMs", double(t.startUtcMs)},
                             {"endUtcMs", double(t.endUtcMs)},
                             {"distanceM", std::round(t.distanceM * 10) / 10},
                             {"durationMs", double(t.durationMs)},
                             {"movingMs", double(t.movingMs)},
                             {"maxKmh", t.maxKmh},
                             {"averageMovingKmh", std::round(t.averageMovingKmh * 10) / 10},
                             {"events", t.eventCount},
                             {"recordings", files}};
            if (t.hasPositions) {
                trip["startPosition"] = QJsonArray{t.startLatitude, t.startLongitude};
                trip["endPosition"] = QJsonArray{t.endLatitude, t.endLongitude};
            }
            list.append(trip);
        }
        QJsonArray dayList;
        for (const DayTotals& d : days) {
            QJsonArray numbers;
            for (int n : d.trips)
                numbers.append(n);
            dayList.append(QJsonObject{{"date", d.date.toString(Qt::ISODate)},
                                       {"trips", numbers},
                                       {"distanceM", std::round(d.distanceM * 10) / 10},
                                       {"durationMs", double(d.durationMs)},
                                       {"movingMs", double(d.movingMs)},
                                       {"events", d.eventCount}});
        }
        PrintJson({{"folder", QFileInfo(o.folder).absoluteFilePath()},
                   {"recordings", int(x.index.Recordings().size())},
                   {"trips", list},
                   {"days", dayList}});
        return CliCommands::kDone;
    }
    // Figures as the viewer writes them, in its km/h or mph.
    const FigureTexts figures = FigureTexts::OfViewer();
    QString text = Pad("Trip", 5) + Pad("Start", 19) + Pad("End", 8) + Pad("Distance", 10) +
                   Pad("Duration", 8) + Pad("Moving", 8) + Pad("Max", 9) + Pad("Average", 9) +
                   Pad("Events", 6) + Pad("From", 22) + "To\n";
    for (const TripSummary& t : trips) {
        text += Pad(QString::number(t.number), 5) + Pad(LocalText(t.startUtcMs), 19) +
                Pad(LocalText(t.endUtcMs).mid(11), 8) + Pad(figures.Distance(t.distanceM), 10) +
                Pad(FigureTexts::Duration(t.durationMs), 8) +
                Pad(FigureTexts::Duration(t.movingMs), 8) + Pad(figures.Speed(t.maxKmh), 9) +
                Pad(figures.Speed(t.averageMovingKmh), 9) + Pad(QString::number(t.eventCount), 6) +
                Pad(Place(t.hasPositions, t.startLatitude, t.startLongitude), 22) +
                Place(t.hasPositions, t.endLatitude, t.endLongitude) + "\n";
    }
    for (const DayTotals& d : days)
        text +=
            QStringLiteral("%1: %2, %3, %4 driving, %5 moving, %6\n")
                .arg(d.date.toString(Qt::ISODate), CliText::Counted(qint64(d.trips.size()), "trip"),
                     figures.Distance(d.distanceM), FigureTexts::Duration(d.durationMs),
                     FigureTexts::Duration(d.movingMs), CliText::Counted(d.eventCount, "event"));
    text += QStringLiteral("%1 from %2\n")
                .arg(CliText::Counted(qint64(trips.size()), "trip"),
                     CliText::Counted(qint64(x.index.Recordings().size()), "recording"));
    Print(g_out, text);
    return CliCommands::kDone;
}

int Events(const Options& o) {
    Indexed x;
    if (const int code = Build(o, &x); code >= 0)
        return code;
    const std::vector<DrivingEvent> events = x.index.Events();
    if (o.json) {
        QJsonArray list;
        for (const DrivingEvent& e : events) {
            QJsonObject event{
                {"kind", KindName(e.kind)},
                {"time", e.utcMs ? QJsonValue(LocalIso(e.utcMs)) : QJsonValue()},
                {"utcMs", double(e.utcMs)},
                {"peak", std::round(e.peak * 1000) / 1000},
                {"peakUnit", e.kind == DrivingEventKind::SpeedOnlyBraking ? "km/h/s" : "g"},
                {"recording", x.index.Recordings()[size_t(e.recording)].path},
                {"offsetMs", double(e.offsetMs)}};
            if (e.hasPosition)
                event["position"] = QJsonArray{e.latitude, e.longitude};
            list.append(event);
        }
        PrintJson({{"folder", QFileInfo(o.folder).absoluteFilePath()}, {"events", list}});
        return CliCommands::kDone;
    }
    QString text = Pad("Time", 19) + Pad("Kind", 18) + Pad("Peak", 12) + Pad("Position", 22) +
                   "Recording (offset)\n";
    const FigureTexts figures = FigureTexts::OfViewer();
    for (const DrivingEvent& e : events)
        text += Pad(LocalText(e.utcMs), 19) + Pad(KindName(e.kind), 18) +
                Pad(PeakText(e, figures), 12) +
                Pad(Place(e.hasPosition, e.latitude, e.longitude), 22) + Relative(x, e.recording) +
                QStringLiteral(" (+%1 s)\n").arg(e.offsetMs / 1000.0, 0, 'f', 1);
    text += CliText::Counted(qint64(events.size()), "event") + "\n";
    Print(g_out, text);
    return CliCommands::kDone;
}

int Near(const Options& o) {
    Indexed x;
    if (const int code = Build(o, &x); code >= 0)
        return code;
    const std::vector<NearHit> hits = x.index.Near(o.latitude, o.longitude, o.radius);
    if (o.json) {
        QJsonArray list;
        for (const NearHit& h : hits)
            list.append(QJsonObject{{"recording", x.index.Recordings()[size_t(h.recording)].path},
                                    {"time", LocalIso(h.utcMs)},
                                    {"utcMs", double(h.utcMs)},
                                    {"offsetMs", double(h.offsetMs)},
                                    {"distanceM", std::round(h.distanceM * 10) / 10}});
        PrintJson({{"place", QJsonArray{o.latitude, o.longitude}},
                   {"radiusM", o.radius},
                   {"hits", list}});
        return CliCommands::kDone;
    }
    QString text = Pad("Time", 19) + Pad("Distance", 9) + "Recording (offset)\n";
    for (const NearHit& h : hits)
        text += Pad(LocalText(h.utcMs), 19) + Pad(FigureTexts::Metres(h.distanceM), 9) +
                Relative(x, h.recording) +
                QStringLiteral(" (+%1 s)\n").arg(h.offsetMs / 1000.0, 0, 'f', 1);
    text += QStringLiteral("%1 within %2 m\n")
                .arg(CliText::Counted(qint64(hits.size()), "recording"))
                .arg(o.radius);
    Print(g_out, text);
    return CliCommands::kDone;
}

} // namespace

int Run(const QString& command, const QStringList& arguments, FILE* out,
        void (*write)(FILE*, const QByteArray&)) {
    g_out = out;
    g_write = write;
    Options options;
    if (const int code = Parse(command, arguments, &options); code >= 0)
        return code;
    if (command == "trips")
        return Trips(options);
    if (command == "events")
        return Events(options);
    return Near(options);
}

} // namespace CliIndex
