#pragma once
#include "controls/CGdiPlusBitmapResource.h"

#include <QWidget>

// A picture that shows in colour or in grey (the GPS indicator, the logo).
class CPngStatic : public QWidget {
    Q_OBJECT
  public:
    explicit CPngStatic(QWidget* parent = nullptr);

    bool SetPicture(unsigned id, const QString& type = QStringLiteral("PNG"));
    bool HasPicture() const { return !m_picture.IsEmpty(); }
    // true = colour, false = grey.
    void SetColor(bool color);
    bool IsColor() const { return m_bColor; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    CGdiPlusBitmapResource m_picture;
    QImage m_grey;
    bool m_bColor = false;
};
