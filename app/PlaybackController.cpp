#include "app/PlaybackController.h"

#include "app/PlaybackTick.h"
#include "app/PlaybackView.h"
#include "app/SpeedTable.h"
#include "platform/WindowMessages.h"
#include "platform/WindowTimers.h"
#include "platform/widgets/MessageBox.h"
#include "player/CVlcPlayer.h"
#include "recordings/RecordingCatalog.h"
#include "strings/UiStrings.h"

#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace {

// Caption of the playback error box: the program's name.
const char* const kProgramName = "Halvex";

} // namespace

bool Usable(const CVlcPlayer* player) {
    return player && player->m_bAvailable;
}

PlaybackController::PlaybackController(const PlaybackContext& context, PlaybackTick& tick)
    : m_nSpeedIndex(kNormalSpeedIndex), ctx_(context), tick_(tick) {}

PlaybackController::~PlaybackController() {
    if (ctx_.front)
        ctx_.front->DetachEvents();
    if (ctx_.rear)
        ctx_.rear->DetachEvents();
}

void PlaybackController::Initialise() {
    PlaybackView& view = *ctx_.view;
    const struct {
        CVlcPlayer* player;
        Camera camera;
        libvlc_callback_t callback;
    } players[] = {{ctx_.front, Camera::Front, &FrontEvent}, {ctx_.rear, Camera::Rear, &RearEvent}};
    for (const auto& p : players) {
        if (!Usable(p.player)) {
            ShowMessageBox(ctx_.window, LoadUiString(UiStringId::kVideoComponentFailed),
                           LoadUiString(UiStringId::kWarningCaption));
            continue;
        }
        if (QWidget* surface = view.VideoSurface(p.camera))
            p.player->SetWindow(uint32_t(surface->winId()));
        p.player->AttachEvents(p.callback, this);
        if (p.camera == Camera::Front) {
            m_nSpeedIndex = kNormalSpeedIndex;
            p.player->SetRate(1.0f);
        } else {
            p.player->SetRate(float(SpeedTable[size_t(m_nSpeedIndex)].rate));
        }
    }
    view.SetPositionSliderRange(0, 1000);
    view.SetPositionSliderPos(view.SeekMinimum());
    view.SetVolumeSliderRange(0, 100);
    view.SetVolumeSliderPos(50);
    if (Usable(ctx_.front)) {
        ctx_.front->SetVolume(100);
        ctx_.front->SetMute(1);
    }
    ctx_.timers->SetTimer(kPendingSeekTimer, 500);
    ctx_.timers->SetTimer(kDeferredStartTimer, 100);
    ctx_.timers->SetTimer(kSliderResetTimer, 200);
}

void PlaybackController::OnPlay() {
    m_nPendingSeekMs = 0;
    if (GSensorCurveView* curve = ctx_.catalog->gsensorCurve) {
        curve->CurveState().stopped = false;
        curve->Redraw();
    }
    if (ctx_.catalog->files.empty()) {
        ctx_.view->SetPlayButtonState(0);
        return;
    }
    const struct {
        CVlcPlayer* player;
        Camera camera;
    } players[] = {{ctx_.front, Camera::Front}, {ctx_.rear, Camera::Rear}};
    for (const auto& p : players) {
        if (!Usable(p.player))
            continue;
        if (p.player->m_bPlaying) {
            PausePlayer(*p.player);
        } else if (p.player->m_bPaused) {
            if (ctx_.view->SurfaceHidden(p.camera))
                ctx_.view->SetSurfaceHidden(p.camera, false);
            ResumePlayer(*p.player);
            if (p.camera == Camera::Front) {
                ShowRateLabel();
                StartRateLabelRefresh();
            }
        }
    }
}

void PausePlayer(CVlcPlayer& player) {
    player.Pause();
    player.m_bPlaying = 0;
    player.m_bPaused = 1;
}

void ResumePlayer(CVlcPlayer& player) {
    player.Play();
    player.m_bPlaying = 1;
    player.m_bPaused = 0;
}

void PlaybackController::StopPlayers() {
    for (CVlcPlayer* player : {ctx_.front, ctx_.rear}) {
        if (!Usable(player))
            continue;
        player->Stop();
        player->m_bPlaying = 0;
        player->m_bPaused = 0;
    }
}

void PlaybackController::ResetRate() {
    m_nSpeedIndex = kNormalSpeedIndex;
    if (Usable(ctx_.front))
        ctx_.front->SetRate(1.0f);
    if (Usable(ctx_.rear))
        ctx_.rear->SetRate(float(SpeedTable[kNormalSpeedIndex].rate));
}

void PlaybackController::OnStop() {
    m_nPendingSeekMs = 0;
    ctx_.view->SetPlayButtonState(0);
    StopPlayers();
    ResetRate();
    ctx_.view->SetPositionSliderPos(ctx_.view->SeekMinimum());
    if (GSensorCurveView* curve = ctx_.catalog->gsensorCurve) {
        curve->SetPosition(0);
        curve->CurveState().stopped = true;
        curve->Redraw();
    }
    HideVideos();
}

void PlaybackController::HideVideos() {
    for (Camera camera : {Camera::Front, Camera::Rear})
        if (!ctx_.view->SurfaceHidden(camera))
            ctx_.view->SetSurfaceHidden(camera, true);
}

void PlaybackController::OnFaster() {
    m_nSpeedIndex = std::min(m_nSpeedIndex + 1, kLastSpeedIndex);
    for (CVlcPlayer* player : {ctx_.front, ctx_.rear})
        if (Usable(player))
            player->SetRate(float(SpeedTable[size_t(m_nSpeedIndex)].rate));
    ShowRateLabel();
}

void PlaybackController::OnSlower() {
    m_nSpeedIndex = std::max(m_nSpeedIndex - 1, 0);
    for (CVlcPlayer* player : {ctx_.front, ctx_.rear})
        if (Usable(player))
            player->SetRate(float(SpeedTable[size_t(m_nSpeedIndex)].rate));
    ShowRateLabel();
}

void PlaybackController::ShowRateLabel() {
    const SpeedEntry& entry = SpeedTable[size_t(m_nSpeedIndex)];
    ctx_.view->SetRateLabel(QString::fromLatin1(entry.label), entry.rate != 1.0);
}

void PlaybackController::StartRateLabelRefresh() {
    m_nRateLabelTicks = 10;
    ctx_.timers->SetTimer(kRateLabelTimer, 300);
}

void PlaybackController::OnMuteButton() {
    if (Usable(ctx_.front))
        ctx_.front->SetMute(ctx_.view->MuteButtonState() == 1 ? 1 : 0);
}

void PlaybackController::OnVolumeChanged() {
    const int p = ctx_.view->VolumeSliderPos();
    if (Usable(ctx_.front))
        ctx_.front->SetVolume(2 * p);
}

int64_t PlaybackController::SeekTarget(bool pausedCounts) const {
    auto gives = [pausedCounts](const CVlcPlayer* player) {
        return Usable(player) && (player->m_bPlaying || (pausedCounts && player->m_bPaused));
    };
    int64_t length = 0;
    if (gives(ctx_.front))
        length = ctx_.front->GetLength();
    else if (gives(ctx_.rear))
        length = ctx_.rear->GetLength();
    const int span = ctx_.view->SeekSpan();
    // An unknown length (0 or negative) or an empty slider gives no seek.
    if (length <= 0 || span <= 0)
        return 0;
    const int minimum = ctx_.view->SeekMinimum();
    int p = ctx_.view->PositionSliderPos();
    if (p > minimum)
        p -= minimum;
    return (length / span) * p;
}

void PlaybackController::OnSeekRequest() {
    m_nPendingSeekMs = SeekTarget(true);
    ctx_.view->SetSeekHappened();
    const int state = tick_.Run(0, ctx_.view->GSensorPaneEnabled(), ctx_.view->MapPaneEnabled());
    m_nGpsState = state;
    ctx_.view->SetGpsIndicator(state);
}

bool PlaybackController::SeekTo(int64_t timeMs) {
    const CVlcPlayer* source = nullptr;
    for (const CVlcPlayer* player : {ctx_.front, ctx_.rear})
        if (!source && Usable(player) && (player->m_bPlaying || player->m_bPaused) &&
            player->HasMedia())
            source = player;
    const int64_t length = source ? source->GetLength() : 0;
    if (length <= 0 || timeMs < 0 || timeMs >= length)
        return false;
    // A pending target of 0 means none; 1 ms lies on the same first point.
    m_nPendingSeekMs = std::max<int64_t>(timeMs, 1);
    ctx_.view->SetSeekHappened();
    const int state = tick_.Run(0, ctx_.view->GSensorPaneEnabled(), ctx_.view->MapPaneEnabled());
    m_nGpsState = state;
    ctx_.view->SetGpsIndicator(state);
    return true;
}

void PlaybackController::OnPositionSliderScroll() {
    m_nPendingSeekMs = SeekTarget(false);
}

void PlaybackController::ApplyPendingSeek() {
    const int64_t target = m_nPendingSeekMs;
    if (target == 0)
        return;
    for (CVlcPlayer* player : {ctx_.front, ctx_.rear})
        if (Usable(player))
            player->SetTime(target);
    ctx_.view->PlotDrivenTo(target);
    m_nPendingSeekMs = 0;
}

bool PlaybackController::OnTimer(int id) {
    switch (id) {
    case kRateLabelTimer:
        ShowRateLabel();
        if (m_nRateLabelTicks == 0)
            ctx_.timers->KillTimer(kRateLabelTimer);
        else
            --m_nRateLabelTicks;
        return true;
    case kPendingSeekTimer:
        ApplyPendingSeek();
        return true;
    case kStartGuardTimer:
        m_bPlayStartBusy = 0;
        ctx_.timers->KillTimer(kStartGuardTimer);
        return true;
    case kSliderResetTimer:
        ctx_.view->SetPositionSliderPos(ctx_.view->SeekMinimum());
        ctx_.timers->KillTimer(kSliderResetTimer);
        return true;
    default:
        return false;
    }
}

void PlaybackController::OnPlayerError(quintptr wParam) {
    ShowMessageBox(ctx_.window, wParam == 1 ? LoadUiString(UiStringId::kPlayerError) : QString(),
                   QString::fromLatin1(kProgramName), MbButtons::Ok);
}

void PlaybackController::OnPlayerState(quintptr wParam) {
    switch (wParam) {
    case 1:
    case 4:
        ctx_.view->SetPlayButtonState(0);
        break;
    case 2:
    case 3:
        ctx_.view->SetPlayButtonState(1);
        // The mute is applied once the audio output exists.
        QTimer::singleShot(100, this, [this] { OnMuteButton(); });
        break;
    default:
        break;
    }
}

CVlcPlayer* PlaybackController::TimeSource() const {
    if (Usable(ctx_.front) && ctx_.front->m_bPlaying)
        return ctx_.front;
    if (Usable(ctx_.rear) && ctx_.rear->m_bPlaying)
        return ctx_.rear;
    return nullptr;
}

// ---- on libvlc's threads (and, for a few events, inside our own calls) ----

void PlaybackController::FrontEvent(const libvlc_event_t* event, void* data) {
    auto* self = static_cast<PlaybackController*>(data);
    self->KeepPausedLater(self->ctx_.front, event);
    self->HandleEvent(event);
}

void PlaybackController::RearEvent(const libvlc_event_t* event, void* data) {
    auto* self = static_cast<PlaybackController*>(data);
    self->KeepPausedLater(self->ctx_.rear, event);
    const CVlcPlayer* front = self->ctx_.front;
    if (Usable(front) && front->m_bPlaying) {
        if (event->type == libvlc_MediaPlayerEndReached) {
            self->PostToWindow(WM_REAR_END, 1);
            self->m_nPendingSeekMs = 0;
        }
        return;
    }
    self->HandleEvent(event);
}

void PlaybackController::PostToWindow(unsigned message, quintptr wParam) {
    PostWindowMessage(ctx_.window, message, wParam, m_nStartGeneration);
}

void PlaybackController::ShowGpsStateLater() {
    QMetaObject::invokeMethod(
        this, [this] { ctx_.view->SetGpsIndicator(m_nGpsState); }, Qt::QueuedConnection);
}

void PlaybackController::KeepPausedLater(CVlcPlayer* player, const libvlc_event_t* event) {
    if (event->type != libvlc_MediaPlayerPlaying || !player->m_bPaused || player->m_bPlaying)
        return;
    // libvlc may not be called back from its own event thread.
    QMetaObject::invokeMethod(
        this,
        [player] {
            if (Usable(player) && player->m_bPaused && !player->m_bPlaying &&
                player->State() == libvlc_Playing)
                player->Pause();
        },
        Qt::QueuedConnection);
}

void PlaybackController::HandleEvent(const libvlc_event_t* event) {
    switch (event->type) {
    case libvlc_MediaPlayerOpening:
        m_nPendingSeekMs = 0;
        [[fallthrough]];
    case libvlc_MediaPlayerStopped:
        m_nGpsState = 0;
        ShowGpsStateLater();
        break;
    case libvlc_MediaPlayerPlaying:
        PostToWindow(WM_PLAYER_STATE, 3);
        break;
    case libvlc_MediaPlayerPaused:
        m_nPendingSeekMs = 0;
        PostToWindow(WM_PLAYER_STATE, 4);
        break;
    case libvlc_MediaPlayerEndReached:
        PostToWindow(WM_PLAYER_END, 1);
        m_nPendingSeekMs = 0;
        break;
    case libvlc_MediaPlayerEncounteredError:
        PostToWindow(WM_PLAYER_ERROR, 1);
        break;
    case libvlc_MediaPlayerTimeChanged:
        if (m_nPendingSeekMs == 0)
            HandleTimeChanged();
        break;
    default:
        break;
    }
}

void PlaybackController::HandleTimeChanged() {
    const CVlcPlayer* source = TimeSource();
    const int64_t time = source ? source->GetTime() : 0;
    PostToWindow(WM_PLAYER_TIME, quintptr(uint32_t(time)));
    const int64_t length = source ? source->GetLength() : 0;
    const int span = ctx_.view->SeekSpan();
    const int position = length > 0 ? int(double(time) / double(length) * span) : 0;
    const int slider = position + ctx_.view->SeekMinimum();
    QMetaObject::invokeMethod(
        this, [this, slider] { ctx_.view->SetPositionSliderPos(slider); }, Qt::QueuedConnection);
    m_bPlayStartBusy = 0;
}
