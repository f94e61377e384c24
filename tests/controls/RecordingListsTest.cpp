// The file list and the group list as widgets: titles, rows, images, the
// chosen rows, the current-row mark and the rows a double-click activates.
#include "controls/CVelFileListCtrl.h"
#include "controls/CVelGroupListCtrl.h"
#include "controls/PadlockImages.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "strings/UiStrings.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Settings (and so the language) live in a fresh folder for each test.
class RecordingLists : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        oldCwd = QDir::currentPath();
        QDir::setCurrent(dir.path());
        AppSettings::DiscardInstance();
        AppSettings::Instance().SetLanguage(0);
    }
    void TearDown() override {
        QDir::setCurrent(oldCwd);
        AppSettings::DiscardInstance();
    }

    QStringList Titles(const QTableWidget& list) {
        QStringList titles;
        for (int c = 0; c < list.columnCount(); ++c)
            titles << list.horizontalHeaderItem(c)->text();
        return titles;
    }

    QTemporaryDir dir;
    QString oldCwd;
};

void DoubleClick(QTableWidget& list, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonDblClick, at, list.viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &press);
}

TEST_F(RecordingLists, ColumnsAreTitledFromTheStringTableAndRetitled) {
    CVelFileListCtrl files;
    CVelGroupListCtrl groups;
    files.resize(1000, 200);
    groups.resize(1000, 200);
    files.SetUp();
    groups.SetUp();

    const QStringList englishFiles = {"ID",       "File Name", "Start Time",
                                      "End Time", "File Size", "Folder"};
    EXPECT_EQ(Titles(files), englishFiles);
    EXPECT_EQ(Titles(groups),
              QStringList({"Group", "Resolution", "Start Time", "Length", "File Size"}));
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(files.columnWidth(c), 300) << c; // 3/10 each: the list scrolls sideways
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(groups.columnWidth(c), 200) << c;

    AppSettings::Instance().SetLanguage(kJapaneseIndex);
    files.resize(500, 200); // widths stay as set up
    files.Retitle();
    groups.Retitle();
    const unsigned fileIds[] = {121, 122, 118, 123, 120, 124};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(files.horizontalHeaderItem(c)->text(), LoadUiString(fileIds[c])) << c;
        if (c > 0) { // "ID" reads the same in Japanese
            EXPECT_NE(files.horizontalHeaderItem(c)->text(), englishFiles[c]) << c;
        }
        EXPECT_EQ(files.columnWidth(c), 300) << c;
    }
    EXPECT_EQ(groups.horizontalHeaderItem(0)->text(), LoadUiString(UiStringId::kGroupColumn));
}

TEST_F(RecordingLists, RowsShowTheirTextsAndTheImageOfTheirLockFlags) {
    CVelFileListCtrl files;
    files.SetUp();
    for (uint8_t flags = 0; flags < 4; ++flags)
        ASSERT_TRUE(
            files.AddFileRow(0, flags, "/card/DCIM/", "F.MOV", 60000, 3221225472ull, flags, 0));
    ASSERT_EQ(files.rowCount(), 4);
    EXPECT_EQ(files.item(2, 0)->text(), "G0-2");
    EXPECT_EQ(files.item(2, 4)->text(), " 3072 MB");
    EXPECT_EQ(files.item(2, 5)->text(), "/card/DCIM/");
    EXPECT_EQ(files.item(2, 0)->flags() & Qt::ItemIsUserCheckable, 0); // no check boxes here
    for (int row = 0; row < 4; ++row) {
        const QImage shown = files.item(row, 0)->icon().pixmap(24, 24).toImage();
        EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32),
                  PadlockImage(row).toImage().convertToFormat(QImage::Format_ARGB32))
            << row;
    }
    // The four images differ, and "not locked" is fully transparent.
    const QImage none = PadlockImage(0).toImage();
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            ASSERT_EQ(qAlpha(none.pixel(x, y)), 0);
    // Magenta is the strip's see-through colour and never shows.
    for (int i = 0; i < 4; ++i) {
        const QImage img = PadlockImage(i).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                ASSERT_NE(img.pixel(x, y), 0xFFFF00FFu) << i << " at " << x << "," << y;
    }
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            EXPECT_NE(PadlockImage(a).toImage(), PadlockImage(b).toImage()) << a << " " << b;

    files.DeleteAllItems();
    EXPECT_EQ(files.rowCount(), 0);
}

TEST_F(RecordingLists, AGroupIsChosenWhenSelectedOrChecked) {
    CVelGroupListCtrl groups;
    groups.SetUp();
    for (int g = 0; g < 4; ++g)
        groups.AddGroupRow(g, "720P", 60000, 0, 0, 0);
    EXPECT_TRUE(groups.item(0, 0)->flags() & Qt::ItemIsUserCheckable);
    groups.SetRowChecked(1, true);
    groups.selectRow(2);
    const bool chosen[] = {false, true, true, false};
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(groups.IsRowChosen(row), chosen[row]) << row;
    EXPECT_FALSE(groups.IsRowChosen(-1));
    EXPECT_FALSE(groups.IsRowChosen(4));

    // A refill starts with every box cleared.
    groups.DeleteAllItems();
    for (int g = 0; g < 4; ++g)
        groups.AddGroupRow(g, "720P", 60000, 0, 0, 0);
    for (int row = 0; row < 4; ++row)
        EXPECT_FALSE(groups.IsRowChecked(row)) << row;
}

TEST_F(RecordingLists, TheCurrentRowCarriesTheDropHighlight) {
    CVelFileListCtrl files;
    files.resize(600, 400);
    files.SetUp();
    files.show();
    for (int i = 0; i < 40; ++i)
        files.AddFileRow(0, i, "/c/", "F.MOV", 1000, 0, 0, 0);
    QApplication::processEvents();
    files.SetDropHighlight(30, true);
    files.SetDropHighlight(40, true); // outside the list: ignored
    files.SetDropHighlight(-1, true);
    files.EnsureVisible(30);
    QApplication::processEvents();
    EXPECT_TRUE(files.IsDropHighlighted(30));
    EXPECT_FALSE(files.IsDropHighlighted(29));

    // The right end of a name cell holds no text.
    const QRect cell = files.visualItemRect(files.item(30, 1));
    const QPoint inside(cell.right() - 4, cell.center().y());
    ASSERT_TRUE(files.viewport()->rect().contains(inside)) << "row 30 scrolled into view";
    const QImage shot = files.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(inside), CVelListCtrl::kDropHighlight);
    const QRect other = files.visualItemRect(files.item(29, 1));
    EXPECT_NE(shot.pixelColor(QPoint(other.right() - 4, other.center().y())),
              CVelListCtrl::kDropHighlight);

    files.SetDropHighlight(30, false);
    EXPECT_FALSE(files.IsDropHighlighted(30));
}

TEST_F(RecordingLists, DoubleClickActivatesTheRow) {
    CVelFileListCtrl files;
    CVelGroupListCtrl groups;
    // Which list activated which row, in order.
    std::vector<std::pair<const CVelListCtrl*, int>> received;
    for (CVelListCtrl* list :
         {static_cast<CVelListCtrl*>(&files), static_cast<CVelListCtrl*>(&groups)}) {
        list->resize(600, 300);
        QObject::connect(list, &CVelListCtrl::RowActivated,
                         [&received, list](int row) { received.emplace_back(list, row); });
    }
    files.SetUp();
    groups.SetUp();
    for (int i = 0; i < 3; ++i) {
        files.AddFileRow(0, i, "/c/", "F.MOV", 1000, 0, 0, 0);
        groups.AddGroupRow(i, "VGA", 1000, 0, 0, 0);
    }
    DoubleClick(files, files.visualItemRect(files.item(2, 1)).center());
    DoubleClick(groups, groups.visualItemRect(groups.item(1, 2)).center());
    DoubleClick(files, QPoint(10, 280)); // below the last row

    const std::vector<std::pair<const CVelListCtrl*, int>> expected = {
        {&files, 2}, {&groups, 1}, {&files, -1}};
    EXPECT_EQ(received, expected);
}

// Hovering with the real pointer: a start time cut off at the designed
// column width shows the whole text; a cell that fits shows none.
TEST_F(RecordingLists, ACutCellShowsItsWholeTextAsToolTip) {
    CVelGroupListCtrl groups;
    groups.resize(470, 200); // the group list's width at 800x560
    groups.SetUp();
    groups.AddGroupRow(0, "640x360", 90000, 15 << 20, 0, 1716023520);
    groups.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&groups));
    groups.activateWindow(); // tips show in the active window, as for a user
    ASSERT_TRUE(QTest::qWaitForWindowActive(&groups));
    const QString start = groups.item(0, 2)->text();
    ASSERT_GT(groups.fontMetrics().horizontalAdvance(start), groups.columnWidth(2))
        << "the fixture must cut the start time";

    const auto hover = [&](int column) {
        QToolTip::hideText();
        QTest::qWait(100);
        const QPoint at = groups.visualItemRect(groups.item(0, column)).center();
        QCursor::setPos(groups.viewport()->mapToGlobal(at + QPoint(1, 0)));
        QTest::qWait(50);
        QCursor::setPos(groups.viewport()->mapToGlobal(at));
        QTest::qWait(1200);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(hover(2), start);
    EXPECT_EQ(hover(3), QString()) << "a length that fits needs no tip";
}

} // namespace
