#pragma once
// Geometry and arithmetic shared by the skinned sliders.
#include <QRect>
#include <QSize>

// The channel the thumb runs along: inset by half a thumb and a little more
// at both ends, a thin band across the middle.
QRect SliderChannelRect(QSize client, bool vertical);
// The thumb's rectangle for a position.
QRect SliderThumbRect(QSize client, bool vertical, int position, int minimum, int maximum);
// The position under a mouse x: (max - min) x (x - channel left - client
// left) / channel width, rounded toward zero. `current` when the range or
// the channel is empty.
int SliderPositionFromX(int x, const QRect& channel, const QRect& client, int minimum, int maximum,
                        int current);

struct SeekGeometry {
    int minimum;
    int span;
    int cursorX;
};
// The shared seek values for a position slider of that client width and
// channel width. A slider without width or range leaves them as they were
// (`previous`).
SeekGeometry ComputeSeekGeometry(int clientWidth, int channelWidth, int position, int minimum,
                                 int maximum, const SeekGeometry& previous);
