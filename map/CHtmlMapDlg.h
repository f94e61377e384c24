#pragma once
#include "platform/WindowMessages.h"
#include "presenter/CatalogViews.h"

#include <QFrame>
#include <memory>

class CCEFWebkitUI;
class WindowTimers;

// The map pane: hosts the browser views and shows the Google or the China
// map page; the rest of the viewer reaches the page only through here.
class CHtmlMapDlg : public QFrame, public MapView {
    Q_OBJECT
  public:
    // Starts the browser; the first page opens when it reports ready.
    explicit CHtmlMapDlg(QWidget* parent = nullptr);
    ~CHtmlMapDlg() override;

    // Places the pane (parent coordinates); the view leaves a 10-pixel strip
    // at the bottom of a pane higher than 10 pixels.
    void PlaceMap(const QRect& rect);
    // Stores the choice; once the browser is ready, opens its page in a new view.
    bool SetMapType(int mapChoice);
    // After the map choice changed in the settings file: reads it again
    // (clamped) and shows its page.
    void OnMapTypeChanged();

    // Centres the map and moves the car; see MapView.
    void MovePosition(double latitude, double longitude, StoredCoordinates stored) override;
    void RunScript(const QString& script) override;

    int MapChoice() const { return m_nMapType; }
    bool IsReady() const { return m_bReady; }
    CCEFWebkitUI* ViewWrapper() const { return m_pWebkitUI.get(); }

  signals:
    // The page's route was clicked nearest to its point of this index.
    void RoutePointClicked(int routePoint);
    // A newly opened page has loaded and is the one seen; it shows nothing
    // of the recording yet.
    void PageShown();

  protected:
    bool event(QEvent* event) override;

  private:
    qintptr OnWindowMessage(unsigned message, quintptr wParam, qintptr lParam);
    void OnTimer(int id);
    void OpenChosenPage();

    int m_nMapType = 0;
    bool m_bReady = false;
    std::unique_ptr<CCEFWebkitUI> m_pWebkitUI;
    WindowTimers* m_timers;
};
