#include "app/PlaybackTick.h"

#include "app/PlaybackView.h"
#include "recordings/NmeaCoordinates.h"
#include "recordings/RecordingCatalog.h"

#include <cmath>

int PlaybackTick::IndexAt(int64_t timeMs, double rate) {
    return int(rate * double(timeMs) / 1000.0);
}

int64_t PlaybackTick::TimeOfIndex(int index, double rate) {
    if (index < 0 || !(rate > 0))
        return -1;
    // The division may land a hair below the boundary; step to the first
    // time that IndexAt really maps to the index.
    int64_t t = int64_t(std::ceil(double(index) * 1000.0 / rate));
    while (t > 0 && IndexAt(t - 1, rate) >= index)
        --t;
    while (IndexAt(t, rate) < index)
        ++t;
    return t;
}

void PlaybackTick::SettleAt(int64_t timeMs) {
    lastIndex_ = IndexAt(timeMs, catalog_.gpsRate);
    lastTime_ = double(timeMs);
}

void PlaybackTick::ForgetShownPoint() {
    lastShownIndex_ = -1;
    lastLatitude_ = std::nan("");
    lastLongitude_ = std::nan("");
}

int PlaybackTick::Run(int64_t timeMs, bool gsensorOn, bool mapOn) {
    RecordingCatalog& c = catalog_;
    MapView* map = c.mapWindow;
    if (c.loading || c.plotting) {
        if (map) {
            map->RunScript("pathdrived_delete()");
            map->RunScript("path_delete()");
        }
        lastIndex_ = 0;
        return 1;
    }

    const int n = c.GpsPointCount();

    if (gsensorOn && c.gsensorCurve && c.GSensorSampleCount() != 0) {
        c.gsensorCurve->CurveState().stopped = false;
        c.gsensorCurve->Redraw();
        c.gsensorCurve->SetPosition(int(timeMs));
    }

    if (n == 0) {
        view_.SetCompass(false, 0);
        view_.SetSpeed(false, 0);
        return 0;
    }

    const double h = double(timeMs);
    const int i = IndexAt(timeMs, c.gpsRate);
    if (lastIndex_ > i || h == 0 || h - lastTime_ > 3000) {
        if (map)
            map->RunScript("pathdrived_delete()");
        lastIndex_ = 0;
        lastTime_ = h;
        return 1;
    }
    lastIndex_ = i;
    lastTime_ = h;

    if (i >= n)
        return 0;

    const GpsPoint point = c.GpsPointAt(i);
    if (!point.HasFix()) {
        view_.SetCompass(false, 0);
        view_.SetSpeed(false, 0);
    }
    if (i != 0 && i == lastShownIndex_)
        return 1;
    lastShownIndex_ = i;

    double lat = 0;
    double lon = 0;
    if (point.HasFix()) {
        view_.SetCompass(true, point.heading * 2);
        view_.SetSpeed(true, point.speed);
        lat = point.latitude;
        lon = point.longitude;
    }

    if (!mapOn || !map)
        return 1;

    const bool chunk = c.CurrentVariant() == kChunkVariant;
    if (chunk) {
        lat /= 100;
        lon /= 100;
        if (lat >= 200 || lon >= 200)
            return 0;
    }
    const double shownLat = chunk ? MinutesToDegrees(lat) : lat;
    const double shownLon = chunk ? MinutesToDegrees(lon) : lon;
    if (!IsPlausiblePosition(shownLat, shownLon))
        return 0; // a damaged record never reaches the page
    // Either coordinate unchanged leaves the marker where it is.
    if (lat == lastLatitude_ || lon == lastLongitude_)
        return 1;
    map->MovePosition(lat, !chunk, lon);
    lastLatitude_ = lat;
    lastLongitude_ = lon;
    return 1;
}
