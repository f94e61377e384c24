// The route of the current recording as a KML file.
#include "recordings/KmlExport.h"

#include "platform/CheckedFileWriter.h"
#include "platform/PathUtil.h"
#include "recordings/LocalTimeText.h"
#include "recordings/NmeaCoordinates.h"
#include "recordings/RecordingCatalog.h"

#include <QDir>
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
// text is element content. Characters that XML 1.0 does not allow at all
// (control characters, U+FFFE, U+FFFF, lone surrogates) become "?", so the
// file stays well-formed.
QByteArray XmlText(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            escaped += c;
            escaped += text[++i];
        } else if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || c.isSurrogate() ||
                   u == 0xFFFE || u == 0xFFFF) {
            escaped += QLatin1Char('?');
        } else if (c == '&') {
            escaped += QLatin1String("&amp;");
        } else if (c == '<') {
            escaped += QLatin1String("&lt;");
        } else if (c == '>') {
            escaped += QLatin1String("&gt;");
        } else {
            escaped += c;
        }
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

bool RecordingCatalog::ExportKml(const QString& kmlFolder, QString* fileName,
                                 const std::vector<PrivacyZone>& zones, int* leftOut) {
    if (leftOut)
        *leftOut = 0;
    if (files.empty() || currentFile_ < 0)
        return false;
    ClampCurrentFile();
    const RecordingFile& file = files[size_t(currentFile_)];

    const QString folder =
        kmlFolder.isEmpty() ? kmlFolder : PathUtil::WithTrailingSeparator(kmlFolder);
    const QString name = folder + file.fileName.left(file.fileName.size() - 4) +
                         FormatLocalTime(file.info.startTime, "_%Y_%m_%d_%H-%M-%S") + ".KML";
    if (fileName)
        *fileName = name;
    // An empty route written as if it were the recording's would be taken
    // for a drive without GPS.
    if (track_.readFailed)
        return false;

    QByteArray kml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
                     "  <Document>\n"
                     "    <name>";
    kml += XmlText(file.fileName) + "</name>\n\t<description></description>\n";
    kml += kStyleAndPlacemark;
    kml += '"' + XmlText(file.folder + "/" + file.fileName) + '"' +
           XmlText(FormatLocalTime(file.info.startTime, " %Y/%m/%d %H:%M:%S"));
    kml += kPlacemarkTail;

    // Points that are not finite or lie off the globe are left out. The
    // camera's chunk records without a fix are written as stored (degrees *
    // 100 + minutes, normally zero).
    const bool chunk = file.info.variant == kChunkVariant;
    for (int i = 0; i < GpsPointCount(); ++i) {
        const GpsFix& p = FixAt(i);
        double latitude = p.latitude;
        double longitude = p.longitude;
        if (!p.hasFix) {
            if (!chunk)
                continue;
            latitude = StoredCoordinate(latitude, StoredCoordinates::kDegreesAndMinutes) * 100;
            longitude = StoredCoordinate(longitude, StoredCoordinates::kDegreesAndMinutes) * 100;
        }
        if (!IsPlausiblePosition(latitude, longitude))
            continue;
        // A record without a fix is tried in both readings of its numbers.
        if (InPrivacyZone(p.latitude, p.longitude, zones) ||
            InPrivacyZone(latitude, longitude, zones)) {
            if (leftOut)
                ++*leftOut;
            continue;
        }
        kml += CoordinateLine(longitude, latitude, p.altitude);
    }
    kml += kClosing;

    return CheckedFileWriter::WriteFile(name, kml);
}
