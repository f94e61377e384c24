// The right-click menu of the window's top strip, opened with a real right
// click at the window's coordinates and answered with a click on an item.
#include "MainWindowCard.h"
#include "PlaybackHarness.h"
#include "app/window/CVELDlg.h"
#include "app/window/ControlIds.h"
#include "app/window/OverviewLink.h"
#include "platform/WindowMessages.h"
#include "settings/LanguageTable.h"
#include "strings/UiStrings.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class StripMenuTest : public ShownWindowTest {
  protected:
    // Right-clicks at `at`; when a menu opens, notes its items and clicks
    // item `pick`, then notes the dialog that item opened and closes it.
    void RightClick(QPoint at, int pick) {
        items_.clear();
        dialog_.clear();
        QTimer::singleShot(300, [this, pick] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* action : menu->actions())
                items_ << (action->isSeparator() ? QString("-") : action->text());
            QTimer::singleShot(300, [this] {
                if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    dialog_ = d->metaObject()->className();
                    d->reject();
                }
            });
            QAction* action = menu->actions().value(pick);
            QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                              menu->actionGeometry(action).center());
        });
        QTest::mouseClick(dlg_->windowHandle(), Qt::RightButton, Qt::NoModifier, at);
        Pump(800);
    }

    QStringList items_;
    QString dialog_;
};

TEST_F(StripMenuTest, ItsItemsOpenSettingsKeyboardHelpAndAbout) {
    const QStringList expected = {
        LoadUiString(UiStringId::kSettingsItem), LoadUiString(UiStringId::kKeyboardShortcuts),
        LoadUiString(UiStringId::kOverviewMenuItem), "-", LoadUiString(UiStringId::kAbout)};
    const QPoint logo = dlg_->Control(IDC_LOGO)->geometry().center();
    const struct {
        const char* where;
        QPoint at;
        int pick;
        const char* dialog;
    } cases[] = {
        {"title text", QPoint(150, 20), 0, "CKesConfigDlg"},
        {"title text", QPoint(150, 20), 1, "KeyboardHelpDlg"},
        {"logo", logo, 4, "CAboutDlg"},
    };
    for (const auto& c : cases) {
        RightClick(c.at, c.pick);
        EXPECT_EQ(items_, expected) << c.where;
        EXPECT_EQ(dialog_, c.dialog) << c.where << " item " << c.pick;
    }
}

TEST_F(StripMenuTest, BelowTheStripThereIsNoMenuAndTextsFollowTheLanguage) {
    RightClick(dlg_->Control(IDC_FRONT_FRAME)->geometry().center(), 0);
    EXPECT_TRUE(items_.isEmpty());
    EXPECT_TRUE(dialog_.isEmpty());

    AppSettings::Instance().SetLanguage(FindLanguageCode("GER"));
    RightClick(QPoint(150, 20), 1);
    ASSERT_EQ(items_.size(), 5);
    EXPECT_EQ(items_[0], QString::fromUtf8("Einstellungen…"));
    EXPECT_EQ(items_[1], QString::fromUtf8("Tastenkürzel"));
    EXPECT_EQ(dialog_, "KeyboardHelpDlg");

    // The hint in the empty front video is re-texted with the lists, and so
    // is the card overview beside the window.
    auto* link = dlg_->Overview();
    ASSERT_NE(link, nullptr);
    link->Open();
    ASSERT_NE(link->Window(), nullptr);
    auto* hint = dlg_->Control(IDC_FRONT_FRAME)->findChild<QLabel*>();
    ASSERT_NE(hint, nullptr);
    SendWindowMessage(dlg_.get(), WM_LANGUAGE_CHANGED, quintptr(FindLanguageCode("GER")));
    EXPECT_EQ(hint->text(), QString::fromUtf8("Öffnen Sie einen Ordner mit Aufnahmen"));
    EXPECT_EQ(link->Window()->windowTitle(), QString::fromUtf8("Kartenübersicht"));
    EXPECT_EQ(link->Window()->DayFilter()->itemText(0), QString::fromUtf8("Alle Tage"));
}

} // namespace
