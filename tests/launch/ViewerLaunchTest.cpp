// The built viewer started directly: its command line, and its map pages
// found from any working directory.
#include "HalvexVersion.h"
#include "LaunchSupport.h"
#include "tests/support/core/ScratchDir.h"

#include <QDir>
#include <QFile>
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

} // namespace
