// halvex-cli import and library verify, run as a user would.
#include "tests/library/LibraryFixture.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace librarytest;

QJsonObject Json(const ProgramRun& run) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(run.out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.left(300).toStdString();
    return doc.object();
}

class CliLibrary : public LibraryTest {
  protected:
    ProgramRun ImportCli(const QStringList& more = {}) const {
        return Cli(QStringList{"import", card.path(), "--library", Library()} + more);
    }
};

// A parked hour, a drive, and a parked recording the camera locked.
TEST_F(CliLibrary, ParkedRecordingsAreLeftOutUnderDrivesAndKeptUnderAll) {
    const std::vector<int> standing = {0, 2, 1, 3, 0, 1, 2, 0, 1, 0};
    Pair(Recipe(At(9, 3, 0, 0), StraightFixes(35.0, 139.0, 0, standing), QuietSamples(10, 10)), 60);
    Drive(62, At(9, 8, 0, 0));
    synth::RecordingRecipe locked =
        Recipe(At(9, 9, 0, 0), StraightFixes(35.0, 139.0, 0, standing), QuietSamples(10, 10));
    locked.lock = synth::Lock::Event;
    Pair(locked, 64);

    const ProgramRun drives = ImportCli({"--keep", "drives", "--json"});
    ASSERT_EQ(drives.exitCode, 0) << drives.err.toStdString();
    const QJsonObject summary = Json(drives);
    EXPECT_EQ(summary["copied"].toObject()["files"].toInt(), 4);
    const QJsonArray leftOut = summary["leftOut"].toArray();
    ASSERT_EQ(leftOut.size(), 1);
    const QJsonObject parked = leftOut[0].toObject();
    EXPECT_TRUE(parked["reason"].toString().startsWith("parked"));
    EXPECT_EQ(parked["files"].toInt(), 2);
    EXPECT_NEAR(parked["hours"].toDouble(), 2 * 10 / 3600.0, 0.001);
    EXPECT_GT(parked["bytes"].toDouble(), 0);
    for (const QString& name : Kept())
        EXPECT_FALSE(name.endsWith("FILE0600.MOV") || name.endsWith("FILE0601_b.MOV"))
            << name.toStdString();

    const ProgramRun all = ImportCli({"--keep", "all"});
    ASSERT_EQ(all.exitCode, 0);
    EXPECT_TRUE(all.out.contains("copied:       2 files")) << all.out.toStdString();
    EXPECT_TRUE(all.out.contains("already kept: 4 files"));
    EXPECT_EQ(Kept().size(), 6);
    EXPECT_TRUE(all.err.contains("6/6 files") || all.err.contains("files,"))
        << all.err.toStdString();
}

TEST_F(CliLibrary, AnUntrustedCardStaysOutside) {
    Drive(60, At(9, 8, 0, 0));
    ScratchDir outside;
    const QString elsewhere = outside.Write("FILE0070.MOV", QByteArray());
    ASSERT_TRUE(
        QFile::copy(card.path() + "/dcim/front/FILE0600.MOV", outside.path() + "/real.MOV"));
    const QString movie = card.path() + "/dcim/front/";
    struct stat passwd {};
    ASSERT_EQ(::stat("/etc/passwd", &passwd), 0);
    ASSERT_EQ(::symlink("/etc/passwd", QFile::encodeName(movie + "FILE0099.MOV").constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(outside.path() + "/real.MOV").constData(),
                        QFile::encodeName(movie + "FILE0097.MOV").constData()),
              0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(movie + "FILE0098.MOV").constData(), 0600), 0);
    // Folders leading out of the card, and names made of dots.
    ASSERT_EQ(::symlink("../../..", QFile::encodeName(movie + "FILE..0").constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(outside.path()).constData(),
                        QFile::encodeName(card.path() + "/dcim/escape").constData()),
              0);
    card.Write("dcim/...../FILE..MOV", "not a recording");
    QFile::remove(elsewhere);
    const QStringList outsideBefore = Tree(outside.path());

    QElapsedTimer clock;
    clock.start();
    const ProgramRun run = ImportCli({"--json"});
    EXPECT_LT(clock.elapsed(), 30000) << "a FIFO must not hold the import";
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString() << run.out.toStdString();
    EXPECT_EQ(Kept(),
              QStringList({"2024/2024-03-09/FILE0600.MOV", "2024/2024-03-09/FILE0601_b.MOV"}));
    const QJsonArray leftOut = Json(run)["leftOut"].toArray();
    ASSERT_EQ(leftOut.size(), 1) << run.out.toStdString();
    EXPECT_EQ(leftOut[0].toObject()["reason"].toString(), "links, devices and FIFOs, not followed");
    EXPECT_EQ(leftOut[0].toObject()["files"].toInt(), 1); // the link to a real recording
    EXPECT_EQ(Tree(outside.path()), outsideBefore);
    struct stat after {};
    ASSERT_EQ(::stat("/etc/passwd", &after), 0);
    EXPECT_EQ(after.st_mtim.tv_sec, passwd.st_mtim.tv_sec);
    for (const QString& name : Tree(libraryParent.path()))
        EXPECT_TRUE(name == "library" || name.startsWith("library/")) << name.toStdString();

    // A library named on the card is refused before anything is made.
    const QStringList cardBefore = Tree(card.path());
    const ProgramRun onCard = Cli({"import", card.path(), "--library", card.path() + "/dcim/lib"});
    EXPECT_EQ(onCard.exitCode, 1);
    EXPECT_TRUE(onCard.err.contains("never writes")) << onCard.err.toStdString();
    EXPECT_EQ(Tree(card.path()), cardBefore);
}

TEST_F(CliLibrary, TwoImportsAtOnceDoNotInterleave) {
    for (int i = 0; i < 6; ++i)
        Drive(60 + 2 * i, At(9, 8, i, 0), 60);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CACHE_HOME", cache.path());
    QProcess first, second;
    for (QProcess* p : {&first, &second}) {
        p->setProcessEnvironment(env);
        p->start(HALVEX_BINARY_DIR "/tools/halvex-cli",
                 {"import", card.path(), "--library", Library(), "--json"});
    }
    for (QProcess* p : {&first, &second})
        ASSERT_TRUE(p->waitForFinished(60000));
    const int done = (first.exitCode() == 0) + (second.exitCode() == 0);
    ASSERT_GE(done, 1);
    QProcess& refused = first.exitCode() == 0 ? second : first;
    if (done == 1) {
        EXPECT_EQ(refused.exitCode(), 1);
        EXPECT_TRUE(refused.readAllStandardError().contains("another import into"));
    }
    // Together they copied every file exactly once.
    int copied = 0;
    for (QProcess* p : {&first, &second})
        if (p->exitCode() == 0)
            copied += QJsonDocument::fromJson(p->readAllStandardOutput())
                          .object()["copied"]
                          .toObject()["files"]
                          .toInt();
    EXPECT_EQ(copied, 12);
    EXPECT_EQ(Kept().size(), 12);
    EXPECT_EQ(Cli({"library", "verify", "--library", Library()}).exitCode, 0);
}

// Ctrl-C stops the import after no partial file; the next one carries on.
TEST_F(CliLibrary, InterruptedImportCarriesOnNextTime) {
    for (int i = 0; i < 12; ++i)
        Drive(60 + 2 * i, At(9, 8, i, 0), 30);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CACHE_HOME", cache.path());
    QProcess import;
    import.setProcessEnvironment(env);
    import.start(HALVEX_BINARY_DIR "/tools/halvex-cli",
                 {"import", card.path(), "--library", Library(), "--json"});
    // Interrupted once the first file is under way.
    import.setReadChannel(QProcess::StandardError);
    QByteArray err;
    while (!err.contains("files,") && import.waitForReadyRead(30000))
        err += import.readAllStandardError();
    ASSERT_TRUE(err.contains("0/24 files,")) << err.toStdString();
    ::kill(pid_t(import.processId()), SIGINT);
    ASSERT_TRUE(import.waitForFinished(30000));
    EXPECT_EQ(import.exitCode(), 1);
    const QJsonObject cut = QJsonDocument::fromJson(import.readAllStandardOutput()).object();
    EXPECT_TRUE(cut["cancelled"].toBool());
    const int copied = cut["copied"].toObject()["files"].toInt();
    EXPECT_LT(copied, 24);
    EXPECT_EQ(Kept().size(), copied);
    for (const QString& name : Tree(Library()))
        EXPECT_FALSE(name.contains(".part")) << name.toStdString();

    const ProgramRun next = ImportCli({"--json"});
    ASSERT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_EQ(Json(next)["copied"].toObject()["files"].toInt(), 24 - copied);
    EXPECT_EQ(Cli({"library", "verify", "--library", Library()}).exitCode, 0);
}

TEST_F(CliLibrary, VerifyFindsAChangedByteAndAMissingFile) {
    Drive(60, At(9, 8, 0, 0));
    ASSERT_EQ(ImportCli().exitCode, 0);
    const ProgramRun clean = Cli({"library", "verify", "--library", Library()});
    EXPECT_EQ(clean.exitCode, 0);
    EXPECT_TRUE(clean.out.contains("2 files checked")) << clean.out.toStdString();

    const QString front = Library() + "/2024/2024-03-09/FILE0600.MOV";
    {
        QFile f(front);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(f.size() / 2));
        char byte = 0;
        ASSERT_TRUE(f.getChar(&byte));
        ASSERT_TRUE(f.seek(f.size() / 2));
        ASSERT_TRUE(f.putChar(char(byte ^ 1)));
    }
    ASSERT_TRUE(QFile::remove(Library() + "/2024/2024-03-09/FILE0601_b.MOV"));
    const ProgramRun found = Cli({"library", "verify", "--library", Library(), "--json"});
    EXPECT_EQ(found.exitCode, 1);
    const QJsonArray problems = Json(found)["problems"].toArray();
    ASSERT_EQ(problems.size(), 2);
    EXPECT_EQ(problems[0].toObject()["file"].toString(), "2024/2024-03-09/FILE0600.MOV");
    EXPECT_TRUE(problems[0].toObject()["problem"].toString().contains("SHA-256"));
    EXPECT_EQ(problems[1].toObject()["problem"].toString(), "missing");

    // The next import brings back what went missing; the changed file is
    // not replaced.
    const ProgramRun again = ImportCli({"--json"});
    EXPECT_EQ(Json(again)["copied"].toObject()["files"].toInt(), 1);

    struct Case {
        QStringList args;
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {{"library", "verify", "--library", card.path()}, 1, "is not a library"},
        {{"library", "check", "--library", Library()}, 2, "unknown action check"},
        {{"library"}, 2, "missing action"},
        {{"import"}, 2, "missing card folder"},
        {{"import", card.path(), "--keep", "some"}, 2, "--keep takes all, drives or events"},
        {{"import", card.path() + "/none", "--library", Library()}, 1, "no such folder"},
        {{"import", "--help"}, 0, "Usage: halvex-cli import"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = Cli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE((run.out + run.err).contains(c.says))
            << c.args.join(' ').toStdString() << ": " << (run.out + run.err).toStdString();
    }
}

// Two cards of two days, asked as one: trips, events and "when was I here?".
TEST_F(CliLibrary, TheLibraryAnswersLikeOneCard) {
    Drive(60, At(9, 8, 0, 0));
    ASSERT_EQ(ImportCli().exitCode, 0);
    ASSERT_TRUE(QDir(card.path() + "/dcim").removeRecursively());
    Drive(60, At(12, 17, 0, 0), 20, 36, 35.2);
    ASSERT_EQ(ImportCli().exitCode, 0);

    const ProgramRun trips = Cli({"trips", "--json", Library()});
    ASSERT_EQ(trips.exitCode, 0) << trips.err.toStdString();
    const QJsonArray days = Json(trips)["days"].toArray();
    ASSERT_EQ(days.size(), 2);
    EXPECT_EQ(days[0].toObject()["date"].toString(), "2024-03-09");
    EXPECT_EQ(days[1].toObject()["date"].toString(), "2024-03-12");
    const ProgramRun near = Cli({"near", "35.2,139.0", "--json", Library()});
    const QJsonArray hits = Json(near)["hits"].toArray();
    ASSERT_FALSE(hits.isEmpty());
    EXPECT_TRUE(hits[0].toObject()["recording"].toString().contains("/2024/2024-03-12/"));
    // The index lives in the library, not in the user's cache.
    EXPECT_FALSE(QDir(Library() + "/.halvex-index").entryList({"*.sqlite"}).isEmpty());
    EXPECT_TRUE(
        QDir(cache.path() + "/halvex").entryList({"*.sqlite"}).isEmpty() ||
        !QDir(cache.path() + "/halvex").entryList({"*.sqlite"}).join(' ').contains("library"));
}

} // namespace
