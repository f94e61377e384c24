#pragma once
#include "app/playback/PlaybackView.h"

#include <QObject>
#include <atomic>
#include <vlc/vlc.h>

class CVlcPlayer;

// A player that exists and whose library loaded.
bool Usable(const CVlcPlayer* player);

// The front and the rear player as one: what is done to both, which of them
// gives the play time, the count of file starts and the players' events.
// The players belong to the main window; a missing or unusable one is
// skipped by everything here.
class PlayerPair : public QObject {
    Q_OBJECT
  public:
    PlayerPair(CVlcPlayer* front, CVlcPlayer* rear);
    // Detaches the event callbacks, so none runs once this object is gone.
    ~PlayerPair() override;

    CVlcPlayer* Front() const { return front_; }
    CVlcPlayer* Rear() const { return rear_; }
    CVlcPlayer* Player(Camera camera) const { return camera == Camera::Front ? front_ : rear_; }
    // The player of the camera when it is usable, else null.
    CVlcPlayer* UsablePlayer(Camera camera) const {
        return Usable(Player(camera)) ? Player(camera) : nullptr;
    }

    // Calls act(player, camera) for each usable player, front first.
    template <typename Act> void ForEachUsable(Act&& act) const {
        for (Camera camera : {Camera::Front, Camera::Rear})
            if (CVlcPlayer* player = Player(camera); Usable(player))
                act(*player, camera);
    }
    // The first usable player, front first, that passes `test`; else null.
    template <typename Test> CVlcPlayer* FirstUsable(Test&& test) const {
        for (CVlcPlayer* player : {front_, rear_})
            if (Usable(player) && test(*player))
                return player;
        return nullptr;
    }

    // Pause and play with the marks the playback logic keeps on a player.
    static void Pause(CVlcPlayer& player);
    static void Resume(CVlcPlayer& player);
    // A player plays when it has a file and was last played, not paused or
    // stopped. This is what a hold pauses.
    static bool Plays(const CVlcPlayer& player);

    // Stops each usable player and clears its marks.
    void StopBoth();
    void SetRateBoth(float rate);

    // The player whose time and length drive slider and tick: the front one
    // when it plays, else the rear one when it plays.
    CVlcPlayer* TimeSource() const;

    // Counts file starts; each player message carries the count of the start
    // it belongs to, so that messages of a file stopped since are dropped.
    void BeginFileStart() {
        ++startCount_;
        failed_[0] = failed_[1] = 0;
    }
    qintptr CurrentStart() const { return startCount_; }
    bool IsCurrent(qintptr start) const { return start == startCount_; }

    // Whether the camera's player reported an error since the last file
    // start, reported or not; clears the mark.
    bool TakeFailed(Camera camera) { return failed_[int(camera)].exchange(0) != 0; }

    // Routes both players' libvlc events to the signals below.
    void AttachEvents();
    void DetachEvents();

    // Pauses the players that play for as long as it lives, then plays
    // again each of them that still waits as it was left: one that an act
    // stopped, started anew or emptied meanwhile stays as it is.
    class Hold {
      public:
        explicit Hold(const PlayerPair& pair);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

      private:
        CVlcPlayer* held_[2] = {nullptr, nullptr};
    };

  signals:
    // Emitted on libvlc's threads, in each player's order of events; connect
    // with Qt::DirectConnection. While the front player plays, the rear
    // player's events are dropped except its end (RearEndReached).
    void Opening();
    void Stopped();
    void Playing();
    void Paused();
    void EndReached();
    void RearEndReached();
    void ErrorOccurred();
    // The time source's time and length, both 0 without one.
    void TimeChanged(qint64 timeMs, qint64 lengthMs);

  private:
    static void FrontEvent(const libvlc_event_t* event, void* data);
    static void RearEvent(const libvlc_event_t* event, void* data);
    void Report(const libvlc_event_t* event, const CVlcPlayer* from);
    // libvlc drops a pause that arrives while a file is still opening; this
    // repeats it once the player reports that it plays.
    void KeepPausedLater(CVlcPlayer* player, const libvlc_event_t* event);
    void NoteFailure(Camera camera, const libvlc_event_t* event);

    CVlcPlayer* front_;
    CVlcPlayer* rear_;
    std::atomic<qintptr> startCount_{0};
    std::atomic<int> failed_[2] = {0, 0};
};
