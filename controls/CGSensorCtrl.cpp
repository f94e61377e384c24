#include "controls/CGSensorCtrl.h"

#include "controls/GSensorCurvePainter.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace {

// QRegion::contains(QRect) only tells whether they overlap.
bool Covers(const QRegion& region, const QRect& rect) {
    return (QRegion(rect) - region).isEmpty();
}

} // namespace

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
    Redraw();
    return true;
}

int CGSensorCtrl::CursorX() const {
    return GSensorCursorX(m_state, m_plot, m_seekCursorX, m_seekHappened);
}

QRect CGSensorCtrl::CursorRect(int x) const {
    // DrawGSensorCursor's two columns and four rows beyond the plot.
    return QRect(x - 1, m_plot.top - 4, 2, m_plot.bottom - m_plot.top + 8);
}

QRect CGSensorCtrl::LegendBand() const {
    int bottom = 0;
    for (const QRect& box : m_legendBoxes)
        bottom = std::max(bottom, box.bottom() + 2);
    return QRect(0, 0, width(), bottom + 1);
}

std::array<double, 6> CGSensorCtrl::LegendContent() const {
    const std::array<double, 3> values = GSensorCurrentValues(m_state);
    const bool running = !m_state.stopped && GSensorDuration(m_state) != 0;
    std::array<double, 6> content{};
    for (size_t a = 0; a < 3; ++a) {
        content[a] = values[a];
        content[a + 3] = running && m_state.axisVisible[a] ? 1 : 0;
    }
    return content;
}

void CGSensorCtrl::Redraw() {
    if (!m_graph.Matches(size(), m_state) || LegendBand().height() <= 1) {
        update();
        m_shownCursorX = CursorX();
        m_shownLegend = LegendContent();
        return;
    }
    const std::array<double, 6> legend = LegendContent();
    if (legend != m_shownLegend) {
        update(LegendBand());
        m_shownLegend = legend;
    }
    ShowCursor();
}

void CGSensorCtrl::FollowSeekCursor(int x) {
    m_seekCursorX = x;
    ShowCursor();
}

void CGSensorCtrl::ShowCursor() {
    const int x = CursorX();
    if (x != m_shownCursorX) {
        update(CursorRect(m_shownCursorX));
        update(CursorRect(x));
        m_shownCursorX = x;
    }
}

void CGSensorCtrl::paintEvent(QPaintEvent* event) {
    // Only the region asked for is drawn: on a playback tick that is the
    // legend and the cursor's columns, the rest comes from the kept graph.
    const QImage& graph = m_graph.Graph(size(), m_state);
    m_plot = GSensorPlot::FromClient(size());
    const int x = CursorX();
    m_seekHappened = false;
    QPainter p(this);
    for (const QRect& r : event->region())
        p.drawImage(r.topLeft(), graph, r);
    DrawGSensorCursor(p, m_plot, x);
    m_legendBoxes = DrawGSensorLabels(p, size(), m_state);
    p.end();

    // What changed since the last request without one (a seek flag set
    // directly, or the flag cleared just now) follows in the next paint.
    const QRegion& painted = event->region();
    if (x != m_shownCursorX) {
        if (!Covers(painted, CursorRect(x)) || !Covers(painted, CursorRect(m_shownCursorX))) {
            update(CursorRect(m_shownCursorX));
            update(CursorRect(x));
        }
        m_shownCursorX = x;
    }
    const std::array<double, 6> legend = LegendContent();
    if (legend != m_shownLegend) {
        if (!Covers(painted, LegendBand()))
            update(LegendBand());
        m_shownLegend = legend;
    }
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
