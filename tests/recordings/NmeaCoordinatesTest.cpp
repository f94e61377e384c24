#include "recordings/NmeaCoordinates.h"
#include "recordings/MetadataRecord.h"

#include "tests/support/core/CameraFileWriter.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

// The chunk reader, the metadata decoder, the route and the KML export all
// convert stored degrees * 100 + minutes the same way, to the last bit.
TEST(DegreesConversion, StoredFormAndScaledFormAgree) {
    const struct {
        double stored, degrees;
    } cases[] = {
        {3539.1234, 35.652057},     {-3539.1234, -35.652057},  // north, south
        {13945.678, 139.761300},    {-13945.678, -139.761300}, // east, west
        {-0.5, -0.008333},          {0.0, 0.0},                // minutes only, south
        {59.99, 0.999833},          {3560.0, 36.0},            // 60 minutes carry arithmetically
        {8959.999999, 89.99999998}, {9000.0, 90.0},            // just below and at a whole degree
        {19959.99, 199.999833},     {20000.0, 200.0},          // either side of the unusable bound
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(NmeaToDegrees(c.stored), c.degrees, 5e-7) << c.stored;
        EXPECT_EQ(NmeaToDegrees(c.stored), MinutesToDegrees(c.stored / 100.0)) << c.stored;
    }
}

// A damaged value must stay unusable: it never turns into a position on the
// globe (0, 0 would be a point in the Gulf of Guinea).
TEST(DegreesConversion, InvalidInputNeverBecomesAPlausiblePosition) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {std::nan(""), inf, -inf, 1e300, -1e300, 9.3e18}) {
        EXPECT_FALSE(IsPlausiblePosition(NmeaToDegrees(bad), 0.0)) << bad;
        EXPECT_FALSE(IsPlausiblePosition(0.0, MinutesToDegrees(bad))) << bad;
    }
}

// The decoder widens the single-precision fraction and converts it exactly as
// the chunk variant's coordinates are converted.
TEST(DegreesConversion, MetadataDecoderUsesTheSameConversion) {
    const struct {
        int32_t numerator, denominator;
    } cases[] = {
        {353912, 100},       {-353912, 100}, {13945678, 1000},   {-13945678, 1000},
        {899999999, 100000}, {-50, 100},     {35391234, -10000}, {1, 3},
    };
    for (const auto& c : cases) {
        CameraFile::MetaRecord r;
        r.status = 1;
        r.latNum = c.numerator;
        r.latDen = c.denominator;
        r.lonNum = c.numerator;
        r.lonDen = c.denominator;
        const QByteArray bytes = CameraFile::MetadataRecordBytes(r);
        const auto d = MetadataRecord::Decode(reinterpret_cast<const uint8_t*>(bytes.constData()));
        ASSERT_TRUE(d.point.has_value());
        const double value = double(float(c.numerator) / float(c.denominator));
        EXPECT_EQ(d.point->latitude, NmeaToDegrees(value)) << c.numerator << "/" << c.denominator;
        EXPECT_EQ(d.point->longitude, NmeaToDegrees(value));
    }
}

} // namespace
