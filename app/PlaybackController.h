#pragma once
#include "app/PlaybackContext.h"

#include <QObject>
#include <atomic>
#include <cstdint>
#include <vlc/vlc.h>

class PlaybackTick;

// A player that exists and whose library loaded.
bool Usable(const CVlcPlayer* player);
// Pause and play of one player with the marks the playback logic keeps on it.
void PausePlayer(CVlcPlayer& player);
void ResumePlayer(CVlcPlayer& player);

// Timers that serve playback.
constexpr int kRateLabelTimer = 102;   // 300 ms, while a start's rate label shows
constexpr int kPendingSeekTimer = 103; // 500 ms, for the window's life
constexpr int kDeferredStartTimer = 105;
constexpr int kStartGuardTimer = 106;  // 100 s, once
constexpr int kSliderResetTimer = 107; // 200 ms, once

// The transport of the two players: play/pause, stop, rate, volume and mute,
// seeking with the position slider, and the players' events, which arrive on
// libvlc's threads and go on to the window as posted messages.
class PlaybackController : public QObject {
    Q_OBJECT
  public:
    PlaybackController(const PlaybackContext& context, PlaybackTick& tick);
    // Detaches the event callbacks, so none runs once this object is gone.
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
    void OnPlayerError(quintptr wParam);
    void OnPlayerState(quintptr wParam);
    // Timers 102, 103, 106 and 107; false for other ids.
    bool OnTimer(int id);

    // The rate label shows the current rate unless it is normal speed.
    void ShowRateLabel();
    // After each file start: the label is refreshed for about 3 seconds.
    void StartRateLabelRefresh();
    // Stops each available player and clears its flags.
    void StopPlayers();
    // Hides both video surfaces, so that their frames' background shows.
    void HideVideos();
    void ResetRate();

    // The player whose time and length drive slider and tick: the front one
    // when it plays, else the rear one when it plays.
    CVlcPlayer* TimeSource() const;

    // Counts file starts; each player message carries the count of the start
    // it belongs to, so that messages of a file stopped since are dropped.
    void BeginFileStart() { ++m_nStartGeneration; }
    bool IsCurrent(qintptr generation) const { return generation == m_nStartGeneration; }

    int m_nSpeedIndex;
    int m_bAutoNext = 1;
    std::atomic<int64_t> m_nPendingSeekMs{0};
    int m_nRateLabelTicks = 10;
    std::atomic<int> m_bPlayStartBusy{0};
    std::atomic<int> m_nGpsState{0};
    std::atomic<qintptr> m_nStartGeneration{0};

  private:
    static void FrontEvent(const libvlc_event_t* event, void* data);
    static void RearEvent(const libvlc_event_t* event, void* data);
    void HandleEvent(const libvlc_event_t* event);
    void HandleTimeChanged();
    void PostToWindow(unsigned message, quintptr wParam);
    void ShowGpsStateLater();
    // libvlc drops a pause that arrives while a file is still opening; this
    // repeats it once the player reports that it plays.
    void KeepPausedLater(CVlcPlayer* player, const libvlc_event_t* event);
    int64_t SeekTarget(bool pausedCounts) const;
    void ApplyPendingSeek();

    PlaybackContext ctx_;
    PlaybackTick& tick_;
};
