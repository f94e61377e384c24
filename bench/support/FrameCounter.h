#pragma once
#include <QMetaObject>
#include <memory>

class QWebEngineView;

namespace benchmap {

// Counts the frames the view draws from construction on: the engine's frames
// reach the window through a Qt Quick scene of the view's own.
class FrameCounter {
  public:
    explicit FrameCounter(QWebEngineView* view);
    ~FrameCounter();
    FrameCounter(const FrameCounter&) = delete;
    FrameCounter& operator=(const FrameCounter&) = delete;
    int Frames() const { return *frames_; }

  private:
    std::shared_ptr<int> frames_ = std::make_shared<int>(0);
    QMetaObject::Connection connection_;
};

} // namespace benchmap
