#include "tools/synth/DemoCard.h"

#include "tools/synth/CameraNaming.h"
#include "tools/synth/Drive.h"
#include "tools/synth/RecordingWriter.h"

#include <QDir>

namespace synth {
namespace {

struct GroupPlan {
    Container container;
    Naming naming;
    Lock lock;
    int firstSequence;
    int files;
    int secondsEach;
    double driveFrom; // seconds into the drive
    bool pothole;     // the jolt that makes the camera lock the file
};

// Five groups, separated by pauses, and an AVI pair (parsed by the viewer
// but not listed).
const GroupPlan kPlan[] = {
    {Container::MovBoxes, Naming::Chunk, Lock::None, 1, 3, 30, 0, false},
    {Container::MovTrack, Naming::Metadata, Lock::None, 1, 2, 30, 150, false},
    {Container::MovBoxes, Naming::Chunk, Lock::Event, 4, 1, 20, 260, true},
    {Container::MovTrack, Naming::Metadata, Lock::Hand, 3, 1, 30, 330, false},
    {Container::MovTrack, Naming::Metadata, Lock::Event, 4, 1, 20, 420, true},
    {Container::MovBoxes, Naming::Chunk, Lock::Hand, 5, 2, 20, 500, false},
    {Container::Avi, Naming::Chunk, Lock::None, 90, 1, 20, 600, false},
};

const QDateTime kFirstStart(QDate(2024, 5, 18), QTime(9, 12, 0));

// A hard jolt (pothole and braking) half way through the samples.
void AddPothole(std::vector<GSensorSample>& samples, int rate) {
    const size_t middle = samples.size() / 2;
    const int16_t jolt[][3] = {{6, -20, 52}, {-9, -34, -14}, {4, -26, 40}, {-2, -12, 10}};
    for (size_t k = 0; k < 4 && middle + k < samples.size(); ++k) {
        const size_t i = middle + k * size_t(std::max(1, rate / 5));
        if (i < samples.size())
            samples[i] = {jolt[k][0], jolt[k][1], jolt[k][2]};
    }
}

} // namespace

bool WriteDemoCard(const QString& root, QString* error,
                   const std::function<void(const QString&)>& progress) {
    const Drive drive(TokyoRoute());
    for (const GroupPlan& g : kPlan) {
        const bool track = g.container == Container::MovTrack;
        const QString folder = g.container == Container::Avi ? "DCIM/AVI" : "DCIM/Movie";
        for (int f = 0; f < g.files; ++f) {
            const double from = g.driveFrom + f * g.secondsEach;
            RecordingRecipe recipe;
            recipe.container = g.container;
            recipe.durationMs = g.secondsEach * 1000;
            recipe.frameRate = 30;
            recipe.start = kFirstStart.addSecs(qint64(from));
            recipe.lock = g.lock;
            recipe.gpsRate = track ? kTrackRecordRate : 1;
            recipe.gsensorRate = track ? kTrackRecordRate : 10;
            recipe.fixes = drive.Fixes(from, g.secondsEach * recipe.gpsRate, recipe.gpsRate);
            recipe.gsensor =
                drive.Samples(from, g.secondsEach * recipe.gsensorRate, recipe.gsensorRate);
            if (g.pothole)
                AddPothole(recipe.gsensor, recipe.gsensorRate);

            const CameraPair names =
                CameraNames(g.naming, folder, PrefixFor(g.naming, g.lock), g.firstSequence + f,
                            g.container == Container::Avi ? "AVI" : "MOV");
            // The rear camera: smaller picture, another test pattern, no sound.
            RecordingRecipe rear = recipe;
            rear.frameSize = QSize(480, 270);
            rear.pattern = "testsrc";
            rear.audio = false;
            recipe.frameSize = QSize(640, 360);
            if (!WriteRecordingPair(recipe, rear, names, root, error, progress))
                return false;
        }
    }
    return true;
}

} // namespace synth
