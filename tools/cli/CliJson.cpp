#include "CliJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <cmath>

namespace {

QJsonArray Bytes(const std::array<uint8_t, 4>& bytes) {
    QJsonArray out;
    for (uint8_t b : bytes)
        out.append(int(b));
    return out;
}

} // namespace

namespace CliJson {

QJsonObject Info(const RecordingInfo& info) {
    return {{"gpsOffset", qint64(info.gpsOffset)},
            {"gpsSize", qint64(info.gpsSize)},
            {"gsensorOffset", qint64(info.gsensorOffset)},
            {"gsensorSize", qint64(info.gsensorSize)},
            {"width", info.width},
            {"height", info.height},
            {"startTime", qint64(info.startTime)},
            {"durationSeconds", qint64(info.durationSeconds)},
            {"durationMs", qint64(info.durationMs)},
            {"fileSize", qint64(info.fileSize)},
            {"gpsParams", Bytes(info.gpsParams)},
            {"gsensorParams", Bytes(info.gsensorParams)},
            {"variant", info.variant},
            {"metaChunks", qint64(info.metaChunks.size())}};
}

QJsonObject File(const RecordingFile& file) {
    QJsonObject out = Info(file.info);
    out.insert("fileName", file.fileName);
    out.insert("root", file.root);
    out.insert("folder", file.folder);
    out.insert("groupStart", file.groupStart);
    out.insert("flags", file.flags);
    return out;
}

namespace {

// A document's indented text moved right by `spaces`, without its last line
// break; its strings hold no raw line break, so every line is the text's own.
QByteArray Nested(const QJsonObject& object, int spaces) {
    const QByteArray pad(spaces, ' ');
    QByteArray text = QJsonDocument(object).toJson();
    if (text.endsWith('\n'))
        text.chop(1);
    return pad + text.replace('\n', "\n" + pad);
}

QByteArray Member(const char* key, qint64 value, bool last = false) {
    return QByteArray("            \"") + key + "\": " + QByteArray::number(value) +
           (last ? "\n" : ",\n");
}

} // namespace

// Keys in the order QJsonObject keeps them (sorted), empty arrays written as
// QJsonDocument writes them.
void WriteScan(const RecordingCatalog& catalog,
               const std::function<void(const QByteArray&)>& write) {
    write("{\n    \"groups\": [\n");
    for (size_t n = 0; n < catalog.Groups().size(); ++n) {
        const RecordingGroup& g = catalog.Groups()[n];
        QByteArray out = n ? ",\n        {\n" : "        {\n";
        out += Member("fileCount", g.fileCount);
        out += "            \"files\": [\n";
        for (int i = g.firstFile; i < g.firstFile + g.fileCount; ++i) {
            out += Nested(File(catalog.Files()[size_t(i)]), 16) +
                   (i + 1 < g.firstFile + g.fileCount ? ",\n" : "\n");
            write(out);
            out.clear();
        }
        out += "            ],\n";
        out += Member("firstFile", g.firstFile);
        out += Member("flags", g.flags);
        out += Member("number", g.number);
        out += Member("totalDurationMs", qint64(g.totalDurationMs));
        out += Member("totalSize", qint64(g.totalSize), true);
        out += "        }";
        write(out);
    }
    write((catalog.Groups().empty() ? "    ],\n" : "\n    ],\n") +
          QByteArray("    \"scanCount\": ") + QByteArray::number(catalog.scanCount) + "\n}\n");
}

namespace {

// A JSON number; values that JSON cannot hold (NaN, infinities) as null.
QByteArray Number(double v) {
    return std::isfinite(v) ? QByteArray::number(v, 'g', QLocale::FloatingPointShortest) : "null";
}

QByteArray PointText(const GpsPoint& p) {
    QByteArray out = "{\"altitude\": " + QByteArray::number(p.altitude);
    out += ", \"day\": " + QByteArray::number(p.day);
    out += ", \"flags\": " + QByteArray::number(p.flags);
    out += ", \"heading\": " + QByteArray::number(p.heading);
    out += ", \"hour\": " + QByteArray::number(p.hour);
    out += ", \"latitude\": " + Number(p.latitude);
    out += ", \"longitude\": " + Number(p.longitude);
    out += ", \"minute\": " + QByteArray::number(p.minute);
    out += ", \"month\": " + QByteArray::number(p.month);
    out += ", \"second\": " + QByteArray::number(p.second);
    out += ", \"speed\": " + QByteArray::number(p.speed);
    out += ", \"year\": " + QByteArray::number(p.year) + "}";
    return out;
}

} // namespace

void WriteTrack(const StoredTrack& track, const std::function<void(const QByteArray&)>& write) {
    QByteArray out = "{\n    \"gpsRate\": " + Number(track.gpsRate) + ",\n    \"points\": [";
    const int points = int(track.records.size());
    for (int i = 0; i < points; ++i) {
        out += (i ? ",\n        " : "\n        ") + PointText(track.records[size_t(i)]);
        if (out.size() > (1 << 16)) {
            write(out);
            out.clear();
        }
    }
    out += points ? "\n    ],\n" : "],\n";
    const int samples = int(track.samples.size());
    out += "    \"sampleCount\": " + QByteArray::number(samples) + ",\n    \"samples\": [";
    for (int i = 0; i < samples; ++i) {
        const GSensorSample& s = track.samples[size_t(i)];
        out += (i ? ",\n        [" : "\n        [") + QByteArray::number(s.x) + ", " +
               QByteArray::number(s.y) + ", " + QByteArray::number(s.z) + "]";
        if (out.size() > (1 << 16)) {
            write(out);
            out.clear();
        }
    }
    out += samples ? "\n    ],\n" : "],\n";
    out += "    \"variant\": " + QByteArray::number(track.variant) + "\n}\n";
    write(out);
}

QByteArray EscapeControls(const QByteArray& json) {
    // Most text holds neither DEL nor a C1 control's lead byte: handed on as it is.
    if (!json.contains('\x7f') && !json.contains('\xc2'))
        return json;
    QByteArray out;
    out.reserve(json.size());
    for (int i = 0; i < json.size(); ++i) {
        const uchar c = uchar(json[i]);
        // U+0080..U+009F are C2 80..C2 9F in UTF-8.
        const bool c1 = c == 0xC2 && i + 1 < json.size() && uchar(json[i + 1]) >= 0x80 &&
                        uchar(json[i + 1]) <= 0x9F;
        if (c == 0x7F || c1) {
            const uint code = c1 ? uchar(json[++i]) : c;
            out += "\\u00" + QByteArray::number(code, 16).rightJustified(2, '0');
        } else {
            out += char(c);
        }
    }
    return out;
}

} // namespace CliJson
