#include "tools/synth/TrackRecords.h"

#include "tools/synth/ChunkRecords.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace synth {
namespace {

void PutInt16(QByteArray& r, int offset, int16_t v) {
    qToLittleEndian<qint16>(v, r.data() + offset);
}
void PutInt32(QByteArray& r, int offset, int32_t v) {
    qToLittleEndian<qint32>(v, r.data() + offset);
}

int32_t Numerator(double value) {
    return int32_t(std::lround(value * kFractionDenominator));
}

} // namespace

double DecodedDegrees(int32_t numerator, int32_t denominator) {
    const double v = double(float(numerator) / float(denominator));
    const int64_t d = int64_t(v) / 100;
    return (v / 100 - double(d)) * 100 / 60 + double(d);
}

int ViewerZoneHours(double latitude, double longitude) {
    if ((latitude >= 17.9 && latitude <= 50 && longitude >= 75 && longitude <= 125) ||
        (latitude >= 41.5 && latitude <= 50 && longitude >= 125 && longitude <= 135))
        return 8;
    const double t = longitude > 0.000001 ? longitude + 0.5 : 0.5 - longitude;
    const int n = int(t);
    int z = n / 15;
    if (n % 15 > 7.5)
        ++z;
    if (!(longitude > 0))
        z = -z;
    return std::clamp(z, -12, 13);
}

QByteArray TrackRecord(const Fix* fix, const GSensorSample* sample, const QDateTime& wallClock) {
    QByteArray r(kTrackRecordSize, '\0');
    if (sample) {
        PutInt16(r, 6, 1);
        PutInt16(r, 8, sample->x);
        PutInt16(r, 10, sample->y);
        PutInt16(r, 12, sample->z);
    }
    if (!fix)
        return r;

    const int32_t latNum = Numerator(ToNmea(fix->latitude));
    const int32_t lonNum = Numerator(ToNmea(fix->longitude));
    PutInt32(r, 32, fix->flags);
    PutInt32(r, 36, latNum);
    PutInt32(r, 40, kFractionDenominator);
    PutInt32(r, 44, lonNum);
    PutInt32(r, 48, kFractionDenominator);
    // Half a km/h on top keeps the viewer's truncation on the intended value.
    const double knots = fix->speedKmh > 0 ? (fix->speedKmh + 4.5) / 1.852 : 0.0;
    PutInt32(r, 52, Numerator(knots));
    PutInt32(r, 56, kFractionDenominator);
    r[80] = char(HeadingUnits(fix->headingDegrees));

    if (fix->timed) {
        const int zone = ViewerZoneHours(DecodedDegrees(latNum, kFractionDenominator),
                                         DecodedDegrees(lonNum, kFractionDenominator));
        // The wall-clock fields taken as UTC, so that only the zone shifts them.
        const QDateTime utc =
            QDateTime(wallClock.date(), wallClock.time(), Qt::UTC).addSecs(-3600 * zone);
        PutInt32(r, 16, utc.time().hour());
        PutInt32(r, 20, utc.time().minute());
        PutInt32(r, 24, utc.time().second());
        PutInt32(r, 68, utc.date().day());
        PutInt32(r, 72, utc.date().month());
        PutInt32(r, 76, utc.date().year() - 2000);
    }
    return r;
}

QByteArray TrackRecords(const RecordingRecipe& recipe, int* count) {
    const size_t n = std::max(recipe.fixes.size(), recipe.gsensor.size());
    QByteArray all;
    all.reserve(int(n) * kTrackRecordSize);
    for (size_t i = 0; i < n; ++i) {
        const Fix* fix = i < recipe.fixes.size() ? &recipe.fixes[i] : nullptr;
        const GSensorSample* sample = i < recipe.gsensor.size() ? &recipe.gsensor[i] : nullptr;
        all += TrackRecord(fix, sample, RecordTime(recipe.start, int(i), kTrackRecordRate));
    }
    if (count)
        *count = int(n);
    return all;
}

} // namespace synth
