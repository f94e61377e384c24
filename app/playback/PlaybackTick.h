#pragma once
#include <cstdint>

class CatalogPresenter;
class PlaybackView;
class RecordingCatalog;

// Keeps map, speed, compass, the G-sensor cursor and the GPS indicator in
// step with the play time the player reports. Remembers the previous tick to
// spot jumps and unchanged positions, and is the one home of the GPS
// indicator's state.
class PlaybackTick {
  public:
    PlaybackTick(const RecordingCatalog& catalog, CatalogPresenter& presenter, PlaybackView& view)
        : catalog_(catalog), presenter_(presenter), view_(view) {}

    // Returns the GPS indicator state: 1 when GPS is shown as present.
    int Run(int64_t timeMs, bool gsensorOn, bool mapOn);
    // Runs the tick with the panes as the window has them, keeps its result
    // as the GPS indicator's state and shows it there.
    int Step(int64_t timeMs);
    // The GPS indicator's state, kept and shown.
    void ShowGpsState(int state);
    int GpsState() const { return gpsState_; }
    // The GPS point index of the time the last run was given.
    int Index() const { return index_; }

    // Takes timeMs as the previous tick, so that the next run at about that
    // time shows its point instead of starting a new stretch: for a picture
    // moved while paused, whose driven route was already drawn up to it.
    void SettleAt(int64_t timeMs);
    // The next run moves the car even to the point shown last: for a page
    // that has not shown it yet.
    void ForgetShownPoint();

  private:
    const RecordingCatalog& catalog_;
    CatalogPresenter& presenter_;
    PlaybackView& view_;
    int gpsState_ = 0;
    int index_ = 0;
    double lastIndex_ = 0;
    double lastTime_ = 0;
    int lastShownIndex_ = 0;
    double lastLatitude_ = 0;
    double lastLongitude_ = 0;
};
