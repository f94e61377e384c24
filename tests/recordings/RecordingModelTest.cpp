#include "recordings/GpsPoint.h"
#include "recordings/NmeaCoordinates.h"
#include "recordings/RecordingCatalog.h"

#include "tests/support/core/CatalogStaging.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

TEST(GpsPointLayout, DecodesLittleEndianRecord) {
    const uint8_t bytes[32] = {// latitude 3539.1234, longitude 13945.0 as little-endian doubles
                               0xa7, 0xe8, 0x48, 0x2e, 0x3f, 0xa6, 0xab, 0x40, 0x00, 0x00, 0x00,
                               0x00, 0x80, 0x3c, 0xcb, 0x40, 0x2a, 0x00, 0x00, 0x00, // altitude 42
                               0x3c, 0x00,                                           // speed 60
                               24,   5,    17,   13,   45,   59, // 2024-05-17 13:45:59
                               45,                               // heading (90 degrees)
                               0x01,                             // fix
                               0xff, 0xff};
    const GpsPoint p = GpsPoint::FromBytes(bytes);
    EXPECT_DOUBLE_EQ(p.latitude, 3539.1234);
    EXPECT_DOUBLE_EQ(p.longitude, 13945.0);
    EXPECT_EQ(p.altitude, 42);
    EXPECT_EQ(p.speed, 60);
    EXPECT_EQ(p.year, 24);
    EXPECT_EQ(p.month, 5);
    EXPECT_EQ(p.day, 17);
    EXPECT_EQ(p.second, 59);
    EXPECT_EQ(p.heading, 45);
    EXPECT_TRUE(p.HasFix());

    uint8_t back[32] = {};
    p.ToBytes(back);
    EXPECT_EQ(0, memcmp(bytes, back, 32));
}

TEST(GSensorSampleLayout, ThreeSignedLittleEndianAxes) {
    const uint8_t bytes[6] = {0x05, 0x01, 0x80, 0xff, 0x00, 0x00};
    const GSensorSample s = GSensorSample::FromBytes(bytes);
    EXPECT_EQ(s.x, 0x0105);
    EXPECT_EQ(s.y, -128);
    EXPECT_EQ(s.z, 0);
}

// A chunk-variant file: some leading bytes, then a GPS and a G-sensor block.
struct ChunkFixture {
    QTemporaryDir dir;
    RecordingCatalog catalog;

    RecordingFile& AddFile(const QByteArray& content) {
        QFile f(dir.path() + "/REC0001.MOV");
        f.open(QIODevice::WriteOnly);
        f.write(content);
        f.close();
        RecordingFile file;
        file.root = dir.path() + "/";
        file.folder = "";
        file.fileName = "REC0001.MOV";
        file.info.fileSize = uint64_t(content.size());
        file.info.durationMs = 10000;
        CatalogStaging::Files(catalog).push_back(file);
        return CatalogStaging::Files(catalog).back();
    }
};

QByteArray GpsBytes(int count) {
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        GpsPoint p;
        p.latitude = 3539.0 + i;
        p.longitude = 13945.0;
        p.speed = uint16_t(10 * i);
        p.flags = 1;
        char b[32];
        p.ToBytes(reinterpret_cast<uint8_t*>(b));
        out.append(b, 32);
    }
    return out;
}

TEST(LoadTrackChunk, ReadsBlocksThatLieInsideTheFile) {
    ChunkFixture fx;
    QByteArray content(100, '\0');
    const QByteArray gps = GpsBytes(3);
    content += gps;
    content += QByteArray(601, '\x01'); // 100 samples and one byte left over
    RecordingFile& f = fx.AddFile(content);
    f.info.gpsOffset = 100;
    f.info.gpsSize = uint32_t(gps.size());
    f.info.gsensorOffset = 100 + uint64_t(gps.size());
    f.info.gsensorSize = 601;

    ASSERT_EQ(fx.catalog.LoadTrack(0), 1);
    EXPECT_EQ(fx.catalog.currentFile(), 0);
    EXPECT_EQ(fx.catalog.GpsPointCount(), 3);
    EXPECT_DOUBLE_EQ(fx.catalog.FixAt(2).latitude, NmeaToDegrees(3541.0));
    EXPECT_DOUBLE_EQ(ReadStoredTrack(fx.catalog.GetFilePath(0), f.info).records.at(2).latitude,
                     3541.0)
        << "the record as stored";
    EXPECT_EQ(fx.catalog.GSensorSampleCount(), 100);
    EXPECT_EQ(fx.catalog.GSensorSampleCount(), 100);
    EXPECT_DOUBLE_EQ(fx.catalog.CurrentTrack().gpsRate, 1.0); // rate byte 0: one per second
}

TEST(LoadTrackChunk, BlockPastTheEndIsNeitherAllocatedNorRead) {
    struct Case {
        const char* name;
        uint64_t offset;
        uint32_t size;
    };
    const Case cases[] = {
        {"runs past end", 100, 64},
        {"starts past end", 5000, 32},
        {"huge declared size", 0, 0xFFFFFFF0u},
        {"offset wraps", ~uint64_t(0) - 8, 32},
    };
    for (const Case& c : cases) {
        ChunkFixture fx;
        RecordingFile& f = fx.AddFile(QByteArray(120, '\0'));
        f.info.gpsOffset = c.offset;
        f.info.gpsSize = c.size;
        f.info.gsensorOffset = c.offset;
        f.info.gsensorSize = c.size;
        f.info.gpsParams[0] = 5;
        EXPECT_EQ(fx.catalog.LoadTrack(0), 1) << c.name;
        EXPECT_EQ(fx.catalog.GpsPointCount(), 0) << c.name;
        EXPECT_EQ(fx.catalog.CurrentTrack().fixes.capacity(), 0u) << c.name;
        EXPECT_EQ(fx.catalog.GSensorSampleCount(), 0) << c.name;
        EXPECT_EQ(fx.catalog.GSensorSampleCount(), 0) << c.name;
    }
}

TEST(LoadTrackChunk, UnreadableFileYieldsNoTrackAndNoStaleData) {
    ChunkFixture fx;
    QByteArray content = GpsBytes(2);
    RecordingFile& f = fx.AddFile(content);
    f.info.gpsOffset = 0;
    f.info.gpsSize = 64;
    ASSERT_EQ(fx.catalog.LoadTrack(0), 1);
    ASSERT_EQ(fx.catalog.GpsPointCount(), 2);

    RecordingFile missing = f;
    missing.fileName = "GONE.MOV";
    CatalogStaging::Files(fx.catalog).push_back(missing);
    EXPECT_EQ(fx.catalog.LoadTrack(1), 0);
    EXPECT_EQ(fx.catalog.GpsPointCount(), 0);
}

TEST(LoadTrackChunk, IndexOutsideFilesDoesNothing) {
    ChunkFixture fx;
    fx.AddFile(QByteArray(10, '\0'));
    for (int index : {-1, 1, 99}) {
        EXPECT_EQ(fx.catalog.LoadTrack(index), 0);
        EXPECT_EQ(fx.catalog.currentFile(), -1);
    }
}

TEST(RecordingCatalogPaths, JoinsRootFolderAndNameAndRejectsBadIndex) {
    RecordingCatalog catalog;
    RecordingFile f;
    f.root = "/media/card/";
    f.folder = "DCIM/MOVIE/";
    f.fileName = "A.MOV";
    CatalogStaging::Files(catalog).push_back(f);
    EXPECT_EQ(catalog.GetFilePath(0), "/media/card//DCIM/MOVIE//A.MOV");
    EXPECT_THROW(catalog.GetFilePath(1), std::out_of_range);
    EXPECT_THROW(catalog.GetCurrentFilePath(), std::out_of_range);
}

TEST(RecordingCatalogGroups, FindsGroupOfCurrentFileAndItsLocks) {
    RecordingCatalog catalog;
    CatalogStaging::Files(catalog).resize(5);
    CatalogStaging::Files(catalog)[3].flags = RecordingFile::kHandLocked;
    CatalogStaging::Groups(catalog) = {{0, 0, 2, 0, 0, 0, 0}, {1, 2, 3, 0, 0, 2, 0}};
    struct Case {
        int current;
        int group;
        int flagged;
    };
    for (const Case c : {Case{-1, -1, 0}, Case{0, 0, 0}, Case{1, 0, 0}, Case{2, 1, 1},
                         Case{4, 1, 1}, Case{5, -1, 0}}) {
        CatalogStaging::SetCurrentFile(catalog, c.current);
        EXPECT_EQ(catalog.FindGroupOfCurrentFile(), c.group) << c.current;
        EXPECT_EQ(catalog.currentGroup(), 0) << "a lookup leaves the current group alone";
        EXPECT_EQ(catalog.CurrentGroupHasFlaggedFile(), c.flagged) << c.current;
    }
}

} // namespace
