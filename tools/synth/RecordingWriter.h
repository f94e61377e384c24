#pragma once
#include "tools/synth/RecordingRecipe.h"

#include <QString>

namespace synth {

// Writes one recording as the camera does to `path` (folders are created, an
// existing file is replaced), then gives it the attributes of its lock state.
// Returns false with the reason in *error when it could not.
bool WriteRecording(const RecordingRecipe& recipe, const QString& path, QString* error = nullptr);

// The FileAttributes bits a file gets: the explicit ones, else read-only and
// archive for a locked file (as the camera and the lock command leave it).
unsigned AttributesFor(const RecordingRecipe& recipe);

} // namespace synth
