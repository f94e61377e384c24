#pragma once
#include <QEvent>
#include <QObject>

// Window messages between our windows, carried as Qt events so that posting
// from libvlc's or the browser's threads is safe and keeps each sender's order.
constexpr unsigned WM_USER = 0x400;

constexpr unsigned WM_PLAYER_ERROR = 0xC01;
constexpr unsigned WM_LANGUAGE_CHANGED = 0xC02;
constexpr unsigned WM_VIDEO_DBLCLK = 0xC04;
constexpr unsigned WM_PLAYER_STATE = 0xC06;
constexpr unsigned WM_PLAYER_TIME = 0xC07;
constexpr unsigned WM_PLAYER_END = 0xC08;
constexpr unsigned WM_GROUP_ACTIVATE = 0xC09;
constexpr unsigned WM_FILE_ACTIVATE = 0xC0A;
constexpr unsigned WM_MAP_TYPE_CHANGED = 0xC0B;
constexpr unsigned WM_VOLUME_CHANGED = 0xC0C;
constexpr unsigned WM_SEEK_REQUEST = 0xC0D;
constexpr unsigned WM_REAR_END = 0xC0E;
constexpr unsigned WM_MAP_BROWSER = WM_USER + 200;

class WindowMessageEvent : public QEvent {
  public:
    WindowMessageEvent(unsigned message, quintptr wParam, qintptr lParam)
        : QEvent(Type()), message(message), wParam(wParam), lParam(lParam) {}
    static QEvent::Type Type();

    const unsigned message;
    const quintptr wParam;
    const qintptr lParam;
    qintptr result = 0;
};

// Queues the message for the target's thread. Safe from any thread; a null
// target is ignored.
void PostWindowMessage(QObject* target, unsigned message, quintptr wParam = 0, qintptr lParam = 0);

// Delivers the message at once and returns the handler's result. From another
// thread it is queued instead and returns 0: a blocking hand-off would deadlock
// against a window thread that is waiting for the player's thread to stop.
qintptr SendWindowMessage(QObject* target, unsigned message, quintptr wParam = 0,
                          qintptr lParam = 0);

// For a receiver's event(): calls handler(message, wParam, lParam) for window
// messages and stores its result; returns whether the event was one.
template <typename Handler> bool DispatchWindowMessage(QEvent* event, Handler&& handler) {
    if (event->type() != WindowMessageEvent::Type())
        return false;
    auto* m = static_cast<WindowMessageEvent*>(event);
    m->result = handler(m->message, m->wParam, m->lParam);
    return true;
}
