#include "CliExport.h"

#include "CliArgs.h"
#include "CliCommands.h"
#include "CliPrivacy.h"
#include "CliText.h"
#include "recordings/CsvExport.h"
#include "recordings/GpxExport.h"
#include "recordings/KmlExport.h"
#include "recordings/PrivacyFilter.h"
#include "recordings/RecordingCatalog.h"
#include "recordings/TripExport.h"

#include <QFileInfo>

namespace CliExport {

const char kGpxUsage[] =
    "Usage: halvex-cli gpx FILE... [--out DIR|-] [--privacy FILE|--no-privacy]\n"
    "       halvex-cli gpx --trip GROUP FOLDER [--out DIR|-] [--privacy FILE|--no-privacy]\n"
    "Writes the route of the recordings (one track, one segment per recording)\n"
    "or of group GROUP of FOLDER (G2 or 2, as 'scan' lists it), as GPX 1.1 into\n"
    "DIR (default: the viewer's KML folder) and prints the file's name; with '-'\n"
    "the GPX goes to standard output. Of a front/rear pair only the front file\n"
    "counts. Points inside the privacy zones are left out.\n";

const char kCsvUsage[] =
    "Usage: halvex-cli csv FILE... [--gsensor] [--out DIR|-] [--privacy FILE|--no-privacy]\n"
    "       halvex-cli csv --trip GROUP FOLDER [--gsensor] [--out DIR|-] [...]\n"
    "Writes one CSV row per GPS point (file, UTC time, latitude, longitude,\n"
    "altitude, speed km/h, heading) and, with --gsensor, a second CSV of the\n"
    "G-sensor samples (file, ms from the start, x, y, z in g). With '-' the\n"
    "points CSV goes to standard output, or the samples CSV with --gsensor.\n"
    "Points inside the privacy zones are left out.\n";

namespace {

struct Options {
    QStringList files;
    bool trip = false;
    int group = -1;
    QString folder;
    QString out;
    bool gsensor = false;
    CliPrivacy::Choice privacy;
};

void Print(FILE* stream, const QByteArray& bytes) {
    fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

// Names may hold control characters that would act on the terminal.
int Fail(const QString& message) {
    Print(stderr, ("halvex-cli: " + CliText::Printable(message) + "\n").toLocal8Bit());
    return CliCommands::kBadInput;
}

int UsageError(const QString& command, const QString& message) {
    Print(stderr,
          ("halvex-cli " + command + ": " + CliText::Printable(message) + "\n").toLocal8Bit() +
              (command == "gpx" ? kGpxUsage : kCsvUsage) + CliPrivacy::kUsage);
    return CliCommands::kBadUsage;
}

// Returns -1 to go on, or the exit code to stop with.
int Parse(const QString& command, const QStringList& args, FILE* out, Options* o) {
    QStringList positional;
    const auto option = [&](const QString& arg, int* next) {
        if (arg == "--out") {
            if (*next == args.size())
                return UsageError(command, "--out needs a folder or -");
            o->out = args[(*next)++];
        } else if (arg == "--trip") {
            o->trip = true;
        } else if (arg == "--gsensor" && command == "csv") {
            o->gsensor = true;
        } else if (const int code = CliPrivacy::TakeOption(
                       arg, args, next, &o->privacy,
                       [&](const QString& why) { return UsageError(command, why); });
                   code != -2) {
            return code;
        } else {
            return UsageError(command, "unknown option " + arg);
        }
        return -1;
    };
    const int code = CliArgs::Walk(
        args, [](const QString& arg) { return arg.startsWith('-'); }, option,
        [&](const QString& arg) {
            positional << arg;
            return -1;
        },
        [&] {
            Print(out, command == "gpx" ? kGpxUsage : kCsvUsage);
            Print(out, CliPrivacy::kUsage);
        });
    if (code >= 0)
        return code;
    if (o->trip) {
        if (positional.size() != 2)
            return UsageError(command, "--trip needs a group (G2 or 2) and a folder");
        const CliArgs::GroupText read = CliArgs::ParseGroup(positional[0], &o->group);
        if (read == CliArgs::GroupText::TooLarge)
            return UsageError(command, "--trip: " + positional[0] + " is out of range");
        if (read != CliArgs::GroupText::Read)
            return UsageError(command,
                              "--trip needs a group (G2 or 2) and a folder, not " + positional[0]);
        o->folder = positional[1];
    } else if (positional.isEmpty()) {
        return UsageError(command, "missing argument");
    }
    o->files = positional;
    return -1;
}

// The given recordings, each parsed as the scan would, as one catalog.
int CatalogOfFiles(const QStringList& paths, RecordingCatalog* catalog, std::vector<int>* indices) {
    std::vector<RecordingFile> files;
    for (const QString& path : paths) {
        RecordingFile file;
        if (const int code = CliCommands::ReadNamedRecording(path, &file); code >= 0)
            return code;
        indices->push_back(int(files.size()));
        files.push_back(std::move(file));
    }
    catalog->ListFiles(std::move(files));
    return -1;
}

int CatalogOfGroup(const Options& o, RecordingCatalog* catalog, std::vector<int>* indices) {
    if (!QFileInfo(o.folder).isDir())
        return Fail(o.folder + ": no such folder");
    catalog->Open(o.folder);
    if (size_t(o.group) >= catalog->Groups().size())
        return Fail(QStringLiteral("%1: no group %2").arg(o.folder).arg(o.group));
    const int group = o.group;
    catalog->SetChosenRows([group](int row) { return row == group; });
    catalog->MarkChosenGroups();
    *indices = TripFileIndices(*catalog);
    return -1;
}

} // namespace

int Run(const QString& command, const QStringList& arguments, FILE* out) {
    Options o;
    if (const int code = Parse(command, arguments, out, &o); code >= 0)
        return code;
    RecordingCatalog catalog;
    std::vector<int> indices;
    const int code = o.trip ? CatalogOfGroup(o, &catalog, &indices)
                            : CatalogOfFiles(o.files, &catalog, &indices);
    if (code >= 0)
        return code;
    std::vector<PrivacyZone> zones;
    if (const int code = CliPrivacy::Load(o.privacy, &zones); code >= 0)
        return code;
    Trip trip;
    QString failed;
    if (!LoadTrip(catalog, indices, &trip, &failed))
        return Fail(failed.isEmpty() ? QStringLiteral("no recording with a track to export")
                                     : failed + ": cannot read its track");
    // The G-sensor samples give no place away and stay whole.
    const int leftOut = LeaveOutPrivatePoints(&trip, zones);

    const bool wholeTrip = o.trip || indices.size() > 1;
    const TripFormat format = command == "gpx" ? TripFormat::Gpx : TripFormat::Csv;
    if (o.out == "-") {
        if (format == TripFormat::Gpx)
            Print(out, GpxDocument(trip, TripBaseName(trip, wholeTrip)));
        else
            Print(out, o.gsensor ? CsvSamples(trip) : CsvPoints(trip));
        CliPrivacy::SayLeftOut(zones, leftOut);
        return CliCommands::kDone;
    }
    const QString folder = o.out.isEmpty() ? KmlFolder() : o.out;
    if (!folder.isEmpty() && !QFileInfo(folder).isDir() && !CreateFolderPath(folder))
        return Fail(folder + ": cannot create the folder");
    QStringList written;
    QString error;
    const bool ok = WriteTrip(trip, format, o.gsensor, wholeTrip, folder, &written, &error);
    if (!ok)
        return Fail((written.isEmpty() ? folder : written.last()) + ": cannot write the file" +
                    (error.isEmpty() ? QString() : ": " + error));
    for (const QString& name : written)
        Print(out, (CliText::Printable(name) + '\n').toLocal8Bit());
    CliPrivacy::SayLeftOut(zones, leftOut);
    return CliCommands::kDone;
}

} // namespace CliExport
