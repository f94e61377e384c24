#include "recordings/GpxExport.h"

#include <QDateTime>
#include <QStringList>
#include <QXmlStreamWriter>

namespace {

const char kGpxNamespace[] = "http://www.topografix.com/GPX/1/1";
const char kTpxNamespace[] = "http://www.garmin.com/xmlschemas/TrackPointExtension/v2";

QString UtcText(int64_t ms) {
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    return t.toString(ms % 1000 ? QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ")
                                : QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
}

// QString::number ignores the locale, so the decimal point is always ".".
QString Fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

void WritePoint(QXmlStreamWriter& xml, const GpsFix& p) {
    xml.writeStartElement(kGpxNamespace, "trkpt");
    xml.writeAttribute("lat", Fixed(p.latitude, 7));
    xml.writeAttribute("lon", Fixed(p.longitude, 7));
    if (p.hasAltitude)
        xml.writeTextElement(kGpxNamespace, "ele", QString::number(p.altitude));
    if (p.hasTime)
        xml.writeTextElement(kGpxNamespace, "time", UtcText(p.utcMs));
    xml.writeStartElement(kGpxNamespace, "extensions");
    xml.writeStartElement(kTpxNamespace, "TrackPointExtension");
    xml.writeTextElement(kTpxNamespace, "speed", Fixed(p.speedKmh / 3.6, 3));
    xml.writeTextElement(kTpxNamespace, "course", Fixed(p.headingDegrees, 1));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
}

} // namespace

QByteArray GpxDocument(const Trip& trip, const QString& name) {
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(kGpxNamespace);
    xml.writeNamespace(kTpxNamespace, "gpxtpx");
    xml.writeNamespace("http://www.w3.org/2001/XMLSchema-instance", "xsi");
    xml.writeStartElement(kGpxNamespace, "gpx");
    xml.writeAttribute("version", "1.1");
    xml.writeAttribute("creator", "Halvex");
    xml.writeAttribute("http://www.w3.org/2001/XMLSchema-instance", "schemaLocation",
                       QStringLiteral("%1 http://www.topografix.com/GPX/1/1/gpx.xsd %2 "
                                      "http://www8.garmin.com/xmlschemas/"
                                      "TrackPointExtensionv2.xsd")
                           .arg(kGpxNamespace, kTpxNamespace));

    xml.writeStartElement(kGpxNamespace, "metadata");
    xml.writeTextElement(kGpxNamespace, "name", name);
    xml.writeEndElement();

    xml.writeStartElement(kGpxNamespace, "trk");
    xml.writeTextElement(kGpxNamespace, "name", name);
    QStringList files;
    for (const TripRecording& r : trip.recordings)
        files << r.fileName;
    xml.writeTextElement(kGpxNamespace, "desc", files.join(QStringLiteral(", ")));
    for (const TripRecording& r : trip.recordings) {
        // An empty segment is valid GPX but makes some readers warn.
        if (r.points.empty())
            continue;
        xml.writeStartElement(kGpxNamespace, "trkseg");
        for (const GpsFix& p : r.points)
            WritePoint(xml, p);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}
