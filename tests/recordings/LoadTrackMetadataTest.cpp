#include "presenter/CatalogPresenter.h"
#include "recordings/RecordingCatalog.h"

#include "tests/support/core/CameraFileWriter.h"
#include "tests/support/core/CatalogStaging.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace CameraFile;

namespace {

// Keeps the curve state the presenter writes and counts the redraws.
class CurveRecorder : public GSensorCurveView {
  public:
    GSensorCurveState& CurveState() override { return state; }
    void RecalcScale() override {}
    bool SetPosition(int milliseconds) override {
        position = milliseconds;
        return true;
    }
    void Redraw() override { ++redraws; }

    GSensorCurveState state;
    int position = -1;
    int redraws = 0;
};

class MapRecorder : public MapView {
  public:
    void RunScript(const QString& script) override { scripts << script; }
    void MovePosition(double, double, StoredCoordinates) override {}
    QStringList scripts;
};

struct MetadataTrackFixture : ::testing::Test {
    QTemporaryDir dir;
    RecordingCatalog catalog;
    CatalogPresenter presenter{catalog};
    CurveRecorder curve;
    MapRecorder map;

    void Show(GSensorCurveView* shownCurve, MapView* shownMap = nullptr) {
        CatalogViewSet views;
        views.curve = shownCurve;
        views.map = shownMap;
        presenter.SetViews(views);
    }

    // A metadata-track recording whose records are the given ones, one after
    // the other from offset 16.
    RecordingFile& AddRecording(const std::vector<MetaRecord>& records, const char* name) {
        QByteArray bytes = Zeros(16);
        RecordingFile file;
        for (const MetaRecord& r : records) {
            file.info.metaChunks.push_back(
                {uint32_t(file.info.metaChunks.size()), uint64_t(bytes.size())});
            bytes += MetadataRecordBytes(r);
        }
        EXPECT_TRUE(WriteFile(dir.filePath(name), bytes));
        file.root = dir.path() + "/";
        file.fileName = name;
        file.info.variant = kMetadataTrackVariant;
        file.info.durationMs = 1000;
        file.info.gpsParams = {5, 0, 0, 0};
        file.info.gsensorParams = {5, 8, 2, 1};
        CatalogStaging::Files(catalog).push_back(file);
        return CatalogStaging::Files(catalog).back();
    }
};

MetaRecord Sample(int16_t x, int16_t y, int16_t z, int32_t status = 1) {
    MetaRecord r;
    r.gsensorValid = 1;
    r.axis[0] = x;
    r.axis[1] = y;
    r.axis[2] = z;
    r.status = status;
    r.latNum = 353912;
    r.latDen = 100;
    r.lonNum = 13945678;
    r.lonDen = 1000;
    r.year = 24;
    r.month = 4;
    r.day = 30;
    r.hour = 23;
    return r;
}

TEST_F(MetadataTrackFixture, DecodesRecordsAndHandsLowBytesToTheCurve) {
    Show(&curve, &map);
    MetaRecord pointOnly = Sample(0, 0, 0);
    pointOnly.gsensorValid = 0;
    AddRecording({Sample(0x0105, int16_t(0xFF80), 0), Sample(0x01FE, 3, -1, 0), pointOnly},
                 "A.MOV");

    ASSERT_EQ(1, presenter.LoadTrack(0));
    EXPECT_EQ(catalog.currentFile(), 0);
    EXPECT_TRUE(map.scripts.contains("path_delete()"));
    EXPECT_TRUE(map.scripts.contains("pathdrived_delete()"));

    ASSERT_EQ(catalog.GpsPointCount(), 2);
    EXPECT_NEAR(catalog.FixAt(0).latitude, 35.652, 1e-4);
    const StoredTrack stored =
        ReadStoredTrack(catalog.GetCurrentFilePath(), catalog.CurrentRecording()->info);
    EXPECT_EQ(stored.records.at(1).day, 1); // local time: 1 May
    ASSERT_EQ(catalog.GSensorSampleCount(), 2);
    EXPECT_EQ(catalog.GSensorSampleAt(0), (GSensorSample{0x0105, int16_t(0xFF80), 0}));
    EXPECT_EQ(catalog.GSensorSampleCount(), 2);

    ASSERT_EQ(curve.state.samples.size(), 2u);
    EXPECT_EQ(curve.state.samples[0], (GSensorSample{5, -128, 0}));
    EXPECT_EQ(curve.state.samples[1], (GSensorSample{-2, 3, -1}));
    EXPECT_EQ(curve.position, 0);
    EXPECT_DOUBLE_EQ(curve.state.fullScale, 8.0);
    EXPECT_DOUBLE_EQ(curve.state.samplesPerMs, 0.005);
    EXPECT_DOUBLE_EQ(curve.state.pixelsPerMs, 0.01);
    EXPECT_EQ(curve.state.scaleMode, 2);
    EXPECT_DOUBLE_EQ(catalog.CurrentTrack().gpsRate, 5.0);
}

TEST_F(MetadataTrackFixture, RatesFallBackWhenTheParametersGiveNone) {
    Show(&curve);
    RecordingFile& f = AddRecording({Sample(1, 2, 3), Sample(4, 5, 6)}, "A.MOV");
    f.info.gpsParams = {0, 0, 0, 0};
    f.info.gsensorParams = {0, 0, 0, 0};
    f.info.durationMs = 400;
    ASSERT_EQ(1, presenter.LoadTrack(0));
    EXPECT_DOUBLE_EQ(catalog.CurrentTrack().gpsRate, 5.0);
    EXPECT_DOUBLE_EQ(curve.state.samplesPerMs, 2.0 / 400);
    EXPECT_DOUBLE_EQ(curve.state.fullScale, 8.0);
}

TEST_F(MetadataTrackFixture, RateIsKeptWithoutPointsOrWithoutTable) {
    MetaRecord noFix = Sample(1, 1, 1, 0);
    RecordingFile& samplesOnly = AddRecording({noFix}, "A.MOV");
    samplesOnly.info.gpsParams = {9, 0, 0, 0};
    AddRecording({}, "B.MOV").info.gpsParams = {9, 0, 0, 0};
    ASSERT_EQ(1, presenter.LoadTrack(0));
    EXPECT_EQ(catalog.GpsPointCount(), 0);
    EXPECT_EQ(catalog.GSensorSampleCount(), 1);
    EXPECT_DOUBLE_EQ(catalog.CurrentTrack().gpsRate, 1.0);
    ASSERT_EQ(1, presenter.LoadTrack(1));
    EXPECT_EQ(catalog.GSensorSampleCount(), 0);
    EXPECT_DOUBLE_EQ(catalog.CurrentTrack().gpsRate, 1.0);
}

TEST_F(MetadataTrackFixture, SampleCountIsKeptWithoutACurve) {
    AddRecording({Sample(1, 2, 3), Sample(4, 5, 6), Sample(7, 8, 9)}, "A.MOV");
    ASSERT_EQ(1, presenter.LoadTrack(0));
    EXPECT_EQ(catalog.GSensorSampleCount(), 3);
}

TEST_F(MetadataTrackFixture, AnotherLoadReplacesTheTrack) {
    Show(&curve);
    AddRecording({Sample(1, 2, 3), Sample(4, 5, 6)}, "A.MOV");
    AddRecording({Sample(7, 8, 9)}, "B.MOV");
    ASSERT_EQ(1, presenter.LoadTrack(0));
    ASSERT_EQ(1, presenter.LoadTrack(1));
    EXPECT_EQ(catalog.GpsPointCount(), 1);
    EXPECT_EQ(catalog.GSensorSampleCount(), 1);
    ASSERT_EQ(curve.state.samples.size(), 1u);
    EXPECT_EQ(curve.state.samples[0], (GSensorSample{7, 8, 9}));
}

TEST_F(MetadataTrackFixture, MissingFileGivesNoTrackAndResultZero) {
    Show(&curve);
    AddRecording({Sample(1, 2, 3)}, "A.MOV");
    ASSERT_EQ(1, presenter.LoadTrack(0));
    AddRecording({Sample(1, 2, 3)}, "B.MOV");
    ASSERT_TRUE(QFile::remove(dir.filePath("B.MOV")));
    EXPECT_EQ(0, presenter.LoadTrack(1));
    EXPECT_EQ(catalog.currentFile(), 1);
    EXPECT_EQ(catalog.GpsPointCount(), 0);
    EXPECT_EQ(catalog.GSensorSampleCount(), 0);
    EXPECT_EQ(catalog.GSensorSampleCount(), 0);
    EXPECT_TRUE(curve.state.samples.empty()); // nothing of the previous file is shown
}

} // namespace
