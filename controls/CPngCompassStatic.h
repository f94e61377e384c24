#pragma once
#include "controls/CGdiPlusBitmapResource.h"

#include <QWidget>
#include <memory>
#include <vector>

// A heading-up compass rose: one picture per direction, chosen by heading.
class CPngCompassStatic : public QWidget {
    Q_OBJECT
  public:
    explicit CPngCompassStatic(QWidget* parent = nullptr);

    // Appends the PNG picture of that id; false (and nothing added) when it
    // does not load.
    bool AddImage(unsigned id);
    int ImageCount() const { return int(m_images.size()); }

    // Chooses the picture for a heading in degrees (any integer); false when
    // there is no picture to choose from.
    bool SetHeading(int degrees);
    // 0 = no heading (the first picture in grey), k >= 1 = picture k.
    void SetHeadingIndex(int index);
    int HeadingIndex() const { return m_nIndex; }

    // The picture index for a heading among `count` pictures (count >= 1).
    static int IndexForHeading(int degrees, int count);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<std::unique_ptr<CGdiPlusBitmapResource>> m_images;
    QImage m_greyFirst;
    int m_nIndex = 0;
};
