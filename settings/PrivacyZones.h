#pragma once
// Places the user keeps out of exported clips (home, work): circles kept in
// Halvex.ini, section [PRIVACY], "ZONE1=latitude,longitude,radius in metres".
#include <QString>
#include <vector>

class AppSettings;

struct PrivacyZone {
    double latitude = 0;  // decimal degrees
    double longitude = 0; // decimal degrees
    double radiusM = 0;
};

// The zones in the settings; lines that do not read as a circle on Earth
// are left out rather than guessed at.
std::vector<PrivacyZone> ReadPrivacyZones(const AppSettings& settings);
// Replaces the stored zones; false when the settings file cannot be written.
bool WritePrivacyZones(AppSettings& settings, const std::vector<PrivacyZone>& zones);

// "lat,lon,radius" with "." decimals; false when it is not a circle on Earth.
bool PrivacyZoneFromText(const QString& text, PrivacyZone* zone);
QString PrivacyZoneText(const PrivacyZone& zone);

// True when the position lies inside one of the zones (great-circle distance).
bool InPrivacyZone(double latitude, double longitude, const std::vector<PrivacyZone>& zones);
