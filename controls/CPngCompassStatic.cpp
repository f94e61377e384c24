#include "controls/CPngCompassStatic.h"

#include "controls/ColorMatrix.h"

#include <QPainter>

CPngCompassStatic::CPngCompassStatic(QWidget* parent) : QWidget(parent) {}

bool CPngCompassStatic::AddImage(unsigned id) {
    auto image = std::make_unique<CGdiPlusBitmapResource>();
    if (!image->Load(id, QStringLiteral("PNG")))
        return false;
    if (m_images.empty())
        m_greyFirst = ApplyColorMatrix(image->Image(), kGreyMatrix);
    m_images.push_back(std::move(image));
    return true;
}

int CPngCompassStatic::IndexForHeading(int degrees, int count) {
    // 64-bit, so that headings near the int limits cannot overflow.
    const long long a = ((360LL - degrees) % 360 + 360) % 360;
    const long long b = a / 45;
    const long long r = a - 45 * b;
    const long long k = r > 22 ? b + 1 : b;
    return int(k % count) + 1;
}

bool CPngCompassStatic::SetHeading(int degrees) {
    if (m_images.empty())
        return false;
    const int index = IndexForHeading(degrees, ImageCount());
    if (index <= ImageCount() && index != m_nIndex) {
        m_nIndex = index;
        update();
    }
    return true;
}

void CPngCompassStatic::SetHeadingIndex(int index) {
    if (index == m_nIndex)
        return;
    m_nIndex = index;
    update();
}

void CPngCompassStatic::paintEvent(QPaintEvent*) {
    if (m_images.empty() || m_nIndex < 0 || m_nIndex > ImageCount())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), m_nIndex == 0 ? m_greyFirst : m_images[m_nIndex - 1]->Image());
}
