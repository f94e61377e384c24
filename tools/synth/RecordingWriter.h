#pragma once
#include "tools/synth/CameraNaming.h"
#include "tools/synth/RecordingRecipe.h"

#include <QString>
#include <functional>

namespace synth {

// Writes one recording as the camera does to `path` (folders are created, an
// existing file is replaced), then gives it the attributes of its lock state.
// Returns false with the reason in *error when it could not.
bool WriteRecording(const RecordingRecipe& recipe, const QString& path, QString* error = nullptr);

// Writes the front and the rear file of one moment below `root` under the
// pair's names, front first; `progress` (may be empty) hears each path.
bool WriteRecordingPair(const RecordingRecipe& front, const RecordingRecipe& rear,
                        const CameraPair& names, const QString& root, QString* error,
                        const std::function<void(const QString&)>& progress);

// The FileAttributes bits a file gets: the explicit ones, else read-only and
// archive for a locked file (as the camera and the lock command leave it).
unsigned AttributesFor(const RecordingRecipe& recipe);

} // namespace synth
