#include "app/PlaybackLogic.h"

#include "app/ControlIds.h"
#include "app/PlaybackView.h"
#include "platform/WindowMessages.h"
#include "player/CVlcPlayer.h"
#include "recordings/FramePlace.h"
#include "recordings/RecordingCatalog.h"
#include "recordings/RoutePlottingIndex.h"

#include <QWidget>

namespace {

PlaybackContext WithTimers(PlaybackContext context, WindowTimers* timers) {
    context.timers = timers;
    return context;
}

} // namespace

PlaybackLogic::PlaybackLogic(const PlaybackContext& context)
    : timers_([this](int id) { OnTimer(id); }), context_(WithTimers(context, &timers_)),
      tick(*context_.catalog, *context_.view), controller(context_, tick),
      starter(context_, controller), open(context_, controller, starter),
      files(context_, controller, starter), snapshot(context_), exports(context_) {
    if (context_.window)
        context_.window->installEventFilter(this);
}

PlaybackLogic::~PlaybackLogic() {
    if (context_.window)
        context_.window->removeEventFilter(this);
}

bool PlaybackLogic::eventFilter(QObject* watched, QEvent* event) {
    if (watched == context_.window && event->type() == WindowMessageEvent::Type()) {
        auto* m = static_cast<WindowMessageEvent*>(event);
        if (OnWindowMessage(m->message, m->wParam, m->lParam))
            return true;
    }
    return QObject::eventFilter(watched, event);
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

bool PlaybackLogic::OnWindowMessage(unsigned message, quintptr wParam, qintptr lParam) {
    switch (message) {
    case WM_PLAYER_ERROR:
        controller.OnPlayerError(wParam);
        return true;
    case WM_PLAYER_STATE:
        controller.OnPlayerState(wParam);
        return true;
    case WM_PLAYER_TIME: {
        // A report of a file stopped since is stale.
        if (!controller.IsCurrent(lParam))
            return true;
        PlaybackView& view = *context_.view;
        const int state =
            tick.Run(int64_t(uint32_t(wParam)), view.GSensorPaneEnabled(), view.MapPaneEnabled());
        controller.m_nGpsState = state;
        view.SetGpsIndicator(state);
        UpdateFrameClock(int64_t(uint32_t(wParam)));
        return true;
    }
    case WM_PLAYER_END:
        if (controller.IsCurrent(lParam))
            starter.OnPlayerEnd();
        return true;
    case WM_GROUP_ACTIVATE:
        starter.OnGroupActivate(int(qintptr(wParam)));
        return true;
    case WM_FILE_ACTIVATE:
        starter.OnFileActivate(int(qintptr(wParam)));
        return true;
    case WM_VOLUME_CHANGED:
        controller.OnVolumeChanged();
        return true;
    case WM_SEEK_REQUEST:
        controller.OnSeekRequest();
        return true;
    case WM_REAR_END:
        return true;
    default:
        return false;
    }
}

bool PlaybackLogic::OnTimer(int id) {
    return controller.OnTimer(id) || starter.OnTimer(id);
}

void PlaybackLogic::UpdateFrameClock(int64_t timeMs) {
    bool plays = false;
    for (const CVlcPlayer* p : {context_.front, context_.rear})
        plays = plays || (Usable(p) && p->HasMedia() && (p->m_bPlaying || p->m_bPaused));
    QString text;
    if (plays) {
        const RecordingCatalog& catalog = *context_.catalog;
        const int index = PlaybackTick::IndexAt(timeMs, catalog.gpsRate);
        text = FramePlaceText(FramePlaceAt(catalog, index, timeMs));
    }
    context_.view->SetFrameClock(text);
}

bool PlaybackLogic::SeekToRoutePoint(int routePoint) {
    const RecordingCatalog& catalog = *context_.catalog;
    const int index = RoutePointGpsIndex(catalog, routePoint);
    const int64_t time = PlaybackTick::TimeOfIndex(index, catalog.gpsRate);
    return time >= 0 && controller.SeekTo(time);
}
