#include "platform/FileAttributes.h"
#include "presenter/CatalogPresenter.h"
#include "recordings/RecordingCatalog.h"
#include "tools/synth/CameraNaming.h"
#include "tools/synth/RecordingWriter.h"

#include "tests/support/core/CatalogFakes.h"
#include "tests/support/core/ScratchDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using synth::Container;

const QDateTime kStart(QDate(2021, 7, 4), QTime(18, 30, 5));

// A small card: a chunk pair, a metadata pair, a lone metadata file, three
// locked chunk files of one moment, and files the scan must not list.
class RecordingDiscovery : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        card = new ScratchDir;
        const auto chunkPair = synth::CameraNames(synth::Naming::Chunk, "DCIM/Movie", "FILE", 1);
        const auto metaPair = synth::CameraNames(synth::Naming::Metadata, "DCIM/Movie", "EVSW", 3);
        const unsigned readOnly = FileAttributes::ReadOnly;
        const unsigned locked = FileAttributes::ReadOnly | FileAttributes::Archive;
        Write(Container::MovBoxes, chunkPair.front, 0);
        Write(Container::MovBoxes, chunkPair.rear, 0);
        Write(Container::MovTrack, metaPair.front, 60, locked);
        Write(Container::MovTrack, metaPair.rear, 60, locked);
        Write(Container::MovTrack, "DCIM/MovieF/MOV_0004F.MOV", 120, readOnly);
        Write(Container::MovBoxes, "DCIM/Lock/FILE0100.MOV", 180, readOnly);
        Write(Container::MovBoxes, "DCIM/Lock/EVGS0101.MOV", 180, locked);
        Write(Container::MovBoxes, "DCIM/Lock/FILE0102.MOV", 180, locked);
        // Scanned but not listed.
        Write(Container::Avi, "DCIM/Avi/FILE0200.AVI", -60);
        Write(Container::MovBoxes, "DCIM/2021_0704_183005_001F.MOV", -120);
        card->Write("DCIM/FILE0400.MOV", "not a movie");
        card->Write("DCIM/readme.txt", "hello");
        // Not scanned at all.
        Write(Container::MovBoxes, "DCIM/.hidden/FILE0300.MOV", -180);
        Write(Container::MovBoxes, "DCIM/.FILE0301.MOV", -180);
    }
    static void TearDownTestSuite() {
        delete card;
        card = nullptr;
    }

    static void Write(Container container, const QString& relative, int startOffset,
                      std::optional<unsigned> attributes = std::nullopt) {
        synth::RecordingRecipe recipe;
        recipe.container = container;
        recipe.start = kStart.addSecs(startOffset);
        recipe.attributes = attributes;
        recipe.fixes.assign(2, synth::Fix{35.5, 139.75, 10, 40, 90});
        recipe.gsensor.assign(20, GSensorSample{1, 2, 16});
        QString error;
        ASSERT_TRUE(synth::WriteRecording(recipe, card->Root() + relative, &error))
            << relative.toStdString() << ": " << error.toStdString();
    }

    void SetUp() override { ShowScanCount(&counter); }
    void ShowScanCount(ScanCounterView* shown) {
        presenter.SetViews({&groups, &fileRows, nullptr, nullptr, shown});
    }

    QStringList ListedPaths() const {
        QStringList paths;
        for (const RecordingFile& f : catalog.Files())
            paths << f.folder + f.fileName;
        return paths;
    }

    static ScratchDir* card;
    RecordingCatalog catalog;
    CatalogPresenter presenter{catalog};
    FakeGroupList groups;
    FakeFileList fileRows;
    FakeScanCounter counter;
};

ScratchDir* RecordingDiscovery::card = nullptr;

TEST_F(RecordingDiscovery, ListsMovRecordingsSortedByStartThenName) {
    ASSERT_EQ(presenter.Open(card->path()), 1);
    EXPECT_EQ(ListedPaths(), (QStringList{
                                 "DCIM/Movie/front/FILE0010.MOV",
                                 "DCIM/Movie/back/FILE0011_b.MOV",
                                 "DCIM/MovieF/EVSW0003F.MOV",
                                 "DCIM/MovieR/EVSW0003R.MOV",
                                 "DCIM/MovieF/MOV_0004F.MOV",
                                 "DCIM/Lock/EVGS0101.MOV",
                                 "DCIM/Lock/FILE0100.MOV",
                                 "DCIM/Lock/FILE0102.MOV",
                             }));
    const RecordingFile& first = catalog.Files()[0];
    EXPECT_EQ(first.root, card->Root());
    EXPECT_EQ(first.info.startTime, kStart.toSecsSinceEpoch());
    EXPECT_EQ(first.info.variant, kChunkVariant);
    EXPECT_EQ(catalog.Files()[2].info.variant, kMetadataTrackVariant);
    EXPECT_EQ(catalog.anyGps, 1);
}

TEST_F(RecordingDiscovery, CountsEveryScannedFile) {
    ASSERT_EQ(presenter.Open(card->Root()), 1);
    // Twelve files outside hidden entries, each shown before it is counted.
    EXPECT_EQ(catalog.scanCount, 12);
    std::vector<int> expected(12);
    for (int i = 0; i < 12; ++i)
        expected[size_t(i)] = i;
    EXPECT_EQ(counter.shown, expected);
}

TEST_F(RecordingDiscovery, FlagsFromAttributesOrName) {
    ASSERT_EQ(presenter.Open(card->path()), 1);
    std::map<QString, int> flags;
    for (const RecordingFile& f : catalog.Files())
        flags[f.fileName] = f.flags;
    EXPECT_EQ(flags["FILE0010.MOV"], 0);
    EXPECT_EQ(flags["EVSW0003F.MOV"], 2) << "metadata track: by name";
    EXPECT_EQ(flags["MOV_0004F.MOV"], 2) << "metadata track: read-only without a lock name";
    EXPECT_EQ(flags["FILE0100.MOV"], 3) << "read-only without archive";
    EXPECT_EQ(flags["EVGS0101.MOV"], 1);
    EXPECT_EQ(flags["FILE0102.MOV"], 2);
}

TEST_F(RecordingDiscovery, GroupsCountEachPairOnceAndFillTheLists) {
    ASSERT_EQ(presenter.Open(card->path()), 1);
    ASSERT_EQ(catalog.Groups().size(), 4u);
    const struct {
        int firstFile, fileCount;
        uint64_t durationMs;
        uint8_t flags;
    } expected[] = {{0, 2, 2000, 0}, {2, 2, 2000, 2}, {4, 1, 2000, 2}, {5, 3, 6000, 3}};
    for (size_t g = 0; g < 4; ++g) {
        EXPECT_EQ(catalog.Groups()[g].firstFile, expected[g].firstFile) << g;
        EXPECT_EQ(catalog.Groups()[g].fileCount, expected[g].fileCount) << g;
        EXPECT_EQ(catalog.Groups()[g].totalDurationMs, expected[g].durationMs) << g;
        EXPECT_EQ(catalog.Groups()[g].flags, expected[g].flags) << g;
    }
    EXPECT_EQ(groups.rows.size(), 4u);
    ASSERT_EQ(fileRows.rows.size(), 8u);
    EXPECT_EQ(fileRows.rows[1].folderText, card->Root() + "DCIM/Movie/back/");
    EXPECT_EQ(groups.rows[0].resolution, "160x90");

    // A second Open starts from nothing.
    ASSERT_EQ(presenter.Open(card->path()), 1);
    EXPECT_EQ(catalog.Files().size(), 8u);
    EXPECT_EQ(fileRows.rows.size(), 8u);
    EXPECT_EQ(catalog.scanCount, 12);
}

TEST_F(RecordingDiscovery, LockedByHandIsFoundAgainByTheNextScan) {
    // Both layouts: the padlock after a rescan must match what DEL refuses.
    for (const char* source : {"DCIM/Movie/front/FILE0010.MOV", "DCIM/MovieF/MOV_0004F.MOV"}) {
        ScratchDir other;
        const QString copy = other.Root() + QFileInfo(source).fileName();
        ASSERT_TRUE(QFile::copy(card->Root() + source, copy));
        ASSERT_TRUE(QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        ASSERT_EQ(presenter.Open(other.path()), 1);
        ASSERT_EQ(catalog.Files().size(), 1u);
        EXPECT_EQ(catalog.Files()[0].flags, 0) << source;
        groups.chosen = {0};
        ASSERT_EQ(presenter.LockChosen(), 1);
        ASSERT_EQ(presenter.Open(other.path()), 1);
        ASSERT_EQ(catalog.Files().size(), 1u);
        EXPECT_EQ(catalog.Files()[0].flags, 2) << source;
    }
}

// Names that are not valid UTF-8 cannot be opened through text: they are not
// listed, but they are counted and named, never lost without a word.
TEST_F(RecordingDiscovery, NamesThatAreNotUtf8AreCountedAndNamed) {
    ScratchDir odd;
    const QByteArray root = QFile::encodeName(odd.path());
    const QByteArray recording = QFile::encodeName(card->Root() + "DCIM/Movie/front/FILE0010.MOV");
    QFile source(QFile::decodeName(recording));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();
    ASSERT_EQ(::mkdir((root + "/DCIM\xff").constData(), 0755), 0);
    for (const QByteArray& name :
         {QByteArray("/FILE0001\xff.MOV"), QByteArray("/DCIM\xff/FILE0002.MOV"),
          QByteArray("/DCIM\xff/FILE0003.MOV"), QByteArray("/FILE0004.MOV")}) {
        FILE* f = std::fopen((root + name).constData(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
        std::fclose(f);
    }
    FakeScanCounter counter;
    ShowScanCount(&counter);

    ASSERT_EQ(presenter.Open(odd.path()), 1);
    EXPECT_EQ(catalog.Files().size(), 1u);
    EXPECT_EQ(catalog.scanCount, 4) << "every file counts";
    EXPECT_EQ(counter.shown, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(
        catalog.unreadableNames,
        (QStringList{"DCIM\\xff/FILE0002.MOV", "DCIM\\xff/FILE0003.MOV", "FILE0001\\xff.MOV"}));

    ASSERT_EQ(presenter.Open(card->path()), 1);
    EXPECT_TRUE(catalog.unreadableNames.isEmpty()) << "each Open starts afresh";
}

// Files the walk does not go down to, more than 40 folders deep or behind a
// path longer than the system opens, are counted and named as well.
TEST_F(RecordingDiscovery, FilesTooDeepOrTooLongToOpenAreCountedAndNamed) {
    ScratchDir tree;
    QString deep;
    for (int i = 0; i < 42; ++i)
        deep += QStringLiteral("d%1/").arg(i);
    ASSERT_TRUE(QDir().mkpath(tree.Root() + deep));
    tree.Write(deep + "FILE0001.MOV");
    tree.Write("d0/FILE0002.MOV");

    // 17 folders of 250 bytes: past PATH_MAX, so made one level at a time.
    const QByteArray part(250, 'L');
    int fd = ::open(QFile::encodeName(tree.path()).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    QString longPath;
    for (int i = 0; i < 17; ++i) {
        ASSERT_EQ(::mkdirat(fd, part.constData(), 0755), 0);
        const int next = ::openat(fd, part.constData(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        ASSERT_GE(next, 0);
        fd = next;
        longPath += QString::fromLatin1(part) + "/";
    }
    const int file = ::openat(fd, "FILE0003.MOV", O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(file, 0);
    ::close(file);
    ::close(fd);

    ASSERT_EQ(presenter.Open(tree.path()), 1);
    EXPECT_EQ(catalog.scanCount, 3) << "every file counts";
    QStringList skipped = catalog.skippedNames;
    skipped.sort();
    ASSERT_EQ(skipped.size(), 2) << skipped.join(", ").toStdString();
    EXPECT_EQ(skipped[1], deep + "FILE0001.MOV");
    EXPECT_TRUE(skipped[0].startsWith(QString::fromLatin1(part)) &&
                skipped[0].endsWith("/FILE0003.MOV"))
        << skipped[0].left(40).toStdString();
    EXPECT_TRUE(catalog.unreadableNames.isEmpty());

    // Cleaning up a path too long for one call: from the inside out.
    const QByteArray top = QFile::encodeName(tree.path());
    for (int level = 17; level > 0; --level) {
        int at = ::open(top.constData(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < level - 1; ++i) {
            const int next = ::openat(at, part.constData(), O_RDONLY | O_DIRECTORY);
            ::close(at);
            at = next;
        }
        if (level == 17) {
            const int inner = ::openat(at, part.constData(), O_RDONLY | O_DIRECTORY);
            ::unlinkat(inner, "FILE0003.MOV", 0);
            ::close(inner);
        }
        ::unlinkat(at, part.constData(), AT_REMOVEDIR);
        ::close(at);
    }
}

// While a folder is walked, the caller's thread keeps handling its events (a
// window keeps painting, its timers run), and the counter still shows every
// count in order, on that thread.
TEST_F(RecordingDiscovery, TheCallersEventsRunWhileTheFolderIsWalked) {
    ScratchDir many;
    for (int i = 0; i < 3000; ++i)
        many.Write(QStringLiteral("DCIM/FILE%1.MOV").arg(i, 4, 10, QChar('0')), "not a recording");
    struct Counter : ScanCounterView {
        void ShowScanCount(int count) override {
            shown.push_back(count);
            sawTimer = sawTimer || timerRan;
            onCaller = onCaller && QThread::currentThread() == qApp->thread();
        }
        std::vector<int> shown;
        bool timerRan = false, sawTimer = false, onCaller = true;
    } counter;
    ShowScanCount(&counter);
    QTimer::singleShot(0, [&] { counter.timerRan = true; });

    ASSERT_EQ(presenter.Open(many.path()), 1);
    ASSERT_EQ(counter.shown.size(), 3000u);
    for (int i = 0; i < 3000; ++i)
        ASSERT_EQ(counter.shown[size_t(i)], i);
    EXPECT_TRUE(counter.onCaller);
    EXPECT_TRUE(counter.sawTimer) << "a timer of the caller ran during the walk";
    ShowScanCount(nullptr);
}

// The scan fills a list of its own: whatever asks the catalog for its files
// on the caller's thread while a folder is scanned sees the list from before
// the scan (emptied when it began) or the whole new one, never part of it.
TEST_F(RecordingDiscovery, AReaderDuringTheScanSeesNoHalfFilledList) {
    QFile source(card->Root() + "DCIM/Movie/front/FILE0010.MOV");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray recording = source.readAll();
    ScratchDir many;
    constexpr size_t kRecordings = 600;
    for (size_t i = 0; i < kRecordings; ++i)
        many.Write(QStringLiteral("DCIM/FILE%1.MOV").arg(i, 4, 10, QChar('0')), recording);

    ASSERT_EQ(presenter.Open(card->path()), 1);
    std::map<size_t, int> seen; // list size: how often a reader saw it
    QTimer reader;
    QObject::connect(&reader, &QTimer::timeout, [&] {
        ++seen[catalog.Files().size()];
        EXPECT_EQ(catalog.Rows().size(), catalog.Files().size());
    });
    reader.start(0);
    presenter.StartOpen(many.path());
    EXPECT_TRUE(catalog.Files().empty()) << "the old list is emptied when the scan begins";
    ASSERT_EQ(presenter.Open(many.path()), 1);
    reader.stop();
    EXPECT_EQ(catalog.Files().size(), kRecordings);
    EXPECT_GT(seen[0], 0) << "the reader ran while the folder was scanned";
    for (const auto& [size, times] : seen)
        EXPECT_TRUE(size == 0 || size == kRecordings) << "seen " << times << " times: " << size;
    EXPECT_EQ(fileRows.rows.size(), kRecordings);
}

} // namespace
