// The parsers and the track load on real recordings: H.264 video in the three
// containers the camera writes, made by the synthesizer.
#ifdef HALVEX_HAVE_SYNTH
#include "recordings/CVel3gpParser.h"
#include "recordings/CVelAviParser.h"
#include "recordings/RecordingCatalog.h"
#include "tests/support/core/CatalogStaging.h"
#include "tests/support/core/SynthFixture.h"

#include <QFileInfo>
#include <memory>

namespace {

using namespace synthtest;
using synth::Container;

const char* Name(Container c) {
    switch (c) {
    case Container::Avi:
        return "AVI";
    case Container::MovBoxes:
        return "MOV with camera boxes";
    case Container::MovTrack:
        return "MOV with metadata track";
    }
    return "?";
}

std::unique_ptr<CVelVideoParser> ParserFor(Container c) {
    if (c == Container::Avi)
        return std::make_unique<CVelAviParser>();
    return std::make_unique<CVel3gpParser>();
}

class ParserOnSynthFiles : public SynthFiles {
  protected:
    int Parse(Container c, const QString& path, RecordingInfo* info) {
        auto parser = ParserFor(c);
        parser->SetInfo(info);
        return parser->Parse(path);
    }
};

TEST_F(ParserOnSynthFiles, RecordingsOfEveryKindAreRecognisedAndLoaded) {
    for (Container c : {Container::Avi, Container::MovBoxes, Container::MovTrack}) {
        SCOPED_TRACE(Name(c));
        const auto recipe = SmallRecipe(c);
        const QString path = Write(recipe, c == Container::Avi ? "REC_0001F.AVI" : "REC_0001F.MOV");
        RecordingInfo info;
        ASSERT_EQ(0, Parse(c, path, &info));
        EXPECT_EQ(info.width, 160);
        EXPECT_EQ(info.height, 90);
        EXPECT_NEAR(info.durationMs, 2000, 100);
        EXPECT_EQ(info.fileSize, uint64_t(QFileInfo(path).size()));
        EXPECT_EQ(info.startTime, recipe.start.toSecsSinceEpoch());

        RecordingCatalog catalog;
        RecordingFile file;
        file.root = dir.path() + "/";
        file.fileName = QFileInfo(path).fileName();
        file.info = info;
        CatalogStaging::Files(catalog).push_back(file);
        ASSERT_EQ(1, catalog.LoadTrack(0));
        const std::vector<GpsPoint> records = ReadStoredTrack(file.Path(), info).records;

        const auto fixes = SampleFixes();
        if (c == Container::MovTrack) {
            EXPECT_EQ(info.variant, kMetadataTrackVariant);
            EXPECT_EQ(info.metaChunks.size(), 5u);
            EXPECT_EQ(info.gpsSize, 0u);
            // Records without a fix status give no point: three of four.
            ASSERT_EQ(catalog.GpsPointCount(), 3);
            ASSERT_EQ(records.size(), 3u);
            for (int i = 0; i < 3; ++i) {
                const GpsPoint& p = records[size_t(i)];
                EXPECT_NEAR(p.latitude, fixes[size_t(i)].latitude, 1e-4) << i;
                EXPECT_NEAR(p.longitude, fixes[size_t(i)].longitude, 1e-4) << i;
                EXPECT_EQ(p.speed, fixes[size_t(i)].speedKmh) << i;
                // Back on the camera's wall clock, in Tokyo and in Sydney alike.
                EXPECT_EQ((std::vector<int>{p.year, p.month, p.day, p.hour, p.minute, p.second}),
                          (std::vector<int>{21, 7, 4, 18, 30, 5}))
                    << i;
            }
            EXPECT_DOUBLE_EQ(catalog.CurrentTrack().gpsRate, 5.0);
        } else {
            EXPECT_EQ(info.variant, kChunkVariant);
            EXPECT_TRUE(info.metaChunks.empty());
            EXPECT_EQ(info.gpsSize, 4u * 32);
            EXPECT_EQ(info.gsensorSize, 5u * 6);
            EXPECT_EQ(info.gpsParams[0], 2);
            EXPECT_EQ(info.gsensorParams[0], 5);
            EXPECT_EQ(info.gsensorParams[1], 8);
            ASSERT_EQ(catalog.GpsPointCount(), 4);
            ASSERT_EQ(records.size(), 4u);
            for (int i = 0; i < 4; ++i) {
                const GpsPoint& p = records[size_t(i)];
                EXPECT_NEAR(FromNmea(p.latitude), fixes[size_t(i)].latitude, 1e-5) << i;
                EXPECT_NEAR(FromNmea(p.longitude), fixes[size_t(i)].longitude, 1e-5) << i;
                EXPECT_EQ(p.speed, fixes[size_t(i)].speedKmh) << i;
            }
            EXPECT_DOUBLE_EQ(catalog.CurrentTrack().gpsRate, 2.0);
        }
        const auto samples = SampleGSensor();
        ASSERT_EQ(catalog.GSensorSampleCount(), int(samples.size()));
        for (int i = 0; i < int(samples.size()); ++i)
            EXPECT_EQ(catalog.GSensorSampleAt(i), samples[size_t(i)]) << i;
    }
}

TEST_F(ParserOnSynthFiles, DamagedOrForeignFilesAreRejected) {
    struct Case {
        const char* name;
        Container written;
        Container parsedAs;
        synth::Faults faults;
        int result;
    };
    synth::Faults none, noMarker, cut, metaFirst;
    noMarker.noMarker = true;
    cut.cutInMedia = true;
    metaFirst.metaTrackFirst = true;
    const Case cases[] = {
        {"AVI read as MOV", Container::Avi, Container::MovBoxes, none, -1},
        {"MOV read as AVI", Container::MovBoxes, Container::Avi, none, -1},
        {"AVI without marker", Container::Avi, Container::Avi, noMarker, -1},
        {"MOV boxes without marker", Container::MovBoxes, Container::MovBoxes, noMarker, -1},
        {"MOV track without marker", Container::MovTrack, Container::MovTrack, noMarker, -1},
        {"AVI cut in the media", Container::Avi, Container::Avi, cut, -1},
        {"MOV boxes cut in the media", Container::MovBoxes, Container::MovBoxes, cut, -1},
        {"MOV track cut in the media", Container::MovTrack, Container::MovTrack, cut, -1},
        {"metadata track first: listed without data", Container::MovTrack, Container::MovTrack,
         metaFirst, 0},
    };
    for (const Case& c : cases) {
        auto recipe = SmallRecipe(c.written);
        recipe.faults = c.faults;
        const QString path = Write(recipe, c.written == Container::Avi ? "A.AVI" : "A.MOV");
        RecordingInfo info;
        EXPECT_EQ(c.result, Parse(c.parsedAs, path, &info)) << c.name;
        EXPECT_TRUE(info.metaChunks.empty()) << c.name;
    }
}

} // namespace
#endif
