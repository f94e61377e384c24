#include "app/window/DropHandler.h"

#include "recordings/ScanRules.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

bool DropTargetOf(const QMimeData* data, DropTarget* target) {
    if (!data || !data->hasUrls() || data->urls().isEmpty())
        return false;
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile())
        return false;
    const QFileInfo info(url.toLocalFile());
    if (info.isDir()) {
        *target = {info.absoluteFilePath(), QString()};
        return true;
    }
    if (info.isFile() && ScanRules::IsCandidateName(info.fileName())) {
        *target = {info.absolutePath(), info.absoluteFilePath()};
        return true;
    }
    return false;
}

DropHandler::DropHandler(QWidget& window, Opener open) : window_(window), open_(std::move(open)) {
    window.setAcceptDrops(true);
}

bool DropHandler::Filter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) ||
        !watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != &window_)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    // Never a move: a file manager would take it as leave to delete the
    // dragged recordings.
    const Qt::DropAction action = drop->possibleActions() & Qt::CopyAction   ? Qt::CopyAction
                                  : drop->possibleActions() & Qt::LinkAction ? Qt::LinkAction
                                                                             : Qt::IgnoreAction;
    DropTarget target;
    if (action == Qt::IgnoreAction || !DropTargetOf(drop->mimeData(), &target)) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(action);
    drop->accept();
    if (type == QEvent::Drop && open_)
        open_(target);
    return true;
}
