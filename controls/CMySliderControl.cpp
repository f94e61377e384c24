#include "controls/CMySliderControl.h"

#include "controls/ParentBackground.h"
#include "controls/SliderGeometry.h"
#include "controls/SunkenEdge.h"
#include "platform/WindowMessages.h"

#include <QMouseEvent>
#include <QPainter>

CMySliderControl::CMySliderControl(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

QRect CMySliderControl::ChannelRect() const {
    return SliderChannelRect(size(), orientation() == Qt::Vertical);
}

QRect CMySliderControl::ThumbRect() const {
    return SliderThumbRect(size(), orientation() == Qt::Vertical, value(), minimum(), maximum());
}

int CMySliderControl::PositionFromX(int x) const {
    return SliderPositionFromX(x, ChannelRect(), rect(), minimum(), maximum(), value());
}

void CMySliderControl::SendVolumeChanged() {
    SendWindowMessage(parentWidget(), WM_VOLUME_CHANGED);
}

// The slider's own mouse handling is left out: it would move the thumb a
// second time by the style's geometry, which is not the one drawn here.
void CMySliderControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    setValue(PositionFromX(qRound(event->position().x())));
    m_bDragging = true;
    update();
    event->accept();
}

void CMySliderControl::mouseMoveEvent(QMouseEvent* event) {
    if (m_bDragging) {
        setValue(PositionFromX(qRound(event->position().x())));
        SendVolumeChanged();
    }
    event->accept();
}

void CMySliderControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_bDragging) {
        QSlider::mouseReleaseEvent(event);
        return;
    }
    m_bDragging = false;
    update();
    event->accept();
    SendVolumeChanged();
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

    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(m_bDragging ? m_thumbPressed : m_thumbNormal);
    p.drawEllipse(QRectF(ThumbRect()).adjusted(0.5, 0.5, -0.5, -0.5));
}
