#include "platform/WindowMessages.h"

#include <QCoreApplication>
#include <QThread>

QEvent::Type WindowMessageEvent::Type() {
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

void PostWindowMessage(QObject* target, unsigned message, quintptr wParam, qintptr lParam) {
    if (target)
        QCoreApplication::postEvent(target, new WindowMessageEvent(message, wParam, lParam));
}

qintptr SendWindowMessage(QObject* target, unsigned message, quintptr wParam, qintptr lParam) {
    if (!target)
        return 0;
    if (target->thread() != QThread::currentThread()) {
        PostWindowMessage(target, message, wParam, lParam);
        return 0;
    }
    WindowMessageEvent event(message, wParam, lParam);
    QCoreApplication::sendEvent(target, &event);
    return event.result;
}
