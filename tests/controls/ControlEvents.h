#pragma once
// Mouse input and window messages for widget tests, delivered synchronously.
#include "platform/WindowMessages.h"

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>
#include <QWidget>
#include <vector>

inline void SendMouse(QWidget* w, QEvent::Type type, QPoint pos,
                      Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)),
                  type == QEvent::MouseMove ? Qt::NoButton : button,
                  type == QEvent::MouseMove ? Qt::MouseButtons() : held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

inline void Press(QWidget* w, QPoint pos) {
    SendMouse(w, QEvent::MouseButtonPress, pos);
}
inline void Release(QWidget* w, QPoint pos) {
    SendMouse(w, QEvent::MouseButtonRelease, pos);
}
inline void Move(QWidget* w, QPoint pos) {
    SendMouse(w, QEvent::MouseMove, pos);
}
// A move with the left button held (a plain move reaches only widgets that
// track the mouse).
inline void Drag(QWidget* w, QPoint pos) {
    QMouseEvent e(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton,
                  Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
inline void Click(QWidget* w, QPoint pos) {
    Press(w, pos);
    Release(w, pos);
}
// What the window system delivers for a double-click.
inline void DoubleClick(QWidget* w, QPoint pos) {
    Click(w, pos);
    SendMouse(w, QEvent::MouseButtonDblClick, pos);
    Release(w, pos);
}

// A parent window that paints one colour and records the window messages it gets.
class RecordingParent : public QWidget {
  public:
    explicit RecordingParent(QColor fill = QColor(5, 5, 5)) : fill_(fill) { resize(400, 200); }

    int Count(unsigned message) const {
        int n = 0;
        for (unsigned m : messages)
            n += m == message;
        return n;
    }
    std::vector<unsigned> messages;

  protected:
    bool event(QEvent* e) override {
        if (DispatchWindowMessage(e, [this](unsigned m, quintptr, qintptr) {
                messages.push_back(m);
                return 0;
            }))
            return true;
        return QWidget::event(e);
    }
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), fill_);
    }

  private:
    QColor fill_;
};

// Runs the event loop until `done` holds or `ms` pass; returns `done`.
template <typename Pred> bool WaitFor(Pred done, int ms = 2000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return done();
}
inline void Idle(int ms) {
    WaitFor([] { return false; }, ms);
}

// The widget as it paints itself (background from its parent included).
inline QImage Shot(QWidget* w) {
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}
