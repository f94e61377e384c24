#include "app/playback/PlaybackTick.h"

#include "app/playback/PlaybackView.h"
#include "presenter/CatalogPresenter.h"
#include "presenter/MapScripts.h"
#include "recordings/RecordingCatalog.h"

#include <cmath>

void PlaybackTick::SettleAt(int64_t timeMs) {
    lastIndex_ = catalog_.CurrentTrack().IndexAt(timeMs);
    lastTime_ = double(timeMs);
}

void PlaybackTick::ForgetShownPoint() {
    lastShownIndex_ = -1;
    lastLatitude_ = std::nan("");
    lastLongitude_ = std::nan("");
}

int PlaybackTick::Step(int64_t timeMs) {
    const int state = Run(timeMs, view_.GSensorPaneEnabled(), view_.MapPaneEnabled());
    ShowGpsState(state);
    return state;
}

void PlaybackTick::ShowGpsState(int state) {
    gpsState_ = state;
    view_.SetGpsIndicator(state);
}

int PlaybackTick::Run(int64_t timeMs, bool gsensorOn, bool mapOn) {
    const RecordingCatalog& c = catalog_;
    const CatalogViewSet& views = presenter_.Views();
    MapView* map = views.map;
    const int n = c.GpsPointCount();
    const Track& track = c.CurrentTrack();
    const int i = track.IndexAt(timeMs);
    index_ = i;

    // Moving the cursor redraws the curve, now no longer marked stopped.
    if (gsensorOn && views.curve && c.GSensorSampleCount() != 0) {
        views.curve->CurveState().stopped = false;
        views.curve->SetPosition(int(timeMs));
    }

    if (n == 0) {
        view_.SetCompass(false, 0);
        view_.SetSpeed(false, 0);
        return 0;
    }

    const double h = double(timeMs);
    if (lastIndex_ > i || h == 0 || h - lastTime_ > 3000) {
        if (map)
            map->RunScript(kDrivenDeleteScript);
        lastIndex_ = 0;
        lastTime_ = h;
        return 1;
    }
    lastIndex_ = i;
    lastTime_ = h;

    if (i >= n)
        return 0;

    const GpsFix& fix = track.fixes[size_t(i)];
    if (!fix.hasFix) {
        view_.SetCompass(false, 0);
        view_.SetSpeed(false, 0);
    }
    if (i != 0 && i == lastShownIndex_)
        return 1;
    lastShownIndex_ = i;

    if (fix.hasFix) {
        view_.SetCompass(true, int(fix.headingDegrees));
        view_.SetSpeed(true, int(fix.speedKmh));
    }

    if (!mapOn || !map)
        return 1;
    double latitude = 0, longitude = 0;
    if (!track.CarAt(i, &latitude, &longitude))
        return 0;
    // Either coordinate unchanged leaves the marker where it is.
    if (latitude == lastLatitude_ || longitude == lastLongitude_)
        return 1;
    map->MovePosition(latitude, longitude, track.StoredForm());
    lastLatitude_ = latitude;
    lastLongitude_ = longitude;
    return 1;
}
