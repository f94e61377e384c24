#include "CliJson.h"

#include <QJsonArray>
#include <QLocale>
#include <charconv>
#include <cmath>
#include <string>

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

// A JSON string as QJsonDocument writes it: quote, backslash and the C0
// controls escaped, everything else as UTF-8.
void AppendString(std::string& out, const QString& text) {
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        const uchar u = uchar(c);
        if (u >= 0x20 && c != '"' && c != '\\') {
            out += c;
            continue;
        }
        out += '\\';
        switch (c) {
        case '"':
        case '\\':
            out += c;
            break;
        case '\b':
            out += 'b';
            break;
        case '\f':
            out += 'f';
            break;
        case '\n':
            out += 'n';
            break;
        case '\r':
            out += 'r';
            break;
        case '\t':
            out += 't';
            break;
        default:
            out += "u00";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        }
    }
    out += '"';
}

void AppendNumber(std::string& out, qint64 value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, size_t(end - digits));
}

// One recording as the indented document of File(file) writes it, nested at
// the depth of a scan's file list; written by hand because building the
// object and its document was most of a scan's time.
void AppendFile(std::string& out, const RecordingFile& file) {
    const char* const pad = "                    "; // the members' indent
    const RecordingInfo& info = file.info;
    out += "                {\n";
    const auto key = [&](const char* name) {
        out += pad;
        out += '"';
        out += name;
        out += "\": ";
    };
    const auto number = [&](const char* name, qint64 value) {
        key(name);
        AppendNumber(out, value);
        out += ",\n";
    };
    const auto text = [&](const char* name, const QString& value) {
        key(name);
        AppendString(out, value);
        out += ",\n";
    };
    const auto bytes = [&](const char* name, const std::array<uint8_t, 4>& values) {
        key(name);
        out += "[\n";
        for (size_t i = 0; i < values.size(); ++i) {
            out += pad;
            out += "    ";
            AppendNumber(out, values[i]);
            out += i + 1 < values.size() ? ",\n" : "\n";
        }
        out += pad;
        out += "],\n";
    };
    // The keys in the order QJsonObject keeps them: sorted.
    number("durationMs", qint64(info.durationMs));
    number("durationSeconds", qint64(info.durationSeconds));
    text("fileName", file.fileName);
    number("fileSize", qint64(info.fileSize));
    number("flags", file.flags);
    text("folder", file.folder);
    number("gpsOffset", qint64(info.gpsOffset));
    bytes("gpsParams", info.gpsParams);
    number("gpsSize", qint64(info.gpsSize));
    number("groupStart", file.groupStart);
    number("gsensorOffset", qint64(info.gsensorOffset));
    bytes("gsensorParams", info.gsensorParams);
    number("gsensorSize", qint64(info.gsensorSize));
    number("height", info.height);
    number("metaChunks", qint64(info.metaChunks.size()));
    text("root", file.root);
    number("startTime", qint64(info.startTime));
    number("variant", info.variant);
    key("width");
    AppendNumber(out, info.width);
    out += "\n                }";
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
        write(out);
        out.clear();
        std::string files;
        for (int i = g.firstFile; i < g.firstFile + g.fileCount; ++i) {
            AppendFile(files, catalog.Files()[size_t(i)]);
            files += i + 1 < g.firstFile + g.fileCount ? ",\n" : "\n";
            // Written a few recordings at a time: a large card is never held whole.
            if (files.size() > (1 << 16) || i + 1 == g.firstFile + g.fileCount) {
                write(QByteArray(files.data(), qsizetype(files.size())));
                files.clear();
            }
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
