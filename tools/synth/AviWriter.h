#pragma once
#include "tools/synth/RecordingRecipe.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace synth {

// Turns an ffmpeg AVI into a camera recording: the "JTDD" marker in the main
// header's first reserved word and the camera's chunks after the index, inside
// the RIFF form.
std::optional<QByteArray> BuildAvi(const QByteArray& base, const RecordingRecipe& recipe,
                                   QString* error);

} // namespace synth
