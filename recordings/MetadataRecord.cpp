#include "recordings/MetadataRecord.h"

#include "platform/RegularFile.h"
#include "recordings/NmeaCoordinates.h"
#include "recordings/RangeReads.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

namespace MetadataRecord {

namespace {

int32_t I32(const uint8_t* record, size_t offset) {
    return qFromLittleEndian<qint32>(record + offset);
}

int16_t I16(const uint8_t* record, size_t offset) {
    return qFromLittleEndian<qint16>(record + offset);
}

// numerator / denominator as the camera's firmware divides them (single
// precision); no value when the denominator is 0.
std::optional<double> Fraction(const uint8_t* record, size_t offset) {
    const int32_t denominator = I32(record, offset + 4);
    if (denominator == 0)
        return std::nullopt;
    return double(float(I32(record, offset)) / float(denominator));
}

bool InBox(double latitude, double longitude, double latLow, double latHigh, double lonLow,
           double lonHigh) {
    return latitude >= latLow && latitude <= latHigh && longitude >= lonLow && longitude <= lonHigh;
}

} // namespace

uint16_t KnotsToSpeed(double knots) {
    if (!std::isfinite(knots) || std::fabs(knots) >= 4e18)
        return 0;
    const uint16_t s = uint16_t(int64_t(knots * 1.852));
    return s > 4 ? uint16_t(s - 4) : 0;
}

int TimeZoneHours(double latitude, double longitude) {
    if (InBox(latitude, longitude, 17.9, 50, 75, 125) ||
        InBox(latitude, longitude, 41.5, 50, 125, 135))
        return 8;
    const double t = longitude > 0.000001 ? longitude + 0.5 : 0.5 - longitude;
    if (!std::isfinite(t) || t >= 9e18)
        return longitude > 0 ? 13 : -12;
    const int64_t n = int64_t(t);
    int64_t z = n / 15;
    if (n % 15 > 7.5)
        ++z;
    if (longitude <= 0)
        z = -z;
    // Far outside any real longitude; clamped again where it is applied.
    return int(std::max<int64_t>(-1000, std::min<int64_t>(1000, z)));
}

bool IsLeapYear(int y) {
    return y % 400 == 0 || (y % 4 == 0 && y % 100 != 0);
}

bool operator==(const DateTime& a, const DateTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

namespace {

void NextDay(DateTime& d) {
    const bool shortMonth = d.month == 4 || d.month == 6 || d.month == 9 || d.month == 11;
    if (d.month == 2) {
        if ((d.day == 28 && !IsLeapYear(d.year)) || d.day == 29) {
            d.month = 3;
            d.day = 1;
        } else {
            ++d.day;
        }
    } else if ((shortMonth && d.day == 30) || d.day == 31) {
        d.day = 1;
        if (d.month == 12) {
            d.month = 1;
            ++d.year;
        } else {
            ++d.month;
        }
    } else {
        ++d.day;
    }
}

void PreviousDay(DateTime& d) {
    if (d.day != 1) {
        --d.day;
        return;
    }
    switch (d.month) {
    case 1:
        d.month = 12;
        d.day = 31;
        --d.year;
        break;
    case 3:
        d.month = 2;
        d.day = IsLeapYear(d.year) ? 29 : 28;
        break;
    case 5:
    case 7:
    case 10:
    case 12:
        --d.month;
        d.day = 30;
        break;
    default:
        if (d.month >= 2 && d.month <= 11) {
            --d.month;
            d.day = 31;
        }
        break; // a month outside 1..12 stays
    }
}

} // namespace

DateTime ShiftHours(DateTime d, int zoneHours) {
    const int z = std::max(-12, std::min(13, zoneHours));
    const int h = d.hour + z;
    if (h >= 24) {
        d.hour = h - 24;
        NextDay(d);
    } else if (h < 0) {
        d.hour = h + 24;
        PreviousDay(d);
    } else {
        d.hour = h;
    }
    return d;
}

Decoded Decode(const uint8_t* r) {
    Decoded out;
    const uint8_t status = r[32];
    if (status != 0) {
        GpsPoint point;
        point.flags = status;
        const std::optional<double> latitude = Fraction(r, 36);
        const std::optional<double> longitude = Fraction(r, 44);
        const std::optional<double> knots = Fraction(r, 52);
        // Without both coordinates the point has no usable position.
        if (!latitude || !longitude)
            point.flags &= uint8_t(~GpsPoint::kFixFlag);
        point.latitude = latitude ? NmeaToDegrees(*latitude) : 0.0;
        point.longitude = longitude ? NmeaToDegrees(*longitude) : 0.0;
        point.speed = knots ? KnotsToSpeed(*knots) : 0;

        DateTime utc;
        utc.year = r[76];
        utc.month = r[72];
        utc.day = r[68];
        utc.hour = r[16];
        utc.minute = r[20];
        utc.second = r[24];
        if (utc.year != 0 && utc.month != 0 && utc.day != 0) {
            const DateTime local = ShiftHours(utc, TimeZoneHours(point.latitude, point.longitude));
            point.year = uint8_t(local.year);
            point.month = uint8_t(local.month);
            point.day = uint8_t(local.day);
            point.hour = uint8_t(local.hour);
            point.minute = uint8_t(local.minute);
            point.second = uint8_t(local.second);
        }
        point.heading = r[80];
        out.point = point;
    }
    if (I16(r, 6) != 0)
        out.sample = GSensorSample{I16(r, 8), I16(r, 10), I16(r, 12)};
    return out;
}

uint64_t MaxRecords(uint64_t fileLength, uint32_t durationMs) {
    const uint64_t inFile = fileLength / kSize;
    // Twice the camera's rate over the duration and one more minute.
    const uint64_t byDuration = (uint64_t(durationMs) / 1000 + 60) * kRecordsPerSecond * 2;
    return std::min({inFile, byDuration, kDayOfRecords});
}

namespace {

void Append(const uint8_t* record, std::vector<GpsPoint>* points,
            std::vector<GSensorSample>* samples) {
    const Decoded d = Decode(record);
    if (d.point)
        points->push_back(*d.point);
    if (d.sample)
        samples->push_back(*d.sample);
}

// Records lie one after the other in the media data, or close together, or
// (as a camera writes them, between the video's chunks) far apart. They are
// read in runs, one read for as many records as lie within kLargestRead
// bytes of the first, as long as no gap between two of them exceeds
// kLargestGap; the runs are read in batches of at most kBatchBytes, the
// reads of a batch handed to the kernel at once. Bytes past the end of the
// file read as zero.
constexpr uint64_t kLargestRead = 1 << 20;
constexpr uint64_t kLargestGap = 16 << 10;
constexpr uint64_t kBatchBytes = 4 << 20;

// Calls take(k, record) for each record of entries sorted by offset, in
// that order.
template <typename Take>
void ReadSorted(int fd, uint64_t fileLength, const std::vector<MetaChunkEntry>& sorted, Take take) {
    struct Run {
        size_t first; // index into sorted
        size_t count;
        uint64_t at; // offset into the batch's bytes
    };
    static const uint8_t kZeros[kSize] = {};
    // Zeroed, so its pages are touched before the kernel copies into them:
    // reads into fresh pages measured slower than the zero fill costs.
    std::vector<uint8_t> bytes;
    std::vector<Run> runs;
    std::vector<RangeReads::Range> ranges;
    size_t k = 0;
    while (k < sorted.size()) {
        runs.clear();
        ranges.clear();
        uint64_t batch = 0;
        size_t next = k;
        for (; next < sorted.size() && batch < kBatchBytes;) {
            const uint64_t offset = sorted[next].fileOffset;
            if (offset >= fileLength) {
                // Past the end: this record and every one after it is zeros.
                break;
            }
            uint64_t end = offset + kSize;
            size_t j = next + 1;
            for (; j < sorted.size(); ++j) {
                const uint64_t o = sorted[j].fileOffset;
                if (o >= fileLength || o > end + kLargestGap || o + kSize - offset > kLargestRead)
                    break;
                end = std::max(end, o + kSize);
            }
            runs.push_back(Run{next, j - next, batch});
            ranges.push_back(RangeReads::Range{offset, size_t(end - offset), nullptr});
            batch += end - offset;
            next = j;
        }
        if (runs.empty()) {
            for (; k < sorted.size(); ++k)
                take(k, kZeros);
            return;
        }
        if (bytes.size() < batch)
            bytes.resize(batch);
        for (size_t r = 0; r < runs.size(); ++r)
            ranges[r].into = bytes.data() + runs[r].at;
        RangeReads::Read(fd, fileLength, ranges);
        for (size_t r = 0; r < runs.size(); ++r) {
            const uint8_t* run = bytes.data() + runs[r].at;
            for (size_t i = runs[r].first; i < runs[r].first + runs[r].count; ++i)
                take(i, run + (sorted[i].fileOffset - ranges[r].offset));
        }
        k = next;
    }
}

} // namespace

bool DecodeAll(QFile& reader, const QString& path, const std::vector<MetaChunkEntry>& chunks,
               std::vector<GpsPoint>* points, std::vector<GSensorSample>* samples) {
    reader.close();
    reader.setFileName(path);
    if (!RegularFile::Open(reader, QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        (void)reader.errorString();
        return false;
    }
    const int fd = reader.handle();
    const uint64_t length = uint64_t(std::max<qint64>(reader.size(), 0));
    const auto byOffset = [](const MetaChunkEntry& a, const MetaChunkEntry& b) {
        return a.fileOffset < b.fileOffset;
    };
    if (std::is_sorted(chunks.begin(), chunks.end(), byOffset)) {
        ReadSorted(fd, length, chunks,
                   [&](size_t, const uint8_t* record) { Append(record, points, samples); });
    } else {
        // A table out of file order would cost one read per record: the
        // records are read in file order, in runs, and decoded in table order.
        std::vector<size_t> order(chunks.size());
        std::iota(order.begin(), order.end(), size_t(0));
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return chunks[a].fileOffset < chunks[b].fileOffset;
        });
        std::vector<MetaChunkEntry> sorted;
        sorted.reserve(chunks.size());
        for (size_t i : order)
            sorted.push_back(chunks[i]);
        std::vector<uint8_t> records(chunks.size() * kSize);
        ReadSorted(fd, length, sorted, [&](size_t k, const uint8_t* record) {
            std::memcpy(records.data() + order[k] * kSize, record, kSize);
        });
        for (size_t i = 0; i < chunks.size(); ++i)
            Append(records.data() + i * kSize, points, samples);
    }
    reader.close();
    return true;
}

} // namespace MetadataRecord
