#pragma once
#include "app/playback/PlaybackState.h"
#include "app/playback/PlaybackView.h"

#include <QObject>
#include <atomic>
#include <vlc/vlc.h>

class CVlcPlayer;

// A player that exists and whose library loaded.
bool Usable(const CVlcPlayer* player);

// The front and the rear player as one, and the one owner of the playback
// state: it alone tells the players to play, pause or stop and keeps their
// marks, counts the file starts, carries the time source's play time to the
// user-interface thread and announces every change there. The players
// belong to the main window; a missing or unusable one is skipped by
// everything here.
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

    // The state as last announced (user-interface thread).
    const PlaybackState& State() const { return state_; }

    // The only ways a player is told to play, pause or stop.
    void Pause(CVlcPlayer& player);
    void Resume(CVlcPlayer& player);
    void Stop(CVlcPlayer& player);
    // Stops each usable player.
    void StopBoth();
    void SetRateBoth(float rate);

    // A player plays when it has a file and was last played, not paused or
    // stopped. This is what a hold pauses.
    static bool Plays(const CVlcPlayer& player);
    // A player shows a recording when it has a file and was last played or
    // paused, not stopped.
    static bool Shows(const CVlcPlayer& player);
    // Whether any usable player plays.
    bool AnyPlays() const { return FirstUsable(&PlayerPair::Plays) != nullptr; }

    // The player whose time and length drive slider and tick: the front one
    // when it plays, else the rear one when it plays.
    CVlcPlayer* TimeSource() const;
    // The first player, front first, that shows a recording; else null.
    CVlcPlayer* ShownPlayer() const { return FirstUsable(&PlayerPair::Shows); }
    // The time and length of the shown recording as libvlc has them now
    // (a paused picture reports no time); -1 and 0 when none is shown.
    qint64 TimeNow() const;
    qint64 LengthNow() const;

    // Counts file starts; each player report carries the count of the start
    // it belongs to, so that reports of a file stopped since are dropped.
    void BeginFileStart();
    qintptr CurrentStart() const { return startCount_; }
    bool IsCurrent(qintptr start) const { return start == startCount_; }

    // Whether the camera's player reported an error since the last file
    // start, reported or not; clears the mark.
    bool TakeFailed(Camera camera) { return failed_[int(camera)].exchange(0) != 0; }

    // Routes both players' libvlc events to the signals below.
    void AttachEvents();
    void DetachEvents();

    // The time source's time and length of a file start, from any thread;
    // on the user-interface thread it becomes the state's time and
    // TimeChanged, unless the start is over by then.
    void ReportTime(qint64 timeMs, qint64 lengthMs, qintptr start);

    // Pauses the players that play for as long as it lives, then plays
    // again each of them that still waits as it was left: one that an act
    // stopped, started anew or emptied meanwhile stays as it is.
    class Hold {
      public:
        explicit Hold(PlayerPair& pair);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

      private:
        PlayerPair& pair_;
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
    // The time source's event time and length, both 0 without one.
    void TimeReported(qint64 timeMs, qint64 lengthMs);

    // On the user-interface thread: the state's phase changed, or the play
    // time of the current start was reported.
    void PhaseChanged(PlayPhase phase);
    void TimeChanged(qint64 timeMs, qint64 lengthMs);

  private:
    static void FrontEvent(const libvlc_event_t* event, void* data);
    static void RearEvent(const libvlc_event_t* event, void* data);
    void Report(const libvlc_event_t* event, const CVlcPlayer* from);
    // libvlc drops a pause that arrives while a file is still opening; this
    // repeats it once the player reports that it plays.
    void KeepPausedLater(CVlcPlayer* player, const libvlc_event_t* event);
    void NoteFailure(Camera camera, const libvlc_event_t* event);

    // Sets a player's marks and announces the phase they give.
    void Mark(CVlcPlayer& player, bool playing, bool paused);
    PlayPhase PhaseOfPlayers() const;

    CVlcPlayer* front_;
    CVlcPlayer* rear_;
    PlaybackState state_;
    std::atomic<qintptr> startCount_{0};
    std::atomic<int> failed_[2] = {0, 0};
};
