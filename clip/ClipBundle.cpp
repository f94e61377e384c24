#include "clip/ClipBundle.h"

#include "clip/ClipClock.h"
#include "recordings/LocalTimeText.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

Trip SpanTrip(const std::vector<ClipPiece>& pieces, const std::vector<TripRecording>& tracks,
              const std::vector<PrivacyZone>& zones) {
    Trip trip;
    for (size_t i = 0; i < pieces.size() && i < tracks.size(); ++i) {
        const ClipPiece& piece = pieces[i];
        if (i == 0)
            trip.first = piece.source.file;
        TripRecording part;
        part.fileName = tracks[i].fileName;
        for (const TripPoint& p : tracks[i].points) {
            const int64_t fileMs = p.utcMs - piece.source.startMs;
            if (!p.hasTime || fileMs < piece.inMs || fileMs >= piece.outMs ||
                InPrivacyZone(p.latitude, p.longitude, zones))
                continue;
            part.points.push_back(p);
        }
        for (const TripSample& s : tracks[i].samples) {
            if (s.offsetMs >= piece.inMs && s.offsetMs < piece.outMs)
                part.samples.push_back(s);
        }
        trip.recordings.push_back(std::move(part));
    }
    return trip;
}

QByteArray Sha256Lines(const QStringList& names, const QList<QByteArray>& hashes) {
    QByteArray text;
    for (int i = 0; i < names.size() && i < hashes.size(); ++i)
        text += hashes[i] + "  " + names[i].toUtf8() + "\n";
    return text;
}

QString LocalIso(int64_t ms) {
    QString text = FormatLocalTime(ms / 1000, "%Y-%m-%dT%H:%M:%S%z");
    // ISO 8601 wants the offset as +hh:mm.
    if (text.size() > 5)
        text.insert(text.size() - 2, ':');
    return text;
}

QString UtcIso(int64_t ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(Qt::ISODateWithMs);
}

bool SourceEntry(const QString& path, const QByteArray& hash, const QString& camera,
                 const ClipPiece& piece, QJsonObject* entry, QString* error) {
    const QFileInfo info(path);
    if (hash.isEmpty()) {
        *error = path + ": cannot be read";
        return false;
    }
    QJsonObject o;
    o["path"] = info.absoluteFilePath();
    o["camera"] = camera;
    o["size"] = double(info.size());
    o["modified"] = UtcIso(info.lastModified().toMSecsSinceEpoch());
    o["sha256"] = QString::fromLatin1(hash);
    o["fromMs"] = double(piece.inMs);
    o["toMs"] = double(piece.outMs);
    int64_t offset = 0;
    if (camera == "front" && CameraClockOffset(piece.source.file, &offset))
        o["cameraClockOffsetFromGpsMs"] = double(-offset);
    *entry = o;
    return true;
}
