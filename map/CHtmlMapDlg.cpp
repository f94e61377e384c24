#include "map/CHtmlMapDlg.h"

#include "map/CCEFV8HandlerEx.h"
#include "map/CCEFWebkitUI.h"
#include "map/CCefClientApp.h"
#include "map/LocalPages.h"
#include "map/MapMessages.h"
#include "map/TileSource.h"
#include "platform/WindowTimers.h"
#include "presenter/MapScripts.h"
#include "settings/AppSettings.h"

#include <QWebEngineView>

namespace {
constexpr int kStripHeight = 10;
}

CHtmlMapDlg::CHtmlMapDlg(QWidget* parent)
    : QFrame(parent), m_timers(new WindowTimers([this](int id) { OnTimer(id); }, this)) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    InitBrowser(this, &m_pWebkitUI);
    if (CCefClientApp* app = CCefClientApp::Instance())
        connect(app->V8Handler(), &CCEFV8HandlerEx::RoutePointClicked, this,
                &CHtmlMapDlg::RoutePointClicked);
}

CHtmlMapDlg::~CHtmlMapDlg() = default;

void CHtmlMapDlg::PlaceMap(const QRect& rect) {
    setGeometry(rect);
    repaint();
    if (!m_pWebkitUI)
        return;
    const int height = rect.height();
    const int viewHeight = height > kStripHeight ? height - kStripHeight : height;
    m_pWebkitUI->SetPos(0, 0, rect.width(), viewHeight);
    PostWindowMessage(this, WM_MAP_BROWSER, MAP_REFRESH_LATER, 0);
}

bool CHtmlMapDlg::SetMapType(int mapChoice) {
    m_nMapType = mapChoice;
    if (m_bReady)
        OpenChosenPage();
    return true;
}

void CHtmlMapDlg::OnMapTypeChanged() {
    SetMapType(AppSettings::Instance().ReadMapChoice());
}

void CHtmlMapDlg::MovePosition(double latitude, double longitude, StoredCoordinates stored) {
    // Other page types take the stored form as it is.
    if (m_nMapType == MAP_GOOGLE || m_nMapType == MAP_CHINA)
        RunScript(MovePositionScript(latitude, longitude));
    else
        RunScript(MovePositionScript(StoredCoordinate(latitude, stored),
                                     StoredCoordinate(longitude, stored)));
}

void CHtmlMapDlg::RunScript(const QString& script) {
    if (m_pWebkitUI)
        m_pWebkitUI->ExecuteScript(script);
}

void CHtmlMapDlg::OpenChosenPage() {
    if (!m_pWebkitUI)
        return;
    // A tile source changed in the settings takes effect with the next page.
    if (CCefClientApp* app = CCefClientApp::Instance())
        app->UseTileSource(TileSource::FromSettings());
    QWebEngineView* view = m_pWebkitUI->OpenPage(LocalPages::MapPageUrl(m_nMapType));
    // Queued, so the wrapper has closed the older views first and scripts
    // reach the new page alone.
    if (view)
        connect(
            view, &QWebEngineView::loadFinished, this,
            [this](bool ok) {
                if (ok)
                    emit PageShown();
            },
            Qt::QueuedConnection);
}

bool CHtmlMapDlg::event(QEvent* event) {
    if (DispatchWindowMessage(
            event, [this](unsigned m, quintptr w, qintptr l) { return OnWindowMessage(m, w, l); }))
        return true;
    return QFrame::event(event);
}

qintptr CHtmlMapDlg::OnWindowMessage(unsigned message, quintptr wParam, qintptr) {
    if (message != WM_MAP_BROWSER)
        return 0;
    if (wParam == MAP_CONTEXT_READY) {
        m_bReady = true;
        OpenChosenPage();
    } else if (wParam == MAP_REFRESH_LATER) {
        m_timers->SetTimer(MAP_REFRESH_TIMER, kMapRefreshDelayMs);
    }
    return 0;
}

void CHtmlMapDlg::OnTimer(int id) {
    if (id != MAP_REFRESH_TIMER)
        return;
    if (m_pWebkitUI)
        m_pWebkitUI->ReFresh();
    m_timers->KillTimer(MAP_REFRESH_TIMER);
}
