#include "MapTestSupport.h"
#include "map/CCEFWebkitUI.h"
#include "map/CCefClientApp.h"
#include "map/CCefClientHandler.h"
#include "map/ContextMenuModel.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineView>
#include <QWidget>
#include <gtest/gtest.h>

using maptest::Evaluate;
using maptest::WaitFor;

namespace {

using Items = std::vector<ContextMenuModel::Item>;
constexpr int kSep = ContextMenuModel::kSeparator;

const Items kLinkMenu = {{CMD_OPEN_LINK_NEW_TAB, "在新标签页中打开(&T)"},
                         {kSep, ""},
                         {CMD_COPY_LINK_ADDRESS, "复制链接地址(&C)"}};
const Items kPageTail = {{kSep, ""},
                         {MENU_ID_RELOAD, "刷新"},
                         {MENU_ID_RELOAD_NOCACHE, "强制刷新"},
                         {MENU_ID_STOPLOAD, "停止加载"},
                         {kSep, ""},
                         {CMD_SHOW_DEV_TOOLS, "开发者工具"}};

Items Concat(Items a, const Items& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

QStringList Labels(const Items& items) {
    QStringList out;
    for (const auto& i : items)
        out << (i.id == kSep ? QStringLiteral("-") : i.label);
    return out;
}

} // namespace

TEST(ContextMenuEdits, ByWhatWasClicked) {
    const Items page = Concat({{MENU_ID_BACK, "后退"},
                               {MENU_ID_FORWARD, "前进"},
                               {kSep, ""},
                               {MENU_ID_PRINT, "打印"},
                               {MENU_ID_VIEW_SOURCE, "查看源代码"}},
                              kPageTail);
    const Items editable = Concat({{MENU_ID_UNDO, "撤销"},
                                   {MENU_ID_REDO, "重做"},
                                   {kSep, ""},
                                   {MENU_ID_CUT, "剪切"},
                                   {MENU_ID_COPY, "复制"},
                                   {MENU_ID_PASTE, "粘贴"},
                                   {MENU_ID_DELETE, "删除"},
                                   {kSep, ""},
                                   {MENU_ID_SELECT_ALL, "全选"}},
                                  kPageTail);
    const struct {
        const char* name;
        int flags;
        Items expected;
    } cases[] = {
        {"link", CM_TYPEFLAG_PAGE | CM_TYPEFLAG_LINK, kLinkMenu},
        {"link in an edit field", CM_TYPEFLAG_PAGE | CM_TYPEFLAG_LINK | CM_TYPEFLAG_EDITABLE,
         kLinkMenu},
        {"page", CM_TYPEFLAG_PAGE, page},
        {"edit field", CM_TYPEFLAG_PAGE | CM_TYPEFLAG_EDITABLE, editable},
    };
    CCefClientHandler handler;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ContextMenuModel model = ContextMenuModel::Standard(c.flags);
        handler.OnBeforeContextMenu(c.flags, &model);
        EXPECT_EQ(model.Items(), c.expected) << Labels(model.Items()).join('|').toStdString();
    }
}

namespace {

// A browser pane with one page, right-clicked for real.
struct RightClickFixture : ::testing::Test {
    QWidget host;
    std::unique_ptr<CCEFWebkitUI> ui;
    QTemporaryDir dir;
    QWebEngineView* view = nullptr;

    void Open(const QByteArray& html) {
        maptest::UsePrivateCacheFolder();
        host.resize(400, 300);
        host.show();
        ASSERT_TRUE(InitBrowser(&host, &ui));
        ui->SetPos(0, 0, 400, 300);
        QFile page(dir.filePath("page.html"));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write(html);
        page.close();
        ui->OpenPage(QUrl::fromLocalFile(page.fileName()));
        view = ui->Handler()->Views().at(0);
        ASSERT_TRUE(maptest::WaitUntilLoaded(view));
        ASSERT_TRUE(WaitFor([&] { return view->focusProxy() != nullptr; }));
    }

    QMenu* RightClick(const QPointF& at) {
        QMenu* menu = nullptr;
        // The first events may reach the page before its input handling is ready.
        for (int attempt = 0; attempt < 10 && !menu; ++attempt) {
            QWidget* target = view->focusProxy();
            QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at),
                              Qt::RightButton, Qt::RightButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at),
                                Qt::RightButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
            WaitFor(
                [&] { return (menu = view->findChild<QMenu*>("browserContextMenu")) != nullptr; },
                1000);
        }
        return menu;
    }

    static QStringList LabelsOf(QMenu* menu) {
        QStringList labels;
        for (QAction* a : menu->actions())
            labels << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return labels;
    }

    static QAction* Find(QMenu* menu, const QString& label) {
        for (QAction* a : menu->actions())
            if (a->text() == label)
                return a;
        return nullptr;
    }
};

} // namespace

TEST_F(RightClickFixture, OnLinkTwoCommandsAndCopyTakesTheAddress) {
    Open("<html><body style='margin:0'><a href='https://example.org/x?a=1&amp;b=2' "
         "style='display:block;width:400px;height:300px'>link</a></body></html>");
    QMenu* menu = RightClick(QPointF(100, 100));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(LabelsOf(menu), QStringList({"在新标签页中打开(&T)", "-", "复制链接地址(&C)"}));

    QApplication::clipboard()->setText("before");
    Find(menu, "复制链接地址(&C)")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "https://example.org/x?a=1&b=2");
    menu->close();
}

TEST_F(RightClickFixture, OnPageDeveloperToolsJoinTheViews) {
    Open("<html><body style='margin:0'>plain text</body></html>");
    QMenu* menu = RightClick(QPointF(200, 200));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(LabelsOf(menu), QStringList({"后退", "前进", "-", "打印", "查看源代码", "-", "刷新",
                                           "强制刷新", "停止加载", "-", "开发者工具"}));
    EXPECT_FALSE(Find(menu, "后退")->isEnabled()); // no history yet

    Find(menu, "开发者工具")->trigger();
    const auto views = ui->Handler()->Views();
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(views[1]->geometry(), QRect(0, 0, 800, 600));
    EXPECT_EQ(view->page()->devToolsPage(), views[1]->page());
    menu->close();
}
