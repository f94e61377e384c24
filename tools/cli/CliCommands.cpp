#include "CliCommands.h"

#include "CliArgs.h"
#include "CliExport.h"
#include "CliIndex.h"
#include "CliJson.h"
#include "CliLibrary.h"
#include "CliPrivacy.h"
#include "CliText.h"
#include "HalvexVersion.h"
#include "recordings/CVel3gpParser.h"
#include "recordings/CVelAviParser.h"
#include "recordings/KmlExport.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace CliCommands {
namespace {

const char kUsage[] = "Usage: halvex-cli COMMAND [OPTIONS]\n"
                      "\n"
                      "  scan [--json] FOLDER     list the recordings below a folder, grouped\n"
                      "  info [--json] FILE       what the parser reads from one AVI or MOV file\n"
                      "  track [--json] FILE      GPS points and G-sensor samples of a recording\n"
                      "  kml FILE [--out DIR]     write the route of a recording as a KML file\n"
                      "                           (gpx, csv, kml and clip take --privacy FILE or\n"
                      "                           --no-privacy)\n"
                      "  gpx FILE...|--trip GROUP FOLDER [--out DIR|-]\n"
                      "                           the route of recordings or of a group as GPX\n"
                      "  csv FILE...|--trip GROUP FOLDER [--gsensor] [--out DIR|-]\n"
                      "                           GPS points (and G-sensor samples) as CSV\n"
                      "  trips [--json] [--no-cache] FOLDER\n"
                      "                           the card's trips with their figures, per day\n"
                      "  events [--json] [--no-cache] FOLDER\n"
                      "                           harsh braking, acceleration, cornering, impacts\n"
                      "  near LAT,LON [--radius M] [--json] [--no-cache] FOLDER\n"
                      "                           every recording passing within M metres (50)\n"
                      "  import CARD [--library DIR] [--keep all|drives|events] [--json]\n"
                      "                           copy a card's recordings into the library\n"
                      "  library verify [--library DIR] [--json]\n"
                      "                           find a changed or missing file in the library\n"
#ifdef HALVEX_CLI_CLIP
                      "  clip FILE|--group GROUP FOLDER --from TIME --to TIME [--layout L]\n"
                      "       [--overlay time,speed,position,heading,g,map] [--out NAME]\n"
                      "       [--overwrite]\n"
                      "                           an MP4 clip with its evidence bundle\n"
#endif
                      "\n"
                      "  --help, --version        this help, or the version, and exit\n"
                      "\n"
                      "Run 'halvex-cli COMMAND --help' for one command.\n";

struct Command {
    const char* name;
    const char* usage;
    bool takesJson;
    bool takesOut;
};

const Command kCommands[] = {
    {"scan",
     "Usage: halvex-cli scan [--json] FOLDER\n"
     "Scans FOLDER and its sub-folders like the viewer's Open command and prints\n"
     "the groups and their recordings.\n",
     true, false},
    {"info",
     "Usage: halvex-cli info [--json] FILE\n"
     "Prints what the parser reports about one AVI or MOV recording.\n",
     true, false},
    {"track",
     "Usage: halvex-cli track [--json] FILE\n"
     "Loads the GPS points and G-sensor samples of one recording and prints them.\n",
     true, false},
    {"kml",
     "Usage: halvex-cli kml FILE [--out DIR] [--privacy FILE|--no-privacy]\n"
     "Writes the route of one recording as a KML file into DIR (default: the\n"
     "viewer's KML folder in the documents folder) and prints the file's name.\n"
     "Points inside the privacy zones are left out.\n",
     false, true},
};

struct Options {
    bool json = false;
    QString out;
    QString target;
    CliPrivacy::Choice privacy;
};

FILE* g_out = stdout;
int g_writeError = 0; // the first error of a write to the results

void Write(FILE* stream, const QByteArray& bytes) {
    if (fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) != size_t(bytes.size()) &&
        stream == g_out && !g_writeError)
        g_writeError = errno;
}

void Print(FILE* stream, const QString& text) {
    Write(stream, text.toLocal8Bit());
}

// Names in messages may hold control characters; printed raw they would
// act on the terminal.
int Fail(const QString& message) {
    Print(stderr, "halvex-cli: " + CliText::Printable(message) + "\n");
    return kBadInput;
}

int UsageError(const Command& command, const QString& message) {
    Print(stderr, "halvex-cli " + QString(command.name) + ": " + message + "\n" + command.usage);
    return kBadUsage;
}

// Fills options; returns -1 to go on, or the exit code to stop with.
int ParseOptions(const Command& command, const QStringList& args, Options* options) {
    const auto option = [&](const QString& arg, int* next) {
        if (arg == "--json" && command.takesJson) {
            options->json = true;
        } else if (arg == "--out" && command.takesOut) {
            if (*next == args.size())
                return UsageError(command, "--out needs a folder");
            options->out = args[(*next)++];
        } else if (const int code =
                       std::strcmp(command.name, "kml") != 0
                           ? -2
                           : CliPrivacy::TakeOption(
                                 arg, args, next, &options->privacy,
                                 [&](const QString& why) { return UsageError(command, why); });
                   code != -2) {
            return code;
        } else {
            return UsageError(command, "unknown option " + CliText::Printable(arg));
        }
        return -1;
    };
    const auto target = [&](const QString& arg) {
        if (!options->target.isEmpty())
            return UsageError(command, "unexpected argument " + CliText::Printable(arg));
        options->target = arg;
        return -1;
    };
    const int code = CliArgs::Walk(
        args, [](const QString& arg) { return arg.startsWith("-") && arg != "-"; }, option, target,
        [&] {
            Print(g_out, command.usage);
            if (std::strcmp(command.name, "kml") == 0)
                Print(g_out, CliPrivacy::kUsage);
        });
    if (code >= 0)
        return code;
    if (options->target.isEmpty())
        return UsageError(command, "missing argument");
    return -1;
}

// Files a scan found but could not list, named on standard error.
void WarnUnlisted(const QStringList& paths, const char* whyOne, const char* whyMany) {
    if (paths.isEmpty())
        return;
    QString names;
    for (const QString& name : paths)
        names += "\n  " + CliText::Printable(name);
    Print(stderr, QStringLiteral("halvex-cli: warning: %1 %2:%3\n")
                      .arg(CliText::Counted(paths.size(), "file"),
                           QLatin1String(paths.size() == 1 ? whyOne : whyMany), names));
}

void PrintJson(const QJsonObject& object) {
    Write(g_out, CliJson::EscapeControls(QJsonDocument(object).toJson()));
}

} // namespace

// Parses one file with the parser its extension suggests, then the other.
int ParseRecording(const QString& path, RecordingInfo* info) {
    std::unique_ptr<CVelVideoParser> parsers[2] = {std::make_unique<CVel3gpParser>(),
                                                   std::make_unique<CVelAviParser>()};
    if (path.endsWith(".AVI", Qt::CaseInsensitive))
        std::swap(parsers[0], parsers[1]);
    for (auto& parser : parsers) {
        RecordingInfo found;
        parser->SetInfo(&found);
        if (parser->Parse(path) == 0) {
            *info = std::move(found);
            return 0;
        }
    }
    return -1;
}

int ReadNamedRecording(const QString& path, RecordingFile* file) {
    const QFileInfo where(path);
    if (!where.isFile())
        return Fail(path + ": no such file");
    if (ParseRecording(path, &file->info) != 0)
        return Fail(path + ": not a recording of this camera");
    file->root = where.absolutePath() + "/";
    file->fileName = where.fileName();
    return -1;
}

namespace {

// Checks the file and parses it; an exit code when it cannot be used.
int LoadRecording(const QString& path, RecordingInfo* info) {
    const QFileInfo file(path);
    if (!file.isFile())
        return Fail(path + ": no such file");
    if (!file.isReadable())
        return Fail(path + ": cannot be read");
    if (ParseRecording(path, info) != 0)
        return Fail(path + ": not a recording of this camera");
    return -1;
}

// A catalog holding the one file, with its track loaded.
int LoadTrackOf(const QString& path, RecordingCatalog* catalog) {
    RecordingFile file;
    if (const int code = LoadRecording(path, &file.info); code >= 0)
        return code;
    const QFileInfo where(path);
    file.root = where.absolutePath() + "/";
    file.fileName = where.fileName();
    catalog->ListFiles({std::move(file)});
    if (!catalog->LoadTrack(0))
        return Fail(path + ": cannot read its track");
    return -1;
}

int Scan(const Options& o) {
    if (!QFileInfo(o.target).isDir())
        return Fail(o.target + ": no such folder");
    RecordingCatalog catalog;
    catalog.Open(o.target);
    WarnUnlisted(catalog.unreadableNames, "not listed, its name is not valid UTF-8",
                 "not listed, their names are not valid UTF-8");
    WarnUnlisted(catalog.skippedNames, "not read, it lies too deep or its path is too long",
                 "not read, they lie too deep or their paths are too long");
    if (o.json)
        CliJson::WriteScan(
            catalog, [](const QByteArray& piece) { Write(g_out, CliJson::EscapeControls(piece)); });
    else
        Print(g_out, CliText::Scan(catalog));
    return kDone;
}

int Info(const Options& o) {
    RecordingInfo info;
    if (const int code = LoadRecording(o.target, &info); code >= 0)
        return code;
    if (o.json)
        PrintJson(CliJson::Info(info));
    else
        Print(g_out, CliText::Info(o.target, info));
    return kDone;
}

// The records as the file stores them, not decoded: what the file holds.
int Track(const Options& o) {
    RecordingInfo info;
    if (const int code = LoadRecording(o.target, &info); code >= 0)
        return code;
    const StoredTrack track = ReadStoredTrack(o.target, info);
    if (track.readFailed)
        return Fail(o.target + ": cannot read its track");
    if (o.json)
        CliJson::WriteTrack(
            track, [](const QByteArray& piece) { Write(g_out, CliJson::EscapeControls(piece)); });
    else
        CliText::WriteTrack(track, [](const QString& piece) { Print(g_out, piece); });
    return kDone;
}

int Kml(const Options& o) {
    RecordingCatalog catalog;
    if (const int code = LoadTrackOf(o.target, &catalog); code >= 0)
        return code;
    // A KML file is named after its recording in a folder; "-" would only
    // make a folder of that name.
    if (o.out == "-")
        return Fail("kml writes a file into a folder; --out - is not available");
    std::vector<PrivacyZone> zones;
    if (const int code = CliPrivacy::Load(o.privacy, &zones); code >= 0)
        return code;
    const QString folder = o.out.isEmpty() ? KmlFolder() : o.out;
    if (!folder.isEmpty() && !QFileInfo(folder).isDir() && !CreateFolderPath(folder))
        return Fail(folder + ": cannot create the folder");
    QString written;
    int leftOut = 0;
    if (!catalog.ExportKml(folder, &written, zones, &leftOut))
        return Fail(written + ": cannot write the KML file");
    Print(g_out, CliText::Printable(written) + "\n");
    CliPrivacy::SayLeftOut(zones, leftOut);
    return kDone;
}

int Dispatch(const QStringList& arguments) {
    if (arguments.isEmpty()) {
        Print(stderr, kUsage);
        return kBadUsage;
    }
    const QString& name = arguments.first();
    if (name == "--help" || name == "-h" || name == "help") {
        Print(g_out, kUsage);
        return kDone;
    }
    if (name == "--version") {
        Print(g_out, "halvex-cli " HALVEX_VERSION "\n");
        return kDone;
    }
    if (name == "gpx" || name == "csv")
        return CliExport::Run(name, arguments.mid(1), g_out);
    if (name == "trips" || name == "events" || name == "near")
        return CliIndex::Run(name, arguments.mid(1), g_out, Write);
    if (name == "import" || name == "library")
        return CliLibrary::Run(name, arguments.mid(1), g_out, Write);
    for (const Command& command : kCommands) {
        if (name != command.name)
            continue;
        Options options;
        if (const int code = ParseOptions(command, arguments.mid(1), &options); code >= 0)
            return code;
        if (name == "scan")
            return Scan(options);
        if (name == "info")
            return Info(options);
        if (name == "track")
            return Track(options);
        return Kml(options);
    }
    const char* what = name.startsWith('-') ? "unknown option " : "unknown command ";
    Print(stderr, QString("halvex-cli: ") + what + CliText::Printable(name) + "\n\n" + kUsage);
    return kBadUsage;
}

} // namespace

void SetOutput(FILE* out) {
    g_out = out;
}

// Results that never reached their file (a full disk, a closed pipe) are a
// failure, whatever the command found.
int Run(const QStringList& arguments) {
    g_writeError = 0;
    return Finish(Dispatch(arguments));
}

int Finish(int code) {
    errno = 0;
    if (std::fflush(g_out) == 0 && !std::ferror(g_out))
        return code;
    const int error = g_writeError ? g_writeError : errno ? errno : EIO;
    Print(stderr, QStringLiteral("halvex-cli: cannot write the results: %1\n")
                      .arg(QString::fromLocal8Bit(std::strerror(error))));
    return kBadInput;
}

} // namespace CliCommands
