#include "recordings/FolderWalk.h"

#include "tests/support/core/ScratchDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

QStringList WalkedPaths(const QString& root) {
    QStringList seen;
    FolderWalk::Walk(root, [&](const FolderWalk::Entry& e) { seen << e.folder + e.name; });
    return seen;
}

TEST(FolderWalk, DepthFirstInNameOrder) {
    ScratchDir dir;
    dir.Write("b.MOV");
    dir.Write("a/z.MOV");
    dir.Write("a/m/deep.MOV");
    dir.Write("a/c.MOV");
    dir.Write("c/x.MOV");
    QDir(dir.path()).mkpath("empty");
    EXPECT_EQ(WalkedPaths(dir.Root()),
              (QStringList{"a/c.MOV", "a/m/deep.MOV", "a/z.MOV", "b.MOV", "c/x.MOV"}));
}

TEST(FolderWalk, SkipsHiddenEntriesLinksToFoldersAndSpecialFiles) {
    ScratchDir dir;
    dir.Write("FILE0001.MOV");
    dir.Write(".FILE0002.MOV");
    dir.Write(".Trash/FILE0003.MOV");
    dir.Write("outside/FILE0004.MOV");
    // A loop back to the root and a link out of the tree are not entered.
    ASSERT_TRUE(QFile::link(dir.path(), dir.path() + "/loop"));
    ASSERT_TRUE(QFile::link(dir.path() + "/outside", dir.path() + "/linked"));
    // A link to a file is a file; a dangling link and a FIFO are not.
    ASSERT_TRUE(QFile::link(dir.path() + "/FILE0001.MOV", dir.path() + "/FILE0005.MOV"));
    ASSERT_TRUE(QFile::link(dir.path() + "/gone.MOV", dir.path() + "/FILE0006.MOV"));
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.path() + "/FILE0007.MOV").constData(), 0600), 0);

    EXPECT_EQ(WalkedPaths(dir.Root()),
              (QStringList{"FILE0001.MOV", "FILE0005.MOV", "outside/FILE0004.MOV"}));
}

TEST(FolderWalk, ReportsAttributes) {
    ScratchDir dir;
    const QString path = dir.Write("FILE0001.MOV");
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0444), 0);
    unsigned attributes = 0;
    FolderWalk::Walk(dir.Root(), [&](const FolderWalk::Entry& e) { attributes = e.attributes; });
    EXPECT_TRUE(attributes & 0x01) << "read-only";
}

int OpenDescriptors() {
    return int(QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size());
}

// Each file comes with a descriptor of itself, the one its attributes were
// read through; the walk closes those its visitor leaves.
TEST(FolderWalk, HandsOverEachFileOpenAndClosesWhatIsLeft) {
    ScratchDir dir;
    dir.Write("a/FILE0001.MOV", "12345");
    dir.Write("FILE0002.MOV", "1234567");
    ASSERT_TRUE(QFile::link(dir.path() + "/FILE0002.MOV", dir.path() + "/FILE0003.MOV"));
    const int before = OpenDescriptors();
    int taken = -1, visited = 0;
    FolderWalk::Walk(dir.Root(), [&](FolderWalk::Entry& e) {
        ++visited;
        struct stat byPath {
        }, byFd{};
        ASSERT_GE(e.fd, 0) << e.name.toStdString();
        ASSERT_EQ(::stat(QFile::encodeName(dir.Root() + e.folder + e.name).constData(), &byPath),
                  0);
        ASSERT_EQ(::fstat(e.fd, &byFd), 0);
        EXPECT_EQ(byFd.st_ino, byPath.st_ino) << e.name.toStdString();
        EXPECT_EQ(e.size, uint64_t(byPath.st_size)) << e.name.toStdString();
        if (e.name == "FILE0002.MOV")
            taken = std::exchange(e.fd, -1);
    });
    EXPECT_EQ(visited, 3);
    ASSERT_GE(taken, 0);
    EXPECT_EQ(OpenDescriptors(), before + 1) << "only the descriptor taken stays open";
    ::close(taken);
}

TEST(FolderWalk, StopsAtTheDepthLimit) {
    ScratchDir dir;
    QString folder;
    for (int level = 1; level <= FolderWalk::kMaxFolderDepth + 2; ++level) {
        folder += QString::number(level % 10) + "/";
        dir.Write(folder + QStringLiteral("L%1.MOV").arg(level));
    }
    std::set<QString> names;
    FolderWalk::Walk(dir.Root(), [&](const FolderWalk::Entry& e) { names.insert(e.name); });
    EXPECT_EQ(names.size(), size_t(FolderWalk::kMaxFolderDepth));
    EXPECT_EQ(names.count("L1.MOV"), 1u);
    EXPECT_EQ(names.count(QStringLiteral("L%1.MOV").arg(FolderWalk::kMaxFolderDepth)), 1u);
    EXPECT_EQ(names.count(QStringLiteral("L%1.MOV").arg(FolderWalk::kMaxFolderDepth + 1)), 0u);
}

} // namespace
