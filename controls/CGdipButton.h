#pragma once
#include "controls/CGdiPlusBitmapResource.h"

#include <QImage>
#include <QPushButton>
#include <array>

// A push button that shows PNG pictures: its pressed, hover and grey faces are
// made once from one picture (or two, for a two-state button) and composed on
// a copy of the parent's background.
class CGdipButton : public QPushButton {
    Q_OBJECT
  public:
    enum Picture {
        PictureBackground,
        PictureStd,
        PictureStdPressed,
        PictureStdHover,
        PictureAlt,
        PictureAltPressed,
        PictureAltHover,
        PictureGrey,
        PictureCount,
        PictureNone = -1
    };

    explicit CGdipButton(QWidget* parent = nullptr);

    // The standard picture and, for two-state buttons, the alternate one.
    bool LoadStdImage(unsigned id, const QString& type = QStringLiteral("PNG"));
    bool LoadAltImage(unsigned id, const QString& type = QStringLiteral("PNG"));
    bool HasStdImage() const { return !m_stdImage.IsEmpty(); }
    bool HasAltImage() const { return m_bHaveAltImage; }

    // With toggling on, every press flips the image state.
    void EnableToggle(bool on) { m_bIsToggle = on; }
    bool IsToggle() const { return m_bIsToggle; }
    // 0 = standard picture, 1 = alternate picture.
    void SetImageState(int state);
    int ImageState() const { return m_nCurImage; }
    // A grey button shows its grey picture whatever its state.
    void SetGrey(bool grey);
    bool IsGrey() const { return m_bGrey; }
    bool IsHovering() const { return m_bHovering; }

    // The face drawn last, and the cached faces (empty until the first paint).
    Picture CurrentPicture() const { return m_current; }
    const QImage& CachedPicture(Picture which) const { return m_cache[which]; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void OnPressed();
    void OnMouseHover();
    void BuildPictureCache();
    QImage Compose(const QImage& picture, int dx, int dy, bool brighten, bool grey) const;
    Picture PictureToDraw() const;

    CGdiPlusBitmapResource m_stdImage;
    CGdiPlusBitmapResource m_altImage;
    bool m_bHaveAltImage = false;
    bool m_bGrey = false;
    bool m_bIsToggle = false;
    int m_nCurImage = 0;
    bool m_bHovering = false;
    bool m_bTracking = false;
    std::array<QImage, PictureCount> m_cache;
    Picture m_current = PictureNone;
};
