#pragma once
// The burned-in figures of a clip as a list of changes: one entry each time
// the drawn text or the car on the map inset changes, never one per frame.
#include "clip/ClipClock.h"
#include "clip/ClipOptions.h"
#include "clip/ClipSpan.h"
#include "recordings/TripModel.h"
#include "settings/PrivacyZones.h"

#include <QPointF>
#include <QStringList>
#include <vector>

struct ClipFigureChange {
    int64_t clipMs = 0;
    QStringList lines;
    bool hasCar = false;
    QPointF car; // longitude, latitude
};

struct ClipFigures {
    std::vector<ClipFigureChange> changes; // the first at 0 ms
    // Longitude, latitude of the span; a RouteBreak where a zone hides it.
    std::vector<QPointF> route;
};

// The route's gap: a point of NaNs.
QPointF RouteBreak();
bool IsRouteBreak(const QPointF& p);

// tracks[i] belongs to pieces[i] (an empty track when the recording has none).
// Inside a privacy zone the position line says so, speed and heading are
// blank and neither the car nor the route shows on the map inset.
// The time is the camera's reading told by the clock.
ClipFigures BuildClipFigures(const std::vector<ClipPiece>& pieces,
                             const std::vector<TripRecording>& tracks, const ClipOptions& options,
                             const std::vector<PrivacyZone>& zones, const ClipClock& clock);

// The number of text lines the options draw (the box keeps this many).
int FigureLineCount(const ClipOptions& options);
