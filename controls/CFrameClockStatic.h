#pragma once
#include "controls/FrameClockFit.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

// The local date and time and the position of the frame being played, in
// the title bar: beside the read-outs on one line where there is room, else
// the time above the position; when that would be too small to read, on one
// line in the band under the read-outs. Leaves free the part of its room
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
    // The rooms the text may take, in the widget's coordinates: `beside`
    // the read-outs first, then the band `below` them.
    void SetRooms(QRect beside, QRect below);
    // Where the text is drawn and in which font, in the parent's coordinates
    // (for tests); empty without text.
    QRect TextRect() const;
    FrameClockFit Fit() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect BesideRoom() const;

    QString text_;
    QRect beside_, below_;
    QPointer<QWidget> obstacle_;
    std::function<bool()> obstacleShows_;
};
