#include "overview/OverviewWindow.h"

#include "map/CCefClientApp.h"
#include "overview/ColumnFit.h"
#include "overview/DayTotals.h"
#include "overview/GeoMath.h"
#include "overview/OverviewPage.h"
#include "overview/RouteLayers.h"
#include "overview/SpeedChart.h"
#include "overview/TripRoute.h"
#include "strings/UiStrings.h"

#include <QComboBox>
#include <QCursor>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWebEngineView>
#include <algorithm>

namespace {

constexpr int kTripRole = Qt::UserRole;      // trip index; -1 on a day's row
constexpr int kDayRole = Qt::UserRole + 1;   // the row's day
constexpr int kRecordingRole = Qt::UserRole; // place list: recording, offset
constexpr int kOffsetRole = Qt::UserRole + 1;

QString Filled(unsigned id, const QString& value) {
    return LoadUiString(id).replace(QLatin1String("%s"), value);
}

QString LocalTime(int64_t utcMs, const char* format) {
    return QDateTime::fromMSecsSinceEpoch(utcMs, Qt::LocalTime).toString(QLatin1String(format));
}

QString KmText(double metres) {
    return QStringLiteral("%1 km").arg(metres / 1000.0, 0, 'f', 1);
}

QString KmhText(double kmh) {
    return QStringLiteral("%1 km/h").arg(qRound(kmh));
}

QString BytesText(uint64_t bytes) {
    const double gb = double(bytes) / 1e9;
    return gb >= 1 ? QStringLiteral("%1 GB").arg(gb, 0, 'f', 1)
                   : QStringLiteral("%1 MB").arg(double(bytes) / 1e6, 0, 'f', 0);
}

// How the page fits the map to trips, handed to it with each fit so the
// level made ahead is the one it asks for.
constexpr int kFitPadding = 24;
constexpr int kFitMaxZoom = 17;

const QColor kEventColours[] = {QColor("#d7191c"), QColor("#1a9641"), QColor("#7b3294"),
                                QColor("#000000"), QColor("#fdae61"), QColor("#2b83ba")};

} // namespace

OverviewWindow::OverviewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
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
    layout->addLayout(headerRow);
    connect(cancel_, &QPushButton::clicked, this, &OverviewWindow::CancelRequested);

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

    trips_ = new QTreeWidget(side);
    trips_->setRootIsDecorated(false);
    trips_->setUniformRowHeights(true);
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
    places_ = new QTreeWidget(side);
    places_->setRootIsDecorated(false);
    places_->setUniformRowHeights(true);
    sideLayout->addWidget(places_, 2);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({900, 500});
    ApplyTexts();
    FillTrips();

    connect(colouring_, &QComboBox::currentIndexChanged, this, [this] {
        RunScript(
            QStringLiteral("ov.setColouring('%1')").arg(colouring_->currentData().toString()));
    });
    connect(days_, &QComboBox::currentIndexChanged, this, [this] {
        const QDate day = days_->currentData().toDate();
        std::vector<int> shown;
        for (int i = 0; i < trips_->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = trips_->topLevelItem(i);
            const bool show = !day.isValid() || item->data(0, kDayRole).toDate() == day;
            item->setHidden(!show);
            const int trip = item->data(0, kTripRole).toInt();
            if (show && trip >= 0)
                shown.push_back(trip);
        }
        FitTrips(shown);
    });
    connect(trips_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!item)
            return;
        const int trip = item->data(0, kTripRole).toInt();
        if (trip >= 0) {
            SelectTrip(trip);
            return;
        }
        std::vector<int> ofDay;
        const QDate day = item->data(0, kDayRole).toDate();
        for (size_t t = 0; data_ && t < data_->Trips().size(); ++t)
            if (LocalDayOf(data_->Trips()[t].startUtcMs) == day)
                ofDay.push_back(int(t));
        FitTrips(ofDay);
    });
    connect(trips_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { OnTripClicked(item); });
    connect(chart_, &SpeedChart::MomentClicked, this,
            [this](int recording, uint32_t offsetMs) { PlayMoment(recording, offsetMs); });
    connect(chart_, &SpeedChart::EventClicked, this, [this](int event) { PlayEvent(event); });
    connect(chart_, &SpeedChart::EventMenuRequested, this, &OverviewWindow::ShowEventMenu);
    connect(places_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        PlayMoment(item->data(0, kRecordingRole).toInt(), item->data(0, kOffsetRole).toLongLong());
    });

    // The map profile's request filter keeps the page to its own folder and
    // the tile server.
    if (!CCefClientApp::Instance())
        InitBrowser(this, nullptr);
    if (CCefClientApp* app = CCefClientApp::Instance()) {
        page_ = new OverviewPage(
            app->Profile(),
            [this](const QString& command, const QVariantList& args) {
                return OnPageCall(command, args);
            },
            view_);
        view_->setPage(page_);
        page_->load(OverviewPage::PageUrl());
    }
}

OverviewWindow::~OverviewWindow() {
    StopPreparing();
}

void OverviewWindow::StartPreparing(int firstZoom) {
    StopPreparing();
    if (!layers_)
        return;
    stopPreparing_ = std::make_shared<std::atomic<bool>>(false);
    auto made = std::make_shared<std::promise<void>>();
    firstZoom_ = firstZoom;
    firstMade_ = made->get_future().share();
    // The first level at the window's own priority: the page waits for it.
    // The others on an idle thread, which holds the answers the lines point
    // into.
    preparing_ =
        QThread::create([layers = layers_, data = data_, stop = stopPreparing_, made, firstZoom] {
            layers->ForZoom(firstZoom);
            made->set_value();
            QThread::currentThread()->setPriority(QThread::IdlePriority);
            layers->Prepare(firstZoom, *stop);
        });
    preparing_->start();
}

void OverviewWindow::StopPreparing() {
    if (!preparing_)
        return;
    stopPreparing_->store(true);
    preparing_->wait();
    delete preparing_;
    preparing_ = nullptr;
    firstZoom_ = -1;
    firstMade_ = {};
}

void OverviewWindow::RunScript(const QString& script) {
    if (page_ && pageReady_)
        page_->runJavaScript(script);
}

void OverviewWindow::SetProgress(int done, int total) {
    progressRow_->setVisible(total >= 0);
    if (total < 0)
        return;
    progress_->setRange(0, std::max(total, 1));
    progress_->setValue(std::clamp(done, 0, std::max(total, 1)));
    progressText_->setText(
        Filled(UiStringId::kOverviewIndexing, QStringLiteral("%1 / %2").arg(done).arg(total)));
}

void OverviewWindow::SetData(std::shared_ptr<const OverviewData> data) {
    StopPreparing();
    data_ = std::move(data);
    layers_.reset();
    selectedTrip_ = -1;
    if (data_)
        layers_ = std::make_shared<RouteLayers>(data_->Recordings(), data_->Trips());
    // The page is told first: it asks for its lines while the lists fill
    // and draws the event marks while the lines are made.
    RunScript(QStringLiteral("ov.select(-1)"));
    std::vector<int> all;
    for (size_t t = 0; data_ && t < data_->Trips().size(); ++t)
        all.push_back(int(t));
    if (!FitTrips(all, true))
        RunScript(QStringLiteral("ov.reload()"));
    chart_->Clear();
    places_->clear();
    FillHeader();
    FillTrips();
    SendEvents();
}

void OverviewWindow::ApplyTexts() {
    setWindowTitle(LoadUiString(UiStringId::kOverviewTitle));
    cancel_->setText(LoadUiString(UiStringId::kCancelButton));
    colouring_->setItemText(0, LoadUiString(UiStringId::kOverviewByTrip));
    colouring_->setItemText(1, LoadUiString(UiStringId::kOverviewBySpeed));
    trips_->setHeaderLabels(
        {LoadUiString(UiStringId::kOverviewColDate), LoadUiString(UiStringId::kOverviewColStart),
         LoadUiString(UiStringId::kOverviewColEnd), LoadUiString(UiStringId::kOverviewColDistance),
         LoadUiString(UiStringId::kOverviewColDuration),
         LoadUiString(UiStringId::kOverviewColMoving), LoadUiString(UiStringId::kOverviewColMax),
         LoadUiString(UiStringId::kOverviewColAverage),
         LoadUiString(UiStringId::kOverviewColEvents)});
    nearTitle_->setText(LoadUiString(UiStringId::kOverviewNearTitle));
    radiusLabel_->setText(LoadUiString(UiStringId::kOverviewRadius));
    places_->setHeaderLabels({LoadUiString(UiStringId::kOverviewColRecording),
                              LoadUiString(UiStringId::kOverviewColTime),
                              LoadUiString(UiStringId::kOverviewColDistance)});
    if (days_->count() > 0)
        days_->setItemText(0, LoadUiString(UiStringId::kOverviewAllDays));
    for (int i = 0; i < trips_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = trips_->topLevelItem(i);
        if (item->data(0, kTripRole).toInt() < 0)
            item->setText(1, LoadUiString(UiStringId::kOverviewDayTotal));
    }
    FillHeader();
    SendEvents();
}

void OverviewWindow::FillHeader() {
    if (!data_) {
        header_->clear();
        return;
    }
    const CardLife life = data_->Life();
    header_->setText(QStringList{
        Filled(UiStringId::kOverviewRecorded, QString::number(life.recordedHours, 'f', 1)),
        Filled(UiStringId::kOverviewLocked,
               QStringLiteral("%1%").arg(qRound(life.lockedShare * 100))),
        Filled(UiStringId::kOverviewFree, BytesText(life.freeBytes)),
        Filled(UiStringId::kOverviewHoursLeft, QString::number(life.hoursLeft, 'f', 1))}
                         .join(QStringLiteral("  ·  ")));
}

void OverviewWindow::FillTrips() {
    QSignalBlocker blockList(trips_), blockDays(days_);
    trips_->setUpdatesEnabled(false);
    trips_->clear();
    days_->clear();
    days_->addItem(LoadUiString(UiStringId::kOverviewAllDays), QDate());
    const std::vector<TripSummary> none;
    const std::vector<TripSummary>& trips = data_ ? data_->Trips() : none;
    // Each trip's day once: a local date costs a time zone look-up.
    std::vector<QDate> tripDays;
    for (const TripSummary& trip : trips)
        tripDays.push_back(LocalDayOf(trip.startUtcMs));
    // Made apart and added at once: the list lays itself out once, not per
    // row.
    QList<QTreeWidgetItem*> rows;
    ColumnFit fit(trips_->columnCount(), trips_->font());
    for (const DayTotal& day : TotalsPerDay(trips)) {
        const QString dayText = QLocale().toString(day.day, QLocale::ShortFormat);
        days_->addItem(dayText, day.day);
        const QStringList totals{dayText,
                                 LoadUiString(UiStringId::kOverviewDayTotal),
                                 QString(),
                                 KmText(day.distanceM),
                                 DurationText(day.durationMs),
                                 DurationText(day.movingMs),
                                 KmhText(day.maxKmh),
                                 QString(),
                                 QString::number(day.events)};
        fit.Add(totals, true);
        auto* total = new QTreeWidgetItem(totals);
        total->setData(0, kTripRole, -1);
        total->setData(0, kDayRole, day.day);
        QFont bold = trips_->font();
        bold.setBold(true);
        for (int c = 0; c < trips_->columnCount(); ++c)
            total->setFont(c, bold);
        rows.append(total);
        for (size_t t = 0; t < trips.size(); ++t) {
            const TripSummary& trip = trips[t];
            if (tripDays[t] != day.day)
                continue;
            const QStringList texts{QStringLiteral("#%1").arg(t + 1),
                                    LocalTime(trip.startUtcMs, "HH:mm:ss"),
                                    LocalTime(trip.endUtcMs, "HH:mm:ss"),
                                    KmText(trip.distanceM),
                                    DurationText(trip.durationMs),
                                    DurationText(trip.movingMs),
                                    KmhText(trip.maxKmh),
                                    KmhText(trip.averageMovingKmh),
                                    QString::number(trip.eventCount)};
            fit.Add(texts);
            auto* row = new QTreeWidgetItem(texts);
            row->setData(0, kTripRole, int(t));
            row->setData(0, kDayRole, day.day);
            rows.append(row);
        }
    }
    trips_->addTopLevelItems(rows);
    fit.Apply(trips_);
    trips_->setUpdatesEnabled(true);
}

QString OverviewWindow::EventLabel(const DrivingEvent& event, const QStringList& kinds) const {
    const int kind = int(event.kind);
    QString text = kind < kinds.size() ? kinds[kind] : QString::number(kind);
    text += QStringLiteral(", ") + LocalTime(event.utcMs, "HH:mm:ss");
    if (event.kind == DrivingEventKind::SpeedOnlyBraking)
        text += QStringLiteral(", %1 km/h/s").arg(event.peak, 0, 'f', 0);
    else if (event.kind != DrivingEventKind::CameraEvent)
        text += QStringLiteral(", %1 g").arg(event.peak, 0, 'f', 2);
    return text;
}

void OverviewWindow::SendEvents() {
    QJsonArray list;
    const QStringList kinds = LoadUiString(UiStringId::kOverviewEventKinds).split(QLatin1Char('|'));
    if (data_) {
        const std::vector<DrivingEvent>& events = data_->Events();
        for (size_t i = 0; i < events.size(); ++i) {
            const DrivingEvent& e = events[i];
            if (!e.hasPosition)
                continue;
            list.append(QJsonObject{{"i", int(i)},
                                    {"lat", e.latitude},
                                    {"lon", e.longitude},
                                    {"kind", int(e.kind)},
                                    {"label", EventLabel(e, kinds)}});
        }
    }
    RunScript(QStringLiteral("ov.setEvents(%1)")
                  .arg(OverviewPage::Parsed(QJsonDocument(list).toJson(QJsonDocument::Compact))));
}

bool OverviewWindow::FitTrips(const std::vector<int>& trips, bool fresh) {
    if (!data_)
        return false;
    double south = 90, west = 180, north = -90, east = -180;
    bool any = false;
    const auto& recordings = data_->Recordings();
    for (int t : trips) {
        if (t < 0 || size_t(t) >= data_->Trips().size())
            continue;
        for (const RouteStop& s : TripRoute(recordings, data_->Trips()[size_t(t)])) {
            const IndexedPoint& p = recordings[size_t(s.recording)].points[size_t(s.point)];
            south = std::min(south, p.latitude);
            north = std::max(north, p.latitude);
            west = std::min(west, p.longitude);
            east = std::max(east, p.longitude);
            any = true;
        }
    }
    // New lines: the level the page will ask for is made while the window
    // fills its lists.
    if (any && fresh && pageReady_)
        StartPreparing(FitZoom(south, west, north, east, view_->width(), view_->height(),
                               kFitPadding, kFitMaxZoom));
    if (any)
        RunScript(QStringLiteral("ov.fit(%1,%2,%3,%4,%5,%6,%7)")
                      .arg(south, 0, 'f', 7)
                      .arg(west, 0, 'f', 7)
                      .arg(north, 0, 'f', 7)
                      .arg(east, 0, 'f', 7)
                      .arg(fresh ? "true" : "false")
                      .arg(kFitPadding)
                      .arg(kFitMaxZoom));
    return any && page_ && pageReady_;
}

void OverviewWindow::SelectTrip(int trip) {
    if (!data_ || trip < 0 || size_t(trip) >= data_->Trips().size())
        return;
    selectedTrip_ = trip;
    const TripSummary& summary = data_->Trips()[size_t(trip)];
    const auto& recordings = data_->Recordings();
    std::vector<SpeedChart::Sample> samples;
    for (const RouteStop& s : TripRoute(recordings, summary)) {
        const IndexedPoint& p = recordings[size_t(s.recording)].points[size_t(s.point)];
        samples.push_back({p.utcMs, p.speedKmh, s.recording, p.offsetMs});
    }
    std::vector<SpeedChart::Mark> marks;
    const auto& events = data_->Events();
    for (size_t i = 0; i < events.size(); ++i)
        if (std::count(summary.recordings.begin(), summary.recordings.end(), events[i].recording))
            marks.push_back({events[i].utcMs, int(i), kEventColours[int(events[i].kind) % 6]});
    chart_->SetTrip(std::move(samples), std::move(marks));
    RunScript(QStringLiteral("ov.select(%1)").arg(trip));
    FitTrips({trip});
}

void OverviewWindow::OnTripClicked(QTreeWidgetItem* item) {
    const int trip = item->data(0, kTripRole).toInt();
    if (!data_ || trip < 0 || size_t(trip) >= data_->Trips().size())
        return;
    const TripSummary& summary = data_->Trips()[size_t(trip)];
    if (!summary.recordings.empty())
        PlayMoment(summary.recordings.front(), 0);
}

void OverviewWindow::PlayMoment(int recording, qint64 offsetMs) {
    if (!data_ || recording < 0 || size_t(recording) >= data_->Recordings().size())
        return;
    emit PlayRequested(data_->Recordings()[size_t(recording)].path, offsetMs);
}

void OverviewWindow::PlayEvent(int event) {
    if (!data_ || event < 0 || size_t(event) >= data_->Events().size())
        return;
    const DrivingEvent& e = data_->Events()[size_t(event)];
    PlayMoment(e.recording, PlayOffsetForEvent(e.offsetMs));
}

void OverviewWindow::ShowEventMenu(int event, QPoint globalAt) {
    if (!data_ || event < 0 || size_t(event) >= data_->Events().size())
        return;
    // Not exec(): the menu's loop must not sit under the page's call or a
    // caller's own loop.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(LoadUiString(UiStringId::kExportClipItem), this, [this, event] {
        if (!data_ || size_t(event) >= data_->Events().size())
            return;
        const DrivingEvent& e = data_->Events()[size_t(event)];
        if (e.recording >= 0 && size_t(e.recording) < data_->Recordings().size())
            emit ExportClipRequested(data_->Recordings()[size_t(e.recording)].path, e.offsetMs);
    });
    menu->popup(globalAt);
}

void OverviewWindow::AskPlace(double latitude, double longitude) {
    if (!data_)
        return;
    const double radius = radius_->value();
    RunScript(QStringLiteral("ov.showPlace(%1,%2,%3)")
                  .arg(latitude, 0, 'f', 7)
                  .arg(longitude, 0, 'f', 7)
                  .arg(radius));
    ShowPlaces(data_->Near(latitude, longitude, radius));
}

// A box is answered as the recordings with a point inside it, each at its
// point nearest the box's middle.
void OverviewWindow::AskBox(double south, double west, double north, double east) {
    if (!data_)
        return;
    RunScript(QStringLiteral("ov.showBox(%1,%2,%3,%4)")
                  .arg(south, 0, 'f', 7)
                  .arg(west, 0, 'f', 7)
                  .arg(north, 0, 'f', 7)
                  .arg(east, 0, 'f', 7));
    const double midLat = (south + north) / 2, midLon = (west + east) / 2;
    // Every point inside the box lies within the circle through its corners.
    const double reach = GroundDistanceM(midLat, midLon, north, east) + 1;
    std::vector<NearHit> hits;
    for (const NearHit& candidate : data_->Near(midLat, midLon, reach)) {
        NearHit best;
        for (const IndexedPoint& p : data_->Recordings()[size_t(candidate.recording)].points) {
            if (p.latitude < south || p.latitude > north || p.longitude < west ||
                p.longitude > east)
                continue;
            const double d = GroundDistanceM(midLat, midLon, p.latitude, p.longitude);
            if (best.recording < 0 || d < best.distanceM)
                best = {candidate.recording, p.offsetMs, p.utcMs, d};
        }
        if (best.recording >= 0)
            hits.push_back(best);
    }
    std::sort(hits.begin(), hits.end(),
              [](const NearHit& a, const NearHit& b) { return a.distanceM < b.distanceM; });
    ShowPlaces(hits);
}

void OverviewWindow::ShowPlaces(const std::vector<NearHit>& hits) {
    places_->clear();
    ColumnFit fit(places_->columnCount(), places_->font());
    QList<QTreeWidgetItem*> rows;
    for (const NearHit& hit : hits) {
        if (hit.recording < 0 || size_t(hit.recording) >= data_->Recordings().size())
            continue;
        const QStringList texts{data_->Recordings()[size_t(hit.recording)].fileName,
                                LocalTime(hit.utcMs, "yyyy-MM-dd HH:mm:ss"),
                                QStringLiteral("%1 m").arg(qRound(hit.distanceM))};
        fit.Add(texts);
        auto* row = new QTreeWidgetItem(texts);
        row->setData(0, kRecordingRole, hit.recording);
        row->setData(0, kOffsetRole, qint64(hit.offsetMs));
        rows.append(row);
    }
    places_->addTopLevelItems(rows);
    fit.Apply(places_);
}

QVariant OverviewWindow::OnPageCall(const QString& command, const QVariantList& args) {
    const auto number = [&](int i) { return i < args.size() ? args[i].toDouble() : 0.0; };
    if (command == QLatin1String("pageReady")) {
        pageReady_ = true;
        RunScript(
            QStringLiteral("ov.setColouring('%1')").arg(colouring_->currentData().toString()));
        SendEvents();
        std::vector<int> all;
        for (size_t t = 0; data_ && t < data_->Trips().size(); ++t)
            all.push_back(int(t));
        if (selectedTrip_ >= 0) {
            SelectTrip(selectedTrip_);
            RunScript(QStringLiteral("ov.reload()"));
        } else if (!FitTrips(all, true)) {
            RunScript(QStringLiteral("ov.reload()"));
        }
        return true;
    }
    if (command == QLatin1String("routes")) {
        // The lines go back as a script of their own: the bridge's answer
        // would be encoded, sent, decoded and parsed once more (about twice
        // as long for a level).
        const int zoom = int(number(0));
        const int card = int(number(1));
        if (zoom == firstZoom_ && firstMade_.valid())
            firstMade_.wait();
        const QByteArray lines = layers_ ? layers_->ForZoom(zoom) : QByteArrayLiteral("[]");
        if (layers_ && !preparing_)
            StartPreparing(zoom);
        RunScript(QStringLiteral("ov.lines(%1,%2,%3)")
                      .arg(zoom)
                      .arg(card)
                      .arg(OverviewPage::Parsed(lines)));
        return page_ && pageReady_;
    }
    if (!data_)
        return QVariant();
    if (command == QLatin1String("routeHover") || command == QLatin1String("routeClick")) {
        const int trip = int(number(0));
        if (trip < 0 || size_t(trip) >= data_->Trips().size())
            return QVariant();
        const auto& recordings = data_->Recordings();
        const RouteStop stop = NearestStop(
            recordings, TripRoute(recordings, data_->Trips()[size_t(trip)]), number(1), number(2));
        if (stop.recording < 0)
            return QVariant();
        const IndexedPoint& p = recordings[size_t(stop.recording)].points[size_t(stop.point)];
        if (command == QLatin1String("routeClick")) {
            PlayMoment(stop.recording, p.offsetMs);
            return true;
        }
        return QStringLiteral("#%1  %2  %3")
            .arg(trip + 1)
            .arg(LocalTime(p.utcMs, "HH:mm:ss"), KmhText(p.speedKmh));
    }
    if (command == QLatin1String("eventClick")) {
        PlayEvent(int(number(0)));
        return true;
    }
    if (command == QLatin1String("eventMenu")) {
        ShowEventMenu(int(number(0)), QCursor::pos());
        return true;
    }
    if (command == QLatin1String("mapClick")) {
        AskPlace(number(0), number(1));
        return true;
    }
    if (command == QLatin1String("boxSelect")) {
        AskBox(number(0), number(1), number(2), number(3));
        return true;
    }
    return QVariant();
}
