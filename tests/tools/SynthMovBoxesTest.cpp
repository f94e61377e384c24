// MOV recordings with the camera's own top-level boxes, read back with a walk
// over the top-level boxes (entering the moov) and box searches by path.
#include "SynthBoxReader.h"
#include "tests/support/core/SynthFixture.h"

namespace {

using namespace synthtest;
using synth::Container;

struct BoxFindings {
    QByteArray firstLayoutBox; // the first "thm ", "free", "IDIT" or "skip"
    bool ftypFirst = false;
    int skipLastByte = -1;
    qint64 gpsOffset = 0, gsensorOffset = 0;
    qint64 gpsSize = 0, gsensorSize = 0;
    QByteArray gpsa, gsea, dateText;
    uint32_t durationMs = 0;
    uint16_t width = 0, height = 0;
};

BoxFindings WalkBoxes(const QByteArray& d) {
    BoxFindings f;
    for (qint64 p = 0; p < d.size();) {
        const BoxHeader h = HeaderAt(d, p);
        if (h.type.isEmpty() || h.size < 0)
            break;
        if (f.firstLayoutBox.isEmpty() &&
            (h.type == "thm " || h.type == "free" || h.type == "IDIT" || h.type == "skip"))
            f.firstLayoutBox = h.type;
        p = h.payload + h.size;
    }
    const BoxHeader ftyp = HeaderAt(d, 0);
    f.ftypFirst = ftyp.type == "ftyp";
    for (qint64 p = ftyp.payload + ftyp.size; p < d.size();) {
        const BoxHeader h = HeaderAt(d, p);
        if (h.type.isEmpty() || h.size < 0)
            break;
        p = h.payload + h.size;
        if (h.type == "skip") {
            f.skipLastByte = uint8_t(d.at(h.payload + h.size - 1));
        } else if (h.type == "moov") {
            if (const auto mdhd = FindPath(d, {"trak", "mdia", "mdhd"}, h))
                f.durationMs = uint32_t(uint64_t(Be32(d, mdhd->payload + 16)) * 1000 /
                                        Be32(d, mdhd->payload + 12));
            if (const auto stsd = FindPath(d, {"trak", "mdia", "minf", "stbl", "stsd"}, h)) {
                if (const auto avc1 = FindChild(d, "avc1", stsd->payload + 8, stsd->size)) {
                    f.width = Be16(d, avc1->payload + 24);
                    f.height = Be16(d, avc1->payload + 26);
                }
            }
            p = h.payload;
        } else if (h.type == "gps0") {
            f.gpsOffset = h.payload;
            f.gpsSize = h.size;
            p = h.payload + 32 * (h.size / 32);
        } else if (h.type == "gsen") {
            f.gsensorOffset = h.payload;
            f.gsensorSize = h.size;
            p = h.payload + 3 * (h.size / 3);
        } else if (h.type == "gpsa" || h.type == "gsea") {
            (h.type == "gpsa" ? f.gpsa : f.gsea) = d.mid(h.payload, 4);
        } else if (h.type == "IDIT") {
            f.dateText = d.mid(h.payload, h.size);
        }
    }
    return f;
}

class SynthMovBoxes : public SynthFiles {};

TEST_F(SynthMovBoxes, CameraBoxesLieWhereTheWalkFindsThem) {
    const QByteArray d = Bytes(Write(SmallRecipe(Container::MovBoxes), "FILE0010.MOV"));
    const BoxFindings f = WalkBoxes(d);

    EXPECT_TRUE(f.ftypFirst);
    EXPECT_EQ(f.firstLayoutBox, "IDIT");
    EXPECT_EQ(f.skipLastByte, 0);
    EXPECT_EQ(f.durationMs, 2000u);
    EXPECT_EQ(f.width, 160);
    EXPECT_EQ(f.height, 90);
    EXPECT_EQ(f.gpsa, QByteArray("\x02\0\0\0", 4));
    EXPECT_EQ(f.gsea, QByteArray("\x05\x08\x02\x01", 4));
    EXPECT_EQ(f.dateText, QByteArray("2021-07-04 18:30:05\0", 20));

    ASSERT_EQ(f.gpsSize, 128);
    const auto fixes = SampleFixes();
    for (int i = 0; i < 4; ++i) {
        const qint64 r = f.gpsOffset + 32 * i;
        EXPECT_NEAR(FromNmea(LeDouble(d, r)), fixes[i].latitude, 1e-9) << i;
        EXPECT_NEAR(FromNmea(LeDouble(d, r + 8)), fixes[i].longitude, 1e-9) << i;
    }
    EXPECT_EQ(d.mid(f.gpsOffset + 64 + 22, 6), QByteArray("\x15\x07\x04\x12\x1e\x06", 6));
    ASSERT_EQ(f.gsensorSize, 30);
    EXPECT_EQ(Le16s(d, f.gsensorOffset + 6), -127);
    EXPECT_EQ(Le16s(d, f.gsensorOffset + 8), 127);
}

TEST_F(SynthMovBoxes, WithoutDateTextTheSkipBoxTellsTheLayout) {
    auto recipe = SmallRecipe(Container::MovBoxes);
    recipe.dateText = false;
    const BoxFindings f = WalkBoxes(Bytes(Write(recipe, "FILE0010.MOV")));
    EXPECT_EQ(f.firstLayoutBox, "skip");
    EXPECT_TRUE(f.dateText.isEmpty());
    EXPECT_EQ(f.gpsSize, 128);
}

TEST_F(SynthMovBoxes, DamagedFilesAreDamagedAsAsked) {
    struct Case {
        const char* name;
        void (*damage)(synth::RecordingRecipe&);
        void (*check)(const BoxFindings&, qint64 fileLength);
    };
    const Case cases[] = {
        {"foreign skip box", [](synth::RecordingRecipe& s) { s.faults.noMarker = true; },
         [](const BoxFindings& f, qint64) {
             EXPECT_EQ(f.skipLastByte, 1);
             EXPECT_EQ(f.gpsSize, 128);
         }},
        {"power lost", [](synth::RecordingRecipe& s) { s.faults.cutInMedia = true; },
         [](const BoxFindings& f, qint64) {
             EXPECT_EQ(f.durationMs, 0u);
             EXPECT_EQ(f.skipLastByte, -1);
         }},
        {"block past the end", [](synth::RecordingRecipe& s) { s.faults.gpsSizeOverstated = 32; },
         [](const BoxFindings& f, qint64 length) {
             EXPECT_EQ(f.gpsSize, 160);
             EXPECT_EQ(f.gpsOffset + 128, length);
         }},
        {"601-byte gsen",
         [](synth::RecordingRecipe& s) {
             s.gsensor.assign(100, {1, 2, 3});
             s.faults.gsensorExtraBytes = 1;
         },
         [](const BoxFindings& f, qint64) { EXPECT_EQ(f.gsensorSize, 601); }},
        {"truncated", [](synth::RecordingRecipe& s) { s.faults.truncateTo = 1000; },
         [](const BoxFindings& f, qint64 length) {
             EXPECT_EQ(length, 1000);
             EXPECT_TRUE(f.ftypFirst);
             EXPECT_EQ(f.width, 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto recipe = SmallRecipe(Container::MovBoxes);
        c.damage(recipe);
        const QByteArray d = Bytes(Write(recipe, "FILE0010.MOV"));
        c.check(WalkBoxes(d), d.size());
    }
}

} // namespace
