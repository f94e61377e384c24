#pragma once
// Shows what the catalog holds: fills and highlights both lists, sends the
// current route to the map page, feeds the G-sensor curve and counts the
// scan on the front video. The catalog knows none of these views; every
// operation that changes what they show goes through here.
#include "platform/BackgroundJob.h"
#include "presenter/CatalogViews.h"
#include "recordings/RecordingCatalog.h"

#include <QStringList>
#include <cstdint>
#include <functional>

struct CatalogViewSet {
    GroupListView* groupList = nullptr;
    FileListView* fileList = nullptr;
    GSensorCurveView* curve = nullptr;
    MapView* map = nullptr;
    ScanCounterView* scanCounter = nullptr;
};

class CatalogPresenter {
  public:
    explicit CatalogPresenter(RecordingCatalog& catalog) : catalog_(catalog) {}
    CatalogPresenter(const CatalogPresenter&) = delete;
    CatalogPresenter& operator=(const CatalogPresenter&) = delete;

    void SetViews(const CatalogViewSet& views);
    const CatalogViewSet& Views() const { return views_; }
    RecordingCatalog& Catalog() { return catalog_; }

    // Empties the catalog, both lists and the curve.
    int Reset();
    // Scans the folder and fills both lists. With a scan counter the scan
    // runs as StartOpen's and this thread handles its events meanwhile
    // (a window keeps painting), leaving user input until the lists are
    // filled. 0 when the folder does not exist.
    int Open(const QString& folder);
    // Empties the catalog and the lists and scans the folder in the
    // background: the counter shows every count in order on this thread,
    // the catalog takes the finished scan whole, the lists are filled and
    // done(opened) is called, 0 when the folder does not exist. Until then
    // the catalog is empty.
    void StartOpen(const QString& folder, std::function<void(int opened)> done = {});
    void FillLists();
    void RefillLists();
    // Called each time both lists have been filled anew (a scan, a delete,
    // lock or unlock), for what reads the whole card after them.
    void OnListsFilled(std::function<void()> listener) { listsFilled_ = std::move(listener); }

    // Make a file (or a group's first file) current and highlight it in both
    // lists; 0 when there is no such row.
    int SelectFile(int index);
    int SelectGroup(int row);

    // Loads the track of the file and shows it: the curve gets its samples
    // and the map its route. 0 when the file could not be read.
    int LoadTrack(int index);
    // Sends the whole route of the current recording to the map page; for a
    // metadata-track recording the car is put on its first point.
    void PlotRoute();
    // Rebuilds the driven line up to the play time (ms); 0 without files.
    int PlotDrivenTo(int64_t timeMs);

    // The catalog's file operations, with the lists and views brought up to
    // date afterwards.
    int DeleteChosen(QStringList* untouched = nullptr);
    int LockChosen(QStringList* untouched = nullptr);
    int UnlockChosen(QStringList* untouched = nullptr);

  private:
    // Runs a selection and moves both lists' highlight from the rows current
    // before it to the rows current after it.
    int MoveHighlight(const std::function<int()>& select);
    void ClearRoute();
    void ClearCurve();
    void FeedCurve(const RecordingInfo& info, const Track& track);
    void ShowCountsUpTo(int counted);

    RecordingCatalog& catalog_;
    CatalogViewSet views_;
    std::function<void()> listsFilled_;
    BackgroundJob scan_;
    int shownCounts_ = 0;
};
