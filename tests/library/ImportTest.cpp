// Importing cards into a library on the real disk, through the library's
// own calls: what is copied, what is known again, what a cut import leaves.
#include "library/LibraryIndex.h"
#include "library/LibraryLock.h"
#include "library/LibraryVerify.h"
#include "recordings/RecordingCatalog.h"
#include "tests/library/LibraryFixture.h"
#include "tests/support/core/FatCard.h"
#include "tests/support/core/TinyDisk.h"

#include <QCryptographicHash>
#include <QFile>
#include <sys/stat.h>

namespace {

using namespace librarytest;

QByteArray Sha(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&f);
    return hash.result();
}

struct stat Stat(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

TEST_F(LibraryTest, KeepsEachFileByDayWithItsNameTimeAndLockAndCopiesItOnce) {
    const QString first = Drive(60, At(9, 23, 59, 0));
    Drive(62, At(10, 0, 30, 0));
    // Locked by hand on the card: no write bits.
    ASSERT_EQ(::chmod(QFile::encodeName(first).constData(), 0444), 0);

    const auto cardState = [&] {
        QStringList state;
        for (const QString& name : Tree(card.path())) {
            const struct stat st = Stat(card.path() + "/" + name);
            state << QStringLiteral("%1 %2 %3 %4.%5 %6.%7")
                         .arg(name)
                         .arg(st.st_mode)
                         .arg(st.st_size)
                         .arg(st.st_mtim.tv_sec)
                         .arg(st.st_mtim.tv_nsec)
                         .arg(st.st_ctim.tv_sec)
                         .arg(st.st_ctim.tv_nsec);
        }
        return state;
    };
    const QStringList cardBefore = cardState();
    const ImportSummary once = Import();
    ASSERT_TRUE(once.Complete()) << once.stopped.toStdString();
    // Nothing on the card was written, renamed, deleted or changed in mode.
    EXPECT_EQ(cardState(), cardBefore);
    EXPECT_EQ(once.recordings, 4);
    EXPECT_EQ(once.copied, 4);
    EXPECT_EQ(Kept(),
              QStringList({"2024/2024-03-09/FILE0600.MOV", "2024/2024-03-09/FILE0601_b.MOV",
                           "2024/2024-03-10/FILE0620.MOV", "2024/2024-03-10/FILE0621_b.MOV"}));
    const QString kept = Library() + "/2024/2024-03-09/FILE0600.MOV";
    EXPECT_EQ(Sha(kept), Sha(first));
    EXPECT_EQ(Stat(kept).st_mtim.tv_sec, Stat(first).st_mtim.tv_sec);
    EXPECT_EQ(Stat(kept).st_mtim.tv_nsec, Stat(first).st_mtim.tv_nsec);
    EXPECT_EQ(Stat(kept).st_mode & 0222, 0u) << "the lock is kept";
    EXPECT_NE(Stat(Library() + "/2024/2024-03-10/FILE0620.MOV").st_mode & 0200, 0u);

    // The library opens like a card, the lock seen as on the card.
    RecordingCatalog catalog;
    catalog.Open(Library());
    ASSERT_EQ(catalog.Files().size(), 4u);
    EXPECT_TRUE(catalog.Files().front().IsLocked());
    EXPECT_FALSE(catalog.Files().back().IsLocked());

    const QStringList before = Tree(Library());
    const ImportSummary twice = Import();
    ASSERT_TRUE(twice.Complete());
    EXPECT_EQ(twice.copied, 0);
    EXPECT_EQ(twice.alreadyKept, 4);
    EXPECT_EQ(Tree(Library()), before);
    EXPECT_EQ(
        Stat(kept).st_ino,
        Stat(Library() + "/" + before[before.indexOf("2024/2024-03-09/FILE0600.MOV")]).st_ino);

    // A new recording on the card is all the next import copies.
    Drive(64, At(10, 1, 0, 0));
    const ImportSummary third = Import();
    EXPECT_EQ(third.copied, 2);
    EXPECT_EQ(third.alreadyKept, 4);
    EXPECT_TRUE(VerifyLibrary(Library(), {}).problems.empty());
}

TEST_F(LibraryTest, OneRecordingFromTwoCardsIsKeptOnce) {
    const QString front = Drive(60, At(9, 8, 0, 0));
    ScratchDir other;
    // The same recording met again through another reader: renamed, in
    // another folder, with another time.
    ASSERT_TRUE(QDir().mkpath(other.path() + "/DCIM"));
    ASSERT_TRUE(QFile::copy(front, other.path() + "/DCIM/FILE0900.MOV"));
    ASSERT_TRUE(Import().Complete());
    const ImportSummary second = Import(KeepMode::All, {}, {}, other.path());
    ASSERT_TRUE(second.Complete()) << second.stopped.toStdString();
    EXPECT_EQ(second.copied, 0);
    EXPECT_EQ(second.alreadyKept, 1);
    EXPECT_EQ(Kept().size(), 2);

    // A different recording under a name the library holds for that day
    // is kept beside it, under its own name.
    ASSERT_TRUE(QDir(card.path() + "/dcim").removeRecursively());
    Drive(60, At(9, 8, 30, 0), 20, 50);
    const ImportSummary clash = Import();
    ASSERT_TRUE(clash.Complete());
    EXPECT_EQ(clash.copied, 2);
    EXPECT_TRUE(Kept().contains("2024/2024-03-09/2/FILE0600.MOV"))
        << Kept().join(' ').toStdString();
}

TEST_F(LibraryTest, CardRemovedMidImportLeavesNoPartFileAndTheNextImportCompletes) {
    for (int i = 0; i < 4; ++i)
        Drive(60 + 2 * i, At(9, 8, i, 0));
    ScratchDir reader;
    const QString cardPath = reader.path() + "/sd";
    ASSERT_TRUE(CopyTree(card.path(), cardPath));

    bool removed = false;
    const ImportSummary cut = Import(
        KeepMode::All,
        [&](const ImportProgress& p) {
            // Pulled out once the third file is under way.
            if (!removed && p.filesDone == 2 && p.bytesDone > 0) {
                removed = QDir(cardPath).removeRecursively();
            }
        },
        {}, cardPath);
    ASSERT_TRUE(removed);
    EXPECT_FALSE(cut.Complete());
    EXPECT_TRUE(cut.stopped.contains("no longer there")) << cut.stopped.toStdString();
    EXPECT_FALSE(cut.failed.empty());
    EXPECT_LT(cut.copied, 8);
    // Every file under a final name is whole; nothing else is left.
    const VerifyResult check = VerifyLibrary(Library(), {});
    EXPECT_TRUE(check.problems.empty());
    EXPECT_EQ(check.checked, Kept().size());
    for (const QString& name : Tree(Library()))
        EXPECT_FALSE(name.contains(".part")) << name.toStdString();

    ASSERT_TRUE(CopyTree(card.path(), cardPath));
    const ImportSummary next = Import(KeepMode::All, {}, {}, cardPath);
    ASSERT_TRUE(next.Complete()) << next.stopped.toStdString();
    EXPECT_EQ(next.copied + next.alreadyKept, 8);
    EXPECT_EQ(next.alreadyKept, cut.copied);
    EXPECT_EQ(Kept().size(), 8);
}

TEST_F(LibraryTest, CancelledImportLeavesNoPartialFile) {
    Drive(60, At(9, 8, 0, 0), 60);
    int pieces = 0;
    const ImportSummary cancelled = Import(KeepMode::All, {}, [&] { return ++pieces > 2; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.stopped.isEmpty());
    EXPECT_TRUE(VerifyLibrary(Library(), {}).problems.empty());
    EXPECT_EQ(int(Kept().size()), cancelled.copied);
    const ImportSummary next = Import();
    ASSERT_TRUE(next.Complete());
    EXPECT_EQ(Kept().size(), 2);
}

// A full library disk stops the import with the system's reason; every file
// kept before stays whole, and the next import with room completes.
TEST_F(LibraryTest, FullDiskStopsWithTheSystemsReasonAndLosesNothing) {
    TinyDisk disk;
    SKIP_UNLESS_MOUNTED(disk);
    for (int i = 0; i < 7; ++i)
        Drive(60 + 2 * i, At(9, 8, i, 0), 12);
    std::vector<RecordingFile> files;
    {
        RecordingCatalog catalog;
        catalog.Open(card.path());
        files = catalog.Files();
    }
    int64_t bytes = 0;
    for (const RecordingFile& f : files)
        bytes += int64_t(f.info.fileSize);
    // The card fits the empty disk once, not twice.
    ASSERT_GT(bytes, 1500 * 1024 / 2);
    ASSERT_LT(bytes, 1100 * 1024);
    // Room for about half of the card beside the library's own files.
    {
        QFile filler(disk.path() + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        ASSERT_TRUE(filler.resize(0));
        const QByteArray block(4096, 'f');
        const int64_t keep = 1500 * 1024 - bytes / 2 - 200 * 1024;
        for (int64_t n = 0; n < keep; n += block.size())
            ASSERT_EQ(filler.write(block), block.size());
    }
    ImportRequest request;
    request.card = card.path();
    request.library = disk.path() + "/library";
    request.cardCacheFolder = cache.path();
    const ImportSummary full = ImportCard(request, {}, {});
    ASSERT_TRUE(full.started);
    EXPECT_FALSE(full.Complete());
    EXPECT_TRUE(full.stopped.contains("No space left on device") ||
                full.stopped.contains("disk is full"))
        << full.stopped.toStdString();
    EXPECT_GT(full.copied, 0);
    const VerifyResult check = VerifyLibrary(request.library, {});
    EXPECT_EQ(check.error, "");
    EXPECT_TRUE(check.problems.empty());
    EXPECT_EQ(check.checked, full.copied);

    ASSERT_TRUE(QFile::remove(disk.path() + "/filler"));
    const ImportSummary next = ImportCard(request, {}, {});
    ASSERT_TRUE(next.Complete()) << next.stopped.toStdString();
    EXPECT_EQ(next.alreadyKept + next.copied, int(files.size()));
    EXPECT_TRUE(VerifyLibrary(request.library, {}).problems.empty());
}

// A library on a FAT disk (an external drive): no unnamed files, no hard
// links, names without case; the copies are named all the same and known
// again by the next import.
TEST_F(LibraryTest, ALibraryOnAFatDisk) {
    FatCard disk;
    SKIP_OR_FAIL_UNLESS_FAT(disk);
    Drive(60, At(9, 8, 0, 0));
    Drive(62, At(9, 8, 1, 0));
    ImportRequest request;
    request.card = card.path();
    request.library = disk.path() + "/Library";
    request.cardCacheFolder = cache.path();
    const ImportSummary once = ImportCard(request, {}, {});
    ASSERT_TRUE(once.Complete()) << once.stopped.toStdString()
                                 << (once.failed.empty() ? "" : once.failed[0].why.toStdString());
    EXPECT_EQ(once.copied, 4);
    EXPECT_EQ(disk.Names("Library/2024/2024-03-09"),
              QStringList({"FILE0600.MOV", "FILE0601_b.MOV", "FILE0620.MOV", "FILE0621_b.MOV"}));
    const ImportSummary twice = ImportCard(request, {}, {});
    EXPECT_EQ(twice.copied, 0);
    EXPECT_EQ(twice.alreadyKept, 4);
    const VerifyResult check = VerifyLibrary(request.library, {});
    EXPECT_EQ(check.error, "");
    EXPECT_EQ(check.checked, 4);
    EXPECT_TRUE(check.problems.empty());
}

TEST_F(LibraryTest, ASecondImportIsRefusedWhileOneRuns) {
    Drive(60, At(9, 8, 0, 0));
    QDir().mkpath(Library());
    {
        LibraryLock running;
        QString why;
        ASSERT_TRUE(running.TryTake(Library(), &why)) << why.toStdString();
        const ImportSummary refused = Import();
        EXPECT_FALSE(refused.started);
        EXPECT_TRUE(refused.stopped.contains("another import into"));
        EXPECT_TRUE(Kept().isEmpty());
    }
    EXPECT_TRUE(Import().Complete());
}

TEST_F(LibraryTest, RefusesALibraryOnTheCardAndACardInTheLibrary) {
    Drive(60, At(9, 8, 0, 0));
    const QStringList cardBefore = Tree(card.path());
    ImportRequest onCard;
    onCard.card = card.path();
    onCard.library = card.path() + "/dcim/library";
    const ImportSummary refused = ImportCard(onCard, {}, {});
    EXPECT_FALSE(refused.started);
    EXPECT_TRUE(refused.stopped.contains("never writes")) << refused.stopped.toStdString();

    ASSERT_TRUE(Import().Complete());
    ImportRequest itself;
    itself.card = Library() + "/2024";
    itself.library = Library();
    EXPECT_FALSE(ImportCard(itself, {}, {}).started);
    EXPECT_EQ(Tree(card.path()), cardBefore);
}

} // namespace
