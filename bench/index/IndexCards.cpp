#include "IndexCards.h"

#include "BenchCard.h"
#include "tools/synth/CameraNaming.h"
#include "tools/synth/Drive.h"
#include "tools/synth/RecordingWriter.h"

#include <QDir>

namespace bench {
namespace {

const QDateTime kFirstStart(QDate(2024, 6, 3), QTime(7, 0, 0));

synth::RecordingRecipe Minutes(const synth::Drive& drive, double from, const QDateTime& start,
                               int minutes = 1, int frameRate = 5) {
    const int seconds = minutes * 60;
    synth::RecordingRecipe recipe;
    recipe.container = synth::Container::MovBoxes;
    recipe.durationMs = seconds * 1000;
    recipe.frameSize = QSize(160, 90);
    recipe.frameRate = frameRate;
    recipe.audio = false;
    recipe.start = start;
    recipe.gpsRate = 1;
    recipe.gsensorRate = 10;
    recipe.fixes = drive.Fixes(from, seconds, 1);
    recipe.gsensor = drive.Samples(from, seconds * 10, 10);
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
        const synth::RecordingRecipe recipe = Minutes(drive, DriveSeconds(drive, m % 10), start);
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
    // Five-minute recordings (the index does not care how a camera cuts an
    // hour, and the card stays small), an hour's trip each morning and evening.
    for (int k = 0; k < hours * 12; ++k) {
        const int trip = k / 12;
        const QDateTime start = kFirstStart.addDays(trip / 2).addSecs(qint64(trip % 2) * 10 * 3600 +
                                                                      qint64(k % 12) * 300);
        synth::RecordingRecipe recipe =
            Minutes(drive, DriveSeconds(drive, (k % 12) * 5), start, 5, 1);
        // Trips in a hundred places, so that one place sees a few drives.
        for (synth::Fix& f : recipe.fixes) {
            f.latitude += (trip % 10) * 0.05;
            f.longitude += (trip / 10 % 10) * 0.05;
        }
        const QString folder = QString("DCIM/Movie%1").arg(k / 1000);
        const synth::CameraPair names =
            synth::CameraNames(synth::Naming::Chunk, folder,
                               synth::PrefixFor(synth::Naming::Chunk, synth::Lock::None), k);
        if (!synth::WriteRecording(recipe, root + "/" + names.front, error))
            return false;
    }
    return true;
}

} // namespace bench
