#include "recordings/CVel3gpParser.h"

#include "tests/support/core/CameraFileWriter.h"
#include "tests/support/core/ScopedTimeZone.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace CameraFile;

namespace {

constexpr const char* kZone = "JST-9";

QByteArray Params(uint8_t b0, uint8_t b1 = 0) {
    QByteArray p = Zeros(4);
    p[0] = char(b0);
    p[1] = char(b1);
    return p;
}

MovTrack MetaTrack() {
    MovTrack t;
    t.handlerType = "meta";
    t.handlerName = "";
    t.sampleEntry = "";
    return t;
}

MovTrack VideoTrack(const QByteArray& name = "JTD_Video", const char* entry = "avc1") {
    MovTrack t;
    t.handlerName = name;
    t.sampleEntry = entry;
    return t;
}

std::vector<QByteArray> ThreeRecords() {
    std::vector<QByteArray> records;
    for (int i = 0; i < 3; ++i) {
        MetaRecord r;
        r.gsensorValid = 1;
        r.axis[0] = int16_t(i);
        records.push_back(MetadataRecordBytes(r));
    }
    return records;
}

struct MovFixture : ::testing::Test {
    QTemporaryDir dir;
    ScopedTimeZone zone{kZone};
    QString path;

    int Parse(const QByteArray& bytes, RecordingInfo* info, CVel3gpParser* parser = nullptr) {
        path = dir.filePath("REC.MOV");
        EXPECT_TRUE(WriteFile(path, bytes));
        CVel3gpParser local;
        CVel3gpParser& p = parser ? *parser : local;
        p.SetInfo(info);
        return p.Parse(path);
    }
};

// ---- layout A: metadata track ----------------------------------------------

TEST_F(MovFixture, MetadataTrackRecordingReportsItsRecordTable) {
    MovARecipe recipe;
    recipe.records = ThreeRecords();
    const QByteArray file = BuildMovA(recipe);
    const qsizetype firstRecord = file.indexOf("mdat") + 4;

    RecordingInfo info;
    info.gpsSize = 99; // layout A reports no blocks
    CVel3gpParser parser;
    ASSERT_EQ(0, Parse(file, &info, &parser));
    EXPECT_EQ(parser.Layout(), CVel3gpParser::kLayoutMetadataTrack);
    EXPECT_EQ(info.variant, kMetadataTrackVariant);
    EXPECT_EQ(info.width, 1920);
    EXPECT_EQ(info.height, 1080);
    EXPECT_EQ(info.durationMs, 60000u); // movie header: 60000 / 1000
    EXPECT_EQ(info.durationSeconds, 0);
    EXPECT_EQ(info.startTime, 1625155200); // 3708000000 s after 1904
    EXPECT_EQ(info.fileSize, uint64_t(file.size()));
    EXPECT_EQ(info.gpsSize, 0u);
    EXPECT_EQ(info.gpsOffset, 0u);
    EXPECT_EQ(info.gsensorSize, 0u);
    EXPECT_EQ(info.gpsParams, (std::array<uint8_t, 4>{5, 0, 0, 0}));
    EXPECT_EQ(info.gsensorParams, (std::array<uint8_t, 4>{5, 8, 2, 1}));
    ASSERT_EQ(info.metaChunks.size(), 3u);
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(info.metaChunks[i].index, i);
        EXPECT_EQ(info.metaChunks[i].fileOffset, uint64_t(firstRecord + 88 * i));
    }
}

TEST_F(MovFixture, MetadataTrackVariations) {
    struct Case {
        const char* name;
        std::vector<MovTrack> tracks;
        int result;
        size_t metaChunks;
    };
    const Case cases[] = {
        {"marked video then meta", {VideoTrack(), MetaTrack()}, 0, 3},
        {"hvc1 sample entry", {VideoTrack("JTD_Video", "hvc1"), MetaTrack()}, 0, 3},
        {"meta before the marked video: listed without data", {MetaTrack(), VideoTrack()}, 0, 0},
        {"foreign handler name", {VideoTrack("ABCD_Video"), MetaTrack()}, -1, 0},
        {"marker in lower case", {VideoTrack("jtd_Video"), MetaTrack()}, -1, 0},
        {"last video track decides (unmarked)",
         {VideoTrack(), VideoTrack("Other"), MetaTrack()},
         -1,
         0},
        {"last video track decides (marked)",
         {VideoTrack("Other"), VideoTrack(), MetaTrack()},
         0,
         3},
        {"no sample entry", {VideoTrack("JTD_Video", "mp4v"), MetaTrack()}, -1, 0},
        {"two meta tracks append both tables", {VideoTrack(), MetaTrack(), MetaTrack()}, 0, 6},
    };
    for (const Case& c : cases) {
        MovARecipe recipe;
        recipe.tracks = c.tracks;
        recipe.records = ThreeRecords();
        RecordingInfo info;
        EXPECT_EQ(c.result, Parse(BuildMovA(recipe), &info)) << c.name;
        EXPECT_EQ(info.metaChunks.size(), c.metaChunks) << c.name;
    }
}

TEST_F(MovFixture, ChunkOffsetsAreUnsignedAndOnlyRecordsInsideTheFileCount) {
    MovTrack meta = MetaTrack();
    meta.chunkOffsets = {0x90000000u, 0xFFFFFFFFu, 0x90000000u - 1, 64};
    MovARecipe recipe;
    recipe.tracks = {VideoTrack(), meta};
    path = dir.filePath("REC.MOV");
    ASSERT_TRUE(WriteFile(path, BuildMovA(recipe)));
    // A sparse file that ends right after a record at 0x90000000.
    QFile file(path);
    ASSERT_TRUE(file.resize(0x90000000 + 88));
    RecordingInfo info;
    CVel3gpParser parser;
    parser.SetInfo(&info);
    ASSERT_EQ(0, parser.Parse(path));
    ASSERT_EQ(info.metaChunks.size(), 3u);
    EXPECT_EQ(info.metaChunks[0].fileOffset, 2415919104u);
    EXPECT_EQ(info.metaChunks[1].index, 2u) << "the entry's place in the table";
    EXPECT_EQ(info.metaChunks[1].fileOffset, 2415919103u);
    EXPECT_EQ(info.metaChunks[2].fileOffset, 64u);
}

TEST_F(MovFixture, ChunkCountIsTrustedOnlyAsFarAsTheTableHoldsEntries) {
    MovARecipe recipe;
    recipe.tracks = {VideoTrack(), MetaTrack()};
    QByteArray file = BuildMovA(recipe);
    // Hand-build a meta track whose table claims four billion entries.
    const QByteArray liar = Stco({100, 200}, 0xFFFFFFFFu);
    MovTrack video = VideoTrack();
    const QByteArray moov = Box(
        "moov", Mvhd(3708000000u, 1000, 60000) + Trak(video) +
                    Box("trak", Box("mdia", Hdlr("meta", "") + Box("minf", Box("stbl", liar)))));
    file = Ftyp() + Box("free", Zeros(8)) + Box("mdat", Zeros(16)) + moov;
    RecordingInfo info;
    ASSERT_EQ(0, Parse(file, &info));
    ASSERT_EQ(info.metaChunks.size(), 2u);
    EXPECT_EQ(info.metaChunks[1].fileOffset, 200u);
}

TEST_F(MovFixture, ChunkTablesAreBoundedByWhatTheRecordingCanHold) {
    // Every entry points at one record inside the file; the table is longer
    // than the recording can be.
    struct Case {
        const char* name;
        uint32_t durationMs;
        int mediaBytes;
        size_t expected;
    };
    const Case cases[] = {
        // (60 s + a minute) at twice five records a second
        {"by the duration", 60000, 800 * 1000, 1200},
        {"a longer duration", 600000, 800 * 1000, 6600},
        // Two tables of 9000 entries and little media: the file holds ~900 records
        {"by the file size", 3600000, 8000, 0},
    };
    for (const Case& c : cases) {
        MovTrack meta = MetaTrack();
        meta.chunkOffsets.assign(9000, 64);
        MovARecipe recipe;
        recipe.tracks = {VideoTrack(), meta, meta};
        recipe.duration = c.durationMs;
        recipe.mdatExtra = c.mediaBytes;
        const QByteArray file = BuildMovA(recipe);
        RecordingInfo info;
        ASSERT_EQ(0, Parse(file, &info)) << c.name;
        const size_t expected = c.expected ? c.expected : size_t(file.size()) / 88;
        EXPECT_EQ(info.metaChunks.size(), expected) << c.name << ", both tables together";
    }
}

TEST_F(MovFixture, TracksCannotShareOneTableThroughBoxesThatReachOutOfThem) {
    // Fifty 16-byte tracks, each holding only the header of an "mdia" box
    // that claims everything after it; after them lie one handler and one
    // table. Read as boxes reaching out of their parents, every track would
    // find that same table.
    const QByteArray tail = Hdlr("meta", "") + Box("minf", Box("stbl", Stco({1, 2, 3, 4})));
    const int tracks = 50;
    QByteArray shortTracks;
    for (int i = 0; i < tracks; ++i) {
        const uint32_t rest = uint32_t(16 * (tracks - i) + tail.size());
        shortTracks += Be32(16) + "trak" + Be32(rest - 8) + "mdia";
    }
    const QByteArray moov =
        Box("moov", Mvhd(3708000000u, 1000, 60000) + Trak(VideoTrack()) + shortTracks + tail);
    const QByteArray file = Ftyp() + Box("free", Zeros(8)) + Box("mdat", Zeros(16)) + moov;
    RecordingInfo info;
    ASSERT_EQ(0, Parse(file, &info));
    EXPECT_TRUE(info.metaChunks.empty());
}

TEST_F(MovFixture, StartTimeIsTheMovieCreationTime) {
    struct Case {
        const char* name;
        QByteArray mvhd;
        int64_t startTime;
        uint32_t durationMs;
    };
    const Case cases[] = {
        {"2021-07-01 16:00 UTC", Mvhd(3708000000u, 1000, 60000), 1625155200, 60000},
        {"the 1970 epoch", Mvhd(2082844800u, 600, 600), 0, 1000},
        {"64-bit header", MvhdVersion1(3708000000u, 90000, 5400000), 1625155200, 60000},
        {"64-bit duration beyond 32 bits", MvhdVersion1(3708000000u, 1000000, 0x100000000ull),
         1625155200, 4294967},
        // Out of range: unknown rather than a time nothing can show or add to.
        {"64-bit creation time of one second before 1904", MvhdVersion1(~0ull, 1000, 1000), 0,
         1000},
        {"64-bit creation time billions of years back",
         MvhdVersion1(0x8000000000000000ull, 1000, 1000), 0, 1000},
        {"creation time in 2100", Mvhd(2082844800u + 4102444800u, 1000, 1000), 0, 1000},
    };
    for (const Case& c : cases) {
        QByteArray file = BuildMovA({});
        const qsizetype at = file.indexOf("mvhd") - 4;
        const uint32_t oldSize = qFromBigEndian<quint32>(file.constData() + at);
        file.replace(at, qsizetype(oldSize), c.mvhd);
        const qsizetype moovAt = file.indexOf("moov") - 4;
        file.replace(moovAt, 4, Be32(uint32_t(file.size() - moovAt)));
        RecordingInfo info;
        ASSERT_EQ(0, Parse(file, &info)) << c.name;
        EXPECT_EQ(info.startTime, c.startTime) << c.name;
        EXPECT_EQ(info.durationMs, c.durationMs) << c.name;
    }
}

TEST_F(MovFixture, ZeroTimeScaleMeansNoDuration) {
    MovARecipe a;
    a.timeScale = 0;
    MovBRecipe b;
    b.cameraBoxes = Skip(0);
    b.video.timeScale = 0;
    for (const QByteArray& file : {BuildMovA(a), BuildMovB(b)}) {
        RecordingInfo info;
        CVel3gpParser parser;
        EXPECT_EQ(-1, Parse(file, &info, &parser));
        EXPECT_EQ(info.durationMs, 0u);
    }
}

TEST_F(MovFixture, SecondBoxFreeMeansMetadataTrackLayoutEvenWithCameraBoxes) {
    MovARecipe recipe;
    recipe.records = ThreeRecords();
    QByteArray file = BuildMovA(recipe);
    // Camera boxes after the media: the walk of layout A ignores them.
    file += Box("gps0", GpsRecord(21, 7, 4, 18, 30, 5)) + Skip(0);
    RecordingInfo info;
    CVel3gpParser parser;
    ASSERT_EQ(0, Parse(file, &info, &parser));
    EXPECT_EQ(parser.Layout(), CVel3gpParser::kLayoutMetadataTrack);
    EXPECT_EQ(info.gpsSize, 0u);
    EXPECT_EQ(info.startTime, 1625155200);
}

// ---- layout B: camera boxes ------------------------------------------------

TEST_F(MovFixture, CameraBoxRecordingReportsBlocksSizeDurationAndStartTime) {
    MovBRecipe recipe;
    const QByteArray gps =
        GpsRecord(0, 0, 0, 0, 0, 0).repeated(12) + GpsRecord(21, 7, 4, 18, 30, 5);
    recipe.cameraBoxes = Skip(0) + Box("gpsa", Params(5)) + Box("gsea", Params(10, 4)) +
                         Box("gps0", gps) + Box("gsen", Zeros(60));
    const QByteArray file = BuildMovB(recipe);
    RecordingInfo info;
    info.variant = 3;
    CVel3gpParser parser;
    ASSERT_EQ(0, Parse(file, &info, &parser));
    EXPECT_EQ(parser.Layout(), CVel3gpParser::kLayoutCameraBoxes);
    EXPECT_EQ(info.variant, kChunkVariant);
    EXPECT_EQ(info.width, 1280);
    EXPECT_EQ(info.height, 720);
    EXPECT_EQ(info.durationMs, 60000u); // media header: 5400000 / 90000
    EXPECT_EQ(info.durationSeconds, 0);
    EXPECT_EQ(info.gpsOffset, uint64_t(file.indexOf("gps0") + 4));
    EXPECT_EQ(info.gpsSize, uint32_t(gps.size()));
    EXPECT_EQ(info.gsensorOffset, uint64_t(file.indexOf("gsen") + 4));
    EXPECT_EQ(info.gsensorSize, 60u);
    EXPECT_EQ(info.gpsParams, (std::array<uint8_t, 4>{5, 0, 0, 0}));
    EXPECT_EQ(info.gsensorParams, (std::array<uint8_t, 4>{10, 4, 0, 0}));
    EXPECT_EQ(info.fileSize, uint64_t(file.size()));
    // record 12 at five per second: two seconds before 18:30:05 in Tokyo
    EXPECT_EQ(info.startTime, 1625391003);
    EXPECT_TRUE(info.metaChunks.empty());
}

TEST_F(MovFixture, CameraBoxLayoutAcceptanceAndStartTime) {
    const QByteArray idit = Box("IDIT", "2021-07-04 18:30:05\n");
    struct Case {
        const char* name;
        QByteArray boxes;
        int result;
        int64_t startTime;
    };
    const Case cases[] = {
        {"date box", Skip(0) + idit, 0, 1625391005},
        {"date box decides the layout, skip comes later", idit + Skip(0), 0, 1625391005},
        {"skip ending in 0x01", Skip(1) + idit, -1, 0},
        {"last skip decides (0 then 1)", Skip(0) + Skip(1), -1, 0},
        {"last skip decides (1 then 0)", Skip(1) + Skip(0), 0, 0},
        {"empty skip", idit + Box("skip", {}), -1, 0},
        {"no skip at all", idit, -1, 0},
        {"invalid date clears a record's time",
         Skip(0) + Box("gps0", GpsRecord(21, 7, 4, 18, 30, 5)) + Box("IDIT", "2021-13-04 18:30:05"),
         0, 0},
        {"a date text of year 9999 is no start time", Skip(0) + Box("IDIT", "9999-07-04 18:30:05"),
         0, 0},
        {"long date box is skipped whole",
         Skip(0) + Box("IDIT", "2021-07-04 18:30:05" + QByteArray(100, ' ')) +
             Box("gpsa", Params(9)),
         0, 1625391005},
    };
    for (const Case& c : cases) {
        MovBRecipe recipe;
        recipe.cameraBoxes = c.boxes;
        RecordingInfo info;
        EXPECT_EQ(c.result, Parse(BuildMovB(recipe), &info)) << c.name;
        if (c.result == 0) {
            EXPECT_EQ(info.startTime, c.startTime) << c.name;
        }
    }
}

TEST_F(MovFixture, CameraBoxLayoutNeedsAnAvcSampleEntryAndADuration) {
    struct Case {
        const char* name;
        MovTrack video;
        int result;
    };
    MovTrack hevc;
    hevc.sampleEntry = "hvc1";
    MovTrack noDuration;
    noDuration.duration = 0;
    MovTrack odd;
    odd.timeScale = 30000;
    odd.duration = 1001; // 33.366 ms, truncated
    const Case cases[] = {{"hvc1 is not looked for", hevc, -1},
                          {"no duration", noDuration, -1},
                          {"truncating division", odd, 0}};
    for (const Case& c : cases) {
        MovBRecipe recipe;
        recipe.cameraBoxes = Skip(0);
        recipe.video = c.video;
        RecordingInfo info;
        EXPECT_EQ(c.result, Parse(BuildMovB(recipe), &info)) << c.name;
        if (c.result == 0) {
            EXPECT_EQ(info.durationMs, 33u) << c.name;
        }
    }
}

TEST_F(MovFixture, CameraBoxWalkContinuesAfterTheWholeBox) {
    // Blocks whose sizes are not whole records: every box after them counts.
    const QByteArray gps = GpsRecord(21, 7, 4, 18, 30, 5) + Zeros(4);
    MovBRecipe recipe;
    recipe.cameraBoxes = Box("gsen", Zeros(61)) + Box("gps0", gps) + Box("gpsa", Params(6)) +
                         Box("gsea", Params(10, 4)) + Box("IDIT", "2021-07-04 18:30:07") + Skip(0);
    const QByteArray file = BuildMovB(recipe);
    RecordingInfo info;
    ASSERT_EQ(0, Parse(file, &info));
    EXPECT_EQ(info.gsensorOffset, uint64_t(file.indexOf("gsen") + 4));
    EXPECT_EQ(info.gsensorSize, 61u);
    EXPECT_EQ(info.gpsOffset, uint64_t(file.indexOf("gps0") + 4));
    EXPECT_EQ(info.gpsSize, 36u);
    EXPECT_EQ(info.gpsParams[0], 6);
    EXPECT_EQ(info.gsensorParams, (std::array<uint8_t, 4>{10, 4, 0, 0}));
    EXPECT_EQ(info.startTime, 1625391007) << "the date text after the blocks";
}

TEST_F(MovFixture, DurationsBeyondTheFieldAreClamped) {
    // 0xFFFFFFFF seconds do not fit in 32-bit milliseconds; they must not wrap.
    MovARecipe a;
    a.timeScale = 1;
    a.duration = 0xFFFFFFFFu;
    MovBRecipe b;
    b.cameraBoxes = Skip(0);
    b.video.timeScale = 1;
    b.video.duration = 0xFFFFFFFFu;
    for (const QByteArray& file : {BuildMovA(a), BuildMovB(b)}) {
        RecordingInfo info;
        ASSERT_EQ(0, Parse(file, &info));
        EXPECT_EQ(info.durationMs, 0xFFFFFFFFu);
    }
}

// ---- both layouts ------------------------------------------------------------

TEST_F(MovFixture, FilesThatAreNotRecordingsAreRejectedAndInfoIsUntouched) {
    MovBRecipe b;
    b.cameraBoxes = Skip(0);
    const QByteArray goodB = BuildMovB(b);
    const QByteArray goodA = BuildMovA({});
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"first box not ftyp (layout A)", goodA.mid(Ftyp().size())},
        {"first box not ftyp (layout B)", Box("wide", {}) + goodB.mid(Ftyp().size())},
        {"no probe box at all", Ftyp() + Box("mdat", Zeros(32)) + Box("moov", Mvhd(0, 1, 1))},
        {"skip only inside moov",
         Ftyp() + Box("mdat", Zeros(8)) +
             Box("moov", Skip(0) + Mvhd(0, 1000, 1000) + Trak(MovTrack{}))},
        {"empty file", {}},
        {"box of size 0", Ftyp() + Be32(0) + "free" + goodA.mid(Ftyp().size())},
        {"box of size 4", Ftyp() + Be32(4) + "free" + goodA.mid(Ftyp().size())},
        {"extended size below 16", Ftyp() + Be32(1) + "free" + Be64(8) + goodA.mid(Ftyp().size())},
        // After the probe: the walk stops there and never sees the movie box.
        {"box of size 3 before the movie box",
         Ftyp() + Skip(0) + Be32(3) + "wide" + goodB.mid(Ftyp().size() + Skip(0).size())},
        {"extended size 0 before the movie box",
         Ftyp() + Skip(0) + Be32(1) + "wide" + Be64(0) + goodB.mid(Ftyp().size() + Skip(0).size())},
        {"extended size whose end wraps around to the box before",
         Ftyp() + Skip(0) + Be32(1) + "wide" + Be64(~uint64_t(0) - 23) +
             goodB.mid(Ftyp().size() + Skip(0).size())},
        {"box of size 7 inside the metadata layout",
         Ftyp() + Box("free", {}) + Be32(7) + "junk" + goodA.mid(Ftyp().size())},
    };
    for (const Case& c : cases) {
        RecordingInfo info;
        info.width = 11;
        CVel3gpParser parser;
        EXPECT_EQ(-1, Parse(c.bytes, &info, &parser)) << c.name;
        EXPECT_EQ(info.width, 11) << c.name;
        EXPECT_TRUE(info.metaChunks.empty()) << c.name;
    }
    CVel3gpParser parser;
    RecordingInfo info;
    parser.SetInfo(&info);
    EXPECT_EQ(-1, parser.Parse(dir.filePath("absent.MOV")));
}

TEST_F(MovFixture, ExtendedBoxSizesAreFollowed) {
    // An mdat with a 64-bit size, as written for large media.
    MovARecipe recipe;
    recipe.records = ThreeRecords();
    QByteArray file = BuildMovA(recipe);
    const qsizetype mdat = file.indexOf("mdat") - 4;
    const uint32_t size = qFromBigEndian<quint32>(file.constData() + mdat);
    // Move the payload 8 bytes on: size 1, type, 64-bit size.
    file.replace(mdat, 8, Be32(1) + "mdat" + Be64(size + 8));
    RecordingInfo info;
    ASSERT_EQ(0, Parse(file, &info)); // the movie box after it is found
    EXPECT_EQ(info.metaChunks.size(), 3u);
}

TEST_F(MovFixture, MediaBeyondFourGibibytesIsSkippedByItsWholeSize) {
    // A sparse file: 5 GiB of media that take no room and must not be read,
    // then the movie box. Its 64-bit size has non-zero high bits.
    const uint64_t media = 5ull << 30;
    const QByteArray head = Ftyp() + Box("free", Zeros(8)) + Be32(1) + "mdat" + Be64(media + 16);
    MovARecipe recipe;
    recipe.records = ThreeRecords();
    const QByteArray full = BuildMovA(recipe);
    const QByteArray moov = full.mid(full.indexOf("moov") - 4);
    path = dir.filePath("BIG.MOV");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(head), head.size());
    ASSERT_TRUE(f.seek(qint64(head.size() + media)));
    ASSERT_EQ(f.write(moov), moov.size());
    f.close();

    CVel3gpParser parser;
    RecordingInfo info;
    parser.SetInfo(&info);
    ASSERT_EQ(0, parser.Parse(path));
    EXPECT_EQ(info.fileSize, head.size() + media + moov.size());
    EXPECT_EQ(info.metaChunks.size(), 3u);
    EXPECT_LE(parser.ReadCount(), 2);
    EXPECT_LE(parser.BytesRead(), 2 * FileWindow::kBlock);
}

TEST_F(MovFixture, AParserUsedTwiceForgetsTheFirstFile) {
    MovBRecipe b;
    b.cameraBoxes = Skip(0) + Box("gps0", GpsRecord(21, 7, 4, 18, 30, 5));
    const QByteArray noProbeBox = Ftyp() + Box("mdat", Zeros(8)) +
                                  Box("moov", Skip(0) + Mvhd(0, 1000, 1000) + Trak(MovTrack{}));
    CVel3gpParser parser;
    RecordingInfo first, second;
    ASSERT_EQ(0, Parse(BuildMovB(b), &first, &parser));
    EXPECT_EQ(-1, Parse(noProbeBox, &second, &parser));
    EXPECT_EQ(parser.Layout(), CVel3gpParser::kNoLayout);

    MovBRecipe plain;
    plain.cameraBoxes = Skip(0);
    RecordingInfo third;
    ASSERT_EQ(0, Parse(BuildMovB(plain), &third, &parser));
    EXPECT_EQ(third.gpsSize, 0u);
    EXPECT_EQ(third.startTime, 0);
}

TEST_F(MovFixture, MediaIsSkippedAndTheFileOpenedOnce) {
    // Either layout, however large its media: one open, a read for the head
    // and one for the boxes after the media, the same bytes.
    for (const bool track : {true, false}) {
        uint64_t bytesRead[2] = {};
        const int mediaSizes[2] = {1 << 20, 8 << 20};
        for (int i = 0; i < 2; ++i) {
            MovARecipe a;
            a.records = ThreeRecords();
            a.mdatExtra = mediaSizes[i];
            MovBRecipe b;
            b.cameraBoxes = Skip(0) + Box("gps0", GpsRecord(21, 7, 4, 18, 30, 5));
            b.mdatSize = mediaSizes[i];
            CVel3gpParser parser;
            RecordingInfo info;
            ASSERT_EQ(0, Parse(track ? BuildMovA(a) : BuildMovB(b), &info, &parser)) << track;
            EXPECT_EQ(parser.OpenCount(), 1);
            EXPECT_LE(parser.ReadCount(), 2) << track;
            bytesRead[i] = parser.BytesRead();
        }
        EXPECT_EQ(bytesRead[0], bytesRead[1]) << track;
        EXPECT_LE(bytesRead[1], 2 * FileWindow::kBlock) << track;
    }
}

TEST_F(MovFixture, EveryTruncatedCopyIsHandled) {
    MovARecipe a;
    a.records = ThreeRecords();
    MovBRecipe b;
    b.cameraBoxes = Skip(0) + Box("gps0", GpsRecord(21, 7, 4, 18, 30, 5));
    for (const QByteArray& file : {BuildMovA(a), BuildMovB(b)}) {
        const qsizetype moovEnd = file.size(); // moov comes last
        const qsizetype moovStart = file.indexOf("moov") - 4;
        for (qsizetype n = 0; n < moovEnd; ++n) {
            RecordingInfo info;
            const int result = Parse(file.left(n), &info);
            // Without a whole movie box the duration or the size is missing.
            if (n <= moovStart + 8) {
                EXPECT_EQ(-1, result) << "cut at " << n;
            }
        }
    }
}

} // namespace
