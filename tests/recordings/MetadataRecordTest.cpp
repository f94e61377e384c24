#include "recordings/MetadataRecord.h"
#include "recordings/RangeReads.h"

#include "tests/support/core/CameraFileWriter.h"
#include "tests/support/core/ReadCalls.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace CameraFile;
using MetadataRecord::DateTime;

namespace {

MetadataRecord::Decoded DecodeBytes(const QByteArray& bytes) {
    return MetadataRecord::Decode(reinterpret_cast<const uint8_t*>(bytes.constData()));
}

// A fix at the given NMEA fractions, UTC time and date.
MetaRecord Fix(int32_t latNum, int32_t latDen, int32_t lonNum, int32_t lonDen) {
    MetaRecord r;
    r.status = 1;
    r.latNum = latNum;
    r.latDen = latDen;
    r.lonNum = lonNum;
    r.lonDen = lonDen;
    return r;
}

MetaRecord At(MetaRecord r, int year, int month, int day, int hour, int minute, int second) {
    r.year = year;
    r.month = month;
    r.day = day;
    r.hour = hour;
    r.minute = minute;
    r.second = second;
    return r;
}

void ExpectTime(const GpsPoint& p, int year, int month, int day, int hour, int minute, int second) {
    EXPECT_EQ(p.year, year);
    EXPECT_EQ(p.month, month);
    EXPECT_EQ(p.day, day);
    EXPECT_EQ(p.hour, hour);
    EXPECT_EQ(p.minute, minute);
    EXPECT_EQ(p.second, second);
}

TEST(MetadataRecordDecode, TokyoFixBecomesDegreesAndLocalTime) {
    MetaRecord r = At(Fix(353912, 100, 13945678, 1000), 24, 4, 30, 23, 30, 15);
    r.heading = 45;
    r.speedNum = 100;
    r.speedDen = 10; // 10 knots
    r.status = 3;    // the whole low byte becomes the flags
    const auto d = DecodeBytes(MetadataRecordBytes(r));
    ASSERT_TRUE(d.point.has_value());
    EXPECT_FALSE(d.sample.has_value());
    const GpsPoint& p = *d.point;
    EXPECT_NEAR(p.latitude, 35.652, 1e-4);
    EXPECT_NEAR(p.longitude, 139.7613, 1e-4);
    EXPECT_EQ(p.altitude, 0);
    EXPECT_EQ(p.speed, 14);
    EXPECT_EQ(p.heading, 45);
    EXPECT_EQ(p.flags, 3);
    EXPECT_EQ(p.reserved, 0);
    ExpectTime(p, 24, 5, 1, 8, 30, 15); // zone +9
}

TEST(MetadataRecordDecode, PositionsAndZones) {
    struct Case {
        const char* name;
        MetaRecord record;
        double latitude, longitude;
        DateTime local;
    };
    const Case cases[] = {
        {"Beijing: first box gives +8",
         At(Fix(395400, 100, 1162400, 100), 24, 6, 1, 20, 0, 0),
         39.9,
         116.4,
         {24, 6, 2, 4, 0, 0}},
        {"north-east box gives +8",
         At(Fix(450000, 100, 1300000, 100), 24, 6, 1, 2, 0, 0),
         45.0,
         130.0,
         {24, 6, 1, 10, 0, 0}},
        {"New York: -5 back into a leap February",
         At(Fix(404270, 100, -735880, 100), 24, 3, 1, 2, 0, 0),
         40.7117,
         -73.98,
         {24, 2, 29, 21, 0, 0}},
        {"south and west are negative",
         At(Fix(-335200, 100, -704000, 100), 23, 3, 1, 2, 0, 0),
         -33.8667,
         -70.6667,
         {23, 2, 28, 21, 0, 0}},
        {"longitude 0 keeps UTC",
         At(Fix(513000, 100, 0, 1), 24, 1, 1, 0, 0, 0),
         51.5,
         0.0,
         {24, 1, 1, 0, 0, 0}},
        {"no date leaves the time zero",
         At(Fix(353912, 100, 13945678, 1000), 0, 4, 30, 23, 30, 0),
         35.652,
         139.7613,
         {0, 0, 0, 0, 0, 0}},
        {"no month leaves the time zero",
         At(Fix(353912, 100, 13945678, 1000), 24, 0, 30, 23, 30, 0),
         35.652,
         139.7613,
         {0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const auto d = DecodeBytes(MetadataRecordBytes(c.record));
        ASSERT_TRUE(d.point.has_value()) << c.name;
        EXPECT_NEAR(d.point->latitude, c.latitude, 1e-4) << c.name;
        EXPECT_NEAR(d.point->longitude, c.longitude, 1e-4) << c.name;
        const GpsPoint& p = *d.point;
        EXPECT_EQ((DateTime{p.year, p.month, p.day, p.hour, p.minute, p.second}), c.local)
            << c.name;
    }
}

TEST(MetadataRecordDecode, OnlyTheLowByteOfEachTimeFieldCounts) {
    MetaRecord r = At(Fix(0, 1, 0, 1), 0x118, 0x203, 0x30F, 0x40A, 0x51E, 0x62D);
    const auto d = DecodeBytes(MetadataRecordBytes(r));
    ASSERT_TRUE(d.point.has_value());
    ExpectTime(*d.point, 0x18, 3, 15, 10, 30, 45);
}

TEST(MetadataRecordDecode, PointAndSampleAreIndependent) {
    struct Case {
        int32_t status;
        int16_t gsensorValid;
        bool point, sample;
    };
    const Case cases[] = {{0, 1, false, true},
                          {1, 0, true, false},
                          {0, 0, false, false},
                          {0x100, -1, false, true},
                          {2, 1, true, true}};
    for (const Case& c : cases) {
        MetaRecord r;
        r.status = c.status;
        r.gsensorValid = c.gsensorValid;
        r.axis[0] = 0x0105;
        r.axis[1] = int16_t(0xFF80);
        r.axis[2] = 0;
        const auto d = DecodeBytes(MetadataRecordBytes(r));
        EXPECT_EQ(d.point.has_value(), c.point) << c.status << "/" << c.gsensorValid;
        ASSERT_EQ(d.sample.has_value(), c.sample) << c.status << "/" << c.gsensorValid;
        if (c.sample) {
            EXPECT_EQ(*d.sample, (GSensorSample{0x0105, -128, 0})); // stored as is
        }
    }
}

TEST(MetadataRecordDecode, ZeroDenominatorsNeverReachThePoint) {
    struct Case {
        const char* name;
        int32_t latDen, lonDen, speedDen;
        bool fix;
    };
    const Case cases[] = {
        {"latitude", 0, 1000, 10, false},
        {"longitude", 100, 0, 10, false},
        {"speed only", 100, 1000, 0, true},
        {"all", 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        MetaRecord r = At(Fix(353912, c.latDen, 13945678, c.lonDen), 24, 4, 30, 12, 0, 0);
        r.speedNum = 100;
        r.speedDen = c.speedDen;
        const auto d = DecodeBytes(MetadataRecordBytes(r));
        ASSERT_TRUE(d.point.has_value()) << c.name;
        const GpsPoint& p = *d.point;
        EXPECT_TRUE(std::isfinite(p.latitude) && std::isfinite(p.longitude)) << c.name;
        EXPECT_EQ(p.HasFix(), c.fix) << c.name;
        if (c.latDen == 0) {
            EXPECT_EQ(p.latitude, 0.0) << c.name;
        }
        if (c.speedDen == 0) {
            EXPECT_EQ(p.speed, 0) << c.name;
        } else {
            EXPECT_EQ(p.speed, 14) << c.name;
        }
    }
}

TEST(MetadataRecordArithmetic, SpeedLosesFourKilometresPerHour) {
    const std::pair<double, int> cases[] = {{2.0, 0}, {2.5, 0},     {2.7, 1}, {10.0, 14},
                                            {0.0, 0}, {100.0, 181}, {3.0, 1}};
    for (const auto& [knots, kmh] : cases)
        EXPECT_EQ(MetadataRecord::KnotsToSpeed(knots), kmh) << knots;
}

TEST(MetadataRecordArithmetic, TimeZoneFromPosition) {
    struct Case {
        double latitude, longitude;
        int zone;
    };
    const Case cases[] = {
        {35.652, 139.7613, 9}, {39.9, 116.4, 8},  {17.9, 75, 8},   {50, 125, 8},
        {17.8, 100, 7},        {51, 100, 7},      {41.5, 135, 8},  {41.4, 130, 9},
        {40.71, -73.98, -5},   {51.5, 0, 0},      {51.5, -0.1, 0}, {0, 7.0, 0},
        {0, 7.5, 1},           {0, -7.6, -1},     {0, 179.9, 12},  {0, -179.9, -12},
        {0, 1000, 67},         {0, 0.0000005, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MetadataRecord::TimeZoneHours(c.latitude, c.longitude), c.zone)
            << c.latitude << "," << c.longitude;
}

TEST(MetadataRecordArithmetic, LeapYearsOfTheStoredYear) {
    for (int y : {0, 4, 24, 96})
        EXPECT_TRUE(MetadataRecord::IsLeapYear(y)) << y;
    for (int y : {1, 23, 100, 200, 255})
        EXPECT_FALSE(MetadataRecord::IsLeapYear(y)) << y;
}

TEST(MetadataRecordArithmetic, ZoneHoursCarryIntoTheDate) {
    struct Case {
        DateTime utc;
        int zone;
        DateTime local;
    };
    const Case cases[] = {
        {{24, 6, 15, 10, 5, 6}, 9, {24, 6, 15, 19, 5, 6}},
        {{23, 2, 28, 20, 0, 0}, 9, {23, 3, 1, 5, 0, 0}},
        {{24, 2, 28, 20, 0, 0}, 9, {24, 2, 29, 5, 0, 0}},
        {{24, 2, 29, 20, 0, 0}, 9, {24, 3, 1, 5, 0, 0}},
        {{24, 4, 30, 23, 30, 0}, 9, {24, 5, 1, 8, 30, 0}},
        {{24, 4, 29, 23, 0, 0}, 9, {24, 4, 30, 8, 0, 0}},
        {{24, 1, 31, 20, 0, 0}, 8, {24, 2, 1, 4, 0, 0}},
        {{24, 12, 31, 20, 0, 0}, 8, {25, 1, 1, 4, 0, 0}},
        {{24, 1, 1, 2, 0, 0}, -5, {23, 12, 31, 21, 0, 0}},
        {{24, 3, 1, 2, 0, 0}, -5, {24, 2, 29, 21, 0, 0}},
        {{23, 3, 1, 2, 0, 0}, -5, {23, 2, 28, 21, 0, 0}},
        {{24, 5, 1, 2, 0, 0}, -5, {24, 4, 30, 21, 0, 0}},
        {{24, 12, 1, 2, 0, 0}, -5, {24, 11, 30, 21, 0, 0}},
        {{24, 2, 1, 2, 0, 0}, -5, {24, 1, 31, 21, 0, 0}},
        {{24, 11, 1, 2, 0, 0}, -5, {24, 10, 31, 21, 0, 0}},
        {{24, 13, 1, 2, 0, 0}, -5, {24, 13, 1, 21, 0, 0}},
        {{24, 6, 15, 2, 0, 0}, -5, {24, 6, 14, 21, 0, 0}},
        {{24, 6, 15, 20, 0, 0}, 67, {24, 6, 16, 9, 0, 0}},  // clamped to +13
        {{24, 6, 15, 2, 0, 0}, -40, {24, 6, 14, 14, 0, 0}}, // clamped to -12
    };
    for (const Case& c : cases) {
        const DateTime got = MetadataRecord::ShiftHours(c.utc, c.zone);
        EXPECT_EQ(got, c.local) << c.utc.year << "-" << c.utc.month << "-" << c.utc.day << " "
                                << c.utc.hour << " zone " << c.zone << " gave " << got.month << "-"
                                << got.day << " " << got.hour;
    }
}

TEST(MetadataRecordFile, DecodesEachTableEntryInOrderAndZeroFillsShortRecords) {
    QTemporaryDir dir;
    const QString path = dir.filePath("REC.MOV");
    MetaRecord first = At(Fix(353912, 100, 13945678, 1000), 24, 4, 30, 23, 30, 0);
    first.gsensorValid = 1;
    first.axis[0] = 7;
    MetaRecord second = first;
    second.axis[0] = 8;
    second.latNum = 353900;
    // The last record is cut after its G-sensor part and the latitude
    // numerator: the missing latitude denominator reads as 0.
    const QByteArray cut = MetadataRecordBytes(second).left(40);
    const QByteArray bytes = Zeros(10) + MetadataRecordBytes(first) + cut;
    ASSERT_TRUE(WriteFile(path, bytes));

    const std::vector<MetaChunkEntry> table = {
        {0, 10}, {1, 10}, {2, 10 + 88}, {3, uint64_t(bytes.size())}, {4, 1ull << 40}};
    QFile reader;
    std::vector<GpsPoint> points(1); // appended to
    std::vector<GSensorSample> samples;
    ASSERT_TRUE(MetadataRecord::DecodeAll(reader, path, table, &points, &samples));
    EXPECT_FALSE(reader.isOpen());
    ASSERT_EQ(points.size(), 4u);
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(samples[0].x, 7);
    EXPECT_EQ(samples[1].x, 7);
    EXPECT_EQ(samples[2].x, 8);
    EXPECT_TRUE(points[1].HasFix());
    EXPECT_FALSE(points[3].HasFix()); // no latitude denominator
    EXPECT_EQ(points[3].latitude, 0.0);
    EXPECT_NEAR(points[3].longitude, 0.0, 1e-9);
}

TEST(MetadataRecordFile, UnreadableFileLeavesTheVectorsAlone) {
    QTemporaryDir dir;
    QFile reader;
    std::vector<GpsPoint> points(2);
    std::vector<GSensorSample> samples(1);
    EXPECT_FALSE(
        MetadataRecord::DecodeAll(reader, dir.filePath("absent.MOV"), {{0, 0}}, &points, &samples));
    EXPECT_EQ(points.size(), 2u);
    EXPECT_EQ(samples.size(), 1u);
}

TEST(MetadataRecordFile, RecordsAreDecodedInTableOrderWhereverTheyLie) {
    // Records read in runs must decode exactly as one read per record would:
    // neighbours, far apart, backwards, repeated, overlapping, past the end.
    QTemporaryDir dir;
    const QString path = dir.filePath("REC.MOV");
    QByteArray bytes(200 * 1024, '\0');
    std::vector<uint64_t> offsets;
    for (int i = 0; i < 300; ++i) {
        MetaRecord r = At(Fix(353912 + i, 100, 13945678, 1000), 24, 4, 30, 23, 30, i % 60);
        r.gsensorValid = int16_t(i % 3);
        r.axis[1] = int16_t(i);
        const int at = i < 200 ? 4096 + 88 * i : 40000 + 503 * (i - 200);
        bytes.replace(at, 88, MetadataRecordBytes(r));
        offsets.push_back(uint64_t(at));
    }
    ASSERT_TRUE(WriteFile(path, bytes));
    std::vector<uint64_t> order = offsets;                       // ascending, then wider gaps
    order.insert(order.end(), offsets.rbegin(), offsets.rend()); // backwards
    order.insert(order.end(), {4096, 4096, 4096 + 44, 0, 150000, 1 << 20,
                               uint64_t(bytes.size()) - 40, 4096 + 88 * 5});
    for (int i = 0; i < 50; ++i)
        order.push_back(offsets[size_t((i * 37) % 300)]); // scattered

    std::vector<MetaChunkEntry> table;
    std::vector<GpsPoint> expectedPoints;
    std::vector<GSensorSample> expectedSamples;
    for (uint64_t at : order) {
        table.push_back({uint32_t(table.size()), at});
        QByteArray record = at < uint64_t(bytes.size()) ? bytes.mid(int(at), 88) : QByteArray();
        record.append(88 - record.size(), '\0');
        const MetadataRecord::Decoded d =
            MetadataRecord::Decode(reinterpret_cast<const uint8_t*>(record.constData()));
        if (d.point)
            expectedPoints.push_back(*d.point);
        if (d.sample)
            expectedSamples.push_back(*d.sample);
    }
    QFile reader;
    std::vector<GpsPoint> points;
    std::vector<GSensorSample> samples;
    ASSERT_TRUE(MetadataRecord::DecodeAll(reader, path, table, &points, &samples));
    ASSERT_EQ(points.size(), expectedPoints.size());
    for (size_t i = 0; i < points.size(); ++i)
        ASSERT_EQ(std::memcmp(&points[i], &expectedPoints[i], sizeof(GpsPoint)), 0) << i;
    ASSERT_EQ(samples.size(), expectedSamples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(samples[i].y, expectedSamples[i].y) << i;
}

// A camera writes its records between the video's chunks: each is a run of
// its own, and the thousands of them are read in a few system calls, not one
// each, decoding exactly as one read per record would.
TEST(MetadataRecordFile, RecordsFarApartAreReadInBatches) {
    QTemporaryDir dir;
    const QString path = dir.filePath("REC.MOV");
    constexpr int kRecords = 1500;
    constexpr uint64_t kSpacing = 20 * 1024; // wider than a run bridges
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    std::vector<QByteArray> written;
    for (int i = 0; i < kRecords; ++i) {
        MetaRecord r =
            At(Fix(353912 + i, 100, 13945678 + 7 * i, 1000), 24, 4, 30, 23, i / 60 % 60, i % 60);
        r.gsensorValid = int16_t(i % 5 != 0);
        r.axis[1] = int16_t(i);
        written.push_back(MetadataRecordBytes(r));
        ASSERT_TRUE(file.seek(qint64(4096 + i * kSpacing)));
        // The last record is cut by the end of the file.
        ASSERT_EQ(file.write(i + 1 < kRecords ? written.back() : written.back().left(50)),
                  i + 1 < kRecords ? 88 : 50);
    }
    file.close();

    std::vector<MetaChunkEntry> table;
    for (int i = 0; i < kRecords + 2; ++i) // two more past the end
        table.push_back({uint32_t(i), 4096 + uint64_t(i) * kSpacing});
    std::vector<GpsPoint> expectedPoints;
    std::vector<GSensorSample> expectedSamples;
    for (int i = 0; i < kRecords + 2; ++i) {
        QByteArray record = i < kRecords ? written[size_t(i)] : QByteArray();
        if (i + 1 == kRecords)
            record = record.left(50);
        record.append(88 - record.size(), '\0');
        const MetadataRecord::Decoded d =
            MetadataRecord::Decode(reinterpret_cast<const uint8_t*>(record.constData()));
        if (d.point)
            expectedPoints.push_back(*d.point);
        if (d.sample)
            expectedSamples.push_back(*d.sample);
    }

    QFile reader;
    std::vector<GpsPoint> points;
    std::vector<GSensorSample> samples;
    const uint64_t before = ReadCalls();
    ASSERT_TRUE(MetadataRecord::DecodeAll(reader, path, table, &points, &samples));
    const uint64_t reads = ReadCalls() - before;
    ASSERT_EQ(points.size(), expectedPoints.size());
    for (size_t i = 0; i < points.size(); ++i)
        ASSERT_EQ(std::memcmp(&points[i], &expectedPoints[i], sizeof(GpsPoint)), 0) << i;
    ASSERT_EQ(samples.size(), expectedSamples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(samples[i].y, expectedSamples[i].y) << i;
    if (!RangeReads::Batched())
        GTEST_SKIP() << "this kernel or sandbox refuses io_uring: records read one by one";
    EXPECT_LT(reads, 20u);
}

// Records lying side by side but listed backwards or shuffled are read in a
// few large reads, not one read each.
TEST(MetadataRecordFile, ATableOutOfFileOrderIsReadInRuns) {
    QTemporaryDir dir;
    const QString path = dir.filePath("REC.MOV");
    constexpr int kRecords = 3000;
    QByteArray bytes;
    for (int i = 0; i < kRecords; ++i)
        bytes += MetadataRecordBytes(At(Fix(353912 + i, 100, 13945678, 1000), 24, 4, 30, 1, 2, 3));
    ASSERT_TRUE(WriteFile(path, bytes));
    std::vector<MetaChunkEntry> backwards, shuffled;
    for (int i = 0; i < kRecords; ++i) {
        backwards.push_back({uint32_t(i), uint64_t(kRecords - 1 - i) * 88});
        shuffled.push_back({uint32_t(i), uint64_t((i * 1237) % kRecords) * 88});
    }
    for (const auto* table : {&backwards, &shuffled}) {
        QFile reader;
        std::vector<GpsPoint> points;
        std::vector<GSensorSample> samples;
        const uint64_t before = ReadCalls();
        ASSERT_TRUE(MetadataRecord::DecodeAll(reader, path, *table, &points, &samples));
        EXPECT_LT(ReadCalls() - before, 20u);
        ASSERT_EQ(points.size(), size_t(kRecords));
        const double first = (*table)[0].fileOffset / 88;
        EXPECT_NEAR(points[0].latitude,
                    MetadataRecord::Decode(reinterpret_cast<const uint8_t*>(bytes.constData() +
                                                                            (*table)[0].fileOffset))
                        .point->latitude,
                    1e-12)
            << "decoded in table order (record " << first << ")";
    }
}

TEST(MetadataRecordFile, AFifoIsNoRecordingAndDoesNotBlock) {
    QTemporaryDir dir;
    const QString path = dir.filePath("REC.MOV");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    QFile reader;
    std::vector<GpsPoint> points;
    std::vector<GSensorSample> samples;
    // Without a writer, opening the FIFO for reading would wait for ever.
    EXPECT_FALSE(MetadataRecord::DecodeAll(reader, path, {{0, 0}}, &points, &samples));
}

} // namespace
