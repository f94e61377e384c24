// The card overview beside the real main window: opened with its key, a
// click on an event mark and on a trip row at the overview's coordinates
// plays that moment in the main window.
#if HALVEX_HAVE_SYNTH
#include "MainWindowCard.h"
#include "PlaybackHarness.h"
#include "app/window/ControlIds.h"
#include "app/window/OverviewLink.h"
#include "app/window/PlaybackLogic.h"
#include "clipui/ClipExportDlg.h"
#include "overview/OverviewWindow.h"
#include "overview/SpeedChart.h"
#include "player/CVlcPlayer.h"
#include "recordings/RecordingCatalog.h"
#include "strings/UiStrings.h"
#include "tests/support/OverviewCard.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <optional>

namespace {

QVariant Evaluate(QWebEnginePage* page, const QString& script) {
    auto result = std::make_shared<QVariant>();
    auto done = std::make_shared<bool>(false);
    page->runJavaScript(script, [result, done](const QVariant& v) {
        *result = v;
        *done = true;
    });
    WaitUntil([done] { return *done; }, 10000);
    return *result;
}

class OverviewPlayTest : public ShownWindowTest {
  protected:
    CVlcPlayer* Front() const { return dlg_->Playback()->Players().Front(); }
    // The recording the front player plays, as the file system names it.
    QString Playing() const {
        return QFileInfo(QString::fromUtf8(Front()->MediaPath())).canonicalFilePath();
    }
    bool PlaysNear(const QString& path, int64_t ms) const {
        return Playing() == path && Front()->State() == libvlc_Playing &&
               Front()->GetTime() >= ms && Front()->GetTime() < ms + 2500;
    }
    // Where the page puts event i once it has the marks and its layout no
    // longer moves them: the same point twice, a moment apart.
    QPoint SettledEventPoint(QWebEnginePage* page, int i) {
        QVariantList last;
        for (int tries = 0; tries < 100; ++tries) {
            const QVariantList now =
                Evaluate(page, QString("ov.eventCount() > %1 ? ov.eventPoint(%1) : []").arg(i))
                    .toList();
            if (now.size() == 2 && now == last)
                return QPoint(qRound(now[0].toDouble()), qRound(now[1].toDouble()));
            last = now;
            Pump(200);
        }
        return {-1, -1};
    }
    // The main window on a card of two trips of two one-minute recordings,
    // with the overview opened by its key on made-up answers for that card.
    void OpenOverview() {
        QString error;
        fronts = WriteCard(card.path(), 4, 60000, &error);
        ASSERT_EQ(fronts.size(), 4) << error.toStdString();
        overviewtest::CardShape shape;
        shape.days = 1;
        shape.paths.assign(fronts.begin(), fronts.end());
        auto values = overviewtest::MakeCard(shape);

        dlg_->OpenFolder(card.path());
        ASSERT_TRUE(WaitUntil([&] { return Front()->State() == libvlc_Playing; }, 15000));
        ASSERT_EQ(Playing(), QFileInfo(fronts[0]).canonicalFilePath());

        auto* link = dlg_->Overview();
        ASSERT_NE(link, nullptr);
        // The card's own index comes first; the made-up answers then stay.
        ASSERT_TRUE(WaitUntil([&] { return link->Data() != nullptr; }, 30000));
        link->ShowData(values);
        QTest::keyClick(dlg_->windowHandle(), Qt::Key_T, Qt::ControlModifier);
        ASSERT_TRUE(WaitUntil([&] { return link->Window() && link->Window()->isVisible(); }));
        overview = link->Window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(overview));
        ASSERT_TRUE(WaitUntil([&] { return overview->PageReady(); }, 20000));
        page = overview->MapView()->page();
        ASSERT_TRUE(
            WaitUntil([&] { return Evaluate(page, "ov.lineCount()").toInt() == 2; }, 10000));
    }

    QTemporaryDir card;
    QStringList fronts;
    OverviewWindow* overview = nullptr;
    QWebEnginePage* page = nullptr;

    void Click(QWidget* window, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseMove(window->windowHandle(), at);
        QTest::qWait(50);
        QTest::mouseClick(window->windowHandle(), button, Qt::NoModifier, at);
    }
};

TEST_F(OverviewPlayTest, EventMarkAndTripRowPlayTheirMomentsInTheMainWindow) {
    OpenOverview();
    if (HasFatalFailure())
        return;

    // Trip 2's braking lies 30 s into recording 4: play from 25 s.
    const QPoint mark = SettledEventPoint(page, 1);
    ASSERT_NE(mark, QPoint(-1, -1));
    Click(overview, overview->MapView()->mapTo(overview, mark));
    ASSERT_TRUE(WaitUntil(
        [&] { return PlaysNear(QFileInfo(fronts[3]).canonicalFilePath(), 25000); }, 15000))
        << Playing().toStdString() << " at " << Front()->GetTime();

    // Trip 1's row: its first recording from its start.
    QTreeView* trips = overview->TripList();
    const QModelIndex row = trips->model()->index(1, 0);
    ASSERT_EQ(row.data(Qt::UserRole).toInt(), 0);
    Click(overview, trips->viewport()->mapTo(overview, trips->visualRect(row).center()));
    ASSERT_TRUE(
        WaitUntil([&] { return PlaysNear(QFileInfo(fronts[0]).canonicalFilePath(), 0); }, 15000))
        << Playing().toStdString() << " at " << Front()->GetTime();
}

// The overview follows the main window: its chart's cursor the moment
// playing, its figures the read-out's unit as soon as it is changed there.
TEST_F(OverviewPlayTest, ChartCursorFollowsPlayAndFiguresFollowTheReadOutsUnit) {
    OpenOverview();
    if (HasFatalFailure())
        return;
    QTreeView* trips = overview->TripList();
    const QModelIndex row = trips->model()->index(1, 0);
    ASSERT_EQ(row.data(Qt::UserRole).toInt(), 0);
    Click(overview, trips->viewport()->mapTo(overview, trips->visualRect(row).center()));
    ASSERT_TRUE(WaitUntil([&] { return overview->SelectedTrip() == 0; }));
    SpeedChart* chart = overview->Chart();
    // The trip's first recording plays: the cursor moves along its minute.
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::vector<int64_t> ticks = chart->Ticks();
            return !ticks.empty() && chart->CursorUtc() >= ticks.front() &&
                   chart->CursorUtc() < ticks.front() + 60000;
        },
        15000))
        << chart->CursorUtc();
    const int64_t was = chart->CursorUtc();
    ASSERT_TRUE(WaitUntil([&] { return chart->CursorUtc() >= was + 1000; }, 10000))
        << "the cursor stays at " << was;

    const QAbstractItemModel* list = trips->model();
    ASSERT_TRUE(list->index(1, 3).data().toString().endsWith(" km"));
    CVELDlg* main = dlg_.get();
    QWidget* speed = main->Control(IDC_SPEED);
    QTest::mouseDClick(main->windowHandle(), Qt::LeftButton, {},
                       speed->mapTo(main, speed->rect().center()));
    ASSERT_TRUE(WaitUntil([&] { return list->index(1, 3).data().toString().endsWith(" mi"); }))
        << list->index(1, 3).data().toString().toStdString();
    EXPECT_TRUE(list->index(1, 6).data().toString().endsWith(" mph"));
}

// "Export clip" in an event mark's right-click menu opens the export dialog
// on the 15 s before and after the event.
TEST_F(OverviewPlayTest, EventMenuExportsTheThirtySecondsAroundTheEvent) {
    OpenOverview();
    if (HasFatalFailure())
        return;
    const QPoint mark = SettledEventPoint(page, 1);
    ASSERT_NE(mark, QPoint(-1, -1));
    Click(overview, overview->MapView()->mapTo(overview, mark), Qt::RightButton);
    QMenu* menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return menu && menu->isVisible();
    }));
    // Export clip, and a privacy zone at the mark.
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions().front()->text(), LoadUiString(UiStringId::kExportClipItem));

    // The dialog runs its own loop: it is read and closed from inside it.
    std::optional<std::pair<int64_t, int64_t>> span;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<ClipExportDlg*>(QApplication::activeModalWidget())) {
            span = std::pair(dialog->FromMs(), dialog->ToMs());
            dialog->reject();
        } else if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ADD_FAILURE() << "another dialog: " << other->windowTitle().toStdString();
            other->reject();
        }
    });
    watch.start(100);
    Click(menu, menu->actionGeometry(menu->actions().front()).center());
    ASSERT_TRUE(WaitUntil([&] { return span.has_value(); }));
    const RecordingCatalog& catalog = dlg_->Catalog();
    const int recording = catalog.IndexOfPath(fronts[3]);
    ASSERT_GE(recording, 0);
    const int64_t start = catalog.Files()[size_t(recording)].info.StartMs();
    EXPECT_EQ(span->first, start + 15000);
    EXPECT_EQ(span->second, start + 45000);
}

} // namespace
#endif
