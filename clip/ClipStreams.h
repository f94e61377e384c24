#pragma once
// What a written clip really holds, read back from its file: the length of
// its picture and of its sound, so the bundle states what the file holds
// rather than what was asked for.
#include <QString>
#include <cstdint>

struct ClipStreamLengths {
    int64_t videoMs = 0; // 0 without a picture
    int64_t frames = 0;
    double frameMs = 0; // one picture's time
    bool sound = false;
    int64_t soundMs = 0;
};

// False with the reason, naming the file, when it cannot be read back.
bool MeasureClipStreams(const QString& path, ClipStreamLengths* lengths, QString* error);
