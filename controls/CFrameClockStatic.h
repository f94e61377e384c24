#pragma once
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

// The local date and time and the position of the frame being played, in
// the title bar: on one line where there is room, else the time above the
// position in a font small enough to fit. Leaves free the part of its area
// that a sibling (the playback-rate label) covers while that one shows.
class CFrameClockStatic : public QWidget {
    Q_OBJECT
  public:
    explicit CFrameClockStatic(QWidget* parent = nullptr);

    void SetText(const QString& text);
    const QString& Text() const { return text_; }
    // `shows` tells whether the sibling shows anything at the moment.
    void SetObstacle(QWidget* sibling, std::function<bool()> shows) {
        obstacle_ = sibling;
        obstacleShows_ = std::move(shows);
    }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect FreeRect() const;

    QString text_;
    QPointer<QWidget> obstacle_;
    std::function<bool()> obstacleShows_;
};
