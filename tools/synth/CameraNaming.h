#pragma once
#include "tools/synth/RecordingRecipe.h"

#include <QString>

// How the camera names the two files of one moment.
namespace synth {

enum class Naming {
    // <folder>/front/FILE0010.MOV and <folder>/back/FILE0011_b.MOV
    Chunk,
    // <folder>F/MOV_0001F.MOV and <folder>R/MOV_0001R.MOV: the two files
    // differ only in the last two "F"/"R" characters of their paths.
    Metadata,
};

struct CameraPair {
    QString front; // relative to the card root
    QString rear;
};

// The name's first four characters: "EVGS" for an event-locked file; for a
// hand-locked metadata file "EVSW" (a chunk file is found locked by its
// attributes instead); "FILE" or "MOV_" otherwise.
QString PrefixFor(Naming naming, Lock lock);

CameraPair CameraNames(Naming naming, const QString& folder, const QString& prefix, int sequence,
                       const QString& extension = "MOV");

} // namespace synth
