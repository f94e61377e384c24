#include "settings/PrivacyZones.h"

#include "settings/AppSettings.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

const char kSection[] = "PRIVACY";
constexpr int kMaxZones = 64;
constexpr double kEarthRadiusM = 6371008.8;

double Radians(double degrees) {
    return degrees * M_PI / 180.0;
}

} // namespace

bool PrivacyZoneFromText(const QString& text, PrivacyZone* zone) {
    const QStringList parts = text.split(',');
    if (parts.size() != 3)
        return false;
    bool ok[3] = {};
    PrivacyZone z;
    z.latitude = parts[0].trimmed().toDouble(&ok[0]);
    z.longitude = parts[1].trimmed().toDouble(&ok[1]);
    z.radiusM = parts[2].trimmed().toDouble(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2] || !(std::fabs(z.latitude) <= 90) ||
        !(std::fabs(z.longitude) <= 180) || !(z.radiusM > 0) || !std::isfinite(z.radiusM))
        return false;
    *zone = z;
    return true;
}

QString PrivacyZoneText(const PrivacyZone& zone) {
    return QStringLiteral("%1,%2,%3")
        .arg(zone.latitude, 0, 'f', 6)
        .arg(zone.longitude, 0, 'f', 6)
        .arg(zone.radiusM, 0, 'f', 0);
}

std::vector<PrivacyZone> ReadPrivacyZones(const AppSettings& settings) {
    std::vector<PrivacyZone> zones;
    const int count = std::min(settings.ReadInt(kSection, "COUNT", 0), kMaxZones);
    for (int i = 1; i <= count; ++i) {
        PrivacyZone zone;
        if (PrivacyZoneFromText(settings.ReadString(kSection, QStringLiteral("ZONE%1").arg(i), {}),
                                &zone))
            zones.push_back(zone);
    }
    return zones;
}

bool WritePrivacyZones(AppSettings& settings, const std::vector<PrivacyZone>& zones) {
    const int count = std::min<int>(int(zones.size()), kMaxZones);
    const int before = settings.ReadInt(kSection, "COUNT", 0);
    bool ok = settings.WriteInt(kSection, "COUNT", count);
    for (int i = 0; i < count && ok; ++i)
        ok = settings.WriteString(kSection, QStringLiteral("ZONE%1").arg(i + 1),
                                  PrivacyZoneText(zones[size_t(i)]));
    // Lines past the new count would come back if the count were edited up.
    for (int i = count + 1; i <= std::min(before, kMaxZones) && ok; ++i)
        ok = settings.WriteString(kSection, QStringLiteral("ZONE%1").arg(i), QString());
    return ok;
}

bool InPrivacyZone(double latitude, double longitude, const std::vector<PrivacyZone>& zones) {
    for (const PrivacyZone& z : zones) {
        const double dLat = Radians(latitude - z.latitude);
        const double dLon = Radians(longitude - z.longitude);
        const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                         std::cos(Radians(z.latitude)) * std::cos(Radians(latitude)) *
                             std::sin(dLon / 2) * std::sin(dLon / 2);
        const double distance = 2 * kEarthRadiusM * std::asin(std::min(1.0, std::sqrt(a)));
        if (distance <= z.radiusM)
            return true;
    }
    return false;
}
