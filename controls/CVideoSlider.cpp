#include "controls/CVideoSlider.h"

#include "controls/SeekState.h"
#include "controls/SliderGeometry.h"
#include "controls/SunkenEdge.h"
#include "platform/WindowMessages.h"

#include <QPainter>
#include <algorithm>

CVideoSlider::CVideoSlider(QWidget* parent)
    : CSkinnedSlider(QColor(100, 250, 100), QColor(240, 0, 180), parent) {}

int CVideoSlider::PositionFromX(int x) const {
    return std::max(CSkinnedSlider::PositionFromX(x), SeekMinimum.load());
}

void CVideoSlider::ReportDrag() {
    SendWindowMessage(parentWidget(), WM_SEEK_REQUEST);
}

SeekGeometry CVideoSlider::Geometry() const {
    const QRect channel = ChannelRect();
    return ComputeSeekGeometry(
        width(), orientation() == Qt::Vertical ? channel.height() : channel.width(), value(),
        minimum(), maximum(), {SeekMinimum.load(), SeekSpan.load(), SeekCursorX.load()});
}

void CVideoSlider::PublishCursorX(int x) {
    if (SeekCursorX.exchange(x) != x)
        emit SeekCursorMoved();
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
    SeekMinimum = g.minimum;
    SeekSpan = g.span;
    PublishCursorX(g.cursorX);
    DrawThumb(p);
}
