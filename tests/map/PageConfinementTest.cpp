// What the map pages may reach: pages only from the program's own folders,
// no other local file, no server but the tiles', and a followed link leaves
// the map in place.
#include "LocalWebServer.h"
#include "MapWindowFixture.h"
#include "map/BrowserPage.h"
#include "map/LocalPages.h"

#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using maptest::WaitFor;

namespace {

// Copies a folder tree; false on the first failure.
bool CopyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(source, target))
            return false;
    }
    return true;
}

// Receives what QDesktopServices would hand to the user's browser.
class OpenedUrls : public QObject {
    Q_OBJECT
  public:
    OpenedUrls() {
        QDesktopServices::setUrlHandler("https", this, "Open");
        QDesktopServices::setUrlHandler("http", this, "Open");
    }
    ~OpenedUrls() override {
        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("http");
    }
    QList<QUrl> urls;
  public slots:
    void Open(const QUrl& url) { urls << url; }
};

// A working folder whose res/ holds a complete set of pages, one of them
// changed to read a file and call the bridge.
constexpr char kPlantedPage[] = R"(<!DOCTYPE html><html><head><script>
  window.planted = true;
  fetch("file:///etc/passwd").then(function (r) { return r.text(); })
    .then(function (t) { window.stolen = t; });
  var tries = setInterval(function () {
    if (window.app && app.routePointClicked) { app.routePointClicked(7); clearInterval(tries); }
  }, 50);
</script></head><body>planted</body></html>)";

} // namespace

TEST_F(MapWindowFixture, PagesInTheWorkingFolderAreNeverLoaded) {
    QTemporaryDir work;
    ASSERT_TRUE(CopyTree(HALVEX_BINARY_DIR "/res", work.filePath("res")));
    for (const char* name : {"gmap_ja.html", "BMap.html"}) {
        QFile page(work.filePath(QStringLiteral("res/") + name));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly | QIODevice::Truncate));
        page.write(kPlantedPage);
    }
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(work.path()));
    QSignalSpy clicks(map.get(), &CHtmlMapDlg::RoutePointClicked);

    QWebEngineView* view = ShowPage(MAP_GOOGLE);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->page()->requestedUrl(),
              QUrl::fromLocalFile(HALVEX_BINARY_DIR "/res/gmap_ja.html"));
    EXPECT_FALSE(Js(view, "window.planted === true").toBool());
    const QUrl planted = QUrl::fromLocalFile(work.filePath("res/gmap_ja.html"));
    EXPECT_FALSE(LocalPages::IsOwnLocalPage(planted));

    // Even opened on purpose, the planted page gets no bridge to call.
    map->ViewWrapper()->OpenPage(planted);
    QWebEngineView* plantedView = Views().back();
    ASSERT_TRUE(WaitFor([&] { return Js(plantedView, "window.planted === true").toBool(); }));
    QTest::qWait(500);
    EXPECT_FALSE(static_cast<BrowserPage*>(plantedView->page())->BridgeOffered());
    EXPECT_EQ(clicks.count(), 0);
    QDir::setCurrent(before);
}

TEST_F(MapWindowFixture, PagesReadNoOtherFileAndReachNoOtherServer) {
    QTemporaryDir dir;
    QFile secret(dir.filePath("secret.txt"));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("secret");
    secret.close();
    LocalWebServer server("<html><body>collected</body></html>");
    ASSERT_TRUE(server.Start());

    for (int choice : {MAP_GOOGLE, MAP_CHINA}) {
        QWebEngineView* view = ShowPage(choice);
        ASSERT_NE(view, nullptr);
        const QString fileUrl = QUrl::fromLocalFile(secret.fileName()).toString();
        Js(view, QStringLiteral("window.reads = [];"
                                "['%1', 'file:///etc/passwd'].forEach(function (u) {"
                                "  fetch(u).then(function (r) { return r.text(); })"
                                "    .then(function (t) { reads.push('read'); },"
                                "          function () { reads.push('failed'); });"
                                "});"
                                "var img = new Image(); img.src = '%2/tile.png?data=x';"
                                "fetch('%2/send?data=x').catch(function () {});")
                     .arg(fileUrl, server.BaseUrl()));
        ASSERT_TRUE(WaitFor([&] { return Js(view, "reads.length").toInt() == 2; }));
        EXPECT_EQ(Js(view, "reads.join()").toString(), "failed,failed") << choice;
        // The page's own files stay readable to it.
        EXPECT_TRUE(Js(view, "typeof L === 'object'").toBool());
        QTest::qWait(500);
        EXPECT_EQ(server.requestsAnswered, 0) << choice;
    }
}

TEST_F(MapWindowFixture, AClickOnTheAttributionLeavesTheMapInPlace) {
    OpenedUrls opened;
    QWebEngineView* view = ShowPage(MAP_GOOGLE);
    ASSERT_NE(view, nullptr);
    const QUrl page = view->url();
    const QVariantList at =
        Js(view, "(function () {"
                 "  var a = document.querySelector('.leaflet-control-attribution "
                 "a[href*=\"openstreetmap.org\"]');"
                 "  if (!a) return [];"
                 "  var r = a.getBoundingClientRect();"
                 "  return [r.left + r.width / 2, r.top + r.height / 2];"
                 "})()")
            .toList();
    ASSERT_EQ(at.size(), 2);
    const QPoint inView(qRound(at[0].toDouble()), qRound(at[1].toDouble()));
    QTest::mouseClick(parent.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      view->mapTo(&parent, inView));

    ASSERT_TRUE(WaitFor([&] { return !opened.urls.isEmpty(); }, 10000))
        << "the link goes to the user's browser";
    EXPECT_EQ(opened.urls.front(), QUrl("https://www.openstreetmap.org/copyright"));
    QTest::qWait(500);
    EXPECT_EQ(view->url(), page);
    EXPECT_TRUE(Js(view, "typeof driven === 'object' && driven !== null").toBool());
    EXPECT_EQ(Views().size(), 1u);
}

TEST_F(MapWindowFixture, ScriptErrorsOfThePagesReachTheLog) {
    for (int choice : {MAP_GOOGLE, MAP_CHINA}) {
        QWebEngineView* view = ShowPage(choice);
        ASSERT_NE(view, nullptr);
        map->RunScript("setTimeout(function () { noSuchFunction(); }, 0)");
        EXPECT_TRUE(WaitFor([&] { return !pageErrors.Lines().isEmpty(); }, 10000)) << choice;
        // The page keeps working after it.
        EXPECT_TRUE(Js(view, "typeof driven === 'object' && driven !== null").toBool());
        pageErrors.Clear();
    }
}

#include "PageConfinementTest.moc"
