#pragma once
#include "overview/OverviewData.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <atomic>
#include <future>
#include <memory>

class OverviewPage;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QThread;
class QTreeWidget;
class QTreeWidgetItem;
class QWebEngineView;
class RouteLayers;
class SpeedChart;

// The whole card at a glance: every trip on one large map, the trip list by
// day with its figures, the selected trip's speed chart, "when was I here?"
// and how long the card lasts. Any moment picked in it is handed on as
// PlayRequested; the window plays nothing itself.
class OverviewWindow : public QWidget {
    Q_OBJECT
  public:
    explicit OverviewWindow(QWidget* parent = nullptr);
    ~OverviewWindow() override;

    // Shows a card's answers; the window keeps them while it shows them.
    void SetData(std::shared_ptr<const OverviewData> data);
    // The card is being read: done of total recordings; a negative total
    // hides the progress.
    void SetProgress(int done, int total);
    // Every text again in the current language.
    void ApplyTexts();

    // Asks the places near a point, as a click on the map does.
    void AskPlace(double latitude, double longitude);
    void SelectTrip(int trip);

    QWebEngineView* MapView() const { return view_; }
    QTreeWidget* TripList() const { return trips_; }
    QTreeWidget* PlaceList() const { return places_; }
    SpeedChart* Chart() const { return chart_; }
    QComboBox* DayFilter() const { return days_; }
    QComboBox* Colouring() const { return colouring_; }
    QLabel* Header() const { return header_; }
    QPushButton* CancelButton() const { return cancel_; }
    bool PageReady() const { return pageReady_; }
    int SelectedTrip() const { return selectedTrip_; }

  signals:
    void PlayRequested(const QString& path, qint64 offsetMs);
    // "Export clip" on an event: its recording and the event's offset in it.
    void ExportClipRequested(const QString& path, qint64 offsetMs);
    void CancelRequested();

  private:
    QVariant OnPageCall(const QString& command, const QVariantList& args);
    void RunScript(const QString& script);
    void FillTrips();
    void FillHeader();
    void SendEvents();
    // Fits the map to the trips; `fresh` when the lines changed.
    // false when nothing was sent to the page.
    bool FitTrips(const std::vector<int>& trips, bool fresh = false);
    void ShowPlaces(const std::vector<NearHit>& hits);
    void AskBox(double south, double west, double north, double east);
    void PlayEvent(int event);
    void ShowEventMenu(int event, QPoint globalAt);
    void PlayMoment(int recording, qint64 offsetMs);
    void OnTripClicked(QTreeWidgetItem* item);
    // kinds: the event kinds' names, in the order of DrivingEventKind.
    QString EventLabel(const DrivingEvent& event, const QStringList& kinds) const;

    std::shared_ptr<const OverviewData> data_;
    std::shared_ptr<RouteLayers> layers_;
    // Makes the lines of the zoom the page is about to ask for, then the
    // other levels' while the window is used.
    QThread* preparing_ = nullptr;
    std::shared_ptr<std::atomic<bool>> stopPreparing_;
    int firstZoom_ = -1;
    std::shared_future<void> firstMade_;
    void StartPreparing(int firstZoom);
    void StopPreparing();
    QLabel* header_;
    QWidget* progressRow_;
    QLabel* progressText_;
    QLabel* nearTitle_;
    QLabel* radiusLabel_;
    QProgressBar* progress_;
    QPushButton* cancel_;
    QWebEngineView* view_;
    OverviewPage* page_ = nullptr;
    QComboBox* colouring_;
    QComboBox* days_;
    QTreeWidget* trips_;
    SpeedChart* chart_;
    QSpinBox* radius_;
    QTreeWidget* places_;
    bool pageReady_ = false;
    int selectedTrip_ = -1;
};
