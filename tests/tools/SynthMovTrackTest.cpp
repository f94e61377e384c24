// MOV recordings with a metadata track: the layout is told by a "free" box,
// the video handler's name carries the camera's marker, and the metadata
// track's chunk offsets point at 88-byte records of UTC time, NMEA fractions
// and knots.
#include "SynthBoxReader.h"

#include <ctime>

namespace {

using namespace synthtest;
using synth::Container;

struct TrackFindings {
    QByteArray firstLayoutBox;
    uint32_t durationMs = 0;
    uint32_t creation = 0;
    QList<QByteArray> handlers; // "vide:JTD_", "soun:Soun", "meta:Meta" in track order
    QList<uint32_t> recordOffsets;
    uint16_t width = 0;
};

TrackFindings WalkTracks(const QByteArray& d) {
    TrackFindings f;
    std::optional<BoxHeader> moov;
    for (qint64 p = 0; p < d.size();) {
        const BoxHeader h = HeaderAt(d, p);
        if (h.type.isEmpty() || h.size < 0)
            break;
        if (f.firstLayoutBox.isEmpty() &&
            (h.type == "thm " || h.type == "free" || h.type == "IDIT" || h.type == "skip"))
            f.firstLayoutBox = h.type;
        if (h.type == "moov")
            moov = h;
        p = h.payload + h.size;
    }
    if (!moov)
        return f;
    if (const auto mvhd = FindChild(d, "mvhd", moov->payload, moov->size)) {
        f.creation = Be32(d, mvhd->payload + 4);
        f.durationMs =
            uint32_t(uint64_t(Be32(d, mvhd->payload + 16)) * 1000 / Be32(d, mvhd->payload + 12));
    }
    bool marked = false;
    for (qint64 p = moov->payload; p < moov->payload + moov->size;) {
        const BoxHeader trak = HeaderAt(d, p);
        if (trak.type.isEmpty() || trak.size < 0)
            break;
        p = trak.payload + trak.size;
        if (trak.type != "trak")
            continue;
        const auto hdlr = FindPath(d, {"mdia", "hdlr"}, trak);
        if (!hdlr)
            continue;
        const QByteArray type = d.mid(hdlr->payload + 8, 4);
        f.handlers << type + ":" + d.mid(hdlr->payload + 25, 4);
        if (type == "vide")
            marked = d.mid(hdlr->payload + 25, 4) == "JTD_";
        if (type == "meta" && marked) {
            if (const auto stco = FindPath(d, {"mdia", "minf", "stbl", "stco"}, trak))
                for (uint32_t i = 0; i < Be32(d, stco->payload + 4); ++i)
                    f.recordOffsets << Be32(d, stco->payload + 8 + 4 * i);
        }
    }
    if (const auto stsd = FindPath(d, {"trak", "mdia", "minf", "stbl", "stsd"}, *moov))
        if (const auto entry = FindChild(d, "avc1", stsd->payload + 8, stsd->size - 8))
            f.width = Be16(d, entry->payload + 24);
    return f;
}

// Date and time fields of a record: year-2000, month, day, hour, minute, second.
QList<int> RecordTime(const QByteArray& d, qint64 r) {
    return {Le32s(d, r + 76) & 0xFF, Le32s(d, r + 72) & 0xFF, Le32s(d, r + 68) & 0xFF,
            Le32s(d, r + 16) & 0xFF, Le32s(d, r + 20) & 0xFF, Le32s(d, r + 24) & 0xFF};
}

double Fraction(const QByteArray& d, qint64 at) {
    return double(Le32s(d, at)) / double(Le32s(d, at + 4));
}

class SynthMovTrack : public SynthFiles {};

TEST_F(SynthMovTrack, RecordsLieAtTheMetadataTrackChunkOffsets) {
    const auto recipe = SmallRecipe(Container::MovTrack);
    const QByteArray d = Bytes(Write(recipe, "MOV_0001F.MOV"));
    const TrackFindings f = WalkTracks(d);

    EXPECT_EQ(f.firstLayoutBox, "free");
    EXPECT_NEAR(f.durationMs, 2000, 100);
    EXPECT_EQ(f.width, 160);
    EXPECT_EQ(qint64(f.creation) - 2082844800LL, recipe.start.toSecsSinceEpoch());
    ASSERT_EQ(f.handlers.size(), 3);
    EXPECT_EQ(f.handlers[0], "vide:JTD_");
    EXPECT_EQ(f.handlers[2].left(4), "meta");

    // One record per fix or sample, whichever are more: 4 fixes, 5 samples.
    ASSERT_EQ(f.recordOffsets.size(), 5);
    for (uint32_t off : f.recordOffsets)
        ASSERT_LE(off + 88, uint32_t(d.size()));
    const auto fixes = SampleFixes();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const qint64 r = f.recordOffsets[i];
        EXPECT_EQ(Le32s(d, r + 32) & 0xFF, 1);
        // Thousandths of a minute: within 1 e-5 degrees.
        EXPECT_NEAR(FromNmea(Fraction(d, r + 36)), fixes[i].latitude, 1e-5);
        EXPECT_NEAR(FromNmea(Fraction(d, r + 44)), fixes[i].longitude, 1e-5);
        // Knots; the viewer truncates km/h and takes 4 off.
        const int kmh = int(Fraction(d, r + 52) * 1.852);
        EXPECT_EQ(kmh > 4 ? kmh - 4 : 0, fixes[i].speedKmh);
    }
    EXPECT_EQ(uint8_t(d[f.recordOffsets[2] + 80]), 91);
    // Five records a second: all of them in the first second, 18:30:05 on the
    // camera's clock; the receiver's UTC is 9 h behind in Tokyo, 10 in Sydney.
    EXPECT_EQ(RecordTime(d, f.recordOffsets[0]), (QList<int>{21, 7, 4, 9, 30, 5}));
    EXPECT_EQ(RecordTime(d, f.recordOffsets[2]), (QList<int>{21, 7, 4, 8, 30, 5}));
    // No fix: status 0. No time: zero date.
    EXPECT_EQ(Le32s(d, f.recordOffsets[3] + 32), 0);
    EXPECT_EQ(RecordTime(d, f.recordOffsets[3]).mid(0, 3), (QList<int>{0, 0, 0}));
    // The fifth record has a sample only.
    EXPECT_EQ(Le32s(d, f.recordOffsets[4] + 32), 0);
    for (int i = 0; i < 5; ++i) {
        const qint64 r = f.recordOffsets[i];
        EXPECT_NE(Le16s(d, r + 6), 0) << i;
        EXPECT_EQ(Le16s(d, r + 8), recipe.gsensor[i].x) << i;
        EXPECT_EQ(Le16s(d, r + 10), recipe.gsensor[i].y) << i;
        EXPECT_EQ(Le16s(d, r + 12), recipe.gsensor[i].z) << i;
    }
}

TEST_F(SynthMovTrack, RecordTimesAreUtcAsTheViewerWillShiftThem) {
    struct Case {
        const char* place;
        double latitude, longitude;
        QDateTime wallClock;
        QList<int> utc;
    };
    const Case cases[] = {
        {"Tokyo, back over a month end",
         35.652,
         139.7613,
         QDateTime(QDate(2024, 5, 1), QTime(8, 30)),
         {24, 4, 30, 23, 30, 0}},
        {"Beijing box, back over a year end",
         39.9,
         116.4,
         QDateTime(QDate(2024, 1, 1), QTime(7, 0, 9)),
         {23, 12, 31, 23, 0, 9}},
        {"New York, forward out of a leap day",
         40.7128,
         -73.98,
         QDateTime(QDate(2024, 2, 29), QTime(21, 0)),
         {24, 3, 1, 2, 0, 0}},
        {"Greenwich",
         51.4779,
         0.0,
         QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59)),
         {23, 12, 31, 23, 59, 59}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.place);
        auto recipe = SmallRecipe(Container::MovTrack);
        recipe.start = c.wallClock;
        recipe.fixes = {synth::Fix{c.latitude, c.longitude, 0, 30, 0, 1, true}};
        recipe.gsensor.clear();
        const QByteArray d = Bytes(Write(recipe, "MOV_0001F.MOV"));
        const TrackFindings f = WalkTracks(d);
        ASSERT_EQ(f.recordOffsets.size(), 1);
        EXPECT_EQ(RecordTime(d, f.recordOffsets[0]), c.utc);
        EXPECT_EQ(Le16s(d, f.recordOffsets[0] + 6), 0); // no sample
    }
}

// The movie header holds the instant at which the local clock showed the
// start: 18:30:05 in Tokyo is 09:30:05 UTC.
TEST_F(SynthMovTrack, CreationTimeIsTheInstantOfTheLocalWallClock) {
    const QByteArray savedTz = qgetenv("TZ");
    qputenv("TZ", "JST-9");
    tzset();
    const QByteArray d = Bytes(Write(SmallRecipe(Container::MovTrack), "MOV_0001F.MOV"));
    if (savedTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedTz);
    tzset();
    EXPECT_EQ(WalkTracks(d).creation, 1625391005u + 2082844800u);
}

TEST_F(SynthMovTrack, DamagedFilesAreDamagedAsAsked) {
    struct Case {
        const char* name;
        void (*damage)(synth::RecordingRecipe&);
        void (*check)(const TrackFindings&);
    };
    const Case cases[] = {
        {"no marker", [](synth::RecordingRecipe& s) { s.faults.noMarker = true; },
         [](const TrackFindings& f) {
             ASSERT_FALSE(f.handlers.isEmpty());
             EXPECT_EQ(f.handlers[0].left(4), "vide");
             EXPECT_NE(f.handlers[0].mid(5), "JTD_");
             EXPECT_TRUE(f.recordOffsets.isEmpty());
         }},
        {"metadata track first", [](synth::RecordingRecipe& s) { s.faults.metaTrackFirst = true; },
         [](const TrackFindings& f) {
             ASSERT_EQ(f.handlers.size(), 3);
             EXPECT_EQ(f.handlers[0].left(4), "meta");
             EXPECT_EQ(f.handlers[1], "vide:JTD_");
             EXPECT_TRUE(f.recordOffsets.isEmpty());
         }},
        {"power lost", [](synth::RecordingRecipe& s) { s.faults.cutInMedia = true; },
         [](const TrackFindings& f) {
             EXPECT_EQ(f.firstLayoutBox, "free");
             EXPECT_TRUE(f.handlers.isEmpty());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto recipe = SmallRecipe(Container::MovTrack);
        c.damage(recipe);
        c.check(WalkTracks(Bytes(Write(recipe, "MOV_0001F.MOV"))));
    }
}

} // namespace
