#pragma once
// What one encode needs and what it reports back.
#include "clip/ClipFigures.h"
#include "clip/ClipOptions.h"
#include "clip/ClipSpan.h"

#include <QStringList>
#include <functional>
#include <vector>

struct ClipEncodeJob {
    std::vector<ClipPiece> pieces;
    ClipOptions options;
    ClipFigures figures;         // empty without figures
    QString path;                // the file to write (the temporary name)
    QString preset = "veryfast"; // libx264's
    int crf = 23;
};

// Told the share done (0..1); returning false cancels the encode.
using ClipProgress = std::function<bool(double done)>;

struct ClipEncodeResult {
    bool cancelled = false;
    QString error;
    // Each piece as the clip holds it, in ms into its files: the fast path
    // widens the marks to key frames, a file cut short ends where its
    // picture does. The camera shown large (the front one of two).
    std::vector<ClipPiece> held;
    // Where each piece starts in the clip. The copy puts each piece right
    // after the one before; the encode keeps the time a piece cut short
    // lacks (its last picture stays), so the clip keeps the drive's time.
    std::vector<int64_t> clipStartMs;
    // With two cameras shown, where the rear picture of each piece ends.
    std::vector<int64_t> rearEndsMs;
    int64_t frames = 0;
    bool sound = false; // the clip holds sound
    QString soundNote;  // why it holds none although asked to, naming the file
    // Where the clip holds less than the marks ask for, each naming its file.
    QStringList notes;
};

// Whether the clip can be copied without decoding: one camera, no figures.
inline bool IsFastPath(const ClipOptions& o) {
    return (o.layout == ClipLayout::Front || o.layout == ClipLayout::Rear) && o.overlays == 0;
}
