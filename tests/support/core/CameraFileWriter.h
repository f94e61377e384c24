#pragma once
// Builds small camera files byte by byte: RIFF AVI chunks, MOV boxes and the
// 88-byte metadata records, so parser tests can show one fault at a time.
#include "recordings/GpsPoint.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace CameraFile {

QByteArray Le16(uint16_t v);
QByteArray Le32(uint32_t v);
QByteArray Be16(uint16_t v);
QByteArray Be32(uint32_t v);
QByteArray Be64(uint64_t v);
QByteArray Zeros(int n);

bool WriteFile(const QString& path, const QByteArray& bytes);

// A GPS record holding only a time (year - 2000; year 0 = no time).
QByteArray GpsRecord(int year, int month, int day, int hour, int minute, int second);

// ---- AVI -------------------------------------------------------------------

QByteArray AviChunk(const char* id, const QByteArray& payload);
// "LIST", size, type, content; sizeDelta is added to the declared size.
QByteArray AviList(const char* type, const QByteArray& content, int64_t sizeDelta = 0);
QByteArray AviMainHeader(uint32_t microsPerFrame, uint32_t frames, const char* reserved = "JTDD");
QByteArray AviVideoStream(uint32_t width, uint32_t height);
// An audio stream list whose format payload is the given bytes.
QByteArray AviAudioStream(const QByteArray& format);

struct AviRecipe {
    uint32_t microsPerFrame = 33366;
    uint32_t frames = 9000;
    const char* marker = "JTDD";
    uint32_t width = 1920;
    uint32_t height = 1080;
    QByteArray beforeMovi; // chunks of the camera's own, placed after "hdrl"
    int moviPayload = 256;
    int64_t moviSizeDelta = 0; // > 0: the list claims more than the file holds
    QByteArray afterMovi;
};
// The file and where "movi" ends in it.
QByteArray BuildAvi(const AviRecipe& recipe, int64_t* moviEnd = nullptr);

// ---- MOV -------------------------------------------------------------------

QByteArray Box(const char* type, const QByteArray& payload);
QByteArray Ftyp();
QByteArray Mvhd(uint32_t created, uint32_t timeScale, uint32_t duration);
QByteArray MvhdVersion1(uint64_t created, uint32_t timeScale, uint64_t duration);
QByteArray Mdhd(uint32_t timeScale, uint32_t duration);
// Handler name is written as a counted string (length byte, then characters).
QByteArray Hdlr(const char* handlerType, const QByteArray& name);
QByteArray Stsd(const char* entryType, uint16_t width, uint16_t height);
// declaredCount < 0: the number of offsets.
QByteArray Stco(const std::vector<uint32_t>& offsets, int64_t declaredCount = -1);

struct MovTrack {
    const char* handlerType = "vide";
    QByteArray handlerName = "JTD_Video";
    const char* sampleEntry = "avc1";
    uint16_t width = 1920;
    uint16_t height = 1080;
    uint32_t timeScale = 90000;
    uint32_t duration = 5400000;
    std::vector<uint32_t> chunkOffsets; // written as "stco" when not empty
};
QByteArray Trak(const MovTrack& track);

// Layout A: ftyp, free, mdat holding the records, moov with mvhd and the
// tracks; a "meta" track gets chunk offsets pointing at the records.
struct MovARecipe {
    uint32_t created = 3708000000u;
    uint32_t timeScale = 1000;
    uint32_t duration = 60000;
    std::vector<MovTrack> tracks{MovTrack{}, MovTrack{"meta", "", "", 0, 0, 1000, 60000, {}}};
    std::vector<QByteArray> records;
    int mdatExtra = 64; // media bytes besides the records
};
QByteArray BuildMovA(const MovARecipe& recipe);

// Layout B: ftyp, the camera boxes, mdat, moov with one track.
struct MovBRecipe {
    QByteArray cameraBoxes; // gpsa, gsea, gps0, gsen, IDIT, skip... in order
    MovTrack video{"vide", "VideoHandler", "avc1", 1280, 720, 90000, 5400000, {}};
    int mdatSize = 128;
};
QByteArray BuildMovB(const MovBRecipe& recipe);
// A "skip" box whose payload ends with the given byte.
QByteArray Skip(uint8_t lastByte, int payloadSize = 16);

// ---- metadata records --------------------------------------------------------

struct MetaRecord {
    int16_t gsensorValid = 0;
    int16_t axis[3] = {0, 0, 0};
    int32_t hour = 0, minute = 0, second = 0;
    int32_t status = 0;
    int32_t latNum = 0, latDen = 1;
    int32_t lonNum = 0, lonDen = 1;
    int32_t speedNum = 0, speedDen = 1;
    int32_t day = 0, month = 0, year = 0;
    uint8_t heading = 0;
};
QByteArray MetadataRecordBytes(const MetaRecord& r);

} // namespace CameraFile
