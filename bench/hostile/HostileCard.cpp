// halvex-bench-hostile DIR: writes the crafted files of a hostile memory card
// below DIR, each in a folder of its own so that `halvex-cli scan` can be
// timed on one at a time:
//   meta-64m/MOV_0001.MOV  metadata-track MOV, 64 MiB sparse, its chunk-offset
//                          table filling the file (16 M entries, all 0)
//   meta-4g/MOV_0002.MOV   the same at 4 GiB (1 G entries)
//   meta-day/MOV_0003.MOV  64 MiB like the first, claiming a day's duration
//   avi-damaged/FILE0004.AVI  100 MB AVI whose "movi" list tag is damaged,
//                          so the walk goes through 100 MB of media data
//   avi-zeros/FILE0005.AVI "RIFF" and 5 GiB of sparse zeros
//   many/                  10 000 small recordings, plus a FIFO, a name that
//                          is not UTF-8 and one holding escape sequences
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <cstdio>
#include <random>
#include <sys/stat.h>

namespace {

QByteArray Be32(uint32_t v) {
    QByteArray b(4, '\0');
    qToBigEndian<quint32>(v, b.data());
    return b;
}

QByteArray Be64(uint64_t v) {
    QByteArray b(8, '\0');
    qToBigEndian<quint64>(v, b.data());
    return b;
}

QByteArray Le32(uint32_t v) {
    QByteArray b(4, '\0');
    qToLittleEndian<quint32>(v, b.data());
    return b;
}

QByteArray Box(const char* type, const QByteArray& payload) {
    return Be32(uint32_t(8 + payload.size())) + type + payload;
}

// A header with a 64-bit size, for boxes that hold the huge table.
QByteArray BigBoxHeader(const char* type, uint64_t payloadSize) {
    return Be32(1) + type + Be64(16 + payloadSize);
}

QByteArray Mvhd(uint32_t timeScale, uint32_t duration) {
    QByteArray p(100, '\0');
    p.replace(4, 4, Be32(3708000000u));
    p.replace(12, 4, Be32(timeScale));
    p.replace(16, 4, Be32(duration));
    return Box("mvhd", p);
}

QByteArray Hdlr(const char* type, const QByteArray& name) {
    QByteArray p(24, '\0');
    p.replace(8, 4, type);
    p += char(name.size()) + name;
    return Box("hdlr", p);
}

QByteArray Stsd() {
    QByteArray entry(78, '\0');
    entry[24] = char(1280 >> 8);
    entry[25] = char(1280 & 0xFF);
    entry[26] = char(720 >> 8);
    entry[27] = char(720 & 0xFF);
    return Box("stsd", Be32(0) + Be32(1) + Box("avc1", entry));
}

bool WriteAll(const QString& path, const QByteArray& bytes, uint64_t length) {
    QDir().mkpath(path.left(path.lastIndexOf('/')));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        return false;
    return length <= uint64_t(bytes.size()) || f.resize(qint64(length));
}

// ftyp, free, mdat, then a moov whose metadata track's "stco" runs to the end
// of the file; the table itself is a hole, so every entry reads 0.
bool WriteMetaTrack(const QString& path, uint64_t length, uint32_t durationSeconds) {
    QByteArray head = Box("ftyp", "qt  \0\0\0\0qt  ") + Box("free", QByteArray(8, '\0')) +
                      Box("mdat", QByteArray(4096, '\x11'));
    const QByteArray video =
        Box("trak", Box("mdia", Hdlr("vide", "JTD_Video") + Box("minf", Box("stbl", Stsd()))));
    const QByteArray moovStart = Mvhd(1000, durationSeconds * 1000) + video;
    // Nested 64-bit headers: moov, trak, mdia, minf, stbl, stco (16 bytes each).
    const uint64_t headers = 6 * 16;
    const QByteArray metaHdlr = Hdlr("meta", "");
    const uint64_t fixed = uint64_t(head.size()) + uint64_t(moovStart.size()) +
                           uint64_t(metaHdlr.size()) + headers + 8;
    if (length <= fixed)
        return false;
    const uint64_t table = (length - fixed) & ~uint64_t(3);
    const uint64_t stco = 8 + table;
    const uint64_t stbl = 16 + stco;
    const uint64_t minf = 16 + stbl;
    const uint64_t mdia = uint64_t(metaHdlr.size()) + 16 + minf;
    const uint64_t trak = 16 + mdia;
    const uint64_t moov = uint64_t(moovStart.size()) + 16 + trak;
    QByteArray bytes = head + BigBoxHeader("moov", moov) + moovStart + BigBoxHeader("trak", trak) +
                       BigBoxHeader("mdia", mdia) + metaHdlr + BigBoxHeader("minf", minf) +
                       BigBoxHeader("stbl", stbl) + BigBoxHeader("stco", stco) + Be32(0) +
                       Be32(uint32_t(std::min<uint64_t>(table / 4, 0xFFFFFFFFu)));
    return WriteAll(path, bytes, uint64_t(bytes.size()) + table);
}

QByteArray AviChunk(const char* id, const QByteArray& payload) {
    return id + Le32(uint32_t(payload.size())) + payload;
}

bool WriteDamagedAvi(const QString& path, uint32_t mediaBytes) {
    QByteArray avih(56, '\0');
    avih.replace(0, 4, Le32(33366));
    avih.replace(16, 4, Le32(9000));
    avih.replace(40, 4, "JTDD");
    QByteArray strh(64, '\0');
    strh.replace(0, 4, "vids");
    QByteArray strf(40, '\0');
    strf.replace(4, 4, Le32(1920));
    strf.replace(8, 4, Le32(1080));
    const QByteArray strl = "strl" + AviChunk("strh", strh) + AviChunk("strf", strf);
    const QByteArray hdrl = "hdrl" + AviChunk("avih", avih) + AviChunk("LIST", strl);
    QByteArray media(int(mediaBytes), '\0');
    std::mt19937 random(11);
    for (int i = 0; i + 4 <= media.size(); i += 4)
        qToLittleEndian<quint32>(random(), media.data() + i);
    // "LIST" of the movi list damaged into "LIZT": its size no longer skips it.
    const QByteArray movi = "LIZT" + Le32(4 + mediaBytes) + "movi" + media;
    const QByteArray body = "AVI " + AviChunk("LIST", hdrl) + movi;
    return WriteAll(path, "RIFF" + Le32(uint32_t(body.size())) + body, 0);
}

QByteArray SmallChunkMov(int serial) {
    QByteArray gps(64, '\0');
    const char time[] = {24, 5, 18, 9, 0, char(serial % 60)};
    gps.replace(22, 6, QByteArray(time, 6));
    QByteArray mdhd(24, '\0');
    mdhd.replace(12, 4, Be32(1000));
    mdhd.replace(16, 4, Be32(60000));
    const QByteArray trak =
        Box("trak", Box("mdia", Box("mdhd", mdhd) + Box("minf", Box("stbl", Stsd()))));
    return Box("ftyp", "qt  \0\0\0\0qt  ") + Box("IDIT", "2024-05-18 09:00:00") +
           Box("gpsa", QByteArray("\x01\0\0\0", 4)) + Box("gsea", QByteArray("\x0a\x08\0\0", 4)) +
           Box("gps0", gps) + Box("gsen", QByteArray(60, '\x01')) + Box("skip", QByteArray(16, 0)) +
           Box("mdat", QByteArray(256, '\x22')) + Box("moov", Mvhd(1000, 60000) + trak);
}

bool WriteManyFolder(const QString& folder) {
    QDir().mkpath(folder);
    for (int i = 0; i < 10000; ++i)
        if (!WriteAll(folder + QString::asprintf("/FILE%04d.MOV", i), SmallChunkMov(i), 0))
            return false;
    const QByteArray dir = QFile::encodeName(folder);
    // A name that is not UTF-8, one that would set the terminal's title, a FIFO.
    const QByteArray rawOdd = dir + "/EVGS0001\xff.MOV";
    if (FILE* f = std::fopen(rawOdd.constData(), "wb")) {
        const QByteArray b = SmallChunkMov(1);
        std::fwrite(b.constData(), 1, size_t(b.size()), f);
        std::fclose(f);
    }
    WriteAll(folder + "/EVGS0002\x1b]0;owned\x07.MOV", SmallChunkMov(2), 0);
    mkfifo(QFile::encodeName(folder + "/FIFO0001.MOV").constData(), 0644);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: halvex-bench-hostile DIR\n");
        return 2;
    }
    const QString root = QFile::decodeName(argv[1]);
    const uint64_t MiB = 1 << 20;
    const bool ok = WriteMetaTrack(root + "/meta-64m/MOV_0001.MOV", 64 * MiB, 60) &&
                    WriteMetaTrack(root + "/meta-4g/MOV_0002.MOV", 4096 * MiB, 60) &&
                    WriteMetaTrack(root + "/meta-day/MOV_0003.MOV", 64 * MiB, 86400) &&
                    WriteDamagedAvi(root + "/avi-damaged/FILE0004.AVI", 100 * 1000 * 1000) &&
                    WriteAll(root + "/avi-zeros/FILE0005.AVI", "RIFF" + Le32(0xFFFFFFF0u) + "AVI ",
                             5120 * MiB) &&
                    WriteManyFolder(root + "/many");
    if (!ok)
        std::fprintf(stderr, "halvex-bench-hostile: cannot write below %s\n", argv[1]);
    return ok ? 0 : 1;
}
