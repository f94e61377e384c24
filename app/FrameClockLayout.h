#pragma once
#include <QRect>

// The free strip of the title bar between the playback-rate label and the
// S button, for a window cx pixels wide; empty when there is no room.
QRect FrameClockRect(int cx);
