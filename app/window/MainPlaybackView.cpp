#include "app/window/MainPlaybackView.h"

#include "controls/CFrameClockStatic.h"
#include "controls/CGSensorCtrl.h"
#include "controls/CGdipButton.h"
#include "controls/CMySliderControl.h"
#include "controls/CPbSpeedLabelStatic.h"
#include "controls/CPngCompassStatic.h"
#include "controls/CPngStatic.h"
#include "controls/CSpeedLabelStatic.h"
#include "controls/CVideoSlider.h"
#include "controls/CVideoStatic.h"
#include "controls/CVideoStaticBg.h"
#include "player/CVlcPlayer.h"
#include "presenter/CatalogPresenter.h"

QWidget* MainPlaybackView::VideoSurface(Camera camera) {
    return surfaces[int(camera)];
}

bool MainPlaybackView::SurfaceHidden(Camera camera) const {
    return frames[int(camera)] ? frames[int(camera)]->SurfaceHidden() : true;
}

void MainPlaybackView::SetSurfaceHidden(Camera camera, bool hidden) {
    if (CVideoStaticBg* frame = frames[int(camera)]) {
        frame->SetSurfaceHidden(hidden);
        frame->update();
    }
    if (CVideoStatic* surface = surfaces[int(camera)])
        surface->setVisible(!hidden);
}

void MainPlaybackView::FitVideosToAspect() {
    if (fitVideos)
        fitVideos();
}

void MainPlaybackView::SetPlayButtonState(int state) {
    if (play)
        play->SetImageState(state);
}

int MainPlaybackView::MuteButtonState() const {
    return mute ? mute->ImageState() : 0;
}

void MainPlaybackView::SetLockButtonState(int state) {
    if (lock)
        lock->SetImageState(state);
}

void MainPlaybackView::SetPositionSliderRange(int minimum, int maximum) {
    if (position)
        position->setRange(minimum, maximum);
}

int MainPlaybackView::PositionSliderPos() const {
    return position ? position->value() : 0;
}

void MainPlaybackView::SetPositionSliderPos(int value) {
    if (position)
        position->setValue(value);
}

void MainPlaybackView::SetVolumeSliderRange(int minimum, int maximum) {
    if (volume)
        volume->setRange(minimum, maximum);
}

int MainPlaybackView::VolumeSliderPos() const {
    return volume ? volume->value() : 0;
}

void MainPlaybackView::SetVolumeSliderPos(int value) {
    if (volume)
        volume->setValue(value);
}

int MainPlaybackView::SeekMinimum() const {
    return position ? position->SeekMinimum() : 0;
}

int MainPlaybackView::SeekSpan() const {
    return position ? position->SeekSpan() : 1000;
}

void MainPlaybackView::SetSeekHappened() {
    if (curve)
        curve->NoteSeek();
}

void MainPlaybackView::SetRateLabel(const QString& text, bool visible) {
    if (rate)
        rate->SetText(text.toLatin1().constData(), visible);
    // The clock makes room for the label, or takes it back.
    if (frameClock)
        frameClock->update();
}

void MainPlaybackView::SetGpsIndicator(int state) {
    if (gps)
        gps->SetColor(state != 0);
}

void MainPlaybackView::SetCompass(bool valid, int degrees) {
    // The compass repaints itself when its picture changes.
    if (compass && valid)
        compass->SetHeading(degrees);
}

void MainPlaybackView::SetSpeed(bool valid, int kmh) {
    // Unchanged read-outs are not repainted on every tick.
    if (!speed || (speed->IsValid() == valid && speed->Speed() == uint16_t(kmh)))
        return;
    speed->SetValid(valid);
    speed->SetSpeed(uint16_t(kmh));
    speed->UpdateText();
    speed->update();
}

void MainPlaybackView::PlotDrivenTo(int64_t timeMs) {
    if (presenter)
        presenter->PlotDrivenTo(timeMs);
}

bool MainPlaybackView::GSensorPaneEnabled() const {
    return gsensorPaneEnabled && gsensorPaneEnabled();
}

bool MainPlaybackView::MapPaneEnabled() const {
    return mapPaneEnabled && mapPaneEnabled();
}

void MainPlaybackView::SetScanCounterShown(bool shown) {
    if (surfaces[0]) {
        surfaces[0]->SetCounterShown(shown);
        surfaces[0]->repaint();
    }
}

void MainPlaybackView::SetFrameClock(const QString& text) {
    if (frameClock)
        frameClock->SetText(text);
    if (frameClockPlayer)
        frameClockPlayer->SetMarquee(text);
}
