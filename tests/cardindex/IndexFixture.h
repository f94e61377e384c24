#pragma once
// Cards of real recordings written by the synthesizer with chosen tracks and
// G-sensor samples, scanned as the viewer scans them, for the card index.
#include "cardindex/CardIndex.h"
#include "recordings/RecordingCatalog.h"
#include "tests/support/core/ScopedTimeZone.h"
#include "tests/support/core/ScratchDir.h"
#include "tools/synth/BaseVideo.h"
#include "tools/synth/CameraNaming.h"
#include "tools/synth/RecordingWriter.h"

#include <QDateTime>
#include <cmath>
#include <gtest/gtest.h>

namespace indextest {

constexpr double kMetresPerDegree = 111320.0;
constexpr double kPi = 3.14159265358979323846;
constexpr int16_t kOneG = 16; // raw counts at the camera's scale value 8

// A car going straight from a place on a heading, one fix a second at the
// given speeds (km/h); each fix lies where the speed before it took the car.
inline std::vector<synth::Fix> StraightFixes(double latitude, double longitude,
                                             double headingDegrees,
                                             const std::vector<int>& speedsKmh) {
    std::vector<synth::Fix> fixes;
    double north = 0, east = 0;
    for (size_t i = 0; i < speedsKmh.size(); ++i) {
        synth::Fix f;
        f.latitude = latitude + north / kMetresPerDegree;
        f.longitude = longitude + east / (kMetresPerDegree * std::cos(latitude * kPi / 180));
        f.speedKmh = speedsKmh[i];
        f.headingDegrees = headingDegrees;
        fixes.push_back(f);
        const double metres = speedsKmh[i] / 3.6;
        north += metres * std::cos(headingDegrees * kPi / 180);
        east += metres * std::sin(headingDegrees * kPi / 180);
    }
    return fixes;
}

// A level road: gravity only, `seconds` at `rate` samples a second.
inline std::vector<GSensorSample> QuietSamples(int seconds, int rate) {
    return std::vector<GSensorSample>(size_t(seconds * rate), GSensorSample{0, 0, kOneG});
}

// A recording of one second a fix starting at `start` (the camera's
// clock, which these tests keep in UTC).
inline synth::RecordingRecipe Recipe(const QDateTime& start, std::vector<synth::Fix> fixes,
                                     std::vector<GSensorSample> samples) {
    synth::RecordingRecipe recipe;
    recipe.container = synth::Container::MovBoxes;
    recipe.durationMs = int(fixes.size()) * 1000;
    recipe.frameSize = QSize(160, 90);
    recipe.frameRate = 5;
    recipe.audio = false;
    recipe.start = start;
    recipe.gpsRate = 1;
    recipe.gsensorRate = 10;
    recipe.gsensorScale = 8;
    recipe.fixes = std::move(fixes);
    recipe.gsensor = std::move(samples);
    return recipe;
}

inline QDateTime At(int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(2024, 3, day), QTime(hour, minute, second), Qt::UTC);
}

class IndexTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { synth::SetCacheFolder(HALVEX_BINARY_DIR "/synth-cache"); }

    // Writes the front file of moment `sequence` (and the rear with the same
    // data when asked); returns the front's path.
    QString WritePair(const synth::RecordingRecipe& recipe, int sequence, bool front = true,
                      bool rear = true) {
        const synth::CameraPair names =
            synth::CameraNames(synth::Naming::Chunk, "dcim",
                               synth::PrefixFor(synth::Naming::Chunk, recipe.lock), sequence);
        QString error;
        if (front) {
            EXPECT_TRUE(synth::WriteRecording(recipe, card.Root() + names.front, &error))
                << error.toStdString();
        }
        if (rear) {
            EXPECT_TRUE(synth::WriteRecording(recipe, card.Root() + names.rear, &error))
                << error.toStdString();
        }
        return card.Root() + (front ? names.front : names.rear);
    }

    // Scans the card as Open does and indexes it.
    bool Index(CardIndex* index, const QString& cacheFolder = QString(), QString* note = nullptr) {
        RecordingCatalog catalog;
        catalog.Open(card.path());
        QString line;
        const bool built = index->Build(catalog.Files(), cacheFolder, {}, &line);
        if (note)
            *note = line;
        return built;
    }

    ScopedTimeZone zone{"UTC0"};
    ScratchDir card;
};

} // namespace indextest
