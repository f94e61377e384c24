#include "BenchCard.h"

#include "recordings/CVel3gpParser.h"
#include "recordings/MetadataRecord.h"
#include "tools/synth/CameraNaming.h"
#include "tools/synth/RecordingWriter.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <cmath>

namespace bench {
namespace {

const QDateTime kFirstStart(QDate(2024, 5, 18), QTime(9, 0, 0));

synth::RecordingRecipe MinuteRecipe(synth::Container container, int seconds) {
    synth::RecordingRecipe recipe;
    recipe.container = container;
    recipe.durationMs = seconds * 1000;
    recipe.frameSize = QSize(160, 90);
    recipe.frameRate = 5;
    recipe.audio = false;
    const bool track = container == synth::Container::MovTrack;
    const int rate = track ? synth::kTrackRecordRate : 1;
    const int samplesPerSecond = track ? synth::kTrackRecordRate : 10;
    recipe.gpsRate = rate;
    recipe.gsensorRate = samplesPerSecond;
    for (int i = 0; i < seconds * rate; ++i) {
        const double t = double(i) / rate;
        recipe.fixes.push_back(
            synth::Fix{35.68 + 0.0001 * t, 139.76 + 0.0001 * std::sin(t / 60), 12, 40, 45});
    }
    for (int i = 0; i < seconds * samplesPerSecond; ++i)
        recipe.gsensor.push_back({int16_t(i % 7), int16_t(-(i % 5)), 16});
    return recipe;
}

} // namespace

bool WriteBenchCard(const QString& root, int count, uint64_t extraMediaBytes, QString* error) {
    QDir(root).removeRecursively();
    const int moments = (count + 1) / 2;
    int written = 0;
    for (int m = 0; m < moments && written < count; ++m) {
        // Runs of ten moments alternate between the two kinds of camera.
        const bool chunk = (m / 10) % 2 == 0;
        synth::RecordingRecipe recipe =
            MinuteRecipe(chunk ? synth::Container::MovBoxes : synth::Container::MovTrack, 60);
        recipe.start = kFirstStart.addSecs(qint64(m) * 60 + qint64(m / 10) * 600);
        const synth::Naming naming = chunk ? synth::Naming::Chunk : synth::Naming::Metadata;
        // Chunk names repeat after a thousand moments: each thousand gets a
        // folder of its own.
        const QString folder =
            m < 1000 ? QString("DCIM/Movie") : QString("DCIM/Movie%1").arg(m / 1000);
        const synth::CameraPair names =
            synth::CameraNames(naming, folder, synth::PrefixFor(naming, synth::Lock::None), m);
        for (const QString& name : {names.front, names.rear}) {
            if (written++ == count)
                break;
            const QString path = root + "/" + name;
            if (!synth::WriteRecording(recipe, path, error) ||
                (extraMediaBytes && !GrowMediaData(path, extraMediaBytes, error)))
                return false;
        }
    }
    return true;
}

bool WriteHourRecording(const QString& path, QString* error) {
    synth::RecordingRecipe recipe = MinuteRecipe(synth::Container::MovTrack, 3600);
    recipe.start = kFirstStart;
    return synth::WriteRecording(recipe, path, error);
}

bool SpreadRecords(const QString& path, uint64_t spacing, QString* error) {
    auto fail = [&](const QString& why) {
        *error = path + ": " + why;
        return false;
    };
    RecordingInfo info;
    CVel3gpParser parser;
    parser.SetInfo(&info);
    if (parser.Parse(path) != 0 || info.metaChunks.empty())
        return fail("not a metadata-track recording");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail("cannot read");
    QByteArray bytes = file.readAll();
    file.close();

    // The writer puts the records one after the other at the end of mdat.
    const std::vector<MetaChunkEntry>& chunks = info.metaChunks;
    const uint64_t n = chunks.size();
    const uint64_t first = chunks.front().fileOffset;
    for (uint64_t i = 0; i < n; ++i)
        if (chunks[i].fileOffset != first + i * MetadataRecord::kSize)
            return fail("records not in one run");
    const qsizetype mdat = bytes.indexOf("mdat") - 4;
    const uint64_t mdatSize = mdat >= 0 ? qFromBigEndian<quint32>(bytes.constData() + mdat) : 0;
    const uint64_t recordsEnd = first + n * MetadataRecord::kSize;
    if (mdatSize < 8 || uint64_t(mdat) + mdatSize != recordsEnd)
        return fail("records not at the end of a 32-bit mdat");
    const uint64_t spreadEnd = first + (n - 1) * spacing + MetadataRecord::kSize;
    if (spreadEnd - uint64_t(mdat) > 0xFFFFFFFFu)
        return fail("spread records do not fit a 32-bit mdat");

    // The chunk table of n entries starting at the first record.
    qsizetype stco = -1;
    for (qsizetype at = bytes.indexOf("stco", qsizetype(recordsEnd)); at >= 0;
         at = bytes.indexOf("stco", at + 4)) {
        if (qFromBigEndian<quint32>(bytes.constData() + at + 8) == n &&
            qFromBigEndian<quint32>(bytes.constData() + at + 12) == first) {
            stco = at;
            break;
        }
    }
    if (stco < 0)
        return fail("no chunk table for the records");
    for (uint64_t i = 0; i < n; ++i)
        qToBigEndian<quint32>(quint32(first + i * spacing), bytes.data() + stco + 12 + 4 * i);
    qToBigEndian<quint32>(quint32(spreadEnd - uint64_t(mdat)), bytes.data() + mdat);

    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.constData(), qint64(first)) != qint64(first))
        return fail("cannot write");
    for (uint64_t i = 0; i < n; ++i)
        if (!file.seek(qint64(first + i * spacing)) ||
            file.write(bytes.constData() + first + i * MetadataRecord::kSize,
                       MetadataRecord::kSize) != qint64(MetadataRecord::kSize))
            return fail("cannot write");
    const QByteArray tail = bytes.mid(qsizetype(recordsEnd));
    if (!file.seek(qint64(spreadEnd)) || file.write(tail) != tail.size())
        return fail("cannot write");
    return true;
}

bool GrowMediaData(const QString& path, uint64_t extraBytes, QString* error) {
    auto fail = [&](const QString& why) {
        *error = path + ": " + why;
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail("cannot read");
    const QByteArray bytes = file.readAll();
    file.close();

    qint64 at = 0;
    while (at + 8 <= bytes.size()) {
        const uint32_t size = qFromBigEndian<quint32>(bytes.constData() + at);
        if (bytes.mid(int(at) + 4, 4) == "mdat") {
            if (size < 8 || uint64_t(size) + extraBytes > 0xFFFFFFFFu)
                return fail("mdat size cannot grow by that much");
            const qint64 end = at + size;
            QByteArray head = bytes.left(int(end));
            qToBigEndian<quint32>(quint32(size + extraBytes), head.data() + at);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                file.write(head) != head.size() || !file.seek(end + qint64(extraBytes)) ||
                file.write(bytes.mid(int(end))) != bytes.size() - end)
                return fail("cannot write");
            return true;
        }
        if (size < 8)
            break;
        at += size;
    }
    return fail("no mdat box with a 32-bit size");
}

} // namespace bench
