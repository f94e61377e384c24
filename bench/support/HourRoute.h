#pragma once
// A one-hour metadata-track recording (18000 points of a drive that never
// stands still) loaded into a catalog, and a map pane showing one page.
#include "MapPane.h"
#include "presenter/CatalogPresenter.h"
#include "recordings/RecordingCatalog.h"

#include <QStringList>
#include <QTemporaryDir>

class QWebEngineView;

namespace benchmap {

constexpr int kHourSeconds = 3600;

struct HourRoute {
    QTemporaryDir dir;
    RecordingCatalog catalog;
    CatalogPresenter presenter{catalog};
    // The presenter draws on this map (none: nowhere).
    void ShowOn(MapView* map) {
        CatalogViewSet views;
        views.map = map;
        presenter.SetViews(views);
    }
    // The fix the car stands on at a play time.
    const GpsFix& PointAt(int64_t timeMs) const {
        const Track& track = catalog.CurrentTrack();
        return track.fixes[size_t(track.IndexAt(timeMs))];
    }
    MapPane pane;
    QWebEngineView* view = nullptr;
    // The route as the design sent it: one "path_plot" text per point.
    QStringList singles;
    int choice = 0;

    // Writes and loads the recording and opens the page of the choice.
    bool Prepare(int mapChoice);
    // The line's point count as the page's own script API reads it.
    QString Length(const char* line) const;
    // Waits until the line ("route" or "driven") holds the points and has
    // drawn them.
    bool WaitForLine(const char* line, int points);
};

} // namespace benchmap
