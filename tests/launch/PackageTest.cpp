// The Debian package built by cpack, unpacked into a scratch root: its
// programs run from there, from an unrelated folder, as an installed program.
#include "HalvexVersion.h"
#include "LaunchSupport.h"
#include "tests/support/core/ScratchDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class DebianPackage : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        scratch = new ScratchDir;
        const launch::Finished packed =
            launch::RunToEnd("cpack",
                             {"-G", "DEB", "--config", HALVEX_BINARY_DIR "/CPackConfig.cmake", "-B",
                              scratch->path() + "/out"},
                             HALVEX_BINARY_DIR);
        packLog = packed.out + packed.err;
        const QStringList debs = QDir(scratch->path() + "/out").entryList({"halvex_*.deb"});
        if (packed.exitCode != 0 || debs.size() != 1)
            return;
        deb = scratch->path() + "/out/" + debs.front();
        root = scratch->path() + "/root";
        if (launch::RunToEnd("dpkg", {"-x", deb, root}, scratch->path()).exitCode != 0)
            root.clear();
    }
    static void TearDownTestSuite() {
        delete scratch;
        scratch = nullptr;
    }
    void SetUp() override { ASSERT_FALSE(root.isEmpty()) << packLog.toStdString(); }

    static ScratchDir* scratch;
    static QString packLog, deb, root;
};
ScratchDir* DebianPackage::scratch = nullptr;
QString DebianPackage::packLog, DebianPackage::deb, DebianPackage::root;

// cpack runs once per test process, so the checks come in two tests.
TEST_F(DebianPackage, DependenciesLauncherIconsAndMetadata) {
    const QString depends = launch::RunToEnd("dpkg-deb", {"-f", deb, "Depends"}, root).out;
    for (const char* package : {"libvlc5", "vlc-plugin-base", "vlc-plugin-video-output",
                                "libqt6webenginewidgets6", "libqt6webenginecore6-bin",
                                "fonts-liberation", "fonts-wqy-microhei", "fonts-dejavu-core"})
        EXPECT_TRUE(depends.contains(QString(package)))
            << package << " in " << depends.toStdString();

    const struct {
        const char* tool;
        QStringList args;
    } checks[] = {
        {"desktop-file-validate",
         {root + "/usr/share/applications/io.github.halvex.Halvex.desktop"}},
        {"appstreamcli",
         {"validate", "--no-net",
          root + "/usr/share/metainfo/io.github.halvex.Halvex.metainfo.xml"}},
    };
    for (const auto& c : checks) {
        const launch::Finished run = launch::RunToEnd(c.tool, c.args, root);
        EXPECT_EQ(run.exitCode, 0) << c.tool << "\n" << (run.out + run.err).toStdString();
    }
    for (const char* icon :
         {"16x16/apps/io.github.halvex.Halvex.png", "48x48/apps/io.github.halvex.Halvex.png",
          "256x256/apps/io.github.halvex.Halvex.png", "scalable/apps/io.github.halvex.Halvex.svg"})
        EXPECT_TRUE(QFile::exists(root + "/usr/share/icons/hicolor/" + icon)) << icon;
}

TEST_F(DebianPackage, InstalledProgramsRunFromAnUnrelatedFolder) {
    const QString elsewhere = scratch->path() + "/elsewhere";
    const QString config = scratch->path() + "/config";
    ASSERT_TRUE(launch::WriteSmallCard(elsewhere + "/card"));

    const launch::Finished version =
        launch::RunToEnd(root + "/usr/bin/halvex-cli", {"--version"}, elsewhere);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "halvex-cli " HALVEX_VERSION "\n");
    const launch::Finished scan =
        launch::RunToEnd(root + "/usr/bin/halvex-cli", {"scan", "card"}, elsewhere);
    EXPECT_EQ(scan.exitCode, 0) << scan.err.toStdString();
    EXPECT_TRUE(scan.out.contains("FILE0001F.MOV")) << scan.out.toStdString();
    // The clip runs in halvex-clip, installed beside halvex-cli; a figure
    // brings in the drawing too.
    QProcessEnvironment clipEnv = QProcessEnvironment::systemEnvironment();
    clipEnv.insert("XDG_CONFIG_HOME", config);
    const launch::Finished clip =
        launch::RunToEnd(root + "/usr/bin/halvex-cli",
                         {"clip", "card/DCIM/MOVIE/FILE0001F.MOV", "--from", "2", "--to", "5",
                          "--overlay", "time", "--out", "clip"},
                         elsewhere, clipEnv);
    EXPECT_EQ(clip.exitCode, 0) << clip.err.toStdString();
    for (const char* name : {"clip.mp4", "clip.gpx", "clip.csv", "clip.json", "clip.sha256"}) {
        EXPECT_TRUE(clip.out.contains(name)) << clip.out.toStdString();
        EXPECT_GT(QFileInfo(elsewhere + "/" + name).size(), 0) << name;
    }

    ASSERT_TRUE(launch::WaitForNoRoute());
    {
        // A relative folder, resolved before the viewer moves to its
        // configuration folder.
        launch::Running viewer(root + "/usr/bin/halvex", {"card"}, elsewhere,
                               launch::ViewerEnvironment(config));
        EXPECT_TRUE(launch::WaitForRoute(viewer)) << viewer.Output().toStdString();
    }
    QFile ini(config + "/halvex/Halvex.ini");
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains(QString("Folder=" + elsewhere + "/card").toUtf8()));
    EXPECT_FALSE(QFile::exists(elsewhere + "/Halvex.ini"));
}

// The installed command line reads the privacy zones where the installed
// viewer keeps them, $XDG_CONFIG_HOME/halvex/Halvex.ini, not the working
// folder's file (here one that would stop it).
TEST_F(DebianPackage, InstalledCommandLineAppliesTheZonesOfTheConfigFolder) {
    const QString elsewhere = scratch->path() + "/zones-elsewhere";
    const QString config = scratch->path() + "/zones-config";
    ASSERT_TRUE(launch::WriteSmallCard(elsewhere + "/card"));
    const QString cli = root + "/usr/bin/halvex-cli";
    const QString recording = "card/DCIM/MOVIE/FILE0001F.MOV";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config);

    const launch::Finished whole =
        launch::RunToEnd(cli, {"gpx", recording, "--out", "-", "--no-privacy"}, elsewhere, env);
    ASSERT_EQ(whole.exitCode, 0) << whole.err.toStdString();
    const int points = whole.out.count("<trkpt");
    ASSERT_GT(points, 0);
    const int at = whole.out.indexOf("<trkpt lat=\"");
    const QStringList first = whole.out.mid(at).section('"', 1, 3).split("\" lon=\"");
    ASSERT_EQ(first.size(), 2) << whole.out.toStdString();

    QDir().mkpath(config + "/halvex");
    QFile ini(config + "/halvex/Halvex.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QString("[PRIVACY]\nCOUNT=1\nZONE1=%1,%2,100000\n").arg(first[0], first[1]).toUtf8());
    ini.close();
    QFile stray(elsewhere + "/Halvex.ini");
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.write("[PRIVACY]\nCOUNT=1\nZONE1=25m\n");
    stray.close();

    const launch::Finished zoned =
        launch::RunToEnd(cli, {"gpx", recording, "--out", "-"}, elsewhere, env);
    EXPECT_EQ(zoned.exitCode, 0) << zoned.err.toStdString();
    EXPECT_EQ(zoned.out.count("<trkpt"), 0);
    EXPECT_TRUE(zoned.err.contains("privacy: 1 zone from " + config + "/halvex/Halvex.ini"))
        << zoned.err.toStdString();
    EXPECT_TRUE(zoned.err.contains(QStringLiteral("privacy: %1 positions left out").arg(points)))
        << zoned.err.toStdString();
}

// The installed program works in its configuration folder: a library placed
// in its plugins/ must not run inside the viewer.
TEST_F(DebianPackage, InstalledProgramLoadsNoPluginFromItsConfigFolder) {
    const QString elsewhere = scratch->path() + "/probe-elsewhere";
    const QString config = scratch->path() + "/probe-config";
    const QString mark = scratch->path() + "/loaded-by";
    ASSERT_TRUE(launch::ProbeLeavesMark(mark));
    ASSERT_TRUE(launch::WriteSmallCard(elsewhere + "/card"));
    ASSERT_TRUE(launch::PlaceProbePlugin(config + "/halvex/plugins"));

    QProcessEnvironment env = launch::ViewerEnvironment(config);
    env.insert("HALVEX_PROBE_FILE", mark);
    ASSERT_TRUE(launch::WaitForNoRoute());
    {
        launch::Running viewer(root + "/usr/bin/halvex", {"card"}, elsewhere, env);
        EXPECT_TRUE(launch::WaitForRoute(viewer)) << viewer.Output().toStdString();
    }
    EXPECT_TRUE(QFile::exists(config + "/halvex/Halvex.ini")); // it did work there
    EXPECT_FALSE(QFile::exists(mark));
}

} // namespace
