#include "clip/ClipGeometry.h"

#include <algorithm>

namespace {

int Even(int v) {
    return v & ~1;
}

// A box of `size` in a corner of `area`, `margin` from its edges.
QRect InCorner(ClipCorner corner, QSize area, QSize size, int margin) {
    const bool right = corner == ClipCorner::TopRight || corner == ClipCorner::BottomRight;
    const bool bottom = corner == ClipCorner::BottomLeft || corner == ClipCorner::BottomRight;
    const int x = right ? area.width() - size.width() - margin : margin;
    const int y = bottom ? area.height() - size.height() - margin : margin;
    return QRect(QPoint(Even(x), Even(y)), size);
}

} // namespace

QSize ClipFrameSize(ClipLayout layout, QSize front, QSize rear) {
    switch (layout) {
    case ClipLayout::Rear:
        return rear;
    case ClipLayout::SideBySide:
        return {front.width() * 2, front.height()};
    case ClipLayout::FrontAboveRear:
        return {front.width(), front.height() * 2};
    case ClipLayout::Front:
    case ClipLayout::PictureInPicture:
        break;
    }
    return front;
}

int ClipEdgeMargin(QSize frame) {
    return Even(std::max(2, frame.height() / 40));
}

bool ComputeClipGeometry(const ClipOptions& o, QSize front, QSize rear, QSize figuresBox,
                         ClipGeometry* out, QString* error) {
    ClipGeometry g;
    g.frame = ClipFrameSize(o.layout, front, rear);
    const int margin = ClipEdgeMargin(g.frame);
    const QString rearToFront = QStringLiteral("[r]scale=%1:%2,setsar=1[rs];[f]setsar=1[fs];")
                                    .arg(front.width())
                                    .arg(front.height());
    QString text;
    switch (o.layout) {
    case ClipLayout::Front:
        text = "[f]setsar=1[v]";
        break;
    case ClipLayout::Rear:
        text = "[r]setsar=1[v]";
        break;
    case ClipLayout::SideBySide:
        text = rearToFront + "[fs][rs]hstack=inputs=2[v]";
        break;
    case ClipLayout::FrontAboveRear:
        text = rearToFront + "[fs][rs]vstack=inputs=2[v]";
        break;
    case ClipLayout::PictureInPicture: {
        const QSize inset(Even(front.width() / 3), Even(front.height() / 3));
        g.rearInset = InCorner(o.insetCorner, g.frame, inset, margin);
        text = QStringLiteral("[r]scale=%1:%2,setsar=1[rs];[f]setsar=1[fs];"
                              "[fs][rs]overlay=x=%3:y=%4:eof_action=repeat[v]")
                   .arg(inset.width())
                   .arg(inset.height())
                   .arg(g.rearInset.x())
                   .arg(g.rearInset.y());
        break;
    }
    }
    if (figuresBox.isEmpty()) {
        text += ";[v]format=yuv420p[out]";
    } else {
        if (figuresBox.width() + 2 * margin > g.frame.width() ||
            figuresBox.height() + 2 * margin > g.frame.height()) {
            *error = QStringLiteral("the picture (%1x%2) is too small for the figures")
                         .arg(g.frame.width())
                         .arg(g.frame.height());
            return false;
        }
        // Bottom left, unless the rear picture sits there.
        const bool insetBottomLeft =
            o.layout == ClipLayout::PictureInPicture && o.insetCorner == ClipCorner::BottomLeft;
        g.figures = InCorner(insetBottomLeft ? ClipCorner::BottomRight : ClipCorner::BottomLeft,
                             g.frame, figuresBox, margin);
        text += QStringLiteral(";[v][o]overlay=x=%1:y=%2:eof_action=repeat:format=yuv420,"
                               "format=yuv420p[out]")
                    .arg(g.figures.x())
                    .arg(g.figures.y());
    }
    g.filterText = text;
    *out = g;
    return true;
}
