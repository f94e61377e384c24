#pragma once
#include "overview/OverviewData.h"
#include "presenter/FigureTexts.h"

#include <QWidget>
#include <map>
#include <memory>
#include <set>

class DrivingCalendar;
class OverviewBridge;
class OverviewPage;
class PlaceListModel;
class QComboBox;
class QLabel;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTreeView;
class QWebEngineView;
class RouteLines;
class SpeedChart;
class TripDayFilter;
class TripListModel;

// The whole card at a glance: every trip on one large map, the trip list by
// day with its figures, the selected trip's speed chart, "when was I here?"
// and how long the card lasts. Any moment picked in it is handed on as
// PlayRequested; the window plays nothing itself. It assembles the parts:
// the page's bridge, the route lines made on workers, the list models and
// the texts of figures in the viewer's unit.
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
    // The folder shown is a library ("" for a card): its calendar of driving
    // days, its size and "Free space..." are shown.
    void SetLibrary(const QString& folder);
    // Every text again in the current language and the viewer's unit.
    void ApplyTexts();

    // Asks the places near a point, as a click on the map does.
    void AskPlace(double latitude, double longitude);
    // Asks the recordings through a box, as a box dragged on the map does.
    void AskBox(const GeoBox& box);
    void SelectTrip(int trip);
    // The moment playing in the viewer: the chart's cursor when it lies in
    // the selected trip.
    void ShowPlayPosition(const QString& path, qint64 offsetMs);

    QWebEngineView* MapView() const { return view_; }
    // Rows of TripListModel through the day filter.
    QTreeView* TripList() const { return trips_; }
    // Rows of PlaceListModel.
    QTreeView* PlaceList() const { return places_; }
    // What the place list says when a question found nothing.
    QLabel* PlacesNote() const { return placesNote_; }
    SpeedChart* Chart() const { return chart_; }
    QComboBox* DayFilter() const { return days_; }
    QComboBox* Colouring() const { return colouring_; }
    QLabel* Header() const { return header_; }
    static constexpr double kNewZoneRadiusM = 200;
    DrivingCalendar* Calendar() const { return calendar_; }
    QPushButton* FreeSpaceButton() const { return freeSpace_; }
    QPushButton* CancelButton() const { return cancel_; }
    OverviewBridge* Bridge() const { return bridge_; }
    bool PageReady() const { return pageReady_; }
    int SelectedTrip() const { return selectedTrip_; }

  signals:
    void PlayRequested(const QString& path, qint64 offsetMs);
    // "Export clip" on an event: its recording and the event's offset in it.
    void ExportClipRequested(const QString& path, qint64 offsetMs);
    void CancelRequested();
    // Recordings were deleted from the library shown.
    void LibraryChanged();

  protected:
    // The viewer's unit or the zones may have changed while another window
    // was active.
    void changeEvent(QEvent* event) override;

  private:
    void BuildWidgets();
    void ConnectParts();
    void OnPageReady();
    void AskLines(int zoom, int card);
    void SendLines(int zoom, const QByteArray& json);
    void SendTexts();
    void FillTrips();
    void FillHeader();
    void OnDayChosen();
    // Proposes the oldest quiet drives of the library and deletes them on
    // the user's word.
    void FreeSpace();
    // The selected trip's speed, marks and the play position on the chart.
    void FillChart();
    void OnTripRowChanged(const QModelIndex& row);
    void OnTripRowClicked(const QModelIndex& row);
    // Fits the map to the trips; `fresh` when the lines changed.
    // false when nothing was sent to the page.
    bool FitTrips(const std::vector<int>& trips, bool fresh = false);
    std::vector<int> AllTrips() const;
    // The trips of the day chosen, or every trip.
    std::vector<int> ShownTrips() const;
    void SendShownTrips();
    void ShowPlaces(const std::vector<NearHit>& hits);
    // The last question's hits again, through the day chosen.
    void FillPlaces();
    void ShowRouteTip(int trip, double latitude, double longitude);
    void PlayRoutePoint(int trip, double latitude, double longitude);
    void PlayEvent(int event);
    void ShowEventMenu(int event, QPoint globalAt);
    // The map's menu at a place; event >= 0 on an event's mark.
    void ShowMapMenu(double latitude, double longitude, int event, QPoint globalAt);
    // A privacy zone of kNewZoneRadiusM around the place, kept in the
    // settings file at once.
    void AddZoneAt(double latitude, double longitude);
    void SendZones();
    void PlayMoment(int recording, qint64 offsetMs);
    // The recording of the card at a path; -1 when none.
    int RecordingOf(const QString& path) const;

    std::shared_ptr<const OverviewData> data_;
    FigureTexts texts_;
    OverviewBridge* bridge_;
    RouteLines* lines_ = nullptr;
    // Levels the page asked for and is waiting for: zoom, then the page's
    // card counts.
    std::map<int, std::set<int>> linesAsked_;
    TripListModel* tripModel_;
    TripDayFilter* dayFilter_;
    PlaceListModel* placeModel_;

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
    DrivingCalendar* calendar_;
    QPushButton* freeSpace_;
    QString library_;
    QTreeView* trips_;
    SpeedChart* chart_;
    QSpinBox* radius_;
    QTreeView* places_;
    QLabel* placesNote_;
    // The last "when was I here?" question: its hits of every day, and
    // what it asked.
    std::vector<NearHit> hits_;
    enum class Question { None, Near, Box } question_ = Question::None;
    double questionRadiusM_ = 0;
    bool pageReady_ = false;
    int selectedTrip_ = -1;
    // The moment the viewer plays, as last told.
    QString playPath_;
    int playRecording_ = -1;
    qint64 playOffsetMs_ = 0;
};
