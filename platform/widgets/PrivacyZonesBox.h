#pragma once
// The viewer's exports read the privacy zones of its settings file here: a
// zone that cannot be read is named in a box and the export stops, so no
// place the user meant to keep out leaves the program by a slip of the pen.
#include "settings/PrivacyZones.h"

#include <QString>
#include <vector>

class QWidget;

// The zones of AppSettings::Instance(); false after the box (captioned
// `caption`) when one cannot be read.
bool ReadZonesOrSay(QWidget* owner, const QString& caption, std::vector<PrivacyZone>* zones);
