// The overview of several days of town driving on the real page: every trip
// from one home corner, a box dragged with Shift around that corner, a trip
// picked in the list. With HALVEX_OVERVIEW_SHOTS=DIR the screen is saved
// there at each step (the pictures under docs/).
#include "overview/OverviewWindow.h"
#include "overview/SpeedChart.h"
#include "tests/support/OverviewCard.h"
#include "tests/support/PageScript.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QWebEngineView>
#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace {

using pagescript::Evaluate;
using pagescript::WaitFor;

void Shot(QWidget* window, const char* name) {
    const QString dir = qEnvironmentVariable("HALVEX_OVERVIEW_SHOTS");
    if (dir.isEmpty())
        return;
    QTest::qWait(600);
    window->screen()
        ->grabWindow(0, window->x(), window->y(), window->frameGeometry().width(),
                     window->frameGeometry().height())
        .save(dir + "/" + name);
}

TEST(OverviewTouringCard, BoxAroundHomeListsEveryTripAndATripShowsItsChartAndEvents) {
    static QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    auto card = overviewtest::MakeTouringCard(4);
    OverviewWindow window;
    window.setGeometry(40, 40, 1600, 940);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    std::vector<std::pair<QString, qint64>> played;
    QObject::connect(&window, &OverviewWindow::PlayRequested, [&](const QString& path, qint64 ms) {
        played.push_back({path, ms});
    });
    window.SetData(card);
    QWebEnginePage* page = window.MapView()->page();
    ASSERT_TRUE(WaitFor([&] { return window.PageReady(); }));
    ASSERT_TRUE(WaitFor([&] { return Evaluate(page, "ov.lineCount()").toInt() > 0; }));
    QTest::qWait(500);
    EXPECT_EQ(window.DayFilter()->count(), 5);
    EXPECT_EQ(Evaluate(page, "ov.lineCount()").toInt(), int(card->trips.size()));
    Shot(&window, "overview-trips.png");

    // Shift and a drag around the home corner, 40 px each way.
    const QVariantList home = Evaluate(page, QString("ov.pointOf(%1,%2)")
                                                 .arg(overviewtest::kHomeLatitude, 0, 'f', 6)
                                                 .arg(overviewtest::kHomeLongitude, 0, 'f', 6))
                                  .toList();
    ASSERT_EQ(home.size(), 2);
    const QPoint centre = window.MapView()->mapTo(
        &window, QPoint(qRound(home[0].toDouble()), qRound(home[1].toDouble())));
    QWindow* handle = window.windowHandle();
    QTest::mouseMove(handle, centre - QPoint(40, 40));
    QTest::mousePress(handle, Qt::LeftButton, Qt::ShiftModifier, centre - QPoint(40, 40));
    for (int step = 1; step <= 8; ++step) {
        QTest::mouseMove(handle, centre - QPoint(40, 40) + QPoint(10 * step, 10 * step));
        QTest::qWait(20);
    }
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::ShiftModifier, centre + QPoint(40, 40));
    QAbstractItemModel* places = window.PlaceList()->model();
    ASSERT_TRUE(WaitFor([&] { return places->rowCount() > 0; }, 5000));
    std::set<QString> listed;
    std::vector<QString> inList;
    for (int i = 0; i < places->rowCount(); ++i) {
        listed.insert(places->index(i, 0).data().toString());
        inList.push_back(places->index(i, 0).data().toString());
    }
    for (const TripSummary& trip : card->trips)
        EXPECT_TRUE(listed.count(card->recordings[size_t(trip.recordings.front())].fileName))
            << "trip " << trip.number << " leaves from home";
    EXPECT_TRUE(played.empty()) << "a box plays nothing";
    // The box on the map and the list name the same recordings as the
    // card's own box question, the list in time order.
    const QVariantList shown = Evaluate(page, "ov.shownBox()").toList();
    ASSERT_EQ(shown.size(), 4);
    std::vector<NearHit> hits = card->InBox(
        {shown[0].toDouble(), shown[1].toDouble(), shown[2].toDouble(), shown[3].toDouble()});
    std::stable_sort(hits.begin(), hits.end(),
                     [](const NearHit& x, const NearHit& y) { return x.utcMs < y.utcMs; });
    std::vector<QString> inBox;
    for (const NearHit& hit : hits)
        inBox.push_back(card->recordings[size_t(hit.recording)].fileName);
    EXPECT_EQ(inList, inBox);

    // The trip with the impact, picked in the list, coloured by speed.
    window.Colouring()->setCurrentIndex(1);
    QTreeView* list = window.TripList();
    QModelIndex row;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        if (list->model()->index(i, 0).data(Qt::UserRole).toInt() == 4)
            row = list->model()->index(i, 0);
    ASSERT_TRUE(row.isValid());
    list->scrollTo(row);
    const QPoint at = list->viewport()->mapTo(&window, list->visualRect(row).center());
    QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, at);
    ASSERT_TRUE(WaitFor([&] { return window.SelectedTrip() == 4; }, 5000));
    EXPECT_EQ(window.Chart()->SampleCount(), int(card->trips[4].recordings.size()) * 60);
    ASSERT_FALSE(played.empty());
    EXPECT_EQ(played.back().first,
              card->recordings[size_t(card->trips[4].recordings.front())].path);
    WaitFor([&] { return Evaluate(page, "ov.zoom()").toInt() >= 14; }, 3000);
    Shot(&window, "overview-trip-speed.png");
}

} // namespace
