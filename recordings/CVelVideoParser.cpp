#include "recordings/CVelVideoParser.h"

#include "recordings/LocalTimeText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

void CVelVideoParser::SetInfo(RecordingInfo*) {}

int CVelVideoParser::Parse(const QString&) {
    return 0;
}

void CVelVideoParser::ResetState() {
    startTime = 0;
    durationSeconds = 0;
    durationMs = 0;
    gpsOffset = 0;
    gpsSize = 0;
    width = 0;
    height = 0;
    gsensorOffset = 0;
    gsensorSize = 0;
    gpsParams = {};
    gsensorParams = {};
    markerFound = 0;
    timeSettled = false;
}

void CVelVideoParser::UseOpenFile(int descriptor, uint64_t size, const QByteArray& head) {
    givenFd = descriptor;
    givenSize = size;
    givenHead = head;
}

bool CVelVideoParser::OpenFile(const QString& path) {
    ++openCount;
    bool opened = givenFd >= 0;
    if (opened)
        file.Borrow(givenFd, givenSize, givenHead);
    else
        opened = file.Open(path);
    givenFd = -1;
    givenHead.clear();
    fileLength = file.Length();
    return opened;
}

void CVelVideoParser::CloseFile() {
    if (file.IsOpen()) {
        bytesRead += file.BytesRead();
        readCount += file.ReadCount();
    }
    file.Close();
}

void CVelVideoParser::ApplyDateText(const char* text, size_t length) {
    char buffer[65] = {};
    std::memcpy(buffer, text, std::min<size_t>(length, 64));
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    const int fields = std::sscanf(buffer, "%04d-%02d-%02d %02d:%02d:%02d", &year, &month, &day,
                                   &hour, &minute, &second);
    const bool valid = fields == 6 && year >= 1970 && month >= 1 && month <= 12 && day >= 1 &&
                       day <= 31 && hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 &&
                       second >= 0 && second <= 59;
    if (!valid) {
        timeSettled = false;
        return;
    }
    startTime = LocalToTime(year, month, day, hour, minute, second);
}

void CVelVideoParser::ScanGpsRecords(uint64_t payloadStart, uint64_t payloadSize) {
    const uint64_t count = payloadSize / GpsPoint::kSize;
    // Records past the end of the file read as zero and hold no time, so the
    // search stops there.
    const uint64_t inFile = payloadStart < fileLength ? fileLength - payloadStart : 0;
    const uint64_t searched = std::min(count, (inFile + GpsPoint::kSize - 1) / GpsPoint::kSize);
    constexpr size_t kBatch = 128;
    uint8_t buffer[kBatch * GpsPoint::kSize];
    for (uint64_t first = 0; first < searched && !timeSettled; first += kBatch) {
        const uint64_t n = std::min<uint64_t>(kBatch, searched - first);
        ReadAt(payloadStart + first * GpsPoint::kSize, buffer, size_t(n * GpsPoint::kSize));
        for (uint64_t k = 0; k < n; ++k) {
            const uint8_t* t = buffer + k * GpsPoint::kSize + 22;
            const int year = t[0], month = t[1], day = t[2];
            const int hour = t[3], minute = t[4], second = t[5];
            if (year == 0 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 ||
                minute > 59 || second > 59)
                continue;
            const uint64_t rate = gpsParams[0] ? gpsParams[0] : 1;
            const uint64_t index = first + k;
            startTime =
                LocalToTime(2000 + year, month, day, hour, minute, second) - int64_t(index / rate);
            timeSettled = true;
            break;
        }
    }
}

void CVelVideoParser::FillInfo() const {
    if (!info)
        return;
    info->gpsOffset = gpsOffset;
    info->gpsSize = gpsSize;
    info->gsensorOffset = gsensorOffset;
    info->gsensorSize = gsensorSize;
    info->width = width;
    info->height = height;
    // Everything downstream adds to, multiplies and formats the start time; a
    // damaged header's value (year 9999, or billions of years back) would
    // overflow there or show as nonsense, so it becomes "unknown".
    constexpr int64_t kYear2100 = 4102444800;
    info->startTime = startTime >= 0 && startTime < kYear2100 ? startTime : 0;
    info->durationSeconds = durationSeconds;
    info->fileSize = fileLength;
    info->durationMs = durationMs;
    info->gpsParams = gpsParams;
    info->gsensorParams = gsensorParams;
}
