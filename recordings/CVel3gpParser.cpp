#include "recordings/CVel3gpParser.h"

#include "platform/LogCategories.h"
#include "recordings/MetadataRecord.h"

#include <QtEndian>
#include <algorithm>
#include <ctime>

namespace {

// Box types compared as they stand in the file (big-endian reading).
constexpr uint32_t Type(const char (&id)[5]) {
    return uint32_t(uint8_t(id[0])) << 24 | uint32_t(uint8_t(id[1])) << 16 |
           uint32_t(uint8_t(id[2])) << 8 | uint32_t(uint8_t(id[3]));
}

constexpr int64_t kSeconds1904To1970 = 2082844800;
constexpr size_t kDateTextSize = 64;

} // namespace

void CVel3gpParser::SetInfo(RecordingInfo* target) {
    info = target;
}

uint32_t CVel3gpParser::ReadU32(uint64_t pos) {
    uint8_t b[4];
    ReadAt(pos, b, 4);
    return qFromBigEndian<quint32>(b);
}

bool CVel3gpParser::ReadBox(uint64_t pos, Box* box) {
    uint8_t h[16];
    if (ReadAt(pos, h, 8) < 8)
        return false;
    const uint32_t size = qFromBigEndian<quint32>(h);
    box->start = pos;
    box->type = qFromBigEndian<quint32>(h + 4);
    if (size == 1) {
        if (ReadAt(pos + 8, h + 8, 8) < 8)
            return false;
        const uint64_t extended = qFromBigEndian<quint64>(h + 8);
        // Too small to hold its header, or so large that its end wraps around.
        if (extended < 16 || extended > UINT64_MAX - pos)
            return false;
        box->payloadStart = pos + 16;
        box->payloadSize = extended - 16;
        return true;
    }
    // Below 8 (0 included) a box cannot hold its own header: moving past it
    // would go backwards or stay, so it ends the walk.
    if (size < 8)
        return false;
    box->payloadStart = pos + 8;
    box->payloadSize = size - 8;
    return true;
}

bool CVel3gpParser::FindChildOf(uint32_t type, uint32_t otherType, uint64_t start, uint64_t limit,
                                Box* found) {
    uint64_t pos = start;
    uint64_t total = 0;
    Box box;
    while (total < limit && ReadBox(pos, &box)) {
        const uint64_t boxSize = box.payloadStart - box.start + box.payloadSize;
        if (box.type == type || box.type == otherType) {
            // A child reaching out of its parent is not one: otherwise crafted
            // boxes can share their contents, and the tables found through
            // them grow without bound.
            if (boxSize > limit - total)
                return false;
            *found = box;
            return true;
        }
        total += boxSize;
        pos += boxSize;
    }
    return false;
}

bool CVel3gpParser::FindChild(uint32_t type, uint64_t start, uint64_t limit, Box* found) {
    return FindChildOf(type, type, start, limit, found);
}

bool CVel3gpParser::FindSampleEntry(uint64_t start, uint64_t limit, Box* found) {
    return FindChildOf(Type("avc1"), Type("hvc1"), start, limit, found);
}

bool CVel3gpParser::FindPath(std::initializer_list<uint32_t> types, uint64_t start, uint64_t limit,
                             Box* found) {
    Box box;
    for (uint32_t type : types) {
        if (!FindChild(type, start, limit, &box))
            return false;
        start = box.payloadStart;
        limit = box.payloadSize;
    }
    *found = box;
    return true;
}

void CVel3gpParser::Probe() {
    uint64_t pos = 0;
    Box box;
    while (pos < fileLength && ReadBox(pos, &box)) {
        if (box.type == Type("thm ") || box.type == Type("free")) {
            layout = kLayoutMetadataTrack;
            break;
        }
        if (box.type == Type("IDIT") || box.type == Type("skip")) {
            layout = kLayoutCameraBoxes;
            break;
        }
        pos = box.payloadStart + box.payloadSize;
    }
}

int CVel3gpParser::Parse(const QString& path) {
    openCount = 0;
    bytesRead = 0;
    readCount = 0;
    layout = kNoLayout;
    // One open for the probe and the walk: what the one read serves the other.
    if (!OpenFile(path))
        return -1;
    Probe();
    int result = -1;
    if (layout == kLayoutMetadataTrack)
        result = WalkMetadataTrackLayout();
    else if (layout == kLayoutCameraBoxes)
        result = WalkCameraBoxLayout();
    CloseFile();
    return result;
}

bool CVel3gpParser::CheckFtyp(uint64_t* p) {
    ResetState();
    videoMarker = false;
    metaChunks.clear();
    tableEntriesSeen = 0;
    Box first;
    if (!ReadBox(0, &first) || first.type != Type("ftyp"))
        return false;
    *p = first.payloadStart + first.payloadSize;
    return true;
}

void CVel3gpParser::ReadMediaDuration(const Box& header) {
    uint8_t h[32];
    ReadAt(header.payloadStart, h, sizeof h);
    uint64_t timeScale = 0, duration = 0;
    if (h[0] == 1) { // 64-bit times
        timeScale = qFromBigEndian<quint32>(h + 20);
        duration = qFromBigEndian<quint64>(h + 24);
    } else {
        timeScale = qFromBigEndian<quint32>(h + 12);
        duration = qFromBigEndian<quint32>(h + 16);
    }
    if (timeScale == 0)
        return; // no usable duration
    // 64-bit durations could overflow the product; divide first for those.
    const uint64_t ms = duration <= UINT64_MAX / 1000
                            ? duration * 1000 / timeScale
                            : duration / timeScale * 1000 + duration % timeScale * 1000 / timeScale;
    // A duration beyond 49 days does not fit; it is kept at the largest one.
    durationMs = uint32_t(std::min<uint64_t>(ms, UINT32_MAX));
}

void CVel3gpParser::ReadVideoSize(const Box& moov, bool anySampleEntry) {
    // The first track normally is the video; a track without a video sample
    // entry (a metadata track written first) is passed over.
    const uint64_t moovEnd = moov.payloadStart + moov.payloadSize;
    Box trak;
    for (uint64_t from = moov.payloadStart;
         from < moovEnd && FindChild(Type("trak"), from, moovEnd - from, &trak);
         from = trak.payloadStart + trak.payloadSize) {
        Box stsd;
        if (!FindPath({Type("mdia"), Type("minf"), Type("stbl"), Type("stsd")}, trak.payloadStart,
                      trak.payloadSize, &stsd))
            continue;
        uint8_t head[8];
        ReadAt(stsd.payloadStart, head, sizeof head);
        if (std::all_of(head, head + 8, [](uint8_t b) { return b == 0; }))
            continue;
        // The entries follow the 8 bytes just tested and end with the "stsd" box.
        const uint64_t start = stsd.payloadStart + 8;
        const uint64_t limit = stsd.payloadSize > 8 ? stsd.payloadSize - 8 : 0;
        Box entry;
        const bool found = anySampleEntry ? FindSampleEntry(start, limit, &entry)
                                          : FindChild(Type("avc1"), start, limit, &entry);
        if (!found)
            continue;
        uint8_t size[4];
        ReadAt(entry.payloadStart + 24, size, sizeof size);
        width = qFromBigEndian<quint16>(size);
        height = qFromBigEndian<quint16>(size + 2);
        return;
    }
}

void CVel3gpParser::HoldWhole(const Box& box) {
    file.Hold(box.start, box.payloadStart - box.start + box.payloadSize);
}

void CVel3gpParser::ProcessMoovMetadataTrack(const Box& moov) {
    HoldWhole(moov);
    Box mvhd;
    if (FindPath({Type("mvhd")}, moov.payloadStart, moov.payloadSize, &mvhd))
        ReadMediaDuration(mvhd);

    const uint64_t moovEnd = moov.payloadStart + moov.payloadSize;
    Box trak;
    uint64_t from = moov.payloadStart;
    while (from < moovEnd && FindChild(Type("trak"), from, moovEnd - from, &trak)) {
        from = trak.payloadStart + trak.payloadSize;
        Box hdlr;
        if (!FindPath({Type("mdia"), Type("hdlr")}, trak.payloadStart, trak.payloadSize, &hdlr))
            continue;
        const uint32_t handler = ReadU32(hdlr.payloadStart + 8);
        if (handler == Type("vide")) {
            videoMarker = ReadU32(hdlr.payloadStart + 25) == Type("JTD_");
        } else if (handler == Type("meta") && videoMarker && info) {
            Box stco;
            if (!FindPath({Type("mdia"), Type("minf"), Type("stbl"), Type("stco")},
                          trak.payloadStart, trak.payloadSize, &stco))
                continue;
            // The count is trusted only as far as the box holds entries, and
            // only as far as the recording can hold records: an entry whose
            // record does not lie inside the file is no record.
            const uint64_t declared = ReadU32(stco.payloadStart + 4);
            const uint64_t room = stco.payloadSize > 8 ? (stco.payloadSize - 8) / 4 : 0;
            const uint64_t tableStart = stco.payloadStart + 8;
            const uint64_t inFile = tableStart < fileLength ? (fileLength - tableStart + 3) / 4 : 0;
            const uint64_t budget = MetadataRecord::MaxRecords(fileLength, durationMs);
            const uint64_t left = budget > tableEntriesSeen ? budget - tableEntriesSeen : 0;
            const uint64_t examined = std::min({declared, room, inFile, left});
            tableEntriesSeen += examined;
            metaChunks.reserve(metaChunks.size() + examined);
            uint8_t buffer[4096];
            for (uint64_t i = 0; i < examined;) {
                const uint64_t n = std::min<uint64_t>(sizeof buffer / 4, examined - i);
                ReadAt(tableStart + 4 * i, buffer, size_t(4 * n));
                for (uint64_t k = 0; k < n; ++k, ++i) {
                    const uint64_t offset = qFromBigEndian<quint32>(buffer + 4 * k);
                    if (offset <= fileLength && fileLength - offset >= MetadataRecord::kSize)
                        metaChunks.push_back({uint32_t(i), offset});
                }
            }
        }
    }

    if (videoMarker && FindPath({Type("mvhd")}, moov.payloadStart, moov.payloadSize, &mvhd)) {
        uint8_t h[12];
        ReadAt(mvhd.payloadStart, h, sizeof h);
        const uint64_t created =
            h[0] == 1 ? qFromBigEndian<quint64>(h + 4) : qFromBigEndian<quint32>(h + 4);
        const std::time_t t = std::time_t(int64_t(created - uint64_t(kSeconds1904To1970)));
        // Only for the diagnostics: mktime would stat the zone file per recording.
        std::tm local{};
        if (lcDiag().isDebugEnabled() && localtime_r(&t, &local)) {
            char text[32] = {};
            std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
            qCDebug(lcDiag, "%lld: %s", static_cast<long long>(std::mktime(&local)), text);
        }
        startTime = int64_t(t);
    }

    ReadVideoSize(moov, true);
}

int CVel3gpParser::WalkMetadataTrackLayout() {
    uint64_t p = 0;
    if (!CheckFtyp(&p))
        return -1;
    Box box;
    while (p < fileLength && ReadBox(p, &box)) {
        switch (box.type) {
        case Type("thm "):
        case Type("free"):
        case Type("ftyp"):
        case Type("mdat"):
            p = box.payloadStart + box.payloadSize;
            break;
        case Type("moov"):
            ProcessMoovMetadataTrack(box);
            p = box.payloadStart + box.payloadSize;
            break;
        default:
            p = box.payloadStart;
            break; // its content is read as boxes
        }
    }
    if (!videoMarker || width == 0 || height == 0 || durationMs == 0) {
        width = 0;
        height = 0;
        durationMs = 0;
        return -1;
    }
    FillInfo();
    if (info) {
        info->variant = kMetadataTrackVariant;
        info->gpsParams = {5, 0, 0, 0};
        info->gsensorParams = {5, 8, 2, 1};
        if (info->metaChunks.empty())
            info->metaChunks = std::move(metaChunks);
        else
            info->metaChunks.insert(info->metaChunks.end(), metaChunks.begin(), metaChunks.end());
    }
    return 0;
}

void CVel3gpParser::ProcessMoovCameraBoxes(const Box& moov) {
    HoldWhole(moov);
    Box mdhd;
    if (FindPath({Type("trak"), Type("mdia"), Type("mdhd")}, moov.payloadStart, moov.payloadSize,
                 &mdhd))
        ReadMediaDuration(mdhd);
    ReadVideoSize(moov, false);
}

int CVel3gpParser::WalkCameraBoxLayout() {
    uint64_t p = 0;
    if (!CheckFtyp(&p))
        return -1;
    Box box;
    while (p < fileLength && ReadBox(p, &box)) {
        const uint64_t next = box.payloadStart + box.payloadSize;
        switch (box.type) {
        case Type("skip"): {
            // The last payload byte; an empty or cut-off box cannot show the marker.
            uint8_t last = 1;
            if (box.payloadSize == 0 || ReadAt(next - 1, &last, 1) != 1)
                last = 1;
            markerFound = last == 0 ? 1 : 0;
            p = next;
            break;
        }
        case Type("moov"):
            ProcessMoovCameraBoxes(box);
            p = box.payloadStart; // the boxes inside are passed over one by one
            break;
        case Type("gps0"):
            gpsOffset = box.payloadStart;
            gpsSize = uint32_t(box.payloadSize);
            if (!timeSettled)
                ScanGpsRecords(box.payloadStart, box.payloadSize);
            p = next; // the box's size is authoritative, whatever it holds
            break;
        case Type("gsen"):
            gsensorOffset = box.payloadStart;
            gsensorSize = uint32_t(box.payloadSize);
            p = next;
            break;
        case Type("gpsa"):
        case Type("gsea"):
            ReadAt(box.payloadStart,
                   box.type == Type("gpsa") ? gpsParams.data() : gsensorParams.data(), 4);
            p = next;
            break;
        case Type("IDIT"): {
            timeSettled = true;
            char text[kDateTextSize];
            const size_t n = size_t(std::min<uint64_t>(box.payloadSize, kDateTextSize));
            ReadAt(box.payloadStart, text, n);
            ApplyDateText(text, n);
            p = next;
            break;
        }
        default:
            p = next;
            break; // "mdat" and anything else: skipped by size
        }
    }
    if (!timeSettled)
        startTime = 0;
    if (width == 0 || height == 0 || durationMs == 0) {
        width = 0;
        height = 0;
        durationMs = 0;
        return -1;
    }
    if (markerFound == 0)
        return -1;
    FillInfo();
    if (info)
        info->variant = kChunkVariant;
    return 0;
}
