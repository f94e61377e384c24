#pragma once
#include "cardindex/CardIndexTypes.h"
#include "presenter/FigureTexts.h"

#include <QColor>
#include <QJsonArray>
#include <QStringList>

class OverviewData;

// A driving event as its mark's tip names it: "Harsh braking, 12:00:30,
// 0.60 g". kinds: the kinds' names in the order of DrivingEventKind.
QString EventLabel(const DrivingEvent& event, const QStringList& kinds, const FigureTexts& texts);

// The marks of the events with a place, for the map page: i (the event's
// index), lat, lon, kind and label.
QJsonArray EventMarks(const OverviewData& data, const FigureTexts& texts);

// The colour of an event's mark on the chart (the map page has the same).
QColor EventColour(DrivingEventKind kind);
