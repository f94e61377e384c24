#include "tools/synth/TripsCard.h"

#include "tools/synth/CameraNaming.h"
#include "tools/synth/Drive.h"
#include "tools/synth/RecordingWriter.h"

#include <QDir>

namespace synth {
namespace {

enum class Happening { None, HarshBraking, Impact, SpeedOnlyStop };

struct TripPlan {
    QDateTime start;
    int recordings;
    double driveFrom; // seconds into the drive
    uint32_t seed;
    Happening happening; // in the trip's second recording
};

constexpr int kSecondsEach = 60;

const TripPlan kTrips[] = {
    {QDateTime(QDate(2024, 5, 20), QTime(8, 5, 0)), 5, 0, 3, Happening::HarshBraking},
    {QDateTime(QDate(2024, 5, 20), QTime(17, 40, 0)), 4, 300, 5, Happening::None},
    {QDateTime(QDate(2024, 5, 21), QTime(9, 15, 0)), 6, 120, 11, Happening::Impact},
    {QDateTime(QDate(2024, 5, 21), QTime(12, 30, 0)), 3, 500, 13, Happening::None},
    {QDateTime(QDate(2024, 5, 22), QTime(7, 50, 0)), 4, 60, 17, Happening::SpeedOnlyStop},
};

// Counts are sixteen to the g; y is forward.
void AddBraking(std::vector<GSensorSample>& samples, int rate, int second) {
    for (int i = 0; i < rate * 6 / 10; ++i) {
        const size_t k = size_t(second * rate + i);
        if (k < samples.size())
            samples[k].y = -10; // 0.6 g
    }
}

void AddImpact(std::vector<GSensorSample>& samples, int rate, int second) {
    const size_t k = size_t(second * rate);
    if (k < samples.size())
        samples[k] = {12, -30, 40}; // about 2.3 g above gravity
}

// The car falls from its speed to a crawl within a second, then stays slow.
void AddSpeedOnlyStop(std::vector<Fix>& fixes, int second) {
    for (size_t i = size_t(second); i < fixes.size(); ++i)
        fixes[i].speedKmh = std::min(fixes[i].speedKmh, i == size_t(second) ? 10 : 15);
    if (second > 0 && fixes[size_t(second - 1)].speedKmh < 30)
        fixes[size_t(second - 1)].speedKmh = 30;
}

} // namespace

bool WriteTripsCard(const QString& root, QString* error,
                    const std::function<void(const QString&)>& progress) {
    int sequence = 100;
    for (const TripPlan& trip : kTrips) {
        const Drive drive(TokyoRoute(), trip.seed);
        for (int f = 0; f < trip.recordings; ++f, sequence += 2) {
            const bool special = f == 1;
            RecordingRecipe recipe;
            recipe.container = Container::MovBoxes;
            recipe.durationMs = kSecondsEach * 1000;
            recipe.frameSize = QSize(320, 180);
            recipe.frameRate = 10;
            recipe.start = trip.start.addSecs(f * kSecondsEach);
            recipe.gpsRate = 1;
            recipe.gsensorRate = 10;
            const double from = trip.driveFrom + f * kSecondsEach;
            recipe.fixes = drive.Fixes(from, kSecondsEach, 1);
            recipe.gsensor = drive.Samples(from, kSecondsEach * 10, 10);
            if (special && trip.happening == Happening::HarshBraking)
                AddBraking(recipe.gsensor, 10, 25);
            if (special && trip.happening == Happening::Impact) {
                AddImpact(recipe.gsensor, 10, 40);
                recipe.lock = Lock::Event;
            }
            if (trip.happening == Happening::SpeedOnlyStop) {
                recipe.gsensor.clear();
                if (special)
                    AddSpeedOnlyStop(recipe.fixes, 30);
            }
            const CameraPair names = CameraNames(Naming::Chunk, "DCIM/Movie",
                                                 PrefixFor(Naming::Chunk, recipe.lock), sequence);
            RecordingRecipe rear = recipe;
            rear.pattern = "testsrc";
            rear.audio = false;
            if (!WriteRecordingPair(recipe, rear, names, root, error, progress))
                return false;
        }
    }
    return true;
}

} // namespace synth
