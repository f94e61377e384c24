#include "clip/ClipFigures.h"

#include "presenter/FigureTexts.h"
#include "strings/UiStrings.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

struct Moment {
    const GpsFix* point = nullptr;
    const TripSample* sample = nullptr;
    QString time;
};

QString Degrees(double value, char positive, char negative) {
    return QString::number(std::fabs(value), 'f', 5) + QChar(value < 0 ? negative : positive);
}

// One line per chosen figure, blank while it has no value, so the box
// keeps its lines in place. Inside a privacy zone speed and heading are
// blank too: from the last shown fix they would trace the hidden way.
QStringList Lines(const Moment& m, const ClipOptions& o, bool hidden) {
    QStringList lines;
    const GpsFix* p = hidden ? nullptr : m.point;
    if (o.overlays & kOverlayTime)
        lines << m.time;
    if (o.overlays & kOverlaySpeed)
        lines << (p ? FigureTexts(o.speedInMph ? SpeedUnit::Mph : SpeedUnit::Kmh).Speed(p->speedKmh)
                    : QString());
    if (o.overlays & kOverlayPosition)
        lines << (hidden ? LoadUiString(UiStringId::kClipPositionHidden)
                  : p    ? Degrees(p->latitude, 'N', 'S') + " " + Degrees(p->longitude, 'E', 'W')
                         : QString());
    if (o.overlays & kOverlayHeading)
        lines << (p ? QString::number(std::lround(p->headingDegrees) % 360) + QChar(0xB0)
                    : QString());
    if (o.overlays & kOverlayGSensor)
        lines << (m.sample ? QStringLiteral("G %1 %2 %3")
                                 .arg(m.sample->x, 0, 'f', 2)
                                 .arg(m.sample->y, 0, 'f', 2)
                                 .arg(m.sample->z, 0, 'f', 2)
                           : QString());
    return lines;
}

} // namespace

ClipFigures BuildClipFigures(const std::vector<ClipPiece>& pieces,
                             const std::vector<TripRecording>& tracks, const ClipOptions& o,
                             const std::vector<PrivacyZone>& zones, const ClipClock& clock) {
    ClipFigures figures;
    if (!o.overlays)
        return figures;
    // Every moment at which a figure may change, in clip time.
    std::map<int64_t, Moment> moments;
    int64_t pieceStart = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const ClipPiece& piece = pieces[i];
        const auto toClip = [&](int64_t fileMs) { return pieceStart + fileMs - piece.inMs; };
        for (int64_t ms = piece.inMs - (piece.source.startMs + piece.inMs) % 1000; ms < piece.outMs;
             ms += 1000) // each new second of the clock
            moments[std::max(toClip(ms), pieceStart)];
        moments[pieceStart];
        if (i < tracks.size()) {
            for (const GpsFix& p : tracks[i].points) {
                if (!p.hasTime)
                    continue;
                const int64_t fileMs = clock.PointFileMs(i, piece, p);
                if (fileMs < piece.inMs || fileMs >= piece.outMs)
                    continue;
                moments[toClip(fileMs)];
                // The line breaks where it enters a zone rather than
                // cutting across it.
                if (!InPrivacyZone(p.latitude, p.longitude, zones))
                    figures.route.emplace_back(p.longitude, p.latitude);
                else if (!figures.route.empty() && !IsRouteBreak(figures.route.back()))
                    figures.route.push_back(RouteBreak());
            }
            for (const TripSample& s : tracks[i].samples) {
                const int64_t fileMs = std::llround(s.offsetMs);
                if (fileMs >= piece.inMs && fileMs < piece.outMs)
                    moments[toClip(fileMs)];
            }
        }
        pieceStart += piece.outMs - piece.inMs;
    }
    // The values in force at each moment: the last point and sample before it.
    pieceStart = 0;
    auto it = moments.begin();
    for (size_t i = 0; i < pieces.size(); ++i) {
        const ClipPiece& piece = pieces[i];
        const int64_t pieceEnd = pieceStart + piece.outMs - piece.inMs;
        const TripRecording* track = i < tracks.size() ? &tracks[i] : nullptr;
        for (; it != moments.end() && it->first < pieceEnd; ++it) {
            const int64_t fileMs = it->first - pieceStart + piece.inMs;
            Moment& m = it->second;
            if (o.overlays & kOverlayTime)
                m.time = clock.TimeText(clock.ReadingMs(i, fileMs));
            if (track) {
                for (const GpsFix& p : track->points) {
                    if (p.hasTime && clock.PointFileMs(i, piece, p) <= fileMs)
                        m.point = &p;
                }
                for (const TripSample& s : track->samples) {
                    if (s.offsetMs <= double(fileMs))
                        m.sample = &s;
                }
            }
        }
        pieceStart = pieceEnd;
    }
    for (const auto& [clipMs, m] : moments) {
        ClipFigureChange change;
        change.clipMs = clipMs;
        const bool hidden = m.point && InPrivacyZone(m.point->latitude, m.point->longitude, zones);
        change.lines = Lines(m, o, hidden);
        if ((o.overlays & kOverlayMap) && m.point && !hidden) {
            change.hasCar = true;
            change.car = QPointF(m.point->longitude, m.point->latitude);
        }
        const ClipFigureChange* last = figures.changes.empty() ? nullptr : &figures.changes.back();
        if (last && last->lines == change.lines && last->hasCar == change.hasCar &&
            last->car == change.car)
            continue;
        figures.changes.push_back(change);
    }
    return figures;
}

int FigureLineCount(const ClipOptions& o) {
    int count = 0;
    for (uint32_t bit :
         {kOverlayTime, kOverlaySpeed, kOverlayPosition, kOverlayHeading, kOverlayGSensor})
        count += (o.overlays & bit) ? 1 : 0;
    return count;
}

QPointF RouteBreak() {
    return QPointF(std::nan(""), std::nan(""));
}

bool IsRouteBreak(const QPointF& p) {
    return std::isnan(p.x());
}
