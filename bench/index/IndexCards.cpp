#include "IndexCards.h"

#include "BenchCard.h"
#include "tools/synth/CameraNaming.h"
#include "tools/synth/Drive.h"
#include "tools/synth/RecordingWriter.h"

#include <QDir>

namespace bench {
namespace {

const QDateTime kFirstStart(QDate(2024, 6, 3), QTime(7, 0, 0));

synth::RecordingRecipe Minute(const synth::Drive& drive, double from, const QDateTime& start) {
    synth::RecordingRecipe recipe;
    recipe.container = synth::Container::MovBoxes;
    recipe.durationMs = 60 * 1000;
    recipe.frameSize = QSize(160, 90);
    recipe.frameRate = 5;
    recipe.audio = false;
    recipe.start = start;
    recipe.gpsRate = 1;
    recipe.gsensorRate = 10;
    recipe.fixes = drive.Fixes(from, 60, 1);
    recipe.gsensor = drive.Samples(from, 600, 10);
    return recipe;
}

// The drive loops through Tokyo; minute m of a trip is that far into it.
double DriveSeconds(const synth::Drive& drive, int minute) {
    const double length = std::max(60.0, drive.Seconds() - 60);
    return std::fmod(minute * 60.0, length);
}

} // namespace

bool WriteIndexCard(const QString& root, int count, uint64_t mediaBytes, QString* error) {
    QDir(root).removeRecursively();
    const synth::Drive drive(synth::TokyoRoute());
    int written = 0;
    for (int m = 0; written < count; ++m) {
        const QDateTime start = kFirstStart.addSecs(qint64(m) * 60 + qint64(m / 10) * 600);
        const synth::RecordingRecipe recipe = Minute(drive, DriveSeconds(drive, m % 10), start);
        // Chunk names repeat after a thousand moments.
        const QString folder = QString("DCIM/Movie%1").arg(m / 1000);
        const synth::CameraPair names =
            synth::CameraNames(synth::Naming::Chunk, folder,
                               synth::PrefixFor(synth::Naming::Chunk, synth::Lock::None), m);
        for (const QString& name : {names.front, names.rear}) {
            if (written++ == count)
                break;
            const QString path = root + "/" + name;
            if (!synth::WriteRecording(recipe, path, error) ||
                (mediaBytes && !GrowMediaData(path, mediaBytes, error)))
                return false;
        }
    }
    return true;
}

bool WriteHoursCard(const QString& root, int hours, QString* error) {
    QDir(root).removeRecursively();
    const synth::Drive drive(synth::TokyoRoute());
    for (int m = 0; m < hours * 60; ++m) {
        // An hour's trip each morning and evening.
        const int trip = m / 60;
        const QDateTime start = kFirstStart.addDays(trip / 2).addSecs(qint64(trip % 2) * 10 * 3600 +
                                                                      qint64(m % 60) * 60);
        const synth::RecordingRecipe recipe = Minute(drive, DriveSeconds(drive, m % 60), start);
        const QString folder = QString("DCIM/Movie%1").arg(m / 1000);
        const synth::CameraPair names =
            synth::CameraNames(synth::Naming::Chunk, folder,
                               synth::PrefixFor(synth::Naming::Chunk, synth::Lock::None), m);
        if (!synth::WriteRecording(recipe, root + "/" + names.front, error))
            return false;
    }
    return true;
}

} // namespace bench
