#include "controls/CGdipButton.h"

#include "controls/ColorMatrix.h"
#include "controls/ParentBackground.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

CGdipButton::CGdipButton(QWidget* parent) : QPushButton(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::pressed, this, &CGdipButton::OnPressed);
}

bool CGdipButton::LoadStdImage(unsigned id, const QString& type) {
    m_cache = {};
    m_current = PictureNone;
    const bool ok = m_stdImage.Load(id, type);
    update();
    return ok;
}

bool CGdipButton::LoadAltImage(unsigned id, const QString& type) {
    m_cache = {};
    m_current = PictureNone;
    m_bHaveAltImage = m_altImage.Load(id, type);
    update();
    return m_bHaveAltImage;
}

void CGdipButton::SetImageState(int state) {
    m_nCurImage = state;
    update();
}

void CGdipButton::SetGrey(bool grey) {
    m_bGrey = grey;
    update();
}

// The state flips once per press (mouse or keyboard); a grey button stays as it is.
void CGdipButton::OnPressed() {
    if (m_bIsToggle && !m_bGrey) {
        m_nCurImage = m_nCurImage ? 0 : 1;
        // click() (a key's way of pressing) moves no mouse and repaints nothing itself.
        update();
    }
}

QImage CGdipButton::Compose(const QImage& picture, int dx, int dy, bool brighten, bool grey) const {
    QImage out = m_cache[PictureBackground];
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QImage source = picture;
    if (brighten)
        source = ApplyColorMatrix(picture, kBrightenMatrix);
    else if (grey)
        source = ApplyColorMatrix(picture, kGreyMatrix);
    p.drawImage(QRect(QPoint(dx, dy), size()), source);
    return out;
}

void CGdipButton::BuildPictureCache() {
    // A layout that resizes the button after its first paint needs faces of
    // the new size; a change of the parent's background alone keeps them.
    if (!m_cache[PictureBackground].isNull() && m_cache[PictureBackground].size() != size()) {
        m_cache = {};
        m_current = PictureNone;
    }
    if (m_cache[PictureBackground].isNull())
        m_cache[PictureBackground] = ParentBackground(this);
    const QImage& std = m_stdImage.Image();
    if (m_cache[PictureStd].isNull())
        m_cache[PictureStd] = Compose(std, 0, 0, false, false);
    if (m_cache[PictureStdPressed].isNull())
        m_cache[PictureStdPressed] = Compose(std, 1, 1, false, false);
    if (m_cache[PictureStdHover].isNull())
        m_cache[PictureStdHover] = Compose(std, 0, 0, true, false);
    if (m_cache[PictureGrey].isNull())
        m_cache[PictureGrey] = Compose(std, 0, 0, false, true);
    if (m_bHaveAltImage) {
        const QImage& alt = m_altImage.Image();
        if (m_cache[PictureAlt].isNull())
            m_cache[PictureAlt] = Compose(alt, 0, 0, false, false);
        if (m_cache[PictureAltPressed].isNull())
            m_cache[PictureAltPressed] = Compose(alt, 1, 1, false, false);
        if (m_cache[PictureAltHover].isNull())
            m_cache[PictureAltHover] = Compose(alt, 0, 0, true, false);
    }
    if (m_current == PictureNone)
        m_current = PictureStd;
}

CGdipButton::Picture CGdipButton::PictureToDraw() const {
    if (m_bGrey)
        return PictureGrey;
    // Without an alternate picture the second state shows the standard faces.
    const bool alt = m_nCurImage == 1 && m_bHaveAltImage;
    if (isDown())
        return alt ? PictureAltPressed : PictureStdPressed;
    if (m_bHovering)
        return alt ? PictureAltHover : PictureStdHover;
    return alt ? PictureAlt : PictureStd;
}

void CGdipButton::paintEvent(QPaintEvent* event) {
    if (m_stdImage.IsEmpty()) {
        QPushButton::paintEvent(event);
        return;
    }
    BuildPictureCache();
    m_current = PictureToDraw();
    QPainter p(this);
    p.drawImage(0, 0, m_cache[m_current]);
}

void CGdipButton::mouseMoveEvent(QMouseEvent* event) {
    if (!m_bTracking) {
        m_bTracking = true;
        QTimer::singleShot(1, this, &CGdipButton::OnMouseHover);
    }
    QPushButton::mouseMoveEvent(event);
}

void CGdipButton::OnMouseHover() {
    // The pointer may have left again before the hover report.
    if (!m_bTracking)
        return;
    m_bHovering = true;
    update();
}

void CGdipButton::leaveEvent(QEvent* event) {
    m_bTracking = false;
    m_bHovering = false;
    update();
    QPushButton::leaveEvent(event);
}

// A quick second click counts as a click of its own.
void CGdipButton::mouseDoubleClickEvent(QMouseEvent* event) {
    QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->scenePosition(),
                      event->globalPosition(), event->button(), event->buttons(),
                      event->modifiers());
    mousePressEvent(&press);
    event->setAccepted(press.isAccepted());
}
