#include "CliClip.h"

#include "ProgressLine.h"
#include "clip/ClipBundleFiles.h"
#include "clip/ClipExport.h"
#include "clip/ClipSources.h"
#include "clip/ClipSpan.h"
#include "recordings/LocalTimeText.h"
#include "recordings/RecordingCatalog.h"
#include "settings/AppSettings.h"
#include "tools/cli/CliArgs.h"
#include "tools/cli/CliCommands.h"
#include "tools/cli/CliPrivacy.h"
#include "tools/cli/CliText.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <limits>

namespace CliClip {

const char kUsage[] =
    "Usage: halvex-cli clip FILE --from TIME --to TIME [OPTIONS]\n"
    "       halvex-cli clip --group GROUP FOLDER --from TIME --to TIME [OPTIONS]\n"
    "Writes the span between the marks as an MP4 clip (H.264, AAC) with its\n"
    "evidence bundle beside it: NAME.gpx, NAME.csv, NAME.json (sources with\n"
    "their SHA-256, span, choices) and NAME.sha256 for 'sha256sum -c'. A group\n"
    "(G2 or 2, as 'scan' lists it) lets the clip run across its recordings.\n"
    "TIME is seconds from the start of the first recording (12.5) or the\n"
    "camera's local time, 'YYYY-MM-DD HH:MM:SS'.\n"
    "\n"
    "  --layout L       front (default), rear, side-by-side, picture-in-picture,\n"
    "                   front-above-rear\n"
    "  --inset CORNER   the rear picture's corner in picture-in-picture:\n"
    "                   top-left, top-right (default), bottom-left, bottom-right\n"
    "  --overlay LIST   burned-in figures, comma-separated: time, speed,\n"
    "                   position, heading, g, map\n"
    "  --no-sound       no sound (default: the front camera's)\n"
    "  --out NAME       the clip's file (.mp4 added); default in the current\n"
    "                   folder, named after the first recording and the start\n"
    "  --overwrite      replace files already under the bundle's names (never\n"
    "                   a source recording)\n"
    "\n"
    "One camera without figures is copied without decoding, cut on key frames.\n"
    "Times in the picture and in NAME.json are the camera's clock with the zone\n"
    "measured between it and the GPS time of its records (\"camera clock, zone\n"
    "unknown\" without GPS time), the same on every computer. Where the clip\n"
    "holds less than the marks ask for (a recording cut short, sound that cannot\n"
    "be encoded) a warning names the file, and NAME.json records what it holds.\n"
    "Inside the privacy zones of the settings file ([PRIVACY] of Halvex.ini)\n"
    "the picture shows no position, speed, heading or car on the map, and the\n"
    "GPX and CSV leave the points out. Ctrl-C (or a hang-up) cancels; an\n"
    "unfinished clip leaves no file under any name.\n";

namespace {

std::atomic<bool> g_interrupted{false};

void OnInterrupt(int) {
    g_interrupted = true;
}

struct Options {
    QString file;
    int group = -1;
    QString folder;
    QString from, to;
    QString out;
    bool overwrite = false;
    ClipOptions clip;
    CliPrivacy::Choice privacy;
};

void Print(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    fflush(stream);
}

int Fail(const QString& message) {
    Print(stderr, "halvex-cli: " + CliText::Printable(message) + "\n");
    return CliCommands::kBadInput;
}

int UsageError(const QString& message) {
    Print(stderr,
          "halvex-cli clip: " + CliText::Printable(message) + "\n" + kUsage + CliPrivacy::kUsage);
    return CliCommands::kBadUsage;
}

// Returns -1 to go on, or the exit code to stop with.
int Parse(const QStringList& args, FILE* out, Options* o) {
    QStringList positional;
    const auto option = [&](const QString& arg, int* next) {
        if (arg == "--no-sound") {
            o->clip.sound = false;
            return -1;
        }
        if (arg == "--overwrite") {
            o->overwrite = true;
            return -1;
        }
        if (arg == "--group") {
            o->group = 0; // the number comes with the positional arguments
            return -1;
        }
        if (const int code = CliPrivacy::TakeOption(arg, args, next, &o->privacy, UsageError);
            code != -2)
            return code;
        const QStringList valued = {"--from", "--to", "--layout", "--inset", "--overlay", "--out"};
        if (!valued.contains(arg))
            return UsageError("unknown option " + arg);
        if (*next == args.size())
            return UsageError(arg + " needs a value");
        const QString& value = args[(*next)++];
        if (arg == "--from") {
            o->from = value;
        } else if (arg == "--to") {
            o->to = value;
        } else if (arg == "--out") {
            QString why;
            if (!CliArgs::ArrivedAsUtf8(value))
                return UsageError("--out: the name is not valid UTF-8");
            if (!CheckClipOutputName(value, &why))
                return UsageError("--out: " + why);
            o->out = value;
        } else if (arg == "--layout") {
            if (!LayoutFromName(value, &o->clip.layout))
                return UsageError("unknown layout " + value);
        } else if (arg == "--inset") {
            if (!CornerFromName(value, &o->clip.insetCorner))
                return UsageError("unknown corner " + value);
        } else {
            // Each figure alone, so that the one not known can be named.
            o->clip.overlays = 0;
            for (const QString& part : value.split(',', Qt::SkipEmptyParts)) {
                uint32_t one = 0;
                if (!OverlaysFromText(part, &one))
                    return UsageError("unknown figure: " + part.trimmed() +
                                      " (known: time, speed, position, heading, g, map)");
                o->clip.overlays |= one;
            }
        }
        return -1;
    };
    const int code = CliArgs::Walk(
        args, [](const QString& arg) { return arg != "-" && arg.startsWith('-'); }, option,
        [&](const QString& arg) {
            positional << arg;
            return -1;
        },
        [&] { Print(out, QString(kUsage) + CliPrivacy::kUsage); });
    if (code >= 0)
        return code;
    if (o->group >= 0) {
        if (positional.size() != 2)
            return UsageError("--group needs a group (G2 or 2) and a folder");
        const CliArgs::GroupText read = CliArgs::ParseGroup(positional[0], &o->group);
        if (read == CliArgs::GroupText::TooLarge)
            return UsageError("--group: " + positional[0] + " is out of range");
        if (read != CliArgs::GroupText::Read)
            return UsageError("--group needs a group (G2 or 2) and a folder, not " + positional[0]);
        o->folder = positional[1];
    } else if (positional.size() != 1) {
        return UsageError(positional.isEmpty() ? "missing argument" : "one recording only");
    } else {
        o->file = positional[0];
    }
    if (o->from.isEmpty() || o->to.isEmpty())
        return UsageError("--from and --to are needed");
    return -1;
}

int SourcesOfFile(const QString& path, std::vector<ClipSource>* sources) {
    RecordingFile file;
    if (const int code = CliCommands::ReadNamedRecording(path, &file); code >= 0)
        return code;
    sources->push_back(ClipSourceOf(file, QFileInfo(path).absoluteFilePath()));
    return -1;
}

int SourcesOfGroup(const Options& o, std::vector<ClipSource>* sources) {
    if (!QFileInfo(o.folder).isDir())
        return Fail(o.folder + ": no such folder");
    RecordingCatalog catalog;
    catalog.Open(o.folder);
    if (size_t(o.group) >= catalog.Groups().size())
        return Fail(QStringLiteral("%1: no group %2").arg(o.folder).arg(o.group));
    *sources = ClipSourcesOfCatalog(catalog, o.group);
    return -1;
}

// Past this many seconds from the start the milliseconds would overflow; no
// card holds a recording that long.
constexpr double kMaxSeconds = 1e9;

// What ParseTime reads, for a time it cannot.
const char kTimeForms[] =
    "; give seconds from the start of the first recording (12.5) or the camera's local "
    "time as YYYY-MM-DD HH:MM:SS (2024-05-18 10:00:00, a T in place of the space and "
    "milliseconds after the seconds also taken: 2024-05-18T10:00:00.250)";

// Seconds from the first recording's start, or the camera's local time;
// false with why not.
bool ParseTime(const QString& text, int64_t firstStartMs, int64_t* ms, QString* why) {
    bool number = false;
    const double seconds = text.toDouble(&number);
    if (number) {
        if (!std::isfinite(seconds) || seconds < 0 || seconds > kMaxSeconds) {
            *why = text + " is out of range (0 to 1e9 seconds from the start)";
            return false;
        }
        *ms = firstStartMs + std::llround(seconds * 1000);
        return true;
    }
    static const QRegularExpression pattern(
        R"(^(\d{4})-(\d{2})-(\d{2})[ T](\d{2}):(\d{2}):(\d{2})(?:\.(\d{1,3}))?$)");
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch()) {
        *why = "not a time: " + text + kTimeForms;
        return false;
    }
    int field[6];
    for (int i = 0; i < 6; ++i)
        field[i] = m.captured(i + 1).toInt();
    const bool inRange = field[1] >= 1 && field[1] <= 12 && field[2] >= 1 &&
                         field[2] <= QDate(field[0], field[1], 1).daysInMonth() && field[3] <= 23 &&
                         field[4] <= 59 && field[5] <= 59;
    const int64_t t =
        inRange ? LocalToTime(field[0], field[1], field[2], field[3], field[4], field[5]) : -1;
    if (t == -1) {
        *why = text + " is out of range (not a date and time of the calendar)";
        return false;
    }
    const QString fraction = m.captured(7);
    *ms = t * 1000 + (fraction.isEmpty() ? 0 : (fraction + "00").left(3).toInt());
    return true;
}

// A span that lies before or after the recordings, told with where they
// start and end; "" for a span the recordings reach (gaps between them are
// the export's to tell).
QString OutsideTheRecordings(const std::vector<ClipSource>& sources, int64_t fromMs, int64_t toMs) {
    int64_t first = std::numeric_limits<int64_t>::max(), last = std::numeric_limits<int64_t>::min();
    for (const ClipSource& s : sources) {
        if (s.durationMs <= 0)
            continue;
        first = std::min(first, s.startMs);
        last = std::max(last, s.startMs + s.durationMs);
    }
    if (first > last || toMs <= fromMs)
        return {};
    const char* where = fromMs < first                   ? "starts before"
                        : toMs > last + kSeamToleranceMs ? "ends after"
                                                         : nullptr;
    if (!where)
        return {};
    const auto local = [](int64_t ms) { return FormatLocalTime(ms / 1000, "%Y-%m-%d %H:%M:%S"); };
    return QStringLiteral("the clip %1 the recordings: they run from %2 to %3 (0 to %4 s)")
        .arg(QLatin1String(where), local(first), local(last))
        .arg((last - sources.front().startMs) / 1000.0, 0, 'f', 1);
}

QString DefaultName(const ClipSource& first, int64_t fromMs) {
    const QString name = QFileInfo(first.file.fileName).completeBaseName();
    return name + "_CLIP" + FormatLocalTime(fromMs / 1000, "_%Y_%m_%d_%H-%M-%S") + ".mp4";
}

} // namespace

int Run(const QStringList& arguments, FILE* out) {
    Options o;
    if (const int code = Parse(arguments, out, &o); code >= 0)
        return code;
    std::vector<ClipSource> sources;
    const int code = o.group >= 0 ? SourcesOfGroup(o, &sources) : SourcesOfFile(o.file, &sources);
    if (code >= 0)
        return code;
    if (sources.empty())
        return Fail(o.folder + ": the group holds no recording");
    ClipRequest request;
    request.sources = sources;
    QString why;
    if (!ParseTime(o.from, sources.front().startMs, &request.fromMs, &why))
        return UsageError("--from: " + why);
    if (!ParseTime(o.to, sources.front().startMs, &request.toMs, &why))
        return UsageError("--to: " + why);
    if (const QString outside = OutsideTheRecordings(sources, request.fromMs, request.toMs);
        !outside.isEmpty())
        return Fail(outside);
    request.options = o.clip;
    request.options.speedInMph = AppSettings::Instance().ReadSpeedInMiles();
    if (const int code = CliPrivacy::Load(o.privacy, &request.zones); code >= 0)
        return code;
    request.outputPath =
        ClipOutputPath(o.out.isEmpty() ? DefaultName(sources.front(), request.fromMs) : o.out);
    request.overwrite = o.overwrite;

    g_interrupted = false;
    auto previousInt = std::signal(SIGINT, OnInterrupt);
    auto previousTerm = std::signal(SIGTERM, OnInterrupt);
    // A closed terminal ends the export like Ctrl-C: nothing left behind.
    auto previousHangUp = std::signal(SIGHUP, OnInterrupt);
    QElapsedTimer clock;
    clock.start();
    int lastShown = -1;
    ProgressLine line;
    const auto progress = [&](double done) {
        const int percent = int(done * 100);
        if (percent != lastShown) {
            lastShown = percent;
            const double elapsed = clock.elapsed() / 1000.0;
            const QString left =
                done > 0.02
                    ? QStringLiteral(", %1 s left").arg(std::lround(elapsed * (1 - done) / done))
                    : QString();
            line.Show(QStringLiteral("clip: %1%%2   ").arg(percent).arg(left));
        }
        return !g_interrupted.load();
    };
    // Failures come back as the outcome's text; libav's notes would only
    // crowd the progress line.
    QuietLibavLog();
    ClipOutcome outcome;
    const bool ok = ExportClip(request, progress, &outcome);
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    std::signal(SIGHUP, previousHangUp);
    line.End();
    if (!ok && !outcome.existing.isEmpty()) {
        for (const QString& path : outcome.existing)
            Print(stderr, "halvex-cli: " + CliText::Printable(path) +
                              ": there already; --overwrite replaces it\n");
        return CliCommands::kBadInput;
    }
    if (!ok)
        return Fail(outcome.cancelled ? request.outputPath + ": cancelled, nothing written"
                                      : request.outputPath + ": " + outcome.error);
    if (outcome.fastPath)
        Print(stderr, "clip: copied without decoding; the cut falls on key frames\n");
    for (const QString& note : outcome.notes)
        Print(stderr, "clip: warning: " + CliText::Printable(note) + "\n");
    CliPrivacy::SayLeftOut(request.zones, outcome.positionsLeftOut);
    for (const QString& name : outcome.files)
        Print(out, CliText::Printable(name) + "\n");
    return CliCommands::kDone;
}

} // namespace CliClip
