// The AVI recordings the synthesizer writes, read back with a forward walk
// of the kind the camera's AVI files are parsed with: chunk ids stepped over
// four bytes at a time unless known, lists entered or skipped by type.
#include "tests/support/core/SynthFixture.h"
#include "tools/synth/ChunkRecords.h"

#include <optional>

namespace {

using namespace synthtest;
using synth::Container;

struct AviFindings {
    bool marker = false;
    uint32_t durationMs = 0;
    uint32_t width = 0, height = 0;
    qint64 gpsOffset = 0, gsensorOffset = 0;
    uint32_t gpsSize = 0, gsensorSize = 0;
    QByteArray gpsa, gsea, dateText;
    bool moviPastEnd = false;
};

AviFindings WalkAvi(const QByteArray& d) {
    AviFindings f;
    const qint64 length = d.size();
    if (d.left(4) != "RIFF")
        return f;
    for (qint64 p = 8; p + 8 <= length;) {
        const QByteArray id = d.mid(p, 4);
        p += 4;
        const uint32_t s = Le32(d, p);
        if (id == "LIST") {
            const qint64 end = p + 4 + s;
            const QByteArray type = d.mid(p + 4, 4);
            p += 8;
            if (type == "movi" && end > length)
                f.moviPastEnd = true;
            if (type != "hdrl" && type != "strl")
                p = end;
        } else if (id == "avih") {
            f.marker = d.mid(p + 4 + 40, 4) == "JTDD";
            f.durationMs = uint32_t(uint64_t(Le32(d, p + 4)) * Le32(d, p + 4 + 16) / 1000);
            p += 4 + std::min<uint32_t>(s, 56);
        } else if (id == "strh") {
            const QByteArray type = d.mid(p + 4, 4);
            p += 4 + std::min<uint32_t>(s, 64);
            if (d.mid(p, 4) == "strf") {
                const uint32_t fs = Le32(d, p + 4);
                if (type == "vids") {
                    f.width = Le32(d, p + 8 + 4) & 0xFFFF;
                    f.height = Le32(d, p + 8 + 8) & 0xFFFF;
                    p += 8 + std::min<uint32_t>(fs, 40);
                } else {
                    p += 8 + fs;
                }
            }
        } else if (id == "gps0") {
            f.gpsOffset = p + 4;
            f.gpsSize = s;
            p += 4 + 32 * (s / 32);
        } else if (id == "gsen") {
            f.gsensorOffset = p + 4;
            f.gsensorSize = s;
            p += 4 + 3 * (s / 3);
        } else if (id == "gpsa" || id == "gsea") {
            (id == "gpsa" ? f.gpsa : f.gsea) = d.mid(p + 4, 4);
            p += 4 + s;
        } else if (id == "IDIT") {
            f.dateText = d.mid(p + 4, s);
            p += 4 + s;
        } else if (id == "idx1" || id == "JUNK" || id == "indx") {
            p += 4 + s;
        }
    }
    return f;
}

class SynthAvi : public SynthFiles {};

TEST_F(SynthAvi, CameraChunksLieWhereTheWalkFindsThem) {
    const auto recipe = SmallRecipe(Container::Avi);
    const QByteArray d = Bytes(Write(recipe, "FILE0010.AVI"));
    const AviFindings f = WalkAvi(d);

    EXPECT_TRUE(f.marker);
    EXPECT_FALSE(f.moviPastEnd);
    EXPECT_NEAR(f.durationMs, 2000, 100);
    EXPECT_EQ(f.width, 160u);
    EXPECT_EQ(f.height, 90u);
    EXPECT_EQ(f.gpsa, QByteArray("\x02\0\0\0", 4));
    EXPECT_EQ(f.gsea, QByteArray("\x05\x08\x02\x01", 4));
    EXPECT_EQ(f.dateText, QByteArray("2021-07-04 18:30:05\0", 20));

    ASSERT_EQ(f.gpsSize, 4u * 32);
    ASSERT_LE(f.gpsOffset + f.gpsSize, d.size());
    const auto fixes = SampleFixes();
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const qint64 r = f.gpsOffset + 32 * i;
        EXPECT_NEAR(FromNmea(LeDouble(d, r)), fixes[i].latitude, 1e-9);
        EXPECT_NEAR(FromNmea(LeDouble(d, r + 8)), fixes[i].longitude, 1e-9);
        EXPECT_EQ(Le32s(d, r + 16), fixes[i].altitude);
        EXPECT_EQ(qFromLittleEndian<quint16>(d.constData() + r + 20), fixes[i].speedKmh);
        EXPECT_EQ(uint8_t(d[r + 29]), fixes[i].flags);
    }
    // Times at 2 records a second; the last record carries none.
    EXPECT_EQ(d.mid(f.gpsOffset + 22, 6), QByteArray("\x15\x07\x04\x12\x1e\x05", 6));
    EXPECT_EQ(d.mid(f.gpsOffset + 32 + 22, 6), QByteArray("\x15\x07\x04\x12\x1e\x05", 6));
    EXPECT_EQ(d.mid(f.gpsOffset + 64 + 22, 6), QByteArray("\x15\x07\x04\x12\x1e\x06", 6));
    EXPECT_EQ(d.mid(f.gpsOffset + 96 + 22, 6), QByteArray(6, '\0'));
    // Headings in 2-degree units: 0, 90, 181 (rounded up) and 359 (wrapped to north).
    const uint8_t headings[] = {0, 45, 91, 0};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(uint8_t(d[f.gpsOffset + 32 * i + 28]), headings[i]) << i;

    ASSERT_EQ(f.gsensorSize, 5u * 6);
    EXPECT_EQ(Le16s(d, f.gsensorOffset), 1);
    EXPECT_EQ(Le16s(d, f.gsensorOffset + 4), 16);
    EXPECT_EQ(Le16s(d, f.gsensorOffset + 12), 0x0105);
    EXPECT_EQ(Le16s(d, f.gsensorOffset + 14), -128);
}

TEST_F(SynthAvi, DamagedFilesAreDamagedAsAsked) {
    struct Case {
        const char* name;
        void (*damage)(synth::RecordingRecipe&);
        void (*check)(const AviFindings&, qint64 fileLength);
    };
    const Case cases[] = {
        {"no marker", [](synth::RecordingRecipe& s) { s.faults.noMarker = true; },
         [](const AviFindings& f, qint64) {
             EXPECT_FALSE(f.marker);
             EXPECT_EQ(f.gpsSize, 128u);
         }},
        {"power lost", [](synth::RecordingRecipe& s) { s.faults.cutInMedia = true; },
         [](const AviFindings& f, qint64) {
             EXPECT_TRUE(f.moviPastEnd);
             EXPECT_EQ(f.gpsOffset, 0);
         }},
        {"gps0 not a multiple of 32", [](synth::RecordingRecipe& s) { s.faults.gpsExtraBytes = 4; },
         [](const AviFindings& f, qint64) { EXPECT_EQ(f.gpsSize, 132u); }},
        // An odd "gsen" puts the walk out of step, so the "gps0" after it is lost.
        {"601-byte gsen",
         [](synth::RecordingRecipe& s) {
             s.gsensor.assign(100, {1, 2, 3});
             s.faults.gsensorExtraBytes = 1;
         },
         [](const AviFindings& f, qint64) {
             EXPECT_EQ(f.gsensorSize, 601u);
             EXPECT_EQ(f.gpsSize, 0u);
         }},
        {"block past the end", [](synth::RecordingRecipe& s) { s.faults.gpsSizeOverstated = 64; },
         [](const AviFindings& f, qint64 length) {
             EXPECT_EQ(f.gpsSize, 192u);
             EXPECT_GT(f.gpsOffset + f.gpsSize, length);
             EXPECT_EQ(f.gpsOffset + 128, length);
         }},
        {"bad date",
         [](synth::RecordingRecipe& s) {
             s.faults.dateText = QByteArray("2021-13-04 18:30:05\0", 20);
         },
         [](const AviFindings& f, qint64) { EXPECT_EQ(f.dateText.left(10), "2021-13-04"); }},
        {"no date", [](synth::RecordingRecipe& s) { s.dateText = false; },
         [](const AviFindings& f, qint64) {
             EXPECT_TRUE(f.dateText.isEmpty());
             EXPECT_EQ(f.gpsSize, 128u);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto recipe = SmallRecipe(Container::Avi);
        c.damage(recipe);
        const QByteArray d = Bytes(Write(recipe, "FILE0010.AVI"));
        c.check(WalkAvi(d), d.size());
    }
}

} // namespace
