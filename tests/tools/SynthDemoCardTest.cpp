// The halvex-synth program: a demo card whose files pair up by the camera's
// naming rules, carry their lock state, and are all camera file names.
#include "platform/FileAttributes.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kProgram = HALVEX_BINARY_DIR "/tools/halvex-synth";

int RunSynth(const QStringList& args, QByteArray* out = nullptr) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HALVEX_SYNTH_CACHE", HALVEX_BINARY_DIR "/synth-cache");
    p.setProcessEnvironment(env);
    p.start(kProgram, args);
    if (!p.waitForFinished(240000))
        return -1;
    if (out)
        *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

TEST(SynthDemoCard, FilesPairUpAndCarryTheirLocks) {
    QTemporaryDir card;
    ASSERT_EQ(RunSynth({"demo-card", card.path()}), 0);

    QStringList files;
    for (QDirIterator it(card.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next().mid(card.path().size() + 1);
    files.sort();
    ASSERT_GE(files.size(), 20);

    // First four characters letters, digits, "_" or "-", then four digits.
    const QRegularExpression cameraName("^[0-9A-Za-z_-]{4}[0-9]{4}");
    int fronts = 0;
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const QString name = file.section('/', -1);
        EXPECT_TRUE(cameraName.match(name).hasMatch());
        EXPECT_TRUE(name.endsWith(".MOV") || name.endsWith(".AVI"));

        QString partner;
        if (file.contains("/front/")) {
            partner = QString(file).replace("/front/", "/back/");
            partner.replace(partner.lastIndexOf('.') - 1, 1, "1_b");
        } else if (file.contains("MovieF/")) {
            partner = QString(file).replace("MovieF/", "MovieR/").replace("F.MOV", "R.MOV");
        } else {
            continue;
        }
        ++fronts;
        EXPECT_TRUE(files.contains(partner)) << partner.toStdString();

        const unsigned attrs = FileAttributes::Get(card.filePath(file)).value_or(0);
        const bool locked = name.startsWith("EVGS") || name.startsWith("EVSW") ||
                            name.startsWith("FILE0050") || name.startsWith("FILE0060");
        EXPECT_EQ(attrs & (FileAttributes::ReadOnly | FileAttributes::Archive),
                  locked ? FileAttributes::ReadOnly | FileAttributes::Archive
                         : unsigned(FileAttributes::Archive));
    }
    EXPECT_EQ(fronts * 2, files.size());
    for (const char* expected : {"DCIM/Movie/front/FILE0010.MOV", "DCIM/Movie/back/FILE0011_b.MOV",
                                 "DCIM/MovieF/MOV_0001F.MOV", "DCIM/MovieR/MOV_0001R.MOV",
                                 "DCIM/Movie/front/EVGS0040.MOV", "DCIM/MovieF/EVSW0003F.MOV"})
        EXPECT_TRUE(files.contains(expected)) << expected;
}

TEST(SynthDemoCard, CommandLineMistakesFailWithoutWriting) {
    QTemporaryDir dir;
    QByteArray out;
    EXPECT_EQ(RunSynth({"--help"}, &out), 0);
    EXPECT_TRUE(out.contains("demo-card")) << out.toStdString();
    const QString target = dir.filePath("x.MOV");
    for (const QStringList& args : {QStringList{"file"}, QStringList{"copy", target},
                                    QStringList{"file", "--kind", "mp4", target},
                                    QStringList{"file", "--start", "yesterday", target},
                                    QStringList{"file", "--gps-rate", "0", target}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        EXPECT_EQ(RunSynth(args), 1);
        EXPECT_FALSE(QFile::exists(target));
    }
}

} // namespace
