#pragma once
#include <QEvent>
#include <QObject>

// Window messages between our windows, carried as Qt events so that posting
// from libvlc's or the browser's threads is safe and keeps each sender's order.
// The designed message numbers. The players' reports (error, state, time,
// end, rear end) and the lists' activations travel as typed signals and
// calls; their numbers stay here as the names the design gives them.
enum WindowMessage : unsigned {
    WM_USER = 0x400,
    WM_PLAYER_ERROR = 0xC01,
    WM_LANGUAGE_CHANGED = 0xC02,
    WM_VIDEO_DBLCLK = 0xC04,
    WM_PLAYER_STATE = 0xC06,
    WM_PLAYER_TIME = 0xC07,
    WM_PLAYER_END = 0xC08,
    WM_GROUP_ACTIVATE = 0xC09,
    WM_FILE_ACTIVATE = 0xC0A,
    WM_MAP_TYPE_CHANGED = 0xC0B,
    WM_VOLUME_CHANGED = 0xC0C,
    WM_SEEK_REQUEST = 0xC0D,
    WM_REAR_END = 0xC0E,
    WM_MAP_BROWSER = WM_USER + 200,
};

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
