#include "presenter/CatalogPresenter.h"

#include "presenter/MapScripts.h"
#include "recordings/NmeaCoordinates.h"
#include "recordings/ResolutionName.h"

#include <QEventLoop>
#include <optional>
#include <stdexcept>
#include <vector>

namespace {

// Sends the points to the page in a few batch calls.
void SendBatches(MapView* map, const char* function, const Track& track,
                 const std::vector<int>& route) {
    std::vector<double> latLon;
    latLon.reserve(2 * route.size());
    for (int i : route) {
        latLon.push_back(track.fixes[size_t(i)].latitude);
        latLon.push_back(track.fixes[size_t(i)].longitude);
    }
    for (const QString& script : PlotBatchScripts(function, latLon))
        map->RunScript(script);
}

} // namespace

void CatalogPresenter::SetViews(const CatalogViewSet& views) {
    views_ = views;
    GroupListView* groups = views_.groupList;
    catalog_.SetChosenRows(
        groups ? RecordingCatalog::RowChosen([groups](int row) { return groups->IsRowChosen(row); })
               : RecordingCatalog::RowChosen());
}

void CatalogPresenter::ClearRoute() {
    if (views_.map) {
        views_.map->RunScript(kDrivenDeleteScript);
        views_.map->RunScript(kPathDeleteScript);
    }
}

void CatalogPresenter::ClearCurve() {
    if (GSensorCurveView* curve = views_.curve) {
        curve->CurveState().samples.clear();
        curve->SetPosition(0);
        curve->Redraw();
    }
}

int CatalogPresenter::Reset() {
    catalog_.Reset();
    if (views_.groupList)
        views_.groupList->DeleteAllItems();
    if (views_.fileList)
        views_.fileList->DeleteAllItems();
    ClearCurve();
    return 1;
}

int CatalogPresenter::Open(const QString& folder) {
    if (!views_.scanCounter) {
        Reset();
        const int opened = catalog_.Open(folder);
        if (opened)
            FillLists();
        return opened;
    }
    // The window's input waits until the lists are filled, as it would
    // while the scan ran on its thread; it keeps painting meanwhile.
    std::optional<int> opened;
    QEventLoop scanning;
    StartOpen(folder, [&](int result) {
        opened = result;
        scanning.quit();
    });
    if (!opened)
        scanning.exec(QEventLoop::ExcludeUserInputEvents);
    return opened.value_or(0);
}

void CatalogPresenter::StartOpen(const QString& folder, std::function<void(int opened)> done) {
    Reset();
    shownCounts_ = 0;
    scan_.Start(
        [folder](JobControl& control) {
            return ScanFolder(
                folder, [&control](int count) { control.Report(count + 1); },
                [&control] { return control.Cancelled(); });
        },
        [this, done = std::move(done)](FolderScan scan) {
            const int opened = catalog_.TakeScan(std::move(scan));
            if (opened)
                FillLists();
            if (done)
                done(opened);
        },
        [this](qint64 counted, qint64) { ShowCountsUpTo(int(counted)); });
}

void CatalogPresenter::ShowCountsUpTo(int counted) {
    // The counter shows 0, 1, 2, ... however many counts one delivery covers.
    ScanCounterView* counter = views_.scanCounter;
    for (; shownCounts_ < counted; ++shownCounts_)
        if (counter)
            counter->ShowScanCount(shownCounts_);
}

void CatalogPresenter::FillLists() {
    const RecordingCatalog& c = catalog_;
    if (GroupListView* list = views_.groupList) {
        for (const RecordingGroup& g : c.Groups()) {
            const RecordingInfo& first = c.Files()[size_t(g.firstFile)].info;
            list->AddGroupRow(g.number, ResolutionName(first.width, first.height),
                              g.totalDurationMs, g.totalSize, g.flags, first.startTime);
        }
    }
    if (FileListView* list = views_.fileList) {
        for (const FileListRow& row : c.Rows()) {
            const RecordingFile& f = c.Files()[size_t(row.fileIndex)];
            list->AddFileRow(row.groupNumber, row.indexInGroup, f.FolderText(), f.fileName,
                             row.durationMs, row.fileSize, f.flags, f.info.startTime);
        }
    }
    if (listsFilled_)
        listsFilled_();
}

void CatalogPresenter::RefillLists() {
    if (views_.groupList)
        views_.groupList->DeleteAllItems();
    if (views_.fileList)
        views_.fileList->DeleteAllItems();
    FillLists();
}

int CatalogPresenter::SelectFile(int index) {
    return MoveHighlight([&] { return catalog_.SelectFile(index); });
}

int CatalogPresenter::SelectGroup(int row) {
    return MoveHighlight([&] { return catalog_.SelectGroup(row); });
}

int CatalogPresenter::MoveHighlight(const std::function<int()>& select) {
    const int groupBefore = catalog_.currentGroup();
    const int fileBefore = catalog_.currentFile();
    if (!select())
        return 0;
    GroupListView* groups = views_.groupList;
    FileListView* files = views_.fileList;
    if (groups && groupBefore >= 0 && size_t(groupBefore) < catalog_.Groups().size())
        groups->SetDropHighlight(groupBefore, false);
    if (files && fileBefore >= 0 && size_t(fileBefore) < catalog_.Rows().size())
        files->SetDropHighlight(fileBefore, false);
    const int group = catalog_.currentGroup();
    if (groups && group >= 0) {
        groups->SetDropHighlight(group, true);
        groups->EnsureVisible(group);
    }
    if (files) {
        files->SetDropHighlight(catalog_.currentFile(), true);
        files->EnsureVisible(catalog_.currentFile());
    }
    return 1;
}

void CatalogPresenter::FeedCurve(const RecordingInfo& info, const Track& track) {
    GSensorCurveView* curve = views_.curve;
    if (!curve || track.samples.empty())
        return;
    GSensorCurveState& state = curve->CurveState();
    if (track.variant == kMetadataTrackVariant) {
        // The curve takes the low byte of each stored axis, sign-extended.
        for (const GSensorSample& s : track.samples)
            state.samples.push_back(
                {int8_t(uint8_t(s.x)), int8_t(uint8_t(s.y)), int8_t(uint8_t(s.z))});
    } else {
        state.samples.insert(state.samples.end(), track.samples.begin(), track.samples.end());
    }
    const uint8_t scale = info.gsensorParams[1];
    state.fullScale = scale ? scale : 8.0;
    state.range = 2.0;
    if (info.gsensorParams[0])
        state.samplesPerMs = info.gsensorParams[0] / 1000.0;
    else if (info.durationMs)
        state.samplesPerMs = double(track.samples.size()) / info.durationMs;
    state.pixelsPerMs = 0.01;
    state.scaleMode = 2;
    curve->RecalcScale();
    curve->Redraw();
}

int CatalogPresenter::LoadTrack(int index) {
    if (index < 0 || size_t(index) >= catalog_.Files().size())
        return 0;
    const int32_t variant = catalog_.Files()[size_t(index)].info.variant;
    if (variant != kChunkVariant && variant != kMetadataTrackVariant)
        return catalog_.LoadTrack(index);
    ClearRoute();
    const int loaded = catalog_.LoadTrack(index);
    // A recording that could not be read shows no curve of the one before.
    ClearCurve();
    const Track& track = catalog_.CurrentTrack();
    FeedCurve(catalog_.Files()[size_t(index)].info, track);
    if (!track.fixes.empty())
        PlotRoute();
    return loaded;
}

void CatalogPresenter::PlotRoute() {
    MapView* map = views_.map;
    if (!map || !catalog_.CurrentRecording())
        return;
    const Track& track = catalog_.CurrentTrack();
    if (!track.drawsRoute)
        return;
    SendBatches(map, kPathPlotBatch, track, track.RouteLine());
    if (track.variant != kMetadataTrackVariant)
        return;
    // The car starts at the first point even without a fix there, but never
    // off the globe.
    const GpsFix& first = track.fixes.front();
    if (IsPlausiblePosition(first.latitude, first.longitude))
        map->MovePosition(first.latitude, first.longitude, track.StoredForm());
}

int CatalogPresenter::PlotDrivenTo(int64_t timeMs) {
    if (catalog_.Files().empty())
        return 0;
    if (!catalog_.CurrentRecording())
        throw std::out_of_range("CatalogPresenter::PlotDrivenTo: no current file");
    if (MapView* map = views_.map) {
        const Track& track = catalog_.CurrentTrack();
        map->RunScript(kDrivenDeleteScript);
        const int n = track.IndexAt(std::max<int64_t>(timeMs, 0));
        SendBatches(map, kDrivenPlotBatch, track, track.RouteIndices(size_t(std::max(n, 0))));
    }
    return 1;
}

int CatalogPresenter::DeleteChosen(QStringList* untouched) {
    const bool hadCurrent = catalog_.CurrentRecording() != nullptr;
    const size_t filesBefore = catalog_.Files().size();
    const int done = catalog_.DeleteChosen(untouched);
    if (hadCurrent && catalog_.currentFile() < 0) {
        // The current recording is gone with its track.
        ClearRoute();
        ClearCurve();
    }
    if (catalog_.Files().size() != filesBefore)
        RefillLists();
    return done;
}

int CatalogPresenter::LockChosen(QStringList* untouched) {
    const int done = catalog_.LockChosen(untouched);
    if (done)
        RefillLists();
    return done;
}

int CatalogPresenter::UnlockChosen(QStringList* untouched) {
    const int done = catalog_.UnlockChosen(untouched);
    if (done)
        RefillLists();
    return done;
}
