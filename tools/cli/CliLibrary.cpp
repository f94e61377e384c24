#include "CliLibrary.h"

#include "CliArgs.h"
#include "CliCommands.h"
#include "CliJson.h"
#include "CliText.h"
#include "cardindex/CardIndex.h"
#include "library/CardImport.h"
#include "library/LibraryLayout.h"
#include "library/LibraryVerify.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>
#include <unistd.h>

namespace CliLibrary {

const char kImportUsage[] =
    "Usage: halvex-cli import CARD [--library DIR] [--keep all|drives|events] [--json]\n"
    "Copies the recordings of the card folder CARD into the library DIR (default:\n"
    "the videos folder's Halvex/Library), in folders YYYY/YYYY-MM-DD/ of each\n"
    "recording's local date, keeping each file's name, modification time and\n"
    "lock. The card is only read. Each copy is synced and its SHA-256 checked\n"
    "against the bytes read from the card before it takes its name; a recording\n"
    "kept before (from this card or another) is not copied again.\n"
    "  --keep all      every recording (the default)\n"
    "  --keep drives   leaves out recordings in which the car never moved (no\n"
    "                  fix above walking speed) and nothing happened (no event,\n"
    "                  no lock)\n"
    "  --keep events   only recordings with a driving event, a lock or a camera\n"
    "                  event, and those of the same drive a minute either side\n"
    "Progress goes to standard error; Ctrl-C stops after no partial file.\n";

const char kLibraryUsage[] =
    "Usage: halvex-cli library verify [--library DIR] [--json]\n"
    "Reads every file the library keeps and compares it with the SHA-256 kept\n"
    "when it was imported; names each changed or missing file.\n";

namespace {

FILE* g_out = stdout;
void (*g_write)(FILE*, const QByteArray&) = nullptr;
volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) {
    g_interrupted = 1;
    // A second Ctrl-C ends the program at once; nothing partial has a name.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

void Print(FILE* stream, const QString& text) {
    g_write(stream, text.toLocal8Bit());
}

int Fail(const QString& message) {
    Print(stderr, "halvex-cli: " + CliText::Printable(message) + "\n");
    return CliCommands::kBadInput;
}

int UsageError(const char* usage, const QString& command, const QString& message) {
    Print(stderr, "halvex-cli " + command + ": " + CliText::Printable(message) + "\n" + usage);
    return CliCommands::kBadUsage;
}

QString Megabytes(int64_t bytes) {
    return QStringLiteral("%1 MB").arg(double(bytes) / 1e6, 0, 'f', 1);
}

QString Clock(int64_t seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QChar('0'))
        .arg(seconds % 60, 2, 10, QChar('0'));
}

QString FilesText(int count) {
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? "file" : "files");
}

// At most twice a second: on a terminal one line written over, elsewhere a
// line each.
class ProgressLine {
  public:
    ProgressLine() : terminal_(::isatty(STDERR_FILENO) == 1) { clock_.start(); }
    ~ProgressLine() {
        if (terminal_ && shown_)
            Print(stderr, "\n");
    }
    void Show(const ImportProgress& p) {
        const int64_t now = clock_.elapsed();
        if (shown_ && now - lastMs_ < 500 && p.filesDone != p.filesTotal)
            return;
        lastMs_ = now;
        shown_ = true;
        const double seconds = std::max<int64_t>(now, 1) / 1000.0;
        const double rate = double(p.bytesDone) / seconds;
        const QString left =
            rate > 0 ? Clock(int64_t(double(p.bytesTotal - p.bytesDone) / rate)) : "-";
        Print(stderr, QStringLiteral("%1halvex-cli: %2/%3 files, %4 of %5, %6 MB/s, %7 left%8")
                          .arg(terminal_ ? "\r" : "")
                          .arg(p.filesDone)
                          .arg(p.filesTotal)
                          .arg(Megabytes(p.bytesDone), Megabytes(p.bytesTotal))
                          .arg(rate / 1e6, 0, 'f', 1)
                          .arg(left, terminal_ ? "\x1b[K" : "\n"));
    }

  private:
    QElapsedTimer clock_;
    bool terminal_;
    bool shown_ = false;
    int64_t lastMs_ = 0;
};

const char* KeepName(KeepMode mode) {
    return mode == KeepMode::Drives ? "drives" : mode == KeepMode::Events ? "events" : "all";
}

void PrintSummary(const ImportSummary& s, const QString& card, const QString& library,
                  KeepMode keep, bool json) {
    if (json) {
        QJsonArray leftOut, failed;
        for (const auto& g : s.leftOut)
            leftOut.append(QJsonObject{{"reason", g.reason},
                                       {"files", g.count},
                                       {"hours", std::round(g.hours * 1000) / 1000},
                                       {"bytes", double(g.bytes)}});
        for (const auto& f : s.failed)
            failed.append(QJsonObject{{"file", f.file}, {"reason", f.why}});
        const QJsonObject object{
            {"card", card},
            {"library", library},
            {"keep", KeepName(keep)},
            {"recordings", s.recordings},
            {"copied", QJsonObject{{"files", s.copied}, {"bytes", double(s.copiedBytes)}}},
            {"alreadyKept",
             QJsonObject{{"files", s.alreadyKept}, {"bytes", double(s.alreadyKeptBytes)}}},
            {"leftOut", leftOut},
            {"failed", failed},
            {"stopped", s.stopped.isEmpty() ? QJsonValue() : QJsonValue(s.stopped)},
            {"cancelled", s.cancelled},
            {"complete", s.Complete()}};
        g_write(g_out, CliJson::EscapeControls(QJsonDocument(object).toJson()));
        return;
    }
    QString text = QStringLiteral("Imported %1 into %2 (keep %3): %4 recordings on the card\n")
                       .arg(CliText::Printable(card), CliText::Printable(library))
                       .arg(KeepName(keep))
                       .arg(s.recordings);
    text += QStringLiteral("  copied:       %1, %2\n")
                .arg(FilesText(s.copied), Megabytes(s.copiedBytes));
    text += QStringLiteral("  already kept: %1, %2\n")
                .arg(FilesText(s.alreadyKept), Megabytes(s.alreadyKeptBytes));
    for (const auto& g : s.leftOut)
        text += QStringLiteral("  left out:     %1, %2 h, %3 (%4)\n")
                    .arg(FilesText(g.count))
                    .arg(g.hours, 0, 'f', 1)
                    .arg(Megabytes(g.bytes), g.reason);
    text += QStringLiteral("  failed:       %1\n").arg(FilesText(int(s.failed.size())));
    for (const auto& f : s.failed)
        text += "    " + CliText::Printable(f.file) + ": " + CliText::Printable(f.why) + "\n";
    if (s.cancelled)
        text += QStringLiteral("Cancelled: what was copied is kept, the next import carries on.\n");
    if (!s.stopped.isEmpty())
        text += "Stopped: " + CliText::Printable(s.stopped) +
                "\nWhat was copied before is kept; the next import carries on.\n";
    Print(g_out, text);
}

int Import(const QStringList& args) {
    QString card, library;
    KeepMode keep = KeepMode::All;
    bool json = false;
    const auto option = [&](const QString& arg, int* next) {
        if (arg == "--json") {
            json = true;
        } else if (arg == "--library") {
            if (*next == args.size())
                return UsageError(kImportUsage, "import", "--library needs a folder");
            library = args[(*next)++];
        } else if (arg == "--keep") {
            const QString mode = *next < args.size() ? args[(*next)++] : QString();
            if (mode == "all")
                keep = KeepMode::All;
            else if (mode == "drives")
                keep = KeepMode::Drives;
            else if (mode == "events")
                keep = KeepMode::Events;
            else
                return UsageError(kImportUsage, "import",
                                  "--keep takes all, drives or events, not " + mode);
        } else {
            return UsageError(kImportUsage, "import", "unknown option " + arg);
        }
        return -1;
    };
    const auto positional = [&](const QString& arg) {
        if (!card.isEmpty())
            return UsageError(kImportUsage, "import", "unexpected argument " + arg);
        card = arg;
        return -1;
    };
    const int code = CliArgs::Walk(
        args, [](const QString& arg) { return arg.startsWith("-") && arg != "-"; }, option,
        positional, [] { Print(g_out, kImportUsage); });
    if (code >= 0)
        return code;
    if (card.isEmpty())
        return UsageError(kImportUsage, "import", "missing card folder");
    if (library.isEmpty())
        library = LibraryLayout::DefaultFolder();

    ImportRequest request;
    request.card = card;
    request.library = library;
    request.keep = keep;
    request.cardCacheFolder = CardIndex::DefaultCacheFolder();

    g_interrupted = 0;
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    ImportSummary summary;
    {
        ProgressLine line;
        summary = ImportCard(
            request, [&](const ImportProgress& p) { line.Show(p); },
            [] { return g_interrupted != 0; });
    }
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (!summary.started)
        return Fail(summary.stopped);
    if (!summary.indexNote.isEmpty())
        Print(stderr, "halvex-cli: " + CliText::Printable(summary.indexNote) + "\n");
    PrintSummary(summary, QFileInfo(card).absoluteFilePath(), QFileInfo(library).absoluteFilePath(),
                 keep, json);
    return summary.Complete() ? CliCommands::kDone : CliCommands::kBadInput;
}

int Verify(const QStringList& args) {
    QString library;
    bool json = false;
    const auto option = [&](const QString& arg, int* next) {
        if (arg == "--json") {
            json = true;
        } else if (arg == "--library") {
            if (*next == args.size())
                return UsageError(kLibraryUsage, "library", "--library needs a folder");
            library = args[(*next)++];
        } else {
            return UsageError(kLibraryUsage, "library", "unknown option " + arg);
        }
        return -1;
    };
    QStringList positional;
    const int code = CliArgs::Walk(
        args, [](const QString& arg) { return arg.startsWith("-") && arg != "-"; }, option,
        [&](const QString& arg) {
            positional << arg;
            return -1;
        },
        [] { Print(g_out, kLibraryUsage); });
    if (code >= 0)
        return code;
    if (positional.value(0) != "verify")
        return UsageError(kLibraryUsage, "library",
                          positional.isEmpty() ? "missing action (verify)"
                                               : "unknown action " + positional[0]);
    if (positional.size() > 1)
        return UsageError(kLibraryUsage, "library", "unexpected argument " + positional[1]);
    if (library.isEmpty())
        library = LibraryLayout::DefaultFolder();

    const VerifyResult result = VerifyLibrary(library, {});
    if (!result.error.isEmpty())
        return Fail(result.error);
    if (json) {
        QJsonArray problems;
        for (const VerifyProblem& p : result.problems)
            problems.append(QJsonObject{{"file", p.path}, {"problem", p.what}});
        g_write(g_out,
                CliJson::EscapeControls(
                    QJsonDocument(QJsonObject{{"library", QFileInfo(library).absoluteFilePath()},
                                              {"checked", result.checked},
                                              {"bytes", double(result.bytes)},
                                              {"problems", problems}})
                        .toJson()));
    } else {
        QString text;
        for (const VerifyProblem& p : result.problems)
            text += CliText::Printable(p.path) + ": " + p.what + "\n";
        text += QStringLiteral("%1 checked (%2), %3 changed or missing\n")
                    .arg(FilesText(result.checked), Megabytes(result.bytes))
                    .arg(result.problems.size());
        Print(g_out, text);
    }
    return result.problems.empty() ? CliCommands::kDone : CliCommands::kBadInput;
}

} // namespace

int Run(const QString& command, const QStringList& arguments, FILE* out,
        void (*write)(FILE*, const QByteArray&)) {
    g_out = out;
    g_write = write;
    return command == "import" ? Import(arguments) : Verify(arguments);
}

} // namespace CliLibrary
