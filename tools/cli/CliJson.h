#pragma once
// The JSON shapes printed by halvex-cli.
#include "recordings/RecordingCatalog.h"

#include <QJsonObject>
#include <functional>

namespace CliJson {

QJsonObject Info(const RecordingInfo& info);
// The info fields plus the entry's own (name, root, folder, group start, flags).
QJsonObject File(const RecordingFile& file);
// Scan count and the groups, each with its files, written a recording at a
// time: the text of a large card is never held whole. The bytes are those
// of QJsonDocument's indented form of the same object.
void WriteScan(const RecordingCatalog& catalog,
               const std::function<void(const QByteArray&)>& write);
// A recording's records as stored, written piece by piece: a day-long track
// is never held as one document.
void WriteTrack(const StoredTrack& track, const std::function<void(const QByteArray&)>& write);

// Qt's JSON text escapes the C0 controls only; DEL and the C1 controls (a
// terminal reads U+009B as an escape sequence) become \u escapes too.
QByteArray EscapeControls(const QByteArray& json);

} // namespace CliJson
