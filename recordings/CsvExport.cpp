#include "recordings/CsvExport.h"

#include <QDateTime>

namespace {

QByteArray Quoted(const QString& text) {
    QByteArray bytes = text.toUtf8();
    bytes.replace('"', "\"\"");
    return '"' + bytes + '"';
}

QByteArray Number(double value, int decimals) {
    return QByteArray::number(value, 'f', decimals);
}

QByteArray UtcText(int64_t ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC)
        .toString(ms % 1000 ? QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ")
                            : QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"))
        .toLatin1();
}

} // namespace

QByteArray CsvPoints(const Trip& trip) {
    QByteArray out = "file,time_utc,latitude,longitude,altitude_m,speed_kmh,heading_deg\r\n";
    for (const TripRecording& r : trip.recordings) {
        const QByteArray name = Quoted(r.fileName);
        for (const GpsFix& p : r.points) {
            out += name + ',' + (p.hasTime ? UtcText(p.utcMs) : QByteArray()) + ',' +
                   Number(p.latitude, 7) + ',' + Number(p.longitude, 7) + ',' +
                   (p.hasAltitude ? QByteArray::number(p.altitude) : QByteArray()) + ',' +
                   Number(p.speedKmh, 0) + ',' + Number(p.headingDegrees, 0) + "\r\n";
        }
    }
    return out;
}

QByteArray CsvSamples(const Trip& trip) {
    QByteArray out = "file,time_ms,x_g,y_g,z_g\r\n";
    for (const TripRecording& r : trip.recordings) {
        const QByteArray name = Quoted(r.fileName);
        for (const TripSample& s : r.samples)
            out += name + ',' + Number(s.offsetMs, 0) + ',' + Number(s.x, 6) + ',' +
                   Number(s.y, 6) + ',' + Number(s.z, 6) + "\r\n";
    }
    return out;
}
