#pragma once
// Shared pieces of the synthesizer tests: byte readers, a temporary folder
// and a small recording whose every GPS field differs from record to record.
#include "tools/synth/BaseVideo.h"
#include "tools/synth/RecordingWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

namespace synthtest {

inline uint32_t Le32(const QByteArray& d, qint64 o) {
    return qFromLittleEndian<quint32>(d.constData() + o);
}
inline int32_t Le32s(const QByteArray& d, qint64 o) {
    return qFromLittleEndian<qint32>(d.constData() + o);
}
inline int16_t Le16s(const QByteArray& d, qint64 o) {
    return qFromLittleEndian<qint16>(d.constData() + o);
}
inline uint16_t Be16(const QByteArray& d, qint64 o) {
    return qFromBigEndian<quint16>(d.constData() + o);
}
inline uint32_t Be32(const QByteArray& d, qint64 o) {
    return qFromBigEndian<quint32>(d.constData() + o);
}
inline double LeDouble(const QByteArray& d, qint64 o) {
    const quint64 bits = qFromLittleEndian<quint64>(d.constData() + o);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

// NMEA degrees*100+minutes back to decimal degrees.
inline double FromNmea(double v) {
    const double x = v / 100;
    const double whole = std::trunc(x);
    return whole + (x - whole) * 100 / 60;
}

// Four records at 2 a second: Tokyo standing, Tokyo moving, Sydney, and New
// York without fix or time.
inline std::vector<synth::Fix> SampleFixes() {
    std::vector<synth::Fix> fixes(4);
    fixes[0] = {35.652057, 139.7613, 12, 0, 0, 1, true};
    fixes[1] = {35.6525, 139.762, 15, 37, 90, 1, true};
    fixes[2] = {-33.8688, 151.2093, -3, 61, 181, 1, true};
    fixes[3] = {40.7128, -74.006, 8, 120, 359, 0, false};
    return fixes;
}

inline std::vector<GSensorSample> SampleGSensor() {
    return {{1, -2, 16}, {-127, 127, 0}, {0x0105, -128, 3}, {5, 6, 7}, {-1, -1, -1}};
}

inline synth::RecordingRecipe SmallRecipe(synth::Container container) {
    synth::RecordingRecipe recipe;
    recipe.container = container;
    recipe.durationMs = 2000;
    recipe.frameSize = QSize(160, 90);
    recipe.frameRate = 10;
    recipe.start = QDateTime(QDate(2021, 7, 4), QTime(18, 30, 5));
    recipe.gpsRate = 2;
    recipe.gsensorRate = 5;
    recipe.gsensorScale = 8;
    recipe.fixes = SampleFixes();
    recipe.gsensor = SampleGSensor();
    return recipe;
}

// Writes `recipe` to `relative` below `root` (ending in "/"); a failure fails
// the test that asked.
inline void WriteBelow(const QString& root, const synth::RecordingRecipe& recipe,
                       const QString& relative) {
    QString error;
    EXPECT_TRUE(synth::WriteRecording(recipe, root + relative, &error))
        << relative.toStdString() << ": " << error.toStdString();
}

class SynthFiles : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { synth::SetCacheFolder(HALVEX_BINARY_DIR "/synth-cache"); }

    QString Write(const synth::RecordingRecipe& recipe, const QString& name) {
        const QString path = dir.filePath(name);
        QString error;
        EXPECT_TRUE(synth::WriteRecording(recipe, path, &error)) << error.toStdString();
        return path;
    }

    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

} // namespace synthtest
