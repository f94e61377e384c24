#include "overview/OverviewWindow.h"

#include "library/LibraryPrune.h"
#include "map/CCefClientApp.h"
#include "overview/ColumnFit.h"
#include "overview/DayTotals.h"
#include "overview/DrivingCalendar.h"
#include "overview/EventMarks.h"
#include "overview/FreeSpaceDialog.h"
#include "overview/GeoMath.h"
#include "overview/OverviewBridge.h"
#include "overview/OverviewPage.h"
#include "overview/PlaceListModel.h"
#include "overview/RouteLayers.h"
#include "overview/RouteLines.h"
#include "overview/SpeedChart.h"
#include "overview/TripDayFilter.h"
#include "overview/TripListModel.h"
#include "overview/TripRoute.h"
#include "platform/widgets/MessageBox.h"
#include "platform/widgets/PrivacyZonesBox.h"
#include "recordings/RecordingInfo.h"
#include "settings/AppSettings.h"
#include "strings/UiStrings.h"

#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWebEngineView>
#include <algorithm>
#include <iterator>

namespace {

// How the page fits the map to trips, handed to it with each fit so the
// level made ahead is the one it asks for.
constexpr int kFitPadding = 24;
constexpr int kFitMaxZoom = 17;

QTreeView* MakeList(QWidget* parent) {
    auto* list = new QTreeView(parent);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    return list;
}

} // namespace

OverviewWindow::OverviewWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), texts_(FigureTexts::OfViewer()),
      bridge_(new OverviewBridge(this)), tripModel_(new TripListModel(this)),
      dayFilter_(new TripDayFilter(this)), placeModel_(new PlaceListModel(this)) {
    BuildWidgets();
    ApplyTexts();
    FillTrips();
    ConnectParts();

    // The map profile's request filter keeps the page to its own folder and
    // the tile server.
    if (!CCefClientApp::Instance())
        InitBrowser(this, nullptr);
    if (CCefClientApp* app = CCefClientApp::Instance()) {
        page_ = new OverviewPage(app->Profile(), bridge_, view_);
        view_->setPage(page_);
        page_->load(OverviewPage::PageUrl());
    }
}

OverviewWindow::~OverviewWindow() = default;

void OverviewWindow::BuildWidgets() {
    resize(1400, 860);
    auto* layout = new QVBoxLayout(this);

    // The indexing progress shares the header's row and keeps its room while
    // hidden: the list and the map never move under the pointer when a
    // build starts or ends.
    auto* headerRow = new QHBoxLayout;
    header_ = new QLabel(this);
    headerRow->addWidget(header_, 1);
    progressRow_ = new QWidget(this);
    auto* progressLayout = new QHBoxLayout(progressRow_);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressText_ = new QLabel(progressRow_);
    progress_ = new QProgressBar(progressRow_);
    progress_->setTextVisible(false);
    progress_->setMinimumWidth(160);
    cancel_ = new QPushButton(progressRow_);
    progressLayout->addWidget(progressText_);
    progressLayout->addWidget(progress_, 1);
    progressLayout->addWidget(cancel_);
    QSizePolicy keepRoom = progressRow_->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    progressRow_->setSizePolicy(keepRoom);
    progressRow_->hide();
    headerRow->addWidget(progressRow_);
    freeSpace_ = new QPushButton(this);
    freeSpace_->hide();
    headerRow->addWidget(freeSpace_);
    layout->addLayout(headerRow);

    auto* splitter = new QSplitter(this);
    layout->addWidget(splitter, 1);
    view_ = new QWebEngineView(splitter);
    view_->setMinimumWidth(400);
    // The page's own right-click menus replace the browser's (back, reload).
    view_->setContextMenuPolicy(Qt::NoContextMenu);

    auto* side = new QWidget(splitter);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    auto* filters = new QHBoxLayout;
    colouring_ = new QComboBox(side);
    colouring_->addItem(QString(), QStringLiteral("trip"));
    colouring_->addItem(QString(), QStringLiteral("speed"));
    days_ = new QComboBox(side);
    filters->addWidget(colouring_);
    filters->addWidget(days_, 1);
    sideLayout->addLayout(filters);
    calendar_ = new DrivingCalendar(side);
    calendar_->hide();
    sideLayout->addWidget(calendar_);

    trips_ = MakeList(side);
    dayFilter_->setSourceModel(tripModel_);
    trips_->setModel(dayFilter_);
    sideLayout->addWidget(trips_, 3);

    chart_ = new SpeedChart(side);
    sideLayout->addWidget(chart_, 2);

    nearTitle_ = new QLabel(side);
    nearTitle_->setWordWrap(true);
    sideLayout->addWidget(nearTitle_);
    auto* radiusRow = new QHBoxLayout;
    radiusLabel_ = new QLabel(side);
    radiusRow->addWidget(radiusLabel_);
    radius_ = new QSpinBox(side);
    radius_->setRange(5, 5000);
    radius_->setSingleStep(10);
    radius_->setValue(50);
    radius_->setSuffix(QStringLiteral(" m"));
    radiusRow->addWidget(radius_);
    radiusRow->addStretch(1);
    sideLayout->addLayout(radiusRow);
    places_ = MakeList(side);
    places_->setModel(placeModel_);
    sideLayout->addWidget(places_, 2);
    placesNote_ = new QLabel(side);
    placesNote_->setWordWrap(true);
    placesNote_->hide();
    sideLayout->addWidget(placesNote_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({900, 500});
}

void OverviewWindow::ConnectParts() {
    connect(cancel_, &QPushButton::clicked, this, &OverviewWindow::CancelRequested);
    connect(colouring_, &QComboBox::currentIndexChanged, this, [this] {
        if (pageReady_)
            emit bridge_->ColouringChanged(colouring_->currentData().toString());
    });
    connect(days_, &QComboBox::currentIndexChanged, this, &OverviewWindow::OnDayChosen);
    // A day of the calendar is chosen as the day filter chooses it.
    connect(calendar_, &DrivingCalendar::DayChosen, this, [this](const QDate& day) {
        const int at = days_->findData(day);
        if (at >= 0)
            days_->setCurrentIndex(at);
    });
    connect(freeSpace_, &QPushButton::clicked, this, &OverviewWindow::FreeSpace);
    connect(trips_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &OverviewWindow::OnTripRowChanged);
    connect(trips_, &QTreeView::clicked, this, &OverviewWindow::OnTripRowClicked);
    connect(chart_, &SpeedChart::MomentClicked, this,
            [this](int recording, uint32_t offsetMs) { PlayMoment(recording, offsetMs); });
    connect(chart_, &SpeedChart::EventClicked, this, &OverviewWindow::PlayEvent);
    connect(chart_, &SpeedChart::EventMenuRequested, this, &OverviewWindow::ShowEventMenu);
    connect(places_, &QTreeView::clicked, this, [this](const QModelIndex& row) {
        PlayMoment(row.data(PlaceListModel::kRecordingRole).toInt(),
                   row.data(PlaceListModel::kOffsetRole).toLongLong());
    });

    // What the page asks.
    connect(bridge_, &OverviewBridge::PageReady, this, &OverviewWindow::OnPageReady);
    connect(bridge_, &OverviewBridge::LinesAsked, this, &OverviewWindow::AskLines);
    connect(bridge_, &OverviewBridge::RouteHovered, this, &OverviewWindow::ShowRouteTip);
    connect(bridge_, &OverviewBridge::RouteClicked, this, &OverviewWindow::PlayRoutePoint);
    connect(bridge_, &OverviewBridge::EventClicked, this, &OverviewWindow::PlayEvent);
    connect(bridge_, &OverviewBridge::EventMenuAsked, this,
            [this](int event, double latitude, double longitude) {
                ShowMapMenu(latitude, longitude, event, QCursor::pos());
            });
    connect(bridge_, &OverviewBridge::MapMenuAsked, this,
            [this](double latitude, double longitude) {
                ShowMapMenu(latitude, longitude, -1, QCursor::pos());
            });
    connect(bridge_, &OverviewBridge::MapClicked, this, &OverviewWindow::AskPlace);
    connect(bridge_, &OverviewBridge::BoxDragged, this,
            [this](double lat1, double lon1, double lat2, double lon2) {
                AskBox(GeoBox::FromCorners(lat1, lon1, lat2, lon2));
            });
}

void OverviewWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    if (FigureTexts::OfViewer().Unit() != texts_.Unit())
        ApplyTexts();
    // The zones may have been edited in the settings dialog meanwhile.
    if (pageReady_)
        SendZones();
}

void OverviewWindow::SetProgress(int done, int total) {
    progressRow_->setVisible(total >= 0);
    if (total < 0)
        return;
    progress_->setRange(0, std::max(total, 1));
    progress_->setValue(std::clamp(done, 0, std::max(total, 1)));
    progressText_->setText(LoadUiStringFilled(UiStringId::kOverviewIndexing,
                                              QStringLiteral("%1 / %2").arg(done).arg(total)));
}

void OverviewWindow::SetLibrary(const QString& folder) {
    library_ = folder;
    calendar_->setVisible(!folder.isEmpty());
    freeSpace_->setVisible(!folder.isEmpty());
    FillHeader();
}

void OverviewWindow::SetData(std::shared_ptr<const OverviewData> data) {
    data_ = std::move(data);
    delete lines_;
    lines_ = nullptr;
    playRecording_ = RecordingOf(playPath_);
    linesAsked_.clear();
    selectedTrip_ = -1;
    if (data_) {
        lines_ = new RouteLines(data_, this);
        connect(lines_, &RouteLines::LinesMade, this, &OverviewWindow::SendLines);
    }
    // The page is told first: it asks for its lines while the lists fill
    // and draws the event marks while the lines are made.
    if (pageReady_)
        emit bridge_->TripSelected(-1);
    if (!FitTrips(AllTrips(), true) && pageReady_)
        emit bridge_->LinesChanged();
    chart_->Clear();
    hits_.clear();
    question_ = Question::None;
    FillHeader();
    FillTrips();
    FillPlaces();
    SendShownTrips();
    SendTexts();
}

void OverviewWindow::ApplyTexts() {
    texts_ = FigureTexts::OfViewer();
    setWindowTitle(LoadUiString(UiStringId::kOverviewTitle));
    cancel_->setText(LoadUiString(UiStringId::kCancelButton));
    freeSpace_->setText(LoadUiString(UiStringId::kLibraryFreeSpace));
    colouring_->setItemText(0, LoadUiString(UiStringId::kOverviewByTrip));
    colouring_->setItemText(1, LoadUiString(UiStringId::kOverviewBySpeed));
    nearTitle_->setText(LoadUiString(UiStringId::kOverviewNearTitle));
    radiusLabel_->setText(LoadUiString(UiStringId::kOverviewRadius));
    if (days_->count() > 0)
        days_->setItemText(0, LoadUiString(UiStringId::kOverviewAllDays));
    tripModel_->SetTexts(texts_);
    placeModel_->SetTexts();
    chart_->SetTexts(texts_);
    calendar_->SetTexts(texts_);
    FillHeader();
    FillPlaces();
    // The tips of the chart's marks carry the unit too.
    FillChart();
    SendTexts();
}

// The event marks' tips and the speed legend, in the language and unit.
void OverviewWindow::SendTexts() {
    if (!pageReady_)
        return;
    QStringList legend;
    const int bands = int(std::size(RouteLayers::kSpeedBandsKmh));
    for (int b = 0; b < bands; ++b)
        legend << texts_.SpeedRange(RouteLayers::kSpeedBandsKmh[b],
                                    b + 1 < bands ? RouteLayers::kSpeedBandsKmh[b + 1] : 0,
                                    b + 1 == bands);
    emit bridge_->SpeedBandsChanged(legend);
    emit bridge_->EventKindsNamed(
        LoadUiString(UiStringId::kOverviewEventKinds).split(QLatin1Char('|')),
        LoadUiString(UiStringId::kOverviewColEvents));
    emit bridge_->EventsChanged(data_ ? EventMarks(*data_, texts_) : QJsonArray());
}

void OverviewWindow::FillHeader() {
    if (!data_) {
        header_->clear();
        return;
    }
    const CardLife life = data_->Life();
    if (!library_.isEmpty()) {
        // What the library holds and how much of it is kept for good.
        uint64_t bytes = 0, locked = 0;
        for (const IndexedRecording& r : data_->Recordings()) {
            bytes += r.fileSize;
            if (r.flags & (RecordingFile::kEventLocked | RecordingFile::kHandLocked))
                locked += r.fileSize;
        }
        header_->setText(QStringList{
            LoadUiStringFilled(UiStringId::kLibrarySize, FigureTexts::Bytes(bytes)),
            LoadUiStringFilled(UiStringId::kOverviewLocked, FigureTexts::Bytes(locked)),
            LoadUiStringFilled(UiStringId::kOverviewRecorded,
                               FigureTexts::Duration(int64_t(life.recordedHours * 3600000.0))),
            LoadUiStringFilled(UiStringId::kOverviewFree, FigureTexts::Bytes(life.freeBytes))}
                             .join(QStringLiteral("  ·  ")));
        return;
    }
    header_->setText(QStringList{
        LoadUiStringFilled(UiStringId::kOverviewRecorded,
                           FigureTexts::Duration(int64_t(life.recordedHours * 3600000.0))),
        LoadUiStringFilled(UiStringId::kOverviewLocked,
                           QStringLiteral("%1%").arg(qRound(life.lockedShare * 100))),
        LoadUiStringFilled(UiStringId::kOverviewFree, FigureTexts::Bytes(life.freeBytes)),
        // An estimate: to the minute.
        LoadUiStringFilled(UiStringId::kOverviewHoursLeft,
                           FigureTexts::Duration(qRound64(life.hoursLeft * 60) * 60000))}
                         .join(QStringLiteral("  ·  ")));
}

void OverviewWindow::FillTrips() {
    QSignalBlocker blockDays(days_);
    tripModel_->SetTrips(data_ ? data_->Trips() : std::vector<TripSummary>(), texts_);
    dayFilter_->SetDay({});
    days_->clear();
    days_->addItem(LoadUiString(UiStringId::kOverviewAllDays), QDate());
    for (const QDate& day : tripModel_->Days())
        days_->addItem(QLocale().toString(day, QLocale::ShortFormat), day);
    calendar_->SetDays(TotalsPerDay(data_ ? data_->Trips() : std::vector<TripSummary>()), texts_);
    // Sized from the texts as they are: asking the list would lay every
    // cell out through its delegate.
    ColumnFit fit(TripListModel::kColumns, trips_->font());
    for (int row = 0; row < tripModel_->rowCount(); ++row)
        fit.Add(tripModel_->RowTexts(row), tripModel_->IsDayTotal(row));
    // Every column in sight: the side of the window widens rather than the
    // list scrolling sideways.
    const int columns = fit.Apply(trips_);
    trips_->setMinimumWidth(columns + 2 * trips_->frameWidth() +
                            trips_->verticalScrollBar()->sizeHint().width());
}

// The day reaches everything the window shows: the list, the map's lines,
// marks and legend, the chart and the places.
void OverviewWindow::OnDayChosen() {
    const QDate day = days_->currentData().toDate();
    dayFilter_->SetDay(day);
    calendar_->ShowChosen(day);
    const std::vector<int> shown = ShownTrips();
    if (selectedTrip_ >= 0 && std::find(shown.begin(), shown.end(), selectedTrip_) == shown.end()) {
        selectedTrip_ = -1;
        chart_->Clear();
        if (pageReady_)
            emit bridge_->TripSelected(-1);
    }
    SendShownTrips();
    FillPlaces();
    FitTrips(shown);
}

void OverviewWindow::FreeSpace() {
    if (!data_ || library_.isEmpty())
        return;
    constexpr int kProposedDrives = 10;
    const PruneProposal proposal =
        OldestQuietDrives(data_->Recordings(), data_->Trips(), data_->Events(), kProposedDrives);
    if (proposal.paths.isEmpty()) {
        ShowMessageBox(this, LoadUiString(UiStringId::kLibraryFreeSpaceNothing),
                       LoadUiString(UiStringId::kLibraryFreeSpace), MbButtons::Ok,
                       MbIcon::Information);
        return;
    }
    const QDir library(library_);
    QStringList shown;
    for (const QString& path : proposal.paths)
        shown << library.relativeFilePath(path);
    FreeSpaceDialog ask(shown, proposal.bytes, this);
    if (ask.exec() != QDialog::Accepted)
        return;
    QString error;
    const bool done = DeleteKept(library_, proposal.paths, &error);
    // Even a deletion stopped half way changed the library.
    emit LibraryChanged();
    if (!done)
        ShowMessageBox(this, LoadUiStringFilled(UiStringId::kLibraryDeleteFailed, error),
                       LoadUiString(UiStringId::kLibraryFreeSpace), MbButtons::Ok, MbIcon::Error);
}

std::vector<int> OverviewWindow::ShownTrips() const {
    return tripModel_->TripsOfDay(dayFilter_->Day());
}

void OverviewWindow::SendShownTrips() {
    if (!pageReady_)
        return;
    QJsonArray trips;
    for (int t : ShownTrips())
        trips.append(t);
    emit bridge_->TripsShown(!dayFilter_->Day().isValid(), trips);
}

void OverviewWindow::OnTripRowChanged(const QModelIndex& row) {
    if (!row.isValid())
        return;
    const int trip = row.data(TripListModel::kTripRole).toInt();
    if (trip >= 0)
        SelectTrip(trip);
    else
        FitTrips(tripModel_->TripsOfDay(row.data(TripListModel::kDayRole).toDate()));
}

void OverviewWindow::OnTripRowClicked(const QModelIndex& row) {
    const TripSummary* trip =
        data_ ? data_->Trip(row.data(TripListModel::kTripRole).toInt()) : nullptr;
    if (trip && !trip->recordings.empty())
        PlayMoment(trip->recordings.front(), 0);
}

bool OverviewWindow::FitTrips(const std::vector<int>& trips, bool fresh) {
    if (!data_)
        return false;
    double south = 90, west = 180, north = -90, east = -180;
    bool any = false;
    const auto& recordings = data_->Recordings();
    for (int t : trips) {
        const TripSummary* trip = data_->Trip(t);
        if (!trip)
            continue;
        for (const RouteStop& s : TripRoute(recordings, *trip)) {
            const IndexedPoint& p = recordings[size_t(s.recording)].points[size_t(s.point)];
            south = std::min(south, p.latitude);
            north = std::max(north, p.latitude);
            west = std::min(west, p.longitude);
            east = std::max(east, p.longitude);
            any = true;
        }
    }
    if (!any || !pageReady_)
        return false;
    // New lines: the level the page will ask for is made while the window
    // fills its lists.
    if (fresh && lines_)
        lines_->Prepare(FitZoom(south, west, north, east, view_->width(), view_->height(),
                                kFitPadding, kFitMaxZoom));
    emit bridge_->FitAsked(south, west, north, east, fresh, kFitPadding, kFitMaxZoom);
    return true;
}

std::vector<int> OverviewWindow::AllTrips() const {
    std::vector<int> all;
    for (size_t t = 0; data_ && t < data_->Trips().size(); ++t)
        all.push_back(int(t));
    return all;
}

void OverviewWindow::SelectTrip(int trip) {
    if (!data_ || !data_->Trip(trip))
        return;
    selectedTrip_ = trip;
    FillChart();
    if (pageReady_)
        emit bridge_->TripSelected(trip);
    FitTrips({trip});
}

void OverviewWindow::FillChart() {
    const TripSummary* summary = data_ ? data_->Trip(selectedTrip_) : nullptr;
    if (!summary) {
        chart_->Clear();
        return;
    }
    const auto& recordings = data_->Recordings();
    std::vector<SpeedChart::Sample> samples;
    for (const RouteStop& s : TripRoute(recordings, *summary)) {
        const IndexedPoint& p = recordings[size_t(s.recording)].points[size_t(s.point)];
        samples.push_back({p.utcMs, p.speedKmh, s.recording, p.offsetMs});
    }
    // Every event the trip counts, those at one moment under one mark.
    const auto& events = data_->Events();
    std::vector<bool> ofTrip(events.size());
    for (size_t i = 0; i < events.size(); ++i)
        ofTrip[i] = std::count(summary->recordings.begin(), summary->recordings.end(),
                               events[i].recording) > 0;
    const QStringList kinds = LoadUiString(UiStringId::kOverviewEventKinds).split(QLatin1Char('|'));
    std::vector<SpeedChart::Mark> marks;
    for (const EventGroup& g : GroupEvents(events, ofTrip)) {
        const DrivingEvent& lead = events[size_t(g.lead)];
        marks.push_back({lead.utcMs, g.lead, EventColour(lead.kind), int(g.events.size()),
                         GroupLabel(g, events, kinds, texts_)});
    }
    chart_->SetTrip(std::move(samples), std::move(marks), summary->startUtcMs, summary->endUtcMs);
    ShowPlayPosition(playPath_, playOffsetMs_);
}

void OverviewWindow::ShowPlayPosition(const QString& path, qint64 offsetMs) {
    if (path != playPath_) {
        playPath_ = path;
        playRecording_ = RecordingOf(path);
    }
    playOffsetMs_ = offsetMs;
    const TripSummary* trip = data_ ? data_->Trip(selectedTrip_) : nullptr;
    const IndexedRecording* recording = data_ ? data_->Recording(playRecording_) : nullptr;
    const bool inTrip =
        trip && std::count(trip->recordings.begin(), trip->recordings.end(), playRecording_) > 0;
    chart_->SetCursor(inTrip && recording ? recording->startUtcMs + offsetMs : -1);
}

// The player may name a file by another path than the card's index does.
int OverviewWindow::RecordingOf(const QString& path) const {
    if (!data_ || path.isEmpty())
        return -1;
    const auto& recordings = data_->Recordings();
    for (size_t r = 0; r < recordings.size(); ++r)
        if (recordings[r].path == path)
            return int(r);
    const QString canonical = QFileInfo(path).canonicalFilePath();
    for (size_t r = 0; r < recordings.size() && !canonical.isEmpty(); ++r)
        if (QFileInfo(recordings[r].path).canonicalFilePath() == canonical)
            return int(r);
    return -1;
}

void OverviewWindow::PlayMoment(int recording, qint64 offsetMs) {
    if (const IndexedRecording* r = data_ ? data_->Recording(recording) : nullptr)
        emit PlayRequested(r->path, offsetMs);
}

void OverviewWindow::PlayEvent(int event) {
    if (const DrivingEvent* e = data_ ? data_->Event(event) : nullptr)
        PlayMoment(e->recording, PlayOffsetForEvent(e->offsetMs));
}

void OverviewWindow::ShowEventMenu(int event, QPoint globalAt) {
    if (!data_ || !data_->Event(event))
        return;
    // Not exec(): the menu's loop must not sit under the page's call or a
    // caller's own loop.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(LoadUiString(UiStringId::kExportClipItem), this, [this, event] {
        const DrivingEvent* e = data_ ? data_->Event(event) : nullptr;
        const IndexedRecording* r = e ? data_->Recording(e->recording) : nullptr;
        if (r)
            emit ExportClipRequested(r->path, e->offsetMs);
    });
    menu->popup(globalAt);
}

void OverviewWindow::ShowMapMenu(double latitude, double longitude, int event, QPoint globalAt) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (data_ && data_->Event(event))
        menu->addAction(LoadUiString(UiStringId::kExportClipItem), this, [this, event] {
            const DrivingEvent* e = data_ ? data_->Event(event) : nullptr;
            const IndexedRecording* r = e ? data_->Recording(e->recording) : nullptr;
            if (r)
                emit ExportClipRequested(r->path, e->offsetMs);
        });
    menu->addAction(LoadUiString(UiStringId::kAddPrivacyZoneItem), this,
                    [this, latitude, longitude] { AddZoneAt(latitude, longitude); });
    menu->popup(globalAt);
}

void OverviewWindow::AddZoneAt(double latitude, double longitude) {
    std::vector<PrivacyZone> zones;
    if (!ReadZonesOrSay(this, LoadUiString(UiStringId::kPrivacyZonesTitle), &zones))
        return;
    zones.push_back({latitude, longitude, kNewZoneRadiusM});
    WritePrivacyZones(AppSettings::Instance(), zones);
    SendZones();
}

void OverviewWindow::SendZones() {
    std::vector<PrivacyZone> zones;
    QString error;
    // A file that does not read is said where a zone is used or added.
    ReadPrivacyZones(AppSettings::Instance(), &zones, &error);
    QJsonArray list;
    for (const PrivacyZone& z : zones)
        list.append(QJsonObject{{"lat", z.latitude}, {"lon", z.longitude}, {"r", z.radiusM}});
    emit bridge_->ZonesChanged(list);
}

void OverviewWindow::AskPlace(double latitude, double longitude) {
    if (!data_)
        return;
    const double radius = radius_->value();
    if (pageReady_)
        emit bridge_->PlaceShown(latitude, longitude, radius);
    question_ = Question::Near;
    questionRadiusM_ = radius;
    ShowPlaces(data_->Near(latitude, longitude, radius));
}

void OverviewWindow::AskBox(const GeoBox& box) {
    if (!data_)
        return;
    if (pageReady_)
        emit bridge_->BoxShown(box.south, box.west, box.north, box.east);
    question_ = Question::Box;
    ShowPlaces(data_->InBox(box));
}

void OverviewWindow::ShowPlaces(const std::vector<NearHit>& hits) {
    hits_ = hits;
    FillPlaces();
}

void OverviewWindow::FillPlaces() {
    std::vector<NearHit> hits;
    const QDate day = dayFilter_->Day();
    if (data_ && !day.isValid()) {
        hits = hits_;
    } else if (data_) {
        // A recording of a trip goes by its trip's day, one outside any trip
        // by its own.
        std::vector<int> tripOf(data_->Recordings().size(), -1);
        for (size_t t = 0; t < data_->Trips().size(); ++t)
            for (int r : data_->Trips()[t].recordings)
                if (r >= 0 && size_t(r) < tripOf.size())
                    tripOf[size_t(r)] = int(t);
        const std::vector<int> shown = ShownTrips();
        for (const NearHit& hit : hits_) {
            const int trip = hit.recording >= 0 && size_t(hit.recording) < tripOf.size()
                                 ? tripOf[size_t(hit.recording)]
                                 : -1;
            if (trip >= 0 ? std::find(shown.begin(), shown.end(), trip) != shown.end()
                          : LocalDayOf(hit.utcMs) == day)
                hits.push_back(hit);
        }
    }
    if (!data_) {
        placeModel_->Clear();
    } else {
        placeModel_->SetHits(hits, *data_);
    }
    const bool nothing = question_ != Question::None && placeModel_->rowCount() == 0;
    if (nothing)
        placesNote_->setText(question_ == Question::Near
                                 ? LoadUiStringFilled(UiStringId::kOverviewNothingNear,
                                                      FigureTexts::Metres(questionRadiusM_))
                                 : LoadUiString(UiStringId::kOverviewNothingInBox));
    placesNote_->setVisible(nothing);
    ColumnFit fit(PlaceListModel::kColumns, places_->font());
    for (int row = 0; row < placeModel_->rowCount(); ++row)
        fit.Add(placeModel_->RowTexts(row));
    fit.Apply(places_);
}

// The route's nearest point to the pointer: the trip, its time and speed.
void OverviewWindow::ShowRouteTip(int trip, double latitude, double longitude) {
    QString text;
    if (const TripSummary* summary = data_ ? data_->Trip(trip) : nullptr) {
        const auto& recordings = data_->Recordings();
        const RouteStop stop =
            NearestStop(recordings, TripRoute(recordings, *summary), latitude, longitude);
        if (stop.recording >= 0) {
            const IndexedPoint& p = recordings[size_t(stop.recording)].points[size_t(stop.point)];
            text = QStringLiteral("#%1  %2  %3")
                       .arg(trip + 1)
                       .arg(FigureTexts::LocalTime(p.utcMs, "HH:mm:ss"), texts_.Speed(p.speedKmh));
        }
    }
    // Answered even without a text: the page asks again only after an answer.
    emit bridge_->RouteTipMade(text, latitude, longitude);
}

void OverviewWindow::PlayRoutePoint(int trip, double latitude, double longitude) {
    const TripSummary* summary = data_ ? data_->Trip(trip) : nullptr;
    if (!summary)
        return;
    const auto& recordings = data_->Recordings();
    const RouteStop stop =
        NearestStop(recordings, TripRoute(recordings, *summary), latitude, longitude);
    if (stop.recording >= 0)
        PlayMoment(stop.recording,
                   recordings[size_t(stop.recording)].points[size_t(stop.point)].offsetMs);
}

void OverviewWindow::OnPageReady() {
    pageReady_ = true;
    emit bridge_->ColouringChanged(colouring_->currentData().toString());
    SendShownTrips();
    SendTexts();
    SendZones();
    if (selectedTrip_ >= 0) {
        SelectTrip(selectedTrip_);
        emit bridge_->LinesChanged();
    } else if (!FitTrips(AllTrips(), true)) {
        emit bridge_->LinesChanged();
    }
}

void OverviewWindow::AskLines(int zoom, int card) {
    if (!lines_) {
        emit bridge_->LinesMade(zoom, card, QStringLiteral("[]"));
        return;
    }
    linesAsked_[std::clamp(zoom, 0, RouteLayers::kMaxZoom)].insert(card);
    lines_->Ask(zoom);
}

void OverviewWindow::SendLines(int zoom, const QByteArray& json) {
    const auto asked = linesAsked_.find(zoom);
    if (asked == linesAsked_.end())
        return;
    const std::set<int> cards = std::move(asked->second);
    linesAsked_.erase(asked);
    const QString text = QString::fromUtf8(json);
    for (int card : cards)
        emit bridge_->LinesMade(zoom, card, text);
}
