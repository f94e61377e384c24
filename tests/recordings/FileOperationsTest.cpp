#include "platform/FileAttributes.h"
#include "recordings/RecordingCatalog.h"
#include "tests/support/core/CatalogStaging.h"

#include "tests/support/core/SmallCard.h"
#include "tests/support/core/TinyDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

struct Card : SmallCard {
    void Build(const std::vector<int>& filesPerGroup) { SmallCard::Build(catalog, filesPerGroup); }
    QStringList ListedNames() const { return SmallCard::ListedNames(catalog); }

    RecordingCatalog catalog;
    ScratchDir& card = dir;
};

struct CardFixture : ::testing::Test, Card {};

TEST_F(CardFixture, NothingChosenDoesNothing) {
    Build({2, 1});
    EXPECT_EQ(catalog.MarkChosenGroups(), 0);
    EXPECT_EQ(presenter->DeleteChosen(), 0);
    EXPECT_EQ(presenter->LockChosen(), 0);
    EXPECT_EQ(presenter->UnlockChosen(), 0);
    EXPECT_FALSE(catalog.SaveChosen(card.path() + "/backup"));
    EXPECT_EQ(catalog.Files().size(), 3u);
    EXPECT_TRUE(QFile::exists(PathOf("FILE0001.MOV")));
    EXPECT_FALSE(*FileAttributes::Get(PathOf("FILE0001.MOV")) & FileAttributes::ReadOnly);
    EXPECT_FALSE(QFileInfo::exists(card.path() + "/backup"));

    RecordingCatalog withoutList;
    CatalogStaging::Files(withoutList) = CatalogStaging::Files(catalog);
    CatalogStaging::Groups(withoutList) = CatalogStaging::Groups(catalog);
    EXPECT_EQ(withoutList.MarkChosenGroups(), 0);
}

TEST_F(CardFixture, DeleteSkipsReadOnlyFilesAndRegroups) {
    Build({3, 3, 1});
    ASSERT_TRUE(FileAttributes::Set(PathOf("FILE0002.MOV"), FileAttributes::ReadOnly));
    groups.chosen = {0, 1};

    QStringList untouched;
    EXPECT_EQ(presenter->DeleteChosen(&untouched), 1);
    EXPECT_EQ(untouched, QStringList{PathOf("FILE0002.MOV")}) << "named, not skipped silently";
    EXPECT_EQ(ListedNames(), (QStringList{"FILE0002.MOV", "FILE0007.MOV"}));
    for (int n : {1, 3, 4, 5, 6})
        EXPECT_FALSE(QFile::exists(PathOf(QStringLiteral("FILE%1.MOV").arg(n, 4, 10, QChar('0')))));
    EXPECT_TRUE(QFile::exists(PathOf("FILE0002.MOV")));

    ASSERT_EQ(catalog.Groups().size(), 2u);
    EXPECT_EQ(catalog.Groups()[1].firstFile, 1);
    EXPECT_EQ(catalog.Rows().size(), 2u);
    EXPECT_EQ(catalog.Rows()[1].fileIndex, 1);
    EXPECT_EQ(groups.rows.size(), 2u) << "the lists are filled again";
    EXPECT_EQ(fileRows.rows.size(), 2u);
    EXPECT_EQ(fileRows.rows[1].fileName, "FILE0007.MOV");
}

TEST(FileOperations, DeleteKeepsTheCurrentRecordingAndItsTrack) {
    const struct {
        int current;
        int expectedCurrent;
        bool trackKept;
    } cases[] = {
        {0, 0, true},   // before the deleted group
        {4, 1, true},   // after it: moves down by three
        {2, -1, false}, // deleted itself
    };
    for (const auto& c : cases) {
        Card card;
        RecordingCatalog& catalog = card.catalog;
        card.Build({1, 3, 1});
        ASSERT_EQ(catalog.SelectFile(c.current), 1);
        CatalogStaging::TrackOf(catalog).fixes.resize(3);
        CatalogStaging::TrackOf(catalog).samples.resize(3);
        card.groups.chosen = {1};

        EXPECT_EQ(card.presenter->DeleteChosen(), 1);
        EXPECT_EQ(catalog.currentFile(), c.expectedCurrent) << "current " << c.current;
        EXPECT_EQ(catalog.GpsPointCount() != 0, c.trackKept) << "current " << c.current;
        EXPECT_EQ(catalog.GSensorSampleCount() != 0, c.trackKept);
        if (c.expectedCurrent >= 0) {
            EXPECT_EQ(catalog.Files()[size_t(c.expectedCurrent)].fileName,
                      QStringLiteral("FILE%1.MOV").arg(c.current + 1, 4, 10, QChar('0')));
        }
    }
}

TEST_F(CardFixture, LockMarksFilesByHandAndLeavesLockedOnesAlone) {
    Build({2, 1});
    CatalogStaging::Files(catalog)[1].flags = RecordingFile::kEventLocked;
    groups.chosen = {0};

    EXPECT_EQ(presenter->LockChosen(), 1);
    const unsigned attributes = *FileAttributes::Get(PathOf("FILE0001.MOV"));
    EXPECT_EQ(attributes & (FileAttributes::ReadOnly | FileAttributes::Archive),
              unsigned(FileAttributes::ReadOnly | FileAttributes::Archive));
    EXPECT_EQ(catalog.Files()[0].flags, 2);
    EXPECT_EQ(catalog.Files()[1].flags, 1) << "already locked: untouched";
    EXPECT_FALSE(*FileAttributes::Get(PathOf("FILE0002.MOV")) & FileAttributes::ReadOnly);
    EXPECT_EQ(catalog.Groups()[0].flags, 2);
    EXPECT_EQ(catalog.Groups()[1].flags, 0);
    ASSERT_EQ(fileRows.rows.size(), 3u);
    EXPECT_EQ(fileRows.rows[0].flags, 2);
    EXPECT_EQ(groups.rows[0].flags, 2);
    EXPECT_TRUE(groups.chosen.empty()) << "refilling clears the check boxes";
}

TEST_F(CardFixture, FailedAttributeChangeKeepsFileFlags) {
    Build({2});
    QFile::remove(PathOf("FILE0002.MOV"));
    groups.chosen = {0};
    EXPECT_EQ(presenter->LockChosen(), 1);
    EXPECT_EQ(catalog.Files()[1].flags, 0);
    EXPECT_EQ(catalog.Groups()[0].flags, 2) << "one of its files is locked";

    groups.chosen = {0};
    EXPECT_EQ(presenter->UnlockChosen(), 1);
    EXPECT_EQ(catalog.Files()[0].flags, 0);
    EXPECT_EQ(catalog.Groups()[0].flags, 0);
}

TEST_F(CardFixture, UnlockClearsBothLockBits) {
    Build({2});
    // How the camera leaves an event file: read-only without archive.
    ASSERT_TRUE(FileAttributes::Set(PathOf("FILE0001.MOV"), FileAttributes::ReadOnly));
    CatalogStaging::Files(catalog)[0].flags = 3;
    ASSERT_TRUE(FileAttributes::Set(PathOf("FILE0002.MOV"),
                                    FileAttributes::ReadOnly | FileAttributes::Archive));
    CatalogStaging::Files(catalog)[1].flags = 2;
    groups.chosen = {0};

    EXPECT_EQ(presenter->UnlockChosen(), 1);
    for (const char* name : {"FILE0001.MOV", "FILE0002.MOV"})
        EXPECT_FALSE(*FileAttributes::Get(PathOf(name)) & FileAttributes::ReadOnly) << name;
    EXPECT_EQ(catalog.Files()[0].flags, 0);
    EXPECT_EQ(catalog.Files()[1].flags, 0);
    EXPECT_EQ(groups.rows[0].flags, 0);
}

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST_F(CardFixture, SaveKeepsSubFoldersAndAsksBeforeOverwriting) {
    Build({2, 1});
    const QString backup = card.path() + "/backup";
    groups.chosen = {0};
    QStringList asked;
    QStringList notCopied;
    EXPECT_TRUE(catalog.SaveChosen(
        backup, [&](const QString& p) { return asked << p, true; }, &notCopied));
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_TRUE(notCopied.isEmpty());
    EXPECT_EQ(Contents(backup + "/DCIM/MOVIE/FILE0001.MOV"), "FILE0001");
    EXPECT_EQ(Contents(backup + "/DCIM/MOVIE/FILE0002.MOV"), "FILE0002");
    EXPECT_FALSE(QFile::exists(backup + "/DCIM/MOVIE/FILE0003.MOV"));
    EXPECT_EQ(QDir(backup + "/DCIM/MOVIE").entryList(QDir::Files | QDir::Hidden).size(), 2)
        << "no temporary files left behind";

    // Saving again asks once per file; a refusal keeps the existing copy.
    card.Write("backup/DCIM/MOVIE/FILE0001.MOV", "older");
    card.Write("backup/DCIM/MOVIE/FILE0002.MOV", "older");
    groups.chosen = {0};
    asked.clear();
    EXPECT_TRUE(catalog.SaveChosen(backup, [&](const QString& p) {
        asked << p;
        return p.endsWith("FILE0002.MOV");
    }));
    EXPECT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[0], backup + "/DCIM/MOVIE/FILE0001.MOV");
    EXPECT_EQ(Contents(backup + "/DCIM/MOVIE/FILE0001.MOV"), "older");
    EXPECT_EQ(Contents(backup + "/DCIM/MOVIE/FILE0002.MOV"), "FILE0002");
}

TEST_F(CardFixture, FailedCopyIsReportedAndLeavesTheDestinationWhole) {
    Build({4});
    const QString backup = card.path() + "/backup";
    card.Write("backup/DCIM/MOVIE/FILE0001.MOV", "earlier copy");
    QFile::remove(PathOf("FILE0001.MOV")); // source gone
    QFile::remove(PathOf("FILE0004.MOV")); // now a FIFO, which has no writer
    ASSERT_EQ(::mkfifo(QFile::encodeName(PathOf("FILE0004.MOV")).constData(), 0644), 0);
    QDir().mkpath(backup + "/DCIM/MOVIE/FILE0002.MOV"); // a folder in the way
    groups.chosen = {0};
    QStringList notCopied;

    EXPECT_TRUE(catalog.SaveChosen(backup, {}, &notCopied));
    EXPECT_EQ(notCopied, (QStringList{PathOf("FILE0001.MOV"), PathOf("FILE0002.MOV"),
                                      PathOf("FILE0004.MOV")}));
    EXPECT_EQ(Contents(backup + "/DCIM/MOVIE/FILE0001.MOV"), "earlier copy");
    EXPECT_TRUE(QFileInfo(backup + "/DCIM/MOVIE/FILE0002.MOV").isDir());
    EXPECT_EQ(Contents(backup + "/DCIM/MOVIE/FILE0003.MOV"), "FILE0003") << "the rest is copied";
    EXPECT_EQ(QDir(backup + "/DCIM/MOVIE")
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                  .size(),
              3);
}

TEST_F(CardFixture, SaveTellsItsProgressAndStopsWhenTold) {
    // Files of 8 bytes, the fourth big enough to be copied in pieces.
    Build({2, 1, 2});
    const QByteArray big(3 << 20, 'x');
    card.Write("DCIM/MOVIE/FILE0004.MOV", big);
    const QString backup = card.path() + "/backup";
    std::vector<std::pair<qint64, qint64>> told;
    auto telling = [&](bool keepGoing) {
        return [&told, keepGoing](qint64 done, qint64 total, const QString&) {
            told.emplace_back(done, total);
            return keepGoing || done < 3 << 19;
        };
    };
    groups.chosen = {0, 2};
    EXPECT_TRUE(catalog.SaveChosen(backup, {}, nullptr, telling(true)));
    const qint64 total = 3 * 8 + (3 << 20);
    // Before each file and after each MiB of it, then the end.
    const qint64 m = 1 << 20;
    EXPECT_EQ(told, (std::vector<std::pair<qint64, qint64>>{{0, total},
                                                            {8, total},
                                                            {8, total},
                                                            {16, total},
                                                            {16, total},
                                                            {16 + m, total},
                                                            {16 + 2 * m, total},
                                                            {16 + 3 * m, total},
                                                            {16 + 3 * m, total},
                                                            {total, total},
                                                            {total, total}}));

    // Stopped in the middle of the big file: no part of it is left.
    told.clear();
    QDir(backup).removeRecursively();
    groups.chosen = {0, 2};
    EXPECT_TRUE(catalog.SaveChosen(backup, {}, nullptr, telling(false)));
    EXPECT_EQ(told.back().first, 16 + (2 << 20));
    EXPECT_TRUE(QFile::exists(backup + "/DCIM/MOVIE/FILE0002.MOV"));
    EXPECT_EQ(QDir(backup + "/DCIM/MOVIE").entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(CardFixture, SaveOntoTheRecordingItselfKeepsIt) {
    Build({1});
    groups.chosen = {0};
    QStringList notCopied;
    EXPECT_TRUE(catalog.SaveChosen(card.path(), {}, &notCopied));
    EXPECT_TRUE(notCopied.isEmpty());
    EXPECT_EQ(Contents(PathOf("FILE0001.MOV")), "FILE0001");
}

TEST_F(CardFixture, SaveKeepsPermissionsAndTimes) {
    Build({1});
    const QString source = PathOf("FILE0001.MOV");
    ASSERT_TRUE(FileAttributes::Set(source, FileAttributes::ReadOnly | FileAttributes::Archive));
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1625415005);
    {
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        ASSERT_TRUE(f.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    groups.chosen = {0};
    const QString backup = card.path() + "/backup";
    EXPECT_TRUE(catalog.SaveChosen(backup));
    const QFileInfo copy(backup + "/DCIM/MOVIE/FILE0001.MOV");
    EXPECT_EQ(copy.lastModified(), stamp);
    EXPECT_EQ(copy.permissions(), QFileInfo(source).permissions());
}

// A card whose write protection is on: nothing can be deleted, locked or
// unlocked, and every file says so; no padlock appears that is not there.
TEST(FileOperations, AReadOnlyCardChangesNothingAndSaysSo) {
    TinyDisk disk;
    SKIP_UNLESS_MOUNTED(disk);
    RecordingCatalog catalog;
    CatalogPresenter presenter(catalog);
    FakeGroupList groups;
    FakeFileList fileRows;
    presenter.SetViews({&groups, &fileRows, nullptr, nullptr, nullptr});
    QStringList paths;
    for (int serial : {1, 2}) {
        RecordingFile f;
        f.root = disk.path() + "/";
        f.folder = "DCIM/";
        f.fileName = SmallCard::Name(serial);
        QDir().mkpath(f.root + f.folder);
        QFile file(f.root + f.folder + f.fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        CatalogStaging::Files(catalog).push_back(f);
        paths << QDir::cleanPath(catalog.GetFilePath(int(catalog.Files().size() - 1)));
    }
    catalog.MarkGroupStarts();
    catalog.BuildGroupsAndRows();
    ASSERT_TRUE(disk.Remount(true));

    QStringList untouched;
    groups.chosen = {0};
    EXPECT_EQ(presenter.LockChosen(&untouched), 1);
    EXPECT_EQ(untouched, paths);
    EXPECT_EQ(catalog.Files()[0].flags, 0);
    EXPECT_EQ(catalog.Groups()[0].flags, 0) << "no padlock for a lock that failed";
    EXPECT_EQ(groups.rows.at(0).flags, 0);

    untouched.clear();
    groups.chosen = {0};
    EXPECT_EQ(presenter.DeleteChosen(&untouched), 1);
    EXPECT_EQ(untouched, (QStringList{paths[1], paths[0]})) << "visited from the last";
    EXPECT_EQ(catalog.Files().size(), 2u);

    // Locked files on such a card stay locked, and the group keeps its mark.
    ASSERT_TRUE(disk.Remount(false));
    for (RecordingFile& f : CatalogStaging::Files(catalog)) {
        f.flags = RecordingFile::kHandLocked;
        ASSERT_TRUE(FileAttributes::Set(f.root + f.folder + f.fileName,
                                        FileAttributes::ReadOnly | FileAttributes::Archive));
    }
    ASSERT_TRUE(disk.Remount(true));
    untouched.clear();
    groups.chosen = {0};
    EXPECT_EQ(presenter.UnlockChosen(&untouched), 1);
    EXPECT_EQ(untouched, paths);
    EXPECT_EQ(catalog.Groups()[0].flags, RecordingFile::kHandLocked);
}

} // namespace
