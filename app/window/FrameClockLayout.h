#pragma once
#include <QRect>

// The frame clock's room in the title strip of a window cx pixels wide:
// from the GPS indicator to the S button, the strip's full height; empty
// when there is no room.
QRect FrameClockRect(int cx);
// Inside that room, in its coordinates: the part right of the speed read-out
// (the playback-rate label lies in it), and the band under the read-outs.
QRect FrameClockBeside(int cx);
QRect FrameClockBelow(int cx);
