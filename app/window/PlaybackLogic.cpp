#include "app/window/PlaybackLogic.h"

#include "app/playback/PlaybackView.h"
#include "app/window/ControlIds.h"
#include "platform/WindowMessages.h"
#include "player/CVlcPlayer.h"
#include "presenter/CatalogPresenter.h"
#include "presenter/MapScripts.h"
#include "recordings/FramePlace.h"
#include "recordings/RecordingCatalog.h"

#include <QWidget>

namespace {

PlaybackContext WithOwnParts(PlaybackContext context, WindowTimers* timers, PlayerPair* players) {
    context.timers = timers;
    context.players = players;
    return context;
}

} // namespace

PlaybackLogic::PlaybackLogic(const PlaybackContext& context, CVlcPlayer* front, CVlcPlayer* rear)
    : timers_([this](int id) { OnTimer(id); }), players_(front, rear),
      context_(WithOwnParts(context, &timers_, &players_)),
      tick(*context_.catalog, *context_.presenter, *context_.view), controller(context_, tick),
      starter(context_, controller), open(context_, controller, starter),
      files(context_, controller, starter), snapshot(context_), exports(context_) {
    connect(&controller, &PlaybackController::SeekApplied, this, [this](qint64 timeMs) {
        if (!players_.AnyPlays())
            ShowStillFrame(timeMs);
    });
    connect(&controller, &PlaybackController::PlayerEnded, this, [this](bool current) {
        if (current)
            starter.OnPlayerEnd();
    });
    connect(&players_, &PlayerPair::TimeChanged, this, &PlaybackLogic::OnPlayTime);
}

void PlaybackLogic::OnPlayTime(qint64 timeMs, qint64 lengthMs) {
    tick.Step(timeMs);
    ShowFrameClock(timeMs);
    controller.ShowPlayTime(timeMs, lengthMs);
}

bool PlaybackLogic::OnCommand(int controlId) {
    switch (controlId) {
    case IDC_PLAY:
        controller.OnPlay();
        return true;
    case IDC_STOP:
        controller.OnStop();
        context_.view->SetFrameClock(QString());
        return true;
    case IDC_FAST:
        controller.OnFaster();
        return true;
    case IDC_SLOW:
        controller.OnSlower();
        return true;
    case IDC_VOL:
        controller.OnMuteButton();
        return true;
    case IDC_LOOP:
        controller.OnLoop();
        return true;
    case IDC_OPEN:
        open.Run();
        return true;
    case IDC_DEL:
        files.OnDelete();
        return true;
    case IDC_LOCK:
        files.OnLock();
        return true;
    case IDC_SAVE:
        files.OnSave();
        return true;
    case IDC_KML:
        files.OnKml();
        return true;
    case IDC_SNAP:
        snapshot.Run();
        return true;
    default:
        return false;
    }
}

bool PlaybackLogic::OnWindowMessage(unsigned message) {
    switch (message) {
    case WM_VOLUME_CHANGED:
        controller.OnVolumeChanged();
        return true;
    case WM_SEEK_REQUEST:
        controller.OnSeekRequest();
        return true;
    default:
        return false;
    }
}

bool PlaybackLogic::OnTimer(int id) {
    return controller.OnTimer(id) || starter.OnTimer(id);
}

void PlaybackLogic::ShowFrameClock(int64_t timeMs) {
    QString text;
    if (players_.ShownPlayer())
        text = FramePlaceText(FramePlaceAt(*context_.catalog, tick.Index(), timeMs));
    context_.view->SetFrameClock(text);
}

void PlaybackLogic::ShowStillFrame(int64_t timeMs) {
    tick.SettleAt(timeMs);
    tick.Step(timeMs);
    ShowFrameClock(timeMs);
}

void PlaybackLogic::RedrawMap() {
    if (!context_.catalog->CurrentRecording())
        return;
    CatalogPresenter& presenter = *context_.presenter;
    // Whatever an earlier load already sent to the page goes first.
    if (MapView* map = presenter.Views().map)
        map->RunScript(kPathDeleteScript);
    presenter.PlotRoute();
    const int64_t timeMs = players_.TimeNow();
    if (timeMs < 0)
        return;
    context_.view->PlotDrivenTo(timeMs);
    tick.ForgetShownPoint();
    ShowStillFrame(timeMs);
}

bool PlaybackLogic::SeekToRoutePoint(int routePoint) {
    const RecordingCatalog& catalog = *context_.catalog;
    const Track& track = catalog.CurrentTrack();
    const int64_t time = track.TimeOfIndex(track.RoutePointIndex(routePoint));
    return time >= 0 && controller.SeekTo(time);
}
