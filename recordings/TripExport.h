#pragma once
#include "recordings/TripModel.h"
#include "settings/PrivacyZones.h"

#include <QString>
#include <QStringList>

enum class TripFormat { Gpx, Csv };

// The KML naming pattern: the first recording's name without its extension
// and its start time as local time, "_%Y_%m_%d_%H-%M-%S"; a trip adds
// "_TRIP". The writers add their own extension.
QString TripBaseName(const Trip& trip, bool wholeTrip);

// Writes the trip into the folder: a ".GPX", or a ".CSV" of the points and,
// with gsensor, a "_GSENSOR.CSV" of the samples. Existing files are replaced.
// The names written go to `written` (also those that failed, last); false
// when a file could not be written whole, with the system's reason in
// *error. A failure takes back the files this call had written before it,
// so no half of a points/samples pair is left.
bool WriteTrip(const Trip& trip, TripFormat format, bool gsensor, bool wholeTrip,
               const QString& folder, QStringList* written, QString* error = nullptr);

class RecordingCatalog;

// One KML file per recording of the trip, each exactly as the KML button
// writes it, loaded apart from the catalog's current track; positions inside
// the zones left out, counted in *leftOut.
bool WriteTripKml(const RecordingCatalog& catalog, const std::vector<int>& fileIndices,
                  const QString& folder, QStringList* written,
                  const std::vector<PrivacyZone>& zones = {}, int* leftOut = nullptr);
