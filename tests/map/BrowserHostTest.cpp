#include "LocalWebServer.h"
#include "MapTestSupport.h"
#include "map/BrowserPage.h"
#include "map/CCEFWebkitUI.h"
#include "map/CCefClientApp.h"
#include "map/CCefClientHandler.h"
#include "map/LoadErrorPage.h"
#include "map/MyV8Accessor.h"
#include "platform/widgets/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QWidget>
#include <gtest/gtest.h>

using maptest::Evaluate;
using maptest::WaitFor;
using maptest::WaitUntilLoaded;

namespace {

// A host window with a started browser and its view wrapper.
struct BrowserFixture : ::testing::Test {
    QWidget host;
    std::unique_ptr<CCEFWebkitUI> ui;
    QTemporaryDir dir;

    void SetUp() override {
        maptest::UsePrivateCacheFolder();
        host.resize(400, 300);
        host.show();
        ASSERT_TRUE(InitBrowser(&host, &ui));
        ASSERT_TRUE(ui);
        ui->SetPos(0, 0, 400, 300);
    }

    QUrl WritePage(const QString& name, const QByteArray& html) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(html);
        return QUrl::fromLocalFile(f.fileName());
    }

    QWebEngineView* View(size_t i) {
        const auto views = ui->Handler()->Views();
        return i < views.size() ? views[i].data() : nullptr;
    }

    QWebEngineView* OpenAndWait(const QUrl& url) {
        const size_t before = ui->Handler()->Views().size();
        ui->OpenPage(url);
        QWebEngineView* view = View(before);
        EXPECT_NE(view, nullptr);
        if (view) {
            EXPECT_TRUE(WaitFor([&] { return view->url() == url; }) && WaitUntilLoaded(view));
        }
        return view;
    }

    QString BodyText(QWebEngineView* view) {
        return Evaluate(view->page(), "document.body ? document.body.innerText : ''").toString();
    }

    QUrl OwnPageUrl() {
        return QUrl::fromLocalFile(QDir::current().absoluteFilePath("res/gmap_ja.html"));
    }
};

} // namespace

TEST(LoadErrorPageHtml, EscapesAddressAndErrorText) {
    EXPECT_EQ(LoadErrorPageHtml("file:///a<i>&b", "ERR_\"x\"", -6),
              "<html><body bgcolor=\"white\"><h2>Failed to load URL file:///a&lt;i&gt;&amp;b "
              "with error ERR_&quot;x&quot; (-6).</h2></body></html>");
}

TEST_F(BrowserFixture, ScriptsGoToEveryLiveViewAndOnlyTheFirstIsPlaced) {
    ui->ExecuteScript("window.seen = 1"); // no view yet: dropped silently
    EXPECT_TRUE(ui->Handler()->Views().empty());

    QWebEngineView* first = OpenAndWait(WritePage("one.html", "<html><body>one</body></html>"));
    ASSERT_NE(first, nullptr);
    // A page that never finishes loading leaves the first view live beside it.
    LocalWebServer hanging("");
    hanging.silent = true;
    ASSERT_TRUE(hanging.Start());
    ui->OpenPage(QUrl(hanging.BaseUrl()));
    QWebEngineView* second = View(1);
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(WaitFor([&] { return second->page()->isLoading(); }));
    EXPECT_EQ(ui->Handler()->Views().size(), 2u);

    ui->ExecuteScript("window.seen = (window.seen || 0) + 1");
    EXPECT_TRUE(WaitFor([&] { return Evaluate(first->page(), "window.seen").toInt() == 1; }));

    ui->SetPos(0, 0, 320, 180);
    EXPECT_EQ(ui->GetRect(), QRect(0, 0, 320, 180));
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->geometry(), QRect(0, 0, 320, 180));
    EXPECT_FALSE(second->isVisible());

    ui->ReFresh();
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(second->isVisible());
    // The later view lies on top, and it fits the pane as well.
    EXPECT_EQ(host.childAt(10, 10) == second || second->isAncestorOf(host.childAt(10, 10)), true);
    EXPECT_EQ(second->geometry(), QRect(0, 0, 320, 180));
    EXPECT_EQ(ui->ClassName(), "WKEWebkitUI");
}

TEST_F(BrowserFixture, LoadedPageClosesTheViewsBeforeIt) {
    QPointer<QWebEngineView> first =
        OpenAndWait(WritePage("one.html", "<html><body>one</body></html>"));
    LocalWebServer hanging("");
    hanging.silent = true;
    ASSERT_TRUE(hanging.Start());
    ui->OpenPage(QUrl(hanging.BaseUrl()));
    QPointer<QWebEngineView> second = View(1);
    ASSERT_TRUE(first && second);
    ui->SetPos(0, 0, 320, 180); // the third view starts hidden, behind the first
    QPointer<QWebEngineView> third =
        OpenAndWait(WritePage("three.html", "<html><body>three</body></html>"));
    ASSERT_TRUE(third);

    // The loaded third page takes the first place; both views before it go,
    // the one still loading too, and are freed.
    ASSERT_TRUE(WaitFor([&] { return ui->Handler()->Views().size() == 1u; }));
    EXPECT_EQ(ui->Handler()->Views()[0], third);
    EXPECT_TRUE(WaitFor([&] { return !first && !second; }));
    EXPECT_TRUE(third->isVisible());
    EXPECT_EQ(third->geometry(), QRect(0, 0, 320, 180));

    ui->ExecuteScript("window.seen = 1");
    EXPECT_TRUE(WaitFor([&] { return Evaluate(third->page(), "window.seen").toInt() == 1; }));
}

TEST_F(BrowserFixture, MissingPageShowsEscapedErrorPage) {
    QDir(dir.path()).mkdir("a&b<i>c");
    const QUrl missing = QUrl::fromLocalFile(dir.filePath("a&b<i>c/none.html"));
    ui->OpenPage(missing);
    QWebEngineView* view = View(0);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(WaitFor([&] { return BodyText(view).startsWith("Failed to load URL"); }))
        << BodyText(view).toStdString();
    const QString text = BodyText(view);
    EXPECT_TRUE(text.contains("a&b")) << text.toStdString();
    EXPECT_TRUE(text.contains("none.html with error ")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("(-6).")) << text.toStdString(); // file not found
    EXPECT_EQ(Evaluate(view->page(), "document.querySelectorAll('i').length").toInt(), 0);
}

TEST_F(BrowserFixture, PopUpsOpenNothing) {
    QList<QUrl> requested;
    QObject::connect(ui->Handler(), &CCefClientHandler::OpenUrlRequested,
                     [&](const QUrl& url) { requested << url; });
    QWebEngineView* view = OpenAndWait(
        WritePage("opener.html",
                  "<html><body><a id='l' href='other.html' target='_blank'>x</a></body></html>"));
    ASSERT_NE(view, nullptr);
    const int windowsBefore = QApplication::topLevelWidgets().size();

    Evaluate(view->page(), "window.open('other.html')");
    Evaluate(view->page(), "document.getElementById('l').click()");
    ASSERT_TRUE(WaitFor([&] { return requested.size() == 2; }, 5000)) << requested.size();
    for (const QUrl& url : requested)
        EXPECT_TRUE(url.toString().endsWith("other.html")) << url.toString().toStdString();

    QCoreApplication::processEvents();
    EXPECT_EQ(ui->Handler()->Views().size(), 1u);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windowsBefore);
    EXPECT_TRUE(view->url().toString().endsWith("opener.html"));
}

TEST_F(BrowserFixture, BridgeOnOwnPage) {
    QWebEngineView* view = OpenAndWait(OwnPageUrl());
    ASSERT_NE(view, nullptr);
    QWebEnginePage* page = view->page();
    EXPECT_EQ(Evaluate(page, "jsValue").toString(), "C++ created Value!");

    MessageBoxRecorder boxes;
    Evaluate(page, "app.jsInvokeCPlusPlus('a').then(function (r) { window.one = r; })");
    ASSERT_TRUE(WaitFor([&] { return Evaluate(page, "window.one").isValid(); }));
    EXPECT_EQ(Evaluate(page, "window.one").toInt(), 2);
    EXPECT_TRUE(boxes.calls.empty());

    Evaluate(page, "app.jsInvokeCPlusPlus('a', 'b').then(function (r) { window.two = r; })");
    ASSERT_TRUE(WaitFor([&] { return Evaluate(page, "window.two").isValid(); }));
    EXPECT_EQ(Evaluate(page, "window.two").toInt(), 0);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "jsInvokeCPlusPlus(a,b)");
    EXPECT_EQ(boxes.calls[0].caption, "jsInvokeCPlusPlus");

    EXPECT_EQ(
        Evaluate(page, "try { myobject.myval = 5; 'stored' } catch (e) { e.message }").toString(),
        "Invalid value type");
    EXPECT_EQ(Evaluate(page, "myobject.myval = 'x'; myobject.myval").toString(), "x");
    auto* accessor = static_cast<BrowserPage*>(page)->Accessor();
    QString stored;
    EXPECT_TRUE(WaitFor([&] { return accessor->Get("myval", &stored) && stored == "x"; }));
}

TEST_F(BrowserFixture, NoBridgeOnPagesFromElsewhere) {
    const QString probe = "[typeof app, typeof jsValue, typeof myobject, typeof qt].join()";
    QWebEngineView* view = OpenAndWait(WritePage("plain.html", "<html><body>x</body></html>"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Evaluate(view->page(), probe).toString(), "undefined,undefined,undefined,undefined");

    // The same view going on to one of our own pages gets it.
    view->load(OwnPageUrl());
    ASSERT_TRUE(WaitFor([&] { return view->url() == OwnPageUrl(); }) && WaitUntilLoaded(view));
    EXPECT_EQ(Evaluate(view->page(), "typeof app.jsInvokeCPlusPlus").toString(), "function");
}

TEST_F(BrowserFixture, NoBridgeOnNetworkPage) {
    LocalWebServer server("<html><body>served</body></html>");
    ASSERT_TRUE(server.Start());
    QWebEngineView* view = OpenAndWait(QUrl(server.BaseUrl()));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(BodyText(view), "served");
    EXPECT_EQ(
        Evaluate(view->page(), "[typeof app, typeof jsValue, typeof myobject, typeof qt].join()")
            .toString(),
        "undefined,undefined,undefined,undefined");
}

TEST_F(BrowserFixture, UntrustedCertificateIsRefused) {
    auto read = [](const char* name) {
        QFile f(QStringLiteral(HALVEX_SOURCE_DIR "/tests/map/data/") + name);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        return f.readAll();
    };
    LocalWebServer server("<html><body>served</body></html>");
    server.UseTls(QSslCertificate(read("localhost-cert.pem")),
                  QSslKey(read("localhost-key.pem"), QSsl::Rsa));
    ASSERT_TRUE(server.Start());
    ui->OpenPage(QUrl(server.BaseUrl()));
    QWebEngineView* view = View(0);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(WaitFor([&] { return BodyText(view).startsWith("Failed to load URL"); }))
        << BodyText(view).toStdString();
    EXPECT_TRUE(BodyText(view).contains("CERT")) << BodyText(view).toStdString();
    EXPECT_EQ(server.requestsAnswered, 0);
}

TEST_F(BrowserFixture, LoadCancelledByANewerOneLeavesNoErrorPage) {
    LocalWebServer hanging("");
    hanging.silent = true;
    ASSERT_TRUE(hanging.Start());
    ui->OpenPage(QUrl(hanging.BaseUrl()));
    QWebEngineView* view = View(0);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(WaitFor([&] { return view->page()->isLoading(); }));
    const QUrl next = WritePage("next.html", "<html><body>next</body></html>");
    view->load(next);
    ASSERT_TRUE(WaitFor([&] { return view->url() == next; }) && WaitUntilLoaded(view));
    // Give a late error page the time it would need to arrive.
    WaitFor([] { return false; }, 1000);
    EXPECT_EQ(BodyText(view), "next");
}
