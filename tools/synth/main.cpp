// halvex-synth: writes camera recordings (real H.264 through ffmpeg, plus the
// camera's GPS and G-sensor data) for tests, benchmarks and the demo card.
#include "tools/synth/BaseVideo.h"
#include "tools/synth/DemoCard.h"
#include "tools/synth/Drive.h"
#include "tools/synth/RecordingWriter.h"
#include "tools/synth/TripsCard.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>

namespace {

const char* kUsage = R"(Usage:
  halvex-synth demo-card DIR      write a demo memory card below DIR
  halvex-synth trips-card DIR     write a card of several days of trips below DIR
  halvex-synth file [options] OUT write one recording to OUT

The GPS route and G-sensor samples of "file" come from a drive through
central Tokyo (see --drive-offset) unless --route-csv or --no-gps /
--no-gsensor say otherwise. Lines of a route CSV:
  latitude,longitude,speed_kmh,heading_degrees[,flags[,altitude]]
in decimal degrees; one line per GPS record.)";

int Fail(const QString& message) {
    std::fprintf(stderr, "halvex-synth: %s\n", qPrintable(message));
    return 1;
}

std::optional<std::vector<synth::Fix>> ReadRouteCsv(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = "cannot read " + path;
        return std::nullopt;
    }
    std::vector<synth::Fix> fixes;
    QTextStream in(&file);
    for (int line = 1; !in.atEnd(); ++line) {
        const QString text = in.readLine().trimmed();
        if (text.isEmpty() || text.startsWith('#'))
            continue;
        const QStringList f = text.split(',');
        bool ok[6] = {f.size() >= 4, true, true, true, true, true};
        synth::Fix fix;
        if (ok[0]) {
            fix.latitude = f[0].toDouble(&ok[0]);
            fix.longitude = f[1].toDouble(&ok[1]);
            fix.speedKmh = f[2].toInt(&ok[2]);
            fix.headingDegrees = f[3].toDouble(&ok[3]);
        }
        if (f.size() > 4)
            fix.flags = uint8_t(f[4].toUInt(&ok[4], 0));
        if (f.size() > 5)
            fix.altitude = f[5].toInt(&ok[5]);
        if (!(ok[0] && ok[1] && ok[2] && ok[3] && ok[4] && ok[5])) {
            *error = QString("%1:%2: expected latitude,longitude,speed,heading[,flags[,altitude]]")
                         .arg(path)
                         .arg(line);
            return std::nullopt;
        }
        fixes.push_back(fix);
    }
    return fixes;
}

struct Options {
    QCommandLineOption kind{"kind", "avi, mov-boxes (default) or mov-track.", "KIND", "mov-boxes"};
    QCommandLineOption duration{"duration", "Length in seconds (default 10).", "SECONDS", "10"};
    QCommandLineOption size{"size", "Frame size (default 640x360).", "WxH", "640x360"};
    QCommandLineOption fps{"fps", "Frame rate (default 30).", "N", "30"};
    QCommandLineOption noAudio{"no-audio", "No sound track."};
    QCommandLineOption pattern{"pattern", "ffmpeg test source (default testsrc2).", "NAME",
                               "testsrc2"};
    QCommandLineOption start{"start", "Camera clock at the first frame, local time.",
                             "YYYY-MM-DD HH:MM:SS", "2021-07-04 18:30:05"};
    QCommandLineOption noDateText{"no-date-text", "No IDIT date text (chunk data)."};
    QCommandLineOption gpsShift{"gps-shift",
                                "GPS time minus the camera clock, seconds (default 0; chunk "
                                "data; -32400 for a camera set to Japan time).",
                                "SECONDS", "0"};
    QCommandLineOption gpsRate{"gps-rate", "GPS records a second (default 1; chunk data).", "N",
                               "1"};
    QCommandLineOption gsensorRate{"gsensor-rate", "G-sensor samples a second (default 10).", "N",
                                   "10"};
    QCommandLineOption gsensorScale{"gsensor-scale", "G-sensor scale value (default 8).", "N", "8"};
    QCommandLineOption driveOffset{"drive-offset", "Seconds into the Tokyo drive (default 0).",
                                   "SECONDS", "0"};
    QCommandLineOption routeCsv{"route-csv", "GPS records from a CSV file.", "FILE"};
    QCommandLineOption noGps{"no-gps", "No GPS records."};
    QCommandLineOption noGsensor{"no-gsensor", "No G-sensor samples."};
    QCommandLineOption noFix{"no-fix", "Records without a valid position fix."};
    QCommandLineOption lock{"lock", "none (default), event or hand.", "STATE", "none"};
    QCommandLineOption attributes{"attributes", "File attribute bits (1 read-only, 0x20 archive).",
                                  "BITS"};
    QCommandLineOption cache{"cache", "Folder for the encoded base videos.", "DIR"};
    QCommandLineOption noMarker{"no-marker", "Damage: without the camera's marker."};
    QCommandLineOption metaTrackFirst{"meta-track-first",
                                      "Damage: metadata track before the video track."};
    QCommandLineOption cutInMedia{"cut-in-media", "Damage: file ends inside the media data."};
    QCommandLineOption truncateTo{"truncate-to", "Damage: cut the file to N bytes.", "N"};
    QCommandLineOption gpsExtra{"gps-extra-bytes", "Damage: junk bytes after the GPS records.", "N",
                                "0"};
    QCommandLineOption gsensorExtra{"gsensor-extra-bytes",
                                    "Damage: junk bytes after the G-sensor samples.", "N", "0"};
    QCommandLineOption gpsOverstated{
        "gps-size-overstated", "Damage: GPS block declares N bytes more than it holds.", "N", "0"};
    QCommandLineOption dateText{"date-text", "Damage: this IDIT text instead of the start.",
                                "TEXT"};

    void AddTo(QCommandLineParser& p) const {
        for (const QCommandLineOption* o :
             {&kind,           &duration,    &size,       &fps,      &noAudio,
              &pattern,        &start,       &noDateText, &gpsRate,  &gsensorRate,
              &gsensorScale,   &driveOffset, &routeCsv,   &noGps,    &noGsensor,
              &noFix,          &lock,        &attributes, &cache,    &noMarker,
              &metaTrackFirst, &cutInMedia,  &truncateTo, &gpsExtra, &gsensorExtra,
              &gpsOverstated,  &dateText,    &gpsShift})
            p.addOption(*o);
    }
};

std::optional<synth::RecordingRecipe> RecipeFrom(const QCommandLineParser& p, const Options& o,
                                                 QString* error) {
    using namespace synth;
    RecordingRecipe recipe;
    const QString kind = p.value(o.kind);
    if (kind == "avi")
        recipe.container = Container::Avi;
    else if (kind == "mov-boxes")
        recipe.container = Container::MovBoxes;
    else if (kind == "mov-track")
        recipe.container = Container::MovTrack;
    else
        return *error = "unknown --kind " + kind, std::nullopt;
    bool ok = true;
    auto number = [&](const QCommandLineOption& opt) {
        bool good = false;
        const double v = p.value(opt).toDouble(&good);
        if (!good && ok)
            *error = "--" + opt.names().first() + " needs a number";
        ok = ok && good;
        return v;
    };
    const double seconds = number(o.duration);
    recipe.durationMs = int(seconds * 1000);
    const QStringList wh = p.value(o.size).split('x');
    recipe.frameSize = wh.size() == 2 ? QSize(wh[0].toInt(), wh[1].toInt()) : QSize();
    recipe.frameRate = int(number(o.fps));
    recipe.audio = !p.isSet(o.noAudio);
    recipe.pattern = p.value(o.pattern);
    recipe.start = QDateTime::fromString(p.value(o.start), "yyyy-MM-dd HH:mm:ss");
    recipe.dateText = !p.isSet(o.noDateText);
    recipe.gpsRate = int(number(o.gpsRate));
    recipe.gpsTimeShiftSeconds = int(number(o.gpsShift));
    recipe.gsensorRate = int(number(o.gsensorRate));
    recipe.gsensorScale = int(number(o.gsensorScale));
    const double offset = number(o.driveOffset);
    recipe.faults.gpsExtraBytes = int(number(o.gpsExtra));
    recipe.faults.gsensorExtraBytes = int(number(o.gsensorExtra));
    recipe.faults.gpsSizeOverstated = uint32_t(number(o.gpsOverstated));
    if (p.isSet(o.truncateTo))
        recipe.faults.truncateTo = int64_t(number(o.truncateTo));
    if (!ok)
        return std::nullopt;
    if (recipe.frameSize.isEmpty())
        return *error = "--size needs WxH", std::nullopt;
    if (!recipe.start.isValid())
        return *error = "--start needs YYYY-MM-DD HH:MM:SS", std::nullopt;
    if (recipe.gpsRate < 1 || recipe.gpsRate > 255 || recipe.gsensorRate < 1 ||
        recipe.gsensorRate > 255)
        return *error = "rates must be 1 to 255", std::nullopt;

    const QString lock = p.value(o.lock);
    if (lock == "event")
        recipe.lock = Lock::Event;
    else if (lock == "hand")
        recipe.lock = Lock::Hand;
    else if (lock != "none")
        return *error = "unknown --lock " + lock, std::nullopt;
    if (p.isSet(o.attributes)) {
        const unsigned bits = p.value(o.attributes).toUInt(&ok, 0);
        if (!ok)
            return *error = "--attributes needs a number", std::nullopt;
        recipe.attributes = bits;
    }

    const bool track = recipe.container == Container::MovTrack;
    const int gpsRate = track ? kTrackRecordRate : recipe.gpsRate;
    const int gsensorRate = track ? kTrackRecordRate : recipe.gsensorRate;
    const Drive drive(TokyoRoute());
    if (p.isSet(o.routeCsv)) {
        auto fixes = ReadRouteCsv(p.value(o.routeCsv), error);
        if (!fixes)
            return std::nullopt;
        recipe.fixes = std::move(*fixes);
    } else if (!p.isSet(o.noGps)) {
        recipe.fixes = drive.Fixes(offset, int(seconds * gpsRate), gpsRate);
    }
    if (p.isSet(o.noFix))
        for (Fix& f : recipe.fixes)
            f.flags &= ~GpsPoint::kFixFlag;
    if (!p.isSet(o.noGsensor))
        recipe.gsensor = drive.Samples(offset, int(seconds * gsensorRate), gsensorRate);

    recipe.faults.noMarker = p.isSet(o.noMarker);
    recipe.faults.metaTrackFirst = p.isSet(o.metaTrackFirst);
    recipe.faults.cutInMedia = p.isSet(o.cutInMedia);
    if (p.isSet(o.dateText))
        recipe.faults.dateText = p.value(o.dateText).toLatin1() + QByteArray(1, '\0');
    return recipe;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("halvex-synth");
    QCommandLineParser parser;
    parser.setApplicationDescription(kUsage);
    parser.addHelpOption();
    parser.addPositionalArgument("command", "demo-card, trips-card or file.");
    parser.addPositionalArgument("target", "Folder of the card, or the recording to write.");
    const Options options;
    options.AddTo(parser);
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    if (args.size() != 2)
        return Fail("expected a command and a target; see --help");
    if (parser.isSet(options.cache))
        synth::SetCacheFolder(parser.value(options.cache));

    QString error;
    if (args[0] == "demo-card") {
        const bool ok = synth::WriteDemoCard(args[1], &error, [](const QString& path) {
            std::printf("%s\n", qPrintable(path));
            std::fflush(stdout);
        });
        return ok ? 0 : Fail(error);
    }
    if (args[0] == "trips-card") {
        const bool ok = synth::WriteTripsCard(args[1], &error, [](const QString& path) {
            std::printf("%s\n", qPrintable(path));
            std::fflush(stdout);
        });
        return ok ? 0 : Fail(error);
    }
    if (args[0] == "file") {
        const auto recipe = RecipeFrom(parser, options, &error);
        if (!recipe)
            return Fail(error);
        return synth::WriteRecording(*recipe, args[1], &error) ? 0 : Fail(error);
    }
    return Fail("unknown command " + args[0] + "; see --help");
}
