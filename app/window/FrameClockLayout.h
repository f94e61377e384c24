#pragma once
#include <QRect>

// The strip of the title bar between the speed read-out and the S button
// (the playback-rate label lies in it), for a window cx pixels wide; empty
// when there is no room.
QRect FrameClockRect(int cx);
