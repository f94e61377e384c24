#include "controls/CVideoSlider.h"

#include "controls/SliderGeometry.h"
#include "controls/SunkenEdge.h"
#include "platform/WindowMessages.h"

#include <QPainter>
#include <algorithm>

CVideoSlider::CVideoSlider(QWidget* parent)
    : CSkinnedSlider(QColor(100, 250, 100), QColor(240, 0, 180), parent) {}

int CVideoSlider::PositionFromX(int x) const {
    return std::max(CSkinnedSlider::PositionFromX(x), seek_.minimum);
}

void CVideoSlider::ReportDrag() {
    SendWindowMessage(parentWidget(), WM_SEEK_REQUEST);
}

SeekGeometry CVideoSlider::Geometry() const {
    const QRect channel = ChannelRect();
    return ComputeSeekGeometry(width(),
                               orientation() == Qt::Vertical ? channel.height() : channel.width(),
                               value(), minimum(), maximum(), seek_);
}

void CVideoSlider::PublishCursorX(int x) {
    if (seek_.cursorX == x)
        return;
    seek_.cursorX = x;
    emit SeekCursorMoved(x);
}

// The cursor's place goes out as soon as the value moves rather than at the
// next paint, so the G-sensor cursor follows in the same frame.
void CVideoSlider::sliderChange(SliderChange change) {
    CSkinnedSlider::sliderChange(change);
    PublishCursorX(Geometry().cursorX);
}

void CVideoSlider::resizeEvent(QResizeEvent* event) {
    CSkinnedSlider::resizeEvent(event);
    PublishCursorX(Geometry().cursorX);
}

void CVideoSlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    DrawSunkenEdge(p, rect());
    const SeekGeometry g = Geometry();
    seek_.minimum = g.minimum;
    seek_.span = g.span;
    PublishCursorX(g.cursorX);
    DrawThumb(p);
}
