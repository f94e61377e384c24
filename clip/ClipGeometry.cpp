#include "clip/ClipGeometry.h"

#include <algorithm>
#include <cmath>

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

// The factor the cameras' pictures are scaled by: 1 unless figures are drawn
// on a picture of fewer lines than they need.
double FigureScale(ClipLayout layout, QSize front, QSize rear, bool figures) {
    const int lines = ClipFrameSize(layout, front, rear).height();
    return figures && lines > 0 && lines < kClipFigureLines ? double(kClipFigureLines) / lines
                                                            : 1.0;
}

QSize Scaled(QSize size, double factor) {
    if (factor == 1.0 || size.isEmpty())
        return size;
    return {Even(int(std::lround(size.width() * factor)) + 1),
            Even(int(std::lround(size.height() * factor)) + 1)};
}

// A camera's input filtered to `to` pixels from `from`, square pixels.
QString Fitted(const char* input, QSize from, QSize to) {
    if (from == to)
        return QStringLiteral("[%1]setsar=1").arg(input);
    return QStringLiteral("[%1]scale=%2:%3:flags=bicubic,setsar=1")
        .arg(input)
        .arg(to.width())
        .arg(to.height());
}

} // namespace

QSize ClipPictureSize(ClipLayout layout, QSize front, QSize rear, bool figures) {
    const double k = FigureScale(layout, front, rear, figures);
    return ClipFrameSize(layout, Scaled(front, k), Scaled(rear, k));
}

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

bool ComputeClipGeometry(const ClipOptions& o, QSize frontIn, QSize rearIn, QSize figuresBox,
                         ClipGeometry* out, QString* error) {
    ClipGeometry g;
    const double k = FigureScale(o.layout, frontIn, rearIn, !figuresBox.isEmpty());
    const QSize front = Scaled(frontIn, k), rear = Scaled(rearIn, k);
    g.frame = ClipFrameSize(o.layout, front, rear);
    const int margin = ClipEdgeMargin(g.frame);
    const QString rearToFront = QStringLiteral("[r]scale=%1:%2,setsar=1[rs];%3[fs];")
                                    .arg(front.width())
                                    .arg(front.height())
                                    .arg(Fitted("f", frontIn, front));
    QString text;
    switch (o.layout) {
    case ClipLayout::Front:
        text = Fitted("f", frontIn, front) + "[v]";
        break;
    case ClipLayout::Rear:
        text = Fitted("r", rearIn, rear) + "[v]";
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
        text = QStringLiteral("[r]scale=%1:%2,setsar=1[rs];%3[fs];"
                              "[fs][rs]overlay=x=%4:y=%5:eof_action=repeat[v]")
                   .arg(inset.width())
                   .arg(inset.height())
                   .arg(Fitted("f", frontIn, front))
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
