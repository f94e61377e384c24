#include "app/playback/PlaybackController.h"

#include "app/playback/ListedFilesPresence.h"
#include "app/playback/PlaybackTick.h"
#include "app/playback/PlaybackView.h"
#include "app/playback/PlayerPair.h"
#include "app/playback/SpeedTable.h"
#include "platform/WindowTimers.h"
#include "platform/widgets/MessageBox.h"
#include "player/CVlcPlayer.h"
#include "presenter/CatalogPresenter.h"
#include "recordings/RecordingCatalog.h"
#include "strings/UiStrings.h"

#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <optional>

namespace {

// Caption of the playback error box: the program's name.
const char* const kProgramName = "Halvex";

// 100 s, once: a start whose file never reports a time blocks no longer.
constexpr int kStartGuardTimer = 106;

} // namespace

PlaybackController::PlaybackController(const PlaybackContext& context, PlaybackTick& tick)
    : m_nSpeedIndex(kNormalSpeedIndex), ctx_(context), players_(*context.players), tick_(tick) {
    ConnectPlayerEvents();
}

PlaybackController::~PlaybackController() {
    players_.DetachEvents();
}

void PlaybackController::Initialise() {
    PlaybackView& view = *ctx_.view;
    for (Camera camera : {Camera::Front, Camera::Rear})
        if (!players_.UsablePlayer(camera))
            ShowMessageBox(ctx_.window, LoadUiString(UiStringId::kVideoComponentFailed),
                           LoadUiString(UiStringId::kWarningCaption));
    players_.ForEachUsable([&view](CVlcPlayer& player, Camera camera) {
        if (QWidget* surface = view.VideoSurface(camera))
            player.SetWindow(uint32_t(surface->winId()));
    });
    players_.AttachEvents();
    ResetRate();
    view.SetPositionSliderRange(0, 1000);
    view.SetPositionSliderPos(view.SeekMinimum());
    view.SetVolumeSliderRange(0, 100);
    view.SetVolumeSliderPos(50);
    if (CVlcPlayer* front = players_.UsablePlayer(Camera::Front)) {
        front->SetVolume(100);
        front->SetMute(1);
    }
    ctx_.timers->SetTimer(kPendingSeekTimer, 500);
    ctx_.timers->SetTimer(kDeferredStartTimer, 100);
    ctx_.timers->SetTimer(kSliderResetTimer, 200);
}

void PlaybackController::OnPlay() {
    m_nPendingSeekMs = 0;
    if (GSensorCurveView* curve = ctx_.presenter->Views().curve) {
        curve->CurveState().stopped = false;
        curve->Redraw();
    }
    if (ctx_.catalog->Files().empty()) {
        ctx_.view->SetPlayButtonState(0);
        return;
    }
    players_.ForEachUsable([this](CVlcPlayer& player, Camera camera) {
        if (player.IsPlaying()) {
            players_.Pause(player);
        } else if (player.IsPaused()) {
            if (ctx_.view->SurfaceHidden(camera))
                ctx_.view->SetSurfaceHidden(camera, false);
            players_.Resume(player);
            if (camera == Camera::Front) {
                ShowRateLabel();
                StartRateLabelRefresh();
            }
        }
    });
}

void PlaybackController::StopPlayers() {
    players_.StopBoth();
}

void PlaybackController::ResetRate() {
    m_nSpeedIndex = kNormalSpeedIndex;
    players_.SetRateBoth(float(SpeedTable[kNormalSpeedIndex].rate));
}

void PlaybackController::OnStop() {
    m_nPendingSeekMs = 0;
    ctx_.view->SetPlayButtonState(0);
    StopPlayers();
    ResetRate();
    ctx_.view->SetPositionSliderPos(ctx_.view->SeekMinimum());
    if (GSensorCurveView* curve = ctx_.presenter->Views().curve) {
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
    players_.SetRateBoth(float(SpeedTable[size_t(m_nSpeedIndex)].rate));
    ShowRateLabel();
}

void PlaybackController::OnSlower() {
    m_nSpeedIndex = std::max(m_nSpeedIndex - 1, 0);
    players_.SetRateBoth(float(SpeedTable[size_t(m_nSpeedIndex)].rate));
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

// Only the front camera's sound is heard.
void PlaybackController::OnMuteButton() {
    if (CVlcPlayer* front = players_.UsablePlayer(Camera::Front))
        front->SetMute(ctx_.view->MuteButtonState() == 1 ? 1 : 0);
}

void PlaybackController::OnVolumeChanged() {
    const int p = ctx_.view->VolumeSliderPos();
    if (CVlcPlayer* front = players_.UsablePlayer(Camera::Front))
        front->SetVolume(2 * p);
}

int64_t PlaybackController::SeekTarget(bool pausedCounts) const {
    const CVlcPlayer* source = players_.FirstUsable([pausedCounts](const CVlcPlayer& player) {
        return player.IsPlaying() || (pausedCounts && player.IsPaused());
    });
    const int64_t length = source ? source->GetLength() : 0;
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
    tick_.Step(0);
}

bool PlaybackController::SeekTo(int64_t timeMs) {
    const int64_t length = players_.LengthNow();
    if (length <= 0 || timeMs < 0 || timeMs >= length)
        return false;
    // A pending target of 0 means none; 1 ms lies on the same first point.
    m_nPendingSeekMs = std::max<int64_t>(timeMs, 1);
    ctx_.view->SetSeekHappened();
    tick_.Step(0);
    return true;
}

void PlaybackController::OnPositionSliderScroll() {
    m_nPendingSeekMs = SeekTarget(false);
}

void PlaybackController::ApplyPendingSeek() {
    const int64_t target = m_nPendingSeekMs;
    if (target == 0)
        return;
    players_.ForEachUsable([target](CVlcPlayer& player, Camera) { player.SetTime(target); });
    ctx_.view->PlotDrivenTo(target);
    // The rebuilt line ends at the target: the next tick continues it there
    // instead of taking the distance from the seek's reset as a jump.
    tick_.SettleAt(target);
    m_nPendingSeekMs = 0;
    emit SeekApplied(target);
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
        ReleaseStartGuard();
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

void PlaybackController::OnPlayerError(bool current) {
    if (current) {
        // The file will report no time, which is what would otherwise end
        // the start.
        ReleaseStartGuard();
        ctx_.timers->KillTimer(kStartGuardTimer);
        StopFailedPlayers();
        // Both players failing at one start (the card gone) make one box.
        if (errorShownForStart_ == players_.CurrentStart())
            return;
        errorShownForStart_ = players_.CurrentStart();
    }
    if (!AnyListedFileLeft(*ctx_.catalog)) {
        ReportCardGone();
        return;
    }
    ShowMessageBox(ctx_.window, LoadUiString(UiStringId::kPlayerError),
                   QString::fromLatin1(kProgramName), MbButtons::Ok);
}

void PlaybackController::ReportCardGone() {
    ShowMessageBox(ctx_.window, LoadUiString(UiStringId::kRecordingsGone),
                   QString::fromLatin1(kProgramName), MbButtons::Ok);
}

void PlaybackController::StopFailedPlayers() {
    players_.ForEachUsable([this](CVlcPlayer& player, Camera camera) {
        if (players_.TakeFailed(camera))
            players_.Stop(player);
    });
    if (!players_.AnyPlays())
        ctx_.view->SetPlayButtonState(0);
}

void PlaybackController::OnPlayerState(PlayPhase phase) {
    switch (phase) {
    case PlayPhase::Idle:
    case PlayPhase::Paused:
    case PlayPhase::Stopped:
        ctx_.view->SetPlayButtonState(0);
        break;
    case PlayPhase::Playing:
        ctx_.view->SetPlayButtonState(1);
        // The mute is applied once the audio output exists.
        QTimer::singleShot(100, this, [this] { OnMuteButton(); });
        break;
    }
}

bool PlaybackController::StartInProgress() const {
    return m_bPlayStartBusy && !ctx_.catalog->Files().empty();
}

void PlaybackController::ArmStartGuard() {
    m_bPlayStartBusy = 1;
    ctx_.timers->SetTimer(kStartGuardTimer, 100000);
}

bool PlaybackController::StartGuarded(const std::function<bool()>& prepare,
                                      const std::function<bool()>& start) {
    if (StartInProgress() || !prepare())
        return false;
    // Armed only now: the players that prepare stopped can report no more
    // time that would release it.
    ArmStartGuard();
    if (start())
        return true;
    ReleaseStartGuard();
    return false;
}

// The handlers run on libvlc's threads.
void PlaybackController::ConnectPlayerEvents() {
    PlayerPair* pair = &players_;
    // Each event that ends a pending seek, and the report it becomes.
    const struct {
        void (PlayerPair::*signal)();
        bool endsSeek;
        std::optional<PlayerReport> report;
    } events[] = {
        {&PlayerPair::Opening, true, std::nullopt},
        {&PlayerPair::Playing, false, PlayerReport::Playing},
        {&PlayerPair::Paused, true, PlayerReport::Paused},
        {&PlayerPair::EndReached, true, PlayerReport::Ended},
        {&PlayerPair::RearEndReached, true, PlayerReport::RearEnded},
        {&PlayerPair::ErrorOccurred, false, PlayerReport::Failed},
    };
    for (const auto& e : events) {
        auto handler = [this, e] {
            if (e.endsSeek)
                m_nPendingSeekMs = 0;
            if (e.report)
                ReportLater(*e.report);
        };
        connect(pair, e.signal, this, handler, Qt::DirectConnection);
    }
    // The GPS indicator goes off when a file opens or the player stops.
    for (auto signal : {&PlayerPair::Opening, &PlayerPair::Stopped}) {
        auto handler = [this] {
            QMetaObject::invokeMethod(
                this, [this] { tick_.ShowGpsState(0); }, Qt::QueuedConnection);
        };
        connect(pair, signal, this, handler, Qt::DirectConnection);
    }
    connect(pair, &PlayerPair::TimeReported, this, &PlaybackController::OnTimeReported,
            Qt::DirectConnection);
}

void PlaybackController::ReportLater(PlayerReport report) {
    QMetaObject::invokeMethod(
        this, [this, report, start = players_.CurrentStart()] { OnReport(report, start); },
        Qt::QueuedConnection);
}

void PlaybackController::OnReport(PlayerReport report, qintptr start) {
    const bool current = players_.IsCurrent(start);
    switch (report) {
    case PlayerReport::Playing:
        OnPlayerState(PlayPhase::Playing);
        break;
    case PlayerReport::Paused:
        OnPlayerState(PlayPhase::Paused);
        break;
    case PlayerReport::Ended:
        emit PlayerEnded(current);
        break;
    case PlayerReport::RearEnded:
        break;
    case PlayerReport::Failed:
        OnPlayerError(current);
        break;
    }
}

// A pending seek's player still reports the time it left.
void PlaybackController::OnTimeReported(int64_t timeMs, int64_t lengthMs) {
    if (m_nPendingSeekMs != 0)
        return;
    players_.ReportTime(timeMs, lengthMs, players_.CurrentStart());
    ReleaseStartGuard();
}

void PlaybackController::ShowPlayTime(int64_t timeMs, int64_t lengthMs) {
    const int span = ctx_.view->SeekSpan();
    const int position = lengthMs > 0 ? int(double(timeMs) / double(lengthMs) * span) : 0;
    ctx_.view->SetPositionSliderPos(position + ctx_.view->SeekMinimum());
}
