#include "presenter/FigureTexts.h"

#include "settings/AppSettings.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace {
constexpr double kKmPerMile = 1.609344;
} // namespace

FigureTexts FigureTexts::OfViewer() {
    return FigureTexts(AppSettings::Instance().ReadSpeedInMiles() ? SpeedUnit::Mph
                                                                  : SpeedUnit::Kmh);
}

QString FigureTexts::SpeedUnitName() const {
    return unit_ == SpeedUnit::Mph ? QStringLiteral("mph") : QStringLiteral("km/h");
}

double FigureTexts::SpeedValue(double kmh) const {
    return unit_ == SpeedUnit::Mph ? kmh / kKmPerMile : kmh;
}

QString FigureTexts::Speed(double kmh) const {
    return QStringLiteral("%1 %2").arg(qRound(SpeedValue(kmh))).arg(SpeedUnitName());
}

QString FigureTexts::SpeedRange(double fromKmh, double toKmh, bool open) const {
    const QString from = QString::number(qRound(SpeedValue(fromKmh)));
    if (open)
        return QStringLiteral("%1+ %2").arg(from, SpeedUnitName());
    return QStringLiteral("%1\u2013%2 %3")
        .arg(from, QString::number(qRound(SpeedValue(toKmh))), SpeedUnitName());
}

QString FigureTexts::SpeedChange(double kmhPerSecond) const {
    return QStringLiteral("%1 %2/s").arg(qRound(SpeedValue(kmhPerSecond))).arg(SpeedUnitName());
}

QString FigureTexts::Distance(double metres) const {
    if (unit_ == SpeedUnit::Mph)
        return QStringLiteral("%1 mi").arg(metres / (1000.0 * kKmPerMile), 0, 'f', 1);
    return QStringLiteral("%1 km").arg(metres / 1000.0, 0, 'f', 1);
}

QString FigureTexts::Metres(double metres) {
    return QStringLiteral("%1 m").arg(qRound(metres));
}

QString FigureTexts::Duration(int64_t ms) {
    const int64_t s = std::max<int64_t>(0, (ms + 500) / 1000);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString FigureTexts::Bytes(uint64_t bytes) {
    const double gb = double(bytes) / 1e9;
    return gb >= 1 ? QStringLiteral("%1 GB").arg(gb, 0, 'f', 1)
                   : QStringLiteral("%1 MB").arg(double(bytes) / 1e6, 0, 'f', 0);
}

QString FigureTexts::LocalTime(int64_t utcMs, const char* format) {
    return QDateTime::fromMSecsSinceEpoch(utcMs, Qt::LocalTime).toString(QLatin1String(format));
}
