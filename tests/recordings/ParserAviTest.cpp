#include "recordings/CVelAviParser.h"

#include "tests/support/core/CameraFileWriter.h"
#include "tests/support/core/ReadCalls.h"
#include "tests/support/core/ScopedTimeZone.h"

#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace CameraFile;

namespace {

// Local times below are in a zone 9 hours east of UTC without daylight saving.
constexpr const char* kZone = "JST-9";

int64_t Utc(int y, int mo, int d, int h, int mi, int s) {
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    return int64_t(timegm(&tm));
}

int64_t Tokyo(int y, int mo, int d, int h, int mi, int s) {
    return Utc(y, mo, d, h, mi, s) - 9 * 3600;
}

QByteArray Params(uint8_t b0, uint8_t b1 = 0) {
    QByteArray p = Zeros(4);
    p[0] = char(b0);
    p[1] = char(b1);
    return p;
}

QByteArray DateText(const char* text) {
    return AviChunk("IDIT", QByteArray(text) + '\n' + '\0');
}

struct AviFixture : ::testing::Test {
    QTemporaryDir dir;
    ScopedTimeZone zone{kZone};
    QString path;

    int Parse(const QByteArray& bytes, RecordingInfo* info, CVelAviParser* parser = nullptr) {
        path = dir.filePath("REC.AVI");
        EXPECT_TRUE(WriteFile(path, bytes));
        CVelAviParser local;
        CVelAviParser& p = parser ? *parser : local;
        p.SetInfo(info);
        return p.Parse(path);
    }
};

TEST_F(AviFixture, RecordingReportsItsBlocksSizeDurationAndStartTime) {
    AviRecipe recipe;
    const QByteArray gps = GpsRecord(21, 7, 4, 9, 0, 0) + GpsRecord(21, 7, 4, 9, 0, 1);
    const QByteArray gsen = Zeros(600);
    const QByteArray head = AviChunk("gpsa", Params(1)) + AviChunk("gsea", Params(10, 8)) +
                            DateText("2021-07-04 18:30:05");
    recipe.beforeMovi = head + AviChunk("gps0", gps) + AviChunk("gsen", gsen);
    const QByteArray file = BuildAvi(recipe);
    const qint64 gpsPayload = file.indexOf("gps0") + 8;
    const qint64 gsenPayload = file.indexOf("gsen") + 8;

    RecordingInfo info;
    info.variant = 7; // the AVI parser leaves variant and metaChunks alone
    info.metaChunks.push_back({3, 4});
    ASSERT_EQ(0, Parse(file, &info));
    EXPECT_EQ(info.width, 1920);
    EXPECT_EQ(info.height, 1080);
    EXPECT_EQ(info.durationMs, 300294u); // 33366 us x 9000 frames
    EXPECT_EQ(info.durationSeconds, 300);
    EXPECT_EQ(info.fileSize, uint64_t(file.size()));
    EXPECT_EQ(info.gpsOffset, uint64_t(gpsPayload));
    EXPECT_EQ(info.gpsSize, 64u);
    EXPECT_EQ(info.gsensorOffset, uint64_t(gsenPayload));
    EXPECT_EQ(info.gsensorSize, 600u);
    EXPECT_EQ(info.gpsParams, (std::array<uint8_t, 4>{1, 0, 0, 0}));
    EXPECT_EQ(info.gsensorParams, (std::array<uint8_t, 4>{10, 8, 0, 0}));
    EXPECT_EQ(info.startTime, Tokyo(2021, 7, 4, 18, 30, 5)); // the date text wins
    EXPECT_EQ(info.variant, 7);
    EXPECT_EQ(info.metaChunks.size(), 1u);
}

TEST_F(AviFixture, RecordingWithoutCameraChunksHasThoseFieldsZero) {
    RecordingInfo info;
    ASSERT_EQ(0, Parse(BuildAvi({}), &info));
    EXPECT_EQ(info.gpsOffset, 0u);
    EXPECT_EQ(info.gpsSize, 0u);
    EXPECT_EQ(info.gsensorOffset, 0u);
    EXPECT_EQ(info.startTime, 0);
    EXPECT_EQ(info.gpsParams, (std::array<uint8_t, 4>{}));
}

TEST_F(AviFixture, ParsingWithoutInfoGivesTheSameResult) {
    EXPECT_EQ(0, Parse(BuildAvi({}), nullptr));
    AviRecipe noMarker;
    noMarker.marker = "XXXX";
    EXPECT_EQ(-1, Parse(BuildAvi(noMarker), nullptr));
}

TEST_F(AviFixture, FilesThatAreNotRecordingsAreRejectedAndInfoIsUntouched) {
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    AviRecipe noMarker;
    noMarker.marker = "JTDX";
    AviRecipe cutShort;
    cutShort.moviSizeDelta = 1; // a power loss: movi claims one byte more than there is
    AviRecipe noFrames;
    noFrames.frames = 0;
    AviRecipe noWidth;
    noWidth.width = 0;
    AviRecipe noHeight;
    noHeight.height = 0x10000; // only the low 16 bits count
    QByteArray notRiff = BuildAvi({});
    notRiff.replace(0, 4, "RIFX");
    const Case cases[] = {
        {"no camera marker", BuildAvi(noMarker)},
        {"movi past the end", BuildAvi(cutShort)},
        {"no frames", BuildAvi(noFrames)},
        {"no width", BuildAvi(noWidth)},
        {"height 65536", BuildAvi(noHeight)},
        {"not RIFF", notRiff},
        {"empty file", QByteArray()},
        {"only the RIFF header", QByteArray("RIFF") + Le32(4) + "AVI "},
    };
    for (const Case& c : cases) {
        RecordingInfo info;
        info.width = 11;
        info.startTime = 12;
        EXPECT_EQ(-1, Parse(c.bytes, &info)) << c.name;
        EXPECT_EQ(info.width, 11) << c.name;
        EXPECT_EQ(info.startTime, 12) << c.name;
    }
}

TEST_F(AviFixture, MissingFileIsRejected) {
    RecordingInfo info;
    CVelAviParser parser;
    parser.SetInfo(&info);
    EXPECT_EQ(-1, parser.Parse(dir.filePath("absent.AVI")));
}

TEST_F(AviFixture, StartTimeComesFromDateTextOrFirstTimedGpsRecord) {
    const QByteArray untimed = GpsRecord(0, 7, 4, 18, 30, 5);
    const QByteArray timed = GpsRecord(21, 7, 4, 18, 30, 5);
    QByteArray twelveUntimed;
    for (int i = 0; i < 12; ++i)
        twelveUntimed += untimed;
    const QByteArray badRecords = GpsRecord(21, 13, 4, 1, 1, 1) + GpsRecord(21, 1, 0, 1, 1, 1) +
                                  GpsRecord(21, 1, 1, 24, 1, 1) + GpsRecord(21, 1, 1, 1, 60, 1) +
                                  GpsRecord(21, 1, 1, 1, 1, 60);
    struct Case {
        const char* name;
        QByteArray chunks;
        int64_t expected;
    };
    const Case cases[] = {
        {"date text", DateText("2021-07-04 18:30:05"), Tokyo(2021, 7, 4, 18, 30, 5)},
        {"day beyond the month is normalised", DateText("2021-04-31 10:00:00"),
         Tokyo(2021, 5, 1, 10, 0, 0)},
        {"third record at one per second",
         AviChunk("gpsa", Params(1)) + AviChunk("gps0", untimed + untimed + timed),
         Tokyo(2021, 7, 4, 18, 30, 3)},
        {"rate 0 counts as one per second", AviChunk("gps0", untimed + untimed + timed),
         Tokyo(2021, 7, 4, 18, 30, 3)},
        {"record 12 at five per second",
         AviChunk("gpsa", Params(5)) + AviChunk("gps0", twelveUntimed + timed),
         Tokyo(2021, 7, 4, 18, 30, 3)},
        {"rate given after the block is not seen",
         AviChunk("gps0", twelveUntimed + timed) + AviChunk("gpsa", Params(5)),
         Tokyo(2021, 7, 4, 18, 29, 53)},
        {"out-of-range records are skipped", AviChunk("gps0", badRecords + timed),
         Tokyo(2021, 7, 4, 18, 30, 0)},
        {"a later block does not change it",
         AviChunk("gps0", timed) + AviChunk("gps0", GpsRecord(22, 1, 1, 0, 0, 0)),
         Tokyo(2021, 7, 4, 18, 30, 5)},
        {"a date text replaces a record's time",
         AviChunk("gps0", timed) + DateText("2020-01-02 03:04:05"), Tokyo(2020, 1, 2, 3, 4, 5)},
        {"records after a date text are not consulted",
         DateText("2020-01-02 03:04:05") + AviChunk("gps0", timed), Tokyo(2020, 1, 2, 3, 4, 5)},
        {"an invalid date text clears an earlier time",
         AviChunk("gps0", timed) + DateText("2021-13-04 18:30:05"), 0},
        {"a record after an invalid date text counts",
         DateText("garbage") + AviChunk("gps0", timed), Tokyo(2021, 7, 4, 18, 30, 5)},
        {"year before 1970", DateText("1969-12-31 23:59:59"), 0},
        {"date text inside an INFO list is not read",
         AviList("INFO", DateText("2021-07-04 18:30:05")), 0},
        {"no timed record", AviChunk("gps0", untimed + badRecords), 0},
    };
    for (const Case& c : cases) {
        AviRecipe recipe;
        recipe.beforeMovi = c.chunks;
        RecordingInfo info;
        ASSERT_EQ(0, Parse(BuildAvi(recipe), &info)) << c.name;
        EXPECT_EQ(info.startTime, c.expected) << c.name;
    }
}

TEST_F(AviFixture, DateTextLongerThanItsBufferIsSkippedWhole) {
    AviRecipe recipe;
    QByteArray text = "2021-07-04 18:30:05" + QByteArray(200, ' ');
    // A chunk hidden in the tail of the text must not be seen.
    text.replace(100, 12, AviChunk("gpsa", Params(9)));
    recipe.beforeMovi = AviChunk("IDIT", text) + AviChunk("gsea", Params(3));
    RecordingInfo info;
    ASSERT_EQ(0, Parse(BuildAvi(recipe), &info));
    EXPECT_EQ(info.startTime, Tokyo(2021, 7, 4, 18, 30, 5));
    EXPECT_EQ(info.gpsParams[0], 0);
    EXPECT_EQ(info.gsensorParams[0], 3);
}

TEST_F(AviFixture, WalkResumesAfterWholeRecordsAndWholeTriples) {
    // 100-byte GPS block: the walk goes on 96 bytes after its payload start,
    // where the block's last four bytes begin a "gpsa" chunk.
    AviRecipe recipe;
    const QByteArray gps = GpsRecord(0, 0, 0, 0, 0, 0).repeated(3) + "gpsa";
    recipe.beforeMovi = AviChunk("gps0", gps) + Le32(4) + Params(7) +
                        // 7-byte G-sensor block: the walk resumes 6 bytes in
                        AviChunk("gsen", QByteArray("\1\2\3\4\5\6") + "g") + QByteArray("sea") +
                        Le32(4) + Params(4, 2);
    RecordingInfo info;
    ASSERT_EQ(0, Parse(BuildAvi(recipe), &info));
    EXPECT_EQ(info.gpsSize, 100u);
    EXPECT_EQ(info.gpsParams[0], 7);
    EXPECT_EQ(info.gsensorSize, 7u);
    EXPECT_EQ(info.gsensorParams, (std::array<uint8_t, 4>{4, 2, 0, 0}));
}

TEST_F(AviFixture, AudioFormatIsSkippedAndVideoFormatIsRead) {
    // The audio format holds bytes that would look like a G-sensor chunk.
    AviRecipe recipe;
    const QByteArray hidden = AviChunk("gsen", Zeros(12));
    QByteArray file = BuildAvi(recipe);
    // An audio stream list ahead of "movi".
    const QByteArray audio = AviAudioStream(hidden);
    const qsizetype moviList = file.indexOf("movi") - 8;
    file.insert(moviList, audio);
    file.replace(4, 4, Le32(uint32_t(file.size() - 8)));
    RecordingInfo info;
    ASSERT_EQ(0, Parse(file, &info));
    EXPECT_EQ(info.gsensorSize, 0u);
    EXPECT_EQ(info.width, 1920);
}

TEST_F(AviFixture, TruncatedCopiesAreRejectedWhenTheCutHidesMarkerOrMedia) {
    AviRecipe recipe;
    recipe.beforeMovi = AviChunk("gps0", GpsRecord(21, 7, 4, 18, 30, 5)) + DateText("bad");
    recipe.afterMovi = AviChunk("idx1", Zeros(32));
    int64_t moviEnd = 0;
    const QByteArray file = BuildAvi(recipe, &moviEnd);
    const qsizetype markerEnd = file.indexOf("JTDD") + 4;
    const qsizetype moviHeaderEnd = file.indexOf("movi") + 4;
    for (qsizetype n = 0; n <= file.size(); ++n) {
        RecordingInfo info;
        const int result = Parse(file.left(n), &info);
        // Between the two, the copy still has a header but no media list;
        // whatever it gives, it must give it without harm.
        if (n < markerEnd || (n >= moviHeaderEnd && n < moviEnd)) {
            EXPECT_EQ(-1, result) << "cut at " << n;
        } else if (n >= moviEnd) {
            EXPECT_EQ(0, result) << "cut at " << n;
        }
    }
}

TEST_F(AviFixture, MediaListIsSkippedWithoutReadingIt) {
    // However large the media list, the same few reads around it.
    uint64_t bytesRead[2] = {};
    const int moviSizes[2] = {1 << 20, 8 << 20};
    for (int i = 0; i < 2; ++i) {
        AviRecipe recipe;
        recipe.moviPayload = moviSizes[i];
        recipe.beforeMovi = AviChunk("gps0", GpsRecord(21, 7, 4, 18, 30, 5));
        CVelAviParser parser;
        RecordingInfo info;
        ASSERT_EQ(0, Parse(BuildAvi(recipe), &info, &parser));
        EXPECT_EQ(parser.OpenCount(), 1);
        EXPECT_LE(parser.ReadCount(), 2);
        bytesRead[i] = parser.BytesRead();
    }
    EXPECT_EQ(bytesRead[0], bytesRead[1]);
    EXPECT_LE(bytesRead[1], 2 * FileWindow::kBlock);
}

TEST_F(AviFixture, HugeDeclaredSizesEndTheWalkInsteadOfReadingOutsideTheFile) {
    struct Case {
        const char* name;
        QByteArray chunks;
    };
    const Case cases[] = {
        {"gps0 of 4 GiB", QByteArray("gps0") + Le32(0xFFFFFFE0u) + GpsRecord(0, 0, 0, 0, 0, 0)},
        {"IDIT of 4 GiB", QByteArray("IDIT") + Le32(0xFFFFFFFFu) + "2021-07-04 18:30:05"},
        {"JUNK of 4 GiB", QByteArray("JUNK") + Le32(0xFFFFFFFFu)},
        {"avih of 4 GiB", QByteArray("avih") + Le32(0xFFFFFFFFu)},
    };
    for (const Case& c : cases) {
        AviRecipe recipe;
        recipe.beforeMovi = c.chunks;
        CVelAviParser parser;
        RecordingInfo info;
        Parse(BuildAvi(recipe), &info, &parser);
        EXPECT_LT(parser.BytesRead(), 1024u) << c.name;
    }
}

TEST_F(AviFixture, DamagedAndZeroFilledDataIsWalkedInLargeReads) {
    // A damaged "movi" tag: its size no longer skips the media data, which
    // the walk then goes through four bytes at a time.
    AviRecipe recipe;
    recipe.moviPayload = 4 << 20;
    // After the media: a GPS chunk where stepping lands, and a G-sensor chunk
    // two bytes off that stepping never sees.
    recipe.afterMovi = AviChunk("gps0", GpsRecord(21, 7, 4, 18, 30, 5)) + "xx" +
                       AviChunk("gsen", Zeros(12)) + "yy";
    QByteArray damaged = BuildAvi(recipe);
    damaged.replace(damaged.indexOf("movi") - 8, 4, "LIZT");

    // The same after a 64 MiB hole of a sparse file.
    AviRecipe small;
    QByteArray head = BuildAvi(small);
    head.replace(head.indexOf("movi") - 8, 4, "LIZT");
    const QByteArray tail = AviChunk("gps0", GpsRecord(21, 7, 4, 18, 30, 5));

    struct Case {
        const char* name;
        QByteArray bytes;
        uint64_t hole;
    };
    const Case cases[] = {{"damaged list tag", damaged, 0}, {"sparse zeros", head, 64 << 20}};
    for (const Case& c : cases) {
        path = dir.filePath("REC.AVI");
        ASSERT_TRUE(WriteFile(path, c.bytes));
        uint64_t gps0 = uint64_t(c.bytes.indexOf("gps0"));
        if (c.hole) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            gps0 = uint64_t(c.bytes.size()) + c.hole;
            ASSERT_TRUE(f.seek(qint64(gps0)) && f.write(tail) == tail.size());
        }
        RecordingInfo info;
        CVelAviParser parser;
        parser.SetInfo(&info);
        const uint64_t before = ReadCalls();
        ASSERT_EQ(0, parser.Parse(path)) << c.name;
        EXPECT_LT(ReadCalls() - before, 200u) << c.name;
        EXPECT_EQ(info.gpsOffset, gps0 + 8) << c.name;
        EXPECT_EQ(info.startTime, Tokyo(2021, 7, 4, 18, 30, 5)) << c.name;
        EXPECT_EQ(info.gsensorSize, 0u) << c.name << ": found only where stepping finds it";
    }
}

// Written data (not a hole) without any token: zeros as a preallocating
// camera leaves them, or noise. The walk gives up long before the end instead
// of reading it all, so a damaged gigabyte costs what a few megabytes do.
TEST_F(AviFixture, DamageWithoutTokensIsNotReadToTheEnd) {
    AviRecipe small;
    QByteArray head = BuildAvi(small);
    head.replace(head.indexOf("movi") - 8, 4, "LIZT");
    const qsizetype damage = 48 << 20;
    QByteArray noise(damage, Qt::Uninitialized);
    uint32_t x = 2463534242u; // xorshift: the same noise on every run
    for (qsizetype i = 0; i + 4 <= noise.size(); i += 4) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        std::memcpy(noise.data() + i, &x, 4);
    }
    const QByteArray late = AviChunk("gps0", GpsRecord(21, 7, 4, 18, 30, 5));
    for (const QByteArray& data : {QByteArray(damage, '\0'), noise}) {
        path = dir.filePath("REC.AVI");
        ASSERT_TRUE(WriteFile(path, head + data + late));
        RecordingInfo info;
        CVelAviParser parser;
        parser.SetInfo(&info);
        EXPECT_EQ(0, parser.Parse(path)) << "the header still makes it a recording";
        EXPECT_LT(parser.BytesRead(), uint64_t(20) << 20);
        EXPECT_EQ(info.gpsOffset, 0u) << "a token after that much damage is not looked for";
    }
}

TEST_F(AviFixture, AFifoIsRejectedWithoutWaitingForAWriter) {
    path = dir.filePath("REC.AVI");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    RecordingInfo info;
    CVelAviParser parser;
    parser.SetInfo(&info);
    EXPECT_EQ(-1, parser.Parse(path));
}

} // namespace
