#include "app/playback/PlayerPair.h"

#include "player/CVlcPlayer.h"

#include <algorithm>

bool Usable(const CVlcPlayer* player) {
    return player && player->m_bAvailable;
}

PlayerPair::PlayerPair(CVlcPlayer* front, CVlcPlayer* rear) : front_(front), rear_(rear) {}

PlayerPair::~PlayerPair() {
    DetachEvents();
}

void PlayerPair::Mark(CVlcPlayer& player, bool playing, bool paused) {
    player.m_bPlaying = playing ? 1 : 0;
    player.m_bPaused = paused ? 1 : 0;
    const PlayPhase phase = PhaseOfPlayers();
    if (phase == state_.phase)
        return;
    state_.phase = phase;
    emit PhaseChanged(phase);
}

PlayPhase PlayerPair::PhaseOfPlayers() const {
    if (AnyPlays())
        return PlayPhase::Playing;
    if (ShownPlayer())
        return PlayPhase::Paused;
    if (FirstUsable([](const CVlcPlayer& p) { return !p.IsPlaying() && !p.IsPaused(); }))
        return PlayPhase::Stopped;
    return PlayPhase::Idle;
}

void PlayerPair::Pause(CVlcPlayer& player) {
    player.Pause();
    Mark(player, false, true);
}

void PlayerPair::Resume(CVlcPlayer& player) {
    player.Play();
    Mark(player, true, false);
}

void PlayerPair::Stop(CVlcPlayer& player) {
    player.Stop();
    Mark(player, false, false);
}

bool PlayerPair::Plays(const CVlcPlayer& player) {
    return player.IsPlaying() && player.HasMedia();
}

bool PlayerPair::Shows(const CVlcPlayer& player) {
    return (player.IsPlaying() || player.IsPaused()) && player.HasMedia();
}

void PlayerPair::StopBoth() {
    ForEachUsable([this](CVlcPlayer& player, Camera) { Stop(player); });
}

void PlayerPair::SetRateBoth(float rate) {
    ForEachUsable([rate](CVlcPlayer& player, Camera) { player.SetRate(rate); });
}

CVlcPlayer* PlayerPair::TimeSource() const {
    return FirstUsable([](const CVlcPlayer& player) { return player.IsPlaying(); });
}

qint64 PlayerPair::TimeNow() const {
    const CVlcPlayer* shown = ShownPlayer();
    return shown ? shown->GetTime() : -1;
}

qint64 PlayerPair::LengthNow() const {
    const CVlcPlayer* shown = ShownPlayer();
    return shown ? std::max<qint64>(shown->GetLength(), 0) : 0;
}

void PlayerPair::BeginFileStart() {
    state_.start = ++startCount_;
    state_.timeMs = 0;
    state_.lengthMs = 0;
    failed_[0] = failed_[1] = 0;
}

void PlayerPair::ReportTime(qint64 timeMs, qint64 lengthMs, qintptr start) {
    QMetaObject::invokeMethod(
        this,
        [this, timeMs, lengthMs, start] {
            if (!IsCurrent(start))
                return;
            state_.timeMs = timeMs;
            state_.lengthMs = lengthMs;
            emit TimeChanged(timeMs, lengthMs);
        },
        Qt::QueuedConnection);
}

void PlayerPair::AttachEvents() {
    if (Usable(front_))
        front_->AttachEvents(&FrontEvent, this);
    if (Usable(rear_))
        rear_->AttachEvents(&RearEvent, this);
}

void PlayerPair::DetachEvents() {
    for (CVlcPlayer* player : {front_, rear_})
        if (player)
            player->DetachEvents();
}

PlayerPair::Hold::Hold(PlayerPair& pair) : pair_(pair) {
    for (int i = 0; i < 2; ++i) {
        CVlcPlayer* player = pair.Player(i == 0 ? Camera::Front : Camera::Rear);
        if (Usable(player) && Plays(*player)) {
            pair.Pause(*player);
            held_[i] = player;
        }
    }
}

PlayerPair::Hold::~Hold() {
    for (CVlcPlayer* player : held_)
        if (Usable(player) && player->HasMedia() && player->IsPaused() && !player->IsPlaying())
            pair_.Resume(*player);
}

// ---- on libvlc's threads (and, for a few events, inside our own calls) ----

void PlayerPair::FrontEvent(const libvlc_event_t* event, void* data) {
    auto* self = static_cast<PlayerPair*>(data);
    self->KeepPausedLater(self->front_, event);
    self->NoteFailure(Camera::Front, event);
    self->Report(event, self->front_);
}

void PlayerPair::RearEvent(const libvlc_event_t* event, void* data) {
    auto* self = static_cast<PlayerPair*>(data);
    self->KeepPausedLater(self->rear_, event);
    self->NoteFailure(Camera::Rear, event);
    const CVlcPlayer* front = self->front_;
    if (Usable(front) && front->IsPlaying()) {
        if (event->type == libvlc_MediaPlayerEndReached)
            emit self->RearEndReached();
        return;
    }
    self->Report(event, self->rear_);
}

void PlayerPair::KeepPausedLater(CVlcPlayer* player, const libvlc_event_t* event) {
    if (event->type != libvlc_MediaPlayerPlaying || !player->IsPaused() || player->IsPlaying())
        return;
    // libvlc may not be called back from its own event thread.
    QMetaObject::invokeMethod(
        this,
        [player] {
            if (Usable(player) && player->IsPaused() && !player->IsPlaying() &&
                player->State() == libvlc_Playing)
                player->Pause();
        },
        Qt::QueuedConnection);
}

void PlayerPair::NoteFailure(Camera camera, const libvlc_event_t* event) {
    if (event->type == libvlc_MediaPlayerEncounteredError)
        failed_[int(camera)] = 1;
}

void PlayerPair::Report(const libvlc_event_t* event, const CVlcPlayer* from) {
    switch (event->type) {
    case libvlc_MediaPlayerOpening:
        emit Opening();
        break;
    case libvlc_MediaPlayerStopped:
        emit Stopped();
        break;
    case libvlc_MediaPlayerPlaying:
        emit Playing();
        break;
    case libvlc_MediaPlayerPaused:
        emit Paused();
        break;
    case libvlc_MediaPlayerEndReached:
        emit EndReached();
        break;
    case libvlc_MediaPlayerEncounteredError:
        emit ErrorOccurred();
        break;
    case libvlc_MediaPlayerTimeChanged: {
        // The event carries its own time; only the time source's counts.
        const CVlcPlayer* source = TimeSource();
        if (source == from)
            emit TimeReported(event->u.media_player_time_changed.new_time, source->GetLength());
        else if (!source)
            emit TimeReported(0, 0);
        break;
    }
    default:
        break;
    }
}
