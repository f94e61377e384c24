#pragma once
#include <QString>
#include <functional>

namespace synth {

// Writes a demo memory card below `root`: DCIM folders holding several groups
// of consecutive front/rear recordings of both naming schemes and MOV
// layouts, event- and hand-locked files and an AVI pair, all of one drive
// through central Tokyo. `progress` (may be empty) hears each file written.
bool WriteDemoCard(const QString& root, QString* error,
                   const std::function<void(const QString&)>& progress = {});

} // namespace synth
