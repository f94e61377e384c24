#include "controls/PadlockImages.h"

#include "controls/CGdiPlusBitmapResource.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kSize = 24;

QPixmap Draw(int index) {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    if (index < 1 || index > 3)
        return pm;
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // Shackle.
    QPen shackle(QColor(190, 196, 204), 2.4);
    shackle.setCapStyle(Qt::FlatCap);
    p.setPen(shackle);
    QPainterPath arc;
    arc.moveTo(7.5, 12);
    arc.lineTo(7.5, 8);
    arc.arcTo(QRectF(7.5, 3, 9, 9), 180, -180);
    arc.lineTo(16.5, 12);
    p.drawPath(arc);
    // Body.
    QLinearGradient body(0, 10, 0, 22);
    const QColor top = index == 1   ? QColor(255, 196, 60)
                       : index == 2 ? QColor(110, 180, 255)
                                    : QColor(230, 230, 235);
    body.setColorAt(0, top);
    body.setColorAt(1, top.darker(170));
    p.setPen(QPen(top.darker(250), 1));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(4.5, 10.5, 15, 12), 2.5, 2.5);
    if (index == 3) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 45));
        p.drawEllipse(QRectF(10.5, 13.5, 3, 3));
        p.drawRect(QRectF(11.25, 15.5, 1.5, 4));
    } else {
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(10);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(25, 25, 30));
        p.drawText(QRectF(4.5, 10.5, 15, 12), Qt::AlignCenter,
                   index == 1 ? QStringLiteral("G") : QStringLiteral("M"));
    }
    return pm;
}

// The strip of the four images (bitmap 158), magenta marking the see-through
// pixels; empty when the program carries no such strip.
QImage StripImage(int index) {
    const CGdiPlusBitmapResource strip(158, QStringLiteral("BITMAP"));
    if (strip.IsEmpty() || strip.Width() < 4 * kSize || strip.Height() < kSize)
        return QImage();
    QImage image = strip.Image().copy(index * kSize, 0, kSize, kSize);
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < kSize; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kSize; ++x)
            if ((line[x] & 0xFFFFFF) == 0xFF00FF)
                line[x] = 0;
    }
    return image;
}

} // namespace

QPixmap PadlockImage(int index) {
    if (index < 0 || index > 3)
        return Draw(0);
    const QImage fromStrip = StripImage(index);
    return fromStrip.isNull() ? Draw(index) : QPixmap::fromImage(fromStrip);
}
