// halvex-bench-import make-card DIR PAIRS FRONT_BYTES REAR_BYTES
//
// Writes a card of PAIRS one-minute front/rear recordings with GPS tracks
// whose media data are grown to the given sizes (a minute of 1080p at
// 12 Mbit/s is about 90 MB, of a 720p rear about 45 MB). The grown media are
// filled with pseudo-random bytes, not left as holes, so that every copy
// reads and writes them whole and no two files are alike.
#include "BenchCard.h"
#include "tools/synth/BaseVideo.h"
#include "tools/synth/CameraNaming.h"
#include "tools/synth/RecordingWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

synth::RecordingRecipe Minute(const QDateTime& start) {
    synth::RecordingRecipe recipe;
    recipe.container = synth::Container::MovBoxes;
    recipe.durationMs = 60000;
    recipe.frameSize = QSize(160, 90);
    recipe.frameRate = 5;
    recipe.audio = false;
    recipe.start = start;
    recipe.gpsRate = 1;
    recipe.gsensorRate = 10;
    for (int i = 0; i < 60; ++i)
        recipe.fixes.push_back(
            synth::Fix{35.68 + 0.0003 * i, 139.76 + 0.0001 * std::sin(i / 60.0), 12, 40, 45});
    for (int i = 0; i < 600; ++i)
        recipe.gsensor.push_back({int16_t(i % 7), int16_t(-(i % 5)), 16});
    return recipe;
}

// Where the mdat payload ends before it is grown.
qint64 MediaEnd(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    for (qint64 at = 0; at + 8 <= bytes.size();) {
        const uint32_t size = qFromBigEndian<quint32>(bytes.constData() + at);
        if (bytes.mid(int(at) + 4, 4) == "mdat")
            return at + size;
        if (size < 8)
            return -1;
        at += size;
    }
    return -1;
}

bool FillHole(const QString& path, qint64 from, uint64_t bytes, uint64_t seed) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.seek(from))
        return false;
    std::vector<uint64_t> block(1 << 17);
    uint64_t x = seed * 0x9E3779B97F4A7C15ull + 1;
    for (uint64_t left = bytes; left > 0;) {
        for (uint64_t& v : block) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            v = x;
        }
        const qint64 n = qint64(std::min<uint64_t>(left, block.size() * 8));
        if (file.write(reinterpret_cast<const char*>(block.data()), n) != n)
            return false;
        left -= uint64_t(n);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 5 || args[0] != "make-card") {
        std::fprintf(stderr,
                     "usage: halvex-bench-import make-card DIR PAIRS FRONT_BYTES REAR_BYTES\n");
        return 2;
    }
    const QString root = args[1];
    const int pairs = args[2].toInt();
    const uint64_t sizes[2] = {args[3].toULongLong(), args[4].toULongLong()};
    synth::SetCacheFolder(root + ".synth-cache");
    QDir(root).removeRecursively();
    const QDateTime first(QDate(2024, 6, 3), QTime(7, 0, 0));
    for (int m = 0; m < pairs; ++m) {
        const synth::RecordingRecipe recipe = Minute(first.addSecs(qint64(m) * 60));
        const synth::CameraPair names =
            synth::CameraNames(synth::Naming::Chunk, "DCIM/Movie",
                               synth::PrefixFor(synth::Naming::Chunk, synth::Lock::None), m);
        const QString paths[2] = {root + "/" + names.front, root + "/" + names.rear};
        for (int k = 0; k < 2; ++k) {
            QString error;
            if (!synth::WriteRecording(recipe, paths[k], &error)) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
            const qint64 end = MediaEnd(paths[k]);
            const uint64_t grow = sizes[k] > uint64_t(QFileInfo(paths[k]).size())
                                      ? sizes[k] - uint64_t(QFileInfo(paths[k]).size())
                                      : 0;
            if (end < 0 || !bench::GrowMediaData(paths[k], grow, &error) ||
                !FillHole(paths[k], end, grow, uint64_t(m * 2 + k))) {
                std::fprintf(stderr, "%s: cannot grow its media %s\n", qPrintable(paths[k]),
                             qPrintable(error));
                return 1;
            }
        }
    }
    return 0;
}
