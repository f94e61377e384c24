#include "CliJson.h"

#include <QJsonArray>

namespace {

QJsonArray Bytes(const std::array<uint8_t, 4>& bytes) {
    QJsonArray out;
    for (uint8_t b : bytes)
        out.append(int(b));
    return out;
}

QJsonObject Point(const GpsPoint& p) {
    return {{"latitude", p.latitude}, {"longitude", p.longitude}, {"altitude", p.altitude},
            {"speed", p.speed},       {"year", p.year},           {"month", p.month},
            {"day", p.day},           {"hour", p.hour},           {"minute", p.minute},
            {"second", p.second},     {"heading", p.heading},     {"flags", p.flags}};
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

QJsonObject Scan(const RecordingCatalog& catalog) {
    QJsonArray groups;
    for (const RecordingGroup& g : catalog.groups) {
        QJsonArray files;
        for (int i = g.firstFile; i < g.firstFile + g.fileCount; ++i)
            files.append(File(catalog.files[size_t(i)]));
        groups.append(QJsonObject{{"number", g.number},
                                  {"firstFile", g.firstFile},
                                  {"fileCount", g.fileCount},
                                  {"totalDurationMs", qint64(g.totalDurationMs)},
                                  {"totalSize", qint64(g.totalSize)},
                                  {"flags", g.flags},
                                  {"files", files}});
    }
    return {{"scanCount", catalog.scanCount}, {"groups", groups}};
}

QJsonObject Track(const RecordingCatalog& catalog) {
    QJsonArray points;
    for (int i = 0; i < catalog.GpsPointCount(); ++i)
        points.append(Point(catalog.GpsPointAt(i)));
    QJsonArray samples;
    for (int i = 0; i < catalog.GSensorSampleCount(); ++i) {
        const GSensorSample s = catalog.GSensorSampleAt(i);
        samples.append(QJsonArray{s.x, s.y, s.z});
    }
    return {{"variant", catalog.CurrentVariant()},
            {"gpsRate", catalog.gpsRate},
            {"sampleCount", catalog.GSensorSampleCount()},
            {"points", points},
            {"samples", samples}};
}

QByteArray EscapeControls(const QByteArray& json) {
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
