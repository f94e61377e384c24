#pragma once
#include <QString>
#include <cstdint>

class QWidget;

enum class Camera { Front, Rear };

// What the playback logic needs of the main window's controls. The window
// implements it over its widgets; tests implement it over real widgets of
// their own. Everything runs on the user-interface thread.
class PlaybackView {
  public:
    virtual ~PlaybackView() = default;

    // The surface libvlc draws into (1002, 1011); null when it has no window.
    virtual QWidget* VideoSurface(Camera camera) = 0;
    // The mark of the video frame (1007, 1009) that its surface is hidden so
    // that the frame's background shows.
    virtual bool SurfaceHidden(Camera camera) const = 0;
    // Sets or clears the mark and hides or shows the surface with it.
    virtual void SetSurfaceHidden(Camera camera, bool hidden) = 0;
    virtual void FitVideosToAspect() = 0;

    // PLAY (1015): 0 shows the play picture, 1 the pause picture.
    virtual void SetPlayButtonState(int state) = 0;
    // Vol (1046): 1 = mute.
    virtual int MuteButtonState() const = 0;
    // LOCK (1026).
    virtual void SetLockButtonState(int state) = 0;

    // Position slider (1008) and volume slider (1019).
    virtual void SetPositionSliderRange(int minimum, int maximum) = 0;
    virtual int PositionSliderPos() const = 0;
    virtual void SetPositionSliderPos(int position) = 0;
    virtual void SetVolumeSliderRange(int minimum, int maximum) = 0;
    virtual int VolumeSliderPos() const = 0;
    virtual void SetVolumeSliderPos(int position) = 0;

    // The seek state the position slider keeps, and the G-sensor cursor's
    // mark that a seek happened.
    virtual int SeekMinimum() const = 0;
    virtual int SeekSpan() const = 0;
    virtual void SetSeekHappened() = 0;

    // Read-outs: playback-rate label (1067), GPS indicator (1010), compass
    // (1055; valid = false shows no heading) and speed (1056).
    virtual void SetRateLabel(const QString& text, bool visible) = 0;
    virtual void SetGpsIndicator(int state) = 0;
    virtual void SetCompass(bool valid, int degrees) = 0;
    virtual void SetSpeed(bool valid, int kmh) = 0;

    // After a seek: the driven part of the route up to that time (the
    // catalog's PlotDrivenTo).
    virtual void PlotDrivenTo(int64_t timeMs) = 0;

    virtual bool GSensorPaneEnabled() const = 0;
    virtual bool MapPaneEnabled() const = 0;

    // The scan counter on the front surface, repainted at once.
    virtual void SetScanCounterShown(bool shown) = 0;

    // When and where the frame being played was taken; empty when nothing
    // plays.
    virtual void SetFrameClock(const QString& text) { (void)text; }
};
