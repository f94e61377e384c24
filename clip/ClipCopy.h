#pragma once
// The fast path: one camera's packets copied from key frame to key frame
// without decoding; the sound is encoded anew as AAC.
#include "clip/ClipEncodeJob.h"

// False with *error when the source cannot be copied as it is (the caller
// then encodes instead), or when writing failed or was cancelled.
bool CopyClip(const ClipEncodeJob& job, const ClipProgress& progress, ClipEncodeResult* result,
              bool* copyable);
