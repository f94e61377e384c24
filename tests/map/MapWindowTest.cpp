#include "MapWindowFixture.h"
#include "recordings/Track.h"

#include <QDir>
#include <QTemporaryDir>

using maptest::WaitFor;

TEST_F(MapWindowFixture, FirstPageOpensOnlyOnceTheBrowserIsReady) {
    map->SetMapType(MAP_CHINA);
    EXPECT_FALSE(map->IsReady());
    EXPECT_TRUE(Views().empty());

    ASSERT_TRUE(WaitFor([&] { return map->IsReady(); }));
    ASSERT_EQ(Views().size(), 1u);
    EXPECT_EQ(Views()[0]->page()->requestedUrl(),
              QUrl::fromLocalFile(HALVEX_BINARY_DIR "/res/BMap.html"));
}

TEST_F(MapWindowFixture, ViewLeavesTenPixelStripBelowItInPanesHigherThanTen) {
    ASSERT_TRUE(WaitFor([&] { return !Views().empty(); }));
    QWebEngineView* view = Views()[0];
    const struct { int paneHeight, viewHeight; } cases[] = {{5, 5}, {10, 10}, {11, 1}, {300, 290}};
    for (const auto& c : cases) {
        const QRect pane(3, 4, 200, c.paneHeight);
        map->PlaceMap(pane);
        EXPECT_EQ(map->geometry(), pane);
        EXPECT_EQ(view->geometry(), QRect(0, 0, 200, c.viewHeight)) << c.paneHeight;
    }
}

TEST_F(MapWindowFixture, EachChoiceOpensAViewThatReplacesTheOlderOnesOnceLoaded) {
    ASSERT_TRUE(WaitFor([&] { return map->IsReady() && Views().size() == 1u; }));
    map->SetMapType(MAP_CHINA);
    map->SetMapType(MAP_CHINA);
    const auto views = Views();
    ASSERT_EQ(views.size(), 3u);
    EXPECT_EQ(views[1]->page()->requestedUrl(), views[2]->page()->requestedUrl());
    EXPECT_TRUE(views[2]->page()->requestedUrl().toString().endsWith("/res/BMap.html"));

    // Once a newer page has loaded, the views before it are closed and freed.
    ASSERT_TRUE(WaitFor([&] { return Views().size() == 1u && Views()[0] == views[2]; }));
    EXPECT_TRUE(WaitFor([&] { return !views[0] && !views[1]; }));
    EXPECT_TRUE(views[2]->isVisible());

    // The survivor is the one the layout places.
    map->PlaceMap(QRect(0, 0, 300, 200));
    EXPECT_TRUE(views[2]->isVisible());
    EXPECT_EQ(views[2]->geometry(), QRect(0, 0, 300, 190));
    EXPECT_TRUE(WaitFor([&] { return views[2]->isVisible(); }, 2000));

    // Scripts reach it.
    map->RunScript("window.seen = 1");
    EXPECT_TRUE(WaitFor([&] { return Js(views[2], "window.seen").toInt() == 1; }));
}

TEST_F(MapWindowFixture, TheCarGoesWhereTheTrackPutsIt) {
    QWebEngineView* view = ShowPage(MAP_GOOGLE);
    ASSERT_NE(view, nullptr);
    const QString car = "[marker.getPosition().lat(), marker.getPosition().lng()].join()";

    // A chunk record in degrees * 100 + minutes, and a metadata record in
    // degrees: the page gets decimal degrees of both.
    GpsPoint stored;
    stored.flags = GpsPoint::kFixFlag;
    stored.latitude = 3540.2, stored.longitude = 13945.0;
    Track chunk;
    chunk.SetRecords({stored});
    stored.latitude = 35.402, stored.longitude = 139.45;
    Track metadata;
    metadata.variant = kMetadataTrackVariant;
    metadata.SetRecords({stored});
    const struct {
        const Track& track;
        const char* shown;
    } cases[] = {{chunk, "35.67,139.75"}, {metadata, "35.402,139.45"}};
    for (const auto& c : cases) {
        double latitude = 0, longitude = 0;
        ASSERT_TRUE(c.track.CarAt(0, &latitude, &longitude));
        map->MovePosition(latitude, longitude, c.track.StoredForm());
        EXPECT_TRUE(WaitFor([&] { return Js(view, car).toString() == c.shown; }))
            << Js(view, car).toString().toStdString();
    }
}

TEST_F(MapWindowFixture, MapChangeInSettingsOpensTheChosenPage) {
    ASSERT_TRUE(WaitFor([&] { return map->IsReady() && Views().size() == 1u; }));
    QTemporaryDir settingsDir;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(settingsDir.path()));
    AppSettings::DiscardInstance();
    const struct {
        int written, choice;
        const char* page;
    } cases[] = {{1, MAP_CHINA, "/res/BMap.html"},
                 {7, MAP_CHINA, "/res/BMap.html"},
                 {0, MAP_GOOGLE, "/res/gmap_ja.html"}};
    for (const auto& c : cases) {
        AppSettings::Instance().WriteInt("UI", "MAP", c.written);
        const size_t count = Views().size();
        map->OnMapTypeChanged();
        EXPECT_EQ(map->MapChoice(), c.choice) << c.written;
        ASSERT_EQ(Views().size(), count + 1);
        EXPECT_TRUE(Views().back()->page()->requestedUrl().toString().endsWith(c.page))
            << c.written;
    }
    AppSettings::DiscardInstance();
    QDir::setCurrent(before);
}
