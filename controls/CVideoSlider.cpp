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

void CVideoSlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    DrawSunkenEdge(p, rect());

    const QRect channel = ChannelRect();
    const SeekGeometry g = ComputeSeekGeometry(
        width(), orientation() == Qt::Vertical ? channel.height() : channel.width(), value(),
        minimum(), maximum(), {SeekMinimum.load(), SeekSpan.load(), SeekCursorX.load()});
    SeekMinimum = g.minimum;
    SeekSpan = g.span;
    SeekCursorX = g.cursorX;

    DrawThumb(p);
}
