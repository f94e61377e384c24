// The main window's tool-tip: label, description and the per-control icon.
#include "ControlEvents.h"
#include "controls/CKesToolTipCtrl.h"

#include <QHelpEvent>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

struct ToolTip : ::testing::Test {
    RecordingParent owner;
    CKesToolTipCtrl* tip = new CKesToolTipCtrl(&owner);
    QPushButton* open = new QPushButton(&owner);
    QPushButton* stop = new QPushButton(&owner);
    QPushButton* other = new QPushButton(&owner);

    void SetUp() override {
        open->setGeometry(10, 10, 48, 36);
        stop->setGeometry(70, 10, 40, 40);
        other->setGeometry(120, 10, 40, 40);
        owner.show();
        ASSERT_TRUE(WaitFor([&] { return open->isVisible(); }));
    }

    // What the window system sends when the pointer rests on a widget.
    bool Hover(QWidget* w) {
        const QPoint pos(5, 5);
        QHelpEvent e(QEvent::ToolTip, pos, w->mapToGlobal(pos));
        QApplication::sendEvent(w, &e);
        return tip->isVisible();
    }
};

TEST_F(ToolTip, ShowsLabelEmptyDescriptionAndTheCheckIcon) {
    ASSERT_TRUE(tip->AddTool(open, "Open files", QRect(), 1001));
    ASSERT_TRUE(tip->AddTool(stop, "Stop", QRect(), 1016));
    tip->AddIconEntry(1001, 0, 161);
    tip->AddIconEntry(1016, 0, 161);

    ASSERT_TRUE(Hover(open));
    EXPECT_EQ(tip->CurrentControlId(), 1001);
    EXPECT_EQ(tip->Label(), QStringLiteral("Open files"));
    EXPECT_TRUE(tip->Description().isEmpty());
    ASSERT_TRUE(tip->HasIcon());
    EXPECT_EQ(tip->IconRect().size(), QSize(32, 32));

    // The icon is drawn opaque in its place: the green check's disc.
    const QImage shot = Shot(tip);
    const QColor disc = shot.pixelColor(tip->IconRect().topLeft() + QPoint(8, 16));
    EXPECT_GT(disc.green(), disc.red() + 60);
    EXPECT_GE(tip->width(), 32 + QFontMetrics(tip->font()).horizontalAdvance("Open files"));

    ASSERT_TRUE(Hover(stop));
    EXPECT_EQ(tip->CurrentControlId(), 1016);
    EXPECT_EQ(tip->Label(), QStringLiteral("Stop"));
}

TEST_F(ToolTip, NoIconWithoutEntryOrWithBitmapZero) {
    tip->AddTool(open, "Open files", QRect(), 1001);
    tip->AddTool(stop, "Stop", QRect(), 1016);
    tip->AddIconEntry(1016, 0, 0);
    ASSERT_TRUE(Hover(open));
    EXPECT_FALSE(tip->HasIcon());
    ASSERT_TRUE(Hover(stop));
    EXPECT_FALSE(tip->HasIcon());
    EXPECT_TRUE(tip->IconRect().isNull());
    // Without the icon the tip is only as wide as its text needs.
    EXPECT_LT(tip->width(), 32 + QFontMetrics(tip->font()).horizontalAdvance("Stop") + 20);
}

TEST_F(ToolTip, RegistrationOrderRemovalAndUnregisteredWindows) {
    tip->AddTool(stop, "Stop", QRect(), 1016);
    tip->AddTool(open, "Open files", QRect(), 1001);
    EXPECT_EQ(tip->RegisteredTools(), (std::vector<QWidget*>{stop, open}));
    EXPECT_FALSE(Hover(other));

    tip->DelTool(stop, 1016);
    EXPECT_EQ(tip->RegisteredTools(), (std::vector<QWidget*>{open}));
    EXPECT_FALSE(Hover(stop));
    EXPECT_TRUE(Hover(open));

    // Re-registering after a language change replaces the text.
    tip->DelTool(open, 1001);
    tip->AddTool(open, "ファイルを開く", QRect(), 1001);
    ASSERT_TRUE(Hover(open));
    EXPECT_EQ(tip->Label(), QStringLiteral("ファイルを開く"));

    // A destroyed tool window is dropped, not dereferenced.
    delete stop;
    stop = nullptr;
    EXPECT_EQ(tip->RegisteredTools(), (std::vector<QWidget*>{open}));
}

TEST_F(ToolTip, PressesKeysAndLeavingEndTheTip) {
    tip->AddTool(open, "Open files", QRect(), 1001);
    ASSERT_TRUE(Hover(open));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5),
                      QPointF(open->mapToGlobal(QPoint(5, 5))), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    tip->RelayEvent(&press);
    EXPECT_FALSE(tip->isVisible());

    ASSERT_TRUE(Hover(open));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(open, &leave);
    EXPECT_FALSE(tip->isVisible());

    tip->Activate(false);
    EXPECT_FALSE(Hover(open));
    tip->Activate(true);
    EXPECT_TRUE(Hover(open));
}

} // namespace
