#pragma once
#include "MapTestSupport.h"
#include "map/CCEFWebkitUI.h"
#include "map/CCefClientHandler.h"
#include "map/CHtmlMapDlg.h"
#include "settings/AppSettings.h"

#include <QWebEngineView>
#include <QWidget>
#include <gtest/gtest.h>

// A main-window stand-in holding the map pane.
struct MapWindowFixture : ::testing::Test {
    QWidget parent;
    std::unique_ptr<CHtmlMapDlg> map;
    // Every test of the pages fails when a page throws.
    maptest::PageErrors pageErrors;

    void TearDown() override {
        EXPECT_TRUE(pageErrors.Lines().isEmpty()) << pageErrors.Lines().join('\n').toStdString();
    }

    void SetUp() override {
        maptest::UsePrivateCacheFolder();
        parent.resize(800, 600);
        parent.show();
        map = std::make_unique<CHtmlMapDlg>(&parent);
        map->show();
    }

    std::vector<QPointer<QWebEngineView>> Views() const {
        return map->ViewWrapper()->Handler()->Views();
    }

    // Waits for the browser and the page of the choice, with its map built.
    QWebEngineView* ShowPage(int choice) {
        map->SetMapType(choice);
        map->PlaceMap(QRect(0, 0, 640, 480));
        EXPECT_TRUE(maptest::WaitFor([&] { return map->IsReady() && !Views().empty(); }));
        QWebEngineView* view = Views().empty() ? nullptr : Views().back().data();
        if (view) {
            EXPECT_TRUE(maptest::WaitFor([&] {
                return Js(view, "typeof driven === 'object' && driven !== null").toBool();
            }));
        }
        return view;
    }

    static QVariant Js(QWebEngineView* view, const QString& script) {
        return maptest::Evaluate(view->page(), script);
    }
};
