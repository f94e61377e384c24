#pragma once
#include "cardindex/CardIndexTypes.h"
#include "presenter/FigureTexts.h"

#include <QColor>
#include <QJsonArray>
#include <QStringList>
#include <vector>

class OverviewData;

// A driving event as its mark's tip names it: "Harsh braking, 2026-03-01
// 12:00:30, 0.60 g". kinds: the kinds' names in the order of
// DrivingEventKind.
QString EventLabel(const DrivingEvent& event, const QStringList& kinds, const FigureTexts& texts);

// The events that share one mark: those of one recording at the same moment
// (within a second of the one before). `lead` is the one the mark shows and
// plays, the weightiest kind (an impact above a camera event); `events` are
// all of them in time order.
struct EventGroup {
    int lead = -1;
    std::vector<int> events;
};
// Groups of the events for which `take` holds (every event when empty),
// the lightest lead first so the weightiest is drawn on top.
std::vector<EventGroup> GroupEvents(const std::vector<DrivingEvent>& events,
                                    const std::vector<bool>& take = {});
// How much an event's mark must stay in sight: higher is drawn above.
int EventWeight(DrivingEventKind kind);

// A group's tip: one line per event.
QString GroupLabel(const EventGroup& group, const std::vector<DrivingEvent>& events,
                   const QStringList& kinds, const FigureTexts& texts);

// The marks of the events with a place, for the map page: i (the lead
// event's index), t (its trip, -1 for none), n (events in the mark), lat,
// lon, kind (the lead's), kinds (every kind in it) and label.
QJsonArray EventMarks(const OverviewData& data, const FigureTexts& texts);

// The colour of an event kind's mark (the map page has the same). None is
// a colour of the speed scale.
QColor EventColour(DrivingEventKind kind);
