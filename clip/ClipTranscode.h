#pragma once
// The clip decoded, composed in libavfilter (layout and figures box) and
// encoded as H.264 and AAC.
#include "clip/ClipEncodeJob.h"

bool TranscodeClip(const ClipEncodeJob& job, const ClipProgress& progress,
                   ClipEncodeResult* result);
