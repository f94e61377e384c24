#pragma once
// Places the user keeps out of what leaves the program (home, work):
// circles kept in Halvex.ini, section [PRIVACY], "COUNT=n" and
// "ZONE1=latitude,longitude,radius in metres" up to ZONEn.
#include <QString>
#include <QStringList>
#include <vector>

class AppSettings;

struct PrivacyZone {
    double latitude = 0;  // decimal degrees
    double longitude = 0; // decimal degrees
    double radiusM = 0;
};

// The zones of [PRIVACY] in the settings file at iniPath; a file that does
// not exist holds none. A zone is never left out in silence: false, with the
// file, the line and the reason in *error, when a line does not read as a
// zone, a key is not COUNT or ZONEn, a key is given twice, or COUNT and the
// ZONEn lines disagree (missing, zero or not a number while zones are there,
// a zone missing below it or one past it).
bool LoadPrivacyZones(const QString& iniPath, std::vector<PrivacyZone>* zones, QString* error);
bool ReadPrivacyZones(const AppSettings& settings, std::vector<PrivacyZone>* zones, QString* error);

// The values of the non-empty ZONEn lines as they stand, by n: what an
// editor shows of a file whose zones do not all read.
QStringList PrivacyZoneLines(const QString& iniPath);

// Replaces the stored zones, as many as given; false when the settings file
// cannot be written.
bool WritePrivacyZones(AppSettings& settings, const std::vector<PrivacyZone>& zones);

// "lat,lon,radius": three plain decimal numbers with "." decimals, a
// latitude within ±90, a longitude within ±180 and a radius above 0 metres.
// False otherwise, with the reason in *why when given.
bool PrivacyZoneFromText(const QString& text, PrivacyZone* zone, QString* why = nullptr);
QString PrivacyZoneText(const PrivacyZone& zone);

// True when the position lies inside one of the zones (great-circle distance).
bool InPrivacyZone(double latitude, double longitude, const std::vector<PrivacyZone>& zones);
