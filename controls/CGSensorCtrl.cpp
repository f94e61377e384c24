#include "controls/CGSensorCtrl.h"

#include "controls/GSensorCurvePainter.h"
#include "controls/SeekState.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

CGSensorCtrl::CGSensorCtrl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_plot = GSensorPlot::FromClient(size());
}

void CGSensorCtrl::RecalcScale() {
    m_state.duration = GSensorDuration(m_state);
}

bool CGSensorCtrl::SetPosition(int milliseconds) {
    m_state.position = milliseconds;
    RecalcScale();
    if (m_state.position > m_state.duration)
        m_state.position = m_state.duration;
    else if (m_state.position < 0)
        m_state.position = 0;
    update();
    return true;
}

void CGSensorCtrl::paintEvent(QPaintEvent*) {
    // Drawn whole off-screen and copied in one block, so the strip does not
    // flicker while it repaints on every playback tick.
    QImage frame = m_graph.Graph(size(), m_state).copy();
    {
        QPainter p(&frame);
        m_plot = GSensorPlot::FromClient(size());
        DrawGSensorCursor(p, m_plot,
                          GSensorCursorX(m_state, m_plot, SeekCursorX.load(), SeekHappened.load()));
        SeekHappened = false;
        m_legendBoxes = DrawGSensorLabels(p, size(), m_state);
    }
    QPainter(this).drawImage(0, 0, frame);
}

void CGSensorCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_plot = GSensorPlot::FromClient(size());
    RecalcScale();
}

void CGSensorCtrl::mousePressEvent(QMouseEvent* event) {
    // Qt holds the mouse for this widget from the press to the release.
    event->accept();
}

void CGSensorCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    for (int a = 0; a < 3; ++a) {
        if (m_legendBoxes[size_t(a)].contains(at)) {
            m_state.axisVisible[a] = !m_state.axisVisible[a];
            break;
        }
    }
    update();
}

void CGSensorCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        update();
}

void CGSensorCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    // Deliberately not a second press: the two releases already toggle twice.
    event->accept();
}
