#pragma once
// The overview window on the real page engine with the made-up card of
// straight trips, and clicks at window coordinates.
#include "overview/OverviewWindow.h"
#include "tests/support/OverviewCard.h"
#include "tests/support/PageScript.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace overviewtest {

using pagescript::Evaluate;
using pagescript::WaitFor;

struct Played {
    QString path;
    qint64 offsetMs = -1;
};

class OverviewWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // A cache of this process's own for the browser profile.
        static QTemporaryDir cache;
        qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    }

    void SetUp() override {
        card_ = overviewtest::MakeCard();
        window_ = std::make_unique<OverviewWindow>();
        window_->resize(1400, 860);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        QObject::connect(window_.get(), &OverviewWindow::PlayRequested,
                         [this](const QString& path, qint64 offsetMs) {
                             played_.push_back({path, offsetMs});
                         });
        window_->SetData(card_);
        ASSERT_TRUE(WaitFor([this] { return window_->PageReady(); })) << "page never ready";
        ASSERT_TRUE(WaitFor([this] { return Evaluate(Page(), "ov.lineCount()").toInt() > 0; }));
        // Let the fitted view settle before reading positions off it.
        WaitFor([this] { return Evaluate(Page(), "ov.zoom()").toInt() >= 13; }, 5000);
        QTest::qWait(300);
    }

    QWebEnginePage* Page() const { return window_->MapView()->page(); }

    // A place on the map, in the window's coordinates.
    QPoint WindowPointOf(const QVariant& pagePoint) const {
        const QVariantList xy = pagePoint.toList();
        EXPECT_EQ(xy.size(), 2);
        if (xy.size() != 2)
            return {};
        return window_->MapView()->mapTo(
            window_.get(), QPoint(qRound(xy[0].toDouble()), qRound(xy[1].toDouble())));
    }

    void ClickWindowAt(QPoint at, Qt::KeyboardModifiers modifiers = {},
                       Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseMove(window_->windowHandle(), at);
        QTest::qWait(50);
        QTest::mouseClick(window_->windowHandle(), button, modifiers, at);
    }

    // The map's tip on show, or "".
    QString MapTip() const {
        return Evaluate(Page(),
                        "(document.querySelector('.leaflet-tooltip') || {}).textContent || ''")
            .toString();
    }

    // Picks a day in the day filter as a user does: its box, then its row.
    void ChooseDay(int index) {
        QComboBox* days = window_->DayFilter();
        ClickWindowAt(days->mapTo(window_.get(), days->rect().center()));
        QAbstractItemView* rows = days->view();
        ASSERT_TRUE(WaitFor([&] { return rows->isVisible(); }, 5000)) << "no day list";
        QTest::qWait(200);
        const QPoint at = rows->viewport()->mapTo(
            rows->window(), rows->visualRect(rows->model()->index(index, 0)).center());
        QTest::mouseMove(rows->window()->windowHandle(), at);
        QTest::qWait(50);
        QTest::mouseClick(rows->window()->windowHandle(), Qt::LeftButton, {}, at);
        ASSERT_TRUE(WaitFor([&] { return days->currentIndex() == index; }, 5000));
    }

    bool WaitForPlay(size_t count) {
        return WaitFor([&] { return played_.size() >= count; }, 5000);
    }

    std::shared_ptr<OverviewValues> card_;
    std::unique_ptr<OverviewWindow> window_;
    std::vector<Played> played_;
};

} // namespace overviewtest
