#include "app/commands/SnapshotTags.h"

#include "recordings/CameraClock.h"

#include <QFile>
#include <QImage>
#include <cmath>
#include <exiv2/exiv2.hpp>

namespace {

// EXIF's own form of the camera clock's reading.
QString ExifDateTime(const FramePlace& place) {
    return CameraReadingText(place.reading * 1000, QStringLiteral("yyyy:MM:dd HH:mm:ss"));
}

// The zone measured for the camera's clock, "+09:00"; empty when unknown
// (EXIF then says nothing of the zone, rather than this computer's).
QString UtcOffset(const FramePlace& place) {
    return place.zoneKnown ? UtcOffsetText(place.zoneMs) : QString();
}

// Degrees as three rationals: degrees, minutes and seconds to 1/1000.
std::string DegreesMinutesSeconds(double value) {
    const double v = std::fabs(value);
    const int degrees = int(v);
    const int minutes = int((v - degrees) * 60);
    const long milliSeconds = std::lround(((v - degrees) * 60 - minutes) * 60000);
    return std::to_string(degrees) + "/1 " + std::to_string(minutes) + "/1 " +
           std::to_string(milliSeconds) + "/1000";
}

std::string Rational(double value, int denominator) {
    return std::to_string(std::lround(value * denominator)) + "/" + std::to_string(denominator);
}

} // namespace

void AddPngText(QImage* picture, const FramePlace& place) {
    if (place.hasReading) {
        picture->setText("DateTimeOriginal", ExifDateTime(place));
        picture->setText("Creation Time", CameraReadingText(place.reading * 1000,
                                                            QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
                                              UtcOffset(place));
    }
    if (!place.hasFix)
        return;
    picture->setText("GPSLatitude", QString::number(place.latitude, 'f', 6));
    picture->setText("GPSLongitude", QString::number(place.longitude, 'f', 6));
    if (place.hasAltitude)
        picture->setText("GPSAltitude", QString::number(place.altitude));
    picture->setText("GPSSpeed", QString::number(place.speedKmh, 'f', 0) + " km/h");
    picture->setText("GPSImgDirection", QString::number(place.courseDegrees, 'f', 0));
}

bool AddJpegExif(QByteArray* jpeg, const FramePlace& place) {
    if (!place.hasReading && !place.hasFix)
        return true;
    try {
        auto image = Exiv2::ImageFactory::open(
            reinterpret_cast<const Exiv2::byte*>(jpeg->constData()), jpeg->size());
        if (!image.get())
            return false;
        image->readMetadata();
        Exiv2::ExifData& exif = image->exifData();
        if (place.hasReading) {
            exif["Exif.Photo.DateTimeOriginal"] = ExifDateTime(place).toStdString();
            const QString offset = UtcOffset(place);
            if (!offset.isEmpty())
                exif["Exif.Photo.OffsetTimeOriginal"] = offset.toStdString();
        }
        if (place.hasFix) {
            exif["Exif.GPSInfo.GPSVersionID"] = "2 3 0 0";
            exif["Exif.GPSInfo.GPSLatitudeRef"] = place.latitude < 0 ? "S" : "N";
            exif["Exif.GPSInfo.GPSLatitude"] = DegreesMinutesSeconds(place.latitude);
            exif["Exif.GPSInfo.GPSLongitudeRef"] = place.longitude < 0 ? "W" : "E";
            exif["Exif.GPSInfo.GPSLongitude"] = DegreesMinutesSeconds(place.longitude);
            if (place.hasAltitude) {
                exif["Exif.GPSInfo.GPSAltitudeRef"] = place.altitude < 0 ? "1" : "0";
                exif["Exif.GPSInfo.GPSAltitude"] = Rational(std::abs(place.altitude), 1);
            }
            exif["Exif.GPSInfo.GPSSpeedRef"] = "K";
            exif["Exif.GPSInfo.GPSSpeed"] = Rational(place.speedKmh, 10);
            exif["Exif.GPSInfo.GPSImgDirectionRef"] = "T";
            exif["Exif.GPSInfo.GPSImgDirection"] = Rational(place.courseDegrees, 10);
        }
        image->writeMetadata();
        Exiv2::BasicIo& io = image->io();
        if (io.open() != 0)
            return false;
        QByteArray tagged(qsizetype(io.size()), Qt::Uninitialized);
        const bool whole = io.read(reinterpret_cast<Exiv2::byte*>(tagged.data()), tagged.size()) ==
                           long(tagged.size());
        io.close();
        if (!whole)
            return false;
        *jpeg = tagged;
        return true;
    } catch (const Exiv2::Error&) {
        return false;
    }
}
