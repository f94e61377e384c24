#include "recordings/CVelAviParser.h"

#include <QtEndian>
#include <algorithm>

namespace {

constexpr uint32_t Fourcc(const char (&id)[5]) {
    return uint32_t(uint8_t(id[0])) | uint32_t(uint8_t(id[1])) << 8 |
           uint32_t(uint8_t(id[2])) << 16 | uint32_t(uint8_t(id[3])) << 24;
}

constexpr size_t kMainHeaderSize = 56;
constexpr size_t kStreamHeaderSize = 64;
constexpr size_t kBitmapHeaderSize = 40;
constexpr size_t kDateTextSize = 64;

} // namespace

void CVelAviParser::SetInfo(RecordingInfo* target) {
    info = target;
}

int CVelAviParser::Parse(const QString& path) {
    ResetState();
    truncated = false;
    openCount = 0;
    bytesRead = 0;
    if (!OpenFile(path))
        return -1;
    uint8_t header[8];
    if (ReadAt(0, header, sizeof header) < sizeof header ||
        qFromLittleEndian<quint32>(header) != Fourcc("RIFF")) {
        CloseFile();
        return -1;
    }
    Walk();
    CloseFile();
    if (!timeSettled)
        startTime = 0;
    if (width == 0 || height == 0 || durationMs == 0 || truncated || markerFound != 1)
        return -1;
    FillInfo();
    return 0;
}

void CVelAviParser::Walk() {
    uint64_t p = 8;
    auto read32 = [this, &p]() {
        uint8_t b[4];
        ReadAt(p, b, 4);
        p += 4;
        return qFromLittleEndian<quint32>(b);
    };

    while (p < fileLength) {
        const uint32_t token = read32();
        switch (token) {
        case Fourcc("LIST"): {
            const uint32_t size = read32();
            const uint64_t end = p + size;
            const uint32_t type = read32();
            if (type == Fourcc("hdrl") || type == Fourcc("strl") || type == Fourcc("avih"))
                break; // walk into the list
            if (type == Fourcc("movi") && end > fileLength)
                truncated = true;
            p = end; // "movi" is skipped by its size, never read
            break;
        }
        case Fourcc("avih"): {
            const uint32_t size = read32();
            uint8_t h[kMainHeaderSize];
            const size_t n = std::min<size_t>(size, kMainHeaderSize);
            ReadAt(p, h, n);
            std::fill(h + n, h + kMainHeaderSize, 0);
            p += n;
            markerFound = qFromLittleEndian<quint32>(h + 40) == Fourcc("JTDD") ? 1 : 0;
            const uint64_t microsPerFrame = qFromLittleEndian<quint32>(h);
            const uint64_t frames = qFromLittleEndian<quint32>(h + 16);
            durationMs = uint32_t(microsPerFrame * frames / 1000);
            durationSeconds = durationMs / 1000;
            break;
        }
        case Fourcc("strh"): {
            const uint32_t size = read32();
            uint8_t h[kStreamHeaderSize];
            const size_t n = std::min<size_t>(size, kStreamHeaderSize);
            ReadAt(p, h, n);
            std::fill(h + n, h + kStreamHeaderSize, 0);
            p += n;
            const uint32_t streamType = qFromLittleEndian<quint32>(h);
            if (streamType == Fourcc("vids")) {
                if (read32() == Fourcc("strf")) {
                    const uint32_t formatSize = read32();
                    uint8_t f[kBitmapHeaderSize];
                    const size_t m = std::min<size_t>(formatSize, kBitmapHeaderSize);
                    ReadAt(p, f, m);
                    std::fill(f + m, f + kBitmapHeaderSize, 0);
                    p += m;
                    width = uint16_t(qFromLittleEndian<quint32>(f + 4));
                    height = uint16_t(qFromLittleEndian<quint32>(f + 8));
                }
            } else if (streamType == Fourcc("auds")) {
                if (read32() == Fourcc("strf")) {
                    const uint32_t formatSize = read32();
                    p += formatSize;
                }
            }
            break;
        }
        case Fourcc("gps0"): {
            const uint32_t size = read32();
            gpsOffset = p;
            gpsSize = size;
            if (!timeSettled)
                ScanGpsRecords(p, size);
            p += uint64_t(GpsPoint::kSize) * (size / GpsPoint::kSize);
            break;
        }
        case Fourcc("gsen"): {
            const uint32_t size = read32();
            gsensorOffset = p;
            gsensorSize = size;
            p += 3 * uint64_t(size / 3);
            break;
        }
        case Fourcc("gpsa"):
        case Fourcc("gsea"): {
            const uint32_t size = read32();
            ReadAt(p, token == Fourcc("gpsa") ? gpsParams.data() : gsensorParams.data(), 4);
            p += size;
            break;
        }
        case Fourcc("IDIT"): {
            timeSettled = true;
            const uint32_t size = read32();
            if (size < fileLength) {
                char text[kDateTextSize];
                ReadAt(p, text, std::min<size_t>(size, kDateTextSize));
                ApplyDateText(text, std::min<size_t>(size, kDateTextSize));
                p += size;
            }
            break;
        }
        case Fourcc("idx1"):
        case Fourcc("JUNK"):
        case Fourcc("indx"): {
            const uint32_t size = read32();
            p += size;
            break;
        }
        default:
            break; // skipped four bytes at a time
        }
    }
}
