#include "recordings/CVelAviParser.h"

#include <QtEndian>
#include <algorithm>
#include <vector>

namespace {

constexpr uint32_t Fourcc(const char (&id)[5]) {
    return uint32_t(uint8_t(id[0])) | uint32_t(uint8_t(id[1])) << 8 |
           uint32_t(uint8_t(id[2])) << 16 | uint32_t(uint8_t(id[3])) << 24;
}

constexpr size_t kMainHeaderSize = 56;
constexpr size_t kStreamHeaderSize = 64;
constexpr size_t kBitmapHeaderSize = 40;
constexpr size_t kDateTextSize = 64;

// The tokens the walk acts on; every other one is stepped over.
bool IsWalkToken(uint32_t token) {
    switch (token) {
    case Fourcc("LIST"):
    case Fourcc("avih"):
    case Fourcc("strh"):
    case Fourcc("gps0"):
    case Fourcc("gsen"):
    case Fourcc("gpsa"):
    case Fourcc("gsea"):
    case Fourcc("IDIT"):
    case Fourcc("idx1"):
    case Fourcc("JUNK"):
    case Fourcc("indx"):
        return true;
    default:
        return false;
    }
}

// Steps over this many unknown tokens one read at a time before the rest of
// a run of them is searched in large reads; camera files have short runs.
constexpr int kStepsBeforeSearch = 32;
constexpr size_t kFirstSearchRead = 64 << 10;
constexpr size_t kLargestSearchRead = 1 << 20;
// Outside the skipped "movi" list a camera writes a few KiB between known
// tokens; this much data read without one is damage (zeros, noise), and the
// walk ends there as it would at the end of the file, instead of reading
// gigabytes.
constexpr uint64_t kGiveUpAfter = 16 << 20;

} // namespace

void CVelAviParser::SetInfo(RecordingInfo* target) {
    info = target;
}

int CVelAviParser::Parse(const QString& path) {
    ResetState();
    truncated = false;
    openCount = 0;
    bytesRead = 0;
    readCount = 0;
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

uint64_t CVelAviParser::NextWalkToken(uint64_t p) {
    std::vector<uint8_t> buffer;
    size_t want = kFirstSearchRead;
    uint64_t searched = 0; // holes of a sparse file cost nothing and count nothing
    while (p < fileLength) {
        if (searched >= kGiveUpAfter)
            return fileLength;
        // Zeros are no token: the holes of a sparse file are passed whole,
        // to the first step whose four bytes reach into the data after them.
        const uint64_t data = NextDataAt(p);
        if (data >= fileLength)
            break;
        if (data > p + 3)
            p += (data - p) / 4 * 4;
        const size_t n = size_t(std::min<uint64_t>(want, fileLength - p)) / 4 * 4;
        if (n == 0)
            break; // a last token cut short by the end holds a zero, no token
        buffer.resize(n);
        const size_t got = ReadAt(p, buffer.data(), n) / 4 * 4;
        if (got == 0)
            break;
        for (size_t at = 0; at < got; at += 4)
            if (IsWalkToken(qFromLittleEndian<quint32>(buffer.data() + at)))
                return p + at;
        p += got;
        searched += got;
        want = std::min(want * 2, kLargestSearchRead);
    }
    // Where the step-by-step walk would have ended.
    return p < fileLength ? p + (fileLength - p + 3) / 4 * 4 : p;
}

void CVelAviParser::Walk() {
    uint64_t p = 8;
    int unknownSteps = 0;
    auto read32 = [this, &p]() {
        uint8_t b[4];
        ReadAt(p, b, 4);
        p += 4;
        return qFromLittleEndian<quint32>(b);
    };

    while (p < fileLength) {
        const uint32_t token = read32();
        if (IsWalkToken(token))
            unknownSteps = 0;
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
            durationMs = uint32_t(std::min<uint64_t>(microsPerFrame * frames / 1000, UINT32_MAX));
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
            // Skipped four bytes at a time; a long run of such steps (damaged
            // or zero-filled data) is searched for the next token in bulk.
            if (++unknownSteps >= kStepsBeforeSearch) {
                p = NextWalkToken(p);
                unknownSteps = 0;
            }
            break;
        }
    }
}
