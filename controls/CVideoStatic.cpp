#include "controls/CVideoStatic.h"

#include "controls/DrawGlowText.h"
#include "platform/WindowMessages.h"

#include <QBackingStore>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

CVideoStatic::CVideoStatic(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NativeWindow);
    // Only the surface needs its own X window, not the window around it.
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

// The native window outlives the members: it goes in the base destructor.
CVideoStatic::~CVideoStatic() {
    disconnect(m_storeWindowGone);
}

void CVideoStatic::SetCounterShown(bool shown) {
    m_bShowCounter = shown;
    update();
}

void CVideoStatic::ShowScanCount(int count) {
    m_nCounter = count;
    repaint();
}

void CVideoStatic::Draw(QPainter& p) const {
    p.fillRect(QRect(QPoint(), size()), QColor(5, 5, 5));
    if (m_bShowCounter)
        DrawGlowText(p, QString::number(m_nCounter), QPointF(10, 10), 72, GlowTextStyle::Video);
}

void CVideoStatic::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Draw(p);
    p.end();
    PaintNativeWindow();
}

void CVideoStatic::PaintNativeWindow() {
    QWindow* window = windowHandle();
    if (!window || !window->isVisible() || size().isEmpty())
        return;
    if (!m_store || m_store->window() != window) {
        m_store = std::make_unique<QBackingStore>(window);
        // The native window is made anew when the main window turns into a
        // composited one; the store goes with the window it was made for.
        disconnect(m_storeWindowGone);
        m_storeWindowGone = connect(window, &QObject::destroyed, this, [this] { m_store.reset(); });
    }
    const QRect area(QPoint(), size());
    m_store->resize(size());
    m_store->beginPaint(area);
    QPainter p(m_store->paintDevice());
    Draw(p);
    p.end();
    m_store->endPaint();
    m_store->flush(area);
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
