// The client handler's context menu: our edits of the browser's own menu and
// the commands behind its items.
#include "map/BrowserView.h"
#include "map/CCefClientHandler.h"
#include "map/ContextMenuModel.h"
#include "map/PageSourceWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMenu>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineView>

namespace {

int TypeFlagsOf(const QWebEngineContextMenuRequest& request) {
    int flags = CM_TYPEFLAG_PAGE;
    if (!request.linkUrl().isEmpty())
        flags |= CM_TYPEFLAG_LINK;
    if (request.mediaType() != QWebEngineContextMenuRequest::MediaTypeNone)
        flags |= CM_TYPEFLAG_MEDIA;
    if (!request.selectedText().isEmpty())
        flags |= CM_TYPEFLAG_SELECTION;
    if (request.isContentEditable())
        flags |= CM_TYPEFLAG_EDITABLE;
    return flags;
}

// The engine's own action for a standard id, if it has one.
QWebEnginePage::WebAction StandardAction(int id) {
    switch (id) {
    case MENU_ID_BACK:
        return QWebEnginePage::Back;
    case MENU_ID_FORWARD:
        return QWebEnginePage::Forward;
    case MENU_ID_RELOAD:
        return QWebEnginePage::Reload;
    case MENU_ID_RELOAD_NOCACHE:
        return QWebEnginePage::ReloadAndBypassCache;
    case MENU_ID_STOPLOAD:
        return QWebEnginePage::Stop;
    case MENU_ID_UNDO:
        return QWebEnginePage::Undo;
    case MENU_ID_REDO:
        return QWebEnginePage::Redo;
    case MENU_ID_CUT:
        return QWebEnginePage::Cut;
    case MENU_ID_COPY:
        return QWebEnginePage::Copy;
    case MENU_ID_PASTE:
        return QWebEnginePage::Paste;
    case MENU_ID_SELECT_ALL:
        return QWebEnginePage::SelectAll;
    default:
        return QWebEnginePage::NoWebAction;
    }
}

} // namespace

void CCefClientHandler::OnBeforeContextMenu(int typeFlags, ContextMenuModel* model) {
    if (typeFlags & CM_TYPEFLAG_LINK) {
        model->Clear();
        model->AddItem(CMD_OPEN_LINK_NEW_TAB, QStringLiteral("在新标签页中打开(&T)"));
        model->AddSeparator();
        model->AddItem(CMD_COPY_LINK_ADDRESS, QStringLiteral("复制链接地址(&C)"));
    } else if (typeFlags & CM_TYPEFLAG_PAGE) {
        model->SetLabel(MENU_ID_BACK, QStringLiteral("后退"));
        model->SetLabel(MENU_ID_FORWARD, QStringLiteral("前进"));
        model->AddSeparator();
        model->AddItem(MENU_ID_RELOAD, QStringLiteral("刷新"));
        model->AddItem(MENU_ID_RELOAD_NOCACHE, QStringLiteral("强制刷新"));
        model->AddItem(MENU_ID_STOPLOAD, QStringLiteral("停止加载"));
        model->AddSeparator();
        model->SetLabel(MENU_ID_PRINT, QStringLiteral("打印"));
        model->SetLabel(MENU_ID_VIEW_SOURCE, QStringLiteral("查看源代码"));
        model->AddItem(CMD_SHOW_DEV_TOOLS, QStringLiteral("开发者工具"));
    }
    if (typeFlags & CM_TYPEFLAG_EDITABLE) {
        const struct {
            int id;
            const char* label;
        } edits[] = {{MENU_ID_UNDO, "撤销"},      {MENU_ID_REDO, "重做"},  {MENU_ID_CUT, "剪切"},
                     {MENU_ID_COPY, "复制"},      {MENU_ID_PASTE, "粘贴"}, {MENU_ID_DELETE, "删除"},
                     {MENU_ID_SELECT_ALL, "全选"}};
        for (const auto& e : edits)
            model->SetLabel(e.id, QString::fromUtf8(e.label));
    }
}

bool CCefClientHandler::OnContextMenuCommand(QWebEngineView* view,
                                             const QWebEngineContextMenuRequest& request,
                                             int commandId) {
    switch (commandId) {
    case CMD_OPEN_LINK_NEW_TAB:
        emit OpenUrlRequested(request.linkUrl());
        return false;
    case CMD_COPY_LINK_ADDRESS: {
        QClipboard* clipboard = QGuiApplication::clipboard();
        const QString link = request.linkUrl().toString(QUrl::FullyEncoded);
        if (link.isEmpty())
            clipboard->clear();
        else
            clipboard->setText(link);
        return false;
    }
    case CMD_SHOW_DEV_TOOLS: {
        // The tools' view is one more browser of this handler, so it joins
        // the list like any other.
        QWebEngineView* tools = CreateBrowser(QRect(0, 0, 800, 600), QUrl());
        if (tools)
            view->page()->setDevToolsPage(tools->page());
        return true;
    }
    default:
        RunStandardCommand(view, commandId);
        return false;
    }
}

void CCefClientHandler::RunStandardCommand(QWebEngineView* view, int commandId) {
    QWebEnginePage* page = view->page();
    const QWebEnginePage::WebAction action = StandardAction(commandId);
    if (action != QWebEnginePage::NoWebAction) {
        page->triggerAction(action);
    } else if (commandId == MENU_ID_DELETE) {
        page->runJavaScript(QStringLiteral("document.execCommand('delete')"));
    } else if (commandId == MENU_ID_PRINT) {
        const QString file = QFileDialog::getSaveFileName(
            view, QString(), QStringLiteral("map.pdf"), QStringLiteral("PDF (*.pdf)"));
        if (!file.isEmpty())
            page->printToPdf(file);
    } else if (commandId == MENU_ID_VIEW_SOURCE) {
        ShowPageSource(page);
    }
}

void CCefClientHandler::ShowContextMenu(QWebEngineView* view, const QPoint& globalPos) {
    const QWebEngineContextMenuRequest* request = view->lastContextMenuRequest();
    if (!request)
        return;
    const int flags = TypeFlagsOf(*request);
    ContextMenuModel model = ContextMenuModel::Standard(flags);
    OnBeforeContextMenu(flags, &model);
    if (model.Items().empty())
        return;

    auto* menu = new QMenu(view);
    menu->setObjectName(QStringLiteral("browserContextMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWebEngineView> target(view);
    for (const ContextMenuModel::Item& item : model.Items()) {
        if (item.id == ContextMenuModel::kSeparator) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(item.label);
        action->setData(item.id);
        const QWebEnginePage::WebAction standard = StandardAction(item.id);
        if (standard != QWebEnginePage::NoWebAction)
            action->setEnabled(view->page()->action(standard)->isEnabled());
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, target, id] {
            if (target && target->lastContextMenuRequest())
                OnContextMenuCommand(target, *target->lastContextMenuRequest(), id);
        });
    }
    menu->popup(globalPos);
}
