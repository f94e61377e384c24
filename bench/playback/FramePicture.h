#pragma once
#include <vector>

// What a region of the screen shows while a recording starts: nothing yet
// (near black), the picture of the recording played before (red, green and
// blue stripes), or the picture of the recording being started (the moving
// test picture, which holds yellow, cyan and magenta).
namespace FramePicture {

struct Rgb {
    int r, g, b;
};

enum class Kind { Black, Other, Video };

// `pixels` are rows sampled across the region.
Kind Classify(const std::vector<Rgb>& pixels);

} // namespace FramePicture
