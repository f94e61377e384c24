#include "CameraFileWriter.h"

#include <QFile>
#include <QtEndian>
#include <cstring>

namespace CameraFile {

QByteArray Le16(uint16_t v) {
    char b[2];
    qToLittleEndian(v, b);
    return QByteArray(b, 2);
}
QByteArray Le32(uint32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}
QByteArray Be16(uint16_t v) {
    char b[2];
    qToBigEndian(v, b);
    return QByteArray(b, 2);
}
QByteArray Be32(uint32_t v) {
    char b[4];
    qToBigEndian(v, b);
    return QByteArray(b, 4);
}
QByteArray Be64(uint64_t v) {
    char b[8];
    qToBigEndian(v, b);
    return QByteArray(b, 8);
}
QByteArray Zeros(int n) {
    return QByteArray(n, '\0');
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray GpsRecord(int year, int month, int day, int hour, int minute, int second) {
    GpsPoint p;
    p.year = uint8_t(year);
    p.month = uint8_t(month);
    p.day = uint8_t(day);
    p.hour = uint8_t(hour);
    p.minute = uint8_t(minute);
    p.second = uint8_t(second);
    QByteArray out(32, '\0');
    p.ToBytes(reinterpret_cast<uint8_t*>(out.data()));
    return out;
}

// ---- AVI -------------------------------------------------------------------

QByteArray AviChunk(const char* id, const QByteArray& payload) {
    return QByteArray(id, 4) + Le32(uint32_t(payload.size())) + payload;
}

QByteArray AviList(const char* type, const QByteArray& content, int64_t sizeDelta) {
    return "LIST" + Le32(uint32_t(int64_t(content.size()) + 4 + sizeDelta)) + QByteArray(type, 4) +
           content;
}

QByteArray AviMainHeader(uint32_t microsPerFrame, uint32_t frames, const char* reserved) {
    QByteArray h = Zeros(56);
    h.replace(0, 4, Le32(microsPerFrame));
    h.replace(16, 4, Le32(frames));
    h.replace(40, 4, QByteArray(reserved, 4));
    return AviChunk("avih", h);
}

QByteArray AviVideoStream(uint32_t width, uint32_t height) {
    QByteArray strh = Zeros(56);
    strh.replace(0, 4, "vids");
    strh.replace(4, 4, "H264");
    QByteArray strf = Zeros(40);
    strf.replace(0, 4, Le32(40));
    strf.replace(4, 4, Le32(width));
    strf.replace(8, 4, Le32(height));
    return AviList("strl", AviChunk("strh", strh) + AviChunk("strf", strf));
}

QByteArray AviAudioStream(const QByteArray& format) {
    QByteArray strh = Zeros(56);
    strh.replace(0, 4, "auds");
    return AviList("strl", AviChunk("strh", strh) + AviChunk("strf", format));
}

QByteArray BuildAvi(const AviRecipe& recipe, int64_t* moviEnd) {
    const QByteArray hdrl =
        AviList("hdrl", AviMainHeader(recipe.microsPerFrame, recipe.frames, recipe.marker) +
                            AviVideoStream(recipe.width, recipe.height));
    const QByteArray movi = AviList(
        "movi", AviChunk("00dc", QByteArray(recipe.moviPayload, '\x5a')), recipe.moviSizeDelta);
    QByteArray body = "AVI " + hdrl + recipe.beforeMovi;
    const int64_t moviStart = 8 + body.size();
    body += movi + recipe.afterMovi;
    if (moviEnd)
        *moviEnd = moviStart + movi.size();
    return "RIFF" + Le32(uint32_t(body.size())) + body;
}

// ---- MOV -------------------------------------------------------------------

QByteArray Box(const char* type, const QByteArray& payload) {
    return Be32(uint32_t(payload.size() + 8)) + QByteArray(type, 4) + payload;
}

QByteArray Ftyp() {
    return Box("ftyp", "qt  " + Be32(0x200) + "qt  ");
}

QByteArray Mvhd(uint32_t created, uint32_t timeScale, uint32_t duration) {
    QByteArray p = Zeros(100);
    p.replace(4, 4, Be32(created));
    p.replace(8, 4, Be32(created));
    p.replace(12, 4, Be32(timeScale));
    p.replace(16, 4, Be32(duration));
    return Box("mvhd", p);
}

QByteArray MvhdVersion1(uint64_t created, uint32_t timeScale, uint64_t duration) {
    QByteArray p = Zeros(112);
    p[0] = 1;
    p.replace(4, 8, Be64(created));
    p.replace(12, 8, Be64(created));
    p.replace(20, 4, Be32(timeScale));
    p.replace(24, 8, Be64(duration));
    return Box("mvhd", p);
}

QByteArray Mdhd(uint32_t timeScale, uint32_t duration) {
    QByteArray p = Zeros(24);
    p.replace(12, 4, Be32(timeScale));
    p.replace(16, 4, Be32(duration));
    return Box("mdhd", p);
}

QByteArray Hdlr(const char* handlerType, const QByteArray& name) {
    QByteArray p = Zeros(24);
    p.replace(4, 4, "mhlr");
    p.replace(8, 4, QByteArray(handlerType, 4));
    p += char(name.size());
    p += name;
    return Box("hdlr", p);
}

QByteArray Stsd(const char* entryType, uint16_t width, uint16_t height) {
    QByteArray entry = Zeros(78);
    entry.replace(6, 2, Be16(1));
    entry.replace(24, 2, Be16(width));
    entry.replace(26, 2, Be16(height));
    return Box("stsd", Zeros(4) + Be32(1) + Box(entryType, entry));
}

QByteArray Stco(const std::vector<uint32_t>& offsets, int64_t declaredCount) {
    QByteArray p =
        Zeros(4) + Be32(uint32_t(declaredCount < 0 ? int64_t(offsets.size()) : declaredCount));
    for (uint32_t o : offsets)
        p += Be32(o);
    return Box("stco", p);
}

QByteArray Trak(const MovTrack& t) {
    QByteArray stbl;
    if (std::strlen(t.sampleEntry) == 4)
        stbl += Stsd(t.sampleEntry, t.width, t.height);
    if (!t.chunkOffsets.empty())
        stbl += Stco(t.chunkOffsets);
    const QByteArray minf = Box("minf", Box("stbl", stbl));
    const QByteArray mdia =
        Box("mdia", Mdhd(t.timeScale, t.duration) + Hdlr(t.handlerType, t.handlerName) + minf);
    return Box("trak", Box("tkhd", Zeros(84)) + mdia);
}

QByteArray BuildMovA(const MovARecipe& recipe) {
    const QByteArray head = Ftyp() + Box("free", Zeros(8));
    QByteArray media;
    std::vector<uint32_t> offsets;
    const uint32_t mdatPayload = uint32_t(head.size() + 8);
    for (const QByteArray& r : recipe.records) {
        offsets.push_back(mdatPayload + uint32_t(media.size()));
        media += r;
    }
    media += QByteArray(recipe.mdatExtra, '\x11');
    QByteArray moov = Mvhd(recipe.created, recipe.timeScale, recipe.duration);
    for (MovTrack t : recipe.tracks) {
        if (QByteArray(t.handlerType) == "meta" && t.chunkOffsets.empty())
            t.chunkOffsets = offsets;
        moov += Trak(t);
    }
    return head + Box("mdat", media) + Box("moov", moov);
}

QByteArray Skip(uint8_t lastByte, int payloadSize) {
    QByteArray p(payloadSize, '\x20');
    p[payloadSize - 1] = char(lastByte);
    return Box("skip", p);
}

QByteArray BuildMovB(const MovBRecipe& recipe) {
    return Ftyp() + recipe.cameraBoxes + Box("mdat", QByteArray(recipe.mdatSize, '\x22')) +
           Box("moov", Mvhd(0, 1000, 1000) + Trak(recipe.video));
}

// ---- metadata records --------------------------------------------------------

QByteArray MetadataRecordBytes(const MetaRecord& r) {
    QByteArray b = Zeros(88);
    b.replace(6, 2, Le16(uint16_t(r.gsensorValid)));
    for (int i = 0; i < 3; ++i)
        b.replace(8 + 2 * i, 2, Le16(uint16_t(r.axis[i])));
    const std::pair<int, int32_t> fields[] = {
        {16, r.hour},   {20, r.minute}, {24, r.second}, {32, r.status},   {36, r.latNum},
        {40, r.latDen}, {44, r.lonNum}, {48, r.lonDen}, {52, r.speedNum}, {56, r.speedDen},
        {68, r.day},    {72, r.month},  {76, r.year}};
    for (const auto& [offset, value] : fields)
        b.replace(offset, 4, Le32(uint32_t(value)));
    b[80] = char(r.heading);
    return b;
}

} // namespace CameraFile
