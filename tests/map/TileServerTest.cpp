// The pages' tiles: from the source the settings name, asked for under the
// program's own name, kept in the user's cache folder.
#include "HalvexVersion.h"
#include "LocalWebServer.h"
#include "MapWindowFixture.h"
#include "map/CCefClientApp.h"

#include <QDir>
#include <QTemporaryDir>
#include <QWebEngineProfile>

using maptest::WaitFor;

TEST_F(MapWindowFixture, TilesComeFromTheSetSourceUnderTheProgramsName) {
    LocalWebServer tiles("not a picture");
    ASSERT_TRUE(tiles.Start());
    QTemporaryDir settingsDir;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(settingsDir.path()));
    AppSettings::DiscardInstance();
    AppSettings::Instance().WriteString("MAP", "TileUrl", tiles.BaseUrl() + "{z}/{x}/{y}.png");
    AppSettings::Instance().WriteString("MAP", "TileAttribution", "Local test tiles");

    for (int choice : {MAP_GOOGLE, MAP_CHINA}) {
        QWebEngineView* view = ShowPage(choice);
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(WaitFor([&] { return !tiles.requestHeads.isEmpty(); })) << choice;
        const QByteArray head = tiles.requestHeads.last();
        EXPECT_TRUE(head.startsWith("GET /15/") || head.startsWith("GET /16/")) << head.data();
        EXPECT_TRUE(head.contains("\r\nUser-Agent: Halvex/" HALVEX_VERSION)) << head.data();
        EXPECT_TRUE(Js(view, "document.querySelector('.leaflet-control-attribution').textContent")
                        .toString()
                        .contains("Local test tiles"));
        tiles.requestHeads.clear();
    }
    AppSettings::DiscardInstance();
    QDir::setCurrent(before);

    // Kept across runs below the user's cache folder.
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME") + "/halvex";
    EXPECT_EQ(CCefClientApp::Instance()->Profile()->cachePath(), cache + "/web");
    EXPECT_EQ(CCefClientApp::Instance()->Profile()->httpCacheType(),
              QWebEngineProfile::DiskHttpCache);
    EXPECT_TRUE(WaitFor([&] { return QDir(cache + "/web").exists(); }));
}
