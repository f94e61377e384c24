#include "controls/ListRowTexts.h"

#include "recordings/LocalTimeText.h"

namespace {
QString Megabytes(uint64_t bytes) {
    return QString::asprintf(" %llu MB", static_cast<unsigned long long>(bytes / 1048576));
}
} // namespace

QStringList FileRowTexts(int groupNumber, int indexInGroup, const QString& folderText,
                         const QString& fileName, uint32_t durationMs, uint64_t fileSize,
                         int64_t startTime) {
    return {QString::asprintf("G%d-%d", groupNumber, indexInGroup),
            fileName,
            FormatLocalTime(startTime, "%H:%M:%S"),
            FormatLocalTime(startTime + int64_t(durationMs / 1000), "%H:%M:%S"),
            Megabytes(fileSize),
            folderText};
}

QStringList GroupRowTexts(int groupNumber, const QString& resolution, uint64_t totalDurationMs,
                          uint64_t totalSize, int64_t startTime) {
    return {QString::asprintf("G%d", groupNumber), resolution,
            FormatLocalTime(startTime, "%Y-%m-%d %H:%M:%S"),
            QString::asprintf(" %llu s ", static_cast<unsigned long long>(totalDurationMs / 1000)),
            Megabytes(totalSize)};
}
