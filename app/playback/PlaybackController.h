#pragma once
#include "app/playback/PlaybackContext.h"
#include "app/playback/PlaybackState.h"

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>

class PlaybackTick;

// Timers that serve playback.
constexpr int kRateLabelTimer = 102;   // 300 ms, while a start's rate label shows
constexpr int kPendingSeekTimer = 103; // 500 ms, for the window's life
constexpr int kDeferredStartTimer = 105;
constexpr int kSliderResetTimer = 107; // 200 ms, once

// What a player reported, as it reaches the user-interface thread.
enum class PlayerReport { Playing, Paused, Ended, RearEnded, Failed };

// The transport of the two players: play/pause, stop, rate, volume and mute,
// seeking with the position slider, the guard around file starts, and the
// players' events, which arrive on libvlc's threads and are handed to the
// user-interface thread in their order (the play time through the pair).
class PlaybackController : public QObject {
    Q_OBJECT
  public:
    PlaybackController(const PlaybackContext& context, PlaybackTick& tick);
    // Detaches the event callbacks, so none of them reaches this object once
    // it is gone.
    ~PlaybackController() override;

    // Binds the players to their surfaces and shows the warning for each
    // player that is not available; sets up sliders and the window's timers.
    void Initialise();

    void OnPlay();
    void OnStop();
    void OnFaster();
    void OnSlower();
    void OnMuteButton();
    void OnLoop() { m_bAutoNext = !m_bAutoNext; }
    void OnVolumeChanged();
    void OnSeekRequest();
    // Seeks the playing (or paused) recording to a time the way the slider
    // does; false when nothing plays or the time lies beyond its length.
    bool SeekTo(int64_t timeMs);
    void OnPositionSliderScroll();
    // A player's error; `current` when it belongs to the latest file start,
    // which then counts as ended: the guard is released and each failed
    // player is shown stopped.
    void OnPlayerError(bool current);
    // Tells the user that none of the listed files is there any more.
    void ReportCardGone();
    // A player began to play or paused: the PLAY button's picture follows.
    void OnPlayerState(PlayPhase phase);
    // Timers 102, 103, 106 and 107; false for other ids.
    bool OnTimer(int id);

    // The one way a command starts playback. Refused (false) while an
    // earlier start is in progress: from the moment it was let through until
    // its file reports its first play time, 100 s at most; over an empty
    // list nothing counts as starting. Otherwise runs `prepare`, which may
    // stop the players and returns whether to go on, then `start` with the
    // guard armed; `start` returns whether it set a file going, and the
    // guard is released at once when not.
    bool StartGuarded(const std::function<bool()>& prepare, const std::function<bool()>& start);
    // A start armed elsewhere (OPEN) that set nothing going. Also from
    // libvlc's threads.
    void ReleaseStartGuard() { m_bPlayStartBusy = 0; }

    // The rate label shows the current rate unless it is normal speed.
    void ShowRateLabel();
    // After each file start: the label is refreshed for about 3 seconds.
    void StartRateLabelRefresh();
    // Stops each available player.
    void StopPlayers();
    // Hides both video surfaces, so that their frames' background shows.
    void HideVideos();
    void ResetRate();
    // The slider's thumb at a play time of the time source.
    void ShowPlayTime(int64_t timeMs, int64_t lengthMs);

  signals:
    // A pending seek went to the players (timer 103).
    void SeekApplied(qint64 timeMs);
    // A player's end of file or its own end reached the user-interface
    // thread; `current` when it belongs to the latest file start.
    void PlayerEnded(bool current);

  public:
    int m_nSpeedIndex;
    int m_bAutoNext = 1;
    std::atomic<int64_t> m_nPendingSeekMs{0};
    int m_nRateLabelTicks = 10;

  private:
    friend struct StartGuardProbe; // lets tests look at the guard

    bool StartInProgress() const;
    void ArmStartGuard();
    void StopFailedPlayers();

    // The players' events, on libvlc's threads.
    void ConnectPlayerEvents();
    void OnTimeReported(int64_t timeMs, int64_t lengthMs);
    // Hands a report to the user-interface thread with the file start it
    // belongs to.
    void ReportLater(PlayerReport report);
    void OnReport(PlayerReport report, qintptr start);

    int64_t SeekTarget(bool pausedCounts) const;
    void ApplyPendingSeek();

    PlaybackContext ctx_;
    PlayerPair& players_;
    PlaybackTick& tick_;
    std::atomic<int> m_bPlayStartBusy{0};
    qintptr errorShownForStart_ = -1;
};
