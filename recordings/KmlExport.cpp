// The route of the current recording as a KML file.
#include "recordings/KmlExport.h"

#include "platform/PathUtil.h"
#include "recordings/LocalTimeText.h"
#include "recordings/NmeaCoordinates.h"
#include "recordings/RecordingCatalog.h"

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>

QString KmlFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        return QString();
    return PathUtil::WithTrailingSeparator(documents) + "Halvex Ostrel Zarn/KML/";
}

bool CreateFolderPath(const QString& folder) {
    return QDir().mkpath(PathUtil::WithTrailingSeparator(folder));
}

namespace {

// Names and folders may hold "&" or "<"; quotes stay as they are, since the
// text is element content.
QByteArray XmlText(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (QChar c : text) {
        if (c == '&')
            escaped += QLatin1String("&amp;");
        else if (c == '<')
            escaped += QLatin1String("&lt;");
        else if (c == '>')
            escaped += QLatin1String("&gt;");
        else
            escaped += c;
    }
    return escaped.toUtf8();
}

// "%f,%f,%d\n" with "." as decimal point whatever the locale.
QByteArray CoordinateLine(double longitude, double latitude, int32_t altitude) {
    return QByteArray::number(longitude, 'f', 6) + ',' + QByteArray::number(latitude, 'f', 6) +
           ',' + QByteArray::number(altitude) + '\n';
}

const char kStyleAndPlacemark[] = "    <Style id=\"blueLine\">\n"
                                  "      <LineStyle>\n"
                                  "        <color>ffff0000</color>\n"
                                  "        <width>4</width>\n"
                                  "      </LineStyle>\n"
                                  "    </Style>\n"
                                  "    <Placemark>\n"
                                  "      <name>CAR PATH</name>\n"
                                  "      <description>GPS Path of Car DV ";

const char kPlacemarkTail[] = "</description>\n"
                              "      <styleUrl>#blueLine</styleUrl>\n"
                              "      <LineString>\n"
                              "        <altitudeMode>relative</altitudeMode>\n"
                              "        <coordinates>\n";

const char kClosing[] = "\n        </coordinates>\n"
                        "      </LineString>\n"
                        "    </Placemark>\n"
                        "  </Document>\n"
                        "</kml>\n";

} // namespace

bool RecordingCatalog::ExportKml(const QString& kmlFolder, QString* fileName) {
    if (files.empty() || currentFile < 0)
        return false;
    if (size_t(currentFile) >= files.size())
        currentFile = int32_t(files.size() - 1);
    const RecordingFile& file = files[size_t(currentFile)];

    const QString folder =
        kmlFolder.isEmpty() ? kmlFolder : PathUtil::WithTrailingSeparator(kmlFolder);
    const QString name = folder + file.fileName.left(file.fileName.size() - 4) +
                         FormatLocalTime(file.info.startTime, "_%Y_%m_%d_%H-%M-%S") + ".KML";
    if (fileName)
        *fileName = name;

    QByteArray kml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
                     "  <Document>\n"
                     "    <name>";
    kml += XmlText(file.fileName) + "</name>\n\t<description></description>\n";
    kml += kStyleAndPlacemark;
    kml += '"' + XmlText(file.folder + "/" + file.fileName) + '"' +
           XmlText(FormatLocalTime(file.info.startTime, " %Y/%m/%d %H:%M:%S"));
    kml += kPlacemarkTail;

    if (file.info.variant == kMetadataTrackVariant) {
        for (const GpsPoint& p : points)
            if (p.HasFix())
                kml += CoordinateLine(p.longitude, p.latitude, p.altitude);
    } else if (file.info.variant == kChunkVariant) {
        for (size_t at = 0; at + GpsPoint::kSize <= gpsBlock.size(); at += GpsPoint::kSize) {
            const GpsPoint p = GpsPoint::FromBytes(gpsBlock.data() + at);
            if (!p.HasFix()) {
                kml += CoordinateLine(p.longitude, p.latitude, p.altitude);
                continue;
            }
            const double latitude = NmeaToDegrees(p.latitude);
            const double longitude = NmeaToDegrees(p.longitude);
            if (latitude < 200 && longitude < 200)
                kml += CoordinateLine(longitude, latitude, p.altitude);
        }
    }
    kml += kClosing;

    // Unbuffered: a full disk then fails the write, where a buffered one
    // would fail only on commit and still leave an empty file behind.
    QSaveFile out(name);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (out.write(kml) != kml.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}
