#include "map/PageSourceWindow.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QWebEnginePage>

void ShowPageSource(QWebEnginePage* page) {
    const QString title = QStringLiteral("view-source:") + page->url().toString();
    page->toHtml([title](const QString& html) {
        auto* window = new QPlainTextEdit();
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setReadOnly(true);
        window->setLineWrapMode(QPlainTextEdit::NoWrap);
        window->setWindowTitle(title);
        window->setPlainText(html);
        window->resize(800, 600);
        window->show();
    });
}
