#include "BenchCard.h"

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
