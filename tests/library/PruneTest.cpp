// Room to grow: the oldest quiet drives of a real library proposed, and
// deleted only where they are the library's own unlocked recordings.
#include "cardindex/CardIndex.h"
#include "library/LibraryIndex.h"
#include "library/LibraryPrune.h"
#include "library/LibraryVerify.h"
#include "recordings/RecordingCatalog.h"
#include "tests/library/LibraryFixture.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace librarytest;

class PruneTest : public LibraryTest {
  protected:
    // Drives on the 9th (quiet), the 10th (locked on the card) and the 11th
    // (quiet), kept in the library and read by its card index.
    void Fill() {
        Drive(90, At(9, 9, 0, 0));
        const QString locked = Drive(91, At(10, 9, 0, 0));
        ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0444), 0);
        Drive(92, At(11, 9, 0, 0));
        ASSERT_TRUE(Import().Complete());
        RecordingCatalog catalog;
        catalog.Open(Library());
        QString note;
        ASSERT_TRUE(index.Build(catalog.Files(), QString(), {}, &note));
        ASSERT_EQ(index.Trips().size(), 3u);
    }
    PruneProposal Propose(int most) const {
        return OldestQuietDrives(index.Recordings(), index.Trips(), index.Events(), most);
    }
    QStringList Below(const QStringList& paths) const {
        QStringList out;
        for (const QString& p : paths)
            out << QFileInfo(p).canonicalFilePath().mid(
                QFileInfo(Library()).canonicalFilePath().size() + 1);
        out.sort();
        return out;
    }

    CardIndex index;
};

TEST_F(PruneTest, ProposesTheOldestDrivesWithoutLockFrontAndRear) {
    Fill();
    if (HasFatalFailure())
        return;
    const PruneProposal one = Propose(1);
    EXPECT_EQ(Below(one.paths),
              QStringList({"2024/2024-03-09/FILE0900.MOV", "2024/2024-03-09/FILE0901_b.MOV"}));
    EXPECT_EQ(one.bytes, uint64_t(QFileInfo(one.paths[0]).size() + QFileInfo(one.paths[1]).size()));
    // The locked drive of the 10th is passed by.
    EXPECT_EQ(Below(Propose(5).paths),
              QStringList({"2024/2024-03-09/FILE0900.MOV", "2024/2024-03-09/FILE0901_b.MOV",
                           "2024/2024-03-11/FILE0920.MOV", "2024/2024-03-11/FILE0921_b.MOV"}));
}

TEST_F(PruneTest, DeletesOnlyUnlockedRecordingsOfItsDayFoldersAndForgetsThem) {
    Fill();
    if (HasFatalFailure())
        return;
    const QString day9 = Library() + "/2024/2024-03-09/";
    ASSERT_EQ(::symlink(QFile::encodeName(day9 + "FILE0900.MOV").constData(),
                        QFile::encodeName(day9 + "LINK0900.MOV").constData()),
              0);
    QFile loose(Library() + "/FILE0999.MOV");
    ASSERT_TRUE(loose.open(QIODevice::WriteOnly));
    loose.close();
    const QStringList before = Tree(Library());

    struct Refused {
        const char* what;
        QString path;
    };
    const Refused refused[] = {
        {"a file on the card", card.path() + "/DCIM/FILE0900.MOV"},
        {"a link in a day folder", day9 + "LINK0900.MOV"},
        {"a locked recording", Library() + "/2024/2024-03-10/FILE0910.MOV"},
        {"a file outside the day folders", Library() + "/FILE0999.MOV"},
        {"a way out of the library", day9 + "../../../library/2024/2024-03-11/../../FILE0999.MOV"},
        {"the library's index", Library() + "/.halvex-library.sqlite"},
    };
    for (const Refused& r : refused) {
        QString error;
        // A good path beside it is not deleted either: nothing goes unless all may.
        EXPECT_FALSE(DeleteKept(Library(), {day9 + "FILE0901_b.MOV", r.path}, &error)) << r.what;
        EXPECT_FALSE(error.isEmpty()) << r.what;
        EXPECT_EQ(Tree(Library()), before) << r.what;
    }

    ASSERT_EQ(::unlink(QFile::encodeName(day9 + "LINK0900.MOV").constData()), 0);
    loose.remove();
    QString error;
    ASSERT_TRUE(DeleteKept(Library(), Propose(1).paths, &error)) << error.toStdString();
    EXPECT_EQ(Kept(),
              QStringList({"2024/2024-03-10/FILE0910.MOV", "2024/2024-03-10/FILE0911_b.MOV",
                           "2024/2024-03-11/FILE0920.MOV", "2024/2024-03-11/FILE0921_b.MOV"}));
    // The index forgot them: a check of the library finds nothing missing.
    const VerifyResult verified = VerifyLibrary(Library(), {});
    EXPECT_TRUE(verified.error.isEmpty()) << verified.error.toStdString();
    EXPECT_TRUE(verified.problems.empty()) << verified.problems.front().path.toStdString();
    EXPECT_EQ(verified.checked, 4);
}

} // namespace
