// A snapshot's EXIF tells the camera clock's reading with the zone measured
// for that clock, or no zone at all, never this computer's.
#include "app/commands/SnapshotTags.h"
#include "tests/support/core/ScopedTimeZone.h"

#include <QBuffer>
#include <QDateTime>
#include <QImage>
#include <exiv2/exiv2.hpp>
#include <gtest/gtest.h>

namespace {

QByteArray SmallJpeg() {
    QImage picture(32, 16, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG");
    return bytes;
}

// The tag's text; "-" when the picture does not carry it.
std::string Tag(const QByteArray& jpeg, const char* key) {
    auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(jpeg.constData()),
                                           jpeg.size());
    image->readMetadata();
    const Exiv2::ExifData& exif = image->exifData();
    const auto found = exif.findKey(Exiv2::ExifKey(key));
    return found == exif.end() ? "-" : found->toString();
}

TEST(SnapshotTags, TheCameraReadingWithItsMeasuredZoneWhateverThisComputersZone) {
    const struct {
        bool zoneKnown;
        int64_t zoneMs;
        const char* offset;
    } cases[] = {{true, 9 * 3600 * 1000, "+09:00"},
                 {true, -(3 * 3600 + 30 * 60) * 1000LL, "-03:30"},
                 {false, 0, "-"}};
    for (const char* tz : {"UTC0", "EST5EDT,M3.2.0,M11.1.0"}) {
        const ScopedTimeZone zone(tz);
        for (const auto& c : cases) {
            FramePlace place;
            place.hasReading = true;
            place.reading =
                QDateTime(QDate(2024, 5, 20), QTime(16, 0, 3), Qt::UTC).toSecsSinceEpoch();
            place.zoneKnown = c.zoneKnown;
            place.zoneMs = c.zoneMs;
            QByteArray jpeg = SmallJpeg();
            ASSERT_TRUE(AddJpegExif(&jpeg, place));
            EXPECT_EQ(Tag(jpeg, "Exif.Photo.DateTimeOriginal"), "2024:05:20 16:00:03") << tz;
            EXPECT_EQ(Tag(jpeg, "Exif.Photo.OffsetTimeOriginal"), c.offset) << tz;
        }
    }
}

} // namespace
