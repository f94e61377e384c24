#pragma once
#include <QImage>

// One decoded picture, or none.
class CGdiPlusBitmap {
  public:
    CGdiPlusBitmap() = default;
    CGdiPlusBitmap(const CGdiPlusBitmap&) = delete;
    CGdiPlusBitmap& operator=(const CGdiPlusBitmap&) = delete;
    virtual ~CGdiPlusBitmap() = default;

    virtual void Empty() { m_image = QImage(); }
    bool IsEmpty() const { return m_image.isNull(); }
    const QImage& Image() const { return m_image; }
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }

  protected:
    QImage m_image;
};
