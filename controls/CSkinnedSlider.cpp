#include "controls/CSkinnedSlider.h"

#include "controls/SliderGeometry.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

CSkinnedSlider::CSkinnedSlider(QColor thumbNormal, QColor thumbPressed, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), m_thumbNormal(thumbNormal), m_thumbPressed(thumbPressed) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractSlider::actionTriggered, this, [this] { m_bActionTaken = true; });
}

QRect CSkinnedSlider::ChannelRect() const {
    return SliderChannelRect(size(), orientation() == Qt::Vertical);
}

QRect CSkinnedSlider::ThumbRect() const {
    return SliderThumbRect(size(), orientation() == Qt::Vertical, value(), minimum(), maximum());
}

int CSkinnedSlider::PositionFromX(int x) const {
    return SliderPositionFromX(x, ChannelRect(), rect(), minimum(), maximum(), value());
}

void CSkinnedSlider::DrawThumb(QPainter& p) const {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(m_bDragging ? m_thumbPressed : m_thumbNormal);
    p.drawEllipse(QRectF(ThumbRect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

// QSlider's own handling of the left button is left out: it would move the
// thumb a second time by the style's geometry, which is not the one drawn.
void CSkinnedSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    // The parent hears of the press on the next move or on the release.
    setValue(PositionFromX(qRound(event->position().x())));
    m_bDragging = true;
    update();
    event->accept();
}

void CSkinnedSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!m_bDragging) {
        QSlider::mouseMoveEvent(event);
        return;
    }
    setValue(PositionFromX(qRound(event->position().x())));
    ReportDrag();
    event->accept();
}

void CSkinnedSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_bDragging) {
        QSlider::mouseReleaseEvent(event);
        return;
    }
    m_bDragging = false;
    setValue(PositionFromX(qRound(event->position().x())));
    update();
    event->accept();
    ReportDrag();
}

// The slider applies an action only after announcing it; the notification
// goes out once the position is set.
void CSkinnedSlider::wheelEvent(QWheelEvent* event) {
    m_bActionTaken = false;
    QSlider::wheelEvent(event);
    if (m_bActionTaken)
        emit Scrolled();
}

void CSkinnedSlider::keyPressEvent(QKeyEvent* event) {
    m_bActionTaken = false;
    QSlider::keyPressEvent(event);
    if (m_bActionTaken)
        emit Scrolled();
}
