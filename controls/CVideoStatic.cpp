#include "controls/CVideoStatic.h"

#include "controls/DrawGlowText.h"
#include "platform/WindowMessages.h"

#include <QMouseEvent>
#include <QPainter>

CVideoStatic::CVideoStatic(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NativeWindow);
    // Only the surface needs its own X window, not the window around it.
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CVideoStatic::SetCounterShown(bool shown) {
    m_bShowCounter = shown;
    update();
}

void CVideoStatic::ShowScanCount(int count) {
    m_nCounter = count;
    repaint();
}

void CVideoStatic::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(5, 5, 5));
    if (m_bShowCounter)
        DrawGlowText(p, QString::number(m_nCounter), QPointF(10, 10), 72, GlowTextStyle::Video);
}

// The surfaces are child windows: a press must not start anything.
void CVideoStatic::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void CVideoStatic::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        SendWindowMessage(parentWidget(), WM_VIDEO_DBLCLK);
    event->accept();
}
