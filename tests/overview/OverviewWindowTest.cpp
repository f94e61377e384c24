// The overview window on the real page engine, driven by clicks at window
// coordinates.
#include "overview/OverviewWindow.h"
#include "overview/OverviewBridge.h"
#include "overview/SpeedChart.h"
#include "settings/AppSettings.h"
#include "settings/PrivacyZones.h"
#include "strings/UiStrings.h"
#include "tests/overview/OverviewWindowFixture.h"
#include "tests/support/OverviewCard.h"
#include "tests/support/PageScript.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QWebEngineView>
#include <gtest/gtest.h>

namespace {

using overviewtest::OverviewWindowTest;
using overviewtest::Played;
using pagescript::Evaluate;
using pagescript::WaitFor;

TEST_F(OverviewWindowTest, DrawsEveryTripTheEventsTheLegendAndTheHeader) {
    EXPECT_EQ(Evaluate(Page(), "ov.lineCount()").toInt(), int(card_->trips.size()));
    EXPECT_EQ(Evaluate(Page(), "document.querySelectorAll('.leaflet-interactive').length").toInt(),
              0)
        << "lines and marks are drawn on one canvas, not as elements";
    EXPECT_TRUE(Evaluate(Page(), "ov.legendText()").toString().contains("#6"));

    window_->Colouring()->setCurrentIndex(1);
    ASSERT_TRUE(WaitFor(
        [this] { return Evaluate(Page(), "ov.legendText()").toString().contains("120+ km/h"); }));
    // Speed bands split every trip into runs.
    EXPECT_GT(Evaluate(Page(), "ov.lineCount()").toInt(), 3 * int(card_->trips.size()));

    const QString header = window_->Header()->text();
    EXPECT_TRUE(header.contains("Recorded: 0:12:00")) << header.toStdString();
    EXPECT_TRUE(header.contains("25%")) << header.toStdString();
    EXPECT_TRUE(header.contains("3.2 GB")) << header.toStdString();
    EXPECT_TRUE(header.contains("about 0:30:00 of driving")) << header.toStdString();

    // At the window's own size every column is whole and in sight.
    QTreeView* list = window_->TripList();
    QTest::qWait(100);
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0);
    for (int c = 0; c < list->header()->count(); ++c)
        EXPECT_GE(list->header()->sectionSize(c),
                  static_cast<QAbstractItemView*>(list)->sizeHintForColumn(c))
            << "column " << c << " elided";

    // Three days, each with its total row and two trips.
    EXPECT_EQ(window_->DayFilter()->count(), 4);
    EXPECT_EQ(window_->TripList()->model()->rowCount(), 9);
    window_->DayFilter()->setCurrentIndex(2);
    EXPECT_EQ(window_->TripList()->model()->rowCount(), 3);
}

// The viewer's read-out set to miles: the list, the legend and the tips
// follow it.
TEST_F(OverviewWindowTest, FiguresFollowTheViewersSpeedUnit) {
    QTemporaryDir settingsDir;
    const QString was = QDir::currentPath();
    QDir::setCurrent(settingsDir.path());
    AppSettings::DiscardInstance();
    AppSettings::Instance().WriteSpeedInMiles(true);
    window_->ApplyTexts();
    QDir::setCurrent(was);
    AppSettings::DiscardInstance();

    const QAbstractItemModel* trips = window_->TripList()->model();
    const QModelIndex trip = trips->index(1, 0);
    ASSERT_EQ(trip.data(Qt::UserRole).toInt(), 0);
    EXPECT_TRUE(trips->index(1, 3).data().toString().endsWith(" mi"));
    EXPECT_TRUE(trips->index(1, 6).data().toString().endsWith(" mph"));
    EXPECT_TRUE(trips->index(0, 6).data().toString().endsWith(" mph")) << "the day's total";
    EXPECT_EQ(trips->index(1, 4).data().toString(), "0:02:00") << "hours, minutes, seconds";
    // The chart's axis and read-out.
    QTreeView* list = window_->TripList();
    ClickWindowAt(list->viewport()->mapTo(window_.get(), list->visualRect(trip).center()));
    ASSERT_TRUE(WaitFor([this] { return window_->SelectedTrip() == 0; }));
    SpeedChart* chart = window_->Chart();
    const IndexedPoint& p = card_->recordings[0].points[20];
    QTest::mouseMove(window_->windowHandle(),
                     chart->mapTo(window_.get(), chart->PointOf(p.utcMs, 0).toPoint()));
    ASSERT_TRUE(WaitFor([&] { return !chart->ReadOut().isEmpty(); }, 3000));
    EXPECT_TRUE(chart->ReadOut().endsWith(" mph")) << chart->ReadOut().toStdString();
    window_->Colouring()->setCurrentIndex(1);
    ASSERT_TRUE(WaitFor(
        [this] { return Evaluate(Page(), "ov.legendText()").toString().contains("75+ mph"); }));
    EXPECT_FALSE(Evaluate(Page(), "ov.legendText()").toString().contains("km/h"));
}

TEST_F(OverviewWindowTest, AnyTextReachesThePageAsItWas) {
    // Texts the lines and the event marks may carry: quotes, a backslash,
    // line ends, Unicode's line separators, any script.
    const QString text = QString::fromUtf8("d'urgence \\ \"x\"\nz\r") + QChar(0x2028) +
                         QChar(0x2029) + QString::fromUtf8("Kartenübersicht 急ブレーキ");
    emit window_->Bridge()->EventsChanged(QJsonArray{
        QJsonObject{{"i", 0}, {"lat", 35.6}, {"lon", 139.7}, {"kind", 0}, {"label", text}}});
    ASSERT_TRUE(WaitFor([this] { return Evaluate(Page(), "ov.eventCount()").toInt() == 1; }));
    EXPECT_EQ(Evaluate(Page(), "ov.eventLabel(0)").toString(), text);
}

TEST_F(OverviewWindowTest, EventMarkerShowsItsOwnTipAndAClickPlaysFromFiveSecondsBefore) {
    const QPoint at = WindowPointOf(Evaluate(Page(), "ov.eventPoint(2)"));
    // The mark lies on its trip's line: its own tip, not the route's.
    QTest::mouseMove(window_->windowHandle(), at + QPoint(-3, 0));
    QTest::qWait(50);
    QTest::mouseMove(window_->windowHandle(), at);
    const auto tip = [this] {
        return Evaluate(Page(),
                        "(document.querySelector('.leaflet-tooltip') || {}).textContent || ''")
            .toString();
    };
    ASSERT_TRUE(WaitFor([&] { return tip().contains("0.60 g"); }, 5000)) << tip().toStdString();
    QTest::qWait(300); // a late answer about the route beneath would replace it
    EXPECT_TRUE(tip().startsWith("Harsh braking")) << tip().toStdString();
    ClickWindowAt(at);
    ASSERT_TRUE(WaitForPlay(1)) << "no play request after a click at " << at.x() << "," << at.y();
    EXPECT_EQ(played_[0].path, card_->recordings[size_t(card_->events[2].recording)].path);
    EXPECT_EQ(played_[0].offsetMs, 25000);
}

TEST_F(OverviewWindowTest, RouteClickPlaysThatPointAndHoverShowsItsTimeAndSpeed) {
    // 40 s into trip 3 (its first recording, number 6).
    const double lat = overviewtest::kFirstLatitude + 3 * overviewtest::kTripLatitudeStep;
    const double lon = overviewtest::kFirstLongitude + 40 * overviewtest::kDegreesPerSecond;
    const QPoint at = WindowPointOf(
        Evaluate(Page(), QString("ov.pointOf(%1,%2)").arg(lat, 0, 'f', 6).arg(lon, 0, 'f', 6)));
    QTest::mouseMove(window_->windowHandle(), at + QPoint(-3, 0));
    QTest::qWait(50);
    QTest::mouseMove(window_->windowHandle(), at);
    ASSERT_TRUE(WaitFor(
        [this] {
            return Evaluate(Page(),
                            "(document.querySelector('.leaflet-tooltip') || {}).textContent || ''")
                .toString()
                .contains("km/h");
        },
        5000));
    const QString tip =
        Evaluate(Page(), "document.querySelector('.leaflet-tooltip').textContent").toString();
    EXPECT_TRUE(tip.startsWith("#4")) << tip.toStdString();
    EXPECT_TRUE(tip.contains(
        QDateTime::fromMSecsSinceEpoch(card_->recordings[6].points[40].utcMs).toString("HH:mm:")))
        << tip.toStdString();

    ClickWindowAt(at);
    ASSERT_TRUE(WaitForPlay(1));
    EXPECT_EQ(played_[0].path, card_->recordings[6].path);
    // A pixel is several metres here: within a few fixes of the aim.
    EXPECT_NEAR(double(played_[0].offsetMs), 40000, 3000);
}

TEST_F(OverviewWindowTest, TripRowSelectsChartsAndPlaysAndTheChartPlaysItsMoments) {
    QTreeView* list = window_->TripList();
    const QModelIndex row = list->model()->index(5, 0); // day 2's total, trip 3, then trip 4
    ASSERT_EQ(row.data(Qt::UserRole).toInt(), 3);
    const QPoint inList = list->visualRect(row).center();
    ClickWindowAt(list->viewport()->mapTo(window_.get(), inList));
    ASSERT_TRUE(WaitForPlay(1));
    EXPECT_EQ(window_->SelectedTrip(), 3);
    EXPECT_EQ(played_[0].path, card_->recordings[6].path);
    EXPECT_EQ(played_[0].offsetMs, 0);
    SpeedChart* chart = window_->Chart();
    EXPECT_EQ(chart->SampleCount(), 120);

    // The event mark of trip 3, then a moment 15 s into its second recording.
    const int64_t eventUtc = card_->events[3].utcMs;
    ClickWindowAt(chart->mapTo(window_.get(), chart->PointOf(eventUtc, 10).toPoint()));
    ASSERT_TRUE(WaitForPlay(2));
    EXPECT_EQ(played_[1].path, card_->recordings[7].path);
    EXPECT_EQ(played_[1].offsetMs, 25000);
    const int64_t momentUtc = card_->recordings[7].points[15].utcMs;
    ClickWindowAt(chart->mapTo(window_.get(), chart->PointOf(momentUtc, 10).toPoint()));
    ASSERT_TRUE(WaitForPlay(3));
    EXPECT_EQ(played_[2].path, card_->recordings[7].path);
    EXPECT_NEAR(double(played_[2].offsetMs), 15000, 1000);

    // A right click on the event mark offers the clip around the event.
    std::vector<Played> exported;
    QObject::connect(window_.get(), &OverviewWindow::ExportClipRequested,
                     [&](const QString& path, qint64 offsetMs) {
                         exported.push_back({path, offsetMs});
                     });
    ClickWindowAt(chart->mapTo(window_.get(), chart->PointOf(eventUtc, 10).toPoint()), {},
                  Qt::RightButton);
    QMenu* menu = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return menu != nullptr;
    }));
    QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, {},
                      menu->actionGeometry(menu->actions().front()).center());
    ASSERT_TRUE(WaitFor([&] { return !exported.empty(); }));
    EXPECT_EQ(exported[0].path, card_->recordings[7].path);
    EXPECT_EQ(exported[0].offsetMs, card_->events[3].offsetMs);
    EXPECT_EQ(played_.size(), 3u);

    // The map followed the selection: trip 3 fills the view.
    EXPECT_GE(Evaluate(Page(), "ov.zoom()").toInt(), 15);
}

// A zoom shows the last picture of the lines scaled about the view's middle
// before they are drawn anew: what lay in the middle stays there.
TEST_F(OverviewWindowTest, ZoomScalesTheLastPictureInPlace) {
    const QVariantList moved = Evaluate(Page(), R"((function () {
        var canvas = document.querySelector(".leaflet-overlay-pane canvas");
        var view = document.getElementById("map").getBoundingClientRect();
        var cx = view.left + view.width / 2, cy = view.top + view.height / 2;
        var before = canvas.getBoundingClientRect();
        var u = cx - before.left, v = cy - before.top;
        document.querySelector(".leaflet-control-zoom-in").click();
        var after = canvas.getBoundingClientRect();
        var scale = after.width / before.width;
        return [scale, after.left + u * scale - cx, after.top + v * scale - cy];
    })())")
                                   .toList();
    ASSERT_EQ(moved.size(), 3);
    EXPECT_DOUBLE_EQ(moved[0].toDouble(), 2.0);
    EXPECT_NEAR(moved[1].toDouble(), 0, 1.5);
    EXPECT_NEAR(moved[2].toDouble(), 0, 1.5);
    // Then drawn at the new level, unscaled.
    ASSERT_TRUE(WaitFor([this] {
        return Evaluate(Page(), "document.querySelector('.leaflet-overlay-pane canvas')"
                                ".style.transform === ''")
            .toBool();
    }));
}

TEST_F(OverviewWindowTest, APanBeyondTheDrawnMarginDrawsTheLinesWhereTheyAre) {
    // A point of trip 3's line, and whether the canvas shows a line there.
    const QString lat =
        QString::number(overviewtest::kFirstLatitude + 3 * overviewtest::kTripLatitudeStep, 'f', 6);
    const QString lon = QString::number(
        overviewtest::kFirstLongitude + 40 * overviewtest::kDegreesPerSecond, 'f', 6);
    const QString lineThere = QString(R"((function () {
        var canvas = document.querySelector(".leaflet-overlay-pane canvas");
        var view = document.getElementById("map").getBoundingClientRect();
        var box = canvas.getBoundingClientRect();
        if (box.left > view.left || box.top > view.top || box.right < view.right ||
            box.bottom < view.bottom) return -1;  // not drawn for this view yet
        var p = ov.pointOf(%1, %2);
        var x = Math.round(view.left + p[0] - box.left), y = Math.round(view.top + p[1] - box.top);
        return canvas.getContext("2d").getImageData(x - 1, y - 1, 3, 3).data
            .filter(function (v, i) { return i % 4 === 3 && v > 0; }).length;
    })())")
                                  .arg(lat, lon);
    ASSERT_GT(Evaluate(Page(), lineThere).toInt(), 0);
    // Most of the view's width, in steps as a drag goes: past the quarter
    // drawn beyond each edge, the point staying in view.
    const QString pan = QString(R"((function () {
        var w = document.getElementById("map").getBoundingClientRect().width;
        var step = (ov.pointOf(%1, %2)[0] > w / 2 ? 1 : -1) * 0.15 * w;
        for (var i = 0; i < 3; ++i) ov.pan(step, 0);
    })())")
                            .arg(lat, lon);
    Evaluate(Page(), pan);
    ASSERT_TRUE(WaitFor([&] { return Evaluate(Page(), lineThere).toInt() >= 0; }, 5000))
        << "never drawn for the panned view";
    EXPECT_GT(Evaluate(Page(), lineThere).toInt(), 0);
}

TEST_F(OverviewWindowTest, MapClickListsRecordingsPassingNearAndARowPlaysThere) {
    // Halfway between the roads of trips 0 and 1, about 555 m from each.
    const double lat = overviewtest::kFirstLatitude + overviewtest::kTripLatitudeStep / 2;
    const double lon = overviewtest::kFirstLongitude + 30 * overviewtest::kDegreesPerSecond;
    const QPoint at = WindowPointOf(
        Evaluate(Page(), QString("ov.pointOf(%1,%2)").arg(lat, 0, 'f', 6).arg(lon, 0, 'f', 6)));
    ClickWindowAt(at);
    QAbstractItemModel* places = window_->PlaceList()->model();
    ASSERT_TRUE(WaitFor([&] { return window_->PlacesNote()->isVisible(); }, 5000));
    EXPECT_EQ(places->rowCount(), 0) << "nothing within 50 m";
    EXPECT_EQ(window_->PlacesNote()->text(), "No recording passes within 50 m here.");
    EXPECT_TRUE(played_.empty());

    auto* radius = window_->findChild<QSpinBox*>();
    ASSERT_TRUE(radius);
    radius->setValue(600);
    ClickWindowAt(at);
    ASSERT_TRUE(WaitFor([&] { return places->rowCount() == 2; }, 5000));
    EXPECT_EQ(places->index(0, 0).data().toString().toStdString() + " " +
                  places->index(1, 0).data().toString().toStdString(),
              "0.MP4 2.MP4");
    EXPECT_TRUE(places->index(0, 2).data().toString().startsWith("55"))
        << places->index(0, 2).data().toString().toStdString();
    EXPECT_FALSE(window_->PlacesNote()->isVisible());
    EXPECT_GE(window_->PlaceList()->header()->sectionSize(1),
              static_cast<QAbstractItemView*>(window_->PlaceList())->sizeHintForColumn(1))
        << "the time elided";
    EXPECT_EQ(places->index(0, 1).data().toString(),
              QDateTime::fromMSecsSinceEpoch(card_->recordings[0].points[30].utcMs)
                  .toString("yyyy-MM-dd HH:mm:ss"));
    QTreeView* placeList = window_->PlaceList();
    const QPoint row = placeList->visualRect(places->index(1, 0)).center();
    ClickWindowAt(placeList->viewport()->mapTo(window_.get(), row));
    ASSERT_TRUE(WaitForPlay(1));
    EXPECT_EQ(played_[0].path, card_->recordings[2].path);
    EXPECT_NEAR(double(played_[0].offsetMs), 30000, 1000);

    // Nearer trip 1's road: the passes still in time order.
    radius->setValue(800);
    window_->AskPlace(overviewtest::kFirstLatitude + overviewtest::kTripLatitudeStep * 0.7,
                      overviewtest::kFirstLongitude + 10 * overviewtest::kDegreesPerSecond);
    ASSERT_EQ(places->rowCount(), 2);
    EXPECT_EQ(places->index(0, 0).data().toString(), "0.MP4");
    EXPECT_LT(places->index(1, 2).data().toString().toInt(), 400) << "2.MP4, the nearer";
}

// A right click on the map adds a privacy zone there, kept in the settings
// file at once and drawn as a shaded circle.
TEST_F(OverviewWindowTest, RightClickOnTheMapAddsAPrivacyZoneThere) {
    // The settings file of a working folder of the test's own.
    struct WorkFolder {
        QTemporaryDir dir;
        QString previous = QDir::currentPath();
        WorkFolder() {
            QDir::setCurrent(dir.path());
            AppSettings::DiscardInstance();
        }
        ~WorkFolder() {
            QDir::setCurrent(previous);
            AppSettings::DiscardInstance();
        }
    } work;
    const double lat = overviewtest::kFirstLatitude + overviewtest::kTripLatitudeStep / 2;
    const double lon = overviewtest::kFirstLongitude + 30 * overviewtest::kDegreesPerSecond;
    const QPoint at = WindowPointOf(
        Evaluate(Page(), QString("ov.pointOf(%1,%2)").arg(lat, 0, 'f', 6).arg(lon, 0, 'f', 6)));
    ClickWindowAt(at, {}, Qt::RightButton);
    QMenu* menu = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return menu != nullptr;
    }));
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().front()->text(), LoadUiString(UiStringId::kAddPrivacyZoneItem));
    QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, {},
                      menu->actionGeometry(menu->actions().front()).center());
    EXPECT_TRUE(WaitFor([&] { return Evaluate(Page(), "ov.zoneCount()").toInt() == 1; }));
    std::vector<PrivacyZone> zones;
    QString error;
    EXPECT_TRUE(ReadPrivacyZones(AppSettings::Instance(), &zones, &error)) << error.toStdString();
    ASSERT_EQ(zones.size(), 1u);
    // Within a few pixels of the click at this zoom.
    EXPECT_NEAR(zones[0].latitude, lat, 0.0005);
    EXPECT_NEAR(zones[0].longitude, lon, 0.0005);
    EXPECT_EQ(zones[0].radiusM, OverviewWindow::kNewZoneRadiusM);
    if (const QByteArray path = qgetenv("HALVEX_SCREENSHOT"); !path.isEmpty()) {
        QTest::qWait(1000); // the page's next frames
        window_->grab().save(QString::fromLocal8Bit(path));
    }
}

TEST_F(OverviewWindowTest, ProgressCountsAndCancelAsksToStop) {
    QPushButton* cancel = window_->CancelButton();
    EXPECT_FALSE(cancel->isVisible());
    window_->SetProgress(3, 140);
    ASSERT_TRUE(cancel->isVisible());
    auto* bar = window_->findChild<QProgressBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->value(), 3);
    EXPECT_EQ(bar->maximum(), 140);
    bool labelled = false;
    for (QLabel* label : window_->findChildren<QLabel*>())
        labelled = labelled || label->text().endsWith("3 / 140");
    EXPECT_TRUE(labelled);

    int cancels = 0;
    QObject::connect(window_.get(), &OverviewWindow::CancelRequested, [&] { ++cancels; });
    QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      cancel->mapTo(window_.get(), cancel->rect().center()));
    EXPECT_EQ(cancels, 1);
    window_->SetProgress(0, -1);
    EXPECT_FALSE(cancel->isVisible());
    // An empty card clears what the last one drew.
    window_->SetData(std::make_shared<OverviewValues>());
    EXPECT_EQ(window_->TripList()->model()->rowCount(), 0);
    ASSERT_TRUE(WaitFor([this] { return Evaluate(Page(), "ov.lineCount()").toInt() == 0; }));
    EXPECT_TRUE(played_.empty());
}

} // namespace
