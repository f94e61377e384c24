#include "controls/CVideoStaticBg.h"

#include "platform/WindowMessages.h"

#include <QMouseEvent>

CVideoStaticBg::CVideoStaticBg(QWidget* parent) : QWidget(parent) {}

void CVideoStaticBg::paintEvent(QPaintEvent*) {}

void CVideoStaticBg::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        SendWindowMessage(parentWidget(), WM_VIDEO_DBLCLK);
    event->accept();
}
