#include "controls/CVideoSlider.h"

#include "controls/SeekState.h"
#include "controls/SliderGeometry.h"
#include "controls/SunkenEdge.h"
#include "platform/WindowMessages.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

CVideoSlider::CVideoSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

QRect CVideoSlider::ChannelRect() const {
    return SliderChannelRect(size(), orientation() == Qt::Vertical);
}

QRect CVideoSlider::ThumbRect() const {
    return SliderThumbRect(size(), orientation() == Qt::Vertical, value(), minimum(), maximum());
}

int CVideoSlider::PositionFromX(int x) const {
    const int position =
        SliderPositionFromX(x, ChannelRect(), rect(), minimum(), maximum(), value());
    return std::max(position, SeekMinimum.load());
}

void CVideoSlider::SendSeekRequest() {
    SendWindowMessage(parentWidget(), WM_SEEK_REQUEST);
}

void CVideoSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    // No paging: the thumb goes straight to the point. The parent hears of it
    // on the next move or on the release.
    setValue(PositionFromX(qRound(event->position().x())));
    m_bDragging = true;
    update();
    event->accept();
}

void CVideoSlider::mouseMoveEvent(QMouseEvent* event) {
    if (m_bDragging) {
        setValue(PositionFromX(qRound(event->position().x())));
        SendSeekRequest();
    }
    QSlider::mouseMoveEvent(event);
}

void CVideoSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_bDragging) {
        QSlider::mouseReleaseEvent(event);
        return;
    }
    m_bDragging = false;
    setValue(PositionFromX(qRound(event->position().x())));
    update();
    SendSeekRequest();
    QSlider::mouseReleaseEvent(event);
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

    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(m_bDragging ? m_thumbPressed : m_thumbNormal);
    p.drawEllipse(QRectF(ThumbRect()).adjusted(0.5, 0.5, -0.5, -0.5));
}
