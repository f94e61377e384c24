#include "recordings/TripExport.h"

#include "platform/CheckedFileWriter.h"
#include "platform/PathUtil.h"
#include "recordings/CsvExport.h"
#include "recordings/GpxExport.h"
#include "recordings/LocalTimeText.h"
#include "recordings/RecordingCatalog.h"

#include <QFile>
#include <vector>

QString TripBaseName(const Trip& trip, bool wholeTrip) {
    const RecordingFile& f = trip.first;
    return f.fileName.left(f.fileName.size() - 4) +
           FormatLocalTime(f.info.startTime, "_%Y_%m_%d_%H-%M-%S") +
           (wholeTrip ? QStringLiteral("_TRIP") : QString());
}

bool WriteTrip(const Trip& trip, TripFormat format, bool gsensor, bool wholeTrip,
               const QString& folder, QStringList* written, QString* error) {
    const QString base = (folder.isEmpty() ? folder : PathUtil::WithTrailingSeparator(folder)) +
                         TripBaseName(trip, wholeTrip);
    struct Output {
        QString path;
        QByteArray bytes;
    };
    std::vector<Output> outputs;
    if (format == TripFormat::Gpx) {
        outputs.push_back({base + ".GPX", GpxDocument(trip, TripBaseName(trip, wholeTrip))});
    } else {
        outputs.push_back({base + ".CSV", CsvPoints(trip)});
        if (gsensor)
            outputs.push_back({base + "_GSENSOR.CSV", CsvSamples(trip)});
    }
    QStringList done;
    for (const Output& o : outputs) {
        if (written)
            *written << o.path;
        if (!CheckedFileWriter::WriteFile(o.path, o.bytes, error)) {
            for (const QString& path : done)
                QFile::remove(path);
            return false;
        }
        done << o.path;
    }
    return true;
}

bool WriteTripKml(const RecordingCatalog& catalog, const std::vector<int>& fileIndices,
                  const QString& folder, QStringList* written,
                  const std::vector<PrivacyZone>& zones, int* leftOut) {
    if (leftOut)
        *leftOut = 0;
    for (int index : fileIndices) {
        if (index < 0 || size_t(index) >= catalog.Files().size())
            return false;
        RecordingCatalog scratch;
        scratch.ListFiles({catalog.Files()[size_t(index)]});
        QString name;
        int gone = 0;
        const bool ok = scratch.LoadTrack(0) && scratch.ExportKml(folder, &name, zones, &gone);
        if (leftOut)
            *leftOut += gone;
        if (written && !name.isEmpty())
            *written << name;
        if (!ok)
            return false;
    }
    return !fileIndices.empty();
}
