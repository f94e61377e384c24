#pragma once
// The readable text printed by halvex-cli without --json: columns like the
// group list and the file list show.
#include "recordings/RecordingCatalog.h"

#include <QString>
#include <functional>

namespace CliText {

QString Scan(const RecordingCatalog& catalog);
QString Info(const QString& path, const RecordingInfo& info);
// A recording's records as stored, written piece by piece, so that a long
// track is never held as one text.
void WriteTrack(const StoredTrack& track, const std::function<void(const QString&)>& write);

// "1 trip", "2 trips": a count with its noun, plural after any count but one.
QString Counted(qint64 count, const char* noun);

// The text with every control character (C0, DEL, C1) written as \xNN, so
// that a file name cannot clear the terminal or set its title.
QString Printable(const QString& text);

} // namespace CliText
