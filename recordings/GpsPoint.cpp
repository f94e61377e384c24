#include "recordings/GpsPoint.h"

#include <QtEndian>
#include <cstring>

GpsPoint GpsPoint::FromBytes(const uint8_t* p) {
    GpsPoint g;
    const quint64 lat = qFromLittleEndian<quint64>(p);
    const quint64 lon = qFromLittleEndian<quint64>(p + 8);
    std::memcpy(&g.latitude, &lat, 8);
    std::memcpy(&g.longitude, &lon, 8);
    g.altitude = qFromLittleEndian<qint32>(p + 16);
    g.speed = qFromLittleEndian<quint16>(p + 20);
    g.year = p[22];
    g.month = p[23];
    g.day = p[24];
    g.hour = p[25];
    g.minute = p[26];
    g.second = p[27];
    g.heading = p[28];
    g.flags = p[29];
    g.reserved = qFromLittleEndian<quint16>(p + 30);
    return g;
}

void GpsPoint::ToBytes(uint8_t* p) const {
    quint64 lat = 0, lon = 0;
    std::memcpy(&lat, &latitude, 8);
    std::memcpy(&lon, &longitude, 8);
    qToLittleEndian<quint64>(lat, p);
    qToLittleEndian<quint64>(lon, p + 8);
    qToLittleEndian<qint32>(altitude, p + 16);
    qToLittleEndian<quint16>(speed, p + 20);
    const uint8_t tail[] = {year, month, day, hour, minute, second, heading, flags};
    std::memcpy(p + 22, tail, sizeof tail);
    qToLittleEndian<quint16>(reserved, p + 30);
}

GSensorSample GSensorSample::FromBytes(const uint8_t* p) {
    return {qFromLittleEndian<qint16>(p), qFromLittleEndian<qint16>(p + 2),
            qFromLittleEndian<qint16>(p + 4)};
}

void GSensorSample::ToBytes(uint8_t* p) const {
    qToLittleEndian<qint16>(x, p);
    qToLittleEndian<qint16>(y, p + 2);
    qToLittleEndian<qint16>(z, p + 4);
}

bool operator==(const GSensorSample& a, const GSensorSample& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
