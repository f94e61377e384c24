#pragma once
#include <QString>

// Small real H.264 recordings made with the ffmpeg command line, for tests
// that need libvlc to decode something. Each call writes a new file.
struct TestVideoRecipe {
    double seconds = 2.0;
    int width = 160;
    int height = 90;
    bool audio = true;
};

// Writes the video to `path` (container chosen by its extension); returns
// false, with ffmpeg's complaint in *error, when it could not.
bool MakeTestVideo(const QString& path, const TestVideoRecipe& recipe = {},
                   QString* error = nullptr);
