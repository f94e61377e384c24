#pragma once
// Where a clip goes unless the user says otherwise.
#include "clip/ClipSpan.h"

#include <QString>
#include <vector>

// The user's videos folder (as xdg-user-dir VIDEOS names it, else
// ~/Videos), in a folder of the program's own.
QString DefaultClipFolder();

// The folder the last clip went to, else the default one.
QString ClipFolder();

// "<first recording>_CLIP_<start>.mp4": named after the first recording the
// span draws from and the span's start in local time.
QString DefaultClipName(const std::vector<ClipSource>& sources, int64_t fromMs);
