#include "controls/CSpeedLabelStatic.h"

#include "controls/DrawGlowText.h"

#include <QMouseEvent>
#include <QPainter>

CSpeedLabelStatic::CSpeedLabelStatic(QWidget* parent) : QWidget(parent) {
    // Clicks belong to the main window, which hands double-clicks over here.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    UpdateText();
}

bool CSpeedLabelStatic::UpdateText() {
    m_unit = m_bKm ? QStringLiteral("Km/h") : QStringLiteral("MPH");
    const int value = m_bKm ? m_nSpeed : m_nSpeed * 10 / 16;
    m_number = QString::asprintf("%3d", value);
    return true;
}

void CSpeedLabelStatic::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The window's own background colour, so the read-out sits on it seamlessly.
    p.fillRect(rect(), QColor(5, 5, 5));
    if (!m_bValid)
        return;
    DrawGlowText(p, m_number, QPointF(0, 10), 20, GlowTextStyle::Instrument);
    DrawGlowText(p, m_unit, QPointF(40, 18), 12, GlowTextStyle::Instrument);
}

void CSpeedLabelStatic::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_bKm = !m_bKm;
        UpdateText();
        update();
        // Taken here: the window would otherwise maximise on it too.
        event->accept();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}
