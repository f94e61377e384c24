// scripts/run as a user starts it: from the repository root and from another
// folder, with the real viewer window drawing the route on its map.
#include "LaunchSupport.h"
#include "tests/support/core/ScratchDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QString kSource = HALVEX_SOURCE_DIR;
const QString kRunScript = kSource + "/scripts/run";

class ScriptsRun : public ::testing::Test {
  protected:
    void SetUp() override {
        // scripts/run builds into build/ below the repository; from another
        // build folder it would start a second build.
        if (QDir(HALVEX_BINARY_DIR).canonicalPath() != QDir(kSource + "/build").canonicalPath())
            GTEST_SKIP() << "scripts/run uses " << kSource.toStdString() << "/build";
        // Package managers that only record being called: with everything
        // installed, a run must not need one.
        fakeBin = scratch.path() + "/fake-bin";
        QDir().mkpath(fakeBin);
        for (const char* tool : {"apt-get", "apt", "sudo"}) {
            const QString path = fakeBin + "/" + tool;
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("#!/bin/sh\necho \"$0 $*\" >> \"$(dirname \"$0\")/called\"\nexit 1\n");
            f.close();
            f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        }
        // The repository's own settings (from earlier runs) may have the map
        // pane off; the runs start with none and the settings come back
        // afterwards (a crashed test leaves them in the scratch folder).
        kept = scratch.path() + "/Halvex.ini.kept";
        if (QFile::copy(kSource + "/Halvex.ini", kept))
            QFile::remove(kSource + "/Halvex.ini");
    }
    void TearDown() override {
        if (!kept.isEmpty() && QFile::exists(kept)) {
            QFile::remove(kSource + "/Halvex.ini");
            QFile::copy(kept, kSource + "/Halvex.ini");
        }
    }
    QProcessEnvironment Environment() const {
        QProcessEnvironment env = launch::ViewerEnvironment();
        env.insert("PATH", fakeBin + ":" + env.value("PATH"));
        return env;
    }
    QString PackageManagerCalls() const {
        QFile calls(fakeBin + "/called");
        return calls.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(calls.readAll()) : "";
    }

    ScratchDir scratch;
    QString fakeBin, kept;
};

TEST_F(ScriptsRun, DrawsTheRouteFromEachWorkingDirectory) {
    const QString elsewhere = scratch.path() + "/elsewhere";
    ASSERT_TRUE(launch::WriteSmallCard(elsewhere + "/card"));
    const struct {
        const char* what;
        QString workingDir;
        QStringList args;
    } cases[] = {
        {"repository root, demo card", kSource, {}},
        {"another folder, relative card", elsewhere, {"card"}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(launch::WaitForNoRoute()) << c.what;
        launch::Running viewer(kRunScript, c.args, c.workingDir, Environment());
        EXPECT_TRUE(launch::WaitForRoute(viewer, 240000)) << c.what << "\n"
                                                          << viewer.Output().toStdString();
        viewer.Stop();
    }
    EXPECT_EQ(PackageManagerCalls(), "");
}

TEST_F(ScriptsRun, MissingFolderIsAnErrorWithStatus2) {
    const launch::Finished run =
        launch::RunToEnd(kRunScript, {"no-such-card"}, scratch.path(), Environment());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("no-such-card")) << run.err.toStdString();
    EXPECT_EQ(PackageManagerCalls(), "");
}

} // namespace
