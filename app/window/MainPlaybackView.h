#pragma once
#include "app/playback/PlaybackView.h"

#include <functional>

class CFrameClockStatic;
class CGdipButton;
class CMySliderControl;
class CPbSpeedLabelStatic;
class CPngCompassStatic;
class CPngStatic;
class CSpeedLabelStatic;
class CVideoSlider;
class CVideoStatic;
class CVideoStaticBg;
class CGSensorCtrl;
class CVlcPlayer;
class CatalogPresenter;

// The playback logic's view of the main window's real controls.
class MainPlaybackView : public PlaybackView {
  public:
    CVideoStatic* surfaces[2] = {};
    CVideoStaticBg* frames[2] = {};
    CGdipButton* play = nullptr;
    CGdipButton* mute = nullptr;
    CGdipButton* lock = nullptr;
    CVideoSlider* position = nullptr;
    CGSensorCtrl* curve = nullptr;
    CMySliderControl* volume = nullptr;
    CPbSpeedLabelStatic* rate = nullptr;
    CPngStatic* gps = nullptr;
    CPngCompassStatic* compass = nullptr;
    CSpeedLabelStatic* speed = nullptr;
    CatalogPresenter* presenter = nullptr;
    CFrameClockStatic* frameClock = nullptr;
    // The player whose picture carries the frame clock (full screen), or null.
    CVlcPlayer* frameClockPlayer = nullptr;
    std::function<void()> fitVideos;
    std::function<bool()> gsensorPaneEnabled;
    std::function<bool()> mapPaneEnabled;

    QWidget* VideoSurface(Camera camera) override;
    bool SurfaceHidden(Camera camera) const override;
    void SetSurfaceHidden(Camera camera, bool hidden) override;
    void FitVideosToAspect() override;
    void SetPlayButtonState(int state) override;
    int MuteButtonState() const override;
    void SetLockButtonState(int state) override;
    void SetPositionSliderRange(int minimum, int maximum) override;
    int PositionSliderPos() const override;
    void SetPositionSliderPos(int position) override;
    void SetVolumeSliderRange(int minimum, int maximum) override;
    int VolumeSliderPos() const override;
    void SetVolumeSliderPos(int position) override;
    int SeekMinimum() const override;
    int SeekSpan() const override;
    void SetSeekHappened() override;
    void SetRateLabel(const QString& text, bool visible) override;
    void SetGpsIndicator(int state) override;
    void SetCompass(bool valid, int degrees) override;
    void SetSpeed(bool valid, int kmh) override;
    void PlotDrivenTo(int64_t timeMs) override;
    bool GSensorPaneEnabled() const override;
    bool MapPaneEnabled() const override;
    void SetScanCounterShown(bool shown) override;
    void SetFrameClock(const QString& text) override;
};
