#include "CliText.h"

#include "presenter/FigureTexts.h"
#include "recordings/LocalTimeText.h"
#include "recordings/ResolutionName.h"

namespace {

QString Megabytes(uint64_t bytes) {
    return QString::number(bytes / 1048576) + " MB";
}

QString Lock(uint8_t flags) {
    static const char* const names[] = {"", "G", "M", "GM"};
    return QString::fromLatin1(names[flags & 3]);
}

QString Columns(const QStringList& cells, const std::initializer_list<int>& widths) {
    QString line;
    int i = 0;
    for (int width : widths)
        line += cells.value(i++).leftJustified(width) + "  ";
    for (; i < cells.size(); ++i)
        line += cells[i] + "  ";
    return line.trimmed() + "\n";
}

} // namespace

namespace CliText {

QString Counted(qint64 count, const char* noun) {
    return QString::number(count) + ' ' + QLatin1String(noun) +
           (count == 1 ? QString() : QStringLiteral("s"));
}

QString Printable(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QChar('0'));
        else
            out += c;
    }
    return out;
}

QString Scan(const RecordingCatalog& c) {
    QString out;
    for (const RecordingGroup& g : c.Groups()) {
        const RecordingInfo& first = c.Files()[size_t(g.firstFile)].info;
        out += Columns({"G" + QString::number(g.number), ResolutionName(first.width, first.height),
                        FormatLocalTime(first.startTime, "%Y-%m-%d %H:%M:%S"),
                        FigureTexts::Duration(int64_t(g.totalDurationMs)), Megabytes(g.totalSize),
                        Lock(g.flags)},
                       {6, 10, 19, 8, 9});
        for (int i = g.firstFile; i < g.firstFile + g.fileCount; ++i) {
            const RecordingFile& f = c.Files()[size_t(i)];
            const FileListRow& row = c.Rows()[size_t(i)];
            const int64_t end = f.info.startTime + int64_t(f.info.durationMs / 1000);
            out += "  " +
                   Columns({QStringLiteral("G%1-%2").arg(row.groupNumber).arg(row.indexInGroup),
                            Printable(f.fileName), FormatLocalTime(f.info.startTime, "%H:%M:%S"),
                            FormatLocalTime(end, "%H:%M:%S"), Megabytes(f.info.fileSize),
                            Printable(f.root + f.folder), Lock(f.flags)},
                           {8, 16, 8, 8, 9, 0});
        }
    }
    out += QStringLiteral("%1 (%2) in %3, %4 scanned\n")
               .arg(Counted(qint64(c.Files().size()), "recording"),
                    Counted(c.FrontRearPairs(), "front/rear pair"),
                    Counted(qint64(c.Groups().size()), "group"), Counted(c.scanCount, "file"));
    return out;
}

QString Info(const QString& path, const RecordingInfo& info) {
    auto bytes = [](const std::array<uint8_t, 4>& b) {
        return QStringLiteral("%1 %2 %3 %4").arg(b[0]).arg(b[1]).arg(b[2]).arg(b[3]);
    };
    QString out;
    out += "file             " + Printable(path) + "\n";
    out += "variant          " +
           QString(info.variant == kMetadataTrackVariant ? "metadata track" : "chunks") + "\n";
    out += QStringLiteral("video            %1x%2 (%3)\n")
               .arg(info.width)
               .arg(info.height)
               .arg(ResolutionName(info.width, info.height));
    out += "start            " + FormatLocalTime(info.startTime, "%Y-%m-%d %H:%M:%S") +
           QStringLiteral(" (%1)\n").arg(info.startTime);
    out += QStringLiteral("duration         %1 ms\n").arg(info.durationMs);
    out += QStringLiteral("file size        %1 bytes\n").arg(info.fileSize);
    out += QStringLiteral("gps block        offset %1, %2 bytes\n")
               .arg(info.gpsOffset)
               .arg(info.gpsSize);
    out += QStringLiteral("g-sensor block   offset %1, %2 bytes\n")
               .arg(info.gsensorOffset)
               .arg(info.gsensorSize);
    out += "gps params       " + bytes(info.gpsParams) + "\n";
    out += "g-sensor params  " + bytes(info.gsensorParams) + "\n";
    out += QStringLiteral("metadata records %1\n").arg(info.metaChunks.size());
    return out;
}

void WriteTrack(const StoredTrack& track, const std::function<void(const QString&)>& write) {
    QString out = QStringLiteral("%1 at %2 per second, %3\n")
                      .arg(Counted(qint64(track.records.size()), "GPS point"))
                      .arg(track.gpsRate)
                      .arg(Counted(qint64(track.samples.size()), "G-sensor sample"));
    for (size_t i = 0; i < track.records.size(); ++i) {
        const GpsPoint& p = track.records[i];
        if (out.size() > (1 << 15)) {
            write(out);
            out.clear();
        }
        out += Columns({QString::number(i), p.HasFix() ? "fix" : "-",
                        QString::number(p.latitude, 'f', 6), QString::number(p.longitude, 'f', 6),
                        QString::number(p.altitude) + " m", QString::number(p.speed) + " km/h",
                        QString::number(p.heading * 2) + " deg",
                        QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", 2000 + p.year, p.month,
                                          p.day, p.hour, p.minute, p.second)},
                       {6, 3, 12, 12, 7, 9, 7});
    }
    for (size_t i = 0; i < track.samples.size(); ++i) {
        const GSensorSample& s = track.samples[i];
        out += QStringLiteral("g %1: %2 %3 %4\n").arg(i).arg(s.x).arg(s.y).arg(s.z);
        if (out.size() > (1 << 15)) {
            write(out);
            out.clear();
        }
    }
    write(out);
}

} // namespace CliText
