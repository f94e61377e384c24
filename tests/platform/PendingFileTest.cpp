// Files that take their name only when whole and never another file's name,
// and the sweep of what killed processes left: it removes only that.
#include "platform/PendingFile.h"

#include "tests/support/core/ScratchDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QStringList Names(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The number of a process that has ended and been reaped.
pid_t GonePid() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(PendingFile, IsPlacedOnlyUnderAFreeNameAndLeavesNothingWhenDiscarded) {
    ScratchDir dir;
    const QString taken = dir.Write("taken.json", "earlier");
    PendingFile file;
    QString error;
    ASSERT_TRUE(file.Create(dir.path(), &error)) << error.toStdString();
    ASSERT_TRUE(file.WriteAll("new", &error)) << error.toStdString();
    EXPECT_EQ(Names(dir.path()), QStringList{"taken.json"}) << "no name while written";
    EXPECT_EQ(file.Place(taken, &error), PendingFile::Placed::Exists);
    EXPECT_EQ(Bytes(taken), "earlier");
    EXPECT_EQ(file.Place(dir.Root() + "free.json", &error), PendingFile::Placed::Done)
        << error.toStdString();
    EXPECT_EQ(Bytes(dir.Root() + "free.json"), "new");

    // A named file moved: never over another.
    const QString moved = dir.Write("moved", "mine");
    EXPECT_EQ(MoveWithoutReplacing(moved, taken, &error), PendingFile::Placed::Exists);
    EXPECT_EQ(Bytes(taken), "earlier");
    EXPECT_EQ(Bytes(moved), "mine");

    {
        PendingFile dropped;
        ASSERT_TRUE(dropped.Create(dir.path(), &error));
        ASSERT_TRUE(dropped.WriteAll("dropped", &error));
    }
    EXPECT_EQ(Names(dir.path()), (QStringList{"free.json", "moved", "taken.json"}));
}

TEST(PendingFile, TheSweepRemovesOnlyTheHiddenPartsOfGoneProcesses) {
    ScratchDir dir;
    const QString gone = QString::number(GonePid());
    const QString alive = QString::number(::getppid());
    const QString own = QString::number(::getpid());
    const struct {
        QString name;
        bool removed;
    } cases[] = {
        {".halvex-" + gone + "-a1b2c3.part", true},
        {".halvex-" + alive + "-a1b2c3.part", false}, // its process may be writing
        {".halvex-" + own + "-a1b2c3.part", false},
        {".halvex-" + gone + "-a1b2c3.kept", false}, // an earlier file set aside
        {".halvex-" + gone + "-a1b2.part", false},
        {"halvex-" + gone + "-a1b2c3.part", false},
        {".halvex-" + gone + "-a1b2c3.part.mp4", false},
        {"clip.part", false},
    };
    for (const auto& c : cases)
        dir.Write(c.name);
    ASSERT_TRUE(QDir().mkdir(dir.Root() + ".halvex-" + gone + "-zzzzzz.part"));
    RemoveStaleTemporaries(dir.path());
    for (const auto& c : cases)
        EXPECT_EQ(QFile::exists(dir.Root() + c.name), !c.removed) << c.name.toStdString();
    EXPECT_TRUE(QFileInfo(dir.Root() + ".halvex-" + gone + "-zzzzzz.part").isDir())
        << "only files are removed";
}

} // namespace
