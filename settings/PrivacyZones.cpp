#include "settings/PrivacyZones.h"

#include "platform/IniFile.h"
#include "settings/AppSettings.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <map>

namespace {

const char kSection[] = "PRIVACY";
constexpr double kEarthRadiusM = 6371008.8;

double Radians(double degrees) {
    return degrees * M_PI / 180.0;
}

// Plain decimals only: "25m", "35.6N", "1e3", "nan" or "inf" are no numbers
// a user wrote as one, and toDouble would take some of them.
bool PlainNumber(const QString& text, double* value) {
    static const QRegularExpression pattern(QStringLiteral(R"(^[+-]?(\d+(\.\d*)?|\.\d+)$)"));
    if (!pattern.match(text).hasMatch())
        return false;
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok && std::isfinite(*value);
}

// The n of "ZONEn" (n from 1, no leading zero), else 0.
long ZoneNumber(const QString& key) {
    static const QRegularExpression pattern(QStringLiteral("^ZONE([1-9]\\d{0,8})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = pattern.match(key);
    return m.hasMatch() ? m.captured(1).toLong() : 0;
}

QString Where(const QString& path, const IniFile::Entry& e) {
    return QStringLiteral("%1, line %2: %3: ").arg(path).arg(e.line).arg(e.text.trimmed());
}

} // namespace

bool PrivacyZoneFromText(const QString& text, PrivacyZone* zone, QString* why) {
    const auto refuse = [why](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    const QStringList parts = text.split(',');
    if (parts.size() != 3)
        return refuse(QStringLiteral("%1 fields where latitude,longitude,radius in metres are "
                                     "three (decimals with \".\")")
                          .arg(parts.size()));
    PrivacyZone z;
    if (!PlainNumber(parts[0].trimmed(), &z.latitude))
        return refuse(QStringLiteral("the latitude is not a number of degrees"));
    if (!PlainNumber(parts[1].trimmed(), &z.longitude))
        return refuse(QStringLiteral("the longitude is not a number of degrees"));
    if (!PlainNumber(parts[2].trimmed(), &z.radiusM))
        return refuse(QStringLiteral("the radius is not a number of metres"));
    if (std::fabs(z.latitude) > 90)
        return refuse(QStringLiteral("the latitude lies outside -90 to 90"));
    if (std::fabs(z.longitude) > 180)
        return refuse(QStringLiteral("the longitude lies outside -180 to 180"));
    if (!(z.radiusM > 0))
        return refuse(QStringLiteral("the radius is not above 0 metres"));
    *zone = z;
    return true;
}

QString PrivacyZoneText(const PrivacyZone& zone) {
    // Whole metres would round a zone under half a metre to 0, which does
    // not read back.
    const int decimals = zone.radiusM == std::round(zone.radiusM) ? 0 : 1;
    return QStringLiteral("%1,%2,%3")
        .arg(zone.latitude, 0, 'f', 6)
        .arg(zone.longitude, 0, 'f', 6)
        .arg(std::max(zone.radiusM, 0.1), 0, 'f', decimals);
}

bool LoadPrivacyZones(const QString& iniPath, std::vector<PrivacyZone>* zones, QString* error) {
    zones->clear();
    std::vector<IniFile::Entry> entries;
    if (!IniFile::ReadSection(iniPath, kSection, &entries)) {
        *error = iniPath + ": cannot be read";
        return false;
    }
    const IniFile::Entry* count = nullptr;
    std::map<long, const IniFile::Entry*> lines; // non-empty ZONEn lines by n
    QHash<QString, int> seen;
    for (const IniFile::Entry& e : entries) {
        const QString key = e.key.toUpper();
        if (!e.hasValue || (key != "COUNT" && ZoneNumber(key) == 0)) {
            *error =
                Where(iniPath, e) + "not a privacy zone line (COUNT=n, ZONE1=... to ZONEn=...)";
            return false;
        }
        if (seen.contains(key)) {
            *error =
                Where(iniPath, e) +
                QStringLiteral("%1 is given twice (also on line %2)").arg(key).arg(seen.value(key));
            return false;
        }
        seen.insert(key, e.line);
        if (key == "COUNT")
            count = &e;
        else if (!e.value.isEmpty()) // an emptied line, as earlier versions left them
            lines[ZoneNumber(key)] = &e;
    }
    if (!count) {
        if (lines.empty())
            return true;
        *error = Where(iniPath, *lines.begin()->second) +
                 QStringLiteral("[PRIVACY] has zone lines but no COUNT");
        return false;
    }
    static const QRegularExpression digits(QStringLiteral("^\\d{1,9}$"));
    if (!digits.match(count->value).hasMatch()) {
        *error = Where(iniPath, *count) + "COUNT is not a number of zones";
        return false;
    }
    const long n = count->value.toLong();
    if (n == 0 && !lines.empty()) {
        *error = Where(iniPath, *count) +
                 QStringLiteral("COUNT is 0 while ZONE%1 is set").arg(lines.begin()->first);
        return false;
    }
    if (!lines.empty() && lines.rbegin()->first > n) {
        *error = Where(iniPath, *lines.rbegin()->second) +
                 QStringLiteral("the zone lies past COUNT=%1").arg(n);
        return false;
    }
    std::vector<PrivacyZone> read;
    for (long i = 1; i <= n; ++i) {
        const auto found = lines.find(i);
        if (found == lines.end()) {
            *error = Where(iniPath, *count) + QStringLiteral("ZONE%1 is missing or empty").arg(i);
            return false;
        }
        PrivacyZone zone;
        QString why;
        if (!PrivacyZoneFromText(found->second->value, &zone, &why)) {
            *error = Where(iniPath, *found->second) + why;
            return false;
        }
        read.push_back(zone);
    }
    *zones = std::move(read);
    return true;
}

QStringList PrivacyZoneLines(const QString& iniPath) {
    std::vector<IniFile::Entry> entries;
    IniFile::ReadSection(iniPath, kSection, &entries);
    std::multimap<long, QString> byNumber;
    for (const IniFile::Entry& e : entries)
        if (ZoneNumber(e.key) > 0 && !e.value.isEmpty())
            byNumber.emplace(ZoneNumber(e.key), e.value);
    QStringList lines;
    for (const auto& [n, value] : byNumber)
        lines << value;
    return lines;
}

bool ReadPrivacyZones(const AppSettings& settings, std::vector<PrivacyZone>* zones,
                      QString* error) {
    return LoadPrivacyZones(settings.Path(), zones, error);
}

bool WritePrivacyZones(AppSettings& settings, const std::vector<PrivacyZone>& zones) {
    std::vector<IniFile::Entry> entries;
    IniFile::ReadSection(settings.Path(), kSection, &entries);
    bool ok = settings.WriteInt(kSection, "COUNT", int(zones.size()));
    for (size_t i = 0; i < zones.size() && ok; ++i)
        ok = settings.WriteString(kSection, QStringLiteral("ZONE%1").arg(i + 1),
                                  PrivacyZoneText(zones[i]));
    // Lines past the new count would come back if the count were edited up.
    for (const IniFile::Entry& e : entries) {
        if (ok && ZoneNumber(e.key) > long(zones.size()))
            ok = IniFile::DeleteKey(settings.Path(), kSection, e.key);
    }
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
