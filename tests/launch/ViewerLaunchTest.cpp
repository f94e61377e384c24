// The built viewer started directly: its command line, and its map pages
// found from any working directory.
#include "HalvexVersion.h"
#include "LaunchSupport.h"
#include "tests/support/core/ScratchDir.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString kViewer = HALVEX_BINARY_DIR "/halvex";

TEST(ViewerCommandLine, HelpVersionAndWrongUse) {
    ScratchDir scratch;
    const struct {
        QStringList args;
        int exitCode;
        const char* inOut;
        const char* inErr;
    } cases[] = {
        {{"--help"}, 0, "Usage: halvex [FOLDER]", ""},
        {{"-h"}, 0, "Usage: halvex [FOLDER]", ""},
        {{"--version"}, 0, "halvex " HALVEX_VERSION "\n", ""},
        {{"--frob"}, 2, "", "unknown option '--frob'"},
        {{"-style", "Fusion", "--frob"}, 2, "", "unknown option '--frob'"},
        {{"--verbose", "--frob"}, 2, "", "unknown option '--frob'"},
        {{"--verbose", "-h"}, 0, "      --verbose  also print", ""},
        {{scratch.path(), scratch.path()}, 2, "", "more than one folder"},
    };
    for (const auto& c : cases) {
        const std::string what = c.args.join(' ').toStdString();
        const launch::Finished run =
            launch::RunToEnd(kViewer, c.args, scratch.path(), launch::ViewerEnvironment(), 60000);
        EXPECT_EQ(run.exitCode, c.exitCode) << what << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(c.inOut)) << what << ": " << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(c.inErr)) << what << ": " << run.err.toStdString();
    }
    // Nothing was started: no settings file written.
    EXPECT_FALSE(QFile::exists(scratch.path() + "/Halvex.ini"));
}

// A working directory whose res/ holds a page but not the scripts it loads
// (as the source tree's does) must not win over the program's complete set.
TEST(ViewerMapPages, RouteShowsFromAFolderWithAnIncompleteResFolder) {
    ScratchDir scratch;
    ASSERT_TRUE(launch::WriteSmallCard(scratch.path() + "/card"));
    const QString elsewhere = scratch.path() + "/elsewhere";
    QDir().mkpath(elsewhere + "/res");
    ASSERT_TRUE(
        QFile::copy(HALVEX_SOURCE_DIR "/res/gmap_ja.html", elsewhere + "/res/gmap_ja.html"));

    ASSERT_TRUE(launch::WaitForNoRoute());
    launch::Running viewer(kViewer, {scratch.path() + "/card"}, elsewhere,
                           launch::ViewerEnvironment());
    EXPECT_TRUE(launch::WaitForRoute(viewer)) << viewer.Output().toStdString();
    viewer.Stop();
    // The settings stay in the working directory of a run from the build.
    EXPECT_TRUE(QFile::exists(elsewhere + "/Halvex.ini"));
}

// Libraries in the working folder, or in a folder an inherited
// VLC_PLUGIN_PATH names, would run inside the viewer as libvlc plug-ins.
TEST(ViewerPlugins, NoneFromTheWorkingFolderOrTheInheritedPluginPath) {
    ScratchDir scratch;
    const QString mark = scratch.path() + "/loaded-by";
    ASSERT_TRUE(launch::ProbeLeavesMark(mark));
    ASSERT_TRUE(launch::WriteSmallCard(scratch.path() + "/card"));
    const QString work = scratch.path() + "/work";
    ASSERT_TRUE(launch::PlaceProbePlugin(work + "/plugins"));
    ASSERT_TRUE(launch::PlaceProbePlugin(work + "/more"));

    QProcessEnvironment env = launch::ViewerEnvironment();
    env.insert("HALVEX_PROBE_FILE", mark);
    env.insert("VLC_PLUGIN_PATH", work + "/more");
    ASSERT_TRUE(launch::WaitForNoRoute());
    launch::Running viewer(kViewer, {scratch.path() + "/card"}, work, env);
    // The route shows once the players have been made and the file started.
    EXPECT_TRUE(launch::WaitForRoute(viewer)) << viewer.Output().toStdString();
    viewer.Stop();
    EXPECT_FALSE(QFile::exists(mark));
}

// Started from a terminal and played with a few seeks, the viewer keeps the
// terminal for warnings and errors; --verbose brings its trace lines back.
TEST(ViewerTerminal, QuietWhilePlayingAndSeekingUnlessVerbose) {
    ScratchDir scratch;
    const QString card = scratch.path() + "/card";
    ASSERT_EQ(launch::RunToEnd(HALVEX_BINARY_DIR "/tools/halvex-synth", {"demo-card", card},
                               scratch.path())
                  .exitCode,
              0);
    // What must not reach the terminal unless asked for: the window's and
    // the parsers' trace lines, the browser engine's set-up dump, libvlc's
    // console and debug lines, FFmpeg's decoder complaints after a seek,
    // libasound's lines for a missing sound device.
    const struct {
        const char* what;
        QRegularExpression pattern;
        bool verboseShows;
    } chatter[] = {
        {"window trace", QRegularExpression("==>>CCEFWebkitUI::SetPos"), true},
        {"start times",
         QRegularExpression("\\d+: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$",
                            QRegularExpression::MultilineOption),
         true},
        {"libvlc debug", QRegularExpression("libvlc main .*: (creating|using|looking for)"), true},
        {"browser set-up", QRegularExpression("Init Parameters"), false},
        {"libvlc console",
         QRegularExpression("^\\[[0-9a-f]{8,}\\] ", QRegularExpression::MultilineOption), false},
        {"FFmpeg", QRegularExpression("^\\[h264 @", QRegularExpression::MultilineOption), false},
        {"libasound", QRegularExpression("^ALSA lib ", QRegularExpression::MultilineOption), false},
    };
    for (const bool verbose : {false, true}) {
        QProcessEnvironment env = launch::ViewerEnvironment(scratch.path() + "/config");
        env.remove("QT_LOGGING_RULES");
        QStringList args = {card};
        if (verbose)
            args.prepend("--verbose");
        ASSERT_TRUE(launch::WaitForNoRoute());
        launch::Running viewer(kViewer, args, scratch.path(), env, true);
        EXPECT_TRUE(launch::WaitForRoute(viewer)) << viewer.Errors().toStdString();
        // Seeks by keys at the focused viewer, playing and paused.
        launch::PressKeys({"shift+Right", "Left", "Right", "space", "shift+Right", "Left", "space",
                           "shift+Left", "Right"},
                          1200);
        viewer.Stop();
        const QString out = viewer.Output(), err = viewer.Errors();
        EXPECT_EQ(out, QString()) << (verbose ? "verbose" : "quiet");
        for (const auto& c : chatter) {
            const bool shown = err.contains(c.pattern);
            if (!verbose) {
                EXPECT_FALSE(shown) << c.what << ":\n" << err.toStdString();
            } else if (c.verboseShows) {
                EXPECT_TRUE(shown) << "verbose, " << c.what << ":\n"
                                   << err.left(3000).toStdString();
            }
        }
        if (verbose)
            continue;
        // libvlc's errors come once each, however often libvlc repeats them.
        QStringList vlcLines = err.split('\n').filter("libvlc ");
        const qsizetype all = vlcLines.size();
        vlcLines.removeDuplicates();
        EXPECT_EQ(vlcLines.size(), all) << err.toStdString();
    }
}

} // namespace
