#include "controls/SliderGeometry.h"

#include <algorithm>

namespace {
constexpr int kThumbBreadth = 10;
constexpr int kChannelInset = kThumbBreadth / 2 + 3;
constexpr int kChannelThickness = 4;
} // namespace

QRect SliderChannelRect(QSize client, bool vertical) {
    if (vertical) {
        const int left = (client.width() - kChannelThickness) / 2;
        return QRect(left, kChannelInset, kChannelThickness,
                     std::max(0, client.height() - 2 * kChannelInset));
    }
    const int top = (client.height() - kChannelThickness) / 2;
    return QRect(kChannelInset, top, std::max(0, client.width() - 2 * kChannelInset),
                 kChannelThickness);
}

QRect SliderThumbRect(QSize client, bool vertical, int position, int minimum, int maximum) {
    const QRect channel = SliderChannelRect(client, vertical);
    const int length = vertical ? channel.height() : channel.width();
    const int range = maximum - minimum;
    const int offset = range > 0 ? int((long long)(position - minimum) * length / range) : 0;
    const int centre = (vertical ? channel.top() : channel.left()) + std::clamp(offset, 0, length);
    if (vertical) {
        const int breadth = std::clamp(client.width() - 6, 6, 14);
        return QRect((client.width() - breadth) / 2, centre - kThumbBreadth / 2, breadth,
                     kThumbBreadth);
    }
    const int breadth = std::clamp(client.height() - 6, 6, 14);
    return QRect(centre - kThumbBreadth / 2, (client.height() - breadth) / 2, kThumbBreadth,
                 breadth);
}

int SliderPositionFromX(int x, const QRect& channel, const QRect& client, int minimum, int maximum,
                        int current) {
    const int width = channel.width();
    if (maximum == minimum || width <= 0)
        return current;
    return int((long long)(maximum - minimum) * (x - channel.left() - client.left()) / width);
}

SeekGeometry ComputeSeekGeometry(int clientWidth, int channelWidth, int position, int minimum,
                                 int maximum, const SeekGeometry& previous) {
    if (clientWidth <= 0 || maximum == minimum)
        return previous;
    SeekGeometry g;
    // Below 18 pixels the quotient would pass 1000 and leave a span of zero
    // or less, which the seek arithmetic divides by.
    g.minimum = std::min(17760 / clientWidth, 999);
    g.span = 1000 - g.minimum;
    g.cursorX = int((long long)position * (channelWidth - 10) / (maximum - minimum) + 10);
    return g;
}
