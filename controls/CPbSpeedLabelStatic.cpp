#include "controls/CPbSpeedLabelStatic.h"

#include "controls/DrawGlowText.h"

#include <QPainter>

CPbSpeedLabelStatic::CPbSpeedLabelStatic(QWidget* parent) : QWidget(parent) {}

bool CPbSpeedLabelStatic::SetText(const char* text, bool visible) {
    const QString shown = text ? QString::fromLocal8Bit(text) : QString();
    if (shown == m_text && visible == m_bVisible)
        return true;
    m_text = shown;
    m_bVisible = visible;
    update();
    return true;
}

void CPbSpeedLabelStatic::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(5, 5, 5));
    if (m_bVisible)
        DrawGlowText(p, m_text, QPointF(0, 10), 20, GlowTextStyle::Instrument);
}
