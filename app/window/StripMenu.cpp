#include "app/window/StripMenu.h"

#include "strings/UiStrings.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QWidget>

StripMenu::StripMenu(QWidget& window, std::function<void()> settings,
                     std::function<void()> shortcuts, std::function<void()> about)
    : QObject(&window), window_(window), settings_(std::move(settings)),
      shortcuts_(std::move(shortcuts)), about_(std::move(about)) {
    window.installEventFilter(this);
}

// Right-clicks on the strip's own pictures and buttons reach the window too,
// at window coordinates.
bool StripMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_ || event->type() != QEvent::ContextMenu)
        return false;
    auto* e = static_cast<QContextMenuEvent*>(event);
    if (e->pos().y() >= kStripHeight || menu_)
        return false;
    // Texts in the language chosen at this moment.
    QMenu menu(&window_);
    menu.addAction(LoadUiString(UiStringId::kSettingsItem), settings_);
    menu.addAction(LoadUiString(UiStringId::kKeyboardShortcuts), shortcuts_);
    if (overview_)
        menu.addAction(LoadUiString(UiStringId::kOverviewMenuItem), overview_);
    menu.addSeparator();
    menu.addAction(LoadUiString(UiStringId::kAbout), about_);
    menu_ = &menu;
    menu.exec(e->globalPos());
    menu_ = nullptr;
    return true;
}
