#include "controls/CPngStatic.h"

#include "controls/ColorMatrix.h"

#include <QPainter>

CPngStatic::CPngStatic(QWidget* parent) : QWidget(parent) {}

bool CPngStatic::SetPicture(unsigned id, const QString& type) {
    const bool ok = m_picture.Load(id, type);
    m_grey = ok ? ApplyColorMatrix(m_picture.Image(), kGreyMatrix) : QImage();
    update();
    return ok;
}

void CPngStatic::SetColor(bool color) {
    if (color == m_bColor)
        return;
    m_bColor = color;
    update();
}

void CPngStatic::paintEvent(QPaintEvent*) {
    if (m_picture.IsEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), m_bColor ? m_picture.Image() : m_grey);
}
