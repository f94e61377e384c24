// The overview's parts agree: the day chosen reaches the map, the marks, the
// legend, the chart and the places; a click on overlapping routes plays the
// selected trip; events at one moment share a mark that lists each; the
// chart reads out and follows the play position. Real page, clicks at window
// coordinates.
#include "overview/EventMarks.h"
#include "overview/SpeedChart.h"
#include "presenter/FigureTexts.h"
#include "tests/overview/OverviewWindowFixture.h"

#include <QLabel>
#include <QSpinBox>
#include <QToolTip>
#include <QTreeView>
#include <algorithm>

namespace {

using overviewtest::OverviewWindowTest;
using pagescript::Evaluate;
using pagescript::WaitFor;

QString PointScript(double latitude, double longitude) {
    return QString("ov.pointOf(%1,%2)").arg(latitude, 0, 'f', 6).arg(longitude, 0, 'f', 6);
}

double TripLatitude(int trip) {
    return overviewtest::kFirstLatitude + trip * overviewtest::kTripLatitudeStep;
}

double LongitudeAt(int second) {
    return overviewtest::kFirstLongitude + second * overviewtest::kDegreesPerSecond;
}

class OverviewAgreementTest : public OverviewWindowTest {
  protected:
    // A place in the window once the map has stopped moving.
    QPoint SettledPoint(double latitude, double longitude) {
        QVariant last;
        for (int tries = 0; tries < 50; ++tries) {
            const QVariant now = Evaluate(Page(), PointScript(latitude, longitude));
            if (now == last)
                return WindowPointOf(now);
            last = now;
            QTest::qWait(100);
        }
        return WindowPointOf(last);
    }

    void ClickTripRow(int trip) {
        QTreeView* list = window_->TripList();
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            const QModelIndex index = list->model()->index(row, 0);
            if (index.data(Qt::UserRole).toInt() != trip)
                continue;
            ClickWindowAt(list->viewport()->mapTo(window_.get(), list->visualRect(index).center()));
            ASSERT_TRUE(WaitFor([&] { return window_->SelectedTrip() == trip; }, 5000));
            return;
        }
        FAIL() << "no row of trip " << trip;
    }

    // Shows `card` instead and waits for its lines.
    void Show(std::shared_ptr<OverviewValues> card) {
        card_ = std::move(card);
        window_->SetData(card_);
        ASSERT_TRUE(WaitFor([this] { return Evaluate(Page(), "ov.lineCount()").toInt() > 0; }));
        QTest::qWait(300);
    }

    std::vector<QString> PlaceNames() const {
        std::vector<QString> names;
        const QAbstractItemModel* places = window_->PlaceList()->model();
        for (int row = 0; row < places->rowCount(); ++row)
            names.push_back(places->index(row, 0).data().toString());
        return names;
    }
};

TEST_F(OverviewAgreementTest, DayFilterReachesTheMapTheMarksTheChartAndThePlaces) {
    // Between the roads of trips 1 and 2: within 3 km pass trips 0 to 4.
    window_->findChild<QSpinBox*>()->setValue(3000);
    ClickWindowAt(SettledPoint((TripLatitude(1) + TripLatitude(2)) / 2, LongitudeAt(30)));
    ASSERT_TRUE(WaitFor([&] { return PlaceNames().size() == 10; }, 5000)) << PlaceNames().size();
    ClickTripRow(0);
    ASSERT_GT(window_->Chart()->SampleCount(), 0);

    ChooseDay(2); // 2 March: trips 2 and 3
    ASSERT_TRUE(WaitFor([&] {
        return Evaluate(Page(), "ov.shownTrips().join(',')").toString() == "2,3";
    })) << Evaluate(Page(), "ov.shownTrips().join(',')").toString().toStdString();
    EXPECT_EQ(window_->TripList()->model()->rowCount(), 3);
    ASSERT_TRUE(WaitFor([&] { return Evaluate(Page(), "ov.lineCount()").toInt() == 2; }, 5000))
        << Evaluate(Page(), "ov.lineCount()").toInt();
    EXPECT_EQ(Evaluate(Page(), "ov.eventCount()").toInt(), 2);
    EXPECT_EQ(Evaluate(Page(), "ov.markOf(0)").toInt(), -1);
    EXPECT_GE(Evaluate(Page(), "ov.markOf(2)").toInt(), 0);
    const QString legend = Evaluate(Page(), "ov.legendText()").toString();
    EXPECT_TRUE(legend.contains("#3") && legend.contains("#4")) << legend.toStdString();
    EXPECT_FALSE(legend.contains("#1")) << legend.toStdString();
    EXPECT_TRUE(Evaluate(Page(), "ov.eventLegendText()").toString().contains("Harsh braking"));
    // Trip 0 is of another day: its chart goes.
    EXPECT_EQ(window_->SelectedTrip(), -1);
    EXPECT_EQ(window_->Chart()->SampleCount(), 0);
    EXPECT_EQ(PlaceNames(), (std::vector<QString>{"4.MP4", "5.MP4", "6.MP4", "7.MP4"}));

    ChooseDay(0); // every day again
    ASSERT_TRUE(WaitFor([&] { return Evaluate(Page(), "ov.lineCount()").toInt() == 6; }, 5000));
    EXPECT_EQ(Evaluate(Page(), "ov.eventCount()").toInt(), 6);
    EXPECT_EQ(PlaceNames().size(), 10u);
}

TEST_F(OverviewAgreementTest, ClickOnOverlappingRoutesPlaysTheSelectedTripAndBesideALineNone) {
    // Trip 1 drives trip 0's road.
    auto card = overviewtest::MakeCard();
    for (int r : card->trips[1].recordings)
        for (IndexedPoint& p : card->recordings[size_t(r)].points)
            p.latitude = TripLatitude(0);
    card->events[1].latitude = TripLatitude(0);
    Show(card);
    const auto clickRoadAt = [&](int second, int besidePx) {
        ClickWindowAt(SettledPoint(TripLatitude(0), LongitudeAt(second)) - QPoint(0, besidePx));
    };

    // None selected: the one drawn on top, the later trip.
    clickRoadAt(40, 0);
    ASSERT_TRUE(WaitForPlay(1));
    EXPECT_EQ(played_.back().path, card_->recordings[2].path);
    EXPECT_NEAR(double(played_.back().offsetMs), 40000, 3000);

    ClickTripRow(0); // plays the trip's start
    ASSERT_TRUE(WaitForPlay(2));
    clickRoadAt(40, 0);
    ASSERT_TRUE(WaitForPlay(3));
    EXPECT_EQ(played_.back().path, card_->recordings[0].path);
    EXPECT_NEAR(double(played_.back().offsetMs), 40000, 3000);
    clickRoadAt(75, 4); // beside the selected line's edge, within reach
    ASSERT_TRUE(WaitForPlay(4));
    EXPECT_EQ(played_.back().path, card_->recordings[1].path);

    // Ten pixels off the road is a question about the place, not a play.
    clickRoadAt(40, 10);
    QTest::qWait(700);
    EXPECT_EQ(played_.size(), 4u);
    EXPECT_TRUE(window_->PlaceList()->model()->rowCount() > 0 || window_->PlacesNote()->isVisible())
        << "the click asked nothing";
}

TEST_F(OverviewAgreementTest, EventsAtOneMomentShareAMarkThatListsEachAndItsDate) {
    // An impact and the camera's own event at trip 0's braking.
    auto card = overviewtest::MakeCard();
    DrivingEvent impact = card->events[0];
    impact.kind = DrivingEventKind::Impact;
    impact.peak = 2.5;
    DrivingEvent camera = card->events[0];
    camera.kind = DrivingEventKind::CameraEvent;
    card->events.push_back(camera); // 6
    card->events.push_back(impact); // 7
    Show(card);

    ASSERT_TRUE(WaitFor([&] { return Evaluate(Page(), "ov.eventCount()").toInt() == 6; }));
    const int mark = Evaluate(Page(), "ov.markOf(7)").toInt();
    ASSERT_GE(mark, 0) << "the impact leads its mark";
    EXPECT_EQ(Evaluate(Page(), "ov.markOf(0)").toInt(), -1);
    const QPoint at = WindowPointOf(Evaluate(Page(), QString("ov.eventPoint(%1)").arg(mark)));
    QTest::mouseMove(window_->windowHandle(), at + QPoint(-3, 0));
    QTest::qWait(50);
    QTest::mouseMove(window_->windowHandle(), at);
    ASSERT_TRUE(WaitFor([&] { return MapTip().contains("Impact"); }, 5000))
        << MapTip().toStdString();
    const QStringList lines = MapTip().split('\n');
    ASSERT_EQ(lines.size(), 3) << MapTip().toStdString();
    const QString day = FigureTexts::LocalTime(card_->events[0].utcMs, "yyyy-MM-dd HH:mm:ss");
    for (const char* kind : {"Harsh braking", "Camera event", "Impact"})
        EXPECT_TRUE(std::any_of(
            lines.begin(), lines.end(),
            [&](const QString& line) { return line.startsWith(kind) && line.contains(day); }))
            << kind << " in " << MapTip().toStdString();
    EXPECT_TRUE(MapTip().contains("2.50 g"));
    const QString kinds = Evaluate(Page(), "ov.eventLegendText()").toString();
    EXPECT_TRUE(kinds.contains("Impact") && kinds.contains("Camera event")) << kinds.toStdString();

    // The chart's mark counts all three and its tip lists them.
    ClickTripRow(0);
    SpeedChart* chart = window_->Chart();
    EXPECT_EQ(chart->MarkCount(), 1);
    const QPoint markTop =
        chart->mapTo(window_.get(), QPoint(qRound(chart->PointOf(card_->events[0].utcMs, 0).x()),
                                           qRound(chart->PlotArea().top())));
    QTest::mouseMove(window_->windowHandle(), markTop + QPoint(-2, 0));
    QTest::qWait(50);
    QTest::mouseMove(window_->windowHandle(), markTop);
    ASSERT_TRUE(WaitFor([&] { return QToolTip::text().contains("Impact"); }, 5000))
        << QToolTip::text().toStdString();
    EXPECT_TRUE(QToolTip::text().contains("Harsh braking"));
    EXPECT_TRUE(QToolTip::text().contains("Camera event"));
}

// The page's event colours are the chart's, and none is a colour of the
// speed scale.
TEST_F(OverviewAgreementTest, EventColoursAreTheirOwn) {
    const QVariantList speed = Evaluate(Page(), "ov.colours().speed").toList();
    const QVariantList events = Evaluate(Page(), "ov.colours().events").toList();
    ASSERT_EQ(speed.size(), 5);
    ASSERT_EQ(events.size(), 6);
    for (int kind = 0; kind < 6; ++kind) {
        const QString colour = events[kind].toString();
        EXPECT_EQ(colour, EventColour(DrivingEventKind(kind)).name()) << kind;
        EXPECT_FALSE(speed.contains(colour)) << colour.toStdString();
    }
}

TEST_F(OverviewAgreementTest, ChartTicksReadOutAndPlayCursor) {
    ClickTripRow(1);
    SpeedChart* chart = window_->Chart();
    const TripSummary& trip = card_->trips[1];
    const std::vector<int64_t> ticks = chart->Ticks();
    ASSERT_GE(ticks.size(), 4u);
    EXPECT_EQ(ticks.front(), trip.startUtcMs);
    EXPECT_EQ(ticks.back(), trip.endUtcMs) << "the last tick is the trip's end";
    for (size_t i = 2; i + 1 < ticks.size(); ++i)
        EXPECT_EQ(ticks[i] - ticks[i - 1], ticks[2] - ticks[1]) << "an even step";

    const IndexedPoint& p = card_->recordings[3].points[15];
    const QPoint over = chart->mapTo(window_.get(), chart->PointOf(p.utcMs, p.speedKmh).toPoint());
    QTest::mouseMove(window_->windowHandle(), over + QPoint(0, 10));
    ASSERT_TRUE(WaitFor([&] { return !chart->ReadOut().isEmpty(); }, 3000));
    EXPECT_EQ(chart->ReadOut(),
              FigureTexts::LocalTime(p.utcMs, "HH:mm:ss") + "  " + FigureTexts().Speed(p.speedKmh));

    EXPECT_EQ(chart->CursorUtc(), -1);
    window_->ShowPlayPosition(card_->recordings[3].path, 15000);
    EXPECT_EQ(chart->CursorUtc(), card_->recordings[3].startUtcMs + 15000);
    window_->ShowPlayPosition(card_->recordings[0].path, 15000);
    EXPECT_EQ(chart->CursorUtc(), -1) << "another trip plays";
}

} // namespace
