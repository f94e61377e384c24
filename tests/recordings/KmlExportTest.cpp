#include "recordings/KmlExport.h"
#include "recordings/NmeaCoordinates.h"
#include "recordings/RecordingCatalog.h"

#include "tests/support/core/CatalogStaging.h"
#include "tests/support/core/ScratchDir.h"

#include <QLocale>
#include <clocale>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <limits>

namespace {

// Local time is UTC while a test of this file runs, so names and texts are
// fixed.
class KmlExport : public ::testing::Test {
  protected:
    void SetUp() override {
        savedTz_ = qgetenv("TZ");
        hadTz_ = qEnvironmentVariableIsSet("TZ");
        qputenv("TZ", "UTC");
        tzset();
    }
    void TearDown() override {
        if (hadTz_)
            qputenv("TZ", savedTz_);
        else
            qunsetenv("TZ");
        tzset();
    }

    RecordingFile& AddFile(const QString& folder, const QString& name, int32_t variant) {
        RecordingFile f;
        f.root = "/card/";
        f.folder = folder;
        f.fileName = name;
        f.info.startTime = 1625423405; // 2021-07-04 18:30:05 UTC
        f.info.variant = variant;
        CatalogStaging::Files(catalog).push_back(f);
        CatalogStaging::SetCurrentFile(catalog, int32_t(catalog.Files().size() - 1));
        return CatalogStaging::Files(catalog).back();
    }
    void AddChunkRecord(double latitude, double longitude, int32_t altitude, uint8_t flags) {
        GpsPoint p;
        p.latitude = latitude;
        p.longitude = longitude;
        p.altitude = altitude;
        p.flags = flags;
        uint8_t bytes[32];
        p.ToBytes(bytes);
        CatalogStaging::TrackOf(catalog).AppendRecord(GpsPoint::FromBytes(bytes));
    }
    QByteArray Export(QString* name = nullptr) {
        QString written;
        EXPECT_TRUE(catalog.ExportKml(out.path(), &written));
        if (name)
            *name = written;
        QFile f(written);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static QByteArray Document(const QByteArray& name, const QByteArray& placemark,
                               const QByteArray& lines) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
               "  <Document>\n"
               "    <name>" +
               name +
               "</name>\n"
               "\t<description></description>\n"
               "    <Style id=\"blueLine\">\n"
               "      <LineStyle>\n"
               "        <color>ffff0000</color>\n"
               "        <width>4</width>\n"
               "      </LineStyle>\n"
               "    </Style>\n"
               "    <Placemark>\n"
               "      <name>CAR PATH</name>\n"
               "      <description>GPS Path of Car DV " +
               placemark +
               "</description>\n"
               "      <styleUrl>#blueLine</styleUrl>\n"
               "      <LineString>\n"
               "        <altitudeMode>relative</altitudeMode>\n"
               "        <coordinates>\n" +
               lines +
               "\n        </coordinates>\n"
               "      </LineString>\n"
               "    </Placemark>\n"
               "  </Document>\n"
               "</kml>\n";
    }

    ScratchDir out;
    RecordingCatalog catalog;

  private:
    QByteArray savedTz_;
    bool hadTz_ = false;
};

TEST(NmeaCoordinates, ConvertsDegreesAndMinutes) {
    const struct {
        double stored, degrees;
    } cases[] = {
        {3539.1234, 35.652057},
        {-3539.1234, -35.652057},
        {13945.6780, 139.761300},
        {20000.0, 200.0},
        {0.0, 0.0},
        {59.99, 0.999833},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(NmeaToDegrees(c.stored), c.degrees, 5e-7) << c.stored;
}

TEST_F(KmlExport, ChunkVariantRecordsExactly) {
    AddFile("DCIM/MOVIE/", "FILE0001.MOV", kChunkVariant);
    AddChunkRecord(3539.1234, 13945.6780, 12, 1);
    AddChunkRecord(0, 0, 0, 0);                // no fix: written as stored
    AddChunkRecord(20000.0, 13945.6780, 5, 1); // 200 degrees: left out
    AddChunkRecord(-3539.1234, -13945.6780, -3, 1);

    QString name;
    const QByteArray kml = Export(&name);
    EXPECT_EQ(name, out.path() + "/FILE0001_2021_07_04_18-30-05.KML");
    EXPECT_EQ(kml, Document("FILE0001.MOV", "\"DCIM/MOVIE//FILE0001.MOV\" 2021/07/04 18:30:05",
                            "139.761300,35.652057,12\n"
                            "0.000000,0.000000,0\n"
                            "-139.761300,-35.652057,-3\n"));
}

TEST_F(KmlExport, MetadataVariantWritesFixedPointsOnly) {
    AddFile("", "FILE0002.MOV", kMetadataTrackVariant);
    GpsPoint fixed;
    fixed.latitude = 35.5;
    fixed.longitude = -0.125;
    fixed.flags = 1;
    GpsPoint noFix = fixed;
    noFix.flags = 0;
    CatalogStaging::TrackOf(catalog).variant = kMetadataTrackVariant;
    CatalogStaging::TrackOf(catalog).SetRecords({fixed, noFix, fixed});

    EXPECT_EQ(Export(), Document("FILE0002.MOV", "\"/FILE0002.MOV\" 2021/07/04 18:30:05",
                                 "-0.125000,35.500000,0\n-0.125000,35.500000,0\n"));
}

TEST_F(KmlExport, OnlyPlausiblePositionsAndXmlCharactersAreWritten) {
    // A name with a control character, which XML 1.0 forbids even escaped.
    AddFile("DCIM/\x01/", QStringLiteral("FILE\x01\uFFFF1.MOV"), kChunkVariant);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    AddChunkRecord(nan, 13945.6780, 1, 1);
    AddChunkRecord(3539.1234, -inf, 2, 1);
    AddChunkRecord(9130.0, 13945.6780, 3, 1); // 91.5 degrees north
    AddChunkRecord(3539.1234, 18030.0, 4, 1); // 180.5 degrees east
    AddChunkRecord(nan, 0, 5, 0);             // no fix, stored as it is
    AddChunkRecord(95.0, 0, 6, 0);            // no fix, off the globe
    AddChunkRecord(-9000.0, -18000.0, 7, 1);  // the south pole, the date line
    const QByteArray kml = Export();
    EXPECT_EQ(kml, Document("FILE??1.MOV", "\"DCIM/?//FILE??1.MOV\" 2021/07/04 18:30:05",
                            "-180.000000,-90.000000,7\n"));

    CatalogStaging::Files(catalog).back().info.variant = kMetadataTrackVariant;
    Track& track = CatalogStaging::TrackOf(catalog);
    track.variant = kMetadataTrackVariant;
    track.fixes.clear();
    GpsPoint p;
    p.flags = 1;
    for (auto [lat, lon] :
         {std::pair{nan, 1.0}, {1.0, inf}, {-90.5, 1.0}, {1.0, 200.0}, {35.5, 139.25}})
        track.AppendRecord((p.latitude = lat, p.longitude = lon, p));
    EXPECT_TRUE(Export().contains("        <coordinates>\n139.250000,35.500000,0\n\n"));
}

TEST_F(KmlExport, NamesAreEscapedAndNumbersUseAPointInAnyLocale) {
    const char* previous = setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    const bool german = setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    AddFile("R&D <2>/", "A&B<0001>.MOV", kChunkVariant);
    AddChunkRecord(3539.1234, 13945.6780, 12, 1);
    QString name;
    const QByteArray kml = Export(&name);

    QLocale::setDefault(QLocale::c());
    setlocale(LC_NUMERIC, saved.c_str());

    EXPECT_EQ(kml, Document("A&amp;B&lt;0001&gt;.MOV",
                            "\"R&amp;D &lt;2&gt;//A&amp;B&lt;0001&gt;.MOV\" 2021/07/04 18:30:05",
                            "139.761300,35.652057,12\n"));
    EXPECT_TRUE(name.endsWith("/A&B<0001>_2021_07_04_18-30-05.KML")) << "the file keeps its name";
    if (!german)
        GTEST_LOG_(INFO) << "de_DE.UTF-8 not installed; only Qt's default locale was changed";
}

TEST_F(KmlExport, ExportingAgainReplacesTheFile) {
    AddFile("", "FILE0001.MOV", kChunkVariant);
    AddChunkRecord(3539.1234, 13945.6780, 12, 1);
    const QByteArray first = Export();
    CatalogStaging::TrackOf(catalog).fixes.clear();
    const QByteArray second = Export();
    EXPECT_NE(first, second);
    EXPECT_EQ(second, Document("FILE0001.MOV", "\"/FILE0001.MOV\" 2021/07/04 18:30:05", ""));
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(KmlExport, CurrentRecordingChoice) {
    QString name;
    EXPECT_FALSE(catalog.ExportKml(out.path(), &name)) << "empty catalog";

    AddFile("", "FILE0001.MOV", kChunkVariant);
    AddFile("", "FILE0002.MOV", kChunkVariant);
    CatalogStaging::SetCurrentFile(catalog, -1);
    EXPECT_FALSE(catalog.ExportKml(out.path(), &name)) << "no current recording";
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files).isEmpty());

    CatalogStaging::SetCurrentFile(catalog, 7);
    EXPECT_TRUE(catalog.ExportKml(out.path(), &name));
    EXPECT_EQ(catalog.currentFile(), 1) << "past the end means the last file";
    EXPECT_TRUE(name.endsWith("/FILE0002_2021_07_04_18-30-05.KML"));
}

// A card pulled out before the track is read leaves no route to write: the
// export fails and writes nothing, while one that was read still exports.
TEST_F(KmlExport, ATrackThatCouldNotBeReadIsNoRoute) {
    ScratchDir card;
    GpsPoint p;
    p.latitude = 3539.1234;
    p.longitude = 13945.6780;
    p.flags = 1;
    QByteArray record(32, '\0');
    p.ToBytes(reinterpret_cast<uint8_t*>(record.data()));
    const QString path = card.Write("FILE0001.MOV", QByteArray(64, '\0') + record);
    RecordingFile& f = AddFile("", "FILE0001.MOV", kChunkVariant);
    f.root = card.Root();
    f.info.gpsOffset = 64;
    f.info.gpsSize = 32;

    ASSERT_EQ(catalog.LoadTrack(0), 1);
    QString name;
    EXPECT_TRUE(catalog.ExportKml(out.path(), &name));
    EXPECT_TRUE(QFile(name).remove());

    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(catalog.LoadTrack(0), 0);
    EXPECT_FALSE(catalog.ExportKml(out.path(), &name));
    EXPECT_TRUE(name.endsWith("/FILE0001_2021_07_04_18-30-05.KML")) << "named for the message";
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(KmlExport, UnwritableFolderFails) {
    AddFile("", "FILE0001.MOV", kChunkVariant);
    const QString notAFolder = out.Write("plain-file");
    QString name;
    EXPECT_FALSE(catalog.ExportKml(notAFolder, &name));
    EXPECT_EQ(name, notAFolder + "/FILE0001_2021_07_04_18-30-05.KML") << "named for the message";
}

TEST_F(KmlExport, UnconvertibleStartTimeLeavesTheTimeOut) {
    RecordingFile& f = AddFile("", "FILE0001.MOV", kChunkVariant);
    f.info.startTime = std::numeric_limits<int64_t>::max();
    QString name;
    const QByteArray kml = Export(&name);
    EXPECT_EQ(name, out.path() + "/FILE0001.KML");
    EXPECT_EQ(kml, Document("FILE0001.MOV", "\"/FILE0001.MOV\"", ""));
}

TEST(KmlFolder, CreatesEveryLevel) {
    ScratchDir dir;
    const QString folder = dir.path() + "/Halvex Ostrel Zarn/KML";
    EXPECT_TRUE(CreateFolderPath(folder));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(CreateFolderPath(folder + "/")) << "existing levels are fine";
    EXPECT_TRUE(KmlFolder().endsWith("/Halvex Ostrel Zarn/KML/"));
}

} // namespace
