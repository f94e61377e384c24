#include "clip/ClipBundle.h"

#include <QDateTime>
#include <QFileInfo>

Trip SpanTrip(const std::vector<ClipPiece>& pieces, const std::vector<TripRecording>& tracks,
              const std::vector<PrivacyZone>& zones, const ClipClock& clock,
              std::vector<int>* leftOut) {
    Trip trip;
    if (leftOut)
        leftOut->assign(pieces.size(), 0);
    for (size_t i = 0; i < pieces.size() && i < tracks.size(); ++i) {
        const ClipPiece& piece = pieces[i];
        if (i == 0)
            trip.first = piece.source.file;
        TripRecording part;
        part.fileName = tracks[i].fileName;
        for (const GpsFix& p : tracks[i].points) {
            const int64_t fileMs = clock.PointFileMs(i, piece, p);
            if (!p.hasTime || fileMs < piece.inMs || fileMs >= piece.outMs)
                continue;
            if (InPrivacyZone(p.latitude, p.longitude, zones)) {
                if (leftOut)
                    ++(*leftOut)[i];
                continue;
            }
            GpsFix told = p;
            told.utcMs = clock.PointUtcMs(i, piece, p);
            part.points.push_back(told);
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

QString UtcIso(int64_t ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(Qt::ISODateWithMs);
}

bool SourceEntry(const QString& path, const SourceState& state, const QString& camera,
                 const ClipPiece& piece, const CameraClock& clock, QJsonObject* entry,
                 QString* error) {
    if (state.sha256.isEmpty()) {
        *error = state.error.isEmpty() ? path + ": cannot be read" : state.error;
        return false;
    }
    QJsonObject o;
    o["path"] = QFileInfo(path).absoluteFilePath();
    o["camera"] = camera;
    o["size"] = double(state.size);
    o["modified"] = UtcIso(state.modifiedMs);
    o["sha256"] = QString::fromLatin1(state.sha256);
    o["fromMs"] = double(piece.inMs);
    o["toMs"] = double(piece.outMs);
    if (camera == "front" && clock.measured)
        o["cameraClockOffsetFromGpsMs"] = double(clock.differenceMs);
    *entry = o;
    return true;
}
