#include "controls/CMySliderControl.h"

#include "controls/ParentBackground.h"
#include "controls/SunkenEdge.h"
#include "platform/WindowMessages.h"

#include <QPainter>

CMySliderControl::CMySliderControl(QWidget* parent)
    : CSkinnedSlider(QColor(255, 0, 0), QColor(170, 0, 0), parent) {}

void CMySliderControl::ReportDrag() {
    SendWindowMessage(parentWidget(), WM_VOLUME_CHANGED);
}

void CMySliderControl::moveEvent(QMoveEvent* event) {
    QSlider::moveEvent(event);
    m_background = QImage();
    update();
}

void CMySliderControl::resizeEvent(QResizeEvent* event) {
    QSlider::resizeEvent(event);
    m_background = QImage();
    update();
}

void CMySliderControl::paintEvent(QPaintEvent*) {
    // One copy of what lies under the slider, reused on every redraw, so the
    // slider does not flicker over the skinned window.
    if (m_background.isNull())
        m_background = ParentBackground(this);
    QPainter p(this);
    p.drawImage(0, 0, m_background);

    const bool vertical = orientation() == Qt::Vertical;
    QRect channel = ChannelRect();
    channel = vertical ? channel.adjusted(-1, 0, 1, 0) : channel.adjusted(0, -2, 0, 2);
    DrawSunkenEdge(p, channel);

    DrawThumb(p);
}
