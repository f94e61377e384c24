#pragma once
// The texts of one row of the file list and of the group list, column by
// column. Sizes are whole megabytes and lengths whole seconds, truncated.
#include <QString>
#include <QStringList>
#include <cstdint>

// ID, File Name, Start Time, End Time, File Size, Folder.
QStringList FileRowTexts(int groupNumber, int indexInGroup, const QString& folderText,
                         const QString& fileName, uint32_t durationMs, uint64_t fileSize,
                         int64_t startTime);

// Group, Resolution, Start Time, Length, File Size.
QStringList GroupRowTexts(int groupNumber, const QString& resolution, uint64_t totalDurationMs,
                          uint64_t totalSize, int64_t startTime);
