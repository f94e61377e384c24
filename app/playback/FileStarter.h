#pragma once
#include "app/playback/PlaybackContext.h"

#include <QString>
#include <cstdint>

class CVlcPlayer;
class PlaybackController;

// Which files the players open: the front file with sound on the left and
// its rear partner silent on the right, whichever of the two was chosen;
// starts from the lists, the next file when one ends, and the deferred start
// after a scan.
class FileStarter {
  public:
    FileStarter(const PlaybackContext& context, PlaybackController& controller);

    // Starts the catalog's current file in the players; false when no player was set
    // going (no usable player, or a rear file whose files have gone).
    bool PlayCurrentFile();
    // Opens and plays the rear partner of `path` in the rear player, or
    // empties the rear picture when there is none; whether it plays one.
    bool OpenRearCounterpart(const QString& path, int noAudio);

    void OnGroupActivate(int row);
    void OnFileActivate(int row);
    void OnPlayerEnd();
    // The next (step 1) or previous (step -1) recording in list order, a
    // pair counting once; ignored while a start is in progress, like a list
    // activation.
    void StartNeighbour(int step);
    // Timer 105; false for other ids.
    bool OnTimer(int id);

    // Starts the file at `index` after `ticks` runs of timer 105.
    void DeferStart(int index, int ticks) {
        m_nDeferredIndex = index;
        m_nDeferredTicks = ticks;
    }

    // Milliseconds of a monotonic clock, the time base of the double-click guard.
    static int64_t TickCount();

    int64_t m_dwLastFileActivate;
    int m_nDeferredIndex = -1;
    int m_nDeferredTicks = 0;

    // LOCK shows "unlock" (0) while the current group holds a locked file.
    void RefreshLockButton();

  private:
    // False when the index no longer names a file or nothing was started.
    bool StartFile(int index);
    // Stops the players and makes the group at `row` the current one (when
    // it and the current one hold files); the file to start, or -1.
    int SelectGroup(int row);
    // The front surface shown, then StartFile; whether a file was started.
    // When none was because the card has gone, the user is told.
    bool StartShown(int index);
    void ShowFrontSurface();
    bool PlayFrontFrom(CVlcPlayer* player);

    PlaybackContext ctx_;
    PlaybackController& controller_;
};
