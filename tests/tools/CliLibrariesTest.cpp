// What halvex-cli loads: its data commands start on Qt Core, SQLite and
// GeographicLib; the clip engine's libraries (libav*, Qt Gui and what those
// pull in) come only with halvex-clip, which `halvex-cli clip` runs.
#include "tools/synth/RecordingWriter.h"

#include "tests/support/core/ProgramRun.h"
#include "tests/support/core/ScratchDir.h"
#include "tests/support/core/SynthFixture.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <string>

namespace {

const QString kCli = QStringLiteral(HALVEX_BINARY_DIR "/tools/halvex-cli");
const QString kClip = QStringLiteral(HALVEX_BINARY_DIR "/tools/halvex-clip");

// Libraries of the clip engine and of a display that a data command has no
// use for: each costs start-up time.
const char* const kClipOnly[] = {"libavformat", "libavcodec",    "libavfilter", "libavutil",
                                 "libswscale",  "libswresample", "libQt6Gui",   "libX11",
                                 "libxcb",      "libEGL",        "libGL",       "libfontconfig",
                                 "libfreetype", "libssl",        "libcrypto",   "libgnutls"};

// The file names of shared libraries in text that names them by path or
// alone (ldd's listing, the dynamic loader's trace).
QStringList LibraryNames(const QByteArray& text) {
    static const QRegularExpression name(R"((?:^|[\s/=])(lib[\w+.-]*\.so[\w.]*))");
    QStringList names;
    for (auto m = name.globalMatch(QString::fromUtf8(text)); m.hasNext();)
        names << m.next().captured(1);
    names.removeDuplicates();
    return names;
}

// Those of the libraries that a data command must not load, named in one text.
std::string ClipOnlyAmong(const QStringList& libraries) {
    QStringList found;
    for (const QString& library : libraries)
        for (const char* prefix : kClipOnly)
            if (library.startsWith(QLatin1String(prefix) + '.') ||
                library.startsWith(QLatin1String(prefix) + '-'))
                found << library;
    return found.join(' ').toStdString();
}

// What the program links, as ldd lists it.
QStringList Linked(const QString& program) {
    const ProgramRun ldd = RunProgram("ldd", {program});
    EXPECT_EQ(ldd.exitCode, 0) << ldd.err.toStdString();
    return LibraryNames(ldd.out);
}

// Every library the dynamic loader opened during a run, dlopen's included.
QStringList LoadedBy(const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LD_DEBUG", "files");
    const ProgramRun run = RunProgram(kCli, args, env);
    EXPECT_EQ(run.exitCode, 0) << args.join(' ').toStdString() << "\n"
                               << run.err.right(2000).toStdString();
    return LibraryNames(run.err);
}

TEST(CliLibraries, DataCommandsLoadNeitherTheClipEngineNorAGuiLibrary) {
    const QStringList linked = Linked(kCli);
    ASSERT_TRUE(linked.filter(QRegularExpression("^libQt6Core\\.so")).size() == 1)
        << linked.join(' ').toStdString(); // the listing was read
    EXPECT_EQ(ClipOnlyAmong(linked), "") << linked.join(' ').toStdString();

    ScratchDir card;
    synth::RecordingRecipe recipe;
    recipe.container = synth::Container::MovBoxes;
    recipe.fixes = {synth::Fix{35.5, 139.75, 12, 40, 90}, synth::Fix{35.51, 139.76, 13, 50, 92}};
    const QString file = card.Root() + "DCIM/MOVIE/FILE0001F.MOV";
    synthtest::WriteBelow(card.Root(), recipe, "DCIM/MOVIE/FILE0001F.MOV");
    const QStringList runs[] = {{"--version"},
                                {"scan", "--json", card.path()},
                                {"info", file},
                                {"track", "--json", file},
                                {"gpx", file, "--out", "-"},
                                {"trips", "--no-cache", card.path()}};
    for (const QStringList& args : runs) {
        const QStringList loaded = LoadedBy(args);
        ASSERT_FALSE(loaded.filter(QRegularExpression("^libQt6Core\\.so")).isEmpty())
            << args.join(' ').toStdString() << ": no trace of the loader";
        EXPECT_EQ(ClipOnlyAmong(loaded), "") << args.join(' ').toStdString();
    }
}

// The other side of the split: the clip program does carry the engine, so
// a clip is not left without it.
TEST(CliLibraries, TheClipProgramCarriesTheClipEngine) {
    if (!QFile::exists(kClip))
        GTEST_SKIP() << "no clip engine in this build";
    const QStringList linked = Linked(kClip);
    for (const char* library : {"libavformat", "libavcodec", "libQt6Gui", "libcrypto"})
        EXPECT_NE(ClipOnlyAmong(linked).find(std::string(library) + '.'), std::string::npos)
            << library << " in " << linked.join(' ').toStdString();
}

} // namespace
