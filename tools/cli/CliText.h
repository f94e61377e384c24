#pragma once
// The readable text printed by halvex-cli without --json: columns like the
// group list and the file list show.
#include "recordings/RecordingCatalog.h"

#include <QString>

namespace CliText {

QString Scan(const RecordingCatalog& catalog);
QString Info(const QString& path, const RecordingInfo& info);
QString Track(const RecordingCatalog& catalog);

} // namespace CliText
