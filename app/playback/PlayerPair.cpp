#include "app/playback/PlayerPair.h"

#include "player/CVlcPlayer.h"

bool Usable(const CVlcPlayer* player) {
    return player && player->m_bAvailable;
}

PlayerPair::PlayerPair(CVlcPlayer* front, CVlcPlayer* rear) : front_(front), rear_(rear) {}

PlayerPair::~PlayerPair() {
    DetachEvents();
}

void PlayerPair::Pause(CVlcPlayer& player) {
    player.Pause();
    player.m_bPlaying = 0;
    player.m_bPaused = 1;
}

void PlayerPair::Resume(CVlcPlayer& player) {
    player.Play();
    player.m_bPlaying = 1;
    player.m_bPaused = 0;
}

bool PlayerPair::Plays(const CVlcPlayer& player) {
    return player.m_bPlaying && player.HasMedia();
}

void PlayerPair::StopBoth() {
    ForEachUsable([](CVlcPlayer& player, Camera) {
        player.Stop();
        player.m_bPlaying = 0;
        player.m_bPaused = 0;
    });
}

void PlayerPair::SetRateBoth(float rate) {
    ForEachUsable([rate](CVlcPlayer& player, Camera) { player.SetRate(rate); });
}

CVlcPlayer* PlayerPair::TimeSource() const {
    return FirstUsable([](const CVlcPlayer& player) { return player.m_bPlaying != 0; });
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

PlayerPair::Hold::Hold(const PlayerPair& pair) {
    for (int i = 0; i < 2; ++i) {
        CVlcPlayer* player = pair.Player(i == 0 ? Camera::Front : Camera::Rear);
        if (Usable(player) && Plays(*player)) {
            Pause(*player);
            held_[i] = player;
        }
    }
}

PlayerPair::Hold::~Hold() {
    for (CVlcPlayer* player : held_)
        if (Usable(player) && player->HasMedia() && player->m_bPaused && !player->m_bPlaying)
            Resume(*player);
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
    if (Usable(front) && front->m_bPlaying) {
        if (event->type == libvlc_MediaPlayerEndReached)
            emit self->RearEndReached();
        return;
    }
    self->Report(event, self->rear_);
}

void PlayerPair::KeepPausedLater(CVlcPlayer* player, const libvlc_event_t* event) {
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
            emit TimeChanged(event->u.media_player_time_changed.new_time, source->GetLength());
        else if (!source)
            emit TimeChanged(0, 0);
        break;
    }
    default:
        break;
    }
}
